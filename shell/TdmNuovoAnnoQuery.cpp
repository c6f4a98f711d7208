#include "TdmNuovoAnnoQuery.h"

#include "KvConnection.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvSql.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSqlQuery>

namespace {

QPointer<TdmNuovoAnnoQuery> gModulo;

const QString kIstituti = QStringLiteral(
    " SELECT VDOW_DATAOWNER.IDWGID, VDOW_DATAOWNER.SDOWSDESC, VDOW_DATAOWNER.SDOWLDESC, VDOW_DATAOWNER.IDOWID_P, "
    "COUNT(VDOW_DATAOWNER.IDOWID) AS PRINCIPALE FROM VDOW_DATAOWNER WHERE VDOW_DATAOWNER.DDELETE_DOW IS NULL GROUP BY "
    "VDOW_DATAOWNER.IDWGID, VDOW_DATAOWNER.SDOWSDESC, VDOW_DATAOWNER.SDOWLDESC, VDOW_DATAOWNER.IDOWID_P ORDER BY "
    "VDOW_DATAOWNER.IDOWID_P");
const QString kAnni = QStringLiteral(
    " SELECT TDWGANF.IDWGANFID, TDWGANF.DDWGANFINIZIO, TDWGANF.DDWGANFFINE, TANF_ANNIFINANZ.IANFID, "
    "TANF_ANNIFINANZ.IANFVALORE, TANF_ANNIFINANZ.DANFKALVOINIZIO, TANF_ANNIFINANZ.DANFKALVOFINE FROM TDWGANF INNER "
    "JOIN TANF_ANNIFINANZ ON (TDWGANF.IANFID = TANF_ANNIFINANZ.IANFID) WHERE TDWGANF.IDWGID = :IDWGID ORDER BY "
    "TANF_ANNIFINANZ.IANFVALORE");
const QString kInserisciAnno = QStringLiteral(
    " INSERT INTO TDWGANF (TDWGANF.IDWGANFID, TDWGANF.IANFID, TDWGANF.IDWGID, TDWGANF.DDWGANFINIZIO, "
    "TDWGANF.DDWGANFFINE) VALUES (:KVGENID, :IANFID, :IDWGID, :DDWGANFINIZIO, :DDWGANFFINE)");
const QString kAggiornaAnno = QStringLiteral(
    " UPDATE TDWGANF SET TDWGANF.IANFID = :IANFID, TDWGANF.DDWGANFINIZIO = :DDWGANFINIZIO, TDWGANF.DDWGANFFINE = "
    ":DDWGANFFINE WHERE TDWGANF.IDWGANFID = :KVCURRID");

struct Vicino {
  int id = -1;
  int anno = 0;
  QDate inizio, fine;
};

QString data(const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }

// "Attenzione ! " on the first line, every other line ending with a blank.
QString messaggio(const QStringList& righe) {
  QString text = QStringLiteral("Attenzione ! ");
  for (const QString& r : righe) text += QLatin1Char('\n') + r + QLatin1Char(' ');
  return text;
}

void rifiuta(const QStringList& righe) { KvMessageDlg(messaggio(righe), TMsgDlgType::mtWarning, mbOK); }

bool chiedi(const QStringList& righe, TMsgDlgType tipo = TMsgDlgType::mtConfirmation) {
  return KvMessageDlg(messaggio(righe), tipo, mbYesNo, 0, mbNo) == mrYes;
}

// The gap between two years is allowed only after two confirmations.
bool confermaBuco(const QDate& da, const QDate& a) {
  return chiedi({QStringLiteral("Il tempo che intercorre tra il %1 e il %2 non rientra in nessun Anno Finanziario "
                                "definito.")
                     .arg(data(da), data(a)),
                 QStringLiteral("Continuare ?")},
                TMsgDlgType::mtWarning) &&
         chiedi({QStringLiteral("La continuazione dell'operazione potrebbe comportare dei problemi al corretto "
                                "funzionamento del programma."),
                 QStringLiteral("Continuare ?")},
                TMsgDlgType::mtWarning);
}

std::optional<Vicino> vicino(const TdmNuovoAnnoQuery::Riga& r, bool precedente) {
  const QVariantList q = KvSql::FirstRow(QStringLiteral(
                " SELECT TDWGANF.IDWGANFID, TDWGANF.DDWGANFINIZIO AS INIZIOUTENTE, TDWGANF.DDWGANFFINE AS FINEUTENTE, "
                "TANF_ANNIFINANZ.DANFKALVOINIZIO AS INIZIOKALVO, TANF_ANNIFINANZ.DANFKALVOFINE AS FINEKALVO, "
                "TANF_ANNIFINANZ.IANFVALORE AS ANNOFIN FROM TDWGANF INNER JOIN TANF_ANNIFINANZ ON (TDWGANF.IANFID = "
                "TANF_ANNIFINANZ.IANFID) WHERE TDWGANF.DDELETE IS NULL AND (TANF_ANNIFINANZ.IANFVALORE = (SELECT "
                "%1(TANF_ANNIFINANZ.IANFVALORE) FROM TDWGANF INNER JOIN TANF_ANNIFINANZ ON (TDWGANF.IANFID = "
                "TANF_ANNIFINANZ.IANFID) WHERE TANF_ANNIFINANZ.IANFVALORE %2 :IANFVALORE AND TDWGANF.IDWGANFID <> "
                ":IDWGANFID AND TDWGANF.IDWGID = :IDWGID)) AND TDWGANF.IDWGID = :IDWGID")
                .arg(precedente ? QStringLiteral("MAX") : QStringLiteral("MIN"),
                     precedente ? QStringLiteral("<") : QStringLiteral(">")),
                                         {{QStringLiteral("IANFVALORE"), r.anno},
                                          {QStringLiteral("IDWGANFID"), r.idDwgAnf},
                                          {QStringLiteral("IDWGID"), r.idDwg}})
                               .value_or({});
  if (q.size() < 6) return std::nullopt;
  Vicino v;
  v.id = q[0].toInt();
  v.inizio = q[1].isNull() ? q[3].toDate() : q[1].toDate();
  v.fine = q[2].isNull() ? q[4].toDate() : q[2].toDate();
  v.anno = q[5].toInt();
  return v;
}

QString aggiornamento(const QDate& inizio, const QDate& fine, int id) {
  return QStringLiteral(" UPDATE TDWGANF SET TDWGANF.DDWGANFINIZIO = '%1', TDWGANF.DDWGANFFINE = '%2' WHERE "
                        "(TDWGANF.IDWGANFID = %3)")
      .arg(inizio.toString(QStringLiteral("MM/dd/yyyy")), fine.toString(QStringLiteral("MM/dd/yyyy")))
      .arg(id);
}

QStringList spostamento(const QString& testa, const QString& quale, const Vicino& v, const QDate& nuovoInizio,
                        const QDate& nuovaFine) {
  return {testa,
          QString(),
          QStringLiteral("%1 : %2").arg(quale).arg(v.anno),
          QStringLiteral("Inizio : %1").arg(data(v.inizio)),
          QStringLiteral("Fine : %1").arg(data(v.fine)),
          QStringLiteral("  Dopo modifica : "),
          QStringLiteral("Inizio : %1").arg(data(nuovoInizio)),
          QStringLiteral("Fine : %1").arg(data(nuovaFine)),
          QString(),
          QStringLiteral("Continuare ?")};
}

bool annoGiaDefinito(const TdmNuovoAnnoQuery::Riga& r) {
  bool definito = false;
  // Not readable: the save goes on and the database's own keys decide.
  (void)KvSql::Rows(
      QStringLiteral(" SELECT TDWGANF.IDWGANFID FROM TDWGANF INNER JOIN TANF_ANNIFINANZ ON (TDWGANF.IANFID = "
                     "TANF_ANNIFINANZ.IANFID) WHERE (TANF_ANNIFINANZ.IANFVALORE = :IANFVALORE) AND "
                     "(TDWGANF.IDWGID = :IDWGID)"),
      {{QStringLiteral("IANFVALORE"), r.anno}, {QStringLiteral("IDWGID"), r.idDwg}}, [&](const QSqlQuery& q) {
        if (r.inserimento || q.value(0).toInt() != r.idDwgAnf) definito = true;
      });
  return definito;
}

}  // namespace

