#pragma once

#include <QMetaType>
#include <QtGlobal>

// How a field's values compare and show: the few kinds the framework tells
// apart, whatever type the driver gives (flags and chars count as integers).
enum class KvFieldKind { Int, Real, Date, DateTime, Time, Text };

inline KvFieldKind KvKindOf(QMetaType type) {
  switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
      return KvFieldKind::Int;
    case QMetaType::Double:
    case QMetaType::Float:
      return KvFieldKind::Real;
    case QMetaType::QDate:
      return KvFieldKind::Date;
    case QMetaType::QDateTime:
      return KvFieldKind::DateTime;
    case QMetaType::QTime:
      return KvFieldKind::Time;
    default:
      return KvFieldKind::Text;
  }
}

inline bool KvIsNumeric(QMetaType type) {
  const KvFieldKind k = KvKindOf(type);
  return k == KvFieldKind::Int || k == KvFieldKind::Real;
}

// What the select tells of a field's size; -1 where it tells nothing.
struct TKvFieldSize {
  int length = -1;      // text: most characters
  int digits = -1;      // exact number: most digits in all (NUMERIC(18,6): 18)
  int decimals = -1;    // number: decimals kept (NUMERIC(18,6): 6; integers 0)
  qint64 largest = -1;  // integer: largest magnitude its type holds
};
