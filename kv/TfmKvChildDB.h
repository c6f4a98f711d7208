#pragma once

#include <QWidget>

class QMdiSubWindow;

// Base of the child windows of the main window. The window factory runs the
// hooks in the order of a window's life: FormCreate once it is built,
// FormShow before it first appears, FormActivate whenever it becomes the
// active child, FormCloseQuery when it is asked to close (it may refuse;
// before it, a row being typed in one of its frames asks "Salvare le
// modifiche?" and Annulla or a failed save keeps the window open),
// FormClose when it closes. A window that cannot work (no working institute,
// a module that did not open) calls RefuseOpen from FormCreate or FormShow:
// the factory then frees it without ever showing it; called later, it closes
// the window.
class TfmKvChildDB : public QWidget {
  Q_OBJECT
 public:
  explicit TfmKvChildDB(QWidget* parent = nullptr);

  // Run by the factory; each returns false when the window refused to open.
  bool RunFormCreate();
  bool RunFormShow();
  // Run when the window becomes the active child, and by commands that
  // change the working context under an open window.
  void RunFormActivate();

  bool Refused() const { return m_refused; }
  // The child window frame holding this window, if any.
  QMdiSubWindow* SubWindow() const;
  // Closes the window (and its frame), asking FormCloseQuery first.
  bool CloseWindow();

 protected:
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormActivate() {}
  virtual void FormCloseQuery(bool& canClose) { Q_UNUSED(canClose); }
  virtual void FormClose() {}
  void RefuseOpen();

  void closeEvent(QCloseEvent* event) override;

 private:
  bool m_refused = false;
  bool m_opened = false;
  bool m_closed = false;
};
