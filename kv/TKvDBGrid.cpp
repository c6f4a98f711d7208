#include "TKvDBGrid.h"

#include "KvFieldKind.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvSqlText.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

QStringList splitFields(const QString& fields) {
  QStringList out;
  for (const QString& f : fields.split(QRegularExpression(QStringLiteral("[;,]")), Qt::SkipEmptyParts)) {
    const QString t = KvSqlText::NormName(f);
    if (!t.isEmpty()) out << t;
  }
  return out;
}

bool editing(const TKvQueryCollection* c) {
  return c && KvEditing(c->GetState());
}

}  // namespace

// ---- sort index ------------------------------------------------------------

TKvColsIndexItem& TKvColsIndexItem::SetColumn(int column) {
  m_column = column;
  return *this;
}

TKvColsIndexItem& TKvColsIndexItem::SetFields(const QString& fields) {
  m_fields = splitFields(fields);
  return *this;
}

TKvColsIndexItem& TKvColsIndexItem::SetDescFields(const QString& fields) {
  m_descFields = splitFields(fields);
  return *this;
}

TKvColsIndexItem& TKvColsIndexItem::SetSearchable(bool on) {
  m_searchable = on;
  return *this;
}

TKvColsIndexItem& TKvColsIndexItem::SetSearchableByKind(std::function<bool()> byKind) {
  m_searchable.reset();
  m_byKind = std::move(byKind);
  return *this;
}

bool TKvColsIndexItem::Searchable() const {
  if (m_searchable) return *m_searchable;
  return m_byKind && m_byKind();
}

bool TKvColsIndexItem::HasField(const QString& field) const {
  return m_fields.contains(KvSqlText::NormName(field));
}

TKvColsIndexItem* TKvColsIndex::Add() {
  m_items.push_back(std::make_unique<TKvColsIndexItem>());
  return m_items.back().get();
}

TKvColsIndexItem* TKvColsIndex::ItemOfColumn(int column) const {
  for (const auto& item : m_items)
    if (item->Column() == column) return item.get();
  return nullptr;
}

// ---- cell painting ---------------------------------------------------------

class TKvGridDelegate : public QStyledItemDelegate {
 public:
  explicit TKvGridDelegate(TKvDBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    TKvDrawCell cell;
    cell.row = index.row();
    cell.column = index.column();
    cell.field = m_grid->FieldOfColumn(index.column()).toUpper();
    cell.rect = option.rect;
    cell.painter = painter;
    cell.selected = option.state & QStyle::State_Selected;
    cell.font = option.font;
    if (const QVariant f = index.data(Qt::FontRole); f.canConvert<QFont>()) cell.font = f.value<QFont>();
    const QPalette& pal = option.palette;
    if (const QVariant b = index.data(Qt::BackgroundRole); b.isValid())
      cell.background = b.canConvert<QBrush>() ? b.value<QBrush>().color() : b.value<QColor>();
    else if (m_grid->m_oddRowColor.isValid() && index.row() % 2 == 0)  // record numbers count from 1
      cell.background = m_grid->m_oddRowColor;
    else
      cell.background = pal.color(QPalette::Base);
    if (const QVariant f = index.data(Qt::ForegroundRole); f.isValid())
      cell.foreground = f.canConvert<QBrush>() ? f.value<QBrush>().color() : f.value<QColor>();
    else
      cell.foreground = pal.color(QPalette::Text);
    if (cell.selected) {
      cell.background = m_grid->m_selectedBackground.isValid() ? m_grid->m_selectedBackground
                                                               : pal.color(QPalette::Active, QPalette::Highlight);
      cell.foreground = m_grid->m_selectedText.isValid() ? m_grid->m_selectedText
                                                         : pal.color(QPalette::Active, QPalette::HighlightedText);
    }
    cell.text = index.data(Qt::DisplayRole).toString();
    if (m_grid->OnDrawColumnCell) m_grid->OnDrawColumnCell(cell);
    if (!cell.defaultDrawing) return;

    painter->save();
    painter->fillRect(cell.rect, cell.background);
    int textLeft = cell.rect.left() + 3;
    if (!cell.image.isNull()) {
      const QSize size = cell.image.deviceIndependentSize().toSize();
      const int x = cell.rect.left() + cell.imageLeft;
      const int y = cell.rect.top() + (cell.rect.height() - size.height()) / 2;
      painter->drawPixmap(QPoint(x, y), cell.image);
      textLeft = std::max(textLeft, x + size.width() + 2);
    }
    if (!cell.text.isEmpty()) {
      const QRect textRect(textLeft, cell.rect.top(), cell.rect.right() - 2 - textLeft, cell.rect.height());
      Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
      if (const QVariant a = index.data(Qt::TextAlignmentRole); a.isValid()) align = Qt::Alignment(a.toInt());
      painter->setFont(cell.font);
      painter->setPen(cell.foreground);
      const QString firstLine = cell.text.section(QLatin1Char('\n'), 0, 0);
      painter->drawText(textRect, int(align),
                        QFontMetrics(cell.font).elidedText(firstLine, Qt::ElideRight, textRect.width()));
    }
    painter->restore();
  }

