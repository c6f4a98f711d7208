#pragma once

#include "TfrKvDBFrames.h"

#include <functional>

class QAction;
class QLineEdit;
class QToolButton;
class TdmAbzArticoli;
class TfrAbzRicerca;
class TKvDBEdit;
class TKvDBLookupEdit;
class TKvDBMemo;

// The article frame over its data module: the list of the articles (the
// stock columns in the complete view only), the detail of an article with
// its classification lookups, the quick search bar, the bar-code field, the
// stock filters, duplicating and historicizing.
class TfrAbzArticoli : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrAbzArticoli(TdmAbzArticoli& modulo, QWidget* parent = nullptr);
  ~TfrAbzArticoli() override;

  TdmAbzArticoli* const dm;
  TKvDBEdit* xdeCodice;
  TKvDBEdit* xdeDescrizione;
  TKvDBMemo* xdmNote;
  TKvDBEdit* xdeCodiceISO;
  TKvDBEdit* xdeCodiceCostruttore;
  TKvDBLookupEdit* xleDestinazione;
  TKvDBLookupEdit* xleCodMerce;
  TKvDBLookupEdit* xleAliquotaIVA;
  TKvDBLookupEdit* xleDettCodMerce;
  TfrAbzRicerca* frRicerca;
  QLineEdit* edBarcode;
  QAction* acDuplica;
  QAction* acStoricizza;
  QToolButton* obFiltri;
  // Enabled when some article has two rows for one supplier; opening the
  // list removes them.
  QAction* acFornitoriDoppi;
  // Enabled while the warehouse of the working year is not closed.
  QAction* acRicalcola;

  // Called with the id of an article just inserted (its window starts the
  // article's stock row).
  std::function<void(int idArticolo)> DopoNuovoArticolo;
  // Called after the average costs were recomputed.
  std::function<void()> DopoRicalcolo;

  // The view (0 fast, 1 complete): stock columns and filters. Not reopened here.
  void SetVista(int vista);
  // (Re)opens the list on its first row and hands it to the quick search;
  // first removes the duplicate supplier rows, if any, and says so.
  KvStatus Apri();

  // The save action: the controls' own check, the code padded, the module's
  // rules (the message names the field, whose control takes the focus), the
  // post, and the row read again with its descriptions.
  bool Salva();
  // A new article with the next code.
  bool Nuovo();
  bool Duplica();
  // The delete action: a used article is refused (it can be historicized).
  bool Cancella();
  // Asks, historicizes and says so; refused with its reason.
  bool Storicizza();
  // Removes the duplicate supplier rows under the wait window and says so.
  bool EliminaFornitoriDoppi();
  // Moves to the article with the bar code, or says "Articolo non trovato.".
  bool CercaBarcode(const QString& code);

  // The stock filters of the complete view ("Differenza < 0"...); the button
  // becomes "Tutti gli articoli".
  bool ApplicaFiltro(const QString& filtro);
  void TogliFiltro();
  bool FiltroAttivo() const { return m_filtro; }

 private:
  void cliccaFiltro();
  void seguiCodMerce(bool editing);

  bool m_filtro = false;
};
