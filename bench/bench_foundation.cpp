// Figures of the foundation: database creation, id generation, start-up.
// Usage: bench_foundation [server-target-prefix]
#include "DbSchema.h"
#include "FenUDatabase.h"
#include "KvConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  KvDatabaseTarget t;
  t.database = dir.path() + QStringLiteral("/bench.fdb");

  QElapsedTimer timer;
  timer.start();
  QString error;
  if (!DbSchema::Create(t, true, &error)) {
    std::fprintf(stderr, "create: %s\n", qPrintable(error));
    return 1;
  }
  std::printf("db create --demo (embedded): %lld ms, %d objects\n", timer.elapsed(),
              int(DbSchema::RequiredObjects().size()));

  if (!TdmKvConnection::OpenConnection(t, &error)) {
    std::fprintf(stderr, "open: %s\n", qPrintable(error));
    return 1;
  }
  const int n = 5000;
  timer.restart();
  for (int i = 0; i < n; ++i) NuovoId(QStringLiteral("TPRE_PREVENTIVI"));
  const double secs = timer.nsecsElapsed() / 1e9;
  std::printf("NuovoId: %.0f calls/s (%d calls in %.3f s)\n", n / secs, n, secs);
  TdmKvConnection::CloseConnection();

  for (int run = 0; run < 3; ++run) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    timer.restart();
    p.start(QStringLiteral(PUX_BINARY), {QStringLiteral("--database"), t.database, QStringLiteral("--exit-when-ready")});
    p.waitForFinished(60000);
    std::printf("start-up to ready (demo database): %lld ms wall, program says: %s", timer.elapsed(),
                p.readAllStandardOutput().constData());
  }
  return 0;
}
