#include "AbzFArticoli.h"

#include "AbzMArticoli.h"
#include "AbzMGiacenze.h"
#include "AbzRArticoli.h"
#include "AbzRFornitoriArt.h"
#include "AbzRGiacenze.h"
#include "FenUDatabase.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "PuxContesto.h"

#include <QMdiSubWindow>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

TfmAbzArticoli::TfmAbzArticoli(QWidget* parent) : TfmKvChildDB(parent) {
  setObjectName(QStringLiteral("TfmAbzArticoli"));
  setWindowTitle(QStringLiteral("Gestione Articoli"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  dmAbzArticoli = new TdmAbzArticoli(this);
  spArticoli = new QSplitter(Qt::Vertical, this);
  frAbzArticoli = new TfrAbzArticoli(*dmAbzArticoli, spArticoli);
  pcArticolo = new QTabWidget(spArticoli);
  pcArticolo->setObjectName(QStringLiteral("pcArticolo"));
  dmAbzGiacenze = new TdmAbzGiacenze(this);
  frAbzGiacenze = new TfrAbzGiacenze(*dmAbzGiacenze, pcArticolo);
  pcArticolo->addTab(frAbzGiacenze, QStringLiteral("Giacenza"));
  frAbzFornitoriArt = new TfrAbzFornitoriArt(*dmAbzArticoli, pcArticolo);
  pcArticolo->addTab(frAbzFornitoriArt, QStringLiteral("Fornitori"));
  frAbzArticoli->DopoNuovoArticolo = [this](int id) { nuovaGiacenza(id); };
  frAbzArticoli->DopoRicalcolo = [this] { frAbzGiacenze->Apri(dmAbzArticoli->IdCorrente()); };
  // Once the new article's stock row is saved, it may be cancelled again.
  connect(dmAbzGiacenze->xqcGiacenze, &TKvQueryCollection::stateChanged, this, [this](KvState state) {
    if (state == KvState::Browse) frAbzGiacenze->SetActionLocked(frAbzGiacenze->xacCancel, false);
  });
  spArticoli->addWidget(frAbzArticoli);
  spArticoli->addWidget(pcArticolo);
  spArticoli->setStretchFactor(0, 3);
  spArticoli->setStretchFactor(1, 2);
  layout->addWidget(spArticoli);
  resize(1100, 680);

  TKvQueryCollection* articoli = dmAbzArticoli->xqcArticoli;
  connect(articoli, &TKvQueryCollection::currentChanged, this, [this] { seguiArticolo(false); });
  connect(articoli, &TKvQueryCollection::opened, this, [this] { seguiArticolo(true); });
  connect(articoli, &TKvQueryCollection::rowsReset, this, [this] { seguiArticolo(false); });
  connect(articoli, &TKvQueryCollection::stateChanged, this, [this] { seguiArticolo(false); });
}

TfmAbzArticoli::~TfmAbzArticoli() = default;

void TfmAbzArticoli::FormCreate() {
  if (!EsercizioValido(Contesto.DwgId, Contesto.EsercizioFin)) {
    MsgEsercizioNonValido();
    RefuseOpen();
    return;
  }
  frAbzArticoli->SetVista(Contesto.VistaArticoli);
  pcArticolo->setCurrentWidget(frAbzGiacenze);
}

void TfmAbzArticoli::FormShow() {
  frAbzGiacenze->ImpostaBloccoValoriIniziali();
  if (!KvReport(frAbzArticoli->Apri())) return RefuseOpen();
  // The whole working area: the list and the stock page below it need the
  // room. Once the frames are filled: their tool bars are laid out again.
  if (QMdiSubWindow* finestra = SubWindow()) finestra->setWindowState(finestra->windowState() | Qt::WindowMaximized);
}

void TfmAbzArticoli::FormClose() {
  frAbzGiacenze->Chiudi();
  frAbzFornitoriArt->Chiudi();
  dmAbzArticoli->xqcArticoli->Close();
}

void TfmAbzArticoli::seguiArticolo(bool sempre) {
  // A new article has no stock nor suppliers yet; a row being corrected
  // keeps its own.
  const TKvQueryCollection* articoli = dmAbzArticoli->xqcArticoli;
  if (articoli->GetState() == KvState::Edit) return;
  const int id = dmAbzArticoli->IdCorrente();
  if (!sempre && id == dmAbzArticoli->ArticoloFornitori() && dmAbzArticoli->xqcFornitori->Active() &&
      id == dmAbzGiacenze->Articolo())
    return;
  // A stock row still being typed for the new article stays on screen.
  if (dmAbzGiacenze->xqcGiacenze->GetState() != KvState::Insert) frAbzGiacenze->Apri(id);
  KvReport(frAbzFornitoriArt->Apri(id));
}

void TfmAbzArticoli::nuovaGiacenza(int idArticolo) {
  if (idArticolo < 0 || !frAbzGiacenze->Apri(idArticolo)) return;
  pcArticolo->setCurrentWidget(frAbzGiacenze);
  frAbzGiacenze->xacInsert->trigger();
  if (dmAbzGiacenze->xqcGiacenze->GetState() == KvState::Insert)
    frAbzGiacenze->SetActionLocked(frAbzGiacenze->xacCancel, true);
}
