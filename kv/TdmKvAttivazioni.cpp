#include "TdmKvAttivazioni.h"

#include "KvMessageDlg.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolBox>

#include <algorithm>

QString TKvAttForm::TestoNonDisponibile(const QString& caption) {
  return QStringLiteral("%1: funzione non ancora disponibile.").arg(caption);
}

KvStatus TKvAttForm::Perform(TdmKvAttivazioni& registry) {
  if (!registry.FormOpener) return KvFail(TestoNonDisponibile(Caption));
  const KvResult<QWidget*> opened = registry.FormOpener(*this);
  if (!opened) return opened.failure();
  if (!*opened) return KvFail(QString());  // the window refused to open and said why
  return {};
}

KvStatus TKvAttComponent::Perform(TdmKvAttivazioni&) {
  if (OnExecute) OnExecute(*this);
  return {};
}

KvStatus TKvAttShellCommand::Perform(TdmKvAttivazioni& registry) {
  if (!registry.ShellOpener) return KvFail(QStringLiteral("Impossibile aprire \"%1\".").arg(FileName));
  return registry.ShellOpener(*this);
}

KvStatus TKvAttReport::Perform(TdmKvAttivazioni& registry) {
  if (!registry.ReportOpener) return KvFail(QStringLiteral("Le stampe non sono ancora disponibili."));
  return registry.ReportOpener(*this);
}

TdmKvAttivazioni::TdmKvAttivazioni(QObject* parent) : QObject(parent) {}

TdmKvAttivazioni::~TdmKvAttivazioni() = default;

TKvApgPage& TdmKvAttivazioni::AddPage(const QString& name, const QString& caption, int order) {
  auto page = std::make_unique<TKvApgPage>();
  page->Name = name;
  page->Caption = caption;
  page->Order = order;
  m_pages.push_back(std::move(page));
  return *m_pages.back();
}

TKvAttCommand* TdmKvAttivazioni::Command(const QString& name) const {
  for (const auto& c : m_commands)
    if (c->Name.compare(name, Qt::CaseInsensitive) == 0) return c.get();
  return nullptr;
}

const TKvApgPage* TdmKvAttivazioni::Page(const QString& name) const {
  for (const auto& p : m_pages)
    if (p->Name.compare(name, Qt::CaseInsensitive) == 0) return p.get();
  return nullptr;
}

QList<const TKvApgPage*> TdmKvAttivazioni::Pages() const {
  QList<const TKvApgPage*> out;
  for (const auto& p : m_pages) out << p.get();
  std::stable_sort(out.begin(), out.end(), [](auto a, auto b) { return a->Order < b->Order; });
  return out;
}

QList<TKvAttCommand*> TdmKvAttivazioni::Commands(const QString& page) const {
  QList<TKvAttCommand*> out;
  for (const auto& c : m_commands)
    if (c->ParentPage.compare(page, Qt::CaseInsensitive) == 0) out << c.get();
  std::stable_sort(out.begin(), out.end(), [](auto a, auto b) { return a->Order < b->Order; });
  return out;
}

bool TdmKvAttivazioni::Run(const QString& name) {
  TKvAttCommand* c = Command(name);
  return c && Run(*c);
}

bool TdmKvAttivazioni::Run(TKvAttCommand& command) {
  bool cancel = false;
  if (command.BeforeExecute) command.BeforeExecute(command, cancel);
  if (cancel) return false;
  // The menu and the side bar run commands: here is the window's edge.
  if (!KvReport(command.Perform(*this))) return false;
  if (command.AfterExecute) command.AfterExecute(command);
  emit commandRun(command.Name);
  return true;
}

void TdmKvAttivazioni::SetContainer(QToolBox* container) { m_container = container; }

void TdmKvAttivazioni::SetMenuBar(QMenuBar* menuBar) { m_menuBar = menuBar; }

void TdmKvAttivazioni::SetImages(std::function<QIcon(int)> images) { m_images = std::move(images); }

void TdmKvAttivazioni::Execute() {
  auto icon = [this](int index) { return (m_images && index >= 0) ? m_images(index) : QIcon(); };
  if (m_container) {
    while (m_container->count() > 0) {
      QWidget* w = m_container->widget(0);
      m_container->removeItem(0);
      delete w;
    }
    for (const TKvApgPage* page : Pages()) {
      auto* list = new QListWidget;
      list->setObjectName(page->Name);
      list->setViewMode(QListView::ListMode);
      list->setIconSize(QSize(32, 32));
      list->setSpacing(3);
      list->setWordWrap(true);
      list->setFrameShape(QFrame::NoFrame);
      for (TKvAttCommand* c : Commands(page->Name)) {
        if (!c->Visible) continue;
        auto* item = new QListWidgetItem(icon(c->ImageIndex), c->Caption, list);
        item->setData(Qt::UserRole, c->Name);
        item->setToolTip(c->Hint.isEmpty() ? c->Caption : c->Hint);
        if (!c->Enabled) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
      }
      connect(list, &QListWidget::itemClicked, this,
              [this](QListWidgetItem* item) { Run(item->data(Qt::UserRole).toString()); });
      const int index = m_container->addItem(list, page->Caption);
      m_container->setItemEnabled(index, page->Enabled);
    }
  }
  if (m_menuBar) {
    for (QAction* a : m_menuBar->actions())
      if (a->property("kvRegistry").toBool()) {
        m_menuBar->removeAction(a);
        delete a->menu();
      }
    QAction* before = m_menuBar->actions().isEmpty() ? nullptr : m_menuBar->actions().constLast();
    for (const TKvApgPage* page : Pages()) {
      if (!page->InMenu) continue;
      auto* menu = new QMenu(page->Caption, m_menuBar);
      menu->setObjectName(page->Name);
      menu->menuAction()->setProperty("kvRegistry", true);
      menu->setEnabled(page->Enabled);
      for (TKvAttCommand* c : Commands(page->Name)) {
        if (!c->Visible) continue;
        QAction* a = menu->addAction(icon(c->ImageIndex), c->Caption);
        a->setObjectName(c->Name);
        a->setEnabled(c->Enabled);
        const QString name = c->Name;
        connect(a, &QAction::triggered, this, [this, name] { Run(name); });
      }
      if (before) m_menuBar->insertMenu(before, menu);
      else m_menuBar->addMenu(menu);
    }
  }
  m_built = true;
}
