#include "KvMessageDlg.h"
#include "PuxTestDb.h"
#include "TdmNuovoAnnoQuery.h"

namespace {

using Riga = TdmNuovoAnnoQuery::Riga;
using Campo = TdmNuovoAnnoQuery::Campo;

// Demo data: institute 1 works in every year from 2019, each a calendar
// year (link id = year - 1000). Institute 3 is a new one.
class NuovoAnno : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    KvMessageScript::Begin();
  }
  void TearDown() override {
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }
  static Riga Nuova(int dwg, int anno, QDate inizio = {}, QDate fine = {}) {
    Riga r;
    r.idDwg = dwg;
    r.anno = anno;
    r.personalizzate = inizio.isValid() || fine.isValid();
    r.inizio = inizio;
    r.fine = fine;
    return r;
  }
  static Riga Modifica(int anno, QDate inizio, QDate fine, QDate inizioSalvato, QDate fineSalvato) {
    Riga r = Nuova(1, anno, inizio, fine);
    r.inserimento = false;
    r.idDwgAnf = anno - 1000;
    r.annoSalvato = anno;
    r.inizioSalvato = inizioSalvato;
    r.fineSalvato = fineSalvato;
    return r;
  }
  void Link(int id, int dwg, int anno, const char* extra = "") {
    Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID%1) VALUES (%2, %3, %4%5)")
             .arg(QLatin1String(*extra ? ", DDELETE" : ""))
             .arg(id)
             .arg(anno - 1900)
             .arg(dwg)
             .arg(QLatin1String(*extra ? ", CURRENT_TIMESTAMP" : "")));
  }
  QString UltimoMessaggio() const {
    const QStringList t = KvMessageScript::Texts();
    return t.isEmpty() ? QString() : t.last();
  }
};

TEST_F(NuovoAnno, TheFirstYearOfAnInstituteNeedsNoNeighbours) {
  for (const Riga& r : {Nuova(3, 2024), Nuova(3, 2024, QDate(2023, 9, 1), QDate(2024, 8, 31))}) {
    const auto esito = TdmNuovoAnnoQuery::Verifica(r);
    EXPECT_TRUE(esito.ok);
    EXPECT_TRUE(esito.aggiornamenti.isEmpty());
  }
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty());
}

TEST_F(NuovoAnno, RefusalsShowTheirMessageAndFocusTheField) {
  Link(7001, 3, 2025);
  Link(7002, 3, 2020, "deleted");
  struct Case {
    Riga riga;
    Campo campo;
    const char* text;
  } cases[] = {
      {Nuova(3, 0), Campo::Anno, "Attenzione ! \nCampo obbligatorio \"Anno Finanziario\". "},
      {Nuova(3, 2025), Campo::Anno, "Attenzione ! \nAnno Finanziario già definito. "},
      {Nuova(3, 2020), Campo::Anno, "Attenzione ! \nAnno Finanziario già definito. "},  // even a deleted link
      {Nuova(3, 2023, QDate(2023, 1, 1)), Campo::Fine,
       "Attenzione ! \nSe si vogliono personalizzare le date di inizio e fine è necessario specificarle entrambe. "},
      {Nuova(3, 2023, QDate(2023, 5, 1), QDate(2023, 4, 1)), Campo::Fine,
       "Attenzione ! \nLa data di fine deve essere maggiore di quella di inizio. "},
      {Nuova(3, 2023, QDate(2024, 1, 1), QDate(2024, 6, 1)), Campo::Inizio,
       "Attenzione ! \nLa data d'inizio non può essere accettata in quanto maggiore dell'anno finanziario "
       "selezionato. "},
      {Nuova(3, 2023, QDate(2022, 1, 1), QDate(2022, 12, 31)), Campo::Fine,
       "Attenzione ! \nLa data di fine non può essere accettata in quanto minore dell'anno finanziario selezionato. "},
      {Nuova(3, 2026, QDate(2025, 12, 1), QDate(2026, 12, 31)), Campo::Inizio,
       "Attenzione ! \nLa data d'inizio non può essere accettata, perchè si sovrappone ad un anno finanziario già "
       "definito. \nL'anno finanziario può partire dal 01/01/2026 in poi. "},
      {Nuova(3, 2024, QDate(2024, 1, 1), QDate(2025, 1, 15)), Campo::Fine,
       "Attenzione ! \nLa data di fine dell'Anno Finanziario non può essere accettata, perchè si sovrappone ad un "
       "anno finanziario già definito. \nL'anno finanziario può terminare al massimo il 31/12/2024 . "},
  };
  for (const Case& c : cases) {
    KvMessageScript::Clear();
    const auto esito = TdmNuovoAnnoQuery::Verifica(c.riga);
    EXPECT_FALSE(esito.ok) << c.text;
    EXPECT_EQ(esito.campo, c.campo) << c.text;
    EXPECT_EQ(KvMessageScript::Texts(), QStringList({QString::fromUtf8(c.text)}));
  }
}

