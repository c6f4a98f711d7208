#include "KvCollectionModel.h"
#include "KvTestResult.h"
#include "KvCloseOnSignal.h"
#include "KvDbControls.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "PuxTestDb.h"
#include "TKvDBGrid.h"
#include "TfmKvChildDB.h"
#include "TfmKvDialog.h"
#include "TfmKvMDIMain.h"
#include "TfrKvDBFrames.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QFormLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

// Types text into a widget as the keyboard would.
void typeInto(QWidget* w, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
    QApplication::sendEvent(w, &release);
  }
}

void replaceText(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  QApplication::sendEvent(edit, &del);
  typeInto(edit, text);
}

void clickTitle(TKvDBGrid& grid, int column) {
  QHeaderView* h = grid.horizontalHeader();
  const QPointF at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->height() / 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, h->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(h->viewport(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, h->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(h->viewport(), &release);
}

QStringList column(const TKvQueryCollection& c, const QString& field) {
  QStringList out;
  for (int r = 0; r < c.RecordCount(); ++r) out << c.Value(r, c.FieldIndex(field)).toString();
  return out;
}

struct MessageScript {
  MessageScript() { KvMessageScript::Begin(); }
  ~MessageScript() { KvMessageScript::End(); }
};

class KvViewsTest : public PuxDbTest {
 protected:
  PuxTestDb::Content content() const override { return PuxTestDb::Content::Schema; }

  void SetUp() override {
    PuxDbTest::SetUp();
    if (HasFatalFailure()) return;
    Exec(
        QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS, SCRCDESCL, FCRCPESO) "
                       "VALUES (1, 'PREZZO', 'Prezzo più basso', 3)"));
    Exec(
        QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS, SCRCDESCL, FCRCPESO) "
                       "VALUES (2, 'QUALITA', 'Qualità del servizio', NULL)"));
    Exec(
        QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS, SCRCDESCL, FCRCPESO) "
                       "VALUES (3, 'ECOLOGIA', NULL, 2.5)"));
    Exec(
        QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, DPREDATA, SPREDESCS, ILOCKED, ICRCID, "
                       "LOFFTIPOCOMP) VALUES (1, '00001', '2019-02-01', 'Fornitura carta', 1, 1, 0)"));
    Exec(
        QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, DPREDATA, SPREDESCS, ILOCKED) "
                       "VALUES (2, '00002', '2019-03-15', 'Acquisto toner', NULL)"));
    Exec(
        QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, DPREDATA, SPREDESCS, ILOCKED) "
                       "VALUES (3, '00003', NULL, 'Banchi', 0)"));
  }

  void openCriteria(TKvQueryCollection& c) {
    c.SetCommandText(
        QStringLiteral("SELECT ICRCID, SCRCDESCS, SCRCDESCL, FCRCPESO FROM TCRC_CRITERICOMP ORDER BY ICRCID"));
    c.SQLInsert() << QStringLiteral(
        "INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS, SCRCDESCL, FCRCPESO) VALUES (:KVGENID, :SCRCDESCS, "
        ":SCRCDESCL, :FCRCPESO)");
    c.SQLUpdate() << QStringLiteral(
        "UPDATE TCRC_CRITERICOMP SET SCRCDESCS = :SCRCDESCS, SCRCDESCL = :SCRCDESCL, FCRCPESO = :FCRCPESO "
        "WHERE ICRCID = :KVCURRID");
    c.SQLDelete() << QStringLiteral("DELETE FROM TCRC_CRITERICOMP WHERE ICRCID = :KVCURRID");
    QString error;
    ASSERT_TRUE(KvOk(c.Open()));
  }

  void openProcedures(TKvQueryCollection& c) {
    c.SetCommandText(
        QStringLiteral("SELECT IPREID, SPRECOD, DPREDATA, SPREDESCS, CAST(NULL AS VARCHAR(1)) AS VUOTO, ILOCKED "
                       "FROM TPRE_PREVENTIVI ORDER BY SPRECOD"));
    ASSERT_TRUE(KvOk(c.Open()));
  }

  static KvColumns procedureColumns() {
    return {{.field = "SPRECOD", .caption = "Numero", .width = 80},
            {.field = "DPREDATA", .caption = "Data", .width = 100, .sortFields = "DPREDATA;SPRECOD",
             .descFields = "SPRECOD"},
            {.field = "SPREDESCS", .caption = "Oggetto", .width = 300},
            {.field = "Vuoto", .caption = "Bloccato", .width = 60, .sortable = false},
            {.field = "ILOCKED", .caption = "Blocco", .format = TKvCollectionModel::FlagFormat("Sì", "No"),
             .visible = false, .sortable = false},
            {.field = "IPREID", .visible = false, .sortable = false}};
  }
};

