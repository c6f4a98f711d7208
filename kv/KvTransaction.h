#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

// Runs body in one transaction on db: committed when body returns true,
// rolled back when it returns false or the commit fails, so either every
// statement of body is written or none. body reports its own error.
bool KvInTransaction(QSqlDatabase db, QString* error, const std::function<bool()>& body);
