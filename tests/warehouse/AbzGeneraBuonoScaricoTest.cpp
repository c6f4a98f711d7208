#include "AbzFWGeneraBuonoScarico.h"
#include "AbzFinestre.h"
#include "AbzMagazzinoFixture.h"
#include "AbzUBuonoScarico.h"
#include "KvDialogScript.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"
#include "PuxTestInput.h"
#include "TfmKvSearch.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

namespace {

using Wizard = TfmAbzFWGeneraBuonoScarico;

// A request of the working year with two articles: 9001 stocked in boxes of
// twelve (one box, needed one box = 12 pieces) and 9002 in pieces (ten,
// needed four); a third article without stock row never reaches the grid.
class BuonoScarico : public Magazzino {
 protected:
  static constexpr int kRichiesta = 9100;

  void SetUp() override {
    Magazzino::SetUp();
    AbzRegistraFinestre();
    Articolo(9001, QStringLiteral("0009001"));
    Articolo(9002, QStringLiteral("0009002"));
    Articolo(9003, QStringLiteral("0009003"));
    Giacenza(9001, 9001, kUnitaCf12, QStringLiteral("1"));
    Giacenza(9002, 9002, kUnitaPezzi, QStringLiteral("10"));
    Exec(
        QStringLiteral("INSERT INTO TRIC_RICHIESTAESP (IRICID, IDWGID, IRICESERCIZIOFIN, SRICCODICE, SRICDESC, "
                       "DRICDATAOCC, ISECID, IRSPID, ISTRID) VALUES (9100, 1, 2026, '09100', 'Richiesta di prova', "
                       "'2026-06-01', 1, 1, 1)"));
    Exec(QStringLiteral("INSERT INTO TRICART (IRICARTID, IRICID, IARTID, FRICARTQTANEC) VALUES (9101, 9100, 9001, 1)"));
    Exec(QStringLiteral("INSERT INTO TRICART (IRICARTID, IRICID, IARTID, FRICARTQTANEC) VALUES (9102, 9100, 9002, 4)"));
    Exec(QStringLiteral("INSERT INTO TRICART (IRICARTID, IRICID, IARTID, FRICARTQTANEC) VALUES (9103, 9100, 9003, 1)"));
    buoniPrima = Buoni();
  }
  void TearDown() override {
    fm.reset();
    KvDialogScript::Clear();
    Magazzino::TearDown();
  }