TEST(KvCollectionModelText, FormatsValuesAsTheClerksReadThem) {
  const struct {
    QVariant value;
    QString text;
  } cases[] = {
      {QVariant(QDate(2019, 2, 1)), "01/02/2019"},
      {QVariant(QDateTime(QDate(2019, 2, 1), QTime(0, 0))), "01/02/2019"},
      {QVariant(QDateTime(QDate(2019, 2, 1), QTime(9, 5, 7))), "01/02/2019 09:05:07"},
      {QVariant(2.5), "2,5"},
      {QVariant(3.0), "3"},
      {QVariant(1234.125), "1234,125"},
      {QVariant(-0.0000001), "0"},
      {QVariant(42), "42"},
      {QVariant(QMetaType(QMetaType::Double)), ""},
      {QVariant(QMetaType(QMetaType::QDate)), ""},
      {QVariant(QStringLiteral("Qualità")), "Qualità"},
  };
  for (const auto& c : cases) EXPECT_EQ(TKvCollectionModel::DefaultText(c.value), c.text) << c.value.typeName();

  const auto money = TKvCollectionModel::FixedFormat(2, true);
  EXPECT_EQ(money(1234.5), QStringLiteral("1.234,50"));
  EXPECT_EQ(TKvCollectionModel::FixedFormat(3)(1234.5), QStringLiteral("1234,500"));
  EXPECT_EQ(money(QVariant(QMetaType(QMetaType::Double))), QString());
  const auto flag = TKvCollectionModel::FlagFormat(QStringLiteral("Sì"));
  EXPECT_EQ(flag(1), QStringLiteral("Sì"));
  EXPECT_EQ(flag(0), QString());
  EXPECT_EQ(flag(QVariant(QMetaType(QMetaType::Int))), QString());
}

