#include "TKvDBLookupEdit.h"

#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"
#include "TfmKvSearch.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QAbstractProxyModel>
#include <QCompleter>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QStringListModel>
#include <QToolButton>

namespace {

using Row = QHash<QString, QVariant>;  // upper-case field name -> value

const QString kKeyParam = QStringLiteral("KVKEY");
const QString kBaseSearchForm = QStringLiteral("TfmKvSearch");

Row rowOf(const TKvQueryCollection& list, int row) {
  Row r;
  const QStringList names = list.FieldNames();
  for (int f = 0; f < names.size(); ++f)
    if (!r.contains(names[f])) r.insert(names[f], list.Value(row, f));
  return r;
}

int keyOf(const QVariant& v) {
  bool ok = false;
  const int k = v.toInt(&ok);
  return ok && !v.isNull() ? k : -1;
}

}  // namespace

struct TKvDBLookupEdit::Impl {
  QLineEdit* edit = nullptr;
  QToolButton* searchButton = nullptr;
  QToolButton* dropButton = nullptr;
  QCompleter* completer = nullptr;
  QStringListModel* completerModel = nullptr;
  QList<int> completerKeys;
  bool completerLoaded = false;

  QString connection;
  TKvSearchStatement statement;
  QString keyField;
  QString listField;
  QString searchField;

  QString searchForm;
  QString searchCaption;
  int searchWidth = 0;
  TKvSearchColumns searchColumns;

  int key = -1;
  Row row;                // list row of the key
  QHash<int, Row> cache;  // rows of keys already shown
  bool readOnly = false;
  bool dirty = false;  // the user typed since the text was last set
  int busy = 0;        // resolving, or writing the bound field

  QPointer<TKvQueryCollection> source;
  QString dataField;
  QList<QMetaObject::Connection> links;

  QList<KvSearchSql::SelectItem> items;
  QString itemsOf;

  const QList<KvSearchSql::SelectItem>& selectItems() {
    if (itemsOf != statement.CommandText()) {
      itemsOf = statement.CommandText();
      items = KvSearchSql::SelectList(itemsOf);
    }
    return items;
  }

  // What a condition on a field is written on: a bare name that is a select
  // item's column name stands for the item's expression (an alias cannot be
  // used in WHERE).
  QString expressionOf(const QString& field) {
    if (!field.contains(QLatin1Char('.'))) {
      const QString bare = KvSearchSql::BareName(field);
      for (const auto& it : selectItems())
        if (it.name == bare) return it.expression;
    }
    return field.trimmed();
  }

  QString keyName() {
    if (!keyField.isEmpty()) return KvSearchSql::BareName(keyField);
    return selectItems().isEmpty() ? QString() : selectItems().first().name;
  }
  QString keyExpression() {
    if (!keyField.isEmpty()) return expressionOf(keyField);
    return selectItems().isEmpty() ? QString() : selectItems().first().expression;
  }
  QString listName() {
    if (!listField.isEmpty()) return KvSearchSql::BareName(listField);
    const auto& it = selectItems();
    return it.size() > 1 ? it[1].name : (it.isEmpty() ? QString() : it.first().name);
  }
  QString searchName() { return searchField.isEmpty() ? listName() : KvSearchSql::BareName(searchField); }
  QString searchExpression() {
    if (!searchField.isEmpty()) return expressionOf(searchField);
    if (!listField.isEmpty()) return expressionOf(listField);
    const auto& it = selectItems();
    return it.size() > 1 ? it[1].expression : QString();
  }

  // Runs the list with a condition; the caller adds the condition's parameter.
  KvResult<std::unique_ptr<TKvQueryCollection>> run(const QString& where, const QString& param,
                                                    const QVariant& value) {
    auto list = std::make_unique<TKvQueryCollection>();
    list->SetConnectionName(connection);
    for (const auto& p : statement.Params()) list->SetParam(p.first, p.second);
    if (!param.isEmpty()) list->SetParam(param, value);
    list->SetCommandText(KvSearchSql::Fill(statement.CommandText(), where, QStringLiteral("1")));
    if (KvStatus opened = list->Open(); !opened) return opened.failure();
    return list;
  }
};

