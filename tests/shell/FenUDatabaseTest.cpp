#include "FenUDatabase.h"
#include "KvMessageDlg.h"
#include "PuxContesto.h"
#include "PuxTestDb.h"

#include <QSqlQuery>

namespace {

class FenUDatabase : public PuxDbTest {
 protected:
  PuxTestDb::Content content() const override { return PuxTestDb::Content::Schema; }
  void SetUp() override {
    PuxDbTest::SetUp();
    Exec(QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, IANFVALORE, DANFKALVOINIZIO, DANFKALVOFINE) "
                        "VALUES (119, 2019, '2019-01-01', '2019-12-31')"));
    Exec(QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, IANFVALORE, DANFKALVOINIZIO, DANFKALVOFINE) "
                        "VALUES (120, 2020, '2020-01-01', '2020-12-31')"));
    Exec(QStringLiteral("INSERT INTO TANF_ANNIFINANZ (IANFID, IANFVALORE) VALUES (121, 2021)"));
  }
  void Procedura(int id, int dwg, int year, const QString& code) {
    Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, IDWGID, IPREESERCIZIOFIN, SPRECOD) VALUES (%1, %2, %3, '%4')")
             .arg(id).arg(dwg).arg(year).arg(code));
  }
};

TEST_F(FenUDatabase, NuovoIdGivesUniqueIncreasingIds) {
  const int a = NuovoId(QStringLiteral("tpre_preventivi"));
  const int b = NuovoId(QStringLiteral("TART_ARTICOLI"));
  EXPECT_GE(a, 1000000);
  EXPECT_GT(b, a);
  TdmKvConnection::CloseConnection();
  EXPECT_EQ(NuovoId(QStringLiteral("TPRE_PREVENTIVI")), 0);  // no database: 0, no exception
}

TEST_F(FenUDatabase, DataServerReadsTheServerClockAndFailsSoftly) {
  EXPECT_EQ(DataServer(), QDate::currentDate());
  EXPECT_LE(qAbs(DataServerTimestamp().secsTo(QDateTime::currentDateTime())), 120);
  TdmKvConnection::CloseConnection();
  EXPECT_FALSE(DataServer().isValid());
  EXPECT_EQ(DataServerTimestamp(), QDateTime(QDate(1, 1, 1), QTime(0, 0)));
}

