#include "KvWindowFactory.h"

#include "TKvDBGrid.h"
#include "TfmKvChildDB.h"
#include "TfmKvMDIMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QVBoxLayout>

#include <memory>

namespace {

const char* const kInstanceKey = "kvInstanceKey";

struct Registry {
  QHash<QString, KvFormCreator> creators;  // by upper-case class name
  QPointer<TfmKvMDIMain> main;
};

Registry& registry() {
  static Registry r;
  return r;
}

QString normalized(const QString& className) {
  return className.trimmed().toUpper();
}

// A plain window asked for as modal runs inside a dialog that asks the
// window before closing, as its frame in the working area would.
class ModalHost : public QDialog {
 public:
  ModalHost(QWidget* content, QWidget* parent) : QDialog(parent), m_content(content) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
  }
  void done(int result) override {
    if (m_content && !m_content->close()) return;
    QDialog::done(result);
  }

 private:
  QPointer<QWidget> m_content;
};

}  // namespace

void KvWindowFactory::Register(const QString& className, KvFormCreator creator) {
  registry().creators.insert(normalized(className), std::move(creator));
}

void KvWindowFactory::Unregister(const QString& className) {
  registry().creators.remove(normalized(className));
}

bool KvWindowFactory::IsRegistered(const QString& className) {
  return registry().creators.contains(normalized(className));
}

void KvWindowFactory::SetMainWindow(TfmKvMDIMain* main) {
  registry().main = main;
}

TfmKvMDIMain* KvWindowFactory::MainWindow() {
  return registry().main;
}

QString KvWindowFactory::UnknownClassMessage(const QString& className) {
  return QStringLiteral("La finestra %1 non è ancora disponibile.").arg(className);
}

QWidget* KvWindowFactory::FindOpen(const QString& instanceKey, TfmKvMDIMain* main) {
  if (!main) main = MainWindow();
  if (!main) return nullptr;
  const QString key = normalized(instanceKey);
  for (QMdiSubWindow* frame : main->MdiChildren()) {
    QWidget* w = frame->widget();
    if (w && w->property(kInstanceKey).toString() == key) return w;
  }
  return nullptr;
}

KvFormResult KvWindowFactory::Create(const QString& className, TfmKvMDIMain* main, bool modal,
                                     KvFormInit onInizializedForm) {
  KvFormOptions options;
  options.modal = modal;
  options.onInizializedForm = std::move(onInizializedForm);
  return Create(className, main, options);
}

static void handArgs(QWidget* window, const KvFormOptions& options) {
  if (!options.args) return;
  if (auto* receiver = dynamic_cast<KvFormArgsReceiver*>(window)) receiver->SetFormArgs(*options.args);
}

KvFormResult KvWindowFactory::Create(const QString& className, TfmKvMDIMain* main, const KvFormOptions& options) {
  KvFormResult result;
  const auto found = registry().creators.constFind(normalized(className));
  if (found == registry().creators.constEnd()) {
    result.error = UnknownClassMessage(className);
    return result;
  }
  if (!main) main = MainWindow();
  if (!main && !options.modal) {
    result.error = QStringLiteral("La finestra %1 non può essere aperta: manca la finestra principale.").arg(className);
    return result;
  }

  const QString key = normalized(options.instanceKey.isEmpty() ? className : options.instanceKey);
  if (!options.modal && !options.multipleInstance) {
    if (QWidget* open = FindOpen(key, main)) {
      QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(open->parentWidget());
      if (frame && frame->isMinimized()) frame->showNormal();
      main->MdiArea()->setActiveSubWindow(frame);
      result.window = open;
      result.opened = true;
      result.existing = true;
      return result;
    }
  }

  QWidget* parent = main ? static_cast<QWidget*>(main) : QApplication::activeWindow();
  // Owned here until it is handed to the working area or run as a dialog.
  std::unique_ptr<QWidget> window((*found)(parent));
  if (!window) {
    result.error = QStringLiteral("Impossibile creare la finestra %1.").arg(className);
    return result;
  }
  window->setProperty(kInstanceKey, key);
  auto* child = qobject_cast<TfmKvChildDB*>(window.get());
  if (child && !child->RunFormCreate()) {
    result.refused = true;
    return result;
  }

  if (options.modal) {
    QWidget* content = window.get();
    std::unique_ptr<QDialog> host;
    QDialog* dialog = qobject_cast<QDialog*>(content);
    if (!dialog) {
      host = std::make_unique<ModalHost>(window.release(), parent);
      dialog = host.get();
    }
    handArgs(content, options);
    if (options.onInizializedForm) options.onInizializedForm(content);
    if (child && !child->RunFormShow()) {
      result.refused = true;
      return result;
    }
    if (host) host->setWindowTitle(content->windowTitle());
    dialog->setWindowModality(Qt::ApplicationModal);
    result.modalResult = dialog->exec();
    result.opened = true;
    if (options.onModalClosed) options.onModalClosed(content);
    return result;
  }

  // In its frame but hidden, so that set-up can size and place it; a window
  // refusing now goes with its frame before anyone sees it.
  QWidget* content = window.release();
  std::unique_ptr<QMdiSubWindow> frame(main->AddChild(content, false));
  handArgs(content, options);
  if (options.onInizializedForm) options.onInizializedForm(content);
  if (child && !child->RunFormShow()) {
    result.refused = true;
    return result;
  }
  main->ShowChild(frame.release());
  // A list window opens ready for the keyboard: the focus in its grid (the
  // first one in the window's tab order).
  for (QWidget* w = content->nextInFocusChain(); w && w != content; w = w->nextInFocusChain()) {
    auto* grid = qobject_cast<TKvDBGrid*>(w);
    if (grid && content->isAncestorOf(grid) && grid->isVisibleTo(content) && grid->isEnabled()) {
      grid->setFocus();
      break;
    }
  }
  result.window = content;
  result.opened = true;
  return result;
}
