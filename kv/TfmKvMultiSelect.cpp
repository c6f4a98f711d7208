#include "TfmKvMultiSelect.h"

#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TfmKvSearch.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

namespace {


// The collection's model with a tick box in the first column.
class TickModel : public QIdentityProxyModel {
 public:
  explicit TickModel(QObject* parent) : QIdentityProxyModel(parent) {}

  std::function<bool(int row)> ticked;
  std::function<void(int row, bool on)> tick;
  bool multi = true;

  QVariant data(const QModelIndex& index, int role) const override {
    if (multi && role == Qt::CheckStateRole && index.column() == 0)
      return ticked(index.row()) ? Qt::Checked : Qt::Unchecked;
    return QIdentityProxyModel::data(index, role);
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags f = QIdentityProxyModel::flags(index) & ~Qt::ItemIsEditable;
    if (multi && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (multi && role == Qt::CheckStateRole && index.column() == 0) {
      tick(index.row(), value.toInt() == Qt::Checked);
      return true;
    }
    return false;
  }
  void rowsTicked() {
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
  }
};

}  // namespace

struct TfmKvMultiSelect::Impl {
  TKvQueryCollection* list = nullptr;
  TKvCollectionModel* model = nullptr;
  TickModel* ticks = nullptr;
  QTableView* grid = nullptr;
  QGroupBox* filterBox = nullptr;
  QVBoxLayout* filterLayout = nullptr;
  QPushButton* selectAll = nullptr;
  QPushButton* selectNone = nullptr;
  QPushButton* invert = nullptr;
  QLabel* count = nullptr;

  QString keyField;
  QSet<QString> chosen;  // keys as text
  bool multi = true;
  bool showForm = true;
  bool shown = false;
  int syncing = 0;
  QString emptyMessage = QStringLiteral("Non è stato selezionato nessun elemento.");

  int keyIndex() const {
    if (!list->Active()) return -1;
    return keyField.isEmpty() ? 0 : list->FieldIndex(keyField);
  }
  QVariant keyOf(int row) const { return list->Value(row, keyIndex()); }
  static QString text(const QVariant& key) { return key.isNull() ? QString() : key.toString(); }
  bool ticked(int row) const {
    const QVariant k = keyOf(row);
    return !k.isNull() && chosen.contains(text(k));
  }
  void updateCount() { count->setText(QStringLiteral("Selezionati: %1").arg(chosen.size())); }
};

TfmKvMultiSelect::TfmKvMultiSelect(QWidget* parent) : TfmKvDialog(parent), d(std::make_unique<Impl>()) {
  setObjectName(QStringLiteral("TfmKvMultiSelect"));
  setWindowTitle(QStringLiteral("Selezione"));
  d->list = new TKvQueryCollection(this);
  d->model = new TKvCollectionModel(d->list, this);
  d->ticks = new TickModel(this);
  d->ticks->setSourceModel(d->model);
  d->ticks->ticked = [this](int row) { return d->ticked(row); };
  d->ticks->tick = [this](int row, bool on) { SetSelected(row, on); };

  d->filterBox = new QGroupBox(QStringLiteral("Filtri..."), Content());
  d->filterBox->setObjectName(QStringLiteral("gbFiltri"));
  d->filterLayout = new QVBoxLayout(d->filterBox);
  d->filterBox->hide();

  d->grid = new QTableView(Content());
  d->grid->setObjectName(QStringLiteral("grSelezione"));
  d->grid->setModel(d->ticks);
  d->grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  d->grid->setSelectionMode(QAbstractItemView::SingleSelection);
  d->grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  d->grid->setAlternatingRowColors(true);
  d->grid->verticalHeader()->hide();
  d->grid->horizontalHeader()->setStretchLastSection(true);

  auto* buttons = new QHBoxLayout();
  d->selectAll = new QPushButton(QStringLiteral("Seleziona tutti"), Content());
  d->selectAll->setObjectName(QStringLiteral("buSelezionaTutti"));
  d->selectNone = new QPushButton(QStringLiteral("Deseleziona tutti"), Content());
  d->selectNone->setObjectName(QStringLiteral("buDeselezionaTutti"));
  d->invert = new QPushButton(QStringLiteral("Inverti selezione"), Content());
  d->invert->setObjectName(QStringLiteral("buInverti"));
  d->count = new QLabel(Content());
  d->count->setObjectName(QStringLiteral("laSelezionati"));
  for (QPushButton* b : {d->selectAll, d->selectNone, d->invert}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch(1);
  buttons->addWidget(d->count);

  ContentLayout()->addWidget(d->filterBox);
  ContentLayout()->addWidget(d->grid, 1);
  ContentLayout()->addLayout(buttons);

  connect(d->selectAll, &QPushButton::clicked, this, [this] { SelectAll(); });
  connect(d->selectNone, &QPushButton::clicked, this, [this] { SelectNone(); });
  connect(d->invert, &QPushButton::clicked, this, [this] { InvertSelection(); });
  connect(d->grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (!d->syncing && current.isValid()) d->list->MoveTo(current.row());
  });
  connect(d->grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!index.isValid()) return;
    if (d->multi) {
      // A click on the box itself has already ticked it.
      if (index.column() != 0) SetSelected(index.row(), !IsSelected(index.row()));
    } else {
      d->list->MoveTo(index.row());
      accept();
    }
  });
  d->grid->installEventFilter(this);
  d->updateCount();
  resize(600, 450);
}

