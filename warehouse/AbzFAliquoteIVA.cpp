#include "AbzFAliquoteIVA.h"

#include "AbzMTabelle.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "TKvDBGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TfrAbzAliquoteIVA::TfrAbzAliquoteIVA(TdmAbzTabelle& dm, QWidget* parent) : TfrKvDBRWGrid(parent) {
  setObjectName(QStringLiteral("frAliquoteIVA"));
  SetDataSet(dm.xqcAliquoteIVA);
  KvColumns colonne =
      CampiCodiceDescrizione(*this, xdeCodice, xdeDescrizione, QStringLiteral("SALVDESCS"), QStringLiteral("SALVDESCL"));
  xdnIva = AddDBNumber(QStringLiteral("xdnIva"), QStringLiteral("FALVIVA"), QStringLiteral("IVA"), 2);
  // The rate is read with its percent sign after it.
  xdnIva->setMaximumWidth(120);
  QHBoxLayout* riga = RigaAffiancata(*DetailLayout(), xdnIva);
  riga->addWidget(new QLabel(QStringLiteral("%"), DetailPage()));
  riga->addStretch(1);
  colonne << KvColumn{.field = "FALVIVA",
                      .caption = " % IVA",
                      .width = 80,
                      .format = TKvCollectionModel::FixedFormat(2, true),
                      .sortable = false};
  grFrame->SetColumns(colonne);
  ConfirmDelete = true;
}

TfmAbzAliquoteIVA::TfmAbzAliquoteIVA(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzAliquoteIVA"), QStringLiteral("Aliquote IVA"), parent) {
  if (!dm()) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(frAliquoteIVA = new TfrAbzAliquoteIVA(*dm(), this));
  SetLista(dm()->xqcAliquoteIVA);
}
