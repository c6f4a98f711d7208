#include "AbiFBenSearch.h"

#include "AbiUFiltri.h"
#include "KvCollectionModel.h"
#include "KvQueryCollection.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QColor kGiallino(255, 255, 225);
constexpr int kAttesa = 500;  // ms after the last key
}  // namespace

TfmAbiBenSearch::TfmAbiBenSearch(QWidget* parent) : TfmKvSearch(parent) {
  setObjectName(QStringLiteral("TfmAbiBenSearch"));
  setWindowTitle(QStringLiteral("Cerca Beneficiario"));
  FilterPanel()->hide();
  EditButton()->hide();

  auto* panel = new QWidget(Content());
  panel->setObjectName(QStringLiteral("pnCerca"));
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(QStringLiteral("&Cerca..."), panel);
  edCerca = new QLineEdit(panel);
  edCerca->setObjectName(QStringLiteral("edCerca"));
  label->setBuddy(edCerca);
  row->addWidget(label);
  row->addWidget(edCerca, 1);
  ContentLayout()->addWidget(panel);
  QPalette palette = edCerca->palette();
  palette.setColor(QPalette::PlaceholderText, Qt::gray);
  edCerca->setPalette(palette);
  mostraSegnaposto(true);

  tmCerca = new QTimer(this);
  tmCerca->setObjectName(QStringLiteral("tmCerca"));
  tmCerca->setSingleShot(true);
  tmCerca->setInterval(kAttesa);
  connect(tmCerca, &QTimer::timeout, this, [this] { ApplicaFiltro(); });
  connect(edCerca, &QLineEdit::textChanged, this, [this](const QString& text) { testoCambiato(text); });
  connect(Grid()->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { colonnaCorrente(current); });
  edCerca->installEventFilter(this);
}

TfmAbiBenSearch::~TfmAbiBenSearch() = default;

void TfmAbiBenSearch::SetColonnaFiltro(const QString& field) {
  m_colonna = KvSearchSql::BareName(field);
}

void TfmAbiBenSearch::mostraSegnaposto(bool on) {
  edCerca->setPlaceholderText(on ? kSegnaposto : QString());
  QPalette palette = edCerca->palette();
  palette.setColor(QPalette::Base, on ? QColor(Qt::white) : kGiallino);
  edCerca->setPalette(palette);
}

void TfmAbiBenSearch::testoCambiato(const QString& text) {
  if (text.isEmpty()) {
    tmCerca->stop();
    RimuoviFiltro();
  } else {
    tmCerca->start();
  }
}

bool TfmAbiBenSearch::ApplicaFiltro() {
  tmCerca->stop();
  const QString text = edCerca->text();
  if (text.isEmpty()) {
    RimuoviFiltro();
    return true;
  }
  TKvQueryCollection* list = GetDataSet();
  if (!list->Active() || m_colonna.isEmpty()) return false;
  (void)list->SetFiltered(false);
  list->SetFilter(FiltroContiene(m_colonna, text));
  const bool ok = list->SetFiltered(true).ok();
  if (!ok) (void)list->SetFiltered(false);
  seguiRiga();
  return ok;
}

void TfmAbiBenSearch::RimuoviFiltro() {
  TKvQueryCollection* list = GetDataSet();
  if (list->Filtered() || !list->Filter().isEmpty()) {
    (void)list->SetFiltered(false);
    list->SetFilter(QString());
  }
  seguiRiga();
}

// After the rows changed: the grid on the current row, in the filter's column.
void TfmAbiBenSearch::seguiRiga() {
  TKvQueryCollection* list = GetDataSet();
  auto* model = qobject_cast<TKvCollectionModel*>(Grid()->model());
  const int rows = list->Active() ? list->RecordCount() : 0;
  if (rows > 0 && model) {
    if (list->RecNo() < 0) list->First();
    const int column = std::max(0, model->ColumnOfField(m_colonna));
    ++m_sincro;
    Grid()->setCurrentIndex(model->index(list->RecNo(), column));
    --m_sincro;
  }
  SetOkEnabled(rows > 0);
  StatusLabel()->setText(QStringLiteral("Righe: %1").arg(rows));
}

void TfmAbiBenSearch::colonnaCorrente(const QModelIndex& current) {
  if (m_sincro || !current.isValid()) return;
  auto* model = qobject_cast<TKvCollectionModel*>(Grid()->model());
  const QString field = model ? model->FieldOfColumn(current.column()).toUpper() : QString();
  if (field.isEmpty() || field == m_colonna) return;
  m_colonna = field;
  tmCerca->stop();
  if (!edCerca->text().isEmpty()) {
    const QSignalBlocker quiet(edCerca);
    edCerca->clear();
  }
  if (GetDataSet()->Filtered()) RimuoviFiltro();
  mostraSegnaposto(true);
}

void TfmAbiBenSearch::ListOpened() {
  if (m_sincro) return;  // exec sets the column and the filter itself
  if (m_colonna.isEmpty()) {
    auto* model = qobject_cast<TKvCollectionModel*>(Grid()->model());
    if (model) m_colonna = model->FieldOfColumn(std::max(0, Grid()->currentIndex().column())).toUpper();
  }
  // A list read again (sorted by the database) keeps the text's filter.
  if (!edCerca->text().isEmpty()) ApplicaFiltro();
}

int TfmAbiBenSearch::exec() {
  // A lookup hands over the text the user typed: here it is the type-ahead
  // filter, which the user can see and clear, not a hidden condition.
  const QString carried = FilterText();
  if (!carried.isEmpty()) SetFilterText(QString());
  // The list is read afresh every time the window shows.
  ++m_sincro;
  (void)Open();  // a failure is shown by the modal run below, which opens again
  --m_sincro;
  auto* model = qobject_cast<TKvCollectionModel*>(Grid()->model());
  if (model && model->columnCount() > 0)
    m_colonna = model->FieldOfColumn(std::max(0, Grid()->currentIndex().column())).toUpper();
  {
    const QSignalBlocker quiet(edCerca);
    edCerca->setText(carried);
  }
  ApplicaFiltro();
  mostraSegnaposto(!edCerca->hasFocus());
  return TfmKvSearch::exec();
}

bool TfmAbiBenSearch::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edCerca) {
    switch (event->type()) {
      case QEvent::FocusIn:
        mostraSegnaposto(false);
        break;
      case QEvent::FocusOut:
        if (edCerca->text().isEmpty()) mostraSegnaposto(true);
        break;
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
          case Qt::Key_Return:
          case Qt::Key_Enter:
            // The first Enter applies a filter still waiting; the next chooses.
            if (tmCerca->isActive())
              ApplicaFiltro();
            else
              accept();
            return true;
          case Qt::Key_Down:
          case Qt::Key_Up:
          case Qt::Key_PageDown:
          case Qt::Key_PageUp:
            Grid()->setFocus();
            QApplication::sendEvent(Grid(), event);
            return true;
          default:
            break;
        }
        break;
      }
      default:
        break;
    }
  } else if (watched == Grid() && event->type() == QEvent::KeyPress) {
    // Typing on the list goes on in the filter.
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (!text.isEmpty() && text.at(0).isPrint() && key->key() != Qt::Key_Space &&
        !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      edCerca->setFocus();
      mostraSegnaposto(false);
      edCerca->insert(text);
      return true;
    }
  }
  return TfmKvSearch::eventFilter(watched, event);
}
