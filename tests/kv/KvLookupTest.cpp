#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvTestResult.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "TKvDBLookupEdit.h"
#include "TfmKvMultiSelect.h"
#include "TfmKvSearch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QToolButton>

#include <optional>

namespace {

using namespace PuxTestInput;

// Replaces the text of a lookup as the user does, and leaves it with Enter.
void retype(TKvDBLookupEdit& lookup, const QString& text) {
  lookup.LineEdit()->selectAll();
  press(lookup.LineEdit(), Qt::Key_Delete);
  type(lookup.LineEdit(), text);
  press(lookup.LineEdit(), Qt::Key_Return);
}

QStringList column(const TKvQueryCollection& list, const QString& field) {
  QStringList out;
  const int f = list.FieldIndex(field);
  for (int r = 0; r < list.RecordCount(); ++r) out << list.Value(r, f).toString();
  return out;
}

QStringList headerTitles(const QTableView& grid) {
  QStringList out;
  for (int c = 0; c < grid.model()->columnCount(); ++c)
    if (!grid.isColumnHidden(c)) out << grid.model()->headerData(c, Qt::Horizontal).toString();
  return out;
}

const QString kCigList = QStringLiteral(
    "SELECT ccd.iCcdId, ccd.dCcdDataAssegn, ccd.sCcdCodice, ccd.sCcdLDesc FROM TCcd_CigCupDurc ccd "
    "WHERE ccd.iTccdId = :KIND AND ##WHERE##");
const QString kYearList = QStringLiteral(
    " SELECT TANF_ANNIFINANZ.IANFID, TANF_ANNIFINANZ.IANFVALORE, TANF_ANNIFINANZ.DANFKALVOINIZIO, "
    "TANF_ANNIFINANZ.DANFKALVOFINE FROM TANF_ANNIFINANZ WHERE ##WHERE##");
const QString kSupplierList = QStringLiteral(
    "SELECT TBEN_BENEFICIARI.IBENID, TBEN_BENEFICIARI.SBENRAGSOC, TBEN_BENEFICIARI.SBENPARTITAIVA, "
    "TBEN_BENEFICIARI.LBENEND FROM TBEN_BENEFICIARI WHERE ##WHERE## ORDER BY ##ORDERBY##");

class KvLookupTest : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    KvMessageScript::Begin();
  }
  void TearDown() override {
    KvDialogScript::Clear();
    KvWindowFactory::Unregister(QStringLiteral("TfmTestAnniSearch"));
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  // The CIG lookup of a document: codes of kind 1, shown and searched by code.
  void setUpCig(TKvDBLookupEdit& lookup) {
    lookup.SetListCommandText(kCigList);
    lookup.SetListParam(QStringLiteral("KIND"), 1);
    lookup.SetKeyField(QStringLiteral("ccd.iCcdId"));
    lookup.SetListField(QStringLiteral("sCcdCodice"));
    lookup.SetListSearchField(QStringLiteral("ccd.sCcdCodice"));
  }
};

TEST(KvSearchSqlTest, SplitsTheSelectListIntoExpressionsAndColumnNames) {
  struct Case {
    const char* sql;
    QStringList expressions;
    QStringList names;
  };
  const QList<Case> cases = {
      {"SELECT ccd.iCcdId, ccd.sCcdCodice FROM TCcd_CigCupDurc ccd WHERE ##WHERE##",
       {"ccd.iCcdId", "ccd.sCcdCodice"},
       {"ICCDID", "SCCDCODICE"}},
      {"SELECT iScrId, sScrSDesc || '-' || sScrLDesc AS sScrDesc FROM TScr_SceltaContr WHERE ##WHERE##",
       {"iScrId", "sScrSDesc || '-' || sScrLDesc"},
       {"ISCRID", "SSCRDESC"}},
      {"SELECT ART.IARTID, SUBSTRING (ART.SARTDESCL FROM 1 FOR 255) AS SARTDESCL, 'a, FROM b' X FROM TART_ARTICOLI ART",
       {"ART.IARTID", "SUBSTRING (ART.SARTDESCL FROM 1 FOR 255)", "'a, FROM b'"},
       {"IARTID", "SARTDESCL", "X"}},
      {"select first 10 distinct CASE WHEN A = 1 THEN 'x' END, B from T",
       {"CASE WHEN A = 1 THEN 'x' END", "B"},
       {"", "B"}},
      {"SELECT * FROM T WHERE ##WHERE##", {}, {}},
      {"UPDATE T SET A = 1", {}, {}},
  };
  for (const Case& c : cases) {
    const auto items = KvSearchSql::SelectList(QString::fromUtf8(c.sql));
    QStringList expressions, names;
    for (const auto& it : items) {
      expressions << it.expression;
      names << it.name;
    }
    EXPECT_EQ(expressions, c.expressions) << c.sql;
    EXPECT_EQ(names, c.names) << c.sql;
  }
}

