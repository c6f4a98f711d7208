#include "AbiUFiltri.h"

#include <QRegularExpression>

QString FiltroContiene(const QString& campo, const QString& testo) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
  QString field = campo.trimmed();
  if (!plain.match(field).hasMatch())
    field = QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
  QString text = testo.toUpper();
  text.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QStringLiteral("UPPER(") + field + QStringLiteral(") LIKE '%") + text + QStringLiteral("%'");
}
