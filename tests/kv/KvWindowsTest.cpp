#include "KvMessageDlg.h"
#include "KvTestResult.h"
#include "KvUtils.h"
#include "KvWindowFactory.h"
#include "TKvAttShell.h"
#include "TfmKvChildDB.h"
#include "TfmKvDialog.h"
#include "TfmKvMDIMain.h"
#include "TfmKvWait.h"
#include "TfmKvWizard.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// A child window that records its hooks and can be told to refuse.
struct Trace {
  QStringList hooks;
  bool refuseOnCreate = false;
  bool refuseOnShow = false;
  bool canClose = true;
  bool everShown = false;
};

class TfmTestChild : public TfmKvChildDB {
 public:
  explicit TfmTestChild(Trace& trace, QWidget* parent) : TfmKvChildDB(parent), m_trace(trace) {}

 protected:
  void FormCreate() override {
    m_trace.hooks << QStringLiteral("create");
    if (m_trace.refuseOnCreate) RefuseOpen();
  }
  void FormShow() override {
    m_trace.hooks << QStringLiteral("show");
    if (m_trace.refuseOnShow) RefuseOpen();
  }
  void FormActivate() override { m_trace.hooks << QStringLiteral("activate"); }
  void FormCloseQuery(bool& canClose) override {
    m_trace.hooks << QStringLiteral("closequery");
    canClose = m_trace.canClose;
  }
  void FormClose() override { m_trace.hooks << QStringLiteral("close"); }
  void showEvent(QShowEvent* e) override {
    m_trace.everShown = true;
    TfmKvChildDB::showEvent(e);
  }

 private:
  Trace& m_trace;
};

class TfmTestMain : public TfmKvMDIMain {
 public:
  int first = 0;
  int later = 0;

 protected:
  void OnFirstActivation() override { ++first; }
  void OnActivation() override { ++later; }
};

// Registers the test classes for one test and removes them after.
class KvWindowFactoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    KvWindowFactory::Register(QStringLiteral("TfmTestChild"),
                              [this](QWidget* parent) { return new TfmTestChild(trace, parent); });
    KvWindowFactory::SetMainWindow(&main);
    KvMessageScript::Begin();
  }
  void TearDown() override {
    KvMessageScript::End();
    KvWindowFactory::SetMainWindow(nullptr);
    KvWindowFactory::Unregister(QStringLiteral("TfmTestChild"));
    KvWindowFactory::Unregister(QStringLiteral("TfmTestDialog"));
  }
  // Lets closed windows be freed.
  static void flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }

  Trace trace;
  TfmTestMain main;
};

}  // namespace

TEST_F(KvWindowFactoryTest, OneWindowPerClassAndUnknownClassesAreReported) {
  int inits = 0;
  bool visibleAtInit = true;
  KvFormResult first = KvWindowFactory::Create(QStringLiteral("TfmTestChild"), nullptr, false, [&](QWidget* w) {
    ++inits;
    visibleAtInit = !w->parentWidget()->isHidden();
  });
  ASSERT_TRUE(first.opened);
  ASSERT_NE(first.window, nullptr);
  EXPECT_FALSE(first.existing);
  EXPECT_EQ(trace.hooks, QStringList({"create", "show", "activate"}));
  EXPECT_FALSE(visibleAtInit);

  // Asked again (any letter case): the open window comes forward, not a new one.
  KvFormResult again = KvWindowFactory::Create(QStringLiteral("tfmtestchild"), &main);
  EXPECT_TRUE(again.existing);
  EXPECT_EQ(again.window, first.window);
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(main.MdiChildren().size(), 1);
  EXPECT_EQ(main.ActiveChild(), first.window);

  // One class opened in two kinds keeps one window per kind.
  KvFormOptions kind2;
  kind2.instanceKey = QStringLiteral("TfmTestChild#2");
  KvFormResult other = KvWindowFactory::Create(QStringLiteral("TfmTestChild"), &main, kind2);
  EXPECT_FALSE(other.existing);
  EXPECT_NE(other.window, first.window);
  EXPECT_EQ(main.MdiChildren().size(), 2);

  // Once closed, asking again builds a new one.
  auto* child = static_cast<TfmKvChildDB*>(first.window);
  ASSERT_TRUE(child->CloseWindow());
  EXPECT_EQ(main.MdiChildren().size(), 1);
  flush();
  KvFormResult reopened = KvWindowFactory::Create(QStringLiteral("TfmTestChild"), &main);
  EXPECT_FALSE(reopened.existing);
  EXPECT_EQ(main.MdiChildren().size(), 2);

  KvFormResult unknown = KvWindowFactory::Create(QStringLiteral("TfmPuxPreventivi"), &main);
  EXPECT_FALSE(unknown.opened);
  EXPECT_EQ(unknown.window, nullptr);
  EXPECT_EQ(unknown.error, QStringLiteral("La finestra TfmPuxPreventivi non è ancora disponibile."));
  EXPECT_EQ(main.MdiChildren().size(), 2);
}

