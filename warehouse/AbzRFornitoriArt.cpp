#include "AbzRFornitoriArt.h"

#include "AbzMArticoli.h"
#include "KvDbControls.h"
#include "KvLookupPresets.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"

#include <QAction>

TfrAbzFornitoriArt::TfrAbzFornitoriArt(TdmAbzArticoli& modulo, QWidget* parent) : TfrKvDBRWGrid(parent), dm(&modulo) {
  setObjectName(QStringLiteral("frAbzFornitoriArt"));
  setToolTip(QStringLiteral("Fornitori Articolo"));
  SetDataSet(dm->xqcFornitori);
  ConfirmDelete = true;
  xleFornitore = AddDBLookup(QStringLiteral("xleFornitore"), QStringLiteral("IBENID"), QStringLiteral("Fornitore"));
  // The supplier registry declares its lookup; the warehouse does not link it.
  KvLookupPresets::Apply(QStringLiteral("Beneficiari"), *xleFornitore);
  xleFornitore->OnChangeFKValue = [this](TKvDBLookupEdit& l, int, int) {
    if (!editing()) return;
    for (const char* f : {"SBENRAGSOC", "SBENPARTITAIVA", "SBENCODFISCALE"})
      dm->xqcFornitori->SetFieldValue(QString::fromLatin1(f), l.ListValue(QString::fromLatin1(f)));
  };
  xdeCodiceFornitore = AddDBEdit(QStringLiteral("xdeCodiceFornitore"), QStringLiteral("SARTBENCODFORN"),
                                 QStringLiteral("Codice Fornitore"));
  grFrame->SetColumns(
      {{.field = "SBENRAGSOC", .caption = "Ragione Sociale", .width = 250},
       {.field = "SBENPARTITAIVA", .caption = "Partita IVA", .width = 110},
       {.field = "SBENCODFISCALE", .caption = "Codice Fiscale", .width = 130},
       {.field = "DARTBENULTIMOCAR", .caption = "Data ultimo carico", .width = 110, .sortable = false}});
  connect(dm->xqcFornitori, &TKvQueryCollection::currentChanged, this, [this] { seguiRiga(); });
  connect(dm->xqcFornitori, &TKvQueryCollection::rowsReset, this, [this] { seguiRiga(); });
  connect(dm->xqcFornitori, &TKvQueryCollection::stateChanged, this, [this] { seguiRiga(); });
}

TfrAbzFornitoriArt::~TfrAbzFornitoriArt() = default;

KvStatus TfrAbzFornitoriArt::Apri(int idArticolo) {
  const KvStatus opened = dm->ApriFornitori(idArticolo);
  SetActionLocked(xacInsert, idArticolo < 0);
  seguiRiga();
  return opened;
}

void TfrAbzFornitoriArt::Chiudi() {
  dm->xqcFornitori->Close();
}

bool TfrAbzFornitoriArt::RigaCaricata() const {
  const TKvQueryCollection* f = dm->xqcFornitori;
  return f->Active() && !f->IsEmpty() && f->GetState() == KvState::Browse &&
         !f->FieldValue(QStringLiteral("DARTBENULTIMOCAR")).isNull();
}

void TfrAbzFornitoriArt::seguiRiga() {
  const bool caricata = RigaCaricata();
  SetActionLocked(xacEdit, caricata);
  SetActionLocked(xacDelete, caricata);
  xleFornitore->SetReadOnly(caricata);
  xdeCodiceFornitore->setReadOnly(caricata);
}
