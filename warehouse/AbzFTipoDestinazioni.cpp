#include "AbzFTipoDestinazioni.h"

#include "AbzMTabelle.h"

TfrAbzTipoDestinazioni::TfrAbzTipoDestinazioni(TdmAbzTabelle& dm, QWidget* parent)
    : TfrAbzCodiceDescrizione(QStringLiteral("frTipoDestinazioni"), dm.xqcTipoDestinazioni, QStringLiteral("STPDDESCS"),
                              QStringLiteral("STPDDESCL"), parent) {
  ConfirmDelete = true;
}

TfmAbzTipoDestinazioni::TfmAbzTipoDestinazioni(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzTipoDestinazioni"), QStringLiteral("Tipo Destinazioni"), parent) {
  if (dm()) frTipoDestinazioni = Incornicia(new TfrAbzTipoDestinazioni(*dm(), this), dm()->xqcTipoDestinazioni);
}
