#pragma once

class TKvDBLookupEdit;

// Lookup presets of the supplier registry, for the windows of any subsystem
// that store a supplier.

// The suppliers in use (not deleted, not historicized): key IBENID, showing
// SBENRAGSOC, searched in "Cerca Beneficiario" ("Beneficiari": name, tax
// code, VAT number).
void ImpostaLookupBeneficiari(TKvDBLookupEdit& lookup);
