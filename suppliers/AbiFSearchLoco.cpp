#include "AbiFSearchLoco.h"

#include "AbiFComEsteri.h"
#include "KvConnection.h"
#include "KvSql.h"
#include "KvQueryCollection.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace {
constexpr int kItalia = 1;
const QString kParamStato = QStringLiteral("ISTAID");
}  // namespace

TfmSearchLoco::TfmSearchLoco(QWidget* parent) : TfmKvSearch(parent) {
  setObjectName(QStringLiteral("TfmSearchLoco"));
  setWindowTitle(QStringLiteral("Comuni"));

  auto* row = new QHBoxLayout();
  auto* label = new QLabel(QStringLiteral("&Stato"), Content());
  cbStato = new QComboBox(Content());
  cbStato->setObjectName(QStringLiteral("cbStato"));
  label->setBuddy(cbStato);
  row->addWidget(label);
  row->addWidget(cbStato, 1);
  ContentLayout()->insertLayout(0, row);

  connect(cbStato, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (m_sincro || index < 0) return;
    ImpostaStato(cbStato->itemData(index).toInt());
  });

  SetEditForm(QStringLiteral("TfmComEsteri"), QStringLiteral("Comuni esteri..."));
  // The button does nothing for Italy: its own handler replaces the window's.
  disconnect(EditButton(), &QPushButton::clicked, this, nullptr);
  connect(EditButton(), &QPushButton::clicked, this, [this] { ApriComuniEsteri(); });
}

TfmSearchLoco::~TfmSearchLoco() = default;

void TfmSearchLoco::caricaStati() {
  if (cbStato->count() > 0) return;
  ++m_sincro;
  // A list of states that cannot be read stays empty; the places of Italy still show.
  (void)KvSql::Rows(
      QStringLiteral("SELECT ISTAID, SSTALDESC FROM TSTA_STATI WHERE DDELETE IS NULL ORDER BY SSTALDESC"), {},
      [this](const QSqlQuery& q) { cbStato->addItem(q.value(1).toString(), q.value(0).toInt()); });
  cbStato->setCurrentIndex(cbStato->findData(m_iStaId));
  --m_sincro;
}

void TfmSearchLoco::ImpostaStato(int iStaId) {
  caricaStati();
  const int state = iStaId > 0 ? iStaId : kItalia;
  if (state == m_iStaId) return;
  m_iStaId = state;
  const int index = cbStato->findData(state);
  ++m_sincro;
  cbStato->setCurrentIndex(index);
  --m_sincro;
  EditButton()->setEnabled(state != kItalia);
  if (index < 0) return;
  SetParam(kParamStato, state);
  if (IsOpen()) (void)Open();  // a failure is shown in the status line
}

bool TfmSearchLoco::ApriComuniEsteri() {
  if (m_iStaId <= 0 || m_iStaId == kItalia) return false;
  return RunEditForm();
}

void TfmSearchLoco::EditFormCreated(QWidget* window) {
  if (auto* foreign = qobject_cast<TfmComEsteri*>(window)) foreign->ApriStato(m_iStaId);
}

int TfmSearchLoco::exec() {
  if (!IsOpen()) (void)Open();  // a failure is shown by the modal run below
  // The state of the row the list opened on; with no row, the state already
  // asked for, else Italy.
  TKvQueryCollection* list = GetDataSet();
  QVariant state;
  if (IsOpen() && list->RecNo() >= 0 && list->FieldIndex(kParamStato) >= 0) state = list->FieldValue(kParamStato);
  ImpostaStato(state.isNull() ? m_iStaId : state.toInt());
  return TfmKvSearch::exec();
}
