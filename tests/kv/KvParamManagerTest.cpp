#include "KvMessageDlg.h"
#include "KvParamManager.h"
#include "KvTestResult.h"
#include "PuxTestDb.h"
#include "TfmKvParametri.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

const char* const kYears =
    " SELECT TANF_ANNIFINANZ.IANFID, TANF_ANNIFINANZ.IANFVALORE, TANF_ANNIFINANZ.DANFKALVOINIZIO, "
    "TANF_ANNIFINANZ.DANFKALVOFINE, TDWGANF.DDWGANFINIZIO, TDWGANF.DDWGANFFINE FROM TANF_ANNIFINANZ JOIN TDWGANF ON "
    "(TDWGANF.IANFID = TANF_ANNIFINANZ.IANFID  AND TDWGANF.DDELETE IS NULL) WHERE TDWGANF.IDWGID = %1 ORDER BY "
    "TANF_ANNIFINANZ.IANFVALORE";

QStringList items(const QComboBox* combo) {
  QStringList out;
  for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
  return out;
}

// A manager set up the way a program adapts it: the framework's institute
// and year, the year list following the institute shown, and program
// parameters shown as lists and stored as positions.
class KvParamManagerTest : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    KvMessageScript::Begin();
    manager.SetApplications({QStringLiteral("PUX=1.0"), QStringLiteral("KV=1.0"), QStringLiteral("QTZ=1.0")});
    manager.SetShowAggregate(true);
    manager.AddKvParams();
    manager.AddParam({QStringLiteral("PUXP_Decimali"), QStringLiteral("Decimali dei prezzi"), TKvParamKind::EnumList});
    manager.AddParam({QStringLiteral("PUXP_Nota"), QStringLiteral("Nota"), TKvParamKind::Text});
    positions.insert(QStringLiteral("PUXP_DECIMALI"),
                     {QStringLiteral("Tre decimali"), QStringLiteral("Quattro decimali"),
                      QStringLiteral("Cinque decimali"), QStringLiteral("Sei decimali")});
    manager.FillListParam = [this](const QString& key, const TKvParamValue& current, TKvEnumList& list, bool& handled) {
      const QString k = key.trimmed().toUpper();
      if (k == QLatin1String("KVUP_DWGID")) {
        istituto = current.index < 0 ? -1 : current.id.toInt();
      } else if (k == QLatin1String("KVUP_ANFID")) {
        list = TKvParamManager::LoadEnumValues(QString(), QString::fromUtf8(kYears).arg(istituto)).value_or({});
        handled = true;
      } else if (positions.contains(k)) {
        for (int i = 0; i < positions[k].size(); ++i) list.append({QString::number(i), positions[k][i]});
        handled = true;
      }
    };
    manager.ReadParam = [this](const QString& key, const QVariant& stored, TKvParamValue& control, bool& handled) {
      const QString k = key.trimmed().toUpper();
      if (k == QLatin1String("KVUP_DWGID")) {
        istituto = stored.isNull() ? -1 : stored.toInt();
      } else if (positions.contains(k)) {
        control.index = qMax(0, stored.toString().toInt());  // not a number: the first entry
        handled = true;
      }
    };
    manager.WriteParam = [this](const QString& key, const TKvParamValue& control, QString& stored, bool& handled) {
      if (positions.contains(key.trimmed().toUpper())) {
        stored = QString::number(control.index);
        handled = true;
      }
    };
    manager.AfterCreateCtrl = [this](const QString& key, QWidget* control) {
      created << key + QLatin1Char(':') + control->metaObject()->className();
    };
  }
  void TearDown() override {
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }
  QString stored(const QString& key) { return TKvParamManager::GetParams(key).toString(); }

  TKvParamManager manager;
  QHash<QString, QStringList> positions;
  int istituto = -1;
  QStringList created;
};

}  // namespace

