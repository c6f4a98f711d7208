#include "AbzUCodiciArticolo.h"

#include "KvSql.h"

namespace {

// The number of a code made only of digits; a code with anything else is no
// number. CASE keeps the cast away from the other codes.
const char* const kNumeroCodice =
    "CASE WHEN TRIM(A.SARTCOD) SIMILAR TO '[0-9]+' THEN CAST(TRIM(A.SARTCOD) AS BIGINT) END";

KvResult<int> idOrNone(const KvResult<QVariant>& read) {
  if (!read) return read.failure();
  return read->isNull() ? -1 : read->toInt();
}

}  // namespace

QString CodiceArticolo(const QString& typed) {
  const QString code = typed.trimmed();
  return code.isEmpty() ? code : code.rightJustified(7, QLatin1Char('0'));
}

KvResult<int> ArticoloDaCodice(const QString& code, int excludedId) {
  const QString trimmed = code.trimmed();
  if (trimmed.isEmpty()) return -1;
  bool numeric = false;
  const qint64 number = trimmed.toLongLong(&numeric);
  numeric = numeric && !trimmed.startsWith(QLatin1Char('-')) && !trimmed.startsWith(QLatin1Char('+'));
  const QString sql =
      numeric
          ? QStringLiteral("SELECT FIRST 1 A.IARTID FROM TART_ARTICOLI A WHERE %1 = :NUMERO AND A.IARTID <> :ESCLUSO")
                .arg(QLatin1String(kNumeroCodice))
          : QStringLiteral(
                "SELECT FIRST 1 A.IARTID FROM TART_ARTICOLI A WHERE TRIM(A.SARTCOD) = :CODICE "
                "AND A.IARTID <> :ESCLUSO");
  KvSql::Params params{{QStringLiteral("ESCLUSO"), excludedId}};
  if (numeric)
    params.append({QStringLiteral("NUMERO"), number});
  else
    params.append({QStringLiteral("CODICE"), trimmed});
  return idOrNone(KvSql::Scalar(sql, params));
}

KvResult<int> ArticoloDaBarcode(const QString& code) {
  if (code.isEmpty()) return -1;
  return idOrNone(KvSql::Scalar(QStringLiteral("SELECT FIRST 1 A.IARTID FROM TART_ARTICOLI A "
                                               "WHERE A.SARTCODCOSTRUT = :STRING AND A.SARTCODCOSTRUT <> '' "
                                               "AND A.DDELETE IS NULL"),
                                {{QStringLiteral("STRING"), code}}));
}

KvResult<bool> CodiceCostruttoreLibero(const QString& code, int excludedId) {
  const QString trimmed = code.trimmed();
  if (trimmed.isEmpty()) return true;
  const KvResult<int> id = idOrNone(
      KvSql::Scalar(QStringLiteral("SELECT FIRST 1 A.IARTID FROM TART_ARTICOLI A WHERE A.SARTCODCOSTRUT = :STRING "
                                   "AND A.SARTCODCOSTRUT <> '' AND A.IARTID <> :ESCLUSO"),
                    {{QStringLiteral("STRING"), trimmed}, {QStringLiteral("ESCLUSO"), excludedId}}));
  if (!id) return id.failure();
  return *id < 0;
}