  // The wizard on the rows page of the test request.
  Wizard& Righe() {
    fm = std::make_unique<Wizard>();
    EXPECT_TRUE(fm->Apri().ok());
    EXPECT_TRUE(fm->xqcRichieste->Locate(QStringLiteral("IRICID"), kRichiesta));
    EXPECT_TRUE(fm->Next());
    return *fm;
  }
  QString Cella(int row, int column) { return fm->sgArticoli->item(row, column)->text(); }
  // Vouchers written from the test request.
  int Buoni() { return Scalar(QStringLiteral("SELECT COUNT(*) FROM TMGM_MOVMAGAZZINO WHERE IRICID = 9100")).toInt(); }
  int RigheBuoni() { return Scalar(QStringLiteral("SELECT COUNT(*) FROM TMGMART")).toInt(); }
  QString GiacenzaAttuale(int articolo) {
    return Testo(QStringLiteral("SELECT FGIAGIACATT FROM TGIA_GIACENZE WHERE IARTID = %1 AND IGIAESERCIZIOFIN = 2026")
                     .arg(articolo));
  }
  // Types into a cell as a user: the first key opens the editor, Enter leaves it.
  void Digita(int row, int column, const QString& text) {
    fm->sgArticoli->setCurrentCell(row, column);
    PuxTestInput::press(fm->sgArticoli, 0, text.left(1));
    auto* editor = fm->sgArticoli->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    PuxTestInput::type(editor, text.mid(1));
    PuxTestInput::press(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor commits once back in the event loop
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  std::unique_ptr<Wizard> fm;
  int buoniPrima = 0;
};

TEST_F(BuonoScarico, TheRequestBecomesAVoucherWithItsRowsAndTheStockFollows) {
  Wizard& w = Righe();
  ASSERT_EQ(w.sgArticoli->rowCount(), 2) << "the article without stock row is left out";
  EXPECT_EQ(Cella(0, Wizard::ColCodice), QStringLiteral("0009001"));
  EXPECT_EQ(Cella(0, Wizard::ColGiacenza), QStringLiteral("1,000"));
  EXPECT_EQ(Cella(0, Wizard::ColQuantita), QStringLiteral("12,000")) << "one box of twelve";
  EXPECT_EQ(Cella(1, Wizard::ColQuantita), QStringLiteral("4,000"));
  EXPECT_EQ(Cella(1, Wizard::ColDescLuogo), QStringLiteral("Segreteria amministrativa"));
  EXPECT_EQ(Cella(1, Wizard::ColIdResponsabile), QStringLiteral("1"));
  EXPECT_TRUE(w.FinishButton()->isEnabled());

  ASSERT_TRUE(w.Finish()) << KvMessageScript::Texts().join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
  EXPECT_EQ(Buoni(), buoniPrima) << "OK only checks: the caller writes the voucher";
  const auto esito = ScriviBuonoScarico(w.Buono());
  ASSERT_TRUE(esito.ok()) << esito.error().toStdString();
  const int buono = esito->idBuono;
  ASSERT_GT(buono, 0);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT T.ITBUTIPO FROM TMGM_MOVMAGAZZINO M JOIN TTBU_TIPIBUONI T ON T.ITBUID = "
                                  "M.ITBUID WHERE M.IMGMID = %1")
                       .arg(buono))
                .toInt(),
            1);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT IRICID FROM TMGM_MOVMAGAZZINO WHERE IMGMID = %1").arg(buono)).toInt(),
            kRichiesta);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT CAST(LIST(IARTID || ':' || FMGMARTQUANTITA || ':' || ISECID || ':' || "
                                  "IRICARTID, ' ') AS VARCHAR(200)) FROM (SELECT * FROM TMGMART WHERE IMGMID = %1 "
                                  "ORDER BY IARTID)")
                       .arg(buono))
                .toString(),
            QStringLiteral("9001:12.000000:1:9101 9002:4.000000:1:9102"));
  // The database recomputed both stock rows: one box less, four pieces less.
  EXPECT_EQ(GiacenzaAttuale(9001), QStringLiteral("0.000000"));
  EXPECT_EQ(GiacenzaAttuale(9002), QStringLiteral("6.000000"));
  EXPECT_EQ(ContaLog(), 3) << "the voucher and each of its rows";
}

TEST_F(BuonoScarico, AvailableQuantityCountsTheWholeYearInDischargeUnits) {
  // Factor 12, one box, no movements: twelve pieces and not one more.
  const struct {
    const char* quantita;
    bool accettata;
  } casi[] = {{"12", true}, {"12.000001", false}, {"13", false}};
  for (const auto& c : casi) {
    TRigaScarico r{.idArticolo = 9001, .idLuogo = 1, .quantita = *Milionesimi(QString::fromLatin1(c.quantita))};
    const auto esito = ControllaScarico({r});
    ASSERT_TRUE(esito.ok()) << esito.error().toStdString();
    EXPECT_EQ(esito->value_or(QString()), c.accettata ? QString() : kMsgGiacenzaInsufficiente) << c.quantita;
  }
  // Two rows of one article draw on the same stock.
  TRigaScarico meta{.idArticolo = 9001, .idLuogo = 1, .quantita = 7000000};
  EXPECT_EQ(ControllaScarico({meta, meta})->value_or(QString()), kMsgGiacenzaInsufficiente);
  // A load of two boxes and a discharge of five pieces: 1x12 + 12x2 - 5 = 31.
  Buono(9500, kCaricoAcquisto, QStringLiteral("2026-02-01"));
  Riga(9501, 9500, 9001, QStringLiteral("2"), QStringLiteral("10"));
  Buono(9510, kScaricoConsumo, QStringLiteral("2026-03-01"));
  Riga(9511, 9510, 9001, QStringLiteral("5"));
  EXPECT_EQ(QuantitaDisponibile(9001).value_or(-1), 31000000);
}