TEST_F(KvWindowFactoryTest, AWindowThatRefusesToOpenIsNeverShown) {
  struct Case {
    const char* name;
    bool onCreate;
    bool onShow;
    QStringList hooks;
    int inits;
  } cases[] = {
      {"refused at creation", true, false, {"create"}, 0},
      {"refused before showing", false, true, {"create", "show"}, 1},
  };
  for (const Case& c : cases) {
    trace = Trace{};
    trace.refuseOnCreate = c.onCreate;
    trace.refuseOnShow = c.onShow;
    int inits = 0;
    KvFormResult r = KvWindowFactory::Create(QStringLiteral("TfmTestChild"), &main, false, [&](QWidget*) { ++inits; });
    flush();
    EXPECT_TRUE(r.refused) << c.name;
    EXPECT_FALSE(r.opened) << c.name;
    EXPECT_EQ(r.window, nullptr) << c.name;
    EXPECT_TRUE(r.error.isEmpty()) << c.name;  // the window told the user itself
    EXPECT_EQ(trace.hooks, c.hooks) << c.name;
    EXPECT_EQ(inits, c.inits) << c.name;
    EXPECT_FALSE(trace.everShown) << c.name;
    EXPECT_TRUE(main.MdiArea()->subWindowList().isEmpty()) << c.name;
  }
}

TEST_F(KvWindowFactoryTest, AChildCanRefuseToCloseAndThenKeepsTheProgramOpen) {
  main.show();
  KvFormResult r = KvWindowFactory::Create(QStringLiteral("TfmTestChild"), &main);
  ASSERT_TRUE(r.opened);
  trace.canClose = false;
  EXPECT_FALSE(main.close());
  EXPECT_EQ(main.MdiChildren().size(), 1);
  EXPECT_FALSE(trace.hooks.contains(QStringLiteral("close")));

  trace.canClose = true;
  EXPECT_TRUE(main.close());
  EXPECT_TRUE(main.MdiChildren().isEmpty());
  EXPECT_EQ(trace.hooks.count(QStringLiteral("close")), 1);
}

namespace {
class TfmTestDialog : public TfmKvDialog {
 public:
  using TfmKvDialog::TfmKvDialog;
  QString choice;
  bool allow = true;

 protected:
  bool CanAccept() override { return allow; }
};
}  // namespace

TEST_F(KvWindowFactoryTest, AModalWindowRunsAndHandsBackTheChoiceBeforeItIsFreed) {
  KvWindowFactory::Register(QStringLiteral("TfmTestDialog"), [](QWidget* p) { return new TfmTestDialog(p); });
  QPointer<QWidget> seen;
  KvFormOptions options;
  options.modal = true;
  options.onInizializedForm = [](QWidget* w) { static_cast<TfmTestDialog*>(w)->allow = false; };
  QString chosen;
  options.onModalClosed = [&](QWidget* w) {
    chosen = static_cast<TfmTestDialog*>(w)->choice;
    seen = w;
  };

  QTimer::singleShot(0, [] {
    auto* dlg = dynamic_cast<TfmTestDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->OkButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(dlg->CancelButton()->text(), QStringLiteral("Annulla"));
    dlg->OkButton()->click();  // refused by CanAccept: stays open
    EXPECT_TRUE(dlg->isVisible());
    dlg->choice = QStringLiteral("scelta");
    dlg->allow = true;
    dlg->OkButton()->click();
  });
  KvFormResult r = KvWindowFactory::Create(QStringLiteral("TfmTestDialog"), &main, options);
  EXPECT_TRUE(r.opened);
  EXPECT_EQ(r.modalResult, int(QDialog::Accepted));
  EXPECT_EQ(r.window, nullptr);
  EXPECT_EQ(chosen, QStringLiteral("scelta"));
  EXPECT_TRUE(seen.isNull());  // freed after the run
  EXPECT_TRUE(main.MdiChildren().isEmpty());
}

// A dialog opens on its first field; Tab walks the fields, then OK and
// Annulla, as they are seen.
TEST(TfmKvDialog, OpensOnItsFirstFieldAndTabsThroughTheFieldsBeforeTheButtons) {
  TfmKvDialog dialog;
  auto* primo = new QLineEdit(dialog.Content());
  auto* secondo = new QLineEdit(dialog.Content());
  dialog.ContentLayout()->addWidget(primo);
  dialog.ContentLayout()->addWidget(secondo);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(QApplication::focusWidget(), primo);
  for (QWidget* next : {static_cast<QWidget*>(secondo), static_cast<QWidget*>(dialog.OkButton()),
                        static_cast<QWidget*>(dialog.CancelButton()), static_cast<QWidget*>(primo)}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
  }
}

