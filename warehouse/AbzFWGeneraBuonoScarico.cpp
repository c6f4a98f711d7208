#include "AbzFWGeneraBuonoScarico.h"

#include "AbzUGiacenze.h"
#include "FenUDatabase.h"
#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvNumberText.h"
#include "KvQueryCollection.h"
#include "KvSql.h"
#include "PuxContesto.h"
#include "TKvDBGrid.h"
#include "TfmKvSearch.h"
#include "TfrAbzRicerca.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using Wizard = TfmAbzFWGeneraBuonoScarico;

constexpr int kRuoloValore = Qt::UserRole;             // millionths of a number cell
constexpr int kRuoloFattore = Qt::UserRole + 1;        // on the article cell: the unit's factor, millionths
constexpr int kRuoloRigaRichiesta = Qt::UserRole + 2;  // on the article cell: the request row

const QString kCaptionQuantita = QStringLiteral("Q.tà da scaricare");
const QString kCaptionCosto = QStringLiteral("Costo Unitario");

// Millionths cut (not rounded) to n decimals.
qint64 tronca(qint64 milionesimi, int decimali) {
  qint64 passo = 1;
  for (int i = decimali; i < 6; ++i) passo *= 10;
  return milionesimi / passo * passo;
}

// Millionths with n fixed decimals and the decimal comma, rounded.
QString testo(qint64 milionesimi, int decimali) {
  qint64 passo = 1;
  for (int i = decimali; i < 6; ++i) passo *= 10;
  const qint64 a = milionesimi < 0 ? -milionesimi : milionesimi;
  const qint64 r = (a + passo / 2) / passo;
  qint64 scala = 1;
  for (int i = 0; i < decimali; ++i) scala *= 10;
  QString s = QString::number(r / scala);
  if (decimali > 0) s += QLatin1Char(',') + QStringLiteral("%1").arg(r % scala, decimali, 10, QLatin1Char('0'));
  return (milionesimi < 0 && r != 0 ? QStringLiteral("-") : QString()) + s;
}

// The editor of the quantity and cost cells: digits, one decimal comma (a
// typed point is the comma too), the minus sign, backspace and Enter.
class FiltroTasti : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const QString t = key->text();
    if (edit && (t == QLatin1String(".") || t == QLatin1String(","))) {
      edit->insert(QStringLiteral(","));
      return true;
    }
    switch (key->key()) {
      case Qt::Key_Backspace:
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_Home:
      case Qt::Key_End:
      case Qt::Key_Tab:
      case Qt::Key_Delete:
        return false;
      default:
        break;
    }
    if (t.size() == 1 && (t.at(0).isDigit() || t == QLatin1String("-"))) return false;
    return true;
  }
};

class DelegatoRighe : public QStyledItemDelegate {
 public:
  DelegatoRighe(Wizard* wizard) : QStyledItemDelegate(wizard), m_wizard(wizard) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    if (index.column() != Wizard::ColQuantita && index.column() != Wizard::ColCosto) return nullptr;
    auto* edit = new QLineEdit(parent);
    edit->installEventFilter(new FiltroTasti(edit));
    return edit;
  }
  // Editing starts from the number cut to the decimals the cell keeps.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* edit = static_cast<QLineEdit*>(editor);
    const QVariant v = index.data(kRuoloValore);
    if (!v.isValid()) {
      edit->setText(index.column() == Wizard::ColCosto ? QString() : QStringLiteral("0,000"));
      return;
    }
    const int decimali = index.column() == Wizard::ColCosto ? 6 : 3;
    edit->setText(testo(tronca(v.toLongLong(), decimali), decimali));
  }
  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    m_wizard->ImpostaNumero(index.row(), index.column(), static_cast<QLineEdit*>(editor)->text());
  }
  // The current place or responsible cell shows the picker (F8).
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    const QTableWidget* grid = m_wizard->sgArticoli;
    if ((index.column() == Wizard::ColDescLuogo || index.column() == Wizard::ColResponsabile) &&
        grid->currentIndex() == index) {
      const int lato = option.rect.height() - 4;
      const QRect r(option.rect.right() - lato - 1, option.rect.top() + 2, lato, lato);
      painter->save();
      painter->setPen(option.palette.color(QPalette::ButtonText));
      painter->setBrush(option.palette.button());
      painter->drawRect(r.adjusted(0, 0, -1, -1));
      painter->drawText(r, Qt::AlignCenter, QStringLiteral("…"));
      painter->restore();
    }
  }

 private:
  Wizard* m_wizard;
};

