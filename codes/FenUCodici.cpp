#include "FenUCodici.h"

#include "FenFSearchCCD.h"
#include "KvConnection.h"
#include "KvSql.h"
#include "KvQueryCollection.h"
#include "KvTransaction.h"
#include "TKvDBLookupEdit.h"
#include "TfmKvSearch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

QString SiglaTipoCodice(int tipo) {
  switch (tipo) {
    case CcdCig:
      return QStringLiteral("CIG");
    case CcdCup:
      return QStringLiteral("CUP");
    case CcdDurc:
      return QStringLiteral("DURC");
    default:
      return {};
  }
}

QString ColonnaCodice(int tipo) {
  switch (tipo) {
    case CcdCup:
      return QStringLiteral("iCcdId_cup");
    case CcdDurc:
      return QStringLiteral("iCcdId_durc");
    default:
      return QStringLiteral("iCcdId_cig");
  }
}

QString SqlTotaliCodice(int tipo, TotaliCodice regola) {
  const QString col = ColonnaCodice(tipo);
  const bool archivio = regola == TotaliCodice::Archivio;
  const QString statoPagato = archivio ? QStringLiteral(" AND mp.iStmvId = 4") : QString();
  const QString confronto = archivio ? QStringLiteral(">=") : QStringLiteral(">");
  return QStringLiteral(
             "COALESCE((SELECT SUM(mp.fMovImpPagato) FROM TMov_Movimenti mp "
             "WHERE mp.iTpmId = 4%1 AND mp.%2 = ccd.iCcdId), 0) AS fImpPagato, "
             "COALESCE((SELECT SUM(COALESCE(mi.fMovImpPagato, 0) + COALESCE(mi.fMovImpDaPagare, 0) - "
             "COALESCE((SELECT SUM(md.fMovImpTotale) FROM TLkm_LinkMov lk "
             "INNER JOIN TMov_Movimenti md ON md.iMovId = lk.iMovId "
             "WHERE lk.iMovId_p = mi.iMovId AND mi.fMovImpDaPagare > 0 AND mi.fMovImpDaPagare %3 md.fMovImpTotale), "
             "0)) "
             "FROM TMov_Movimenti mi WHERE mi.iTpmId = 3 AND mi.%2 = ccd.iCcdId), 0) AS fImpImpegnato")
      .arg(statoPagato, col, confronto);
}

namespace {

QString colonneLista(int tipo, TotaliCodice regola) {
  return QStringLiteral(
             "SELECT ccd.iCcdId, ccd.iTccdId, ccd.sCcdCodice, ccd.dCcdDataAssegn, ccd.dCcdDataScad, ccd.sCcdLDesc, "
             "ccd.iBenId, ben.sBenRagSoc, ccd.fCcdImporto, %1, "
             "COALESCE((SELECT SUM(idc.fIdcImponibile) FROM TIdc_InvDoc idc "
             "WHERE idc.%2 = ccd.iCcdId AND COALESCE(idc.iTidId, 0) <> 2), 0) AS fImponibFatt")
      .arg(SqlTotaliCodice(tipo, regola), ColonnaCodice(tipo));
}

const QString kFromLista = QStringLiteral(
    " FROM TCcd_CigCupDurc ccd LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = ccd.iBenId "
    "WHERE ccd.iTccdId = :iTccdId AND COALESCE(ben.iBenId, 0) LIKE :iBenId "
    "ORDER BY ccd.dCcdDataAssegn DESC");

// "1 when some row of the table refers to the code, NULL otherwise".
QString presenza(const QString& tabella, const QString& colonna, const QString& nome) {
  if (colonna.isEmpty()) return QStringLiteral("CAST(NULL AS INTEGER) AS %1").arg(nome);
  return QStringLiteral("(SELECT FIRST 1 1 FROM %1 x WHERE x.%2 = ccd.iCcdId) AS %3").arg(tabella, colonna, nome);
}

}  // namespace

QString SqlListaArchivio(int tipo) {
  const QString col = ColonnaCodice(tipo);
  // Procedures carry no DURC: a DURC is used by the offers.
  const QString prev = tipo == CcdDurc ? presenza(QStringLiteral("TOff_Offerte"), col, QStringLiteral("prev"))
                                       : presenza(QStringLiteral("TPre_Preventivi"), col, QStringLiteral("prev"));
  // Inventory vouchers carry a CIG and a DURC, never a CUP.
  const QString inv = presenza(QStringLiteral("TBuo_Buoni"), tipo == CcdCup ? QString() : col, QStringLiteral("inv"));
  const QStringList flags = {presenza(QStringLiteral("TMov_Movimenti"), col, QStringLiteral("contab")),
                             presenza(QStringLiteral("TMgm_MovMagazzino"), col, QStringLiteral("mag")),
                             prev,
                             presenza(QStringLiteral("TOmg_OrdiniMagaz"), col, QStringLiteral("ord")),
                             inv,
                             presenza(QStringLiteral("TIdc_InvDoc"), col, QStringLiteral("fatt"))};
  return colonneLista(tipo, TotaliCodice::Archivio) + QStringLiteral(", ") + flags.join(QStringLiteral(", ")) +
         kFromLista;
}

