#include "KvMessageDlg.h"
#include "KvTestResult.h"
#include "KvQueryCollection.h"
#include "PuxTestDb.h"
#include "TKvDBGrid.h"
#include "TfrAbzRicerca.h"
#include "TfrKvDBFrames.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolBar>

namespace {

void typeInto(QWidget* w, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &press);
  }
}

void focus(QWidget* w, bool in) {
  QFocusEvent e(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::OtherFocusReason);
  QApplication::sendEvent(w, &e);
}

// A procedures list as the lists of the program show it: number, date and
// subject searchable, expiry date not; the bar sits in the list frame's
// tool bar.
class TfrAbzRicercaTest : public PuxDbTest {
 protected:
  PuxTestDb::Content content() const override { return PuxTestDb::Content::Schema; }

  void SetUp() override {
    PuxDbTest::SetUp();
    if (HasFatalFailure()) return;
    const struct {
      int id;
      const char* cod;
      const char* data;
      const char* desc;
    } rows[] = {
        {1, "00001", "2019-02-01", "Fornitura ROSSI"},      {2, "00002", "2019-02-01", "Carta Rossi srl"},
        {3, "00003", "2019-03-10", "Toner per rossi"},      {4, "00004", "2019-02-10", "Banchi BIANCHI"},
        {5, "00010", "2019-12-01", "Pulizia dell'ufficio"},
    };
    for (const auto& r : rows)
      Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, DPREDATA, DPREDATASCADENZA, SPREDESCS) "
                          "VALUES (%1, '%2', '%3', '%3', '%4')")
               .arg(r.id)
               .arg(QLatin1String(r.cod), QLatin1String(r.data), QString::fromUtf8(r.desc).replace("'", "''")));
    list.SetCommandText(QStringLiteral(
        "SELECT IPREID, SPRECOD, DPREDATA, DPREDATASCADENZA, SPREDESCS FROM TPRE_PREVENTIVI ORDER BY SPRECOD"));
    ASSERT_TRUE(KvOk(list.Open()));
    frame.SetDataSet(&list);
    frame.AddToolWidget(bar);
    grid.SetColumns({{.field = "SPRECOD", .caption = "Numero", .width = 80},
                     {.field = "DPREDATA", .caption = "Data", .width = 100, .searchable = true},
                     {.field = "DPREDATASCADENZA", .caption = "Data Scadenza", .width = 100},
                     {.field = "SPREDESCS", .caption = "Oggetto", .width = 300}});
    bar->SetQueryCollection(&list);
    bar->SetGrid(&grid);
    bar->Imposta();
    KvMessageScript::Begin();
  }

  void TearDown() override {
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  // Types a search text as the user does: into the emptied edit.
  void search(const QString& text) {
    focus(bar->edRicerca, true);
    bar->edRicerca->clear();
    typeInto(bar->edRicerca, text);
  }

  QStringList codes() const {
    QStringList out;
    for (int r = 0; r < list.RecordCount(); ++r) out << list.Value(r, list.FieldIndex("SPRECOD")).toString();
    return out;
  }

  TKvQueryCollection list;
  TfrKvDBROGrid frame;
  TKvDBGrid& grid = *frame.grFrame;
  TfrAbzRicerca* bar = new TfrAbzRicerca(&frame);  // then moved into its tool bar
};

const QStringList kAll = {"00001", "00002", "00003", "00004", "00010"};

TEST_F(TfrAbzRicercaTest, SetupOffersTheSearchableColumnsAndShowsThePrompt) {
  EXPECT_EQ(bar->size(), QSize(250, 24));
  EXPECT_EQ(bar->parentWidget(), frame.tbFrame);
  QStringList captions;
  for (QAction* a : bar->poSearch->actions()) captions << a->text();
  EXPECT_EQ(captions, QStringList({"Numero", "Data", "Oggetto"}));
  EXPECT_EQ(bar->poSearch->defaultAction(), bar->poSearch->actions().first());
  EXPECT_FALSE(bar->poSearch->actions().first()->icon().isNull());
  EXPECT_EQ(bar->Campi(), QStringList({"SPRECOD", "DPREDATA", "SPREDESCS"}));
  EXPECT_EQ(bar->CampoRicerca(), QStringLiteral("SPRECOD"));
  EXPECT_EQ(bar->edRicerca->text(), QStringLiteral("<Ricerca Numero >"));
  EXPECT_EQ(bar->acSearch->toolTip(), QStringLiteral("Ricerca per Numero"));
  EXPECT_EQ(bar->edRicerca->toolTip(), QStringLiteral("Ricerca per Numero"));
  EXPECT_EQ(bar->edRicerca->palette().color(QPalette::Text), QColor(Qt::gray));
  EXPECT_EQ(bar->ImmagineCorrente(), 0);
  EXPECT_EQ(bar->tmFilt->interval(), 500);
  EXPECT_FALSE(bar->tmFilt->isActive());

  // Entering the edit clears the prompt; leaving it empty shows it again.
  focus(bar->edRicerca, true);
  EXPECT_EQ(bar->edRicerca->text(), QString());
  EXPECT_EQ(bar->edRicerca->palette().color(QPalette::Text), QColor(Qt::black));
  focus(bar->edRicerca, false);
  EXPECT_TRUE(bar->MostraPrompt());
}

