#include "AbzMGiacenze.h"

#include "AbzUArticoli.h"
#include "AbzUGiacenze.h"
#include "KvNumberText.h"
#include "KvQueryCollection.h"
#include "KvSql.h"
#include "PuxContesto.h"

#include <QSqlQuery>

namespace {

QVariant nullDi(QMetaType::Type tipo) {
  return QVariant(QMetaType(tipo));
}

QString numero(double v) {
  return KvNumberText::Format(v, -1, false);
}

}  // namespace

TdmAbzGiacenze::TdmAbzGiacenze(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("dmAbzGiacenze"));
  xqcGiacenze = new TKvQueryCollection(this);
  xqcGiacenze->setObjectName(QStringLiteral("xqcGiacenze"));
  xqcGiacenze->SetAutoBuildSQL(false);
  xqcGiacenze->SetKeyField(QStringLiteral("IGIAID"));
  xqcGiacenze->SetTableName(QStringLiteral("TGIA_GIACENZE"));
  xqcGiacenze->SetCommandText(QStringLiteral(
      " SELECT GIA.IGIAID, GIA.IGIAESERCIZIOFIN, GIA.FGIAGIACINIZ, GIA.FGIAGIACATT, GIA.FGIASCORTAMIN, "
      "(GIA.FGIAGIACATT - GIA.FGIASCORTAMIN) AS DIFFERENZA, GIA.FGIACOSTOUNIINIZ, GIA.FGIAULTIMOCARICO, "
      "GIA.FGIACOSTOUNIMED, GIA.DGIAULTIMOCARICO, GIA.FGIATOTCARICO, GIA.DGIAULTIMOSCARICO, GIA.FGIATOTSCARICO, "
      "UNM.IUNMID, GIA.SGIAULTIMOFORN, UNM.SUNMDESCS, GIA.IARTID, UNM.FUNMFATTOREPROP FROM TGIA_GIACENZE GIA INNER "
      "JOIN TUNM_UNITAMISURA UNM ON (GIA.IUNMID = UNM.IUNMID) WHERE GIA.IARTID = :IARTID AND GIA.IDWGID = :IDWGID "
      "AND GIA.IGIAESERCIZIOFIN = :IGIAESERCIZIOFIN"));
  xqcGiacenze->SQLInsert() << QStringLiteral(
      " INSERT INTO TGIA_GIACENZE (IGIAID, IARTID, IDWGID, IUNMID, IGIAESERCIZIOFIN, FGIAGIACINIZ, FGIAGIACATT, "
      "FGIACOSTOUNIINIZ,FGIACOSTOUNIMED, FGIASCORTAMIN, DGIAULTIMOCARICO, FGIATOTCARICO, DGIAULTIMOSCARICO, "
      "FGIATOTSCARICO, FGIAULTIMOCARICO) VALUES (:KVGENID, :IARTID, :IDWGID, :IUNMID, :IGIAESERCIZIOFIN, "
      ":FGIAGIACINIZ, :FGIAGIACATT, :FGIACOSTOUNIINIZ, :FGIACOSTOUNIMED, :FGIASCORTAMIN, :DGIAULTIMOCARICO, "
      ":FGIATOTCARICO, :DGIAULTIMOSCARICO, :FGIATOTSCARICO, :FGIAULTIMOCARICO)");
  xqcGiacenze->SQLUpdate() << QStringLiteral(
      " UPDATE TGIA_GIACENZE SET IUNMID = :IUNMID, FGIAGIACINIZ = :FGIAGIACINIZ, FGIAGIACATT = :FGIAGIACATT, "
      "FGIACOSTOUNIINIZ = :FGIACOSTOUNIINIZ, FGIACOSTOUNIMED = :FGIACOSTOUNIMED, FGIASCORTAMIN = :FGIASCORTAMIN "
      "WHERE IGIAID = :KVCURRID");
  // The row is deleted by its key (no delete statement).
  xqcGiacenze->OnNewRecord = [this](TKvQueryCollection& c) {
    c.SetFieldValue(QStringLiteral("IARTID"), m_articolo);
    c.SetFieldValue(QStringLiteral("IGIAESERCIZIOFIN"), Contesto.EsercizioFin);
    for (const char* campo :
         {"FGIAGIACINIZ", "FGIAGIACATT", "FGIASCORTAMIN", "DIFFERENZA", "FGIACOSTOUNIINIZ", "FGIACOSTOUNIMED"})
      c.SetFieldValue(QString::fromLatin1(campo), 0.0);
  };
  xqcGiacenze->KvBeforeExec = [this](TKvQueryProp& p) { primaDi(p); };
  xqcGiacenze->KvAfterExec = [this](TKvQueryProp& p) { dopoDi(p); };
}

