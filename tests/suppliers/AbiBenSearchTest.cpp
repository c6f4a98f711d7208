#include "AbiFBenSearch.h"
#include "AbiFMultiSelectBen.h"
#include "AbiFinestre.h"
#include "AbiUFiltri.h"
#include "KvCollectionModel.h"
#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "TKvDBLookupEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace {

using namespace PuxTestInput;

void focus(QWidget* w, QEvent::Type type) {
  QFocusEvent event(type, Qt::MouseFocusReason);
  QApplication::sendEvent(w, &event);
}

QStringList column(const TKvQueryCollection& list, const QString& field) {
  QStringList out;
  const int f = list.FieldIndex(field);
  for (int r = 0; r < list.RecordCount(); ++r) out << list.Value(r, f).toString();
  return out;
}

// Lets the events run until the timer fires (true) or two seconds pass; the
// window's own handler of the timer runs first.
bool attendiTimer(QTimer* timer) {
  QEventLoop loop;
  bool fired = false;
  QObject::connect(timer, &QTimer::timeout, &loop, [&] {
    fired = true;
    loop.quit();
  });
  QTimer::singleShot(2000, &loop, &QEventLoop::quit);
  loop.exec();
  return fired;
}

QStringList sorted(QStringList list) {
  list.sort();
  return list;
}

// The supplier lookup of the invited suppliers: suppliers not ended.
const QString kFornitori = QStringLiteral(
    "SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENPARTITAIVA, "
    "TBEN_BENEFICIARI.SBENCODFISCALE FROM TBEN_BENEFICIARI "
    "WHERE (COALESCE(TBEN_BENEFICIARI.LBENEND,0) = 0) AND (TBEN_BENEFICIARI.DDELETE IS NULL) AND ##WHERE##");

// A caller's statement for the selection: the columns its filters need, with
// the counts of the offices and accounts a payment order can use.
const QString kSelezione = QStringLiteral(
    "SELECT B.IBENID, B.SBENRAGSOC, B.LBENEND, B.LBENOBBLTRACC, B.SBENCODFISCALE, "
    "(SELECT COUNT(*) FROM TSEB_SEDIBEN S WHERE S.IBENID = B.IBENID) AS ISEDIOIL, "
    "(SELECT COUNT(*) FROM TSPRBEN P WHERE P.IBENID = B.IBENID) AS IPAGAMOIL "
    "FROM TBEN_BENEFICIARI B WHERE (B.DDELETE IS NULL) AND ##WHERE## ORDER BY B.SBENRAGSOC");

class AbiBenSearchTest : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    if (HasFatalFailure()) return;
    KvMessageScript::Begin();
    AbiRegistraFinestre();
    // Two names with an apostrophe; D'Angelo was never historicized nor
    // checked (NULL flags), has no fiscal code, office or account.
    Exec(QStringLiteral(
        "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENPARTITAIVA, SBENCODFISCALE, LBENEND, LBENOBBLTRACC) "
        "VALUES (100, 'D''Angelo Forniture S.a.s.', '04455660011', '', NULL, NULL)"));
    Exec(QStringLiteral(
        "INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENPARTITAIVA, SBENCODFISCALE, LBENEND, LBENOBBLTRACC) "
        "VALUES (101, 'D''Amico Carta S.r.l.', '04455660022', '04455660022', 0, 1)"));
    Exec(QStringLiteral("INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, SSEBINDIRIZZO) VALUES (900, 101, 'Via Roma 1')"));
    Exec(QStringLiteral("INSERT INTO TSPRBEN (ISPRBENID, IBENID) VALUES (900, 101)"));
  }
  void TearDown() override {
    KvDialogScript::Clear();
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  static void setUp(TfmAbiBenSearch& w) {
    w.SetCommandText(kFornitori);
    w.SetKeyField(QStringLiteral("TBEN_BENEFICIARI.IBENID"));
    w.GetFields(1)->SetCaption(QStringLiteral("Ragione Sociale"));
    w.GetFields(1)->SetIndexed(true);
    w.GetFields(2)->SetCaption(QStringLiteral("Partita IVA"));
    w.GetFields(2)->SetIndexed(true);
    w.GetFields(3)->SetCaption(QStringLiteral("Codice Fiscale"));
    w.GetFields(3)->SetIndexed(true);
  }
};

