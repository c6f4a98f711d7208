#include "AbiFComEsteri.h"
#include "AbiFSearchLoco.h"
#include "AbiFinestre.h"
#include "AbiMCom.h"
#include "AbiRComEsteri.h"
#include "KvDbControls.h"
#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "TKvDBLookupEdit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QPushButton>
#include <QSqlQuery>

namespace {

using namespace PuxTestInput;

void chooseState(TKvDBLookupEdit* lookup, const QString& name) {
  retype(lookup->LineEdit(), name);
  press(lookup->LineEdit(), Qt::Key_Return);
}

QStringList column(const TKvQueryCollection& list, const QString& field) {
  QStringList out;
  const int f = list.FieldIndex(field);
  for (int r = 0; r < list.RecordCount(); ++r) out << list.Value(r, f).toString();
  return out;
}

QString invalid(const QString& caption) {
  return QStringLiteral("Attenzione!\r\nValore non valido per il campo \"%1\"").arg(caption);
}

// The municipality search of the supplier window: places of the state in
// :ISTAID, ordered by province.
const QString kLocalita = QStringLiteral(
    "SELECT TSRPC.ISRPCID, TCOM_COMUNI.SCOMDESC, TPRO_PROVINCE.SPRODESC, TSRPC.ISTAID "
    "FROM TSRPC INNER JOIN TCOM_COMUNI ON (TCOM_COMUNI.ICOMID = TSRPC.ICOMID) "
    "INNER JOIN TPRO_PROVINCE ON (TPRO_PROVINCE.IPROID = TSRPC.IPROID) "
    "WHERE (TSRPC.DDELETE IS NULL) AND (TSRPC.ISTAID = :iStaId) AND ##WHERE## "
    "ORDER BY TSRPC.IPROID, TCOM_COMUNI.SCOMDESC");

class AbiComuniTest : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    KvMessageScript::Begin();
    AbiRegistraFinestre();
  }
  void TearDown() override {
    KvDialogScript::Clear();
    ChiudiComuni();
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  // A place and its municipality as stored: name, state, province, both start
  // dates, cadastral and ISTAT codes; empty when the place is not there.
  QStringList stored(int iSrpcId) {
    QSqlQuery q(qqoKvGlobConn());
    q.prepare(QStringLiteral(
        "SELECT C.SCOMDESC, S.ISTAID, S.IPROID, CAST(C.DSTART AS DATE), CAST(S.DSTART AS DATE), S.SSRPCCODCATA, "
        "S.SSRPCCOMRISTAT FROM TSRPC S INNER JOIN TCOM_COMUNI C ON C.ICOMID = S.ICOMID WHERE S.ISRPCID = ?"));
    q.addBindValue(iSrpcId);
    if (!q.exec() || !q.next()) return {};
    QStringList out;
    for (int i = 0; i < 7; ++i)
      out << (q.value(i).metaType().id() == QMetaType::QDate ? q.value(i).toDate().toString(Qt::ISODate)
                                                             : q.value(i).toString());
    return out;
  }
};

