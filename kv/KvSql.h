#pragma once

#include "KvResult.h"

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>

class QSqlQuery;

// Checked statements on one connection: the prepare, the execute and the
// reading of the rows are each checked, and a failure comes back as an
// Italian text with the engine's own text as detail. Parameters are bound by
// name (":NAME", every occurrence); a default database is the global
// connection, or the connection a transaction runs on.
namespace KvSql {

using Params = QList<QPair<QString, QVariant>>;

// Runs a statement that returns no rows.
KvStatus Exec(const QString& sql, const Params& params = {}, QSqlDatabase db = QSqlDatabase());
// The first column of the first row; a null QVariant when there is no row.
KvResult<QVariant> Scalar(const QString& sql, const Params& params = {}, QSqlDatabase db = QSqlDatabase());
// The values of the first row; an empty list when there is no row.
KvResult<QVariantList> FirstRow(const QString& sql, const Params& params = {}, QSqlDatabase db = QSqlDatabase());
// Calls row for every row, in order; an error met while reading fails too.
KvStatus Rows(const QString& sql, const Params& params, const std::function<void(const QSqlQuery&)>& row,
              QSqlDatabase db = QSqlDatabase());

// The failure of a prepared or executed query (text "Operazione sul database
// non riuscita.", the engine's text as detail), for code that keeps its own query.
KvFailure Failure(const QSqlQuery& query);
// The engine's own text of the query's last error.
QString EngineText(const QSqlQuery& query);

}  // namespace KvSql