TEST(TfmKvMDIMain, PanelsAndActivations) {
  TfmTestMain main;
  EXPECT_EQ(main.AddPanel(450), 0);
  EXPECT_EQ(main.AddPanel(370), 1);
  int refreshed = 0;
  main.SetPanelRefresher([&] {
    ++refreshed;
    main.SetPanelText(1, QStringLiteral("Esercizio finanziario corrente: 2019"));
  });
  main.RefreshPanels();
  EXPECT_EQ(refreshed, 1);
  EXPECT_EQ(main.PanelText(1), QStringLiteral("Esercizio finanziario corrente: 2019"));
  EXPECT_EQ(main.PanelText(0), QString());
  EXPECT_EQ(main.PanelText(7), QString());

  EXPECT_TRUE(main.FirstActivationPending());
  for (int i = 0; i < 3; ++i) {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&main, &activate);
  }
  EXPECT_EQ(main.first, 1);
  EXPECT_EQ(main.later, 2);
  EXPECT_FALSE(main.FirstActivationPending());
}

namespace {
// Three pages; the second holds the user until its data is complete.
class TfmTestWizard : public TfmKvWizard {
 public:
  TfmTestWizard() {
    for (int i = 0; i < 3; ++i) AddPage(new QLabel(QStringLiteral("Pagina %1").arg(i + 1)));
  }
  bool complete = false;
  bool finishOk = true;
  QList<QPair<int, int>> moves;
  int finishes = 0;

 protected:
  bool CanGoNext(int page) override { return page != 1 || complete; }
  void OnPageChanged(int from, int to) override { moves.append({from, to}); }
  bool OnFinish() override {
    ++finishes;
    return finishOk;
  }
};
}  // namespace

TEST(TfmKvWizard, WalksThePagesAndFinishesOnlyFromTheLast) {
  TfmTestWizard w;
  EXPECT_EQ(w.BackButton()->text(), QStringLiteral("< Indietro"));
  EXPECT_EQ(w.NextButton()->text(), QStringLiteral("Avanti >"));
  EXPECT_EQ(w.FinishButton()->text(), QStringLiteral("Fine"));
  EXPECT_EQ(w.CancelButton()->text(), QStringLiteral("Annulla"));
  EXPECT_EQ(w.CurrentPage(), 0);
  EXPECT_FALSE(w.BackButton()->isEnabled());
  EXPECT_FALSE(w.FinishButton()->isEnabled());

  w.NextButton()->click();
  EXPECT_EQ(w.CurrentPage(), 1);
  w.NextButton()->click();  // page 2 incomplete: stays
  EXPECT_EQ(w.CurrentPage(), 1);
  w.BackButton()->click();
  EXPECT_EQ(w.CurrentPage(), 0);
  w.complete = true;
  w.NextButton()->click();
  w.NextButton()->click();
  EXPECT_EQ(w.CurrentPage(), 2);
  EXPECT_FALSE(w.NextButton()->isEnabled());
  EXPECT_TRUE(w.FinishButton()->isEnabled());
  EXPECT_EQ(w.moves, (QList<QPair<int, int>>{{0, 1}, {1, 0}, {0, 1}, {1, 2}}));

  w.SetFinishEnabled(false);  // the wizard's own veto
  EXPECT_FALSE(w.Finish());
  EXPECT_EQ(w.finishes, 0);
  w.SetFinishEnabled(true);
  w.finishOk = false;  // its work failed: stays open
  w.FinishButton()->click();
  EXPECT_EQ(w.finishes, 1);
  EXPECT_EQ(w.result(), int(QDialog::Rejected));
  w.finishOk = true;
  w.SetFinishCaption(QStringLiteral("Esporta"));
  w.FinishButton()->click();
  EXPECT_EQ(w.result(), int(QDialog::Accepted));
  EXPECT_EQ(w.FinishButton()->text(), QStringLiteral("Esporta"));
}

TEST(TfmKvWait, ShowsTheOperationAndItsProgressWhileItLives) {
  QPointer<TfmKvWait> seen;
  {
    TfmKvWait wait(QStringLiteral("Aggiornamento IBAN dei Beneficiari. Attendere..."));
    seen = &wait;
    EXPECT_TRUE(wait.isVisible());
    EXPECT_FALSE(wait.ProgressVisible());
    wait.SetOperazione(QStringLiteral("Elaborazione dati in corso..."));
    wait.InitProgressBar(0, 3);
    EXPECT_TRUE(wait.ProgressVisible());
    for (int i = 0; i < 5; ++i) wait.StepProgressBar();
    EXPECT_EQ(wait.Position(), 3);  // never beyond the end
    EXPECT_EQ(wait.findChild<QProgressBar*>()->value(), 3);
    EXPECT_EQ(wait.Titolo(), QStringLiteral("Aggiornamento IBAN dei Beneficiari. Attendere..."));
    EXPECT_EQ(wait.Operazione(), QStringLiteral("Elaborazione dati in corso..."));
    wait.InitProgressBar(10, 5);  // an empty range does not invert
    EXPECT_EQ(wait.Position(), 10);
    EXPECT_EQ(wait.Maximum(), 10);
  }
  EXPECT_TRUE(seen.isNull());
}

