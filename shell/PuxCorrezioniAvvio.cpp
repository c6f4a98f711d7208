#include "PuxCorrezioniAvvio.h"

#include "KvConnection.h"
#include "KvSql.h"
#include "KvTransaction.h"
#include "PuxContesto.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Hourglass while a long fix-up runs (only with a user interface).
class Clessidra {
 public:
  Clessidra() : m_on(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (m_on) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  }
  ~Clessidra() {
    if (m_on) QGuiApplication::restoreOverrideCursor();
  }

 private:
  bool m_on;
};

// Runs the statements in order on the global connection; the first failure stops the rest.
KvStatus exec(std::initializer_list<QString> statements) {
  for (const QString& sql : statements)
    if (KvStatus done = KvSql::Exec(sql); !done) return done;
  return {};
}

// Runs statements in one transaction on the global connection: all or nothing.
KvStatus inTransaction(const std::function<KvStatus()>& body) {
  return KvInTransaction(qqoKvGlobConn(), body);
}

const char* kNumeroMancante =
    "UPDATE TPre_Preventivi pre SET sPreCod = lpad((SELECT MAX(CAST(CASE WHEN ltrim(pre_s.sPreCod) = '' THEN 0 "
    "ELSE pre_s.sPreCod END AS INTEGER)) + 1 FROM tpre_preventivi pre_s WHERE pre_s.idwgid = pre.idwgid AND "
    "pre_s.IPREESERCIZIOFIN = pre.IPREESERCIZIOFIN), 5, '0') WHERE ltrim(sPreCod) = ''";

}  // namespace

