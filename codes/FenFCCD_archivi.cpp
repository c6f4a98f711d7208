#include "FenFCCD_archivi.h"

#include "FenRCCD.h"
#include "FenRCCDMovColl.h"
#include "FenUCodici.h"
#include "KvQueryCollection.h"

#include <QDynamicPropertyChangeEvent>
#include <QSplitter>
#include <QVBoxLayout>

TfmFenCCD_archivi::TfmFenCCD_archivi(QWidget* parent) : TfmKvChildDB(parent) {
  setObjectName(QStringLiteral("TfmFenCCD_archivi"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  spArchivi = new QSplitter(Qt::Vertical, this);
  frFenCCD = new TfrFenCCD(spArchivi);
  frFenCCD->SetUso(TfrFenCCD::Uso::Archivio);
  // Here the user opens the menu to pick the other filter over the one on.
  frFenCCD->TogliFiltroAlMenu = false;
  frFenCCDMovColl = new TfrFenCCDMovColl(spArchivi);
  spArchivi->addWidget(frFenCCD);
  spArchivi->addWidget(frFenCCDMovColl);
  spArchivi->setStretchFactor(0, 3);
  spArchivi->setStretchFactor(1, 1);
  layout->addWidget(spArchivi);
  resize(1000, 600);

  TKvQueryCollection* codici = frFenCCD->xqcCCD;
  connect(codici, &TKvQueryCollection::currentChanged, this, [this] { seguiCodice(true); });
  connect(codici, &TKvQueryCollection::opened, this, [this] { seguiCodice(true); });
  // A filter or a sort may leave the same code current.
  connect(codici, &TKvQueryCollection::rowsReset, this, [this] { seguiCodice(false); });
  connect(codici, &TKvQueryCollection::closed, this, [this] { frFenCCDMovColl->xqcMovColl->Close(); });
}

TfmFenCCD_archivi::~TfmFenCCD_archivi() = default;

bool TfmFenCCD_archivi::event(QEvent* event) {
  if (event->type() == QEvent::DynamicPropertyChange &&
      static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == "TipoArchivio") {
    bool ok = false;
    const int tipo = property("TipoArchivio").toInt(&ok);
    if (ok) SetTipo(tipo);
    return true;
  }
  return TfmKvChildDB::event(event);
}

void TfmFenCCD_archivi::SetTipo(int tipo) {
  m_tipo = tipo;
  const QString sigla = SiglaTipoCodice(tipo);
  setWindowTitle(sigla.isEmpty() ? QString() : QStringLiteral("Gestione codici %1").arg(sigla));
  frFenCCD->SetTipo(tipo);
  frFenCCDMovColl->SetTipo(tipo);
  frFenCCD->Apri();
}

void TfmFenCCD_archivi::FormShow() {
  if (!frFenCCD->xqcCCD->Active()) frFenCCD->Apri();
}

void TfmFenCCD_archivi::FormClose() {
  frFenCCD->xqcCCD->Close();
  frFenCCDMovColl->xqcMovColl->Close();
}

void TfmFenCCD_archivi::seguiCodice(bool sempre) {
  TKvQueryCollection* codici = frFenCCD->xqcCCD;
  // A row being typed has no movements yet.
  const bool nuovo = codici->GetState() == TKvQueryCollection::dsInsert;
  const QVariant id =
      codici->Active() && codici->RecNo() >= 0 && !nuovo ? codici->FieldValue(QStringLiteral("ICCDID")) : QVariant();
  const int codice = id.isNull() ? -1 : id.toInt();
  if (!sempre && codice == frFenCCDMovColl->Codice() && frFenCCDMovColl->xqcMovColl->Active()) return;
  frFenCCDMovColl->Apri(codice);
}
