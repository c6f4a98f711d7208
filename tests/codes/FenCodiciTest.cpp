#include "FenCodiciFixture.h"
#include "FenMCcdRpt.h"
#include "FenMCCD.h"
#include "FenRCCD.h"
#include "FenRCCDMovColl.h"
#include "KvDialogScript.h"

#include <gtest/gtest.h>

#include <QDateEdit>

namespace {

// Totals of a CIG, CUP and DURC over a small set of movements:
//  CIG 911: orders paid 100 (state 4) and 50 (not paid yet); commitments
//    9010 paid 20, to pay 300, derived 100 (counts) and 400 (above what is
//    left: does not) -> 220; 9020 to pay 80, nothing derived -> 80; 9030
//    paid 50, nothing left to pay, derived 30 (does not count) -> 50; 9040
//    to pay 100 and derived exactly 100: counts in the archive (not below),
//    not in the dialog (not strictly greater) -> 0 or 100. Invoices 500 and
//    30 (no type) count, the credit note of 70 does not.
//  CIG 912: an order paid 40 and no commitment.
//  CUP 913: an order paid 60 and a commitment to pay 25 through iCcdId_cup,
//    and an order of 999 through iCcdId_cig that must not count.
class Totali : public Codici {
 protected:
  void SetUp() override {
    Codici::SetUp();
    if (HasFatalFailure()) return;
    Codice(911, 1, "TOT911", "2026-02-01");
    Codice(912, 1, "TOT912", "2026-02-02");
    Codice(913, 2, "TOT913", "2026-02-03");
    const QString c911 = QStringLiteral("911");
    Movimento({.id = 9001, .tpm = 4, .stato = 4, .cig = c911, .pagato = 100});
    Movimento({.id = 9002, .tpm = 4, .stato = 1, .cig = c911, .pagato = 50});
    Movimento({.id = 9010, .tpm = 3, .cig = c911, .totale = 320, .pagato = 20, .daPagare = 300});
    Movimento({.id = 9011, .tpm = 4, .totale = 100});
    Movimento({.id = 9012, .tpm = 4, .totale = 400});
    Link(1, 9011, 9010);
    Link(2, 9012, 9010);
    Movimento({.id = 9020, .tpm = 3, .cig = c911, .totale = 80, .daPagare = 80});
    Movimento({.id = 9030, .tpm = 3, .cig = c911, .totale = 50, .pagato = 50, .daPagare = 0});
    Movimento({.id = 9031, .tpm = 4, .totale = 30});
    Link(3, 9031, 9030);
    Movimento({.id = 9040, .tpm = 3, .cig = c911, .totale = 100, .daPagare = 100});
    Movimento({.id = 9041, .tpm = 4, .totale = 100});
    Link(4, 9041, 9040);
    Movimento({.id = 9050, .tpm = 4, .cig = QStringLiteral("912"), .pagato = 40});
    Movimento({.id = 9060, .tpm = 4, .cup = QStringLiteral("913"), .pagato = 60});
    Movimento({.id = 9061, .tpm = 3, .cup = QStringLiteral("913"), .totale = 25, .daPagare = 25});
    Movimento({.id = 9062, .tpm = 4, .cig = QStringLiteral("913"), .pagato = 999});
    for (const char* v : {"(9101, 1, 911, NULL, 500)", "(9102, 2, 911, NULL, 70)", "(9103, NULL, 911, NULL, 30)",
                          "(9104, 1, NULL, 913, 12)"})
      Exec(QStringLiteral("INSERT INTO TIDC_INVDOC (IIDCID, ITIDID, ICCDID_CIG, ICCDID_CUP, FIDCIMPONIBILE) VALUES ") +
           QString::fromLatin1(v));
  }
};

TEST_F(Totali, PaidCommittedAndInvoicedTotalsOfEachList) {
  struct Caso {
    const char* lista;
    int codice;
    double pagato;
    double impegnato;
    double fatture;  // < 0: the list has no such column
  };
  const QList<Caso> casi = {
      {"archivio", 911, 100, 350, 530}, {"archivio", 912, 40, 0, 0},   {"archivio", 913, 60, 25, 12},
      {"dialogo", 911, 150, 450, 530},  {"lookup", 911, 100, 350, -1}, {"lookup", 913, 60, 25, -1},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.lista) + " " + std::to_string(c.codice));
    const int tipo = c.codice == 913 ? CcdCup : CcdCig;
    QVariant pagato, impegnato, fatture;
    if (QLatin1String(c.lista) == QLatin1String("lookup")) {
      TKvDBLookupEdit lookup;
      PreparaLookupCodici(lookup, tipo);
      ImpostaListaCodici(lookup, tipo, 0, QDate(2026, 6, 1));
      lookup.SetKeyValue(c.codice);
      pagato = lookup.ListValue(QStringLiteral("FIMPPAGATO"));
      impegnato = lookup.ListValue(QStringLiteral("FIMPIMPEGNATO"));
    } else {
      TdmFenCCD dm(QLatin1String(c.lista) == QLatin1String("archivio") ? TdmFenCCD::Uso::Archivio
                                                                       : TdmFenCCD::Uso::Dialogo);
      TfrFenCCD frame(dm);
      frame.SetTipo(tipo);
      frame.SetBeneficiario(QLatin1String(c.lista) == QLatin1String("archivio") ? -1 : 0);
      ASSERT_TRUE(frame.Apri());
      ASSERT_TRUE(frame.dm->xqcCCD->Locate(QStringLiteral("ICCDID"), c.codice));
      pagato = frame.dm->xqcCCD->FieldValue(QStringLiteral("FIMPPAGATO"));
      impegnato = frame.dm->xqcCCD->FieldValue(QStringLiteral("FIMPIMPEGNATO"));
      fatture = frame.dm->xqcCCD->FieldValue(QStringLiteral("FIMPONIBFATT"));
    }
    EXPECT_DOUBLE_EQ(pagato.toDouble(), c.pagato);
    EXPECT_DOUBLE_EQ(impegnato.toDouble(), c.impegnato);
    if (c.fatture >= 0) {
      EXPECT_DOUBLE_EQ(fatture.toDouble(), c.fatture);
    }
  }
}

