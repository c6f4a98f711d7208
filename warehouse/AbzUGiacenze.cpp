#include "AbzUGiacenze.h"

#include "FenUDatabase.h"

#include "KvConnection.h"
#include "KvMessageDlg.h"
#include "KvSql.h"
#include "KvTransaction.h"
#include "PuxContesto.h"
#include "TfmKvWait.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>
#include <vector>

namespace {

QSqlDatabase connessione(const QSqlDatabase& db) {
  return db.isValid() ? db : qqoKvGlobConn();
}

// Integer division rounded to the nearest, halves away from zero.
qint64 dividiArrotondando(__int128 n, __int128 d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  const __int128 q = (n >= 0 ? n + d / 2 : n - d / 2) / d;
  return qint64(q);
}

// A NUMERIC(18,6) read through the driver (a double) as ten-thousandths:
// its six decimals are recovered exactly, then rounded to four.
qint64 decimillesimi(const QVariant& v) {
  if (v.isNull()) return 0;
  const qint64 milionesimi = std::llround(v.toDouble() * 1e6);
  return dividiArrotondando(milionesimi, 100);
}

QVariant nullInt() {
  return QVariant(QMetaType(QMetaType::Int));
}

const QString kSqlUltimaRigaBuono = QStringLiteral(
    " SELECT FIRST 1 AM.IMGMARTID FROM TMGM_MOVMAGAZZINO MGM INNER JOIN TMGMART AM ON AM.IMGMID = MGM.IMGMID "
    "INNER JOIN TTBU_TIPIBUONI TTB ON TTB.ITBUID = MGM.ITBUID WHERE TTB.ITBUTIPO = :TIPO AND MGM.IDWGID = :IDWGID "
    "AND MGM.IMGMESERCIZIOFIN = :IESFIN AND AM.IARTID = :IARTID ORDER BY AM.IMGMARTID DESC");
const QString kSqlAggiornaGiacenze =
    QStringLiteral(" SELECT CONTROLLO FROM PABZ_UPDGIACENZE(:IMGMARTID, :IOMGARTID, :IARTID,:IDWGID, :ESERCIZIOFIN)");

KvResult<QString> codiceArticolo(int idArticolo, QSqlDatabase db) {
  const KvResult<QVariant> cod =
      KvSql::Scalar(QStringLiteral("SELECT SARTCOD FROM TART_ARTICOLI WHERE IARTID = :IARTID"),
                    {{QStringLiteral("IARTID"), idArticolo}}, db);
  if (!cod) return cod.failure();
  return cod->toString();
}

}  // namespace

QString TQuantita4::Testo() const {
  const qint64 a = decimillesimi < 0 ? -decimillesimi : decimillesimi;
  return QStringLiteral("%1%2.%3")
      .arg(decimillesimi < 0 ? QStringLiteral("-") : QString())
      .arg(a / 10000)
      .arg(a % 10000, 4, 10, QLatin1Char('0'));
}

