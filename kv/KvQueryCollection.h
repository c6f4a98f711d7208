#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "KvFieldKind.h"
#include "KvResult.h"
#include "KvState.h"

#include <functional>
#include <memory>

// Values a before-statement hook adds to the statement's parameters
// (institute, year, parent ids...). A name is bound as ":NAME".
class TKvFieldValue {
 public:
  void Add(const QString& name, const QVariant& value);
  QVariant Value(const QString& name) const;  // null when not added
  bool Contains(const QString& name) const;
  const QList<QPair<QString, QVariant>>& Items() const { return m_items; }
  void Clear() { m_items.clear(); }

 private:
  QList<QPair<QString, QVariant>> m_items;
};

// What a hook learns about the statement about to run (or just run).
struct TKvQueryProp {
  enum class Kind { Update = 0, Insert = 1, Delete = 2 };
  using enum Kind;
  QString TableName;          // table the statement writes, upper case, trimmed
  Kind QueryKind = Update;
  int Index = 0;              // position of the statement in its list
  QString Sql;                // the statement text
  TKvFieldValue* FieldValues = nullptr;  // extra parameter values
  bool Execute = true;        // cleared by a before-hook: the statement is skipped

  // A hook refuses the whole post or delete with an Italian text: nothing of
  // it is written, the row stays as typed, and the text is the failure.
  void Refuse(const QString& text) {
    Refusal = text;
    Execute = false;
  }
  QString Refusal;
};

// A query collection: the rows of a select held in memory, with the
// browse / insert / edit states of a data set, an in-memory filter and sort,
// and the written-out statements that store a row.
//
// Posting an inserted row runs SQLInsert, an edited row SQLUpdate, a delete
// SQLDelete (with an empty delete list the row is deleted from the table by
// its key), all statements of one post in one transaction: either every
// statement is written or none, and on failure the row stays in its insert
// or edit state with the values typed. Statement parameters are bound from
// the row's fields (":SPRECOD"), from the hook's TKvFieldValue list, and
// from two markers: ":KVGENID" is a new id for each statement that names it
// (taken from the database for the statement's table), and ":KVCURRID" is
// the current row's key. The new id of a statement is stored in the column
// it was inserted into, so the next statements of the same post can refer
// to it by that column's name.
class TKvQueryCollection : public QObject {
  Q_OBJECT
 public:
  using State = KvState;

  struct SortKey {
    QString field;
    bool descending = false;
  };

  explicit TKvQueryCollection(QObject* parent = nullptr);
  ~TKvQueryCollection() override;

  // Connection name (default: the global connection).
  void SetConnectionName(const QString& name);
  QString ConnectionName() const;

  // The select; its named parameters are set with SetParam before Open.
  void SetCommandText(const QString& sql);
  QString CommandText() const;
  void SetParam(const QString& name, const QVariant& value);
  QVariant Param(const QString& name) const;
  void ClearParams();

  // The key field of the rows (default: the first column).
  void SetKeyField(const QString& field);
  QString KeyField() const;
  // Main table, used by the default delete (default: the table of the key
  // field as guessed from the select's FROM).
  void SetTableName(const QString& table);
  QString TableName() const;

  QStringList& SQLInsert();
  QStringList& SQLUpdate();
  QStringList& SQLDelete();
  // With false (the only mode this program uses) only the statement lists run.
  void SetAutoBuildSQL(bool on);

  // Hooks run before and after each statement of a post or delete.
  std::function<void(TKvQueryProp&)> KvBeforeExec;
  std::function<void(TKvQueryProp&)> KvAfterExec;
  // The window's own save of a row being typed. Moving, filtering, sorting
  // and refreshing need the row stored first: with this set they run it
  // (it shows its own messages) instead of a plain post, and do nothing
  // while the row stays in insert or edit.
  std::function<bool()> SavePending;
  // Called when a new row is inserted, to set its default values.
  std::function<void(TKvQueryCollection&)> OnNewRecord;

  // Loading. Open fails with the engine's text on a database error.
  KvStatus Open();
  void Close();
  bool Active() const;
  // Reloads the rows, keeping the current row by key when it still exists.
  KvStatus Refresh();
  QString LastError() const;

  // Fields.
  int FieldCount() const;
  QStringList FieldNames() const;
  int FieldIndex(const QString& name) const;  // case-insensitive, -1 when unknown
  QMetaType FieldType(int index) const;
  QMetaType FieldType(const QString& name) const;
  TKvFieldSize FieldSize(const QString& name) const;

  // Rows visible through the filter, in sort order; row numbers are 0-based.
  int RecordCount() const;
  int RecNo() const;  // -1 when empty
  bool IsEmpty() const;
  bool Bof() const;
  bool Eof() const;
  void First();
  void Last();
  void Next();
  void Prior();
  bool MoveTo(int row);
  // Moves to the first visible row whose field equals value.
  bool Locate(const QString& field, const QVariant& value);

  // Value of a field of the current row (the edit buffer while inserting or
  // editing), and of any visible row, in O(1).
  QVariant FieldValue(const QString& name) const;
  QVariant FieldValue(int index) const;
  QVariant Value(int row, int field) const;
  // Sets a field of the current row; in browse state it starts editing.
  bool SetFieldValue(const QString& name, const QVariant& value);

  // Editing.
  State GetState() const;
  bool Insert();  // a new row after the current one
  bool Append();  // a new row at the end
  bool Edit();
  KvStatus Post();
  void Cancel();
  KvStatus Delete();

  // In-memory filter (KvFilter syntax). SetFilter only stores the text;
  // SetFiltered(true) applies it and fails, leaving the rows unfiltered,
  // when the text does not parse.
  void SetFilter(const QString& text);
  QString Filter() const;
  KvStatus SetFiltered(bool on);
  bool Filtered() const;

  // In-memory sort, stable, nulls first; an empty list restores load order.
  void SetSort(const QList<SortKey>& keys);
  QList<SortKey> Sort() const;

 signals:
  void opened();
  void closed();
  void stateChanged(KvState state);
  // The visible rows changed as a whole (open, refresh, filter, sort).
  void rowsReset();
  // One visible row changed (post of an edit).
  void rowChanged(int row);
  void rowInserted(int row);
  void rowRemoved(int row);
  void currentChanged(int row);

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};