TEST_F(KvViewsTest, GridShowsTheTableAndSortsByTitleClicks) {
  TKvQueryCollection c;
  openProcedures(c);
  TKvDBGrid grid;
  grid.SetCollection(&c);
  KvColumns columns = procedureColumns();
  columns[2].searchable = false;  // said so, although text
  grid.SetColumns(columns);
  // The sort index derives from the declared columns; the quick search is
  // offered on text fields unless said otherwise, never while the kind is unknown.
  ASSERT_EQ(grid.ColsIndex().Count(), 3);
  QList<bool> searchable;
  for (int i = 0; i < 3; ++i) searchable << grid.ColsIndex().Item(i)->Searchable();
  EXPECT_EQ(searchable, QList<bool>({true, false, false}));
  EXPECT_EQ(grid.ColsIndex().Item(1)->Fields(), QStringList({"DPREDATA", "SPRECOD"}));
  c.Close();
  EXPECT_FALSE(grid.ColsIndex().Item(0)->Searchable());
  openProcedures(c);
  grid.resize(800, 300);
  grid.show();

  TKvCollectionModel* m = grid.Model();
  ASSERT_EQ(m->rowCount(), 3);
  EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Numero"));
  EXPECT_EQ(m->headerData(5, Qt::Horizontal).toString(), QStringLiteral("IPREID"));
  EXPECT_EQ(m->index(0, 1).data().toString(), QStringLiteral("01/02/2019"));
  EXPECT_EQ(m->index(2, 1).data().toString(), QString());
  EXPECT_EQ(m->index(0, 1).data(Qt::EditRole).toDate(), QDate(2019, 2, 1));
  EXPECT_EQ(m->index(0, 4).data().toString(), QStringLiteral("Sì"));
  EXPECT_EQ(m->index(1, 4).data().toString(), QStringLiteral("No"));
  EXPECT_TRUE(m->index(0, 5).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
  EXPECT_EQ(grid.columnWidth(0), 80);
  EXPECT_EQ(grid.columnWidth(2), 300);
  EXPECT_TRUE(grid.isColumnHidden(4));
  EXPECT_TRUE(grid.isColumnHidden(5));
  EXPECT_EQ(grid.RowHeight(), 20);

  QList<QPair<int, bool>> sorted;
  QObject::connect(&grid, &TKvDBGrid::columnSorted, &grid, [&](int col, const QString& field, bool desc) {
    EXPECT_EQ(field, grid.FieldOfColumn(col));
    sorted.append({col, desc});
  });
  c.MoveTo(0);  // 00001, "Fornitura carta"
  clickTitle(grid, 2);
  EXPECT_EQ(column(c, "SPRECOD"), QStringList({"00002", "00003", "00001"}));
  EXPECT_EQ(m->index(0, 2).data().toString(), QStringLiteral("Acquisto toner"));
  // The current row stays the same row, in the grid as well.
  EXPECT_EQ(c.FieldValue("SPRECOD").toString(), QStringLiteral("00001"));
  EXPECT_EQ(grid.currentIndex().row(), c.RecNo());
  EXPECT_EQ(grid.horizontalHeader()->sortIndicatorSection(), 2);
  EXPECT_EQ(grid.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);

  clickTitle(grid, 2);
  EXPECT_EQ(column(c, "SPRECOD"), QStringList({"00001", "00003", "00002"}));
  EXPECT_EQ(grid.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

  // Descending fields of an item are reversed on the first click only.
  Exec(QStringLiteral("UPDATE TPRE_PREVENTIVI SET DPREDATA = '2019-02-01' WHERE IPREID = 3"));
  ASSERT_TRUE(KvOk(c.Refresh()));
  clickTitle(grid, 1);
  EXPECT_EQ(column(c, "SPRECOD"), QStringList({"00003", "00001", "00002"}));
  clickTitle(grid, 1);
  EXPECT_EQ(column(c, "SPRECOD"), QStringList({"00002", "00001", "00003"}));

  // A title without an index item sorts nothing and keeps the indicator.
  clickTitle(grid, 3);
  EXPECT_EQ(column(c, "SPRECOD"), QStringList({"00002", "00001", "00003"}));
  EXPECT_EQ(grid.horizontalHeader()->sortIndicatorSection(), 1);
  EXPECT_EQ(sorted, (QList<QPair<int, bool>>{{2, false}, {2, true}, {1, false}, {1, true}}));
  // The declared widths survive the resets of sort and refresh.
  EXPECT_EQ(grid.columnWidth(2), 300);
}

TEST_F(KvViewsTest, ModelPassesOnEachChangeWithTheFinestSignal) {
  TKvQueryCollection c;
  openCriteria(c);
  TKvCollectionModel m(&c);
  ASSERT_EQ(m.columnCount(), 4);  // every field when none is declared
  EXPECT_EQ(m.index(2, 3).data().toString(), QStringLiteral("2,5"));
  EXPECT_EQ(m.index(1, 3).data().toString(), QString());

  QStringList events;
  QObject::connect(&m, &QAbstractItemModel::dataChanged, &m, [&](const QModelIndex& a, const QModelIndex& b) {
    events << QStringLiteral("changed %1-%2 cols %3-%4").arg(a.row()).arg(b.row()).arg(a.column()).arg(b.column());
  });
  QObject::connect(&m, &QAbstractItemModel::rowsInserted, &m,
                   [&](const QModelIndex&, int first) { events << QStringLiteral("inserted %1").arg(first); });
  QObject::connect(&m, &QAbstractItemModel::rowsRemoved, &m,
                   [&](const QModelIndex&, int first) { events << QStringLiteral("removed %1").arg(first); });
  QObject::connect(&m, &QAbstractItemModel::modelReset, &m, [&] { events << QStringLiteral("reset"); });

  c.MoveTo(1);
  c.SetFieldValue(QStringLiteral("SCRCDESCL"), QStringLiteral("Qualità"));
  EXPECT_EQ(m.index(1, 2).data().toString(), QStringLiteral("Qualità"));
  c.Cancel();
  EXPECT_EQ(m.index(1, 2).data().toString(), QStringLiteral("Qualità del servizio"));
  c.Insert();
  EXPECT_EQ(m.rowCount(), 4);
  c.Cancel();
  EXPECT_EQ(m.rowCount(), 3);
  c.SetFilter(QStringLiteral("FCRCPESO > 2"));
  ASSERT_TRUE(KvOk(c.SetFiltered(true)));
  EXPECT_EQ(m.rowCount(), 2);
  c.Last();
  ASSERT_TRUE(KvOk(c.Delete()));
  EXPECT_EQ(m.rowCount(), 1);
  EXPECT_EQ(events, QStringList({"changed 1-1 cols 0-3", "changed 1-1 cols 0-3", "inserted 2", "removed 2", "reset",
                                 "removed 1"}));

  // Sorting a view column sorts the collection.
  ASSERT_TRUE(KvOk(c.SetFiltered(false)));
  m.sort(1, Qt::DescendingOrder);
  EXPECT_EQ(column(c, "SCRCDESCS"), QStringList({"QUALITA", "PREZZO"}));
}

TEST_F(KvViewsTest, GridAndCollectionShareTheCurrentRowAndARefusedPostKeepsIt) {
  MessageScript script;
  TKvQueryCollection c;
  openCriteria(c);
  TKvDBGrid grid;
  grid.SetCollection(&c);
  c.MoveTo(2);
  EXPECT_EQ(grid.currentIndex().row(), 2);
  grid.setCurrentIndex(grid.Model()->index(0, 1));
  EXPECT_EQ(c.RecNo(), 0);

  int doubleClicked = -1;
  QObject::connect(&grid, &TKvDBGrid::rowDoubleClicked, &grid, [&](int row) { doubleClicked = row; });
  emit grid.doubleClicked(grid.Model()->index(0, 1));
  EXPECT_EQ(doubleClicked, 0);

  // Leaving a row whose post fails shows the database's reason and stays.
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QString(40, QLatin1Char('X')));
  grid.setCurrentIndex(grid.Model()->index(2, 1));
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_EQ(KvMessageScript::Messages()[0].type, TMsgDlgType::mtError);
  EXPECT_FALSE(KvMessageScript::Texts()[0].isEmpty());
  EXPECT_EQ(c.RecNo(), 0);
  EXPECT_EQ(c.GetState(), KvState::Edit);
  EXPECT_EQ(grid.currentIndex().row(), 0);
  EXPECT_EQ(c.FieldValue("SCRCDESCS").toString(), QString(40, QLatin1Char('X')));

  // A good value moves on, posted.
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QStringLiteral("PREZZO BASSO"));
  grid.setCurrentIndex(grid.Model()->index(2, 1));
  EXPECT_EQ(c.RecNo(), 2);
  EXPECT_EQ(Scalar("SELECT SCRCDESCS FROM TCRC_CRITERICOMP WHERE ICRCID = 1").toString(),
            QStringLiteral("PREZZO BASSO"));
}