TEST_F(KvParamManagerTest, LoadEnumValuesTakesIdAndTextFromTheFirstTwoColumns) {
  const KvResult<TKvEnumList> read = TKvParamManager::LoadEnumValues(QString(), QString::fromUtf8(kYears).arg(1));
  ASSERT_TRUE(KvOk(read));
  const TKvEnumList years = *read;
  ASSERT_FALSE(years.isEmpty());
  EXPECT_EQ(years.first(), (TKvEnumValue{QStringLiteral("119"), QStringLiteral("2019")}));
  EXPECT_TRUE(std::is_sorted(years.begin(), years.end(), [](auto& a, auto& b) { return a.text < b.text; }));

  // No institute chosen: no years. A failing statement says why.
  const KvResult<TKvEnumList> none = TKvParamManager::LoadEnumValues(qqoKvGlobConn(), QString::fromUtf8(kYears).arg(-1));
  ASSERT_TRUE(KvOk(none));
  EXPECT_TRUE(none->isEmpty());
  const KvResult<TKvEnumList> failed = TKvParamManager::LoadEnumValues(QString(), QStringLiteral("SELECT NOPE FROM NIENTE"));
  EXPECT_FALSE(failed);
  EXPECT_TRUE(failed.detail().contains(QStringLiteral("NIENTE"))) << failed.detail().toStdString();
}

TEST_F(KvParamManagerTest, TheWindowShowsStoredChoicesAndOkStoresTheNewOnes) {
  Exec(QStringLiteral("UPDATE TYPAR_PARAMETRI SET SPARVALORE = 'x' WHERE SPARCHIAVE = 'PUXP_DECIMALI'"));
  TfmKvParametri window(manager);
  EXPECT_EQ(created, QStringList({"PUXP_Decimali:QComboBox", "PUXP_Nota:QLineEdit", "KVUP_DwgId:QComboBox",
                                  "KVUP_AnfId:QComboBox"}));  // grouped: PUX first, then KV
  QComboBox* decimali = window.findChild<QComboBox*>(QStringLiteral("PUXP_Decimali"));
  ASSERT_NE(decimali, nullptr);
  EXPECT_EQ(items(decimali).size(), 4);
  EXPECT_EQ(decimali->currentText(), QStringLiteral("Tre decimali"));  // "x" selects the first entry
  EXPECT_EQ(window.List(QStringLiteral("KVUP_DwgId"))->currentText(), QStringLiteral("I.C. \"Galileo Galilei\""));
  const QString anno = QString::number(QDate::currentDate().year());
  EXPECT_EQ(window.List(QStringLiteral("KVUP_AnfId"))->currentText(), anno);
  EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("PUXP_Nota"))->text(), QString());

  decimali->setCurrentIndex(items(decimali).indexOf(QStringLiteral("Sei decimali")));
  window.OkButton()->click();
  EXPECT_EQ(window.result(), int(QDialog::Accepted));
  EXPECT_EQ(stored(QStringLiteral("PUXP_Decimali")), QStringLiteral("3"));
  EXPECT_EQ(stored(QStringLiteral("KVUP_DwgId")), QStringLiteral("1"));
  EXPECT_EQ(stored(QStringLiteral("KVUP_AnfId")), QString::number(QDate::currentDate().year() - 1900));
  // Left empty and never saved: no row is made for it.
  EXPECT_TRUE(TKvParamManager::GetParams(QStringLiteral("PUXP_Nota")).isNull());

  TfmKvParametri reopened(manager);
  EXPECT_EQ(reopened.List(QStringLiteral("PUXP_Decimali"))->currentText(), QStringLiteral("Sei decimali"));
}

