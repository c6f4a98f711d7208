#include "AbzRArticoli.h"

#include "AbzFArticoliFiltri.h"
#include "AbzMArticoli.h"
#include "AbzUArticoli.h"
#include "AbzUChiusura.h"
#include "AbzUCodiciArticolo.h"
#include "AbzUGiacenze.h"
#include "AbzULookupArticoli.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"
#include "TfmKvWait.h"
#include "TfrAbzRicerca.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

namespace {

const QStringList kColonneGiacenza{QStringLiteral("FGIAGIACATT"), QStringLiteral("FGIASCORTAMIN"),
                                   QStringLiteral("DIFFERENZA")};

}  // namespace

TfrAbzArticoli::TfrAbzArticoli(TdmAbzArticoli& modulo, QWidget* parent) : TfrKvDBRWGrid(parent), dm(&modulo) {
  setObjectName(QStringLiteral("frAbzArticoli"));
  setToolTip(QStringLiteral("Articoli"));
  SetDataSet(dm->xqcArticoli);
  ConfirmDelete = true;

  xdeCodice = AddDBEdit(QStringLiteral("xdeCodice"), QStringLiteral("SARTCOD"), QStringLiteral("Codice"));
  xdeDescrizione =
      AddDBEdit(QStringLiteral("xdeDescrizione"), QStringLiteral("SARTDESCS"), QStringLiteral("Descrizione"));
  xdmNote = AddDBMemo(QStringLiteral("xdmNote"), QStringLiteral("SARTDESCL"), QStringLiteral("Note"));
  xdmNote->setMaximumHeight(70);
  xdeCodiceISO = AddDBEdit(QStringLiteral("xdeCodiceISO"), QStringLiteral("SARTCODISO"), QStringLiteral("Codice ISO"));
  xdeCodiceCostruttore = AddDBEdit(QStringLiteral("xdeCodiceCostruttore"), QStringLiteral("SARTCODCOSTRUT"),
                                   QStringLiteral("Codice Costruttore"));
  xleDestinazione =
      AddDBLookup(QStringLiteral("xleDestinazione"), QStringLiteral("ITPDID"), QStringLiteral("Destinazione"));
  ImpostaLookupTipoDestinazioni(*xleDestinazione);
  xleCodMerce =
      AddDBLookup(QStringLiteral("xleCodMerce"), QStringLiteral("IMERID"), QStringLiteral("Genere\nMerceologico"));
  ImpostaLookupCodMerceologici(*xleCodMerce);
  xleAliquotaIVA =
      AddDBLookup(QStringLiteral("xleAliquotaIVA"), QStringLiteral("IALVID"), QStringLiteral("Aliquota IVA"));
  ImpostaLookupAliquoteIVA(*xleAliquotaIVA);
  xleDettCodMerce = AddDBLookup(QStringLiteral("xleDettCodMerce"), QStringLiteral("IDCMID"),
                                QStringLiteral("Dettaglio Genere\nMerceologico"));
  ImpostaLookupDettCodMerc(*xleDettCodMerce, -1);

  // The descriptions of the list follow the keys chosen, so the grid shows
  // them before the row is read again.
  xleDestinazione->OnChangeFKValue = [this](TKvDBLookupEdit& l, int, int) {
    if (editing())
      dm->xqcArticoli->SetFieldValue(QStringLiteral("STPDDESCL"), l.ListValue(QStringLiteral("STPDDESCL")));
  };
  xleAliquotaIVA->OnChangeFKValue = [this](TKvDBLookupEdit& l, int, int) {
    if (!editing()) return;
    dm->xqcArticoli->SetFieldValue(QStringLiteral("SALVDESCS"), l.ListValue(QStringLiteral("SALVDESCS")));
  };
  xleCodMerce->OnChangeFKValue = [this](TKvDBLookupEdit&, int oldKey, int newKey) {
    // A detail belongs to its product code: another code drops it.
    if (editing() && oldKey != newKey && oldKey > 0)
      dm->xqcArticoli->SetFieldValue(QStringLiteral("IDCMID"), QVariant(QMetaType(QMetaType::Int)));
    seguiCodMerce(editing());
  };
  // Leaving the code shows it as it is stored: seven wide.
  connect(xdeCodice, &QLineEdit::editingFinished, this, [this] {
    if (!editing()) return;
    const QString typed = dm->xqcArticoli->FieldValue(QStringLiteral("SARTCOD")).toString();
    if (CodiceArticolo(typed) != typed) {
      dm->xqcArticoli->SetFieldValue(QStringLiteral("SARTCOD"), CodiceArticolo(typed));
      xdeCodice->setText(CodiceArticolo(typed));
    }
  });

  const auto tre = TKvCollectionModel::FixedFormat(3, false);
  grFrame->SetColumns(
      {{.field = "SARTCOD", .caption = "Codice", .width = 70, .sortFields = "SARTCODORD"},
       {.field = "SARTDESCS", .caption = "Descrizione", .width = 330},
       {.field = "STPDDESCL", .caption = "Destinazione", .width = 150},
       {.field = "FGIAGIACATT", .caption = "Giacenza Attuale", .width = 110, .format = tre, .sortable = false},
       {.field = "FGIASCORTAMIN", .caption = "Scorta Minima", .width = 95, .format = tre, .sortable = false},
       {.field = "DIFFERENZA", .caption = "Differenza", .width = 80, .format = tre, .sortable = false},
       {.field = "SALVDESCS", .caption = "IVA", .width = 50, .sortable = false}});
  grFrame->SetRowHeight(20);
  grFrame->SetOddRowColor(QColor(206, 245, 167));
  grFrame->SetSelectedColors(QColor(Qt::blue), QColor(Qt::white));
  grFrame->OnDrawColumnCell = [this](TKvDrawCell& cell) {
    if (cell.field != QLatin1String("FGIASCORTAMIN") || dm->Vista() != 1) return;
    const TKvQueryCollection* a = dm->xqcArticoli;
    const QVariant scorta = a->Value(cell.row, a->FieldIndex(QStringLiteral("FGIASCORTAMIN")));
    const QVariant differenza = a->Value(cell.row, a->FieldIndex(QStringLiteral("DIFFERENZA")));
    if (!scorta.isNull() && scorta.toDouble() > 0 && !differenza.isNull() && differenza.toDouble() <= 0) {
      cell.background = QColor(Qt::red);
      cell.foreground = QColor(Qt::black);
    }
  };

  frRicerca = new TfrAbzRicerca(this);
  AddToolWidget(frRicerca);

  edBarcode = new QLineEdit(this);
  edBarcode->setObjectName(QStringLiteral("edBarcode"));
  edBarcode->setPlaceholderText(QStringLiteral("Ricerca barcode"));
  edBarcode->setToolTip(QStringLiteral("Ricerca barcode"));
  edBarcode->setFixedWidth(130);
  connect(edBarcode, &QLineEdit::returnPressed, this, [this] {
    const QString code = edBarcode->text();
    if (code.isEmpty() || dm->xqcArticoli->GetState() != KvState::Browse) return;
    CercaBarcode(code);
    edBarcode->clear();
    edBarcode->setFocus();
  });
  AddToolWidget(edBarcode);

  obFiltri = new QToolButton(this);
  obFiltri->setObjectName(QStringLiteral("obFiltri"));
  obFiltri->setToolButtonStyle(Qt::ToolButtonTextOnly);
  connect(obFiltri, &QToolButton::clicked, this, [this] { cliccaFiltro(); });
  AddToolWidget(obFiltri);
  TogliFiltro();

  acDuplica = new QAction(QStringLiteral("&Duplica"), this);
  acDuplica->setObjectName(QStringLiteral("acDuplica"));
  acDuplica->setToolTip(QStringLiteral("Duplica i dati di un articolo"));
  connect(acDuplica, &QAction::triggered, this, [this] { Duplica(); });
  AddToolAction(acDuplica);
  acStoricizza = new QAction(QStringLiteral("Storicizza articolo"), this);
  acStoricizza->setObjectName(QStringLiteral("acStoricizza"));
  acStoricizza->setToolTip(QStringLiteral("Storicizza articolo"));
  connect(acStoricizza, &QAction::triggered, this, [this] { Storicizza(); });
  AddToolAction(acStoricizza, false);

  acRicalcola = new QAction(QStringLiteral("Ricalcola Costo Unitario Medio"), this);
  acRicalcola->setObjectName(QStringLiteral("acRicalcola"));
  connect(acRicalcola, &QAction::triggered, this, [this] {
    if (!SavePending() || !RicalcolaCostoUnitarioMedio(dm->IdCorrente())) return;
    KvReport(dm->xqcArticoli->Refresh());
    if (DopoRicalcolo) DopoRicalcolo();
  });
  AddToolAction(acRicalcola, false);
  acFornitoriDoppi = new QAction(QStringLiteral("Fornitori doppi"), this);
  acFornitoriDoppi->setObjectName(QStringLiteral("acFornitoriDoppi"));
  acFornitoriDoppi->setToolTip(QStringLiteral("Cancellazione \r\nFornitori ridondanti per Articolo"));
  connect(acFornitoriDoppi, &QAction::triggered, this, [this] { EliminaFornitoriDoppi(); });
  AddToolAction(acFornitoriDoppi, false);

  xacInsertExecute = [this] { Nuovo(); };
  xacPostExecute = [this] { Salva(); };
  xacDeleteExecute = [this] { Cancella(); };
  connect(dm->xqcArticoli, &TKvQueryCollection::currentChanged, this, [this] { seguiCodMerce(false); });
  connect(dm->xqcArticoli, &TKvQueryCollection::stateChanged, this, [this] {
    const bool browse = dm->xqcArticoli->GetState() == KvState::Browse;
    acDuplica->setEnabled(browse);
    acStoricizza->setEnabled(browse);
    obFiltri->setEnabled(browse && dm->Vista() == 1);
  });
  SetVista(dm->Vista());
}

