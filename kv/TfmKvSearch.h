#pragma once

#include "KvColumn.h"
#include "TfmKvDialog.h"

#include "KvResult.h"
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;
class TKvQueryCollection;

// A column of a search statement, by position (0 is the first column, usually
// the key). A field shows when it is made visible, or when it has a caption
// and was never hidden; an indexed field is one the user may search and sort
// by. A window whose fields were never set up shows every column and lets the
// user search and sort any of them.
class TKvSearchField {
 public:
  void SetCaption(const QString& caption) { m_caption = caption; }
  QString Caption() const { return m_caption; }
  void SetIndexed(bool indexed) {
    m_indexed = indexed;
    m_indexedByKind = false;
  }
  bool Indexed() const { return m_indexed; }
  // Indexed when the list shows the field is text (dates and numbers not).
  void SetIndexedByKind() { m_indexed = m_indexedByKind = true; }
  bool IndexedByKind() const { return m_indexedByKind; }
  void SetVisible(bool visible) { m_visible = visible; }
  bool Visible() const { return m_visible.value_or(!m_caption.isEmpty()); }
  bool VisibleSet() const { return m_visible.has_value(); }
  void SetColWidth(int width) { m_width = width; }
  int ColWidth() const { return m_width; }

 private:
  QString m_caption;
  bool m_indexed = false;
  bool m_indexedByKind = false;
  std::optional<bool> m_visible;
  int m_width = -1;
};

// The fields of a search window; asking for a position past the end adds
// fields up to it, and the addresses of fields stay valid. Fields may also be
// declared by name (SetColumns): the window places them by the names of its
// statement's columns; only the declared ones show.
class TKvSearchColumns {
 public:
  void SetColumns(const KvColumns& columns);
  // Places the declared columns at the positions of their names (upper case,
  // without table prefix); false when some name is missing.
  bool Resolve(const QStringList& names);
  bool HasPending() const { return !m_declared.isEmpty(); }

  TKvSearchField& Field(int index);
  const TKvSearchField* Find(int index) const;
  int Count() const { return int(m_fields.size()); }
  bool Configured() const;  // some field was given a caption, visibility or index
  void Clear() {
    m_fields.clear();
    m_declared.clear();
  }

 private:
  std::deque<TKvSearchField> m_fields;
  KvColumns m_declared;
};

// A search statement: SQL text with the markers "##WHERE##" and
// "##ORDERBY##", and its named parameters.
class TKvSearchStatement {
 public:
  void SetCommandText(const QString& sql) { m_sql = sql; }
  void SetCommandText(const QStringList& lines) { m_sql = lines.join(QLatin1Char('\n')); }
  QString CommandText() const { return m_sql; }
  void SetParam(const QString& name, const QVariant& value);
  QVariant Param(const QString& name) const;
  const QList<QPair<QString, QVariant>>& Params() const { return m_params; }
  void ClearParams() { m_params.clear(); }

 private:
  QString m_sql;
  QList<QPair<QString, QVariant>> m_params;  // names upper case, without ':'
};

// Building the searched statements. User text never enters the SQL text: it
// is bound as the parameter :KVSEARCH.
namespace KvSearchSql {
inline constexpr const char* kSearchParam = "KVSEARCH";
// "UPPER(expression) LIKE :KVSEARCH" with the pattern's escape character.
QString Condition(const QString& expression);
// The value bound to :KVSEARCH: the text upper-cased, its LIKE wildcards
// taken literally, then "%" (prefix) or wrapped in "%" (contains).
QString Pattern(const QString& text, bool contains);
// The statement with its markers replaced.
QString Fill(const QString& sql, const QString& where, const QString& orderBy);
bool HasWhere(const QString& sql);
bool HasOrderBy(const QString& sql);
// One item of a select list: its expression and the name of its column in
// the result ("ART.SARTCOD" -> SARTCOD, "a || b AS X" -> X), upper case.
struct SelectItem {
  QString expression;
  QString name;
};
// The items of the first select list; empty when it cannot be split
// (e.g. "SELECT *").
QList<SelectItem> SelectList(const QString& sql);
// "T.FIELD" -> "FIELD".
QString BareName(const QString& field);
}  // namespace KvSearchSql

