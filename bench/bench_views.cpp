// Figures of the data grid over a 100,000-row collection of a temporary
// embedded database: model reset, the first screen painted offscreen, a
// title click that sorts, and the quick search bar as a clerk uses it (the
// filter alone, with the grid's reset, with the repaint), in load order and
// with the list sorted by a text column.
// Usage: bench_views [rows]
#include "DbSchema.h"
#include "BenchSupport.h"
#include "KvConnection.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TfrAbzRicerca.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

using BenchSupport::best;
using BenchSupport::exec;

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
  QTemporaryDir dir;
  if (!BenchSupport::openScratchDatabase(dir.path())) return 1;
  if (!exec(QStringLiteral("CREATE TABLE BENCH_PREVENTIVI (IPREID INTEGER NOT NULL PRIMARY KEY, SPRECOD VARCHAR(5), "
                           "DPREDATA DATE, SPREDESCS VARCHAR(60), FIMPORTO NUMERIC(18,6), ILOCKED INTEGER)")) ||
      !exec(QStringLiteral(
                "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                "INSERT INTO BENCH_PREVENTIVI VALUES (:I + 1, LPAD(MOD(:I * 7919, 100000), 5, '0'), "
                "DATEADD(MOD(:I * 13, 730) DAY TO DATE '2023-01-01'), 'Fornitura ' || DECODE(MOD(:I, 4), 0, "
                "'carta ROSSI', 1, 'toner', 2, 'banchi Bianchi', 'pulizie') || ' ' || :I, MOD(:I * 31, 100000) / 7.0, "
                "MOD(:I, 3)); I = I + 1; END END")
                .arg(rows))) {
    return 1;
  }

  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral(
      "SELECT IPREID, SPRECOD, DPREDATA, SPREDESCS, FIMPORTO, CAST(NULL AS VARCHAR(1)) AS VUOTO, ILOCKED "
      "FROM BENCH_PREVENTIVI"));
  if (KvStatus opened = c.Open(); !opened) {
    std::fprintf(stderr, "open: %s\n", qPrintable(opened.error()));
    return 1;
  }

  TKvDBGrid grid;
  grid.SetCollection(&c);
  // The description and the amount sort; the description is searched.
  const KvColumns columns = {
      {.field = "SPRECOD", .caption = "Numero", .width = 80, .sortable = false},
      {.field = "DPREDATA", .caption = "Data", .width = 100, .sortable = false},
      {.field = "SPREDESCS", .caption = "Oggetto", .width = 300, .searchable = true},
      {.field = "FIMPORTO", .caption = "Importo", .width = 100},
      {.field = "VUOTO", .caption = "Bloccato", .width = 60, .sortable = false},
      {.field = "IPREID", .visible = false, .sortable = false},
  };
  grid.SetColumns(columns);
  grid.SetOddRowColor(QColor(0xFF, 0xFF, 0xCC));
  const QPixmap padlock = TKvDBGrid::PadlockImage();
  const int locked = c.FieldIndex(QStringLiteral("ILOCKED"));
  grid.OnDrawColumnCell = [&](TKvDrawCell& cell) {
    if (cell.field == QLatin1String("VUOTO") && c.Value(cell.row, locked).toInt() == 1) {
      cell.image = padlock;
      cell.imageLeft = 10;
    }
  };
  grid.resize(1000, 700);
  grid.show();
  QApplication::processEvents();

  std::printf("collection of %d rows\n", c.RecordCount());
  const double resetMs = best([&] { grid.Model()->SetColumns(columns); });
  const double resetPaintMs = best([&] {
    grid.Model()->SetColumns(columns);
    grid.viewport()->grab();
  });
  std::printf("model reset, grid attached: %.2f ms; with the repaint that follows: %.2f ms\n", resetMs, resetPaintMs);
  const double paintMs = best([&] { grid.viewport()->grab(); });
  std::printf("first screen painted offscreen (%d rows visible): %.2f ms\n",
              grid.viewport()->height() / grid.RowHeight(), paintMs);
  const double sortMs = best([&] {
    grid.SortByColumn(2);
    grid.viewport()->grab();
  });
  std::printf("title click sorting by text, with reset and repaint: %.1f ms\n", sortMs);
  const double numberSortMs = best([&] {
    grid.SortByColumn(3);
    grid.viewport()->grab();
  });
  std::printf("title click sorting by amount, with reset and repaint: %.1f ms\n", numberSortMs);

  // The quick search bar: the text typed, then what its timer runs.
  TfrAbzRicerca bar;
  bar.SetQueryCollection(&c);
  bar.SetGrid(&grid);
  bar.Imposta();
  const QString filter = QStringLiteral("UPPER(SPREDESCS) LIKE '%ROSSI%'");
  for (const bool sorted : {false, true}) {
    grid.SortByColumn(sorted ? 2 : 3);  // by amount: not the searched text
    std::printf("quick search on %d rows, list sorted by %s:\n", c.RecordCount(), sorted ? "text" : "amount");
    c.SetFilter(filter);
    QSignalBlocker quiet(&c);  // no model, no view: the collection alone
    const double alone = best([&] {
      (void)c.SetFiltered(false);
      (void)c.SetFiltered(true);
    });
    std::printf("  filter alone (unfilter and filter again): %.1f ms (%d rows kept)\n", alone, c.RecordCount());
    quiet.unblock();
    (void)c.SetFiltered(false);
    const double reset = best([&] {
      (void)c.SetFiltered(false);
      (void)c.SetFiltered(true);
    });
    std::printf("  with the grid's reset: %.1f ms\n", reset);
    (void)c.SetFiltered(false);
    c.SetFilter(QString());
    int typed = 0;
    const double bar1 = best([&] {
      bar.edRicerca->setText(typed++ % 2 ? QStringLiteral("rossi") : QStringLiteral("bianchi"));
      bar.tmFiltTimer();
      grid.viewport()->grab();
    });
    std::printf("  typed into the bar, with reset and repaint: %.1f ms (%d rows kept)\n", bar1, c.RecordCount());
    bar.edRicerca->setText(QString());
  }
  c.Close();
  TdmKvConnection::CloseConnection();
  return 0;
}