TfrAbzArticoli::~TfrAbzArticoli() = default;

void TfrAbzArticoli::SetVista(int vista) {
  dm->SetVista(vista);
  for (const QString& f : kColonneGiacenza) grFrame->SetColumnVisible(f, dm->Vista() == 1);
  obFiltri->setEnabled(dm->Vista() == 1);
}

KvStatus TfrAbzArticoli::Apri() {
  TogliFiltro();
  const KvResult<bool> doppi = TdmAbzArticoli::FornitoriDoppi();
  acFornitoriDoppi->setEnabled(doppi.value_or(false));
  acFornitoriDoppi->setVisible(acFornitoriDoppi->isEnabled());
  if (acFornitoriDoppi->isEnabled()) EliminaFornitoriDoppi();
  acRicalcola->setEnabled(TChiusura().Aperto());
  if (KvStatus opened = dm->Apri(); !opened) return opened;
  frRicerca->SetQueryCollection(dm->xqcArticoli);
  frRicerca->SetGrid(grFrame);
  frRicerca->Imposta();
  seguiCodMerce(false);
  return {};
}

void TfrAbzArticoli::seguiCodMerce(bool editingNow) {
  const QVariant merce = dm->xqcArticoli->Active() && !dm->xqcArticoli->IsEmpty()
                             ? dm->xqcArticoli->FieldValue(QStringLiteral("IMERID"))
                             : QVariant();
  ImpostaLookupDettCodMerc(*xleDettCodMerce, merce.isNull() ? -1 : merce.toInt());
  xleDettCodMerce->RefreshList();
  Q_UNUSED(editingNow);
}

