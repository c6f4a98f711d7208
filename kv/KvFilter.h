#pragma once

#include <QString>
#include <QVariant>

#include "KvResult.h"

#include <functional>
#include <memory>

// In-memory filter expressions of the query collections, in the SQL-like
// syntax the windows write: UPPER(field) LIKE '%TEXT%', field = 'text' (text
// and date fields; dates written dd/mm/yyyy or yyyy-mm-dd), numeric
// comparisons (=, <>, !=, <, <=, >, >=), IS [NOT] NULL, AND, OR, NOT,
// parentheses. Keywords and field names are case-insensitive; LIKE uses the
// SQL wildcards % and _ (and is case-sensitive unless UPPER/LOWER is used);
// LIKE '...' ESCAPE '\' makes the character after the escape literal.
// An expression that does not parse is rejected as a whole; so is a literal
// that does not fit its field (a number for a numeric field, a date written
// dd/mm/yyyy, dd/mm/yy or yyyy-mm-dd for a date field). A comparison with NULL
// is false (only IS NULL finds nulls), and NOT simply negates its operand.
// A date-time field equals a date when it falls on that day. A blank text
// keeps every row.
class KvFilter {
 public:
  // Field lookup used while parsing and evaluating: the index of a field by
  // name, whatever its letter case (-1 when unknown), and its type.
  struct Schema {
    std::function<int(const QString& name)> fieldIndex;
    std::function<QMetaType(int index)> fieldType;
  };
  // Value of a field of the row being tested.
  using RowValue = std::function<QVariant(int fieldIndex)>;

  ~KvFilter();
  KvFilter(KvFilter&&) noexcept;
  KvFilter& operator=(KvFilter&&) noexcept;

  // "UPPER(field) LIKE '%TEXT%' ESCAPE '\\'": the rows whose field contains
  // what the user typed, every character of it taken as it is (quotes, %,
  // _ and \\ included), whatever the case.
  static QString ContainsCondition(const QString& field, const QString& text);
  // A text as a quoted literal of the syntax ('D''ANGELO').
  static QString Quoted(const QString& text);

  // Parses text; on failure the Italian explanation.
  static KvResult<KvFilter> Parse(const QString& text, const Schema& schema);

  bool Matches(const RowValue& row) const;

 private:
  struct Node;
  explicit KvFilter(std::unique_ptr<Node> root);
  std::unique_ptr<Node> m_root;
};
