#include "AbzFCodMerce.h"

#include "AbzMTabelle.h"
#include "KvDbControls.h"
#include "KvQueryCollection.h"

#include <QAction>
#include <QGroupBox>
#include <QSplitter>
#include <QVBoxLayout>

TfrAbzCodMerce::TfrAbzCodMerce(TdmAbzTabelle& dm, QWidget* parent)
    : TfrAbzCodiceDescrizione(QStringLiteral("frCodMerce"), dm.xqcCodMerceologici, QStringLiteral("SMERCODICE"),
                              QStringLiteral("SMERDESC"), parent) {
  // No statement deletes a product code: the action is not offered.
  SetActionLocked(xacDelete, true);
}

TfrAbzDettCodMerc::TfrAbzDettCodMerc(TdmAbzTabelle& dm, TfrAbzCodMerce& codici, QWidget* parent)
    : TfrAbzCodiceDescrizione(QStringLiteral("frDettCodMerc"), dm.xqcDettCodMerc, QStringLiteral("SDCMDESCS"),
                              QStringLiteral("SDCMDESCL"), parent) {
  SetActionLocked(xacDelete, true);
  xacInsertExecute = [this, &dm, &codici] {
    // A detail of a product code still being typed would be stored without it.
    if (!codici.SavePending() || dm.CodMerceCorrente() < 0) return;
    Insert();
  };
}

TfmAbzCodMerce::TfmAbzCodMerce(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzCodMerce"), QStringLiteral("Codici Merceologici"), parent) {
  if (!dm()) return;
  spCodMerce = new QSplitter(Qt::Vertical, this);
  frCodMerce = new TfrAbzCodMerce(*dm(), spCodMerce);
  auto* dettaglio = new QGroupBox(QStringLiteral("Dettaglio Codici Merceologici"), spCodMerce);
  auto* dettaglioLayout = new QVBoxLayout(dettaglio);
  dettaglioLayout->setContentsMargins(2, 2, 2, 2);
  dettaglioLayout->addWidget(frDettCodMerc = new TfrAbzDettCodMerc(*dm(), *frCodMerce, dettaglio));
  spCodMerce->addWidget(frCodMerce);
  spCodMerce->addWidget(dettaglio);
  spCodMerce->setStretchFactor(0, 3);
  spCodMerce->setStretchFactor(1, 2);
  Incornicia(spCodMerce, dm()->xqcCodMerceologici);
}