QTableWidgetItem* cella(const QString& text = QString()) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

QString TfmAbzFWGeneraBuonoScarico::SqlLuoghi() {
  return QStringLiteral(
      "SELECT sec.ISECID, sec.SSECCOD, sec.SSECDESCS, edf.iEdfId, edf.sEdfDescS FROM TSEC_SETTCONS sec LEFT JOIN "
      "TStz_Stanza stz ON sec.iStzId = stz.iStzId LEFT JOIN TEdf_Edificio edf ON stz.iEdfId = edf.iEdfId WHERE "
      "((sec.DEND IS NULL) OR (sec.dEnd >= CURRENT_DATE)) AND ##WHERE## ORDER BY ##ORDERBY##");
}

// The place and the date are bound, not written into the text; the person's
// id is selected through the alias the table has in the statement.
QString TfmAbzFWGeneraBuonoScarico::SqlResponsabili() {
  return QStringLiteral(
      " SELECT RSP.IRSPID, ANA.SANACOGNOME, ANA.SANANOME, ANA.SANACOGNOME ||' '|| ANA.SANANOME AS NOMECOGNOME FROM "
      "TANA_ANAGRAFICHE ANA INNER JOIN TRSP_RESPONSABILI RSP ON (RSP.IANAID = ANA.IANAID ) INNER JOIN TSEC_SETTCONS "
      "SEC ON (SEC.ISECID = RSP.ISECID) WHERE (SEC.ISECID = :ISECID) and (RSP.DEND >= :DATA OR (RSP.DEND IS NULL)) "
      "AND ##WHERE## ORDER BY ##ORDERBY##");
}

