#include "KvQueryCollection.h"

#include "KvFieldKind.h"

#include "KvConnection.h"
#include "KvFilter.h"
#include "KvSqlText.h"
#include "KvNumberText.h"
#include "KvTextOrder.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

#include <algorithm>
#include <exception>
#include <map>
#include <optional>
#include <vector>

namespace {

const QString kGenId = QStringLiteral("KVGENID");
const QString kCurrId = QStringLiteral("KVCURRID");

QString errorText(const QSqlError& e) {
  const QString db = e.databaseText().trimmed();
  const QString drv = e.driverText().trimmed();
  // The engine's own text says what went wrong; the driver's adds only
  // "Unable to execute query".
  return db.isEmpty() ? drv : db;
}

// ---- SQL text helpers --------------------------------------------------

using KvSqlText::NormName;

// Position of a keyword at parenthesis depth 0 in [from, to), or -1.
int findTopLevelWord(const QString& masked, const QString& word, int from, int to) {
  int depth = 0;
  for (int i = from; i < to; ++i) {
    const QChar c = masked[i];
    if (c == QLatin1Char('(')) {
      ++depth;
    } else if (c == QLatin1Char(')')) {
      --depth;
    } else if (depth == 0 && i + word.size() <= to && KvSqlText::WordAt(masked, i, word)) {
      return i;
    }
  }
  return -1;
}

// Items of the comma-separated list in [from, to) of the original text,
// splitting only at depth 0.
QStringList splitTopLevel(const QString& text, const QString& masked, int from, int to) {
  QStringList items;
  int depth = 0;
  int start = from;
  for (int i = from; i < to; ++i) {
    const QChar c = masked[i];
    if (c == QLatin1Char('('))
      ++depth;
    else if (c == QLatin1Char(')'))
      --depth;
    else if (c == QLatin1Char(',') && depth == 0) {
      items << text.mid(start, i - start).trimmed();
      start = i + 1;
    }
  }
  items << text.mid(start, to - start).trimmed();
  return items;
}

// End (exclusive) of the parenthesised group opening at open, or -1.
int matchParen(const QString& masked, int open) {
  int depth = 0;
  for (int i = open; i < masked.size(); ++i) {
    if (masked[i] == QLatin1Char('('))
      ++depth;
    else if (masked[i] == QLatin1Char(')') && --depth == 0)
      return i + 1;
  }
  return -1;
}

QString bareColumn(QString col) {
  col = col.trimmed();
  const int dot = col.lastIndexOf(QLatin1Char('.'));
  if (dot >= 0) col = col.mid(dot + 1);
  col.remove(QLatin1Char('"'));
  return col.trimmed().toUpper();
}

// ":KVGENID" as a value, also typed ("CAST(:KVGENID AS INTEGER)", which a
// select list needs) and after "FIRST n" in a select list.
bool isGenIdItem(const QString& item) {
  static const QRegularExpression re(
      QStringLiteral("(?:^|\\s):KVGENID$|(?:^|\\s)CAST\\s*\\(\\s*:KVGENID\\s+AS\\s+[^)]+\\)$"),
      QRegularExpression::CaseInsensitiveOption);
  return re.match(item.trimmed()).hasMatch();
}

// Table written by INSERT INTO x / UPDATE x / DELETE FROM x, upper case.
QString statementTable(const QString& sql) {
  static const QRegularExpression re(QStringLiteral("^\\s*(?:INSERT\\s+INTO|UPDATE\\s+OR\\s+INSERT\\s+INTO|UPDATE|"
                                                    "DELETE\\s+FROM)\\s+(\"[^\"]+\"|[A-Za-z_][\\w$]*)"),
                                     QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = re.match(sql);
  if (!m.hasMatch()) return {};
  QString t = m.captured(1);
  t.remove(QLatin1Char('"'));
  return t.trimmed().toUpper();
}

// Column that receives :KVGENID: its position in "INSERT INTO T (C1, C2)
// VALUES (...)" (or "... SELECT ..."), or "SET C = :KVGENID" of an update.
QString genIdColumn(const QString& sql) {
  const QString masked = KvSqlText::Masked(sql);
  static const QRegularExpression insertRe(
      QStringLiteral("^\\s*(?:UPDATE\\s+OR\\s+)?INSERT\\s+INTO\\s+[^\\s(]+\\s*\\("),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch im = insertRe.match(masked);
  if (im.hasMatch()) {
    const int open = im.capturedEnd() - 1;
    const int close = matchParen(masked, open);
    if (close < 0) return {};
    const QStringList cols = splitTopLevel(sql, masked, open + 1, close - 1);
    int i = close;
    while (i < masked.size() && masked[i].isSpace()) ++i;
    QStringList values;
    if (QStringView(masked).mid(i).startsWith(QLatin1String("VALUES"), Qt::CaseInsensitive)) {
      const int vOpen = masked.indexOf(QLatin1Char('('), i);
      const int vClose = vOpen < 0 ? -1 : matchParen(masked, vOpen);
      if (vClose < 0) return {};
      values = splitTopLevel(sql, masked, vOpen + 1, vClose - 1);
    } else if (QStringView(masked).mid(i).startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)) {
      const int from = findTopLevelWord(masked, QStringLiteral("FROM"), i + 6, masked.size());
      values = splitTopLevel(sql, masked, i + 6, from < 0 ? masked.size() : from);
    }
    for (int k = 0; k < values.size() && k < cols.size(); ++k)
      if (isGenIdItem(values[k])) return bareColumn(cols[k]);
    return {};
  }
  static const QRegularExpression updateRe(QStringLiteral("^\\s*UPDATE\\s+\\S+"),
                                           QRegularExpression::CaseInsensitiveOption);
  if (!updateRe.match(masked).hasMatch()) return {};
  const int set = findTopLevelWord(masked, QStringLiteral("SET"), 0, masked.size());
  if (set < 0) return {};
  const int where = findTopLevelWord(masked, QStringLiteral("WHERE"), set, masked.size());
  const QStringList sets = splitTopLevel(sql, masked, set + 3, where < 0 ? masked.size() : where);
  for (const QString& s : sets) {
    const int eq = s.indexOf(QLatin1Char('='));
    if (eq > 0 && s.mid(eq + 1).trimmed().compare(QLatin1String(":KVGENID"), Qt::CaseInsensitive) == 0)
      return bareColumn(s.left(eq));
  }
  return {};
}

// The tables of a select's FROM and JOIN clauses with their aliases.
struct TableRef {
  QString table;
  QString alias;
};

QList<TableRef> selectTables(const QString& select) {
  static const QRegularExpression re(
      QStringLiteral("\\b(?:FROM|JOIN)\\s+([A-Za-z_][\\w$]*)(?:\\s+(?:AS\\s+)?([A-Za-z_][\\w$]*))?"),
      QRegularExpression::CaseInsensitiveOption);
  static const QStringList keywords = {QStringLiteral("ON"),     QStringLiteral("WHERE"), QStringLiteral("INNER"),
                                       QStringLiteral("LEFT"),   QStringLiteral("RIGHT"), QStringLiteral("FULL"),
                                       QStringLiteral("JOIN"),   QStringLiteral("GROUP"), QStringLiteral("ORDER"),
                                       QStringLiteral("UNION"),  QStringLiteral("CROSS"), QStringLiteral("NATURAL"),
                                       QStringLiteral("HAVING"), QStringLiteral("PLAN"),  QStringLiteral("ROWS")};
  QList<TableRef> refs;
  auto it = re.globalMatch(KvSqlText::Masked(select));
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    TableRef r{m.captured(1).toUpper(), m.captured(2).toUpper()};
    if (keywords.contains(r.alias)) r.alias.clear();
    refs << r;
  }
  return refs;
}

// What the driver reports of a field: a text's length in bytes of the
// connection's character set (UTF8, four a character); an exact number's
// storage (2, 4 or 8 bytes; 18 for the 8-byte NUMERIC) and its scale as
// precision.
TKvFieldSize sizeOf(const QSqlField& f) {
  TKvFieldSize size;
  const int length = f.length();
  switch (KvKindOf(f.metaType())) {
    case KvFieldKind::Text:
      if (f.metaType().id() == QMetaType::QString && length > 0) size.length = length / 4;
      break;
    case KvFieldKind::Int:
      size.decimals = 0;
      size.largest = length == 2 ? 32767 : length == 4 ? 2147483647 : 999999999999999999;
      break;
    case KvFieldKind::Real:
      if (f.precision() > 0) {
        size.decimals = f.precision();
        size.digits = length == 2 ? 4 : length == 4 ? 9 : 18;
      }
      break;
    default:
      break;
  }
  return size;
}

// ---- values ------------------------------------------------------------

using Kind = KvFieldKind;

Kind kindOf(QMetaType t) { return KvKindOf(t); }

bool isBlankText(const QVariant& v) {
  return v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty();
}

// A value as a number for comparing (dates as days, timestamps as ms);
// nullopt for a null or for text that is not a value of the field's kind.
std::optional<double> numericKey(const QVariant& v, Kind kind) {
  if (v.isNull() || isBlankText(v)) return std::nullopt;
  bool ok = false;
  switch (kind) {
    case Kind::Int:
    case Kind::Real: {
      const double d = v.toDouble(&ok);
      return ok ? std::optional<double>(d) : std::nullopt;
    }
    case Kind::Date: {
      const QDate d = v.toDate();
      return d.isValid() ? std::optional<double>(double(d.toJulianDay())) : std::nullopt;
    }
    case Kind::DateTime: {
      const QDateTime d = v.toDateTime();
      return d.isValid() ? std::optional<double>(double(d.toMSecsSinceEpoch())) : std::nullopt;
    }
    case Kind::Time: {
      const QTime t = v.toTime();
      return t.isValid() ? std::optional<double>(double(t.msecsSinceStartOfDay())) : std::nullopt;
    }
    case Kind::Text:
      break;
  }
  return std::nullopt;
}

using Row = QVariantList;

}  // namespace

