#include "PuxContesto.h"
#include "KvTestResult.h"
#include "PuxCorrezioniAvvio.h"
#include "PuxTestDb.h"

#include <QSqlQuery>

namespace {

class Correzioni : public PuxDbTest {
 protected:
  PuxTestDb::Content content() const override { return PuxTestDb::Content::Schema; }
  void Procedura(int id, int year, const QString& code, int scr = 0) {
    Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, IDWGID, IPREESERCIZIOFIN, SPRECOD, ISCRID, DPREDATA, "
                        "SPREDESCS) VALUES (%1, 1, %2, '%3', %4, '%2-03-01', 'Procedura %1')")
             .arg(id).arg(year).arg(code).arg(scr ? QString::number(scr) : QStringLiteral("NULL")));
  }
  QString Codice(int id) {
    return Scalar(QStringLiteral("SELECT SPRECOD FROM TPRE_PREVENTIVI WHERE IPREID = %1").arg(id)).toString();
  }
  int Count(const QString& table) { return Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }
};

TEST_F(Correzioni, BlankProcedureNumbersGetTheNextNumbersOfTheirInstituteAndYear) {
  Procedura(1, 2020, QStringLiteral("00001"));
  Procedura(2, 2020, QStringLiteral("00007"));
  Procedura(3, 2020, QString());
  Procedura(4, 2020, QStringLiteral("   "));
  Procedura(5, 2021, QString());
  ASSERT_TRUE(KvOk(PuxCorrezioni::NumeriPreventivi()));
  EXPECT_EQ(Codice(3), QStringLiteral("00008"));
  EXPECT_EQ(Codice(4), QStringLiteral("00009"));  // not a second 00008
  EXPECT_EQ(Codice(5), QStringLiteral("00001"));
  EXPECT_EQ(Codice(1), QStringLiteral("00001"));
  ASSERT_TRUE(PuxCorrezioni::NumeriPreventivi());  // all present: nothing changes
  EXPECT_EQ(Codice(4), QStringLiteral("00009"));
}

TEST_F(Correzioni, MigrationIntoPublicationDataRunsOnceAndNeverWithoutItsRow) {
  Procedura(1, 2020, QStringLiteral("00001"));
  Procedura(2, 2020, QStringLiteral("00002"));
  Exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (501, 'Cartoleria Estense s.r.l.')"));
  Exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (502, 'Ufficio Moderno s.n.c.')"));
  Exec(QStringLiteral("INSERT INTO TPREBEN (IPREBENID, IPREID, IBENID) VALUES (10, 1, 501)"));
  Exec(QStringLiteral("INSERT INTO TPREBEN (IPREBENID, IPREID, IBENID) VALUES (11, 1, 502)"));
  Exec(QStringLiteral("INSERT INTO TOFF_OFFERTE (IOFFID, IPREBENID, IOFFMARCATO, FOFFIMPAGGIUDIC) VALUES (20, 10, 1, 950.5)"));
  Exec(QStringLiteral("INSERT INTO TOFF_OFFERTE (IOFFID, IPREBENID, IOFFMARCATO) VALUES (21, 11, 0)"));
  ASSERT_TRUE(KvOk(PuxCorrezioni::MigrazioneAvcp()));
  EXPECT_EQ(Count(QStringLiteral("TAVC_AVCP")), 0);  // no row 30001

  Exec(QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID) VALUES (30001)"));
  ASSERT_TRUE(KvOk(PuxCorrezioni::MigrazioneAvcp()));
  EXPECT_EQ(Count(QStringLiteral("TAVC_AVCP")), 2);
  EXPECT_EQ(Count(QStringLiteral("TAAG_AVCPAGGIUDIC")), 2);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT A.SAVCLDESC FROM TAVC_AVCP A WHERE A.SAVCIMPORTDA = 'INSERT AUTO: 1'")).toString(),
            QStringLiteral("Procedura 1"));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT G.FAAGIMPAGGIUDIC FROM TAAG_AVCPAGGIUDIC G WHERE G.IBENID = 501")).toDouble(),
            950.5);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT CAST(BYXARXMLFILE AS VARCHAR(10)) FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 30001"))
                .toString(),
            QStringLiteral("1"));
  ASSERT_TRUE(PuxCorrezioni::MigrazioneAvcp());  // marked: a restart inserts nothing
  EXPECT_EQ(Count(QStringLiteral("TAVC_AVCP")), 2);
}