TfmAbzFWGeneraBuonoScarico::TfmAbzFWGeneraBuonoScarico(QWidget* parent) : TfmKvWizard(parent) {
  setObjectName(QStringLiteral("fmAbzFWGeneraBuonoScarico"));
  setWindowTitle(QStringLiteral("Genera Buono di Scarico dalla richiesta"));
  SetFinishCaption(QStringLiteral("OK"));
  resize(960, 560);

  // The requests of the working institute and year still open.
  xqcRichieste = new TKvQueryCollection(this);
  xqcRichieste->SetCommandText(QStringLiteral(
      " SELECT RIC.IRICID, RIC.SRICCODICE, RIC.SRICDESC, RIC.DRICDATAOCC, RIC.ISECID, RIC.IRSPID, SEC.SSECDESCS, "
      "(ANA.SANACOGNOME || ' ' || ANA.SANANOME ) AS NOME, edf.sEdfDescS FROM TRIC_RICHIESTAESP RIC INNER JOIN "
      "TSEC_SETTCONS SEC ON SEC.ISECID = RIC.ISECID LEFT JOIN TSTZ_STANZA stz on sec.istzid = stz.istzid LEFT JOIN "
      "TEdf_Edificio edf on stz.iEdfid = edf.iEdfid LEFT JOIN TRSP_RESPONSABILI RSP ON RSP.IRSPID = RIC.IRSPID LEFT "
      "JOIN TANA_ANAGRAFICHE ANA ON ANA.IANAID = RSP.IANAID WHERE RIC.IRICESERCIZIOFIN = :IESFIN AND RIC.IDWGID = "
      ":IDWGID AND RIC.ISTRID <> 3 AND ((RIC.ILOCKED IS NULL) OR (RIC.ILOCKED <> 1))"));
  xqcRichieste->SetKeyField(QStringLiteral("IRICID"));

  auto* paginaRichieste = new QWidget(this);
  paginaRichieste->setObjectName(QStringLiteral("tsRichieste"));
  frRicerca = new TfrAbzRicerca(paginaRichieste);
  grRichieste = new TKvDBGrid(paginaRichieste);
  grRichieste->setObjectName(QStringLiteral("grRichieste"));
  grRichieste->SetCollection(xqcRichieste);
  connect(grRichieste, &TKvDBGrid::rowDoubleClicked, this, [this] { Next(); });
  grRichieste->SetColumns({{.field = "SRICCODICE", .caption = "Codice", .width = 70},
                           {.field = "SRICDESC", .caption = "Descrizione", .width = 260},
                           {.field = "DRICDATAOCC", .caption = "Data Occorenza", .width = 95},
                           {.field = "SSECDESCS", .caption = "Luogo di Scarico", .width = 170},
                           {.field = "NOME", .caption = "Responsabile Richidente", .width = 160},
                           {.field = "SEDFDESCS", .caption = "Edificio", .width = 150}});
  auto* l0 = new QVBoxLayout(paginaRichieste);
  l0->addWidget(frRicerca);
  l0->addWidget(grRichieste, 1);
  AddPage(paginaRichieste);

  auto* paginaRighe = new QWidget(this);
  paginaRighe->setObjectName(QStringLiteral("tsArticoli"));
  buLuogoUnico = new QPushButton(QStringLiteral("Selezione Unico Luogo di carico"), paginaRighe);
  buLuogoUnico->setObjectName(QStringLiteral("buLuogoUnico"));
  buResponsabileUnico = new QPushButton(QStringLiteral("Selezione Unico Responsabile"), paginaRighe);
  buResponsabileUnico->setObjectName(QStringLiteral("buResponsabileUnico"));
  for (QPushButton* b : {buLuogoUnico, buResponsabileUnico}) b->setAutoDefault(false);
  connect(buLuogoUnico, &QPushButton::clicked, this, [this] { ScegliLuogo(true); });
  connect(buResponsabileUnico, &QPushButton::clicked, this, [this] { ScegliResponsabile(true); });

  sgArticoli = new QTableWidget(0, 12, paginaRighe);
  sgArticoli->setObjectName(QStringLiteral("sgArticoli"));
  const struct {
    const char* titolo;
    int larghezza;
  } colonne[] = {{"", 0},
                 {"", 0},
                 {"", 0},
                 {"Codice", 70},
                 {"Descrizione", 250},
                 {"Q.tà caricata", 0},
                 {"Giacenza", 58},
                 {"Q.tà da scaricare", 125},
                 {"Costo Unitario", 0},
                 {"Luogo di Scarico", 150},
                 {"Responsabile", 150},
                 {"", 0}};
  QStringList titoli;
  for (const auto& c : colonne) titoli << QString::fromUtf8(c.titolo);
  sgArticoli->setHorizontalHeaderLabels(titoli);
  for (int c = 0; c < 12; ++c) {
    if (colonne[c].larghezza > 0)
      sgArticoli->setColumnWidth(c, colonne[c].larghezza);
    else
      sgArticoli->setColumnHidden(c, true);
  }
  sgArticoli->verticalHeader()->hide();
  sgArticoli->setWordWrap(false);
  sgArticoli->setSelectionMode(QAbstractItemView::SingleSelection);
  sgArticoli->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                              QAbstractItemView::EditKeyPressed);
  sgArticoli->setItemDelegate(new DelegatoRighe(this));
  sgArticoli->installEventFilter(this);
  connect(sgArticoli, &QTableWidget::currentCellChanged, this, [this] {
    aggiornaPulsanti();
    sgArticoli->viewport()->update();
  });

  lbLegenda = new QLabel(QStringLiteral("Articoli con giacenza insufficiente"), paginaRighe);
  lbLegenda->setObjectName(QStringLiteral("lbLegenda"));
  lbLegenda->setStyleSheet(QStringLiteral("QLabel { color: red; }"));

  auto* pulsanti = new QHBoxLayout;
  pulsanti->addWidget(buLuogoUnico);
  pulsanti->addWidget(buResponsabileUnico);
  pulsanti->addStretch(1);
  pulsanti->addWidget(lbLegenda);
  auto* l1 = new QVBoxLayout(paginaRighe);
  l1->addLayout(pulsanti);
  l1->addWidget(sgArticoli, 1);
  AddPage(paginaRighe);
  aggiornaPulsanti();

  // Opened by its command the wizard lives in the working area: closing it
  // closes its frame there too.
  connect(this, &QDialog::finished, this, [this] {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) frame->close();
  });
}

TfmAbzFWGeneraBuonoScarico::~TfmAbzFWGeneraBuonoScarico() = default;