TEST_F(TfrAbzRicercaTest, TwoLettersTypedQuicklyFilterOnceAfterTheLast) {
  bar->VoceMenuClick(2);
  EXPECT_EQ(bar->edRicerca->text(), QStringLiteral("<Ricerca Oggetto>"));
  int filtered = 0;
  QObject::connect(&list, &TKvQueryCollection::rowsReset, &list, [&] { filtered += list.Filtered() ? 1 : 0; });
  search(QStringLiteral("r"));
  EXPECT_TRUE(bar->tmFilt->isActive());
  EXPECT_EQ(bar->ImmagineCorrente(), 1);
  EXPECT_EQ(bar->acSearch->toolTip(), QStringLiteral("Annulla Ricerca"));
  typeInto(bar->edRicerca, QStringLiteral("o"));
  EXPECT_TRUE(bar->tmFilt->isActive());
  EXPECT_GT(bar->tmFilt->remainingTime(), 400);  // restarted by the second letter
  EXPECT_EQ(filtered, 0);
  EXPECT_EQ(list.RecordCount(), 5);

  bar->tmFiltTimer();
  EXPECT_FALSE(bar->tmFilt->isActive());
  EXPECT_EQ(filtered, 1);
  EXPECT_EQ(list.Filter(), QStringLiteral("UPPER(SPREDESCS) LIKE '%RO%' ESCAPE '\\'"));
  EXPECT_TRUE(bar->FiltroProprio());
  EXPECT_EQ(codes(), QStringList({"00001", "00002", "00003"}));
}

TEST_F(TfrAbzRicercaTest, FiltersByContainsOrExactDateAndShowsAllOnAnUnusableText) {
  const struct {
    int voce;
    const char* text;
    QStringList expected;
    bool filtered;
  } cases[] = {
      {2, "rossi", {"00001", "00002", "00003"}, true},  // ROSSI, Rossi and rossi
      {2, "BIANCHI", {"00004"}, true},
      {0, "1", {"00001", "00010"}, true},
      {1, "01/02/2019", {"00001", "00002"}, true},
      {1, "01/02", kAll, false},  // half a date
      {1, "10/03/2019", {"00003"}, true},
      {2, "dell'uff", {"00010"}, true},  // an apostrophe is searched as typed
      {2, "' OR 'X' = 'X", {}, true},    // and never becomes part of the expression
      {2, "zzz", {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    bar->VoceMenuClick(c.voce);
    search(QString::fromUtf8(c.text));
    bar->tmFiltTimer();
    EXPECT_EQ(codes(), c.expected);
    EXPECT_EQ(list.Filtered(), c.filtered);
    EXPECT_EQ(bar->FiltroProprio(), c.filtered);
  }
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty());
  EXPECT_EQ(bar->CampoRicerca(), QStringLiteral("SPREDESCS"));
}

// Typed %, _ and \\ are characters to find, not wildcards.
TEST_F(TfrAbzRicercaTest, TypedWildcardsAreSearchedAsCharacters) {
  Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, SPREDESCS) VALUES (6, '00011', 'Sconto 10% carta_A4')"));
  Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, SPREDESCS) VALUES (7, '00012', 'Cartella C:\\DATI')"));
  ASSERT_TRUE(list.Refresh());
  const struct {
    const char* text;
    QStringList expected;
  } cases[] = {
      {"_", {"00011"}},      {"%", {"00011"}},  {"0%", {"00011"}},
      {"\\", {"00012"}},     {"r_a", {}},       // as a wildcard it would find Carta and carta_A4
      {"c:\\d", {"00012"}},
  };
  bar->VoceMenuClick(2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    search(QString::fromUtf8(c.text));
    bar->tmFiltTimer();
    EXPECT_EQ(codes(), c.expected);
    EXPECT_TRUE(bar->FiltroProprio());
  }
}

