#include "AbiFComEsteri.h"

#include "AbiMCom.h"
#include "AbiRComEsteri.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {
}  // namespace

TfmComEsteri::TfmComEsteri(QWidget* parent) : TfmKvDialog(parent) {
  setObjectName(QStringLiteral("TfmComEsteri"));
  setWindowTitle(QStringLiteral("Comuni esteri"));
  frComEsteri = new TfrComEsteri(Content());
  ContentLayout()->addWidget(frComEsteri, 1);
  resize(560, 420);
}

TfmComEsteri::~TfmComEsteri() = default;

bool TfmComEsteri::ApriStato(int iStaId) {
  m_iStaId = iStaId;
  if (!ApriComuni()) {
    frComEsteri->SetModulo(nullptr);
    KvMessageDlg(QStringLiteral("Connessione al modulo fallita"), TMsgDlgType::mtError, mbOK);
    return false;
  }
  TdmComuni* module = dmComuni();
  module->SetStatoDefault(iStaId);
  TKvQueryCollection* list = module->xqcComuniEsteri;
  if (KvEditing(list->GetState())) list->Cancel();
  frComEsteri->SetModulo(module);
  if (!KvReport(list->Active() ? list->Refresh() : list->Open())) return false;
  // The first city of the state asked for, when it has any.
  if (iStaId > 1) list->Locate(QStringLiteral("ISTAID"), iStaId);
  frComEsteri->ShowGrid();
  m_aperto = true;
  return true;
}

int TfmComEsteri::exec() {
  if (!m_aperto && !ApriStato(m_iStaId)) return QDialog::Rejected;
  return TfmKvDialog::exec();
}

bool TfmComEsteri::CanAccept() {
  return frComEsteri->PostAndReport();
}
