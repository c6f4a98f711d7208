#pragma once

#include "TfmKvSearch.h"

// The search window of the code lookups (CIG, CUP, DURC of a supplier). Its
// "Aggiungi / modifica" button opens the code dialog on the current code;
// the dialog's result (the code inserted or chosen there) becomes the
// current row here.
class TfmFenSearchCCD : public TfmKvSearch {
  Q_OBJECT
 public:
  explicit TfmFenSearchCCD(QWidget* parent = nullptr);
  ~TfmFenSearchCCD() override;

  // Kind and supplier handed to the dialog (ImpostaRicercaCodici sets them).
  void SetTipo(int tipo, int idBeneficiario = 0);
  int Tipo() const { return m_tipo; }
  int Beneficiario() const { return m_beneficiario; }

 protected:
  void ListOpened() override;
  void EditFormCreated(QWidget* window) override;
  void EditFormClosed(QWidget* window, int result) override;

 private:
  int m_tipo = -1;
  int m_daScegliere = -1;  // the dialog's result, chosen once the list is read again
  int m_beneficiario = 0;
};
