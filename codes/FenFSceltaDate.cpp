#include "FenFSceltaDate.h"

#include "KvMessageDlg.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>

namespace {

QDateEdit* nuovaData(QWidget* parent, const char* nome) {
  auto* edit = new QDateEdit(parent);
  edit->setObjectName(QString::fromLatin1(nome));
  edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
  edit->setCalendarPopup(true);
  return edit;
}
}  // namespace

TfmFenSceltaDate::TfmFenSceltaDate(QWidget* parent) : TfmKvDialog(parent) {
  setObjectName(QStringLiteral("TfmFenSceltaDate"));
  setWindowTitle(QStringLiteral("Scelta Date"));
  auto* form = new QFormLayout();
  edDal = nuovaData(Content(), "edDal");
  edAl = nuovaData(Content(), "edAl");
  laDal = new QLabel(QStringLiteral("&Dal"), Content());
  laAl = new QLabel(QStringLiteral("&Al"), Content());
  laDal->setBuddy(edDal);
  laAl->setBuddy(edAl);
  form->addRow(laDal, edDal);
  form->addRow(laAl, edAl);
  ContentLayout()->addLayout(form);
}

TfmFenSceltaDate::~TfmFenSceltaDate() = default;

void TfmFenSceltaDate::SetIntervallo(const QDate& primo, const QDate& ultimo) {
  m_primo = primo;
  m_ultimo = ultimo;
}

void TfmFenSceltaDate::SetSoloAl(bool on) {
  m_soloAl = on;
  laDal->setVisible(!on);
  edDal->setVisible(!on);
}

QDate TfmFenSceltaDate::Dal() const {
  return edDal->date();
}
QDate TfmFenSceltaDate::Al() const {
  return edAl->date();
}
void TfmFenSceltaDate::SetDal(const QDate& data) {
  edDal->setDate(data);
}
void TfmFenSceltaDate::SetAl(const QDate& data) {
  edAl->setDate(data);
}

void TfmFenSceltaDate::prepara() {
  const int anno = QDate::currentDate().year();
  edDal->setDate(m_primo.isValid() ? m_primo : QDate(anno, 1, 1));
  edAl->setDate(m_ultimo.isValid() ? m_ultimo : QDate(anno, 12, 31));
}

int TfmFenSceltaDate::exec() {
  prepara();
  return TfmKvDialog::exec();
}

bool TfmFenSceltaDate::CanAccept() {
  if (!m_controllo) return true;
  auto fuori = [this](const QDate& d) {
    return (m_primo.isValid() && d < m_primo) || (m_ultimo.isValid() && d > m_ultimo);
  };
  bool ok = true;
  // A date the user cannot see is not checked.
  const QList<QDate> date = m_soloAl ? QList<QDate>{Al()} : QList<QDate>{Dal(), Al()};
  for (const QDate& d : date) {
    if (!fuori(d)) continue;
    KvMessageDlg(QStringLiteral("Attenzione!\nLa data immessa non è compresa nell'anno finanziario corrente."),
                 TMsgDlgType::mtError, mbOK);
    ok = false;
  }
  return ok;
}
