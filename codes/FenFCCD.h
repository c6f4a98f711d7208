#pragma once

#include "TfmKvDialog.h"

#include <functional>

class TfrFenCCD;

// The add/modify dialog of the codes, opened by the code search window's
// "Aggiungi / modifica": the code frame over the codes of one kind (for a
// DURC, of one supplier). It hands the code inserted, corrected or chosen
// back to the search window through UltimoCodice.
class TfmFenCCD : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmFenCCD(QWidget* parent = nullptr);
  ~TfmFenCCD() override;

  TfrFenCCD* frFenCCD;

  // 1 CIG, 2 CUP, 3 DURC: caption, fields and columns.
  void SetTipo(int tipo);
  int Tipo() const;
  // The supplier of the DURC listed and of the new ones.
  void SetBeneficiario(int idBeneficiario);
  int Beneficiario() const;
  // Opens the list: codes without supplier for CIG and CUP, the supplier's
  // own for DURC.
  bool ApriLista();

  // Tests drive the modal run without a person: while a driver is set,
  // exec() prepares the dialog as for showing it and calls the driver, which
  // works the frame and presses OK or Annulla.
  using ModalDriver = std::function<void(TfmFenCCD& dialog)>;
  static void SetModalDriver(ModalDriver driver);

  int exec() override;

 protected:
  bool CanAccept() override;

 private:
  void mostra();
};
