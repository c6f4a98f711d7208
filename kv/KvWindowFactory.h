#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;
class TfmKvMDIMain;

// Builds a window of a registered class; the parent is the main window (or
// the window a modal dialog belongs to).
using KvFormCreator = std::function<QWidget*(QWidget* parent)>;
// Sets up a window after it is built and before it shows.
using KvFormInit = std::function<void(QWidget* window)>;

// Typed arguments a command hands the window it opens.
struct KvFormArgs {
  // The kind or mode of a window that several commands open (the codes
  // archive: 1 CIG, 2 CUP, 3 DURC; the publication export: its mode).
  int tipo = -1;
  // Width of the first grid column; -1 the window's own.
  int larghezzaPrimaColonna = -1;
};

// A window that takes arguments. The factory hands them over once the window
// is built, before the caller's set-up and before it shows.
class KvFormArgsReceiver {
 public:
  virtual ~KvFormArgsReceiver() = default;
  virtual void SetFormArgs(const KvFormArgs& args) = 0;
};

struct KvFormOptions {
  bool modal = false;
  // Several windows of the class at once; otherwise an open one is
  // activated instead of building a second.
  bool multipleInstance = false;
  // Handed to a newly built window that is a KvFormArgsReceiver.
  std::optional<KvFormArgs> args;
  // Run on a newly built window before it shows (not on one re-activated).
  KvFormInit onInizializedForm;
  // Modal windows: run after the dialog closed, before it is freed, so the
  // caller can read what the user chose.
  KvFormInit onModalClosed;
  // What makes two windows "the same" for single instance; the class name
  // when empty. One class opened in several kinds uses one key per kind.
  QString instanceKey;
};

struct KvFormResult {
  // The child window now shown (new or re-activated); null for a modal
  // dialog (freed when it closed), a refused window or a failure.
  QWidget* window = nullptr;
  bool opened = false;    // a child window shows, or a modal dialog ran
  bool existing = false;  // an open window of the class was activated
  bool refused = false;   // the window refused to open (it told the user why)
  int modalResult = 0;    // QDialog::Accepted / Rejected for a modal run
  QString error;          // for the caller to show: unknown class, no main window
};

// Windows are created by class name, so the subsystems reach each other's
// windows without including them. Programs register their classes at start;
// the command registry and the windows open them through Create.
class KvWindowFactory {
 public:
  static void Register(const QString& className, KvFormCreator creator);
  static void Unregister(const QString& className);
  static bool IsRegistered(const QString& className);

  // The main window child windows go to when the caller names none.
  static void SetMainWindow(TfmKvMDIMain* main);
  static TfmKvMDIMain* MainWindow();

  static KvFormResult Create(const QString& className, TfmKvMDIMain* main, const KvFormOptions& options);
  static KvFormResult Create(const QString& className, TfmKvMDIMain* main = nullptr, bool modal = false,
                             KvFormInit onInizializedForm = {});

  // The open child window of the key (class name), or null.
  static QWidget* FindOpen(const QString& instanceKey, TfmKvMDIMain* main = nullptr);

  static QString UnknownClassMessage(const QString& className);
};