TEST_F(AbiComuniTest, AForeignCityIsWrittenAsAMunicipalityAndAPlaceThatShareItsIdAndGoTogether) {
  TfmComEsteri w;
  ASSERT_TRUE(w.ApriStato(4));  // Francia
  TfrComEsteri* fr = w.frComEsteri;
  TKvQueryCollection* list = fr->DataSet();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Comuni esteri"));
  EXPECT_EQ(column(*list, QStringLiteral("SCOMDESC")),
            QStringList({"Wien", "Paris", "München", "Serravalle", "Lugano"}))
      << "every place outside Italy, by state";
  EXPECT_EQ(list->FieldValue(QStringLiteral("SCOMDESC")).toString(), QStringLiteral("Paris"));

  // A new row starts on the state the window was opened with, and its codes.
  fr->xacInsert->trigger();
  EXPECT_EQ(fr->xdlStato->Text(), QStringLiteral("Francia"));
  EXPECT_EQ(fr->xdeCodCatastale->text(), QStringLiteral("Z110"));
  EXPECT_EQ(fr->xdeCodIstat->text(), QStringLiteral("215"));
  retype(fr->xdeComune, QStringLiteral("Lione"));
  // Another state: its codes replace the first ones.
  chooseState(fr->xdlStato, QStringLiteral("Svizzera"));
  EXPECT_EQ(fr->xdeCodCatastale->text(), QStringLiteral("Z133"));
  EXPECT_EQ(fr->xdeCodIstat->text(), QStringLiteral("241"));
  fr->xacPost->trigger();
  ASSERT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();

  const int place = list->FieldValue(QStringLiteral("ISRPCID")).toInt();
  const int municipality = list->FieldValue(QStringLiteral("ICOMID")).toInt();
  ASSERT_GT(place, 0);
  EXPECT_EQ(stored(place), QStringList({"Lione", "10", "20000", "0001-01-01", "0001-01-01", "Z133", "241"}));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT ICOMID FROM TSRPC WHERE ISRPCID = %1").arg(place)).toInt(), municipality);
  EXPECT_EQ(list->FieldValue(QStringLiteral("SSTALDESC")).toString(), QStringLiteral("Svizzera"));

  // The state chosen last is the default of the next new row.
  fr->xacInsert->trigger();
  EXPECT_EQ(fr->xdlStato->Text(), QStringLiteral("Svizzera"));
  EXPECT_EQ(fr->xdeCodCatastale->text(), QStringLiteral("Z133"));
  fr->xacCancel->trigger();

  // Changed: both rows follow.
  ASSERT_TRUE(list->Locate(QStringLiteral("ISRPCID"), place));
  fr->xacEdit->trigger();
  retype(fr->xdeComune, QStringLiteral("Lyon"));
  chooseState(fr->xdlStato, QStringLiteral("Francia"));
  retype(fr->xdeCodIstat, QStringLiteral("215X"));
  fr->xacPost->trigger();
  ASSERT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(stored(place), QStringList({"Lyon", "4", "20000", "0001-01-01", "0001-01-01", "Z110", "215X"}));

  // Deleted after the confirmation: both rows go.
  KvMessageScript::Answer(mrYes);
  fr->xacDelete->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{"Cancellare il record?"});
  EXPECT_TRUE(stored(place).isEmpty());
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TCOM_COMUNI WHERE ICOMID = %1").arg(municipality)).toInt(), 0);
  EXPECT_EQ(list->RecordCount(), 5);
}

TEST_F(AbiComuniTest, RefusesACityWithoutNameOrForeignStateAndAPlaceStillInUse) {
  TfmComEsteri w;
  ASSERT_TRUE(w.ApriStato(-1));  // no default state
  TfrComEsteri* fr = w.frComEsteri;
  TKvQueryCollection* list = fr->DataSet();
  const int municipalities = Scalar(QStringLiteral("SELECT COUNT(*) FROM TCOM_COMUNI")).toInt();

  struct Case {
    QString name;
    QString state;  // chosen in the lookup; empty: cleared
    QString message;
  };
  const QList<Case> cases = {
      {QStringLiteral("   "), QStringLiteral("Spagna"), invalid(QStringLiteral("Comune/Città"))},
      {QStringLiteral("Madrid"), QString(), invalid(QStringLiteral("Stato estero"))},
  };
  for (const Case& c : cases) {
    KvMessageScript::Clear();
    fr->xacInsert->trigger();
    retype(fr->xdeComune, c.name);
    chooseState(fr->xdlStato, c.state);
    fr->xacPost->trigger();
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{c.message}) << c.name.toStdString();
    EXPECT_EQ(list->GetState(), KvState::Insert) << "the row stays, as typed";
    fr->xacCancel->trigger();
  }
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TCOM_COMUNI")).toInt(), municipalities);

  // Paris is the town of an address: deleting it would leave the address
  // pointing at nothing.
  KvMessageScript::Clear();
  ASSERT_TRUE(list->Locate(QStringLiteral("SCOMDESC"), QStringLiteral("Paris")));
  KvMessageScript::Answer(mrYes);
  fr->xacDelete->trigger();
  ASSERT_EQ(KvMessageScript::Texts().size(), 2);
  EXPECT_TRUE(KvMessageScript::Texts().at(1).contains(QStringLiteral("non può essere eliminato")));
  EXPECT_EQ(stored(45).value(0), QStringLiteral("Paris"));
  EXPECT_EQ(list->FieldValue(QStringLiteral("SCOMDESC")).toString(), QStringLiteral("Paris"));
}

