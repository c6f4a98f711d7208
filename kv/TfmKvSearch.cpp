#include "TfmKvSearch.h"

#include "KvSqlText.h"

#include "KvCollectionModel.h"
#include "KvFieldKind.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kWhere = QStringLiteral("##WHERE##");
const QString kOrderBy = QStringLiteral("##ORDERBY##");
// Long enough for any typed text; the cast keeps the engine from sizing the
// parameter after the searched column (a longer text would not fit).
constexpr int kPatternLength = 1000;

using KvSqlText::WordAt;

// The positions of a marker in the statement's code (not in its literals or
// comments), last first, so that replacing keeps the earlier positions.
QList<int> markers(const QString& sql, const QString& marker) {
  const QString m = KvSqlText::Masked(sql);
  QList<int> at;
  for (int i = int(m.indexOf(marker, 0, Qt::CaseInsensitive)); i >= 0;
       i = int(m.indexOf(marker, i + marker.size(), Qt::CaseInsensitive)))
    at.prepend(i);
  return at;
}

// The alias an item ends with ("expr AS X", "expr X"), or empty.
QString aliasOf(const QString& item, const QString& itemMasked, QString* expression) {
  static const QRegularExpression asRe(
      QStringLiteral("^(.*\\S)\\s+AS\\s+(\"?[A-Za-z_][\\w$]*\"?)\\s*$"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  QRegularExpressionMatch m = asRe.match(itemMasked);
  if (m.hasMatch() && m.capturedStart(2) > 0) {
    *expression = item.left(m.capturedEnd(1)).trimmed();
    return item.mid(m.capturedStart(2), m.capturedLength(2));
  }
  static const QRegularExpression bareRe(QStringLiteral("^(.*[\\w$)'\"])\\s+([A-Za-z_][\\w$]*)\\s*$"),
                                         QRegularExpression::DotMatchesEverythingOption);
  m = bareRe.match(itemMasked);
  if (m.hasMatch()) {
    const QString alias = m.captured(2);
    if (alias.compare(QLatin1String("END"), Qt::CaseInsensitive) != 0) {
      *expression = item.left(m.capturedEnd(1)).trimmed();
      return alias;
    }
  }
  *expression = item.trimmed();
  return {};
}

QString unquoted(QString name) {
  if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
    return name.mid(1, name.size() - 2);
  return name.toUpper();
}

}  // namespace

// ---- fields and statements ---------------------------------------------

TKvSearchField& TKvSearchColumns::Field(int index) {
  if (index < 0) index = 0;
  while (int(m_fields.size()) <= index) m_fields.emplace_back();
  return m_fields[size_t(index)];
}

const TKvSearchField* TKvSearchColumns::Find(int index) const {
  return index >= 0 && index < int(m_fields.size()) ? &m_fields[size_t(index)] : nullptr;
}

void TKvSearchColumns::SetColumns(const KvColumns& columns) {
  m_fields.clear();
  m_declared = columns;
}

bool TKvSearchColumns::Resolve(const QStringList& names) {
  if (m_declared.isEmpty()) return true;
  if (names.isEmpty()) return false;
  QStringList upper;
  for (const QString& n : names) upper << n.toUpper();
  bool all = true;
  for (const KvColumn& c : std::as_const(m_declared)) {
    const int at = upper.indexOf(KvSearchSql::BareName(c.field).toUpper());
    if (at < 0) {
      all = false;
      continue;
    }
    TKvSearchField& f = Field(at);
    f.SetCaption(c.caption);
    f.SetColWidth(c.width);
    f.SetVisible(c.visible);
    if (c.searchable)
      f.SetIndexed(*c.searchable);
    else
      f.SetIndexedByKind();
  }
  m_declared.clear();
  return all;
}

bool TKvSearchColumns::Configured() const {
  if (!m_declared.isEmpty()) return true;
  for (const TKvSearchField& f : m_fields)
    if (!f.Caption().isEmpty() || f.Indexed() || f.VisibleSet()) return true;
  return false;
}

void TKvSearchStatement::SetParam(const QString& name, const QVariant& value) {
  const QString n = KvSqlText::NormName(name);
  for (auto& p : m_params) {
    if (p.first == n) {
      p.second = value;
      return;
    }
  }
  m_params.append({n, value});
}

QVariant TKvSearchStatement::Param(const QString& name) const {
  const QString n = KvSqlText::NormName(name);
  for (const auto& p : m_params)
    if (p.first == n) return p.second;
  return {};
}

namespace KvSearchSql {

QString Condition(const QString& expression) {
  return QStringLiteral("(UPPER(%1) LIKE CAST(:%2 AS VARCHAR(%3)) ESCAPE '\\')")
      .arg(expression, QLatin1String(kSearchParam))
      .arg(kPatternLength);
}

QString Pattern(const QString& text, bool contains) {
  QString p;
  const QString upper = text.trimmed().toUpper().left(kPatternLength - 2);
  p.reserve(upper.size() + 4);
  if (contains) p += QLatin1Char('%');
  for (const QChar c : upper) {
    if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')) p += QLatin1Char('\\');
    p += c;
  }
  p += QLatin1Char('%');
  return p;
}

QString Fill(const QString& sql, const QString& where, const QString& orderBy) {
  QString s = sql;
  for (int at : markers(s, kOrderBy)) s.replace(at, kOrderBy.size(), orderBy);
  for (int at : markers(s, kWhere)) s.replace(at, kWhere.size(), where);
  return s;
}

bool HasWhere(const QString& sql) {
  return !markers(sql, kWhere).isEmpty();
}

bool HasOrderBy(const QString& sql) {
  return !markers(sql, kOrderBy).isEmpty();
}

QString BareName(const QString& field) {
  const QString f = field.trimmed();
  const int dot = int(f.lastIndexOf(QLatin1Char('.')));
  return unquoted(dot < 0 ? f : f.mid(dot + 1));
}

QList<SelectItem> SelectList(const QString& sql) {
  // The markers are not SQL; blank them so that they cannot confuse the scan.
  const QString text = Fill(sql, QStringLiteral("1=1      "), QStringLiteral("1          "));
  const QString m = KvSqlText::Masked(text);
  const int n = int(m.size());
  int i = 0;
  while (i < n && m[i].isSpace()) ++i;
  if (!WordAt(m, i, QStringLiteral("SELECT"))) return {};
  i += 6;
  // Leading FIRST n / SKIP n / DISTINCT / ALL.
  static const QRegularExpression lead(
      QStringLiteral("^\\s*(?:(?:FIRST|SKIP)\\s+(?:\\d+|:\\w+|\\([^)]*\\))|DISTINCT|ALL)\\b"),
      QRegularExpression::CaseInsensitiveOption);
  for (;;) {
    const QRegularExpressionMatch lm = lead.match(QStringView(m).mid(i));
    if (!lm.hasMatch()) break;
    i += int(lm.capturedEnd());
  }
  QList<SelectItem> items;
  int depth = 0;
  int start = i;
  auto addItem = [&](int from, int to) {
    const QString item = text.mid(from, to - from).trimmed();
    const QString itemMasked = m.mid(from, to - from).trimmed();
    if (item.isEmpty()) return false;
    SelectItem si;
    const QString alias = aliasOf(item, itemMasked, &si.expression);
    if (!alias.isEmpty()) {
      si.name = unquoted(alias);
    } else {
      if (si.expression.endsWith(QLatin1Char('*'))) return false;
      static const QRegularExpression column(QStringLiteral("^(?:\"?[\\w$]+\"?\\.)?\"?[\\w$]+\"?$"));
      // An unnamed expression gets a name from the engine that cannot be
      // guessed; the statement should give it an alias.
      si.name = column.match(si.expression).hasMatch() ? BareName(si.expression) : QString();
    }
    items << si;
    return true;
  };
  for (; i < n; ++i) {
    const QChar c = m[i];
    if (c == QLatin1Char('(')) {
      ++depth;
    } else if (c == QLatin1Char(')')) {
      --depth;
    } else if (depth == 0 && c == QLatin1Char(',')) {
      if (!addItem(start, i)) return {};
      start = i + 1;
    } else if (depth == 0 && WordAt(m, i, QStringLiteral("FROM"))) {
      if (!addItem(start, i)) return {};
      return items;
    }
  }
  return {};
}

}  // namespace KvSearchSql

// ---- the search window -------------------------------------------------

namespace {
}  // namespace

struct TfmKvSearch::Impl {
  TKvQueryCollection* list = nullptr;
  TKvCollectionModel* model = nullptr;
  QTableView* grid = nullptr;
  QWidget* filterPanel = nullptr;
  QLabel* filterLabel = nullptr;
  QLineEdit* filterEdit = nullptr;
  QLabel* status = nullptr;
  QPushButton* editButton = nullptr;
  QTimer* filterTimer = nullptr;

  TKvSearchStatement statement;
  QString connection;
  QString keyField;
  TKvSearchColumns fields;

  QString locateField;
  QVariant locateValue;

  QString filterText;
  int filterField = -1;
  QString filterFieldName;
  bool filterFailed = false;

  int sortField = -1;
  bool sortDescending = false;

  QString editForm;
  bool showForm = true;

  bool opened = false;
  bool chosen = false;
  bool modelBuilt = false;
  int syncing = 0;

  QList<KvSearchSql::SelectItem> items;
  QString itemsOf;  // statement the items were parsed from

  const QList<KvSearchSql::SelectItem>& selectItems() {
    if (itemsOf != statement.CommandText()) {
      itemsOf = statement.CommandText();
      items = KvSearchSql::SelectList(itemsOf);
    }
    return items;
  }

  int fieldCount() {
    if (list->Active()) return list->FieldCount();
    return std::max(int(selectItems().size()), fields.Count());
  }

  QString fieldName(int i) {
    if (list->Active()) return i >= 0 && i < list->FieldCount() ? list->FieldNames().at(i) : QString();
    const auto& it = selectItems();
    return i >= 0 && i < it.size() ? it[i].name : QString();
  }

  // What a condition on field i is written on: the select item's expression
  // when the list could be read, else the column's name.
  QString expression(int i) {
    const auto& it = selectItems();
    const bool itemsMatch = !list->Active() || int(it.size()) == list->FieldCount();
    if (itemsMatch && i >= 0 && i < it.size()) return it[i].expression;
    return fieldName(i);
  }

  bool visible(int i) const {
    if (!fields.Configured()) return true;
    const TKvSearchField* f = fields.Find(i);
    return f && f->Visible();
  }

  bool anyIndexed() const {
    for (int i = 0; i < fields.Count(); ++i)
      if (fields.Find(i)->Indexed()) return true;
    return false;
  }

  bool searchable(int i) {
    if (i < 0 || i >= fieldCount()) return false;
    if (!fields.Configured()) return true;
    if (anyIndexed()) {
      const TKvSearchField* f = fields.Find(i);
      if (f && f->IndexedByKind() && list->Active()) {
        const QMetaType type = list->FieldType(i);
        return type.isValid() && KvKindOf(type) == KvFieldKind::Text;
      }
      return f && f->Indexed();
    }
    return visible(i);
  }

  QString caption(int i) {
    const TKvSearchField* f = fields.Find(i);
    return f && !f->Caption().isEmpty() ? f->Caption() : fieldName(i);
  }

  int fieldOfViewColumn(int column) const {
    if (!list->Active()) return -1;
    return list->FieldIndex(model->FieldOfColumn(column));
  }

  int viewColumnOfField(int field) {
    const QString name = fieldName(field);
    return name.isEmpty() ? -1 : model->ColumnOfField(name);
  }

  int effectiveFilterField() {
    if (filterField >= 0 && searchable(filterField)) return filterField;
    if (!filterFieldName.isEmpty()) {
      const QString bare = KvSearchSql::BareName(filterFieldName);
      for (int i = 0; i < fieldCount(); ++i) {
        if (!searchable(i)) continue;
        if (fieldName(i) == bare || expression(i).compare(filterFieldName.trimmed(), Qt::CaseInsensitive) == 0)
          return i;
      }
    }
    for (int i = 0; i < fieldCount(); ++i)
      if (searchable(i) && visible(i)) return i;
    for (int i = 0; i < fieldCount(); ++i)
      if (searchable(i)) return i;
    return -1;
  }

  int defaultOrderField() {
    for (int i = 0; i < fieldCount(); ++i)
      if (visible(i)) return i;
    return 0;
  }
};

TfmKvSearch::TfmKvSearch(QWidget* parent) : TfmKvDialog(parent), d(std::make_unique<Impl>()) {
  setObjectName(QStringLiteral("TfmKvSearch"));
  setWindowTitle(QStringLiteral("Ricerca"));
  d->list = new TKvQueryCollection(this);
  d->model = new TKvCollectionModel(d->list, this);

  d->filterPanel = new QWidget(Content());
  d->filterPanel->setObjectName(QStringLiteral("pnFiltro"));
  auto* filterLayout = new QHBoxLayout(d->filterPanel);
  filterLayout->setContentsMargins(0, 0, 0, 0);
  d->filterLabel = new QLabel(QStringLiteral("Cerca:"), d->filterPanel);
  d->filterLabel->setObjectName(QStringLiteral("laFiltro"));
  d->filterEdit = new QLineEdit(d->filterPanel);
  d->filterEdit->setObjectName(QStringLiteral("edFiltro"));
  d->filterEdit->setClearButtonEnabled(true);
  d->filterLabel->setBuddy(d->filterEdit);
  filterLayout->addWidget(d->filterLabel);
  filterLayout->addWidget(d->filterEdit, 1);

  d->grid = new QTableView(Content());
  d->grid->setObjectName(QStringLiteral("grSearch"));
  d->grid->setModel(d->model);
  d->grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  d->grid->setSelectionMode(QAbstractItemView::SingleSelection);
  d->grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  d->grid->setAlternatingRowColors(true);
  d->grid->verticalHeader()->hide();
  d->grid->verticalHeader()->setDefaultSectionSize(d->grid->fontMetrics().height() + 6);
  d->grid->horizontalHeader()->setSectionsClickable(true);
  d->grid->horizontalHeader()->setHighlightSections(false);
  d->grid->horizontalHeader()->setStretchLastSection(true);

  auto* bottom = new QHBoxLayout();
  d->status = new QLabel(Content());
  d->status->setObjectName(QStringLiteral("laStato"));
  d->editButton = new QPushButton(QStringLiteral("Modifica"), Content());
  d->editButton->setObjectName(QStringLiteral("buModifica"));
  d->editButton->setAutoDefault(false);
  d->editButton->hide();
  bottom->addWidget(d->status, 1);
  bottom->addWidget(d->editButton);

  ContentLayout()->addWidget(d->filterPanel);
  ContentLayout()->addWidget(d->grid, 1);
  ContentLayout()->addLayout(bottom);

  d->filterTimer = new QTimer(this);
  d->filterTimer->setSingleShot(true);
  d->filterTimer->setInterval(300);
  connect(d->filterTimer, &QTimer::timeout, this, [this] { ApplyFilter(); });
  connect(d->filterEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    d->filterText = text;
    d->filterTimer->start();
  });
  connect(d->grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
    const int field = d->fieldOfViewColumn(column);
    if (!d->searchable(field)) return;
    const bool descending = field == d->sortField ? !d->sortDescending : false;
    SetFilterField(field);
    SortBy(field, descending);
  });
  connect(d->grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current, const QModelIndex& previous) {
            if (d->syncing) return;
            if (current.isValid() && current.row() != d->list->RecNo()) d->list->MoveTo(current.row());
            if (current.isValid() && current.column() != previous.column()) {
              const int field = d->fieldOfViewColumn(current.column());
              if (d->searchable(field) && field != d->effectiveFilterField()) {
                SetFilterField(field);
                if (!d->filterText.trimmed().isEmpty()) d->filterTimer->start();
              }
            }
          });
  connect(d->grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!index.isValid()) return;
    d->list->MoveTo(index.row());
    accept();
  });
  connect(d->editButton, &QPushButton::clicked, this, [this] { RunEditForm(); });
  d->filterEdit->installEventFilter(this);
  d->grid->installEventFilter(this);
  resize(600, 420);
}