std::pair<QDate, QDate> TdmNuovoAnnoQuery::DateSuite(const QString& annoDigitato) {
  bool ok = false;
  const int anno = annoDigitato.trimmed().toInt(&ok);
  if (!ok || anno < 1970 || anno > 2050) return {};
  const QVariantList q =
      KvSql::FirstRow(QStringLiteral(" SELECT TANF_ANNIFINANZ.DANFKALVOINIZIO, TANF_ANNIFINANZ.DANFKALVOFINE FROM "
                                     "TANF_ANNIFINANZ WHERE TANF_ANNIFINANZ.IANFVALORE = :IANFVALORE"),
                      {{QStringLiteral("IANFVALORE"), anno}})
          .value_or({});
  if (q.size() < 2) return {};
  return {q[0].toDate(), q[1].toDate()};
}

std::pair<QDate, QDate> TdmNuovoAnnoQuery::DateEffettive(int idDwgAnf) {
  const QVariantList q =
      KvSql::FirstRow(QStringLiteral("SELECT COALESCE(TDWGANF.DDWGANFINIZIO, TANF_ANNIFINANZ.DANFKALVOINIZIO), "
                                     "COALESCE(TDWGANF.DDWGANFFINE, TANF_ANNIFINANZ.DANFKALVOFINE) FROM TDWGANF INNER "
                                     "JOIN TANF_ANNIFINANZ ON (TDWGANF.IANFID = TANF_ANNIFINANZ.IANFID) WHERE "
                                     "TDWGANF.IDWGANFID = :ID"),
                      {{QStringLiteral("ID"), idDwgAnf}})
          .value_or({});
  if (q.size() < 2) return {};
  return {q[0].toDate(), q[1].toDate()};
}