QString SqlListaDialogo(int tipo) {
  return colonneLista(tipo, TotaliCodice::Dialogo) + kFromLista;
}

QString SqlInsertCodice() {
  return QStringLiteral(
      "INSERT INTO TCcd_CigCupDurc (iCcdId, iTccdId, sCcdCodice, dCcdDataAssegn, dCcdDataScad, sCcdLDesc, iBenId, "
      "fCcdImporto) VALUES (:KVGENID, :iTccdId, :sCcdCodice, :dCcdDataAssegn, :dCcdDataScad, :sCcdLDesc, :iBenId, "
      ":fCcdImporto)");
}

QString SqlUpdateCodice() {
  return QStringLiteral(
      "UPDATE TCcd_CigCupDurc SET sCcdCodice = :sCcdCodice, dCcdDataAssegn = :dCcdDataAssegn, "
      "dCcdDataScad = :dCcdDataScad, sCcdLDesc = :sCcdLDesc, iBenId = :iBenId, fCcdImporto = :fCcdImporto "
      "WHERE iCcdId = :KVCURRID");
}

QString SqlDeleteCodice() {
  return QStringLiteral("DELETE FROM TCcd_CigCupDurc WHERE iCcdId = :KVCURRID");
}

QString SqlMovimentiCollegati() {
  // UNION ALL: two movements that happen to look alike are still two rows.
  return QStringLiteral(
      "SELECT CAST(UPPER(tpm.sTpmDescL) || ' (CONTABILITA'')' AS VARCHAR(200)) AS sTipoMov, "
      "CAST(COALESCE(NULLIF(TRIM(mov.sMovCod), ''), mov.sMovDescS) AS VARCHAR(255)) AS sNumero, "
      "CAST(CASE WHEN mov.iTpmId IN (1, 3) THEN mov.dStart ELSE mov.dMovDataEmissione END AS DATE) AS dData, "
      "CAST(ben.sBenRagSoc AS VARCHAR(120)) AS sBenRagSoc, "
      "CAST(CASE WHEN mov.iTpmId IN (1, 3) THEN mov.fMovImpTotale ELSE mov.fMovImpPagato END AS NUMERIC(18, 6)) "
      "AS fImporto, mov.iLocked AS iLocked "
      "FROM TMov_Movimenti mov LEFT JOIN TTpm_TipoMov tpm ON tpm.iTpmId = mov.iTpmId "
      "LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = mov.iBenId "
      "WHERE mov.iCcdId_cig = :iCcdId OR mov.iCcdId_cup = :iCcdId OR mov.iCcdId_durc = :iCcdId "
      "UNION ALL "
      "SELECT UPPER(tbu.sTbuDescS) || ' (MAGAZZINO)', mgm.sMgmCod, mgm.dMgmDataMovimento, ben.sBenRagSoc, "
      "CAST(NULL AS NUMERIC(18, 6)), mgm.iLocked "
      "FROM TMgm_MovMagazzino mgm LEFT JOIN TTbu_TipiBuoni tbu ON tbu.iTbuId = mgm.iTbuId "
      "LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = mgm.iBenId "
      "WHERE mgm.iCcdId_cig = :iCcdId OR mgm.iCcdId_cup = :iCcdId OR mgm.iCcdId_durc = :iCcdId "
      "UNION ALL "
      "SELECT 'PREVENTIVO (PUX)', pre.sPreCod, pre.dPreData, CAST(NULL AS VARCHAR(120)), "
      "CAST(NULL AS NUMERIC(18, 6)), pre.iLocked "
      "FROM TPre_Preventivi pre WHERE pre.iCcdId_cig = :iCcdId OR pre.iCcdId_cup = :iCcdId "
      "UNION ALL "
      "SELECT 'OFFERTA (PUX)', pre.sPreCod, off.dOffData, ben.sBenRagSoc, off.fOffImporto, off.iLocked "
      "FROM TOff_Offerte off INNER JOIN TPreBen pb ON pb.iPreBenId = off.iPreBenId "
      "INNER JOIN TPre_Preventivi pre ON pre.iPreId = pb.iPreId "
      "LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = pb.iBenId "
      "WHERE off.iCcdId_durc = :iCcdId "
      "UNION ALL "
      "SELECT 'BUONO D''ORDINE (MAGAZZINO)', omg.sOmgCod, omg.dOmgDataOrdine, ben.sBenRagSoc, omg.fOmgImporto, "
      "omg.iLocked "
      "FROM TOmg_OrdiniMagaz omg LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = omg.iBenId "
      "WHERE omg.iCcdId_cig = :iCcdId OR omg.iCcdId_cup = :iCcdId OR omg.iCcdId_durc = :iCcdId "
      "UNION ALL "
      "SELECT 'BUONO DI CARICO (INVENTARIO)', LPAD(CAST(buo.iBuoNumero AS VARCHAR(12)), 7, '0'), buo.dBuoData, "
      "ben.sBenRagSoc, buo.iBuoImporto, buo.iLocked "
      "FROM TBuo_Buoni buo LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = buo.iBenId "
      "WHERE buo.iBuoTipo = 0 AND (buo.iCcdId_cig = :iCcdId OR buo.iCcdId_durc = :iCcdId) "
      "UNION ALL "
      "SELECT 'FATTURA', idc.sIdcNumero, idc.dIdcData, ben.sBenRagSoc, idc.fIdcImporto, 0 "
      "FROM TIdc_InvDoc idc LEFT JOIN TBen_Beneficiari ben ON ben.iBenId = idc.iBenId "
      "WHERE idc.iCcdId_cig = :iCcdId OR idc.iCcdId_cup = :iCcdId OR idc.iCcdId_durc = :iCcdId");
}

