#include "TfmKvDialog.h"

#include "KvDialogScript.h"
#include "TfrKvDBFrames.h"

#include <QDialogButtonBox>
#include <QList>
#include <QPushButton>
#include <QVBoxLayout>

TfmKvDialog::TfmKvDialog(QWidget* parent)
    : QDialog(parent),
      m_content(new QWidget(this)),
      m_contentLayout(new QVBoxLayout(m_content)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Annulla"), this)) {
  m_contentLayout->setContentsMargins(0, 0, 0, 0);
  m_ok->setObjectName(QStringLiteral("buOk"));
  m_cancel->setObjectName(QStringLiteral("buAnnulla"));
  m_ok->setDefault(true);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(m_ok, QDialogButtonBox::AcceptRole);
  buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &TfmKvDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TfmKvDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_content, 1);
  layout->addWidget(buttons);
}

void TfmKvDialog::SetOkEnabled(bool enabled) {
  m_ok->setEnabled(enabled);
}
bool TfmKvDialog::OkEnabled() const {
  return m_ok->isEnabled();
}
void TfmKvDialog::SetOkCaption(const QString& caption) {
  m_ok->setText(caption);
}

int TfmKvDialog::exec() {
  if (KvDialogScript::Run(*this)) return result();
  return QDialog::exec();
}

void TfmKvDialog::accept() {
  if (!m_ok->isEnabled()) return;  // Enter must not bypass a disabled OK.
  if (CanAccept()) QDialog::accept();
}

void TfmKvDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (m_shown) return;
  m_shown = true;
  QList<QWidget*> fields;
  for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
    if (m_content->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled())
      fields << w;
  if (fields.isEmpty()) return;
  QWidget::setTabOrder(fields.last(), m_ok);
  QWidget::setTabOrder(m_ok, m_cancel);
  QWidget* focus = focusWidget();
  if (!focus || !m_content->isAncestorOf(focus)) fields.first()->setFocus();
}

void TfmKvDialog::reject() {
  if (TfrKvDBFrame::ConfirmLeaveAll(this)) QDialog::reject();
}
