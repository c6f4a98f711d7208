#include "KvCollectionModel.h"

#include "KvFieldKind.h"

#include "KvNumberText.h"
#include "KvQueryCollection.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <vector>

namespace {

bool isNumeric(int typeId) { return KvIsNumeric(QMetaType(typeId)); }

// Up to six decimals (the scale of the suite's amounts), trailing zeros
// dropped, decimal comma, no grouping: what a clerk types back.
QString shortDecimal(double d) {
  QString s = QString::number(d, 'f', 6);
  int end = int(s.size());
  while (end > 0 && s[end - 1] == QLatin1Char('0')) --end;
  if (end > 0 && s[end - 1] == QLatin1Char('.')) --end;
  s.truncate(end);
  if (s == QLatin1String("-0")) s = QStringLiteral("0");
  s.replace(QLatin1Char('.'), QLatin1Char(','));
  return s;
}

}  // namespace

struct TKvCollectionModel::Impl {
  QList<Column> declared;
  QStringList implicitFields;  // every field, when no column is declared
  std::vector<int> fieldOfColumn;
  std::vector<bool> numericColumn;
  // The row count the views know; changed only between begin/end calls, so
  // that the views' bookkeeping always sees a consistent count.
  int rows = 0;
};

TKvCollectionModel::TKvCollectionModel(TKvQueryCollection* collection, QObject* parent)
    : QAbstractTableModel(parent), m_collection(collection), d(std::make_unique<Impl>()) {
  if (collection) {
    connect(collection, &TKvQueryCollection::rowsReset, this, [this] {
      beginResetModel();
      recompute();
      endResetModel();
    });
    connect(collection, &TKvQueryCollection::rowChanged, this, [this](int row) {
      if (row >= 0 && row < d->rows && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(collection, &TKvQueryCollection::rowInserted, this, [this](int row) {
      if (row < 0 || row > d->rows) return resync();
      beginInsertRows(QModelIndex(), row, row);
      ++d->rows;
      endInsertRows();
      if (d->rows != m_collection->RecordCount()) resync();
    });
    connect(collection, &TKvQueryCollection::rowRemoved, this, [this](int row) {
      if (row < 0 || row >= d->rows) return resync();
      beginRemoveRows(QModelIndex(), row, row);
      --d->rows;
      endRemoveRows();
      if (d->rows != m_collection->RecordCount()) resync();
    });
  }
  recompute();
}

TKvCollectionModel::~TKvCollectionModel() = default;

TKvQueryCollection* TKvCollectionModel::Collection() const {
  return m_collection.data();
}

void TKvCollectionModel::resync() {
  beginResetModel();
  recompute();
  endResetModel();
}

void TKvCollectionModel::recompute() {
  const TKvQueryCollection* c = m_collection.data();
  const bool active = c && c->Active();
  d->implicitFields = active && d->declared.isEmpty() ? c->FieldNames() : QStringList();
  const int cols = columnCount();
  d->fieldOfColumn.assign(size_t(cols), -1);
  d->numericColumn.assign(size_t(cols), false);
  if (active) {
    for (int i = 0; i < cols; ++i) {
      const int f = c->FieldIndex(FieldOfColumn(i));
      d->fieldOfColumn[size_t(i)] = f;
      d->numericColumn[size_t(i)] = f >= 0 && isNumeric(c->FieldType(f).id());
    }
  }
  d->rows = active ? c->RecordCount() : 0;
}

void TKvCollectionModel::SetColumns(const QList<Column>& columns) {
  beginResetModel();
  d->declared = columns;
  recompute();
  endResetModel();
}

const QList<TKvCollectionModel::Column>& TKvCollectionModel::Columns() const {
  return d->declared;
}

TKvCollectionModel::Column* TKvCollectionModel::ColumnOf(const QString& field) {
  for (Column& c : d->declared)
    if (c.field.compare(field.trimmed(), Qt::CaseInsensitive) == 0) return &c;
  return nullptr;
}

QString TKvCollectionModel::FieldOfColumn(int column) const {
  if (!d->declared.isEmpty()) return column >= 0 && column < d->declared.size() ? d->declared[column].field : QString();
  return column >= 0 && column < d->implicitFields.size() ? d->implicitFields[column] : QString();
}

int TKvCollectionModel::ColumnOfField(const QString& field) const {
  const QString f = field.trimmed();
  for (int i = 0; i < columnCount(); ++i)
    if (FieldOfColumn(i).compare(f, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

int TKvCollectionModel::FieldIndexOfColumn(int column) const {
  return column >= 0 && size_t(column) < d->fieldOfColumn.size() ? d->fieldOfColumn[size_t(column)] : -1;
}

int TKvCollectionModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : d->rows;
}

int TKvCollectionModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return int(d->declared.isEmpty() ? d->implicitFields.size() : d->declared.size());
}

QVariant TKvCollectionModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !m_collection) return {};
  const int row = index.row();
  const int col = index.column();
  if (row >= d->rows || size_t(col) >= d->fieldOfColumn.size()) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const QVariant v = m_collection->Value(row, d->fieldOfColumn[size_t(col)]);
      if (!d->declared.isEmpty() && d->declared[col].format) return d->declared[col].format(v);
      return DefaultText(v);
    }
    case Qt::EditRole:
      return m_collection->Value(row, d->fieldOfColumn[size_t(col)]);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter | (d->numericColumn[size_t(col)] ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case Qt::FontRole:
    case Qt::DecorationRole:
      return RowStyle ? RowStyle(row, col, role) : QVariant();
    default:
      return {};
  }
}

QVariant TKvCollectionModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Vertical) return section + 1;
  if (!d->declared.isEmpty()) {
    if (section < 0 || section >= d->declared.size()) return {};
    const Column& c = d->declared[section];
    return c.caption.isEmpty() ? c.field : c.caption;
  }
  return FieldOfColumn(section);
}

