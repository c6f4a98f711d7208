#include "KvDbControls.h"

#include "KvFieldKind.h"

#include "KvCollectionModel.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QWidgetAction>

#include <cmath>

namespace {

bool isIntegral(QMetaType t) { return KvKindOf(t) == KvFieldKind::Int; }

// The number in a text with the decimal comma (or point); invalid when the
// text is empty or not a number.
QVariant parseNumber(const QString& text) {
  QString t = text.trimmed();
  if (t.isEmpty()) return {};
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double d = t.toDouble(&ok);
  return ok ? QVariant(d) : QVariant();
}

}  // namespace

// ---- data source ---------------------------------------------------------

TKvDataSource::TKvDataSource(QObject* parent) : QObject(parent) {}

TKvDataSource::~TKvDataSource() = default;

void TKvDataSource::SetDataSet(TKvQueryCollection* collection) {
  for (const auto& link : m_links) disconnect(link);
  m_links.clear();
  m_collection = collection;
  if (collection) {
    m_links << connect(collection, &TKvQueryCollection::stateChanged, this, [this](int state) {
      RefreshControls();
      emit stateChange(state);
    }) << connect(collection, &TKvQueryCollection::currentChanged, this, [this] {
      RefreshControls();
      emit dataChange();
    }) << connect(collection, &TKvQueryCollection::rowChanged, this, [this](int row) {
      if (!m_collection || row != m_collection->RecNo()) return;
      const int s = State();
      RefreshControls(s == dsInsert || s == dsEdit);
      emit dataChange();
    });
  }
  RefreshControls();
  emit stateChange(State());
  emit dataChange();
}

TKvQueryCollection* TKvDataSource::DataSet() const {
  return m_collection.data();
}

int TKvDataSource::State() const {
  if (!m_collection || !m_collection->Active()) return dsInactive;
  return int(m_collection->GetState());
}

void TKvDataSource::SetReadOnly(bool on) {
  m_readOnly = on;
  RefreshControls();
}

bool TKvDataSource::Edit() {
  TKvQueryCollection* c = DataSet();
  if (!c || !c->Active() || m_readOnly) return false;
  const int s = State();
  if (s == dsInsert || s == dsEdit) return true;
  return c->IsEmpty() ? c->Append() : c->Edit();
}

bool TKvDataSource::ValidateControls() {
  for (TKvDBControl* control : m_controls) {
    const QString why = control->Invalid();
    if (why.isEmpty()) continue;
    KvMessageDlg(QStringLiteral("Attenzione!\n") + why, TMsgDlgType::mtWarning, mbOK);
    control->Widget()->setFocus();
    return false;
  }
  return true;
}

void TKvDataSource::RefreshControls(bool keepTyped) {
  for (TKvDBControl* control : m_controls) control->Reload(keepTyped);
}

void TKvDataSource::attach(TKvDBControl* control) {
  if (!m_controls.contains(control)) m_controls.append(control);
}

void TKvDataSource::detach(TKvDBControl* control) {
  m_controls.removeAll(control);
}

// ---- control base --------------------------------------------------------

TKvDBControl::~TKvDBControl() {
  if (m_source) m_source->detach(this);
}

void TKvDBControl::SetDataSource(TKvDataSource* source, const QString& field) {
  if (m_source) m_source->detach(this);
  m_source = source;
  m_field = field.trimmed();
  if (source) source->attach(this);
  Reload();
}

void TKvDBControl::SetReadOnly(bool on) {
  m_readOnly = on;
  updateReadOnly();
}

void TKvDBControl::updateReadOnly() {
  // A bound control without an open collection has nothing to change.
  const bool sourceLocked = m_source && (m_source->ReadOnly() || m_source->State() == TKvDataSource::dsInactive);
  applyReadOnly(m_readOnly || sourceLocked);
}

void TKvDBControl::Reload(bool keepTyped) {
  if (m_writing) return;  // the change comes from this control: keep what is typed
  m_loading = true;
  QVariant value;
  if (TKvQueryCollection* c = m_source ? m_source->DataSet() : nullptr; c && c->Active() && c->RecNo() >= 0)
    value = c->FieldValue(m_field);
  if (!(keepTyped && !Invalid().isEmpty())) showValue(value);
  updateReadOnly();
  m_loading = false;
}

bool TKvDBControl::beginEdit() {
  if (m_loading) return false;
  if (!m_source) return true;  // a control used on its own keeps its text
  TKvQueryCollection* c = m_source->DataSet();
  if (!c || !c->Active() || m_readOnly || m_source->ReadOnly()) {
    Reload();
    return false;
  }
  if (m_source->State() != TKvDataSource::dsBrowse) return true;
  m_writing = true;
  const bool ok = m_source->AutoEdit && m_source->Edit();
  m_writing = false;
  if (!ok) Reload();
  return ok;
}

