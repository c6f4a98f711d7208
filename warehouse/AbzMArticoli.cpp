#include "AbzMArticoli.h"

#include "AbzUArticoli.h"
#include "AbzUCodiciArticolo.h"
#include "AbzUGiacenze.h"
#include "FenUDatabase.h"
#include "KvConnection.h"
#include "KvQueryCollection.h"
#include "KvSql.h"
#include "KvTransaction.h"
#include "PuxContesto.h"

#include <QSqlQuery>

namespace {

const QString kListaVeloce = QStringLiteral(
    " SELECT ART.IARTID, ART.SARTCOD, ART.SARTDESCS, ART.SARTDESCL, ART.SARTCODCOSTRUT, ART.SARTCODISO, "
    "ART.FARTSCARTOPERC, ART.LARTRISERVA, TALV_ALIQUOTEIVA.IALVID, TALV_ALIQUOTEIVA.SALVDESCS, "
    "TALV_ALIQUOTEIVA.SALVDESCL, ART.IMERID, TTPD_TIPODESTINAZ.ITPDID, TTPD_TIPODESTINAZ.STPDDESCS, "
    "TTPD_TIPODESTINAZ.STPDDESCL, ART.IDCMID, -1 as FGIAGIACATT, -1 as FGIASCORTAMIN, -1 as DIFFERENZA, "
    "LPAD(TRIM(ART.SARTCOD), 7, '0') AS SARTCODORD "
    "FROM TART_ARTICOLI ART INNER JOIN TTPD_TIPODESTINAZ ON (ART.ITPDID = TTPD_TIPODESTINAZ.ITPDID) "
    "LEFT JOIN TALV_ALIQUOTEIVA ON (ART.IALVID = TALV_ALIQUOTEIVA.IALVID) WHERE ART.DDELETE IS NULL "
    "ORDER BY 20");

const QString kListaCompleta = QStringLiteral(
    " SELECT TART_ARTICOLI.IARTID, TART_ARTICOLI.SARTCOD, TART_ARTICOLI.SARTDESCS, TART_ARTICOLI.SARTDESCL, "
    "TART_ARTICOLI.SARTCODCOSTRUT, TART_ARTICOLI.SARTCODISO, TART_ARTICOLI.FARTSCARTOPERC, "
    "TART_ARTICOLI.LARTRISERVA, TALV_ALIQUOTEIVA.IALVID, TALV_ALIQUOTEIVA.SALVDESCS, TALV_ALIQUOTEIVA.SALVDESCL, "
    "TMER_CODICIMERCEOL.IMERID, TMER_CODICIMERCEOL.SMERCODICE, TMER_CODICIMERCEOL.SMERDESC, "
    "TTPD_TIPODESTINAZ.ITPDID, TTPD_TIPODESTINAZ.STPDDESCS, TTPD_TIPODESTINAZ.STPDDESCL, TDCM_DETTCODMERC.IDCMID, "
    "TDCM_DETTCODMERC.SDCMDESCL, TGIA_GIACENZE.FGIAGIACATT, TGIA_GIACENZE.FGIASCORTAMIN, "
    "(TGIA_GIACENZE.FGIAGIACATT - TGIA_GIACENZE.FGIASCORTAMIN) AS DIFFERENZA, "
    "LPAD(TRIM(TART_ARTICOLI.SARTCOD), 7, '0') AS SARTCODORD "
    "FROM TART_ARTICOLI INNER JOIN TTPD_TIPODESTINAZ ON (TART_ARTICOLI.ITPDID = TTPD_TIPODESTINAZ.ITPDID) "
    "LEFT JOIN TALV_ALIQUOTEIVA ON (TART_ARTICOLI.IALVID = TALV_ALIQUOTEIVA.IALVID) "
    "LEFT JOIN TDCM_DETTCODMERC ON (TART_ARTICOLI.IDCMID = TDCM_DETTCODMERC.IDCMID) "
    "LEFT JOIN TMER_CODICIMERCEOL ON (TART_ARTICOLI.IMERID = TMER_CODICIMERCEOL.IMERID) "
    "LEFT JOIN TGIA_GIACENZE ON (TART_ARTICOLI.IARTID = TGIA_GIACENZE.IARTID AND TGIA_GIACENZE.IDWGID = :IDWGID "
    "AND TGIA_GIACENZE.IGIAESERCIZIOFIN = :ESERCIZIOFIN) WHERE TART_ARTICOLI.DDELETE IS NULL ORDER BY 23");

const QString kInsert = QStringLiteral(
    " INSERT INTO TART_ARTICOLI (IARTID, SARTCOD, SARTDESCS, SARTDESCL, SARTCODCOSTRUT, SARTCODISO, FARTSCARTOPERC, "
    "LARTRISERVA, IALVID, ITPDID, IMERID, IDCMID) VALUES (:KVGENID, :SARTCOD, :SARTDESCS,:SARTDESCL,:SARTCODCOSTRUT, "
    ":SARTCODISO, :FARTSCARTOPERC, :LARTRISERVA,:IALVID,:ITPDID, :IMERID, :IDCMID)");
const QString kUpdate = QStringLiteral(
    " UPDATE TART_ARTICOLI SET SARTCOD = :SARTCOD, SARTDESCS = :SARTDESCS, SARTDESCL = :SARTDESCL, "
    "SARTCODCOSTRUT = :SARTCODCOSTRUT, SARTCODISO = :SARTCODISO, IALVID = :IALVID, ITPDID = :ITPDID, "
    "IDCMID = :IDCMID, IMERID = :IMERID WHERE TART_ARTICOLI.IARTID = :KVCURRID");

const QString kListaFornitori = QStringLiteral(
    " SELECT TARTBEN.IARTBENID, TARTBEN.IARTID, TARTBEN.SARTBENCODFORN, TARTBEN.DARTBENULTIMOCAR, "
    "TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENPARTITAIVA, "
    "TBEN_BENEFICIARI.SBENCODFISCALE FROM TARTBEN INNER JOIN TBEN_BENEFICIARI ON (TARTBEN.IBENID = "
    "TBEN_BENEFICIARI.IBENID) WHERE TARTBEN.IARTID = :IARTID ORDER BY TARTBEN.DARTBENULTIMOCAR");
const QString kInsertFornitore = QStringLiteral(
    " INSERT INTO TARTBEN (IARTBENID, IARTID, IBENID, SARTBENCODFORN, DARTBENULTIMOCAR, IDWGID,IARTBENESFIN) "
    "VALUES (:KVGENID, :IARTID, :IBENID, :SARTBENCODFORN, :DARTBENULTIMOCAR,:IDWGID, :IARTBENESFIN)");
const QString kUpdateFornitore = QStringLiteral(
    " UPDATE TARTBEN SET IBENID = :IBENID, SARTBENCODFORN = :SARTBENCODFORN, DARTBENULTIMOCAR = "
    ":DARTBENULTIMOCAR, IDWGID = :IDWGID, IARTBENESFIN = :IARTBENESFIN WHERE IARTBENID = :KVCURRID");

QString testoObbligatorio(const QString& nome) {
  return QStringLiteral("Attenzione!\nE' necessario valorizzare il campo \"%1\".").arg(nome);
}

bool vuoto(const QVariant& v) {
  return v.isNull() || v.toString().trimmed().isEmpty() || v.toInt() == -1;
}

}  // namespace