bool TfrAbzArticoli::Salva() {
  if (!editing()) return true;
  if (!xdsMain->ValidateControls()) return false;
  TKvQueryCollection* a = dm->xqcArticoli;
  a->SetFieldValue(QStringLiteral("SARTCOD"), CodiceArticolo(a->FieldValue(QStringLiteral("SARTCOD")).toString()));
  if (const auto rifiuto = dm->Controlla()) {
    KvMessageDlg(rifiuto->testo, TMsgDlgType::mtError, mbOK);
    ShowDetail();
    if (QWidget* campo = ControlOfField(rifiuto->campo)) campo->setFocus();
    return false;
  }
  const bool nuovo = a->GetState() == KvState::Insert;
  if (!PostAndReport()) return false;
  // The descriptions and the stock of the row come from the list's select.
  KvReport(a->Refresh());
  if (nuovo && DopoNuovoArticolo) DopoNuovoArticolo(dm->IdCorrente());
  return true;
}

bool TfrAbzArticoli::Nuovo() {
  if (!SavePending()) return false;
  grFrame->setFocus();
  const KvStatus nuovo = dm->NuovoArticolo();
  if (dm->xqcArticoli->GetState() == KvState::Insert) ShowDetail();
  return KvReport(nuovo);
}

bool TfrAbzArticoli::Duplica() {
  if (!SavePending()) return false;
  const KvStatus copia = dm->Duplica();
  if (dm->xqcArticoli->GetState() == KvState::Insert) ShowDetail();
  return KvReport(copia, TMsgDlgType::mtWarning);
}

