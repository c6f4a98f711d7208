#pragma once

#include "KvResult.h"
#include "KvWindowFactory.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMenuBar;
class QToolBox;
class QWidget;
class TdmKvAttivazioni;

// A page of the command registry: a group of commands in the side bar and
// in the menu.
struct TKvApgPage {
  QString Name;     // component name ("xpgTabelle")
  QString Caption;  // "Tabelle"
  int Order = 0;
  bool InMenu = true;
  bool Enabled = true;
};

// A command of the registry. Running it asks BeforeExecute (which may
// cancel), performs the command's own work, then calls AfterExecute.
class TKvAttCommand {
 public:
  virtual ~TKvAttCommand() = default;

  QString Name;        // component name ("xafArticoli")
  QString Caption;
  QString ParentPage;  // page component name; empty: in no page
  int Order = 0;
  int ImageIndex = -1;
  bool Visible = true;
  bool Enabled = true;
  QString Hint;

  std::function<void(TKvAttCommand& sender, bool& cancel)> BeforeExecute;
  std::function<void(TKvAttCommand& sender)> AfterExecute;

  // Performs the command; the reason when it could not (no text: the
  // user was told already, or nothing was done).
  virtual KvStatus Perform(TdmKvAttivazioni& registry) = 0;
};

// Opens a window by class name, as an MDI child or a modal dialog.
class TKvAttForm : public TKvAttCommand {
 public:
  QString ClasseForm;
  bool ModalForm = false;
  bool MultipleInstance = false;
  // Typed arguments for the window (KvFormArgsReceiver).
  std::optional<KvFormArgs> Args;
  // Sets up a newly created window before it shows.
  std::function<void(TKvAttForm& sender, QWidget* form)> OnInizializedForm;

  KvStatus Perform(TdmKvAttivazioni& registry) override;
  // What a command whose window is not written yet says, by its caption.
  static QString TestoNonDisponibile(const QString& caption);
};

// Runs its OnExecute handler.
class TKvAttComponent : public TKvAttCommand {
 public:
  std::function<void(TKvAttComponent& sender)> OnExecute;
  KvStatus Perform(TdmKvAttivazioni& registry) override;
};

// Opens a document or runs a program.
class TKvAttShellCommand : public TKvAttCommand {
 public:
  QString FileName;
  QString Directory;
  QString Parameters;
  bool WaitEndOfProcess = false;
  KvStatus Perform(TdmKvAttivazioni& registry) override;
};

// Shows the report tree of an application.
class TKvAttReport : public TKvAttCommand {
 public:
  QString CodAppl;
  KvStatus Perform(TdmKvAttivazioni& registry) override;
};

// The command registry: pages and commands, built into the side bar and
// the menu of the main window. How windows, documents and the report tree
// are opened is given by the program (FormOpener, ShellOpener,
// ReportOpener), so that the registry depends on no window.
class TdmKvAttivazioni : public QObject {
  Q_OBJECT
 public:
  explicit TdmKvAttivazioni(QObject* parent = nullptr);
  ~TdmKvAttivazioni() override;

  TKvApgPage& AddPage(const QString& name, const QString& caption, int order);
  template <typename T>
  T& Add(const QString& name, const QString& caption, const QString& page, int order, int image) {
    auto command = std::make_unique<T>();
    T& ref = *command;
    ref.Name = name;
    ref.Caption = caption;
    ref.ParentPage = page;
    ref.Order = order;
    ref.ImageIndex = image;
    m_commands.push_back(std::move(command));
    return ref;
  }

  TKvAttCommand* Command(const QString& name) const;
  const TKvApgPage* Page(const QString& name) const;
  // Pages by order; commands of a page by order (then by insertion).
  QList<const TKvApgPage*> Pages() const;
  QList<TKvAttCommand*> Commands(const QString& page) const;

  // Runs a command by name. Returns false when it was cancelled or failed;
  // a failure is reported to the user with its reason.
  bool Run(const QString& name);
  bool Run(TKvAttCommand& command);

  // The side bar (one page per registry page) and the menu.
  void SetContainer(QToolBox* container);
  void SetMenuBar(QMenuBar* menuBar);
  void SetImages(std::function<QIcon(int index)> images);
  // Builds the side bar and the menu from the pages and commands.
  void Execute();
  bool Built() const { return m_built; }

  // The window opened (null: not opened, the window said why), or why not.
  std::function<KvResult<QWidget*>(TKvAttForm& command)> FormOpener;
  std::function<KvStatus(TKvAttShellCommand& command)> ShellOpener;
  std::function<KvStatus(TKvAttReport& command)> ReportOpener;

 signals:
  void commandRun(const QString& name);

 private:
  std::vector<std::unique_ptr<TKvApgPage>> m_pages;
  std::vector<std::unique_ptr<TKvAttCommand>> m_commands;
  QToolBox* m_container = nullptr;
  QMenuBar* m_menuBar = nullptr;
  std::function<QIcon(int)> m_images;
  bool m_built = false;
};