TEST_F(BuonoScarico, RefusalsKeepTheWizardOpenAndWriteNothing) {
  const struct {
    const char* nome;
    std::function<void(Wizard&)> prepara;
    QString messaggio;
  } casi[] = {
      {"quantity above the year's stock",
       [this](Wizard& w) {
         // A discharge dated after today: not in the stock now, in the year's total.
         Buono(9510, kScaricoConsumo, QDate::currentDate().addDays(1).toString(Qt::ISODate));
         Riga(9511, 9510, 9001, QStringLiteral("5"));
         w.ImpostaNumero(0, Wizard::ColQuantita, QStringLiteral("12"));
       },
       kMsgGiacenzaInsufficiente},
      {"row to discharge without place",
       [](Wizard& w) {
         KvDialogScript::Next<TfmKvSearch>([](TfmKvSearch& s) { s.CancelButton()->click(); });
         w.sgArticoli->setCurrentCell(1, Wizard::ColDescLuogo);
         PuxTestInput::press(w.sgArticoli, Qt::Key_F8);
       },
       kMsgLuogoMancante},
      {"stock short and a place missing: the stock is named first",
       [this](Wizard& w) {
         Buono(9510, kScaricoConsumo, QDate::currentDate().addDays(1).toString(Qt::ISODate));
         Riga(9511, 9510, 9001, QStringLiteral("5"));
         w.ImpostaNumero(0, Wizard::ColQuantita, QStringLiteral("12"));
         KvDialogScript::Next<TfmKvSearch>([](TfmKvSearch& s) { s.CancelButton()->click(); });
         w.sgArticoli->setCurrentCell(1, Wizard::ColDescLuogo);
         PuxTestInput::press(w.sgArticoli, Qt::Key_F8);
       },
       kMsgGiacenzaInsufficiente},
      {"negative quantity", [](Wizard& w) { w.ImpostaNumero(1, Wizard::ColQuantita, QStringLiteral("-1")); },
       kMsgQuantitaNegativa},
      {"negative cost", [](Wizard& w) { w.ImpostaNumero(1, Wizard::ColCosto, QStringLiteral("-0,5")); },
       kMsgCostoNegativo},
      {"nothing to discharge",
       [](Wizard& w) {
         w.ImpostaNumero(0, Wizard::ColQuantita, QStringLiteral("0"));
         w.ImpostaNumero(1, Wizard::ColQuantita, QStringLiteral("0"));
       },
       kMsgNienteDaScaricare},
  };
  for (const auto& c : casi) {
    Wizard& w = Righe();
    c.prepara(w);
    KvMessageScript::Clear();
    EXPECT_FALSE(w.Finish()) << c.nome;
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{c.messaggio}) << c.nome;
    EXPECT_EQ(w.CurrentPage(), 1) << c.nome;
    EXPECT_EQ(Buoni(), buoniPrima) << c.nome;
    EXPECT_EQ(ContaLog(), 0) << c.nome;
    Exec(QStringLiteral("DELETE FROM TMGM_MOVMAGAZZINO WHERE IMGMID >= 9500"));
  }
}

TEST_F(BuonoScarico, ARowWithoutQuantityNeedsNoPlace) {
  Wizard& w = Righe();
  KvDialogScript::Next<TfmKvSearch>([](TfmKvSearch& s) { s.CancelButton()->click(); });
  w.sgArticoli->setCurrentCell(0, Wizard::ColDescLuogo);
  PuxTestInput::press(w.sgArticoli, Qt::Key_F8);
  EXPECT_EQ(Cella(0, Wizard::ColLuogo), QString()) << "F8 cancelled empties the place and its id";
  Digita(0, Wizard::ColQuantita, QStringLiteral("0"));
  ASSERT_TRUE(w.Finish()) << KvMessageScript::Texts().join(QLatin1Char('|')).toStdString();
  const auto esito = ScriviBuonoScarico(w.Buono());
  ASSERT_TRUE(esito.ok()) << esito.error().toStdString();
  EXPECT_EQ(Scalar(QStringLiteral("SELECT LIST(IARTID) FROM TMGMART WHERE IMGMID = %1").arg(esito->idBuono)).toString(),
            QStringLiteral("9002"));
}