TfmKvSearch::~TfmKvSearch() = default;

void TfmKvSearch::SetConnectionName(const QString& name) {
  d->connection = name;
}
void TfmKvSearch::SetCommandText(const QString& sql) {
  d->statement.SetCommandText(sql);
}
void TfmKvSearch::SetCommandText(const QStringList& lines) {
  d->statement.SetCommandText(lines);
}
QString TfmKvSearch::CommandText() const {
  return d->statement.CommandText();
}
void TfmKvSearch::SetParam(const QString& name, const QVariant& value) {
  d->statement.SetParam(name, value);
}
TKvSearchStatement& TfmKvSearch::Statement() {
  return d->statement;
}
void TfmKvSearch::SetKeyField(const QString& field) {
  d->keyField = field;
}
QString TfmKvSearch::KeyField() const {
  return d->keyField.isEmpty() ? d->fieldName(0) : KvSearchSql::BareName(d->keyField);
}

TKvSearchField* TfmKvSearch::GetFields(int index) {
  return &d->fields.Field(index);
}
TKvSearchColumns& TfmKvSearch::Fields() {
  return d->fields;
}
void TfmKvSearch::SetCaption(const QString& caption) {
  setWindowTitle(caption);
}
void TfmKvSearch::SetWidth(int width) {
  if (width > 0) resize(width, height());
}

