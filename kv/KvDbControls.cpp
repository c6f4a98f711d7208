#include "KvDbControls.h"

#include "KvFieldKind.h"

#include "KvCollectionModel.h"
#include "KvMessageDlg.h"
#include "KvNumberText.h"
#include "KvQueryCollection.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenu>
#include <QPalette>
#include <QTextCursor>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QWidgetAction>

#include <algorithm>
#include <cmath>



// ---- data source ---------------------------------------------------------

TKvDataSource::TKvDataSource(QObject* parent) : QObject(parent) {}

TKvDataSource::~TKvDataSource() = default;

void TKvDataSource::SetDataSet(TKvQueryCollection* collection) {
  for (const auto& link : m_links) disconnect(link);
  m_links.clear();
  m_collection = collection;
  if (collection) {
    m_links << connect(collection, &TKvQueryCollection::stateChanged, this, [this](KvState state) {
      RefreshControls();
      emit stateChange(state);
    }) << connect(collection, &TKvQueryCollection::currentChanged, this, [this] {
      RefreshControls();
      emit dataChange();
    }) << connect(collection, &TKvQueryCollection::rowChanged, this, [this](int row) {
      if (!m_collection || row != m_collection->RecNo()) return;
      RefreshControls(KvEditing(State()));
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

KvState TKvDataSource::State() const {
  if (!m_collection || !m_collection->Active()) return KvState::Inactive;
  return m_collection->GetState();
}

void TKvDataSource::SetReadOnly(bool on) {
  m_readOnly = on;
  RefreshControls();
}

bool TKvDataSource::Edit() {
  TKvQueryCollection* c = DataSet();
  if (!c || !c->Active() || m_readOnly) return false;
  if (KvEditing(State())) return true;
  return c->IsEmpty() ? c->Append() : c->Edit();
}

KvStatus TKvDataSource::CheckControls() {
  for (TKvDBControl* control : m_controls) {
    const QString why = control->Invalid();
    if (why.isEmpty()) continue;
    control->Widget()->setFocus();
    return KvFail(QStringLiteral("Attenzione!\n") + why);
  }
  return {};
}

bool TKvDataSource::ValidateControls() {
  // A control holding no value is the user's to mend: a warning, not an error.
  return KvReport(CheckControls(), TMsgDlgType::mtWarning);
}

KvFailure TKvDataSource::ExplainFailure(const QString& engineText) const {
  static const QRegularExpression overflow(QStringLiteral("numeric overflow, or string truncation"),
                                           QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression expected(QStringLiteral("expected length (\\d+)"));
  static const QRegularExpression column(QStringLiteral("validation error for column (?:\"[^\"]*\"\\.)?\"([^\"]+)\""),
                                         QRegularExpression::CaseInsensitiveOption);
  TKvQueryCollection* c = DataSet();
  auto named = [](const QString& text, TKvDBControl* control) {
    const QString caption = control->Caption();
    return QString(text).arg(caption.isEmpty() ? control->DataField() : caption);
  };
  if (c && overflow.match(engineText).hasMatch()) {
    const QRegularExpressionMatch length = expected.match(engineText);
    const bool text = length.hasMatch() || engineText.contains(QLatin1String("string right truncation"));
    for (TKvDBControl* control : m_controls) {
      const QVariant v = c->FieldValue(control->DataField());
      if (v.isNull()) continue;
      const TKvFieldSize size = c->FieldSize(control->DataField());
      const KvFieldKind kind = KvKindOf(c->FieldType(control->DataField()));
      if (text && kind == KvFieldKind::Text) {
        const int most = size.length > 0 ? size.length : length.hasMatch() ? length.captured(1).toInt() : -1;
        if (most > 0 && v.toString().size() > most)
          return KvFail(named(QStringLiteral("Il valore del campo '%1' è troppo lungo."), control), engineText);
      } else if (!text && (kind == KvFieldKind::Int || kind == KvFieldKind::Real)) {
        const double magnitude = std::fabs(v.toDouble());
        const bool tooLarge = (size.largest >= 0 && magnitude > double(size.largest)) ||
                              (size.digits > 0 && magnitude >= std::pow(10.0, size.digits - size.decimals));
        if (tooLarge)
          return KvFail(named(QStringLiteral("Il valore del campo '%1' è troppo grande."), control), engineText);
      }
    }
    return KvFail(text ? QStringLiteral("Un valore immesso è troppo lungo per il database.")
                       : QStringLiteral("Un valore immesso è troppo grande per il database."),
                  engineText);
  }
  if (const QRegularExpressionMatch m = column.match(engineText); m.hasMatch()) {
    for (TKvDBControl* control : m_controls) {
      if (control->DataField().compare(m.captured(1), Qt::CaseInsensitive) != 0) continue;
      const bool missing = engineText.contains(QLatin1String("*** null ***"));
      return KvFail(named(missing ? QStringLiteral("Il campo '%1' deve avere un valore.")
                                  : QStringLiteral("Il valore del campo '%1' non è ammesso."),
                          control),
                    engineText);
    }
  }
  return KvFail(engineText);
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
  const bool sourceLocked = m_source && (m_source->ReadOnly() || m_source->State() == KvState::Inactive);
  applyReadOnly(m_readOnly || sourceLocked);
  // A field that is never typed into (a value the database keeps) looks so,
  // on the window's colour instead of the white of a field to fill.
  if (QWidget* w = Widget(); w && w->property("kvSoloLettura").toBool() != m_readOnly) {
    w->setProperty("kvSoloLettura", m_readOnly);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, m_readOnly ? palette.color(QPalette::Window) : QApplication::palette(w).color(QPalette::Base));
    w->setPalette(palette);
  }
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
  if (m_source->State() != KvState::Browse) return true;
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

TKvFieldSize TKvDBControl::fieldSize() const {
  TKvQueryCollection* c = m_source ? m_source->DataSet() : nullptr;
  return c ? c->FieldSize(m_field) : TKvFieldSize{};
}

QString TKvDBControl::Caption() const {
  if (!m_caption.isEmpty()) return m_caption;
  QWidget* w = const_cast<TKvDBControl*>(this)->Widget();
  auto* form = w && w->parentWidget() ? qobject_cast<QFormLayout*>(w->parentWidget()->layout()) : nullptr;
  auto* label = form ? qobject_cast<QLabel*>(form->labelForField(w)) : nullptr;
  if (!label) return {};
  QString text = label->text().remove(QLatin1Char('&')).trimmed();
  if (text.endsWith(QLatin1Char(':'))) text.chop(1);
  return text;
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
  if (const int most = fieldSize().length; most > 0 && maxLength() != most) setMaxLength(most);
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
  // As wide as a date, whatever room the form has.
  m_edit->setFixedWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
  const QRect field(mapToGlobal(QPoint(0, 0)), size());
  QWidget* top = window();
  const QRect area(top->mapToGlobal(QPoint(0, 0)), top->size());
  menu.exec(CalendarPosition(field, menu.sizeHint(), area));
}

QPoint TKvDBDateEdit::CalendarPosition(const QRect& field, const QSize& calendar, const QRect& window) {
  constexpr int gap = 2;
  auto within = [](int at, int low, int high, int length) { return std::clamp(at, low, std::max(low, high + 1 - length)); };
  const int y = within(field.top(), window.top(), window.bottom(), calendar.height());
  const int x = within(field.left(), window.left(), window.right(), calendar.width());
  const QPoint candidates[] = {
      {field.right() + 1 + gap, y},                      // beside, on the right
      {field.left() - gap - calendar.width(), y},        // beside, on the left
      {x, field.top() - gap - calendar.height()},        // above
      {x, field.bottom() + 1 + gap},                     // below
  };
  for (const QPoint& at : candidates)
    if (window.contains(QRect(at, calendar))) return at;
  return {within(candidates[0].x(), window.left(), window.right(), calendar.width()), y};
}

// ---- number --------------------------------------------------------------

TKvDBNumberEdit::TKvDBNumberEdit(QWidget* parent) : QLineEdit(parent) {
  setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Room for the largest amount, not the whole form.
  setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("-999.999.999.999,999")) + 12);
  connect(this, &QLineEdit::textEdited, this, &TKvDBNumberEdit::typed);
  // Leaving the field shows the number as it will be read back.
  connect(this, &QLineEdit::editingFinished, this, [this] {
    const QVariant n = Number();
    if (n.isValid()) setText(shownText(n));
  });
}

void TKvDBNumberEdit::SetDecimals(int decimals) {
  m_decimals = decimals;
  Reload();
}

bool TKvDBNumberEdit::integral() const {
  return KvKindOf(fieldType()) == KvFieldKind::Int;
}

namespace {

// The field's limits: the control's decimals within the column's scale, the
// integer digits the column leaves, an integer type's range.
KvNumberText::Limits numberLimits(int decimals, bool integral, const TKvFieldSize& size) {
  KvNumberText::Limits limits;
  limits.decimals = integral ? 0 : decimals;
  if (size.decimals >= 0 && (limits.decimals < 0 || size.decimals < limits.decimals)) limits.decimals = size.decimals;
  if (size.digits > 0 && size.decimals >= 0) limits.integerDigits = size.digits - size.decimals;
  limits.largest = size.largest;
  return limits;
}

}  // namespace

QVariant TKvDBNumberEdit::Number() const {
  if (text().trimmed().isEmpty()) return {};
  const KvResult<QString> n = KvNumberText::Parse(text(), numberLimits(m_decimals, integral(), fieldSize()), Caption());
  if (!n) return {};
  return integral() ? QVariant(n->toLongLong()) : QVariant(n->toDouble());
}

QString TKvDBNumberEdit::Invalid() const {
  if (text().trimmed().isEmpty()) return {};
  const KvResult<QString> n = KvNumberText::Parse(text(), numberLimits(m_decimals, integral(), fieldSize()), Caption());
  return n ? QString() : n.error();
}

void TKvDBNumberEdit::typed(const QString& text) {
  if (text.trimmed().isEmpty()) {
    writeValue(nullValue());
    return;
  }
  const QVariant n = Number();
  if (!n.isValid()) {
    beginEdit();  // "-" or "1." still being typed, or refused at post
    return;
  }
  writeValue(n);
}

void TKvDBNumberEdit::keyPressEvent(QKeyEvent* event) {
  // The keypad's decimal key types the decimal comma, whatever the layout.
  if ((event->modifiers() & Qt::KeypadModifier) && event->key() == Qt::Key_Period) {
    QKeyEvent comma(event->type(), Qt::Key_Comma, event->modifiers() & ~Qt::KeypadModifier, QStringLiteral(","));
    QLineEdit::keyPressEvent(&comma);
    return;
  }
  QLineEdit::keyPressEvent(event);
}

QString TKvDBNumberEdit::shownText(const QVariant& value) const {
  if (value.isNull()) return {};
  if (integral() || KvKindOf(value.metaType()) == KvFieldKind::Int) return QString::number(value.toLongLong());
  return KvNumberText::Format(value.toDouble(), m_decimals, m_decimals >= 0);
}

void TKvDBNumberEdit::showValue(const QVariant& value) {
  const QString shown = shownText(value);
  // While the row is typed, the same number typed differently ("2,50" for
  // 2.5) stays as typed; a saved or reloaded row shows as the grid does.
  const bool typing = DataSource() && KvEditing(DataSource()->State());
  const QVariant typedNow = typing ? Number() : QVariant();
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
  const int most = fieldSize().length;
  if (most > 0 && toPlainText().size() > most) {
    // What was just typed or pasted ends at the cursor: take back what the
    // column cannot hold.
    QTextCursor cursor = textCursor();
    const int end = cursor.position();
    cursor.setPosition(std::max(0, end - int(toPlainText().size() - most)));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();  // runs typed() again with the text that fits
    return;
  }
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
