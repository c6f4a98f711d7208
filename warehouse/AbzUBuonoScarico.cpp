#include "AbzUBuonoScarico.h"

#include "AbzUGiacenze.h"
#include "FenUDatabase.h"
#include "KvConnection.h"
#include "KvSql.h"
#include "KvTransaction.h"
#include "PuxContesto.h"

#include <QHash>
#include <QRegularExpression>
#include <QVariant>

namespace {

// A NUMERIC(18,6) read as text (CAST AS VARCHAR), exact; null as 0.
qint64 letto(const QVariant& v) {
  if (v.isNull()) return 0;
  return Milionesimi(v.toString().trimmed()).value_or(0);
}

// The exact product of two amounts in millionths, to four decimals, back
// in millionths.
qint64 prodotto4(qint64 a, qint64 b) {
  const __int128 p = __int128(a) * b;
  const __int128 meta = p >= 0 ? 50000000 : -50000000;  // halves away from zero
  return qint64((p + meta) / 100000000) * 100;
}

QVariant nullo(QMetaType::Type t) {
  return QVariant(QMetaType(t));
}
QVariant idOpzionale(int id) {
  return id > 0 ? QVariant(id) : nullo(QMetaType::Int);
}

const QString kSqlTotaleMovimenti = QStringLiteral(
    " SELECT CAST(SUM(TMGMART.FMGMARTQUANTITA) AS VARCHAR(40)) AS TOT_QUANT FROM TMGMART INNER JOIN "
    "TMGM_MOVMAGAZZINO ON (TMGMART.IMGMID = TMGM_MOVMAGAZZINO.IMGMID) INNER JOIN TTBU_TIPIBUONI ON "
    "(TMGM_MOVMAGAZZINO.ITBUID = TTBU_TIPIBUONI.ITBUID) WHERE TMGM_MOVMAGAZZINO.IDWGID = :IDWGID AND "
    "TMGM_MOVMAGAZZINO.IMGMESERCIZIOFIN = :ESERCIZIOFIN AND TTBU_TIPIBUONI.ITBUTIPO = :ITBUTIPO AND "
    "TMGMART.IARTID = :IARTID");

}  // namespace

std::optional<qint64> Milionesimi(const QString& decimale) {
  static const QRegularExpression forma(QStringLiteral("^(-?)(\\d*)(?:\\.(\\d{0,6}))?$"));
  const QRegularExpressionMatch m = forma.match(decimale);
  if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty())) return std::nullopt;
  if (m.captured(2).size() > 12) return std::nullopt;
  const qint64 intero = m.captured(2).isEmpty() ? 0 : m.captured(2).toLongLong();
  const qint64 decimali = m.captured(3).leftJustified(6, QLatin1Char('0')).toLongLong();
  const qint64 valore = intero * 1000000 + decimali;
  return m.captured(1).isEmpty() ? valore : -valore;
}

QString TestoMilionesimi(qint64 milionesimi) {
  const qint64 a = milionesimi < 0 ? -milionesimi : milionesimi;
  return QStringLiteral("%1%2.%3")
      .arg(milionesimi < 0 ? QStringLiteral("-") : QString())
      .arg(a / 1000000)
      .arg(a % 1000000, 6, 10, QLatin1Char('0'));
}

