#include "FenMCcdRpt.h"

#include "FenFSceltaDate.h"
#include "FenUCodici.h"
#include "KvConnection.h"
#include "KvSql.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"

#include <QSqlQuery>

namespace {

QVariant nullDate() {
  return QVariant(QMetaType(QMetaType::QDate));
}

QString testoData(const QDate& d) {
  return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

const QString kBenefNonRegola = QStringLiteral(
    "SELECT ben.iBenId, ben.sBenRagSoc, ben.sBenCodFiscale, ben.sBenPartitaIva, ben.lBenAdempFiscNoRegola, "
    "ben.dBenAdempFiscData, ben.sBenRagSoc AS per_ordinamento, "
    "(SELECT MAX(sc.dCcdDataScad) FROM TCcd_CigCupDurc sc WHERE sc.iTccdId = 3 AND sc.iBenId = ben.iBenId "
    "AND sc.dCcdDataScad < :dData) AS dCcdDataScad, "
    "(SELECT FIRST 1 cc.sCcdCodice FROM TCcd_CigCupDurc cc WHERE cc.iTccdId = 3 AND cc.iBenId = ben.iBenId "
    "AND cc.dCcdDataScad < :dData ORDER BY cc.dCcdDataScad DESC, cc.iCcdId DESC) AS sCcdCodice "
    "FROM TBen_Beneficiari ben "
    "WHERE ben.dEnd IS NULL AND ben.dDelete IS NULL AND ("
    "(NOT EXISTS (SELECT 1 FROM TCcd_CigCupDurc va WHERE va.iTccdId = 3 AND va.iBenId = ben.iBenId "
    "AND va.dCcdDataScad >= :dData) "
    "AND EXISTS (SELECT 1 FROM TCcd_CigCupDurc sc WHERE sc.iTccdId = 3 AND sc.iBenId = ben.iBenId "
    "AND sc.dCcdDataScad < :dData)) "
    "OR ben.lBenAdempFiscNoRegola = 1) "
    "ORDER BY ben.sBenRagSoc");

}  // namespace

TdmFenCcdRpt::TdmFenCcdRpt(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("dmFenCcdRpt"));
  cdsCcd = new TKvQueryCollection(this);
  cdsCcd->setObjectName(QStringLiteral("cdsCcd"));
  quMovColl = new TKvQueryCollection(this);
  quMovColl->setObjectName(QStringLiteral("quMovColl"));
  cdsBenefNonRegola = new TKvQueryCollection(this);
  cdsBenefNonRegola->setObjectName(QStringLiteral("cdsBenefNonRegola"));
  for (TKvQueryCollection* c : {cdsCcd, quMovColl, cdsBenefNonRegola}) {
    c->SetConnectionName(TdmKvConnection::ConnectionName());
    c->SetAutoBuildSQL(false);
  }
  impostaCodici();
  quMovColl->SetCommandText(SqlMovimentiCollegati());
  quMovColl->SetParam(QStringLiteral("iCcdId"), 0);
  cdsBenefNonRegola->SetCommandText(kBenefNonRegola);
  cdsBenefNonRegola->SetParam(QStringLiteral("dData"), nullDate());
  connect(cdsCcd, &TKvQueryCollection::currentChanged, this, [this] { seguiCodice(); });
  connect(cdsCcd, &TKvQueryCollection::opened, this, [this] { seguiCodice(); });
}

TdmFenCcdRpt::~TdmFenCcdRpt() = default;

QList<TdmFenCcdRpt::DataSetReport> TdmFenCcdRpt::DataSetsReport() const {
  return {{QStringLiteral("frdCcd"), cdsCcd},
          {QStringLiteral("frdMovColl"), quMovColl},
          {QStringLiteral("frdBenefNonRegola"), cdsBenefNonRegola}};
}

void TdmFenCcdRpt::SetNumeroReport(int idModello) {
  m_numeroReport = idModello;
}

int TdmFenCcdRpt::ModelloReport(int idReport) {
  if (idReport < 1000000) return idReport;
  const QVariant modello =
      KvSql::Scalar(QStringLiteral("SELECT iYRptId FROM TYRpc_RptCustom WHERE iYRpcId = :iYRpcId"),
                    {{QStringLiteral("iYRpcId"), idReport}})
          .value_or(QVariant());
  return modello.isNull() ? -1 : modello.toInt();
}

