#include "AbiRComEsteri.h"

#include "AbiMCom.h"
#include "KvDbControls.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"
#include "TfmKvSearch.h"

#include <QFormLayout>

TfrComEsteri::TfrComEsteri(QWidget* parent) : TfrKvDBRWGrid(parent) {
  setObjectName(QStringLiteral("frComEsteri"));
  ConfirmDelete = true;
  xdeComune = AddDBEdit(QStringLiteral("xdeComune"), QStringLiteral("SCOMDESC"), QStringLiteral("Comune/Città"));
  xdlStato = AddDBLookup(QStringLiteral("xdlStato"), QStringLiteral("ISTAID"), QStringLiteral("Stato estero"));
  xdlStato->SetListCommandText(QStringList{
      QStringLiteral("SELECT TSTA_STATI.ISTAID, TSTA_STATI.SSTALDESC, TSTA_STATI.SSTACODICE, TSTA_STATI.SSTAISTAT"),
      QStringLiteral("FROM TSTA_STATI"),
      QStringLiteral("WHERE (TSTA_STATI.ISTAID <> 1) AND (TSTA_STATI.DDELETE IS NULL) AND ##WHERE##"),
      QStringLiteral("ORDER BY TSTA_STATI.ISTAID"),
  });
  xdlStato->SetKeyField(QStringLiteral("TSTA_STATI.ISTAID"));
  xdlStato->SetListField(QStringLiteral("SSTALDESC"));
  xdlStato->SetListSearchField(QStringLiteral("TSTA_STATI.SSTALDESC"));
  xdlStato->SearchColumns().SetColumns({{.field = "SSTALDESC", .caption = "Stato", .width = 200},
                                        {.field = "SSTACODICE", .caption = "Codice", .width = 70},
                                        {.field = "SSTAISTAT", .caption = "ISTAT", .width = 70}});
  xdlStato->OnChangeFKValue = [this](TKvDBLookupEdit&, int, int newKey) { statoScelto(newKey); };
  xdeCodCatastale =
      AddDBEdit(QStringLiteral("xdeCodCatastale"), QStringLiteral("SSRPCCODCATA"), QStringLiteral("Codice Catastale"));
  xdeCodIstat = AddDBEdit(QStringLiteral("xdeCodIstat"), QStringLiteral("SSRPCCOMRISTAT"), QStringLiteral("Codice ISTAT"));
}

void TfrComEsteri::SetModulo(TdmComuni* module) {
  m_module = module;
  TKvQueryCollection* list = module ? module->xqcComuniEsteri : nullptr;
  SetDataSet(list);
  if (!list) return;
  grFrame->SetColumns({{.field = "SCOMDESC", .caption = "Città", .width = 250, .sortFields = "SCOMDESC;SSTALDESC"},
                       {.field = "SSTALDESC", .caption = "Stato", .width = 250, .sortFields = "SSTALDESC;SCOMDESC"}});
}

void TfrComEsteri::statoScelto(int iStaId) {
  TKvQueryCollection* list = DataSet();
  if (!list || !editing()) return;
  const QVariant desc = xdlStato->ListValue(QStringLiteral("SSTALDESC"));
  const QVariant cata = xdlStato->ListValue(QStringLiteral("SSTACODICE"));
  const QVariant istat = xdlStato->ListValue(QStringLiteral("SSTAISTAT"));
  // The grid shows the state's name from the row, not from the database.
  list->SetFieldValue(QStringLiteral("SSTALDESC"), desc);
  list->SetFieldValue(QStringLiteral("SSRPCCODCATA"), cata);
  list->SetFieldValue(QStringLiteral("SSRPCCOMRISTAT"), istat);
  xdsMain->RefreshControls();
  if (m_module && iStaId > 1) m_module->SetCodiciDefault(iStaId, desc.toString(), cata.toString(), istat.toString());
}
