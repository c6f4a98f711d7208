#pragma once

#include "AbzFTabella.h"

class TdmAbzTabelle;
class TKvDBNumberEdit;

// The VAT rates: code, description and rate in percent.
class TfrAbzAliquoteIVA : public TfrAbzCodiceDescrizione {
  Q_OBJECT
 public:
  explicit TfrAbzAliquoteIVA(TdmAbzTabelle& dm, QWidget* parent = nullptr);
  TKvDBNumberEdit* xdnIva;
};

class TfmAbzAliquoteIVA : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzAliquoteIVA(QWidget* parent = nullptr);
  TfrAbzAliquoteIVA* frAliquoteIVA = nullptr;
};