KvResult<TQuantita4> GiacenzaAllaData(int idArticolo, const QDate& data, QSqlDatabase db) {
  QSqlQuery q(connessione(db));
  q.setForwardOnly(true);
  if (!q.prepare(QStringLiteral(
          " SELECT GIA.FGIAGIACINIZ, UNM.FUNMFATTOREPROP, ( SELECT SUM(MGMART1.FMGMARTQUANTITA) FROM TMGMART MGMART1 "
          "INNER JOIN TMGM_MOVMAGAZZINO MGM ON MGM.IMGMID = MGMART1.IMGMID INNER JOIN TTBU_TIPIBUONI TTBU ON "
          "TTBU.ITBUID = MGM.ITBUID WHERE MGM.IMGMESERCIZIOFIN = :IESFIN AND MGM.IDWGID = :IDWGID AND "
          "MGM.DMGMDATAMOVIMENTO <= :DATA AND TTBU.ITBUTIPO = 0 AND MGMART1.IARTID = :IARTID ) AS QTACARICHI, ( "
          "SELECT SUM(MGMART2.FMGMARTQUANTITA) FROM TMGMART MGMART2 INNER JOIN TMGM_MOVMAGAZZINO MGM ON MGM.IMGMID = "
          "MGMART2.IMGMID INNER JOIN TTBU_TIPIBUONI TTBU ON TTBU.ITBUID = MGM.ITBUID WHERE MGM.IMGMESERCIZIOFIN = "
          ":IESFIN AND MGM.IDWGID = :IDWGID AND MGM.DMGMDATAMOVIMENTO <= :DATA AND TTBU.ITBUTIPO = 1 AND "
          "MGMART2.IARTID = :IARTID ) AS QTASCARICHI FROM TGIA_GIACENZE GIA INNER JOIN TUNM_UNITAMISURA UNM ON "
          "UNM.IUNMID = GIA.IUNMID WHERE GIA.IGIAESERCIZIOFIN = :IESFIN AND GIA.IDWGID = :IDWGID AND GIA.IARTID = "
          ":IARTID")))
    return KvSql::Failure(q);
  q.bindValue(QStringLiteral(":IESFIN"), Contesto.EsercizioFin);
  q.bindValue(QStringLiteral(":IDWGID"), Contesto.DwgId);
  q.bindValue(QStringLiteral(":DATA"), data);
  q.bindValue(QStringLiteral(":IARTID"), idArticolo);
  if (!q.exec()) return KvSql::Failure(q);
  if (!q.next()) {
    if (q.lastError().isValid()) return KvSql::Failure(q);
    return KvFail(
        QStringLiteral("Attenzione!\r\nL'articolo non ha una giacenza nell'esercizio di lavoro: "
                       "impossibile calcolarne la giacenza alla data."));
  }
  const qint64 fattore = decimillesimi(q.value(1));
  if (fattore <= 0)
    return KvFail(
        QStringLiteral("Attenzione!\r\nL'unità di misura dell'articolo non ha un fattore di conversione "
                       "maggiore di zero: impossibile calcolarne la giacenza alla data."));
  const qint64 iniziale = decimillesimi(q.value(0));
  const qint64 carichi = decimillesimi(q.value(2));
  const qint64 scarichi = decimillesimi(q.value(3));
  // Discharges are in discharge units: to loading units, to four decimals.
  const qint64 scarichiCarico = dividiArrotondando(__int128(scarichi) * 10000, fattore);
  return TQuantita4{iniziale + carichi - scarichiCarico};
}

QString FormatoPrezzi() {
  if (Contesto.Decimali < 0) return QStringLiteral("#0.00");
  return QStringLiteral("#0.00") + QString(Contesto.Decimali + 1, QLatin1Char('0'));
}

int DecimaliPrezzi() {
  return Contesto.Decimali < 0 ? 2 : Contesto.Decimali + 3;
}

KvStatus ScriviLogMagazzino(const QString& descrizione, const QString& nota, bool conNota, QSqlDatabase db) {
  const QSqlDatabase c = connessione(db);
  const KvResult<int> id = NuovoIdSu(QStringLiteral("TLOG_MAGAZZINO"), c);
  if (!id) return id.failure();
  return KvSql::Exec(QStringLiteral(" INSERT INTO TLOG_MAGAZZINO (ILOGID, SLOGUSERNAME, SLOGLDESC, BLOGNOTE, DLOGDATA) "
                                    "VALUES (:ILOGID, :SLOGUSERNAME, :SLOGLDESC, :BLOGNOTE, CURRENT_TIMESTAMP);"),
                     {{QStringLiteral("ILOGID"), *id},
                      {QStringLiteral("SLOGUSERNAME"), c.userName()},
                      {QStringLiteral("SLOGLDESC"), descrizione},
                      {QStringLiteral("BLOGNOTE"), conNota ? QVariant(nota) : QVariant(QMetaType(QMetaType::QString))}},
                     c);
}

