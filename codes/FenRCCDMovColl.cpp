#include "FenRCCDMovColl.h"

#include "FenUCodici.h"
#include "KvCollectionModel.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"

#include <QAction>
#include <QToolBar>

TfrFenCCDMovColl::TfrFenCCDMovColl(QWidget* parent) : TfrKvDBROGrid(parent) {
  setObjectName(QStringLiteral("frFenCCDMovColl"));
  xqcMovColl = new TKvQueryCollection(this);
  xqcMovColl->setObjectName(QStringLiteral("xqcMovColl"));
  xqcMovColl->SetAutoBuildSQL(false);
  xqcMovColl->SetCommandText(SqlMovimentiCollegati());
  SetDataSet(xqcMovColl);

  grFrame->SetColumns({{.field = "STIPOMOV", .caption = "Tipo movimento", .width = 260},
                       {.field = "SNUMERO", .caption = "Numero", .width = 110},
                       {.field = "DDATA", .caption = "Data", .width = 85},
                       {.field = "SBENRAGSOC", .caption = "Beneficiario", .width = 240},
                       {.field = "FIMPORTO", .caption = "Importo", .width = 100,
                        .format = TKvCollectionModel::FixedFormat(2, true)}});

  // Only the grid: the navigation of a read-only list adds nothing to it.
  tbFrame->hide();
  acCopiaCigImpegni = new QAction(QStringLiteral("Copia CIG negli Impegni collegati a questi Mandati"), this);
  acCopiaCigImpegni->setObjectName(QStringLiteral("acCopiaCigImpegni"));
  acCopiaCigMandati = new QAction(QStringLiteral("Copia CIG nei Mandati collegati a questi Impegni"), this);
  acCopiaCigMandati->setObjectName(QStringLiteral("acCopiaCigMandati"));
  grFrame->setContextMenuPolicy(Qt::ActionsContextMenu);
  grFrame->addAction(acCopiaCigImpegni);
  grFrame->addAction(acCopiaCigMandati);
  connect(acCopiaCigImpegni, &QAction::triggered, this, [this] { copia(true); });
  connect(acCopiaCigMandati, &QAction::triggered, this, [this] { copia(false); });
  SetTipo(-1);
}

TfrFenCCDMovColl::~TfrFenCCDMovColl() = default;

void TfrFenCCDMovColl::SetTipo(int tipo) {
  m_tipo = tipo;
  const bool copie = tipo == CcdCig && EseguibileFen();
  acCopiaCigImpegni->setVisible(copie);
  acCopiaCigMandati->setVisible(copie);
}

bool TfrFenCCDMovColl::Apri(int iCcdId) {
  m_codice = iCcdId;
  xqcMovColl->Close();
  xqcMovColl->SetParam(QStringLiteral("iCcdId"), iCcdId);
  return KvReport(xqcMovColl->Open());
}

void TfrFenCCDMovColl::copia(bool negliImpegni) {
  if (m_codice <= 0) return;
  KvReport(negliImpegni ? CopiaCigNegliImpegni(m_codice) : CopiaCigNeiMandati(m_codice));
  Apri(m_codice);
}