TdmAbzGiacenze::~TdmAbzGiacenze() = default;

QSqlDatabase TdmAbzGiacenze::connessione() const {
  // The connection the post runs its transaction on.
  return QSqlDatabase::database(xqcGiacenze->ConnectionName(), false);
}

KvStatus TdmAbzGiacenze::Apri(int idArticolo) {
  xqcGiacenze->Close();
  m_articolo = idArticolo;
  m_movimentato = false;
  m_nonUsato = false;
  xqcGiacenze->SetParam(QStringLiteral("IDWGID"), Contesto.DwgId);
  xqcGiacenze->SetParam(QStringLiteral("IGIAESERCIZIOFIN"), Contesto.EsercizioFin);
  xqcGiacenze->SetParam(QStringLiteral("IARTID"), idArticolo);
  if (KvStatus aperto = xqcGiacenze->Open(); !aperto) return aperto;
  if (idArticolo > 0) {
    const KvResult<int> movimenti = contaMovimenti();
    if (!movimenti) return movimenti.failure();
    m_movimentato = *movimenti > 0;
    const KvResult<bool> nonUsato = ArticoloNonUsato(idArticolo);
    if (!nonUsato) return nonUsato.failure();
    m_nonUsato = *nonUsato;
  }
  xqcGiacenze->First();
  return {};
}

void TdmAbzGiacenze::Chiudi() {
  xqcGiacenze->Close();
}

KvResult<int> TdmAbzGiacenze::contaMovimenti() const {
  const KvResult<QVariant> n = KvSql::Scalar(
      QStringLiteral(
          " SELECT ( (SELECT COUNT(*) FROM TMGMART AM INNER JOIN TMGM_MOVMAGAZZINO M ON M.IMGMID = AM.IMGMID WHERE "
          "M.IDWGID = :IDWGID AND M.IMGMESERCIZIOFIN = :IESFIN AND AM.IARTID = :IARTID ) + (SELECT COUNT(*) FROM "
          "TOMGART OM INNER JOIN TOMG_ORDINIMAGAZ O ON O.IOMGID = OM.IOMGID WHERE O.IDWGID = :IDWGID AND "
          "O.IOMGESERCIZIOFIN = :IESFIN AND OM.IARTID = :IARTID ) + (SELECT COUNT(*) FROM TPREART AP INNER JOIN "
          "TPRE_PREVENTIVI P ON P.IPREID = AP.IPREID WHERE P.IDWGID = :IDWGID AND P.IPREESERCIZIOFIN = :IESFIN AND "
          "AP.IARTID = :IARTID ) + (SELECT COUNT(*) FROM TRICART AR INNER JOIN TRIC_RICHIESTAESP R ON R.IRICID = "
          "AR.IRICID WHERE R.IDWGID = :IDWGID AND R.IRICESERCIZIOFIN = :IESFIN AND AR.IARTID = :IARTID ) ) AS "
          "CTRLARTMOV FROM TSTO_STATOORDINE ST WHERE ST.ISTOID = 1"),
      {{QStringLiteral("IDWGID"), Contesto.DwgId},
       {QStringLiteral("IESFIN"), Contesto.EsercizioFin},
       {QStringLiteral("IARTID"), m_articolo}},
      connessione());
  if (!n) return n.failure();
  return n->toInt();
}