// ---- TKvFieldValue -----------------------------------------------------

void TKvFieldValue::Add(const QString& name, const QVariant& value) {
  const QString n = NormName(name);
  for (auto& item : m_items) {
    if (NormName(item.first) == n) {
      item.second = value;
      return;
    }
  }
  m_items.append({n, value});
}

QVariant TKvFieldValue::Value(const QString& name) const {
  const QString n = NormName(name);
  for (const auto& item : m_items)
    if (item.first == n) return item.second;
  return {};
}

bool TKvFieldValue::Contains(const QString& name) const {
  const QString n = NormName(name);
  for (const auto& item : m_items)
    if (item.first == n) return true;
  return false;
}

// ---- TKvQueryCollection ------------------------------------------------

struct TKvQueryCollection::Impl {
  explicit Impl(TKvQueryCollection* owner) : q(owner) {}

  TKvQueryCollection* q;
  QString connectionName;
  QString commandText;
  QList<QPair<QString, QVariant>> params;  // names upper case
  QString keyField;
  QString tableName;
  QStringList sqlInsert, sqlUpdate, sqlDelete;
  bool autoBuildSql = false;

  bool active = false;
  QStringList fields;
  QList<QMetaType> types;
  QList<TKvFieldSize> sizes;
  QHash<QString, int> fieldIndex;  // upper-case name -> first column of that name

  // Rows in load order (inserted rows appended); the visible rows are
  // indexes into them, filtered and sorted.
  std::vector<Row> rows;
  std::vector<int> visible;
  int cur = -1;
  bool bof = true;
  bool eof = true;