void TfmKvSearch::SetLocate(const QString& field, const QVariant& value) {
  d->locateField = KvSearchSql::BareName(field);
  d->locateValue = value;
}

void TfmKvSearch::SetFilterText(const QString& text) {
  d->filterText = text;
  d->filterEdit->setText(text);
}
QString TfmKvSearch::FilterText() const {
  return d->filterText;
}

void TfmKvSearch::SetFilterField(int field) {
  d->filterField = field;
  const int f = d->effectiveFilterField();
  d->filterLabel->setText(f < 0 ? QStringLiteral("Cerca:") : QStringLiteral("Cerca per %1:").arg(d->caption(f)));
}

void TfmKvSearch::SetFilterFieldName(const QString& name) {
  d->filterFieldName = name;
  d->filterField = -1;
}

int TfmKvSearch::FilterField() const {
  return d->effectiveFilterField();
}

bool TfmKvSearch::ApplyFilter() {
  d->filterTimer->stop();
  d->filterText = d->filterEdit->text();
  (void)Open();  // a failure is shown in the status line
  return !d->filterFailed;
}

bool TfmKvSearch::SortBy(int field, bool descending) {
  if (!d->searchable(field)) return false;
  d->sortField = field;
  d->sortDescending = descending;
  if (!d->opened) return true;
  if (KvSearchSql::HasOrderBy(d->statement.CommandText())) return Open().ok();
  // No place for the order in the statement: the rows are all here, sort them.
  d->list->SetSort({{d->fieldName(field), descending}});
  const int column = d->viewColumnOfField(field);
  d->grid->horizontalHeader()->setSortIndicatorShown(column >= 0);
  if (column >= 0)
    d->grid->horizontalHeader()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  return true;
}

