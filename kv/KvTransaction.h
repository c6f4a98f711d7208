#pragma once

#include "KvResult.h"

#include <QSqlDatabase>

#include <functional>

// Runs body in one transaction on db: committed when body succeeds, rolled
// back when it fails or the commit fails, so either every statement of body
// is written or none. The failure is body's own, or the engine's text.
KvStatus KvInTransaction(QSqlDatabase db, const std::function<KvStatus()>& body);
