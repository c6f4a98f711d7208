#include "TfmKvChildDB.h"

#include "TfrKvDBFrames.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

TfmKvChildDB::TfmKvChildDB(QWidget* parent) : QWidget(parent) {}

bool TfmKvChildDB::RunFormCreate() {
  if (!m_refused) FormCreate();
  return !m_refused;
}

bool TfmKvChildDB::RunFormShow() {
  if (!m_refused) FormShow();
  if (!m_refused) m_opened = true;
  return !m_refused;
}

void TfmKvChildDB::RunFormActivate() {
  if (!m_refused && !m_closed) FormActivate();
}

void TfmKvChildDB::RefuseOpen() {
  m_refused = true;
  // Already on screen: close for good, without asking (nothing was done yet).
  if (m_opened && !m_closed) {
    m_closed = true;
    FormClose();
    if (QMdiSubWindow* frame = SubWindow())
      frame->close();
    else
      close();
  }
}

QMdiSubWindow* TfmKvChildDB::SubWindow() const {
  for (QWidget* p = parentWidget(); p; p = p->parentWidget())
    if (auto* frame = qobject_cast<QMdiSubWindow*>(p)) return frame;
  return nullptr;
}

bool TfmKvChildDB::CloseWindow() {
  if (QMdiSubWindow* frame = SubWindow()) return frame->close();
  return close();
}

void TfmKvChildDB::closeEvent(QCloseEvent* event) {
  if (m_closed) {
    event->accept();
    return;
  }
  // A row being typed is saved, dropped or kept as the user answers.
  if (!TfrKvDBFrame::ConfirmLeaveAll(this)) {
    event->ignore();
    return;
  }
  bool canClose = true;
  FormCloseQuery(canClose);
  if (!canClose) {
    event->ignore();
    return;
  }
  m_closed = true;
  FormClose();
  event->accept();
}
