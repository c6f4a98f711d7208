#pragma once

#include "AbzFTabella.h"

class QSplitter;
class TdmAbzTabelle;

// The product codes. Rows are never deleted here: the warehouse program
// and the articles refer to them.
class TfrAbzCodMerce : public TfrAbzCodiceDescrizione {
  Q_OBJECT
 public:
  explicit TfrAbzCodMerce(TdmAbzTabelle& dm, QWidget* parent = nullptr);
};

// The details of the current product code; a new detail belongs to the
// product code above, which is stored first when it is being typed.
class TfrAbzDettCodMerc : public TfrAbzCodiceDescrizione {
  Q_OBJECT
 public:
  TfrAbzDettCodMerc(TdmAbzTabelle& dm, TfrAbzCodMerce& codici, QWidget* parent = nullptr);
};

class TfmAbzCodMerce : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzCodMerce(QWidget* parent = nullptr);
  QSplitter* spCodMerce = nullptr;
  TfrAbzCodMerce* frCodMerce = nullptr;
  TfrAbzDettCodMerc* frDettCodMerc = nullptr;
};
