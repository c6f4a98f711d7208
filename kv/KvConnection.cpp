#include "KvConnection.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>

namespace {

const QString kGlobalName = QStringLiteral("qqoKvGlobConn");
KvDatabaseTarget g_target;

}  // namespace

bool KvDatabaseTarget::looksLikeServer(const QString& database) {
  if (database.startsWith(QLatin1String("inet://"), Qt::CaseInsensitive) ||
      database.startsWith(QLatin1String("inet4://"), Qt::CaseInsensitive) ||
      database.startsWith(QLatin1String("inet6://"), Qt::CaseInsensitive))
    return true;
  // host:path or host/port:path; a single letter before the colon is a
  // Windows drive ("C:\...").
  static const QRegularExpression hostForm(QStringLiteral("^[A-Za-z0-9_.\\-\\[\\]]{2,}(/[0-9A-Za-z]+)?:"));
  return hostForm.match(database).hasMatch();
}

bool KvDatabaseTarget::isServer() const { return looksLikeServer(database); }

QString KvDatabaseTarget::host() const {
  if (!isServer()) return {};
  QString rest = database;
  const int scheme = rest.indexOf(QLatin1String("://"));
  if (scheme >= 0) {
    rest = rest.mid(scheme + 3);
    return rest.left(rest.indexOf(QLatin1Char('/')));
  }
  return rest.left(rest.indexOf(QLatin1Char(':')));
}

QString KvDescribeOpenError(const KvDatabaseTarget& target, const QString& engineText) {
  const QString db = target.database;
  const QString t = engineText;
  if (t.contains(QLatin1String("already opened with engine instance"), Qt::CaseInsensitive) ||
      t.contains(QLatin1String("lock\" operation"), Qt::CaseInsensitive))
    return QStringLiteral("Il database \"%1\" è già in uso da un altro programma. Chiudere l'altro programma "
                          "oppure usare un database su server.").arg(db);
  if (t.contains(QLatin1String("user name and password are not defined"), Qt::CaseInsensitive) ||
      t.contains(QLatin1String("login"), Qt::CaseInsensitive))
    return QStringLiteral("Il server del database ha rifiutato l'accesso: utente o password non validi (utente \"%1\").")
        .arg(target.user);
  if (t.contains(QLatin1String("network request"), Qt::CaseInsensitive) ||
      t.contains(QLatin1String("connection refused"), Qt::CaseInsensitive))
    return QStringLiteral("Impossibile collegarsi al server del database \"%1\": il server non risponde.").arg(target.host());
  if (t.contains(QLatin1String("No such file"), Qt::CaseInsensitive) ||
      t.contains(QLatin1String("Error while trying to open file"), Qt::CaseInsensitive))
    return QStringLiteral("Il database \"%1\" non esiste o non è accessibile.").arg(db);
  if (t.contains(QLatin1String("not a valid database"), Qt::CaseInsensitive) ||
      t.contains(QLatin1String("unsupported on-disk structure"), Qt::CaseInsensitive))
    return QStringLiteral("Il file \"%1\" non è un database valido.").arg(db);
  return QStringLiteral("Impossibile aprire il database \"%1\": %2").arg(db, t.trimmed());
}

KvStatus KvOpenNamedConnection(const QString& name, const KvDatabaseTarget& target) {
  if (QSqlDatabase::contains(name)) {
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
  }
  if (!target.isServer() && !QFileInfo::exists(target.database))
    return KvFail(QStringLiteral("Il database \"%1\" non esiste o non è accessibile.").arg(target.database));
  bool ok = false;
  QString engineText;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), name);
    if (!db.isValid()) {
      engineText = QStringLiteral("il driver QIBASE non è installato");
    } else {
      db.setDatabaseName(target.database);
      db.setUserName(target.user);
      db.setPassword(target.password);
      db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
      ok = db.open();
      if (!ok) engineText = db.lastError().text();
    }
  }
  if (!ok) {
    QSqlDatabase::removeDatabase(name);
    return KvFail(KvDescribeOpenError(target, engineText), engineText);
  }
  return {};
}

KvStatus TdmKvConnection::OpenConnection(const KvDatabaseTarget& target) {
  CloseConnection();
  if (KvStatus opened = KvOpenNamedConnection(kGlobalName, target); !opened) return opened;
  g_target = target;
  return {};
}

void TdmKvConnection::CloseConnection() {
  if (QSqlDatabase::contains(kGlobalName)) {
    QSqlDatabase::database(kGlobalName, false).close();
    QSqlDatabase::removeDatabase(kGlobalName);
  }
  g_target = KvDatabaseTarget{};
}

bool TdmKvConnection::IsOpen() {
  return QSqlDatabase::contains(kGlobalName) && QSqlDatabase::database(kGlobalName, false).isOpen();
}

KvDatabaseTarget TdmKvConnection::Target() { return g_target; }

QString TdmKvConnection::ConnectionName() { return kGlobalName; }

QSqlDatabase qqoKvGlobConn() { return QSqlDatabase::database(kGlobalName, false); }