TKvDBLookupEdit::TKvDBLookupEdit(QWidget* parent) : QWidget(parent), d(std::make_unique<Impl>()) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  d->edit = new QLineEdit(this);
  d->edit->setObjectName(QStringLiteral("edLookup"));
  d->dropButton = new QToolButton(this);
  d->dropButton->setObjectName(QStringLiteral("buLista"));
  d->dropButton->setArrowType(Qt::DownArrow);
  d->dropButton->setFocusPolicy(Qt::NoFocus);
  d->dropButton->setToolTip(QStringLiteral("Elenco (Alt+Giù)"));
  d->searchButton = new QToolButton(this);
  d->searchButton->setObjectName(QStringLiteral("buCerca"));
  d->searchButton->setText(QStringLiteral("..."));
  d->searchButton->setFocusPolicy(Qt::NoFocus);
  d->searchButton->setToolTip(QStringLiteral("Cerca (F2)"));
  layout->addWidget(d->edit, 1);
  layout->addWidget(d->dropButton);
  layout->addWidget(d->searchButton);
  setFocusProxy(d->edit);

  d->completerModel = new QStringListModel(this);
  d->completer = new QCompleter(d->completerModel, this);
  d->completer->setCaseSensitivity(Qt::CaseInsensitive);
  d->completer->setCompletionMode(QCompleter::PopupCompletion);
  d->completer->setFilterMode(Qt::MatchStartsWith);
  d->completer->setWidget(d->edit);

  connect(d->edit, &QLineEdit::textEdited, this, [this](const QString& text) {
    d->dirty = true;
    if (text.isEmpty() || !d->edit->isVisible()) return;
    fillCompleter();
    d->completer->setCompletionPrefix(text);
    d->completer->complete();
  });
  connect(d->edit, &QLineEdit::editingFinished, this, [this] {
    if (d->dirty && !d->busy) ResolveText();
  });
  connect(d->completer, QOverload<const QModelIndex&>::of(&QCompleter::activated), this,
          [this](const QModelIndex& index) {
            auto* proxy = qobject_cast<QAbstractProxyModel*>(d->completer->completionModel());
            const int source = proxy ? proxy->mapToSource(index).row() : index.row();
            if (source < 0 || source >= d->completerKeys.size()) return;
            d->dirty = false;
            chooseByUser(d->completerKeys[source], {});
          });
  connect(d->searchButton, &QToolButton::clicked, this, [this] { ShowSearchForm(); });
  connect(d->dropButton, &QToolButton::clicked, this, [this] { ShowDropDown(); });
  d->edit->installEventFilter(this);
  // Installed after the completer's own filter, so it sees the events first.
  d->completer->popup()->installEventFilter(this);
}

TKvDBLookupEdit::~TKvDBLookupEdit() {
  for (const auto& link : d->links) disconnect(link);
}

void TKvDBLookupEdit::SetConnectionName(const QString& name) {
  d->connection = name;
  RefreshList();
}

void TKvDBLookupEdit::SetListCommandText(const QString& sql) {
  d->statement.SetCommandText(sql);
  RefreshList();
}

void TKvDBLookupEdit::SetListCommandText(const QStringList& lines) {
  SetListCommandText(lines.join(QLatin1Char('\n')));
}

QString TKvDBLookupEdit::ListCommandText() const {
  return d->statement.CommandText();
}

void TKvDBLookupEdit::SetListParam(const QString& name, const QVariant& value) {
  d->statement.SetParam(name, value);
  d->cache.clear();
  d->completerLoaded = false;
}

void TKvDBLookupEdit::RefreshList() {
  d->cache.clear();
  d->completerLoaded = false;
  showKeyText();
}

void TKvDBLookupEdit::SetKeyField(const QString& field) {
  d->keyField = field;
  RefreshList();
}
QString TKvDBLookupEdit::KeyField() const {
  return d->keyField;
}
void TKvDBLookupEdit::SetListField(const QString& field) {
  d->listField = field;
  RefreshList();
}
QString TKvDBLookupEdit::ListField() const {
  return d->listField;
}
void TKvDBLookupEdit::SetListSearchField(const QString& field) {
  d->searchField = field;
}
QString TKvDBLookupEdit::ListSearchField() const {
  return d->searchField.isEmpty() ? d->listField : d->searchField;
}

