#include "AbzFFiltroGlob.h"

#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfmAbzFiltroGlob::TfmAbzFiltroGlob(QWidget* parent) : TfmKvDialog(parent) {
  setObjectName(QStringLiteral("fmAbzFiltroGlob"));
  SetOkCaption(QStringLiteral("&Ok"));
  CancelButton()->setText(QStringLiteral("&Annulla"));
  lbTitolo = new QLabel(Content());
  ContentLayout()->addWidget(lbTitolo);
  qquLista = new TKvQueryCollection(this);
  grLista = new TKvDBGrid(Content());
  grLista->setObjectName(QStringLiteral("grLista"));
  grLista->SetCollection(qquLista);
  ContentLayout()->addWidget(grLista);
  auto* navigazione = new QHBoxLayout;
  const struct {
    const char* testo;
    void (TKvQueryCollection::*muovi)();
  } pulsanti[] = {{"<<", &TKvQueryCollection::First},
                  {"<", &TKvQueryCollection::Prior},
                  {">", &TKvQueryCollection::Next},
                  {">>", &TKvQueryCollection::Last}};
  for (const auto& p : pulsanti) {
    auto* b = new QPushButton(QString::fromLatin1(p.testo), Content());
    connect(b, &QPushButton::clicked, this, [this, muovi = p.muovi] { (qquLista->*muovi)(); });
    navigazione->addWidget(b);
  }
  navigazione->addStretch();
  ContentLayout()->addLayout(navigazione);
  resize(420, 420);
}

TfmAbzFiltroGlob::~TfmAbzFiltroGlob() = default;

bool TfmAbzFiltroGlob::Imposta(const QString& titolo, const QString& sql) {
  setWindowTitle(titolo);
  lbTitolo->setText(titolo);
  qquLista->Close();
  qquLista->SetCommandText(sql);
  if (!KvReport(qquLista->Open())) return false;
  const QStringList campi = qquLista->FieldNames();
  if (campi.size() < 3) return false;
  grLista->SetColumns({{.field = campi[0], .visible = false},
                       {.field = campi[1], .caption = "Codice", .width = 90},
                       {.field = campi[2], .caption = "Descrizione", .width = 250}});
  qquLista->First();
  return true;
}

int TfmAbzFiltroGlob::Scelto() const {
  if (!qquLista->Active() || qquLista->IsEmpty()) return -1;
  return qquLista->FieldValue(0).toInt();
}

int TfmAbzFiltroGlob::Scegli(QWidget* parent, const QString& titolo, const QString& sql) {
  TfmAbzFiltroGlob chooser(parent);
  if (!chooser.Imposta(titolo, sql)) return -1;
  return chooser.exec() == QDialog::Accepted ? chooser.Scelto() : -1;
}
