#include "AbzUChiusura.h"

#include "KvSql.h"
#include "PuxContesto.h"

#include <QSqlQuery>

KvResult<QDate> TChiusura::DataChiusura() const {
  QDate data;
  const KvStatus letto = KvSql::Rows(
      QStringLiteral(" SELECT FIRST 1 (GRM.IGRMID), GRM.DGRMDATACHIUS FROM TGRM_GIORMAGAZ GRM WHERE GRM.IDWGID = "
                     ":IDWGID AND GRM.IGRMESFIN = :IESFIN ORDER BY GRM.IGRMID DESC"),
      {{QStringLiteral("IDWGID"), Contesto.DwgId}, {QStringLiteral("IESFIN"), Contesto.EsercizioFin}},
      [&data](const QSqlQuery& r) { data = r.value(1).toDate(); });
  if (!letto) return letto.failure();
  return data;
}

bool TChiusura::Aperto() const {
  const KvResult<QDate> data = DataChiusura();
  return data && !data->isValid();
}
