#include "AbzMTabelle.h"

#include "KvConnection.h"
#include "KvQueryCollection.h"
#include "KvSql.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSqlQuery>

namespace {

QPointer<TdmAbzTabelle> gModulo;

const QString kVoidCodice = QStringLiteral("Inserire il codice!");
const QString kFattoreNonPositivo = QStringLiteral("Il fattore di conversione deve essere maggiore di zero!");

TKvQueryCollection* collezione(QObject* parent, const char* nome, const QString& select, const char* chiave) {
  auto* c = new TKvQueryCollection(parent);
  c->setObjectName(QString::fromLatin1(nome));
  c->SetCommandText(select);
  c->SetKeyField(QString::fromLatin1(chiave));
  return c;
}

// A table whose statements the collection builds from its list.
TKvQueryCollection* costruita(QObject* parent, const char* nome, const QString& select, const char* chiave) {
  TKvQueryCollection* c = collezione(parent, nome, select, chiave);
  c->SetAutoBuildSQL(true);
  return c;
}

// A table written only through the statements given; it has no delete
// statement, so nothing deletes its rows.
TKvQueryCollection* scritta(QObject* parent, const char* nome, const QString& select, const char* chiave,
                            const QString& insert, const QString& update) {
  TKvQueryCollection* c = collezione(parent, nome, select, chiave);
  c->SetAutoBuildSQL(false);
  c->SQLInsert() << insert;
  c->SQLUpdate() << update;
  return c;
}

const QString kTipiBuoni = QStringLiteral(
    " SELECT TTBU_TIPIBUONI.ITBUID, TTBU_TIPIBUONI.STBUCOD, TTBU_TIPIBUONI.STBUDESCS, TTBU_TIPIBUONI.ITBUTIPO, "
    "TPRD_PROVDES.IPRDID, TPRD_PROVDES.SPRDDESCS, TPRD_PROVDES.SPRDDESCL, TTBU_TIPIBUONI.ILOCKED FROM TTBU_TIPIBUONI "
    "INNER JOIN TPRD_PROVDES ON (TTBU_TIPIBUONI.IPRDID = TPRD_PROVDES.IPRDID) WHERE TTBU_TIPIBUONI.ITBUTIPO = "
    ":ITBUTIPO");
const QString kInserisciTipoBuono = QStringLiteral(
    " INSERT INTO TTBU_TIPIBUONI (ITBUID, IPRDID, ITBUTIPO, STBUCOD, STBUDESCS) VALUES (:KVGENID, :IPRDID, :ITBUTIPO, "
    ":STBUCOD, :STBUDESCS)");
const QString kAggiornaTipoBuono = QStringLiteral(
    " UPDATE TTBU_TIPIBUONI SET IPRDID = :IPRDID, STBUCOD = :STBUCOD, STBUDESCS = :STBUDESCS WHERE ITBUID = "
    ":KVCURRID");

}  // namespace