int TfmKvSearch::SortField() const {
  return d->sortField;
}
bool TfmKvSearch::SortDescending() const {
  return d->sortDescending;
}

KvStatus TfmKvSearch::Open() {
  // Columns declared by name take their places in this statement.
  if (d->fields.HasPending()) {
    QStringList names;
    for (const auto& item : d->selectItems()) names << item.name;
    d->fields.Resolve(names);
  }
  const QString sql = d->statement.CommandText();
  const QString keyName = KeyField();
  const QVariant previousKey = d->opened && d->list->RecNo() >= 0 ? d->list->FieldValue(keyName) : QVariant();

  const int filterField = d->effectiveFilterField();
  const bool filtering = !d->filterText.trimmed().isEmpty() && filterField >= 0 && KvSearchSql::HasWhere(sql);
  const QString filterExpression = filtering ? d->expression(filterField) : QString();
  const bool sqlOrder = KvSearchSql::HasOrderBy(sql);
  const int orderField = d->sortField >= 0 ? d->sortField : d->defaultOrderField();
  const QString orderBy =
      QString::number(orderField + 1) + (d->sortField >= 0 && d->sortDescending ? QStringLiteral(" DESC") : QString());

  auto run = [&](bool withFilter) {
    d->list->Close();
    d->list->SetConnectionName(d->connection);
    d->list->ClearParams();
    for (const auto& p : d->statement.Params()) d->list->SetParam(p.first, p.second);
    QString where = QStringLiteral("1=1");
    if (withFilter) {
      where = KvSearchSql::Condition(filterExpression);
      d->list->SetParam(QLatin1String(KvSearchSql::kSearchParam), KvSearchSql::Pattern(d->filterText, true));
    }
    d->list->SetCommandText(KvSearchSql::Fill(sql, where, orderBy));
    if (!d->keyField.isEmpty()) d->list->SetKeyField(KvSearchSql::BareName(d->keyField));
    return d->list->Open();
  };

  ++d->syncing;
  d->filterFailed = false;
  KvStatus ok = run(filtering);
  if (!ok && filtering) {
    // A filter the statement cannot take (e.g. on an aggregate): show the rows unfiltered.
    d->filterFailed = true;
    if (KvStatus all = run(false)) ok = all;
  }
  --d->syncing;
  if (!ok) {
    d->opened = false;
    d->status->setText(ok.error());
    SetOkEnabled(false);
    return ok;
  }
  d->opened = true;
  if (d->fields.HasPending()) d->fields.Resolve(d->list->FieldNames());

  if (!d->modelBuilt || d->model->columnCount() == 0) {
    QList<TKvCollectionModel::Column> columns;
    const int count = d->list->FieldCount();
    for (int i = 0; i < count; ++i) {
      if (!d->visible(i)) continue;
      TKvCollectionModel::Column c;
      c.field = d->fieldName(i);
      c.caption = d->caption(i);
      const TKvSearchField* f = d->fields.Find(i);
      c.width = f ? f->ColWidth() : -1;
      columns << c;
    }
    ++d->syncing;
    d->model->SetColumns(columns);
    --d->syncing;
    for (int c = 0; c < columns.size(); ++c)
      if (columns[c].width > 0) d->grid->setColumnWidth(c, columns[c].width);
    d->modelBuilt = true;
  }
  if (!sqlOrder && d->sortField >= 0) d->list->SetSort({{d->fieldName(d->sortField), d->sortDescending}});

  // The row to show: the one asked for on the first run, then the one the user was on.
  bool located = false;
  if (!d->locateField.isEmpty() && !d->locateValue.isNull()) {
    located = d->list->Locate(d->locateField, d->locateValue);
    d->locateField.clear();
  }
  if (!located && !previousKey.isNull()) located = d->list->Locate(keyName, previousKey);
  if (!located && d->list->RecordCount() > 0) d->list->First();

  auto* header = d->grid->horizontalHeader();
  const int sortColumn = d->sortField >= 0 ? d->viewColumnOfField(d->sortField) : -1;
  header->setSortIndicatorShown(sortColumn >= 0);
  if (sortColumn >= 0)
    header->setSortIndicator(sortColumn, d->sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);

  ++d->syncing;
  const int row = d->list->RecNo();
  const int column = std::max(0, d->viewColumnOfField(d->effectiveFilterField()));
  if (row >= 0 && d->model->columnCount() > 0) {
    d->grid->setCurrentIndex(d->model->index(row, column));
    d->grid->scrollTo(d->model->index(row, column));
  }
  --d->syncing;
  SetFilterField(d->filterField);
  SetOkEnabled(d->list->RecordCount() > 0);
  d->status->setText(d->filterFailed ? QStringLiteral("Filtro non applicabile.")
                                     : QStringLiteral("Righe: %1").arg(d->list->RecordCount()));
  ListOpened();
  return {};
}