KvResult<qint64> QuantitaDisponibile(int idArticolo, QSqlDatabase db) {
  const QSqlDatabase c = db.isValid() ? db : qqoKvGlobConn();
  const KvResult<QVariantList> giacenza = KvSql::FirstRow(
      QStringLiteral("SELECT CAST(GIA.FGIAGIACINIZ AS VARCHAR(40)), CAST(UNM.FUNMFATTOREPROP AS VARCHAR(40)) "
                     "FROM TGIA_GIACENZE GIA INNER JOIN TUNM_UNITAMISURA UNM ON UNM.IUNMID = GIA.IUNMID "
                     "WHERE GIA.IARTID = :IARTID AND GIA.IDWGID = :IDWGID AND GIA.IGIAESERCIZIOFIN = :IESFIN"),
      {{QStringLiteral("IARTID"), idArticolo},
       {QStringLiteral("IDWGID"), Contesto.DwgId},
       {QStringLiteral("IESFIN"), Contesto.EsercizioFin}},
      c);
  if (!giacenza) return giacenza.failure();
  if (giacenza->isEmpty())
    return KvFail(QStringLiteral("Attenzione!\r\nL'articolo non ha una giacenza nell'esercizio di lavoro."));
  const qint64 iniziale = letto(giacenza->at(0));
  const qint64 fattore = letto(giacenza->at(1));
  qint64 totali[2] = {0, 0};
  for (int tipo : {0, 1}) {
    const KvResult<QVariant> t = KvSql::Scalar(kSqlTotaleMovimenti,
                                               {{QStringLiteral("IDWGID"), Contesto.DwgId},
                                                {QStringLiteral("ESERCIZIOFIN"), Contesto.EsercizioFin},
                                                {QStringLiteral("ITBUTIPO"), tipo},
                                                {QStringLiteral("IARTID"), idArticolo}},
                                               c);
    if (!t) return t.failure();
    totali[tipo] = letto(*t);
  }
  return prodotto4(iniziale, fattore) + prodotto4(fattore, totali[0]) - totali[1];
}

KvResult<std::optional<QString>> ControllaScarico(const QList<TRigaScarico>& righe, QSqlDatabase db) {
  for (const TRigaScarico& r : righe) {
    if (r.quantita < 0) return std::optional<QString>(kMsgQuantitaNegativa);
    if (r.costo && *r.costo < 0) return std::optional<QString>(kMsgCostoNegativo);
  }
  // Two rows of one article draw on the same stock.
  QHash<int, qint64> richiesto;
  for (const TRigaScarico& r : righe) richiesto[r.idArticolo] += r.quantita;
  bool giacenza = false, luogo = false, qualcosa = false;
  for (auto it = richiesto.cbegin(); it != richiesto.cend(); ++it) {
    if (it.value() <= 0) continue;
    const KvResult<qint64> disponibile = QuantitaDisponibile(it.key(), db);
    if (!disponibile) return disponibile.failure();
    if (it.value() > *disponibile) giacenza = true;
  }
  for (const TRigaScarico& r : righe) {
    if (r.quantita > 0) qualcosa = true;
    if (r.quantita > 0 && r.idLuogo <= 0) luogo = true;
  }
  if (giacenza) return std::optional<QString>(kMsgGiacenzaInsufficiente);
  if (luogo) return std::optional<QString>(kMsgLuogoMancante);
  if (!qualcosa) return std::optional<QString>(kMsgNienteDaScaricare);
  return std::optional<QString>();
}

