#include "PuxCorrezioniAvvio.h"

#include "KvConnection.h"
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

bool fail(QSqlQuery& q, QString* error) {
  if (error) *error = q.lastError().text();
  return false;
}

bool exec(const QString& sql, QString* error) {
  QSqlQuery q(qqoKvGlobConn());
  return q.exec(sql) || fail(q, error);
}

// Runs statements in one transaction on the global connection: all or nothing.
bool inTransaction(QString* error, const std::function<bool()>& body) {
  return KvInTransaction(qqoKvGlobConn(), error, body);
}

const char* kNumeroMancante =
    "UPDATE TPre_Preventivi pre SET sPreCod = lpad((SELECT MAX(CAST(CASE WHEN ltrim(pre_s.sPreCod) = '' THEN 0 "
    "ELSE pre_s.sPreCod END AS INTEGER)) + 1 FROM tpre_preventivi pre_s WHERE pre_s.idwgid = pre.idwgid AND "
    "pre_s.IPREESERCIZIOFIN = pre.IPREESERCIZIOFIN), 5, '0') WHERE ltrim(sPreCod) = ''";

}  // namespace

namespace PuxCorrezioni {

bool FornitoreDurc(QString* error) {
  return exec(QStringLiteral(
                  "UPDATE TCcd_CigCupDurc ccd SET ccd.iBenId = (SELECT FIRST 1 DISTINCT iBenId FROM TBen_Beneficiari "
                  "ben WHERE iBenId IN (SELECT mov.ibenid FROM TMov_Movimenti mov WHERE (mov.iCcdId_durc = "
                  "ccd.iCcdId)) OR iBenId IN (SELECT mgm.iBenId FROM TMgm_MovMagazzino mgm WHERE (mgm.iCcdId_durc = "
                  "ccd.iCcdId)) OR iBenId IN (SELECT pb.iBenId FROM TOff_Offerte off INNER JOIN TPreBen pb ON "
                  "off.iPreBenId = pb.iPreBenId WHERE (off.iCcdId_durc = ccd.iCcdId)) OR iBenId IN (SELECT omg.iBenId "
                  "FROM TOmg_OrdiniMagaz omg WHERE (omg.iCcdId_durc = ccd.iCcdId)) OR iBenId IN (SELECT buo.iBenId "
                  "FROM TBuo_Buoni buo WHERE buo.iBuoTipo = 0 AND (buo.iCcdId_durc = ccd.iCcdId)) OR iBenId IN "
                  "(SELECT idc.iBenId FROM TIdc_InvDoc idc WHERE (idc.iCcdId_durc = ccd.iCcdId))) WHERE "
                  "(ccd.iTccdId = 3) AND (iBenId IS NULL)"),
              error);
}

bool NumeriPreventivi(QString* error) {
  // One procedure at a time: a single update would give every blank
  // procedure of the same institute and year the same number.
  QSqlQuery blank(qqoKvGlobConn());
  if (!blank.exec(QStringLiteral("SELECT IPREID FROM TPRE_PREVENTIVI WHERE ltrim(sPreCod) = '' ORDER BY IPREID")))
    return fail(blank, error);
  QList<QVariant> ids;
  while (blank.next()) ids << blank.value(0);
  if (blank.lastError().isValid()) return fail(blank, error);
  if (ids.isEmpty()) return true;
  return inTransaction(error, [&] {
    for (const QVariant& id : ids) {
      QSqlQuery q(qqoKvGlobConn());
      q.prepare(QString::fromLatin1(kNumeroMancante) + QStringLiteral(" AND pre.IPREID = :IPREID"));
      q.bindValue(QStringLiteral(":IPREID"), id);
      if (!q.exec()) return fail(q, error);
    }
    return true;
  });
}

bool MigrazioneAvcp(QString* error) {
  QSqlQuery mark(qqoKvGlobConn());
  if (!mark.exec(QStringLiteral("SELECT * FROM TYXar_XmlArchivio WHERE iYXarId = 30001"))) return fail(mark, error);
  if (!mark.next()) return true;  // no marker row: never runs
  if (!mark.value(mark.record().indexOf(QStringLiteral("BYXARXMLFILE"))).isNull()) return true;
  mark.finish();
  Clessidra clessidra;
  // The copy and its mark go together, so that a failure half-way can
  // neither leave a partial copy nor run the copy twice.
  return inTransaction(error, [&] {
    return exec(QStringLiteral(
                    "INSERT INTO TAVC_AVCP (IAVCID, ICCDID_CIG, ISCRID, IDWGID, IAVCESERCIZIOFIN, DAVCDATA, SAVCLDESC, "
                    "DAVCDATAPUBBAVCP, SAVCIMPORTDA) SELECT (SELECT l_icntid FROM PYSetGetId('TAVC_AVCP', 1)), "
                    "iCcdId_cig, iScrId, iDwgId, iPreEsercizioFin, dPreData, sPreDescS, dPreDataPubbAvcp, 'INSERT "
                    "AUTO: ' || CAST(iPreId AS VARCHAR(7)) FROM TPre_Preventivi"),
                error) &&
           exec(QStringLiteral(
                    "INSERT INTO TAAG_AVCPAGGIUDIC (IAAGID, IAVCID, IBENID, LAAGAGGIUDIC, FAAGIMPAGGIUDIC, "
                    "FAAGIMPLIQUIDATO, DAAGDATAINIZIOLAV, DAAGDATAFINELAV) SELECT (SELECT l_icntid FROM "
                    "PYSetGetId('TAAG_AVCPAGGIUDIC', 1)), (SELECT iAvcId FROM TAvc_Avcp WHERE SAVCIMPORTDA = 'INSERT "
                    "AUTO: ' || CAST(pb.iPreId AS VARCHAR(7))), iBenId, iOffMarcato, fOffImpAggiudic, "
                    "fOffImpLiquidato, dOffDataInizioLav, dOffDataFineLav FROM TOff_Offerte off INNER JOIN TPreBen pb "
                    "ON off.iPreBenId = pb.iPreBenId"),
                error) &&
           exec(QStringLiteral("UPDATE TYXar_XmlArchivio SET bYXarXmlFile = '1' WHERE iYXarId = 30001"), error);
  });
}

bool IstitutoAvcp(QString* error) {
  Clessidra clessidra;
  return exec(QStringLiteral(
                  "UPDATE TAvc_Avcp SET iDwgId = (SELECT FIRST 1 iDwgId FROM TAvc_Avcp WHERE iDwgId IS NOT NULL ORDER "
                  "BY iAvcId DESC), iAvcEsercizioFin = EXTRACT(YEAR FROM dAvcData) WHERE iDwgId IS NULL AND "
                  "iAvcEsercizioFin IS NULL"),
              error);
}

bool Provincia(QString* error) {
  QSqlQuery q(qqoKvGlobConn());
  if (!q.exec(QStringLiteral("SELECT cc.iProId FROM TSedInf_SedeInfo sedinf INNER JOIN TDwgSed ds ON sedinf.iSedId = "
                             "ds.iSedId INNER JOIN VComCap cc ON sedinf.iComCapId = cc.iComCapId WHERE ds.iDwgId IS "
                             "NULL")))
    return fail(q, error);
  if (q.next()) Contesto.Provincia = q.value(0).toInt();
  return true;
}

bool SceltaContraente2019(QString* error) {
  Clessidra clessidra;
  return inTransaction(error, [&] {
    return exec(QStringLiteral("UPDATE TAvc_Avcp SET iScrId = iScrId + 18 WHERE iScrId < 19 AND iAvcEsercizioFin >= 2019"),
                error) &&
           exec(QStringLiteral(
                    "UPDATE TPre_Preventivi SET iScrId = iScrId + 18 WHERE iScrId < 19 AND iPreEsercizioFin >= 2019"),
                error);
  });
}

}  // namespace PuxCorrezioni

bool PuxCorrezioniAvvio(QString* error) {
  using namespace PuxCorrezioni;
  for (auto step : {FornitoreDurc, NumeriPreventivi, MigrazioneAvcp, IstitutoAvcp, Provincia, SceltaContraente2019})
    if (!step(error)) return false;
  return true;
}
