#pragma once

#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "KvResult.h"

#include <functional>

class QAction;
class QFormLayout;
class QHBoxLayout;
class QIcon;
class QTabWidget;
class QToolBar;
class TKvDataSource;
class TKvDBCheckBox;
class TKvDBDateEdit;
class TKvDBEdit;
class TKvDBGrid;
class TKvDBLookupEdit;
class TKvDBMemo;
class TKvDBNumberEdit;
class TKvQueryCollection;

// Base of the data frames: a tool bar with the standard actions over the
// frame's query collection (reached through the data source xdsMain), and a
// grid page, a detail page or both.
//
// Each action runs its hook when one is set (xacPostExecute...), else the
// standard behaviour, which a hook can still call (Post(), Insert()...). The
// actions follow the state: navigation, insert, delete, edit and refresh
// while browsing, post and cancel while inserting or editing. A refused post
// or delete shows the database's error (the action does, not the routine)
// and leaves the row as it was.
//
// A row being typed is never stored behind the user's back nor lost: moving,
// sorting, filtering or refreshing its collection first runs the frame's own
// save (SavePending), and closing the window asks "Salvare le modifiche?"
// (ConfirmLeave). The actions have their keys (Ins, F2, Ctrl+S, Esc,
// Ctrl+Del, F5) while the focus is inside the frame.
class TfrKvDBFrame : public QWidget {
  Q_OBJECT
 public:
  ~TfrKvDBFrame() override;

  // The collection the frame works on (grid, detail controls, actions).
  void SetDataSet(TKvQueryCollection* collection);
  TKvQueryCollection* DataSet() const;

  TKvDataSource* xdsMain;
  TKvDBGrid* grFrame = nullptr;  // null in a frame without a grid
  QToolBar* tbFrame;
  QAction* xacFirst;
  QAction* xacPrior;
  QAction* xacNext;
  QAction* xacLast;
  QAction* xacInsert;
  QAction* xacDelete;
  QAction* xacEdit;
  QAction* xacPost;
  QAction* xacCancel;
  QAction* xacRefresh;

  std::function<void()> xacFirstExecute;
  std::function<void()> xacPriorExecute;
  std::function<void()> xacNextExecute;
  std::function<void()> xacLastExecute;
  std::function<void()> xacInsertExecute;
  std::function<void()> xacDeleteExecute;
  std::function<void()> xacEditExecute;
  std::function<void()> xacPostExecute;
  std::function<void()> xacCancelExecute;
  std::function<void()> xacRefreshExecute;

  // The standard behaviours. Post, Delete and Refresh show nothing: they
  // return why they failed, and the standard actions show it.
  void First();
  void Prior();
  void Next();
  void Last();
  virtual bool Insert();
  KvStatus Delete();
  virtual bool Edit();
  KvStatus Post();
  void Cancel();
  KvStatus Refresh();
  // What the post action does, for a window's own save: posts, and shows why
  // not (a control holding no value as a warning); true when posted.
  bool PostAndReport();

  // The delete action asks "Cancellare il record?" first. A window's own
  // delete asks through DeleteConfirmed once its checks passed.
  bool ConfirmDelete = false;
  // True when the delete may go on: no confirmation wanted, or the user said yes.
  bool DeleteConfirmed();

  // Runs the save action (its hook with the window's rules, else Post) when
  // a row is being typed; true when no row is being typed any more.
  bool SavePending();
  // With a row being typed asks "Salvare le modifiche?": yes saves through
  // SavePending, no cancels the row; false (stay) on cancel or a failed save.
  bool ConfirmLeave();
  // ConfirmLeave for every frame inside window.
  static bool ConfirmLeaveAll(QWidget* window);
  // A row is being typed in a frame inside window.
  static bool AnyEditing(QWidget* window);
  // Takes what the focused field of the frame is still typing (a lookup's
  // text, its open suggestion list); false when the text was refused.
  bool CommitTyping();

  // A read-only frame changes nothing: insert, delete, edit, post and cancel
  // stay disabled and the detail controls read-only.
  void SetReadOnly(bool on);
  bool ReadOnly() const { return m_readOnly; }
  // A locked action is hidden and disabled whatever the state.
  void SetActionLocked(QAction* action, bool locked);
  bool ActionLocked(QAction* action) const { return m_locked.contains(action); }
  void UpdateActions();

  // Extra tool bar items after the standard actions (quick search bar,
  // print button...), each group after a separator.
  void AddToolWidget(QWidget* widget, bool separator = true);
  void AddToolAction(QAction* action, bool separator = true);

  // The detail page (null in a grid-only frame) with its form layout, and
  // helpers that add a data-aware control bound to the frame in one call:
  // its component name, its field and its caption.
  QWidget* DetailPage() const { return m_detail; }
  QFormLayout* DetailLayout() const { return m_detailLayout; }
  TKvDBEdit* AddDBEdit(const QString& name, const QString& field, const QString& caption);
  TKvDBDateEdit* AddDBDate(const QString& name, const QString& field, const QString& caption);
  TKvDBNumberEdit* AddDBNumber(const QString& name, const QString& field, const QString& caption, int decimals = -1);
  TKvDBMemo* AddDBMemo(const QString& name, const QString& field, const QString& caption);
  TKvDBCheckBox* AddDBCheck(const QString& name, const QString& field, const QString& caption);
  // The control bound to a field (any letter case), or null: where a
  // message about the field sends the user.
  QWidget* ControlOfField(const QString& field) const;
  // A lookup bound to the frame's collection (also to one set later by
  // SetDataSet); a preset sets its list.
  TKvDBLookupEdit* AddDBLookup(const QString& name, const QString& field, const QString& caption);

 protected:
  enum class Pages { GridAndDetail, Grid, Detail };
  TfrKvDBFrame(Pages pages, QWidget* parent);

  // Called when a row is to be typed (insert, edit, a double click).
  virtual void ShowDetail() {}
  bool editing() const;

  QWidget* m_detail = nullptr;
  QFormLayout* m_detailLayout = nullptr;

 private:
  QAction* makeAction(const QString& name, const QString& hint, const QIcon& icon, const QKeySequence& key,
                      std::function<void()>* hook, std::function<void()> standard);
  void focusFirstControl();
  void orderTabs();
  void showEvent(QShowEvent* event) override;

  QList<QAction*> m_locked;
  QList<QPointer<TKvDBLookupEdit>> m_lookups;
  bool m_readOnly = false;
  bool m_tabsOrdered = false;
  bool m_saving = false;
};

// Grid page and detail page, with every standard action. Insert and edit
// show the detail page; so does a double click on a row.
class TfrKvDBRWGrid : public TfrKvDBFrame {
  Q_OBJECT
 public:
  explicit TfrKvDBRWGrid(QWidget* parent = nullptr);
  QTabWidget* pcFrame;
  QWidget* tsGrid;
  QWidget* tsDetail;
  void ShowGrid();
  void ShowDetail() override;
};

// A read-only grid with navigation and refresh.
class TfrKvDBROGrid : public TfrKvDBFrame {
  Q_OBJECT
 public:
  explicit TfrKvDBROGrid(QWidget* parent = nullptr);
};

// The detail page alone, with every standard action.
class TfrKvDBRW : public TfrKvDBFrame {
  Q_OBJECT
 public:
  explicit TfrKvDBRW(QWidget* parent = nullptr);
};
