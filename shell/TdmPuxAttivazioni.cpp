#include "TdmPuxAttivazioni.h"

#include "FenUDatabase.h"
#include "KvMessageDlg.h"
#include "KvParam.h"
#include "KvParamManager.h"
#include "PuxAvvio.h"
#include "PuxContesto.h"
#include "PuxServizi.h"

#include <QCoreApplication>
#include <QFile>
#include <QWidget>

namespace {

const QString kConnessioneFallita = QStringLiteral("Connessione al modulo fallita");

void errore(const QString& text) { KvMessageDlg(text, TMsgDlgType::mtError, mbOK); }

bool parametroImpostato(const QString& key) {
  const QVariant v = TKvParamManager::GetParams(key);
  return !v.isNull() && !v.toString().trimmed().isEmpty() && v.toString().trimmed() != QLatin1String("0");
}

}  // namespace

QString TdmPuxAttivazioni::FileVersione() {
  return KvSuitePath(QCoreApplication::applicationDirPath(), QStringLiteral("..\\etc\\Pux\\Pux_Version.txt"));
}

TdmPuxAttivazioni::TdmPuxAttivazioni(QObject* parent) : TdmKvAttivazioni(parent) {
  using namespace std::placeholders;
  const QString tabelle = QStringLiteral("xpgTabelle"), archivi = QStringLiteral("xpgArchiviBase"),
                prev = QStringLiteral("xpgPrevOfferte"), avcp = QStringLiteral("xpgAVCP"),
                stampe = QStringLiteral("xpgStampe"), strumenti = QStringLiteral("xpgStrumenti");
  AddPage(tabelle, QStringLiteral("Tabelle"), 0);
  AddPage(archivi, QStringLiteral("Archivi di Base"), 1);
  AddPage(prev, QStringLiteral("Preventivi / Offerte"), 2);
  AddPage(avcp, QStringLiteral("AVCP"), 3);
  AddPage(stampe, QStringLiteral("Stampe"), 4);
  AddPage(strumenti, QStringLiteral("Strumenti"), 5);

  auto form = [this](const char* name, const char* caption, const QString& page, int order, int image,
                     const char* classe) -> TKvAttForm& {
    TKvAttForm& f = Add<TKvAttForm>(QString::fromUtf8(name), QString::fromUtf8(caption), page, order, image);
    f.ClasseForm = QString::fromUtf8(classe);
    return f;
  };
  const auto magazzino = std::bind(&TdmPuxAttivazioni::apriTabelleMagazzino, this, _1, _2);
  const auto azzeraFiltri = std::bind(&TdmPuxAttivazioni::xafPreventiviBeforeExecute, this, _1, _2);
  const auto parametri = std::bind(&TdmPuxAttivazioni::parametriImpostati, this, _1, _2);

  form("xafArticoli", "Articoli", tabelle, 0, 9, "TfmAbzArticoli").BeforeExecute =
      std::bind(&TdmPuxAttivazioni::xafArticoliBeforeExecute, this, _1, _2);
  form("xafCriteri", "Criteri di Comparazione", tabelle, 1, 24, "TfmPuxCriteri").BeforeExecute = azzeraFiltri;
  form("xafAliquote", "Aliquote IVA", tabelle, 1, 8, "TfmAbzAliquoteIVA").BeforeExecute = magazzino;
  form("xafCodMerceolog", "Codici Merceologici", tabelle, 2, 10, "TfmAbzCodMerce").BeforeExecute = magazzino;
  form("xafUniMisura", "Unità di Misura", tabelle, 3, 5, "TfmAbzUniMisura").BeforeExecute = magazzino;
  form("xafTipoDestinazioni", "Tipo Destinazioni", tabelle, 4, 11, "TfmAbzTipoDestinazioni").BeforeExecute =
      magazzino;
  form("xafCondFornitura", "Condizioni di Fornitura", tabelle, 6, 7, "TfmAbzCondFornitura").BeforeExecute =
      magazzino;

  form("xafBeneficiari", "Beneficiari", archivi, 0, 6, "TfmBeneficiari").BeforeExecute =
      std::bind(&TdmPuxAttivazioni::xafBeneficiariBeforeExecute, this, _1, _2);
  const struct {
    const char* name;
    const char* caption;
    int order;
    int tipo;
  } codici[] = {{"xafCig", "Codici CIG", 11, 1}, {"xafCup", "Codici CUP", 12, 2}, {"xafDurc", "Codici DURC", 13, 3}};
  for (const auto& c : codici) form(c.name, c.caption, archivi, c.order, 26, "TfmFenCCD_archivi").Args = {{.tipo = c.tipo}};

  form("xafPreventivi", "Preventivi", prev, 1, 19, "TfmPuxPreventivi").BeforeExecute = azzeraFiltri;
  form("xafOfferte", "Offerte", prev, 2, 8, "TfmPuxOfferte").BeforeExecute = azzeraFiltri;
  form("xafProspetto", "Prospetto Comparativo", prev, 3, 23, "TfmPuxPrevProspetto").BeforeExecute = azzeraFiltri;

  form("xafInsIntDati", "Inserimento / Integrazione Dati", avcp, 0, 27, "TfmPuxDatiAvcp").BeforeExecute = parametri;
  const struct {
    const char* name;
    const char* caption;
    int order;
    int image;
    int modo;
    bool ricorda;
  } export_[] = {{"xafExportXml", "Esportazione XML", 1, 28, 1, false},
                 {"xafExportPdf", "Esportazione PDF", 2, 19, 0, true},
                 {"xafExportXls", "Esportazione Excel", 3, 29, 2, true}};
  for (const auto& e : export_) {
    TKvAttForm& f = form(e.name, e.caption, avcp, e.order, e.image, "TfmPuxExportAVCP");
    f.BeforeExecute = parametri;
    f.Args = {{.tipo = e.modo}};
    if (e.ricorda) f.OnInizializedForm = [this](TKvAttForm&, QWidget* w) { FinestraExportCorrente = w; };
  }

  TKvAttReport& report = Add<TKvAttReport>(QStringLiteral("xarReport"), QStringLiteral("Stampe"), stampe, 0, -1);
  report.CodAppl = QStringLiteral("PUX");
  report.BeforeExecute = std::bind(&TdmPuxAttivazioni::xarReportBeforeExecute, this, _1, _2);

  TKvAttComponent& par =
      Add<TKvAttComponent>(QStringLiteral("xacParametri"), QStringLiteral("Parametri"), strumenti, 0, 15);
  par.BeforeExecute = std::bind(&TdmPuxAttivazioni::xacParametriBeforeExecute, this, _1, _2);
  par.OnExecute = [this](TKvAttComponent&) {
    if (MostraParametri) MostraParametri();
  };
  par.AfterExecute = std::bind(&TdmPuxAttivazioni::xacParametriAfterExecute, this, _1);

  // The signatories archive of the framework add-on.
  TKvAttForm& firme = form("xafFirme", "Firme", strumenti, 1, 7, "TfmKvFirme");
  firme.BeforeExecute = [](TKvAttCommand&, bool& cancel) {
    if (!EsercizioValido(Contesto.DwgId, Contesto.EsercizioFin)) {
      MsgEsercizioNonValido();
      cancel = true;
    }
  };
  firme.Args = {{.larghezzaPrimaColonna = 320}};
  firme.OnInizializedForm = [](TKvAttForm&, QWidget* w) {
    w->setWindowState(w->windowState() | Qt::WindowMaximized);
  };

  TKvAttForm& anno = form("xafNuovoAnno", "Nuovo Anno", strumenti, 1, 20, "TfmNuovoAnno");
  anno.BeforeExecute = std::bind(&TdmPuxAttivazioni::xafNuovoAnnoBeforeExecute, this, _1, _2);
  anno.AfterExecute = std::bind(&TdmPuxAttivazioni::xafNuovoAnnoAfterExecute, this, _1);
  form("xafParmSMTP", "Parametri SMTP", strumenti, 2, 25, "TfmParmSmtp").BeforeExecute = azzeraFiltri;

  TKvAttShellCommand& notizie =
      Add<TKvAttShellCommand>(QStringLiteral("xasNotizie"), QStringLiteral("Notizie"), QString(), 0, -1);
  notizie.FileName = QStringLiteral("Pux_Notizie.pdf");
  notizie.Enabled = false;  // runs only from the main window's first show
  notizie.BeforeExecute = std::bind(&TdmPuxAttivazioni::xasNotizieBeforeExecute, this, _1, _2);
  notizie.AfterExecute = std::bind(&TdmPuxAttivazioni::xasNotizieAfterExecute, this, _1);
}

