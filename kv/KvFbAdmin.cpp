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

KvStatus KvCreateDatabase(const KvDatabaseTarget& target) {
  if (!target.isServer()) {
    const QFileInfo info(target.database);
    if (info.exists())
      return KvFail(QStringLiteral("Il file \"%1\" esiste già: non viene sovrascritto.").arg(target.database));
    if (!QDir().mkpath(info.absolutePath()))
      return KvFail(QStringLiteral("Impossibile creare la cartella \"%1\".").arg(info.absolutePath()));
  }
  QByteArray sql = "CREATE DATABASE " + quoted(target.database) + " USER " + quoted(target.user);
  if (!target.password.isEmpty()) sql += " PASSWORD " + quoted(target.password);
  sql += " PAGE_SIZE 16384 DEFAULT CHARACTER SET UTF8";

  ISC_STATUS_ARRAY status{};
  isc_db_handle db = 0;
  isc_tr_handle tr = 0;
  isc_dsql_execute_immediate(status, &db, &tr, 0, sql.constData(), 3, nullptr);
  if (failed(status)) {
    const QString text = statusText(status);
    if (text.contains(QLatin1String("already exists"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("File exists"), Qt::CaseInsensitive))
      return KvFail(QStringLiteral("Il database \"%1\" esiste già: non viene sovrascritto.").arg(target.database),
                    text);
    // Known causes (login refused, server down) read better than the engine's text.
    QString why = KvDescribeOpenError(target, text);
    if (why.startsWith(QLatin1String("Impossibile aprire"))) why = text.trimmed();
    return KvFail(QStringLiteral("Impossibile creare il database \"%1\": %2").arg(target.database, why), text);
  }
  ISC_STATUS_ARRAY detachStatus{};
  isc_detach_database(detachStatus, &db);
  return {};
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

KvStatus KvSetForcedWrites(const KvDatabaseTarget& target, bool on) {
  QByteArray dpb = loginDpb(target);
  dpb.append(char(isc_dpb_force_write));
  dpb.append(char(1));
  dpb.append(char(on ? 1 : 0));
  const QByteArray name = target.database.toUtf8();
  ISC_STATUS_ARRAY status{};
  isc_db_handle db = 0;
  isc_attach_database(status, short(name.size()), name.constData(), &db, short(dpb.size()), dpb.constData());
  if (failed(status)) return KvFail(statusText(status));
  isc_detach_database(status, &db);
  return {};
}

KvStatus KvDropDatabase(const KvDatabaseTarget& target) {
  const QByteArray dpb = loginDpb(target);
  const QByteArray name = target.database.toUtf8();
  ISC_STATUS_ARRAY status{};
  isc_db_handle db = 0;
  isc_attach_database(status, short(name.size()), name.constData(), &db, short(dpb.size()), dpb.constData());
  if (failed(status)) {
    if (!target.isServer() && QFile::exists(target.database)) {
      if (QFile::remove(target.database)) return {};
      return KvFail(QStringLiteral("Impossibile cancellare il file \"%1\".").arg(target.database), statusText(status));
    }
    return KvFail(statusText(status));
  }
  isc_drop_database(status, &db);
  if (failed(status)) {
    const QString why = statusText(status);
    ISC_STATUS_ARRAY detachStatus{};
    isc_detach_database(detachStatus, &db);
    return KvFail(why);
  }
  return {};
}