// The modal search window: a list over a statement whose "##WHERE##" holds
// the user's filter and "##ORDERBY##" the user's sort. The filter edit
// searches the grid's current column (contains, case-insensitive); clicking
// a column title sorts by it, a second click the other way. OK, a double
// click, or Enter choose the current row; GetDataSet then has it as current.
class TfmKvSearch : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmKvSearch(QWidget* parent = nullptr);
  ~TfmKvSearch() override;

  // Default: the global connection.
  void SetConnectionName(const QString& name);
  void SetCommandText(const QString& sql);
  void SetCommandText(const QStringList& lines);
  QString CommandText() const;
  void SetParam(const QString& name, const QVariant& value);
  TKvSearchStatement& Statement();
  // The rows' key (default: the first column).
  void SetKeyField(const QString& field);
  QString KeyField() const;

  TKvSearchField* GetFields(int index);
  TKvSearchColumns& Fields();
  void SetCaption(const QString& caption);
  void SetWidth(int width);

  // The row made current when the list opens.
  void SetLocate(const QString& field, const QVariant& value);

  // Filter: text and the field it searches (-1: the grid's current column,
  // or the first searchable one). A field may also be named by its column
  // name; a name no field has leaves the choice to the window.
  void SetFilterText(const QString& text);
  QString FilterText() const;
  void SetFilterField(int field);
  void SetFilterFieldName(const QString& name);
  int FilterField() const;
  // Runs the statement with the filter now (the edit waits a moment after
  // each key). False when the filter could not be applied: the list then
  // shows every row.
  bool ApplyFilter();

  // Sort by a searchable field; false for a field that is not.
  bool SortBy(int field, bool descending = false);
  int SortField() const;
  bool SortDescending() const;

  // Runs the statement; done by the modal run when not done before. A
  // failure is also shown in the status line.
  KvStatus Open();
  bool IsOpen() const;
  // The list; its current row is the chosen one after OK.
  TKvQueryCollection* GetDataSet() const;
  QVariant Value(const QString& field) const;
  bool ChooseRow(int row);
  bool Chosen() const;

  // Cleared, the modal run returns at once without a choice (a caller that
  // decided, once the window was built, not to show it).
  void SetShowForm(bool show);
  bool ShowForm() const;

  // The edit button opens a window of the class modally (e.g. to add a row)
  // and then reloads the list.
  void SetEditForm(const QString& className, const QString& caption = QString());
  QString EditForm() const;
  bool RunEditForm();

  QTableView* Grid() const;
  QLineEdit* FilterEdit() const;
  QWidget* FilterPanel() const;
  QLabel* StatusLabel() const;
  QPushButton* EditButton() const;


  int exec() override;

 protected:
  bool CanAccept() override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Called after every run of the statement.
  virtual void ListOpened() {}
  // The edit window was built (before it shows) and has closed.
  virtual void EditFormCreated(QWidget* window) { Q_UNUSED(window); }
  virtual void EditFormClosed(QWidget* window, int result) {
    Q_UNUSED(window);
    Q_UNUSED(result);
  }

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};

// A search run from code: the statement, its connection and columns, a modal
// run, and the values of the row chosen.
class TKvSearchDialog {
 public:
  TKvSearchDialog();
  ~TKvSearchDialog();

  void SetDBConnection(const QString& connectionName);
  TKvSearchStatement& GetSQLDataSet();
  TKvSearchColumns& GetColumns();
  void SetCaption(const QString& caption);
  void SetWidth(int width);
  void SetKeyField(const QString& field);
  void SetLocate(const QString& field, const QVariant& value);
  void SetFilterText(const QString& text);
  // Called with the window before it runs, for anything not set above.
  std::function<void(TfmKvSearch& window)> OnShow;

  // True when the user chose a row.
  bool Execute(QWidget* parent = nullptr);
  QVariant Value(const QString& field) const;
  QStringList FieldNames() const;

 private:
  QString m_connection;
  TKvSearchStatement m_statement;
  TKvSearchColumns m_columns;
  QString m_caption;
  int m_width = 0;
  QString m_keyField;
  QString m_locateField;
  QVariant m_locateValue;
  QString m_filterText;
  QStringList m_names;
  QList<QVariant> m_values;
};