TdmNuovoAnnoQuery::Esito TdmNuovoAnnoQuery::Verifica(const Riga& r) {
  Esito esito;
  auto refused = [&esito](Campo campo, const QStringList& righe) {
    rifiuta(righe);
    esito.campo = campo;
    return esito;
  };
  if (r.anno == 0)
    return refused(Campo::Anno, {QStringLiteral("Campo obbligatorio \"Anno Finanziario\".")});
  if (annoGiaDefinito(r)) return refused(Campo::Anno, {QStringLiteral("Anno Finanziario già definito.")});

  const auto suite = DateSuite(QString::number(r.anno));
  QDate s = suite.first, e = suite.second;
  if (r.personalizzate && (r.inizio.isValid() || r.fine.isValid())) {
    if (r.inizio.isValid() != r.fine.isValid())
      return refused(r.inizio.isValid() ? Campo::Fine : Campo::Inizio,
                     {QStringLiteral("Se si vogliono personalizzare le date di inizio e fine è necessario "
                                     "specificarle entrambe.")});
    if (r.fine < r.inizio)
      return refused(Campo::Fine, {QStringLiteral("La data di fine deve essere maggiore di quella di inizio.")});
    s = r.inizio;
    e = r.fine;
  }
  if (s > QDate(r.anno, 12, 31))
    return refused(Campo::Inizio, {QStringLiteral("La data d'inizio non può essere accettata in quanto maggiore "
                                                  "dell'anno finanziario selezionato.")});
  if (e < QDate(r.anno, 1, 1))
    return refused(Campo::Fine, {QStringLiteral("La data di fine non può essere accettata in quanto minore "
                                                "dell'anno finanziario selezionato.")});

  const bool stessoAnno = !r.inserimento && r.anno == r.annoSalvato;
  const QString sovrapponeInizio = QStringLiteral(
      "La data d'inizio non può essere accettata, perchè si sovrappone ad un anno finanziario già definito.");
  const QString sovrapponeFine = QStringLiteral(
      "La data di fine dell'Anno Finanziario non può essere accettata, perchè si sovrappone ad un anno "
      "finanziario già definito.");

  if (const auto p = vicino(r, true)) {
    const bool contiguo = stessoAnno && r.inizioSalvato.isValid() && r.inizioSalvato == p->fine.addDays(1);
    if (contiguo && s != r.inizioSalvato) {
      if (s <= p->inizio)
        return refused(Campo::Inizio, {sovrapponeInizio, QStringLiteral("L'anno finanziario può partire dal %1 in poi.")
                                                             .arg(data(p->inizio.addDays(1)))});
      if (!chiedi(spostamento(QStringLiteral("Modificando la data d'inizio si modificherà automaticamente la durata "
                                             "dell'anno finanziario precedente."),
                              QStringLiteral("Anno finanziario precedente"), *p, p->inizio, s.addDays(-1)))) {
        esito.campo = Campo::Inizio;
        return esito;
      }
      esito.aggiornamenti << aggiornamento(p->inizio, s.addDays(-1), p->id);
    } else if (!contiguo) {
      if (s <= p->fine)
        return refused(Campo::Inizio, {sovrapponeInizio, QStringLiteral("L'anno finanziario può partire dal %1 in poi.")
                                                             .arg(data(p->fine.addDays(1)))});
      if (s > p->fine.addDays(1) && !confermaBuco(p->fine.addDays(1), s.addDays(-1))) {
        esito.campo = Campo::Inizio;
        return esito;
      }
    }
  }

  if (const auto n = vicino(r, false)) {
    const bool contiguo = stessoAnno && r.fineSalvato.isValid() && r.fineSalvato == n->inizio.addDays(-1);
    if (contiguo && e != r.fineSalvato) {
      if (e >= n->fine)
        return refused(Campo::Fine, {sovrapponeFine, QStringLiteral("L'anno finanziario può terminare al massimo il %1 .")
                                                         .arg(data(n->fine.addDays(-1)))});
      if (!chiedi(spostamento(QStringLiteral("Modificando la data di fine si modificherà automaticamente la durata "
                                             "dell'anno finanziario successivo."),
                              QStringLiteral("Anno finanziario successivo"), *n, e.addDays(1), n->fine))) {
        esito.campo = Campo::Fine;
        return esito;
      }
      esito.aggiornamenti << aggiornamento(e.addDays(1), n->fine, n->id);
    } else if (!contiguo) {
      if (e >= n->inizio)
        return refused(Campo::Fine, {sovrapponeFine, QStringLiteral("L'anno finanziario può terminare al massimo il %1 .")
                                                         .arg(data(n->inizio.addDays(-1)))});
      if (e < n->inizio.addDays(-1) && !confermaBuco(e.addDays(1), n->inizio.addDays(-1))) {
        esito.campo = Campo::Fine;
        return esito;
      }
    }
  }
  esito.ok = true;
  esito.inizio = s;
  esito.fine = e;
  return esito;
}