TfmKvMultiSelect::~TfmKvMultiSelect() = default;

TKvQueryCollection* TfmKvMultiSelect::List() const {
  return d->list;
}

void TfmKvMultiSelect::SetCommandText(const QString& sql) {
  d->list->SetCommandText(KvSearchSql::Fill(sql, QStringLiteral("1=1"), QStringLiteral("1")));
}

void TfmKvMultiSelect::SetParam(const QString& name, const QVariant& value) {
  d->list->SetParam(name, value);
}

void TfmKvMultiSelect::SetKeyField(const QString& field) {
  d->keyField = KvSearchSql::BareName(field);
  d->list->SetKeyField(d->keyField);
}

QString TfmKvMultiSelect::KeyField() const {
  if (!d->keyField.isEmpty()) return d->keyField;
  return d->list->Active() && d->list->FieldCount() > 0 ? d->list->FieldNames().first() : QString();
}

void TfmKvMultiSelect::SetColumns(const QList<TKvCollectionModel::Column>& columns) {
  d->model->SetColumns(columns);
  for (int c = 0; c < columns.size(); ++c) {
    if (columns[c].width > 0) d->grid->setColumnWidth(c, columns[c].width);
    d->grid->setColumnHidden(c, !columns[c].visible);
  }
}

void TfmKvMultiSelect::SetCaption(const QString& caption) {
  setWindowTitle(caption);
}

void TfmKvMultiSelect::SetMultiSelect(bool multi) {
  d->multi = multi;
  d->ticks->multi = multi;
  for (QPushButton* b : {d->selectAll, d->selectNone, d->invert}) b->setVisible(multi);
  d->count->setVisible(multi);
  d->ticks->rowsTicked();
}

bool TfmKvMultiSelect::MultiSelect() const {
  return d->multi;
}

void TfmKvMultiSelect::SetShowForm(bool show) {
  d->showForm = show;
}
bool TfmKvMultiSelect::ShowForm() const {
  return d->showForm;
}
void TfmKvMultiSelect::SetEmptySelectionMessage(const QString& text) {
  d->emptyMessage = text;
}

KvStatus TfmKvMultiSelect::Open() {
  ++d->syncing;
  const KvStatus ok = d->list->Open();
  --d->syncing;
  if (!ok) return ok;
  const QString filter = BuildFilter();
  d->list->SetFilter(filter);
  // A filter that does not parse leaves every row.
  (void)d->list->SetFiltered(!filter.trimmed().isEmpty());
  if (d->list->RecordCount() > 0) {
    ++d->syncing;
    d->list->First();
    d->grid->setCurrentIndex(d->ticks->index(0, 0));
    --d->syncing;
  }
  return {};
}

bool TfmKvMultiSelect::IsSelected(int row) const {
  return row >= 0 && row < d->list->RecordCount() && d->ticked(row);
}

void TfmKvMultiSelect::SetSelected(int row, bool selected) {
  if (row < 0 || row >= d->list->RecordCount()) return;
  const QVariant key = d->keyOf(row);
  if (key.isNull()) return;
  if (selected)
    d->chosen.insert(Impl::text(key));
  else
    d->chosen.remove(Impl::text(key));
  const QModelIndex index = d->ticks->index(row, 0);
  emit d->ticks->dataChanged(index, index, {Qt::CheckStateRole});
  d->updateCount();
}

void TfmKvMultiSelect::SelectAll() {
  for (int row = 0; row < d->list->RecordCount(); ++row) {
    const QVariant key = d->keyOf(row);
    if (!key.isNull()) d->chosen.insert(Impl::text(key));
  }
  d->ticks->rowsTicked();
  d->updateCount();
}