KvResult<bool> TdmAbzGiacenze::ValoriInizialiModificabili() {
  const KvResult<QVariant> blocco =
      KvSql::Scalar(QStringLiteral("SELECT ILOCKED FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 24003"));
  if (!blocco) return blocco.failure();
  return !blocco->isNull() && blocco->toInt() == 2;
}

std::optional<TdmAbzGiacenze::Rifiuto> TdmAbzGiacenze::Controlla() const {
  const QVariant unita = xqcGiacenze->FieldValue(QStringLiteral("IUNMID"));
  // Without a unit the row would not be listed (its select joins the unit)
  // and a second stock row could follow.
  if (unita.isNull() || unita.toInt() <= 0)
    return Rifiuto{QStringLiteral("IUNMID"),
                   QStringLiteral("Attenzione!\r\nE' necessario valorizzare il campo \"Unità di Misura\".")};
  const double giacenza = xqcGiacenze->FieldValue(QStringLiteral("FGIAGIACINIZ")).toDouble();
  if (giacenza < 0)
    return Rifiuto{QStringLiteral("FGIAGIACINIZ"),
                   QStringLiteral("\r\nLa quantià inserita non deve essere inferiore a zero.")};
  if (xqcGiacenze->FieldValue(QStringLiteral("FGIACOSTOUNIINIZ")).toDouble() == 0 && giacenza > 0)
    return Rifiuto{QStringLiteral("FGIACOSTOUNIINIZ"), QStringLiteral("Inserire il Costo Unitario Iniziale")};
  return std::nullopt;
}

QString TdmAbzGiacenze::TestoErroreCostoMedio() {
  return QStringLiteral(
      " Si è verificato un errore durante il calcolo del Costo Unitario Medio.\r\n Controllare le sequenze di carico e "
      "scarico dell'articolo. Il costo Unitario Medio non verrà calcolato correttamente!");
}

QString TdmAbzGiacenze::TestoValoriInizialiBloccati() {
  return QStringLiteral(
      "Attenzione!\r\nI valori iniziali di magazzino sono bloccati: la Giacenza Iniziale e il Costo "
      "Unitario Iniziale non possono essere modificati.");
}

QString TdmAbzGiacenze::TestoGiacenzaMovimentata() {
  return QStringLiteral(
      "Attenzione!\r\nL'articolo è stato movimentato nell'esercizio: la sua unità di misura non può "
      "cambiare e la sua giacenza non può essere cancellata.");
}