TdmAbzTabelle::TdmAbzTabelle(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("dmAbzTabelle"));
  xqcAliquoteIVA = costruita(this, "xqcAliquoteIVA",
                             QStringLiteral(" SELECT TALV_ALIQUOTEIVA.IALVID, TALV_ALIQUOTEIVA.SALVDESCS, "
                                            "TALV_ALIQUOTEIVA.SALVDESCL, TALV_ALIQUOTEIVA.FALVIVA, "
                                            "TALV_ALIQUOTEIVA.ILOCKED FROM TALV_ALIQUOTEIVA"),
                             "IALVID");
  xqcUniMisura = costruita(
      this, "xqcUniMisura",
      QStringLiteral(" SELECT TUNM_UNITAMISURA.IUNMID, TUNM_UNITAMISURA.SUNMCOD, TUNM_UNITAMISURA.SUNMDESCS, "
                     "TUNM_UNITAMISURA.SUNMDESCL, TUNM_UNITAMISURA.SUNMMISCARICO, TUNM_UNITAMISURA.SUNMMISSCARICO, "
                     "TUNM_UNITAMISURA.FUNMFATTOREPROP, TUNM_UNITAMISURA.ILOCKED FROM TUNM_UNITAMISURA"),
      "IUNMID");
  xqcTipoDestinazioni = costruita(this, "xqcTipoDestinazioni",
                                  QStringLiteral(" SELECT TTPD_TIPODESTINAZ.ITPDID, TTPD_TIPODESTINAZ.STPDDESCS, "
                                                 "TTPD_TIPODESTINAZ.STPDDESCL, TTPD_TIPODESTINAZ.ILOCKED FROM "
                                                 "TTPD_TIPODESTINAZ"),
                                  "ITPDID");
  xqcCollocazioni = costruita(this, "xqcCollocazioni",
                              QStringLiteral(" SELECT TCLC_COLLOCAZIONI.ICLCID, TCLC_COLLOCAZIONI.SCLCDESCS, "
                                             "TCLC_COLLOCAZIONI.SCLCDESCL FROM TCLC_COLLOCAZIONI"),
                              "ICLCID");
  // DEF is an empty column where the grid draws the default mark.
  xqcCondFornitura = costruita(this, "xqcCondFornitura",
                               QStringLiteral(" SELECT TCDF_CONDFORNITURA.ICDFID, TCDF_CONDFORNITURA.SCDFDESCS, "
                                              "TCDF_CONDFORNITURA.SCDFDESCL, TCdf_CondFornitura.lCdfDefault, null as "
                                              "def FROM TCDF_CONDFORNITURA"),
                               "ICDFID");
  xqcCodMerceologici = scritta(
      this, "xqcCodMerceologici",
      QStringLiteral(" SELECT TMER_CODICIMERCEOL.IMERID, TMER_CODICIMERCEOL.SMERCODICE, TMER_CODICIMERCEOL.SMERDESC "
                     "FROM TMER_CODICIMERCEOL"),
      "IMERID",
      QStringLiteral(" INSERT INTO TMER_CODICIMERCEOL (IMERID, SMERCODICE, SMERDESC, LMERPRG) VALUES (:KVGENID, "
                     ":SMERCODICE, :SMERDESC, 'M')"),
      QStringLiteral(" UPDATE TMER_CODICIMERCEOL SET SMERCODICE = :SMERCODICE, SMERDESC = :SMERDESC WHERE IMERID = "
                     ":KVCURRID"));
  xqcDettCodMerc = scritta(
      this, "xqcDettCodMerc",
      QStringLiteral(" SELECT TDCM_DETTCODMERC.IDCMID, TDCM_DETTCODMERC.SDCMDESCS, TDCM_DETTCODMERC.SDCMDESCL FROM "
                     "TDCM_DETTCODMERC WHERE TDCM_DETTCODMERC.IMERID = :IMERID"),
      "IDCMID",
      QStringLiteral(" INSERT INTO TDCM_DETTCODMERC (IDCMID, IMERID, SDCMDESCS, SDCMDESCL) VALUES (:KVGENID, :IMERID, "
                     ":SDCMDESCS, :SDCMDESCL)"),
      QStringLiteral(" UPDATE TDCM_DETTCODMERC SET SDCMDESCS = :SDCMDESCS, SDCMDESCL = :SDCMDESCL WHERE IDCMID = "
                     ":KVCURRID"));
  xqcDettCodMerc->SetParam(QStringLiteral("IMERID"), QVariant(QMetaType::fromType<int>()));
  xqcTipiBuoniCarico =
      scritta(this, "xqcTipiBuoniCarico", kTipiBuoni, "ITBUID", kInserisciTipoBuono, kAggiornaTipoBuono);
  xqcTipiBuoniCarico->SetParam(QStringLiteral("ITBUTIPO"), 0);
  xqcTipiBuoniScarico =
      scritta(this, "xqcTipiBuoniScarico", kTipiBuoni, "ITBUID", kInserisciTipoBuono, kAggiornaTipoBuono);
  xqcTipiBuoniScarico->SetParam(QStringLiteral("ITBUTIPO"), 1);
  xqcOrgDelibera = scritta(
      this, "xqcOrgDelibera",
      QStringLiteral(" SELECT TORD_ORGDELIBERA.IORDID, TORD_ORGDELIBERA.SORDDESCS, TORD_ORGDELIBERA.SORDDESCL, "
                     "TORD_ORGDELIBERA.ILOCKED FROM TORD_ORGDELIBERA WHERE DDELETE IS NULL ORDER BY "
                     "TORD_ORGDELIBERA.IORDID"),
      "IORDID",
      QStringLiteral(" INSERT INTO TORD_ORGDELIBERA (IORDID, SORDDESCS, SORDDESCL) VALUES (:KVGENID, :SORDDESCS, "
                     ":SORDDESCL)"),
      QStringLiteral(" UPDATE TORD_ORGDELIBERA SET TORD_ORGDELIBERA.SORDDESCS = :SORDDESCS, "
                     "TORD_ORGDELIBERA.SORDDESCL = :SORDDESCL WHERE TORD_ORGDELIBERA.IORDID = :KVCURRID"));

  // Values the list of a collection cannot give its insert.
  auto tipoBuono = [](int tipo) {
    return [tipo](TKvQueryProp& p) {
      if (p.QueryKind == TKvQueryProp::Insert && p.TableName == QLatin1String("TTBU_TIPIBUONI"))
        p.FieldValues->Add(QStringLiteral("ITBUTIPO"), tipo);
    };
  };
  xqcTipiBuoniCarico->KvBeforeExec = tipoBuono(0);
  xqcTipiBuoniScarico->KvBeforeExec = tipoBuono(1);
  xqcDettCodMerc->KvBeforeExec = [this](TKvQueryProp& p) {
    if (p.QueryKind != TKvQueryProp::Insert || p.TableName != QLatin1String("TDCM_DETTCODMERC")) return;
    // A detail belongs to the stored product code whose details are listed,
    // never to none, and not to the code the list is moving to while the
    // detail is stored on the way.
    if (m_imerid < 0) return p.Refuse(QStringLiteral("Attenzione!\nSalvare prima il codice merceologico."));
    p.FieldValues->Add(QStringLiteral("IMERID"), m_imerid);
  };
  xqcUniMisura->KvBeforeExec = [this](TKvQueryProp& p) {
    if (p.QueryKind == TKvQueryProp::Delete) return;
    if (const auto rifiuto = ControllaUniMisura()) p.Refuse(rifiuto->testo);
  };

  // Every move of the product codes shows the details of the new one.
  connect(xqcCodMerceologici, &TKvQueryCollection::currentChanged, this, [this] { seguiCodMerce(true); });
  connect(xqcCodMerceologici, &TKvQueryCollection::opened, this, [this] { seguiCodMerce(true); });
  connect(xqcCodMerceologici, &TKvQueryCollection::rowsReset, this, [this] { seguiCodMerce(false); });
  // A new code stored: its id is known now.
  connect(xqcCodMerceologici, &TKvQueryCollection::stateChanged, this, [this] { seguiCodMerce(false); });
  connect(xqcCodMerceologici, &TKvQueryCollection::closed, this, [this] {
    xqcDettCodMerc->Close();
    m_imerid = -1;
  });
}

