#include "AbiUFiltri.h"

#include "KvFilter.h"

#include <QRegularExpression>

QString FiltroContiene(const QString& campo, const QString& testo) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
  QString field = campo.trimmed();
  if (!plain.match(field).hasMatch())
    field = QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
  return KvFilter::ContainsCondition(field, testo);
}
