#include "FenFinestre.h"

#include "FenFCCD.h"
#include "FenFCCD_archivi.h"
#include "FenFSearchCCD.h"
#include "KvWindowFactory.h"

void FenRegistraFinestre() {
  KvWindowFactory::Register(QStringLiteral("TfmFenCCD_archivi"),
                            [](QWidget* parent) { return new TfmFenCCD_archivi(parent); });
  KvWindowFactory::Register(QStringLiteral("TfmFenSearchCCD"),
                            [](QWidget* parent) { return new TfmFenSearchCCD(parent); });
  KvWindowFactory::Register(QStringLiteral("TfmFenCCD"), [](QWidget* parent) { return new TfmFenCCD(parent); });
}
