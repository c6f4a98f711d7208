#pragma once

#include "AbzFTabella.h"

class TdmAbzTabelle;

// The destination types of the articles.
class TfrAbzTipoDestinazioni : public TfrAbzCodiceDescrizione {
  Q_OBJECT
 public:
  explicit TfrAbzTipoDestinazioni(TdmAbzTabelle& dm, QWidget* parent = nullptr);
};

class TfmAbzTipoDestinazioni : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzTipoDestinazioni(QWidget* parent = nullptr);
  TfrAbzTipoDestinazioni* frTipoDestinazioni = nullptr;
};
