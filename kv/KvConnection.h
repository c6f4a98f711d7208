#pragma once

#include <QSqlDatabase>
#include <QString>

#include "KvResult.h"

// Where the suite database lives: an embedded file, or a database on a
// Firebird server ("host:/path", "host/port:/path", "inet://host:port//path").
struct KvDatabaseTarget {
  QString database;
  QString user = QStringLiteral("SYSDBA");
  QString password;

  bool isServer() const;
  // Server host as written in the target ("" for an embedded file).
  QString host() const;
  static bool looksLikeServer(const QString& database);
};

// The process-wide connection to the suite database.
class TdmKvConnection {
 public:
  // Opens the global connection; on failure a message for the user. An
  // already open connection is closed first.
  static KvStatus OpenConnection(const KvDatabaseTarget& target);
  static void CloseConnection();
  static bool IsOpen();
  static KvDatabaseTarget Target();
  static QString ConnectionName();
};

// The global connection every query of the program runs on.
QSqlDatabase qqoKvGlobConn();

// Opens a private connection (not the global one) under the given name.
KvStatus KvOpenNamedConnection(const QString& name, const KvDatabaseTarget& target);

// Turns a driver or engine error into one clear Italian sentence.
QString KvDescribeOpenError(const KvDatabaseTarget& target, const QString& engineText);