TEST(KvSearchSqlTest, TypedTextIsMatchedLiterally) {
  EXPECT_EQ(KvSearchSql::Pattern(QStringLiteral(" l'arte "), false), QStringLiteral("L'ARTE%"));
  EXPECT_EQ(KvSearchSql::Pattern(QStringLiteral("50%_a\\"), true), QStringLiteral("%50\\%\\_A\\\\%"));
  // The condition names only the parameter: no typed text ever reaches the statement.
  EXPECT_EQ(KvSearchSql::Condition(QStringLiteral("A.X")),
            QStringLiteral("(UPPER(A.X) LIKE CAST(:KVSEARCH AS VARCHAR(1000)) ESCAPE '\\')"));
}

TEST_F(KvLookupTest, TypedTextBecomesTheKeyOfTheOnlyMatchingRow) {
  Exec(QStringLiteral("INSERT INTO TCCD_CIGCUPDURC (ICCDID, ITCCDID, SCCDCODICE) VALUES (100, 1, 'B5A7C3E1F2-BIS')"));
  TKvDBLookupEdit lookup;
  setUpCig(lookup);
  QList<QPair<int, int>> changes;
  lookup.OnChangeFKValue = [&](TKvDBLookupEdit&, int oldKey, int newKey) { changes.append({oldKey, newKey}); };
  // Several matches open the search window filtered by the text, where the
  // user picks one.
  QString searchedFor;
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& w) {
    searchedFor = w.FilterText();
    if (w.GetDataSet()->RecordCount() == 3 && w.GetDataSet()->Locate(QStringLiteral("SCCDCODICE"), "B5C2D81A40"))
      w.OkButton()->click();
  });

  struct Case {
    QString typed;
    std::optional<int> key;  // the key it becomes; nullopt: refused, key kept
    QString message;         // shown to the user
    bool searchWindow = false;
  };
  const QList<Case> cases = {
      {"b61f", 4, {}},                                             // one code starts with it, any case
      {"B5A7C3E1F2", 1, {}},                                       // equal to one of the two starting with it
      {"b5a7c3e1f2-", 100, {}},                                    //
      {"C74D", std::nullopt, "Attenzione!\nValore non trovato."},  // a CUP: not in this list
      {"x' OR '1'='1", std::nullopt, "Attenzione!\nValore non trovato."},
      {"%", std::nullopt, "Attenzione!\nValore non trovato."},  // a wildcard typed is a character
      {"B5", 2, {}, true},                                      // B5A7..., B5A7...-BIS, B5C2...: chosen in the window
      {"", -1, {}},                                             // emptied: no key
  };
  int expected = -1;
  for (const Case& c : cases) {
    KvMessageScript::Clear();
    searchedFor.clear();
    retype(lookup, c.typed);
    if (c.key) expected = *c.key;
    EXPECT_EQ(lookup.KeyValue(), expected) << c.typed.toStdString();
    EXPECT_EQ(KvMessageScript::Texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message})
        << c.typed.toStdString();
    EXPECT_EQ(searchedFor, c.searchWindow ? c.typed : QString()) << c.typed.toStdString();
    const QString shown =
        expected < 0 ? QString()
                     : Scalar(QStringLiteral("SELECT SCCDCODICE FROM TCCD_CIGCUPDURC WHERE ICCDID = %1").arg(expected))
                           .toString();
    EXPECT_EQ(lookup.Text(), shown) << c.typed.toStdString();
  }
  EXPECT_EQ(changes, (QList<QPair<int, int>>{{-1, 4}, {4, 1}, {1, 100}, {100, 2}, {2, -1}}));
}