TEST_F(Correzioni, ChoiceOfContractorMovesToThe2019CodingOnce) {
  Procedura(1, 2018, QStringLiteral("00001"), 5);
  Procedura(2, 2019, QStringLiteral("00001"), 5);
  Procedura(3, 2020, QStringLiteral("00001"), 23);
  Exec(QStringLiteral("INSERT INTO TAVC_AVCP (IAVCID, IDWGID, IAVCESERCIZIOFIN, ISCRID) VALUES (1, 1, 2018, 13)"));
  Exec(QStringLiteral("INSERT INTO TAVC_AVCP (IAVCID, IDWGID, IAVCESERCIZIOFIN, ISCRID) VALUES (2, 1, 2021, 13)"));
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(KvOk(PuxCorrezioni::SceltaContraente2019()));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ISCRID FROM TPRE_PREVENTIVI WHERE IPREID = 1")).toInt(), 5);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ISCRID FROM TPRE_PREVENTIVI WHERE IPREID = 2")).toInt(), 23);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ISCRID FROM TPRE_PREVENTIVI WHERE IPREID = 3")).toInt(), 23);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ISCRID FROM TAVC_AVCP WHERE IAVCID = 1")).toInt(), 13);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT ISCRID FROM TAVC_AVCP WHERE IAVCID = 2")).toInt(), 31);
  }
}

TEST_F(Correzioni, PublicationRecordsWithoutInstituteTakeTheNewestOnesAndTheirDateYear) {
  Exec(QStringLiteral("INSERT INTO TAVC_AVCP (IAVCID, IDWGID, IAVCESERCIZIOFIN, DAVCDATA) VALUES (1, 3, 2020, '2020-05-01')"));
  Exec(QStringLiteral("INSERT INTO TAVC_AVCP (IAVCID, IDWGID, IAVCESERCIZIOFIN, DAVCDATA) VALUES (2, 4, 2021, '2021-05-01')"));
  Exec(QStringLiteral("INSERT INTO TAVC_AVCP (IAVCID, DAVCDATA) VALUES (3, '2019-07-15')"));
  ASSERT_TRUE(KvOk(PuxCorrezioni::IstitutoAvcp()));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT IDWGID FROM TAVC_AVCP WHERE IAVCID = 3")).toInt(), 4);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT IAVCESERCIZIOFIN FROM TAVC_AVCP WHERE IAVCID = 3")).toInt(), 2019);
}

TEST_F(Correzioni, DurcWithoutSupplierTakesTheSupplierOfAnOfferUsingIt) {
  Procedura(1, 2020, QStringLiteral("00001"));
  Exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC) VALUES (501, 'Cartoleria Estense s.r.l.')"));
  Exec(QStringLiteral("INSERT INTO TCCD_CIGCUPDURC (ICCDID, ITCCDID, SCCDCODICE) VALUES (70, 3, 'DURC-70')"));
  Exec(QStringLiteral("INSERT INTO TCCD_CIGCUPDURC (ICCDID, ITCCDID, SCCDCODICE) VALUES (71, 3, 'DURC-71')"));
  Exec(QStringLiteral("INSERT INTO TPREBEN (IPREBENID, IPREID, IBENID) VALUES (10, 1, 501)"));
  Exec(QStringLiteral("INSERT INTO TOFF_OFFERTE (IOFFID, IPREBENID, ICCDID_DURC) VALUES (20, 10, 70)"));
  ASSERT_TRUE(KvOk(PuxCorrezioni::FornitoreDurc()));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT IBENID FROM TCCD_CIGCUPDURC WHERE ICCDID = 70")).toInt(), 501);
  EXPECT_TRUE(Scalar(QStringLiteral("SELECT IBENID FROM TCCD_CIGCUPDURC WHERE ICCDID = 71")).isNull());
}

TEST_F(Correzioni, AFailingStepStopsTheRest) {
  Procedura(1, 2020, QStringLiteral("ABCDE"));  // typed by hand: the numbering cannot read it
  Procedura(2, 2020, QString());
  Exec(QStringLiteral("INSERT INTO TYXAR_XMLARCHIVIO (IYXARID) VALUES (30001)"));
  const KvStatus done = PuxCorrezioniAvvio();
  EXPECT_FALSE(done);
  EXPECT_FALSE(done.detail().isEmpty());
  EXPECT_EQ(Codice(2), QString());  // nothing half-done
  EXPECT_EQ(Count(QStringLiteral("TAVC_AVCP")), 0);  // later steps did not run
}

TEST_F(PuxDbTest, ProvinceOfTheMainSeatGoesIntoTheContext) {
  ASSERT_TRUE(KvOk(PuxCorrezioniAvvio()));
  EXPECT_EQ(Contesto.Provincia, 1);  // Ferrara in the demo data
  Exec(QStringLiteral("UPDATE TSEDINF_SEDEINFO SET ICOMCAPID = (SELECT FIRST 1 ICOMCAPID FROM VCOMCAP WHERE IPROID = 9) "
                      "WHERE ISEDID = 1"));
  ASSERT_TRUE(PuxCorrezioni::Provincia());
  EXPECT_EQ(Contesto.Provincia, 9);
  Contesto.Provincia = 0;
  Exec(QStringLiteral("UPDATE TDWGSED SET IDWGID = 1 WHERE IDWGID IS NULL"));  // no main seat
  ASSERT_TRUE(PuxCorrezioni::Provincia());
  EXPECT_EQ(Contesto.Provincia, 0);
}

}  // namespace