void TKvDBLookupEdit::SetSearchForm(const QString& className) {
  d->searchForm = className;
}
QString TKvDBLookupEdit::SearchForm() const {
  return d->searchForm;
}
void TKvDBLookupEdit::SetSearchCaption(const QString& caption) {
  d->searchCaption = caption;
}
void TKvDBLookupEdit::SetSearchWidth(int width) {
  d->searchWidth = width;
}
TKvSearchColumns& TKvDBLookupEdit::SearchColumns() {
  return d->searchColumns;
}

bool TKvDBLookupEdit::ShowSearchForm(const QString& filterText) {
  if (d->readOnly || !isEnabled()) return false;
  bool chosen = false;
  int chosenKey = -1;
  Row chosenRow;

  auto setUp = [&](QWidget* window) {
    auto* form = qobject_cast<TfmKvSearch*>(window);
    if (!form) return;
    form->SetConnectionName(d->connection);
    form->Statement() = d->statement;
    if (!d->keyField.isEmpty()) form->SetKeyField(d->keyField);
    if (!d->searchCaption.isEmpty()) form->SetCaption(d->searchCaption);
    if (d->searchWidth > 0) form->SetWidth(d->searchWidth);
    if (d->searchColumns.Count() > 0 || d->searchColumns.HasPending()) form->Fields() = d->searchColumns;
    if (d->key >= 0) form->SetLocate(d->keyName(), d->key);
    form->SetFilterFieldName(d->searchName());
    if (!filterText.isEmpty()) form->SetFilterText(filterText);
    bool show = true;
    if (OnShowSearchForm) OnShowSearchForm(*this, *form, show);
    form->SetShowForm(show);
  };
  auto readChoice = [&](QWidget* window) {
    auto* form = qobject_cast<TfmKvSearch*>(window);
    if (!form || !form->Chosen()) return;
    const TKvQueryCollection* list = form->GetDataSet();
    chosenRow = rowOf(*list, list->RecNo());
    chosenKey = keyOf(chosenRow.value(d->keyName()));
    chosen = chosenKey >= 0;
  };

  const QString className = d->searchForm.isEmpty() ? kBaseSearchForm : d->searchForm;
  ++d->busy;
  if (!KvWindowFactory::IsRegistered(className) && className.compare(kBaseSearchForm, Qt::CaseInsensitive) == 0) {
    TfmKvSearch form(window());
    setUp(&form);
    form.exec();
    readChoice(&form);
  } else {
    KvFormOptions options;
    options.modal = true;
    options.onInizializedForm = setUp;
    options.onModalClosed = readChoice;
    const KvFormResult result = KvWindowFactory::Create(className, nullptr, options);
    if (!result.error.isEmpty()) {
      --d->busy;
      KvMessageDlg(result.error, TMsgDlgType::mtError, mbOK);
      showKeyText();
      return false;
    }
  }
  --d->busy;
  d->dirty = false;
  if (!chosen) {
    showKeyText();
    return false;
  }
  return chooseByUser(chosenKey, chosenRow);
}

void TKvDBLookupEdit::SetDataSource(TKvQueryCollection* collection, const QString& dataField) {
  for (const auto& link : d->links) disconnect(link);
  d->links.clear();
  d->source = collection;
  d->dataField = dataField;
  if (collection) {
    auto follow = [this] {
      if (!d->busy) RefreshFromField();
    };
    d->links << connect(collection, &TKvQueryCollection::currentChanged, this, follow);
    d->links << connect(collection, &TKvQueryCollection::rowsReset, this, follow);
    d->links << connect(collection, &TKvQueryCollection::stateChanged, this, follow);
    d->links << connect(collection, &TKvQueryCollection::rowChanged, this, [this, follow](int row) {
      if (d->source && row == d->source->RecNo()) follow();
    });
  }
  RefreshFromField();
}

TKvQueryCollection* TKvDBLookupEdit::DataSource() const {
  return d->source;
}
QString TKvDBLookupEdit::DataField() const {
  return d->dataField;
}

void TKvDBLookupEdit::RefreshFromField() {
  int key = -1;
  if (d->source && d->source->Active() && d->source->RecNo() >= 0) key = keyOf(d->source->FieldValue(d->dataField));
  d->key = key;
  d->dirty = false;
  showKeyText();
}

int TKvDBLookupEdit::KeyValue() const {
  return d->key;
}

