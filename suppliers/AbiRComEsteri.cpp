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
  xdeComune = AddDBEdit(QStringLiteral("SCOMDESC"), QStringLiteral("Comune/Città"));
  xdeComune->setObjectName(QStringLiteral("xdeComune"));

  xdlStato = new TKvDBLookupEdit(DetailPage());
  xdlStato->setObjectName(QStringLiteral("xdlStato"));
  xdlStato->SetListCommandText(QStringList{
      QStringLiteral("SELECT TSTA_STATI.ISTAID, TSTA_STATI.SSTALDESC, TSTA_STATI.SSTACODICE, TSTA_STATI.SSTAISTAT"),
      QStringLiteral("FROM TSTA_STATI"),
      QStringLiteral("WHERE (TSTA_STATI.ISTAID <> 1) AND (TSTA_STATI.DDELETE IS NULL) AND ##WHERE##"),
      QStringLiteral("ORDER BY TSTA_STATI.ISTAID"),
  });
  xdlStato->SetKeyField(QStringLiteral("TSTA_STATI.ISTAID"));
  xdlStato->SetListField(QStringLiteral("SSTALDESC"));
  xdlStato->SetListSearchField(QStringLiteral("TSTA_STATI.SSTALDESC"));
  TKvSearchColumns& columns = xdlStato->SearchColumns();
  columns.Field(1).SetCaption(QStringLiteral("Stato"));
  columns.Field(1).SetColWidth(200);
  columns.Field(1).SetIndexed(true);
  columns.Field(2).SetCaption(QStringLiteral("Codice"));
  columns.Field(2).SetColWidth(70);
  columns.Field(2).SetIndexed(true);
  columns.Field(3).SetCaption(QStringLiteral("ISTAT"));
  columns.Field(3).SetColWidth(70);
  columns.Field(3).SetIndexed(true);
  xdlStato->OnChangeFKValue = [this](TKvDBLookupEdit&, int, int newKey) { statoScelto(newKey); };
  DetailLayout()->addRow(QStringLiteral("Stato estero"), xdlStato);

  xdeCodCatastale = AddDBEdit(QStringLiteral("SSRPCCODCATA"), QStringLiteral("Codice Catastale"));
  xdeCodCatastale->setObjectName(QStringLiteral("xdeCodCatastale"));
  xdeCodIstat = AddDBEdit(QStringLiteral("SSRPCCOMRISTAT"), QStringLiteral("Codice ISTAT"));
  xdeCodIstat->setObjectName(QStringLiteral("xdeCodIstat"));
}

void TfrComEsteri::SetModulo(TdmComuni* module) {
  m_module = module;
  TKvQueryCollection* list = module ? module->xqcComuniEsteri : nullptr;
  SetDataSet(list);
  xdlStato->SetDataSource(list, QStringLiteral("ISTAID"));
  if (!list) return;
  TKvCollectionModel::Column city;
  city.field = QStringLiteral("SCOMDESC");
  city.title = QStringLiteral("Città");
  city.width = 250;
  TKvCollectionModel::Column state;
  state.field = QStringLiteral("SSTALDESC");
  state.title = QStringLiteral("Stato");
  state.width = 250;
  grFrame->SetColumns({city, state});
  TKvColsIndex& index = grFrame->ColsIndex();
  index.Clear();
  index.Add()->SetColumn(0).SetFields(QStringLiteral("SCOMDESC;SSTALDESC")).SetSearchable(true);
  index.Add()->SetColumn(1).SetFields(QStringLiteral("SSTALDESC;SCOMDESC")).SetSearchable(true);
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
