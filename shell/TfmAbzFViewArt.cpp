#include "TfmAbzFViewArt.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfmAbzFViewArt::TfmAbzFViewArt(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmAbzFViewArt"));
  setWindowTitle(QStringLiteral("Modalità di Visualizzazione degli Articoli"));
  auto* group = new QGroupBox(QStringLiteral("Seleziona la modalità:"), this);
  m_veloce = new QRadioButton(QStringLiteral("Visualizzazione Veloce"), group);
  m_completa = new QRadioButton(QStringLiteral("Visualizzazione Completa"), group);
  m_veloce->setObjectName(QStringLiteral("rbVeloce"));
  m_completa->setObjectName(QStringLiteral("rbCompleta"));
  m_veloce->setChecked(true);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_veloce);
  groupLayout->addWidget(m_completa);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("buOK"));
  buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("buAnnulla"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
}

int TfmAbzFViewArt::Modalita() const { return m_completa->isChecked() ? 1 : 0; }

void TfmAbzFViewArt::SetModalita(int mode) { (mode == 1 ? m_completa : m_veloce)->setChecked(true); }
