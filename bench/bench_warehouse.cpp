// Figures of the warehouse: the recomputation of the average unit cost of
// every stock row of a year (10,000 articles, each with two loadings and a
// discharge), as "Ricalcola Costo Unitario Medio" runs it.
#include "AbzUGiacenze.h"
#include "BenchSupport.h"
#include "PuxContesto.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  if (!BenchSupport::openScratchDatabase(dir.path())) return 1;

  const int articoli = 10000;
  QElapsedTimer timer;
  timer.start();
  bool ok =
      BenchSupport::exec(QStringLiteral("INSERT INTO TUNM_UNITAMISURA (IUNMID, SUNMCOD, SUNMDESCS, FUNMFATTOREPROP) "
                                        "VALUES (1, 'CF12', 'Confezione', 12)"));
  ok = ok && BenchSupport::exec(
                 QStringLiteral("INSERT INTO TALV_ALIQUOTEIVA (IALVID, SALVDESCS, FALVIVA) VALUES (1, '22', 22)"));
  ok = ok && BenchSupport::exec(QStringLiteral("INSERT INTO TTPD_TIPODESTINAZ (ITPDID, STPDDESCS) VALUES (1, 'UFF')"));
  ok =
      ok && BenchSupport::exec(QStringLiteral("INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE) VALUES (1, 'CAN')"));
  ok = ok && BenchSupport::exec(QStringLiteral("INSERT INTO TPRD_PROVDES (IPRDID, SPRDDESCS) VALUES (1, 'ACQ')"));
  ok = ok && BenchSupport::exec(QStringLiteral(
                 "INSERT INTO TTBU_TIPIBUONI (ITBUID, IPRDID, ITBUTIPO, STBUCOD) VALUES (1, 1, 0, 'CA')"));
  ok = ok && BenchSupport::exec(QStringLiteral(
                 "INSERT INTO TTBU_TIPIBUONI (ITBUID, IPRDID, ITBUTIPO, STBUCOD) VALUES (2, 1, 1, 'SC')"));
  // Three vouchers of the year; every article has a row in each.
  ok = ok && BenchSupport::exec(QStringLiteral(
                 "INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, IDWGID, IMGMESERCIZIOFIN, ITBUID, SMGMCOD, DMGMDATAMOVIMENTO) "
                 "VALUES (1, 1, 2026, 1, '00001', '2026-02-01')"));
  ok = ok && BenchSupport::exec(QStringLiteral(
                 "INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, IDWGID, IMGMESERCIZIOFIN, ITBUID, SMGMCOD, DMGMDATAMOVIMENTO) "
                 "VALUES (2, 1, 2026, 2, '00001', '2026-03-01')"));
  ok = ok && BenchSupport::exec(QStringLiteral(
                 "INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, IDWGID, IMGMESERCIZIOFIN, ITBUID, SMGMCOD, DMGMDATAMOVIMENTO) "
                 "VALUES (3, 1, 2026, 1, '00002', '2026-04-01')"));
  ok =
      ok &&
      BenchSupport::exec(
          QStringLiteral(
              "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %1) DO BEGIN "
              "INSERT INTO TART_ARTICOLI (IARTID, SARTCOD, SARTDESCS, IALVID, ITPDID, IMERID) "
              "VALUES (:I, LPAD(:I, 7, '0'), 'Articolo ' || :I, 1, 1, 1); "
              "INSERT INTO TGIA_GIACENZE (IGIAID, IARTID, IDWGID, IGIAESERCIZIOFIN, IUNMID, FGIAGIACINIZ, FGIAGIACATT, "
              "FGIASCORTAMIN, FGIACOSTOUNIINIZ, FGIACOSTOUNIMED) VALUES (:I, :I, 1, 2026, 1, 10, 10, 0, 12, 12); "
              "INSERT INTO TMGMART (IMGMARTID, IMGMID, IARTID, FMGMARTQUANTITA, FMGMARTPREZZOUNI, IALVID) "
              "VALUES (3 * :I, 1, :I, 5, 10, 1); "
              "INSERT INTO TMGMART (IMGMARTID, IMGMID, IARTID, FMGMARTQUANTITA) VALUES (3 * :I + 1, 2, :I, 24); "
              "INSERT INTO TMGMART (IMGMARTID, IMGMID, IARTID, FMGMARTQUANTITA, FMGMARTCOSTOUNI) "
              "VALUES (3 * :I + 2, 3, :I, 10, 15); "
              "I = I + 1; END END")
              .arg(articoli));
  if (!ok) return 1;
  std::printf("data: %d articles with their stock rows and 3 voucher rows each, built in %lld ms\n", articoli,
              timer.elapsed());

  Contesto.DwgId = 1;
  Contesto.EsercizioFin = 2026;
  for (int run = 0; run < 3; ++run) {
    int passi = 0;
    timer.restart();
    const KvResult<EsitoRicalcolo> esito = RicalcolaCostiMedi(-1, [&passi](int, int) { ++passi; });
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!esito) {
      std::fprintf(stderr, "recompute: %s %s\n", qPrintable(esito.error()), qPrintable(esito.detail()));
      return 1;
    }
    std::printf(
        "average-cost recomputation of every article: %d stock rows in %.0f ms (%.3f ms a row, %d errors, "
        "%d progress steps)\n",
        esito->righe, ms, ms / esito->righe, esito->errori, passi - 1);
  }
  const double uno = BenchSupport::best([] { (void)RicalcolaCostiMedi(articoli / 2); });
  std::printf("average-cost recomputation of one article: %.2f ms\n", uno);
  return 0;
}
