#pragma once

class TKvDBLookupEdit;

// Lookup presets of an article's classification: each keeps the key of its
// table and shows the description, searched in a window 600 wide.

// VAT rate: IALVID, showing SALVDESCL ("Aliquote IVA": code, description, rate).
void ImpostaLookupAliquoteIVA(TKvDBLookupEdit& lookup);
// Destination type: ITPDID, showing STPDDESCL ("Tipo Destinazioni").
void ImpostaLookupTipoDestinazioni(TKvDBLookupEdit& lookup);
// Product code: IMERID, showing SMERDESC ("Generi Merceologici").
void ImpostaLookupCodMerceologici(TKvDBLookupEdit& lookup);
// Detail of a product code: IDCMID, showing SDCMDESCL, only the details of
// product code idCodMerce ("Dettaglio Generi Merceologici"). Call again when
// the product code changes.
void ImpostaLookupDettCodMerc(TKvDBLookupEdit& lookup, int idCodMerce);
