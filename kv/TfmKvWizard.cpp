#include "TfmKvWizard.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

TfmKvWizard::TfmKvWizard(QWidget* parent)
    : QDialog(parent),
      m_pages(new QStackedWidget(this)),
      m_back(new QPushButton(QStringLiteral("< Indietro"), this)),
      m_next(new QPushButton(QStringLiteral("Avanti >"), this)),
      m_finish(new QPushButton(QStringLiteral("Fine"), this)),
      m_cancel(new QPushButton(QStringLiteral("Annulla"), this)) {
  m_back->setObjectName(QStringLiteral("buIndietro"));
  m_next->setObjectName(QStringLiteral("buAvanti"));
  m_finish->setObjectName(QStringLiteral("buOk"));
  m_cancel->setObjectName(QStringLiteral("buAnnulla"));
  for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) b->setAutoDefault(false);
  connect(m_back, &QPushButton::clicked, this, [this] { Back(); });
  connect(m_next, &QPushButton::clicked, this, [this] { Next(); });
  connect(m_finish, &QPushButton::clicked, this, [this] { Finish(); });
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_back);
  buttons->addWidget(m_next);
  buttons->addSpacing(12);
  buttons->addWidget(m_finish);
  buttons->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pages, 1);
  layout->addLayout(buttons);
  updateButtons();
}

int TfmKvWizard::AddPage(QWidget* page) {
  const int index = m_pages->addWidget(page);
  updateButtons();
  return index;
}

QWidget* TfmKvWizard::Page(int index) const {
  return m_pages->widget(index);
}
int TfmKvWizard::PageCount() const {
  return m_pages->count();
}
int TfmKvWizard::CurrentPage() const {
  return m_pages->currentIndex();
}

bool TfmKvWizard::Next() {
  const int from = CurrentPage();
  if (from < 0 || from + 1 >= PageCount()) return false;
  if (!CanGoNext(from)) return false;
  go(from + 1);
  return true;
}

bool TfmKvWizard::Back() {
  const int from = CurrentPage();
  if (from <= 0) return false;
  go(from - 1);
  return true;
}

bool TfmKvWizard::Finish() {
  if (!m_finish->isEnabled()) return false;
  if (!OnFinish()) return false;
  QDialog::accept();
  return true;
}

void TfmKvWizard::accept() {
  Finish();
}

void TfmKvWizard::SetFinishCaption(const QString& caption) {
  m_finish->setText(caption);
}

void TfmKvWizard::SetFinishEnabled(bool enabled) {
  m_finishAllowed = enabled;
  updateButtons();
}

void TfmKvWizard::go(int to) {
  const int from = CurrentPage();
  m_pages->setCurrentIndex(to);
  updateButtons();
  OnPageChanged(from, to);
}

void TfmKvWizard::updateButtons() {
  const int current = CurrentPage();
  const int last = PageCount() - 1;
  m_back->setEnabled(current > 0);
  m_next->setEnabled(current >= 0 && current < last);
  m_finish->setEnabled(m_finishAllowed && current >= 0 && current == last);
}
