#include "TfrAbzRicerca.h"

#include "KvFilter.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

QIcon lente() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 70, 130), 2));
  p.setBrush(QColor(210, 230, 250));
  p.drawEllipse(QRectF(2, 2, 8.5, 8.5));
  p.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 10), QPointF(14, 14));
  return QIcon(pm);
}

QIcon annulla() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 4), QPointF(12, 12));
  p.drawLine(QPointF(12, 4), QPointF(4, 12));
  return QIcon(pm);
}

bool campoData(QMetaType t) {
  const int id = t.id();
  return id == QMetaType::QDate || id == QMetaType::QTime || id == QMetaType::QDateTime;
}

}  // namespace

TfrAbzRicerca::TfrAbzRicerca(QWidget* parent) : QWidget(parent) {
  setFixedSize(250, 24);
  ilIcon = {lente(), annulla()};

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);

  tbSearch = new QToolBar(this);
  tbSearch->setObjectName(QStringLiteral("tbSearch"));
  tbSearch->setIconSize(QSize(16, 16));
  tbSearch->setContentsMargins(0, 0, 0, 0);
  acSearch = new QAction(ilIcon[0], QString(), this);
  acSearch->setObjectName(QStringLiteral("acSearch"));
  poSearch = new QMenu(this);
  poSearch->setObjectName(QStringLiteral("poSearch"));
  obSearch = new QToolButton(tbSearch);
  obSearch->setObjectName(QStringLiteral("obSearch"));
  obSearch->setDefaultAction(acSearch);
  obSearch->setMenu(poSearch);
  obSearch->setPopupMode(QToolButton::MenuButtonPopup);
  obSearch->setFocusPolicy(Qt::NoFocus);
  tbSearch->addWidget(obSearch);
  layout->addWidget(tbSearch);

  pnRicerca = new QFrame(this);
  pnRicerca->setObjectName(QStringLiteral("pnRicerca"));
  pnRicerca->setAutoFillBackground(true);
  QPalette white = pnRicerca->palette();
  white.setColor(QPalette::Window, Qt::white);
  pnRicerca->setPalette(white);
  auto* panel = new QHBoxLayout(pnRicerca);
  panel->setContentsMargins(3, 0, 3, 0);
  edRicerca = new QLineEdit(pnRicerca);
  edRicerca->setObjectName(QStringLiteral("edRicerca"));
  edRicerca->setFrame(false);
  panel->addWidget(edRicerca);
  layout->addWidget(pnRicerca, 1);

  tmFilt = new QTimer(this);
  tmFilt->setObjectName(QStringLiteral("tmFilt"));
  tmFilt->setInterval(500);

  edRicerca->installEventFilter(this);
  connect(edRicerca, &QLineEdit::textChanged, this, &TfrAbzRicerca::edRicercaChange);
  connect(tmFilt, &QTimer::timeout, this, &TfrAbzRicerca::tmFiltTimer);
  connect(acSearch, &QAction::triggered, this, &TfrAbzRicerca::acSearchExecute);
}

TfrAbzRicerca::~TfrAbzRicerca() = default;

void TfrAbzRicerca::SetQueryCollection(TKvQueryCollection* collection) {
  m_collection = collection;
  m_filtroProprio = false;
}

void TfrAbzRicerca::SetGrid(TKvDBGrid* grid) {
  if (m_grid) disconnect(m_grid, nullptr, this, nullptr);
  m_grid = grid;
}

void TfrAbzRicerca::Imposta() {
  tmFilt->stop();
  poSearch->clear();
  m_voci.clear();
  m_campi.clear();
  m_titoli.clear();
  m_campo.clear();
  m_prompt.clear();
  m_hint.clear();
  if (!m_grid) return;
  const TKvColsIndex& index = m_grid->ColsIndex();
  for (int i = 0; i < index.Count(); ++i) {
    const TKvColsIndexItem* item = index.Item(i);
    if (!item->Searchable()) continue;
    const int tag = int(m_campi.size());
    const QString titolo =
        m_grid->model() ? m_grid->model()->headerData(item->Column(), Qt::Horizontal).toString() : QString();
    QAction* voce = poSearch->addAction(titolo);
    voce->setData(tag);
    connect(voce, &QAction::triggered, this, [this, tag] { VoceMenuClick(tag); });
    m_voci << voce;
    m_titoli << titolo;
    m_campi << m_grid->FieldOfColumn(item->Column());
  }
  if (!m_voci.isEmpty()) {
    poSearch->setDefaultAction(m_voci.first());
    m_voci.first()->setIcon(ilIcon[0]);
    m_campo = m_campi.first();
    m_prompt = QStringLiteral("<Ricerca ") + m_titoli.first() + QStringLiteral(" >");
    m_hint = QStringLiteral("Ricerca per ") + m_titoli.first();
  }
  mostraPrompt();
  acSearch->setToolTip(m_hint);
  edRicerca->setToolTip(m_hint);
  impostaImmagine(0);
  connect(m_grid, &TKvDBGrid::columnSorted, this, &TfrAbzRicerca::OrdinaColonna, Qt::UniqueConnection);
}