TEST_F(KvLookupTest, FollowsTheBoundFieldAndOnValidateRefusesAChoice) {
  // DURC rows pointing at their supplier.
  TKvQueryCollection durc;
  durc.SetCommandText(
      QStringLiteral("SELECT ICCDID, IBENID, SCCDCODICE FROM TCCD_CIGCUPDURC WHERE ITCCDID = 3 AND ICCDID IN (21, 22) "
                     "ORDER BY ICCDID"));
  ASSERT_TRUE(durc.Open());
  TKvDBLookupEdit lookup;
  lookup.SetListCommandText(kSupplierList);
  lookup.SetKeyField(QStringLiteral("TBEN_BENEFICIARI.IBENID"));
  lookup.SetListField(QStringLiteral("SBENRAGSOC"));
  lookup.OnValidate = [](TKvDBLookupEdit&, int key, QString& message) {
    if (key == 10) {
      message = QStringLiteral("Attenzione!\nIl fornitore ha cessato l'attività.");
      return false;
    }
    return true;
  };
  int changes = 0;
  lookup.OnChangeFKValue = [&](TKvDBLookupEdit&, int, int) { ++changes; };
  lookup.SetDataSource(&durc, QStringLiteral("IBENID"));

  EXPECT_EQ(lookup.KeyValue(), 1);
  EXPECT_EQ(lookup.Text(), QStringLiteral("Cartoleria Estense S.r.l."));
  durc.Next();
  EXPECT_EQ(lookup.KeyValue(), 2);
  EXPECT_EQ(lookup.Text(), QStringLiteral("Tipografia Padana S.n.c. di Rossi Paolo & C."));
  EXPECT_EQ(changes, 0) << "following the rows is not a change of the user";

  // Refused: the message, the old key and text, the field untouched.
  retype(lookup, QStringLiteral("elettro"));
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Attenzione!\nIl fornitore ha cessato l'attività.")});
  EXPECT_EQ(lookup.KeyValue(), 2);
  EXPECT_EQ(lookup.Text(), QStringLiteral("Tipografia Padana S.n.c. di Rossi Paolo & C."));
  EXPECT_EQ(durc.GetState(), KvState::Browse);

  // Accepted: written into the row being edited; emptied: NULL.
  retype(lookup, QStringLiteral("ferramenta"));
  EXPECT_EQ(lookup.KeyValue(), 7);
  EXPECT_EQ(durc.GetState(), KvState::Edit);
  EXPECT_EQ(durc.FieldValue(QStringLiteral("IBENID")).toInt(), 7);
  retype(lookup, QStringLiteral(" "));
  EXPECT_EQ(lookup.KeyValue(), -1);
  EXPECT_TRUE(durc.FieldValue(QStringLiteral("IBENID")).isNull());
  EXPECT_EQ(changes, 2);
  durc.Cancel();
  EXPECT_EQ(lookup.KeyValue(), 2);

  // Read only: typing and the search window do nothing.
  lookup.SetReadOnly(true);
  EXPECT_TRUE(lookup.LineEdit()->isReadOnly());
  EXPECT_FALSE(lookup.ShowSearchForm());
  EXPECT_EQ(lookup.KeyValue(), 2);
}

