#include "AbiMCom.h"

#include "FenUDatabase.h"
#include "KvConnection.h"
#include "KvSql.h"
#include "KvQueryCollection.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSqlQuery>

namespace {

QPointer<TdmComuni>& instance() {
  static QPointer<TdmComuni> module;
  return module;
}

const char* const kSelect =
    "SELECT TSRPC.ISRPCID, TSRPC.ISTAID, TSRPC.ICOMID, TSRPC.SSRPCCODCATA, TSRPC.SSRPCCOMRISTAT, "
    "TCOM_COMUNI.SCOMDESC, TSTA_STATI.SSTALDESC "
    "FROM TSRPC "
    "INNER JOIN TCOM_COMUNI ON (TCOM_COMUNI.ICOMID = TSRPC.ICOMID) "
    "INNER JOIN TSTA_STATI ON (TSTA_STATI.ISTAID = TSRPC.ISTAID) "
    "WHERE (TSRPC.ISTAID <> 1) AND (TSRPC.DDELETE IS NULL) AND (TCOM_COMUNI.DDELETE IS NULL) "
    "ORDER BY TSRPC.ISTAID, TCOM_COMUNI.SCOMDESC";

QString invalidField(const QString& caption) {
  return QStringLiteral("Attenzione!\r\nValore non valido per il campo \"%1\"").arg(caption);
}

}  // namespace

TdmComuni::TdmComuni(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("dmComuni"));
  xqcComuniEsteri = new TKvQueryCollection(this);
  xqcComuniEsteri->setObjectName(QStringLiteral("xqcComuniEsteri"));
  xqcComuniEsteri->SetCommandText(QString::fromLatin1(kSelect));
  xqcComuniEsteri->SetKeyField(QStringLiteral("ISRPCID"));
  xqcComuniEsteri->SetTableName(QStringLiteral("TSRPC"));
  xqcComuniEsteri->SetAutoBuildSQL(false);
  xqcComuniEsteri->SQLInsert() = {
      QStringLiteral("INSERT INTO TCOM_COMUNI (ICOMID, SCOMDESC, DSTART) VALUES (:KVGENID, :SCOMDESC, '0001/01/01')"),
      QStringLiteral("INSERT INTO TSRPC (ISRPCID, ISTAID, ICOMID, DSTART, IPROID, SSRPCCOMRISTAT, SSRPCCODCATA) "
                     "VALUES (:KVGENID, :ISTAID, :ICOMID, '0001/01/01', 20000, :SSRPCCOMRISTAT, :SSRPCCODCATA)"),
  };
  xqcComuniEsteri->SQLUpdate() = {
      QStringLiteral("UPDATE TCOM_COMUNI SET TCOM_COMUNI.SCOMDESC = :SCOMDESC WHERE (TCOM_COMUNI.ICOMID = (SELECT "
                     "TSRPC.ICOMID FROM TSRPC WHERE (TSRPC.ISRPCID = :KVCURRID)))"),
      QStringLiteral("UPDATE TSRPC SET TSRPC.ISTAID = :ISTAID, TSRPC.SSRPCCOMRISTAT = :SSRPCCOMRISTAT, "
                     "TSRPC.SSRPCCODCATA = :SSRPCCODCATA WHERE (TSRPC.ISRPCID = :KVCURRID)"),
  };
  xqcComuniEsteri->SQLDelete() = {
      QStringLiteral("DELETE FROM TSRPC WHERE (TSRPC.ISRPCID = :KVCURRID)"),
      QStringLiteral("DELETE FROM TCOM_COMUNI WHERE (TCOM_COMUNI.ICOMID = :ICOMID)"),
  };
  xqcComuniEsteri->KvBeforeExec = [this](TKvQueryProp& prop) { beforeExec(prop); };
  xqcComuniEsteri->KvAfterExec = [this](TKvQueryProp& prop) { afterExec(prop); };
  xqcComuniEsteri->OnNewRecord = [this](TKvQueryCollection& c) { newRecord(c); };
}

TdmComuni::~TdmComuni() = default;

bool TdmComuni::Collega() {
  if (!TdmKvConnection::IsOpen()) return false;
  xqcComuniEsteri->SetConnectionName(TdmKvConnection::ConnectionName());
  return true;
}

void TdmComuni::SetStatoDefault(int iStaId) {
  if (iStaId <= 1) {
    SetCodiciDefault(-1, {}, {}, {});
    return;
  }
  // A state that cannot be read keeps its id, with no names.
  const QVariantList stato =
      KvSql::FirstRow(QStringLiteral("SELECT SSTALDESC, SSTACODICE, SSTAISTAT FROM TSTA_STATI WHERE ISTAID = :ISTAID"),
                      {{QStringLiteral("ISTAID"), iStaId}})
          .value_or({});
  if (stato.size() == 3)
    SetCodiciDefault(iStaId, stato[0].toString(), stato[1].toString(), stato[2].toString());
  else
    SetCodiciDefault(iStaId, {}, {}, {});
}

