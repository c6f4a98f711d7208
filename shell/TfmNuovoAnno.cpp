#include "TfmNuovoAnno.h"

#include "PuxContesto.h"

#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"
#include "TdmNuovoAnnoQuery.h"
#include "TfmKvSearch.h"

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kListaAnni = QStringLiteral(
    " SELECT TANF_ANNIFINANZ.IANFID, TANF_ANNIFINANZ.IANFVALORE, TANF_ANNIFINANZ.DANFKALVOINIZIO, "
    "TANF_ANNIFINANZ.DANFKALVOFINE FROM TANF_ANNIFINANZ WHERE ##WHERE##");

QString testoData(const QDate& d) {
  return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

// These lists are not sorted by their titles.
KvColumn colonna(const char* field, const char* caption, int width) {
  return {.field = field, .caption = caption, .width = width, .sortable = false};
}

}  // namespace

// ---- institutes ----------------------------------------------------------------

TfrIstituti::TfrIstituti(QWidget* parent) : TfrKvDBROGrid(parent) {
  setObjectName(QStringLiteral("frIstituti"));
  ckPrincipale = new QCheckBox(QStringLiteral("Visualizza Istituto principale"), this);
  ckPrincipale->setObjectName(QStringLiteral("ckPrincipale"));
  AddToolWidget(ckPrincipale);
  grFrame->horizontalHeader()->setStretchLastSection(true);
}

void TfrIstituti::Collega(TKvQueryCollection* istituti) {
  SetDataSet(istituti);
  grFrame->SetColumns({colonna("SDOWLDESC", "Istituto", 500)});
}

// ---- years ---------------------------------------------------------------------

TfrAnniFinanziari::TfrAnniFinanziari(QWidget* parent) : TfrKvDBRWGrid(parent) {
  setObjectName(QStringLiteral("frAnniFinanziari"));
  // Links are never deleted here.
  SetActionLocked(xacDelete, true);

  xdlAnnoFin = new TKvDBLookupEdit(m_detail);
  xdlAnnoFin->setObjectName(QStringLiteral("xdlAnnoFin"));
  xdlAnnoFin->SetListCommandText(kListaAnni);
  xdlAnnoFin->SetKeyField(QStringLiteral("TANF_ANNIFINANZ.IANFID"));
  xdlAnnoFin->SetListField(QStringLiteral("TANF_ANNIFINANZ.IANFVALORE"));
  xdlAnnoFin->SetSearchCaption(QStringLiteral("Anni Finanziari"));
  xdlAnnoFin->SetSearchWidth(600);
  xdlAnnoFin->SearchColumns().SetColumns(
      {{.field = "IANFVALORE", .caption = "Anno Finanziario", .searchable = true},
       {.field = "DANFKALVOINIZIO", .caption = "Inizio", .searchable = false},
       {.field = "DANFKALVOFINE", .caption = "Fine", .searchable = false}});
  xdlAnnoFin->SetReadOnly(true);
  DetailLayout()->addRow(QStringLiteral("Anno Finanziario"), xdlAnnoFin);

  lbInizioKalvo = new QLabel(m_detail);
  lbInizioKalvo->setObjectName(QStringLiteral("lbInizioKalvo"));
  lbFineKalvo = new QLabel(m_detail);
  lbFineKalvo->setObjectName(QStringLiteral("lbFineKalvo"));
  DetailLayout()->addRow(QStringLiteral("Inizio"), lbInizioKalvo);
  DetailLayout()->addRow(QStringLiteral("Fine"), lbFineKalvo);
  connect(xdlAnnoFin->LineEdit(), &QLineEdit::textChanged, this, &TfrAnniFinanziari::mostraDateSuite);

  ckPersonalizzate = new QCheckBox(QStringLiteral("Impostazioni personalizzate"), m_detail);
  ckPersonalizzate->setObjectName(QStringLiteral("ckPersonalizzate"));
  DetailLayout()->addRow(QString(), ckPersonalizzate);

  gbDatePersonalizzate = new QGroupBox(QStringLiteral("Date Personalizzate"), m_detail);
  gbDatePersonalizzate->setObjectName(QStringLiteral("gbDatePersonalizzate"));
  auto* date = new QFormLayout(gbDatePersonalizzate);
  xddInizio = new TKvDBDateEdit(gbDatePersonalizzate);
  xddInizio->setObjectName(QStringLiteral("xddInizio"));
  xddInizio->SetDataSource(xdsMain, QStringLiteral("DDWGANFINIZIO"));
  xddFine = new TKvDBDateEdit(gbDatePersonalizzate);
  xddFine->setObjectName(QStringLiteral("xddFine"));
  xddFine->SetDataSource(xdsMain, QStringLiteral("DDWGANFFINE"));
  date->addRow(QStringLiteral("Inizio"), xddInizio);
  date->addRow(QStringLiteral("Fine"), xddFine);
  DetailLayout()->addRow(gbDatePersonalizzate);
  gbDatePersonalizzate->setVisible(false);
  connect(ckPersonalizzate, &QCheckBox::toggled, gbDatePersonalizzate, &QWidget::setVisible);
  // Ticking or clearing the box on a shown year is a change of that year.
  connect(ckPersonalizzate, &QCheckBox::clicked, this, [this] {
    TKvQueryCollection* c = DataSet();
    if (c && c->Active() && c->GetState() == KvState::Browse && !c->IsEmpty()) c->Edit();
  });

  // The date button of an empty personalised date proposes the suite's date.
  xddInizio->OnButtonClick = [this] { bottoneData(xddInizio, true); };
  xddFine->OnButtonClick = [this] { bottoneData(xddFine, false); };

  xacPostExecute = [this] { Salva(); };
}

