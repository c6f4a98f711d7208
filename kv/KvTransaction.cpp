#include "KvTransaction.h"

#include <QSqlError>

bool KvInTransaction(QSqlDatabase db, QString* error, const std::function<bool()>& body) {
  if (!db.transaction()) {
    if (error) *error = db.lastError().text();
    return false;
  }
  if (!body()) {
    db.rollback();
    return false;
  }
  if (!db.commit()) {
    if (error) *error = db.lastError().text();
    db.rollback();
    return false;
  }
  return true;
}
