#include "KvFbAdmin.h"

#include "KvConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <ibase.h>

namespace {

QString statusText(const ISC_STATUS* status) {
  QString text;
  char buffer[512];
  const ISC_STATUS* vector = status;
  while (fb_interpret(buffer, sizeof buffer, &vector) > 0) {
    if (!text.isEmpty()) text += QLatin1Char(' ');
    text += QString::fromLocal8Bit(buffer);
  }
  return text;
}

bool failed(const ISC_STATUS* status) { return status[0] == 1 && status[1] != 0; }

QByteArray quoted(const QString& text) {
  QString q = text;
  q.replace(QLatin1Char('\''), QLatin1String("''"));
  return "'" + q.toUtf8() + "'";
}

}  // namespace

bool KvCreateDatabase(const KvDatabaseTarget& target, QString* error) {
  if (!target.isServer()) {
    const QFileInfo info(target.database);
    if (info.exists()) {
      if (error) *error = QStringLiteral("Il file \"%1\" esiste già: non viene sovrascritto.").arg(target.database);
      return false;
    }
    if (!QDir().mkpath(info.absolutePath())) {
      if (error) *error = QStringLiteral("Impossibile creare la cartella \"%1\".").arg(info.absolutePath());
      return false;
    }
  }
  QByteArray sql = "CREATE DATABASE " + quoted(target.database) + " USER " + quoted(target.user);
  if (!target.password.isEmpty()) sql += " PASSWORD " + quoted(target.password);
  sql += " PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8";

  ISC_STATUS_ARRAY status{};
  isc_db_handle db = 0;
  isc_tr_handle tr = 0;
  isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr);
  if (failed(status)) {
    if (error) {
      const QString text = statusText(status);
      if (text.contains(QLatin1String("already exists"), Qt::CaseInsensitive) ||
          text.contains(QLatin1String("File exists"), Qt::CaseInsensitive)) {
        *error = QStringLiteral("Il database \"%1\" esiste già: non viene sovrascritto.").arg(target.database);
      } else {
        // Known causes (login refused, server down) read better than the engine's text.
        QString why = KvDescribeOpenError(target, text);
        if (why.startsWith(QLatin1String("Impossibile aprire"))) why = text.trimmed();
        *error = QStringLiteral("Impossibile creare il database \"%1\": %2").arg(target.database, why);
      }
    }
    return false;
  }
  ISC_STATUS_ARRAY detachStatus{};
  isc_detach_database(detachStatus, &db);
  return true;
}

namespace {

QByteArray loginDpb(const KvDatabaseTarget& target) {
  QByteArray dpb;
  dpb.append(char(isc_dpb_version1));
  auto add = [&dpb](char tag, const QByteArray& value) {
    dpb.append(tag);
    dpb.append(char(value.size()));
    dpb.append(value);
  };
  add(char(isc_dpb_user_name), target.user.toUtf8());
  if (!target.password.isEmpty()) add(char(isc_dpb_password), target.password.toUtf8());
  return dpb;
}

}  // namespace

bool KvSetForcedWrites(const KvDatabaseTarget& target, bool on, QString* error) {
  QByteArray dpb = loginDpb(target);
  dpb.append(char(isc_dpb_force_write));
  dpb.append(char(1));
  dpb.append(char(on ? 1 : 0));
  const QByteArray name = target.database.toUtf8();
  ISC_STATUS_ARRAY status{};
  isc_db_handle db = 0;
  isc_attach_database(status, short(name.size()), name.constData(), &db, short(dpb.size()), dpb.constData());
  if (failed(status)) {
    if (error) *error = statusText(status);
    return false;
  }
  isc_detach_database(status, &db);
  return true;
}

bool KvDropDatabase(const KvDatabaseTarget& target, QString* error) {
  const QByteArray dpb = loginDpb(target);
  const QByteArray name = target.database.toUtf8();
  ISC_STATUS_ARRAY status{};
  isc_db_handle db = 0;
  isc_attach_database(status, short(name.size()), name.constData(), &db, short(dpb.size()), dpb.constData());
  if (failed(status)) {
    if (!target.isServer() && QFile::exists(target.database)) return QFile::remove(target.database);
    if (error) *error = statusText(status);
    return false;
  }
  isc_drop_database(status, &db);
  if (failed(status)) {
    if (error) *error = statusText(status);
    ISC_STATUS_ARRAY detachStatus{};
    isc_detach_database(detachStatus, &db);
    return false;
  }
  return true;
}