bool TKvDBControl::writeValue(const QVariant& value) {
  if (!beginEdit()) return false;
  TKvQueryCollection* c = m_source ? m_source->DataSet() : nullptr;
  if (!c) return true;
  m_writing = true;
  const bool ok = c->SetFieldValue(m_field, value);
  m_writing = false;
  if (!ok) Reload();  // show what the row really holds
  return ok;
}

QMetaType TKvDBControl::fieldType() const {
  TKvQueryCollection* c = m_source ? m_source->DataSet() : nullptr;
  return c ? c->FieldType(m_field) : QMetaType();
}

QVariant TKvDBControl::nullValue() const {
  const QMetaType t = fieldType();
  return t.isValid() ? QVariant(t) : QVariant();
}

// ---- text ----------------------------------------------------------------

TKvDBEdit::TKvDBEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textEdited, this, &TKvDBEdit::typed);
}

void TKvDBEdit::typed(const QString& text) {
  QString value = text;
  if (m_upper && value != value.toUpper()) {
    value = value.toUpper();
    const int pos = cursorPosition();
    setText(value);
    setCursorPosition(pos);
  }
  writeValue(value.isEmpty() ? nullValue() : QVariant(value));
}

void TKvDBEdit::showValue(const QVariant& value) {
  const QString text = TKvCollectionModel::DefaultText(value);
  if (text != this->text()) setText(text);
}

// ---- date ----------------------------------------------------------------

TKvDBDateEdit::TKvDBDateEdit(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(m_edit);
  layout->addWidget(m_button);
  m_edit->setObjectName(QStringLiteral("edData"));
  m_edit->setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
  m_edit->setMaxLength(10);
  m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/.\\-]*")), m_edit));
  m_button->setObjectName(QStringLiteral("buData"));
  m_button->setText(QStringLiteral("..."));
  m_button->setFocusPolicy(Qt::NoFocus);
  setFocusProxy(m_edit);
  connect(m_edit, &QLineEdit::textEdited, this, &TKvDBDateEdit::typed);
  connect(m_edit, &QLineEdit::editingFinished, this, [this] {
    const QDate d = Date();
    if (d.isValid()) m_edit->setText(d.toString(QStringLiteral("dd/MM/yyyy")));
  });
  connect(m_button, &QToolButton::clicked, this, &TKvDBDateEdit::openCalendar);
}

QDate TKvDBDateEdit::ParseDate(const QString& text) {
  static const QRegularExpression separated(QStringLiteral("^(\\d{1,2})[/.\\-](\\d{1,2})[/.\\-](\\d{2}|\\d{4})$"));
  static const QRegularExpression compact(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4})$"));
  const QString t = text.trimmed();
  QRegularExpressionMatch m = separated.match(t);
  if (!m.hasMatch()) m = compact.match(t);
  if (!m.hasMatch()) return {};
  int year = m.captured(3).toInt();
  if (m.captured(3).size() == 2) year += year < 50 ? 2000 : 1900;
  return QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
}

QString TKvDBDateEdit::Text() const {
  return m_edit->text();
}

bool TKvDBDateEdit::IsEmpty() const {
  return m_edit->text().trimmed().isEmpty();
}

QDate TKvDBDateEdit::Date() const {
  return ParseDate(m_edit->text());
}

QString TKvDBDateEdit::Invalid() const {
  if (IsEmpty() || Date().isValid()) return {};
  return QStringLiteral("La data immessa non è una data valida.");
}

void TKvDBDateEdit::SetDate(const QDate& date) {
  m_edit->setText(date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString());
  typed(m_edit->text());
}

void TKvDBDateEdit::typed(const QString& text) {
  if (text.trimmed().isEmpty()) {
    writeValue(nullValue());
    return;
  }
  const QDate d = ParseDate(text);
  if (!d.isValid()) {
    beginEdit();  // still being typed, or refused at post
    return;
  }
  writeValue(fieldType().id() == QMetaType::QDateTime ? QVariant(QDateTime(d, QTime(0, 0))) : QVariant(d));
}

void TKvDBDateEdit::showValue(const QVariant& value) {
  QDate d;
  if (value.typeId() == QMetaType::QDateTime)
    d = value.toDateTime().date();
  else if (!value.isNull())
    d = value.toDate();
  const QString text = d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
  // A date being typed that still means the stored value stays as typed.
  if (text != m_edit->text() && !(d.isValid() && Date() == d)) m_edit->setText(text);
}

void TKvDBDateEdit::applyReadOnly(bool on) {
  m_edit->setReadOnly(on);
  m_button->setEnabled(!on);
}

