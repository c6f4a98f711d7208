#include "KvConnection.h"
#include "KvTestResult.h"
#include "KvFbAdmin.h"
#include "PuxTestDb.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

TEST(KvConnection, RecognisesServerTargets) {
  struct Case {
    const char* text;
    bool server;
    const char* host;
  } cases[] = {
      {"/var/lib/pux/PUX.FDB", false, ""},
      {"C:\\KalvoData\\Pux\\PUX.FDB", false, ""},
      {"relative/pux.fdb", false, ""},
      {"127.0.0.1:/srv/pux.fdb", true, "127.0.0.1"},
      {"server/3051:/srv/pux.fdb", true, "server/3051"},
      {"segreteria:C:\\Dati\\PUX.FDB", true, "segreteria"},
      {"inet://127.0.0.1:3050//srv/pux.fdb", true, "127.0.0.1:3050"},
  };
  for (const Case& c : cases) {
    KvDatabaseTarget t;
    t.database = QString::fromUtf8(c.text);
    EXPECT_EQ(t.isServer(), c.server) << c.text;
    EXPECT_EQ(t.host(), QString::fromUtf8(c.host)) << c.text;
  }
}

TEST(KvConnection, MissingFileAndNonDatabaseAreReportedInItalian) {
  KvDatabaseTarget missing = PuxTestDb::UnusedTarget(QStringLiteral("missing"));
  QString error = TdmKvConnection::OpenConnection(missing).error();
  EXPECT_TRUE(error.contains(QStringLiteral("non esiste"))) << error.toStdString();
  EXPECT_FALSE(TdmKvConnection::IsOpen());

  if (PuxTestDb::ServerMode()) return;
  KvDatabaseTarget junk = PuxTestDb::UnusedTarget(QStringLiteral("junk"));
  QFile f(junk.database);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(20000, 'x'));
  f.close();
  error = TdmKvConnection::OpenConnection(junk).error();
  EXPECT_TRUE(error.contains(QStringLiteral("non è un database valido"))) << error.toStdString();
}

TEST(KvConnection, CreateRefusesAnExistingDatabaseAndLeavesItIntact) {
  const KvDatabaseTarget t = PuxTestDb::NewDatabase(PuxTestDb::Content::Schema);
  const QString error = KvCreateDatabase(t).error();
  EXPECT_TRUE(error.contains(QStringLiteral("esiste già"))) << error.toStdString();
  ASSERT_TRUE(KvOk(TdmKvConnection::OpenConnection(t)));
  QSqlQuery q(qqoKvGlobConn());
  EXPECT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM TANF_ANNIFINANZ")));
  TdmKvConnection::CloseConnection();
  PuxTestDb::Remove(t);
}

TEST(KvConnection, ServerRefusingTheLoginIsReported) {
  if (!PuxTestDb::ServerMode()) GTEST_SKIP() << "needs the loopback server";
  KvDatabaseTarget t = PuxTestDb::NewDatabase(PuxTestDb::Content::Schema);
  t.password = QStringLiteral("sbagliata");
  const QString error = TdmKvConnection::OpenConnection(t).error();
  EXPECT_TRUE(error.contains(QStringLiteral("rifiutato l'accesso"))) << error.toStdString();
  PuxTestDb::Remove(t);
}