TEST_F(Totali, OrdersWithoutCommitmentsFilterKeepsOnlyThoseCodes) {
  TdmFenCCD dm;
  TfrFenCCD frame(dm);
  frame.SetTipo(CcdCig);
  ASSERT_TRUE(frame.Apri());
  ASSERT_TRUE(frame.ApplicaFiltro(TfrFenCCD::kFiltroMandatiSenzaImpegni));
  const QStringList codici = colonna(*frame.dm->xqcCCD, QStringLiteral("SCCDCODICE"));
  EXPECT_TRUE(codici.contains(QStringLiteral("TOT912")));
  EXPECT_FALSE(codici.contains(QStringLiteral("TOT911")));
  // Not in this program: the menu item belongs to the accounting program.
  EXPECT_FALSE(frame.acMandatiSenzaImpegni->isVisible());
}

// The codes a lookup offers for a document date (and, for DURC, a supplier).
TEST_F(Codici, LookupOffersTheCodesValidAtTheDocumentDateAndOfTheSupplier) {
  Codice(941, CcdCig, "SCADE0601", "2026-01-10", "2026-06-01");
  Codice(942, CcdCig, "CONFORN", "2026-01-10", QString(), 3);  // a CIG is never a supplier's
  struct Caso {
    int tipo;
    int beneficiario;
    QDate data;
    const char* codice;
    int atteso;  // -1: not offered
  };
  const QList<Caso> casi = {
      {CcdCig, 0, QDate(2026, 6, 2), "SCADE0601", -1},   // expired the day before
      {CcdCig, 0, QDate(2026, 6, 1), "SCADE0601", 941},  // expires that very day
      {CcdCig, 0, QDate(2099, 1, 1), "ZB93D6E250", 15},  // no expiry: always
      {CcdCig, 0, QDate(2026, 6, 1), "CONFORN", -1},
      {CcdCig, 0, QDate(2026, 6, 1), "C74D22003560006", -1},    // a CUP
      {CcdDurc, 7, QDate(2026, 12, 11), "INPS_44120587", 28},   // supplier 7's, valid
      {CcdDurc, 7, QDate(2026, 12, 11), "INPS_41765309", -1},   // supplier 7's, expired
      {CcdDurc, 7, QDate(2026, 12, 11), "INAIL_45338791", -1},  // supplier 8's
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.codice);
    TKvDBLookupEdit lookup;
    PreparaLookupCodici(lookup, c.tipo, [&] { return c.beneficiario; });
    ImpostaListaCodici(lookup, c.tipo, c.beneficiario, c.data);
    KvMessageScript::Clear();
    scegli(lookup, QString::fromLatin1(c.codice));
    EXPECT_EQ(lookup.KeyValue(), c.atteso);
    EXPECT_EQ(KvMessageScript::Texts(),
              c.atteso < 0 ? QStringList{QStringLiteral("Attenzione!\nValore non trovato.")} : QStringList());
  }
}