bool TfmKvSearch::IsOpen() const {
  return d->opened;
}

TKvQueryCollection* TfmKvSearch::GetDataSet() const {
  return d->list;
}

QVariant TfmKvSearch::Value(const QString& field) const {
  return d->list->FieldValue(KvSearchSql::BareName(field));
}

bool TfmKvSearch::ChooseRow(int row) {
  if (!d->list->MoveTo(row)) return false;
  ++d->syncing;
  const QModelIndex index = d->model->index(row, std::max(0, d->grid->currentIndex().column()));
  d->grid->setCurrentIndex(index);
  --d->syncing;
  return true;
}

bool TfmKvSearch::Chosen() const {
  return d->chosen;
}

void TfmKvSearch::SetShowForm(bool show) {
  d->showForm = show;
}
bool TfmKvSearch::ShowForm() const {
  return d->showForm;
}

void TfmKvSearch::SetEditForm(const QString& className, const QString& caption) {
  d->editForm = className;
  if (!caption.isEmpty()) d->editButton->setText(caption);
  d->editButton->setVisible(!className.isEmpty());
}

QString TfmKvSearch::EditForm() const {
  return d->editForm;
}

bool TfmKvSearch::RunEditForm() {
  if (d->editForm.isEmpty()) return false;
  KvFormOptions options;
  options.modal = true;
  options.onInizializedForm = [this](QWidget* window) { EditFormCreated(window); };
  options.onModalClosed = [this](QWidget* window) {
    auto* dialog = qobject_cast<QDialog*>(window);
    EditFormClosed(window, dialog ? dialog->result() : 0);
  };
  const KvFormResult result = KvWindowFactory::Create(d->editForm, nullptr, options);
  if (!result.error.isEmpty()) {
    KvMessageDlg(result.error, TMsgDlgType::mtError, mbOK);
    return false;
  }
  if (!result.opened) return false;
  (void)Open();  // a failure is shown in the status line
  return true;
}

