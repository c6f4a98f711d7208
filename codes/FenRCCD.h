#pragma once

#include "TfrKvDBFrames.h"

#include <QString>

class QAction;
class QMenu;
class QToolButton;
class TKvDBDateEdit;
class TKvDBEdit;
class TKvDBLookupEdit;
class TKvDBMemo;
class TKvDBNumberEdit;
class TKvQueryCollection;

// The code frame: the list of the codes of one kind (xqcCCD) with their
// paid, committed and invoiced totals, and the detail of a code. Codes are
// inserted and corrected here; a CIG or CUP never keeps a supplier, a DURC
// must have one.
class TfrFenCCD : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  // The archive window lists every code of the kind with the presence flags
  // its filters need; the code dialog lists the codes of one supplier (none
  // for CIG and CUP) and never lets the supplier of a DURC change.
  enum class Uso { Archivio, Dialogo };

  explicit TfrFenCCD(QWidget* parent = nullptr);
  ~TfrFenCCD() override;

  TKvQueryCollection* xqcCCD;
  TKvDBEdit* xdeCodice;
  TKvDBDateEdit* xddDataAssegn;
  TKvDBMemo* xdmDescrizione;
  TKvDBDateEdit* xddDataScad;
  TKvDBLookupEdit* xleBenef;
  TKvDBNumberEdit* xdnImporto;
  QToolButton* obFiltri;
  QAction* acFiltri;  // the tool bar's place of obFiltri
  QMenu* pmFiltri;
  QAction* acSenzaMovimenti;
  QAction* acMandatiSenzaImpegni;

  static const QString kFiltroSenzaMovimenti;
  static const QString kFiltroMandatiSenzaImpegni;

  void SetUso(Uso uso);
  Uso GetUso() const { return m_uso; }
  // The kind (1 CIG, 2 CUP, 3 DURC): statement, fields, columns and filters
  // shown. The list is not reopened here (Apri).
  void SetTipo(int tipo);
  int Tipo() const { return m_tipo; }
  // The supplier whose codes are listed and whom new DURC rows get; -1 lists
  // the codes of every supplier.
  void SetBeneficiario(int idBeneficiario);
  int Beneficiario() const { return m_beneficiario; }

  // (Re)opens the list on its first row, without filter.
  bool Apri(QString* error = nullptr);

  // Filters the list in memory under the wait window; the button becomes
  // "Togli filtro", pressed.
  bool ApplicaFiltro(const QString& filtro);
  void TogliFiltro();
  bool FiltroAttivo() const;
  // Opening the filter menu removes the filter on (not in the archive window).
  bool TogliFiltroAlMenu = true;

  // The save action: checks the required fields (the message names the
  // first missing one), clears the supplier of a CIG or CUP, posts and
  // reloads the row with its totals.
  bool Salva();
  // The delete action: refused for a code that other rows refer to.
  bool Cancella();

 private:
  void impostaParametri();
  void aggiornaBloccoBeneficiario();
  void rilasciaFiltro();
  void cliccaFiltro();

  Uso m_uso = Uso::Archivio;
  int m_tipo = -1;
  int m_beneficiario = -1;
  QString m_testoFiltri;
};
