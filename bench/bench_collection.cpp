// Figures of the query collection on a 100,000-row table of a temporary
// embedded database: open, in-memory filter, in-memory sort.
// Usage: bench_collection [rows]
#include "DbSchema.h"
#include "BenchSupport.h"
#include "KvConnection.h"
#include "KvQueryCollection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
  QCoreApplication app(argc, argv);
  const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
  QTemporaryDir dir;
  if (!BenchSupport::openScratchDatabase(dir.path())) return 1;
  QElapsedTimer timer;
  timer.start();
  if (!exec(QStringLiteral("CREATE TABLE BENCH_ARTICOLI (IARTID INTEGER NOT NULL PRIMARY KEY, SARTCOD VARCHAR(10), "
                           "SARTDESCS VARCHAR(60), DARTDATA DATE, FARTPREZZO NUMERIC(18,6), ICATID INTEGER)")) ||
      !exec(QStringLiteral(
                "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                "INSERT INTO BENCH_ARTICOLI VALUES (:I + 1, LPAD(MOD(:I * 7919, 100000), 5, '0'), "
                "'Articolo ' || MOD(:I * 7919, 100000) || ' ' || DECODE(MOD(:I, 5), 0, 'Carta A4', 1, 'Penna blu', "
                "2, 'Toner nero', 3, 'Cartella', 'Evidenziatore giallo'), "
                "DATEADD(MOD(:I * 13, 730) DAY TO DATE '2023-01-01'), MOD(:I * 31, 100000) / 7.0, "
                "IIF(MOD(:I, 17) = 0, NULL, MOD(:I, 13))); I = I + 1; END END")
                .arg(rows))) {
    return 1;
  }
  std::printf("table of %d rows built in %lld ms\n", rows, timer.elapsed());

  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral(
      "SELECT IARTID, SARTCOD, SARTDESCS, DARTDATA, FARTPREZZO, ICATID FROM BENCH_ARTICOLI WHERE IARTID > :IARTID"));
  c.SetParam(QStringLiteral("IARTID"), 0);
  bool ok = true;
  KvStatus opened;
  const double open = best([&] {
    if (ok) opened = c.Open();
    ok = ok && opened.ok();
  });
  if (!ok) {
    std::fprintf(stderr, "open: %s\n", qPrintable(opened.error()));
    return 1;
  }
  std::printf("open %d rows x %d fields: %.1f ms\n", c.RecordCount(), c.FieldCount(), open);
  // The driver alone, for comparison: what any reader of these rows pays.
  const double raw = best([&] {
    QSqlQuery q(qqoKvGlobConn());
    q.setForwardOnly(true);
    q.exec(c.CommandText().replace(QStringLiteral(":IARTID"), QStringLiteral("0")));
    while (q.next())
      for (int i = 0; i < 6; ++i) q.value(i);
  });
  std::printf("  driver fetch of the same rows, values discarded: %.1f ms\n", raw);
  std::printf("refresh keeping the current row: %.1f ms\n", best([&] { (void)c.Refresh(); }));

  c.SetFilter(QStringLiteral("UPPER(SARTDESCS) LIKE '%PENNA%'"));
  const double filterOn = best([&] {
    (void)c.SetFiltered(false);
    (void)c.SetFiltered(true);
  });
  std::printf("contains filter on %d rows: %.1f ms (%d rows kept)\n", rows, filterOn, c.RecordCount());
  c.SetFilter(QStringLiteral("FARTPREZZO >= 5000 AND ICATID IS NOT NULL"));
  const double numericOn = best([&] {
    (void)c.SetFiltered(false);
    (void)c.SetFiltered(true);
  });
  std::printf("numeric filter on %d rows: %.1f ms (%d rows kept)\n", rows, numericOn, c.RecordCount());
  (void)c.SetFiltered(false);

  using Key = TKvQueryCollection::SortKey;
  // The first sort by a text field orders its texts; the sorts after it (and
  // every filter of a sorted list) reuse that order.
  QElapsedTimer first;
  first.start();
  c.SetSort({{QStringLiteral("SARTDESCS"), false}});
  std::printf("first sort %d rows by text, order of the texts made: %.1f ms\n", c.RecordCount(),
              first.nsecsElapsed() / 1e6);
  const struct {
    const char* what;
    QList<Key> keys;
  } sorts[] = {
      {"text (Italian collation)", {{QStringLiteral("SARTDESCS"), false}}},
      {"number, descending", {{QStringLiteral("FARTPREZZO"), true}}},
      {"date", {{QStringLiteral("DARTDATA"), false}}},
      {"integer with nulls, then text", {{QStringLiteral("ICATID"), false}, {QStringLiteral("SARTCOD"), false}}},
  };
  for (const auto& s : sorts) {
    const double ms = best([&] {
      c.SetSort({});
      c.SetSort(s.keys);
    });
    std::printf("sort %d rows by %s: %.1f ms (with the reset to load order)\n", c.RecordCount(), s.what, ms);
  }

  volatile qint64 sink = 0;
  const double scan = best([&] {
    for (int r = 0; r < c.RecordCount(); ++r) sink = sink + c.Value(r, 0).toLongLong();
  });
  std::printf("read one field of every visible row: %.1f ms\n", scan);
  TdmKvConnection::CloseConnection();
  return 0;
}