TEST_F(AbiComuniTest, LocalitySearchListsThePlacesOfOneStateAndAddsForeignCitiesOnTheSpot) {
  int built = 0;
  KvWindowFactory::Register(QStringLiteral("TfmComEsteri"), [&](QWidget* parent) {
    ++built;
    return new TfmComEsteri(parent);
  });
  auto search = [] {
    auto w = std::make_unique<TfmSearchLoco>();
    w->SetCommandText(kLocalita);
    w->SetKeyField(QStringLiteral("TSRPC.ISRPCID"));
    w->GetFields(1)->SetCaption(QStringLiteral("Comune"));
    w->GetFields(1)->SetIndexed(true);
    w->GetFields(2)->SetCaption(QStringLiteral("Provincia"));
    w->GetFields(2)->SetIndexed(true);
    return w;
  };

  // A row with no state: the search opens on Italy, where the edit button
  // does nothing; a name typed finds the place.
  {
    auto w = search();
    QStringList seen;
    KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& s) {
      auto& loco = static_cast<TfmSearchLoco&>(s);
      seen << loco.windowTitle() << loco.cbStato->currentText();
      EXPECT_EQ(loco.GetDataSet()->RecordCount(), 43);
      EXPECT_FALSE(loco.EditButton()->isEnabled());
      EXPECT_FALSE(loco.ApriComuniEsteri());
      loco.SetFilterFieldName(QStringLiteral("TCOM_COMUNI.SCOMDESC"));
      loco.SetFilterText(QStringLiteral("vigar"));
      loco.ApplyFilter();
      seen << column(*loco.GetDataSet(), QStringLiteral("SCOMDESC"));
      loco.OkButton()->click();
    });
    // Nobody told it a state (the row has none).
    EXPECT_EQ(w->exec(), QDialog::Accepted);
    EXPECT_EQ(seen, QStringList({"Comuni", "Italia", "Vigarano Mainarda"}));
    EXPECT_EQ(w->Value(QStringLiteral("ISRPCID")).toInt(), 9);
    EXPECT_EQ(built, 0);
  }

  // Told the state of the row: that state; the combo moves to another; the
  // edit button adds a city to it, which can be chosen at once.
  auto w = search();
  QStringList seen;
  KvDialogScript::Drive<TfmComEsteri>([&](TfmComEsteri& d) {
    TfrComEsteri* fr = d.frComEsteri;
    fr->xacInsert->trigger();
    seen << fr->xdlStato->Text();
    retype(fr->xdeComune, QStringLiteral("Amburgo"));
    d.OkButton()->click();
  });
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& s) {
    auto& loco = static_cast<TfmSearchLoco&>(s);
    seen << loco.cbStato->currentText() << column(*loco.GetDataSet(), QStringLiteral("SCOMDESC"));
    loco.cbStato->setCurrentIndex(loco.cbStato->findText(QStringLiteral("Germania")));
    seen << column(*loco.GetDataSet(), QStringLiteral("SCOMDESC"));
    loco.EditButton()->click();
    seen << column(*loco.GetDataSet(), QStringLiteral("SCOMDESC"));
    ASSERT_TRUE(loco.GetDataSet()->Locate(QStringLiteral("SCOMDESC"), QStringLiteral("Amburgo")));
    loco.ChooseRow(loco.GetDataSet()->RecNo());
    loco.OkButton()->click();
  });
  w->ImpostaStato(4);
  EXPECT_EQ(w->exec(), QDialog::Accepted);
  EXPECT_EQ(built, 1);
  EXPECT_EQ(seen, QStringList({"Francia", "Paris", "München", "Germania", "Amburgo", "München"}));
  EXPECT_EQ(w->Stato(), 5);
  const int chosen = w->Value(QStringLiteral("ISRPCID")).toInt();
  EXPECT_EQ(Scalar(QStringLiteral("SELECT ISTAID FROM TSRPC WHERE ISRPCID = %1").arg(chosen)).toInt(), 5);
}

}  // namespace