void TfrAnniFinanziari::Collega(TKvQueryCollection* anni) {
  SetDataSet(anni);
  grFrame->SetColumns({colonna("IANFVALORE", "Anno Finanziario", 110), colonna("DANFKALVOINIZIO", "Inizio", 90),
                       colonna("DANFKALVOFINE", "Fine", 90), colonna("DDWGANFINIZIO", "Inizio Personalizzato", 130),
                       colonna("DDWGANFFINE", "Fine Personalizzato", 130)});
  xdlAnnoFin->SetDataSource(anni, QStringLiteral("IANFID"));
  connect(anni, &TKvQueryCollection::currentChanged, this, &TfrAnniFinanziari::seguiRiga);
  connect(anni, &TKvQueryCollection::stateChanged, this, &TfrAnniFinanziari::seguiRiga);
  connect(anni, &TKvQueryCollection::rowsReset, this, &TfrAnniFinanziari::seguiRiga);
  connect(anni, &TKvQueryCollection::closed, this, &TfrAnniFinanziari::seguiRiga);
  seguiRiga();
}

void TfrAnniFinanziari::seguiRiga() {
  TKvQueryCollection* c = DataSet();
  const KvState state = c && c->Active() ? c->GetState() : KvState::Inactive;
  xdlAnnoFin->SetReadOnly(state != KvState::Insert);
  // Moving to another row posts the one being typed straight through the
  // list, past the year rules: while a year is typed it is saved or
  // cancelled, nothing else.
  grFrame->setEnabled(!KvEditing(state));
  if (state == KvState::Insert)
    ckPersonalizzate->setChecked(false);
  else if (state != KvState::Edit)  // while editing the user's choice stands
    ckPersonalizzate->setChecked(state == KvState::Browse &&
                                 !c->FieldValue(QStringLiteral("DDWGANFINIZIO")).isNull());
}

void TfrAnniFinanziari::mostraDateSuite(const QString& annoDigitato) {
  const auto suite = TdmNuovoAnnoQuery::DateSuite(annoDigitato);
  lbInizioKalvo->setText(testoData(suite.first));
  lbFineKalvo->setText(testoData(suite.second));
}

void TfrAnniFinanziari::bottoneData(TKvDBDateEdit* edit, bool inizio) {
  if (edit->IsEmpty()) {
    const auto suite = TdmNuovoAnnoQuery::DateSuite(xdlAnnoFin->Text());
    const QDate proposta = inizio ? suite.first : suite.second;
    if (proposta.isValid()) edit->SetDate(proposta);
    return;
  }
  // A date already there: the usual calendar, which the edit opens when it
  // has no handler of its own. Only locals are used from here on, as the
  // running handler is moved out and back.
  auto handler = std::move(edit->OnButtonClick);
  edit->OnButtonClick = nullptr;
  edit->Button()->click();
  edit->OnButtonClick = std::move(handler);
}

bool TfrAnniFinanziari::Insert() {
  if (!TfrKvDBRWGrid::Insert()) return false;
  xdlAnnoFin->setFocus();
  return true;
}

