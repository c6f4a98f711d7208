// Figures of the data grid over a 100,000-row collection of a temporary
// embedded database: model reset, the first screen painted offscreen, a
// title click that sorts, a quick search applied.
// Usage: bench_views [rows]
#include "DbSchema.h"
#include "BenchSupport.h"
#include "KvConnection.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
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
  QString error;
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
  if (!c.Open(&error)) {
    std::fprintf(stderr, "open: %s\n", qPrintable(error));
    return 1;
  }

  TKvDBGrid grid;
  grid.SetCollection(&c);
  const QList<TKvCollectionModel::Column> columns = {
      {QStringLiteral("SPRECOD"), QStringLiteral("Numero"), 80},
      {QStringLiteral("DPREDATA"), QStringLiteral("Data"), 100},
      {QStringLiteral("SPREDESCS"), QStringLiteral("Oggetto"), 300},
      {QStringLiteral("FIMPORTO"), QStringLiteral("Importo"), 100},
      {QStringLiteral("VUOTO"), QStringLiteral("Bloccato"), 60},
      {QStringLiteral("IPREID"), QString(), -1, false},
  };
  grid.SetColumns(columns);
  grid.ColsIndex().Add()->SetColumn(2).SetFields(QStringLiteral("SPREDESCS")).SetSearchable(true);
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
  c.SetFilter(QStringLiteral("UPPER(SPREDESCS) LIKE '%ROSSI%'"));
  const double filterMs = best([&] {
    c.SetFiltered(false);
    c.SetFiltered(true);
    grid.viewport()->grab();
  });
  std::printf("quick search filter, with reset and repaint: %.1f ms (%d rows kept)\n", filterMs, c.RecordCount());
  c.Close();
  TdmKvConnection::CloseConnection();
  return 0;
}
