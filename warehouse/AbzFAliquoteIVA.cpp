#include "AbzFAliquoteIVA.h"

#include "AbzMTabelle.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "TKvDBGrid.h"

#include <QHBoxLayout>
#include <QLabel>

TfrAbzAliquoteIVA::TfrAbzAliquoteIVA(TdmAbzTabelle& dm, QWidget* parent)
    : TfrAbzCodiceDescrizione(QStringLiteral("frAliquoteIVA"), dm.xqcAliquoteIVA, QStringLiteral("SALVDESCS"),
                              QStringLiteral("SALVDESCL"), parent) {
  xdnIva = AddDBNumber(QStringLiteral("xdnIva"), QStringLiteral("FALVIVA"), QStringLiteral("IVA"), 2);
  // The rate is read with its percent sign after it.
  xdnIva->setMaximumWidth(120);
  QHBoxLayout* riga = RigaAffiancata(*DetailLayout(), xdnIva);
  riga->addWidget(new QLabel(QStringLiteral("%"), DetailPage()));
  riga->addStretch(1);
  grFrame->SetColumns(ColonneCodiceDescrizione() << KvColumn{.field = "FALVIVA",
                                                             .caption = " % IVA",
                                                             .width = 80,
                                                             .format = TKvCollectionModel::FixedFormat(2, true),
                                                             .sortable = false});
  ConfirmDelete = true;
}

TfmAbzAliquoteIVA::TfmAbzAliquoteIVA(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzAliquoteIVA"), QStringLiteral("Aliquote IVA"), parent) {
  if (dm()) frAliquoteIVA = Incornicia(new TfrAbzAliquoteIVA(*dm(), this), dm()->xqcAliquoteIVA);
}
