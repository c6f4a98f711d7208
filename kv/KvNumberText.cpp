#include "KvNumberText.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// Digits a double carries exactly for any decimal.
constexpr int kSignificant = 15;

// "[-]int[.dec]" rounded half away from zero to at most n decimals.
QString roundText(const QString& s, int n) {
  const int dot = int(s.indexOf(QLatin1Char('.')));
  if (dot < 0 || s.size() - dot - 1 <= n) return s;
  const bool negative = s.startsWith(QLatin1Char('-'));
  int intLen = dot - (negative ? 1 : 0);
  QString digits = s.mid(negative ? 1 : 0);
  digits.remove(dot - (negative ? 1 : 0), 1);
  const int keep = intLen + n;
  const bool up = digits[keep] >= QLatin1Char('5');
  digits.truncate(keep);
  if (up) {
    int i = keep - 1;
    for (; i >= 0; --i) {
      if (digits[i] != QLatin1Char('9')) {
        digits[i] = QChar(digits[i].unicode() + 1);
        break;
      }
      digits[i] = QLatin1Char('0');
    }
    if (i < 0) {
      digits.prepend(QLatin1Char('1'));
      ++intLen;
    }
  }
  QString out = negative ? QStringLiteral("-") : QString();
  out += digits.left(intLen);
  if (n > 0) out += QLatin1Char('.') + digits.mid(intLen);
  return out;
}

QString dropTrailingZeros(QString s) {
  if (s.contains(QLatin1Char('.'))) {
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
  }
  if (s == QLatin1String("-0")) s = QStringLiteral("0");
  return s;
}

}  // namespace

namespace KvNumberText {

KvResult<QString> Parse(const QString& text, const Limits& limits, const QString& caption) {
  const QString value = caption.isEmpty() ? QStringLiteral("Il valore immesso")
                                          : QStringLiteral("Il valore del campo '%1'").arg(caption);
  const QString field = caption.isEmpty() ? QStringLiteral("Il campo") : QStringLiteral("Il campo '%1'").arg(caption);
  const KvFailure notANumber = KvFail(value + QStringLiteral(" non è un numero valido."));
  const KvFailure tooLarge = KvFail(value + QStringLiteral(" è troppo grande."));

  static const QRegularExpression number(QStringLiteral("^(-)?(\\d{1,3}(?:\\.\\d{3})+|\\d*)(?:,(\\d*))?$"));
  const QRegularExpressionMatch m = number.match(text.trimmed());
  if (!m.hasMatch()) return notANumber;
  QString whole = m.captured(2);
  whole.remove(QLatin1Char('.'));
  QString decimals = m.captured(3);
  if (whole.isEmpty() && decimals.isEmpty()) return notANumber;
  while (decimals.endsWith(QLatin1Char('0'))) decimals.chop(1);
  while (whole.size() > 1 && whole.startsWith(QLatin1Char('0'))) whole.remove(0, 1);
  if (whole.isEmpty()) whole = QStringLiteral("0");

  if (limits.decimals == 0 && !decimals.isEmpty())
    return KvFail(field + QStringLiteral(" ammette solo numeri interi."));
  if (limits.decimals > 0 && decimals.size() > limits.decimals)
    return KvFail(field + (limits.decimals == 1 ? QStringLiteral(" ammette al massimo 1 decimale.")
                                                : QStringLiteral(" ammette al massimo %1 decimali.").arg(limits.decimals)));
  const int wholeDigits = whole == QLatin1String("0") ? 0 : int(whole.size());
  if (limits.integerDigits >= 0 && wholeDigits > limits.integerDigits) return tooLarge;
  if (limits.decimals == 0 || limits.largest >= 0) {
    // Integers travel as 64-bit integers: exact up to eighteen digits.
    bool ok = false;
    const qint64 magnitude = whole.toLongLong(&ok);
    if (!ok || wholeDigits > 18 || (limits.largest >= 0 && magnitude > limits.largest)) return tooLarge;
  } else {
    QString significant = whole + decimals;
    while (significant.startsWith(QLatin1Char('0'))) significant.remove(0, 1);
    if (significant.size() > kSignificant)
      return KvFail(value + QStringLiteral(" ha troppe cifre (al massimo %1).").arg(kSignificant));
  }
  const bool zero = whole == QLatin1String("0") && decimals.isEmpty();
  QString out = !m.captured(1).isEmpty() && !zero ? QStringLiteral("-") : QString();
  out += whole;
  if (!decimals.isEmpty()) out += QLatin1Char('.') + decimals;
  return out;
}

QString DecimalText(double value, int maxDecimals) {
  if (!std::isfinite(value)) return QString::number(value);
  if (value == 0) return QStringLiteral("0");
  const int exponent = int(std::floor(std::log10(std::fabs(value))));
  QString s = QString::number(value, 'f', std::max(0, kSignificant - 1 - exponent));
  if (maxDecimals >= 0) s = roundText(s, maxDecimals);
  return dropTrailingZeros(s);
}

QString Format(double value, int decimals, bool thousands) {
  QString s = DecimalText(value, decimals);
  const bool negative = s.startsWith(QLatin1Char('-'));
  if (negative) s.remove(0, 1);
  const int dot = int(s.indexOf(QLatin1Char('.')));
  QString whole = dot < 0 ? s : s.left(dot);
  QString fraction = dot < 0 ? QString() : s.mid(dot + 1);
  if (decimals > 0) fraction = fraction.leftJustified(decimals, QLatin1Char('0'));
  if (thousands)
    for (int i = int(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, QLatin1Char('.'));
  QString out = negative ? QStringLiteral("-") : QString();
  out += whole;
  if (!fraction.isEmpty()) out += QLatin1Char(',') + fraction;
  return out;
}

}  // namespace KvNumberText