void TKvDBLookupEdit::SetKeyValue(int key) {
  if (key < 0) key = -1;
  d->dirty = false;
  if (key == d->key) {
    showKeyText();
    return;
  }
  applyKey(key);
}

QString TKvDBLookupEdit::Text() const {
  return d->edit->text();
}

QVariant TKvDBLookupEdit::ListValue(const QString& field) const {
  return d->key < 0 ? QVariant() : d->row.value(KvSearchSql::BareName(field));
}

void TKvDBLookupEdit::SetReadOnly(bool readOnly) {
  d->readOnly = readOnly;
  d->edit->setReadOnly(readOnly);
  d->searchButton->setEnabled(!readOnly);
  d->dropButton->setEnabled(!readOnly);
}

bool TKvDBLookupEdit::ReadOnly() const {
  return d->readOnly;
}

bool TKvDBLookupEdit::ResolveText() {
  if (d->readOnly) return false;
  d->dirty = false;
  const QString text = d->edit->text().trimmed();
  if (text.isEmpty()) return d->key < 0 || chooseByUser(-1, {});
  if (d->key >= 0 && text == d->row.value(d->listName()).toString().trimmed()) return true;

  ++d->busy;
  auto matched = d->run(KvSearchSql::Condition(d->searchExpression()), QLatin1String(KvSearchSql::kSearchParam),
                       KvSearchSql::Pattern(text, false));
  --d->busy;
  if (!KvReport(matched)) {
    showKeyText();
    return false;
  }
  const std::unique_ptr<TKvQueryCollection>& list = *matched;
  int found = list->RecordCount() == 1 ? 0 : -1;
  if (list->RecordCount() > 1) {
    // Among several starting with the text, the one that is the text.
    const int searched = list->FieldIndex(d->searchName());
    const int shown = list->FieldIndex(d->listName());
    int equal = 0;
    for (int r = 0; r < list->RecordCount(); ++r) {
      const bool same =
          (searched >= 0 && list->Value(r, searched).toString().trimmed().compare(text, Qt::CaseInsensitive) == 0) ||
          (shown >= 0 && list->Value(r, shown).toString().trimmed().compare(text, Qt::CaseInsensitive) == 0);
      if (same) {
        ++equal;
        found = r;
      }
    }
    if (equal != 1) found = -1;
  }
  if (found >= 0) {
    const Row row = rowOf(*list, found);
    return chooseByUser(keyOf(row.value(d->keyName())), row);
  }
  if (list->RecordCount() > 1) return ShowSearchForm(text);
  KvMessageDlg(QStringLiteral("Attenzione!\nValore non trovato."), TMsgDlgType::mtWarning, mbOK);
  showKeyText();
  return false;
}

QAction* TKvDBLookupEdit::windowAction(const QKeySequence& keys) const {
  if (keys.isEmpty()) return nullptr;
  for (QAction* action : window()->findChildren<QAction*>()) {
    if (!action->isEnabled() || !action->shortcuts().contains(keys)) continue;
    // Only an action whose key works here: one of a widget holding this edit.
    for (QObject* owner : action->associatedObjects()) {
      auto* w = qobject_cast<QWidget*>(owner);
      if (w && (w == this || w->isAncestorOf(this))) return action;
    }
  }
  return nullptr;
}

void TKvDBLookupEdit::ShowDropDown() {
  if (d->readOnly || !isEnabled()) return;
  fillCompleter();
  d->edit->setFocus();
  d->completer->setCompletionPrefix(QString());
  d->completer->complete();
}

bool TKvDBLookupEdit::CommitTyping() {
  if (SuggestionsVisible()) d->completer->popup()->hide();
  if (!d->dirty || d->readOnly) return true;
  return ResolveText();
}

bool TKvDBLookupEdit::SuggestionsVisible() const {
  return d->completer->popup() && d->completer->popup()->isVisible();
}

QLineEdit* TKvDBLookupEdit::LineEdit() const {
  return d->edit;
}
QToolButton* TKvDBLookupEdit::SearchButton() const {
  return d->searchButton;
}
QToolButton* TKvDBLookupEdit::DropDownButton() const {
  return d->dropButton;
}

