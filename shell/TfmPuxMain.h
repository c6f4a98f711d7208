#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;

// The program's main window: the working area for child windows and the
// status panels with the institute and the financial year.
class TfmPuxMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfmPuxMain(QWidget* parent = nullptr);

  void RefreshPanels();
  QString PanelText(int index) const;
  QMdiArea* mdiArea() const { return m_mdi; }

 private:
  QMdiArea* m_mdi;
  QLabel* m_panel1;
  QLabel* m_panel2;
};
