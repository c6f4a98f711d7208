#include "AbzMagazzinoFixture.h"
#include "AbzUArticoli.h"
#include "AbzUChiusura.h"
#include "AbzUGiacenze.h"
#include "KvConnection.h"
#include "KvTestResult.h"
#include "KvTransaction.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QSqlQuery>

namespace {

TEST_F(Magazzino, StockAtADateCountsTheMovementsOfThatDayAndConvertsDischargesToLoadingUnits) {
  Unita(9001, QStringLiteral("3"));
  Articolo(9100, QStringLiteral("0009100"));  // factor 12: 10 + 5 - 24/12
  Giacenza(9100, 9100, kUnitaCf12, QStringLiteral("10"));
  Buono(9200, kCaricoAcquisto, QStringLiteral("2026-02-01"));
  Riga(9300, 9200, 9100, QStringLiteral("5"));
  Buono(9201, kScaricoConsumo, QStringLiteral("2026-03-01"));
  Riga(9301, 9201, 9100, QStringLiteral("24"));
  Buono(9202, kScaricoConsumo, QStringLiteral("2026-06-01"));
  Riga(9302, 9202, 9100, QStringLiteral("12"));
  // Movements of another institute and of another year never count.
  Buono(9203, kScaricoConsumo, QStringLiteral("2026-02-01"), 2);
  Riga(9303, 9203, 9100, QStringLiteral("120"));
  Buono(9204, kCaricoAcquisto, QStringLiteral("2026-02-01"), 1, 2025);
  Riga(9304, 9204, 9100, QStringLiteral("100"));
  Articolo(9101, QStringLiteral("0009101"));  // factor 3: a third of a loading unit, to four decimals
  Giacenza(9101, 9101, 9001, QStringLiteral("1"));
  Riga(9305, 9201, 9101, QStringLiteral("1"));
  Riga(9306, 9202, 9101, QStringLiteral("1"));

  struct Caso {
    int articolo;
    const char* data;
    const char* giacenza;
  } casi[] = {
      {9100, "2026-03-01", "13.0000"},  // the discharge of the day counts
      {9100, "2026-02-28", "15.0000"},  // the discharge after the date does not
      {9100, "2026-01-31", "10.0000"}, {9100, "2026-12-31", "12.0000"}, {9101, "2026-03-01", "0.6667"},  // 1 - 0.3333
      {9101, "2026-06-01", "0.3333"},  // 1 - round(0.66667) = 1 - 0.6667
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.data);
    const KvResult<TQuantita4> g =
        GiacenzaAllaData(c.articolo, QDate::fromString(QString::fromLatin1(c.data), Qt::ISODate));
    ASSERT_TRUE(KvOk(g));
    EXPECT_EQ(g->Testo(), QString::fromLatin1(c.giacenza));
  }
}

TEST_F(Magazzino, StockAtADateFailsWithoutAStockRowInTheWorkingYear) {
  Articolo(9100, QStringLiteral("0009100"));
  Giacenza(9100, 9100, kUnitaPezzi, QStringLiteral("10"), QStringLiteral("1"), 1, 2025);
  const KvResult<TQuantita4> g = GiacenzaAllaData(9100, QDate(2026, 6, 1));
  ASSERT_FALSE(g.ok());
  EXPECT_TRUE(g.error().contains(QStringLiteral("non ha una giacenza"))) << g.error().toStdString();
}

TEST_F(Magazzino, PriceFormatHasOneDecimalMoreThanTheContextsDecimals) {
  struct Caso {
    int decimali;
    const char* formato;
    int cifre;
  } casi[] = {{-1, "#0.00", 2}, {0, "#0.000", 3}, {2, "#0.00000", 5}, {3, "#0.000000", 6}};
  for (const Caso& c : casi) {
    Contesto.Decimali = c.decimali;
    EXPECT_EQ(FormatoPrezzi(), QString::fromLatin1(c.formato));
    EXPECT_EQ(DecimaliPrezzi(), c.cifre);
  }
}

