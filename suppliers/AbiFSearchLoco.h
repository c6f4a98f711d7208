#pragma once

#include "TfmKvSearch.h"

class QComboBox;

// "Comuni": the search window of the municipality lookups. The caller's
// statement restricts the places to the state in its :ISTAID parameter; the
// combo above the list changes that state, and the edit button opens the
// foreign municipalities of the state shown (not of Italy), so that a city
// just added can be chosen at once.
class TfmSearchLoco : public TfmKvSearch {
  Q_OBJECT
 public:
  explicit TfmSearchLoco(QWidget* parent = nullptr);
  ~TfmSearchLoco() override;

  // Shows the places of a state (1, Italy, for an id not above 0): the combo
  // selects it and, when it lists it, the list is read again for it. Nothing
  // happens for the state already shown.
  void ImpostaStato(int iStaId);
  int Stato() const { return m_iStaId; }

  // The edit button: "Comuni esteri" on the state shown; false for Italy.
  bool ApriComuniEsteri();

  QComboBox* cbStato;

  int exec() override;

 protected:
  void EditFormCreated(QWidget* window) override;

 private:
  void caricaStati();

  int m_iStaId = 0;  // none yet
  int m_sincro = 0;
};