TdmAbzArticoli::TdmAbzArticoli(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("dmAbzArticoli"));
  xqcArticoli = new TKvQueryCollection(this);
  xqcArticoli->setObjectName(QStringLiteral("xqcArticoli"));
  xqcArticoli->SetAutoBuildSQL(false);
  xqcArticoli->SetKeyField(QStringLiteral("IARTID"));
  xqcArticoli->SetTableName(QStringLiteral("TART_ARTICOLI"));
  xqcArticoli->SQLInsert() << kInsert;
  xqcArticoli->SQLUpdate() << kUpdate;
  xqcArticoli->OnNewRecord = [](TKvQueryCollection& c) {
    // Carried unchanged by this program; a new article starts with none.
    c.SetFieldValue(QStringLiteral("FARTSCARTOPERC"), 0.0);
    c.SetFieldValue(QStringLiteral("LARTRISERVA"), 0);
  };
  xqcArticoli->KvBeforeExec = [this](TKvQueryProp& p) {
    if (p.QueryKind == TKvQueryProp::Delete) {
      // Whatever path deletes, a used article stays (it can be historicized).
      const int id = xqcArticoli->FieldValue(QStringLiteral("IARTID")).toInt();
      const KvResult<bool> libero = ArticoloNonUsato(id);
      if (!libero) return p.Refuse(libero.error());
      if (!*libero) return p.Refuse(TestoArticoloUsato());
      m_cancellato = QStringLiteral("%1|%2|%3|")
                         .arg(id)
                         .arg(xqcArticoli->FieldValue(QStringLiteral("SARTCOD")).toString(),
                              xqcArticoli->FieldValue(QStringLiteral("SARTDESCS")).toString());
      m_codiceCancellato = xqcArticoli->FieldValue(QStringLiteral("SARTCOD")).toString();
      return;
    }
    // The stored forms: the code seven wide, the description trimmed.
    p.FieldValues->Add(QStringLiteral("SARTCOD"),
                       CodiceArticolo(xqcArticoli->FieldValue(QStringLiteral("SARTCOD")).toString()));
    p.FieldValues->Add(QStringLiteral("SARTDESCS"),
                       xqcArticoli->FieldValue(QStringLiteral("SARTDESCS")).toString().trimmed());
    if (const auto rifiuto = Controlla()) p.Refuse(rifiuto->testo);
  };

  // The deletion is logged in its own transaction: both or neither.
  xqcArticoli->KvAfterExec = [this](TKvQueryProp& p) {
    if (p.QueryKind != TKvQueryProp::Delete) return;
    const KvStatus log =
        ScriviLogMagazzino(QStringLiteral("Cancellazione Articolo Cod. ") + m_codiceCancellato, m_cancellato, true);
    if (!log) p.Refuse(log.error());
  };

  xqcFornitori = new TKvQueryCollection(this);
  xqcFornitori->setObjectName(QStringLiteral("xqcFornitori"));
  xqcFornitori->SetAutoBuildSQL(false);
  xqcFornitori->SetKeyField(QStringLiteral("IARTBENID"));
  xqcFornitori->SetTableName(QStringLiteral("TARTBEN"));
  xqcFornitori->SetCommandText(kListaFornitori);
  xqcFornitori->SQLInsert() << kInsertFornitore;
  xqcFornitori->SQLUpdate() << kUpdateFornitore;
  xqcFornitori->KvBeforeExec = [this](TKvQueryProp& p) {
    if (p.QueryKind == TKvQueryProp::Delete) return;
    if (p.QueryKind == TKvQueryProp::Insert) {
      if (m_articoloFornitori < 0) return p.Refuse(QStringLiteral("Attenzione!\nNessun articolo selezionato."));
      p.FieldValues->Add(QStringLiteral("IARTID"), m_articoloFornitori);
    }
    if (vuoto(xqcFornitori->FieldValue(QStringLiteral("IBENID"))))
      return p.Refuse(testoObbligatorio(QStringLiteral("Fornitore")));
    // One row per supplier: a second one would be removed as a duplicate
    // the next time the window opens.
    const int riga =
        p.QueryKind == TKvQueryProp::Insert ? -1 : xqcFornitori->FieldValue(QStringLiteral("IARTBENID")).toInt();
    const KvResult<QVariant> doppio = KvSql::Scalar(
        QStringLiteral("SELECT FIRST 1 IARTBENID FROM TARTBEN WHERE IARTID = :IARTID AND IBENID = :IBENID AND "
                       "IARTBENID <> :IARTBENID"),
        {{QStringLiteral("IARTID"), m_articoloFornitori},
         {QStringLiteral("IBENID"), xqcFornitori->FieldValue(QStringLiteral("IBENID"))},
         {QStringLiteral("IARTBENID"), riga}});
    if (!doppio) return p.Refuse(doppio.error());
    if (!doppio->isNull()) return p.Refuse(TestoFornitoreDoppio());
    // The last loading is the warehouse program's to set.
    p.FieldValues->Add(QStringLiteral("DARTBENULTIMOCAR"), QVariant(QMetaType(QMetaType::QDate)));
    p.FieldValues->Add(QStringLiteral("IDWGID"), Contesto.DwgId);
    p.FieldValues->Add(QStringLiteral("IARTBENESFIN"), Contesto.EsercizioFin);
  };
  SetVista(0);
}