TdmAbzTabelle::~TdmAbzTabelle() = default;

QList<TKvQueryCollection*> TdmAbzTabelle::Collezioni() const {
  return {xqcAliquoteIVA,     xqcUniMisura,   xqcTipoDestinazioni, xqcCollocazioni,     xqcCondFornitura,
          xqcCodMerceologici, xqcDettCodMerc, xqcTipiBuoniCarico,  xqcTipiBuoniScarico, xqcOrgDelibera};
}

KvStatus TdmAbzTabelle::Collega() {
  if (!TdmKvConnection::IsOpen()) return KvFail(QStringLiteral("La connessione al database non è aperta."));
  const QString connessione = TdmKvConnection::ConnectionName();
  for (TKvQueryCollection* c : Collezioni()) {
    // A table missing from the database is found here, not at the first
    // window that lists it.
    QSqlQuery q(qqoKvGlobConn());
    if (!q.prepare(c->CommandText())) return KvSql::Failure(q);
    c->SetConnectionName(connessione);
  }
  return {};
}

std::optional<TdmAbzTabelle::Rifiuto> TdmAbzTabelle::ControllaUniMisura() const {
  const TKvQueryCollection* c = xqcUniMisura;
  if (c->FieldValue(QStringLiteral("SUNMCOD")).toString().trimmed().isEmpty())
    return Rifiuto{QStringLiteral("SUNMCOD"), kVoidCodice};
  // Discharges are divided by the factor: an empty one counts as zero.
  const QVariant fattore = c->FieldValue(QStringLiteral("FUNMFATTOREPROP"));
  if (fattore.isNull() || !(fattore.toDouble() > 0))
    return Rifiuto{QStringLiteral("FUNMFATTOREPROP"), kFattoreNonPositivo};
  return std::nullopt;
}

