#pragma once

#include "AbzFTabella.h"
#include "TfrKvDBFrames.h"

class TdmAbzTabelle;
class TKvDBCheckBox;
class TKvDBMemo;

// The supply conditions proposed to the suppliers of a procedure; those
// marked "Default" are proposed on every new procedure.
class TfrAbzCondFornitura : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrAbzCondFornitura(TdmAbzTabelle& dm, QWidget* parent = nullptr);
  TKvDBMemo* xdmNote;
  TKvDBCheckBox* xckDefault;
};

class TfmAbzCondFornitura : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzCondFornitura(QWidget* parent = nullptr);
  TfrAbzCondFornitura* frCondFornitura = nullptr;
};