// A row being typed is stored by the window's own save before the list is
// filtered under it; a refused save is shown and the list stays as it is.
TEST_F(TfrAbzRicercaTest, ARowBeingTypedIsSavedByTheWindowBeforeFiltering) {
  list.SQLInsert() << QStringLiteral(
      "INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, SPREDESCS) VALUES (:KVGENID, :SPRECOD, :SPREDESCS)");
  TfrKvDBRWGrid rw;
  rw.SetDataSet(&list);
  rw.xacPostExecute = [&] {
    if (list.FieldValue(QStringLiteral("SPRECOD")).isNull()) {
      KvMessageDlg(QStringLiteral("Attenzione!\nManca il numero."), TMsgDlgType::mtWarning, mbOK);
      return;
    }
    rw.PostAndReport();
  };
  bar->SetGrid(rw.grFrame);
  bar->VoceMenuClick(2);
  rw.xacInsert->trigger();
  list.SetFieldValue(QStringLiteral("SPREDESCS"), QStringLiteral("Rossi e figli"));
  search(QStringLiteral("rossi"));
  bar->tmFiltTimer();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Attenzione!\nManca il numero.")});
  EXPECT_EQ(list.GetState(), KvState::Insert);
  EXPECT_FALSE(list.Filtered());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TPRE_PREVENTIVI").toInt(), 5);

  list.SetFieldValue(QStringLiteral("SPRECOD"), QStringLiteral("00020"));
  bar->tmFiltTimer();
  EXPECT_EQ(list.GetState(), KvState::Browse);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TPRE_PREVENTIVI WHERE SPREDESCS = 'Rossi e figli'").toInt(), 1);
  EXPECT_EQ(codes(), QStringList({"00001", "00002", "00003", "00020"}));
}

TEST_F(TfrAbzRicercaTest, ClearingTheTextRemovesTheFilterAtOnce) {
  bar->VoceMenuClick(2);
  search(QStringLiteral("rossi"));
  bar->tmFiltTimer();
  ASSERT_EQ(list.RecordCount(), 3);
  bar->edRicerca->selectAll();
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(bar->edRicerca, &del);
  EXPECT_EQ(bar->edRicerca->text(), QString());
  EXPECT_FALSE(list.Filtered());
  EXPECT_EQ(list.RecordCount(), 5);
  EXPECT_FALSE(bar->tmFilt->isActive());
  EXPECT_EQ(bar->ImmagineCorrente(), 0);
  EXPECT_FALSE(bar->FiltroProprio());
}

TEST_F(TfrAbzRicercaTest, AnotherFilterGoesOnlyByTheButtonOrAFieldChange) {
  list.SetFilter(QStringLiteral("SPRECOD <> '00010'"));
  ASSERT_TRUE(KvOk(list.SetFiltered(true)));
  search(QStringLiteral("x"));
  bar->edRicerca->clear();
  EXPECT_TRUE(list.Filtered());  // typing alone leaves it
  EXPECT_EQ(list.RecordCount(), 4);

  search(QStringLiteral("0000"));
  bar->tmFiltTimer();
  EXPECT_EQ(codes(), QStringList({"00001", "00002", "00003", "00004"}));
  bar->acSearch->trigger();
  EXPECT_FALSE(list.Filtered());
  EXPECT_EQ(list.RecordCount(), 5);
  EXPECT_EQ(bar->edRicerca->text(), QStringLiteral("<Ricerca Numero >"));
  EXPECT_EQ(bar->edRicerca->palette().color(QPalette::Text), QColor(Qt::gray));
  EXPECT_EQ(bar->acSearch->toolTip(), QStringLiteral("Ricerca per Numero"));
  EXPECT_EQ(bar->ImmagineCorrente(), 0);

  ASSERT_TRUE(KvOk(list.SetFiltered(true)));
  bar->VoceMenuClick(1);
  EXPECT_FALSE(list.Filtered());
  EXPECT_EQ(bar->acSearch->toolTip(), QStringLiteral("Ricerca per Data"));
}

TEST_F(TfrAbzRicercaTest, SortingBySearchableColumnMovesTheSearchThere) {
  ASSERT_TRUE(grid.SortByColumn(3));
  EXPECT_EQ(bar->CampoRicerca(), QStringLiteral("SPREDESCS"));
  EXPECT_EQ(bar->edRicerca->text(), QStringLiteral("<Ricerca Oggetto>"));
  EXPECT_EQ(bar->poSearch->defaultAction()->text(), QStringLiteral("Oggetto"));
  const QList<QAction*> voci = bar->poSearch->actions();
  EXPECT_TRUE(voci[0]->icon().isNull());
  EXPECT_FALSE(voci[2]->icon().isNull());

  // A column that is not searchable leaves the search field alone.
  ASSERT_TRUE(grid.SortByColumn(2));
  EXPECT_EQ(bar->CampoRicerca(), QStringLiteral("SPREDESCS"));

  // While a text is being searched, sorting does not change the field.
  search(QStringLiteral("rossi"));
  bar->tmFiltTimer();
  ASSERT_TRUE(grid.SortByColumn(0));
  EXPECT_EQ(bar->CampoRicerca(), QStringLiteral("SPREDESCS"));
  EXPECT_EQ(codes(), QStringList({"00001", "00002", "00003"}));
}

}  // namespace