// One code of each kind of linked row; the union shows each with its own
// number, date, supplier and amount.
TEST_F(Codici, LinkedMovementsShowEveryProgramsRows) {
  Codice(931, CcdCig, "UNIONE931", "2026-01-05");
  Codice(932, CcdDurc, "UNIONE932", "2026-01-05", "2026-12-31", 3);
  const QString cig = QStringLiteral("931");
  Movimento({.id = 9301,
             .tpm = 3,
             .cig = cig,
             .totale = 1200,
             .descs = QStringLiteral("'Impegno carta'"),
             .inizio = QStringLiteral("'2026-01-10'"),
             .ben = 2});
  Movimento({.id = 9302,
             .tpm = 4,
             .durc = QStringLiteral("932"),
             .pagato = 480,
             .cod = QStringLiteral("'M00017'"),
             .inizio = QStringLiteral("'2026-01-01'"),
             .emissione = QStringLiteral("'2026-02-20'"),
             .ben = 3});
  Exec(
      "INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, ITBUID, SMGMCOD, DMGMDATAMOVIMENTO, IBENID, ICCDID_CIG) "
      "VALUES (9311, 1, '00042', '2026-01-15', 2, 931)");
  Exec(
      "INSERT INTO TPRE_PREVENTIVI (IPREID, IDWGID, IPREESERCIZIOFIN, SPRECOD, DPREDATA, SPREDESCS, ICCDID_CIG, "
      "ILOCKED) VALUES (9321, 1, 2026, '00077', '2026-01-07', 'Carta', 931, 1)");
  Exec("INSERT INTO TPREBEN (IPREBENID, IPREID, IBENID) VALUES (9322, 9321, 3)");
  Exec(
      "INSERT INTO TOFF_OFFERTE (IOFFID, IPREBENID, DOFFDATA, FOFFIMPORTO, ICCDID_DURC) "
      "VALUES (9323, 9322, '2026-01-20', 850.5, 932)");
  Exec(
      "INSERT INTO TOMG_ORDINIMAGAZ (IOMGID, SOMGCOD, DOMGDATAORDINE, IBENID, FOMGIMPORTO, ICCDID_CIG) "
      "VALUES (9331, '00009', '2026-01-12', 2, 990, 931)");
  Exec(
      "INSERT INTO TBUO_BUONI (IBUOID, IBUOTIPO, IBUONUMERO, DBUODATA, IBENID, ICCDID_CIG, IBUOIMPORTO) "
      "VALUES (9341, 0, 35, '2026-01-25', 2, 931, 300)");
  Exec(
      "INSERT INTO TBUO_BUONI (IBUOID, IBUOTIPO, IBUONUMERO, DBUODATA, IBENID, ICCDID_CIG, IBUOIMPORTO) "
      "VALUES (9342, 1, 36, '2026-01-26', 2, 931, 300)");  // not a load voucher
  Exec(
      "INSERT INTO TIDC_INVDOC (IIDCID, ITIDID, SIDCNUMERO, DIDCDATA, IBENID, ICCDID_CIG, FIDCIMPORTO) "
      "VALUES (9351, 1, 'FT 12/A', '2026-01-30', 2, 931, 1220)");

  struct Caso {
    int codice;
    QStringList righe;
  };
  const QString fornitore2 = Scalar("SELECT SBENRAGSOC FROM TBEN_BENEFICIARI WHERE IBENID = 2").toString();
  const QString fornitore3 = Scalar("SELECT SBENRAGSOC FROM TBEN_BENEFICIARI WHERE IBENID = 3").toString();
  const QList<Caso> casi = {
      {931,
       {"IMPEGNO (CONTABILITA')|Impegno carta|2026-01-10|" + fornitore2 + "|1200",
        "BUONO DI CARICO (MAGAZZINO)|00042|2026-01-15|" + fornitore2 + "|", "PREVENTIVO (PUX)|00077|2026-01-07||",
        "BUONO D'ORDINE (MAGAZZINO)|00009|2026-01-12|" + fornitore2 + "|990",
        "BUONO DI CARICO (INVENTARIO)|0000035|2026-01-25|" + fornitore2 + "|300",
        "FATTURA|FT 12/A|2026-01-30|" + fornitore2 + "|1220"}},
      {932,
       {"MANDATO DI PAGAMENTO (CONTABILITA')|M00017|2026-02-20|" + fornitore3 + "|480",
        "OFFERTA (PUX)|00077|2026-01-20|" + fornitore3 + "|850.5"}},
  };
  TfrFenCCDMovColl frame;
  for (const Caso& c : casi) {
    ASSERT_TRUE(frame.Apri(c.codice));
    QStringList righe;
    const TKvQueryCollection& m = *frame.xqcMovColl;
    for (int r = 0; r < m.RecordCount(); ++r) {
      QStringList campi;
      for (const char* f : {"STIPOMOV", "SNUMERO", "DDATA", "SBENRAGSOC", "FIMPORTO"}) {
        const QVariant v = m.Value(r, m.FieldIndex(QString::fromLatin1(f)));
        campi << (v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate)
                  : v.isNull()                   ? QString()
                                                 : v.toString());
      }
      righe << campi.join(QLatin1Char('|'));
    }
    righe.sort();
    QStringList attese = c.righe;
    attese.sort();
    EXPECT_EQ(righe, attese) << c.codice;
    EXPECT_EQ(ContaMovimentiCollegati(c.codice), c.righe.size());
  }
  EXPECT_EQ(ContaMovimentiCollegati(99999), 0);
  EXPECT_TRUE(frame.ReadOnly());
  EXPECT_FALSE(frame.acCopiaCigImpegni->isVisible());  // only in the accounting program
}

