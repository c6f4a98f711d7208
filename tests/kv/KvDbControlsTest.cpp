#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvNumberText.h"
#include "KvQueryCollection.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "TfrKvDBFrames.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPalette>

#include <tuple>

// The limits of a field and what it refuses, apart from any window: the
// windows' tables (typed text -> value stored) are in the codes tests.
TEST(KvNumberText, RefusesWhatAFieldCannotHoldNamingTheField) {
  using L = KvNumberText::Limits;
  const struct {
    const char* typed;
    L limits;
    const char* result;  // decimal text, or the refusal
  } cases[] = {
      {"0,10", {1, -1, -1}, "0.1"},  // trailing zeros do not count
      {"0,15", {1, -1, -1}, "Il campo 'Peso' ammette al massimo 1 decimale."},
      {"3,0", {0, -1, 32767}, "3"},
      {"3,5", {0, -1, 32767}, "Il campo 'Peso' ammette solo numeri interi."},
      {"32.767", {0, -1, 32767}, "32767"},
      {"-32.768", {0, -1, 32767}, "Il valore del campo 'Peso' è troppo grande."},
      {"9999999999999999999", {0, -1, -1}, "Il valore del campo 'Peso' è troppo grande."},
      {"-0", {2, 12, -1}, "0"},
      {"007,5", {2, 12, -1}, "7.5"},
      // A double carries fifteen digits: more could not be stored as typed.
      {"123.456.789.012,345", {-1, -1, -1}, "123456789012.345"},
      {"1.234.567.890.123,456", {-1, -1, -1}, "Il valore del campo 'Peso' ha troppe cifre (al massimo 15)."},
      {"0,000000000000001", {-1, -1, -1}, "0.000000000000001"},
      {"", {-1, -1, -1}, "Il valore del campo 'Peso' non è un numero valido."},
      {"-", {-1, -1, -1}, "Il valore del campo 'Peso' non è un numero valido."},
      {",", {-1, -1, -1}, "Il valore del campo 'Peso' non è un numero valido."},
      {"+5", {-1, -1, -1}, "Il valore del campo 'Peso' non è un numero valido."},
  };
  for (const auto& c : cases) {
    const KvResult<QString> r = KvNumberText::Parse(QString::fromUtf8(c.typed), c.limits, QStringLiteral("Peso"));
    EXPECT_EQ(r ? *r : r.error(), QString::fromUtf8(c.result)) << c.typed;
  }
  EXPECT_EQ(KvNumberText::Parse(QStringLiteral("1e9"), {}, QString()).error(),
            QStringLiteral("Il valore immesso non è un numero valido."));
}

