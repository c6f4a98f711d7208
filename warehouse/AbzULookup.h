#pragma once

class TKvDBLookupEdit;

// Lookup presets of the warehouse tables.

// Units of measure: key IUNMID, showing SUNMDESCS, searched in "Unità di
// Misura" (code, description, loading and discharge unit, factor).
void ImpostaLookupUniMisura(TKvDBLookupEdit& lookup);
