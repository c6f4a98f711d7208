#pragma once

#include "AbzFTabella.h"

class TdmAbzTabelle;
class TKvDBEdit;
class TKvDBMemo;
class TKvDBNumberEdit;

// The units of measure: the unit an article is loaded in, the unit it is
// discharged in, and how many discharge units make a loading unit.
class TfrAbzUniMisura : public TfrAbzCodiceDescrizione {
  Q_OBJECT
 public:
  explicit TfrAbzUniMisura(TdmAbzTabelle& dm, QWidget* parent = nullptr);
  TdmAbzTabelle& dm;
  TKvDBMemo* xdmNote;
  TKvDBEdit* xdeMisCarico;
  TKvDBEdit* xdeMisScarico;
  TKvDBNumberEdit* xdnFattore;

  // The save action: the module's check (its message, then the focus on
  // the field), then the post.
  bool Salva();
};

class TfmAbzUniMisura : public TfmAbzTabella {
  Q_OBJECT
 public:
  explicit TfmAbzUniMisura(QWidget* parent = nullptr);
  TfrAbzUniMisura* frUniMisura = nullptr;
};