void TfmKvMultiSelect::SelectNone() {
  d->chosen.clear();
  d->ticks->rowsTicked();
  d->updateCount();
}

void TfmKvMultiSelect::InvertSelection() {
  QSet<QString> inverted;
  for (int row = 0; row < d->list->RecordCount(); ++row) {
    const QVariant key = d->keyOf(row);
    if (!key.isNull() && !d->chosen.contains(Impl::text(key))) inverted.insert(Impl::text(key));
  }
  d->chosen = inverted;
  d->ticks->rowsTicked();
  d->updateCount();
}

int TfmKvMultiSelect::SelectedCount() const {
  return int(SelectedKeys().size());
}

QList<QVariant> TfmKvMultiSelect::SelectedKeys() const {
  QList<QVariant> keys;
  if (!d->list->Active()) return keys;
  if (!d->multi) {
    if (d->list->RecNo() >= 0) keys << d->keyOf(d->list->RecNo());
    return keys;
  }
  for (int row = 0; row < d->list->RecordCount(); ++row)
    if (d->ticked(row)) keys << d->keyOf(row);
  return keys;
}

void TfmKvMultiSelect::SetSelectedKeys(const QList<QVariant>& keys) {
  d->chosen.clear();
  for (const QVariant& k : keys)
    if (!k.isNull()) d->chosen.insert(Impl::text(k));
  d->ticks->rowsTicked();
  d->updateCount();
}

QCheckBox* TfmKvMultiSelect::AddFilterCheck(const QString& caption, const QString& objectName) {
  auto* box = new QCheckBox(caption, d->filterBox);
  if (!objectName.isEmpty()) box->setObjectName(objectName);
  d->filterLayout->addWidget(box);
  d->filterBox->show();
  connect(box, &QCheckBox::clicked, this, [this] { RebuildList(); });
  return box;
}

QGroupBox* TfmKvMultiSelect::FilterBox() const {
  return d->filterBox;
}
QVBoxLayout* TfmKvMultiSelect::FilterLayout() const {
  return d->filterLayout;
}

QString TfmKvMultiSelect::BuildFilter() {
  return OnBuildFilter ? OnBuildFilter(*this) : QString();
}

bool TfmKvMultiSelect::RebuildList() {
  d->chosen.clear();
  d->updateCount();
  if (!d->list->Active()) return true;
  const QString filter = BuildFilter();
  // Off, replaced, on again: a filter that does not parse leaves every row.
  (void)d->list->SetFiltered(false);
  d->list->SetFilter(filter);
  const bool ok = filter.trimmed().isEmpty() || d->list->SetFiltered(true).ok();
  ++d->syncing;
  if (d->list->RecordCount() > 0) d->grid->setCurrentIndex(d->ticks->index(std::max(0, d->list->RecNo()), 0));
  --d->syncing;
  d->ticks->rowsTicked();
  return ok;
}

QTableView* TfmKvMultiSelect::Grid() const {
  return d->grid;
}
QPushButton* TfmKvMultiSelect::SelectAllButton() const {
  return d->selectAll;
}
QPushButton* TfmKvMultiSelect::SelectNoneButton() const {
  return d->selectNone;
}
QPushButton* TfmKvMultiSelect::InvertButton() const {
  return d->invert;
}

void TfmKvMultiSelect::prepare() {
  if (d->shown) return;
  d->shown = true;
  FormShow();
}

int TfmKvMultiSelect::exec() {
  if (!d->list->Active()) {
    if (!KvReport(Open())) return QDialog::Rejected;
  }
  prepare();
  if (!d->showForm) return QDialog::Accepted;
  return TfmKvDialog::exec();
}

bool TfmKvMultiSelect::CanAccept() {
  if (SelectedKeys().isEmpty()) {
    KvMessageDlg(d->emptyMessage, TMsgDlgType::mtError, mbOK);
    return false;
  }
  return true;
}

void TfmKvMultiSelect::showEvent(QShowEvent* event) {
  TfmKvDialog::showEvent(event);
  if (!d->list->Active()) KvReport(Open());
  prepare();
}

bool TfmKvMultiSelect::eventFilter(QObject* watched, QEvent* event) {
  // Space ticks the current row whatever column the cursor is in.
  if (watched == d->grid && d->multi && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
    const int row = d->list->RecNo();
    if (row >= 0) SetSelected(row, !IsSelected(row));
    return true;
  }
  return TfmKvDialog::eventFilter(watched, event);
}
