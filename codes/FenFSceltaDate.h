#pragma once

#include "TfmKvDialog.h"

#include <QDate>

#include <functional>

class QDateEdit;
class QLabel;

// "Scelta Date": the period of a print. The caller may give the first and
// last allowed day; with the range check on (the default) OK refuses a date
// outside it.
class TfmFenSceltaDate : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmFenSceltaDate(QWidget* parent = nullptr);
  ~TfmFenSceltaDate() override;

  QLabel* laDal;
  QLabel* laAl;
  QDateEdit* edDal;
  QDateEdit* edAl;

  // The allowed range; an invalid day leaves that end open.
  void SetIntervallo(const QDate& primo, const QDate& ultimo);
  void SetControlloIntervallo(bool on) { m_controllo = on; }
  // Only the end date is asked ("Data del Controllo").
  void SetSoloAl(bool on);

  // The dates shown (set when the dialog shows: the given days, or 1
  // January and 31 December of the current year).
  QDate Dal() const;
  QDate Al() const;
  void SetDal(const QDate& data);
  void SetAl(const QDate& data);


  int exec() override;

 protected:
  bool CanAccept() override;

 private:
  void prepara();

  QDate m_primo;
  QDate m_ultimo;
  bool m_controllo = true;
  bool m_soloAl = false;
};
