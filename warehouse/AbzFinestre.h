#pragma once

// Registers the windows of the warehouse in the window factory by class
// name (TfmAbzArticoli, the lookup tables' windows TfmAbzAliquoteIVA, ...),
// and gives the shell the routine that opens the lookup tables module, which
// the side bar's commands of those tables run first.
void AbzRegistraFinestre();