TEST_F(KvViewsTest, CellHookPaintsPadlockOnLockedRowsOverAlternateColours) {
  TKvQueryCollection c;
  openProcedures(c);
  TKvDBGrid grid;
  grid.SetCollection(&c);
  grid.SetColumns(procedureColumns());
  grid.SetOddRowColor(QColor(0xFF, 0xFF, 0xCC));
  const QPixmap padlock = TKvDBGrid::PadlockImage();
  grid.OnDrawColumnCell = [&](TKvDrawCell& cell) {
    if (cell.field == QLatin1String("VUOTO") && c.Value(cell.row, c.FieldIndex("ILOCKED")).toInt() == 1) {
      cell.image = padlock;
      cell.imageLeft = 10;
    }
  };
  c.MoveTo(2);  // the selected row is painted in the selection colours
  grid.resize(800, 200);
  grid.show();
  QApplication::processEvents();
  const QImage shot = grid.viewport()->grab().toImage();
  auto pixel = [&](int row, int col, int dx, int dy) {
    const QRect r = grid.visualRect(grid.Model()->index(row, col));
    return QColor(shot.pixel(r.left() + dx, r.top() + dy));
  };
  // Row 1 (record number 1) is light yellow, row 2 the window colour.
  EXPECT_EQ(pixel(0, 0, 75, 10), QColor(0xFF, 0xFF, 0xCC));
  EXPECT_EQ(pixel(1, 0, 75, 10), grid.palette().color(QPalette::Base));
  EXPECT_EQ(pixel(2, 0, 75, 10), grid.palette().color(QPalette::Active, QPalette::Highlight));
  // The padlock's golden body, 10 pixels from the left of "Bloccato", only
  // on the locked procedure.
  const QColor body = pixel(0, 3, 10 + 4, 2 + 11);
  EXPECT_GT(body.red(), 200);
  EXPECT_LT(body.blue(), 100);
  EXPECT_EQ(pixel(1, 3, 10 + 4, 2 + 11), grid.palette().color(QPalette::Base));
}

