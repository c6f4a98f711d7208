#include "AbzMGiacenze.h"
#include "AbzMagazzinoFixture.h"
#include "AbzRGiacenze.h"
#include "KvDbControls.h"
#include "KvQueryCollection.h"
#include "KvTestResult.h"
#include "PuxTestInput.h"
#include "TKvDBLookupEdit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QSqlQuery>

namespace {

// The stock frame standalone over its module, as the articles window embeds it.
class FrameGiacenze : public Magazzino {
 protected:
  void SetUp() override {
    Magazzino::SetUp();
    // An article of the test, never used, with its stock row; one without.
    Articolo(9100, QStringLiteral("0009100"));
    Giacenza(9100, 9100, kUnitaCf12, QStringLiteral("10"), QStringLiteral("12"));
    Articolo(9101, QStringLiteral("0009101"));
  }
  void Blocco(const QString& valore) {
    Exec(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO SET ILOCKED = %1 WHERE IYXARID = 24003").arg(valore));
  }
  QVariant Colonna(int giacenza, const QString& colonna) {
    return Scalar(QStringLiteral("SELECT %1 FROM TGIA_GIACENZE WHERE IGIAID = %2").arg(colonna).arg(giacenza));
  }
  QStringList Log() {
    QStringList out;
    QSqlQuery q(qqoKvGlobConn());
    q.exec(QStringLiteral("SELECT SLOGLDESC, BLOGNOTE FROM TLOG_MAGAZZINO ORDER BY ILOGID"));
    while (q.next()) out << q.value(0).toString() + QStringLiteral(" / ") + q.value(1).toString();
    return out;
  }
  void scegliUnita(TfrAbzGiacenze& f, const QString& testo) {
    PuxTestInput::retype(f.xleUniMisura->LineEdit(), testo);
    PuxTestInput::press(f.xleUniMisura->LineEdit(), Qt::Key_Return);
  }

  TdmAbzGiacenze dm;
};

TEST_F(FrameGiacenze, OpensForAnArticleOfTheDemoAndFollowsItsRow) {
  TfrAbzGiacenze f(dm);
  ASSERT_TRUE(f.Apri(29));  // toner: moved in 2026, stock below its minimum
  EXPECT_EQ(f.lbEsercizio->text(), QStringLiteral("Es. Finanziario: 2026"));
  EXPECT_EQ(dm.xqcGiacenze->RecordCount(), 1);
  EXPECT_EQ(f.xleUniMisura->Text(), QStringLiteral("Pezzi"));
  for (QAction* a : {f.xacFirst, f.xacPrior, f.xacNext, f.xacLast}) EXPECT_FALSE(a->isVisible());
  EXPECT_TRUE(f.ActionLocked(f.xacInsert));  // the article has its row
  EXPECT_TRUE(f.ActionLocked(f.xacDelete));  // and moved in the year
  EXPECT_FALSE(f.xleUniMisura->isEnabled());
  EXPECT_TRUE(f.xleUniMisura->ReadOnly());
  EXPECT_LT(dm.xqcGiacenze->FieldValue(QStringLiteral("DIFFERENZA")).toDouble(), 0);
  EXPECT_TRUE(f.xdnDifferenza->styleSheet().contains(QStringLiteral("red")));

  ASSERT_TRUE(f.Apri(9100));  // never moved, stock above its minimum
  EXPECT_FALSE(f.ActionLocked(f.xacDelete));
  EXPECT_TRUE(f.xleUniMisura->isEnabled());
  EXPECT_FALSE(f.xdnDifferenza->styleSheet().contains(QStringLiteral("red")));
  ASSERT_TRUE(f.Apri(9101));  // no stock row yet
  EXPECT_FALSE(f.ActionLocked(f.xacInsert));
  ASSERT_TRUE(f.Apri(-1));  // no article (a new one being typed)
  EXPECT_TRUE(f.ActionLocked(f.xacInsert));
}

TEST_F(FrameGiacenze, InitialValuesAreEditableOnlyWhileTheLockRecordHoldsTwo) {
  struct Caso {
    const char* valore;
    bool modificabili;
  } casi[] = {{"NULL", false}, {"1", false}, {"0", false}, {"2", true}};
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.valore);
    Blocco(QString::fromLatin1(c.valore));
    TfrAbzGiacenze f(dm);
    f.ImpostaBloccoValoriIniziali();
    ASSERT_TRUE(f.Apri(9101));
    f.xacInsert->trigger();  // even for a new row
    ASSERT_EQ(dm.xqcGiacenze->GetState(), KvState::Insert);
    for (TKvDBNumberEdit* campo : {f.xdnGiacIniz, f.xdnCostoUniIniz}) {
      EXPECT_EQ(campo->isEnabled(), c.modificabili);
      EXPECT_EQ(campo->ReadOnly(), !c.modificabili);
    }
    f.xacCancel->trigger();
  }
  // Whatever path posts, locked initial values are not changed.
  Blocco(QStringLiteral("NULL"));
  ASSERT_TRUE(KvOk(dm.Apri(9100)));
  dm.xqcGiacenze->SetFieldValue(QStringLiteral("FGIACOSTOUNIINIZ"), 13.0);
  EXPECT_EQ(dm.xqcGiacenze->Post().error(), TdmAbzGiacenze::TestoValoriInizialiBloccati());
  dm.xqcGiacenze->Cancel();
  dm.xqcGiacenze->SetFieldValue(QStringLiteral("FGIASCORTAMIN"), 2.0);  // the others may change
  EXPECT_TRUE(KvOk(dm.xqcGiacenze->Post()));
  EXPECT_EQ(Testo(QStringLiteral("SELECT FGIACOSTOUNIINIZ FROM TGIA_GIACENZE WHERE IGIAID = 9100")),
            QStringLiteral("12.000000"));
}

