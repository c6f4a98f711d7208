#include "KvMessageDlg.h"
#include "KvParam.h"
#include "TKvAttShell.h"
#include "PuxContesto.h"
#include "PuxTestDb.h"
#include "TdmPuxAttivazioni.h"
#include "TdmPuxParametri.h"
#include "TfmPuxMain.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>
#include <QTimer>
#include <QToolBox>

#include <csignal>

namespace {

class MainWindow : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    KvMessageScript::Begin();
    main = std::make_unique<TfmPuxMain>(registry, parameters);
    registry.MostraParametri = [this] {
      ++parametri;
      return false;
    };
  }
  void TearDown() override {
    main.reset();
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  TdmPuxAttivazioni registry;
  TdmPuxParametri parameters;
  std::unique_ptr<TfmPuxMain> main;
  int parametri = 0;
};

TEST_F(MainWindow, FirstActivationSetsTheContextAndShowsInstituteAndYear) {
  EXPECT_EQ(main->PanelText(0), QString());  // nothing before the first activation
  main->EnsureFirstActivation();
  EXPECT_TRUE(main->AvvioCompleto());
  const int year = QDate::currentDate().year();
  EXPECT_EQ(main->PanelText(0), QStringLiteral("Istituto: I.C. \"Galileo Galilei\""));
  EXPECT_EQ(main->PanelText(1), QStringLiteral("Esercizio finanziario corrente: %1").arg(year));
  EXPECT_EQ(main->SideBar()->count(), 6);
  EXPECT_EQ(main->SideBar()->currentIndex(), 2);
  EXPECT_EQ(Contesto.FenAnno, year);
  EXPECT_EQ(Contesto.FenDwgId, 1);
  EXPECT_EQ(Contesto.FenInizio, QDate(year, 1, 1));
  EXPECT_EQ(Contesto.Provincia, 1);
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty());
  EXPECT_EQ(parametri, 0);
}

TEST_F(MainWindow, WithoutAnInstituteTheUserIsSentToTheParametersAndTheRestStillRuns) {
  Exec(QStringLiteral("DELETE FROM TYPAR_PARAMETRI WHERE SPARCHIAVE = 'KVUP_DWGID'"));
  main->EnsureFirstActivation();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"E' necessario impostare l'istituto di lavoro."}));
  EXPECT_EQ(parametri, 1);
  EXPECT_EQ(Contesto.DwgId, -1);
  EXPECT_EQ(Contesto.EsercizioFin, 0);
  EXPECT_EQ(main->PanelText(0), QStringLiteral("Istituto: "));
  EXPECT_TRUE(main->AvvioCompleto());
}

TEST_F(MainWindow, AFailingFixUpIsReportedAndStopsTheRestOfTheStart) {
  Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, IDWGID, IPREESERCIZIOFIN, SPRECOD) VALUES (900, 1, 2026, 'A1')"));
  Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, IDWGID, IPREESERCIZIOFIN, SPRECOD) VALUES (901, 1, 2026, '')"));
  main->EnsureFirstActivation();
  EXPECT_FALSE(main->AvvioCompleto());
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_EQ(KvMessageScript::Messages().first().type, TMsgDlgType::mtError);
  EXPECT_EQ(Contesto.FenAnno, -1);  // the later steps did not run
  EXPECT_EQ(main->SideBar()->count(), 6);  // the program still runs
}

TEST_F(MainWindow, LaterActivationsReadTheParametersAgain) {
  main->EnsureFirstActivation();
  const int year = QDate::currentDate().year();
  Exec(QStringLiteral("UPDATE TYPAR_PARAMETRI SET SPARVALORE = '3' WHERE SPARCHIAVE = 'PUXP_DECIMALI'"));
  Exec(QStringLiteral("UPDATE TYPAR_PARAMETRI SET SPARVALORE = '%1' WHERE SPARCHIAVE = 'KVUP_ANFID'").arg(year - 1 - 1900));
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(main.get(), &activate);
  EXPECT_EQ(Contesto.Decimali, 3);
  EXPECT_EQ(Contesto.EsercizioFin, year - 1);
  EXPECT_EQ(Contesto.InizioEsercizio, QDate(year - 1, 1, 1));
  EXPECT_EQ(Contesto.FineEsercizio, QDate(year - 1, 12, 31));
  EXPECT_EQ(main->PanelText(1), QStringLiteral("Esercizio finanziario corrente: %1").arg(year - 1));
  EXPECT_EQ(Contesto.FenAnno, year);  // the start-up copy changes only with a new year
}

