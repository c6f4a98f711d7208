#pragma once

// Registers the windows of the warehouse in the window factory by class
// name (TfmAbzArticoli, ...).
void AbzRegistraFinestre();