 private:
  TKvDBGrid* m_grid;
};

// ---- grid ------------------------------------------------------------------

TKvDBGrid::TKvDBGrid(QWidget* parent) : QTableView(parent) {
  setItemDelegate(new TKvGridDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setWordWrap(false);
  // Tab leaves the list for the next field or list, as everywhere else in a
  // window; the arrows move between cells.
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSortIndicatorShown(false);
  SetRowHeight(20);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TKvDBGrid::titleClicked);
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) emit rowDoubleClicked(index.row());
  });
}

TKvDBGrid::~TKvDBGrid() = default;

void TKvDBGrid::SetCollection(TKvQueryCollection* collection) {
  for (const auto& link : m_collectionLinks) disconnect(link);
  m_collectionLinks.clear();
  QList<TKvCollectionModel::Column> columns;
  if (m_model) {
    columns = m_model->Columns();
    QItemSelectionModel* oldSelection = selectionModel();
    setModel(nullptr);
    delete oldSelection;
    delete m_model;
    m_model = nullptr;
  }
  m_sortColumn = -1;
  showSortIndicator();
  if (!collection) return;

  // While the model passes on a change of the rows, the view may move its
  // current index by itself (a removed current row): the collection's own
  // current-row signal that follows is the one to obey. The guard is raised
  // by a connection made before the model's and lowered by one made after.
  auto raise = [this] { ++m_syncing; };
  m_collectionLinks << connect(collection, &TKvQueryCollection::rowsReset, this, raise)
                    << connect(collection, &TKvQueryCollection::rowInserted, this, raise)
                    << connect(collection, &TKvQueryCollection::rowRemoved, this, raise);
  m_model = new TKvCollectionModel(collection, this);
  auto lower = [this] { --m_syncing; };
  m_collectionLinks << connect(collection, &TKvQueryCollection::rowsReset, this, lower)
                    << connect(collection, &TKvQueryCollection::rowInserted, this, lower)
                    << connect(collection, &TKvQueryCollection::rowRemoved, this, lower)
                    << connect(collection, &TKvQueryCollection::currentChanged, this, &TKvDBGrid::followCollection);
  if (!columns.isEmpty()) m_model->SetColumns(columns);
  QItemSelectionModel* oldSelection = selectionModel();
  setModel(m_model);
  delete oldSelection;
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { viewRowChanged(current.isValid() ? current.row() : -1); });
  // Declared widths survive the resets of filter and sort, but not a change
  // of the column set.
  connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
    if (horizontalHeader()->count() != m_model->columnCount()) applyColumns();
  });
  applyColumns();
  followCollection(collection->RecNo());
}

TKvQueryCollection* TKvDBGrid::Collection() const {
  return m_model ? m_model->Collection() : nullptr;
}

void TKvDBGrid::SetColumns(const KvColumns& columns) {
  if (!m_model) return;
  m_model->SetColumns(columns);
  m_colsIndex.Clear();
  for (int i = 0; i < columns.size(); ++i) {
    const KvColumn& c = columns[i];
    if (!c.sortable) continue;
    TKvColsIndexItem* item = m_colsIndex.Add();
    item->SetColumn(i).SetFields(c.sortFields.isEmpty() ? c.field : c.sortFields).SetDescFields(c.descFields);
    if (c.searchable) {
      item->SetSearchable(*c.searchable);
    } else {
      const QString field = c.field;
      item->SetSearchableByKind([this, field] {
        const TKvQueryCollection* list = Collection();
        if (!list || !list->Active()) return false;
        const QMetaType type = list->FieldType(field);
        return type.isValid() && KvKindOf(type) == KvFieldKind::Text;
      });
    }
  }
  applyColumns();
  if (TKvQueryCollection* c = Collection()) followCollection(c->RecNo());
}

void TKvDBGrid::SetColumnVisible(const QString& field, bool visible) {
  if (!m_model) return;
  TKvCollectionModel::Column* c = m_model->ColumnOf(field);
  if (!c || c->visible == visible) return;
  c->visible = visible;
  applyColumns();
}

void TKvDBGrid::applyColumns() {
  if (!m_model) return;
  const auto& cols = m_model->Columns();
  for (int i = 0; i < cols.size() && i < m_model->columnCount(); ++i) {
    setColumnHidden(i, !cols[i].visible);
    if (cols[i].width > 0) setColumnWidth(i, cols[i].width);
  }
}

QString TKvDBGrid::FieldOfColumn(int column) const {
  return m_model ? m_model->FieldOfColumn(column) : QString();
}

int TKvDBGrid::CurrentRow() const {
  return currentIndex().isValid() ? currentIndex().row() : -1;
}