TEST(AbiFiltroTest, TypedTextIsAQuotedLiteralOfTheFilter) {
  struct Case {
    QString field, text, filter;
  };
  const QList<Case> cases = {
      {"SBENRAGSOC", "rossi", "UPPER(SBENRAGSOC) LIKE '%ROSSI%' ESCAPE '\\'"},
      {"SBENRAGSOC", "d'angelo", "UPPER(SBENRAGSOC) LIKE '%D''ANGELO%' ESCAPE '\\'"},
      {"SBENRAGSOC", "' OR ''='", "UPPER(SBENRAGSOC) LIKE '%'' OR ''''=''%' ESCAPE '\\'"},
      {"Ragione Sociale", "x", "UPPER(\"Ragione Sociale\") LIKE '%X%' ESCAPE '\\'"},
      {"SBENRAGSOC", "10%_\\", "UPPER(SBENRAGSOC) LIKE '%10\\%\\_\\\\%' ESCAPE '\\'"},
  };
  for (const Case& c : cases) EXPECT_EQ(FiltroContiene(c.field, c.text), c.filter) << c.text.toStdString();
}

TEST_F(AbiBenSearchTest, TypeAheadKeepsTheRowsWhoseColumnContainsTheTextApostrophesIncluded) {
  TfmAbiBenSearch w;
  setUp(w);
  const QStringList all = [] {
    QStringList names;
    QSqlQuery q(qqoKvGlobConn());
    q.exec(QStringLiteral("SELECT SBENRAGSOC FROM TBEN_BENEFICIARI WHERE COALESCE(LBENEND, 0) = 0"));
    while (q.next()) names << q.value(0).toString();
    return names;
  }();

  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& s) {
    auto& b = static_cast<TfmAbiBenSearch&>(s);
    EXPECT_EQ(b.windowTitle(), QStringLiteral("Cerca Beneficiario"));
    EXPECT_TRUE(b.FilterPanel()->isHidden());
    EXPECT_TRUE(b.EditButton()->isHidden());
    EXPECT_EQ(b.ColonnaFiltro(), QStringLiteral("SBENRAGSOC"));
    EXPECT_TRUE(b.edCerca->text().isEmpty());
    EXPECT_EQ(b.edCerca->placeholderText(), QStringLiteral("<Cerca Beneficiario>"));
    EXPECT_EQ(sorted(column(*b.GetDataSet(), QStringLiteral("SBENRAGSOC"))), sorted(all));

    // Entering the edit: no placeholder, light yellow; typing waits for the timer.
    focus(b.edCerca, QEvent::FocusIn);
    EXPECT_TRUE(b.edCerca->placeholderText().isEmpty());
    EXPECT_NE(b.edCerca->palette().color(QPalette::Base), QColor(Qt::white));

    struct Case {
      QString text;
      QStringList names;
    };
    const QList<Case> cases = {
        {"d'a", {"D'Amico Carta S.r.l.", "D'Angelo Forniture S.a.s."}},
        {"D'ANGELO", {"D'Angelo Forniture S.a.s."}},
        {"' OR ''='", {}},
        {"nessuno", {}},
        {"'", {"D'Amico Carta S.r.l.", "D'Angelo Forniture S.a.s."}},
        {"estense", {"Cartoleria Estense S.r.l."}},
    };
    for (const Case& c : cases) {
      b.edCerca->clear();
      EXPECT_EQ(b.GetDataSet()->RecordCount(), all.size()) << "an emptied edit lists every row";
      type(b.edCerca, c.text);
      EXPECT_TRUE(b.tmCerca->isActive());
      EXPECT_EQ(b.tmCerca->interval(), 500);
      EXPECT_TRUE(b.ApplicaFiltro()) << c.text.toStdString();
      EXPECT_EQ(sorted(column(*b.GetDataSet(), QStringLiteral("SBENRAGSOC"))), c.names) << c.text.toStdString();
    }
    // Left alone, the timer filters by itself.
    b.edCerca->clear();
    type(b.edCerca, QStringLiteral("estense"));
    EXPECT_EQ(b.GetDataSet()->RecordCount(), all.size());
    ASSERT_TRUE(attendiTimer(b.tmCerca));
    EXPECT_EQ(column(*b.GetDataSet(), QStringLiteral("SBENRAGSOC")), QStringList{"Cartoleria Estense S.r.l."});
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI")).toInt(), 17);

    // Another column (the filter still on): it becomes the filter's, and the filter goes.
    auto* model = b.Grid()->model();
    const int piva = static_cast<TKvCollectionModel*>(model)->ColumnOfField(QStringLiteral("SBENPARTITAIVA"));
    b.Grid()->setCurrentIndex(model->index(0, piva));
    EXPECT_EQ(b.ColonnaFiltro(), QStringLiteral("SBENPARTITAIVA"));
    EXPECT_TRUE(b.edCerca->text().isEmpty());
    EXPECT_EQ(b.edCerca->placeholderText(), QStringLiteral("<Cerca Beneficiario>"));
    EXPECT_EQ(b.GetDataSet()->RecordCount(), all.size());
    // Typing on the list goes on in the edit; Enter applies, Enter again chooses.
    type(b.Grid(), QStringLiteral("0445566002"));
    EXPECT_EQ(b.edCerca->text(), QStringLiteral("0445566002"));
    press(b.edCerca, Qt::Key_Return);
    EXPECT_EQ(column(*b.GetDataSet(), QStringLiteral("SBENRAGSOC")), QStringList{"D'Amico Carta S.r.l."});
    press(b.edCerca, Qt::Key_Return);
  });
  ASSERT_EQ(w.exec(), QDialog::Accepted);
  EXPECT_TRUE(w.Chosen());
  EXPECT_EQ(w.Value(QStringLiteral("IBENID")).toInt(), 101);

  // Leaving the edit empty brings the placeholder back, on white.
  w.edCerca->clear();
  focus(w.edCerca, QEvent::FocusOut);
  EXPECT_EQ(w.edCerca->placeholderText(), QStringLiteral("<Cerca Beneficiario>"));
  EXPECT_EQ(w.edCerca->palette().color(QPalette::Base), QColor(Qt::white));
}