void TdmPuxAttivazioni::apriTabelleMagazzino(TKvAttCommand&, bool& cancel) {
  if (!ApriTabelleMagazzino()) {
    errore(kConnessioneFallita);
    cancel = true;
  }
}

void TdmPuxAttivazioni::xafArticoliBeforeExecute(TKvAttCommand& c, bool& cancel) {
  apriTabelleMagazzino(c, cancel);
  if (cancel) return;
  const int mode = SceltaVistaArticoli ? SceltaVistaArticoli() : 0;
  if (mode < 0) {
    cancel = true;
    return;
  }
  Contesto.VistaArticoli = mode;
}

void TdmPuxAttivazioni::xafPreventiviBeforeExecute(TKvAttCommand&, bool&) { AzzeraFiltriArticoli(); }

void TdmPuxAttivazioni::xafBeneficiariBeforeExecute(TKvAttCommand&, bool& cancel) {
  if (PuxServizi.ApriBeneficiari && !PuxServizi.ApriBeneficiari()) {
    errore(kConnessioneFallita);
    cancel = true;
  }
}

void TdmPuxAttivazioni::parametriImpostati(TKvAttCommand&, bool& cancel) {
  if (parametroImpostato(QStringLiteral("KVUP_DwgId")) && parametroImpostato(QStringLiteral("KVUP_AnfId"))) return;
  KvMessageDlg(QStringLiteral("Prima di eseguire questa operazione bisogna impostare i parametri"),
               TMsgDlgType::mtWarning, mbOK);
  cancel = true;
  Run(QStringLiteral("xacParametri"));
}