// Payment order 9401 (CIG 951) derives from one commitment without CIG: it
// takes the CIG. Order 9411 derives from two commitments: neither changes.
// Order 9421 derives from a commitment with another CIG: it keeps it. The
// reverse copy goes from commitment 9431 to its one order.
TEST_F(Codici, CopyActionsFillTheCigOfTheSingleLinkedMovementWithoutOne) {
  Codice(951, CcdCig, "COPIA951", "2026-01-05");
  const QString cig = QStringLiteral("951");
  Movimento({.id = 9401, .tpm = 4, .cig = cig});
  Movimento({.id = 9402, .tpm = 3});
  Link(11, 9401, 9402);
  Movimento({.id = 9411, .tpm = 4, .cig = cig});
  Movimento({.id = 9412, .tpm = 3});
  Movimento({.id = 9413, .tpm = 3});
  Link(12, 9411, 9412);
  Link(13, 9411, 9413);
  Movimento({.id = 9421, .tpm = 4, .cig = cig});
  Movimento({.id = 9422, .tpm = 3, .cig = QStringLiteral("1")});
  Link(14, 9421, 9422);
  Movimento({.id = 9431, .tpm = 3, .cig = cig});
  Movimento({.id = 9432, .tpm = 4});
  Link(15, 9432, 9431);

  auto cigDi = [&](int mov) {
    const QVariant v = Scalar(QStringLiteral("SELECT ICCDID_CIG FROM TMOV_MOVIMENTI WHERE IMOVID = %1").arg(mov));
    return v.isNull() ? -1 : v.toInt();
  };
  KvStatus copiato = CopiaCigNegliImpegni(951);
  ASSERT_TRUE(copiato) << copiato.error().toStdString();
  EXPECT_EQ(cigDi(9402), 951);
  EXPECT_EQ(cigDi(9412), -1);
  EXPECT_EQ(cigDi(9413), -1);
  EXPECT_EQ(cigDi(9422), 1);
  EXPECT_EQ(cigDi(9432), -1);  // the other direction
  copiato = CopiaCigNeiMandati(951);
  ASSERT_TRUE(copiato) << copiato.error().toStdString();
  EXPECT_EQ(cigDi(9432), 951);
}

