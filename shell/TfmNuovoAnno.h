#pragma once

#include "TfmKvChildDB.h"
#include "TfrKvDBFrames.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QSplitter;
class TKvDBDateEdit;
class TKvDBLookupEdit;
class TKvQueryCollection;

// The institutes: a read-only list, optionally reduced to the main
// institute (the one without a data owner of its own).
class TfrIstituti : public TfrKvDBROGrid {
  Q_OBJECT
 public:
  explicit TfrIstituti(QWidget* parent = nullptr);
  // Binds the grid to the institutes list.
  void Collega(TKvQueryCollection* istituti);
  QCheckBox* ckPrincipale;
};

// The years of an institute: a year is chosen only while inserting; its own
// first and last day are typed under "Date Personalizzate". Links are never
// deleted here.
class TfrAnniFinanziari : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrAnniFinanziari(QWidget* parent = nullptr);

  // Binds the grid, the detail and the year lookup to the years list.
  void Collega(TKvQueryCollection* anni);
  // The save: the year rules first (a refusal focuses its field and writes
  // nothing), then the row and the neighbours it moves, in one transaction.
  bool Salva();

  bool Insert() override;

  TKvDBLookupEdit* xdlAnnoFin;
  QLabel* lbInizioKalvo;
  QLabel* lbFineKalvo;
  QCheckBox* ckPersonalizzate;
  QGroupBox* gbDatePersonalizzate;
  TKvDBDateEdit* xddInizio;
  TKvDBDateEdit* xddFine;

 private:
  void seguiRiga();
  void mostraDateSuite(const QString& annoDigitato);
  void bottoneData(TKvDBDateEdit* edit, bool inizio);
};

// "Nuovo Anno": the financial years each institute works in.
class TfmNuovoAnno : public TfmKvChildDB {
  Q_OBJECT
 public:
  explicit TfmNuovoAnno(QWidget* parent = nullptr);

  TfrIstituti* frIstituti;
  QSplitter* spNuovoAnno;
  TfrAnniFinanziari* frAnniFinanziari;

 protected:
  void FormCreate() override;
  void FormActivate() override;
  void FormClose() override;
};