namespace PuxCorrezioni {

KvStatus FornitoreDurc() {
  return exec({QStringLiteral(
      "UPDATE TCcd_CigCupDurc ccd SET ccd.iBenId = (SELECT FIRST 1 DISTINCT iBenId FROM TBen_Beneficiari "
      "ben WHERE iBenId IN (SELECT mov.ibenid FROM TMov_Movimenti mov WHERE (mov.iCcdId_durc = "
      "ccd.iCcdId)) OR iBenId IN (SELECT mgm.iBenId FROM TMgm_MovMagazzino mgm WHERE (mgm.iCcdId_durc = "
      "ccd.iCcdId)) OR iBenId IN (SELECT pb.iBenId FROM TOff_Offerte off INNER JOIN TPreBen pb ON "
      "off.iPreBenId = pb.iPreBenId WHERE (off.iCcdId_durc = ccd.iCcdId)) OR iBenId IN (SELECT omg.iBenId "
      "FROM TOmg_OrdiniMagaz omg WHERE (omg.iCcdId_durc = ccd.iCcdId)) OR iBenId IN (SELECT buo.iBenId "
      "FROM TBuo_Buoni buo WHERE buo.iBuoTipo = 0 AND (buo.iCcdId_durc = ccd.iCcdId)) OR iBenId IN "
      "(SELECT idc.iBenId FROM TIdc_InvDoc idc WHERE (idc.iCcdId_durc = ccd.iCcdId))) WHERE "
      "(ccd.iTccdId = 3) AND (iBenId IS NULL)")});
}

KvStatus NumeriPreventivi() {
  // One procedure at a time: a single update would give every blank
  // procedure of the same institute and year the same number.
  QList<QVariant> ids;
  const KvStatus read =
      KvSql::Rows(QStringLiteral("SELECT IPREID FROM TPRE_PREVENTIVI WHERE ltrim(sPreCod) = '' ORDER BY IPREID"), {},
                  [&](const QSqlQuery& q) { ids << q.value(0); });
  if (!read || ids.isEmpty()) return read;
  return inTransaction([&]() -> KvStatus {
    const QString sql = QString::fromLatin1(kNumeroMancante) + QStringLiteral(" AND pre.IPREID = :IPREID");
    for (const QVariant& id : ids)
      if (KvStatus done = KvSql::Exec(sql, {{QStringLiteral("IPREID"), id}}); !done) return done;
    return {};
  });
}

KvStatus MigrazioneAvcp() {
  bool marker = false;
  bool marked = false;
  const KvStatus read = KvSql::Rows(QStringLiteral("SELECT * FROM TYXar_XmlArchivio WHERE iYXarId = 30001"), {},
                                    [&](const QSqlQuery& q) {
                                      marker = true;
                                      marked = !q.value(q.record().indexOf(QStringLiteral("BYXARXMLFILE"))).isNull();
                                    });
  if (!read) return read;
  if (!marker || marked) return {};  // no marker row: never runs; marked: done before
  Clessidra clessidra;
  // The copy and its mark go together, so that a failure half-way can
  // neither leave a partial copy nor run the copy twice.
  return inTransaction([&] {
    return exec({QStringLiteral(
                     "INSERT INTO TAVC_AVCP (IAVCID, ICCDID_CIG, ISCRID, IDWGID, IAVCESERCIZIOFIN, DAVCDATA, SAVCLDESC, "
                     "DAVCDATAPUBBAVCP, SAVCIMPORTDA) SELECT (SELECT l_icntid FROM PYSetGetId('TAVC_AVCP', 1)), "
                     "iCcdId_cig, iScrId, iDwgId, iPreEsercizioFin, dPreData, sPreDescS, dPreDataPubbAvcp, 'INSERT "
                     "AUTO: ' || CAST(iPreId AS VARCHAR(7)) FROM TPre_Preventivi"),
                 QStringLiteral(
                     "INSERT INTO TAAG_AVCPAGGIUDIC (IAAGID, IAVCID, IBENID, LAAGAGGIUDIC, FAAGIMPAGGIUDIC, "
                     "FAAGIMPLIQUIDATO, DAAGDATAINIZIOLAV, DAAGDATAFINELAV) SELECT (SELECT l_icntid FROM "
                     "PYSetGetId('TAAG_AVCPAGGIUDIC', 1)), (SELECT iAvcId FROM TAvc_Avcp WHERE SAVCIMPORTDA = 'INSERT "
                     "AUTO: ' || CAST(pb.iPreId AS VARCHAR(7))), iBenId, iOffMarcato, fOffImpAggiudic, "
                     "fOffImpLiquidato, dOffDataInizioLav, dOffDataFineLav FROM TOff_Offerte off INNER JOIN TPreBen pb "
                     "ON off.iPreBenId = pb.iPreBenId"),
                 QStringLiteral("UPDATE TYXar_XmlArchivio SET bYXarXmlFile = '1' WHERE iYXarId = 30001")});
  });
}

KvStatus IstitutoAvcp() {
  Clessidra clessidra;
  return exec({QStringLiteral(
      "UPDATE TAvc_Avcp SET iDwgId = (SELECT FIRST 1 iDwgId FROM TAvc_Avcp WHERE iDwgId IS NOT NULL ORDER "
      "BY iAvcId DESC), iAvcEsercizioFin = EXTRACT(YEAR FROM dAvcData) WHERE iDwgId IS NULL AND "
      "iAvcEsercizioFin IS NULL")});
}

KvStatus Provincia() {
  const KvResult<QVariant> provincia = KvSql::Scalar(
      QStringLiteral("SELECT cc.iProId FROM TSedInf_SedeInfo sedinf INNER JOIN TDwgSed ds ON sedinf.iSedId = "
                     "ds.iSedId INNER JOIN VComCap cc ON sedinf.iComCapId = cc.iComCapId WHERE ds.iDwgId IS NULL"));
  if (!provincia) return provincia.failure();
  if (!provincia->isNull()) Contesto.Provincia = provincia->toInt();
  return {};
}

KvStatus SceltaContraente2019() {
  Clessidra clessidra;
  return inTransaction([&] {
    return exec(
        {QStringLiteral("UPDATE TAvc_Avcp SET iScrId = iScrId + 18 WHERE iScrId < 19 AND iAvcEsercizioFin >= 2019"),
         QStringLiteral(
             "UPDATE TPre_Preventivi SET iScrId = iScrId + 18 WHERE iScrId < 19 AND iPreEsercizioFin >= 2019")});
  });
}

}  // namespace PuxCorrezioni

KvStatus PuxCorrezioniAvvio() {
  using namespace PuxCorrezioni;
  for (auto step : {FornitoreDurc, NumeriPreventivi, MigrazioneAvcp, IstitutoAvcp, Provincia, SceltaContraente2019})
    if (KvStatus done = step(); !done) return done;
  return {};
}
