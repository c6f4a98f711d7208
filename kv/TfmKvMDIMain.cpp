#include "TfmKvMDIMain.h"

#include "TfmKvChildDB.h"
#include "TfrKvDBFrames.h"

#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

TfmKvMDIMain::TfmKvMDIMain(QWidget* parent) : QMainWindow(parent), m_mdi(new QMdiArea(this)) {
  setCentralWidget(m_mdi);
  m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(m_mdi, &QMdiArea::subWindowActivated, this, &TfmKvMDIMain::childActivated);
}

TfmKvMDIMain::~TfmKvMDIMain() {
  // Children go before the area, while their hooks can still reach the main window.
  disconnect(m_mdi, nullptr, this, nullptr);
  for (QMdiSubWindow* w : m_mdi->subWindowList()) delete w;
}

int TfmKvMDIMain::AddPanel(int width) {
  auto* panel = new QLabel(this);
  panel->setObjectName(QStringLiteral("kvPanel%1").arg(m_panels.size()));
  panel->setMinimumWidth(width);
  panel->setFrameShape(QFrame::StyledPanel);
  statusBar()->addWidget(panel);
  m_panels.append(panel);
  return int(m_panels.size()) - 1;
}

void TfmKvMDIMain::SetPanelText(int index, const QString& text) {
  if (index >= 0 && index < m_panels.size()) m_panels[index]->setText(text);
}

QString TfmKvMDIMain::PanelText(int index) const {
  return index >= 0 && index < m_panels.size() ? m_panels[index]->text() : QString();
}

void TfmKvMDIMain::RefreshPanels() {
  if (m_refresher) m_refresher();
}

QMdiSubWindow* TfmKvMDIMain::AddChild(QWidget* widget, bool show) {
  QMdiSubWindow* window = m_mdi->addSubWindow(widget);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // A list window opens large enough to work in: at least 900 x 600 where
  // the area allows, more when the window asks for it.
  const QSize hint = window->sizeHint();
  const QSize area = m_mdi->viewport()->size();
  const int w = qMax(hint.width(), 900), h = qMax(hint.height(), 600);
  window->resize(area.width() > 100 ? qMin(w, area.width()) : w, area.height() > 100 ? qMin(h, area.height()) : h);
  connect(window, &QObject::destroyed, this, &TfmKvMDIMain::childrenChanged, Qt::QueuedConnection);
  if (show)
    ShowChild(window);
  else
    window->hide();  // the area leaves it visible while the area itself is not shown
  return window;
}

void TfmKvMDIMain::ShowChild(QMdiSubWindow* window) {
  if (window->isHidden()) window->show();
  m_mdi->setActiveSubWindow(window);
  emit childrenChanged();
}

QList<QMdiSubWindow*> TfmKvMDIMain::MdiChildren() const {
  // A closed child stays in the area until it is freed; it is no longer open.
  QList<QMdiSubWindow*> open;
  for (QMdiSubWindow* w : m_mdi->subWindowList())
    if (!w->isHidden()) open.append(w);
  return open;
}

QWidget* TfmKvMDIMain::ActiveChild() const {
  QMdiSubWindow* window = m_mdi->activeSubWindow();
  return window ? window->widget() : nullptr;
}

void TfmKvMDIMain::childActivated(QMdiSubWindow* window) {
  if (!window) return;
  if (auto* child = qobject_cast<TfmKvChildDB*>(window->widget())) child->RunFormActivate();
}

void TfmKvMDIMain::EnsureFirstActivation() {
  if (!m_firstPending || m_inActivation) return;
  m_inActivation = true;
  m_firstPending = false;
  OnFirstActivation();
  m_inActivation = false;
}

bool TfmKvMDIMain::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  if (event->type() == QEvent::WindowActivate && !m_inActivation) {
    m_inActivation = true;
    if (m_firstPending) {
      m_firstPending = false;
      OnFirstActivation();
    } else {
      OnActivation();
    }
    m_inActivation = false;
  }
  return handled;
}

void TfmKvMDIMain::closeEvent(QCloseEvent* event) {
  // Rows being typed are settled first, each in its window brought forward;
  // Annulla on any keeps every window open.
  for (QMdiSubWindow* window : MdiChildren()) {
    if (!TfrKvDBFrame::AnyEditing(window->widget())) continue;
    m_mdi->setActiveSubWindow(window);
    if (!TfrKvDBFrame::ConfirmLeaveAll(window->widget())) {
      event->ignore();
      return;
    }
  }
  m_mdi->closeAllSubWindows();
  if (!MdiChildren().isEmpty()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}
