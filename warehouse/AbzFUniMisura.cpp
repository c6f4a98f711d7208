#include "AbzFUniMisura.h"

#include "AbzMTabelle.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "TKvDBGrid.h"

#include <QFormLayout>
#include <QHBoxLayout>

TfrAbzUniMisura::TfrAbzUniMisura(TdmAbzTabelle& modulo, QWidget* parent)
    : TfrAbzCodiceDescrizione(QStringLiteral("frUniMisura"), modulo.xqcUniMisura, QStringLiteral("SUNMCOD"),
                              QStringLiteral("SUNMDESCS"), parent),
      dm(modulo) {
  xdmNote = AddDBMemo(QStringLiteral("xdmNote"), QStringLiteral("SUNMDESCL"), QStringLiteral("Note"));
  // A few lines high: the rows below it stay close to it.
  xdmNote->setFixedHeight(80);
  xdmNote->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  xdeMisCarico =
      AddDBEdit(QStringLiteral("xdeMisCarico"), QStringLiteral("SUNMMISCARICO"), QStringLiteral("Misura di Carico"));
  xdeMisScarico =
      AddDBEdit(QStringLiteral("xdeMisScarico"), QStringLiteral("SUNMMISSCARICO"), QStringLiteral("Misura di Scarico"));
  xdnFattore = AddDBNumber(QStringLiteral("xdnFattore"), QStringLiteral("FUNMFATTOREPROP"),
                           QStringLiteral("Fattore Conversione"), 2);
  // The two units side by side, sharing the width evenly.
  const QFormLayout::TakeRowResult scarico = DetailLayout()->takeRow(xdeMisScarico);
  QWidget* etichettaScarico = scarico.labelItem ? scarico.labelItem->widget() : nullptr;
  delete scarico.labelItem;
  delete scarico.fieldItem;
  QHBoxLayout* unita = RigaAffiancata(*DetailLayout(), xdeMisCarico);
  if (etichettaScarico) unita->addWidget(etichettaScarico);
  unita->addWidget(xdeMisScarico, 1);
  unita->setStretchFactor(xdeMisCarico, 1);
  xdnFattore->setMaximumWidth(150);

  KvColumns colonne = ColonneCodiceDescrizione();
  colonne[1].width = 260;
  colonne << KvColumn{.field = "SUNMDESCL", .caption = "Note", .width = 260, .sortable = false}
          << KvColumn{.field = "SUNMMISCARICO", .caption = "Misura di Carico", .width = 110, .sortable = false}
          << KvColumn{.field = "SUNMMISSCARICO", .caption = "Misura di Scarico", .width = 110, .sortable = false}
          << KvColumn{.field = "FUNMFATTOREPROP",
                      .caption = "Fattore Conversione",
                      .width = 135,
                      .format = TKvCollectionModel::FixedFormat(2, true),
                      .sortable = false};
  grFrame->SetColumns(colonne);

  connect(xdeDescrizione, &QLineEdit::editingFinished, this, [this] { dm.CopiaDescrizioneInMisure(); });
  xacPostExecute = [this] { Salva(); };
  ConfirmDelete = true;
}

bool TfrAbzUniMisura::Salva() {
  if (!editing()) return true;
  if (!xdsMain->ValidateControls()) return false;
  if (const auto rifiuto = dm.ControllaUniMisura()) {
    KvMessageDlg(rifiuto->testo, TMsgDlgType::mtError, mbOK);
    ShowDetail();
    if (QWidget* campo = ControlOfField(rifiuto->campo)) campo->setFocus();
    return false;
  }
  return PostAndReport();
}

TfmAbzUniMisura::TfmAbzUniMisura(QWidget* parent)
    : TfmAbzTabella(QStringLiteral("TfmAbzUniMisura"), QStringLiteral("Unità di Misura"), parent) {
  if (dm()) frUniMisura = Incornicia(new TfrAbzUniMisura(*dm(), this), dm()->xqcUniMisura);
}
