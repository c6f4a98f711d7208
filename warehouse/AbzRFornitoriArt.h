#pragma once

#include "TfrKvDBFrames.h"

class TdmAbzArticoli;
class TKvDBEdit;
class TKvDBLookupEdit;

// The suppliers of the current article with the supplier's own code. A row
// the warehouse program has loaded from (last loading date set) cannot be
// changed or removed here.
class TfrAbzFornitoriArt : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrAbzFornitoriArt(TdmAbzArticoli& modulo, QWidget* parent = nullptr);
  ~TfrAbzFornitoriArt() override;

  TdmAbzArticoli* const dm;
  TKvDBLookupEdit* xleFornitore;
  TKvDBEdit* xdeCodiceFornitore;

  // Reopens the list for an article (-1: none, nothing can be added).
  KvStatus Apri(int idArticolo);
  void Chiudi();
  // The current row has been loaded from and stays as it is.
  bool RigaCaricata() const;

 private:
  void seguiRiga();
};