TEST(TKvAttShell, RunsAProgramAndWaitsForItsExitCode) {
  QTemporaryDir dir;
  TKvAttShell shell;
  shell.SetFileName(QStringLiteral("/bin/sh"));
  shell.SetParam(QStringLiteral("-c \"pwd > cartella.txt; exit 3\""));
  shell.SetDirectory(dir.path());
  shell.SetWaitEndOfProcess(true);
  shell.SetShellStyle(TKvShellStyle::Hidden);
  ASSERT_TRUE(KvOk(shell.Execute()));
  EXPECT_EQ(shell.ExitCode(), 3);
  QFile out(dir.filePath(QStringLiteral("cartella.txt")));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));  // ran in the directory, and was waited for
  EXPECT_EQ(QDir(QString::fromUtf8(out.readAll()).trimmed()).canonicalPath(), QDir(dir.path()).canonicalPath());
  EXPECT_EQ(shell.ShellStyle(), TKvShellStyle::Hidden);
}

TEST(TKvAttShell, OpensDocumentsWithTheDesktopAndReportsMissingFiles) {
  QList<QUrl> opened;
  TKvAttShell::SetDocumentOpener([&](const QUrl& url) {
    opened << url;
    return true;
  });
  QTemporaryDir root;
  ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("etc/pux")));
  QFile pdf(root.filePath(QStringLiteral("etc/pux/Pux_Notizie.pdf")));
  ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
  pdf.write("%PDF-1.4\n");
  pdf.close();
  // Even with the execute bit a document is opened, not run.
  pdf.setPermissions(pdf.permissions() | QFileDevice::ExeOwner);

  TKvAttShell shell;
  shell.SetDirectory(root.path() + QStringLiteral("/ETC\\Pux\\"));  // the suite's way of writing it
  shell.SetFileName(QStringLiteral("Pux_Notizie.pdf"));
  EXPECT_TRUE(KvOk(shell.Execute()));
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0].toLocalFile(), QFileInfo(pdf).absoluteFilePath());

  shell.SetDirectory(root.path());  // a folder opens like a document
  shell.SetFileName(QStringLiteral("etc"));
  EXPECT_TRUE(KvOk(shell.Execute()));
  EXPECT_EQ(opened.size(), 2);

  KvMessageScript::Begin();
  shell.SetFileName(QStringLiteral("Manca.pdf"));
  const KvStatus missing = shell.Execute();  // the caller shows it, not the routine
  EXPECT_TRUE(KvMessageScript::Messages().isEmpty());
  const QString expected = QStringLiteral("Il file \"%1\" non esiste.")
                               .arg(QDir::toNativeSeparators(root.filePath(QStringLiteral("Manca.pdf"))));
  EXPECT_EQ(missing.error(), expected);
  EXPECT_FALSE(KvReport(missing));
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_EQ(KvMessageScript::Messages()[0].text, expected);
  EXPECT_EQ(KvMessageScript::Messages()[0].type, TMsgDlgType::mtError);
  KvMessageScript::End();
  EXPECT_EQ(opened.size(), 2);
  TKvAttShell::SetDocumentOpener({});
}

TEST(KvUtils, TemporaryNamesAreUniqueAndReservedInTheTemporaryFolder) {
  const QString a = GetTempFilename(QStringLiteral("avcp"), QStringLiteral("xml"));
  const QString b = GetTempFilename(QStringLiteral("avcp"), QStringLiteral(".xml"));
  const QString c = GetTempFilename(QStringLiteral("../fuori/"));
  for (const QString& name : {a, b, c}) {
    ASSERT_FALSE(name.isEmpty());
    const QFileInfo info(name);
    EXPECT_TRUE(info.exists()) << name.toStdString();
    EXPECT_EQ(info.size(), 0);
    EXPECT_EQ(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath()) << name.toStdString();
  }
  EXPECT_NE(a, b);
  EXPECT_TRUE(QFileInfo(a).fileName().startsWith(QStringLiteral("avcp")));
  EXPECT_TRUE(a.endsWith(QStringLiteral(".xml")));
  EXPECT_FALSE(b.endsWith(QStringLiteral("..xml")));
  for (const QString& name : {a, b, c}) QFile::remove(name);
}
