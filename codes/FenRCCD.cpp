#include "FenRCCD.h"

#include "FenUAvvisiCodice.h"
#include "FenUCodici.h"
#include "FenUDatabase.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"
#include "TfmKvSearch.h"
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

QVariant nullInt() {
  return QVariant(QMetaType(QMetaType::Int));
}

struct CursoreAttesa {
  CursoreAttesa() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~CursoreAttesa() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TfrFenCCD::TfrFenCCD(QWidget* parent) : TfrKvDBRWGrid(parent) {
  setObjectName(QStringLiteral("frFenCCD"));
  xqcCCD = new TKvQueryCollection(this);
  xqcCCD->setObjectName(QStringLiteral("xqcCCD"));
  xqcCCD->SetAutoBuildSQL(false);
  xqcCCD->SetKeyField(QStringLiteral("ICCDID"));
  xqcCCD->SetTableName(QStringLiteral("TCCD_CIGCUPDURC"));
  xqcCCD->SQLInsert() << SqlInsertCodice();
  // Corrections of a code are stored too, and a code no other row uses can
  // be deleted: without these an edit would look saved and be lost.
  xqcCCD->SQLUpdate() << SqlUpdateCodice();
  xqcCCD->SQLDelete() << SqlDeleteCodice();
  xqcCCD->Confirmations = true;
  xqcCCD->OnNewRecord = [this](TKvQueryCollection& c) {
    c.SetFieldValue(QStringLiteral("ITCCDID"), m_tipo);
    for (const char* totale : {"FIMPPAGATO", "FIMPIMPEGNATO", "FIMPONIBFATT"})
      c.SetFieldValue(QString::fromLatin1(totale), 0.0);
    if (m_tipo == CcdDurc && m_beneficiario > 0) c.SetFieldValue(QStringLiteral("IBENID"), m_beneficiario);
  };
  // Whatever path posts the row (the save action, the grid leaving it), the
  // rules of a code hold.
  xqcCCD->KvBeforeExec = [this](TKvQueryProp& p) {
    if (p.QueryKind == TKvQueryProp::Delete) {
      if (ContaRiferimentiCodice(xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt()) != 0)
        throw KvError(QStringLiteral("Attenzione!\nIl codice è usato da altri movimenti e non può essere cancellato.")
                          .toStdString());
      return;
    }
    const QString manca = CampoCodiceMancante(*xqcCCD, m_tipo);
    if (!manca.isEmpty()) throw KvError(TestoCampoObbligatorio(manca).toStdString());
    if (p.QueryKind == TKvQueryProp::Insert) p.FieldValues->Add(QStringLiteral("iTccdId"), m_tipo);
    if (m_tipo != CcdDurc) p.FieldValues->Add(QStringLiteral("iBenId"), nullInt());
  };

  SetDataSet(xqcCCD);

  xdeCodice = AddDBEdit(QStringLiteral("SCCDCODICE"), QStringLiteral("Codice assegnato"));
  xdeCodice->setObjectName(QStringLiteral("xdeCodice"));
  xddDataAssegn = AddDBDate(QStringLiteral("DCCDDATAASSEGN"), QStringLiteral("Data di assegnazione"));
  xddDataAssegn->setObjectName(QStringLiteral("xddDataAssegn"));
  xdmDescrizione = AddDBMemo(QStringLiteral("SCCDLDESC"), QStringLiteral("Descrizione"));
  xdmDescrizione->setObjectName(QStringLiteral("xdmDescrizione"));
  xdmDescrizione->setMaximumHeight(80);
  xddDataScad = AddDBDate(QStringLiteral("DCCDDATASCAD"), QStringLiteral("Data scadenza codice"));
  xddDataScad->setObjectName(QStringLiteral("xddDataScad"));

  xleBenef = new TKvDBLookupEdit(DetailPage());
  xleBenef->setObjectName(QStringLiteral("xleBenef"));
  xleBenef->SetListCommandText(
      QStringLiteral("SELECT IBENID, SBENRAGSOC, SBENCODFISCALE, SBENPARTITAIVA FROM TBEN_BENEFICIARI "
                     "WHERE DDELETE IS NULL AND COALESCE(LBENEND,0) = 0 AND ##WHERE##"));
  xleBenef->SetKeyField(QStringLiteral("IBENID"));
  xleBenef->SetListField(QStringLiteral("SBENRAGSOC"));
  xleBenef->SetSearchForm(QStringLiteral("TfmAbiBenSearch"));
  xleBenef->SetSearchCaption(QStringLiteral("Beneficiari"));
  xleBenef->SetSearchWidth(600);
  const struct {
    int campo;
    const char* titolo;
    int larghezza;
  } colonneBenef[] = {{1, "Ragione Sociale", 350}, {2, "Codice Fiscale", 100}, {3, "Partita IVA", 100}};
  for (const auto& c : colonneBenef) {
    TKvSearchField& f = xleBenef->SearchColumns().Field(c.campo);
    f.SetCaption(QString::fromUtf8(c.titolo));
    f.SetColWidth(c.larghezza);
    f.SetVisible(true);
    f.SetIndexed(true);
  }
  xleBenef->SetDataSource(xqcCCD, QStringLiteral("IBENID"));
  xleBenef->OnChangeFKValue = [this](TKvDBLookupEdit& lookup, int, int) {
    const int s = xqcCCD->GetState();
    if (s == TKvQueryCollection::dsInsert || s == TKvQueryCollection::dsEdit)
      xqcCCD->SetFieldValue(QStringLiteral("SBENRAGSOC"), lookup.ListValue(QStringLiteral("SBENRAGSOC")));
  };
  DetailLayout()->addRow(QStringLiteral("Beneficiario"), xleBenef);
  xdnImporto = AddDBNumber(QStringLiteral("FCCDIMPORTO"), QStringLiteral("Importo"), 2);
  xdnImporto->setObjectName(QStringLiteral("xdnImporto"));

  obFiltri = new QToolButton(this);
  obFiltri->setObjectName(QStringLiteral("obFiltri"));
  m_testoFiltri = QStringLiteral("Filtri");
  obFiltri->setText(m_testoFiltri);
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

  QList<TKvCollectionModel::Column> colonne;
  auto colonna = [&](const char* campo, const char* titolo, int larghezza,
                     std::function<QString(const QVariant&)> formato = {}) {
    TKvCollectionModel::Column c;
    c.field = QString::fromLatin1(campo);
    c.title = QString::fromUtf8(titolo);
    c.width = larghezza;
    c.format = std::move(formato);
    colonne << c;
  };
  const auto importo = TKvCollectionModel::FixedFormat(2, true);
  colonna("SCCDCODICE", "Codice", 130);
  colonna("DCCDDATAASSEGN", "Data assegn.", 85);
  colonna("SCCDLDESC", "Descrizione", 280);
  colonna("DCCDDATASCAD", "Data scadenza", 90);
  colonna("SBENRAGSOC", "Beneficiario", 220);
  colonna("FCCDIMPORTO", "Importo", 95, importo);
  colonna("FIMPPAGATO", "Totale Pagato", 95, importo);
  colonna("FIMPIMPEGNATO", "Totale Impegnato", 105, importo);
  colonna("FIMPONIBFATT", "Imponibile Fatture", 115, importo);
  grFrame->SetColumns(colonne);
  for (int i = 0; i < colonne.size(); ++i) {
    const bool testo = colonne[i].field.startsWith(QLatin1Char('S'));
    grFrame->ColsIndex().Add()->SetColumn(i).SetFields(colonne[i].field).SetSearchable(testo);
  }

  xacPostExecute = [this] { Salva(); };
  xacDeleteExecute = [this] { Cancella(); };
  connect(xdsMain, &TKvDataSource::stateChange, this, [this] { aggiornaBloccoBeneficiario(); });
  SetTipo(-1);
}

TfrFenCCD::~TfrFenCCD() = default;

void TfrFenCCD::SetUso(Uso uso) {
  m_uso = uso;
  SetTipo(m_tipo);
}

void TfrFenCCD::SetTipo(int tipo) {
  m_tipo = tipo;
  xqcCCD->SetCommandText(m_uso == Uso::Archivio ? SqlListaArchivio(tipo) : SqlListaDialogo(tipo));
  impostaParametri();
  const bool durc = tipo == CcdDurc;
  const bool cigCup = tipo == CcdCig || tipo == CcdCup;
  DetailLayout()->setRowVisible(xleBenef, durc);
  DetailLayout()->setRowVisible(xdnImporto, cigCup);
  QList<TKvCollectionModel::Column> colonne = grFrame->Model()->Columns();
  for (TKvCollectionModel::Column& c : colonne) {
    if (c.field == QLatin1String("SBENRAGSOC")) c.visible = durc;
    if (c.field == QLatin1String("FCCDIMPORTO") || c.field == QLatin1String("FIMPPAGATO") ||
        c.field == QLatin1String("FIMPIMPEGNATO"))
      c.visible = cigCup;
  }
  grFrame->SetColumns(colonne);
  // The filters need the presence flags of the archive list.
  acFiltri->setVisible(m_uso == Uso::Archivio && cigCup);
  acMandatiSenzaImpegni->setVisible(tipo == CcdCig && EseguibileFen());
  const QString sigla = SiglaTipoCodice(tipo);
  setToolTip(sigla.isEmpty() ? QString() : QStringLiteral("Codici %1").arg(sigla));
}

void TfrFenCCD::SetBeneficiario(int idBeneficiario) {
  m_beneficiario = idBeneficiario;
  impostaParametri();
}

void TfrFenCCD::impostaParametri() {
  xqcCCD->SetParam(QStringLiteral("iTccdId"), m_tipo);
  xqcCCD->SetParam(QStringLiteral("iBenId"),
                   m_beneficiario < 0 ? QStringLiteral("%") : QString::number(m_beneficiario));
}

bool TfrFenCCD::Apri(QString* error) {
  xqcCCD->Close();
  xqcCCD->SetFiltered(false);
  xqcCCD->SetFilter(QString());
  rilasciaFiltro();
  impostaParametri();
  QString why;
  if (!xqcCCD->Open(&why)) {
    if (error)
      *error = why;
    else
      KvMessageDlg(why, TMsgDlgType::mtError, mbOK);
    return false;
  }
  xqcCCD->First();
  return true;
}

bool TfrFenCCD::ApplicaFiltro(const QString& filtro) {
  bool ok = false;
  {
    TfmKvWait wait(QStringLiteral("Attendere prego ... "));
    CursoreAttesa cursore;
    xqcCCD->SetFilter(filtro);
    ok = xqcCCD->SetFiltered(true);
  }
  if (!ok) {
    xqcCCD->SetFilter(QString());
    rilasciaFiltro();
    return false;
  }
  obFiltri->setText(QStringLiteral("Togli filtro"));
  obFiltri->setChecked(true);
  return true;
}

void TfrFenCCD::TogliFiltro() {
  xqcCCD->SetFiltered(false);
  xqcCCD->SetFilter(QString());
  rilasciaFiltro();
}

bool TfrFenCCD::FiltroAttivo() const {
  return xqcCCD->Filtered() && !xqcCCD->Filter().isEmpty();
}

void TfrFenCCD::rilasciaFiltro() {
  obFiltri->setText(m_testoFiltri);
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
  const int s = xqcCCD->GetState();
  if (s != TKvQueryCollection::dsInsert && s != TKvQueryCollection::dsEdit) return true;
  // A text that is not a value (an impossible date) is named as such, not
  // as a missing value.
  if (!xdsMain->ValidateControls()) return false;
  if (m_tipo != CcdDurc && !xqcCCD->FieldValue(QStringLiteral("IBENID")).isNull()) {
    xqcCCD->SetFieldValue(QStringLiteral("IBENID"), nullInt());
    xqcCCD->SetFieldValue(QStringLiteral("SBENRAGSOC"), QVariant(QMetaType(QMetaType::QString)));
  }
  const QString manca = CampoCodiceMancante(*xqcCCD, m_tipo);
  if (!manca.isEmpty()) {
    KvMessageDlg(TestoCampoObbligatorio(manca), TMsgDlgType::mtError, mbOK);
    ShowDetail();
    QWidget* campo = manca == QLatin1String("Codice")         ? static_cast<QWidget*>(xdeCodice)
                     : manca == QLatin1String("Descrizione")  ? static_cast<QWidget*>(xdmDescrizione)
                     : manca == QLatin1String("Beneficiario") ? static_cast<QWidget*>(xleBenef)
                                                              : static_cast<QWidget*>(xddDataAssegn);
    campo->setFocus();
    return false;
  }
  CodiceDaSalvare codice;
  codice.tipo = m_tipo;
  codice.id = s == TKvQueryCollection::dsEdit ? xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt() : -1;
  codice.codice = xqcCCD->FieldValue(QStringLiteral("SCCDCODICE")).toString();
  codice.assegnazione = xqcCCD->FieldValue(QStringLiteral("DCCDDATAASSEGN")).toDate();
  codice.scadenza = xqcCCD->FieldValue(QStringLiteral("DCCDDATASCAD")).toDate();
  if (!ConfermaAvvisiCodice(codice, DataServer())) return false;
  if (!Post()) return false;
  // The totals and the supplier's name of the row come from the list's select.
  xqcCCD->Refresh();
  return true;
}

bool TfrFenCCD::Cancella() {
  if (!xqcCCD->Active() || xqcCCD->IsEmpty()) return false;
  if (xqcCCD->GetState() == TKvQueryCollection::dsBrowse &&
      ContaRiferimentiCodice(xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt()) != 0) {
    KvMessageDlg(QStringLiteral("Attenzione!\nIl codice è usato da altri movimenti e non può essere cancellato."),
                 TMsgDlgType::mtWarning, mbOK);
    return false;
  }
  return Delete();
}

void TfrFenCCD::aggiornaBloccoBeneficiario() {
  bool blocca = false;
  if (m_tipo == CcdDurc && xqcCCD->GetState() == TKvQueryCollection::dsEdit) {
    // The dialog never moves a DURC to another supplier; the archive only
    // while no movement uses it.
    blocca =
        m_uso == Uso::Dialogo || ContaMovimentiCollegati(xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt()) != 0;
  }
  xleBenef->SetReadOnly(blocca);
  xleBenef->setEnabled(!(blocca && m_uso == Uso::Dialogo));
}
