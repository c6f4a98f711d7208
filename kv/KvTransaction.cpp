#include "KvTransaction.h"

#include <QSqlError>

KvStatus KvInTransaction(QSqlDatabase db, const std::function<KvStatus()>& body) {
  if (!db.transaction()) return KvFail(db.lastError().text());
  if (KvStatus done = body(); !done) {
    db.rollback();
    return done;
  }
  if (!db.commit()) {
    const QString why = db.lastError().text();
    db.rollback();
    return KvFail(why);
  }
  return {};
}