// ---- the module --------------------------------------------------------------

TdmNuovoAnnoQuery::TdmNuovoAnnoQuery(QObject* parent)
    : QObject(parent), xqcDataOwner(new TKvQueryCollection(this)), xqcAnniFinanziari(new TKvQueryCollection(this)) {
  xqcDataOwner->setObjectName(QStringLiteral("xqcDataOwner"));
  xqcDataOwner->SetCommandText(kIstituti);
  xqcDataOwner->SetKeyField(QStringLiteral("IDWGID"));
  xqcDataOwner->SetAutoBuildSQL(false);
  xqcDataOwner->SetFilter(QStringLiteral("PRINCIPALE = 0"));

  xqcAnniFinanziari->setObjectName(QStringLiteral("xqcAnniFinanziari"));
  xqcAnniFinanziari->SetCommandText(kAnni);
  xqcAnniFinanziari->SetKeyField(QStringLiteral("IDWGANFID"));
  xqcAnniFinanziari->SetTableName(QStringLiteral("TDWGANF"));
  xqcAnniFinanziari->SetAutoBuildSQL(false);
  xqcAnniFinanziari->SetParam(QStringLiteral("IDWGID"), -1);
  xqcAnniFinanziari->SQLInsert() << kInserisciAnno;
  xqcAnniFinanziari->SQLUpdate() << kAggiornaAnno;
  // The select does not carry the institute: a new link takes the one the
  // years are shown for.
  xqcAnniFinanziari->KvBeforeExec = [this](TKvQueryProp& prop) {
    if (prop.QueryKind == TKvQueryProp::Insert && prop.TableName == QLatin1String("TDWGANF"))
      prop.FieldValues->Add(QStringLiteral("iDwgId"), m_dwgId);
  };

  connect(xqcDataOwner, &TKvQueryCollection::currentChanged, this, &TdmNuovoAnnoQuery::seguiIstituto);
  connect(xqcDataOwner, &TKvQueryCollection::rowsReset, this, &TdmNuovoAnnoQuery::seguiIstituto);
  connect(xqcDataOwner, &TKvQueryCollection::closed, this, &TdmNuovoAnnoQuery::seguiIstituto);
}

