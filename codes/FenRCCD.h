#pragma once

#include "TfrKvDBFrames.h"

#include <QString>

class QAction;
class QMenu;
class QToolButton;
class TdmFenCCD;
class TKvDBDateEdit;
class TKvDBEdit;
class TKvDBLookupEdit;
class TKvDBMemo;
class TKvDBNumberEdit;

// The code frame over its data module (TdmFenCCD): the list of the codes of
// one kind with their totals, the detail of a code, and the filters of the
// codes without movements and of the orders without commitments.
class TfrFenCCD : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  explicit TfrFenCCD(TdmFenCCD& modulo, QWidget* parent = nullptr);
  ~TfrFenCCD() override;

  TdmFenCCD* const dm;
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

  // The kind (1 CIG, 2 CUP, 3 DURC): the module's list, and the fields,
  // columns and filters shown. The list is not reopened here (Apri).
  void SetTipo(int tipo);
  int Tipo() const;
  void SetBeneficiario(int idBeneficiario);

  // (Re)opens the list on its first row, without filter.
  KvStatus Apri();

  // Filters the list in memory under the wait window; the button becomes
  // "Togli filtro", pressed.
  bool ApplicaFiltro(const QString& filtro);
  void TogliFiltro();
  bool FiltroAttivo() const;
  // Opening the filter menu removes the filter on (not in the archive window).
  bool TogliFiltroAlMenu = true;

  // The save action: the module's check (the message names the first
  // missing field, whose control takes the focus), the supplier of a CIG or
  // CUP cleared, the post, and the row read again with its totals.
  bool Salva();
  // The delete action: refused for a code that other rows refer to.
  bool Cancella();

 private:
  void rilasciaFiltro();
  void cliccaFiltro();
};
