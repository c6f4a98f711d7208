#pragma once

#include "KvResult.h"
#include "TfmKvDialog.h"

class TdmFenCCD;
class TfrFenCCD;

// The add/modify dialog of the codes, opened by the code search window's
// "Aggiungi / modifica": the code frame over the codes of one kind (for a
// DURC, of one supplier). Its result is the code to select afterwards
// (Codice): the one the user was on at OK, or the one last written.
class TfmFenCCD : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmFenCCD(QWidget* parent = nullptr);
  ~TfmFenCCD() override;

  TdmFenCCD* dmFenCCD;
  TfrFenCCD* frFenCCD;

  // 1 CIG, 2 CUP, 3 DURC: caption, fields and columns.
  void SetTipo(int tipo);
  int Tipo() const;
  // The supplier of the DURC listed and of the new ones.
  void SetBeneficiario(int idBeneficiario);
  int Beneficiario() const;
  // Opens the list: codes without supplier for CIG and CUP, the supplier's
  // own for DURC.
  KvStatus ApriLista();
  // The code the list shows first (the caller's current one).
  void SetCodiceIniziale(int iCcdId) { m_iniziale = iCcdId; }

  // The dialog's result: the code chosen at OK; otherwise the code last
  // inserted or corrected (-1 when none, or after a delete).
  int Codice() const;

  int exec() override;

 protected:
  bool CanAccept() override;

 private:
  int m_iniziale = -1;
  int m_scelto = -1;
};
