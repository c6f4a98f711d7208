#pragma once

#include <QList>
#include <QMainWindow>

#include <functional>

class QLabel;
class QMdiArea;
class QMdiSubWindow;

// Base of a program's main window: the working area of the child windows and
// the status panels. The first activation is where a program opens its
// database and builds its menu; later activations refresh what may have
// changed while another program had the focus.
class TfmKvMDIMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfmKvMDIMain(QWidget* parent = nullptr);
  ~TfmKvMDIMain() override;

  QMdiArea* MdiArea() const { return m_mdi; }

  // Adds a status panel of the given width; returns its index (0, 1, ...).
  int AddPanel(int width);
  int PanelCount() const { return int(m_panels.size()); }
  void SetPanelText(int index, const QString& text);
  QString PanelText(int index) const;
  // The program's routine that fills the panels, run by RefreshPanels.
  void SetPanelRefresher(std::function<void()> refresher) { m_refresher = std::move(refresher); }
  void RefreshPanels();

  // Puts a widget into the working area as a child window, freed when it
  // closes; shown and made the active one unless show is false.
  QMdiSubWindow* AddChild(QWidget* widget, bool show = true);
  void ShowChild(QMdiSubWindow* window);
  // The open child windows (a closed one waiting to be freed is left out).
  QList<QMdiSubWindow*> MdiChildren() const;
  // The widget of the active child window, or null.
  QWidget* ActiveChild() const;
  // True until the first activation has started.
  bool FirstActivationPending() const { return m_firstPending; }
  // Runs the first activation now when the window system has not activated
  // the window yet (a run without a screen, a test).
  void EnsureFirstActivation();

 signals:
  void childrenChanged();

 protected:
  virtual void OnFirstActivation() {}
  virtual void OnActivation() {}
  bool event(QEvent* event) override;
  // A row being typed in any child is asked about first (Annulla keeps every
  // window open), then every child window is asked; one that refuses keeps
  // the program open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void childActivated(QMdiSubWindow* window);

  QMdiArea* m_mdi;
  QList<QLabel*> m_panels;
  std::function<void()> m_refresher;
  bool m_firstPending = true;
  // A message shown while an activation runs activates the window again
  // when it closes; that activation is not a new one.
  bool m_inActivation = false;
};