TEST_F(BuonoScarico, TypedQuantitiesAreNumbersOrRefusedAndRedRowsHoldOk) {
  Wizard& w = Righe();
  // A point is the decimal comma; letters never reach the cell.
  Digita(1, Wizard::ColQuantita, QStringLiteral("2.5x"));
  EXPECT_EQ(Cella(1, Wizard::ColQuantita), QStringLiteral("2,500"));
  // A text that is not a number is refused, naming the column; the value stays.
  Digita(1, Wizard::ColQuantita, QStringLiteral("1,2,3"));
  EXPECT_EQ(KvMessageScript::Texts(),
            QStringList{QStringLiteral("Il valore del campo 'Q.tà da scaricare' non è un numero valido.")});
  EXPECT_EQ(Cella(1, Wizard::ColQuantita), QStringLiteral("2,500"));
  // Other columns take no typing.
  w.sgArticoli->setCurrentCell(1, Wizard::ColCodice);
  PuxTestInput::press(w.sgArticoli, 0, QStringLiteral("7"));
  EXPECT_EQ(Cella(1, Wizard::ColCodice), QStringLiteral("0009002"));
  EXPECT_FALSE(w.sgArticoli->viewport()->findChild<QLineEdit*>() &&
               w.sgArticoli->viewport()->findChild<QLineEdit*>()->isVisible());

  // Thirteen pieces out of one box of twelve: red, and OK waits.
  w.ImpostaNumero(0, Wizard::ColQuantita, QStringLiteral("13"));
  EXPECT_TRUE(w.RigaInsufficiente(0));
  EXPECT_EQ(w.sgArticoli->item(0, Wizard::ColCodice)->background().color(), QColor(Qt::red));
  EXPECT_FALSE(w.FinishButton()->isEnabled());
  EXPECT_FALSE(w.Finish());
  w.ImpostaNumero(0, Wizard::ColQuantita, QStringLiteral("12"));
  EXPECT_FALSE(w.RigaInsufficiente(0)) << "twelve pieces are the box in stock";
  EXPECT_TRUE(w.FinishButton()->isEnabled());
}

// Whatever fails while the voucher is written, after the first row went
// in, nothing of it stays: rows, log rows, stock.
TEST_F(BuonoScarico, AFailingRowUndoesTheWholeVoucher) {
  Exec(QStringLiteral("CREATE EXCEPTION EX_PROVA_RIGA 'Riga rifiutata'"));
  const QString trigger = QStringLiteral(
      "CREATE TRIGGER T_PROVA FOR %1 BEFORE INSERT AS BEGIN IF (%2) THEN "
      "EXCEPTION EX_PROVA_RIGA; END");
  const struct {
    const char* nome;
    QString guasto;  // fails on the second row's article; empty: another discharge
    QString riparo;
    QString atteso;
  } casi[] = {
      {"the row itself", trigger.arg(QStringLiteral("TMGMART"), QStringLiteral("NEW.IARTID = 9002")),
       QStringLiteral("DROP TRIGGER T_PROVA"), QStringLiteral("Riga rifiutata")},
      {"the row's log",
       trigger.arg(QStringLiteral("TLOG_MAGAZZINO"), QStringLiteral("NEW.BLOGNOTE CONTAINING 'Articolo id:|9002|'")),
       QStringLiteral("DROP TRIGGER T_PROVA"), QStringLiteral("Riga rifiutata")},
      // Checked again when written: another discharge took the stock after OK.
      {"the stock discharged meanwhile", QString(), QString(), kMsgGiacenzaInsufficiente},
      // The database cannot run the stock update at all (not a wrong sequence,
      // which is logged and shown): last, the procedure is not restored.
      {"the stock update of the database",
       QStringLiteral("ALTER PROCEDURE PABZ_UPDGIACENZE (IMGMARTID INTEGER, IOMGARTID INTEGER, IARTID INTEGER, "
                      "IDWGID INTEGER, ESERCIZIOFIN INTEGER) RETURNS (CONTROLLO INTEGER) AS BEGIN IF (IARTID = 9002) "
                      "THEN EXCEPTION EX_PROVA_RIGA; CONTROLLO = 0; SUSPEND; END"),
       QString(), QStringLiteral("Riga rifiutata")},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    Wizard& w = Righe();
    ASSERT_TRUE(w.Finish());
    if (!c.guasto.isEmpty()) {
      Exec(c.guasto);
    } else {
      Buono(9510, kScaricoConsumo, QDate::currentDate().toString(Qt::ISODate));
      Riga(9511, 9510, 9001, QStringLiteral("5"));
    }
    const int righe = RigheBuoni();
    const int log = ContaLog();
    const auto esito = ScriviBuonoScarico(w.Buono());
    ASSERT_FALSE(esito.ok());
    EXPECT_TRUE((esito.error() + esito.detail()).contains(c.atteso)) << esito.error().toStdString();
    EXPECT_EQ(Buoni(), buoniPrima);
    EXPECT_EQ(RigheBuoni(), righe);
    EXPECT_EQ(ContaLog(), log);
    EXPECT_EQ(GiacenzaAttuale(9001), QStringLiteral("1.000000")) << "the first row's stock change is undone too";
    if (!c.riparo.isEmpty()) Exec(c.riparo);
    Exec(QStringLiteral("DELETE FROM TMGM_MOVMAGAZZINO WHERE IMGMID >= 9500"));
  }
}