TdmAbzArticoli::~TdmAbzArticoli() = default;

QString TdmAbzArticoli::SqlLista(int vista) {
  return vista == 1 ? kListaCompleta : kListaVeloce;
}

void TdmAbzArticoli::SetVista(int vista) {
  m_vista = vista == 1 ? 1 : 0;
  xqcArticoli->Close();
  xqcArticoli->SetCommandText(SqlLista(m_vista));
}

KvStatus TdmAbzArticoli::Apri() {
  xqcArticoli->Close();
  (void)xqcArticoli->SetFiltered(false);  // closed: only the flag changes
  xqcArticoli->SetFilter(QString());
  if (m_vista == 1) {
    xqcArticoli->SetParam(QStringLiteral("IDWGID"), Contesto.DwgId);
    xqcArticoli->SetParam(QStringLiteral("ESERCIZIOFIN"), Contesto.EsercizioFin);
  }
  if (KvStatus opened = xqcArticoli->Open(); !opened) return opened;
  xqcArticoli->First();
  return {};
}

KvStatus TdmAbzArticoli::ApriFornitori(int idArticolo) {
  m_articoloFornitori = idArticolo;
  xqcFornitori->Close();
  xqcFornitori->SetParam(QStringLiteral("IARTID"), idArticolo);
  return xqcFornitori->Open();
}

