#pragma once

#include <QDialog>

class QRadioButton;

// Asked before the articles window opens: quick or complete view.
class TfmAbzFViewArt : public QDialog {
  Q_OBJECT
 public:
  explicit TfmAbzFViewArt(QWidget* parent = nullptr);
  // 0 "Visualizzazione Veloce", 1 "Visualizzazione Completa".
  int Modalita() const;
  void SetModalita(int mode);

 private:
  QRadioButton* m_veloce;
  QRadioButton* m_completa;
};