TEST_F(Magazzino, LogRowRecordsTheConnectionsUserAndTheDatabaseTimestamp) {
  const QDateTime prima = Scalar(QStringLiteral("SELECT CURRENT_TIMESTAMP FROM RDB$DATABASE")).toDateTime();
  ASSERT_TRUE(KvOk(ScriviLogMagazzino(QStringLiteral("Con nota"), QStringLiteral("a|b|"), true)));
  ASSERT_TRUE(KvOk(ScriviLogMagazzino(QStringLiteral("Senza nota"), QStringLiteral("ignorata"), false)));
  const QDateTime dopo = Scalar(QStringLiteral("SELECT CURRENT_TIMESTAMP FROM RDB$DATABASE")).toDateTime();

  QSqlQuery q(qqoKvGlobConn());
  ASSERT_TRUE(
      q.exec(QStringLiteral("SELECT SLOGUSERNAME, SLOGLDESC, BLOGNOTE, DLOGDATA, ILOGID FROM TLOG_MAGAZZINO "
                            "ORDER BY ILOGID")));
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(0).toString(), qqoKvGlobConn().userName());
  EXPECT_FALSE(q.value(0).toString().isEmpty());
  EXPECT_EQ(q.value(1).toString(), QStringLiteral("Con nota"));
  EXPECT_EQ(q.value(2).toString(), QStringLiteral("a|b|"));
  EXPECT_GE(q.value(3).toDateTime(), prima);
  EXPECT_LE(q.value(3).toDateTime(), dopo);
  EXPECT_GE(q.value(4).toInt(), 1000000);  // an id from the id procedure
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(1).toString(), QStringLiteral("Senza nota"));
  EXPECT_TRUE(q.value(2).isNull());
}

TEST_F(Magazzino, LogRowInsideATransactionGoesWithIt) {
  const int prima = ContaLog();
  const KvStatus annullata = KvInTransaction(qqoKvGlobConn(), [] {
    if (KvStatus s = ScriviLogMagazzino(QStringLiteral("Annullata"), QString(), false); !s) return s;
    return KvStatus(KvFail(QStringLiteral("rifiutata")));
  });
  EXPECT_FALSE(annullata.ok());
  EXPECT_EQ(ContaLog(), prima);
}

TEST_F(Magazzino, LastRowOfAnArticleByKind) {
  Articolo(9100, QStringLiteral("0009100"));
  Giacenza(9100, 9100, kUnitaPezzi, QStringLiteral("10"));
  Buono(9200, kCaricoAcquisto, QStringLiteral("2026-02-01"));
  Riga(9300, 9200, 9100, QStringLiteral("5"));
  Riga(9310, 9200, 9100, QStringLiteral("5"));
  Buono(9201, kScaricoConsumo, QStringLiteral("2026-03-01"));
  Riga(9301, 9201, 9100, QStringLiteral("2"));
  Buono(9202, kCaricoAcquisto, QStringLiteral("2026-02-01"), 1, 2025);  // another year
  Riga(9320, 9202, 9100, QStringLiteral("5"));
  Exec(QStringLiteral("INSERT INTO TOMG_ORDINIMAGAZ (IOMGID, IDWGID, IOMGESERCIZIOFIN) VALUES (9400, 1, 2026)"));
  Exec(QStringLiteral("INSERT INTO TOMGART (IOMGARTID, IOMGID, IARTID) VALUES (9500, 9400, 9100)"));
  Articolo(9101, QStringLiteral("0009101"));

  struct Caso {
    int articolo;
    int tipo;
    int riga;
  } casi[] = {{9100, 0, 9500}, {9100, 1, 9310}, {9100, 2, 9301}, {9100, 3, -1},
              {9101, 0, 0},    {9101, 1, 0},    {9101, 2, 0}};
  for (const Caso& c : casi) {
    SCOPED_TRACE(testing::Message() << c.articolo << " kind " << c.tipo);
    const KvResult<int> r = UltimaRigaArticolo(c.articolo, c.tipo);
    ASSERT_TRUE(KvOk(r));
    EXPECT_EQ(*r, c.riga);
  }
}