TEST_F(FrameGiacenze, RowsThatBreakARuleAreRefusedWithTheirMessageAndStayInEdit) {
  Blocco(QStringLiteral("2"));
  struct Caso {
    const char* unita;
    const char* giacenza;
    const char* costo;
    const char* testo;
  } casi[] = {
      {"", "1", "1", "Attenzione!\r\nE' necessario valorizzare il campo \"Unità di Misura\"."},
      {"Pezzi", "-1", "1", "\r\nLa quantià inserita non deve essere inferiore a zero."},
      {"Pezzi", "5", "0", "Inserire il Costo Unitario Iniziale"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.testo);
    TfrAbzGiacenze f(dm);
    f.ImpostaBloccoValoriIniziali();
    ASSERT_TRUE(f.Apri(9101));
    f.xacInsert->trigger();
    if (*c.unita) scegliUnita(f, QString::fromLatin1(c.unita));
    PuxTestInput::retype(f.xdnGiacIniz, QString::fromLatin1(c.giacenza));
    PuxTestInput::retype(f.xdnCostoUniIniz, QString::fromLatin1(c.costo));
    KvMessageScript::Clear();
    f.xacPost->trigger();
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{QString::fromUtf8(c.testo)});
    EXPECT_EQ(dm.xqcGiacenze->GetState(), KvState::Insert);
    // The module refuses it too, whatever path posts it.
    EXPECT_FALSE(dm.xqcGiacenze->Post().ok());
    f.xacCancel->trigger();
  }
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TGIA_GIACENZE WHERE IARTID = 9101")).toInt(), 0);
  EXPECT_TRUE(Log().isEmpty());
}

TEST_F(FrameGiacenze, NewRowTakesTheArticleInstituteAndYearAndIsLoggedWithItsId) {
  Blocco(QStringLiteral("2"));
  TfrAbzGiacenze f(dm);
  f.ImpostaBloccoValoriIniziali();
  ASSERT_TRUE(f.Apri(9101));
  f.xacInsert->trigger();
  scegliUnita(f, QStringLiteral("Pezzi"));
  PuxTestInput::retype(f.xdnGiacIniz, QStringLiteral("7,5"));
  PuxTestInput::retype(f.xdnCostoUniIniz, QStringLiteral("2,4"));
  // Typed into the initial values of an article never used: the current ones follow.
  EXPECT_EQ(f.xdnGiacAtt->text(), QStringLiteral("7,500"));
  f.xacPost->trigger();
  ASSERT_EQ(dm.xqcGiacenze->GetState(), KvState::Browse) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_TRUE(f.ActionLocked(f.xacInsert));

  QSqlQuery q(qqoKvGlobConn());
  ASSERT_TRUE(
      q.exec(QStringLiteral("SELECT IGIAID, IDWGID, IGIAESERCIZIOFIN, IUNMID, CAST(FGIAGIACATT AS VARCHAR(40)), "
                            "CAST(FGIACOSTOUNIMED AS VARCHAR(40)), FGIATOTCARICO, DGIAULTIMOCARICO "
                            "FROM TGIA_GIACENZE WHERE IARTID = 9101")));
  ASSERT_TRUE(q.next());
  const int id = q.value(0).toInt();
  EXPECT_EQ(q.value(1).toInt(), 1);
  EXPECT_EQ(q.value(2).toInt(), 2026);
  EXPECT_EQ(q.value(3).toInt(), kUnitaPezzi);
  EXPECT_EQ(q.value(4).toString(), QStringLiteral("7.500000"));
  EXPECT_EQ(q.value(5).toString(), QStringLiteral("2.400000"));
  EXPECT_TRUE(q.value(6).isNull());
  EXPECT_TRUE(q.value(7).isNull());
  EXPECT_FALSE(q.next());
  EXPECT_EQ(Log(),
            QStringList{
                QStringLiteral(
                    "Modificata Record Giacenze id: %1 / Articolo id:|9101|Giacenza Iniziale old:|0|Giacenza Iniziale "
                    "new:|7,5|Costo Unitario Iniz. old:|0|Costo Unitario Iniz. New:|2,4|Unità di misura old:|0|Unità "
                    "di misura new:|1|")
                    .arg(id)});
}