int TdmAbzArticoli::IdCorrente() const {
  if (!xqcArticoli->Active() || xqcArticoli->IsEmpty() || xqcArticoli->GetState() == KvState::Insert) return -1;
  return xqcArticoli->FieldValue(QStringLiteral("IARTID")).toInt();
}

QString TdmAbzArticoli::TestoDescrizioneDoppia() {
  return QStringLiteral("Articolo con descrizione già caricato");
}

QString TdmAbzArticoli::TestoArticoloUsato() {
  return QStringLiteral("Impossibile Cancellare l'Articolo, perchè è stato già movimentato.");
}

QString TdmAbzArticoli::TestoFornitoreDoppio() {
  return QStringLiteral("Attenzione!\nIl fornitore è già associato all'articolo.");
}

QString TdmAbzArticoli::TestoCodiceDoppio() {
  return QStringLiteral("Attenzione!\nIl codice è già usato da un altro articolo.");
}

QString TdmAbzArticoli::TestoCostruttoreDoppio() {
  return QStringLiteral("Codice Costruttore già associato a un altro articolo!");
}

std::optional<TdmAbzArticoli::Rifiuto> TdmAbzArticoli::Controlla() const {
  const TKvQueryCollection& a = *xqcArticoli;
  const int self = a.GetState() == KvState::Insert ? -1 : a.FieldValue(QStringLiteral("IARTID")).toInt();
  auto errore = [](const char* campo, const KvFailure& f) {
    return Rifiuto{QString::fromLatin1(campo), f.text + (f.detail.isEmpty() ? QString() : "\n" + f.detail)};
  };

  const QString codice = a.FieldValue(QStringLiteral("SARTCOD")).toString();
  if (codice.trimmed().isEmpty())
    return Rifiuto{QStringLiteral("SARTCOD"), testoObbligatorio(QStringLiteral("Codice"))};
  // The same number written five or seven wide is the same code.
  const KvResult<int> altroCodice = ArticoloDaCodice(codice, self);
  if (!altroCodice) return errore("SARTCOD", altroCodice.failure());
  if (*altroCodice >= 0) return Rifiuto{QStringLiteral("SARTCOD"), TestoCodiceDoppio()};

  // Historicized articles count too: a description comes back only as the
  // same article. Compared trimmed and ignoring letter case.
  const QString descrizione = a.FieldValue(QStringLiteral("SARTDESCS")).toString().trimmed();
  const KvResult<QVariant> doppia = KvSql::Scalar(
      QStringLiteral("SELECT FIRST 1 IARTID FROM TART_ARTICOLI WHERE UPPER(TRIM(SARTDESCS)) = UPPER(:SARTDESCS) "
                     "AND IARTID <> :IARTID"),
      {{QStringLiteral("SARTDESCS"), descrizione}, {QStringLiteral("IARTID"), self}});
  if (!doppia) return errore("SARTDESCS", doppia.failure());
  if (!doppia->isNull()) return Rifiuto{QStringLiteral("SARTDESCS"), TestoDescrizioneDoppia()};

  const KvResult<bool> libero =
      CodiceCostruttoreLibero(a.FieldValue(QStringLiteral("SARTCODCOSTRUT")).toString(), self);
  if (!libero) return errore("SARTCODCOSTRUT", libero.failure());
  if (!*libero) return Rifiuto{QStringLiteral("SARTCODCOSTRUT"), TestoCostruttoreDoppio()};

  const struct {
    const char* campo;
    const char* nome;
  } obbligatori[] = {{"ITPDID", "Destinazione"}, {"IMERID", "Codice Merceologico"}, {"IALVID", "Aliquota IVA"}};
  for (const auto& o : obbligatori)
    if (vuoto(a.FieldValue(QString::fromLatin1(o.campo))))
      return Rifiuto{QString::fromLatin1(o.campo), testoObbligatorio(QString::fromLatin1(o.nome))};
  return std::nullopt;
}

