#include "TfmPuxMain.h"

#include "FenUDatabase.h"
#include "KvConnection.h"
#include "KvSql.h"
#include "KvMessageDlg.h"
#include "KvParam.h"
#include "KvParamManager.h"
#include "KvWindowFactory.h"
#include "PuxAvvio.h"
#include "PuxContesto.h"
#include "PuxCorrezioniAvvio.h"
#include "PuxImmagini.h"
#include "TKvAttShell.h"
#include "TfmKvChildDB.h"
#include "TdmPuxAttivazioni.h"
#include "TdmPuxParametri.h"
#include "TfmAbzFViewArt.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QSqlQuery>
#include <QToolBox>

namespace {
// The page of operating notes on the publication data.
const char* kNoteAvcp = "https://www.anticorruzione.it/-/adempimenti-legge-190/2012-art.-1-comma-32";
}

TfmPuxMain::TfmPuxMain(TdmPuxAttivazioni& registry, TdmPuxParametri& parameters, QWidget* parent)
    : TfmKvMDIMain(parent), m_registry(registry), m_parameters(parameters) {
  setObjectName(QStringLiteral("fmPuxMain"));
  setWindowTitle(QStringLiteral("Pux"));
  setWindowIcon(PuxImmagine(QStringLiteral("Z_BILANCIA1")));

  // Side bar and working area side by side.
  QWidget* area = takeCentralWidget();
  spOLBar = new QSplitter(Qt::Horizontal, this);
  spOLBar->setObjectName(QStringLiteral("spOLBar"));
  mxOLBar = new QToolBox(spOLBar);
  mxOLBar->setObjectName(QStringLiteral("mxOLBar"));
  spOLBar->addWidget(mxOLBar);
  spOLBar->addWidget(area);
  spOLBar->setStretchFactor(1, 1);
  spOLBar->setSizes({175, 1000});
  setCentralWidget(spOLBar);
  connect(spOLBar, &QSplitter::splitterMoved, this, &TfmPuxMain::barraSpostata);

  m_registry.SetContainer(mxOLBar);
  m_registry.SetMenuBar(menuBar());
  m_registry.SetImages([](int index) { return PuxImmagine(index); });
  m_registry.FormOpener = [this](TKvAttForm& command) -> KvResult<QWidget*> {
    KvFormOptions options;
    options.modal = command.ModalForm;
    options.multipleInstance = command.MultipleInstance;
    options.instanceKey = command.Name;  // "Codici CIG" and "Codici CUP" are two windows
    options.args = command.Args;
    options.onInizializedForm = [&command](QWidget* w) {
      if (command.OnInizializedForm) command.OnInizializedForm(command, w);
    };
    // A command whose window is not written yet says what it is for.
    if (!KvWindowFactory::IsRegistered(command.ClasseForm))
      return KvFail(TKvAttForm::TestoNonDisponibile(command.Caption));
    const KvFormResult r = KvWindowFactory::Create(command.ClasseForm, this, options);
    if (!r.error.isEmpty()) return KvFail(r.error);
    return r.opened ? (r.window ? r.window : static_cast<QWidget*>(this)) : nullptr;
  };
  m_registry.ShellOpener = [](TKvAttShellCommand& command) {
    TKvAttShell shell;
    shell.SetFileName(command.FileName);
    shell.SetDirectory(command.Directory);
    shell.SetParam(command.Parameters);
    shell.SetWaitEndOfProcess(command.WaitEndOfProcess);
    return shell.Execute();
  };
  m_registry.FinestreAperte = [this] { return !MdiChildren().isEmpty(); };
  m_registry.AggiornaPannelli = [this] { RefreshPanels(); };
  m_registry.AttivaFinestraCorrente = [this] {
    if (auto* child = qobject_cast<TfmKvChildDB*>(ActiveChild())) child->RunFormActivate();
  };
  m_registry.MostraParametri = [this] { return mostraParametri(); };
  // Each time the dialog opens on the quick view, whatever was chosen before.
  m_registry.SceltaVistaArticoli = [this] {
    TfmAbzFViewArt dialog(this);
    return dialog.exec() == QDialog::Accepted ? dialog.Modalita() : -1;
  };
  KvWindowFactory::SetMainWindow(this);

  creaMenuAiuto();
  AddPanel(450);
  AddPanel(370);
  SetPanelRefresher([this] { AggiornaPannelli(); });
  resize(1280, 800);
}

TfmPuxMain::~TfmPuxMain() {
  if (KvWindowFactory::MainWindow() == this) KvWindowFactory::SetMainWindow(nullptr);
}

bool TfmPuxMain::PuoRidimensionareBarra(int mainWidth, int barWidth) { return mainWidth - barWidth > 640; }

