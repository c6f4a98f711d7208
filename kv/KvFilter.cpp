#include "KvFilter.h"

#include "KvFieldKind.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringView>
#include <QTime>
#include <QVarLengthArray>

#include <optional>
#include <utility>
#include <vector>
#include <vector>

namespace {

// Static type of a value in the expression, known at parse time.
enum class Kind { Null, Number, Text, Date, Stamp, Time };

// Domain a comparison is evaluated in; both sides are converted to it per row.
enum class Domain { Number, Text, Date, Stamp, Time };

enum class CmpOp { Eq, Ne, Lt, Le, Gt, Ge };

struct ParseError {
  QString detail;
};

[[noreturn]] void Fail(const QString& detail) {
  throw ParseError{detail};
}

QString At(int pos) {
  return QStringLiteral(" alla posizione %1").arg(pos + 1);
}

Kind KindOfType(QMetaType type) {
  switch (KvKindOf(type)) {
    case KvFieldKind::Int:
    case KvFieldKind::Real:
      return Kind::Number;
    case KvFieldKind::Date:
      return Kind::Date;
    case KvFieldKind::DateTime:
      return Kind::Stamp;
    case KvFieldKind::Time:
      return Kind::Time;
    case KvFieldKind::Text:
      break;
  }
  return Kind::Text;
}

QString KindName(Kind kind) {
  switch (kind) {
    case Kind::Null:
      return QStringLiteral("NULL");
    case Kind::Number:
      return QStringLiteral("numero");
    case Kind::Text:
      return QStringLiteral("testo");
    case Kind::Date:
      return QStringLiteral("data");
    case Kind::Stamp:
      return QStringLiteral("data e ora");
    case Kind::Time:
      return QStringLiteral("ora");
  }
  return {};
}

// ---------------------------------------------------------------------------
// Literal forms of dates, times and numbers

struct StampLiteral {
  QDate date;
  QTime time;
  bool hasTime = false;
};

int ExpandTwoDigitYear(int yy) {
  // Sliding window: a two-digit year lies within fifty years of today.
  const int current = QDate::currentDate().year();
  int year = (current / 100) * 100 + yy;
  if (year > current + 50) year -= 100;
  if (year <= current - 50) year += 100;
  return year;
}

std::optional<QTime> MakeTime(const QString& h, const QString& m, const QString& s, const QString& ms) {
  const QTime t(h.toInt(), m.toInt(), s.isEmpty() ? 0 : s.toInt(), ms.isEmpty() ? 0 : ms.leftJustified(3, '0').toInt());
  if (!t.isValid()) return std::nullopt;
  return t;
}

// dd/mm/yyyy (also with '.' or '-'), dd/mm/yy or yyyy-mm-dd, optionally followed by hh:mm[:ss[.zzz]].
std::optional<StampLiteral> ParseStamp(const QString& text) {
  static const QRegularExpression italian(QStringLiteral(
      R"(^\s*(\d{1,2})([/.-])(\d{1,2})\2(\d{4}|\d{2})(?:(?:\s+|T)(\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?)?\s*$)"));
  static const QRegularExpression iso(QStringLiteral(
      R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:(?:\s+|T)(\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?)?\s*$)"));
  StampLiteral result;
  int timeGroup = 0;
  QRegularExpressionMatch m = italian.match(text);
  if (m.hasMatch()) {
    const QString year = m.captured(4);
    const int y = year.size() == 2 ? ExpandTwoDigitYear(year.toInt()) : year.toInt();
    result.date = QDate(y, m.captured(3).toInt(), m.captured(1).toInt());
    timeGroup = 5;
  } else {
    m = iso.match(text);
    if (!m.hasMatch()) return std::nullopt;
    result.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    timeGroup = 4;
  }
  if (!result.date.isValid()) return std::nullopt;
  if (m.hasCaptured(timeGroup)) {
    const auto t = MakeTime(m.captured(timeGroup), m.captured(timeGroup + 1), m.captured(timeGroup + 2),
                            m.captured(timeGroup + 3));
    if (!t) return std::nullopt;
    result.time = *t;
    result.hasTime = true;
  }
  return result;
}

std::optional<QTime> ParseTime(const QString& text) {
  static const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,2}):(\d{2})(?::(\d{2})(?:\.(\d{1,3}))?)?\s*$)"));
  const QRegularExpressionMatch m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  return MakeTime(m.captured(1), m.captured(2), m.captured(3), m.captured(4));
}

// A number written in C notation ("12", "-3", "0.25"), as an exact integer when it is one.
QVariant ParseNumber(QStringView text) {
  text = text.trimmed();
  bool ok = false;
  const qlonglong i = text.toLongLong(&ok);
  if (ok) return QVariant(i);
  const double d = text.toDouble(&ok);
  if (ok) return QVariant(d);
  return {};
}

