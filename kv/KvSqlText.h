#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The one reading of SQL text that the list engine, the search window and
// the script loader share: string literals ('it''s'), quoted names ("Name"),
// line (--) and block (/* */) comments, named parameters (:NAME) and names.
namespace KvSqlText {

enum class Part { Code, Literal, QuotedName, Comment };

// The part that starts at i and the index just after it; a code character
// is a part of one. An unclosed literal, name or comment runs to the end.
struct Span {
  Part part;
  int end;
};
Span PartAt(const QString& text, int i);

// The text with literals and quoted names blanked inside their quotes ('x')
// and comments blanked whole (' '), same length, so that keywords, commas,
// parentheses and markers are found by position.
QString Masked(const QString& text);

bool IsNameStart(QChar c);
bool IsNameChar(QChar c);
// Whether the masked text holds word at i as a whole name (any letter case).
bool WordAt(const QString& masked, int i, const QString& word);

// A named parameter: ":NAME" in code (not "::"), its position and length
// (colon included) and its name upper case.
struct Param {
  int position;
  int length;
  QString name;
};
QList<Param> Params(const QString& text);

// The statement with every parameter turned into a positional "?", and the
// names in order.
struct Positional {
  QString sql;
  QStringList names;
};
Positional ToPositional(const QString& text);

// A field, table or parameter name as the engine compares it: trimmed,
// without a leading ':', upper case.
QString NormName(const QString& name);

}  // namespace KvSqlText
