#include "PuxTestDb.h"

#include "DbSchema.h"
#include "KvTestResult.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <map>

namespace PuxTestDb {
namespace {

QTemporaryDir& localDir() {
  static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/puxtest-XXXXXX"));
  return dir;
}

QString serverDir() {
  static QString dir = [] {
    const QString base = qEnvironmentVariable("PUX_TEST_SERVER_DIR");
    const QString mine = base + QStringLiteral("/p") + QString::number(getpid()) + QLatin1Char('-') +
                         QUuid::createUuid().toString(QUuid::Id128).left(8);
    QDir().mkpath(mine);
    return mine;
  }();
  return dir;
}

// Files the server opens must belong to the server's user.
void giveToServer(const QString& path) {
  if (const passwd* pw = getpwnam("firebird")) {
    if (chown(QFile::encodeName(path).constData(), pw->pw_uid, pw->pw_gid) != 0) {
    }
  }
}

KvDatabaseTarget targetFor(const QString& fileName) {
  KvDatabaseTarget t;
  if (ServerMode()) {
    t.database = qEnvironmentVariable("PUX_TEST_SERVER") + QLatin1Char(':') + serverDir() + QLatin1Char('/') + fileName;
    t.user = qEnvironmentVariable("PUX_TEST_SERVER_USER", QStringLiteral("SYSDBA"));
    t.password = qEnvironmentVariable("PUX_TEST_SERVER_PASSWORD", QStringLiteral("masterkey"));
  } else {
    t.database = localDir().path() + QLatin1Char('/') + fileName;
  }
  return t;
}

QString filePath(const KvDatabaseTarget& t) {
  if (!ServerMode()) return t.database;
  return t.database.mid(t.database.indexOf(QLatin1Char(':')) + 1);
}

// The template for the scripts of this build, made by the first process that
// needs it (embedded, under a temporary name, then renamed into place).
QString templateFile(Content content, QString* error) {
  QCryptographicHash hash(QCryptographicHash::Sha1);
  QDirIterator files(QStringLiteral(":/db"), QDir::Files, QDirIterator::Subdirectories);
  QStringList names;
  while (files.hasNext()) names << files.next();
  names.sort();
  for (const QString& name : names) {
    QFile f(name);
    if (f.open(QIODevice::ReadOnly)) {
      hash.addData(name.toUtf8());
      hash.addData(f.readAll());
    }
  }
  const QString dir = QDir::tempPath() + QStringLiteral("/puxtest-templates");
  QDir().mkpath(dir);
  const QString kind = content == Content::Demo ? QStringLiteral("demo") : QStringLiteral("schema");
  const QString path = dir + QLatin1Char('/') + QString::fromLatin1(hash.result().toHex().left(16)) + QLatin1Char('-') +
                       kind + QStringLiteral("-") + QDate::currentDate().toString(QStringLiteral("yyyy")) +
                       QStringLiteral(".fdb");
  if (QFileInfo::exists(path)) return path;
  KvDatabaseTarget tpl;
  tpl.database = dir + QStringLiteral("/building-") + QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".fdb");
  if (KvStatus created = DbSchema::Create(tpl, content == Content::Demo); !created) {
    if (error) *error = created.error();
    return {};
  }
  // rename() replaces atomically: a process copying the template meanwhile
  // still reads a whole file.
  if (std::rename(QFile::encodeName(tpl.database).constData(), QFile::encodeName(path).constData()) != 0) {
    if (error) *error = QStringLiteral("cannot move the template into place");
    QFile::remove(tpl.database);
    return {};
  }
  return path;
}

}  // namespace

bool ServerMode() { return qEnvironmentVariable("PUX_TEST_DB") == QLatin1String("server"); }

bool ServerConfigured() {
  return !qEnvironmentVariableIsEmpty("PUX_TEST_SERVER") && !qEnvironmentVariableIsEmpty("PUX_TEST_SERVER_DIR");
}

int RunAllTests(int argc, char** argv, const std::vector<::testing::TestEventListener*>& listeners) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  for (::testing::TestEventListener* l : listeners) ::testing::UnitTest::GetInstance()->listeners().Append(l);
  // The server runs of a hand-started ctest skip, saying why, rather than
  // fail by the hundred when no loopback server was started.
  if (ServerMode() && !ServerConfigured() && !GTEST_FLAG_GET(list_tests)) {
    std::fprintf(stdout, "nessun server di prova configurato (PUX_TEST_SERVER e PUX_TEST_SERVER_DIR, "
                         "vedi scripts/fbserver start): test saltato\n");
    return kSkipped;
  }
  return RUN_ALL_TESTS();
}

QString Folder() { return ServerMode() ? serverDir() : localDir().path(); }

KvDatabaseTarget UnusedTarget(const QString& name) {
  return targetFor(name + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::Id128).left(8) +
                   QStringLiteral(".fdb"));
}

KvDatabaseTarget NewDatabase(Content content) {
  if (ServerMode() && !ServerConfigured()) {
    ADD_FAILURE() << "PUX_TEST_DB=server needs PUX_TEST_SERVER and PUX_TEST_SERVER_DIR";
    return {};
  }
  static std::map<Content, QString> templates;
  auto it = templates.find(content);
  if (it == templates.end()) {
    QString error;
    const QString tpl = templateFile(content, &error);
    if (tpl.isEmpty()) {
      ADD_FAILURE() << "template database: " << error.toStdString();
      return {};
    }
    it = templates.emplace(content, tpl).first;
  }
  const KvDatabaseTarget t = UnusedTarget(QStringLiteral("db"));
  if (!QFile::copy(it->second, filePath(t))) {
    ADD_FAILURE() << "cannot copy the template database to " << filePath(t).toStdString();
    return {};
  }
  QFile::setPermissions(filePath(t), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
  if (ServerMode()) giveToServer(filePath(t));
  return t;
}

void Remove(const KvDatabaseTarget& target) {
  if (!target.database.isEmpty()) QFile::remove(filePath(target));
}

}  // namespace PuxTestDb

void PuxDbTest::SetUp() {
  target = PuxTestDb::NewDatabase(content());
  ASSERT_FALSE(target.database.isEmpty());
  ASSERT_TRUE(KvOk(TdmKvConnection::OpenConnection(target)));
}

void PuxDbTest::TearDown() {
  TdmKvConnection::CloseConnection();
  PuxTestDb::Remove(target);
}

void PuxDbTest::Exec(const QString& sql) {
  QSqlQuery q(qqoKvGlobConn());
  ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

QVariant PuxDbTest::Scalar(const QString& sql) {
  QSqlQuery q(qqoKvGlobConn());
  if (!q.exec(sql) || !q.next()) {
    ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
    return {};
  }
  return q.value(0);
}
