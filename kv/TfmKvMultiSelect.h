#pragma once

#include "KvCollectionModel.h"
#include "TfmKvDialog.h"

#include "KvResult.h"
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;
class TKvQueryCollection;

// The selection window: the rows of a statement with a tick box each (or,
// in single selection, the current row), "Seleziona tutti", "Deseleziona
// tutti" and "Inverti selezione", and the keys of the chosen rows. Filters
// (check boxes, or any control a derived window adds to the filter box)
// rebuild the list in memory through BuildFilter; rebuilding clears the
// ticks, since rows may leave the list. OK with nothing chosen says so and
// keeps the window open.
class TfmKvMultiSelect : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmKvMultiSelect(QWidget* parent = nullptr);
  ~TfmKvMultiSelect() override;

  // The rows offered. A statement's "##WHERE##" is read as "1=1" and its
  // "##ORDERBY##" as the first column.
  TKvQueryCollection* List() const;
  void SetCommandText(const QString& sql);
  void SetParam(const QString& name, const QVariant& value);
  // The rows' key (default: the first column).
  void SetKeyField(const QString& field);
  QString KeyField() const;
  // Grid columns (default: every field).
  void SetColumns(const QList<TKvCollectionModel::Column>& columns);
  void SetCaption(const QString& caption);

  // Several rows (tick boxes) or one (the current row).
  void SetMultiSelect(bool multi);
  bool MultiSelect() const;
  // Cleared, the modal run does not show the window and returns at once,
  // accepted with the ticks set so far (a caller that already knows).
  void SetShowForm(bool show);
  bool ShowForm() const;
  void SetEmptySelectionMessage(const QString& text);

  // Runs the statement (done by the modal run when not done before).
  KvStatus Open();

  // Ticks, by visible row.
  bool IsSelected(int row) const;
  void SetSelected(int row, bool selected);
  void SelectAll();
  void SelectNone();
  void InvertSelection();
  int SelectedCount() const;
  // The keys chosen ("bookmarks"), in list order; in single selection the
  // current row's key.
  QList<QVariant> SelectedKeys() const;
  void SetSelectedKeys(const QList<QVariant>& keys);

  // Filters: a box in the filter group that rebuilds the list when clicked.
  QCheckBox* AddFilterCheck(const QString& caption, const QString& objectName = QString());
  QGroupBox* FilterBox() const;
  QVBoxLayout* FilterLayout() const;
  // The in-memory filter of the list (KvFilter syntax; empty for none),
  // asked at each rebuild unless a derived window overrides BuildFilter.
  std::function<QString(TfmKvMultiSelect& window)> OnBuildFilter;
  // Clears the ticks and filters the list again; false when the filter could
  // not be applied (the list then shows every row).
  bool RebuildList();

  QTableView* Grid() const;
  QPushButton* SelectAllButton() const;
  QPushButton* SelectNoneButton() const;
  QPushButton* InvertButton() const;


  int exec() override;

 protected:
  // Before the window first shows (after the list opened).
  virtual void FormShow() {}
  virtual QString BuildFilter();
  bool CanAccept() override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
  void prepare();
};