int ContaMovimentiCollegati(int iCcdId) {
  return KvSql::Scalar(QStringLiteral("SELECT COUNT(*) FROM (%1) movcoll").arg(SqlMovimentiCollegati()),
                       {{QStringLiteral("iCcdId"), iCcdId}})
      .value_or(QVariant(-1))
      .toInt();
}

int ContaRiferimentiCodice(int iCcdId) {
  const QString tre = QStringLiteral("iCcdId_cig = :iCcdId OR iCcdId_cup = :iCcdId OR iCcdId_durc = :iCcdId");
  const QString sql =
      QStringLiteral(
          "SELECT (SELECT COUNT(*) FROM TMov_Movimenti WHERE %1) + (SELECT COUNT(*) FROM TMgm_MovMagazzino WHERE %1) "
          "+ (SELECT COUNT(*) FROM TPre_Preventivi WHERE iCcdId_cig = :iCcdId OR iCcdId_cup = :iCcdId) "
          "+ (SELECT COUNT(*) FROM TOff_Offerte WHERE iCcdId_durc = :iCcdId) "
          "+ (SELECT COUNT(*) FROM TOmg_OrdiniMagaz WHERE %1) "
          "+ (SELECT COUNT(*) FROM TBuo_Buoni WHERE iCcdId_cig = :iCcdId OR iCcdId_durc = :iCcdId) "
          "+ (SELECT COUNT(*) FROM TIdc_InvDoc WHERE %1) "
          "+ (SELECT COUNT(*) FROM TAvc_Avcp WHERE iCcdId_cig = :iCcdId) FROM RDB$DATABASE")
          .arg(tre);
  return KvSql::Scalar(sql, {{QStringLiteral("iCcdId"), iCcdId}}).value_or(QVariant(-1)).toInt();
}

QString TestoCampoObbligatorio(const QString& campo) {
  return QStringLiteral("Il campo '%1' deve avere un valore.").arg(campo);
}

namespace {

// Runs the copy statement for every movement of one type with the code as
// CIG, in one transaction.
KvStatus copiaCig(int iCcdId, int tipoMovimenti, const QString& statement) {
  return KvInTransaction(qqoKvGlobConn(), [&]() -> KvStatus {
    QList<int> movimenti;
    const KvStatus read = KvSql::Rows(
        QStringLiteral("SELECT iMovId FROM TMov_Movimenti WHERE iTpmId = :iTpmId AND iCcdId_cig = :iCcdId"),
        {{QStringLiteral("iTpmId"), tipoMovimenti}, {QStringLiteral("iCcdId"), iCcdId}},
        [&](const QSqlQuery& q) { movimenti << q.value(0).toInt(); });
    if (!read) return read;
    for (const int iMovId : movimenti)
      if (KvStatus copiato = KvSql::Exec(statement, {{QStringLiteral("iMovId"), iMovId}}); !copiato) return copiato;
    return {};
  });
}

}  // namespace

