#include "AbzRGiacenze.h"

#include "AbzMGiacenze.h"
#include "AbzUGiacenze.h"
#include "AbzULookup.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "PuxContesto.h"
#include "TKvDBLookupEdit.h"

#include <QAction>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>

namespace {

// A caption on two lines beside its field (a third would be cut where the
// page is low); messages name the field on one line.
void aCapo(QFormLayout* layout, QWidget* campo, const QString& righe) {
  if (auto* label = qobject_cast<QLabel*>(layout->labelForField(campo))) label->setText(righe);
}

}  // namespace

TfrAbzGiacenze::TfrAbzGiacenze(TdmAbzGiacenze& modulo, QWidget* parent) : TfrKvDBRW(parent), dm(&modulo) {
  setObjectName(QStringLiteral("frAbzGiacenze"));
  SetDataSet(dm->xqcGiacenze);
  ConfirmDelete = true;
  // One row per article and year: nothing to move to.
  for (QAction* a : {xacFirst, xacPrior, xacNext, xacLast}) SetActionLocked(a, true);

  lbEsercizio = new QLabel(this);
  lbEsercizio->setObjectName(QStringLiteral("lbEsercizio"));
  AddToolWidget(lbEsercizio);

  xleUniMisura =
      AddDBLookup(QStringLiteral("xleUniMisura"), QStringLiteral("IUNMID"), QStringLiteral("Unità di Misura"));
  ImpostaLookupUniMisura(*xleUniMisura);
  xdnGiacIniz = AddDBNumber(QStringLiteral("xdnGiacIniz"), QStringLiteral("FGIAGIACINIZ"),
                            QStringLiteral("Giacenza Iniziale"), 3);
  xdnCostoUniIniz = AddDBNumber(QStringLiteral("xdnCostoUniIniz"), QStringLiteral("FGIACOSTOUNIINIZ"),
                                QStringLiteral("Costo Unitario Iniziale (IVA Inclusa)"));
  xdnCostoUniMed = AddDBNumber(QStringLiteral("xdnCostoUniMed"), QStringLiteral("FGIACOSTOUNIMED"),
                               QStringLiteral("Costo Unitario Medio (IVA Inclusa)"));
  xdnCostoUltAcquisto = AddDBNumber(QStringLiteral("xdnCostoUltAcquisto"), QStringLiteral("FGIAULTIMOCARICO"),
                                    QStringLiteral("Costo Unitario Ultimo Acquisto (IVA Esclusa)"));
  xddDataUltCarico = AddDBDate(QStringLiteral("xddDataUltCarico"), QStringLiteral("DGIAULTIMOCARICO"),
                               QStringLiteral("Data Ultimo Carico"));
  xddDataUltScarico = AddDBDate(QStringLiteral("xddDataUltScarico"), QStringLiteral("DGIAULTIMOSCARICO"),
                                QStringLiteral("Data Ultimo Scarico"));
  xdnGiacAtt =
      AddDBNumber(QStringLiteral("xdnGiacAtt"), QStringLiteral("FGIAGIACATT"), QStringLiteral("Giacenza Attuale"), 3);
  xdnScortaMin =
      AddDBNumber(QStringLiteral("xdnScortaMin"), QStringLiteral("FGIASCORTAMIN"), QStringLiteral("Scorta Minima"), 3);
  xdnDifferenza =
      AddDBNumber(QStringLiteral("xdnDifferenza"), QStringLiteral("DIFFERENZA"), QStringLiteral("Differenza"), 3);
  aCapo(DetailLayout(), xdnGiacIniz, QStringLiteral("Giacenza\nIniziale"));
  aCapo(DetailLayout(), xdnCostoUniIniz, QStringLiteral("Costo Unitario\nIniziale\n(IVA Inclusa)"));
  aCapo(DetailLayout(), xdnCostoUniMed, QStringLiteral("Costo Unitario Medio\n(IVA Inclusa)"));
  aCapo(DetailLayout(), xdnCostoUltAcquisto, QStringLiteral("Costo Unitario\nUltimo Acquisto\n(IVA Esclusa)"));
  aCapo(DetailLayout(), xddDataUltCarico, QStringLiteral("Data Ultimo\nCarico"));
  aCapo(DetailLayout(), xddDataUltScarico, QStringLiteral("Data Ultimo\nScarico"));
  // Kept by the database as goods are loaded and discharged.
  for (TKvDBControl* c : std::initializer_list<TKvDBControl*>{xdnCostoUniMed, xdnCostoUltAcquisto, xddDataUltCarico,
                                                              xddDataUltScarico, xdnGiacAtt, xdnDifferenza})
    c->SetReadOnly(true);

  // Typing the initial values of an article never used sets the current ones.
  xdnGiacIniz->installEventFilter(this);
  xdnCostoUniIniz->installEventFilter(this);

  xacPostExecute = [this] { Salva(); };
  xacCancelExecute = [this] {
    Cancel();
    KvReport(Refresh());
  };
  connect(xdsMain, &TKvDataSource::stateChange, this, [this] { segui(); });
  connect(xdsMain, &TKvDataSource::dataChange, this, [this] { segui(); });
  segui();
}

