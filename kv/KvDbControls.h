#pragma once

#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QVariant>

#include "KvFieldKind.h"
#include "KvResult.h"
#include "KvState.h"

#include <functional>

class QToolButton;
class TKvDBControl;
class TKvQueryCollection;

// The link between a query collection and the controls that show its current
// row: the state of the collection as the frames see it (Inactive when there
// is no open collection), and the data-aware controls
// bound to it, which it keeps showing the current row.
class TKvDataSource : public QObject {
  Q_OBJECT
 public:
  explicit TKvDataSource(QObject* parent = nullptr);
  ~TKvDataSource() override;

  void SetDataSet(TKvQueryCollection* collection);
  TKvQueryCollection* DataSet() const;
  KvState State() const;

  // Typing into a control of a browsed row starts editing it (inserting a
  // row when there is none).
  bool AutoEdit = true;
  // A read-only source lets no control change the collection.
  void SetReadOnly(bool on);
  bool ReadOnly() const { return m_readOnly; }
  // Starts editing the current row (appends one to an empty collection).
  bool Edit();

  QList<TKvDBControl*> Controls() const { return m_controls; }
  // Checks every bound control (a date that does not parse...): the first
  // refusal, focused, as "Attenzione!" and its reason.
  KvStatus CheckControls();
  // The same for a save action: shows the refusal and returns false.
  bool ValidateControls();
  // The engine's refusal of the row in words a clerk reads, naming the field
  // whose value does not fit its column (too long, too large, missing), with
  // the engine's text as detail; a text that is not the engine's passes
  // unchanged.
  KvFailure ExplainFailure(const QString& engineText) const;
  // Shows the current row in every control again. With keepTyped (another
  // value of the row being edited changed) a control keeps a text that is not
  // a value yet, which the post will refuse.
  void RefreshControls(bool keepTyped = false);

 signals:
  void stateChange(KvState state);
  // The current row moved, was reloaded, or one of its values changed.
  void dataChange();

 private:
  friend class TKvDBControl;
  void attach(TKvDBControl* control);
  void detach(TKvDBControl* control);

  QPointer<TKvQueryCollection> m_collection;
  QList<QMetaObject::Connection> m_links;
  QList<TKvDBControl*> m_controls;
  bool m_readOnly = false;
};

// What every data-aware control shares: the field it is bound to, the value
// written back as the user types, a read-only flag.
class TKvDBControl {
 public:
  virtual ~TKvDBControl();

  void SetDataSource(TKvDataSource* source, const QString& field);
  TKvDataSource* DataSource() const { return m_source.data(); }
  QString DataField() const { return m_field; }
  void SetReadOnly(bool on);
  bool ReadOnly() const { return m_readOnly; }
  // The field's name as the clerk reads it in messages ("Importo"): the one
  // set, else the label beside the control in its form.
  void SetCaption(const QString& caption) { m_caption = caption; }
  QString Caption() const;

  // The text of the message that refuses the control's content, or empty.
  virtual QString Invalid() const { return {}; }
  virtual QWidget* Widget() = 0;
  // Shows the field of the current row.
  void Reload(bool keepTyped = false);

 protected:
  virtual void showValue(const QVariant& value) = 0;
  virtual void applyReadOnly(bool on) = 0;
  // Writes a value typed by the user; false (nothing written) when the
  // control or its source is read-only or the collection cannot edit.
  bool writeValue(const QVariant& value);
  // Puts the row in edit for a text that is not a value yet ("3" of a
  // date being typed), so that the frame knows the row is being changed.
  bool beginEdit();
  QVariant nullValue() const;  // a null of the field's type
  QMetaType fieldType() const;
  TKvFieldSize fieldSize() const;  // what the collection's select tells of the field
  bool loading() const { return m_loading; }
  void updateReadOnly();

 private:
  QPointer<TKvDataSource> m_source;
  QString m_field;
  QString m_caption;
  bool m_readOnly = false;
  bool m_loading = false;
  bool m_writing = false;
};

// Text field (xde). An empty text is stored as null; no more characters can
// be typed than the column holds.
class TKvDBEdit : public QLineEdit, public TKvDBControl {
  Q_OBJECT
 public:
  explicit TKvDBEdit(QWidget* parent = nullptr);
  // Letters typed become capitals.
  void SetUpperCase(bool on) { m_upper = on; }
  QWidget* Widget() override { return this; }

