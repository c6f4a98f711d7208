#include "AbzFCollocazioni.h"

#include "AbzMTabelle.h"
#include "TKvDBGrid.h"

#include <QVBoxLayout>

TfrAbzCollocazioni::TfrAbzCollocazioni(TdmAbzTabelle& dm, QWidget* parent) : TfrKvDBRWGrid(parent) {
  setObjectName(QStringLiteral("frCollocazioni"));
  SetDataSet(dm.xqcCollocazioni);
  grFrame->SetColumns(
      CampiCodiceDescrizione(*this, xdeCodice, xdeDescrizione, QStringLiteral("SCLCDESCS"), QStringLiteral("SCLCDESCL")));
  ConfirmDelete = true;
}

TfmAbzCollocazioni::TfmAbzCollocazioni(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzCollocazioni"), QStringLiteral("Collocazioni"), parent) {
  if (!dm()) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(frCollocazioni = new TfrAbzCollocazioni(*dm(), this));
  SetLista(dm()->xqcCollocazioni, true);
}
