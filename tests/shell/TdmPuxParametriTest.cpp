#include "PuxTestDb.h"
#include "TdmPuxParametri.h"
#include "TfmKvParametri.h"

#include <QComboBox>
#include <QDate>
#include <QPushButton>

namespace {

QStringList items(const QComboBox* combo) {
  QStringList out;
  for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
  return out;
}

class Parametri : public PuxDbTest {
 protected:
  QString Stored(const char* key) {
    return Scalar(QStringLiteral("SELECT SPARVALORE FROM TYPAR_PARAMETRI WHERE SPARCHIAVE = '%1'").arg(QLatin1String(key)))
        .toString();
  }
  TdmPuxParametri dm;
};

TEST_F(Parametri, ProgramParametersAreStoredAsListPositions) {
  Exec(QStringLiteral("UPDATE TYPAR_PARAMETRI SET SPARVALORE = 'x' WHERE SPARCHIAVE = 'PUXP_ARTCOD'"));
  {
    TfmKvParametri window(dm.xpmKvuParams);
    EXPECT_EQ(items(window.List(QStringLiteral("PUXP_Decimali"))),
              QStringList({"Tre decimali", "Quattro decimali", "Cinque decimali", "Sei decimali"}));
    EXPECT_EQ(window.List(QStringLiteral("PUXP_ArtCod"))->currentText(), QStringLiteral("Codice Articolo"));  // "x"
    EXPECT_EQ(window.List(QStringLiteral("PUXP_MAIL"))->currentText(),
              QStringLiteral("Client di posta eletronica Scolvane"));
    window.List(QStringLiteral("PUXP_Decimali"))->setCurrentIndex(3);
    window.List(QStringLiteral("PUXP_DescOrd"))->setCurrentIndex(2);
    window.OkButton()->click();
  }
  EXPECT_EQ(Stored("PUXP_DECIMALI"), QStringLiteral("3"));
  EXPECT_EQ(Stored("PUXP_DESCORD"), QStringLiteral("2"));
  EXPECT_EQ(Stored("PUXP_ARTCOD"), QStringLiteral("0"));
  TfmKvParametri again(dm.xpmKvuParams);
  EXPECT_EQ(again.List(QStringLiteral("PUXP_Decimali"))->currentText(), QStringLiteral("Sei decimali"));
}

TEST_F(Parametri, TheYearListFollowsTheInstituteShown) {
  Exec(QStringLiteral("INSERT INTO TDWG_DATAOWNERGROUP (IDWGID, SDWGDESCS) VALUES (3, 'Liceo Ariosto')"));
  Exec(QStringLiteral("INSERT INTO TDOW_DATAOWNER (IDOWID, IDWGID, SDOWSDESC) VALUES (2, 3, 'Liceo \"L. Ariosto\"')"));
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID) VALUES (5001, 124, 3)"));
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID, DDELETE) VALUES (5002, 125, 3, CURRENT_TIMESTAMP)"));
  TfmKvParametri window(dm.xpmKvuParams);
  QComboBox* istituti = window.List(QStringLiteral("KVUP_DwgId"));
  QComboBox* anni = window.List(QStringLiteral("KVUP_AnfId"));
  EXPECT_EQ(dm.IstitutoCorrente(), 1);
  EXPECT_EQ(anni->count(), QDate::currentDate().year() - 2019 + 1);
  EXPECT_EQ(anni->itemText(0), QStringLiteral("2019"));
  istituti->setCurrentIndex(items(istituti).indexOf(QStringLiteral("Liceo \"L. Ariosto\"")));
  EXPECT_EQ(dm.IstitutoCorrente(), 3);
  EXPECT_EQ(items(anni), QStringList({"2024"}));  // the deleted link is not offered
}

TEST_F(Parametri, WithNoInstituteChosenTheYearListIsEmpty) {
  TKvEnumList list;
  bool handled = false;
  dm.xpmKvuParams.FillListParam(QStringLiteral("KVUP_DwgId"), TKvParamValue{}, list, handled);
  EXPECT_EQ(dm.IstitutoCorrente(), -1);
  dm.xpmKvuParams.FillListParam(QStringLiteral("KVUP_AnfId"), TKvParamValue{}, list, handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(list.isEmpty());
}

}  // namespace
