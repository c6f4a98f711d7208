#include "KvParamManager.h"

#include "KvTransaction.h"

#include "KvConnection.h"
#include "KvParam.h"
#include "TfmKvParametri.h"

#include <QSqlDatabase>
#include "KvSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// A parameter that cannot be read counts as never saved (the callers' default).
QVariant readParam(const QSqlDatabase& db, const QString& key) {
  return KvSql::Scalar(QStringLiteral("SELECT SPARVALORE FROM TYPAR_PARAMETRI WHERE SPARAPPL = :APPL "
                                      "AND SPARCHIAVE = :CHIAVE AND SPARUTENTE = ''"),
                       {{QStringLiteral("APPL"), TKvParamManager::ApplicationOf(key)},
                        {QStringLiteral("CHIAVE"), key.trimmed().toUpper()}},
                       db)
      .value_or(QVariant());
}

KvStatus writeParam(const QSqlDatabase& db, const QString& key, const QVariant& value) {
  return KvSql::Exec(
      QStringLiteral(
          "UPDATE OR INSERT INTO TYPAR_PARAMETRI (SPARAPPL, SPARCHIAVE, SPARUTENTE, SPARVALORE, DPARAGGIORN) "
          "VALUES (:APPL, :CHIAVE, '', :VALORE, CURRENT_TIMESTAMP) MATCHING (SPARAPPL, SPARCHIAVE, SPARUTENTE)"),
      {{QStringLiteral("APPL"), TKvParamManager::ApplicationOf(key)},
       {QStringLiteral("CHIAVE"), key.trimmed().toUpper()},
       {QStringLiteral("VALORE"), value.isNull() ? QVariant() : QVariant(value.toString())}},
      db);
}

