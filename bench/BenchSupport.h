#pragma once

#include "DbSchema.h"
#include "KvConnection.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>

// Small helpers shared by the benchmarks.
namespace BenchSupport {

// Runs a statement on the global connection; prints the error and returns
// false when it fails.
inline bool exec(const QString& sql) {
  QSqlQuery q(qqoKvGlobConn());
  if (q.exec(sql)) return true;
  std::fprintf(stderr, "%s: %s\n", qPrintable(sql.left(60)), qPrintable(q.lastError().text()));
  return false;
}

// Creates an empty database with the schema in dir and opens the global
// connection on it; prints the reason and returns false when it cannot.
inline bool openScratchDatabase(const QString& dir) {
  KvDatabaseTarget t;
  t.database = dir + QStringLiteral("/bench.fdb");
  KvStatus ready = DbSchema::Create(t, false);
  if (ready) ready = TdmKvConnection::OpenConnection(t);
  if (ready) return true;
  std::fprintf(stderr, "database: %s\n", qPrintable(ready.error()));
  return false;
}

// Best of three runs, in milliseconds.
inline double best(const std::function<void()>& work) {
  double ms = 1e99;
  for (int run = 0; run < 3; ++run) {
    QElapsedTimer t;
    t.start();
    work();
    ms = std::min(ms, t.nsecsElapsed() / 1e6);
  }
  return ms;
}

}  // namespace BenchSupport