TEST_F(KvLookupTest, OpensItsSearchWindowByClassNameAndTakesTheChosenRow) {
  int built = 0;
  KvWindowFactory::Register(QStringLiteral("TfmTestAnniSearch"), [&](QWidget* parent) -> QWidget* {
    ++built;
    return new TfmKvSearch(parent);
  });
  TKvDBLookupEdit lookup;
  lookup.SetListCommandText(kYearList);
  lookup.SetKeyField(QStringLiteral("IANFID"));
  lookup.SetListField(QStringLiteral("IANFVALORE"));
  lookup.SetSearchForm(QStringLiteral("TfmTestAnniSearch"));
  lookup.OnShowSearchForm = [](TKvDBLookupEdit&, TfmKvSearch& form, bool& show) {
    form.SetCaption(QStringLiteral("Anni Finanziari"));
    form.SetWidth(600);
    form.GetFields(1)->SetCaption(QStringLiteral("Anno Finanziario"));
    form.GetFields(2)->SetCaption(QStringLiteral("Inizio"));
    form.GetFields(3)->SetCaption(QStringLiteral("Fine"));
    show = true;
  };
  lookup.SetKeyValue(121);
  ASSERT_EQ(lookup.Text(), QStringLiteral("2021"));

  QStringList seen;
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& w) {
    seen << w.windowTitle() << QString::number(w.width()) << headerTitles(*w.Grid())
         << w.GetDataSet()->FieldValue(QStringLiteral("IANFVALORE")).toString();
    // As the user: types in the filter, Enter filters, Enter chooses.
    w.show();
    type(w.FilterEdit(), QStringLiteral("2022"));
    press(w.FilterEdit(), Qt::Key_Return);
    seen << QString::number(w.GetDataSet()->RecordCount());
    press(w.FilterEdit(), Qt::Key_Return);
  });
  press(lookup.LineEdit(), Qt::Key_F2);

  EXPECT_EQ(built, 1);
  EXPECT_EQ(seen, QStringList({"Anni Finanziari", "600", "Anno Finanziario", "Inizio", "Fine", "2021", "1"}));
  EXPECT_EQ(lookup.KeyValue(), 122);
  EXPECT_EQ(lookup.Text(), QStringLiteral("2022"));

  // From the year held (2022): Down into the list and Down again, Enter
  // chooses the row reached.
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& w) {
    w.show();
    press(w.FilterEdit(), Qt::Key_Down);
    press(w.Grid(), Qt::Key_Down);
    press(w.Grid(), Qt::Key_Return);
  });
  lookup.SearchButton()->click();
  EXPECT_EQ(lookup.KeyValue(), 124);

  // Cancelled: nothing changes. Not shown (the caller said so): the same.
  lookup.SetKeyValue(122);
  KvDialogScript::Drive<TfmKvSearch>([](TfmKvSearch& w) { w.CancelButton()->click(); });
  lookup.SearchButton()->click();
  EXPECT_EQ(lookup.KeyValue(), 122);
  lookup.OnShowSearchForm = [](TKvDBLookupEdit&, TfmKvSearch&, bool& show) { show = false; };
  EXPECT_FALSE(lookup.ShowSearchForm());
  EXPECT_EQ(built, 4);

  // A class nobody registered is reported, not a crash.
  lookup.SetSearchForm(QStringLiteral("TfmNessuno"));
  EXPECT_FALSE(lookup.ShowSearchForm());
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{KvWindowFactory::UnknownClassMessage(QStringLiteral("TfmNessuno"))});
}

