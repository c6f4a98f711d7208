#include "KvSqlScript.h"

#include "KvSqlText.h"

#include <QRegularExpression>

namespace {

QString withoutComments(const QString& text) {
  QString t;
  for (int i = 0; i < int(text.size());) {
    const KvSqlText::Span span = KvSqlText::PartAt(text, i);
    if (span.part != KvSqlText::Part::Comment) t += QStringView(text).mid(i, span.end - i);
    i = span.end;
  }
  return t.trimmed();
}

}  // namespace

QStringList KvSplitSqlScript(const QString& script) {
  static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*$"),
                                          QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression commit(QStringLiteral("^\\s*COMMIT(\\s+WORK)?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
  QStringList out;
  QString term = QStringLiteral(";");
  QString current;
  const int n = int(script.size());
  int i = 0;
  auto flush = [&]() {
    // Comments before a statement belong to no statement.
    QString stmt = current.trimmed();
    current.clear();
    const QString bare = withoutComments(stmt);
    if (bare.isEmpty()) return;
    const auto m = setTerm.match(bare);
    if (m.hasMatch()) {
      term = m.captured(1);
      return;
    }
    if (commit.match(bare).hasMatch()) return;
    out << stmt;
  };
  while (i < n) {
    // Literals, quoted names and comments are taken whole: a terminator
    // inside them ends nothing.
    if (const KvSqlText::Span span = KvSqlText::PartAt(script, i); span.part != KvSqlText::Part::Code) {
      current += QStringView(script).mid(i, span.end - i);
      i = span.end;
      continue;
    }
    if (script.mid(i, term.size()) == term) {
      i += term.size();
      flush();
      continue;
    }
    current += script.at(i);
    ++i;
  }
  flush();
  return out;
}

QString KvStripLeadingComments(const QString& statement) {
  int i = 0;
  const int n = int(statement.size());
  while (i < n) {
    while (i < n && statement.at(i).isSpace()) ++i;
    if (i == n) break;
    const KvSqlText::Span span = KvSqlText::PartAt(statement, i);
    if (span.part != KvSqlText::Part::Comment) break;
    i = span.end;
  }
  return statement.mid(i);
}
