// Figures of the foundation: database creation, id generation, start-up.
// Usage: bench_foundation [server-target-prefix]
#include "DbSchema.h"
#include "FenUDatabase.h"
#include "KvConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  KvDatabaseTarget t;
  t.database = dir.path() + QStringLiteral("/bench.fdb");

  QElapsedTimer timer;
  timer.start();
  if (KvStatus created = DbSchema::Create(t, true); !created) {
    std::fprintf(stderr, "create: %s\n", qPrintable(created.error()));
    return 1;
  }
  std::printf("db create --demo (embedded): %lld ms, %d objects\n", timer.elapsed(),
              int(DbSchema::RequiredObjects().size()));

  if (KvStatus opened = TdmKvConnection::OpenConnection(t); !opened) {
    std::fprintf(stderr, "open: %s\n", qPrintable(opened.error()));
    return 1;
  }
  const int n = 5000;
  timer.restart();
  for (int i = 0; i < n; ++i) NuovoId(QStringLiteral("TPRE_PREVENTIVI"));
  const double secs = timer.nsecsElapsed() / 1e9;
  std::printf("NuovoId: %.0f calls/s (%d calls in %.3f s)\n", n / secs, n, secs);
  TdmKvConnection::CloseConnection();

  auto startUp = [&](const char* label) {
    for (int run = 0; run < 3; ++run) {
      QProcess p;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
      p.setProcessEnvironment(env);
      timer.restart();
      p.start(QStringLiteral(PUX_BINARY), {QStringLiteral("--database"), t.database, QStringLiteral("--exit-when-ready")});
      p.waitForFinished(60000);
      std::printf("start-up to ready (%s): %lld ms wall, program says: %s", label, timer.elapsed(),
                  p.readAllStandardOutput().constData());
    }
  };
  startUp("demo database");

  // Ten years of a busy school: 400 procedures a year with their articles,
  // invited suppliers, offers, price rows and publication records.
  if (!TdmKvConnection::OpenConnection(t)) return 1;
  timer.restart();
  auto q = std::make_unique<QSqlQuery>(qqoKvGlobConn());
  const bool filled = q->exec(QStringLiteral(R"(
EXECUTE BLOCK AS
  DECLARE Y INTEGER; DECLARE N INTEGER; DECLARE A INTEGER; DECLARE B INTEGER;
  DECLARE P INTEGER = 100000; DECLARE PA INTEGER = 200000; DECLARE PB INTEGER = 400000;
  DECLARE O INTEGER = 500000; DECLARE OA INTEGER = 600000; DECLARE AV INTEGER = 900000;
BEGIN
  Y = EXTRACT(YEAR FROM CURRENT_DATE) - 9;
  WHILE (Y <= EXTRACT(YEAR FROM CURRENT_DATE)) DO
  BEGIN
    N = 1;
    WHILE (N <= 400) DO
    BEGIN
      P = P + 1;
      INSERT INTO TPRE_PREVENTIVI (IPREID, IDWGID, IPREESERCIZIOFIN, SPRECOD, DPREDATA, SPREDESCS, ISCRID, ICRCID)
        VALUES (:P, 1, :Y, LPAD(:N + 100, 5, '0'), CAST(:Y || '-03-01' AS DATE) + MOD(:N, 250),
                'Acquisto materiale n. ' || :N, 31, 1);
      A = 0;
      WHILE (A < 5) DO
      BEGIN
        PA = PA + 1;
        INSERT INTO TPREART (IPREARTID, IPREID, IARTID, FPREARTQUANTITA) VALUES (:PA, :P, MOD(:N + :A * 7, 40) + 1, 10);
        A = A + 1;
      END
      B = 0;
      WHILE (B < 3) DO
      BEGIN
        PB = PB + 1;
        O = O + 1;
        INSERT INTO TPREBEN (IPREBENID, IPREID, IBENID) VALUES (:PB, :P, MOD(:N + :B * 3, 10) + 1);
        INSERT INTO TOFF_OFFERTE (IOFFID, IPREBENID, IDWGID, IOFFESERCIZIOFIN, FOFFIMPORTO, IOFFMARCATO)
          VALUES (:O, :PB, 1, :Y, 100 + :B, IIF(:B = 0, 1, 0));
        A = 0;
        WHILE (A < 5) DO
        BEGIN
          OA = OA + 1;
          INSERT INTO TOFFART (IOFFARTID, IPREARTID, IOFFID, FOFFARTIMPORTO) VALUES (:OA, :PA - :A, :O, 10 + :B);
          A = A + 1;
        END
        B = B + 1;
      END
      AV = AV + 1;
      INSERT INTO TAVC_AVCP (IAVCID, IDWGID, IAVCESERCIZIOFIN, DAVCDATA, SAVCLDESC, ISCRID)
        VALUES (:AV, 1, :Y, CAST(:Y || '-03-01' AS DATE), 'Acquisto materiale n. ' || :N, 31);
      N = N + 1;
    END
    Y = Y + 1;
  END
END)"));
  if (!filled) {
    std::fprintf(stderr, "fill: %s\n", qPrintable(q->lastError().text()));
    return 1;
  }
  std::printf("ten years of data (4000 procedures, 60000 price rows) written in %lld ms\n", timer.elapsed());
  q.reset();  // the file must be free for the program
  TdmKvConnection::CloseConnection();
  startUp("ten years of data");
  return 0;
}