KvResult<int> UltimaRigaArticolo(int idArticolo, int tipo, QSqlDatabase db) {
  KvResult<QVariant> riga = QVariant();
  if (tipo == int(TipoRigaArticolo::Ordine)) {
    riga =
        KvSql::Scalar(QStringLiteral(" SELECT FIRST 1 OA.IOMGARTID FROM TOMGART OA INNER JOIN TOMG_ORDINIMAGAZ O ON "
                                     "O.IOMGID = OA.IOMGID WHERE O.IDWGID = :IDWGID AND O.IOMGESERCIZIOFIN = :IESFIN "
                                     "AND OA.IARTID = :IARTID"),
                      {{QStringLiteral("IDWGID"), Contesto.DwgId},
                       {QStringLiteral("IESFIN"), Contesto.EsercizioFin},
                       {QStringLiteral("IARTID"), idArticolo}},
                      db);
  } else if (tipo == int(TipoRigaArticolo::Carico) || tipo == int(TipoRigaArticolo::Scarico)) {
    riga = KvSql::Scalar(kSqlUltimaRigaBuono,
                         {{QStringLiteral("TIPO"), tipo - 1},
                          {QStringLiteral("IDWGID"), Contesto.DwgId},
                          {QStringLiteral("IESFIN"), Contesto.EsercizioFin},
                          {QStringLiteral("IARTID"), idArticolo}},
                         db);
  } else {
    return -1;
  }
  if (!riga) return riga.failure();
  return riga->isNull() ? 0 : riga->toInt();
}

KvStatus RicalcolaCostoMedio(int idRigaOrdine, int idArticolo, int idRigaBuono, QSqlDatabase db) {
  int articolo = idArticolo;
  if (articolo == 0) {
    const KvResult<QVariant> a =
        KvSql::Scalar(QStringLiteral("SELECT iArtId FROM TMgmArt WHERE iMgmArtId = :IMGMARTID"),
                      {{QStringLiteral("IMGMARTID"), idRigaBuono}}, db);
    if (!a) return a.failure();
    articolo = a->toInt();
  }
  const KvResult<QVariant> controllo =
      KvSql::Scalar(kSqlAggiornaGiacenze,
                    {{QStringLiteral("IMGMARTID"), idRigaBuono},
                     {QStringLiteral("IOMGARTID"), idRigaOrdine > 0 ? QVariant(idRigaOrdine) : nullInt()},
                     {QStringLiteral("IARTID"), articolo},
                     {QStringLiteral("IDWGID"), Contesto.DwgId},
                     {QStringLiteral("ESERCIZIOFIN"), Contesto.EsercizioFin}},
                    db);
  if (controllo && !controllo->isNull() && controllo->toInt() == 0) return {};
  const KvResult<QString> codice = codiceArticolo(articolo, db);
  const QString testo =
      QStringLiteral("Errore Durante il calcolo del costo unitario medio!Cod.Art. ") + codice.value_or(QString());
  const QString nota = QStringLiteral("Articolo id|%1|Mov.Art.id%2").arg(articolo).arg(idRigaBuono);
  if (KvStatus log = ScriviLogMagazzino(testo, nota, true, db); !log) return log;
  return KvFail(testo, controllo ? QString() : controllo.detail());
}