Qt::ItemFlags TKvCollectionModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
  if (!d->declared.isEmpty() && index.column() < d->declared.size() && !d->declared[index.column()].readOnly)
    f |= Qt::ItemIsEditable;
  return f;
}

bool TKvCollectionModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || !m_collection) return false;
  if (m_collection->RecNo() != index.row() && !m_collection->MoveTo(index.row())) return false;
  // The collection reports the change through rowChanged.
  return m_collection->SetFieldValue(FieldOfColumn(index.column()), value);
}

void TKvCollectionModel::sort(int column, Qt::SortOrder order) {
  const QString field = FieldOfColumn(column);
  if (!m_collection || field.isEmpty()) return;
  m_collection->SetSort({{field, order == Qt::DescendingOrder}});
}

QString TKvCollectionModel::DefaultText(const QVariant& value) {
  if (value.isNull()) return {};
  switch (value.typeId()) {
    case QMetaType::QDate:
      return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: {
      const QDateTime dt = value.toDateTime();
      if (dt.time() == QTime(0, 0)) return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
      return dt.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    }
    case QMetaType::QTime:
      return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float:
      return shortDecimal(value.toDouble());
    case QMetaType::Bool:
      return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    case QMetaType::QByteArray:
      return QString::fromUtf8(value.toByteArray());
    default:
      return value.toString();
  }
}

std::function<QString(const QVariant&)> TKvCollectionModel::FixedFormat(int decimals, bool thousands) {
  // The same text as a number field of the detail shows.
  return [decimals, thousands](const QVariant& v) {
    if (v.isNull()) return QString();
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? KvNumberText::Format(d, decimals, thousands) : v.toString();
  };
}

std::function<QString(const QVariant&)> TKvCollectionModel::FlagFormat(const QString& yes, const QString& no) {
  return [yes, no](const QVariant& v) {
    if (v.isNull()) return no;
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? yes : no;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && d != 0 ? yes : no;
  };
}
