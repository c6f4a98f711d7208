#include "KvSql.h"

#include "KvConnection.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace KvSql {

namespace {

QSqlDatabase connection(const QSqlDatabase& db) {
  return db.isValid() ? db : qqoKvGlobConn();
}

// A prepared and executed query, or why not.
KvStatus run(QSqlQuery& q, const QString& sql, const Params& params) {
  if (!q.prepare(sql)) return Failure(q);
  for (const auto& [name, value] : params)
    q.bindValue(name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name, value);
  if (!q.exec()) return Failure(q);
  return {};
}

}  // namespace

QString EngineText(const QSqlQuery& query) {
  const QSqlError e = query.lastError();
  const QString engine = e.databaseText().trimmed();
  return engine.isEmpty() ? e.text().trimmed() : engine;
}

KvFailure Failure(const QSqlQuery& query) {
  return KvFail(QStringLiteral("Operazione sul database non riuscita."), EngineText(query));
}

KvStatus Exec(const QString& sql, const Params& params, QSqlDatabase db) {
  QSqlQuery q(connection(db));
  return run(q, sql, params);
}

KvResult<QVariant> Scalar(const QString& sql, const Params& params, QSqlDatabase db) {
  const KvResult<QVariantList> row = FirstRow(sql, params, db);
  if (!row) return row.failure();
  return row->isEmpty() ? QVariant() : row->first();
}

KvResult<QVariantList> FirstRow(const QString& sql, const Params& params, QSqlDatabase db) {
  QSqlQuery q(connection(db));
  q.setForwardOnly(true);
  if (KvStatus s = run(q, sql, params); !s) return s.failure();
  QVariantList values;
  if (q.next())
    for (int i = 0; i < q.record().count(); ++i) values << q.value(i);
  if (q.lastError().isValid()) return Failure(q);
  return values;
}

KvStatus Rows(const QString& sql, const Params& params, const std::function<void(const QSqlQuery&)>& row,
              QSqlDatabase db) {
  QSqlQuery q(connection(db));
  q.setForwardOnly(true);
  if (KvStatus s = run(q, sql, params); !s) return s;
  while (q.next()) row(q);
  if (q.lastError().isValid()) return Failure(q);
  return {};
}

}  // namespace KvSql
