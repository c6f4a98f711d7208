#pragma once

#include "AbzFTabella.h"
#include "TfrKvDBFrames.h"

class TdmAbzTabelle;
class TKvDBEdit;

// The storage locations of the warehouse.
class TfrAbzCollocazioni : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrAbzCollocazioni(TdmAbzTabelle& dm, QWidget* parent = nullptr);
  TKvDBEdit* xdeCodice;
  TKvDBEdit* xdeDescrizione;
};

// Reads the locations afresh each time it opens.
class TfmAbzCollocazioni : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzCollocazioni(QWidget* parent = nullptr);
  TfrAbzCollocazioni* frCollocazioni = nullptr;
};