bool TfrAbzRicerca::MostraPrompt() const {
  return !m_prompt.isEmpty() && edRicerca->text() == m_prompt;
}

bool TfrAbzRicerca::haTestoRicerca() const {
  return !edRicerca->text().isEmpty() && !MostraPrompt();
}

void TfrAbzRicerca::mostraPrompt() {
  // With the focus left in the edit, what the user types next would be
  // appended to the prompt.
  if (edRicerca->hasFocus()) edRicerca->clearFocus();
  edRicerca->setText(m_prompt);
}

void TfrAbzRicerca::impostaImmagine(int index) {
  m_immagine = index;
  acSearch->setIcon(ilIcon[index]);
}

void TfrAbzRicerca::edRicercaChange() {
  QPalette pal = edRicerca->palette();
  pal.setColor(QPalette::Text, MostraPrompt() ? Qt::gray : Qt::black);
  edRicerca->setPalette(pal);
  if (haTestoRicerca()) {
    tmFilt->stop();
    tmFilt->start();
    impostaImmagine(1);
    acSearch->setToolTip(QStringLiteral("Annulla Ricerca"));
  } else {
    tmFilt->stop();
    rimuoviFiltro(false);
    impostaImmagine(0);
    acSearch->setToolTip(m_hint);
  }
}

void TfrAbzRicerca::rimuoviFiltro(bool ancheAltrui) {
  TKvQueryCollection* c = m_collection.data();
  if (!c) return;
  if (m_filtroProprio) {
    (void)c->SetFiltered(false);
    c->SetFilter(QString());
  } else if (ancheAltrui && c->Filtered()) {
    (void)c->SetFiltered(false);
  }
  m_filtroProprio = false;
}

void TfrAbzRicerca::tmFiltTimer() {
  tmFilt->stop();
  TKvQueryCollection* c = m_collection.data();
  if (!c) return;
  if (!haTestoRicerca()) {
    rimuoviFiltro(true);
    ridisegnaGriglia();
    return;
  }
  const QString campo = m_campo.trimmed();
  if (campo.isEmpty()) return;
  // A row being typed is stored by the window's own save first; when it
  // stays (the save said why), the list is not filtered under it.
  if (m_grid && !m_grid->SavePending()) return;
  // The typed text stays a literal whatever it contains (D'ANGELO, 10%).
  const QString testo = edRicerca->text().toUpper();
  const QString filtro = campoData(c->FieldType(campo)) ? campo + QStringLiteral(" = ") + KvFilter::Quoted(testo)
                                                        : KvFilter::ContainsCondition(campo, testo);
  (void)c->SetFiltered(false);
  c->SetFilter(filtro);
  // A text the filter cannot use (half a date) shows every row.
  if (!c->SetFiltered(true)) (void)c->SetFiltered(false);
  m_filtroProprio = c->Filtered();
  ridisegnaGriglia();
}

void TfrAbzRicerca::acSearchExecute() {
  if (!haTestoRicerca()) return;
  tmFilt->stop();
  rimuoviFiltro(true);
  mostraPrompt();
  acSearch->setToolTip(m_hint);
  edRicerca->setToolTip(m_hint);
  ridisegnaGriglia();
}

void TfrAbzRicerca::VoceMenuClick(int tag) {
  sceltaCampo(tag, true);
}

void TfrAbzRicerca::sceltaCampo(int tag, bool ancheFiltriAltrui) {
  if (tag < 0 || tag >= m_voci.size()) return;
  tmFilt->stop();
  poSearch->setDefaultAction(m_voci[tag]);
  for (int i = 0; i < m_voci.size(); ++i) m_voci[i]->setIcon(i == tag ? ilIcon[0] : QIcon());
  m_campo = m_campi[tag];
  const QString titolo = QString(m_titoli[tag]).remove(QLatin1Char('&'));
  m_prompt = QStringLiteral("<Ricerca ") + titolo + QStringLiteral(">");
  m_hint = QStringLiteral("Ricerca per ") + titolo;
  mostraPrompt();
  acSearch->setToolTip(m_hint);
  edRicerca->setToolTip(m_hint);
  impostaImmagine(0);
  rimuoviFiltro(ancheFiltriAltrui);
  ridisegnaGriglia();
}

void TfrAbzRicerca::OrdinaColonna(int column, const QString& field) {
  if (!m_grid || haTestoRicerca()) return;
  const TKvColsIndex& index = m_grid->ColsIndex();
  int tag = -1;
  for (int i = 0; i < index.Count(); ++i) {
    const TKvColsIndexItem* item = index.Item(i);
    if (!item->Searchable()) continue;
    ++tag;
    if (item->Column() == column) {
      if (item->HasField(field)) sceltaCampo(tag, false);
      return;
    }
  }
}

void TfrAbzRicerca::ridisegnaGriglia() {
  if (m_grid) m_grid->viewport()->update();
}

bool TfrAbzRicerca::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edRicerca) {
    if (event->type() == QEvent::FocusIn && MostraPrompt()) {
      edRicerca->clear();
    } else if (event->type() == QEvent::FocusOut && edRicerca->text().isEmpty()) {
      edRicerca->setText(m_prompt);
    }
  }
  return QWidget::eventFilter(watched, event);
}