  State state = KvState::Inactive;
  Row buffer;
  int pendingRow = -1;       // storage index of the row being inserted
  int rowBeforeInsert = -1;  // current row to go back to when the insert is cancelled
  bool busy = false;         // a post or delete is running
  QString lastError;

  QString filterText;
  bool filtered = false;
  std::unique_ptr<KvFilter> filter;
  QList<SortKey> sort;
  std::map<int, KvTextOrder> textOrders;  // by field index
  // Every stored row in sort order (load order when unsorted), kept between
  // filters so that a quick search only tests the rows; made again after the
  // rows, the fields or the sort changed.
  std::vector<int> order;
  bool orderValid = false;
  void rowsChanged() { orderValid = false; }

  QSqlDatabase database() const {
    return connectionName.isEmpty() ? qqoKvGlobConn() : QSqlDatabase::database(connectionName, false);
  }

  int indexOf(const QString& name) const { return fieldIndex.value(NormName(name), -1); }
  int count() const { return int(visible.size()); }
  bool editing() const { return state == KvState::Insert || state == KvState::Edit; }

  static QVariant cell(const Row& r, int field) { return field >= 0 && field < r.size() ? r[field] : QVariant(); }

  const Row& visibleRow(int row) const {
    if (row == cur && editing()) return buffer;
    return rows[size_t(visible[size_t(row)])];
  }

  QString keyName() const {
    if (!keyField.isEmpty()) return keyField;
    return fields.isEmpty() ? QString() : fields.first();
  }

  int keyIndex() const { return indexOf(keyName()); }

  QString mainTable() const {
    if (!tableName.isEmpty()) return tableName.trimmed().toUpper();
    const QList<TableRef> refs = selectTables(commandText);
    if (refs.isEmpty()) return {};
    const QString key = NormName(keyName());
    if (!key.isEmpty()) {
      const QRegularExpression qualified(
          QStringLiteral("\\b([A-Za-z_][\\w$]*)\\.\"?%1\"?\\b").arg(QRegularExpression::escape(key)),
          QRegularExpression::CaseInsensitiveOption);
      const QRegularExpressionMatch m = qualified.match(KvSqlText::Masked(commandText));
      if (m.hasMatch()) {
        const QString qual = m.captured(1).toUpper();
        for (const TableRef& r : refs)
          if (r.alias == qual) return r.table;
        return qual;
      }
    }
    return refs.first().table;
  }

  KvFailure fail(const QString& text) {
    lastError = text;
    return KvFail(text);
  }

  // ---- loading ----

  struct Loaded {
    QStringList fields;
    QList<QMetaType> types;
    QList<TKvFieldSize> sizes;
    std::vector<Row> rows;
  };