bool sameKey(const QString& a, const QString& b) {
  return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString TKvParamManager::ApplicationOf(const QString& key) {
  const QString k = key.trimmed().toUpper();
  if (k.startsWith(QLatin1String("KVUP_")) || k.startsWith(QLatin1String("KV_"))) return QStringLiteral("KV");
  if (k.startsWith(QLatin1String("PUXP_"))) return QStringLiteral("PUX");
  if (k.startsWith(QLatin1String("QTZ"))) return QStringLiteral("QTZ");
  return TKvParam::GetApplCod();
}

QVariant TKvParamManager::GetParams(const QString& key) {
  return readParam(qqoKvGlobConn(), key);
}

KvStatus TKvParamManager::SetParams(const QString& key, const QVariant& value) {
  return writeParam(qqoKvGlobConn(), key, value);
}

KvResult<TKvEnumList> TKvParamManager::LoadEnumValues(const QSqlDatabase& db, const QString& statement) {
  TKvEnumList list;
  const KvStatus read = KvSql::Rows(statement, {}, [&](const QSqlQuery& q) {
    const bool twoColumns = q.record().count() > 1;
    list.append({q.value(0).toString(), twoColumns ? q.value(1).toString() : q.value(0).toString()});
  }, db);
  if (!read) return read.failure();
  return list;
}

KvResult<TKvEnumList> TKvParamManager::LoadEnumValues(const QString& connectionName, const QString& statement) {
  return LoadEnumValues(connectionName.isEmpty() ? qqoKvGlobConn() : QSqlDatabase::database(connectionName),
                        statement);
}

QSqlDatabase TKvParamManager::Database() const {
  return m_connectionName.isEmpty() ? qqoKvGlobConn() : QSqlDatabase::database(m_connectionName);
}

void TKvParamManager::AddParam(const TKvParamDef& def) {
  for (TKvParamDef& existing : m_params) {
    if (sameKey(existing.key, def.key)) {
      existing = def;
      return;
    }
  }
  m_params.append(def);
}

void TKvParamManager::AddKvParams() {
  TKvParamDef istituto;
  istituto.key = QStringLiteral("KVUP_DwgId");
  istituto.caption = QStringLiteral("Istituto di lavoro");
  istituto.kind = TKvParamKind::EnumList;
  istituto.application = QStringLiteral("KV");
  istituto.listStatement = QStringLiteral(
      "SELECT IDWGID, SDOWSDESC FROM VDOW_DATAOWNER WHERE IDOWID IS NOT NULL AND DDELETE IS NULL "
      "AND DDELETE_DOW IS NULL ORDER BY SDOWSDESC");
  AddParam(istituto);

  TKvParamDef anno;
  anno.key = QStringLiteral("KVUP_AnfId");
  anno.caption = QStringLiteral("Esercizio finanziario");
  anno.kind = TKvParamKind::EnumList;
  anno.application = QStringLiteral("KV");
  anno.listStatement =
      QStringLiteral("SELECT IANFID, IANFVALORE FROM TANF_ANNIFINANZ WHERE DDELETE IS NULL ORDER BY IANFVALORE");
  AddParam(anno);
}

const TKvParamDef* TKvParamManager::Param(const QString& key) const {
  for (const TKvParamDef& def : m_params)
    if (sameKey(def.key, key)) return &def;
  return nullptr;
}

KvResult<TKvEnumList> TKvParamManager::FillList(const TKvParamDef& def, const TKvParamValue& current) const {
  TKvEnumList list;
  bool handled = false;
  if (FillListParam) FillListParam(def.key, current, list, handled);
  if (handled) return list;
  if (!def.items.isEmpty()) return def.items;
  if (!def.listStatement.isEmpty()) return LoadEnumValues(Database(), def.listStatement);
  return list;
}

TKvParamValue TKvParamManager::ReadValue(const TKvParamDef& def, const QVariant& stored,
                                         const TKvEnumList& list) const {
  TKvParamValue control;
  bool handled = false;
  if (ReadParam) ReadParam(def.key, stored, control, handled);
  if (!handled) {
    if (def.kind != TKvParamKind::EnumList) {
      control.text = stored.isNull() ? QString() : stored.toString();
    } else if (!stored.isNull()) {
      const QString id = stored.toString().trimmed();
      for (int i = 0; i < list.size(); ++i)
        if (list[i].id == id) control.index = i;
    }
  }
  if (def.kind == TKvParamKind::EnumList) {
    // Whatever the handler chose, id and text follow the position.
    if (control.index < 0 || control.index >= list.size()) {
      control = TKvParamValue{};
    } else {
      control.id = list[control.index].id;
      control.text = list[control.index].text;
    }
  }
  return control;
}

QString TKvParamManager::WriteValue(const TKvParamDef& def, const TKvParamValue& control) const {
  QString stored;
  bool handled = false;
  if (WriteParam) WriteParam(def.key, control, stored, handled);
  if (handled) return stored;
  switch (def.kind) {
    case TKvParamKind::EnumList:
      return control.id;
    case TKvParamKind::Integer:
      return control.text.trimmed();
    case TKvParamKind::Text:
      return control.text;
  }
  return control.text;
}

QVariant TKvParamManager::StoredValue(const QString& key) const {
  return readParam(Database(), key);
}

KvStatus TKvParamManager::SaveValues(const QList<QPair<QString, QString>>& values) const {
  QSqlDatabase db = Database();
  return KvInTransaction(db, [&]() -> KvStatus {
    for (const auto& [key, value] : values)
      if (KvStatus written = writeParam(db, key, value); !written) return written;
    return {};
  });
}

bool TKvParamManager::Execute(QWidget* parent) {
  TfmKvParametri window(*this, parent);
  return window.exec() == QDialog::Accepted;
}

int KvParamAsInt(const QString& key) {
  const QVariant v = TKvParamManager::GetParams(key);
  if (v.isNull()) return -1;
  bool ok = false;
  const int n = v.toString().trimmed().toInt(&ok);
  return ok ? n : -1;
}
