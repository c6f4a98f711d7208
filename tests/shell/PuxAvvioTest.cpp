#include "PuxAvvio.h"
#include "PuxContesto.h"
#include "PuxTestDb.h"

#include <QDate>

TEST_F(PuxDbTest, DemoDatabaseOpensOnTheDemoSchoolAndCurrentYear) {
  PuxLeggiContesto();
  PuxCalcolaDateEsercizio();
  const int year = QDate::currentDate().year();
  EXPECT_EQ(Contesto.DwgId, 1);
  EXPECT_EQ(Contesto.EsercizioFin, year);
  EXPECT_EQ(Contesto.InizioEsercizio, QDate(year, 1, 1));
  EXPECT_EQ(Contesto.FineEsercizio, QDate(year, 12, 31));
  EXPECT_EQ(Contesto.ArtCod, 0);
  EXPECT_EQ(Contesto.Decimali, 1);
}

TEST_F(PuxDbTest, YearNotLinkedToTheInstituteLeavesTheContextYearAtZero) {
  Exec(QStringLiteral("UPDATE TYPAR_PARAMETRI SET SPARVALORE = '1' WHERE SPARCHIAVE = 'KVUP_DWGID'"));
  Exec(QStringLiteral("UPDATE TDWGANF SET DDELETE = CURRENT_TIMESTAMP WHERE IDWGID = 1"));
  PuxLeggiContesto();
  PuxCalcolaDateEsercizio();
  EXPECT_EQ(Contesto.EsercizioFin, 0);
  EXPECT_FALSE(Contesto.InizioEsercizio.isValid());
  Exec(QStringLiteral("DELETE FROM TYPAR_PARAMETRI"));
  PuxLeggiContesto();
  EXPECT_EQ(Contesto.DwgId, -1);
  EXPECT_EQ(Contesto.Mail, -1);
}