KvResult<EsitoBuonoScarico> ScriviBuonoScarico(const TBuonoScarico& buono, QSqlDatabase db) {
  const QSqlDatabase c = db.isValid() ? db : qqoKvGlobConn();
  EsitoBuonoScarico esito;
  const KvStatus scritto = KvInTransaction(c, [&]() -> KvStatus {
    // Checked again inside the transaction that writes: another clerk may
    // have discharged the same articles since the rows were shown.
    const KvResult<std::optional<QString>> rifiuto = ControllaScarico(buono.righe, c);
    if (!rifiuto) return rifiuto.failure();
    if (*rifiuto) return KvFail(**rifiuto);
    const KvResult<QVariant> tipo = KvSql::Scalar(
        QStringLiteral("SELECT FIRST 1 ITBUID FROM TTBU_TIPIBUONI WHERE ITBUTIPO = 1 ORDER BY ITBUID"), {}, c);
    if (!tipo) return tipo.failure();
    if (tipo->isNull()) return KvFail(QStringLiteral("Nessun tipo di buono di scarico definito."));
    const KvResult<QString> codice = NuovoCodice(TipoCodice::BuonoScarico);
    if (!codice) return codice.failure();
    const KvResult<int> id = NuovoIdSu(QStringLiteral("TMGM_MOVMAGAZZINO"), c);
    if (!id) return id.failure();
    if (KvStatus s = KvSql::Exec(
            QStringLiteral("INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, IDWGID, IMGMESERCIZIOFIN, ITBUID, SMGMCOD, "
                           "DMGMDATAMOVIMENTO, SMGMDESC, IRICID, ISECID, IRSPID, DSTART) VALUES (:IMGMID, :IDWGID, "
                           ":ESERCIZIOFIN, :ITBUID, :SMGMCOD, :DATA, :SMGMDESC, :IRICID, :ISECID, :IRSPID, "
                           "CURRENT_TIMESTAMP)"),
            {{QStringLiteral("IMGMID"), *id},
             {QStringLiteral("IDWGID"), Contesto.DwgId},
             {QStringLiteral("ESERCIZIOFIN"), Contesto.EsercizioFin},
             {QStringLiteral("ITBUID"), tipo->toInt()},
             {QStringLiteral("SMGMCOD"), *codice},
             {QStringLiteral("DATA"), buono.data},
             {QStringLiteral("SMGMDESC"), QStringLiteral("Scarico dalla richiesta ") + buono.codiceRichiesta},
             {QStringLiteral("IRICID"), idOpzionale(buono.idRichiesta)},
             {QStringLiteral("ISECID"), idOpzionale(buono.idLuogo)},
             {QStringLiteral("IRSPID"), idOpzionale(buono.idResponsabile)}},
            c);
        !s)
      return s;
    if (KvStatus log = ScriviLogMagazzino(
            QStringLiteral("Inserito Buono di Scarico id: %1").arg(*id),
            QStringLiteral("Codice:|%1|Richiesta id:|%2|").arg(*codice).arg(buono.idRichiesta), true, c);
        !log)
      return log;
    for (const TRigaScarico& r : buono.righe) {
      if (r.quantita <= 0) continue;
      const KvResult<int> idRiga = NuovoIdSu(QStringLiteral("TMGMART"), c);
      if (!idRiga) return idRiga.failure();
      if (KvStatus s = KvSql::Exec(
              QStringLiteral("INSERT INTO TMGMART (IMGMARTID, IMGMID, IARTID, FMGMARTQUANTITA, IALVID, "
                             "FMGMARTCOSTOUNI, IRICARTID, ISECID, IRSPID) VALUES (:IMGMARTID, :IMGMID, :IARTID, "
                             "CAST(CAST(:QUANTITA AS VARCHAR(40)) AS NUMERIC(18,6)), :IALVID, "
                             "CAST(CAST(:COSTO AS VARCHAR(40)) AS NUMERIC(18,6)), :IRICARTID, :ISECID, :IRSPID)"),
              {{QStringLiteral("IMGMARTID"), *idRiga},
               {QStringLiteral("IMGMID"), *id},
               {QStringLiteral("IARTID"), r.idArticolo},
               {QStringLiteral("QUANTITA"), TestoMilionesimi(r.quantita)},
               {QStringLiteral("IALVID"), idOpzionale(r.idAliquota)},
               {QStringLiteral("COSTO"), r.costo ? QVariant(TestoMilionesimi(*r.costo)) : nullo(QMetaType::QString)},
               {QStringLiteral("IRICARTID"), idOpzionale(r.idRigaRichiesta)},
               {QStringLiteral("ISECID"), idOpzionale(r.idLuogo)},
               {QStringLiteral("IRSPID"), idOpzionale(r.idResponsabile)}},
              c);
          !s)
        return s;
      if (KvStatus log = ScriviLogMagazzino(QStringLiteral("Inserita Riga Buono di Scarico id: %1").arg(*idRiga),
                                            QStringLiteral("Buono id:|%1|Articolo id:|%2|Quantità:|%3|")
                                                .arg(*id)
                                                .arg(r.idArticolo)
                                                .arg(TestoMilionesimi(r.quantita)),
                                            true, c);
          !log)
        return log;
      // The database keeps the stock row (current stock, totals, dates,
      // average cost); a failure of the engine undoes the voucher, a wrong
      // sequence reported by the procedure is logged and shown.
      if (KvStatus costo = RicalcolaCostoMedio(0, r.idArticolo, *idRiga, c); !costo) {
        if (!costo.detail().isEmpty()) return costo;
        esito.avvisi << costo.error();
      }
      ++esito.righe;
    }
    esito.idBuono = *id;
    esito.codice = *codice;
    return {};
  });
  if (!scritto) return scritto.failure();
  return esito;
}
