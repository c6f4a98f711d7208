#include "AbzFCollocazioni.h"

#include "AbzMTabelle.h"

TfrAbzCollocazioni::TfrAbzCollocazioni(TdmAbzTabelle& dm, QWidget* parent)
    : TfrAbzCodiceDescrizione(QStringLiteral("frCollocazioni"), dm.xqcCollocazioni, QStringLiteral("SCLCDESCS"),
                              QStringLiteral("SCLCDESCL"), parent) {
  ConfirmDelete = true;
}

TfmAbzCollocazioni::TfmAbzCollocazioni(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzCollocazioni"), QStringLiteral("Collocazioni"), parent) {
  if (dm()) frCollocazioni = Incornicia(new TfrAbzCollocazioni(*dm(), this), dm()->xqcCollocazioni, true);
}