TEST_F(KvParamManagerTest, AnnullaStoresNothing) {
  TfmKvParametri window(manager);
  window.List(QStringLiteral("PUXP_Decimali"))->setCurrentIndex(0);
  window.findChild<QLineEdit*>(QStringLiteral("PUXP_Nota"))->setText(QStringLiteral("prova"));
  window.CancelButton()->click();
  EXPECT_EQ(window.result(), int(QDialog::Rejected));
  EXPECT_EQ(stored(QStringLiteral("PUXP_Decimali")), QStringLiteral("1"));
  EXPECT_TRUE(TKvParamManager::GetParams(QStringLiteral("PUXP_Nota")).isNull());
}

TEST_F(KvParamManagerTest, ChoosingAnotherInstituteOffersItsYears) {
  Exec(QStringLiteral("INSERT INTO TDWG_DATAOWNERGROUP (IDWGID, SDWGDESCS) VALUES (3, 'Liceo')"));
  Exec(QStringLiteral("INSERT INTO TDOW_DATAOWNER (IDOWID, IDWGID, SDOWSDESC) VALUES (3, 3, 'Liceo \"Ariosto\"')"));
  Exec(QStringLiteral("INSERT INTO TDWGANF (IDWGANFID, IANFID, IDWGID) VALUES (5000, 120, 3)"));

  TfmKvParametri window(manager);
  QComboBox* istituti = window.List(QStringLiteral("KVUP_DwgId"));
  QComboBox* anni = window.List(QStringLiteral("KVUP_AnfId"));
  EXPECT_EQ(items(istituti), QStringList({"I.C. \"Galileo Galilei\"", "Liceo \"Ariosto\""}));
  EXPECT_GT(anni->count(), 1);

  istituti->setCurrentIndex(1);
  EXPECT_EQ(items(anni), QStringList({"2020"}));
  EXPECT_EQ(anni->currentIndex(), -1);  // the old year is not one of this institute's
  anni->setCurrentIndex(0);
  istituti->setCurrentIndex(0);
  EXPECT_EQ(anni->currentText(), QStringLiteral("2020"));  // kept: the first institute has it too
  istituti->setCurrentIndex(1);

  window.OkButton()->click();
  EXPECT_EQ(stored(QStringLiteral("KVUP_DwgId")), QStringLiteral("3"));
  EXPECT_EQ(stored(QStringLiteral("KVUP_AnfId")), QStringLiteral("120"));
}

TEST_F(KvParamManagerTest, AFailedSaveStoresNoneOfTheValuesAndKeepsTheWindowOpen) {
  TfmKvParametri window(manager);
  window.List(QStringLiteral("PUXP_Decimali"))->setCurrentIndex(3);
  window.findChild<QLineEdit*>(QStringLiteral("PUXP_Nota"))->setText(QString(1001, QLatin1Char('x')));  // too long
  window.OkButton()->click();
  EXPECT_NE(window.result(), int(QDialog::Accepted));
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_TRUE(KvMessageScript::Texts()[0].startsWith(QStringLiteral("Impossibile salvare i parametri.")));
  EXPECT_EQ(stored(QStringLiteral("PUXP_Decimali")), QStringLiteral("1"));
  EXPECT_TRUE(TKvParamManager::GetParams(QStringLiteral("PUXP_Nota")).isNull());
}

TEST_F(KvParamManagerTest, ExecuteShowsTheWindowAndReportsWhetherItWasSaved) {
  struct Case {
    bool ok;
    const char* expected;
  } cases[] = {{false, "1"}, {true, "2"}};
  for (const Case& c : cases) {
    QTimer::singleShot(0, [&] {
      auto* window = qobject_cast<TfmKvParametri*>(QApplication::activeModalWidget());
      ASSERT_NE(window, nullptr);
      window->List(QStringLiteral("PUXP_Decimali"))->setCurrentIndex(2);
      (c.ok ? window->OkButton() : window->CancelButton())->click();
    });
    EXPECT_EQ(manager.Execute(), c.ok);
    EXPECT_EQ(stored(QStringLiteral("PUXP_Decimali")), QString::fromUtf8(c.expected));
  }
}