QTableView* TfmKvSearch::Grid() const {
  return d->grid;
}
QLineEdit* TfmKvSearch::FilterEdit() const {
  return d->filterEdit;
}
QWidget* TfmKvSearch::FilterPanel() const {
  return d->filterPanel;
}
QLabel* TfmKvSearch::StatusLabel() const {
  return d->status;
}
QPushButton* TfmKvSearch::EditButton() const {
  return d->editButton;
}

int TfmKvSearch::exec() {
  d->chosen = false;
  if (!d->showForm) return QDialog::Rejected;
  if (!d->opened) {
    if (!KvReport(Open())) return QDialog::Rejected;
  }
  return TfmKvDialog::exec();
}

bool TfmKvSearch::CanAccept() {
  if (!d->opened || d->list->RecNo() < 0) return false;
  d->chosen = true;
  return true;
}

void TfmKvSearch::showEvent(QShowEvent* event) {
  TfmKvDialog::showEvent(event);
  if (!d->opened) (void)Open();  // a failure is shown in the status line
  d->filterEdit->setFocus();
}

bool TfmKvSearch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return TfmKvDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == d->filterEdit) {
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        // The first Enter applies a filter still waiting; the next chooses.
        if (d->filterTimer->isActive() || d->filterText != d->filterEdit->text()) {
          ApplyFilter();
          return true;
        }
        accept();
        return true;
      case Qt::Key_Down:
      case Qt::Key_Up:
      case Qt::Key_PageDown:
      case Qt::Key_PageUp:
        d->grid->setFocus();
        QCoreApplication::sendEvent(d->grid, event);
        return true;
      default:
        break;
    }
  } else if (watched == d->grid && d->filterPanel->isVisible()) {
    // Typing on the list goes on in the filter edit.
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
        key->key() != Qt::Key_Space) {
      d->filterEdit->setFocus();
      d->filterEdit->insert(text);
      d->filterText = d->filterEdit->text();
      d->filterTimer->start();
      return true;
    }
  }
  return TfmKvDialog::eventFilter(watched, event);
}

