#include "AbzFCondFornitura.h"

#include "AbzMTabelle.h"
#include "KvDbControls.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"

TfrAbzCondFornitura::TfrAbzCondFornitura(TdmAbzTabelle& dm, QWidget* parent) : TfrKvDBRWGrid(parent) {
  setObjectName(QStringLiteral("frCondFornitura"));
  SetDataSet(dm.xqcCondFornitura);
  xdmNote = AddDBMemo(QStringLiteral("xdmNote"), QStringLiteral("SCDFDESCL"), QStringLiteral("Note"));
  xdmNote->setFixedHeight(120);
  xdmNote->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  xckDefault = AddDBCheck(QStringLiteral("xckDefault"), QStringLiteral("lCdfDefault"), QStringLiteral("Default"));
  grFrame->SetColumns({{.field = "SCDFDESCL", .caption = "Note", .width = 650},
                       {.field = "DEF", .caption = "Default", .width = 60, .sortable = false}});
  // The default mark: an image on the rows proposed by default.
  TKvQueryCollection* condizioni = dm.xqcCondFornitura;
  grFrame->OnDrawColumnCell = [condizioni](TKvDrawCell& cella) {
    if (cella.field != QLatin1String("DEF")) return;
    cella.text.clear();
    const int campo = condizioni->FieldIndex(QStringLiteral("LCDFDEFAULT"));
    if (campo >= 0 && condizioni->Value(cella.row, campo).toInt() == 1) cella.image = TKvDBGrid::TickImage();
  };
  ConfirmDelete = true;
}

TfmAbzCondFornitura::TfmAbzCondFornitura(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzCondFornitura"), QStringLiteral("Condizioni di Fornitura"), parent) {
  if (dm()) frCondFornitura = Incornicia(new TfrAbzCondFornitura(*dm(), this), dm()->xqcCondFornitura);
}
