#pragma once

#include "AbzFTabella.h"
#include "TfrKvDBFrames.h"

class TdmAbzTabelle;
class TKvDBEdit;
class TKvDBNumberEdit;

// The VAT rates: code, description and rate in percent.
class TfrAbzAliquoteIVA : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrAbzAliquoteIVA(TdmAbzTabelle& dm, QWidget* parent = nullptr);
  TKvDBEdit* xdeCodice;
  TKvDBEdit* xdeDescrizione;
  TKvDBNumberEdit* xdnIva;
};

class TfmAbzAliquoteIVA : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzAliquoteIVA(QWidget* parent = nullptr);
  TfrAbzAliquoteIVA* frAliquoteIVA = nullptr;
};
