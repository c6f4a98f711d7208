// Figures of the articles window over 50,000 articles, each with its stock
// row of the working year: the window opened as the "Articoli" command opens
// it, in the fast and in the complete view, and the quick search bar over
// the descriptions (the filter with the grid's reset and repaint).
// Usage: bench_articoli [articles]
#include "AbzFArticoli.h"
#include "AbzMArticoli.h"
#include "AbzRArticoli.h"
#include "BenchSupport.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "PuxContesto.h"
#include "TKvDBGrid.h"
#include "TfrAbzRicerca.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

using BenchSupport::exec;

// The window opened and shown as the window factory does; its time in ms.
double apri(int vista, std::unique_ptr<TfmAbzArticoli>& fm) {
  Contesto.VistaArticoli = vista;
  fm.reset();
  QElapsedTimer t;
  t.start();
  fm = std::make_unique<TfmAbzArticoli>();
  if (!fm->RunFormCreate() || !fm->RunFormShow()) return -1;
  fm->show();
  QApplication::processEvents();
  return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int articoli = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 50000;
  QTemporaryDir dir;
  if (!BenchSupport::openScratchDatabase(dir.path())) return 1;
  QElapsedTimer timer;
  timer.start();
  bool ok =
      exec(QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, IANFVALORE, DANFKALVOINIZIO, DANFKALVOFINE) "
                          "VALUES (1, 2026, '2026-01-01', '2026-12-31')"));
  ok = ok && exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID) VALUES (1, 1, 1)"));
  ok = ok &&
       exec(QStringLiteral(
           "INSERT INTO TUNM_UNITAMISURA (IUNMID, SUNMCOD, SUNMDESCS, FUNMFATTOREPROP) VALUES (1, 'PZ', 'Pezzi', 1)"));
  ok = ok && exec(QStringLiteral("INSERT INTO TALV_ALIQUOTEIVA (IALVID, SALVDESCS, SALVDESCL, FALVIVA) "
                                 "VALUES (1, '22', 'Aliquota ordinaria 22%', 22)"));
  ok = ok &&
       exec(QStringLiteral("INSERT INTO TTPD_TIPODESTINAZ (ITPDID, STPDDESCS, STPDDESCL) VALUES (1, 'UFF', 'Uffici')"));
  ok = ok && exec(QStringLiteral(
                 "INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC) VALUES (1, 'CAN', 'Cancelleria')"));
  // Codes of both widths, as a registry written over the years holds them.
  ok = ok && exec(QStringLiteral(
                      "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
                      "INSERT INTO TART_ARTICOLI (IARTID, SARTCOD, SARTDESCS, SARTCODCOSTRUT, IALVID, ITPDID, IMERID) "
                      "VALUES (:I, LPAD(:I, IIF(MOD(:I, 2) = 0, 7, 5), '0'), DECODE(MOD(:I, 4), 0, 'Penna a sfera', "
                      "1, 'Carta per fotocopie', 2, 'Toner per stampante', 'Detergente pavimenti') || ' ' || :I, "
                      "'80' || LPAD(:I, 11, '0'), 1, 1, 1); "
                      "INSERT INTO TGIA_GIACENZE (IGIAID, IARTID, IDWGID, IGIAESERCIZIOFIN, IUNMID, FGIAGIACINIZ, "
                      "FGIAGIACATT, FGIASCORTAMIN) VALUES (:I, :I, 1, 2026, 1, MOD(:I, 7), MOD(:I, 7), 2); "
                      "I = I + 1; END END")
                      .arg(articoli));
  if (!ok) return 1;
  std::printf("data: %d articles with their stock rows, built in %lld ms\n", articoli, timer.elapsed());

  Contesto.DwgId = 1;
  Contesto.EsercizioFin = 2026;
  KvMessageScript::Begin();  // a message would otherwise wait for a person
  std::unique_ptr<TfmAbzArticoli> fm;
  for (int vista : {0, 1}) {
    double best = 1e99;
    for (int run = 0; run < 3; ++run) {
      const double ms = apri(vista, fm);
      if (ms < 0) {
        std::fprintf(stderr, "the window did not open: %s\n", qPrintable(KvMessageScript::Texts().join(' ')));
        return 1;
      }
      best = std::min(best, ms);
    }
    std::printf("articles window opened in the %s view: %.0f ms (best of 3, %d rows)\n",
                vista == 0 ? "fast" : "complete", best, fm->dmAbzArticoli->xqcArticoli->RecordCount());
  }

  // The quick search as a clerk uses it: a text typed, the filter, the
  // grid's reset and its repaint.
  TfrAbzRicerca& bar = *fm->frAbzArticoli->frRicerca;
  bar.VoceMenuClick(int(bar.Campi().indexOf(QStringLiteral("SARTDESCS"))));
  TKvDBGrid& grid = *fm->frAbzArticoli->grFrame;
  for (const char* testo : {"toner", "4711", "zzz"}) {
    const double ms = BenchSupport::best([&] {
      bar.edRicerca->setText(QString::fromLatin1(testo));
      bar.tmFiltTimer();
      grid.viewport()->repaint();
    });
    std::printf("quick search \"%s\" over the descriptions: %.1f ms (%d rows found)\n", testo, ms,
                fm->dmAbzArticoli->xqcArticoli->RecordCount());
    bar.edRicerca->clear();
    bar.tmFiltTimer();
  }
  const double tutti = BenchSupport::best([&] {
    bar.edRicerca->clear();
    bar.tmFiltTimer();
    grid.viewport()->repaint();
  });
  std::printf("quick search cleared (every row back): %.1f ms\n", tutti);
  fm.reset();
  KvMessageScript::End();
  return 0;
}