// ---------------------------------------------------------------------------
// Row values converted to a comparison domain (nullopt: null or not convertible)

struct Number {
  bool exact;  // integral value held in i
  qint64 i;
  double d;
};

std::optional<Number> NumberOf(const QVariant& v) {
  if (v.isNull()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::Bool:
      return Number{true, v.toBool() ? 1 : 0, v.toBool() ? 1.0 : 0.0};
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: {
      const qint64 i = v.toLongLong();
      return Number{true, i, double(i)};
    }
    case QMetaType::QString: {
      // Exact decimals travel as text.
      const QVariant n = ParseNumber(*static_cast<const QString*>(v.constData()));
      if (!n.isValid()) return std::nullopt;
      return NumberOf(n);
    }
    case QMetaType::QByteArray:
      return NumberOf(QVariant(QString::fromUtf8(v.toByteArray())));
    default: {
      bool ok = false;
      const double d = v.toDouble(&ok);
      if (!ok) return std::nullopt;
      return Number{false, 0, d};
    }
  }
}

int CompareNumbers(const Number& a, const Number& b) {
  if (a.exact && b.exact) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
  return a.d < b.d ? -1 : (a.d > b.d ? 1 : 0);
}

// Text form of any value: what UPPER/LOWER and LIKE see.
std::optional<QString> TextOf(const QVariant& v) {
  if (v.isNull()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::QString:
      return *static_cast<const QString*>(v.constData());
    case QMetaType::QDate: {
      const QDate d = v.toDate();
      if (!d.isValid()) return std::nullopt;
      return d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      if (!dt.isValid()) return std::nullopt;
      return dt.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    }
    case QMetaType::QTime: {
      const QTime t = v.toTime();
      if (!t.isValid()) return std::nullopt;
      return t.toString(QStringLiteral("hh:mm:ss"));
    }
    case QMetaType::Bool:
      return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QByteArray:
      return QString::fromUtf8(v.toByteArray());
    default:
      return v.toString();
  }
}