TEST_F(KvViewsTest, GridFrameInsertsEditsCancelsAndDeletesThroughItsActions) {
  MessageScript script;
  TKvQueryCollection c;
  openCriteria(c);
  TfrKvDBRWGrid frame;
  frame.SetDataSet(&c);
  frame.ConfirmDelete = true;
  TKvDBEdit* xdeDescS = frame.AddDBEdit(QStringLiteral("xdeDescS"), QStringLiteral("SCRCDESCS"), QStringLiteral("Descrizione"));
  TKvDBEdit* xdeDescL = frame.AddDBEdit(QStringLiteral("xdeDescL"), QStringLiteral("SCRCDESCL"), QStringLiteral("Descrizione estesa"));
  TKvDBNumberEdit* xdnPeso = frame.AddDBNumber(QStringLiteral("xdnPeso"), QStringLiteral("FCRCPESO"), QStringLiteral("Peso"));
  xdeDescS->SetUpperCase(true);
  EXPECT_EQ(xdeDescS->text(), QStringLiteral("PREZZO"));
  EXPECT_EQ(xdnPeso->text(), QStringLiteral("3"));

  const QList<QAction*> all = {frame.xacFirst,  frame.xacPrior, frame.xacNext, frame.xacLast,   frame.xacInsert,
                               frame.xacDelete, frame.xacEdit,  frame.xacPost, frame.xacCancel, frame.xacRefresh};
  auto enabled = [&] {
    QStringList on;
    for (QAction* a : all)
      if (a->isEnabled()) on << a->objectName();
    return on;
  };
  EXPECT_EQ(frame.xacInsert->toolTip(), QStringLiteral("Nuovo (Ins)"));
  EXPECT_EQ(frame.xacPost->toolTip(), QStringLiteral("Salva (Ctrl+S)"));
  EXPECT_EQ(frame.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(enabled(), QStringList({"xacNext", "xacLast", "xacInsert", "xacDelete", "xacEdit", "xacRefresh"}));

  frame.xacInsert->trigger();
  EXPECT_EQ(frame.xdsMain->State(), KvState::Insert);
  EXPECT_EQ(frame.pcFrame->currentWidget(), frame.tsDetail);
  EXPECT_EQ(enabled(), QStringList({"xacPost", "xacCancel"}));
  EXPECT_EQ(xdeDescS->text(), QString());
  typeInto(xdeDescS, QStringLiteral("servizio"));
  typeInto(xdeDescL, QStringLiteral("Servizio di assistenza"));
  typeInto(xdnPeso, QStringLiteral("2,5"));
  EXPECT_EQ(xdeDescS->text(), QStringLiteral("SERVIZIO"));
  EXPECT_EQ(xdnPeso->text(), QStringLiteral("2,5"));
  frame.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join("|").toStdString();
  EXPECT_EQ(frame.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE SCRCDESCS = 'SERVIZIO' AND SCRCDESCL = "
                   "'Servizio di assistenza' AND FCRCPESO = 2.5")
                .toInt(),
            1);
  EXPECT_EQ(frame.grFrame->Model()->rowCount(), 4);
  const QVariant newId = c.FieldValue("ICRCID");
  EXPECT_FALSE(newId.isNull());

  // Typing into a browsed row starts editing it; cancel brings back the row.
  typeInto(xdeDescL, QStringLiteral(" tecnica"));
  EXPECT_EQ(frame.xdsMain->State(), KvState::Edit);
  EXPECT_TRUE(frame.xacPost->isEnabled());
  frame.xacCancel->trigger();
  EXPECT_EQ(frame.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(xdeDescL->text(), QStringLiteral("Servizio di assistenza"));

  frame.xacEdit->trigger();
  EXPECT_EQ(frame.xdsMain->State(), KvState::Edit);
  replaceText(xdnPeso, QString());
  frame.xacPost->trigger();
  EXPECT_TRUE(
      Scalar(QStringLiteral("SELECT FCRCPESO FROM TCRC_CRITERICOMP WHERE ICRCID = %1").arg(newId.toInt())).isNull());

  // Delete asks first; no keeps the row.
  KvMessageScript::Answer(mrNo);
  frame.xacDelete->trigger();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCRC_CRITERICOMP").toInt(), 4);
  KvMessageScript::Answer(mrYes);
  frame.xacDelete->trigger();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCRC_CRITERICOMP").toInt(), 3);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"Cancellare il record?", "Cancellare il record?"}));
  EXPECT_EQ(KvMessageScript::Messages()[0].type, TMsgDlgType::mtConfirmation);
  EXPECT_EQ(KvMessageScript::Messages()[0].buttons, mbYesNo);
  EXPECT_EQ(frame.grFrame->Model()->rowCount(), 3);

  // A refused delete (a procedure uses criterion 1) reports the database's
  // reason and keeps the row.
  KvMessageScript::Clear();
  frame.xacFirst->trigger();
  KvMessageScript::Answer(mrYes);
  frame.xacDelete->trigger();
  ASSERT_EQ(KvMessageScript::Messages().size(), 2);
  EXPECT_EQ(KvMessageScript::Messages()[1].type, TMsgDlgType::mtError);
  EXPECT_EQ(c.RecordCount(), 3);
  EXPECT_EQ(c.FieldValue("ICRCID").toInt(), 1);
}

// Nuovo and Modifica put the focus in the first field; Tab follows the rows
// as they are seen, whatever order the window made its fields in.
TEST_F(KvViewsTest, NewOrEditedRowFocusesTheFirstFieldAndTabFollowsTheRows) {
  TKvQueryCollection c;
  openCriteria(c);
  TfrKvDBRWGrid frame;
  frame.SetDataSet(&c);
  // Made first, placed last.
  auto* xdeDescS = new TKvDBEdit(frame.DetailPage());
  xdeDescS->SetDataSource(frame.xdsMain, QStringLiteral("SCRCDESCS"));
  TKvDBEdit* xdeDescL = frame.AddDBEdit(QStringLiteral("xdeDescL"), QStringLiteral("SCRCDESCL"), QStringLiteral("Descrizione estesa"));
  TKvDBNumberEdit* xdnPeso = frame.AddDBNumber(QStringLiteral("xdnPeso"), QStringLiteral("FCRCPESO"), QStringLiteral("Peso"));
  frame.DetailLayout()->addRow(QStringLiteral("Descrizione"), xdeDescS);
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  frame.ShowDetail();
  xdnPeso->setFocus();

  frame.xacInsert->trigger();
  EXPECT_EQ(QApplication::focusWidget(), xdeDescL);
  for (QWidget* next : {static_cast<QWidget*>(xdnPeso), static_cast<QWidget*>(xdeDescS)}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
  }
  frame.xacCancel->trigger();
  frame.xacEdit->trigger();
  EXPECT_EQ(QApplication::focusWidget(), xdeDescL);
  frame.xacCancel->trigger();
}

TEST_F(KvViewsTest, RefusedPostKeepsTheTypedRowAndAWindowCanReplaceTheSave) {
  MessageScript script;
  TKvQueryCollection c;
  openCriteria(c);
  TfrKvDBRWGrid frame;
  frame.SetDataSet(&c);
  TKvDBEdit* xdeDescS = frame.AddDBEdit(QStringLiteral("xdeDescS"), QStringLiteral("SCRCDESCS"), QStringLiteral("Descrizione"));

  // The column holds 30 characters: the clerk cannot type more.
  frame.xacInsert->trigger();
  typeInto(xdeDescS, QString(40, QLatin1Char('A')));
  EXPECT_EQ(xdeDescS->text(), QString(30, QLatin1Char('A')));
  // A value that still does not fit (set by code) is refused by the database.
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QString(40, QLatin1Char('B')));
  frame.xacPost->trigger();
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_EQ(KvMessageScript::Messages()[0].type, TMsgDlgType::mtError);
  EXPECT_EQ(frame.xdsMain->State(), KvState::Insert);
  EXPECT_EQ(c.FieldValue(QStringLiteral("SCRCDESCS")).toString(), QString(40, QLatin1Char('B')));
  EXPECT_TRUE(frame.xacPost->isEnabled());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCRC_CRITERICOMP").toInt(), 3);

  // The window's own rules run instead of the standard save.
  KvMessageScript::Clear();
  frame.xacPostExecute = [&] {
    if (c.FieldValue(QStringLiteral("SCRCDESCS")).toString().size() > 30) {
      KvMessageDlg(QStringLiteral("Attenzione!\nDescrizione troppo lunga."), TMsgDlgType::mtWarning, mbOK);
      return;
    }
    frame.PostAndReport();
  };
  frame.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"Attenzione!\nDescrizione troppo lunga."}));
  EXPECT_EQ(frame.xdsMain->State(), KvState::Insert);
  replaceText(xdeDescS, QStringLiteral("ASSISTENZA"));
  frame.xacPost->trigger();
  EXPECT_EQ(frame.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE SCRCDESCS = 'ASSISTENZA'").toInt(), 1);
}