bool TdmNuovoAnnoQuery::Apri() {
  if (gModulo) return true;
  if (!QCoreApplication::instance()) return false;
  // Owned by the application, so it goes before the database driver does.
  auto* modulo = new TdmNuovoAnnoQuery(QCoreApplication::instance());
  const QString connessione = TdmKvConnection::ConnectionName();
  if (!TdmKvConnection::IsOpen()) {
    delete modulo;
    return false;
  }
  modulo->xqcDataOwner->SetConnectionName(connessione);
  modulo->xqcAnniFinanziari->SetConnectionName(connessione);
  gModulo = modulo;
  return true;
}

TdmNuovoAnnoQuery* TdmNuovoAnnoQuery::Modulo() {
  return gModulo.data();
}

void TdmNuovoAnnoQuery::Libera() {
  delete gModulo.data();
}

bool TdmNuovoAnnoQuery::NessunAnnoIstituti() {
  // Not readable: the full list of institutes, as when some have years.
  const KvResult<QVariantList> row = KvSql::FirstRow(
      QStringLiteral(" SELECT VDOW_DATAOWNER.IDWGID FROM VDOW_DATAOWNER JOIN TDWGANF ON (TDWGANF.IDWGID = "
                     "VDOW_DATAOWNER.IDWGID AND VDOW_DATAOWNER.IDOWID IS NOT NULL)"));
  return row && row->isEmpty();
}

KvStatus TdmNuovoAnnoQuery::ApriIstituti() {
  if (xqcDataOwner->Active()) return xqcDataOwner->Refresh();
  return xqcDataOwner->Open();
}

void TdmNuovoAnnoQuery::ChiudiListe() {
  xqcAnniFinanziari->Close();
  xqcDataOwner->Close();
}

bool TdmNuovoAnnoQuery::MostraSoloPrincipale(bool on) {
  return xqcDataOwner->SetFiltered(on).ok();
}

void TdmNuovoAnnoQuery::ImpostaAggiornamenti(const QStringList& vicini) {
  xqcAnniFinanziari->SQLUpdate() = vicini;
  xqcAnniFinanziari->SQLUpdate() << kAggiornaAnno;
}

void TdmNuovoAnnoQuery::seguiIstituto() {
  if (!xqcDataOwner->Active()) {
    m_dwgId = -1;
    xqcAnniFinanziari->Close();
    return;
  }
  const int dwg = xqcDataOwner->RecNo() >= 0 ? xqcDataOwner->FieldValue(QStringLiteral("IDWGID")).toInt() : -1;
  if (dwg == m_dwgId && xqcAnniFinanziari->Active()) return;
  m_dwgId = dwg;
  xqcAnniFinanziari->Close();
  xqcAnniFinanziari->SetParam(QStringLiteral("IDWGID"), dwg);
  KvReport(xqcAnniFinanziari->Open());
}