bool TfrAnniFinanziari::Salva() {
  TKvQueryCollection* c = DataSet();
  TdmNuovoAnnoQuery* modulo = TdmNuovoAnnoQuery::Modulo();
  if (!c || !modulo || !editing()) return true;
  const bool personalizzate = ckPersonalizzate->isChecked();
  if (personalizzate && !xdsMain->ValidateControls()) return false;

  // A year typed and not yet resolved (the save button takes no focus).
  if (!xdlAnnoFin->ReadOnly() &&
      xdlAnnoFin->Text().trimmed() != xdlAnnoFin->ListValue(QStringLiteral("IANFVALORE")).toString().trimmed() &&
      !xdlAnnoFin->ResolveText()) {
    xdlAnnoFin->setFocus();
    return false;
  }

  TdmNuovoAnnoQuery::Riga riga;
  riga.inserimento = c->GetState() == KvState::Insert;
  riga.idDwgAnf = riga.inserimento ? -1 : c->FieldValue(QStringLiteral("IDWGANFID")).toInt();
  riga.idDwg = modulo->DwgId();
  riga.anno = xdlAnnoFin->KeyValue() < 0 ? 0 : xdlAnnoFin->ListValue(QStringLiteral("IANFVALORE")).toInt();
  riga.personalizzate = personalizzate;
  if (personalizzate) {
    riga.inizio = xddInizio->Date();
    riga.fine = xddFine->Date();
  }
  if (!riga.inserimento) {
    // The year of a stored link cannot change here: the row still holds it.
    riga.annoSalvato = c->FieldValue(QStringLiteral("IANFVALORE")).toInt();
    std::tie(riga.inizioSalvato, riga.fineSalvato) = TdmNuovoAnnoQuery::DateEffettive(riga.idDwgAnf);
  }

  const TdmNuovoAnnoQuery::Esito esito = TdmNuovoAnnoQuery::Verifica(riga);
  if (!esito.ok) {
    QWidget* campo = nullptr;
    switch (esito.campo) {
      case TdmNuovoAnnoQuery::Campo::Anno:
        campo = xdlAnnoFin;
        break;
      case TdmNuovoAnnoQuery::Campo::Inizio:
        campo = personalizzate ? static_cast<QWidget*>(xddInizio) : ckPersonalizzate;
        break;
      case TdmNuovoAnnoQuery::Campo::Fine:
        campo = personalizzate ? static_cast<QWidget*>(xddFine) : ckPersonalizzate;
        break;
      case TdmNuovoAnnoQuery::Campo::Nessuno:
        break;
    }
    if (campo) campo->setFocus();
    return false;
  }

  // Without the box the year takes the suite's days: dates left in the
  // hidden group must not be stored unchecked.
  if (!personalizzate) {
    xddInizio->SetDate(QDate());
    xddFine->SetDate(QDate());
  }
  modulo->ImpostaAggiornamenti(esito.aggiornamenti);
  const bool salvato = PostAndReport();
  // The neighbours' updates belong to this save only: a later post must not
  // run them again with dates checked for another row.
  modulo->ImpostaAggiornamenti({});
  if (!salvato) return false;
  // The neighbours' new dates, and the suite's dates of a new row.
  KvReport(Refresh());
  return true;
}

// ---- window --------------------------------------------------------------------

TfmNuovoAnno::TfmNuovoAnno(QWidget* parent) : TfmKvChildDB(parent) {
  setObjectName(QStringLiteral("TfmNuovoAnno"));
  setWindowTitle(QStringLiteral("Nuovo Anno"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  spNuovoAnno = new QSplitter(Qt::Vertical, this);
  spNuovoAnno->setObjectName(QStringLiteral("spNuovoAnno"));
  frIstituti = new TfrIstituti(spNuovoAnno);
  frAnniFinanziari = new TfrAnniFinanziari(spNuovoAnno);
  spNuovoAnno->addWidget(frIstituti);
  spNuovoAnno->addWidget(frAnniFinanziari);
  spNuovoAnno->setStretchFactor(1, 1);
  layout->addWidget(spNuovoAnno);
  resize(760, 560);

  // The years follow the institute: it cannot change under a year being typed.
  connect(frAnniFinanziari->xdsMain, &TKvDataSource::stateChange, this, [this](KvState state) {
    frIstituti->setEnabled(!KvEditing(state));
  });
  connect(frIstituti->ckPrincipale, &QCheckBox::toggled, this, [](bool on) {
    if (TdmNuovoAnnoQuery* modulo = TdmNuovoAnnoQuery::Modulo()) modulo->MostraSoloPrincipale(on);
  });
}

void TfmNuovoAnno::FormCreate() {
  if (!TdmNuovoAnnoQuery::Apri()) {
    KvMessageDlg(QStringLiteral("Connessione al modulo fallita"), TMsgDlgType::mtError, mbOK);
    RefuseOpen();
    return;
  }
  TdmNuovoAnnoQuery* modulo = TdmNuovoAnnoQuery::Modulo();
  frIstituti->Collega(modulo->xqcDataOwner);
  frAnniFinanziari->Collega(modulo->xqcAnniFinanziari);
  if (!KvReport(modulo->ApriIstituti())) {
    RefuseOpen();
    return;
  }
  // The clerk's own institute first.
  modulo->xqcDataOwner->Locate(QStringLiteral("IDWGID"), Contesto.DwgId);
}

void TfmNuovoAnno::FormActivate() {
  TdmNuovoAnnoQuery* modulo = TdmNuovoAnnoQuery::Modulo();
  if (!modulo || KvEditing(frAnniFinanziari->xdsMain->State())) return;
  // Until an institute with a data owner works in some year, the main
  // institute is the one to start from.
  const bool soloPrincipale = TdmNuovoAnnoQuery::NessunAnnoIstituti();
  {
    const QSignalBlocker blocker(frIstituti->ckPrincipale);
    frIstituti->ckPrincipale->setChecked(soloPrincipale);
  }
  modulo->MostraSoloPrincipale(soloPrincipale);
}

void TfmNuovoAnno::FormClose() {
  if (TdmNuovoAnnoQuery* modulo = TdmNuovoAnnoQuery::Modulo()) modulo->ChiudiListe();
}