std::optional<QDate> DateOf(const QVariant& v) {
  if (v.isNull()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::QDate: {
      const QDate d = v.toDate();
      return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
    }
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      return dt.isValid() ? std::optional<QDate>(dt.date()) : std::nullopt;
    }
    case QMetaType::QString: {
      const auto s = ParseStamp(v.toString());
      return s ? std::optional<QDate>(s->date) : std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

// A date and time as written, without time-zone conversion.
struct Stamp {
  qint64 day;
  int msecs;
};

std::optional<Stamp> StampOf(const QVariant& v) {
  if (v.isNull()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::QDate: {
      const QDate d = v.toDate();
      return d.isValid() ? std::optional<Stamp>(Stamp{d.toJulianDay(), 0}) : std::nullopt;
    }
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      if (!dt.isValid()) return std::nullopt;
      return Stamp{dt.date().toJulianDay(), dt.time().msecsSinceStartOfDay()};
    }
    case QMetaType::QString: {
      const auto s = ParseStamp(v.toString());
      if (!s) return std::nullopt;
      return Stamp{s->date.toJulianDay(), s->hasTime ? s->time.msecsSinceStartOfDay() : 0};
    }
    default:
      return std::nullopt;
  }
}

std::optional<QTime> TimeOf(const QVariant& v) {
  if (v.isNull()) return std::nullopt;
  switch (v.typeId()) {
    case QMetaType::QTime: {
      const QTime t = v.toTime();
      return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
    }
    case QMetaType::QDateTime: {
      const QDateTime dt = v.toDateTime();
      return dt.isValid() ? std::optional<QTime>(dt.time()) : std::nullopt;
    }
    case QMetaType::QString:
      return ParseTime(v.toString());
    default:
      return std::nullopt;
  }
}

template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

QStringView WithoutTrailingBlanks(QStringView s) {
  qsizetype n = s.size();
  while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
  return s.first(n);
}

// Compares two values in a domain; nullopt when either is null or not convertible,
// which makes the comparison false.
std::optional<int> CompareIn(Domain domain, const QVariant& a, const QVariant& b) {
  switch (domain) {
    case Domain::Number: {
      const auto x = NumberOf(a);
      if (!x) return std::nullopt;
      const auto y = NumberOf(b);
      if (!y) return std::nullopt;
      return CompareNumbers(*x, *y);
    }
    case Domain::Text: {
      const auto x = TextOf(a);
      if (!x) return std::nullopt;
      const auto y = TextOf(b);
      if (!y) return std::nullopt;
      // Fixed-length columns come back padded: trailing blanks do not count, as in SQL.
      const int c = WithoutTrailingBlanks(*x).compare(WithoutTrailingBlanks(*y));
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case Domain::Date: {
      const auto x = DateOf(a);
      if (!x) return std::nullopt;
      const auto y = DateOf(b);
      if (!y) return std::nullopt;
      return Order(*x, *y);
    }
    case Domain::Stamp: {
      const auto x = StampOf(a);
      if (!x) return std::nullopt;
      const auto y = StampOf(b);
      if (!y) return std::nullopt;
      return x->day != y->day ? Order(x->day, y->day) : Order(x->msecs, y->msecs);
    }
    case Domain::Time: {
      const auto x = TimeOf(a);
      if (!x) return std::nullopt;
      const auto y = TimeOf(b);
      if (!y) return std::nullopt;
      return Order(*x, *y);
    }
  }
  return std::nullopt;
}

bool Holds(CmpOp op, int c) {
  switch (op) {
    case CmpOp::Eq:
      return c == 0;
    case CmpOp::Ne:
      return c != 0;
    case CmpOp::Lt:
      return c < 0;
    case CmpOp::Le:
      return c <= 0;
    case CmpOp::Gt:
      return c > 0;
    case CmpOp::Ge:
      return c >= 0;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Value expressions

struct Operand {
  enum class Op { Literal, Field, Upper, Lower };
  Op op = Op::Literal;
  Kind kind = Kind::Null;
  int field = -1;
  QVariant value;    // literal, converted to its comparison domain once known
  QString spelling;  // as written, for messages
  std::unique_ptr<Operand> arg;

  bool IsLiteral() const { return op == Op::Literal; }

  QVariant Eval(const KvFilter::RowValue& row) const {
    switch (op) {
      case Op::Literal:
        return value;
      case Op::Field:
        return row(field);
      case Op::Upper:
      case Op::Lower:
        if (auto t = Text(row)) return QVariant(std::move(*t));
        return {};
    }
    return {};
  }

  // Text form, without wrapping UPPER's result in a variant.
  std::optional<QString> Text(const KvFilter::RowValue& row) const {
    switch (op) {
      case Op::Literal:
        return TextOf(value);
      case Op::Field:
        return TextOf(row(field));
      case Op::Upper:
        if (auto t = arg->Text(row)) return t->toUpper();
        return std::nullopt;
      case Op::Lower:
        if (auto t = arg->Text(row)) return t->toLower();
        return std::nullopt;
    }
    return std::nullopt;
  }
};

using OperandPtr = std::unique_ptr<Operand>;

// SQL LIKE: % any run of characters, _ exactly one, everything else literal;
// with an escape character, the character after it is literal too ("\\_" is
// an underscore), so that typed text can be searched as it is.
class LikePattern {
 public:
  explicit LikePattern(const QString& pattern, QChar escape = QChar()) {
    std::vector<Item> items;
    items.reserve(size_t(pattern.size()));
    for (qsizetype i = 0; i < pattern.size(); ++i) {
      const QChar c = pattern[i];
      if (!escape.isNull() && c == escape && i + 1 < pattern.size())
        items.push_back({pattern[++i], Item::Literal});
      else if (c == QLatin1Char('%'))
        items.push_back({c, Item::Many});
      else if (c == QLatin1Char('_'))
        items.push_back({c, Item::One});
      else
        items.push_back({c, Item::Literal});
    }
    size_t begin = 0;
    size_t end = items.size();
    while (begin < end && items[begin].kind == Item::Many) ++begin;
    while (end > begin && items[end - 1].kind == Item::Many) --end;
    const bool leading = begin > 0;
    const bool trailing = end < items.size();
    bool literal = true;
    for (size_t i = begin; i < end; ++i) {
      if (items[i].kind != Item::Literal) literal = false;
      m_text.append(items[i].c);
    }
    if (!literal) {
      m_mode = Mode::General;
      m_items = std::move(items);
    } else if (m_text.isEmpty() && (leading || trailing)) {
      m_mode = Mode::Any;
    } else if (leading && trailing) {
      m_mode = Mode::Contains;
    } else if (leading) {
      m_mode = Mode::Suffix;
    } else if (trailing) {
      m_mode = Mode::Prefix;
    } else {
      m_mode = Mode::Exact;
    }
  }

  bool Match(QStringView s) const {
    switch (m_mode) {
      case Mode::Any:
        return true;
      case Mode::Exact:
        return s == m_text;
      case Mode::Prefix:
        return s.startsWith(m_text);
      case Mode::Suffix:
        return s.endsWith(m_text);
      case Mode::Contains:
        return s.contains(m_text);
      case Mode::General:
        return Wildcard(s, m_items);
    }
    return false;
  }

 private:
  enum class Mode { Any, Exact, Prefix, Suffix, Contains, General };
  struct Item {
    QChar c;
    enum Kind { Literal, Many, One } kind;
  };

  // Greedy matching with backtracking to the last %: linear in practice.
  static bool Wildcard(QStringView s, const std::vector<Item>& p) {
    const qsizetype n = qsizetype(p.size());
    qsizetype si = 0, pi = 0, starP = -1, starS = 0;
    while (si < s.size()) {
      if (pi < n && p[size_t(pi)].kind == Item::Many) {
        starP = pi++;
        starS = si;
      } else if (pi < n && (p[size_t(pi)].kind == Item::One || p[size_t(pi)].c == s[si])) {
        ++si;
        ++pi;
      } else if (starP >= 0) {
        pi = starP + 1;
        si = ++starS;
      } else {
        return false;
      }
    }
    while (pi < n && p[size_t(pi)].kind == Item::Many) ++pi;
    return pi == n;
  }

  Mode m_mode = Mode::Exact;
  QString m_text;
  std::vector<Item> m_items;
};

// ---------------------------------------------------------------------------
// Conditions

struct Pred {
  virtual ~Pred() = default;
  virtual bool Eval(const KvFilter::RowValue& row) const = 0;
};

using PredPtr = std::unique_ptr<Pred>;

struct ConstPred final : Pred {
  explicit ConstPred(bool v) : value(v) {}
  bool Eval(const KvFilter::RowValue&) const override { return value; }
  bool value;
};

struct AndPred final : Pred {
  std::vector<PredPtr> items;
  bool Eval(const KvFilter::RowValue& row) const override {
    for (const PredPtr& p : items)
      if (!p->Eval(row)) return false;
    return true;
  }
};

struct OrPred final : Pred {
  std::vector<PredPtr> items;
  bool Eval(const KvFilter::RowValue& row) const override {
    for (const PredPtr& p : items)
      if (p->Eval(row)) return true;
    return false;
  }
};

struct NotPred final : Pred {
  explicit NotPred(PredPtr p) : inner(std::move(p)) {}
  bool Eval(const KvFilter::RowValue& row) const override { return !inner->Eval(row); }
  PredPtr inner;
};

struct ComparePred final : Pred {
  ComparePred(OperandPtr l, CmpOp o, OperandPtr r, Domain d) : lhs(std::move(l)), rhs(std::move(r)), op(o), domain(d) {}
  bool Eval(const KvFilter::RowValue& row) const override {
    const auto c = CompareIn(domain, lhs->Eval(row), rhs->Eval(row));
    return c && Holds(op, *c);
  }
  OperandPtr lhs, rhs;
  CmpOp op;
  Domain domain;
};

// Upper or lower case of s for matching, without a heap allocation for the
// usual Latin-1 text: those characters map one to one (except sharp s, which
// upper-cases to two letters); anything else takes Qt's full mapping.
QStringView CaseMapped(const QString& s, bool upper, QVarLengthArray<QChar, 256>& buffer, QString& fallback) {
  const qsizetype n = s.size();
  buffer.resize(n);
  const QChar* src = s.constData();
  QChar* dst = buffer.data();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = src[i].unicode();
    if (c < 0x80) {
      if (upper)
        dst[i] = QChar(c >= u'a' && c <= u'z' ? char16_t(c - 32) : c);
      else
        dst[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
    } else if (c < 0x100 && c != 0xDF) {
      dst[i] = QChar(upper ? QChar::toUpper(char32_t(c)) : QChar::toLower(char32_t(c)));
    } else {
      fallback = upper ? s.toUpper() : s.toLower();
      return fallback;
    }
  }
  return QStringView(dst, n);
}

struct LikePred final : Pred {
  LikePred(OperandPtr v, const QString& p, QChar escape, bool n)
      : value(std::move(v)), pattern(p, escape), negated(n) {}
  bool Eval(const KvFilter::RowValue& row) const override {
    // UPPER(field) LIKE '%TEXT%' is the quick search: map the case on the stack.
    if (value->op == Operand::Op::Upper || value->op == Operand::Op::Lower) {
      const auto t = value->arg->Text(row);
      if (!t) return false;
      QVarLengthArray<QChar, 256> buffer;
      QString fallback;
      return pattern.Match(CaseMapped(*t, value->op == Operand::Op::Upper, buffer, fallback)) != negated;
    }
    const auto t = value->Text(row);
    if (!t) return false;
    return pattern.Match(*t) != negated;
  }
  OperandPtr value;
  LikePattern pattern;
  bool negated;
};

struct IsNullPred final : Pred {
  IsNullPred(OperandPtr v, bool n) : value(std::move(v)), negated(n) {}
  bool Eval(const KvFilter::RowValue& row) const override { return value->Eval(row).isNull() != negated; }
  OperandPtr value;
  bool negated;
};

struct InPred final : Pred {
  struct Item {
    Domain domain;
    QVariant value;
  };
  bool Eval(const KvFilter::RowValue& row) const override {
    const QVariant v = value->Eval(row);
    if (v.isNull()) return false;
    if (!negated) {
      for (const Item& item : items) {
        const auto c = CompareIn(item.domain, v, item.value);
        if (c && *c == 0) return true;
      }
      return false;
    }
    // NOT IN holds only when every comparison is a definite "different".
    if (hasNull) return false;
    for (const Item& item : items) {
      const auto c = CompareIn(item.domain, v, item.value);
      if (!c || *c == 0) return false;
    }
    return true;
  }
  OperandPtr value;
  std::vector<Item> items;
  bool hasNull = false;
  bool negated = false;
};

// ---------------------------------------------------------------------------
// Tokens

struct Token {
  enum class Type { End, Ident, QuotedIdent, String, Number, Symbol };
  Type type = Type::End;
  QString text;
  int pos = 0;
};

std::vector<Token> Tokenize(const QString& s) {
  std::vector<Token> tokens;
  const int n = int(s.size());
  int i = 0;
  while (i < n) {
    const QChar c = s[i];
    if (c.isSpace()) {
      ++i;
      continue;
    }
    Token t;
    t.pos = i;
    if (c.isLetter() || c == QLatin1Char('_')) {
      int j = i + 1;
      while (j < n && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('_') || s[j] == QLatin1Char('$'))) ++j;
      t.type = Token::Type::Ident;
      t.text = s.mid(i, j - i);
      i = j;
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      // Quotes inside are doubled, as in SQL.
      t.type = c == QLatin1Char('\'') ? Token::Type::String : Token::Type::QuotedIdent;
      int j = i + 1;
      bool closed = false;
      while (j < n) {
        if (s[j] == c) {
          if (j + 1 < n && s[j + 1] == c) {
            t.text += c;
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        t.text += s[j++];
      }
      if (!closed)
        Fail((t.type == Token::Type::String ? QStringLiteral("testo non chiuso da un apice")
                                            : QStringLiteral("nome di campo non chiuso da virgolette")) +
             At(i));
      i = j;
    } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
      int j = i;
      while (j < n && s[j].isDigit()) ++j;
      if (j < n && s[j] == QLatin1Char('.')) {
        ++j;
        while (j < n && s[j].isDigit()) ++j;
      }
      t.type = Token::Type::Number;
      t.text = s.mid(i, j - i);
      i = j;
    } else {
      static const char* const symbols[] = {"<>", "!=", "<=", ">=", "=", "<", ">", "(", ")", ",", "-"};
      for (const char* sym : symbols) {
        const QLatin1StringView v(sym);
        if (QStringView(s).sliced(i).startsWith(v)) {
          t.type = Token::Type::Symbol;
          t.text = v;
          break;
        }
      }
      if (t.type != Token::Type::Symbol) Fail(QStringLiteral("carattere non ammesso \"%1\"").arg(c) + At(i));
      i += int(t.text.size());
    }
    tokens.push_back(std::move(t));
  }
  Token end;
  end.pos = n;
  tokens.push_back(end);
  return tokens;
}

// ---------------------------------------------------------------------------
// Parser: NOT binds tighter than AND, AND tighter than OR. A parenthesis may
// hold a condition or a value ("LIKE ('%X%')"), so every level yields either.

struct Item {
  OperandPtr value;
  PredPtr pred;
};

class Parser {
 public:
  Parser(const QString& text, const KvFilter::Schema& schema) : m_tokens(Tokenize(text)), m_schema(schema) {}

  PredPtr Run() {
    const int pos = Peek().pos;
    PredPtr p = RequirePred(ParseOr(), pos);
    if (Peek().type != Token::Type::End)
      Fail(QStringLiteral("testo inatteso \"%1\"").arg(Peek().text) + At(Peek().pos));
    return p;
  }

 private:
  const Token& Peek(int ahead = 0) const { return m_tokens[std::min<size_t>(m_next + ahead, m_tokens.size() - 1)]; }
  const Token& Take() {
    const Token& t = Peek();
    if (m_next < m_tokens.size() - 1) ++m_next;
    return t;
  }
  bool IsSymbol(const char* sym, int ahead = 0) const {
    const Token& t = Peek(ahead);
    return t.type == Token::Type::Symbol && t.text == QLatin1StringView(sym);
  }
  bool IsKeyword(const char* word, int ahead = 0) const {
    const Token& t = Peek(ahead);
    return t.type == Token::Type::Ident && t.text.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0;
  }
  static bool IsReserved(const QString& word) {
    for (const char* k : {"AND", "OR", "NOT", "LIKE", "ESCAPE", "IS", "IN", "NULL"})
      if (word.compare(QLatin1StringView(k), Qt::CaseInsensitive) == 0) return true;
    return false;
  }
  void Expect(const char* sym) {
    if (!IsSymbol(sym)) Unexpected(QStringLiteral("atteso \"%1\"").arg(QLatin1StringView(sym)));
    Take();
  }
  [[noreturn]] void Unexpected(const QString& what) const {
    const Token& t = Peek();
    if (t.type == Token::Type::End) Fail(what + QStringLiteral(", l'espressione è incompleta"));
    Fail(what + QStringLiteral(" invece di \"%1\"").arg(t.text) + At(t.pos));
  }

  static PredPtr RequirePred(Item item, int pos) {
    if (!item.pred) Fail(QStringLiteral("attesa una condizione") + At(pos));
    return std::move(item.pred);
  }
  static OperandPtr RequireValue(Item item, int pos) {
    if (!item.value) Fail(QStringLiteral("atteso un valore") + At(pos));
    return std::move(item.value);
  }

  Item ParseOr() {
    int pos = Peek().pos;
    Item first = ParseAnd();
    if (!IsKeyword("OR")) return first;
    auto node = std::make_unique<OrPred>();
    node->items.push_back(RequirePred(std::move(first), pos));
    while (IsKeyword("OR")) {
      Take();
      pos = Peek().pos;
      node->items.push_back(RequirePred(ParseAnd(), pos));
    }
    return Item{nullptr, std::move(node)};
  }

  Item ParseAnd() {
    int pos = Peek().pos;
    Item first = ParseNot();
    if (!IsKeyword("AND")) return first;
    auto node = std::make_unique<AndPred>();
    node->items.push_back(RequirePred(std::move(first), pos));
    while (IsKeyword("AND")) {
      Take();
      pos = Peek().pos;
      node->items.push_back(RequirePred(ParseNot(), pos));
    }
    return Item{nullptr, std::move(node)};
  }

  Item ParseNot() {
    if (!IsKeyword("NOT")) return ParseCondition();
    Take();
    const int pos = Peek().pos;
    return Item{nullptr, std::make_unique<NotPred>(RequirePred(ParseNot(), pos))};
  }

  Item ParseCondition() {
    const int pos = Peek().pos;
    Item left = ParsePrimary();
    std::optional<CmpOp> op;
    if (Peek().type == Token::Type::Symbol) {
      const QString& s = Peek().text;
      if (s == QLatin1String("="))
        op = CmpOp::Eq;
      else if (s == QLatin1String("<>") || s == QLatin1String("!="))
        op = CmpOp::Ne;
      else if (s == QLatin1String("<"))
        op = CmpOp::Lt;
      else if (s == QLatin1String("<="))
        op = CmpOp::Le;
      else if (s == QLatin1String(">"))
        op = CmpOp::Gt;
      else if (s == QLatin1String(">="))
        op = CmpOp::Ge;
    }
    if (op) {
      OperandPtr lhs = RequireValue(std::move(left), pos);
      Take();
      const int rpos = Peek().pos;
      OperandPtr rhs = RequireValue(ParsePrimary(), rpos);
      const auto domain = DecideDomain(*lhs, *rhs);
      if (!domain) return Item{nullptr, std::make_unique<ConstPred>(false)};  // "= NULL" is never true
      return Item{nullptr, std::make_unique<ComparePred>(std::move(lhs), *op, std::move(rhs), *domain)};
    }
    bool negated = false;
    if (IsKeyword("NOT") && (IsKeyword("LIKE", 1) || IsKeyword("IN", 1))) {
      Take();
      negated = true;
    }
    if (IsKeyword("LIKE")) {
      OperandPtr value = RequireValue(std::move(left), pos);
      Take();
      const int ppos = Peek().pos;
      OperandPtr pattern = RequireValue(ParsePrimary(), ppos);
      if (!pattern->IsLiteral()) Fail(QStringLiteral("il modello di LIKE deve essere un testo costante") + At(ppos));
      if (pattern->kind == Kind::Null) return Item{nullptr, std::make_unique<ConstPred>(false)};
      const QString text = pattern->kind == Kind::Number ? pattern->spelling : pattern->value.toString();
      QChar escape;
      if (IsKeyword("ESCAPE")) {
        Take();
        const Token& e = Peek();
        if (e.type != Token::Type::String || e.text.size() != 1)
          Fail(QStringLiteral("dopo ESCAPE è atteso un solo carattere tra apici") + At(e.pos));
        escape = e.text.at(0);
        Take();
      }
      return Item{nullptr, std::make_unique<LikePred>(std::move(value), text, escape, negated)};
    }
    if (IsKeyword("IN")) {
      OperandPtr value = RequireValue(std::move(left), pos);
      Take();
      return Item{nullptr, ParseInList(std::move(value), negated)};
    }
    if (IsKeyword("IS")) {
      OperandPtr value = RequireValue(std::move(left), pos);
      Take();
      bool isNot = false;
      if (IsKeyword("NOT")) {
        Take();
        isNot = true;
      }
      if (!IsKeyword("NULL")) Unexpected(QStringLiteral("atteso NULL"));
      Take();
      return Item{nullptr, std::make_unique<IsNullPred>(std::move(value), isNot)};
    }
    return left;
  }

  PredPtr ParseInList(OperandPtr value, bool negated) {
    auto node = std::make_unique<InPred>();
    node->negated = negated;
    Expect("(");
    // An empty list keeps no row: a selection with nothing in it.
    if (!IsSymbol(")")) {
      for (;;) {
        const int pos = Peek().pos;
        OperandPtr item = RequireValue(ParsePrimary(), pos);
        if (!item->IsLiteral()) Fail(QStringLiteral("la lista di IN deve contenere solo valori costanti") + At(pos));
        const auto domain = DecideDomain(*value, *item);
        if (domain)
          node->items.push_back({*domain, item->value});
        else
          node->hasNull = true;
        if (!IsSymbol(",")) break;
        Take();
      }
    }
    Expect(")");
    node->value = std::move(value);
    return node;
  }

  Item ParsePrimary() {
    const Token& t = Peek();
    auto literal = [&](Kind kind, QVariant value, const QString& spelling) {
      auto op = std::make_unique<Operand>();
      op->kind = kind;
      op->value = std::move(value);
      op->spelling = spelling;
      return Item{std::move(op), nullptr};
    };
    switch (t.type) {
      case Token::Type::End:
        Unexpected(QStringLiteral("atteso un valore"));
      case Token::Type::Symbol:
        if (IsSymbol("(")) {
          Take();
          Item inner = ParseOr();
          Expect(")");
          return inner;
        }
        if (IsSymbol("-") && Peek(1).type == Token::Type::Number) {
          Take();
          const QString spelling = QLatin1Char('-') + Take().text;
          return literal(Kind::Number, ParseNumber(spelling), spelling);
        }
        Unexpected(QStringLiteral("atteso un valore"));
      case Token::Type::Number: {
        const QString spelling = Take().text;
        const QVariant n = ParseNumber(spelling);
        if (!n.isValid()) Fail(QStringLiteral("numero non valido \"%1\"").arg(spelling) + At(t.pos));
        return literal(Kind::Number, n, spelling);
      }
      case Token::Type::String: {
        const QString text = Take().text;
        return literal(Kind::Text, text, text);
      }
      case Token::Type::QuotedIdent:
        return Item{FieldOperand(Take()), nullptr};
      case Token::Type::Ident:
        if (IsKeyword("NULL")) {
          Take();
          return literal(Kind::Null, QVariant(), QStringLiteral("NULL"));
        }
        if (IsReserved(t.text)) Unexpected(QStringLiteral("atteso un valore"));
        if (IsSymbol("(", 1)) return Item{ParseFunction(), nullptr};
        return Item{FieldOperand(Take()), nullptr};
    }
    Unexpected(QStringLiteral("atteso un valore"));
  }

  OperandPtr ParseFunction() {
    const Token name = Take();
    Operand::Op op;
    if (name.text.compare(QLatin1String("UPPER"), Qt::CaseInsensitive) == 0)
      op = Operand::Op::Upper;
    else if (name.text.compare(QLatin1String("LOWER"), Qt::CaseInsensitive) == 0)
      op = Operand::Op::Lower;
    else
      Fail(QStringLiteral("funzione sconosciuta \"%1\"").arg(name.text) + At(name.pos));
    Expect("(");
    const int pos = Peek().pos;
    OperandPtr arg = RequireValue(ParseOr(), pos);
    Expect(")");
    auto result = std::make_unique<Operand>();
    result->kind = Kind::Text;
    if (arg->IsLiteral()) {
      // Folded once, so that UPPER('abc') costs nothing per row.
      if (arg->kind == Kind::Null) return arg;
      const QString text = arg->kind == Kind::Number ? arg->spelling : arg->value.toString();
      result->value = op == Operand::Op::Upper ? text.toUpper() : text.toLower();
      result->spelling = result->value.toString();
      return result;
    }
    result->op = op;
    result->arg = std::move(arg);
    return result;
  }

  OperandPtr FieldOperand(const Token& name) {
    const int index = m_schema.fieldIndex ? m_schema.fieldIndex(name.text) : -1;
    if (index < 0) Fail(QStringLiteral("campo sconosciuto \"%1\"").arg(name.text));
    auto op = std::make_unique<Operand>();
    op->op = Operand::Op::Field;
    op->field = index;
    op->kind = m_schema.fieldType ? KindOfType(m_schema.fieldType(index)) : Kind::Text;
    op->spelling = name.text;
    return op;
  }

  // The domain two values are compared in; literals are converted to it once
  // here, and a literal that does not fit is rejected rather than matched
  // against nothing. nullopt: one side is NULL, the comparison is never true.
  static std::optional<Domain> DecideDomain(Operand& a, Operand& b) {
    if (a.kind == Kind::Null || b.kind == Kind::Null) return std::nullopt;
    auto temporal = [](Kind k) { return k == Kind::Date || k == Kind::Stamp || k == Kind::Time; };
    auto mismatch = [&]() {
      Fail(QStringLiteral("non si può confrontare %1 con %2 (%3, %4)")
               .arg(a.spelling, b.spelling, KindName(a.kind), KindName(b.kind)));
    };
    if (temporal(a.kind) || temporal(b.kind)) {
      Operand& t = temporal(a.kind) ? a : b;
      Operand& o = &t == &a ? b : a;
      if (temporal(o.kind)) {
        if (t.kind == o.kind)
          return t.kind == Kind::Date ? Domain::Date : t.kind == Kind::Time ? Domain::Time : Domain::Stamp;
        if (t.kind == Kind::Time || o.kind == Kind::Time) mismatch();
        return Domain::Stamp;
      }
      if (o.kind == Kind::Number) mismatch();
      if (!o.IsLiteral())
        return t.kind == Kind::Date ? Domain::Date : t.kind == Kind::Time ? Domain::Time : Domain::Stamp;
      const QString text = o.value.toString();
      if (t.kind == Kind::Time) {
        const auto time = ParseTime(text);
        if (!time) Fail(QStringLiteral("ora non valida '%1' per il campo %2").arg(text, t.spelling));
        o.value = *time;
        return Domain::Time;
      }
      const auto stamp = ParseStamp(text);
      if (!stamp) Fail(QStringLiteral("data non valida '%1' per il campo %2").arg(text, t.spelling));
      if (!stamp->hasTime) {
        // A date-time field equals a date when it falls on that day.
        o.value = stamp->date;
        return Domain::Date;
      }
      o.value = QDateTime(stamp->date, stamp->time, Qt::UTC);
      return Domain::Stamp;
    }
    if (a.kind == Kind::Number || b.kind == Kind::Number) {
      for (Operand* side : {&a, &b}) {
        if (side->kind != Kind::Text || !side->IsLiteral()) continue;
        const QVariant n = ParseNumber(side->value.toString());
        if (!n.isValid()) {
          const Operand& other = side == &a ? b : a;
          Fail(QStringLiteral("valore numerico non valido '%1' per %2").arg(side->value.toString(), other.spelling));
        }
        side->value = n;
      }
      return Domain::Number;
    }
    return Domain::Text;
  }

  std::vector<Token> m_tokens;
  size_t m_next = 0;
  const KvFilter::Schema& m_schema;
};

}  // namespace

struct KvFilter::Node {
  PredPtr pred;  // null: a blank filter, every row passes
};

KvFilter::KvFilter(std::unique_ptr<Node> root) : m_root(std::move(root)) {}
KvFilter::~KvFilter() = default;
KvFilter::KvFilter(KvFilter&&) noexcept = default;
KvFilter& KvFilter::operator=(KvFilter&&) noexcept = default;

QString KvFilter::Quoted(const QString& text) {
  QString out = text;
  out.replace(QLatin1Char('\''), QLatin1String("''"));
  return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString KvFilter::ContainsCondition(const QString& field, const QString& text) {
  QString pattern;
  const QString upper = text.toUpper();
  pattern.reserve(upper.size() + 4);
  pattern += QLatin1Char('%');
  for (const QChar c : upper) {
    if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) pattern += QLatin1Char('\\');
    pattern += c;
  }
  pattern += QLatin1Char('%');
  return QStringLiteral("UPPER(") + field + QStringLiteral(") LIKE ") + Quoted(pattern) + QStringLiteral(" ESCAPE '\\'");
}

KvResult<KvFilter> KvFilter::Parse(const QString& text, const Schema& schema) {
  auto root = std::make_unique<Node>();
  if (!text.trimmed().isEmpty()) {
    try {
      root->pred = Parser(text, schema).Run();
    } catch (const ParseError& e) {
      return KvFail(QStringLiteral("Espressione di filtro non valida: ") + e.detail);
    }
  }
  return KvFilter(std::move(root));
}

bool KvFilter::Matches(const RowValue& row) const {
  if (!m_root || !m_root->pred) return true;
  return m_root->pred->Eval(row);
}
