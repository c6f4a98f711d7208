#pragma once

#include "KvColumn.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class TKvQueryCollection;

// A query collection seen by Qt's item views: one row per visible row of the
// collection, one column per declared column (every field when none is
// declared). data() reads the collection's row in O(1). The model follows
// the collection's signals (open, refresh, filter, sort, post, delete,
// current row) and sorting a view column sorts the collection in memory.
class TKvCollectionModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // The one column description (kv/KvColumn.h).
  using Column = KvColumn;

  explicit TKvCollectionModel(TKvQueryCollection* collection, QObject* parent = nullptr);
  ~TKvCollectionModel() override;

  TKvQueryCollection* Collection() const;

  void SetColumns(const QList<Column>& columns);
  const QList<Column>& Columns() const;
  Column* ColumnOf(const QString& field);
  // Field name shown in a view column (declared or implicit).
  QString FieldOfColumn(int column) const;
  int ColumnOfField(const QString& field) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // Per-row look, asked by data() for the background and text colours and
  // the font (e.g. a locked row in grey): return an invalid QVariant for the
  // default.
  std::function<QVariant(int row, int column, int role)> RowStyle;

  // The collection's field index behind a view column (-1 when unknown).
  int FieldIndexOfColumn(int column) const;

  // The default display text of a value.
  static QString DefaultText(const QVariant& value);
  // Ready-made formats: a number with a fixed count of decimals (comma,
  // optionally with the thousands dot); a flag shown as yes when its value is
  // non-zero (or true), no otherwise (null included).
  static std::function<QString(const QVariant&)> FixedFormat(int decimals, bool thousands = false);
  static std::function<QString(const QVariant&)> FlagFormat(const QString& yes, const QString& no = QString());

 private:
  void recompute();
  void resync();

  struct Impl;
  QPointer<TKvQueryCollection> m_collection;
  std::unique_ptr<Impl> d;
};
