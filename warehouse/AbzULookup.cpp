#include "AbzULookup.h"

#include "TKvDBLookupEdit.h"
#include "TfmKvSearch.h"

void ImpostaLookupUniMisura(TKvDBLookupEdit& lookup) {
  lookup.SetListCommandText(
      QStringLiteral("SELECT IUNMID, SUNMCOD, SUNMDESCS, SUNMMISCARICO, SUNMMISSCARICO, FUNMFATTOREPROP "
                     "FROM TUNM_UNITAMISURA WHERE ##WHERE##"));
  lookup.SetKeyField(QStringLiteral("IUNMID"));
  lookup.SetListField(QStringLiteral("SUNMDESCS"));
  lookup.SetSearchCaption(QStringLiteral("Unità di Misura"));
  lookup.SetSearchWidth(600);
  lookup.SearchColumns().SetColumns({{.field = "SUNMCOD", .caption = "Codice", .width = 70},
                                     {.field = "SUNMDESCS", .caption = "Descrizione", .width = 200},
                                     {.field = "SUNMMISCARICO", .caption = "Misura di Carico", .width = 105},
                                     {.field = "SUNMMISSCARICO", .caption = "Misura di Scarico", .width = 105},
                                     {.field = "FUNMFATTOREPROP", .caption = "Fattore", .width = 50}});
}