void TKvDBGrid::followCollection(int row) {
  if (!m_model || !selectionModel()) return;
  ++m_syncing;
  if (row < 0 || row >= m_model->rowCount()) {
    selectionModel()->clearCurrentIndex();
    selectionModel()->clearSelection();
  } else {
    int column = currentIndex().isValid() ? currentIndex().column() : -1;
    if (column < 0 || isColumnHidden(column)) {
      column = 0;
      while (column < m_model->columnCount() - 1 && isColumnHidden(column)) ++column;
    }
    const QModelIndex index = m_model->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
  }
  --m_syncing;
}

void TKvDBGrid::viewRowChanged(int row) {
  TKvQueryCollection* c = Collection();
  if (m_syncing || !c || row < 0 || row == c->RecNo()) return;
  // A refused save keeps the row being typed, and the view on it.
  if (!SavePending() || !c->MoveTo(row)) followCollection(c->RecNo());
}

bool TKvDBGrid::SavePending() {
  TKvQueryCollection* c = Collection();
  if (!editing(c)) return true;
  if (c->SavePending) return c->SavePending() && !editing(c);
  return KvReport(c->Post());
}

void TKvDBGrid::titleClicked(int column) {
  SortByColumn(column);
  showSortIndicator();  // the header flips its indicator on every click
}

bool TKvDBGrid::SortByColumn(int column) {
  TKvQueryCollection* c = Collection();
  const TKvColsIndexItem* item = m_colsIndex.ItemOfColumn(column);
  if (!c || !item || item->Fields().isEmpty()) return false;
  const bool descending = m_sortColumn == column && !m_sortDescending;
  QList<TKvQueryCollection::SortKey> keys;
  for (const QString& f : item->Fields()) keys.append({f, item->DescFields().contains(f) != descending});
  if (!SavePending()) return false;
  c->SetSort(keys);
  m_sortColumn = column;
  m_sortDescending = descending;
  showSortIndicator();
  emit columnSorted(column, FieldOfColumn(column), descending);
  return true;
}

void TKvDBGrid::showSortIndicator() {
  QHeaderView* h = horizontalHeader();
  h->setSortIndicatorShown(m_sortColumn >= 0);
  h->setSortIndicator(m_sortColumn, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TKvDBGrid::SetRowHeight(int pixels) {
  QHeaderView* v = verticalHeader();
  v->setMinimumSectionSize(std::min(pixels, v->minimumSectionSize()));
  v->setSectionResizeMode(QHeaderView::Fixed);
  v->setDefaultSectionSize(pixels);
}

int TKvDBGrid::RowHeight() const {
  return verticalHeader()->defaultSectionSize();
}

void TKvDBGrid::SetOddRowColor(const QColor& color) {
  m_oddRowColor = color;
  viewport()->update();
}

void TKvDBGrid::SetSelectedColors(const QColor& background, const QColor& text) {
  m_selectedBackground = background;
  m_selectedText = text;
  viewport()->update();
}

void TKvDBGrid::SetEditable(bool on) {
  setEditTriggers(on ? QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                           QAbstractItemView::SelectedClicked
                     : QAbstractItemView::NoEditTriggers);
}

// ---- images ------------------------------------------------------------------

QPixmap TKvDBGrid::PadlockImage(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  // The shackle: an arch over the body.
  QPen shackle(QColor(96, 96, 104));
  shackle.setWidthF(std::max<qreal>(1.5, s / 8));
  p.setPen(shackle);
  p.setBrush(Qt::NoBrush);
  QPainterPath arch;
  arch.moveTo(s * 0.3, s * 0.5);
  arch.lineTo(s * 0.3, s * 0.32);
  arch.arcTo(QRectF(s * 0.3, s * 0.08, s * 0.4, s * 0.46), 180, -180);
  arch.lineTo(s * 0.7, s * 0.5);
  p.drawPath(arch);
  // The body, gold, with a dark keyhole.
  p.setPen(QPen(QColor(150, 105, 0), 1));
  p.setBrush(QColor(236, 184, 40));
  p.drawRoundedRect(QRectF(s * 0.14, s * 0.46, s * 0.72, s * 0.5), s * 0.08, s * 0.08);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 60, 0));
  p.drawEllipse(QPointF(s * 0.5, s * 0.64), s * 0.08, s * 0.08);
  p.drawRect(QRectF(s * 0.46, s * 0.66, s * 0.08, s * 0.18));
  return pm;
}

QPixmap TKvDBGrid::TickImage(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  QPen pen(QColor(0, 140, 40));
  pen.setWidthF(std::max<qreal>(2, s / 6));
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  const QPointF points[] = {{s * 0.16, s * 0.55}, {s * 0.4, s * 0.8}, {s * 0.86, s * 0.2}};
  p.drawPolyline(points, 3);
  return pm;
}