int TfmAbzFWGeneraBuonoScarico::exec() {
  if (!xqcRichieste->Active() && !KvReport(Apri())) return QDialog::Rejected;
  if (KvDialogScript::Run(*this)) return result();
  return TfmKvWizard::exec();
}

void TfmAbzFWGeneraBuonoScarico::showEvent(QShowEvent* event) {
  TfmKvWizard::showEvent(event);
  if (!xqcRichieste->Active()) KvReport(Apri());
}

KvStatus TfmAbzFWGeneraBuonoScarico::Apri() {
  xqcRichieste->Close();
  xqcRichieste->SetParam(QStringLiteral("IESFIN"), Contesto.EsercizioFin);
  xqcRichieste->SetParam(QStringLiteral("IDWGID"), Contesto.DwgId);
  if (KvStatus aperto = xqcRichieste->Open(); !aperto) return aperto;
  frRicerca->SetQueryCollection(xqcRichieste);
  frRicerca->SetGrid(grRichieste);
  frRicerca->Imposta();
  return {};
}

bool TfmAbzFWGeneraBuonoScarico::CanGoNext(int page) {
  if (page == 0 && (!xqcRichieste->Active() || xqcRichieste->IsEmpty())) {
    KvMessageDlg(QStringLiteral("Selezionare una richiesta."), TMsgDlgType::mtWarning, mbOK);
    return false;
  }
  return true;
}

void TfmAbzFWGeneraBuonoScarico::OnPageChanged(int, int) {
  KvReport(RiempiRighe());
  aggiornaPulsanti();
}