KvResult<EsitoRicalcolo> RicalcolaCostiMedi(int idArticolo, const std::function<void(int, int)>& progress,
                                            QSqlDatabase db) {
  const QSqlDatabase c = connessione(db);
  EsitoRicalcolo esito;
  const KvStatus fatto = KvInTransaction(c, [&]() -> KvStatus {
    QString sql = QStringLiteral(
        " SELECT TGIA_GIACENZE.IGIAID, TGIA_GIACENZE.DGIAULTIMOCARICO, TGIA_GIACENZE.IARTID FROM TGIA_GIACENZE "
        "WHERE TGIA_GIACENZE.IGIAESERCIZIOFIN = :ANNOFIN AND TGIA_GIACENZE.IDWGID = :IDWGID");
    KvSql::Params params = {{QStringLiteral("ANNOFIN"), Contesto.EsercizioFin},
                            {QStringLiteral("IDWGID"), Contesto.DwgId}};
    if (idArticolo >= 0) {
      sql += QStringLiteral(" AND TGIA_GIACENZE.IARTID = :IARTID");
      params << qMakePair(QStringLiteral("IARTID"), QVariant(idArticolo));
    }
    sql += QStringLiteral(" ORDER BY TGIA_GIACENZE.IGIAID ASC");
    std::vector<int> articoli;
    if (KvStatus letti = KvSql::Rows(
            sql, params, [&](const QSqlQuery& r) { articoli.push_back(r.value(2).toInt()); }, c);
        !letti)
      return letti;
    // One article: only its first stock row.
    if (idArticolo >= 0 && articoli.size() > 1) articoli.resize(1);

    // The last loading row of every article of the year (the greatest row
    // id, as UltimaRigaArticolo takes it), read at once rather than per row.
    QHash<int, int> ultimoCarico;
    QString sqlCarichi = QStringLiteral(
        "SELECT AM.IARTID, MAX(AM.IMGMARTID) FROM TMGM_MOVMAGAZZINO MGM INNER JOIN TMGMART AM ON AM.IMGMID = "
        "MGM.IMGMID INNER JOIN TTBU_TIPIBUONI TTB ON TTB.ITBUID = MGM.ITBUID WHERE TTB.ITBUTIPO = 0 AND "
        "MGM.IDWGID = :IDWGID AND MGM.IMGMESERCIZIOFIN = :IESFIN");
    KvSql::Params paramsCarichi = {{QStringLiteral("IDWGID"), Contesto.DwgId},
                                   {QStringLiteral("IESFIN"), Contesto.EsercizioFin}};
    if (idArticolo >= 0) {
      sqlCarichi += QStringLiteral(" AND AM.IARTID = :IARTID");
      paramsCarichi << qMakePair(QStringLiteral("IARTID"), QVariant(idArticolo));
    }
    sqlCarichi += QStringLiteral(" GROUP BY AM.IARTID");
    if (KvStatus letti = KvSql::Rows(
            sqlCarichi, paramsCarichi,
            [&](const QSqlQuery& r) { ultimoCarico.insert(r.value(0).toInt(), r.value(1).toInt()); }, c);
        !letti)
      return letti;

    // Prepared once in the transaction, run for every row.
    QSqlQuery aggiorna(c);
    aggiorna.setForwardOnly(true);
    if (!aggiorna.prepare(kSqlAggiornaGiacenze)) return KvSql::Failure(aggiorna);
    const int totale = int(articoli.size());
    if (progress) progress(0, totale);
    for (int i = 0; i < totale; ++i) {
      const int articolo = articoli[size_t(i)];
      const int riga = ultimoCarico.value(articolo, 0);
      aggiorna.bindValue(QStringLiteral(":IMGMARTID"), riga);
      aggiorna.bindValue(QStringLiteral(":IOMGARTID"), nullInt());
      aggiorna.bindValue(QStringLiteral(":IARTID"), articolo);
      aggiorna.bindValue(QStringLiteral(":IDWGID"), Contesto.DwgId);
      aggiorna.bindValue(QStringLiteral(":ESERCIZIOFIN"), Contesto.EsercizioFin);
      if (!aggiorna.exec()) return KvSql::Failure(aggiorna);
      const QVariant controllo = aggiorna.next() ? aggiorna.value(0) : QVariant();
      if (aggiorna.lastError().isValid()) return KvSql::Failure(aggiorna);
      aggiorna.finish();
      ++esito.righe;
      if (!controllo.isNull() && controllo.toInt() == 1) {
        ++esito.errori;
        const KvResult<QString> codice = codiceArticolo(articolo, c);
        if (!codice) return codice.failure();
        if (KvStatus log = ScriviLogMagazzino(
                QStringLiteral("Errore durante il ricalcolo del Costo Unitario Medio! Cod: ") + *codice, QString(),
                false, c);
            !log)
          return log;
      }
      if (progress) progress(i + 1, totale);
    }
    return {};
  });
  if (!fatto) return fatto.failure();
  return esito;
}

bool RicalcolaCostoUnitarioMedio(int idArticoloCorrente) {
  const int risposta = KvMessageDlg(QStringLiteral("Controllare Costo Unitario Medio per tutti gli Articoli?\n\r\n\r"
                                                   "Sì -> Tutti gli articoli\n\rNo -> Solo l'articolo selezionato"),
                                    TMsgDlgType::mtInformation, mbYesNoCancel);
  if (risposta == mrYes) {
    TfmKvWait wait(QStringLiteral("Calcolo dei Costi Unitari Medi..."));
    wait.SetOperazione(QStringLiteral("L'operazione potrebbe richiedere qualche minuto.."));
    return KvReport(RicalcolaCostiMedi(-1, [&wait](int fatte, int totale) {
      if (fatte == 0)
        wait.InitProgressBar(0, totale);
      else
        wait.StepProgressBar();
    }));
  }
  if (risposta == mrNo && idArticoloCorrente > 0) return KvReport(RicalcolaCostiMedi(idArticoloCorrente));
  return false;
}