  KvStatus load(Loaded& out) {
    QSqlDatabase db = database();
    if (!db.isOpen()) return fail(QStringLiteral("La connessione al database non è aperta."));
    const KvSqlText::Positional p = KvSqlText::ToPositional(commandText);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(p.sql)) return fail(errorText(query.lastError()));
    for (int i = 0; i < p.names.size(); ++i) query.bindValue(i, paramValue(p.names[i]));
    if (!query.exec()) return fail(errorText(query.lastError()));
    const QSqlRecord rec = query.record();
    const int n = rec.count();
    for (int i = 0; i < n; ++i) {
      out.fields << rec.fieldName(i).toUpper();
      out.types << rec.field(i).metaType();
      out.sizes << sizeOf(rec.field(i));
    }
    while (query.next()) {
      Row r;
      r.reserve(n);
      for (int i = 0; i < n; ++i) r.append(query.value(i));
      out.rows.push_back(std::move(r));
    }
    if (query.lastError().isValid()) return fail(errorText(query.lastError()));
    return {};
  }

  QVariant paramValue(const QString& upperName) const {
    for (const auto& p : params)
      if (p.first == upperName) return p.second;
    return {};
  }

  void adopt(Loaded&& l) {
    rowsChanged();
    fields = std::move(l.fields);
    types = std::move(l.types);
    sizes = std::move(l.sizes);
    rows = std::move(l.rows);
    fieldIndex.clear();
    for (int i = 0; i < fields.size(); ++i)
      if (!fieldIndex.contains(fields[i])) fieldIndex.insert(fields[i], i);
  }

  int addField(const QString& name, QMetaType type) {
    rowsChanged();
    fields << name;
    types << type;
    sizes << TKvFieldSize{};
    fieldIndex.insert(name, int(fields.size()) - 1);
    return int(fields.size()) - 1;
  }

  void truncateFields(int n) {
    rowsChanged();
    while (fields.size() > n) {
      fieldIndex.remove(fields.last());
      fields.removeLast();
      types.removeLast();
      sizes.removeLast();
    }
  }

  // ---- filter and sort ----

  // Parses the filter text against the current fields; false (and no
  // filter) when it does not parse. A blank text filters nothing.
  KvStatus compileFilter() {
    filter.reset();
    if (filterText.trimmed().isEmpty()) return {};
    KvFilter::Schema schema;
    schema.fieldIndex = [this](const QString& name) { return indexOf(name); };
    schema.fieldType = [this](int i) { return i >= 0 && i < types.size() ? types[i] : QMetaType(); };
    KvResult<KvFilter> parsed = KvFilter::Parse(filterText, schema);
    if (!parsed) {
      const QString why = parsed.error();
      return fail(why.isEmpty() ? QStringLiteral("Filtro non valido: %1").arg(filterText) : why);
    }
    filter = std::make_unique<KvFilter>(std::move(*parsed));
    return {};
  }

  bool matches(const Row& r) const {
    if (!filtered || !filter) return true;
    return filter->Matches([&r](int f) { return cell(r, f); });
  }

  // Rebuilds the visible rows from the loaded ones, filtered and sorted.
  void rebuildVisible() {
    if (!orderValid || order.size() != rows.size()) {
      visible.resize(rows.size());
      for (size_t i = 0; i < rows.size(); ++i) visible[i] = int(i);
      applySort();
      order = visible;
      orderValid = true;
    }
    if (!filtered || !filter) {
      visible = order;
      return;
    }
    // The sort order is a total order (the storage index breaks ties), so
    // the matching rows taken in it are the filtered rows sorted.
    visible.clear();
    visible.reserve(rows.size());
    for (const int i : order)
      if (matches(rows[size_t(i)])) visible.push_back(i);
  }

  // Stable with respect to load order: the storage index breaks ties.
  void applySort() {
    struct Column {
      int field;
      bool desc;
      std::vector<char> null;
      std::vector<double> num;  // text: the rank of the text among the stored rows
    };
    const size_t n = visible.size();
    std::vector<Column> cols;
    for (const SortKey& k : sort) {
      const int f = indexOf(k.field);
      if (f < 0) continue;
      const Kind kind = kindOf(types[f]);
      Column c{f, k.descending, {}, {}};
      c.null.resize(n);
      c.num.resize(n);
      const std::vector<int>* ranks =
          kind == Kind::Text ? &textOrders[f].Ranks(rows.size(), [this, f](size_t i) {
            const QVariant v = cell(rows[i], f);
            return v.isNull() ? QString() : v.toString();
          })
                             : nullptr;
      for (size_t p = 0; p < n; ++p) {
        const size_t storage = size_t(visible[p]);
        const QVariant v = cell(rows[storage], f);
        if (ranks) {
          c.null[p] = v.isNull();
          c.num[p] = (*ranks)[storage];
        } else {
          const std::optional<double> d = numericKey(v, kind);
          c.null[p] = !d;
          c.num[p] = d.value_or(0);
        }
      }
      cols.push_back(std::move(c));
    }
    std::vector<int> perm(n);
    for (size_t p = 0; p < n; ++p) perm[p] = int(p);
    std::sort(perm.begin(), perm.end(), [&](int a, int b) {
      for (const Column& c : cols) {
        int r = 0;
        if (c.null[size_t(a)] != c.null[size_t(b)]) {
          r = c.null[size_t(a)] ? -1 : 1;  // nulls first in ascending order
        } else if (!c.null[size_t(a)]) {
          const double x = c.num[size_t(a)], y = c.num[size_t(b)];
          r = x < y ? -1 : (x > y ? 1 : 0);
        }
        if (r != 0) return c.desc ? r > 0 : r < 0;
      }
      return visible[size_t(a)] < visible[size_t(b)];
    });
    std::vector<int> sorted(n);
    for (size_t p = 0; p < n; ++p) sorted[p] = visible[size_t(perm[p])];
    visible = std::move(sorted);
  }

  // After the visible rows changed as a whole: the row stored at storage
  // stays current when still visible, else the first row.
  void resetView(int storage) {
    int row = -1;
    if (storage >= 0) {
      auto it = std::find(visible.begin(), visible.end(), storage);
      if (it != visible.end()) row = int(it - visible.begin());
    }
    if (row < 0 && !visible.empty()) row = 0;
    cur = row;
    bof = eof = visible.empty();
    emit q->rowsReset();
    emit q->currentChanged(cur);
  }

  int currentStorage() const { return cur >= 0 && cur < count() ? visible[size_t(cur)] : -1; }

  // ---- statements ----

  QVariant bindable(const QVariant& v, int field) const {
    // An empty text typed into a date or number field means "no value".
    if (field >= 0 && kindOf(types[field]) != Kind::Text && isBlankText(v)) return QVariant(types[field]);
    return v;
  }

  // The driver hands an exact number (NUMERIC, DECIMAL) to the engine as a
  // double it scales itself, which past nine digits is not the decimal typed.
  // Such a value goes into the statement as the decimal it stands for, at
  // the column's scale: digits, point and sign made here, never typed text.
  QString exactLiteral(const QVariant& v, int field) const {
    if (v.isNull() || field >= sizes.size() || sizes[field].decimals <= 0 || kindOf(types[field]) != Kind::Real)
      return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) return {};
    return QLatin1Char('(') + KvNumberText::DecimalText(d, sizes[field].decimals) + QLatin1Char(')');
  }

  // The statement with the i-th "?" replaced by literals[i] where one is given.
  static QString withLiterals(const QString& sql, const QStringList& literals) {
    if (std::all_of(literals.begin(), literals.end(), [](const QString& l) { return l.isEmpty(); })) return sql;
    const QString masked = KvSqlText::Masked(sql);
    QString out;
    int mark = 0;
    for (int i = 0; i < sql.size(); ++i) {
      if (masked[i] == QLatin1Char('?') && sql[i] == QLatin1Char('?') && mark < literals.size()) {
        const QString& l = literals[mark++];
        out += l.isEmpty() ? QStringLiteral("?") : l;
      } else {
        out += sql[i];
      }
    }
    return out;
  }

  KvResult<QVariant> newId(QSqlDatabase& db, const QString& table) {
    QSqlQuery idq(db);
    if (!idq.prepare(QStringLiteral("SELECT PYSETGETID.L_ICNTID AS ID FROM PYSETGETID(?, ?)")))
      return KvFail(errorText(idq.lastError()));
    idq.bindValue(0, table);
    idq.bindValue(1, 1);
    if (!idq.exec() || !idq.next()) {
      const QString why = errorText(idq.lastError());
      return KvFail(why.isEmpty() ? QStringLiteral("Impossibile ottenere un nuovo identificativo per %1.").arg(table)
                                  : why);
    }
    return QVariant(idq.value(0).toInt());
  }

  // Runs one statement of a list on row; false with the reason on failure.
  KvStatus runOne(QSqlDatabase& db, const QString& sql, int index, TKvQueryProp::Kind kind, Row& row,
                  const QVariant& storedKey, bool mayAddFields) {
    TKvFieldValue values;
    TKvQueryProp prop;
    prop.TableName = statementTable(sql);
    prop.QueryKind = kind;
    prop.Index = index;
    prop.Sql = sql;
    prop.FieldValues = &values;
    if (q->KvBeforeExec) q->KvBeforeExec(prop);
    if (!prop.Refusal.isEmpty()) return KvFail(prop.Refusal);
    if (!prop.Execute) return {};
    TKvFieldValue& extra = prop.FieldValues ? *prop.FieldValues : values;
    const QString text = prop.Sql;
    const KvSqlText::Positional p = KvSqlText::ToPositional(text);
    const int key = keyIndex();
    const bool namesGenId = p.names.contains(kGenId);

    QVariant genId;
    if (extra.Contains(kGenId)) {
      genId = extra.Value(kGenId);
    } else if (namesGenId) {
      KvResult<QVariant> id = newId(db, statementTable(text));
      if (!id) return id.failure();
      genId = *id;
    }
    const QVariant currId = kind == TKvQueryProp::Insert && key >= 0 ? cell(row, key) : storedKey;

    QList<QVariant> bound;
    QStringList literals;  // an exact number of the row, written into the text
    for (int i = 0; i < p.names.size(); ++i) {
      const QString& name = p.names[i];
      QVariant v;
      QString literal;
      if (extra.Contains(name))
        v = extra.Value(name);
      else if (name == kGenId)
        v = genId;
      else if (name == kCurrId)
        v = currId;
      else if (const int f = indexOf(name); f >= 0) {
        v = bindable(cell(row, f), f);
        literal = exactLiteral(v, f);
      }
      // The driver sends a null for a NOT NULL column as '' or 0, which the
      // engine then stores: a null goes in as NULL, so the column's rule holds.
      if (v.isNull()) literal = QStringLiteral("NULL");
      bound << v;
      literals << literal;
    }
    QSqlQuery stmt(db);
    if (!stmt.prepare(withLiterals(p.sql, literals))) return KvFail(errorText(stmt.lastError()));
    for (int i = 0, at = 0; i < bound.size(); ++i)
      if (literals[i].isEmpty()) stmt.bindValue(at++, bound[i]);
    if (!stmt.exec()) {
      const QString why = errorText(stmt.lastError());
      return KvFail(why.isEmpty() ? QStringLiteral("Errore nell'esecuzione dell'istruzione:\n%1").arg(text.trimmed())
                                  : why);
    }
    if (namesGenId && genId.isValid()) {
      const QString col = genIdColumn(text);
      if (!col.isEmpty()) {
        int f = indexOf(col);
        if (f < 0 && mayAddFields) f = addField(col, QMetaType(QMetaType::Int));
        if (f >= 0) {
          while (row.size() <= f) row.append(QVariant());
          row[f] = genId;
        }
      }
    }
    // The after-hook reads the ids the statement used.
    if (namesGenId && !extra.Contains(kGenId)) extra.Add(kGenId, genId);
    if (!extra.Contains(kCurrId)) extra.Add(kCurrId, currId);
    if (q->KvAfterExec) q->KvAfterExec(prop);
    if (!prop.Refusal.isEmpty()) return KvFail(prop.Refusal);
    return {};
  }

  // Runs a statement list in one transaction. On failure everything is
  // rolled back and row and fields are as before.
  KvStatus runList(const QStringList& list, TKvQueryProp::Kind kind, Row& row, const QVariant& storedKey,
                   bool mayAddFields) {
    QSqlDatabase db = database();
    if (!db.isOpen()) return fail(QStringLiteral("La connessione al database non è aperta."));
    if (!db.transaction()) {
      QString t = errorText(db.lastError());
      return fail(QStringLiteral("Impossibile avviare la transazione sul database.") +
                  (t.isEmpty() ? QString() : QLatin1Char('\n') + t));
    }
    const Row saved = row;
    const int savedFields = int(fields.size());
    QString why;
    bool ok = true;
    try {
      for (int i = 0; ok && i < list.size(); ++i) {
        const KvStatus one = runOne(db, list[i], i, kind, row, storedKey, mayAddFields);
        ok = one.ok();
        if (!ok) why = one.error();
      }
    } catch (const std::exception& e) {
      // Hooks refuse through TKvQueryProp::Refuse; anything thrown still
      // rolls the post back and never crosses the caller's slot.
      ok = false;
      why = QString::fromUtf8(e.what());
    }
    if (ok && !db.commit()) {
      ok = false;
      why = errorText(db.lastError());
    }
    if (!ok) {
      db.rollback();
      row = saved;
      truncateFields(savedFields);
      if (why.isEmpty()) why = QStringLiteral("Operazione sul database non riuscita.");
      return fail(why);
    }
    return {};
  }

  // Statements built from the select for a single-table list: the columns
  // of the main table named plainly in the select list.
  QStringList builtStatements(TKvQueryProp::Kind kind) const {
    const QString table = mainTable();
    const QString key = NormName(keyName());
    if (table.isEmpty() || key.isEmpty()) return {};
    const QString masked = KvSqlText::Masked(commandText);
    const int sel = findTopLevelWord(masked, QStringLiteral("SELECT"), 0, masked.size());
    const int from = sel < 0 ? -1 : findTopLevelWord(masked, QStringLiteral("FROM"), sel, masked.size());
    if (from < 0) return {};
    QString alias;
    for (const TableRef& r : selectTables(commandText))
      if (r.table == table) alias = r.alias;
    static const QRegularExpression plain(QStringLiteral("^(?:([A-Za-z_][\\w$]*)\\.)?([A-Za-z_][\\w$]*)$"));
    QStringList cols;
    for (const QString& item : splitTopLevel(commandText, masked, sel + 6, from)) {
      const QRegularExpressionMatch m = plain.match(item);
      if (!m.hasMatch()) continue;
      const QString qual = m.captured(1).toUpper();
      if (!qual.isEmpty() && qual != table && qual != alias) continue;
      const QString col = m.captured(2).toUpper();
      if (!cols.contains(col)) cols << col;
    }
    if (!cols.contains(key)) return {};
    if (kind == TKvQueryProp::Delete) return {QStringLiteral("DELETE FROM %1 WHERE %2 = :KVCURRID").arg(table, key)};
    if (kind == TKvQueryProp::Insert) {
      QStringList values;
      for (const QString& c : cols) values << (c == key ? QStringLiteral(":KVGENID") : QLatin1Char(':') + c);
      return {QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(table, cols.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")))};
    }
    QStringList sets;
    for (const QString& c : cols)
      if (c != key) sets << QStringLiteral("%1 = :%1").arg(c);
    if (sets.isEmpty()) return {};
    return {QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :KVCURRID").arg(table, sets.join(QStringLiteral(", ")), key)};
  }

  QStringList statementsFor(TKvQueryProp::Kind kind) const {
    const QStringList& list = kind == TKvQueryProp::Insert   ? sqlInsert
                              : kind == TKvQueryProp::Update ? sqlUpdate
                                                             : sqlDelete;
    if (list.isEmpty() && autoBuildSql) return builtStatements(kind);
    return list;
  }

  void setState(State s) {
    if (state == s) return;
    state = s;
    emit q->stateChanged(s);
  }

  // Leaves insert or edit by posting; false when the post fails.
  KvStatus checkBrowse() {
    if (!editing()) return {};
    // The window's save may post and reload: within it, the plain post.
    if (!q->SavePending || inSavePending) return q->Post();
    inSavePending = true;
    const bool saved = q->SavePending();
    inSavePending = false;
    if (saved && !editing()) return {};
    // The window's save has told the user why, or the row is still being typed.
    return KvFail(QString());
  }
  bool inSavePending = false;

  // A new row in the buffer, shown at its place while it is being typed.
  bool insertRow(bool atEnd) {
    if (!active || !checkBrowse()) return false;
    const int pos = atEnd ? count() : cur + 1;
    rowBeforeInsert = cur;
    Row blank;
    blank.reserve(fields.size());
    for (const QMetaType& t : types) blank.append(QVariant(t));
    rows.push_back(blank);
    rowsChanged();
    pendingRow = int(rows.size()) - 1;
    visible.insert(visible.begin() + pos, pendingRow);
    buffer = blank;
    cur = pos;
    bof = eof = false;
    state = KvState::Insert;
    emit q->rowInserted(pos);
    emit q->currentChanged(pos);
    emit q->stateChanged(KvState::Insert);
    if (q->OnNewRecord) q->OnNewRecord(*q);
    return true;
  }

  bool moveTo(int row) {
    if (!active || row < 0 || row >= count()) return false;
    if (row == cur) {
      bof = eof = false;
      return true;
    }
    if (!checkBrowse()) return false;
    cur = row;
    bof = eof = false;
    emit q->currentChanged(cur);
    return true;
  }
};

TKvQueryCollection::TKvQueryCollection(QObject* parent) : QObject(parent), d(std::make_unique<Impl>(this)) {}

TKvQueryCollection::~TKvQueryCollection() = default;

void TKvQueryCollection::SetConnectionName(const QString& name) {
  d->connectionName = name;
}

QString TKvQueryCollection::ConnectionName() const {
  return d->connectionName.isEmpty() ? TdmKvConnection::ConnectionName() : d->connectionName;
}

void TKvQueryCollection::SetCommandText(const QString& sql) {
  d->commandText = sql;
}
QString TKvQueryCollection::CommandText() const {
  return d->commandText;
}

void TKvQueryCollection::SetParam(const QString& name, const QVariant& value) {
  const QString n = NormName(name);
  for (auto& p : d->params) {
    if (p.first == n) {
      p.second = value;
      return;
    }
  }
  d->params.append({n, value});
}

QVariant TKvQueryCollection::Param(const QString& name) const {
  return d->paramValue(NormName(name));
}
void TKvQueryCollection::ClearParams() {
  d->params.clear();
}

void TKvQueryCollection::SetKeyField(const QString& field) {
  d->keyField = field.trimmed();
}
QString TKvQueryCollection::KeyField() const {
  return d->keyName();
}
void TKvQueryCollection::SetTableName(const QString& table) {
  d->tableName = table;
}
QString TKvQueryCollection::TableName() const {
  return d->mainTable();
}

QStringList& TKvQueryCollection::SQLInsert() {
  return d->sqlInsert;
}
QStringList& TKvQueryCollection::SQLUpdate() {
  return d->sqlUpdate;
}
QStringList& TKvQueryCollection::SQLDelete() {
  return d->sqlDelete;
}
void TKvQueryCollection::SetAutoBuildSQL(bool on) {
  d->autoBuildSql = on;
}

KvStatus TKvQueryCollection::Open() {
  Close();
  Impl::Loaded loaded;
  if (KvStatus s = d->load(loaded); !s) return s;
  d->adopt(std::move(loaded));
  d->active = true;
  d->lastError.clear();
  if (d->filtered && !d->compileFilter()) d->filtered = false;
  d->rebuildVisible();
  d->setState(KvState::Browse);
  emit opened();
  d->resetView(-1);
  return {};
}

void TKvQueryCollection::Close() {
  if (!d->active) return;
  d->active = false;
  d->buffer.clear();
  d->pendingRow = -1;
  d->rows.clear();
  d->rowsChanged();
  d->visible.clear();
  d->fields.clear();
  d->types.clear();
  d->sizes.clear();
  d->fieldIndex.clear();
  d->filter.reset();
  d->textOrders.clear();
  d->cur = -1;
  d->bof = d->eof = true;
  d->setState(KvState::Inactive);
  emit closed();
  emit rowsReset();
  emit currentChanged(-1);
}

bool TKvQueryCollection::Active() const {
  return d->active;
}

KvStatus TKvQueryCollection::Refresh() {
  if (!d->active) return Open();
  if (KvStatus s = d->checkBrowse(); !s) return s;
  const int key = d->keyIndex();
  const QVariant currentKey = d->cur >= 0 && key >= 0 ? Impl::cell(d->visibleRow(d->cur), key) : QVariant();
  const int oldRow = d->cur;
  Impl::Loaded loaded;
  if (KvStatus s = d->load(loaded); !s) return s;
  d->adopt(std::move(loaded));
  d->lastError.clear();
  if (d->filtered && !d->compileFilter()) d->filtered = false;
  d->rebuildVisible();
  int storage = -1;
  const int newKey = d->keyIndex();
  if (!currentKey.isNull() && newKey >= 0) {
    for (int v : d->visible) {
      if (Impl::cell(d->rows[size_t(v)], newKey) == currentKey) {
        storage = v;
        break;
      }
    }
  }
  // When the current row is gone, stay at the same position.
  if (storage < 0 && !d->visible.empty()) storage = d->visible[size_t(std::clamp(oldRow, 0, d->count() - 1))];
  d->resetView(storage);
  return {};
}

QString TKvQueryCollection::LastError() const {
  return d->lastError;
}

int TKvQueryCollection::FieldCount() const {
  return int(d->fields.size());
}
QStringList TKvQueryCollection::FieldNames() const {
  return d->fields;
}
int TKvQueryCollection::FieldIndex(const QString& name) const {
  return d->indexOf(name);
}

QMetaType TKvQueryCollection::FieldType(int index) const {
  return index >= 0 && index < d->types.size() ? d->types[index] : QMetaType();
}

QMetaType TKvQueryCollection::FieldType(const QString& name) const {
  return FieldType(d->indexOf(name));
}

TKvFieldSize TKvQueryCollection::FieldSize(const QString& name) const {
  const int f = d->indexOf(name);
  return f >= 0 && f < d->sizes.size() ? d->sizes[f] : TKvFieldSize{};
}

int TKvQueryCollection::RecordCount() const {
  return d->count();
}
int TKvQueryCollection::RecNo() const {
  return d->cur;
}
bool TKvQueryCollection::IsEmpty() const {
  return d->visible.empty();
}
bool TKvQueryCollection::Bof() const {
  return d->bof;
}
bool TKvQueryCollection::Eof() const {
  return d->eof;
}

void TKvQueryCollection::First() {
  if (!IsEmpty() && d->moveTo(0)) d->bof = true;
}

void TKvQueryCollection::Last() {
  if (!IsEmpty() && d->moveTo(d->count() - 1)) d->eof = true;
}

// Moving past either end only raises Eof / Bof, so that
// "First(); while (!Eof()) { ...; Next(); }" visits every row.
void TKvQueryCollection::Next() {
  if (IsEmpty()) return;
  if (d->cur >= d->count() - 1) {
    if (d->checkBrowse()) d->eof = true;
    return;
  }
  d->moveTo(d->cur + 1);
}

void TKvQueryCollection::Prior() {
  if (IsEmpty()) return;
  if (d->cur <= 0) {
    if (d->checkBrowse()) d->bof = true;
    return;
  }
  d->moveTo(d->cur - 1);
}

bool TKvQueryCollection::MoveTo(int row) {
  return d->moveTo(row);
}

bool TKvQueryCollection::Locate(const QString& field, const QVariant& value) {
  const int f = d->indexOf(field);
  if (!d->active || f < 0) return false;
  const Kind kind = kindOf(d->types[f]);
  const std::optional<double> wanted = kind == Kind::Text ? std::nullopt : numericKey(value, kind);
  const QString wantedText = value.toString();
  for (int row = 0; row < d->count(); ++row) {
    const QVariant v = Impl::cell(d->visibleRow(row), f);
    bool same;
    if (value.isNull())
      same = v.isNull();
    else if (v.isNull())
      same = false;
    else if (kind == Kind::Text)
      same = v.toString() == wantedText;
    else
      same = wanted && numericKey(v, kind) == wanted;
    if (same) return d->moveTo(row);
  }
  return false;
}

QVariant TKvQueryCollection::FieldValue(const QString& name) const {
  return FieldValue(d->indexOf(name));
}

QVariant TKvQueryCollection::FieldValue(int index) const {
  if (d->cur < 0 || index < 0) return {};
  return Value(d->cur, index);
}

QVariant TKvQueryCollection::Value(int row, int field) const {
  if (row < 0 || row >= d->count() || field < 0) return {};
  return Impl::cell(d->visibleRow(row), field);
}

bool TKvQueryCollection::SetFieldValue(const QString& name, const QVariant& value) {
  const int f = d->indexOf(name);
  if (!d->active || f < 0) return false;
  if (!d->editing() && !Edit()) return false;
  while (d->buffer.size() <= f) d->buffer.append(QVariant());
  d->buffer[f] = value;
  emit rowChanged(d->cur);
  return true;
}

TKvQueryCollection::State TKvQueryCollection::GetState() const {
  return d->state;
}

bool TKvQueryCollection::Insert() {
  return d->insertRow(false);
}
bool TKvQueryCollection::Append() {
  return d->insertRow(true);
}

bool TKvQueryCollection::Edit() {
  if (!d->active) return false;
  if (d->editing()) return true;
  if (d->cur < 0) return false;
  d->buffer = d->rows[size_t(d->currentStorage())];
  while (d->buffer.size() < d->fields.size()) d->buffer.append(QVariant(d->types[d->buffer.size()]));
  d->setState(KvState::Edit);
  return true;
}

KvStatus TKvQueryCollection::Post() {
  if (!d->active) return d->fail(QStringLiteral("L'elenco non è aperto."));
  if (!d->editing()) return {};
  if (d->busy) return d->fail(QStringLiteral("Salvataggio già in corso."));
  const bool inserting = d->state == KvState::Insert;
  const TKvQueryProp::Kind kind = inserting ? TKvQueryProp::Insert : TKvQueryProp::Update;
  const QStringList list = d->statementsFor(kind);
  const int fieldsBefore = int(d->fields.size());
  if (!list.isEmpty()) {
    const int key = d->keyIndex();
    const QVariant storedKey = key >= 0 ? Impl::cell(d->rows[size_t(d->currentStorage())], key) : QVariant();
    d->busy = true;
    const KvStatus ran = d->runList(list, kind, d->buffer, storedKey, true);
    d->busy = false;
    if (!ran) return ran;
  }
  d->lastError.clear();
  d->rows[size_t(d->currentStorage())] = std::move(d->buffer);
  d->rowsChanged();
  d->buffer = Row();
  d->pendingRow = -1;
  d->setState(KvState::Browse);
  if (d->fields.size() != fieldsBefore) emit rowsReset();  // a generated id brought a new column
  emit rowChanged(d->cur);
  return {};
}

void TKvQueryCollection::Cancel() {
  if (!d->editing() || d->busy) return;
  if (d->state == KvState::Insert) {
    const int pos = d->cur;
    d->visible.erase(d->visible.begin() + pos);
    d->rows.pop_back();  // the pending row is always the last stored
    d->rowsChanged();
    d->pendingRow = -1;
    d->buffer = Row();
    d->state = KvState::Browse;
    emit rowRemoved(pos);
    d->cur = d->visible.empty() ? -1 : std::clamp(d->rowBeforeInsert, 0, d->count() - 1);
    d->bof = d->eof = d->visible.empty();
    emit currentChanged(d->cur);
    emit stateChanged(KvState::Browse);
    return;
  }
  d->buffer = Row();
  d->setState(KvState::Browse);
  emit rowChanged(d->cur);
}

KvStatus TKvQueryCollection::Delete() {
  if (!d->active) return d->fail(QStringLiteral("L'elenco non è aperto."));
  if (d->busy) return d->fail(QStringLiteral("Salvataggio già in corso."));
  if (d->state == KvState::Insert) {
    Cancel();
    return {};
  }
  if (d->state == KvState::Edit) Cancel();
  if (d->cur < 0) return d->fail(QStringLiteral("Nessun record da cancellare."));
  QStringList list = d->statementsFor(TKvQueryProp::Delete);
  if (list.isEmpty()) {
    const QString table = d->mainTable();
    const QString key = NormName(d->keyName());
    if (table.isEmpty() || key.isEmpty())
      return d->fail(QStringLiteral("Impossibile cancellare il record: tabella non definita."));
    list << QStringLiteral("DELETE FROM %1 WHERE %2 = :KVCURRID").arg(table, key);
  }
  const int storage = d->currentStorage();
  Row row = d->rows[size_t(storage)];
  const int key = d->keyIndex();
  d->busy = true;
  const KvStatus ran =
      d->runList(list, TKvQueryProp::Delete, row, key >= 0 ? Impl::cell(row, key) : QVariant(), false);
  d->busy = false;
  if (!ran) return ran;
  d->lastError.clear();
  const int pos = d->cur;
  d->rows.erase(d->rows.begin() + storage);
  d->rowsChanged();
  for (auto& entry : d->textOrders) entry.second.Erase(size_t(storage));
  d->visible.erase(d->visible.begin() + pos);
  for (int& v : d->visible)
    if (v > storage) --v;
  emit rowRemoved(pos);
  d->cur = d->visible.empty() ? -1 : std::min(pos, d->count() - 1);
  d->bof = d->eof = d->visible.empty();
  emit currentChanged(d->cur);
  return {};
}

void TKvQueryCollection::SetFilter(const QString& text) {
  d->filterText = text;
  // A filter changed while on takes effect at once, as a whole or not at all.
  if (d->filtered && d->active) (void)SetFiltered(true);
}

QString TKvQueryCollection::Filter() const {
  return d->filterText;
}

KvStatus TKvQueryCollection::SetFiltered(bool on) {
  if (!d->active) {
    d->filtered = on;
    return {};
  }
  if (KvStatus s = d->checkBrowse(); !s) return s;
  const int storage = d->currentStorage();
  KvStatus ok;
  if (on) {
    ok = d->compileFilter();
    d->filtered = ok.ok();
  } else {
    d->filtered = false;
    d->filter.reset();
  }
  d->rebuildVisible();
  d->resetView(storage);
  return ok;
}

bool TKvQueryCollection::Filtered() const {
  return d->filtered;
}

void TKvQueryCollection::SetSort(const QList<SortKey>& keys) {
  if (d->active && !d->checkBrowse()) return;
  d->sort = keys;
  d->rowsChanged();
  if (!d->active) return;
  const int storage = d->currentStorage();
  d->applySort();
  // Every stored row visible: this is the order the next filter starts from.
  if (d->visible.size() == d->rows.size()) {
    d->order = d->visible;
    d->orderValid = true;
  }
  d->resetView(storage);
}

QList<TKvQueryCollection::SortKey> TKvQueryCollection::Sort() const {
  return d->sort;
}