TEST_F(FenUDatabase, ProcedureCodesArePerInstituteAndYear) {
  Contesto.DwgId = 1;
  Contesto.EsercizioFin = 2020;
  EXPECT_EQ(NuovoCodice(TipoCodice::Preventivo).value_or(QStringLiteral("?")), QStringLiteral("00001"));
  for (int i = 1; i <= 41; ++i) Procedura(i, 1, 2020, QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')));
  Procedura(100, 2, 2020, QStringLiteral("00090"));  // another institute
  Procedura(101, 1, 2019, QStringLiteral("00077"));  // another year
  EXPECT_EQ(NuovoCodice(9).value_or(QStringLiteral("?")), QStringLiteral("00042"));
  Procedura(102, 1, 2020, QStringLiteral("ABC12"));  // typed by hand: stops the numbering
  EXPECT_EQ(NuovoCodice(TipoCodice::Preventivo).error(), QStringLiteral("\"ABC12\" non è un numero intero valido."));
  EXPECT_EQ(NuovoCodice(10).error(), QStringLiteral("Tipo di codice progressivo sconosciuto."));
}

TEST_F(FenUDatabase, ArticleCodesAreNumberedAcrossWidthsAndInstitutesSevenWide) {
  Contesto.DwgId = 1;
  Contesto.EsercizioFin = 2020;
  EXPECT_EQ(NuovoCodice(TipoCodice::Articolo).value_or(QStringLiteral("?")), QStringLiteral("0000001"));
  Exec(QStringLiteral("INSERT INTO TART_ARTICOLI (IARTID, SARTCOD) VALUES (1, '00007')"));
  EXPECT_EQ(NuovoCodice(TipoCodice::Articolo).value_or(QStringLiteral("?")), QStringLiteral("0000008"));
  // As text "0000042" sorts before "00041": the number decides.
  Exec(QStringLiteral("INSERT INTO TART_ARTICOLI (IARTID, SARTCOD) VALUES (2, '00041')"));
  Exec(QStringLiteral("INSERT INTO TART_ARTICOLI (IARTID, SARTCOD) VALUES (3, '0000042')"));
  EXPECT_EQ(NuovoCodice(TipoCodice::Articolo).value_or(QStringLiteral("?")), QStringLiteral("0000043"));
  // A code with letters (typed by hand) neither stops nor steers the numbering.
  Exec(QStringLiteral("INSERT INTO TART_ARTICOLI (IARTID, SARTCOD) VALUES (4, 'CART1')"));
  Exec(QStringLiteral("INSERT INTO TART_ARTICOLI (IARTID, SARTCOD) VALUES (5, '9A')"));
  EXPECT_EQ(NuovoCodice(TipoCodice::Articolo).value_or(QStringLiteral("?")), QStringLiteral("0000043"));
}

TEST_F(FenUDatabase, EveryKindOfCodeRunsOnTheSchema) {
  Contesto.DwgId = 1;
  Contesto.EsercizioFin = 2020;
  for (int kind = 1; kind <= 9; ++kind)
    EXPECT_EQ(NuovoCodice(kind).value_or(QStringLiteral("?")), kind == 6   ? QStringLiteral("1")
                                                               : kind == 4 ? QStringLiteral("0000001")
                                                                           : QStringLiteral("00001"))
        << "kind " << kind;
}

TEST_F(FenUDatabase, YearRangePrefersTheInstitutesOwnDaysEachEndSeparately) {
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID) VALUES (1, 119, 1)"));
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID, DDWGANFINIZIO) VALUES (2, 120, 1, '2020-02-01')"));
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID, DDELETE) VALUES (3, 119, 2, CURRENT_TIMESTAMP)"));
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID) VALUES (4, 121, 1)"));

  struct Case {
    int year, dwg;
    QDate start, end;
    bool valid;
  } cases[] = {
      {2019, 1, QDate(2019, 1, 1), QDate(2019, 12, 31), true},
      {2020, 1, QDate(2020, 2, 1), QDate(2020, 12, 31), true},  // own first day, suite's last day
      {2019, 2, QDate(), QDate(), false},                       // deleted link counts as missing
      {2021, 1, QDate(), QDate(), false},                       // year without days
      {2022, 1, QDate(), QDate(), false},                       // not linked
  };
  for (const Case& c : cases) {
    const FenDateEsercizio d = LeggiDateEsercizio(c.year, c.dwg);
    EXPECT_EQ(d.inizio, c.start) << c.year << "/" << c.dwg;
    EXPECT_EQ(d.fine, c.end) << c.year << "/" << c.dwg;
    EXPECT_EQ(EsercizioValido(c.dwg, c.year), c.valid) << c.year << "/" << c.dwg;
  }
  EXPECT_FALSE(EsercizioValido(-1, 2019));
  EXPECT_FALSE(EsercizioValido(1, -1));
}

TEST_F(FenUDatabase, ContaRigheCountsAndRewindsAndParametroNulloBindsTypedNull) {
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID) VALUES (1, 119, 1)"));
  QSqlQuery q(qqoKvGlobConn());
  ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID, DDWGANFINIZIO) "
                                       "VALUES (2, 120, 1, :D)")));
  ParametroNullo(q, QStringLiteral(":D"), QMetaType::QDate);
  ASSERT_TRUE(q.exec());
  EXPECT_TRUE(Scalar(QStringLiteral("SELECT DDWGANFINIZIO FROM TDWGANF WHERE IDWGANFID = 2")).isNull());

  QSqlQuery rows(qqoKvGlobConn());
  ASSERT_TRUE(rows.exec(QStringLiteral("SELECT IANFVALORE FROM TANF_ANNIFINANZ ORDER BY IANFVALORE")));
  rows.next();
  rows.next();
  EXPECT_EQ(ContaRighe(rows), 3);
  EXPECT_EQ(rows.value(0).toInt(), 2019);
  QSqlQuery none(qqoKvGlobConn());
  ASSERT_TRUE(none.exec(QStringLiteral("SELECT IANFVALORE FROM TANF_ANNIFINANZ WHERE IANFID < 0")));
  EXPECT_EQ(ContaRighe(none), 0);
}

