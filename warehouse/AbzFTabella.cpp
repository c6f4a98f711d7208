#include "AbzFTabella.h"

#include "AbzMTabelle.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QVBoxLayout>

TfmAbzTabella::TfmAbzTabella(const QString& nome, const QString& titolo, QWidget* parent)
    : TfmKvChildDB(parent), m_dm(TdmAbzTabelle::Apri() ? TdmAbzTabelle::Modulo() : nullptr) {
  setObjectName(nome);
  setWindowTitle(titolo);
}

void TfmAbzTabella::SetLista(TKvQueryCollection* lista, bool sempre) {
  m_lista = lista;
  m_sempre = sempre;
}

void TfmAbzTabella::riempi(QWidget* frame) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(frame);
}

void TfmAbzTabella::FormCreate() {
  if (m_dm) return;
  KvMessageDlg(QStringLiteral("Connessione al modulo fallita"), TMsgDlgType::mtError, mbOK);
  RefuseOpen();
}

void TfmAbzTabella::FormShow() {
  if (QMdiSubWindow* finestra = SubWindow()) finestra->setWindowState(finestra->windowState() | Qt::WindowMaximized);
  if (!m_lista || (m_lista->Active() && !m_sempre)) return;
  if (const KvStatus aperta = m_lista->Open(); !aperta) {
    KvShowFailure(aperta.failure());
    RefuseOpen();
  }
}

void TfmAbzTabella::FormClose() {
  if (m_lista) m_lista->Close();
}

QHBoxLayout* RigaAffiancata(QFormLayout& form, QWidget* campo) {
  int riga = -1;
  QFormLayout::ItemRole ruolo;
  form.getWidgetPosition(campo, &riga, &ruolo);
  QLayoutItem* etichetta = riga >= 0 ? form.itemAt(riga, QFormLayout::LabelRole) : nullptr;
  QWidget* testo = etichetta ? etichetta->widget() : nullptr;
  const QFormLayout::TakeRowResult presa = form.takeRow(riga);
  delete presa.fieldItem;
  delete presa.labelItem;
  auto* linea = new QWidget(campo->parentWidget());
  linea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* layout = new QHBoxLayout(linea);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(campo);
  form.insertRow(riga, testo, linea);
  return layout;
}

TfrAbzCodiceDescrizione::TfrAbzCodiceDescrizione(const QString& nome, TKvQueryCollection* lista,
                                                 const QString& campoCodice, const QString& campoDescrizione,
                                                 QWidget* parent)
    : TfrKvDBRWGrid(parent) {
  setObjectName(nome);
  SetDataSet(lista);
  xdeCodice = AddDBEdit(QStringLiteral("xdeCodice"), campoCodice, QStringLiteral("Codice"));
  xdeDescrizione = AddDBEdit(QStringLiteral("xdeDescrizione"), campoDescrizione, QStringLiteral("Descrizione"));
  m_colonne = {{.field = campoCodice, .caption = QStringLiteral("Codice"), .width = 80},
               {.field = campoDescrizione, .caption = QStringLiteral("Descrizione"), .width = 450}};
  grFrame->SetColumns(m_colonne);
}