KvStatus CopiaCigNegliImpegni(int iCcdId) {
  return copiaCig(
      iCcdId, 4,
      QStringLiteral(
          "UPDATE TMov_Movimenti mov_cig SET iCcdId_cig = (SELECT iCcdId_cig FROM TMov_Movimenti mov_s WHERE "
          "mov_s.iMovId = :iMovId) WHERE mov_cig.iTpmId = 3 AND (SELECT COUNT(iMovId_p) FROM TLkm_LinkMov WHERE "
          "iMovId = :iMovId) = 1 AND mov_cig.iCcdId_cig IS NULL AND mov_cig.iMovId = (SELECT FIRST 1 iMovId_p FROM "
          "TLkm_LinkMov WHERE iMovId = :iMovId)"));
}

KvStatus CopiaCigNeiMandati(int iCcdId) {
  return copiaCig(
      iCcdId, 3,
      QStringLiteral(
          "UPDATE TMov_Movimenti mov_cig SET iCcdId_cig = (SELECT iCcdId_cig FROM TMov_Movimenti mov_s WHERE "
          "mov_s.iMovId = :iMovId) WHERE mov_cig.iTpmId = 4 AND (SELECT COUNT(iMovId) FROM TLkm_LinkMov WHERE "
          "iMovId_p = :iMovId) = 1 AND mov_cig.iCcdId_cig IS NULL AND mov_cig.iMovId = (SELECT FIRST 1 iMovId FROM "
          "TLkm_LinkMov WHERE iMovId_p = :iMovId)"));
}

bool EseguibileFen() {
  return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLower() == QLatin1String("fen.exe");
}

void ImpostaListaCodici(TKvDBLookupEdit& lookup, int tipo, int idBeneficiario, const QDate& data) {
  // Numbers and the date are formatted here, never text typed by the user.
  const QString scadenza = data.isValid()
                               ? QStringLiteral(" AND (ccd.dCcdDataScad IS NULL OR ccd.dCcdDataScad >= '%1')")
                                     .arg(data.toString(Qt::ISODate))
                               : QString();
  lookup.SetListCommandText(
      QStringLiteral(
          "SELECT ccd.iCcdId, ccd.dCcdDataAssegn, ccd.sCcdCodice, ccd.sCcdLDesc, ccd.dCcdDataScad, %1, "
          "ccd.fCcdImporto FROM TCcd_CigCupDurc ccd WHERE ccd.iTccdId = %2 AND COALESCE(ccd.iBenId, 0) = %3%4 "
          "AND ##WHERE##")
          .arg(SqlTotaliCodice(tipo, TotaliCodice::Archivio))
          .arg(tipo)
          .arg(idBeneficiario)
          .arg(scadenza));
  lookup.RefreshList();
}

void ImpostaRicercaCodici(TfmKvSearch& form, int tipo, int idBeneficiario) {
  const QString sigla = SiglaTipoCodice(tipo);
  // Every listed column may be searched, dates and amounts too.
  KvColumns colonne = {{.field = "DCCDDATAASSEGN", .caption = "Data assegn.", .width = 80, .searchable = true},
                       {.field = "SCCDCODICE", .caption = sigla, .width = 120, .searchable = true},
                       {.field = "SCCDLDESC", .caption = "Descrizione", .width = 200, .searchable = true},
                       {.field = "DCCDDATASCAD", .caption = "Data scadenza", .width = 90, .searchable = true}};
  if (tipo == CcdCig)
    colonne << KvColumn{.field = "FIMPPAGATO", .caption = "Totale Pagato", .width = 90, .searchable = true}
            << KvColumn{.field = "FIMPIMPEGNATO", .caption = "Totale Impegnato", .width = 105, .searchable = true};
  form.SetCaption(QStringLiteral("Scelta %1").arg(sigla));
  form.Fields().SetColumns(colonne);
  form.SetWidth(tipo == CcdCig ? 745 : 550);
  if (auto* ricerca = qobject_cast<TfmFenSearchCCD*>(&form))
    ricerca->SetTipo(tipo, tipo == CcdDurc ? idBeneficiario : 0);
}

void PreparaLookupCodici(TKvDBLookupEdit& lookup, int tipo, std::function<int()> beneficiario) {
  lookup.SetKeyField(QStringLiteral("ccd.iCcdId"));
  lookup.SetListField(QStringLiteral("sCcdCodice"));
  lookup.SetListSearchField(QStringLiteral("ccd.sCcdCodice"));
  lookup.SetSearchForm(QStringLiteral("TfmFenSearchCCD"));
  lookup.OnShowSearchForm = [tipo, beneficiario = std::move(beneficiario)](TKvDBLookupEdit&, TfmKvSearch& form, bool&) {
    ImpostaRicercaCodici(form, tipo, beneficiario ? beneficiario() : 0);
  };
}