TEST_F(KvLookupTest, SearchWindowFiltersWithBoundTextAndSortsByTheClickedTitle) {
  Exec(
      QStringLiteral("INSERT INTO TBEN_BENEFICIARI (IBENID, SBENRAGSOC, SBENPARTITAIVA) "
                     "VALUES (100, 'L''Arte della Carta S.r.l.', '09999999999')"));
  TfmKvSearch w;
  w.SetCommandText(QStringLiteral(
      "SELECT IBENID, SBENRAGSOC, SBENRAGSOC || ' - ' || COALESCE(SBENPARTITAIVA, '') AS DESCR FROM TBEN_BENEFICIARI "
      "WHERE ##WHERE## ORDER BY ##ORDERBY##"));
  w.GetFields(1)->SetCaption(QStringLiteral("Ragione Sociale"));
  w.GetFields(1)->SetIndexed(true);
  w.GetFields(2)->SetCaption(QStringLiteral("Descrizione"));
  w.GetFields(2)->SetIndexed(true);
  ASSERT_TRUE(KvOk(w.Open()));
  const int all = Scalar(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI")).toInt();
  ASSERT_EQ(w.GetDataSet()->RecordCount(), all);
  EXPECT_EQ(headerTitles(*w.Grid()), QStringList({"Ragione Sociale", "Descrizione"}));

  struct Case {
    int field;
    QString text;
    QStringList names;  // SBENRAGSOC of the rows left
  };
  const QList<Case> cases = {
      {1, "l'arte", {"L'Arte della Carta S.r.l."}},      {1, "' OR ''='", {}},
      {1, "'; DELETE FROM TBEN_BENEFICIARI; --", {}},    {1, "%", {}},
      {2, "- 0999", {"L'Arte della Carta S.r.l."}},  // on the alias: its expression is searched
      {2, "01845230380", {"Cartoleria Estense S.r.l."}},
  };
  for (const Case& c : cases) {
    w.SetFilterField(c.field);
    w.SetFilterText(c.text);
    EXPECT_TRUE(w.ApplyFilter()) << c.text.toStdString();
    EXPECT_EQ(column(*w.GetDataSet(), QStringLiteral("SBENRAGSOC")), c.names) << c.text.toStdString();
  }
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI")).toInt(), all);

  // Sort: a click on a title sorts by it, a second click the other way.
  w.SetFilterText(QString());
  w.ApplyFilter();
  QSqlQuery q(qqoKvGlobConn());
  ASSERT_TRUE(q.exec(QStringLiteral("SELECT SBENRAGSOC FROM TBEN_BENEFICIARI ORDER BY SBENRAGSOC")));
  QStringList ascending;
  while (q.next()) ascending << q.value(0).toString();
  QStringList descending(ascending.rbegin(), ascending.rend());
  const int titleColumn = 0;  // "Ragione Sociale"
  emit w.Grid()->horizontalHeader()->sectionClicked(titleColumn);
  EXPECT_EQ(w.SortField(), 1);
  EXPECT_EQ(column(*w.GetDataSet(), QStringLiteral("SBENRAGSOC")), ascending);
  emit w.Grid()->horizontalHeader()->sectionClicked(titleColumn);
  EXPECT_TRUE(w.SortDescending());
  EXPECT_EQ(column(*w.GetDataSet(), QStringLiteral("SBENRAGSOC")), descending);
  EXPECT_FALSE(w.SortBy(0)) << "the hidden key is not a search field";
}

TEST_F(KvLookupTest, SearchDialogReturnsTheValuesOfTheChosenRow) {
  TKvSearchDialog dialog;
  dialog.GetSQLDataSet().SetCommandText(kCigList);
  dialog.GetSQLDataSet().SetParam(QStringLiteral("KIND"), 2);
  dialog.SetCaption(QStringLiteral("Scelta CUP"));
  dialog.GetColumns().Field(1).SetCaption(QStringLiteral("Data assegn."));
  dialog.GetColumns().Field(2).SetCaption(QStringLiteral("CUP"));
  dialog.GetColumns().Field(2).SetIndexed(true);
  dialog.SetFilterText(QStringLiteral("c74d24"));
  KvDialogScript::Drive<TfmKvSearch>([](TfmKvSearch& w) {
    if (w.GetDataSet()->RecordCount() == 1) w.OkButton()->click();
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Value(QStringLiteral("ccd.iCcdId")).toInt(), 17);
  EXPECT_EQ(dialog.Value(QStringLiteral("SCCDCODICE")).toString(), QStringLiteral("C74D24001230006"));

  KvDialogScript::Drive<TfmKvSearch>([](TfmKvSearch& w) { w.CancelButton()->click(); });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_FALSE(dialog.Value(QStringLiteral("SCCDCODICE")).isValid());
}

TEST_F(KvLookupTest, MultiSelectReturnsTheTickedKeysAndRefusesNone) {
  TfmKvMultiSelect w;
  w.SetCaption(QStringLiteral("Seleziona il Beneficiario"));
  w.SetCommandText(kSupplierList);
  w.SetColumns({{QStringLiteral("SBENRAGSOC"), QStringLiteral("Ragione Sociale"), 300}});
  w.SetEmptySelectionMessage(QStringLiteral("Non è stato selezionato nessun beneficiario."));
  QCheckBox* ended =
      w.AddFilterCheck(QStringLiteral("Visualizza Beneficiari Storicizzati"), QStringLiteral("ckStorici"));
  w.OnBuildFilter = [ended](TfmKvMultiSelect&) {
    return ended->isChecked() ? QStringLiteral("(LBENEND = 1)") : QStringLiteral("(LBENEND = 0)");
  };
  ASSERT_TRUE(w.Open());
  const int active = Scalar(QStringLiteral("SELECT COUNT(*) FROM TBEN_BENEFICIARI WHERE LBENEND = 0")).toInt();
  ASSERT_EQ(w.List()->RecordCount(), active);

  // Ticks by the box of the first column, by Space, and the three buttons.
  QAbstractItemModel* model = w.Grid()->model();
  model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
  w.List()->MoveTo(2);
  press(w.Grid(), Qt::Key_Space);
  EXPECT_EQ(model->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  const QList<QVariant> firstAndThird = {w.List()->Value(0, 0), w.List()->Value(2, 0)};
  EXPECT_EQ(w.SelectedKeys(), firstAndThird);
  w.InvertButton()->click();
  EXPECT_EQ(w.SelectedCount(), active - 2);
  w.SelectAllButton()->click();
  EXPECT_EQ(w.SelectedCount(), active);
  w.SelectNoneButton()->click();
  EXPECT_EQ(w.SelectedCount(), 0);

  // A filter rebuilds the list and loses the ticks.
  w.SetSelected(1, true);
  ended->click();
  EXPECT_EQ(w.SelectedCount(), 0);
  EXPECT_EQ(column(*w.List(), QStringLiteral("SBENRAGSOC")), QStringList{"Elettroforniture Ravennati S.r.l."});
  ended->click();
  ASSERT_EQ(w.List()->RecordCount(), active);

  // OK with nothing ticked is refused and the window stays; then two keys.
  QList<int> results;
  KvDialogScript::Drive<TfmKvMultiSelect>([&](TfmKvMultiSelect& win) {
    win.OkButton()->click();
    results << win.result();
    win.SetSelected(3, true);
    win.SetSelected(4, true);
    win.OkButton()->click();
  });
  EXPECT_EQ(w.exec(), QDialog::Accepted);
  EXPECT_EQ(results, QList<int>{QDialog::Rejected});
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{"Non è stato selezionato nessun beneficiario."});
  EXPECT_EQ(w.SelectedKeys(), (QList<QVariant>{w.List()->Value(3, 0), w.List()->Value(4, 0)}));

  // Single selection: the current row.
  w.SetMultiSelect(false);
  w.List()->MoveTo(5);
  EXPECT_EQ(w.SelectedKeys(), QList<QVariant>{w.List()->Value(5, 0)});
  EXPECT_FALSE(model->index(5, 0).data(Qt::CheckStateRole).isValid());
}

}  // namespace

namespace {

// Queued drivers come before the standing ones, run once, and only for a
// dialog of their class; a driver that presses nothing leaves it rejected.
TEST(KvDialogScriptTest, QueuedDriversRunOnceAndOnlyForTheirClass) {
  KvDialogScript::Clear();
  QStringList runs;
  KvDialogScript::Drive<TfmKvDialog>([&](TfmKvDialog& d) {
    runs << QStringLiteral("sempre");
    d.OkButton()->click();
  });
  KvDialogScript::Next<TfmKvSearch>([&](TfmKvSearch&) { runs << QStringLiteral("ricerca"); });
  KvDialogScript::Next<TfmKvDialog>([&](TfmKvDialog&) { runs << QStringLiteral("nulla"); });
  TfmKvDialog d;
  EXPECT_EQ(d.exec(), QDialog::Rejected);
  EXPECT_EQ(d.exec(), QDialog::Accepted);
  EXPECT_EQ(runs, QStringList({"nulla", "sempre"}));
  EXPECT_EQ(KvDialogScript::Pending(), 1);  // the search window's, still waiting
  KvDialogScript::Clear();
  EXPECT_EQ(KvDialogScript::Pending(), 0);
}

}  // namespace

namespace {

// Search fields declared by name find their places in the statement; a text
// field may be searched and sorted, a date only when said so.
TEST_F(KvLookupTest, SearchFieldsDeclaredByNameAreSearchableByTheirKind) {
  struct Caso {
    std::optional<bool> dataRicercabile;
    bool atteso;
  };
  for (const Caso& c : {Caso{std::nullopt, false}, Caso{true, true}}) {
    TfmKvSearch w;
    w.SetCommandText(QStringLiteral("SELECT IBENID, DSTART, SBENRAGSOC FROM TBEN_BENEFICIARI WHERE ##WHERE##"));
    w.Fields().SetColumns({{.field = "SBENRAGSOC", .caption = "Ragione Sociale", .width = 300},
                           {.field = "TBEN_BENEFICIARI.DSTART", .caption = "Inizio", .searchable = c.dataRicercabile}});
    ASSERT_TRUE(w.Open());
    QStringList titoli;
    for (int i = 0; i < w.Grid()->model()->columnCount(); ++i)
      titoli << w.Grid()->model()->headerData(i, Qt::Horizontal).toString();
    EXPECT_EQ(titoli, QStringList({"Inizio", "Ragione Sociale"}));
    EXPECT_EQ(w.Grid()->columnWidth(1), 300);
    EXPECT_TRUE(w.SortBy(2));
    EXPECT_EQ(w.SortBy(1), c.atteso);
  }
}

}  // namespace
