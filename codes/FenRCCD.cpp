#include "FenRCCD.h"

#include "FenMCCD.h"
#include "FenUAvvisiCodice.h"
#include "FenUCodici.h"
#include "FenUDatabase.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "KvLookupPresets.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"
#include "TfmKvWait.h"

#include <QAction>
#include <QApplication>
#include <QFormLayout>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

const QString TfrFenCCD::kFiltroSenzaMovimenti = QStringLiteral(
    "(contab IS NULL) AND (mag IS NULL) AND (prev IS NULL) AND (ord IS NULL) AND (inv IS NULL) AND (fatt IS NULL)");
const QString TfrFenCCD::kFiltroMandatiSenzaImpegni = QStringLiteral("(fImpPagato > 0) AND (fImpImpegnato = 0)");

namespace {

struct CursoreAttesa {
  CursoreAttesa() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~CursoreAttesa() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TfrFenCCD::TfrFenCCD(TdmFenCCD& modulo, QWidget* parent) : TfrKvDBRWGrid(parent), dm(&modulo) {
  setObjectName(QStringLiteral("frFenCCD"));
  SetDataSet(dm->xqcCCD);
  ConfirmDelete = true;

  xdeCodice = AddDBEdit(QStringLiteral("xdeCodice"), QStringLiteral("SCCDCODICE"), QStringLiteral("Codice assegnato"));
  xddDataAssegn =
      AddDBDate(QStringLiteral("xddDataAssegn"), QStringLiteral("DCCDDATAASSEGN"), QStringLiteral("Data di assegnazione"));
  xdmDescrizione = AddDBMemo(QStringLiteral("xdmDescrizione"), QStringLiteral("SCCDLDESC"), QStringLiteral("Descrizione"));
  xdmDescrizione->setMaximumHeight(80);
  xddDataScad =
      AddDBDate(QStringLiteral("xddDataScad"), QStringLiteral("DCCDDATASCAD"), QStringLiteral("Data scadenza codice"));
  xleBenef = AddDBLookup(QStringLiteral("xleBenef"), QStringLiteral("IBENID"), QStringLiteral("Beneficiario"));
  // The supplier registry declares its lookup (registered with its windows).
  KvLookupPresets::Apply(QStringLiteral("Beneficiari"), *xleBenef);
  xleBenef->OnChangeFKValue = [this](TKvDBLookupEdit& lookup, int, int) {
    if (editing()) dm->xqcCCD->SetFieldValue(QStringLiteral("SBENRAGSOC"), lookup.ListValue(QStringLiteral("SBENRAGSOC")));
  };
  xdnImporto = AddDBNumber(QStringLiteral("xdnImporto"), QStringLiteral("FCCDIMPORTO"), QStringLiteral("Importo"), 2);

  const auto importo = TKvCollectionModel::FixedFormat(2, true);
  grFrame->SetColumns({{.field = "SCCDCODICE", .caption = "Codice", .width = 130},
                       {.field = "DCCDDATAASSEGN", .caption = "Data assegn.", .width = 85},
                       {.field = "SCCDLDESC", .caption = "Descrizione", .width = 280},
                       {.field = "DCCDDATASCAD", .caption = "Data scadenza", .width = 90},
                       {.field = "SBENRAGSOC", .caption = "Beneficiario", .width = 220},
                       {.field = "FCCDIMPORTO", .caption = "Importo", .width = 95, .format = importo},
                       {.field = "FIMPPAGATO", .caption = "Totale Pagato", .width = 95, .format = importo},
                       {.field = "FIMPIMPEGNATO", .caption = "Totale Impegnato", .width = 105, .format = importo},
                       {.field = "FIMPONIBFATT", .caption = "Imponibile Fatture", .width = 115, .format = importo}});

  obFiltri = new QToolButton(this);
  obFiltri->setObjectName(QStringLiteral("obFiltri"));
  obFiltri->setToolTip(QStringLiteral("Visualizza Codici senza movimenti"));
  obFiltri->setToolButtonStyle(Qt::ToolButtonTextOnly);
  obFiltri->setCheckable(true);
  obFiltri->setPopupMode(QToolButton::MenuButtonPopup);
  pmFiltri = new QMenu(obFiltri);
  acSenzaMovimenti = pmFiltri->addAction(QStringLiteral("Visualizza Codici senza movimenti"));
  acSenzaMovimenti->setObjectName(QStringLiteral("acSenzaMovimenti"));
  acMandatiSenzaImpegni = pmFiltri->addAction(QStringLiteral("Visualizza Codici con Mandati e senza Impegni"));
  acMandatiSenzaImpegni->setObjectName(QStringLiteral("acMandatiSenzaImpegni"));
  obFiltri->setMenu(pmFiltri);
  connect(acSenzaMovimenti, &QAction::triggered, this, [this] { ApplicaFiltro(kFiltroSenzaMovimenti); });
  connect(acMandatiSenzaImpegni, &QAction::triggered, this, [this] { ApplicaFiltro(kFiltroMandatiSenzaImpegni); });
  connect(pmFiltri, &QMenu::aboutToShow, this, [this] {
    if (TogliFiltroAlMenu && FiltroAttivo()) TogliFiltro();
  });
  connect(obFiltri, &QToolButton::clicked, this, [this] { cliccaFiltro(); });
  tbFrame->addSeparator();
  acFiltri = tbFrame->addWidget(obFiltri);
  rilasciaFiltro();

  xacPostExecute = [this] { Salva(); };
  xacDeleteExecute = [this] { Cancella(); };
  connect(xdsMain, &TKvDataSource::stateChange, this, [this] {
    const bool blocca = dm->BeneficiarioBloccato();
    xleBenef->SetReadOnly(blocca);
    xleBenef->setEnabled(!(blocca && dm->GetUso() == TdmFenCCD::Uso::Dialogo));
  });
  SetTipo(dm->Tipo());
}

TfrFenCCD::~TfrFenCCD() = default;

void TfrFenCCD::SetTipo(int tipo) {
  dm->SetTipo(tipo);
  const bool durc = tipo == CcdDurc;
  const bool cigCup = tipo == CcdCig || tipo == CcdCup;
  DetailLayout()->setRowVisible(xleBenef, durc);
  DetailLayout()->setRowVisible(xdnImporto, cigCup);
  grFrame->SetColumnVisible(QStringLiteral("SBENRAGSOC"), durc);
  for (const char* f : {"FCCDIMPORTO", "FIMPPAGATO", "FIMPIMPEGNATO"})
    grFrame->SetColumnVisible(QString::fromLatin1(f), cigCup);
  // The filters need the presence flags of the archive list.
  acFiltri->setVisible(dm->GetUso() == TdmFenCCD::Uso::Archivio && cigCup);
  acMandatiSenzaImpegni->setVisible(tipo == CcdCig && EseguibileFen());
  const QString sigla = SiglaTipoCodice(tipo);
  setToolTip(sigla.isEmpty() ? QString() : QStringLiteral("Codici %1").arg(sigla));
}

int TfrFenCCD::Tipo() const {
  return dm->Tipo();
}

void TfrFenCCD::SetBeneficiario(int idBeneficiario) {
  dm->SetBeneficiario(idBeneficiario);
}

KvStatus TfrFenCCD::Apri() {
  rilasciaFiltro();
  return dm->Apri();
}

bool TfrFenCCD::ApplicaFiltro(const QString& filtro) {
  TKvQueryCollection* codici = dm->xqcCCD;
  bool ok = false;
  {
    TfmKvWait wait(QStringLiteral("Attendere prego ... "));
    CursoreAttesa cursore;
    codici->SetFilter(filtro);
    ok = codici->SetFiltered(true).ok();
  }
  if (!ok) {
    codici->SetFilter(QString());
    rilasciaFiltro();
    return false;
  }
  obFiltri->setText(QStringLiteral("Togli filtro"));
  obFiltri->setChecked(true);
  return true;
}

void TfrFenCCD::TogliFiltro() {
  (void)dm->xqcCCD->SetFiltered(false);  // refused only while a typed row cannot be saved
  dm->xqcCCD->SetFilter(QString());
  rilasciaFiltro();
}

bool TfrFenCCD::FiltroAttivo() const {
  return dm->xqcCCD->Filtered() && !dm->xqcCCD->Filter().isEmpty();
}

void TfrFenCCD::rilasciaFiltro() {
  obFiltri->setText(QStringLiteral("Filtri"));
  obFiltri->setChecked(false);
}

void TfrFenCCD::cliccaFiltro() {
  // The button's own face: off when a filter is on, else the codes without movements.
  if (FiltroAttivo())
    TogliFiltro();
  else if (!ApplicaFiltro(kFiltroSenzaMovimenti))
    rilasciaFiltro();
}

bool TfrFenCCD::Salva() {
  if (!editing()) return true;
  // A text that is not a value (an impossible date) is named as such, not
  // as a missing value.
  if (!xdsMain->ValidateControls()) return false;
  dm->TogliBeneficiarioNonDurc();
  if (const auto manca = dm->Controlla()) {
    KvMessageDlg(manca->testo, TMsgDlgType::mtError, mbOK);
    ShowDetail();
    if (QWidget* campo = ControlOfField(manca->campo)) campo->setFocus();
    return false;
  }
  const TKvQueryCollection* codici = dm->xqcCCD;
  CodiceDaSalvare codice;
  codice.tipo = dm->Tipo();
  codice.id = codici->GetState() == KvState::Edit ? codici->FieldValue(QStringLiteral("ICCDID")).toInt() : -1;
  codice.codice = codici->FieldValue(QStringLiteral("SCCDCODICE")).toString();
  codice.assegnazione = codici->FieldValue(QStringLiteral("DCCDDATAASSEGN")).toDate();
  codice.scadenza = codici->FieldValue(QStringLiteral("DCCDDATASCAD")).toDate();
  if (!ConfermaAvvisiCodice(codice, DataServer())) return false;
  if (!PostAndReport()) return false;
  // The totals and the supplier's name of the row come from the list's select.
  KvReport(dm->xqcCCD->Refresh());
  return true;
}

bool TfrFenCCD::Cancella() {
  TKvQueryCollection* codici = dm->xqcCCD;
  if (!codici->Active() || codici->IsEmpty()) return false;
  if (codici->GetState() == KvState::Browse && dm->Usato()) {
    KvMessageDlg(TdmFenCCD::TestoCodiceUsato(), TMsgDlgType::mtWarning, mbOK);
    return false;
  }
  return DeleteConfirmed() && KvReport(Delete());
}
