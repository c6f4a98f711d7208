#include "AbzFTipoDestinazioni.h"

#include "AbzMTabelle.h"
#include "TKvDBGrid.h"

#include <QVBoxLayout>

TfrAbzTipoDestinazioni::TfrAbzTipoDestinazioni(TdmAbzTabelle& dm, QWidget* parent) : TfrKvDBRWGrid(parent) {
  setObjectName(QStringLiteral("frTipoDestinazioni"));
  SetDataSet(dm.xqcTipoDestinazioni);
  grFrame->SetColumns(
      CampiCodiceDescrizione(*this, xdeCodice, xdeDescrizione, QStringLiteral("STPDDESCS"), QStringLiteral("STPDDESCL")));
  ConfirmDelete = true;
}

TfmAbzTipoDestinazioni::TfmAbzTipoDestinazioni(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzTipoDestinazioni"), QStringLiteral("Tipo Destinazioni"), parent) {
  if (!dm()) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(frTipoDestinazioni = new TfrAbzTipoDestinazioni(*dm(), this));
  SetLista(dm()->xqcTipoDestinazioni);
}