TfrAbzGiacenze::~TfrAbzGiacenze() = default;

bool TfrAbzGiacenze::Apri(int idArticolo) {
  lbEsercizio->setText(QStringLiteral("Es. Finanziario: %1").arg(Contesto.EsercizioFin));
  // Unit prices as the working context shows them (it may change between openings).
  for (TKvDBNumberEdit* c : {xdnCostoUniIniz, xdnCostoUniMed, xdnCostoUltAcquisto}) c->SetDecimals(DecimaliPrezzi());
  const bool aperto = KvReport(dm->Apri(idArticolo));
  segui();
  return aperto;
}

void TfrAbzGiacenze::Chiudi() {
  dm->Chiudi();
  segui();
}

void TfrAbzGiacenze::ImpostaBloccoValoriIniziali() {
  const KvResult<bool> modificabili = TdmAbzGiacenze::ValoriInizialiModificabili();
  KvReport(modificabili);
  m_valoriBloccati = !modificabili.value_or(false);
  applicaBloccoValoriIniziali();
}

void TfrAbzGiacenze::applicaBloccoValoriIniziali() {
  for (TKvDBNumberEdit* c : {xdnGiacIniz, xdnCostoUniIniz}) {
    c->SetReadOnly(m_valoriBloccati);
    c->setEnabled(!m_valoriBloccati);
  }
}

void TfrAbzGiacenze::segui() {
  const TKvQueryCollection* g = dm->xqcGiacenze;
  const bool browse = xdsMain->State() == KvState::Browse;
  SetActionLocked(xacInsert, !g->Active() || dm->Articolo() <= 0 || (browse && !g->IsEmpty()));
  const bool movimentato = dm->Movimentato();
  xleUniMisura->SetReadOnly(movimentato);
  xleUniMisura->setEnabled(!movimentato);
  SetActionLocked(xacDelete, movimentato);
  applicaBloccoValoriIniziali();
  const bool negativa = g->Active() && g->RecNo() >= 0 && g->FieldValue(QStringLiteral("DIFFERENZA")).toDouble() < 0;
  xdnDifferenza->setStyleSheet(negativa ? QStringLiteral("background-color: red; color: black;")
                                        : QStringLiteral("background-color: palette(button);"));
}

bool TfrAbzGiacenze::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && editing() && dm->NonUsato()) {
    TKvQueryCollection* g = dm->xqcGiacenze;
    if (watched == xdnGiacIniz)
      g->SetFieldValue(QStringLiteral("FGIAGIACATT"), g->FieldValue(QStringLiteral("FGIAGIACINIZ")));
    else if (watched == xdnCostoUniIniz)
      g->SetFieldValue(QStringLiteral("FGIACOSTOUNIMED"), g->FieldValue(QStringLiteral("FGIACOSTOUNIINIZ")));
  }
  return TfrKvDBRW::eventFilter(watched, event);
}

bool TfrAbzGiacenze::Salva() {
  if (!editing()) return true;
  if (!xdsMain->ValidateControls()) return false;
  if (const auto r = dm->Controlla()) {
    KvMessageDlg(r->testo, TMsgDlgType::mtError, mbOK);
    if (QWidget* campo = ControlOfField(r->campo)) campo->setFocus();
    return false;
  }
  if (!PostAndReport()) return false;
  if (!dm->AvvisoCostoMedio().isEmpty()) KvMessageDlg(dm->AvvisoCostoMedio(), TMsgDlgType::mtError, mbOK);
  // The current stock and the costs are the database's after the post.
  KvReport(dm->xqcGiacenze->Refresh());
  segui();
  return true;
}
