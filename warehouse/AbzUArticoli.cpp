#include "AbzUArticoli.h"

#include "KvSql.h"

KvResult<bool> ArticoloNonUsato(int idArticolo, QSqlDatabase db) {
  // The single row of the order states carries the sum of every use.
  const KvResult<QVariant> somma = KvSql::Scalar(
      QStringLiteral(
          "SELECT (COALESCE((SELECT COUNT(AM.IMGMARTID) FROM TMGMART AM WHERE AM.IARTID = :IARTID),0)+ "
          "COALESCE((SELECT COUNT(OA.IOMGARTID) FROM TOMGART OA WHERE OA.IARTID = :IARTID),0)+ "
          "COALESCE((SELECT COUNT(PA.IPREARTID) FROM TPREART PA WHERE PA.IARTID = :IARTID),0)+ "
          "COALESCE((SELECT COUNT(RA.IRICARTID) FROM TRICART RA WHERE RA.IARTID = :IARTID),0)+ "
          "COALESCE((SELECT COUNT(EA.IESPARTID) FROM TESPART EA WHERE EA.IARTID = :IARTID),0)+ "
          "COALESCE((SELECT COUNT(FA.IAFCID) FROM TAFC_ARTFACCON FA WHERE FA.IARTID = :IARTID),0) ) AS SOMMA "
          "FROM TSTO_STATOORDINE STO WHERE STO.ISTOID = 1"),
      {{QStringLiteral("IARTID"), idArticolo}}, db);
  if (!somma) return somma.failure();
  return somma->toInt() < 1;
}
