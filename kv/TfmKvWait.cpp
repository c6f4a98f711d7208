#include "TfmKvWait.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {
// Often enough for the bar to move smoothly, rarely enough to cost nothing.
constexpr qint64 kRepaintEveryMs = 40;
}  // namespace

TfmKvWait::TfmKvWait(const QString& titolo, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_titolo(new QLabel(this)),
      m_operazione(new QLabel(this)),
      m_bar(new QProgressBar(this)) {
  setObjectName(QStringLiteral("fmKvWait"));
  setWindowModality(Qt::NonModal);
  QFont bold = m_titolo->font();
  bold.setBold(true);
  m_titolo->setFont(bold);
  m_operazione->setWordWrap(true);
  m_bar->setVisible(false);
  m_bar->setTextVisible(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_titolo);
  layout->addWidget(m_operazione);
  layout->addWidget(m_bar);
  setMinimumWidth(380);
  SetTitolo(titolo);
  show();
  raise();
  keepAlive(true);
}

TfmKvWait::~TfmKvWait() {
  hide();
}

void TfmKvWait::SetTitolo(const QString& titolo) {
  setWindowTitle(titolo);
  m_titolo->setText(titolo);
  m_titolo->setVisible(!titolo.isEmpty());
  keepAlive(true);
}

void TfmKvWait::SetOperazione(const QString& operazione) {
  m_operazione->setText(operazione);
  keepAlive(true);
}

QString TfmKvWait::Titolo() const {
  return m_titolo->text();
}
QString TfmKvWait::Operazione() const {
  return m_operazione->text();
}

void TfmKvWait::InitProgressBar(int min, int max) {
  m_bar->setRange(min, qMax(min, max));
  m_bar->setValue(min);
  m_bar->setVisible(true);
  adjustSize();
  keepAlive(true);
}

void TfmKvWait::StepProgressBar(int n) {
  const int next = qMin(m_bar->maximum(), m_bar->value() + n);
  m_bar->setValue(next);
  keepAlive(next == m_bar->maximum());
}

int TfmKvWait::Position() const {
  return m_bar->value();
}
int TfmKvWait::Maximum() const {
  return m_bar->maximum();
}
bool TfmKvWait::ProgressVisible() const {
  return !m_bar->isHidden();
}

void TfmKvWait::keepAlive(bool force) {
  if (!isVisible()) return;
  if (!force && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kRepaintEveryMs) return;
  m_sinceRepaint.restart();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