TEST_F(KvViewsTest, DetailControlsWriteDatesMemosAndFlags) {
  MessageScript script;
  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral(
      "SELECT IPREID, DPREDATA, DPREDATASCADENZA, SPRENOTE, LOFFTIPOCOMP FROM TPRE_PREVENTIVI WHERE IPREID = 1"));
  c.SQLUpdate() << QStringLiteral(
      "UPDATE TPRE_PREVENTIVI SET DPREDATA = :DPREDATA, DPREDATASCADENZA = :DPREDATASCADENZA, SPRENOTE = :SPRENOTE, "
      "LOFFTIPOCOMP = :LOFFTIPOCOMP WHERE IPREID = :KVCURRID");
  ASSERT_TRUE(c.Open());
  TfrKvDBRW frame;
  frame.SetDataSet(&c);
  EXPECT_EQ(frame.grFrame, nullptr);
  TKvDBDateEdit* xddData = frame.AddDBDate(QStringLiteral("xddData"), QStringLiteral("DPREDATA"), QStringLiteral("Data"));
  TKvDBDateEdit* xddScadenza = frame.AddDBDate(QStringLiteral("xddScadenza"), QStringLiteral("DPREDATASCADENZA"), QStringLiteral("Data Scadenza"));
  TKvDBMemo* xdmNote = frame.AddDBMemo(QStringLiteral("xdmNote"), QStringLiteral("SPRENOTE"), QStringLiteral("Note"));
  TKvDBCheckBox* xckTipo = frame.AddDBCheck(QStringLiteral("xckTipo"), QStringLiteral("LOFFTIPOCOMP"), QStringLiteral("Comparazione Globale"));
  EXPECT_EQ(xddData->Text(), QStringLiteral("01/02/2019"));
  EXPECT_TRUE(xddScadenza->IsEmpty());
  EXPECT_FALSE(xckTipo->isChecked());

  // A date not finished (or not a date) puts the row in edit but cannot be saved.
  replaceText(xddData->LineEdit(), QStringLiteral("31/02/2019"));
  EXPECT_EQ(frame.xdsMain->State(), KvState::Edit);
  typeInto(xdmNote, QStringLiteral("consegna"));  // another value changes: the typed date stays
  EXPECT_EQ(xddData->Text(), QStringLiteral("31/02/2019"));
  frame.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"Attenzione!\nLa data immessa non è una data valida."}));
  EXPECT_EQ(frame.xdsMain->State(), KvState::Edit);
  // The frame's Post and a window's own save refuse it too, before a rule of
  // the window sees the date the field held before.
  KvMessageScript::Clear();
  EXPECT_EQ(frame.Post().error(), QStringLiteral("Attenzione!\nLa data immessa non è una data valida."));
  int ownSaves = 0;
  frame.xacPostExecute = [&] {
    ++ownSaves;
    KvReport(c.Post());
  };
  frame.xacPost->trigger();
  EXPECT_EQ(ownSaves, 0);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"Attenzione!\nLa data immessa non è una data valida."}));
  EXPECT_EQ(frame.xdsMain->State(), KvState::Edit);
  EXPECT_EQ(Scalar("SELECT DPREDATA FROM TPRE_PREVENTIVI WHERE IPREID = 1").toDate(), QDate(2019, 2, 1));
  frame.xacPostExecute = nullptr;

  replaceText(xddData->LineEdit(), QStringLiteral("15/3/2019"));
  typeInto(xddScadenza->LineEdit(), QStringLiteral("01/04/2019"));
  replaceText(xddScadenza->LineEdit(), QString());  // an empty date is no date
  xckTipo->click();
  frame.xacPost->trigger();
  EXPECT_EQ(frame.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Scalar("SELECT DPREDATA FROM TPRE_PREVENTIVI WHERE IPREID = 1").toDate(), QDate(2019, 3, 15));
  EXPECT_TRUE(Scalar("SELECT DPREDATASCADENZA FROM TPRE_PREVENTIVI WHERE IPREID = 1").isNull());
  EXPECT_EQ(Scalar("SELECT SPRENOTE FROM TPRE_PREVENTIVI WHERE IPREID = 1").toString(), QStringLiteral("consegna"));
  EXPECT_EQ(Scalar("SELECT LOFFTIPOCOMP FROM TPRE_PREVENTIVI WHERE IPREID = 1").toInt(), 1);

  // Dates typed the short ways.
  const struct {
    const char* text;
    QDate date;
  } dates[] = {{"01/02/2019", {2019, 2, 1}},
               {"1/2/19", {2019, 2, 1}},
               {"01022019", {2019, 2, 1}},
               {"29/02/2019", {}},
               {"01/02", {}},
               {"1/2/75", {1975, 2, 1}}};
  for (const auto& d : dates) EXPECT_EQ(TKvDBDateEdit::ParseDate(QLatin1String(d.text)), d.date) << d.text;

  // A read-only frame's controls change nothing.
  frame.SetReadOnly(true);
  EXPECT_TRUE(xddData->LineEdit()->isReadOnly());
  typeInto(xdmNote, QStringLiteral("x"));
  EXPECT_EQ(frame.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(xdmNote->toPlainText(), QStringLiteral("consegna"));
  EXPECT_FALSE(frame.xacEdit->isEnabled());
}

