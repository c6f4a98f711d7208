#include "FenCodiciFixture.h"
#include "FenMCCD.h"
#include "FenRCCD.h"
#include "FenUAvvisiCodice.h"
#include "KvDbControls.h"

#include <gtest/gtest.h>

// Doubts about a code are questions: Sì saves, No goes back to the row.

TEST_F(Codici, DoubtfulCodesRaiseTheirQuestionsInOrder) {
  Codice(9001, CcdCig, QStringLiteral("ZZDOPPIO01"), QStringLiteral("2026-03-10"));
  auto doppione = [](const char* codice) {
    return QStringLiteral("Attenzione!\nIl codice CIG '%1' è già presente in archivio.\nSalvare comunque?")
        .arg(QLatin1String(codice));
  };
  const QString doppio = doppione("ZZDOPPIO01");
  const QString scadenza = QStringLiteral(
      "Attenzione!\nLa data di scadenza (09/03/2026) è precedente alla data di assegnazione (10/03/2026).\n"
      "Salvare comunque?");
  auto fuori = [](const char* data) {
    return QStringLiteral("Attenzione!\nLa data di assegnazione (%1) non è compresa tra il 01/01/1990 e il 11/12/2036.\n"
                          "Salvare comunque?")
        .arg(QLatin1String(data));
  };
  const QDate oggi(2026, 12, 11);
  const struct {
    int tipo;
    int id;
    const char* codice;
    QDate assegnazione;
    QDate scadenza;
    QStringList domande;
  } casi[] = {
      {CcdCig, -1, "ZZDOPPIO01", {2026, 3, 10}, {}, {doppio}},
      {CcdCig, -1, " zzdoppio01 ", {2026, 3, 10}, {}, {doppione("zzdoppio01")}},  // spaces and case aside
      {CcdCup, -1, "ZZDOPPIO01", {2026, 3, 10}, {}, {}},         // another kind
      {CcdCig, 9001, "ZZDOPPIO01", {2026, 3, 10}, {}, {}},       // the code itself, corrected
      {CcdCig, -1, "ZZNUOVO001", {2026, 3, 10}, {2026, 3, 9}, {scadenza}},
      {CcdCig, -1, "ZZNUOVO001", {2026, 3, 10}, {2026, 3, 10}, {}},
      {CcdCig, -1, "ZZNUOVO001", {1989, 12, 31}, {}, {fuori("31/12/1989")}},
      {CcdCig, -1, "ZZNUOVO001", {1990, 1, 1}, {}, {}},
      {CcdCig, -1, "ZZNUOVO001", {2036, 12, 11}, {}, {}},
      {CcdCig, -1, "ZZNUOVO001", {2036, 12, 12}, {}, {fuori("12/12/2036")}},
      {CcdCig, -1, "ZZDOPPIO01", {2037, 1, 1}, {2026, 3, 10}, {doppio, QString(), fuori("01/01/2037")}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.codice);
    CodiceDaSalvare codice{c.tipo, c.id, QString::fromLatin1(c.codice), c.assegnazione, c.scadenza};
    const KvResult<QStringList> avvisi = AvvisiCodice(codice, oggi);
    ASSERT_TRUE(avvisi) << avvisi.error().toStdString();
    if (c.domande.size() == 3) {  // all three: the expiry's text names its own dates
      ASSERT_EQ(avvisi->size(), 3);
      EXPECT_EQ(avvisi->at(0), c.domande[0]);
      EXPECT_TRUE(avvisi->at(1).startsWith(QStringLiteral("Attenzione!\nLa data di scadenza (10/03/2026)")));
      EXPECT_EQ(avvisi->at(2), c.domande[2]);
    } else {
      EXPECT_EQ(*avvisi, c.domande);
    }
  }
}

TEST_F(Codici, TheArchiveAsksBeforeSavingADoubtfulCode) {
  Codice(9001, CcdCig, QStringLiteral("ZZDOPPIO01"), QStringLiteral("2026-03-10"));
  auto quanti = [this] { return Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = 'ZZDOPPIO01'").toInt(); };
  TdmFenCCD dm;
  TfrFenCCD f(dm);
  f.SetTipo(CcdCig);
  ASSERT_TRUE(f.Apri());
  f.xacInsert->trigger();
  PuxTestInput::retype(f.xdeCodice, QStringLiteral("ZZDOPPIO01"));
  PuxTestInput::retype(f.xddDataAssegn->LineEdit(), QStringLiteral("10/03/2026"));
  PuxTestInput::retype(f.xddDataScad->LineEdit(), QStringLiteral("09/03/2026"));
  riscriviMemo(f.xdmDescrizione, QStringLiteral("Secondo lotto"));

  // No to the first question: nothing saved, nothing more asked.
  KvMessageScript::Answer(mrNo);
  f.xacPost->trigger();
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_TRUE(KvMessageScript::Messages()[0].text.contains(QStringLiteral("già presente")));
  EXPECT_EQ(KvMessageScript::Messages()[0].buttons, mbYesNo);
  EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
  EXPECT_EQ(quanti(), 1);

  // Sì, then No to the expiry: still not saved.
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  KvMessageScript::Answer(mrNo);
  f.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Messages().size(), 2);
  EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
  EXPECT_EQ(quanti(), 1);

  // Sì to both: saved as typed.
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  KvMessageScript::Answer(mrYes);
  f.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Messages().size(), 2);
  EXPECT_EQ(f.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(quanti(), 2);
}
