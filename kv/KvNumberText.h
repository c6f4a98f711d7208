#pragma once

#include "KvResult.h"

#include <QString>
#include <QtGlobal>

// Numbers as a clerk types and reads them: the decimal comma, the thousands
// dot, and exact decimal text for the database.
namespace KvNumberText {

// What a field can hold; -1 where there is no limit.
struct Limits {
  int decimals = -1;       // decimals allowed (0: integers only)
  int integerDigits = -1;  // digits before the comma
  qint64 largest = -1;     // largest magnitude of an integer field
};

// A number typed the Italian way: "-1.234,56", "1234,56", "0,5", ",5",
// "1.234" (one thousand two hundred thirty-four). Dots only group thousands,
// in threes; nothing else (no exponent, no letters, no second comma) is a
// number. Decimals beyond the limits are refused, never rounded or cut;
// trailing zeros do not count ("12,50" fits one decimal). The result is the
// value as decimal text with a point ("-1234.56"); a refusal's text names
// the field by its caption.
KvResult<QString> Parse(const QString& text, const Limits& limits, const QString& caption);

// The value as the windows show it: decimals fixed (or, with -1, as many as
// the value has, up to fifteen significant digits), the decimal comma and,
// with thousands, the thousands dot ("3.600,00").
QString Format(double value, int decimals, bool thousands = true);

// The decimal the double stands for: the value rounded to fifteen
// significant digits (every decimal of up to fifteen digits survives a trip
// through a double) and then to at most maxDecimals decimals, trailing zeros
// dropped, with a point ("1234.56", "-0.1").
QString DecimalText(double value, int maxDecimals = -1);

}  // namespace KvNumberText