// Initial 10 boxes at 12.00; loaded 5 at 15.00 (cost given); 60 pieces out
// (5 boxes of 12); loaded 10 at 10.00 + 22% VAT = 12.20; 24 pieces out.
// Average: (10*12 + 5*15)/15 = 13.00, then (10*13 + 10*12.2)/20 = 12.60.
class CostoMedio : public Magazzino {
 protected:
  void SetUp() override {
    Magazzino::SetUp();
    Articolo(9100, QStringLiteral("0009100"));
    Giacenza(9100, 9100, kUnitaCf12, QStringLiteral("10"), QStringLiteral("12"));
    Buono(9200, kCaricoAcquisto, QStringLiteral("2026-02-01"));
    Riga(9300, 9200, 9100, QStringLiteral("5"), QStringLiteral("NULL"), QStringLiteral("15"));
    Buono(9201, kScaricoConsumo, QStringLiteral("2026-03-01"));
    Riga(9301, 9201, 9100, QStringLiteral("60"));
    Buono(9202, kCaricoAcquisto, QStringLiteral("2026-04-01"));
    Riga(9302, 9202, 9100, QStringLiteral("10"), QStringLiteral("10"));
    Buono(9203, kScaricoConsumo, QStringLiteral("2026-05-01"));
    Riga(9303, 9203, 9100, QStringLiteral("24"));
    // Factor 1, a discharge beyond the stock: the database reports an error.
    Articolo(9101, QStringLiteral("0009101"));
    Giacenza(9101, 9101, kUnitaPezzi, QStringLiteral("2"), QStringLiteral("4"));
    Riga(9304, 9203, 9101, QStringLiteral("3"));
  }
  QString Campo(int giacenza, const QString& colonna) {
    return Testo(QStringLiteral("SELECT %1 FROM TGIA_GIACENZE WHERE IGIAID = %2").arg(colonna).arg(giacenza));
  }
};

TEST_F(CostoMedio, WorkedTableOfLoadsAndDischargesThroughTheDatabase) {
  ASSERT_TRUE(KvOk(RicalcolaCostoMedio(0, 9100, 9302)));
  EXPECT_EQ(Campo(9100, QStringLiteral("FGIACOSTOUNIMED")), QStringLiteral("12.600000"));
  EXPECT_EQ(Campo(9100, QStringLiteral("FGIAGIACATT")), QStringLiteral("18.000000"));
  EXPECT_EQ(Campo(9100, QStringLiteral("FGIATOTCARICO")), QStringLiteral("15.000000"));
  EXPECT_EQ(Campo(9100, QStringLiteral("FGIATOTSCARICO")), QStringLiteral("84.000000"));
  EXPECT_EQ(Campo(9100, QStringLiteral("FGIAULTIMOCARICO")), QStringLiteral("10.000000"));
  EXPECT_EQ(Campo(9100, QStringLiteral("DGIAULTIMOCARICO")), QStringLiteral("2026-04-01"));
  EXPECT_EQ(Campo(9100, QStringLiteral("DGIAULTIMOSCARICO")), QStringLiteral("2026-05-01"));
  EXPECT_EQ(ContaLog(), 0);
  // The stock the window computes agrees with the database's.
  EXPECT_EQ(GiacenzaAllaData(9100, QDate(2026, 12, 31))->Testo(), QStringLiteral("18.0000"));
}

TEST_F(CostoMedio, ArticleOfTheVoucherRowWhenNoneIsGiven) {
  ASSERT_TRUE(KvOk(RicalcolaCostoMedio(0, 0, 9300)));
  EXPECT_EQ(Campo(9100, QStringLiteral("FGIACOSTOUNIMED")), QStringLiteral("12.600000"));
}

TEST_F(CostoMedio, AnErrorOfTheDatabaseIsLoggedAndFails) {
  const KvStatus r = RicalcolaCostoMedio(0, 9101, 9304);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), QStringLiteral("Errore Durante il calcolo del costo unitario medio!Cod.Art. 0009101"));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SLOGLDESC FROM TLOG_MAGAZZINO")).toString(), r.error());
  EXPECT_EQ(Scalar(QStringLiteral("SELECT BLOGNOTE FROM TLOG_MAGAZZINO")).toString(),
            QStringLiteral("Articolo id|9101|Mov.Art.id9304"));
}

