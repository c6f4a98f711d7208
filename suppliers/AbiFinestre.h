#pragma once

// Registers the windows of the supplier registry in the window factory by
// class name: TfmComEsteri, TfmSearchLoco, TfmAbiBenSearch,
// TfmAbiMultiSelectBen, and its lookup presets by name: "Beneficiari".
void AbiRegistraFinestre();
