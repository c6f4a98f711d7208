#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QCompleter;
class QKeySequence;
class QLineEdit;
class QToolButton;
class TKvQueryCollection;
class TKvSearchColumns;
class TfmKvSearch;

// An edit that holds the key of a row of a list (a supplier, a CIG, a year)
// and shows one of its fields. The list is a select whose "##WHERE##" the
// edit fills: "1=1" for the whole list, the key for the text of a key, the
// typed text (case-insensitive prefix of ListSearchField, bound as a
// parameter) when the user types. The key is -1 when the edit is empty.
//
// Typing and leaving the edit (or Enter) resolves the text: a single match,
// or a single row equal to the text, becomes the key; several matches open
// the search window filtered by the text; no match says "Valore non
// trovato." and puts back the text of the key held before. An emptied edit
// means key -1. F2, Ctrl+F or the "..." button open the search window (the
// class named by SearchForm, through the window factory; TfmKvSearch when
// none is named); Alt+Down or F4 drop the list down.
//
// Bound to a field of a query collection, the edit shows the key of the
// current row and writes the key the user chooses into it (NULL for -1).
// Every change made by the user passes OnValidate first (a refusal shows
// its text and keeps the old key); a changed key calls OnChangeFKValue.
class TKvDBLookupEdit : public QWidget {
  Q_OBJECT
 public:
  explicit TKvDBLookupEdit(QWidget* parent = nullptr);
  ~TKvDBLookupEdit() override;

  // The list. A new statement or parameter takes effect at the next use;
  // RefreshList reads the list and the text of the key again.
  void SetConnectionName(const QString& name);
  void SetListCommandText(const QString& sql);
  void SetListCommandText(const QStringList& lines);
  QString ListCommandText() const;
  void SetListParam(const QString& name, const QVariant& value);
  void RefreshList();

  // Fields may be qualified ("TBEN_BENEFICIARI.IBENID"): the qualified name
  // goes into conditions, the bare name reads the rows.
  void SetKeyField(const QString& field);
  QString KeyField() const;
  void SetListField(const QString& field);
  QString ListField() const;
  // Default: ListField.
  void SetListSearchField(const QString& field);
  QString ListSearchField() const;

  // The search window: its class and how it looks when the caller does not
  // set it up in OnShowSearchForm.
  void SetSearchForm(const QString& className);
  QString SearchForm() const;
  void SetSearchCaption(const QString& caption);
  void SetSearchWidth(int width);
  TKvSearchColumns& SearchColumns();
  // Opens the search window (filtered by text when given); true when the
  // user chose a row and it was accepted.
  bool ShowSearchForm(const QString& filterText = QString());

  // Follows a field of a collection (the foreign key of its current row).
  void SetDataSource(TKvQueryCollection* collection, const QString& dataField);
  TKvQueryCollection* DataSource() const;
  QString DataField() const;
  // Shows again the key of the bound field (after code changed the field).
  void RefreshFromField();

  int KeyValue() const;
  // Sets the key from code: no validation, but the bound field and
  // OnChangeFKValue follow as for a choice of the user.
  void SetKeyValue(int key);
  void Clear() { SetKeyValue(-1); }
  QString Text() const;
  // A field of the list row of the key (null when there is no key).
  QVariant ListValue(const QString& field) const;

  void SetReadOnly(bool readOnly);
  bool ReadOnly() const;

  // Resolves the typed text as when the user leaves the edit; false when the
  // text could not become a key (the old key stays).
  bool ResolveText();
  // Drops down the list of every row (for the user; tests use ResolveText).
  void ShowDropDown();
  // Before a save: closes the suggestion list and resolves a text still
  // being typed; false when it could not become a key.
  bool CommitTyping();
  bool SuggestionsVisible() const;

  QLineEdit* LineEdit() const;
  QToolButton* SearchButton() const;
  QToolButton* DropDownButton() const;

  // Called with the search window before it runs: the caller sets caption,
  // columns, statement or filters, or clears show to skip it.
  std::function<void(TKvDBLookupEdit& sender, TfmKvSearch& form, bool& show)> OnShowSearchForm;
  // The key changed (by the user or by SetKeyValue).
  std::function<void(TKvDBLookupEdit& sender, int oldKey, int newKey)> OnChangeFKValue;
  // Asked before the user's choice becomes the key; false refuses it and
  // message, when set, is shown to the user.
  std::function<bool(TKvDBLookupEdit& sender, int newKey, QString& message)> OnValidate;

 signals:
  void keyValueChanged(int key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d;

  bool chooseByUser(int key, const QHash<QString, QVariant>& row);
  void applyKey(int key);
  void showKeyText();
  void fillCompleter();
  QAction* windowAction(const QKeySequence& keys) const;
};
