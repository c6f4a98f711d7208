#include "AbiFinestre.h"

#include "AbiFBenSearch.h"
#include "AbiFComEsteri.h"
#include "AbiFMultiSelectBen.h"
#include "AbiFSearchLoco.h"
#include "AbiULookup.h"
#include "KvLookupPresets.h"
#include "KvWindowFactory.h"

void AbiRegistraFinestre() {
  KvWindowFactory::Register(QStringLiteral("TfmComEsteri"), [](QWidget* parent) { return new TfmComEsteri(parent); });
  KvWindowFactory::Register(QStringLiteral("TfmSearchLoco"), [](QWidget* parent) { return new TfmSearchLoco(parent); });
  KvWindowFactory::Register(QStringLiteral("TfmAbiBenSearch"),
                            [](QWidget* parent) { return new TfmAbiBenSearch(parent); });
  KvWindowFactory::Register(QStringLiteral("TfmAbiMultiSelectBen"),
                            [](QWidget* parent) { return new TfmAbiMultiSelectBen(parent); });
  KvLookupPresets::Register(QStringLiteral("Beneficiari"), ImpostaLookupBeneficiari);
}