TEST(KvNumberText, ShowsTheDecimalTheValueStandsFor) {
  const struct {
    double value;
    int decimals;
    bool thousands;
    const char* shown;
  } cases[] = {
      {3600, 2, true, "3.600,00"},
      {-1234567.5, 2, true, "-1.234.567,50"},
      {999999999999.99, 2, true, "999.999.999.999,99"},
      {1.005, 2, true, "1,01"},  // the decimal 1.005, not the double just below it
      {0.099999999999999992, -1, false, "0,1"},  // as the driver reads 0.1 back
      {-0.001, 2, true, "0,00"},
      {2.5, -1, false, "2,5"},
      {1234.5, -1, true, "1.234,5"},
      {7, 0, true, "7"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(KvNumberText::Format(c.value, c.decimals, c.thousands), QString::fromUtf8(c.shown)) << c.value;
  EXPECT_EQ(KvNumberText::DecimalText(999999999999.99, 6), QStringLiteral("999999999999.99"));
  // A grid column of amounts reads the same.
  EXPECT_EQ(TKvCollectionModel::FixedFormat(2, true)(1.005), QStringLiteral("1,01"));
}

class KvDbControlsTest : public PuxDbTest {
 protected:
  PuxTestDb::Content content() const override { return PuxTestDb::Content::Schema; }
};

TEST_F(KvDbControlsTest, FieldsKnowTheSizeOfTheirColumns) {
  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral(
      "SELECT IARTID, SARTCOD, SARTDESCS, SARTDESCL, FARTSCARTOPERC, LARTRISERVA, CAST(1 AS BIGINT) AS GRANDE, "
      "CAST(1 AS DOUBLE PRECISION) AS REALE, CAST(1 AS NUMERIC(9,2)) AS PICCOLO FROM TART_ARTICOLI"));
  ASSERT_TRUE(c.Open());
  auto size = [&](const char* field) {
    const TKvFieldSize s = c.FieldSize(QString::fromLatin1(field));
    return std::make_tuple(s.length, s.digits, s.decimals, s.largest);
  };
  EXPECT_EQ(size("SARTCOD"), std::make_tuple(7, -1, -1, qint64(-1)));
  EXPECT_EQ(size("SARTDESCS"), std::make_tuple(120, -1, -1, qint64(-1)));
  EXPECT_EQ(size("SARTDESCL"), std::make_tuple(-1, -1, -1, qint64(-1)));  // a text blob has no limit
  EXPECT_EQ(size("FARTSCARTOPERC"), std::make_tuple(-1, 18, 6, qint64(-1)));
  EXPECT_EQ(size("PICCOLO"), std::make_tuple(-1, 9, 2, qint64(-1)));
  EXPECT_EQ(size("IARTID"), std::make_tuple(-1, -1, 0, qint64(2147483647)));
  EXPECT_EQ(size("LARTRISERVA"), std::make_tuple(-1, -1, 0, qint64(32767)));
  EXPECT_EQ(size("GRANDE"), std::make_tuple(-1, -1, 0, qint64(999999999999999999)));
  EXPECT_EQ(size("REALE"), std::make_tuple(-1, -1, -1, qint64(-1)));
}

// Text fields stop at the column's length; a number field's keypad point is
// the decimal comma.
TEST_F(KvDbControlsTest, ControlsTakeTheirLimitsFromTheColumn) {
  KvMessageScript::Begin();
  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral("SELECT IARTID, SARTCOD, SARTDESCL, FARTSCARTOPERC FROM TART_ARTICOLI"));
  c.SQLInsert() << QStringLiteral(
      "INSERT INTO TART_ARTICOLI (IARTID, SARTCOD, SARTDESCL, FARTSCARTOPERC) VALUES (:KVGENID, :SARTCOD, "
      ":SARTDESCL, :FARTSCARTOPERC)");
  ASSERT_TRUE(c.Open());
  TfrKvDBRW frame;
  frame.SetDataSet(&c);
  TKvDBEdit* xdeCod = frame.AddDBEdit(QStringLiteral("xdeCod"), QStringLiteral("SARTCOD"), QStringLiteral("Codice"));
  TKvDBMemo* xdmDesc = frame.AddDBMemo(QStringLiteral("xdmDesc"), QStringLiteral("SARTDESCL"), QStringLiteral("Descrizione"));
  TKvDBNumberEdit* xdnScarto = frame.AddDBNumber(QStringLiteral("xdnScarto"), QStringLiteral("FARTSCARTOPERC"), QStringLiteral("Scarto"));
  frame.xacInsert->trigger();
  PuxTestInput::type(xdeCod, QStringLiteral("ABCDEFGHIJ"));
  EXPECT_EQ(xdeCod->text(), QStringLiteral("ABCDEFG"));
  PuxTestInput::type(xdmDesc, QString(2000, QLatin1Char('x')));  // a blob holds any length
  EXPECT_EQ(xdmDesc->toPlainText().size(), 2000);
  PuxTestInput::type(xdnScarto, QStringLiteral("1"));
  PuxTestInput::press(xdnScarto, Qt::Key_Period, QStringLiteral("."), Qt::KeypadModifier);
  PuxTestInput::type(xdnScarto, QStringLiteral("125"));
  EXPECT_EQ(xdnScarto->text(), QStringLiteral("1,125"));
  frame.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT CAST(FARTSCARTOPERC AS VARCHAR(30)) || '|' || SARTCOD FROM TART_ARTICOLI").toString(),
            QStringLiteral("1.125000|ABCDEFG"));
  KvMessageScript::End();
}

