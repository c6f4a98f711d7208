#pragma once

#include "TfmKvDialog.h"

#include <functional>

class TfrComEsteri;

// "Comuni esteri": the foreign municipalities, opened on a state that new
// rows take by default. OK saves a row still being typed (a refusal keeps
// the window open); Annulla drops it.
class TfmComEsteri : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmComEsteri(QWidget* parent = nullptr);
  ~TfmComEsteri() override;

  // Reopens the list with iStaId as the state of new rows; false (and the
  // reason shown) when the municipalities module cannot be opened.
  bool ApriStato(int iStaId);
  int Stato() const { return m_iStaId; }

  TfrComEsteri* frComEsteri;


  int exec() override;

 protected:
  bool CanAccept() override;

 private:
  int m_iStaId = -1;
  bool m_aperto = false;
};
