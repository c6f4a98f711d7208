#pragma once

#include "TfrKvDBFrames.h"

class TKvDBEdit;
class TKvDBLookupEdit;
class TdmComuni;

// The foreign municipalities: grid "Città" / "Stato", detail with the city,
// the foreign state (a lookup on every state but Italy) and its cadastral
// and ISTAT codes, which choosing the state fills in.
class TfrComEsteri : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrComEsteri(QWidget* parent = nullptr);

  // Shows the module's list (grid columns, sort index, detail controls).
  void SetModulo(TdmComuni* module);

  TKvDBEdit* xdeComune = nullptr;
  TKvDBLookupEdit* xdlStato = nullptr;
  TKvDBEdit* xdeCodCatastale = nullptr;
  TKvDBEdit* xdeCodIstat = nullptr;

 private:
  void statoScelto(int iStaId);

  TdmComuni* m_module = nullptr;
};