KvStatus TdmAbzArticoli::NuovoArticolo() {
  if (!xqcArticoli->Append()) return KvFail(QStringLiteral("Impossibile inserire un nuovo articolo."));
  const KvResult<QString> codice = NuovoCodice(TipoCodice::Articolo);
  if (!codice) return codice.failure();
  xqcArticoli->SetFieldValue(QStringLiteral("SARTCOD"), *codice);
  return {};
}

KvStatus TdmAbzArticoli::Duplica() {
  if (IdCorrente() < 0) return KvFail(QStringLiteral("Attenzione!\nNessun articolo da duplicare."));
  const char* const copiati[] = {"SARTDESCS", "SARTDESCL", "ITPDID",    "STPDDESCL", "IMERID",
                                 "IDCMID",    "IALVID",    "SALVDESCS", "SALVDESCL"};
  QList<QPair<QString, QVariant>> valori;
  for (const char* f : copiati) {
    const QString campo = QString::fromLatin1(f);
    if (xqcArticoli->FieldIndex(campo) >= 0) valori.append({campo, xqcArticoli->FieldValue(campo)});
  }
  const KvStatus nuovo = NuovoArticolo();
  for (const auto& [campo, valore] : valori) xqcArticoli->SetFieldValue(campo, valore);
  return nuovo;
}

KvStatus TdmAbzArticoli::PuoStoricizzare() const {
  const int id = IdCorrente();
  if (id < 0) return KvFail(QStringLiteral("Attenzione!\nNessun articolo da storicizzare."));
  const KvSql::Params params{{QStringLiteral("iArtId"), id},
                             {QStringLiteral("iDwgId"), Contesto.DwgId},
                             {QStringLiteral("iGiaEsercizioFin"), Contesto.EsercizioFin}};
  const KvResult<QVariant> righe =
      KvSql::Scalar(QStringLiteral("SELECT COUNT(*) FROM TGia_Giacenze WHERE iArtId = :iArtId AND iDwgId = :iDwgId AND "
                                   "iGiaEsercizioFin = :iGiaEsercizioFin"),
                    params);
  if (!righe) return righe.failure();
  if (righe->toInt() >= 2)
    return KvFail(
        QStringLiteral("Impossibile storicizzare l'articolo perchè ha giacenze doppie, usare l'apposita utility."));
  const KvResult<QVariant> giacenza = KvSql::Scalar(
      QStringLiteral("SELECT CAST(fGiaGiacAtt AS VARCHAR(40)) FROM TGia_Giacenze WHERE iArtId = :iArtId AND "
                     "iDwgId = :iDwgId AND iGiaEsercizioFin = :iGiaEsercizioFin"),
      params);
  if (!giacenza) return giacenza.failure();
  // Read as the exact decimal: 0.000001 is stock too.
  if (!giacenza->isNull() && giacenza->toString().toDouble() != 0.0)
    return KvFail(QStringLiteral("Impossibile storicizzare l'articolo perchè ha giacenza diversa da zero."));
  return {};
}