TEST_F(NuovoAnno, AGapAfterThePreviousYearIsAskedTwice) {
  Link(7001, 3, 2024);
  const Riga r = Nuova(3, 2025, QDate(2025, 1, 3), QDate(2025, 12, 31));
  KvMessageScript::Answer(mrNo);
  EXPECT_FALSE(TdmNuovoAnnoQuery::Verifica(r).ok);
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_EQ(KvMessageScript::Messages().first().type, TMsgDlgType::mtWarning);
  EXPECT_EQ(KvMessageScript::Texts().first(),
            QStringLiteral("Attenzione ! \nIl tempo che intercorre tra il 01/01/2025 e il 02/01/2025 non rientra in "
                           "nessun Anno Finanziario definito. \nContinuare ? "));
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  KvMessageScript::Answer(mrNo);
  EXPECT_FALSE(TdmNuovoAnnoQuery::Verifica(r).ok);
  ASSERT_EQ(KvMessageScript::Messages().size(), 2);
  EXPECT_EQ(KvMessageScript::Messages()[1].type, TMsgDlgType::mtWarning);
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  KvMessageScript::Answer(mrYes);
  EXPECT_TRUE(TdmNuovoAnnoQuery::Verifica(r).ok);
}

TEST_F(NuovoAnno, MovingAContiguousStartMovesThePreviousYearsEnd) {
  const Riga r = Modifica(2020, QDate(2020, 2, 1), QDate(2020, 12, 31), QDate(2020, 1, 1), QDate(2020, 12, 31));
  KvMessageScript::Answer(mrNo);
  EXPECT_FALSE(TdmNuovoAnnoQuery::Verifica(r).ok);  // "no" keeps the form open
  KvMessageScript::Clear();
  const Riga troppo = Modifica(2020, QDate(2019, 1, 1), QDate(2020, 12, 31), QDate(2020, 1, 1), QDate(2020, 12, 31));
  EXPECT_FALSE(TdmNuovoAnnoQuery::Verifica(troppo).ok);
  EXPECT_TRUE(KvMessageScript::Texts().first().contains(QStringLiteral("può partire dal 02/01/2019 in poi")));

  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  const auto esito = TdmNuovoAnnoQuery::Verifica(r);
  ASSERT_TRUE(esito.ok);
  EXPECT_EQ(esito.aggiornamenti,
            QStringList({" UPDATE TDWGANF SET TDWGANF.DDWGANFINIZIO = '01/01/2019', TDWGANF.DDWGANFFINE = "
                         "'01/31/2020' WHERE (TDWGANF.IDWGANFID = 1019)"}));
  EXPECT_EQ(KvMessageScript::Texts(),
            QStringList({"Attenzione ! \nModificando la data d'inizio si modificherà automaticamente la durata "
                         "dell'anno finanziario precedente. \n \nAnno finanziario precedente : 2019 \nInizio : "
                         "01/01/2019 \nFine : 31/12/2019 \n  Dopo modifica :  \nInizio : 01/01/2019 \nFine : "
                         "31/01/2020 \n \nContinuare ? "}));
  // The queued update keeps the years contiguous once run.
  Exec(esito.aggiornamenti.first());
  EXPECT_EQ(TdmNuovoAnnoQuery::DateEffettive(1019).second, QDate(2020, 1, 31));
}

TEST_F(NuovoAnno, MovingAContiguousEndMovesTheNextYearsStart) {
  const Riga r = Modifica(2020, QDate(2020, 1, 1), QDate(2021, 1, 15), QDate(2020, 1, 1), QDate(2020, 12, 31));
  KvMessageScript::Answer(mrYes);
  const auto esito = TdmNuovoAnnoQuery::Verifica(r);
  ASSERT_TRUE(esito.ok) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(esito.aggiornamenti,
            QStringList({" UPDATE TDWGANF SET TDWGANF.DDWGANFINIZIO = '01/16/2021', TDWGANF.DDWGANFFINE = "
                         "'12/31/2021' WHERE (TDWGANF.IDWGANFID = 1021)"}));
}

TEST_F(NuovoAnno, SuiteDatesAreShownOnlyForPlausibleYears) {
  EXPECT_EQ(TdmNuovoAnnoQuery::DateSuite(QStringLiteral("2019")), std::make_pair(QDate(2019, 1, 1), QDate(2019, 12, 31)));
  for (const char* text : {"1969", "2051", "20", "abc", ""})
    EXPECT_FALSE(TdmNuovoAnnoQuery::DateSuite(QString::fromLatin1(text)).first.isValid()) << text;
}

}  // namespace
