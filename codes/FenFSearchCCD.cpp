#include "FenFSearchCCD.h"

#include "FenFCCD.h"
#include "FenUCodici.h"
#include "KvMessageDlg.h"
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
  if (m_daScegliere <= 0) return;
  TKvQueryCollection* list = GetDataSet();
  if (list->Locate(KeyField(), m_daScegliere)) ChooseRow(list->RecNo());
  m_daScegliere = -1;
}

void TfmFenSearchCCD::EditFormCreated(QWidget* window) {
  auto* dialog = qobject_cast<TfmFenCCD*>(window);
  if (!dialog) return;
  const TKvQueryCollection* list = GetDataSet();
  dialog->SetTipo(m_tipo);
  dialog->SetBeneficiario(m_tipo == CcdDurc ? m_beneficiario : 0);
  KvReport(dialog->ApriLista());
  dialog->SetCodiceIniziale(list->Active() && list->RecNo() >= 0 ? list->FieldValue(KeyField()).toInt() : -1);
}

void TfmFenSearchCCD::EditFormClosed(QWidget* window, int) {
  // The list is read again next; the code handed back becomes its current row.
  if (auto* dialog = qobject_cast<TfmFenCCD*>(window)) m_daScegliere = dialog->Codice();
}