void TdmFenCcdRpt::impostaCodici() {
  // The totals are counted through the column of the kind printed.
  cdsCcd->SetCommandText(
      QStringLiteral("SELECT ccd.iCcdId, ccd.iTccdId, ccd.sCcdCodice, ccd.sCcdLDesc, ccd.dCcdDataAssegn, "
                     "ccd.dCcdDataScad, ccd.iBenId, ben.sBenRagSoc, ccd.fCcdImporto, %1 "
                     "FROM TCcd_CigCupDurc ccd LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = ccd.iBenId "
                     "WHERE ccd.iTccdId = :iTccdId AND (ccd.dCcdDataAssegn IS NULL OR "
                     "ccd.dCcdDataAssegn BETWEEN :dStart AND :dEnd) "
                     "ORDER BY ccd.dCcdDataAssegn, ccd.sCcdCodice")
          .arg(SqlTotaliCodice(m_tipo, TotaliCodice::Archivio)));
  cdsCcd->SetParam(QStringLiteral("iTccdId"), m_tipo);
  cdsCcd->SetParam(QStringLiteral("dStart"), m_dStart.isValid() ? QVariant(m_dStart) : nullDate());
  cdsCcd->SetParam(QStringLiteral("dEnd"), m_dEnd.isValid() ? QVariant(m_dEnd) : nullDate());
}

void TdmFenCcdRpt::seguiCodice() {
  const QVariant id =
      cdsCcd->Active() && cdsCcd->RecNo() >= 0 ? cdsCcd->FieldValue(QStringLiteral("ICCDID")) : QVariant();
  quMovColl->Close();
  quMovColl->SetParam(QStringLiteral("iCcdId"), id.isNull() ? 0 : id.toInt());
  KvReport(quMovColl->Open());
}

bool TdmFenCcdRpt::ApriCodici(QWidget* parent) {
  TfmFenSceltaDate dialogo(parent);
  if (dialogo.exec() == QDialog::Accepted) {
    m_dStart = dialogo.Dal();
    m_dEnd = dialogo.Al();
    m_testoInizio = testoData(m_dStart);
    m_testoFine = testoData(m_dEnd);
    const int numero = NumeroReport();
    m_tipo = numero == 5108 ? CcdCig : numero == 5109 ? CcdCup : numero == 5110 ? CcdDurc : 0;
  } else {
    m_dStart = QDate();
    m_dEnd = QDate();
    m_tipo = 0;
    m_testoInizio.clear();
    m_testoFine.clear();
  }
  cdsCcd->Close();
  impostaCodici();
  return KvReport(cdsCcd->Open());
}

bool TdmFenCcdRpt::ApriBenefNonRegola(QWidget* parent) {
  TfmFenSceltaDate dialogo(parent);
  dialogo.setWindowTitle(QStringLiteral("Data del Controllo"));
  dialogo.SetSoloAl(true);
  dialogo.SetControlloIntervallo(false);
  dialogo.SetIntervallo(QDate(), QDate::currentDate());
  cdsBenefNonRegola->Close();
  if (dialogo.exec() != QDialog::Accepted) {
    m_dData = QDate();
    cdsBenefNonRegola->SetParam(QStringLiteral("dData"), nullDate());
    return false;
  }
  m_dData = dialogo.Al();
  m_testoFine = testoData(m_dData);
  cdsBenefNonRegola->SetParam(QStringLiteral("dData"), m_dData);
  return KvReport(cdsBenefNonRegola->Open());
}

bool TdmFenCcdRpt::PreparaDati(QWidget* parent) {
  switch (NumeroReport()) {
    case 5108:
    case 5109:
    case 5110:
      return ApriCodici(parent);
    case 5134:
      return ApriBenefNonRegola(parent);
    default:
      return true;
  }
}

KvStatus TdmFenCcdRpt::ApriChiudiTutti() {
  for (TKvQueryCollection* c : {cdsCcd, quMovColl, cdsBenefNonRegola}) {
    const KvStatus opened = c->Open();
    c->Close();
    if (!opened) return opened;
  }
  return {};
}

void TdmFenCcdRpt::ChiudiTutti() {
  for (TKvQueryCollection* c : {cdsCcd, quMovColl, cdsBenefNonRegola}) c->Close();
}

bool TdmFenCcdRpt::Valore(const QString& variabile, QVariant& valore) const {
  const QString nome = variabile.trimmed().toUpper();
  if (nome == QLatin1String("DINIZIO")) {
    valore = m_testoInizio;
    return true;
  }
  if (nome == QLatin1String("DFINE")) {
    valore = m_testoFine;
    return true;
  }
  return false;
}