void TfmPuxMain::barraSpostata(int, int) {
  const int bar = spOLBar->sizes().value(0);
  if (PuoRidimensionareBarra(width(), bar)) {
    m_ultimaLarghezzaBarra = bar;
    return;
  }
  spOLBar->setSizes({m_ultimaLarghezzaBarra, qMax(0, spOLBar->width() - m_ultimaLarghezzaBarra)});
}

void TfmPuxMain::creaMenuAiuto() {
  QMenu* aiuto = menuBar()->addMenu(QStringLiteral("&?"));
  aiuto->setObjectName(QStringLiteral("mnAiuto"));
  auto* manuale = aiuto->addAction(QStringLiteral("Manuale"));
  manuale->setObjectName(QStringLiteral("acManuale"));
  connect(manuale, &QAction::triggered, this, [] {
    TKvAttShell shell;
    shell.SetFileName(KvSuitePath(TKvParam::GetMainDir(), QStringLiteral("risorse\\gestacquisti.pdf")));
    KvReport(shell.Execute());
  });
  // The news document of the last update, also after it was shown at start.
  auto* notizie = aiuto->addAction(QStringLiteral("Notizie"));
  notizie->setObjectName(QStringLiteral("acNotizie"));
  connect(notizie, &QAction::triggered, this, [] {
    TKvAttShell shell;
    shell.SetFileName(KvSuitePath(TKvParam::GetMainDir(), QStringLiteral("ETC\\pux\\Pux_notizie.pdf")));
    KvReport(shell.Execute());
  });
  auto* note = aiuto->addAction(QStringLiteral("Note Operative AVCP"));
  note->setObjectName(QStringLiteral("acNoteAVCP"));
  note->setToolTip(QStringLiteral("Note Operative AVCP"));
  note->setProperty("Category", QStringLiteral("Internet"));
  connect(note, &QAction::triggered, this, [] {
    TKvAttShell shell;
    shell.SetFileName(QString::fromLatin1(kNoteAvcp));
    KvReport(shell.Execute());
  });
}

bool TfmPuxMain::mostraParametri() { return m_parameters.xpmKvuParams.Execute(this); }

void TfmPuxMain::AggiornaPannelli() {
  if (FirstActivationPending()) return;
  // An institute that cannot be read shows no name.
  const QString name = KvSql::Scalar(QStringLiteral("SELECT VDOW_DATAOWNER.SDOWSDESC FROM VDOW_DATAOWNER "
                                                    "WHERE VDOW_DATAOWNER.IDWGID = :IDWGID"),
                                     {{QStringLiteral("IDWGID"), Contesto.DwgId}})
                           .value_or(QVariant())
                           .toString();
  SetPanelText(0, QStringLiteral("Istituto: ") + name);
  SetPanelText(1, QStringLiteral("Esercizio finanziario corrente: ") + QString::number(Contesto.EsercizioFin));
}

void TfmPuxMain::OnFirstActivation() {
  if (!TdmKvConnection::IsOpen()) {
    close();
    return;
  }
  const QVariant istituto = TKvParamManager::GetParams(QStringLiteral("KVUP_DwgId"));
  if (istituto.isNull() || istituto.toString().trimmed().toInt() == 0) {
    KvMessageDlg(QStringLiteral("E' necessario impostare l'istituto di lavoro."), TMsgDlgType::mtWarning, mbOK);
    if (m_registry.MostraParametri) m_registry.MostraParametri();
  }
  RefreshPanels();
  PuxLeggiContesto();
  m_registry.Execute();
  if (mxOLBar->count() > 2) mxOLBar->setCurrentIndex(2);

  if (!KvReport(PuxCorrezioniAvvio())) return;
  PuxCalcolaDateEsercizio();
  Contesto.FenAnno = Contesto.EsercizioFin;
  Contesto.FenDwgId = Contesto.DwgId;
  const FenDateEsercizio fen = LeggiDateEsercizio(Contesto.FenAnno, Contesto.FenDwgId);
  Contesto.FenInizio = fen.inizio;
  Contesto.FenFine = fen.fine;
  RefreshPanels();
  m_avvioCompleto = true;
}

void TfmPuxMain::OnActivation() {
  PuxLeggiContesto();
  RefreshPanels();
  PuxCalcolaDateEsercizio();
}

void TfmPuxMain::showEvent(QShowEvent* event) {
  TfmKvMDIMain::showEvent(event);
  if (m_mostrata) return;
  m_mostrata = true;
  setWindowState(windowState() | Qt::WindowMaximized);
  if (QFile::exists(TdmPuxAttivazioni::FileVersione())) m_registry.Run(QStringLiteral("xasNotizie"));
}