// What still reaches the engine comes back naming the field, the engine's
// own words below.
TEST_F(KvDbControlsTest, EngineRefusalsNameTheField) {
  KvMessageScript::Begin();
  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral("SELECT IBENID, SBENRAGSOC, SBENCODFISCALE FROM TBEN_BENEFICIARI"));
  c.SQLInsert() << QStringLiteral(
      "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENCODFISCALE) VALUES (:KVGENID, :SBENRAGSOC, :SBENCODFISCALE)");
  ASSERT_TRUE(c.Open());
  TKvQueryCollection pesi;
  pesi.SetCommandText(QStringLiteral("SELECT ICRCID, FCRCPESO FROM TCRC_CRITERICOMP"));
  pesi.SQLInsert() << QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, FCRCPESO) VALUES (:KVGENID, :FCRCPESO)");
  ASSERT_TRUE(pesi.Open());
  TfrKvDBRW frame, framePesi;
  frame.SetDataSet(&c);
  framePesi.SetDataSet(&pesi);
  frame.AddDBEdit(QStringLiteral("xdeRagSoc"), QStringLiteral("SBENRAGSOC"), QStringLiteral("Ragione sociale"));
  frame.AddDBEdit(QStringLiteral("xdeCodFiscale"), QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"));
  framePesi.AddDBNumber(QStringLiteral("xdnPeso"), QStringLiteral("FCRCPESO"), QStringLiteral("Peso"));

  auto rifiuto = [](TfrKvDBFrame& f) {
    KvMessageScript::Clear();
    f.xacPost->trigger();
    return KvMessageScript::Texts().value(0);
  };
  frame.xacInsert->trigger();
  c.SetFieldValue(QStringLiteral("SBENRAGSOC"), QStringLiteral("Rossi"));
  c.SetFieldValue(QStringLiteral("SBENCODFISCALE"), QString(200, QLatin1Char('R')));  // set by code, past the column
  EXPECT_TRUE(rifiuto(frame).startsWith(QStringLiteral("Il valore del campo 'Codice fiscale' è troppo lungo.\n\n")));
  EXPECT_TRUE(KvMessageScript::Texts().value(0).contains(QStringLiteral("string right truncation")));
  c.SetFieldValue(QStringLiteral("SBENCODFISCALE"), QStringLiteral("Rossi"));
  c.SetFieldValue(QStringLiteral("SBENRAGSOC"), QVariant(QMetaType(QMetaType::QString)));
  EXPECT_TRUE(rifiuto(frame).startsWith(QStringLiteral("Il campo 'Ragione sociale' deve avere un valore.\n\n")));

  framePesi.xacInsert->trigger();
  pesi.SetFieldValue(QStringLiteral("FCRCPESO"), 1e15);
  // The field refuses it itself; the engine's words would name it too.
  EXPECT_EQ(rifiuto(framePesi), QStringLiteral("Attenzione!\nIl valore del campo 'Peso' è troppo grande."));
  const QString overflow =
      QStringLiteral("arithmetic exception, numeric overflow, or string truncation - numeric value is out of range");
  const KvFailure f = framePesi.xdsMain->ExplainFailure(overflow);
  EXPECT_EQ(f.text, QStringLiteral("Il valore del campo 'Peso' è troppo grande."));
  EXPECT_EQ(f.detail, overflow);
  EXPECT_EQ(framePesi.xdsMain->ExplainFailure(QStringLiteral("Attenzione!\nGià presente.")).text,
            QStringLiteral("Attenzione!\nGià presente."));
  EXPECT_EQ(Scalar("SELECT (SELECT COUNT(*) FROM TBEN_BENEFICIARI) + (SELECT COUNT(*) FROM TCRC_CRITERICOMP) "
                   "FROM RDB$DATABASE")
                .toInt(),
            0);
  KvMessageScript::End();
}

TEST(KvDbDateEdit, CalendarOpensBesideTheFieldInsideTheWindow) {
  const QRect window(0, 0, 1000, 700);
  const QSize calendar(250, 200);
  const struct {
    QRect field;
    QPoint at;
  } cases[] = {
      {{100, 100, 120, 22}, {222, 100}},  // on the right
      {{100, 650, 120, 22}, {222, 500}},  // on the right, moved up to stay inside
      {{850, 100, 120, 22}, {598, 100}},  // no room on the right: on the left
      {{5, 300, 990, 22}, {5, 98}},       // a wide field: above
      {{5, 50, 990, 22}, {5, 74}},        // below only when nothing else fits
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TKvDBDateEdit::CalendarPosition(c.field, calendar, window), c.at) << c.field.x() << "," << c.field.y();
    EXPECT_FALSE(QRect(c.at, calendar).intersects(c.field));
  }
}

// A field the clerk never types into (a value the database keeps) is shown
// on the window's colour; the others keep the white of a field to fill.
TEST(KvDbControlsLook, AReadOnlyFieldLooksReadOnly) {
  TfrKvDBRW frame;
  TKvDBNumberEdit* medio = frame.AddDBNumber(QStringLiteral("xdnMedio"), QStringLiteral("F1"), QStringLiteral("Medio"));
  TKvDBNumberEdit* iniziale = frame.AddDBNumber(QStringLiteral("xdnIniz"), QStringLiteral("F2"), QStringLiteral("Iniziale"));
  TKvDBDateEdit* data = frame.AddDBDate(QStringLiteral("xddData"), QStringLiteral("D1"), QStringLiteral("Data"));
  medio->SetReadOnly(true);
  data->SetReadOnly(true);
  const QColor finestra = frame.palette().color(QPalette::Window);
  EXPECT_EQ(medio->palette().color(QPalette::Base), finestra);
  EXPECT_EQ(data->LineEdit()->palette().color(QPalette::Base), finestra);
  EXPECT_NE(iniziale->palette().color(QPalette::Base), finestra);
  medio->SetReadOnly(false);
  EXPECT_EQ(medio->palette().color(QPalette::Base), iniziale->palette().color(QPalette::Base));
}
