#pragma once

#include "KvCollectionModel.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class TKvQueryCollection;

// One entry of a grid's sort index: clicking the title of its column sorts
// the rows by its fields. Fields are separated by ";" (or ","); the fields
// also named in DescFields sort descending on the first click. A second
// click on the same title reverses every field.
class TKvColsIndexItem {
 public:
  TKvColsIndexItem& SetColumn(int column);  // grid column (model column, 0-based)
  TKvColsIndexItem& SetFields(const QString& fields);
  TKvColsIndexItem& SetDescFields(const QString& fields);
  // Columns a quick search bar may search on. Unset: decided by the kind of
  // the column's field once the list is open (text yes, dates and numbers
  // no); false while the kind is unknown.
  TKvColsIndexItem& SetSearchable(bool on);
  TKvColsIndexItem& SetSearchableByKind(std::function<bool()> byKind);

  int Column() const { return m_column; }
  QStringList Fields() const { return m_fields; }  // upper case
  QStringList DescFields() const { return m_descFields; }
  bool Searchable() const;
  // True when field (any case) is one of the item's fields.
  bool HasField(const QString& field) const;

 private:
  int m_column = -1;
  QStringList m_fields;
  QStringList m_descFields;
  std::optional<bool> m_searchable;
  std::function<bool()> m_byKind;
};

class TKvColsIndex {
 public:
  void Clear() { m_items.clear(); }
  // The new item stays valid until Clear.
  TKvColsIndexItem* Add();
  int Count() const { return int(m_items.size()); }
  TKvColsIndexItem* Item(int i) const { return m_items.at(size_t(i)).get(); }
  TKvColsIndexItem* ItemOfColumn(int column) const;

 private:
  std::vector<std::unique_ptr<TKvColsIndexItem>> m_items;
};

// What the grid is about to paint in one cell. A drawing hook may change the
// colours, font and text, ask for an image drawn imageLeft pixels from the
// cell's left edge (vertically centred, before the text), or paint the cell
// itself through painter and clear defaultDrawing.
struct TKvDrawCell {
  int row = -1;
  int column = -1;
  QString field;  // upper-case collection field of the column
  QRect rect;
  QPainter* painter = nullptr;
  bool selected = false;
  QColor background;
  QColor foreground;
  QFont font;
  QString text;
  QPixmap image;
  int imageLeft = 2;
  bool defaultDrawing = true;
};

// The data grid: a table view of a query collection. Its current row and the
// collection's current row follow each other; moving off a row being edited
// saves it first (SavePending), and a refused save keeps the row.
// Sorting comes from the sort index (a click on a title) rather than from
// the view, so that the collection, a quick search bar and the header agree.
class TKvDBGrid : public QTableView {
  Q_OBJECT
 public:
  explicit TKvDBGrid(QWidget* parent = nullptr);
  ~TKvDBGrid() override;

  void SetCollection(TKvQueryCollection* collection);
  TKvQueryCollection* Collection() const;
  TKvCollectionModel* Model() const { return m_model; }

  // Declared columns; widths and visibility are applied to the view, and
  // the sort index is rebuilt from them (one entry per sortable column).
  void SetColumns(const KvColumns& columns);
  // Shows or hides the declared column of a field.
  void SetColumnVisible(const QString& field, bool visible);
  // The collection field behind a grid column.
  QString FieldOfColumn(int column) const;

  TKvColsIndex& ColsIndex() { return m_colsIndex; }
  const TKvColsIndex& ColsIndex() const { return m_colsIndex; }

  // What a click on a column title does; false when the column has no sort
  // index item (or a pending edit could not be posted).
  bool SortByColumn(int column);
  // The column of the last sort and its direction (-1 when unsorted).
  int SortedColumn() const { return m_sortColumn; }
  bool SortDescending() const { return m_sortDescending; }

  void SetRowHeight(int pixels);
  int RowHeight() const;
  // Background of the rows with an odd record number (the 1st, 3rd, ...);
  // an invalid colour paints every row in the window colour.
  void SetOddRowColor(const QColor& color);
  QColor OddRowColor() const { return m_oddRowColor; }
  void SetSelectedColors(const QColor& background, const QColor& text);

  // Cells may be typed into (the collection goes to edit); default off.
  void SetEditable(bool on);

  // Painting hook, see TKvDrawCell.
  std::function<void(TKvDrawCell&)> OnDrawColumnCell;

  // Images drawn for the cell hooks.
  static QPixmap PadlockImage(int size = 16);
  static QPixmap TickImage(int size = 16);

  // The collection row shown in a view row.
  int CurrentRow() const;

  // Stores a row being typed before the rows move under it: through the
  // window's own save when its frame set one, else a plain post whose
  // failure is shown. True when no row is being typed any more.
  bool SavePending();

 signals:
  // Emitted after a title click sorted the rows.
  void columnSorted(int column, const QString& field, bool descending);
  void rowDoubleClicked(int row);

 private:
  friend class TKvGridDelegate;
  void applyColumns();
  void followCollection(int row);
  void viewRowChanged(int row);
  void titleClicked(int column);
  void showSortIndicator();

  TKvCollectionModel* m_model = nullptr;
  TKvColsIndex m_colsIndex;
  QColor m_oddRowColor;
  QColor m_selectedBackground;
  QColor m_selectedText;
  int m_sortColumn = -1;
  bool m_sortDescending = false;
  int m_syncing = 0;  // the view's current row is being set from the collection
  QList<QMetaObject::Connection> m_collectionLinks;
};
