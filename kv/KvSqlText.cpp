#include "KvSqlText.h"

namespace KvSqlText {

namespace {

// The index after the quote that closes the literal or name opened at i; a
// doubled quote inside stands for the quote itself.
int closingQuote(const QString& text, int i) {
  const QChar q = text[i];
  const int n = int(text.size());
  for (int k = i + 1; k < n; ++k) {
    if (text[k] != q) continue;
    if (k + 1 < n && text[k + 1] == q) {
      ++k;
      continue;
    }
    return k + 1;
  }
  return n;
}

}  // namespace

Span PartAt(const QString& text, int i) {
  const int n = int(text.size());
  const QChar c = text[i];
  if (c == QLatin1Char('\'')) return {Part::Literal, closingQuote(text, i)};
  if (c == QLatin1Char('"')) return {Part::QuotedName, closingQuote(text, i)};
  if (c == QLatin1Char('-') && i + 1 < n && text[i + 1] == QLatin1Char('-')) {
    const int end = int(text.indexOf(QLatin1Char('\n'), i));
    return {Part::Comment, end < 0 ? n : end};
  }
  if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
    const int end = int(text.indexOf(QLatin1String("*/"), i + 2));
    return {Part::Comment, end < 0 ? n : end + 2};
  }
  return {Part::Code, i + 1};
}

QString Masked(const QString& text) {
  QString m = text;
  const int n = int(text.size());
  for (int i = 0; i < n;) {
    const Span s = PartAt(text, i);
    if (s.part == Part::Comment) {
      for (int k = i; k < s.end; ++k) m[k] = QLatin1Char(' ');
    } else if (s.part != Part::Code) {
      // The quotes stay, so that a literal still reads as one.
      const int last = s.end < n || (s.end - i > 1 && text[s.end - 1] == text[i]) ? s.end - 1 : s.end;
      for (int k = i + 1; k < last; ++k) m[k] = QLatin1Char('x');
    }
    i = s.end;
  }
  return m;
}

bool IsNameStart(QChar c) {
  return c.isLetter() || c == QLatin1Char('_');
}

bool IsNameChar(QChar c) {
  return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool WordAt(const QString& masked, int i, const QString& word) {
  const int n = int(masked.size());
  const int w = int(word.size());
  return i >= 0 && i + w <= n && (i == 0 || !IsNameChar(masked[i - 1])) &&
         QStringView(masked).mid(i, w).compare(word, Qt::CaseInsensitive) == 0 &&
         (i + w == n || !IsNameChar(masked[i + w]));
}

QList<Param> Params(const QString& text) {
  QList<Param> out;
  const int n = int(text.size());
  for (int i = 0; i < n;) {
    const Span s = PartAt(text, i);
    if (s.part != Part::Code) {
      i = s.end;
      continue;
    }
    if (text[i] == QLatin1Char(':') && i + 1 < n && text[i + 1] == QLatin1Char(':')) {
      i += 2;  // "::" is no parameter
      continue;
    }
    if (text[i] == QLatin1Char(':') && i + 1 < n && IsNameStart(text[i + 1])) {
      int j = i + 1;
      while (j < n && IsNameChar(text[j])) ++j;
      out.append({i, j - i, text.mid(i + 1, j - i - 1).toUpper()});
      i = j;
      continue;
    }
    ++i;
  }
  return out;
}

Positional ToPositional(const QString& text) {
  Positional out;
  out.sql.reserve(text.size());
  int from = 0;
  for (const Param& p : Params(text)) {
    out.sql += QStringView(text).mid(from, p.position - from);
    out.sql += QLatin1Char('?');
    out.names << p.name;
    from = p.position + p.length;
  }
  out.sql += QStringView(text).mid(from);
  return out;
}

QString NormName(const QString& name) {
  QString n = name.trimmed();
  if (n.startsWith(QLatin1Char(':'))) n.remove(0, 1);
  return n.toUpper();
}

}  // namespace KvSqlText
