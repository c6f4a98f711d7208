#include "KvSqlScript.h"

#include <QRegularExpression>

namespace {

QString withoutComments(const QString& text) {
  QString t = text;
  static const QRegularExpression lineComment(QStringLiteral("--[^\\n]*"));
  static const QRegularExpression blockComment(QStringLiteral("/\\*.*?\\*/"),
                                               QRegularExpression::DotMatchesEverythingOption);
  t.remove(lineComment);
  t.remove(blockComment);
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
  const int n = script.size();
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
    const QChar c = script.at(i);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      const int end = script.indexOf(c, i + 1);
      // A doubled quote inside a literal is two adjacent literals for this
      // scan, which keeps it intact.
      const int stop = end < 0 ? n : end + 1;
      current += script.mid(i, stop - i);
      i = stop;
      continue;
    }
    if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
      const int end = script.indexOf(QLatin1Char('\n'), i);
      const int stop = end < 0 ? n : end;
      current += script.mid(i, stop - i);
      i = stop;
      continue;
    }
    if (c == QLatin1Char('/') && i + 1 < n && script.at(i + 1) == QLatin1Char('*')) {
      const int end = script.indexOf(QLatin1String("*/"), i + 2);
      const int stop = end < 0 ? n : end + 2;
      current += script.mid(i, stop - i);
      i = stop;
      continue;
    }
    if (script.mid(i, term.size()) == term) {
      i += term.size();
      flush();
      continue;
    }
    current += c;
    ++i;
  }
  flush();
  return out;
}

QString KvStripLeadingComments(const QString& statement) {
  int i = 0;
  const int n = statement.size();
  while (i < n) {
    while (i < n && statement.at(i).isSpace()) ++i;
    if (statement.mid(i, 2) == QLatin1String("--")) {
      const int end = statement.indexOf(QLatin1Char('\n'), i);
      i = end < 0 ? n : end + 1;
    } else if (statement.mid(i, 2) == QLatin1String("/*")) {
      const int end = statement.indexOf(QLatin1String("*/"), i + 2);
      i = end < 0 ? n : end + 2;
    } else {
      break;
    }
  }
  return statement.mid(i);
}
