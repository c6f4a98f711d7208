#include "TfrKvDBFrames.h"

#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QPointer>
#include <QFormLayout>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

enum class Glyph { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

// The tool bar images, drawn rather than shipped.
QIcon glyphIcon(Glyph g) {
  constexpr int s = 16;
  QPixmap pm(s, s);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor navy(30, 60, 140);
  auto triangle = [&](qreal x, bool left) {
    QPainterPath t;
    if (left) {
      t.moveTo(x + 6, 3);
      t.lineTo(x, 8);
      t.lineTo(x + 6, 13);
    } else {
      t.moveTo(x, 3);
      t.lineTo(x + 6, 8);
      t.lineTo(x, 13);
    }
    t.closeSubpath();
    p.fillPath(t, navy);
  };
  QPen pen(navy, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  switch (g) {
    case Glyph::First:
      p.fillRect(QRectF(3, 3, 2, 10), navy);
      triangle(6, true);
      break;
    case Glyph::Prior:
      triangle(5, true);
      break;
    case Glyph::Next:
      triangle(5, false);
      break;
    case Glyph::Last:
      triangle(4, false);
      p.fillRect(QRectF(11, 3, 2, 10), navy);
      break;
    case Glyph::Insert:
      pen.setColor(QColor(0, 130, 40));
      p.setPen(pen);
      p.drawLine(QPointF(8, 3), QPointF(8, 13));
      p.drawLine(QPointF(3, 8), QPointF(13, 8));
      break;
    case Glyph::Delete:
      pen.setColor(QColor(190, 30, 30));
      p.setPen(pen);
      p.drawLine(QPointF(3, 8), QPointF(13, 8));
      break;
    case Glyph::Edit: {
      // A pencil.
      p.translate(8, 8);
      p.rotate(-45);
      p.fillRect(QRectF(-5, -2, 8, 4), QColor(230, 170, 30));
      QPainterPath tip;
      tip.moveTo(3, -2);
      tip.lineTo(6.5, 0);
      tip.lineTo(3, 2);
      tip.closeSubpath();
      p.fillPath(tip, QColor(60, 60, 60));
      p.fillRect(QRectF(-6.5, -2, 1.5, 4), QColor(200, 90, 90));
      break;
    }
    case Glyph::Post:
      pen.setColor(QColor(0, 130, 40));
      p.setPen(pen);
      p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
      break;
    case Glyph::Cancel:
      pen.setColor(QColor(190, 30, 30));
      p.setPen(pen);
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    case Glyph::Refresh: {
      pen.setWidthF(1.8);
      p.setPen(pen);
      p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
      QPainterPath head;
      head.moveTo(8, 0.5);
      head.lineTo(12, 3);
      head.lineTo(8, 5.5);
      head.closeSubpath();
      p.fillPath(head, navy);
      break;
    }
  }
  return QIcon(pm);
}

// Widest the detail form grows: on a maximised window the page right of it
// stays empty, so that no label is far from its field.
constexpr int kDetailWidth = 760;

// The detail fields at the top left of the page. Where the page has less
// room than the fields need (a frame embedded under a grid), the page
// scrolls instead of squeezing the rows over their labels.
void placeDetail(QBoxLayout* page, QWidget* detail) {
  auto* holder = new QWidget;
  holder->setObjectName(QStringLiteral("pnDetailHolder"));
  auto* column = new QVBoxLayout(holder);
  column->setContentsMargins(0, 0, 0, 0);
  // Fields are added after the page is placed: the holder keeps the fields'
  // minimum as its own, which the scroll area respects.
  column->setSizeConstraint(QLayout::SetMinimumSize);
  auto* row = new QHBoxLayout;
  row->addWidget(detail, 1);
  row->addStretch(0);
  column->addLayout(row);
  column->addStretch(1);
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("sbDetail"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(holder);
  page->addWidget(scroll, 1);
}

}  // namespace

TfrKvDBFrame::TfrKvDBFrame(Pages pages, QWidget* parent) : QWidget(parent) {
  xdsMain = new TKvDataSource(this);
  xdsMain->setObjectName(QStringLiteral("xdsMain"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  tbFrame = new QToolBar(this);
  tbFrame->setObjectName(QStringLiteral("tbFrame"));
  tbFrame->setIconSize(QSize(16, 16));
  tbFrame->setToolButtonStyle(Qt::ToolButtonIconOnly);
  layout->addWidget(tbFrame);

  xacFirst = makeAction(QStringLiteral("xacFirst"), QStringLiteral("Primo"), glyphIcon(Glyph::First), {},
                        &xacFirstExecute, [this] { First(); });
  xacPrior = makeAction(QStringLiteral("xacPrior"), QStringLiteral("Precedente"), glyphIcon(Glyph::Prior), {},
                        &xacPriorExecute, [this] { Prior(); });
  xacNext = makeAction(QStringLiteral("xacNext"), QStringLiteral("Successivo"), glyphIcon(Glyph::Next), {},
                       &xacNextExecute, [this] { Next(); });
  xacLast = makeAction(QStringLiteral("xacLast"), QStringLiteral("Ultimo"), glyphIcon(Glyph::Last), {},
                       &xacLastExecute, [this] { Last(); });
  tbFrame->addSeparator();
  xacInsert = makeAction(QStringLiteral("xacInsert"), QStringLiteral("Nuovo"), glyphIcon(Glyph::Insert),
                         QKeySequence(Qt::Key_Insert), &xacInsertExecute, [this] { Insert(); });
  xacDelete = makeAction(QStringLiteral("xacDelete"), QStringLiteral("Elimina"), glyphIcon(Glyph::Delete),
                         QKeySequence(Qt::CTRL | Qt::Key_Delete), &xacDeleteExecute, [this] {
                           if (DeleteConfirmed()) KvReport(Delete());
                         });
  xacEdit = makeAction(QStringLiteral("xacEdit"), QStringLiteral("Modifica"), glyphIcon(Glyph::Edit),
                       QKeySequence(Qt::Key_F2), &xacEditExecute, [this] { Edit(); });
  xacPost = makeAction(QStringLiteral("xacPost"), QStringLiteral("Salva"), glyphIcon(Glyph::Post),
                       QKeySequence(Qt::CTRL | Qt::Key_S), &xacPostExecute, [this] { PostAndReport(); });
  xacCancel = makeAction(QStringLiteral("xacCancel"), QStringLiteral("Annulla"), glyphIcon(Glyph::Cancel),
                         QKeySequence(Qt::Key_Escape), &xacCancelExecute, [this] { Cancel(); });
  tbFrame->addSeparator();
  xacRefresh = makeAction(QStringLiteral("xacRefresh"), QStringLiteral("Aggiorna"), glyphIcon(Glyph::Refresh),
                          QKeySequence(Qt::Key_F5), &xacRefreshExecute, [this] { KvReport(Refresh()); });

  if (pages != Pages::Detail) {
    grFrame = new TKvDBGrid(this);
    grFrame->setObjectName(QStringLiteral("grFrame"));
    connect(grFrame, &TKvDBGrid::rowDoubleClicked, this, [this] { ShowDetail(); });
  }
  if (pages != Pages::Grid) {
    m_detail = new QWidget(this);
    m_detail->setObjectName(QStringLiteral("pnDetail"));
    m_detailLayout = new QFormLayout(m_detail);
    // Labels right-aligned beside their fields; text fields fill the form,
    // dates and numbers keep their own width.
    m_detailLayout->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_detailLayout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_detail->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_detail->setMaximumWidth(kDetailWidth);
  }
  connect(xdsMain, &TKvDataSource::stateChange, this, &TfrKvDBFrame::UpdateActions);
  connect(xdsMain, &TKvDataSource::dataChange, this, &TfrKvDBFrame::UpdateActions);
  UpdateActions();
}

TfrKvDBFrame::~TfrKvDBFrame() {
  if (TKvQueryCollection* c = DataSet()) c->SavePending = nullptr;
}

QAction* TfrKvDBFrame::makeAction(const QString& name, const QString& hint, const QIcon& icon, const QKeySequence& key,
                                  std::function<void()>* hook, std::function<void()> standard) {
  auto* action = new QAction(icon, hint, this);
  action->setObjectName(name);
  const QString tip =
      key.isEmpty() ? hint : hint + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
  action->setToolTip(tip);
  action->setStatusTip(tip);
  if (!key.isEmpty()) {
    // Only in the frame holding the focus: two frames of one window, or two
    // windows, each keep their own keys.
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
  }
  connect(action, &QAction::triggered, this, [this, action, hook, standard = std::move(standard)] {
    // One click or one key saves what the focused field is still typing,
    // through the window's own save.
    if (action == xacPost) {
      if (CommitTyping()) SavePending();
      UpdateActions();
      return;
    }
    if (*hook)
      (*hook)();
    else
      standard();
    UpdateActions();
  });
  tbFrame->addAction(action);
  return action;
}

void TfrKvDBFrame::SetDataSet(TKvQueryCollection* collection) {
  if (TKvQueryCollection* old = DataSet(); old && old != collection) old->SavePending = nullptr;
  if (grFrame) grFrame->SetCollection(collection);
  xdsMain->SetDataSet(collection);
  if (collection) {
    collection->SavePending = [frame = QPointer<TfrKvDBFrame>(this)] { return frame && frame->SavePending(); };
  }
  for (TKvDBLookupEdit* lookup : std::as_const(m_lookups))
    if (lookup) lookup->SetDataSource(collection, lookup->DataField());
  UpdateActions();
}

TKvQueryCollection* TfrKvDBFrame::DataSet() const {
  return xdsMain->DataSet();
}

bool TfrKvDBFrame::editing() const {
  return KvEditing(xdsMain->State());
}

bool TfrKvDBFrame::DeleteConfirmed() {
  return !ConfirmDelete ||
         KvMessageDlg(QStringLiteral("Cancellare il record?"), TMsgDlgType::mtConfirmation, mbYesNo) == mrYes;
}

bool TfrKvDBFrame::PostAndReport() {
  return xdsMain->ValidateControls() && KvReport(Post());
}

void TfrKvDBFrame::First() {
  if (TKvQueryCollection* c = DataSet(); c && c->Active()) c->First();
}

void TfrKvDBFrame::Prior() {
  if (TKvQueryCollection* c = DataSet(); c && c->Active()) c->Prior();
}

void TfrKvDBFrame::Next() {
  if (TKvQueryCollection* c = DataSet(); c && c->Active()) c->Next();
}

void TfrKvDBFrame::Last() {
  if (TKvQueryCollection* c = DataSet(); c && c->Active()) c->Last();
}

bool TfrKvDBFrame::Insert() {
  TKvQueryCollection* c = DataSet();
  if (!c || !c->Active() || m_readOnly || !c->Insert()) return false;
  ShowDetail();
  focusFirstControl();
  return true;
}

bool TfrKvDBFrame::Edit() {
  TKvQueryCollection* c = DataSet();
  if (!c || !c->Active() || m_readOnly || !c->Edit()) return false;
  ShowDetail();
  focusFirstControl();
  return true;
}

KvStatus TfrKvDBFrame::Post() {
  TKvQueryCollection* c = DataSet();
  if (!c || !editing()) return {};
  // A control whose text is not a value (a half-typed date) would otherwise
  // be saved with the value it held before.
  if (KvStatus s = xdsMain->CheckControls(); !s) return s;
  const KvStatus posted = c->Post();
  if (posted) return posted;
  // The engine's refusal of a value, in words that name the field.
  return xdsMain->ExplainFailure(posted.error());
}

void TfrKvDBFrame::Cancel() {
  if (TKvQueryCollection* c = DataSet()) c->Cancel();
}

KvStatus TfrKvDBFrame::Delete() {
  TKvQueryCollection* c = DataSet();
  // The action is disabled in these cases; a call from code changes nothing.
  if (!c || !c->Active() || c->IsEmpty()) return KvFail(QStringLiteral("Nessun record da cancellare."));
  if (m_readOnly) return KvFail(QStringLiteral("L'elenco è in sola lettura."));
  return c->Delete();
}

KvStatus TfrKvDBFrame::Refresh() {
  TKvQueryCollection* c = DataSet();
  if (!c) return KvFail(QStringLiteral("L'elenco non è aperto."));
  // A row the window's save refused stays; that save told the user why.
  if (!SavePending()) return KvFail(QString());
  return c->Refresh();
}

bool TfrKvDBFrame::SavePending() {
  if (!editing()) return true;
  // The window's save moving its own rows (a lookup, a reload before the
  // post) stores the row plainly rather than running itself again.
  if (m_saving) return PostAndReport();
  m_saving = true;
  // A window's own save checks its rules on the values written: a field
  // whose text is not a value (an impossible date) is refused first.
  if (xacPostExecute) {
    if (xdsMain->ValidateControls()) xacPostExecute();
  } else {
    PostAndReport();
  }
  m_saving = false;
  UpdateActions();
  return !editing();
}

bool TfrKvDBFrame::CommitTyping() {
  QWidget* focus = window()->focusWidget();
  if (!focus || !isAncestorOf(focus)) return true;
  for (QWidget* w = focus; w && w != this; w = w->parentWidget())
    if (auto* lookup = qobject_cast<TKvDBLookupEdit*>(w)) return lookup->CommitTyping();
  return true;
}

bool TfrKvDBFrame::ConfirmLeave() {
  if (!editing()) return true;
  switch (KvMessageDlg(QStringLiteral("Salvare le modifiche?"), TMsgDlgType::mtConfirmation, mbYesNoCancel, 0,
                       mbYes)) {
    case mrYes:
      return CommitTyping() && SavePending();
    case mrNo:
      if (xacCancelExecute)
        xacCancelExecute();
      else
        Cancel();
      UpdateActions();
      return !editing();
    default:
      return false;
  }
}

bool TfrKvDBFrame::ConfirmLeaveAll(QWidget* window) {
  if (!window) return true;
  for (TfrKvDBFrame* frame : window->findChildren<TfrKvDBFrame*>())
    if (!frame->ConfirmLeave()) return false;
  return true;
}

bool TfrKvDBFrame::AnyEditing(QWidget* window) {
  if (!window) return false;
  for (TfrKvDBFrame* frame : window->findChildren<TfrKvDBFrame*>())
    if (frame->editing()) return true;
  return false;
}

void TfrKvDBFrame::SetReadOnly(bool on) {
  m_readOnly = on;
  xdsMain->SetReadOnly(on);
  UpdateActions();
}

void TfrKvDBFrame::SetActionLocked(QAction* action, bool locked) {
  if (!action) return;
  if (locked && !m_locked.contains(action)) m_locked.append(action);
  if (!locked) m_locked.removeAll(action);
  action->setVisible(!locked);
  UpdateActions();
}

void TfrKvDBFrame::UpdateActions() {
  TKvQueryCollection* c = DataSet();
  const KvState state = xdsMain->State();
  const bool browse = state == KvState::Browse;
  const bool edit = state == KvState::Insert || state == KvState::Edit;
  const int rows = browse ? c->RecordCount() : 0;
  const int row = browse ? c->RecNo() : -1;
  auto set = [this](QAction* a, bool on) { a->setEnabled(on && !m_locked.contains(a)); };
  set(xacFirst, browse && row > 0);
  set(xacPrior, browse && row > 0);
  set(xacNext, browse && row >= 0 && row < rows - 1);
  set(xacLast, browse && row >= 0 && row < rows - 1);
  set(xacInsert, browse && !m_readOnly);
  set(xacDelete, browse && !m_readOnly && rows > 0);
  set(xacEdit, browse && !m_readOnly && rows > 0);
  set(xacPost, edit && !m_readOnly);
  set(xacCancel, edit && !m_readOnly);
  set(xacRefresh, c && !edit);
}

void TfrKvDBFrame::AddToolWidget(QWidget* widget, bool separator) {
  if (separator) tbFrame->addSeparator();
  tbFrame->addWidget(widget);
}

void TfrKvDBFrame::AddToolAction(QAction* action, bool separator) {
  if (separator) tbFrame->addSeparator();
  tbFrame->addAction(action);
}

namespace {

// The fields of a form, row by row, into group boxes and plain panels; a
// compound field (date, lookup) counts once, by its focus proxy.
void collectFields(QLayout* layout, QList<QWidget*>& out) {
  if (!layout) return;
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (QLayout* inner = item->layout()) {
      collectFields(inner, out);
      continue;
    }
    QWidget* w = item->widget();
    if (!w) continue;
    if (!w->focusProxy() && w->layout() && (qobject_cast<QGroupBox*>(w) || w->focusPolicy() == Qt::NoFocus)) {
      collectFields(w->layout(), out);
      continue;
    }
    QWidget* target = w;
    while (target->focusProxy()) target = target->focusProxy();
    if (target->focusPolicy() & Qt::TabFocus) out << w;
  }
}

}  // namespace

void TfrKvDBFrame::orderTabs() {
  QList<QWidget*> fields;
  collectFields(m_detailLayout, fields);
  for (int i = 1; i < fields.size(); ++i) QWidget::setTabOrder(fields[i - 1], fields[i]);
}

void TfrKvDBFrame::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Once every field is in place: Tab follows the rows as they are seen.
  if (!m_tabsOrdered && m_detailLayout) {
    m_tabsOrdered = true;
    orderTabs();
  }
}

void TfrKvDBFrame::focusFirstControl() {
  QList<QWidget*> fields;
  collectFields(m_detailLayout, fields);
  for (QWidget* w : fields) {
    if (w->isEnabled() && w->isVisibleTo(this) && !(qobject_cast<QLineEdit*>(w) && static_cast<QLineEdit*>(w)->isReadOnly())) {
      w->setFocus();
      return;
    }
  }
}

template <typename Control>
static Control* addControl(TKvDataSource* source, QFormLayout* layout, const QString& name, const QString& field,
                           const QString& caption, Control* control) {
  control->setObjectName(name);
  control->SetCaption(caption);
  control->SetDataSource(source, field);
  layout->addRow(caption, control);
  return control;
}

TKvDBEdit* TfrKvDBFrame::AddDBEdit(const QString& name, const QString& field, const QString& caption) {
  if (!m_detailLayout) return nullptr;
  return addControl(xdsMain, m_detailLayout, name, field, caption, new TKvDBEdit(m_detail));
}

TKvDBDateEdit* TfrKvDBFrame::AddDBDate(const QString& name, const QString& field, const QString& caption) {
  if (!m_detailLayout) return nullptr;
  return addControl(xdsMain, m_detailLayout, name, field, caption, new TKvDBDateEdit(m_detail));
}

TKvDBNumberEdit* TfrKvDBFrame::AddDBNumber(const QString& name, const QString& field, const QString& caption,
                                           int decimals) {
  if (!m_detailLayout) return nullptr;
  auto* control = new TKvDBNumberEdit(m_detail);
  control->SetDecimals(decimals);
  return addControl(xdsMain, m_detailLayout, name, field, caption, control);
}

TKvDBMemo* TfrKvDBFrame::AddDBMemo(const QString& name, const QString& field, const QString& caption) {
  if (!m_detailLayout) return nullptr;
  return addControl(xdsMain, m_detailLayout, name, field, caption, new TKvDBMemo(m_detail));
}

TKvDBCheckBox* TfrKvDBFrame::AddDBCheck(const QString& name, const QString& field, const QString& caption) {
  if (!m_detailLayout) return nullptr;
  auto* control = new TKvDBCheckBox(caption, m_detail);
  control->setObjectName(name);
  control->SetCaption(caption);
  control->SetDataSource(xdsMain, field);
  m_detailLayout->addRow(QString(), control);
  return control;
}

QWidget* TfrKvDBFrame::ControlOfField(const QString& field) const {
  const QString f = field.trimmed();
  for (TKvDBControl* control : xdsMain->Controls())
    if (control->DataField().compare(f, Qt::CaseInsensitive) == 0) return control->Widget();
  for (TKvDBLookupEdit* lookup : m_lookups)
    if (lookup && lookup->DataField().compare(f, Qt::CaseInsensitive) == 0) return lookup;
  return nullptr;
}

TKvDBLookupEdit* TfrKvDBFrame::AddDBLookup(const QString& name, const QString& field, const QString& caption) {
  if (!m_detailLayout) return nullptr;
  auto* control = new TKvDBLookupEdit(m_detail);
  control->setObjectName(name);
  control->SetDataSource(DataSet(), field);
  m_detailLayout->addRow(caption, control);
  m_lookups << control;
  return control;
}

// ---- the three frames --------------------------------------------------------

TfrKvDBRWGrid::TfrKvDBRWGrid(QWidget* parent) : TfrKvDBFrame(Pages::GridAndDetail, parent) {
  pcFrame = new QTabWidget(this);
  pcFrame->setObjectName(QStringLiteral("pcFrame"));
  tsGrid = new QWidget(pcFrame);
  tsGrid->setObjectName(QStringLiteral("tsGrid"));
  auto* gridLayout = new QVBoxLayout(tsGrid);
  gridLayout->setContentsMargins(0, 0, 0, 0);
  gridLayout->addWidget(grFrame);
  tsDetail = new QWidget(pcFrame);
  tsDetail->setObjectName(QStringLiteral("tsDetail"));
  auto* detailLayout = new QVBoxLayout(tsDetail);
  placeDetail(detailLayout, m_detail);
  pcFrame->addTab(tsGrid, QStringLiteral("Elenco"));
  pcFrame->addTab(tsDetail, QStringLiteral("Dettaglio"));
  layout()->addWidget(pcFrame);
}

void TfrKvDBRWGrid::ShowGrid() {
  pcFrame->setCurrentWidget(tsGrid);
}

void TfrKvDBRWGrid::ShowDetail() {
  pcFrame->setCurrentWidget(tsDetail);
}

TfrKvDBROGrid::TfrKvDBROGrid(QWidget* parent) : TfrKvDBFrame(Pages::Grid, parent) {
  layout()->addWidget(grFrame);
  for (QAction* a : {xacInsert, xacDelete, xacEdit, xacPost, xacCancel}) SetActionLocked(a, true);
  SetReadOnly(true);
}

TfrKvDBRW::TfrKvDBRW(QWidget* parent) : TfrKvDBFrame(Pages::Detail, parent) {
  placeDetail(static_cast<QVBoxLayout*>(layout()), m_detail);
}