bool TKvDBLookupEdit::chooseByUser(int key, const QHash<QString, QVariant>& row) {
  if (key < 0) key = -1;
  if (key == d->key) {
    showKeyText();
    return true;
  }
  if (OnValidate) {
    QString message;
    if (!OnValidate(*this, key, message)) {
      if (!message.isEmpty()) KvMessageDlg(message, TMsgDlgType::mtError, mbOK);
      showKeyText();
      return false;
    }
  }
  if (key >= 0 && !row.isEmpty()) d->cache.insert(key, row);
  applyKey(key);
  return true;
}

void TKvDBLookupEdit::applyKey(int key) {
  const int old = d->key;
  d->key = key;
  showKeyText();
  if (d->source && d->source->Active() && d->source->FieldIndex(d->dataField) >= 0) {
    ++d->busy;
    d->source->SetFieldValue(d->dataField, key < 0 ? QVariant() : QVariant(key));
    --d->busy;
  }
  if (old != key) {
    if (OnChangeFKValue) OnChangeFKValue(*this, old, key);
    emit keyValueChanged(key);
  }
}

void TKvDBLookupEdit::showKeyText() {
  d->row.clear();
  if (d->key >= 0) {
    const auto cached = d->cache.constFind(d->key);
    if (cached != d->cache.constEnd()) {
      d->row = *cached;
    } else if (!d->statement.CommandText().isEmpty() && !d->keyExpression().isEmpty()) {
      ++d->busy;
      auto list = d->run(QStringLiteral("(%1 = :%2)").arg(d->keyExpression(), kKeyParam), kKeyParam, d->key);
      --d->busy;
      // A key the list does not offer (any more) stays, shown empty.
      if (list && (*list)->RecordCount() > 0) {
        d->row = rowOf(**list, 0);
        d->cache.insert(d->key, d->row);
      }
    }
  }
  const QString text = d->row.value(d->listName()).toString();
  if (d->edit->text() != text) d->edit->setText(text);
  d->edit->setCursorPosition(0);
}

void TKvDBLookupEdit::fillCompleter() {
  if (d->completerLoaded) return;
  d->completerLoaded = true;
  QStringList texts;
  d->completerKeys.clear();
  ++d->busy;
  auto found = d->run(QStringLiteral("1=1"), QString(), QVariant());
  --d->busy;
  if (found) {
    const std::unique_ptr<TKvQueryCollection>& list = *found;
    const int key = list->FieldIndex(d->keyName());
    const int shown = list->FieldIndex(d->listName());
    texts.reserve(list->RecordCount());
    for (int r = 0; r < list->RecordCount(); ++r) {
      texts << list->Value(r, shown).toString();
      d->completerKeys << keyOf(list->Value(r, key));
    }
  }
  d->completerModel->setStringList(texts);
}

bool TKvDBLookupEdit::eventFilter(QObject* watched, QEvent* event) {
  QAbstractItemView* popup = d->completer->popup();
  if (watched == popup && popup->isVisible()) {
    // The suggestion list would swallow the click or key that closes it: a
    // button clicked outside the list, or a key of the window's actions
    // (Ctrl+S...), closes the list and then acts, so one click saves.
    if (event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (!popup->rect().contains(popup->mapFromGlobal(mouse->globalPosition().toPoint()))) {
        popup->hide();
        auto* button = qobject_cast<QAbstractButton*>(QApplication::widgetAt(mouse->globalPosition().toPoint()));
        if (button && button->isEnabled())
          QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        return true;
      }
    } else if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      const QKeySequence pressed(key->keyCombination());
      if (QAction* action = windowAction(pressed)) {
        popup->hide();
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
        return true;
      }
    }
  }
  if (watched == d->edit && event->type() == QEvent::ShortcutOverride && !d->readOnly) {
    // The edit's own keys win over the window's (F2 is also "Modifica").
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrlF = key->key() == Qt::Key_F && (key->modifiers() & Qt::ControlModifier);
    const bool altDown = key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier);
    if (key->key() == Qt::Key_F2 || key->key() == Qt::Key_F4 || ctrlF || altDown) {
      event->accept();
      return true;
    }
  }
  if (watched == d->edit && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrlF = key->key() == Qt::Key_F && (key->modifiers() & Qt::ControlModifier);
    if (key->key() == Qt::Key_F2 || ctrlF) {
      ShowSearchForm(d->dirty ? d->edit->text().trimmed() : QString());
      return true;
    }
    if (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
      ShowDropDown();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