TEST_F(MainWindow, ArticlesViewDialogAlwaysOffersTheQuickViewFirst) {
  Contesto.VistaArticoli = 1;  // chosen last time
  int preselected = -1;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    preselected = dialog->findChild<QWidget*>(QStringLiteral("rbVeloce"))->property("checked").toBool() ? 0 : 1;
    dialog->accept();
  });
  EXPECT_EQ(main->Registry().SceltaVistaArticoli(), 0);
  EXPECT_EQ(preselected, 0);
}

TEST_F(MainWindow, NewsAreShownOnceAfterAnUpdate) {
  QStringList shown;
  QStringList folders;
  registry.ShellOpener = [&](TKvAttShellCommand& c) -> KvStatus {
    shown << c.FileName;
    folders << c.Directory;
    return {};
  };
  const QString marker = TdmPuxAttivazioni::FileVersione();
  QDir().mkpath(QFileInfo(marker).absolutePath());
  QFile f(marker);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  main->show();
  EXPECT_EQ(shown, QStringList({"Pux_Notizie.pdf"}));
  // The news document lives in the program's own folder under ETC.
  EXPECT_EQ(folders, QStringList{TKvParam::GetMainDir() + QStringLiteral("ETC\\Pux\\")});
  EXPECT_FALSE(QFile::exists(marker));
  main->hide();
  main->show();
  EXPECT_EQ(shown.size(), 1);
}

// A command whose window is not written yet names itself by its caption;
// the notes page without a browser says so.
TEST_F(MainWindow, UnfinishedCommandsAndUnreachableLinksSayWhatInItalian) {
  EXPECT_FALSE(registry.Run(QStringLiteral("xafPreventivi")));
  QList<QUrl> asked;
  TKvAttShell::SetDocumentOpener([&](const QUrl& url) {
    asked << url;
    return false;
  });
  main->findChild<QAction*>(QStringLiteral("acNoteAVCP"))->trigger();
  TKvAttShell::SetDocumentOpener({});
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0].scheme(), QStringLiteral("https"));
  EXPECT_EQ(KvMessageScript::Texts(),
            QStringList({QStringLiteral("Preventivi: funzione non ancora disponibile."),
                         QStringLiteral("Impossibile aprire l'indirizzo \"%1\": sul computer non è disponibile un "
                                        "programma per aprirlo (browser o posta elettronica).")
                             .arg(asked[0].toString())}));
}

// An ordinary start opens the window of --command; kill or Ctrl+C end it
// cleanly, as its close button does.
TEST(PuxProgram, EndsCleanlyOnSigtermOrSigint) {
#ifndef Q_OS_UNIX
  GTEST_SKIP() << "SIGTERM and SIGINT are signals of Unix systems";
#else
  for (const int segnale : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(segnale);
    const KvDatabaseTarget t = PuxTestDb::NewDatabase(PuxTestDb::Content::Demo);
    QProcess pux;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    pux.setProcessEnvironment(env);
    pux.start(QStringLiteral(PUX_BINARY), {QStringLiteral("--database"), t.database, QStringLiteral("--user"), t.user,
                                          QStringLiteral("--password"), t.password, QStringLiteral("--command"),
                                          QStringLiteral("xafCig")});
    QByteArray out;
    while (!out.contains("pronto") && pux.waitForReadyRead(30000)) out += pux.readAllStandardOutput();
    ASSERT_TRUE(out.contains("pronto")) << out.toStdString() << pux.readAllStandardError().toStdString();
    // The command named on the command line opened its window, left active.
    EXPECT_TRUE(out.contains("finestra attiva: Gestione codici CIG\n")) << out.toStdString();
    // A while later, when the database engine's threads are idle in their
    // waits: a signal that reached one of them left the engine unable to
    // detach, and the program spinning after its window closed.
    EXPECT_FALSE(pux.waitForFinished(1500)) << "it runs until told to end";
    ::kill(pid_t(pux.processId()), segnale);
    ASSERT_TRUE(pux.waitForFinished(10000));
    EXPECT_EQ(pux.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(pux.exitCode(), 0) << pux.readAllStandardError().toStdString();
    PuxTestDb::Remove(t);
  }
#endif
}

TEST(MainWindowLayout, SideBarKeepsTheWorkingAreaWiderThan640) {
  struct Case {
    int main, bar;
    bool ok;
  } cases[] = {{1280, 175, true}, {1280, 639, true}, {1280, 640, false}, {815, 175, false}, {816, 175, true}};
  for (const Case& c : cases)
    EXPECT_EQ(TfmPuxMain::PuoRidimensionareBarra(c.main, c.bar), c.ok) << c.main << "/" << c.bar;
}

}  // namespace