// The words, quotes and line break every window shows when it cannot work
// without institute and year: written out here, not taken from the code.
TEST(FenUDatabaseCalc, MsgEsercizioNonValidoSaysWhereToSetTheParameters) {
  KvMessageScript::Begin();
  MsgEsercizioNonValido();
  const QList<KvMessageScript::Shown> shown = KvMessageScript::Messages();
  KvMessageScript::End();
  ASSERT_EQ(shown.size(), 1);
  EXPECT_EQ(shown[0].text, QString::fromUtf8("Attenzione!\nL'Istituto e/o l'Esercizio Finanziario di lavoro risultano "
                                             "non settati. Prima di proseguire \xc3\xa8 necessario impostare tali "
                                             "parametri attraverso il modulo \"Parametri\" che si trova in "
                                             "\"Strumenti\"."));
  EXPECT_EQ(shown[0].type, TMsgDlgType::mtInformation);
  EXPECT_EQ(shown[0].buttons, int(mbOK));
}

TEST(FenUDatabaseCalc, DataInEsercizio) {
  Contesto.EsercizioFin = 2020;
  const std::optional<QDate> none;  // the suite's "no limit"
  const QDate missing;              // a missing date
  EXPECT_TRUE(DataInEsercizio(QDate(2020, 6, 1), none, none));
  EXPECT_FALSE(DataInEsercizio(QDate(2019, 6, 1), none, none));
  EXPECT_TRUE(DataInEsercizio(QDate(2020, 6, 1), QDate(2020, 1, 1), QDate(2020, 12, 31)));
  EXPECT_TRUE(DataInEsercizio(QDate(2020, 12, 31), QDate(2020, 1, 1), QDate(2020, 12, 31)));
  EXPECT_FALSE(DataInEsercizio(QDate(2021, 1, 1), QDate(2020, 1, 1), QDate(2020, 12, 31)));
  EXPECT_FALSE(DataInEsercizio(QDate(2019, 12, 31), QDate(2020, 1, 1), QDate(2020, 12, 31)));
  EXPECT_FALSE(DataInEsercizio(QDate(2025, 1, 1), QDate(2020, 1, 1), missing));  // missing end: nothing fits
  EXPECT_FALSE(DataInEsercizio(none, QDate(2020, 1, 1), QDate(2020, 12, 31)));
  EXPECT_TRUE(DataInEsercizio(none, none, QDate(2020, 12, 31)));  // no date: only the start counts
  Contesto.Reset();
}

TEST(FenUDatabaseCalc, TroncaDecimaliCutsWithoutRounding) {
  struct Case {
    double value;
    int n;
    double expected;
  } cases[] = {
      {2.719, 2, 2.71}, {2.0, 2, 2.0},      {-2.719, 2, -2.71}, {0.29, 2, 0.29},
      {1.999999, 3, 1.999}, {12345.6789, 0, 12345.0}, {1.5e-7, 2, 0.0}, {0.1 + 0.2, 1, 0.3},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(TroncaDecimali(c.value, c.n), c.expected) << c.value << "," << c.n;
}

TEST(FenUDatabaseCalc, FixedPointMoney) {
  EXPECT_EQ(Scala(1.5), 1500000);
  EXPECT_EQ(Scala(0.0000005), 1);  // nearest millionth
  EXPECT_EQ(Scala(-2.25), -2250000);
  EXPECT_EQ(DaMilionesimi(Somma(0.1, 0.2)), 0.3);
  EXPECT_EQ(Prodotto(1.5, 2.0), 300000000);  // hundred-millionths
  EXPECT_EQ(DaCentomilionesimi(Prodotto(19.99, 3)), 59.97);
  EXPECT_EQ(DaCentomilionesimi(Prodotto(1000000.0, 1000.0)), 1.0e9);  // no overflow on large amounts
  EXPECT_EQ(Prodotto(-1.5, 2.0), -300000000);
  EXPECT_EQ(Prodotto(0.000015, 0.5), 750);      // 15 x 500000 / 10000
  EXPECT_EQ(Prodotto(-0.000015, 0.001), -2);    // -15 x 1000 / 10000 = -1.5: half away from zero
  EXPECT_EQ(Prodotto(0.000015, 0.0003), 0);     // 15 x 300 / 10000 = 0.45
  EXPECT_EQ(Prodotto(3.333333, -3.0), -999999900);
}

}  // namespace
