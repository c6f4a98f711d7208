#include "AbzULookupArticoli.h"

#include "TKvDBLookupEdit.h"
#include "TfmKvSearch.h"

namespace {

void codiceDescrizione(TKvDBLookupEdit& lookup, const char* codice, const char* descrizione) {
  lookup.SearchColumns().SetColumns(
      {{.field = QString::fromLatin1(codice), .caption = "Codice", .width = 90},
       {.field = QString::fromLatin1(descrizione), .caption = "Descrizione", .width = 400}});
}

}  // namespace

void ImpostaLookupAliquoteIVA(TKvDBLookupEdit& lookup) {
  lookup.SetListCommandText(
      QStringLiteral("SELECT IALVID, SALVDESCS, SALVDESCL, FALVIVA FROM TALV_ALIQUOTEIVA WHERE ##WHERE##"));
  lookup.SetKeyField(QStringLiteral("IALVID"));
  lookup.SetListField(QStringLiteral("SALVDESCL"));
  lookup.SetSearchCaption(QStringLiteral("Aliquote IVA"));
  lookup.SetSearchWidth(600);
  lookup.SearchColumns().SetColumns({{.field = "SALVDESCS", .caption = "Codice", .width = 90},
                                     {.field = "SALVDESCL", .caption = "Descrizione", .width = 340},
                                     {.field = "FALVIVA", .caption = "IVA", .width = 60}});
}

void ImpostaLookupTipoDestinazioni(TKvDBLookupEdit& lookup) {
  lookup.SetListCommandText(
      QStringLiteral("SELECT ITPDID, STPDDESCS, STPDDESCL FROM TTPD_TIPODESTINAZ WHERE ##WHERE##"));
  lookup.SetKeyField(QStringLiteral("ITPDID"));
  lookup.SetListField(QStringLiteral("STPDDESCL"));
  lookup.SetSearchCaption(QStringLiteral("Tipo Destinazioni"));
  lookup.SetSearchWidth(600);
  codiceDescrizione(lookup, "STPDDESCS", "STPDDESCL");
}

void ImpostaLookupCodMerceologici(TKvDBLookupEdit& lookup) {
  lookup.SetListCommandText(
      QStringLiteral("SELECT IMERID, SMERCODICE, SMERDESC FROM TMER_CODICIMERCEOL WHERE ##WHERE##"));
  lookup.SetKeyField(QStringLiteral("IMERID"));
  lookup.SetListField(QStringLiteral("SMERDESC"));
  lookup.SetSearchCaption(QStringLiteral("Generi Merceologici"));
  lookup.SetSearchWidth(600);
  codiceDescrizione(lookup, "SMERCODICE", "SMERDESC");
}

void ImpostaLookupDettCodMerc(TKvDBLookupEdit& lookup, int idCodMerce) {
  // The product code is a number formatted into the text, never user text.
  lookup.SetListCommandText(QStringLiteral("SELECT TDCM_DETTCODMERC.IDCMID, TDCM_DETTCODMERC.SDCMDESCS, "
                                           "TDCM_DETTCODMERC.SDCMDESCL FROM TDCM_DETTCODMERC "
                                           "WHERE TDCM_DETTCODMERC.IMERID = %1 AND ##WHERE##")
                                .arg(idCodMerce));
  lookup.SetKeyField(QStringLiteral("TDCM_DETTCODMERC.IDCMID"));
  lookup.SetListField(QStringLiteral("SDCMDESCL"));
  lookup.SetSearchCaption(QStringLiteral("Dettaglio Generi Merceologici"));
  lookup.SetSearchWidth(600);
  codiceDescrizione(lookup, "SDCMDESCS", "SDCMDESCL");
}
