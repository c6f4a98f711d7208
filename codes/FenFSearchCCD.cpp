#include "FenFSearchCCD.h"

#include "FenFCCD.h"
#include "FenUCodici.h"
#include "KvQueryCollection.h"

TfmFenSearchCCD::TfmFenSearchCCD(QWidget* parent) : TfmKvSearch(parent) {
  setObjectName(QStringLiteral("TfmFenSearchCCD"));
  SetEditForm(QStringLiteral("TfmFenCCD"), QStringLiteral("Aggiungi / modifica"));
}

TfmFenSearchCCD::~TfmFenSearchCCD() = default;

void TfmFenSearchCCD::SetTipo(int tipo, int idBeneficiario) {
  m_tipo = tipo;
  m_beneficiario = idBeneficiario;
}

void TfmFenSearchCCD::ListOpened() {
  // Also after the dialog closed: the list was read again, the code handed
  // back becomes the current row.
  if (UltimoCodice <= 0) return;
  TKvQueryCollection* list = GetDataSet();
  if (list->Locate(KeyField(), UltimoCodice)) ChooseRow(list->RecNo());
  UltimoCodice = -1;
}

void TfmFenSearchCCD::EditFormCreated(QWidget* window) {
  auto* dialog = qobject_cast<TfmFenCCD*>(window);
  if (!dialog) return;
  const TKvQueryCollection* list = GetDataSet();
  UltimoCodice = list->Active() && list->RecNo() >= 0 ? list->FieldValue(KeyField()).toInt() : -1;
  dialog->SetTipo(m_tipo);
  dialog->SetBeneficiario(m_tipo == CcdDurc ? m_beneficiario : 0);
  dialog->ApriLista();
}
