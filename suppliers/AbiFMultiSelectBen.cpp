#include "AbiFMultiSelectBen.h"

#include "AbiUFiltri.h"

#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kTutte = QStringLiteral("1 = 1");
constexpr int kAttesa = 500;  // ms after the last key
}  // namespace

TfmAbiMultiSelectBen::TfmAbiMultiSelectBen(QWidget* parent) : TfmKvMultiSelect(parent) {
  setObjectName(QStringLiteral("TfmAbiMultiSelectBen"));
  SetCaption(QStringLiteral("Seleziona il Beneficiario"));
  SetEmptySelectionMessage(QStringLiteral("Non è stato selezionato nessun beneficiario."));

  QWidget* box = FilterBox();
  auto* textRow = new QHBoxLayout();
  auto* label = new QLabel(QStringLiteral("Filtra..."), box);
  edFiltra = new QLineEdit(box);
  edFiltra->setObjectName(QStringLiteral("edFiltra"));
  label->setBuddy(edFiltra);
  textRow->addWidget(label);
  textRow->addWidget(edFiltra, 1);
  FilterLayout()->addLayout(textRow);

  auto* warning = new QLabel(QStringLiteral("ATTENZIONE!"), box);
  warning->setObjectName(QStringLiteral("laAttenzione"));
  QFont bold = warning->font();
  bold.setBold(true);
  warning->setFont(bold);
  QPalette red = warning->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  warning->setPalette(red);
  auto* warningText = new QLabel(QStringLiteral("Filtrando si perderanno tutte le selezioni precedenti!"), box);
  warningText->setObjectName(QStringLiteral("laPerdita"));
  FilterLayout()->addWidget(warning);
  FilterLayout()->addWidget(warningText);

  ckStoricizzati =
      AddFilterCheck(QStringLiteral("Visualizza Beneficiari Storicizzati"), QStringLiteral("ckStoricizzati"));
  ckTracciabilita = AddFilterCheck(QStringLiteral("Visualizza Beneficiari con obbligo di tracciabilità da assolvere"),
                                   QStringLiteral("ckTracciabilita"));
  ckDatiOil =
      AddFilterCheck(QStringLiteral("Visualizza Beneficiari con dati OIL incompleti"), QStringLiteral("ckDatiOil"));
  // After the list was filtered again by the box (connected first).
  connect(ckDatiOil, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked) SelectAll();
  });

  tmFiltra = new QTimer(this);
  tmFiltra->setObjectName(QStringLiteral("tmFiltra"));
  tmFiltra->setSingleShot(true);
  tmFiltra->setInterval(kAttesa);
  connect(tmFiltra, &QTimer::timeout, this, [this] { ApplicaTesto(); });
  connect(edFiltra, &QLineEdit::textChanged, this, [this](const QString& text) { testoCambiato(text); });
}

TfmAbiMultiSelectBen::~TfmAbiMultiSelectBen() = default;

void TfmAbiMultiSelectBen::testoCambiato(const QString& text) {
  if (!text.isEmpty()) {
    tmFiltra->start();
    return;
  }
  tmFiltra->stop();
  m_condizione = kTutte;
  RebuildList();
}

bool TfmAbiMultiSelectBen::ApplicaTesto() {
  tmFiltra->stop();
  const QString text = edFiltra->text();
  m_condizione = text.isEmpty() ? kTutte : FiltroContiene(QStringLiteral("SBENRAGSOC"), text);
  return RebuildList();
}

void TfmAbiMultiSelectBen::FormShow() {
  // The list opened with the boxes as they are and no name typed; a
  // selection the caller made beforehand stays.
  if (!edFiltra->text().isEmpty()) ApplicaTesto();
}

// A box clicked keeps the name typed in the condition: the list always
// shows what the edit says, rather than every name under a name still shown.
QString TfmAbiMultiSelectBen::BuildFilter() {
  // A flag or a count that was never set (NULL) counts as 0, as for the
  // supplier window: a supplier never historicized is an active one.
  QString filter = ckStoricizzati->isChecked() ? QStringLiteral("(LBENEND = 1) ")
                                               : QStringLiteral("((LBENEND = 0) or (LBENEND is null)) ");
  if (ckTracciabilita->isChecked()) filter += QStringLiteral("and ((lBenObblTracc = 0) or (lBenObblTracc is null)) ");
  if (ckDatiOil->isChecked())
    filter += QStringLiteral(
        "and ((sBenCodFiscale = '') or (sBenCodFiscale is null) or (iSediOil = 0) or (iSediOil is null) "
        "or (iPagamOil = 0) or (iPagamOil is null)) ");
  return filter + QStringLiteral(" and  (") + m_condizione + QLatin1Char(')');
}