// ---- search from code --------------------------------------------------

TKvSearchDialog::TKvSearchDialog() = default;
TKvSearchDialog::~TKvSearchDialog() = default;

void TKvSearchDialog::SetDBConnection(const QString& connectionName) {
  m_connection = connectionName;
}
TKvSearchStatement& TKvSearchDialog::GetSQLDataSet() {
  return m_statement;
}
TKvSearchColumns& TKvSearchDialog::GetColumns() {
  return m_columns;
}
void TKvSearchDialog::SetCaption(const QString& caption) {
  m_caption = caption;
}
void TKvSearchDialog::SetWidth(int width) {
  m_width = width;
}
void TKvSearchDialog::SetKeyField(const QString& field) {
  m_keyField = field;
}
void TKvSearchDialog::SetLocate(const QString& field, const QVariant& value) {
  m_locateField = field;
  m_locateValue = value;
}
void TKvSearchDialog::SetFilterText(const QString& text) {
  m_filterText = text;
}

bool TKvSearchDialog::Execute(QWidget* parent) {
  m_names.clear();
  m_values.clear();
  TfmKvSearch window(parent);
  window.SetConnectionName(m_connection);
  window.Statement() = m_statement;
  window.Fields() = m_columns;
  if (!m_caption.isEmpty()) window.SetCaption(m_caption);
  window.SetWidth(m_width);
  window.SetKeyField(m_keyField);
  if (!m_locateField.isEmpty()) window.SetLocate(m_locateField, m_locateValue);
  if (!m_filterText.isEmpty()) window.SetFilterText(m_filterText);
  if (OnShow) OnShow(window);
  if (window.exec() != QDialog::Accepted || !window.Chosen()) return false;
  const TKvQueryCollection* list = window.GetDataSet();
  m_names = list->FieldNames();
  for (int i = 0; i < m_names.size(); ++i) m_values << list->FieldValue(i);
  return true;
}

QVariant TKvSearchDialog::Value(const QString& field) const {
  const int i = int(m_names.indexOf(KvSearchSql::BareName(field)));
  return i < 0 ? QVariant() : m_values.at(i);
}

QStringList TKvSearchDialog::FieldNames() const {
  return m_names;
}