 protected:
  void showValue(const QVariant& value) override;
  void applyReadOnly(bool on) override { setReadOnly(on); }

 private:
  void typed(const QString& text);
  bool m_upper = false;
};

// Date field (xdd): dd/mm/yyyy typed or picked from a calendar, empty for
// no date. A text that is not a date is not written and makes Invalid().
class TKvDBDateEdit : public QWidget, public TKvDBControl {
  Q_OBJECT
 public:
  explicit TKvDBDateEdit(QWidget* parent = nullptr);
  QWidget* Widget() override { return this; }
  QLineEdit* LineEdit() const { return m_edit; }
  QToolButton* Button() const { return m_button; }

  QString Text() const;
  bool IsEmpty() const;
  // The date shown; invalid when empty or not a date.
  QDate Date() const;
  // Shows and writes a date (an invalid one clears the field).
  void SetDate(const QDate& date);
  QString Invalid() const override;
  // Replaces the calendar that the button opens.
  std::function<void()> OnButtonClick;

  // dd/mm/yyyy, d/m/yyyy, dd/mm/yy (1950-2049), ddmmyyyy; invalid otherwise.
  static QDate ParseDate(const QString& text);
  // Where the calendar of a field opens (all in screen coordinates): beside
  // the field on the right, else on its left, above it, below it, whichever
  // first fits inside the window (beside, moved up or down as needed); else
  // on the right, kept inside the window. Below only when nothing else
  // fits, so the buttons under a form stay in sight.
  static QPoint CalendarPosition(const QRect& field, const QSize& calendar, const QRect& window);

 protected:
  void showValue(const QVariant& value) override;
  void applyReadOnly(bool on) override;

 private:
  void typed(const QString& text);
  void openCalendar();
  QLineEdit* m_edit;
  QToolButton* m_button;
};

// Number field (xdn), right aligned: a number typed the Italian way (decimal
// comma, thousands dot; the keypad's point types a comma). Decimals fixes the
// decimals allowed and shown, with the thousands dot (-1: as many as the
// column keeps, shown as the grid shows a plain number). A text that is not
// a number, has more decimals than allowed or does not fit the column is not
// written and makes Invalid() with a message naming the field.
class TKvDBNumberEdit : public QLineEdit, public TKvDBControl {
  Q_OBJECT
 public:
  explicit TKvDBNumberEdit(QWidget* parent = nullptr);
  void SetDecimals(int decimals);
  int Decimals() const { return m_decimals; }
  QWidget* Widget() override { return this; }
  QString Invalid() const override;
  // The number typed (a double, or a qint64 for an integer field); an
  // invalid QVariant when empty or refused.
  QVariant Number() const;

 protected:
  void showValue(const QVariant& value) override;
  void applyReadOnly(bool on) override { setReadOnly(on); }
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void typed(const QString& text);
  bool integral() const;
  QString shownText(const QVariant& value) const;
  int m_decimals = -1;
};

// Memo field (xdm). An empty text is stored as null; no more characters can
// be typed than the column holds.
class TKvDBMemo : public QPlainTextEdit, public TKvDBControl {
  Q_OBJECT
 public:
  explicit TKvDBMemo(QWidget* parent = nullptr);
  QWidget* Widget() override { return this; }

 protected:
  void showValue(const QVariant& value) override;
  void applyReadOnly(bool on) override { setReadOnly(on); }

 private:
  void typed();
};

// Check box (xck): ticked when the field holds ValueChecked; writes
// ValueChecked or ValueUnchecked. A null shows unticked.
class TKvDBCheckBox : public QCheckBox, public TKvDBControl {
  Q_OBJECT
 public:
  explicit TKvDBCheckBox(const QString& caption = QString(), QWidget* parent = nullptr);
  QVariant ValueChecked = 1;
  QVariant ValueUnchecked = 0;
  QWidget* Widget() override { return this; }

 protected:
  void showValue(const QVariant& value) override;
  void applyReadOnly(bool on) override;

 private:
  void toggledByUser(bool checked);
};