void TKvDBDateEdit::openCalendar() {
  if (OnButtonClick) {
    OnButtonClick();
    return;
  }
  QMenu menu(this);
  auto* calendar = new QCalendarWidget(&menu);
  calendar->setGridVisible(true);
  calendar->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
  calendar->setFirstDayOfWeek(Qt::Monday);
  if (Date().isValid()) calendar->setSelectedDate(Date());
  auto* action = new QWidgetAction(&menu);
  action->setDefaultWidget(calendar);
  menu.addAction(action);
  connect(calendar, &QCalendarWidget::clicked, &menu, [this, &menu](const QDate& d) {
    SetDate(d);
    menu.close();
  });
  menu.exec(m_button->mapToGlobal(QPoint(0, m_button->height())));
}

// ---- number --------------------------------------------------------------

TKvDBNumberEdit::TKvDBNumberEdit(QWidget* parent) : QLineEdit(parent) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  SetDecimals(-1);
  connect(this, &QLineEdit::textEdited, this, &TKvDBNumberEdit::typed);
}

void TKvDBNumberEdit::SetDecimals(int decimals) {
  m_decimals = decimals;
  const QString pattern = decimals == 0  ? QStringLiteral("-?\\d*")
                          : decimals < 0 ? QStringLiteral("-?\\d*([,.]\\d*)?")
                                         : QStringLiteral("-?\\d*([,.]\\d{0,%1})?").arg(decimals);
  delete validator();
  setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
  Reload();
}

QVariant TKvDBNumberEdit::Number() const {
  return parseNumber(text());
}

QString TKvDBNumberEdit::Invalid() const {
  if (text().trimmed().isEmpty()) return {};
  const QVariant n = Number();
  if (!n.isValid()) return QStringLiteral("Il valore immesso non è un numero valido.");
  if (isIntegral(fieldType()) && n.toDouble() != std::trunc(n.toDouble()))
    return QStringLiteral("Il valore immesso deve essere un numero intero.");
  return {};
}

void TKvDBNumberEdit::typed(const QString& text) {
  if (text.contains(QLatin1Char('.'))) {
    const int pos = cursorPosition();
    setText(QString(text).replace(QLatin1Char('.'), QLatin1Char(',')));
    setCursorPosition(pos);
  }
  if (this->text().trimmed().isEmpty()) {
    writeValue(nullValue());
    return;
  }
  const QVariant n = Number();
  if (!n.isValid() || !Invalid().isEmpty()) {
    beginEdit();  // "-" or "," alone: still being typed
    return;
  }
  const double d = n.toDouble();
  writeValue(isIntegral(fieldType()) ? QVariant(qint64(d)) : QVariant(d));
}

void TKvDBNumberEdit::showValue(const QVariant& value) {
  QString shown;
  if (!value.isNull()) {
    if (m_decimals >= 0) {
      QLocale it(QLocale::Italian, QLocale::Italy);
      it.setNumberOptions(QLocale::OmitGroupSeparator);
      shown = it.toString(value.toDouble(), 'f', m_decimals);
    } else {
      shown = TKvCollectionModel::DefaultText(value);
    }
  }
  // The same number typed differently ("2,50" for 2.5) stays as typed.
  const QVariant typedNow = Number();
  if (shown != text() && !(typedNow.isValid() && !value.isNull() && typedNow.toDouble() == value.toDouble()))
    setText(shown);
}

// ---- memo ----------------------------------------------------------------

TKvDBMemo::TKvDBMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  connect(this, &QPlainTextEdit::textChanged, this, &TKvDBMemo::typed);
}

void TKvDBMemo::typed() {
  if (loading()) return;
  const QString text = toPlainText();
  writeValue(text.isEmpty() ? nullValue() : QVariant(text));
}

void TKvDBMemo::showValue(const QVariant& value) {
  const QString text = TKvCollectionModel::DefaultText(value);
  if (text != toPlainText()) setPlainText(text);
}

// ---- check box -----------------------------------------------------------

TKvDBCheckBox::TKvDBCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
  connect(this, &QCheckBox::clicked, this, &TKvDBCheckBox::toggledByUser);
}

void TKvDBCheckBox::toggledByUser(bool checked) {
  writeValue(checked ? ValueChecked : ValueUnchecked);
}

void TKvDBCheckBox::showValue(const QVariant& value) {
  bool on = false;
  if (!value.isNull()) {
    bool a = false, b = false;
    const double x = value.toDouble(&a);
    const double y = ValueChecked.toDouble(&b);
    on = a && b ? x == y : value.toString() == ValueChecked.toString();
  }
  setChecked(on);
}

void TKvDBCheckBox::applyReadOnly(bool on) {
  setAttribute(Qt::WA_TransparentForMouseEvents, on);
  setFocusPolicy(on ? Qt::NoFocus : Qt::StrongFocus);
}