KvStatus TfmAbzFWGeneraBuonoScarico::RiempiRighe() {
  m_riempiendo = true;
  sgArticoli->setRowCount(0);
  KvStatus letto;
  if (xqcRichieste->Active() && !xqcRichieste->IsEmpty()) {
    const int richiesta = xqcRichieste->FieldValue(QStringLiteral("IRICID")).toInt();
    const QVariant luogo = xqcRichieste->FieldValue(QStringLiteral("ISECID"));
    const QString descLuogo = xqcRichieste->FieldValue(QStringLiteral("SSECDESCS")).toString();
    const QVariant responsabile = xqcRichieste->FieldValue(QStringLiteral("IRSPID"));
    const QString nome = xqcRichieste->FieldValue(QStringLiteral("NOME")).toString();
    const QDate oggi = QDate::currentDate();
    letto = KvSql::Rows(
        QStringLiteral(
            " SELECT ARCI.IRICARTID, ART.SARTCOD, ART.SARTCODISO, ART.SARTCODCOSTRUT, ART.SARTDESCS, UNM.SUNMDESCS, "
            "ARCI.FRICARTQTANEC, COALESCE(ARCI.FRICARTQTAPRENOTATA,0)As FRICARTQTAPRENOTATA, "
            "CAST(COALESCE(ARCI.FRICARTQTANEC,0) AS VARCHAR(40)) AS FRICARTQTANEC, GIA.FGIAGIACATT, ART.IARTID, "
            "CAST(UNM.FUNMFATTOREPROP AS VARCHAR(40)) AS FUNMFATTOREPROP, ALV.IALVID, ALV.SALVDESCS, ALV.FALVIVA, "
            "ARCI.ILOCKED FROM TRICART ARCI INNER JOIN TART_ARTICOLI ART ON ART.IARTID = ARCI.IARTID INNER JOIN "
            "TALV_ALIQUOTEIVA ALV ON ALV.IALVID = ART.IALVID INNER JOIN TGIA_GIACENZE GIA ON GIA.IARTID = ART.IARTID "
            "INNER JOIN TUNM_UNITAMISURA UNM ON UNM.IUNMID = GIA.IUNMID WHERE GIA.IDWGID = :IDWGID AND "
            "GIA.IGIAESERCIZIOFIN = :IESFIN AND ARCI.IRICID = :IRICID ORDER BY ARCI.IRICARTID"),
        {{QStringLiteral("IDWGID"), Contesto.DwgId},
         {QStringLiteral("IESFIN"), Contesto.EsercizioFin},
         {QStringLiteral("IRICID"), richiesta}},
        [&](const QSqlQuery& q) {
          const int r = sgArticoli->rowCount();
          sgArticoli->insertRow(r);
          for (int c = 0; c < 12; ++c) sgArticoli->setItem(r, c, cella());
          const int articolo = q.value(10).toInt();
          const qint64 fattore = Milionesimi(q.value(11).toString().trimmed()).value_or(0);
          const qint64 necessaria = Milionesimi(q.value(8).toString().trimmed()).value_or(0);
          sgArticoli->item(r, ColArticolo)->setText(QString::number(articolo));
          sgArticoli->item(r, ColArticolo)->setData(kRuoloFattore, fattore);
          sgArticoli->item(r, ColArticolo)->setData(kRuoloRigaRichiesta, q.value(0).toInt());
          sgArticoli->item(r, ColAliquota)->setText(q.value(12).toString());
          sgArticoli->item(r, ColCodice)->setText(q.value(1).toString());
          sgArticoli->item(r, ColDescrizione)->setText(q.value(4).toString());
          const KvResult<TQuantita4> giacenza = GiacenzaAllaData(articolo, oggi);
          if (giacenza) {
            sgArticoli->item(r, ColGiacenza)->setData(kRuoloValore, giacenza->decimillesimi * 100);
            sgArticoli->item(r, ColGiacenza)->setText(testo(giacenza->decimillesimi * 100, 3));
          }
          for (int c : {ColGiacenza, ColQuantita, ColCosto})
            sgArticoli->item(r, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
          auto* quantita = sgArticoli->item(r, ColQuantita);
          quantita->setFlags(quantita->flags() | Qt::ItemIsEditable);
          auto* costo = sgArticoli->item(r, ColCosto);
          costo->setFlags(costo->flags() | Qt::ItemIsEditable);
          impostaLuogo(r, luogo, descLuogo);
          impostaResponsabile(r, responsabile, nome);
          m_riempiendo = true;
          ImpostaNumero(r, ColQuantita, testo(__int128(necessaria) * fattore / 1000000, 6));
        });
  }
  // One empty row when the request has no article.
  if (sgArticoli->rowCount() == 0) {
    sgArticoli->insertRow(0);
    for (int c = 0; c < 12; ++c) sgArticoli->setItem(0, c, cella());
  }
  m_riempiendo = false;
  sgArticoli->setCurrentCell(0, ColQuantita);
  ColoraRighe();
  return letto;
}

bool TfmAbzFWGeneraBuonoScarico::ImpostaNumero(int row, int column, const QString& text) {
  QTableWidgetItem* item = sgArticoli->item(row, column);
  if (!item) return false;
  const QString t = text.trimmed();
  if (t.isEmpty()) {
    item->setData(kRuoloValore, QVariant());
    item->setText(column == ColCosto ? QString() : testo(0, 3));
    if (column == ColQuantita) item->setData(kRuoloValore, qint64(0));
  } else {
    const QString caption = column == ColCosto ? kCaptionCosto : kCaptionQuantita;
    const KvResult<QString> n = KvNumberText::Parse(t, {.decimals = 6, .integerDigits = 12}, caption);
    if (!n) {
      KvShowFailure(n.failure());
      return false;
    }
    const qint64 v = Milionesimi(*n).value_or(0);
    item->setData(kRuoloValore, v);
    item->setText(testo(tronca(v, 6), column == ColCosto ? 6 : 3));
  }
  if (!m_riempiendo) ColoraRighe();
  return true;
}

bool TfmAbzFWGeneraBuonoScarico::RigaInsufficiente(int row) const {
  const QTableWidgetItem* articolo = sgArticoli->item(row, ColArticolo);
  const QTableWidgetItem* giacenza = sgArticoli->item(row, ColGiacenza);
  const QTableWidgetItem* quantita = sgArticoli->item(row, ColQuantita);
  if (!articolo || articolo->text().isEmpty() || !giacenza || !quantita) return false;
  // The stock is in loading units, the quantity in discharge units.
  const qint64 fattore = articolo->data(kRuoloFattore).toLongLong();
  const __int128 disponibile = __int128(giacenza->data(kRuoloValore).toLongLong()) * fattore / 1000000;
  return disponibile < quantita->data(kRuoloValore).toLongLong();
}

void TfmAbzFWGeneraBuonoScarico::ColoraRighe() {
  bool tutteCoperte = true;
  for (int r = 0; r < sgArticoli->rowCount(); ++r) {
    const bool rossa = RigaInsufficiente(r);
    tutteCoperte = tutteCoperte && !rossa;
    for (int c = 0; c < sgArticoli->columnCount(); ++c)
      if (QTableWidgetItem* item = sgArticoli->item(r, c)) item->setBackground(rossa ? QBrush(Qt::red) : QBrush());
  }
  SetFinishEnabled(tutteCoperte);
}

QList<TRigaScarico> TfmAbzFWGeneraBuonoScarico::Righe() const {
  QList<TRigaScarico> righe;
  for (int r = 0; r < sgArticoli->rowCount(); ++r) {
    const QTableWidgetItem* articolo = sgArticoli->item(r, ColArticolo);
    if (!articolo || articolo->text().isEmpty()) continue;
    TRigaScarico riga;
    riga.idArticolo = articolo->text().toInt();
    riga.codice = sgArticoli->item(r, ColCodice)->text();
    riga.idAliquota = sgArticoli->item(r, ColAliquota)->text().toInt();
    riga.idRigaRichiesta = articolo->data(kRuoloRigaRichiesta).toInt();
    riga.idLuogo = sgArticoli->item(r, ColLuogo)->text().toInt();
    riga.idResponsabile = sgArticoli->item(r, ColIdResponsabile)->text().toInt();
    riga.quantita = sgArticoli->item(r, ColQuantita)->data(kRuoloValore).toLongLong();
    const QVariant costo = sgArticoli->item(r, ColCosto)->data(kRuoloValore);
    if (costo.isValid()) riga.costo = costo.toLongLong();
    righe << riga;
  }
  return righe;
}

void TfmAbzFWGeneraBuonoScarico::impostaLuogo(int row, const QVariant& id, const QString& descrizione) {
  sgArticoli->item(row, ColLuogo)->setText(id.isNull() || !id.isValid() ? QString() : QString::number(id.toInt()));
  sgArticoli->item(row, ColDescLuogo)->setText(descrizione);
}

void TfmAbzFWGeneraBuonoScarico::impostaResponsabile(int row, const QVariant& id, const QString& nome) {
  sgArticoli->item(row, ColIdResponsabile)
      ->setText(id.isNull() || !id.isValid() ? QString() : QString::number(id.toInt()));
  sgArticoli->item(row, ColResponsabile)->setText(nome);
}

void TfmAbzFWGeneraBuonoScarico::ScegliLuogo(bool tutteLeRighe) {
  const int row = sgArticoli->currentRow();
  if (row < 0 || !sgArticoli->item(row, ColLuogo)) return;
  TKvSearchDialog ricerca;
  ricerca.GetSQLDataSet().SetCommandText(SqlLuoghi());
  ricerca.GetColumns().SetColumns({{.field = "SSECCOD", .caption = "Codice", .width = 50, .searchable = true},
                                   {.field = "SSECDESCS", .caption = "Descrizione", .width = 400, .searchable = true}});
  ricerca.SetCaption(QStringLiteral("Luogo di Scarico"));
  ricerca.SetKeyField(QStringLiteral("ISECID"));
  if (!ricerca.Execute(this)) {
    // A place no longer shown is no place: its id goes with its text.
    if (!tutteLeRighe) impostaLuogo(row, QVariant(), QString());
    return;
  }
  const QVariant id = ricerca.Value(QStringLiteral("ISECID"));
  const QString descrizione = ricerca.Value(QStringLiteral("SSECDESCS")).toString();
  for (int r = tutteLeRighe ? 0 : row; r < (tutteLeRighe ? sgArticoli->rowCount() : row + 1); ++r)
    if (sgArticoli->item(r, ColLuogo)) impostaLuogo(r, id, descrizione);
}

void TfmAbzFWGeneraBuonoScarico::ScegliResponsabile(bool tutteLeRighe) {
  const int row = sgArticoli->currentRow();
  if (row < 0 || !sgArticoli->item(row, ColLuogo)) return;
  TKvSearchDialog ricerca;
  ricerca.GetSQLDataSet().SetCommandText(SqlResponsabili());
  ricerca.GetSQLDataSet().SetParam(QStringLiteral("ISECID"), sgArticoli->item(row, ColLuogo)->text().toInt());
  const QVariant data = xqcRichieste->Active() && !xqcRichieste->IsEmpty()
                            ? xqcRichieste->FieldValue(QStringLiteral("DRICDATAOCC"))
                            : QVariant();
  ricerca.GetSQLDataSet().SetParam(QStringLiteral("DATA"), data.isNull() ? QVariant(QDate::currentDate()) : data);
  ricerca.GetColumns().SetColumns({{.field = "SANACOGNOME", .caption = "Cognome", .width = 150, .searchable = true},
                                   {.field = "SANANOME", .caption = "Nome", .width = 150, .searchable = true}});
  ricerca.SetCaption(QStringLiteral("Responsabile"));
  ricerca.SetKeyField(QStringLiteral("irspid"));
  if (!ricerca.Execute(this)) {
    if (!tutteLeRighe) impostaResponsabile(row, QVariant(), QString());
    return;
  }
  const QVariant id = ricerca.Value(QStringLiteral("IRSPID"));
  const QString nome = ricerca.Value(QStringLiteral("NOMECOGNOME")).toString();
  for (int r = tutteLeRighe ? 0 : row; r < (tutteLeRighe ? sgArticoli->rowCount() : row + 1); ++r)
    if (sgArticoli->item(r, ColIdResponsabile)) impostaResponsabile(r, id, nome);
}

void TfmAbzFWGeneraBuonoScarico::aggiornaPulsanti() {
  const int c = sgArticoli->currentColumn();
  buLuogoUnico->setEnabled(c == ColDescLuogo);
  buResponsabileUnico->setEnabled(c == ColResponsabile);
}

bool TfmAbzFWGeneraBuonoScarico::eventFilter(QObject* watched, QEvent* event) {
  if (watched == sgArticoli && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const int c = sgArticoli->currentColumn();
    const bool numero = c == ColQuantita || c == ColCosto;
    if (key->key() == Qt::Key_PageDown && (key->modifiers() & Qt::ControlModifier)) return true;
    if (key->key() == Qt::Key_F8) {
      if (c == ColDescLuogo) ScegliLuogo(false);
      if (c == ColResponsabile) ScegliResponsabile(false);
      return true;
    }
    const bool movimento = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_Left ||
                           key->key() == Qt::Key_Right || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                           key->key() == Qt::Key_Home || key->key() == Qt::Key_End || key->key() == Qt::Key_PageUp ||
                           key->key() == Qt::Key_PageDown || key->key() == Qt::Key_Escape;
    if (movimento) return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return !numero;
    if (!numero) return true;  // the other columns take no typing
    const QString t = key->text();
    const bool ammesso = key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_F2 ||
                         (t.size() == 1 && (t.at(0).isDigit() || t == QLatin1String("-") || t == QLatin1String(",") ||
                                            t == QLatin1String(".")));
    if (!ammesso) return true;
  }
  return TfmKvWizard::eventFilter(watched, event);
}

TBuonoScarico TfmAbzFWGeneraBuonoScarico::Buono() const {
  TBuonoScarico buono;
  buono.idRichiesta = xqcRichieste->FieldValue(QStringLiteral("IRICID")).toInt();
  buono.codiceRichiesta = xqcRichieste->FieldValue(QStringLiteral("SRICCODICE")).toString();
  buono.idLuogo = xqcRichieste->FieldValue(QStringLiteral("ISECID")).toInt();
  buono.idResponsabile = xqcRichieste->FieldValue(QStringLiteral("IRSPID")).toInt();
  // Today, within the working year.
  buono.data = QDate::currentDate();
  if (Contesto.FineEsercizio.isValid() && buono.data > Contesto.FineEsercizio) buono.data = Contesto.FineEsercizio;
  if (Contesto.InizioEsercizio.isValid() && buono.data < Contesto.InizioEsercizio)
    buono.data = Contesto.InizioEsercizio;
  buono.righe = Righe();
  return buono;
}

bool TfmAbzFWGeneraBuonoScarico::OnFinish() {
  // OK only closes on rows that may be written; writing them is the
  // caller's, which reads Buono() (the suite's warehouse functions).
  const auto rifiuto = ControllaScarico(Righe());
  if (!KvReport(rifiuto)) return false;
  if (rifiuto->has_value()) {
    KvMessageDlg(**rifiuto, TMsgDlgType::mtError, mbOK);
    return false;
  }
  return true;
}
