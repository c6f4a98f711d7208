#pragma once

class TKvDBLookupEdit;

// Lookup presets of the supplier registry. Windows of other subsystems apply
// them by name through KvLookupPresets (registered with the windows).

// The suppliers in use (not deleted, not historicized): key IBENID, showing
// SBENRAGSOC, searched in "Cerca Beneficiario" ("Beneficiari": name, tax
// code, VAT number).
void ImpostaLookupBeneficiari(TKvDBLookupEdit& lookup);
