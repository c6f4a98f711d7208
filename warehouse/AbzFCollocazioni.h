#pragma once

#include "AbzFTabella.h"

class TdmAbzTabelle;

// The storage locations of the warehouse.
class TfrAbzCollocazioni : public TfrAbzCodiceDescrizione {
  Q_OBJECT
 public:
  explicit TfrAbzCollocazioni(TdmAbzTabelle& dm, QWidget* parent = nullptr);
};

// Reads the locations afresh each time it opens.
class TfmAbzCollocazioni : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzCollocazioni(QWidget* parent = nullptr);
  TfrAbzCollocazioni* frCollocazioni = nullptr;
};