TEST_F(KvViewsTest, ReadOnlyGridFrameNavigatesAndRefreshes) {
  TKvQueryCollection c;
  openCriteria(c);
  TfrKvDBROGrid frame;
  frame.SetDataSet(&c);
  for (QAction* a : {frame.xacInsert, frame.xacDelete, frame.xacEdit, frame.xacPost, frame.xacCancel}) {
    EXPECT_FALSE(a->isVisible()) << a->objectName().toStdString();
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  }
  EXPECT_FALSE(frame.xacFirst->isEnabled());
  EXPECT_TRUE(frame.xacNext->isEnabled());
  frame.xacLast->trigger();
  EXPECT_EQ(c.RecNo(), 2);
  EXPECT_EQ(frame.grFrame->currentIndex().row(), 2);
  EXPECT_FALSE(frame.xacNext->isEnabled());
  EXPECT_TRUE(frame.xacPrior->isEnabled());
  frame.xacPrior->trigger();
  EXPECT_EQ(c.RecNo(), 1);

  Exec(QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS) VALUES (9, 'TEMPI')"));
  frame.xacRefresh->trigger();
  EXPECT_EQ(frame.grFrame->Model()->rowCount(), 4);
  EXPECT_EQ(c.FieldValue("ICRCID").toInt(), 2);  // the same row stays current

  int ownRefresh = 0;
  frame.xacRefreshExecute = [&] { ++ownRefresh; };
  frame.xacRefresh->trigger();
  EXPECT_EQ(ownRefresh, 1);
}

