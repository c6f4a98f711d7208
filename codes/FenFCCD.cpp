#include "FenFCCD.h"

#include "FenRCCD.h"
#include "FenUCodici.h"
#include "KvQueryCollection.h"

#include <QVBoxLayout>

namespace {
TfmFenCCD::ModalDriver& modalDriver() {
  static TfmFenCCD::ModalDriver driver;
  return driver;
}
}  // namespace

TfmFenCCD::TfmFenCCD(QWidget* parent) : TfmKvDialog(parent) {
  setObjectName(QStringLiteral("TfmFenCCD"));
  frFenCCD = new TfrFenCCD(Content());
  frFenCCD->SetUso(TfrFenCCD::Uso::Dialogo);
  ContentLayout()->addWidget(frFenCCD);
  frFenCCD->xqcCCD->KvAfterExec = [](TKvQueryProp& p) {
    switch (p.QueryKind) {
      case TKvQueryProp::Insert:
        UltimoCodice = p.FieldValues->Value(QStringLiteral("KVGENID")).toInt();
        break;
      case TKvQueryProp::Update:
        UltimoCodice = p.FieldValues->Value(QStringLiteral("KVCURRID")).toInt();
        break;
      default:
        UltimoCodice = -1;
        break;
    }
  };
  resize(760, 480);
}

TfmFenCCD::~TfmFenCCD() = default;

void TfmFenCCD::SetModalDriver(ModalDriver driver) {
  modalDriver() = std::move(driver);
}

void TfmFenCCD::SetTipo(int tipo) {
  const QString sigla = SiglaTipoCodice(tipo);
  setWindowTitle(sigla.isEmpty() ? QString() : QStringLiteral("Gestione codice %1").arg(sigla));
  frFenCCD->SetTipo(tipo);
}

int TfmFenCCD::Tipo() const {
  return frFenCCD->Tipo();
}

void TfmFenCCD::SetBeneficiario(int idBeneficiario) {
  frFenCCD->SetBeneficiario(idBeneficiario);
}

int TfmFenCCD::Beneficiario() const {
  return frFenCCD->Beneficiario();
}

bool TfmFenCCD::ApriLista() {
  // CIG and CUP never belong to a supplier.
  if (Tipo() != CcdDurc) frFenCCD->SetBeneficiario(0);
  return frFenCCD->Apri();
}

void TfmFenCCD::mostra() {
  if (!frFenCCD->xqcCCD->Active()) ApriLista();
  if (UltimoCodice > 0) {
    frFenCCD->xqcCCD->Locate(QStringLiteral("ICCDID"), UltimoCodice);
    UltimoCodice = -1;
  }
}

int TfmFenCCD::exec() {
  mostra();
  if (modalDriver()) {
    setResult(QDialog::Rejected);
    modalDriver()(*this);
    return result();
  }
  return TfmKvDialog::exec();
}

bool TfmFenCCD::CanAccept() {
  // A code still being typed is saved first; a refusal keeps the dialog open.
  if (!frFenCCD->Salva()) return false;
  TKvQueryCollection* codici = frFenCCD->xqcCCD;
  if (codici->Active() && codici->RecNo() >= 0) UltimoCodice = codici->FieldValue(QStringLiteral("ICCDID")).toInt();
  return true;
}
