#pragma once

#include "KvResult.h"

#include <QDate>
#include <QString>

#include <functional>

class TKvDBLookupEdit;
class TfmKvSearch;

// Routines of the codes archive (CIG, CUP, DURC in TCcd_CigCupDurc) shared
// by its windows, its print module and the windows of other subsystems that
// store a code.

// Kinds of code (iTccdId).
enum TipoCodiceCcd : int { CcdCig = 1, CcdCup = 2, CcdDurc = 3 };

// "CIG", "CUP", "DURC"; empty for any other kind.
QString SiglaTipoCodice(int tipo);
// The column through which the other tables refer to a code of the kind
// ("iCcdId_cig"...); the CIG column for an unknown kind.
QString ColonnaCodice(int tipo);

// How the paid and committed totals of a code are counted.
enum class TotaliCodice {
  // Paid: payment orders in the paid state. Committed: a derived movement is
  // subtracted when the commitment's remaining amount is not below its total.
  Archivio,
  // Paid: every payment order. Committed: only when the remaining amount is
  // strictly greater than the derived movement's total.
  Dialogo,
};
// Select-list expressions of the totals of the code "ccd.iCcdId" through the
// column of the kind, named fImpPagato and fImpImpegnato.
QString SqlTotaliCodice(int tipo, TotaliCodice regola);

// The archive list of a kind (xqcCCD): codes with supplier name, totals,
// taxable amount of invoices and presence flags; parameters :iTccdId, :iBenId.
QString SqlListaArchivio(int tipo);
// The list of the code dialog: the same without presence flags.
QString SqlListaDialogo(int tipo);
// The one insert and update statement of a code; iTccdId comes from the hook.
QString SqlInsertCodice();
QString SqlUpdateCodice();
QString SqlDeleteCodice();

// Movements of every program linked to the code :iCcdId (union of the
// accounting movements, warehouse movements, procedures, offers, warehouse
// orders, inventory load vouchers and invoices that refer to it).
QString SqlMovimentiCollegati();
// How many linked movements a code has (the rows of SqlMovimentiCollegati);
// -1 on error.
int ContaMovimentiCollegati(int iCcdId);
// How many rows of any table refer to a code: the linked movements, and also
// inventory vouchers of every kind and publication records, which the linked
// movements do not list. A code with any is kept; -1 on error.
int ContaRiferimentiCodice(int iCcdId);

// The field validation's message for a required field left empty.
QString TestoCampoObbligatorio(const QString& campo);

// The copy actions of the linked movements. For every payment order with the
// code as CIG, the one commitment it derives from takes the order's CIG when
// it has none; the other copies the CIG of every commitment with the code to
// the one payment order derived from it. One transaction each; the
// database's reason on failure.
KvStatus CopiaCigNegliImpegni(int iCcdId);
KvStatus CopiaCigNeiMandati(int iCcdId);

// The copy actions and the filter of orders without commitments belong to
// the accounting program: true when the running executable is "fen.exe".
bool EseguibileFen();

// Sets the list of a code lookup (key iCcdId, shown sCcdCodice) to the codes
// of a kind that belong to the supplier (0: codes without supplier, as CIG
// and CUP are) and have no expiry date or expire on or after the document
// date (an invalid date: any expiry), then refreshes the list.
void ImpostaListaCodici(TKvDBLookupEdit& lookup, int tipo, int idBeneficiario, const QDate& data);

// Sets a code lookup up as the windows that store a code want it: key
// ccd.iCcdId, showing and searching sCcdCodice, the code search window
// TfmFenSearchCCD prepared for the kind (and, for DURC, the supplier the
// routine gives when the search opens). The list itself comes from
// ImpostaListaCodici.
void PreparaLookupCodici(TKvDBLookupEdit& lookup, int tipo, std::function<int()> beneficiario = {});

// Sets a search window up for the codes of a kind, as the code lookups do in
// their show-search-form event: caption, columns and width of "Scelta CIG",
// "Scelta CUP" or "Scelta DURC"; a code search window (TfmFenSearchCCD) also
// takes kind and supplier for its "Aggiungi / modifica" dialog.
void ImpostaRicercaCodici(TfmKvSearch& form, int tipo, int idBeneficiario = 0);