TEST_F(BuonoScarico, PlacesAndResponsiblePersonsAreChosenWithF8OrForEveryRow) {
  Wizard& w = Righe();
  w.sgArticoli->setCurrentCell(0, Wizard::ColQuantita);
  EXPECT_FALSE(w.buLuogoUnico->isEnabled());
  EXPECT_FALSE(w.buResponsabileUnico->isEnabled());
  w.sgArticoli->setCurrentCell(0, Wizard::ColDescLuogo);
  EXPECT_TRUE(w.buLuogoUnico->isEnabled());
  EXPECT_FALSE(w.buResponsabileUnico->isEnabled());

  // One place for every row; places ended before today are not offered.
  QStringList offerti;
  KvDialogScript::Next<TfmKvSearch>([&](TfmKvSearch& s) {
    for (int r = 0; r < s.GetDataSet()->RecordCount(); ++r)
      offerti << s.GetDataSet()->Value(r, s.GetDataSet()->FieldIndex(QStringLiteral("SSECCOD"))).toString();
    ASSERT_TRUE(s.GetDataSet()->Locate(QStringLiteral("ISECID"), 2));
    s.OkButton()->click();
  });
  w.buLuogoUnico->click();
  EXPECT_FALSE(offerti.contains(QStringLiteral("BIBL")));
  EXPECT_TRUE(offerti.contains(QStringLiteral("LABINF")));
  for (int r = 0; r < 2; ++r) {
    EXPECT_EQ(Cella(r, Wizard::ColLuogo), QStringLiteral("2"));
    EXPECT_EQ(Cella(r, Wizard::ColDescLuogo), QStringLiteral("Laboratorio di informatica"));
  }

  // The persons responsible for the row's place (the search used to fail
  // with "Column unknown" on the table's own name after its alias).
  w.sgArticoli->setCurrentCell(1, Wizard::ColResponsabile);
  EXPECT_TRUE(w.buResponsabileUnico->isEnabled());
  int trovati = -1;
  KvDialogScript::Next<TfmKvSearch>([&](TfmKvSearch& s) {
    trovati = s.GetDataSet()->RecordCount();
    s.OkButton()->click();
  });
  PuxTestInput::press(w.sgArticoli, Qt::Key_F8);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
  EXPECT_EQ(trovati, 1);
  EXPECT_EQ(Cella(1, Wizard::ColIdResponsabile), QStringLiteral("2"));
  EXPECT_EQ(Cella(1, Wizard::ColResponsabile),
            Scalar(QStringLiteral("SELECT SANACOGNOME || ' ' || SANANOME FROM TANA_ANAGRAFICHE WHERE IANAID = 102"))
                .toString());
  EXPECT_EQ(Cella(0, Wizard::ColIdResponsabile), QStringLiteral("1")) << "F8 sets only its own row";
}

TEST_F(BuonoScarico, TheFactoryOpensTheWizardOnTheRequestsOfTheWorkingYear) {
  // Neither a request no longer pending (state 3) nor a locked one.
  Exec(
      QStringLiteral("INSERT INTO TRIC_RICHIESTAESP (IRICID, IDWGID, IRICESERCIZIOFIN, SRICCODICE, ISECID, ISTRID) "
                     "VALUES (9200, 1, 2026, '09200', 1, 3)"));
  Exec(
      QStringLiteral("INSERT INTO TRIC_RICHIESTAESP (IRICID, IDWGID, IRICESERCIZIOFIN, SRICCODICE, ISECID, ISTRID, "
                     "ILOCKED) VALUES (9201, 1, 2026, '09201', 1, 1, 1)"));
  QStringList codici;
  KvDialogScript::Next<Wizard>([&](Wizard& w) {
    for (int r = 0; r < w.xqcRichieste->RecordCount(); ++r)
      codici << w.xqcRichieste->Value(r, w.xqcRichieste->FieldIndex(QStringLiteral("IRICID"))).toString();
    w.CancelButton()->click();
  });
  KvFormOptions modale;
  modale.modal = true;
  const KvFormResult r = KvWindowFactory::Create(QStringLiteral("TfmAbzFWGeneraBuonoScarico"), nullptr, modale);
  EXPECT_TRUE(r.opened) << r.error.toStdString();
  EXPECT_TRUE(codici.contains(QStringLiteral("9100")));
  EXPECT_FALSE(codici.contains(QStringLiteral("1"))) << "a request of another year";
  EXPECT_FALSE(codici.contains(QStringLiteral("9200")));
  EXPECT_FALSE(codici.contains(QStringLiteral("9201")));
}

}  // namespace