TEST_F(FrameGiacenze, UpdateRecomputesTheAverageCostInTheDatabaseAndLogsOldAndNewValues) {
  Blocco(QStringLiteral("2"));
  Buono(9200, kCaricoAcquisto, QStringLiteral("2026-02-01"));
  Riga(9300, 9200, 9100, QStringLiteral("10"), QStringLiteral("NULL"), QStringLiteral("20"));
  TfrAbzGiacenze f(dm);
  f.ImpostaBloccoValoriIniziali();
  ASSERT_TRUE(f.Apri(9100));
  // A used article: its current values are the database's, not a copy.
  PuxTestInput::retype(f.xdnGiacIniz, QStringLiteral("30"));
  EXPECT_EQ(f.xdnGiacAtt->text(), QStringLiteral("10,000"));
  f.xacPost->trigger();
  ASSERT_EQ(dm.xqcGiacenze->GetState(), KvState::Browse) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty());
  // (30 * 12 + 10 * 20) / 40 = 14, stock 40: read again into the frame.
  EXPECT_EQ(Testo(QStringLiteral("SELECT FGIACOSTOUNIMED FROM TGIA_GIACENZE WHERE IGIAID = 9100")),
            QStringLiteral("14.000000"));
  EXPECT_EQ(f.xdnGiacAtt->text(), QStringLiteral("40,000"));
  EXPECT_EQ(Log(), QStringList{QStringLiteral(
                       "Modificata Record Giacenze id: 9100 / Articolo id:|9100|Giacenza Iniziale old:|10|Giacenza "
                       "Iniziale new:|30|Costo Unitario Iniz. old:|12|Costo Unitario Iniz. New:|12|Unità di misura "
                       "old:|3|Unità di misura new:|3|")});
}

TEST_F(FrameGiacenze, AverageCostTheDatabaseCannotComputeIsShownAndTheChangeStays) {
  Blocco(QStringLiteral("2"));
  Buono(9200, kCaricoAcquisto, QStringLiteral("2026-02-01"));
  Riga(9300, 9200, 9100, QStringLiteral("1"), QStringLiteral("NULL"), QStringLiteral("20"));
  Buono(9201, kScaricoConsumo, QStringLiteral("2026-01-15"));
  Riga(9301, 9201, 9100, QStringLiteral("240"));  // 20 boxes out of 10
  TfrAbzGiacenze f(dm);
  f.ImpostaBloccoValoriIniziali();
  ASSERT_TRUE(f.Apri(9100));
  PuxTestInput::retype(f.xdnGiacIniz, QStringLiteral("11"));
  f.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{TdmAbzGiacenze::TestoErroreCostoMedio()});
  EXPECT_EQ(Testo(QStringLiteral("SELECT FGIAGIACINIZ FROM TGIA_GIACENZE WHERE IGIAID = 9100")),
            QStringLiteral("11.000000"));
  const QStringList log = Log();
  ASSERT_EQ(log.size(), 2);
  EXPECT_EQ(log[0], QStringLiteral("Errore Durante il calcolo del costo unitario medio!Cod.Art. 0009100 / Articolo "
                                   "id|9100|Mov.Art.id9300"));
  EXPECT_TRUE(log[1].startsWith(QStringLiteral("Modificata Record Giacenze id: 9100 / ")));
}

TEST_F(FrameGiacenze, MovedArticleKeepsItsUnitAndItsRow) {
  Buono(9200, kScaricoConsumo, QStringLiteral("2026-02-01"));
  Riga(9300, 9200, 9100, QStringLiteral("1"));
  TfrAbzGiacenze f(dm);
  ASSERT_TRUE(f.Apri(9100));
  EXPECT_FALSE(f.xleUniMisura->isEnabled());
  EXPECT_TRUE(f.ActionLocked(f.xacDelete));
  // Whatever path posts or deletes, the module refuses.
  dm.xqcGiacenze->SetFieldValue(QStringLiteral("IUNMID"), kUnitaPezzi);
  EXPECT_EQ(dm.xqcGiacenze->Post().error(), TdmAbzGiacenze::TestoGiacenzaMovimentata());
  dm.xqcGiacenze->Cancel();
  EXPECT_EQ(dm.xqcGiacenze->Delete().error(), TdmAbzGiacenze::TestoGiacenzaMovimentata());
  EXPECT_EQ(Colonna(9100, QStringLiteral("IUNMID")).toInt(), kUnitaCf12);
  EXPECT_TRUE(Log().isEmpty());
}