TEST_F(CostoMedio, RecalculationOfEveryArticleOfTheYearLogsTheWrongOnes) {
  // Rows of another institute are left alone.
  Giacenza(9102, 9100, kUnitaPezzi, QStringLiteral("1"), QStringLiteral("1"), 2);
  QList<QPair<int, int>> passi;
  const KvResult<EsitoRicalcolo> esito =
      RicalcolaCostiMedi(-1, [&passi](int fatte, int totale) { passi << qMakePair(fatte, totale); });
  ASSERT_TRUE(KvOk(esito));
  const int righe = Scalar(QStringLiteral("SELECT COUNT(*) FROM TGIA_GIACENZE WHERE IDWGID = 1 AND "
                                          "IGIAESERCIZIOFIN = 2026"))
                        .toInt();
  EXPECT_EQ(esito->righe, righe);
  EXPECT_EQ(esito->errori, 1);
  ASSERT_EQ(passi.size(), righe + 1);
  EXPECT_EQ(passi.first(), qMakePair(0, righe));
  EXPECT_EQ(passi.last(), qMakePair(righe, righe));
  EXPECT_EQ(Campo(9100, QStringLiteral("FGIACOSTOUNIMED")), QStringLiteral("12.600000"));
  EXPECT_EQ(Campo(9102, QStringLiteral("FGIACOSTOUNIMED")), QStringLiteral("1.000000"));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT LIST(SLOGLDESC) FROM TLOG_MAGAZZINO")).toString(),
            QStringLiteral("Errore durante il ricalcolo del Costo Unitario Medio! Cod: 0009101"));
  EXPECT_TRUE(Scalar(QStringLiteral("SELECT BLOGNOTE FROM TLOG_MAGAZZINO")).isNull());
}

TEST_F(CostoMedio, TheButtonAsksAllOrOnlyTheCurrentArticle) {
  struct Caso {
    int risposta;
    bool ricalcolato9100;
    int log;
  } casi[] = {{mrCancel, false, 0}, {mrNo, true, 0}, {mrYes, true, 1}};
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.risposta);
    Exec(QStringLiteral("UPDATE TGIA_GIACENZE SET FGIACOSTOUNIMED = 0 WHERE IGIAID = 9100"));
    Exec(QStringLiteral("DELETE FROM TLOG_MAGAZZINO"));
    KvMessageScript::Clear();
    KvMessageScript::Answer(c.risposta);
    RicalcolaCostoUnitarioMedio(9100);
    ASSERT_EQ(KvMessageScript::Texts(),
              QStringList{QStringLiteral("Controllare Costo Unitario Medio per tutti gli Articoli?\n\r\n\rSì -> Tutti "
                                         "gli articoli\n\rNo -> Solo l'articolo selezionato")});
    EXPECT_EQ(Campo(9100, QStringLiteral("FGIACOSTOUNIMED")),
              c.ricalcolato9100 ? QStringLiteral("12.600000") : QStringLiteral("0.000000"));
    EXPECT_EQ(ContaLog(), c.log);
  }
}

TEST_F(Magazzino, ClosingDateOfTheWarehouseJournal) {
  struct Caso {
    int anno;
    QDate data;
  } casi[] = {{2025, QDate(2026, 1, 30)}, {2026, QDate()}, {2027, QDate()}};
  for (const Caso& c : casi) {
    Contesto.EsercizioFin = c.anno;
    const KvResult<QDate> d = TChiusura().DataChiusura();
    ASSERT_TRUE(KvOk(d));
    EXPECT_EQ(*d, c.data) << c.anno;
    EXPECT_EQ(TChiusura().Aperto(), !c.data.isValid());
  }
}

TEST_F(Magazzino, ArticleIsUsedByARowOfAnyInstituteOrYear) {
  Articolo(9100, QStringLiteral("0009100"));
  Articolo(9101, QStringLiteral("0009101"));
  Buono(9200, kScaricoConsumo, QStringLiteral("2020-02-01"), 7, 2020);
  Riga(9300, 9200, 9101, QStringLiteral("1"));
  EXPECT_TRUE(ArticoloNonUsato(9100).value_or(false));
  EXPECT_FALSE(ArticoloNonUsato(9101).value_or(true));
  EXPECT_FALSE(ArticoloNonUsato(1).value_or(true));  // demo article with orders and vouchers
}

}  // namespace
