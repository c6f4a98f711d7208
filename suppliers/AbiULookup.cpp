#include "AbiULookup.h"

#include "TKvDBLookupEdit.h"
#include "TfmKvSearch.h"

void ImpostaLookupBeneficiari(TKvDBLookupEdit& lookup) {
  lookup.SetListCommandText(
      QStringLiteral("SELECT IBENID, SBENRAGSOC, SBENCODFISCALE, SBENPARTITAIVA FROM TBEN_BENEFICIARI "
                     "WHERE DDELETE IS NULL AND COALESCE(LBENEND,0) = 0 AND ##WHERE##"));
  lookup.SetKeyField(QStringLiteral("IBENID"));
  lookup.SetListField(QStringLiteral("SBENRAGSOC"));
  lookup.SetSearchForm(QStringLiteral("TfmAbiBenSearch"));
  lookup.SetSearchCaption(QStringLiteral("Beneficiari"));
  lookup.SetSearchWidth(600);
  lookup.SearchColumns().SetColumns({{.field = "SBENRAGSOC", .caption = "Ragione Sociale", .width = 350},
                                     {.field = "SBENCODFISCALE", .caption = "Codice Fiscale", .width = 100},
                                     {.field = "SBENPARTITAIVA", .caption = "Partita IVA", .width = 100}});
}