TEST_F(FrameGiacenze, CancelDropsWhatWasTypedAndReadsTheRowAgain) {
  Blocco(QStringLiteral("2"));
  TfrAbzGiacenze f(dm);
  f.ImpostaBloccoValoriIniziali();
  ASSERT_TRUE(f.Apri(9100));
  Exec(QStringLiteral("UPDATE TGIA_GIACENZE SET FGIASCORTAMIN = 4 WHERE IGIAID = 9100"));  // another clerk
  PuxTestInput::retype(f.xdnGiacIniz, QStringLiteral("30"));
  EXPECT_EQ(f.xdnGiacAtt->text(), QStringLiteral("30,000"));
  f.xacCancel->trigger();
  EXPECT_EQ(dm.xqcGiacenze->GetState(), KvState::Browse);
  EXPECT_EQ(f.xdnGiacIniz->text(), QStringLiteral("10,000"));
  EXPECT_EQ(f.xdnGiacAtt->text(), QStringLiteral("10,000"));
  EXPECT_EQ(f.xdnScortaMin->text(), QStringLiteral("4,000"));
  EXPECT_TRUE(Log().isEmpty());
}

TEST_F(FrameGiacenze, DeletedRowIsLoggedWithItsId) {
  TfrAbzGiacenze f(dm);
  ASSERT_TRUE(f.Apri(9100));
  KvMessageScript::Answer(mrYes);
  f.xacDelete->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Cancellare il record?")});
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TGIA_GIACENZE WHERE IGIAID = 9100")).toInt(), 0);
  EXPECT_EQ(Log(), QStringList{QStringLiteral("DELETE Record giacenze id: 9100 / ")});
  EXPECT_FALSE(f.ActionLocked(f.xacInsert));
}

// The log row is written in the post's transaction: when the post fails
// after the stock statement ran, neither the change nor its log row stay.
TEST_F(FrameGiacenze, FailedPostLeavesNoLogRowAndNoChange) {
  Blocco(QStringLiteral("2"));
  struct Caso {
    const char* tabella;
  } casi[] = {{"TGIA_GIACENZE"}, {"TLOG_MAGAZZINO"}};
  Exec(QStringLiteral("CREATE EXCEPTION E_PROVA 'rifiutato dalla prova'"));
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.tabella);
    Exec(QStringLiteral("CREATE OR ALTER TRIGGER T_PROVA FOR %1 ACTIVE AFTER INSERT OR UPDATE AS BEGIN "
                        "EXCEPTION E_PROVA; END")
             .arg(QString::fromLatin1(c.tabella)));
    TfrAbzGiacenze f(dm);
    f.ImpostaBloccoValoriIniziali();
    ASSERT_TRUE(f.Apri(9100));
    PuxTestInput::retype(f.xdnGiacIniz, QStringLiteral("30"));
    KvMessageScript::Clear();
    f.xacPost->trigger();
    ASSERT_EQ(KvMessageScript::Texts().size(), 1);
    EXPECT_TRUE(KvMessageScript::Texts()[0].contains(QStringLiteral("rifiutato dalla prova")))
        << KvMessageScript::Texts()[0].toStdString();
    EXPECT_EQ(dm.xqcGiacenze->GetState(), KvState::Edit);
    EXPECT_EQ(Testo(QStringLiteral("SELECT FGIAGIACINIZ FROM TGIA_GIACENZE WHERE IGIAID = 9100")),
              QStringLiteral("10.000000"));
    EXPECT_TRUE(Log().isEmpty());
    f.xacCancel->trigger();
    Exec(QStringLiteral("DROP TRIGGER T_PROVA"));
  }
}

TEST_F(FrameGiacenze, UnitPricesShowOneDecimalMoreThanTheContext) {
  Contesto.Decimali = 2;
  TfrAbzGiacenze f(dm);
  ASSERT_TRUE(f.Apri(9100));
  EXPECT_EQ(f.xdnCostoUniIniz->text(), QStringLiteral("12,00000"));
  EXPECT_EQ(f.xdnCostoUniMed->text(), QStringLiteral("12,00000"));
  EXPECT_EQ(f.xdnGiacIniz->text(), QStringLiteral("10,000"));
}

}  // namespace