bool TfrAbzArticoli::Storicizza() {
  if (!SavePending()) return false;
  if (!KvReport(dm->PuoStoricizzare())) return false;
  if (KvMessageDlg(QStringLiteral("Sei sicuro di voler Storicizzare l'articolo?"), TMsgDlgType::mtWarning,
                   mbYes | mbNo) != mrYes)
    return false;
  if (!KvReport(dm->Storicizza())) return false;
  KvMessageDlg(QStringLiteral("L'articolo è stato storicizzato correttamente"), TMsgDlgType::mtInformation, mbOK);
  return true;
}

bool TfrAbzArticoli::EliminaFornitoriDoppi() {
  KvStatus fatto;
  {
    TfmKvWait wait(QStringLiteral("Verifica articoli in corso ..."));
    wait.SetOperazione(QStringLiteral("Attendere ..."));
    fatto = TdmAbzArticoli::EliminaFornitoriDoppi([&wait](int done, int total) {
      if (done == 0)
        wait.InitProgressBar(0, total);
      else
        wait.StepProgressBar();
    });
  }
  if (!KvReport(fatto)) return false;
  KvMessageDlg(QStringLiteral("Operazione Eseguita!"), TMsgDlgType::mtInformation, mbOK);
  acFornitoriDoppi->setEnabled(false);
  acFornitoriDoppi->setVisible(false);  // the tool bar keeps room for the filters
  return true;
}

bool TfrAbzArticoli::Cancella() {
  TKvQueryCollection* a = dm->xqcArticoli;
  if (!a->Active() || a->IsEmpty() || a->GetState() != KvState::Browse) return false;
  const KvResult<bool> libero = ArticoloNonUsato(dm->IdCorrente());
  if (!KvReport(libero)) return false;
  if (!*libero) {
    KvMessageDlg(TdmAbzArticoli::TestoArticoloUsato(), TMsgDlgType::mtError, mbOK);
    return false;
  }
  return DeleteConfirmed() && KvReport(Delete());
}

bool TfrAbzArticoli::CercaBarcode(const QString& code) {
  const KvResult<int> id = ArticoloDaBarcode(code);
  if (!KvReport(id)) return false;
  if (*id < 0 || !dm->xqcArticoli->Locate(QStringLiteral("IARTID"), *id)) {
    KvMessageDlg(QStringLiteral("Articolo non trovato."), TMsgDlgType::mtWarning, mbOK);
    return false;
  }
  return true;
}

bool TfrAbzArticoli::ApplicaFiltro(const QString& filtro) {
  TKvQueryCollection* a = dm->xqcArticoli;
  if (!SavePending()) return false;
  a->SetFilter(filtro);
  if (!KvReport(a->SetFiltered(true))) {
    a->SetFilter(QString());
    return false;
  }
  m_filtro = true;
  obFiltri->setText(QStringLiteral("Tutti gli articoli"));
  return true;
}

void TfrAbzArticoli::TogliFiltro() {
  if (m_filtro) {
    (void)dm->xqcArticoli->SetFiltered(false);  // refused only while a typed row cannot be saved
    dm->xqcArticoli->SetFilter(QString());
  }
  m_filtro = false;
  obFiltri->setText(QStringLiteral("Filtri Articoli"));
}

void TfrAbzArticoli::cliccaFiltro() {
  if (m_filtro) return TogliFiltro();
  const QString filtro = TfmAbzArticoliFiltri::Scegli(this);
  if (!filtro.isEmpty()) ApplicaFiltro(filtro);
}