KvStatus TdmAbzArticoli::Storicizza() {
  if (KvStatus puo = PuoStoricizzare(); !puo) return puo;
  const KvStatus fatto = KvSql::Exec(
      QStringLiteral(" UPDATE TART_ARTICOLI SET TART_ARTICOLI.DDELETE = (select SERVERDATE from pygetservertimestamp) "
                     "WHERE TART_ARTICOLI.IARTID = :IARTID"),
      {{QStringLiteral("IARTID"), IdCorrente()}});
  if (!fatto) return fatto;
  return xqcArticoli->Refresh();
}

KvResult<bool> TdmAbzArticoli::FornitoriDoppi() {
  const KvResult<QVariant> doppio = KvSql::Scalar(QStringLiteral(
      " SELECT FIRST 1 AB.IARTID FROM TARTBEN AB INNER JOIN TART_ARTICOLI A ON A.IARTID = AB.IARTID AND A.DDELETE IS "
      "NULL GROUP BY AB.IARTID, AB.IBENID HAVING COUNT(*) > 1"));
  if (!doppio) return doppio.failure();
  return !doppio->isNull();
}

KvStatus TdmAbzArticoli::EliminaFornitoriDoppi(const std::function<void(int, int)>& progress) {
  const KvResult<bool> doppi = FornitoriDoppi();
  if (!doppi) return doppi.failure();
  if (!*doppi) return {};
  const KvResult<QVariant> articoli =
      KvSql::Scalar(QStringLiteral("SELECT COUNT(*) FROM TART_ARTICOLI WHERE DDELETE IS NULL"));
  if (!articoli) return articoli.failure();
  const int totale = articoli->toInt();
  if (progress) progress(0, totale);
  return KvInTransaction(qqoKvGlobConn(), [&]() -> KvStatus {
    // One reading in the order the cleanup keeps: per article and supplier,
    // the first row by last loading stays.
    QList<int> daCancellare;
    int articolo = -1, fornitore = -1, fatti = 0;
    const KvStatus letti = KvSql::Rows(
        QStringLiteral(" SELECT TARTBEN.IARTBENID, TARTBEN.IARTID, TBEN_BENEFICIARI.IBENID FROM TARTBEN "
                       "INNER JOIN TBEN_BENEFICIARI ON (TARTBEN.IBENID = TBEN_BENEFICIARI.IBENID) "
                       "INNER JOIN TART_ARTICOLI A ON (A.IARTID = TARTBEN.IARTID AND A.DDELETE IS NULL) "
                       "ORDER BY TARTBEN.IARTID, TBEN_BENEFICIARI.IBENID, TARTBEN.DARTBENULTIMOCAR NULLS FIRST, "
                       "TARTBEN.IARTBENID"),
        {}, [&](const QSqlQuery& q) {
          const int art = q.value(1).toInt(), ben = q.value(2).toInt();
          if (art == articolo && ben == fornitore) {
            daCancellare << q.value(0).toInt();
            return;
          }
          if (art != articolo && progress) progress(++fatti, totale);
          articolo = art;
          fornitore = ben;
        });
    if (!letti) return letti;
    for (const int id : daCancellare) {
      const KvStatus cancellato = KvSql::Exec(QStringLiteral("DELETE FROM TARTBEN B WHERE B.IARTBENID = :IARTBENID"),
                                              {{QStringLiteral("IARTBENID"), id}});
      if (!cancellato) return cancellato;
    }
    return KvSql::Exec(QStringLiteral("DELETE FROM TARTBEN B WHERE B.IBENID IS NULL"));
  });
}