// A supplier added while the window is closed is there the next time it shows.
TEST_F(AbiBenSearchTest, TheListIsReadAgainEachTimeTheWindowShows) {
  TfmAbiBenSearch w;
  setUp(w);
  QList<QStringList> visti;
  KvDialogScript::Drive<TfmAbiBenSearch>(
      [&](TfmAbiBenSearch& b) { visti << column(*b.GetDataSet(), QStringLiteral("SBENRAGSOC")); });
  w.exec();
  Exec(QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, LBENEND) VALUES (102, 'Nuova Cartotecnica', 0)"));
  w.exec();
  ASSERT_EQ(visti.size(), 2);
  EXPECT_FALSE(visti[0].contains(QStringLiteral("Nuova Cartotecnica")));
  EXPECT_TRUE(visti[1].contains(QStringLiteral("Nuova Cartotecnica")));
}

TEST_F(AbiBenSearchTest, ALookupOpensItWithTheTypedTextAsAVisibleFilter) {
  TKvDBLookupEdit lookup;
  lookup.SetListCommandText(kFornitori);
  lookup.SetKeyField(QStringLiteral("TBEN_BENEFICIARI.IBENID"));
  lookup.SetListField(QStringLiteral("SBENRAGSOC"));
  lookup.SetListSearchField(QStringLiteral("TBEN_BENEFICIARI.SBENRAGSOC"));
  lookup.SetSearchForm(QStringLiteral("TfmAbiBenSearch"));
  lookup.OnShowSearchForm = [](TKvDBLookupEdit&, TfmKvSearch& form, bool&) {
    form.SetCaption(QStringLiteral("Fornitori"));
    form.GetFields(1)->SetCaption(QStringLiteral("Ragione Sociale"));
    form.GetFields(1)->SetIndexed(true);
  };
  QStringList seen;
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& s) {
    auto& b = static_cast<TfmAbiBenSearch&>(s);
    seen << b.windowTitle() << b.edCerca->text() << sorted(column(*b.GetDataSet(), QStringLiteral("SBENRAGSOC")));
    ASSERT_TRUE(b.GetDataSet()->Locate(QStringLiteral("IBENID"), 100));
    b.ChooseRow(b.GetDataSet()->RecNo());
    b.OkButton()->click();
  });
  // Two names start with the text: the search window opens on them.
  lookup.LineEdit()->setText(QStringLiteral("d'a"));
  EXPECT_TRUE(lookup.ResolveText());
  EXPECT_EQ(seen, QStringList({"Fornitori", "d'a", "D'Amico Carta S.r.l.", "D'Angelo Forniture S.a.s."}));
  EXPECT_EQ(lookup.KeyValue(), 100);
  EXPECT_EQ(lookup.Text(), QStringLiteral("D'Angelo Forniture S.a.s."));
}

