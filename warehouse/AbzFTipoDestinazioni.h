#pragma once

#include "AbzFTabella.h"
#include "TfrKvDBFrames.h"

class TdmAbzTabelle;
class TKvDBEdit;

// The destination types of the articles.
class TfrAbzTipoDestinazioni : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrAbzTipoDestinazioni(TdmAbzTabelle& dm, QWidget* parent = nullptr);
  TKvDBEdit* xdeCodice;
  TKvDBEdit* xdeDescrizione;
};

class TfmAbzTipoDestinazioni : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzTipoDestinazioni(QWidget* parent = nullptr);
  TfrAbzTipoDestinazioni* frTipoDestinazioni = nullptr;
};
