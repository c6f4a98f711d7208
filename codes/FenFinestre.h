#pragma once

// Registers the windows of the codes archive in the window factory:
// TfmFenCCD_archivi, TfmFenSearchCCD, TfmFenCCD.
void FenRegistraFinestre();