// The print module: the codes of the report's kind assigned in the period
// chosen (or without a date), the texts of the period, nothing when the
// period is not chosen.
TEST_F(Codici, CodesPrintTakesKindFromTheReportAndPeriodFromTheDialog) {
  Codice(961, CcdCup, "SENZADATA", QString());
  TdmFenCcdRpt modulo;
  modulo.SetNumeroReport(5109);
  KvDialogScript::Drive<TfmFenSceltaDate>([](TfmFenSceltaDate& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Scelta Date"));
    EXPECT_EQ(d.Dal(), QDate(QDate::currentDate().year(), 1, 1));
    EXPECT_EQ(d.Al(), QDate(QDate::currentDate().year(), 12, 31));
    d.SetDal(QDate(2024, 1, 1));
    d.SetAl(QDate(2025, 12, 31));
    d.accept();
  });
  ASSERT_TRUE(modulo.PreparaDati());
  EXPECT_EQ(colonna(*modulo.cdsCcd, QStringLiteral("SCCDCODICE")),
            QStringList({"SENZADATA", "C74D24001230006", "C74D25000470001"}));
  QVariant v;
  ASSERT_TRUE(modulo.Valore(QStringLiteral(" dinizio "), v));
  EXPECT_EQ(v.toString(), QStringLiteral("01/01/2024"));
  ASSERT_TRUE(modulo.Valore(QStringLiteral("DFINE"), v));
  EXPECT_EQ(v.toString(), QStringLiteral("31/12/2025"));
  EXPECT_FALSE(modulo.Valore(QStringLiteral("FORMATTO"), v));
  // The linked movements follow the current code.
  modulo.cdsCcd->Last();
  EXPECT_EQ(modulo.quMovColl->Param(QStringLiteral("iCcdId")).toInt(), 19);
  EXPECT_TRUE(modulo.quMovColl->Active());

  KvDialogScript::Drive<TfmFenSceltaDate>([](TfmFenSceltaDate& d) { d.reject(); });
  modulo.SetNumeroReport(5108);
  ASSERT_TRUE(modulo.PreparaDati());
  EXPECT_TRUE(modulo.cdsCcd->Active());
  EXPECT_EQ(modulo.cdsCcd->RecordCount(), 0);
  EXPECT_EQ(modulo.TipoCodici(), 0);
  ASSERT_TRUE(modulo.Valore(QStringLiteral("DINIZIO"), v));
  EXPECT_TRUE(v.toString().isEmpty());

  modulo.ChiudiTutti();
  EXPECT_FALSE(modulo.cdsCcd->Active());
  EXPECT_FALSE(modulo.quMovColl->Active());
  ASSERT_TRUE(modulo.ApriChiudiTutti());
  EXPECT_FALSE(modulo.cdsBenefNonRegola->Active());

  // A customised report prints with the data of its template.
  Exec("INSERT INTO TYRPC_RPTCUSTOM (IYRPCID, IYRPTID, SYRPCDESC) VALUES (1999007, 5110, 'DURC del plesso')");
  EXPECT_EQ(TdmFenCcdRpt::ModelloReport(5108), 5108);
  EXPECT_EQ(TdmFenCcdRpt::ModelloReport(1999007), 5110);
}