bool TdmAbzTabelle::CopiaDescrizioneInMisure() {
  TKvQueryCollection* c = xqcUniMisura;
  if (!KvEditing(c->GetState())) return false;
  const QString descrizione = c->FieldValue(QStringLiteral("SUNMDESCS")).toString().trimmed();
  if (descrizione.isEmpty()) return false;
  const QString carico = QStringLiteral("SUNMMISCARICO"), scarico = QStringLiteral("SUNMMISSCARICO");
  if (!c->FieldValue(carico).toString().trimmed().isEmpty() || !c->FieldValue(scarico).toString().trimmed().isEmpty())
    return false;
  // The units hold a few characters, the description many: the copy is cut
  // to each column, or the post would fail on it.
  for (const QString& campo : {carico, scarico}) {
    const int lunghezza = c->FieldSize(campo).length;
    c->SetFieldValue(campo, lunghezza > 0 ? descrizione.left(lunghezza).trimmed() : descrizione);
  }
  return true;
}

void TdmAbzTabelle::seguiCodMerce(bool sempre) {
  TKvQueryCollection* codici = xqcCodMerceologici;
  const bool nuovo = codici->GetState() == KvState::Insert;
  const QVariant id =
      codici->Active() && codici->RecNo() >= 0 && !nuovo ? codici->FieldValue(QStringLiteral("IMERID")) : QVariant();
  const int imerid = id.isNull() ? -1 : id.toInt();
  if (!sempre && imerid == m_imerid && xqcDettCodMerc->Active()) return;
  // A detail being typed is stored before its list goes.
  if (KvEditing(xqcDettCodMerc->GetState())) {
    if (xqcDettCodMerc->SavePending)
      xqcDettCodMerc->SavePending();
    else
      (void)xqcDettCodMerc->Post();
  }
  xqcDettCodMerc->Close();
  m_imerid = imerid;
  if (!codici->Active()) return;
  xqcDettCodMerc->SetParam(QStringLiteral("IMERID"),
                           imerid < 0 ? QVariant(QMetaType::fromType<int>()) : QVariant(imerid));
  // A list that cannot be read stays closed; the window shows it empty.
  (void)xqcDettCodMerc->Open();
}

bool TdmAbzTabelle::Apri() {
  if (gModulo) return true;
  if (!QCoreApplication::instance()) return false;
  // Owned by the application, so it goes before the database driver does.
  auto* modulo = new TdmAbzTabelle(QCoreApplication::instance());
  if (!modulo->Collega()) {
    delete modulo;
    return false;
  }
  gModulo = modulo;
  return true;
}

TdmAbzTabelle* TdmAbzTabelle::Modulo() {
  return gModulo.data();
}

void TdmAbzTabelle::Libera() {
  delete gModulo.data();
}