// Ending the program by a signal (kill, Ctrl+C, the end of the session) is
// closing its window: a row being typed is asked about and saved, or, on
// Annulla, the program stays. A dialog's Annulla asks the same.
TEST_F(KvViewsTest, ASignalOrAnnullaClosesAsTheCloseButtonAskingAboutTheTypedRow) {
#ifndef Q_OS_UNIX
  GTEST_SKIP() << "SIGTERM and SIGINT are signals of Unix systems";
#endif
  MessageScript script;
  TKvQueryCollection c;
  openCriteria(c);
  TfmKvMDIMain main;
  auto* child = new TfmKvChildDB;
  auto* frame = new TfrKvDBRWGrid(child);
  (new QVBoxLayout(child))->addWidget(frame);
  frame->SetDataSet(&c);
  TKvDBEdit* xdeDescS = frame->AddDBEdit(QStringLiteral("xdeDescS"), QStringLiteral("SCRCDESCS"), QStringLiteral("Descrizione"));
  main.AddChild(child);
  main.show();
  KvCloseOnSignal segnali(&main);
  auto attendi = [&](int segnali_attesi) {
    const QDeadlineTimer limite(5000);
    while (segnali.Received() < segnali_attesi && !limite.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  };
  const QString domanda = QStringLiteral("Salvare le modifiche?");

  frame->xacInsert->trigger();
  typeInto(xdeDescS, QStringLiteral("TERMINATO"));
  KvMessageScript::Answer(mrCancel);
  std::raise(SIGINT);
  attendi(1);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{domanda});
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(frame->xdsMain->State(), KvState::Insert);

  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  std::raise(SIGTERM);
  attendi(2);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{domanda});
  EXPECT_FALSE(main.isVisible());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE SCRCDESCS = 'TERMINATO'").toInt(), 1);

  // A dialog: Annulla keeps it open with the row, No drops the row and closes.
  TfmKvDialog dialog;
  auto* inDialog = new TfrKvDBRWGrid(dialog.Content());
  dialog.ContentLayout()->addWidget(inDialog);
  TKvQueryCollection d;
  openCriteria(d);
  inDialog->SetDataSet(&d);
  inDialog->xacInsert->trigger();
  d.SetFieldValue(QStringLiteral("SCRCDESCS"), QStringLiteral("DIALOGO"));
  dialog.show();
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrCancel);
  dialog.reject();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(d.GetState(), KvState::Insert);
  int ownCancels = 0;  // No drops the row through the window's own cancel
  inDialog->xacCancelExecute = [&] {
    ++ownCancels;
    inDialog->Cancel();
  };
  KvMessageScript::Answer(mrNo);
  dialog.reject();
  EXPECT_EQ(ownCancels, 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(d.GetState(), KvState::Browse);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({domanda, domanda}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE SCRCDESCS = 'DIALOGO'").toInt(), 0);
}

}  // namespace

// A detail page with less room than its fields need (a frame embedded under
// a grid) scrolls: no row is squeezed below its own height, so no
// three-line label is cut.
TEST(KvDetailLayout, ADetailWithLittleRoomScrollsInsteadOfSqueezingItsRows) {
  QWidget host;  // a page that gives the frame less room than its fields ask for
  TfrKvDBRW frame(&host);
  QList<TKvDBNumberEdit*> fields;
  for (int i = 0; i < 12; ++i)
    fields << frame.AddDBNumber(QStringLiteral("xdn%1").arg(i), QStringLiteral("F%1").arg(i),
                                QStringLiteral("Costo Unitario\nUltimo Acquisto\n(IVA Esclusa) %1").arg(i));
  frame.setGeometry(0, 0, 500, 160);
  host.resize(500, 160);
  host.show();
  QApplication::processEvents();
  for (TKvDBNumberEdit* f : fields) {
    QWidget* label = frame.DetailLayout()->labelForField(f);
    ASSERT_TRUE(label);
    EXPECT_GE(label->height(), label->sizeHint().height()) << f->objectName().toStdString();
    EXPECT_GE(f->height(), f->minimumSizeHint().height()) << f->objectName().toStdString();
  }
  auto* scroll = frame.findChild<QScrollArea*>();
  ASSERT_TRUE(scroll);
  QApplication::processEvents();
  EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
  EXPECT_GT(scroll->verticalScrollBar()->maximum(), 300);
}