// Suppliers whose DURC has expired at the day of the check with none valid,
// and those flagged as not in order; each once.
TEST_F(Codici, SuppliersNotInOrderAtTheDayOfTheCheck) {
  const QDate controllo(2026, 6, 15);
  struct Fornitore {
    int id;
    const char* nome;
    QList<QPair<const char*, const char*>> durc;  // code, expiry
    bool nonRegola;
    bool storicizzato;
    bool elencato;
  };
  const QList<Fornitore> fornitori = {
      {901, "ZZ Rinnovato", {{"D901A", "2026-05-10"}, {"D901B", "2027-06-30"}}, false, false, false},
      {902, "ZZ Scaduto", {{"D902A", "2026-03-01"}, {"D902B", "2026-05-10"}}, false, false, true},
      {903, "ZZ Dichiarato", {}, true, false, true},
      {904, "ZZ Storicizzato", {{"D904A", "2026-05-10"}}, false, true, false},
      {905, "ZZ Scade oggi", {{"D905A", "2026-06-15"}}, false, false, false},
      {906, "ZZ Senza DURC", {}, false, false, false},
      {907, "ZZ Scaduto e dichiarato", {{"D907A", "2026-01-31"}}, true, false, true},
  };
  int id = 9600;
  for (const Fornitore& f : fornitori) {
    Exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENADEMPFISCNOREGOLA, DEND) "
                        "VALUES (%1, '%2', %3, %4)")
             .arg(f.id)
             .arg(QString::fromUtf8(f.nome))
             .arg(f.nonRegola ? 1 : 0)
             .arg(f.storicizzato ? QStringLiteral("'2025-12-31'") : QStringLiteral("NULL")));
    for (const auto& d : f.durc)
      Codice(++id, CcdDurc, QString::fromLatin1(d.first), "2026-01-01", QString::fromLatin1(d.second), f.id);
  }

  TdmFenCcdRpt modulo;
  modulo.SetNumeroReport(5134);
  KvDialogScript::Drive<TfmFenSceltaDate>([&](TfmFenSceltaDate& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Data del Controllo"));
    EXPECT_FALSE(d.edDal->isVisibleTo(&d));
    EXPECT_EQ(d.Al(), QDate::currentDate());
    d.SetAl(controllo);
    d.accept();
  });
  ASSERT_TRUE(modulo.PreparaDati());
  QStringList elencati, scadenze;
  const TKvQueryCollection& b = *modulo.cdsBenefNonRegola;
  for (int r = 0; r < b.RecordCount(); ++r) {
    const int idBen = b.Value(r, b.FieldIndex(QStringLiteral("IBENID"))).toInt();
    if (idBen < 901 || idBen > 907) continue;
    elencati << b.Value(r, b.FieldIndex(QStringLiteral("SBENRAGSOC"))).toString();
    scadenze << b.Value(r, b.FieldIndex(QStringLiteral("DCCDDATASCAD"))).toDate().toString(Qt::ISODate) + ' ' +
                    b.Value(r, b.FieldIndex(QStringLiteral("SCCDCODICE"))).toString();
  }
  QStringList attesi;
  for (const Fornitore& f : fornitori)
    if (f.elencato) attesi << QString::fromUtf8(f.nome);
  attesi.sort();
  EXPECT_EQ(elencati, attesi);  // ordered by name
  EXPECT_EQ(scadenze, QStringList({" ", "2026-05-10 D902B", "2026-01-31 D907A"}));
  EXPECT_EQ(b.FieldValue(QStringLiteral("PER_ORDINAMENTO")), b.FieldValue(QStringLiteral("SBENRAGSOC")));
  QVariant fine;
  ASSERT_TRUE(modulo.Valore(QStringLiteral("DFINE"), fine));
  EXPECT_EQ(fine.toString(), QStringLiteral("15/06/2026"));

  // Cancelling the day of the check cancels the report.
  KvDialogScript::Drive<TfmFenSceltaDate>([](TfmFenSceltaDate& d) { d.reject(); });
  EXPECT_FALSE(modulo.PreparaDati());
  EXPECT_FALSE(modulo.DataControllo().isValid());
}

TEST_F(Codici, DateDialogRefusesEachDateOutsideTheGivenRange) {
  TfmFenSceltaDate d;
  d.SetIntervallo(QDate(2026, 1, 1), QDate(2026, 12, 31));
  KvDialogScript::Drive<TfmFenSceltaDate>([](TfmFenSceltaDate& dlg) {
    EXPECT_EQ(dlg.Dal(), QDate(2026, 1, 1));
    dlg.SetDal(QDate(2025, 12, 31));
    dlg.SetAl(QDate(2027, 1, 1));
    dlg.accept();
    EXPECT_EQ(KvMessageScript::Texts().size(), 2);
    dlg.SetDal(QDate(2026, 3, 1));
    dlg.SetAl(QDate(2026, 3, 31));
    dlg.accept();
  });
  EXPECT_EQ(d.exec(), QDialog::Accepted);
  EXPECT_EQ(
      KvMessageScript::Texts(),
      QStringList(2, QStringLiteral("Attenzione!\nLa data immessa non è compresa nell'anno finanziario corrente.")));
  EXPECT_EQ(d.Al(), QDate(2026, 3, 31));
}

}  // namespace