void TdmComuni::SetCodiciDefault(int iStaId, const QString& sStaLDesc, const QString& sCodCata, const QString& sIstat) {
  m_iStaId = iStaId;
  m_sStaLDesc = sStaLDesc;
  m_sCodCata = sCodCata;
  m_sIstat = sIstat;
}

bool TdmComuni::LuogoInUso(int iSrpcId) {
  QSqlQuery q(qqoKvGlobConn());
  const bool prepared = q.prepare(QStringLiteral(
      "SELECT 1 FROM RDB$DATABASE WHERE "
      "EXISTS (SELECT 1 FROM TANA_ANAGRAFICHE WHERE ISRPCID = ?) OR "
      "EXISTS (SELECT 1 FROM TCOMCAP WHERE ISRPCID = ?) OR "
      "EXISTS (SELECT 1 FROM TLEG_DATILEGALI WHERE ILEGSRPCCCIA = ? OR ILEGSRPCTRIBUN = ? OR ILEGSRPCPREFETT = ?) OR "
      "EXISTS (SELECT 1 FROM TBAN_BANCHE WHERE ISRPCID = ?) OR "
      "EXISTS (SELECT 1 FROM TSPR_SPORTELLICAB WHERE ISRPCID = ?)"));
  if (!prepared) return true;
  for (int i = 0; i < 7; ++i) q.addBindValue(iSrpcId);
  // When it cannot be told, the place is kept.
  if (!q.exec()) return true;
  return q.next();
}

void TdmComuni::beforeExec(TKvQueryProp& prop) {
  TKvQueryCollection* c = xqcComuniEsteri;
  if (prop.QueryKind == TKvQueryProp::Delete) {
    if (prop.Index == 0) {
      const QVariant place = c->FieldValue(QStringLiteral("ISRPCID"));
      // Nothing in the database stops the delete: a place still named by an
      // address or a person would leave them pointing at nothing.
      if (!place.isNull() && LuogoInUso(place.toInt()))
        return prop.Refuse(QStringLiteral(
            "Attenzione!\r\nIl comune è indicato in anagrafiche, indirizzi, dati legali o banche e non può essere "
            "eliminato."));
      const QVariant com = c->FieldValue(QStringLiteral("ICOMID"));
      iComId = com.isNull() ? -1 : com.toInt();
    } else {
      prop.FieldValues->Add(QStringLiteral("ICOMID"), iComId);
    }
    return;
  }
  if (prop.Index == 0) {
    if (c->FieldValue(QStringLiteral("SCOMDESC")).toString().trimmed().isEmpty())
      return prop.Refuse(invalidField(QStringLiteral("Comune/Città")));
    const QVariant state = c->FieldValue(QStringLiteral("ISTAID"));
    // Italy's places are not kept here, and a place without a state would
    // vanish from every list.
    if (state.isNull() || state.toInt() <= 1) return prop.Refuse(invalidField(QStringLiteral("Stato estero")));
  } else if (prop.QueryKind == TKvQueryProp::Insert) {
    prop.FieldValues->Add(QStringLiteral("ICOMID"), iComId);
  }
}

void TdmComuni::afterExec(TKvQueryProp& prop) {
  if (prop.QueryKind == TKvQueryProp::Insert && prop.Index == 0)
    iComId = prop.FieldValues->Value(QStringLiteral("KVGENID")).toInt();
}

void TdmComuni::newRecord(TKvQueryCollection& c) {
  if (m_iStaId <= 1) return;
  c.SetFieldValue(QStringLiteral("ISTAID"), m_iStaId);
  c.SetFieldValue(QStringLiteral("SSTALDESC"), m_sStaLDesc);
  c.SetFieldValue(QStringLiteral("SSRPCCODCATA"), m_sCodCata.isEmpty() ? QVariant() : QVariant(m_sCodCata));
  c.SetFieldValue(QStringLiteral("SSRPCCOMRISTAT"), m_sIstat.isEmpty() ? QVariant() : QVariant(m_sIstat));
}

bool ApriComuni() {
  QPointer<TdmComuni>& module = instance();
  if (!module) module = new TdmComuni(QCoreApplication::instance());
  if (module->Collega()) return true;
  delete module.data();
  return false;
}

TdmComuni* dmComuni() {
  return instance().data();
}

void ChiudiComuni() {
  delete instance().data();
}
