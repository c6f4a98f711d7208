#pragma once

#include "TfmKvMultiSelect.h"

#include <QString>

class QCheckBox;
class QLineEdit;
class QTimer;

// "Seleziona il Beneficiario": several suppliers from the caller's list
// statement, whose rows carry LBENEND, LBENOBBLTRACC, SBENCODFISCALE,
// ISEDIOIL, IPAGAMOIL and SBENRAGSOC. Filters: the historicized suppliers
// instead of the active ones, only those whose traceability obligation is
// still to be fulfilled, only those with incomplete payment-order data
// (ticking it also selects every row left), and a name typed in "Filtra...".
// Every filter change clears the selection, as the window warns.
class TfmAbiMultiSelectBen : public TfmKvMultiSelect {
  Q_OBJECT
 public:
  explicit TfmAbiMultiSelectBen(QWidget* parent = nullptr);
  ~TfmAbiMultiSelectBen() override;

  QLineEdit* edFiltra;
  QTimer* tmFiltra;
  QCheckBox* ckStoricizzati;
  QCheckBox* ckTracciabilita;
  QCheckBox* ckDatiOil;

  // The text condition of the filter ("1 = 1" when no name is typed).
  QString Condizione() const { return m_condizione; }
  // What the timer does: the typed name becomes the condition and the list
  // is filtered again; false when the filter could not be applied.
  bool ApplicaTesto();

 protected:
  void FormShow() override;
  QString BuildFilter() override;

 private:
  void testoCambiato(const QString& text);

  QString m_condizione = QStringLiteral("1 = 1");
};
