#include "FenFCCD_archivi.h"

#include "FenMCCD.h"
#include "FenRCCD.h"
#include "FenRCCDMovColl.h"
#include "FenUCodici.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"

#include <QSplitter>
#include <QVBoxLayout>

TfmFenCCD_archivi::TfmFenCCD_archivi(QWidget* parent) : TfmKvChildDB(parent) {
  setObjectName(QStringLiteral("TfmFenCCD_archivi"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  spArchivi = new QSplitter(Qt::Vertical, this);
  dmFenCCD = new TdmFenCCD(TdmFenCCD::Uso::Archivio, this);
  frFenCCD = new TfrFenCCD(*dmFenCCD, spArchivi);
  // Here the user opens the menu to pick the other filter over the one on.
  frFenCCD->TogliFiltroAlMenu = false;
  frFenCCDMovColl = new TfrFenCCDMovColl(spArchivi);
  spArchivi->addWidget(frFenCCD);
  spArchivi->addWidget(frFenCCDMovColl);
  spArchivi->setStretchFactor(0, 3);
  spArchivi->setStretchFactor(1, 1);
  layout->addWidget(spArchivi);
  resize(1000, 600);

  TKvQueryCollection* codici = dmFenCCD->xqcCCD;
  connect(codici, &TKvQueryCollection::currentChanged, this, [this] { seguiCodice(true); });
  connect(codici, &TKvQueryCollection::opened, this, [this] { seguiCodice(true); });
  // A filter or a sort may leave the same code current.
  connect(codici, &TKvQueryCollection::rowsReset, this, [this] { seguiCodice(false); });
  connect(codici, &TKvQueryCollection::closed, this, [this] { frFenCCDMovColl->xqcMovColl->Close(); });
}

TfmFenCCD_archivi::~TfmFenCCD_archivi() = default;

void TfmFenCCD_archivi::SetTipo(int tipo) {
  m_tipo = tipo;
  const QString sigla = SiglaTipoCodice(tipo);
  setWindowTitle(sigla.isEmpty() ? QString() : QStringLiteral("Gestione codici %1").arg(sigla));
  frFenCCD->SetTipo(tipo);
  frFenCCDMovColl->SetTipo(tipo);
  KvReport(frFenCCD->Apri());
}

void TfmFenCCD_archivi::FormShow() {
  if (!dmFenCCD->xqcCCD->Active()) KvReport(frFenCCD->Apri());
}

void TfmFenCCD_archivi::FormClose() {
  dmFenCCD->xqcCCD->Close();
  frFenCCDMovColl->xqcMovColl->Close();
}

void TfmFenCCD_archivi::seguiCodice(bool sempre) {
  TKvQueryCollection* codici = dmFenCCD->xqcCCD;
  // A row being typed has no movements yet.
  const bool nuovo = codici->GetState() == KvState::Insert;
  const QVariant id =
      codici->Active() && codici->RecNo() >= 0 && !nuovo ? codici->FieldValue(QStringLiteral("ICCDID")) : QVariant();
  const int codice = id.isNull() ? -1 : id.toInt();
  if (!sempre && codice == frFenCCDMovColl->Codice() && frFenCCDMovColl->xqcMovColl->Active()) return;
  frFenCCDMovColl->Apri(codice);
}
