#include "KvParamManager.h"

#include "KvConnection.h"
#include "KvParam.h"

#include <QSqlError>
#include <QSqlQuery>

QString TKvParamManager::ApplicationOf(const QString& key) {
  const QString k = key.trimmed().toUpper();
  if (k.startsWith(QLatin1String("KVUP_")) || k.startsWith(QLatin1String("KV_"))) return QStringLiteral("KV");
  if (k.startsWith(QLatin1String("PUXP_"))) return QStringLiteral("PUX");
  if (k.startsWith(QLatin1String("QTZ"))) return QStringLiteral("QTZ");
  return TKvParam::GetApplCod();
}

QVariant TKvParamManager::GetParams(const QString& key) {
  QSqlQuery q(qqoKvGlobConn());
  q.prepare(QStringLiteral("SELECT SPARVALORE FROM TYPAR_PARAMETRI WHERE SPARAPPL = :APPL "
                           "AND SPARCHIAVE = :CHIAVE AND SPARUTENTE = ''"));
  q.bindValue(QStringLiteral(":APPL"), ApplicationOf(key));
  q.bindValue(QStringLiteral(":CHIAVE"), key.trimmed().toUpper());
  if (!q.exec() || !q.next()) return {};
  return q.value(0);
}

bool TKvParamManager::SetParams(const QString& key, const QVariant& value, QString* error) {
  QSqlQuery q(qqoKvGlobConn());
  q.prepare(QStringLiteral("UPDATE OR INSERT INTO TYPAR_PARAMETRI (SPARAPPL, SPARCHIAVE, SPARUTENTE, SPARVALORE, DPARAGGIORN) "
                           "VALUES (:APPL, :CHIAVE, '', :VALORE, CURRENT_TIMESTAMP) MATCHING (SPARAPPL, SPARCHIAVE, SPARUTENTE)"));
  q.bindValue(QStringLiteral(":APPL"), ApplicationOf(key));
  q.bindValue(QStringLiteral(":CHIAVE"), key.trimmed().toUpper());
  q.bindValue(QStringLiteral(":VALORE"), value.isNull() ? QVariant() : QVariant(value.toString()));
  if (!q.exec()) {
    if (error) *error = q.lastError().text();
    return false;
  }
  return true;
}

int KvParamAsInt(const QString& key) {
  const QVariant v = TKvParamManager::GetParams(key);
  if (v.isNull()) return -1;
  bool ok = false;
  const int n = v.toString().trimmed().toInt(&ok);
  return ok ? n : -1;
}