void TdmAbzGiacenze::primaDi(TKvQueryProp& p) {
  if (p.TableName != QLatin1String("TGIA_GIACENZE")) return;
  m_avvisoCostoMedio.clear();
  switch (p.QueryKind) {
    case TKvQueryProp::Insert:
      if (const auto r = Controlla()) return p.Refuse(r->testo);
      p.FieldValues->Add(QStringLiteral("IARTID"), m_articolo);
      p.FieldValues->Add(QStringLiteral("IDWGID"), Contesto.DwgId);
      p.FieldValues->Add(QStringLiteral("IGIAESERCIZIOFIN"), Contesto.EsercizioFin);
      p.FieldValues->Add(QStringLiteral("DGIAULTIMOCARICO"), nullDi(QMetaType::QDate));
      p.FieldValues->Add(QStringLiteral("FGIATOTCARICO"), nullDi(QMetaType::Double));
      p.FieldValues->Add(QStringLiteral("DGIAULTIMOSCARICO"), nullDi(QMetaType::QDate));
      p.FieldValues->Add(QStringLiteral("FGIATOTSCARICO"), nullDi(QMetaType::Double));
      // A new row had no values before.
      m_giacenzaPrima = 0;
      m_costoPrima = 0;
      m_unitaPrima = 0;
      break;
    case TKvQueryProp::Update: {
      if (const auto r = Controlla()) return p.Refuse(r->testo);
      // The stored values, read in the post's transaction.
      bool letta = false;
      const KvStatus s = KvSql::Rows(
          QStringLiteral("SELECT FGIAGIACINIZ, FGIACOSTOUNIINIZ, IUNMID FROM TGIA_GIACENZE WHERE IGIAID = :IGIAID"),
          {{QStringLiteral("IGIAID"), xqcGiacenze->FieldValue(QStringLiteral("IGIAID"))}},
          [&](const QSqlQuery& r) {
            letta = true;
            m_giacenzaPrima = r.value(0).toDouble();
            m_costoPrima = r.value(1).toDouble();
            m_unitaPrima = r.value(2).toInt();
          },
          connessione());
      if (!s) return p.Refuse(s.error() + (s.detail().isEmpty() ? QString() : QLatin1Char('\n') + s.detail()));
      if (!letta) return p.Refuse(QStringLiteral("Attenzione!\r\nLa giacenza è stata cancellata da un altro utente."));
      if (m_movimentato && m_unitaPrima != xqcGiacenze->FieldValue(QStringLiteral("IUNMID")).toInt())
        return p.Refuse(TestoGiacenzaMovimentata());
      if (m_giacenzaPrima != xqcGiacenze->FieldValue(QStringLiteral("FGIAGIACINIZ")).toDouble() ||
          m_costoPrima != xqcGiacenze->FieldValue(QStringLiteral("FGIACOSTOUNIINIZ")).toDouble()) {
        const KvResult<bool> modificabili = ValoriInizialiModificabili();
        if (!modificabili) return p.Refuse(modificabili.error() + QLatin1Char('\n') + modificabili.detail());
        if (!*modificabili) return p.Refuse(TestoValoriInizialiBloccati());
      }
      break;
    }
    case TKvQueryProp::Delete:
      if (m_movimentato) return p.Refuse(TestoGiacenzaMovimentata());
      m_idCancellato = xqcGiacenze->FieldValue(QStringLiteral("IGIAID")).toInt();
      break;
  }
}

void TdmAbzGiacenze::dopoDi(TKvQueryProp& p) {
  if (p.TableName != QLatin1String("TGIA_GIACENZE")) return;
  const QSqlDatabase db = connessione();
  auto rifiutaSe = [&p](const KvStatus& s) {
    if (!s) p.Refuse(s.error() + (s.detail().isEmpty() ? QString() : QLatin1Char('\n') + s.detail()));
  };
  if (p.QueryKind == TKvQueryProp::Delete)
    return rifiutaSe(
        ScriviLogMagazzino(QStringLiteral("DELETE Record giacenze id: %1").arg(m_idCancellato), QString(), false, db));

  const bool inserita = p.QueryKind == TKvQueryProp::Insert;
  const int id = p.FieldValues->Value(inserita ? QStringLiteral("KVGENID") : QStringLiteral("KVCURRID")).toInt();
  if (!inserita) {
    const KvResult<int> ultimoCarico = UltimaRigaArticolo(m_articolo, int(TipoRigaArticolo::Carico), db);
    if (!ultimoCarico) return rifiutaSe(ultimoCarico.failure());
    // The change stays even when the database cannot recompute the cost.
    if (*ultimoCarico > 0 && !RicalcolaCostoMedio(0, m_articolo, *ultimoCarico, db))
      m_avvisoCostoMedio = TestoErroreCostoMedio();
  }
  const QString nota =
      QStringLiteral(
          "Articolo id:|%1|Giacenza Iniziale old:|%2|Giacenza Iniziale new:|%3|Costo Unitario Iniz. old:|%4|"
          "Costo Unitario Iniz. New:|%5|Unità di misura old:|%6|Unità di misura new:|%7|")
          .arg(m_articolo)
          .arg(numero(m_giacenzaPrima), numero(xqcGiacenze->FieldValue(QStringLiteral("FGIAGIACINIZ")).toDouble()),
               numero(m_costoPrima), numero(xqcGiacenze->FieldValue(QStringLiteral("FGIACOSTOUNIINIZ")).toDouble()))
          .arg(m_unitaPrima)
          .arg(xqcGiacenze->FieldValue(QStringLiteral("IUNMID")).toInt());
  rifiutaSe(ScriviLogMagazzino(QStringLiteral("Modificata Record Giacenze id: %1").arg(id), nota, true, db));
}