TEST_F(AbiBenSearchTest, MultiSelectFiltersSuppliersByStateAndReturnsTheTickedOnes) {
  TfmAbiMultiSelectBen w;
  w.SetCommandText(kSelezione);
  w.SetKeyField(QStringLiteral("B.IBENID"));
  ASSERT_TRUE(w.Open());
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Seleziona il Beneficiario"));
  auto names = [&] { return column(*w.List(), QStringLiteral("SBENRAGSOC")); };
  const QStringList active = names();
  EXPECT_EQ(active.size(), 16) << "every supplier but the historicized one, D'Angelo's NULL flag included";
  EXPECT_TRUE(active.contains(QStringLiteral("D'Angelo Forniture S.a.s.")));

  // Boxes are clicked in this order, each only when it must change.
  struct Case {
    bool ended, traceability, incomplete;
    QStringList names;
    int selected;
  };
  const QList<Case> cases = {
      {true, false, false, {"Elettroforniture Ravennati S.r.l."}, 0},
      {false,
       true,
       false,
       {"D'Angelo Forniture S.a.s.", "Delta Servizi Pulizie Soc. Coop.", "Ferri Alessandro", "Gallo Chiara"},
       0},
      {false, false, true, {"D'Angelo Forniture S.a.s.", "Schneider Lehrmittel GmbH"}, 2},
      {false, true, true, {"D'Angelo Forniture S.a.s."}, 0},
      {true, false, true, {}, 0},
      {false, false, false, active, 0},
  };
  for (const Case& c : cases) {
    w.SetSelected(0, true);
    for (auto [box, on] : {std::pair{w.ckStoricizzati, c.ended}, std::pair{w.ckTracciabilita, c.traceability},
                           std::pair{w.ckDatiOil, c.incomplete}})
      if (box->isChecked() != on) box->click();
    EXPECT_EQ(names(), c.names) << c.ended << c.traceability << c.incomplete;
    // Ticking the incomplete-data box selects what it leaves; any other click clears.
    EXPECT_EQ(w.SelectedCount(), c.selected) << c.ended << c.traceability << c.incomplete;
  }

  // A name typed clears the selection once the timer fires; the apostrophe is text.
  w.SetSelected(0, true);
  w.SetSelected(1, true);
  w.edFiltra->setText(QStringLiteral("d'a"));
  EXPECT_TRUE(w.tmFiltra->isActive());
  EXPECT_EQ(w.tmFiltra->interval(), 500);
  EXPECT_EQ(w.SelectedCount(), 2);
  ASSERT_TRUE(attendiTimer(w.tmFiltra));
  EXPECT_EQ(w.SelectedCount(), 0);
  EXPECT_EQ(names(), QStringList({"D'Amico Carta S.r.l.", "D'Angelo Forniture S.a.s."}));
  // A box clicked keeps the name typed.
  w.ckTracciabilita->click();
  EXPECT_EQ(names(), QStringList{"D'Angelo Forniture S.a.s."});
  w.ckTracciabilita->click();
  w.edFiltra->clear();
  EXPECT_FALSE(w.tmFiltra->isActive());
  EXPECT_EQ(w.Condizione(), QStringLiteral("1 = 1"));
  EXPECT_EQ(names(), active);

  // OK with nothing ticked is refused; then the ticked ids come back.
  QList<int> results;
  KvDialogScript::Drive<TfmKvMultiSelect>([&](TfmKvMultiSelect& m) {
    m.OkButton()->click();
    results << m.result();
    for (int id : {100, 3}) {
      ASSERT_TRUE(m.List()->Locate(QStringLiteral("IBENID"), id));
      m.SetSelected(m.List()->RecNo(), true);
    }
    m.OkButton()->click();
  });
  EXPECT_EQ(w.exec(), QDialog::Accepted);
  EXPECT_EQ(results, QList<int>{QDialog::Rejected});
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{"Non è stato selezionato nessun beneficiario."});
  QList<int> ids;
  for (const QVariant& key : w.SelectedKeys()) ids << key.toInt();
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, QList<int>({3, 100}));
}

TEST_F(AbiBenSearchTest, WindowsAreRegisteredByClassName) {
  for (const char* name : {"TfmComEsteri", "TfmSearchLoco", "TfmAbiBenSearch", "TfmAbiMultiSelectBen"})
    EXPECT_TRUE(KvWindowFactory::IsRegistered(QString::fromLatin1(name))) << name;
}

}  // namespace
