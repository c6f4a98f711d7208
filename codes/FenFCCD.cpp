#include "FenFCCD.h"

#include "FenMCCD.h"
#include "FenRCCD.h"
#include "FenUCodici.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"

#include <QVBoxLayout>

TfmFenCCD::TfmFenCCD(QWidget* parent) : TfmKvDialog(parent) {
  setObjectName(QStringLiteral("TfmFenCCD"));
  dmFenCCD = new TdmFenCCD(TdmFenCCD::Uso::Dialogo, this);
  frFenCCD = new TfrFenCCD(*dmFenCCD, Content());
  ContentLayout()->addWidget(frFenCCD);
  resize(760, 480);
}

TfmFenCCD::~TfmFenCCD() = default;

void TfmFenCCD::SetTipo(int tipo) {
  const QString sigla = SiglaTipoCodice(tipo);
  setWindowTitle(sigla.isEmpty() ? QString() : QStringLiteral("Gestione codice %1").arg(sigla));
  frFenCCD->SetTipo(tipo);
}

int TfmFenCCD::Tipo() const {
  return dmFenCCD->Tipo();
}

void TfmFenCCD::SetBeneficiario(int idBeneficiario) {
  dmFenCCD->SetBeneficiario(idBeneficiario);
}

int TfmFenCCD::Beneficiario() const {
  return dmFenCCD->Beneficiario();
}

KvStatus TfmFenCCD::ApriLista() {
  // CIG and CUP never belong to a supplier.
  if (Tipo() != CcdDurc) dmFenCCD->SetBeneficiario(0);
  return frFenCCD->Apri();
}

int TfmFenCCD::Codice() const {
  return result() == QDialog::Accepted && m_scelto > 0 ? m_scelto : dmFenCCD->UltimoScritto();
}

int TfmFenCCD::exec() {
  m_scelto = -1;
  if (!dmFenCCD->xqcCCD->Active()) KvReport(ApriLista());
  if (m_iniziale > 0) dmFenCCD->xqcCCD->Locate(QStringLiteral("ICCDID"), m_iniziale);
  m_iniziale = -1;
  return TfmKvDialog::exec();
}

bool TfmFenCCD::CanAccept() {
  // A code still being typed is saved first; a refusal keeps the dialog open.
  if (!frFenCCD->Salva()) return false;
  TKvQueryCollection* codici = dmFenCCD->xqcCCD;
  if (codici->Active() && codici->RecNo() >= 0) m_scelto = codici->FieldValue(QStringLiteral("ICCDID")).toInt();
  return true;
}