void TdmPuxAttivazioni::xarReportBeforeExecute(TKvAttCommand&, bool& cancel) {
  if (PuxServizi.LeggiFirme) PuxServizi.LeggiFirme();
  if (PuxServizi.PreparaStampe && !PuxServizi.PreparaStampe()) cancel = true;
}

void TdmPuxAttivazioni::xacParametriBeforeExecute(TKvAttCommand&, bool& cancel) {
  if (FinestreAperte && FinestreAperte()) {
    KvMessageDlg(QStringLiteral("Attenzione!\nPer modificare i parametri è necessario chiudere tutte le finestre attive."),
                 TMsgDlgType::mtWarning, mbOK);
    cancel = true;
  }
}

void TdmPuxAttivazioni::xacParametriAfterExecute(TKvAttCommand&) {
  PuxLeggiContesto();
  if (AggiornaPannelli) AggiornaPannelli();
  if (AttivaFinestraCorrente) AttivaFinestraCorrente();
  PuxCalcolaDateEsercizio();
  if (PuxServizi.PreparaStampe && PuxServizi.PreparaStampe() && PuxServizi.RicostruisciStampe)
    PuxServizi.RicostruisciStampe();
}

void TdmPuxAttivazioni::xafNuovoAnnoBeforeExecute(TKvAttCommand&, bool& cancel) {
  if (PuxServizi.ApriNuovoAnno && !PuxServizi.ApriNuovoAnno()) {
    errore(kConnessioneFallita);
    cancel = true;
  }
}

void TdmPuxAttivazioni::xafNuovoAnnoAfterExecute(TKvAttCommand&) {
  const FenDateEsercizio fen = LeggiDateEsercizio(Contesto.FenAnno, Contesto.FenDwgId);
  Contesto.FenInizio = fen.inizio;
  Contesto.FenFine = fen.fine;
  PuxCalcolaDateEsercizio();
}

void TdmPuxAttivazioni::xasNotizieBeforeExecute(TKvAttCommand& c, bool&) {
  auto& shell = static_cast<TKvAttShellCommand&>(c);
  if (shell.Directory.isEmpty()) shell.Directory = TKvParam::GetMainDir() + QStringLiteral("ETC\\Pux\\");
}

void TdmPuxAttivazioni::xasNotizieAfterExecute(TKvAttCommand&) {
  const QString marker = FileVersione();
  if (QFile::exists(marker)) QFile::remove(marker);
}
