#include "KvCollectionModel.h"
#include "KvConnection.h"
#include "KvDbControls.h"
#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"
#include "PuxServizi.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "ShellFinestre.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"
#include "TdmNuovoAnnoQuery.h"
#include "TdmPuxAttivazioni.h"
#include "TdmPuxParametri.h"
#include "TfmKvSearch.h"
#include "TfmNuovoAnno.h"
#include "TfmPuxMain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

using namespace PuxTestInput;

QStringList rowTexts(const TKvDBGrid* grid, int row) {
  QStringList out;
  for (int c = 0; c < grid->Model()->columnCount(); ++c) out << grid->Model()->index(row, c).data().toString();
  return out;
}

// Clicks the row of a grid whose first column shows text; false when none does.
bool clickRow(TKvDBGrid* grid, const QString& text) {
  for (int r = 0; r < grid->Model()->rowCount(); ++r) {
    if (grid->Model()->index(r, 0).data().toString() == text) {
      grid->setCurrentIndex(grid->Model()->index(r, 0));
      return true;
    }
  }
  return false;
}

const QString kGalilei = QStringLiteral("Istituto Comprensivo Statale \"Galileo Galilei\" - Ferrara");
const QString kPrincipale = QStringLiteral("Istituto principale dell'installazione");
const QString kNuovo = QStringLiteral("Istituto Comprensivo \"Dante Alighieri\" - Ferrara");

// The "Nuovo Anno" window opened through its command in the main window, as
// the user opens it. Demo data: institute 1 ("Galileo Galilei", with its data
// owner) works in every year from 2019, each a calendar year (link id =
// year - 1000); institute 2 is the main institute, without years.
class NuovoAnnoFinestra : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    if (HasFatalFailure()) return;
    KvMessageScript::Begin();
    ShellRegistraFinestre();
    main = std::make_unique<TfmPuxMain>(registry, parameters);
  }
  void TearDown() override {
    main.reset();
    TdmNuovoAnnoQuery::Libera();
    PuxServizi.ApriNuovoAnno = nullptr;
    KvWindowFactory::Unregister(QStringLiteral("TfmNuovoAnno"));
    KvDialogScript::Clear();
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  TfmNuovoAnno* Apri() {
    EXPECT_TRUE(registry.Run(QStringLiteral("xafNuovoAnno")));
    auto* w = main->findChild<TfmNuovoAnno*>();
    if (w) anni = w->frAnniFinanziari;
    return w;
  }
  void NuovoIstituto() {
    Exec(
        QStringLiteral("INSERT INTO TDWG_DATAOWNERGROUP (IDWGID, SDWGDESCS, SDWGDESCL) VALUES (3, 'I.C. Dante', "
                       "'I.C. Dante')"));
    Exec(
        QStringLiteral("INSERT INTO TDOW_DATAOWNER (IDOWID, IDWGID, SDOWSDESC, SDOWLDESC) VALUES (3, 3, "
                       "'I.C. \"Dante Alighieri\"', 'Istituto Comprensivo \"Dante Alighieri\" - Ferrara')"));
  }
  // Inserts a year as the user does: new row, year typed, optionally the
  // personalised dates, save.
  void NuovoAnno(const QString& anno, const QString& inizio = QString(), const QString& fine = QString()) {
    anni->xacInsert->trigger();
    type(anni->xdlAnnoFin->LineEdit(), anno);
    press(anni->xdlAnnoFin->LineEdit(), Qt::Key_Return);
    if (!inizio.isEmpty()) {
      anni->ckPersonalizzate->click();
      type(anni->xddInizio->LineEdit(), inizio);
      type(anni->xddFine->LineEdit(), fine);
    }
    anni->xacPost->trigger();
  }
  int Links(int dwg) {
    return Scalar(QStringLiteral("SELECT COUNT(*) FROM TDWGANF WHERE IDWGID = %1").arg(dwg)).toInt();
  }
  QString Date(int idDwgAnf) {
    return Scalar(QStringLiteral("SELECT COALESCE(CAST(DDWGANFINIZIO AS VARCHAR(10)), '-') || ' ' || "
                                 "COALESCE(CAST(DDWGANFFINE AS VARCHAR(10)), '-') FROM TDWGANF WHERE IDWGANFID = %1")
                      .arg(idDwgAnf))
        .toString();
  }

  TdmPuxAttivazioni registry;
  TdmPuxParametri parameters;
  std::unique_ptr<TfmPuxMain> main;
  TfrAnniFinanziari* anni = nullptr;
};

TEST_F(NuovoAnnoFinestra, AFirstYearOfANewInstituteIsLinkedWithItsOwnDates) {
  NuovoIstituto();
  TfmNuovoAnno* w = Apri();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Nuovo Anno"));
  ASSERT_TRUE(clickRow(w->frIstituti->grFrame, kNuovo));
  EXPECT_EQ(TdmNuovoAnnoQuery::Modulo()->DwgId(), 3);
  EXPECT_EQ(anni->grFrame->Model()->rowCount(), 0);

  anni->xacInsert->trigger();
  EXPECT_EQ(anni->pcFrame->currentWidget(), anni->tsDetail);
  EXPECT_FALSE(anni->xdlAnnoFin->ReadOnly());
  EXPECT_FALSE(anni->gbDatePersonalizzate->isVisibleTo(anni));
  // The institute cannot change under the year being typed.
  EXPECT_FALSE(w->frIstituti->isEnabled());
  type(anni->xdlAnnoFin->LineEdit(), QStringLiteral("2021"));
  EXPECT_EQ(anni->lbInizioKalvo->text(), QStringLiteral("01/01/2021"));
  EXPECT_EQ(anni->lbFineKalvo->text(), QStringLiteral("31/12/2021"));
  press(anni->xdlAnnoFin->LineEdit(), Qt::Key_Return);
  EXPECT_EQ(anni->xdlAnnoFin->KeyValue(), 121);
  anni->ckPersonalizzate->click();
  EXPECT_TRUE(anni->gbDatePersonalizzate->isVisibleTo(anni));
  type(anni->xddInizio->LineEdit(), QStringLiteral("01/09/2020"));
  type(anni->xddFine->LineEdit(), QStringLiteral("31/08/2021"));
  anni->xacPost->trigger();

  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(anni->xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TDWGANF WHERE IDWGID = 3 AND IANFID = 121 AND DDWGANFINIZIO = "
                   "'2020-09-01' AND DDWGANFFINE = '2021-08-31' AND DDELETE IS NULL")
                .toInt(),
            1);
  ASSERT_EQ(anni->grFrame->Model()->rowCount(), 1);
  EXPECT_EQ(rowTexts(anni->grFrame, 0), QStringList({"2021", "01/01/2021", "31/12/2021", "01/09/2020", "31/08/2021"}));
  EXPECT_TRUE(anni->ckPersonalizzate->isChecked());
  EXPECT_TRUE(anni->xdlAnnoFin->ReadOnly());
  EXPECT_TRUE(w->frIstituti->isEnabled());
  EXPECT_EQ(Links(1), Scalar("SELECT COUNT(*) FROM TANF_ANNIFINANZ").toInt());  // the other institute untouched
}

TEST_F(NuovoAnnoFinestra, AGapAfterThePreviousYearIsWrittenOnlyAfterTwoYes) {
  NuovoIstituto();
  ASSERT_NE(Apri(), nullptr);
  ASSERT_TRUE(clickRow(main->findChild<TfmNuovoAnno*>()->frIstituti->grFrame, kNuovo));
  NuovoAnno(QStringLiteral("2020"));  // the first year, with the suite's days: nothing to ask
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  ASSERT_EQ(Links(3), 1);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TDWGANF WHERE IDWGID = 3 AND IANFID = 120 AND DDWGANFINIZIO IS NULL AND "
                   "DDWGANFFINE IS NULL")
                .toInt(),
            1);

  // 1 and 2 January 2021 would belong to no year.
  KvMessageScript::Answer(mrNo);
  NuovoAnno(QStringLiteral("2021"), QStringLiteral("03/01/2021"), QStringLiteral("31/12/2021"));
  EXPECT_EQ(KvMessageScript::Texts(),
            QStringList({"Attenzione ! \nIl tempo che intercorre tra il 01/01/2021 e il 02/01/2021 non rientra in "
                         "nessun Anno Finanziario definito. \nContinuare ? "}));
  EXPECT_EQ(anni->xdsMain->State(), KvState::Insert);
  EXPECT_EQ(anni->pcFrame->currentWidget(), anni->tsDetail);
  EXPECT_EQ(anni->xdlAnnoFin->Text(), QStringLiteral("2021"));
  EXPECT_EQ(anni->xddInizio->Text(), QStringLiteral("03/01/2021"));
  EXPECT_EQ(Links(3), 1);

  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  KvMessageScript::Answer(mrYes);
  anni->xacPost->trigger();
  ASSERT_EQ(KvMessageScript::Texts().size(), 2);
  EXPECT_TRUE(KvMessageScript::Texts()[1].contains(QStringLiteral("potrebbe comportare dei problemi")));
  EXPECT_EQ(anni->xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Links(3), 2);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TDWGANF WHERE IDWGID = 3 AND IANFID = 121 AND DDWGANFINIZIO = "
                   "'2021-01-03' AND DDWGANFFINE = '2021-12-31'")
                .toInt(),
            1);
}

TEST_F(NuovoAnnoFinestra, MovingTheStartOf2020MovesTheEndOf2019InTheSameSave) {
  TfmNuovoAnno* w = Apri();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(clickRow(w->frIstituti->grFrame, kGalilei));
  ASSERT_TRUE(clickRow(anni->grFrame, QStringLiteral("2020")));
  EXPECT_FALSE(anni->ckPersonalizzate->isChecked());
  anni->ckPersonalizzate->click();
  EXPECT_EQ(anni->xdsMain->State(), KvState::Edit);
  EXPECT_TRUE(anni->xdlAnnoFin->ReadOnly());  // the year of a stored link stays
  // An empty date's button proposes the suite's day.
  anni->xddInizio->Button()->click();
  anni->xddFine->Button()->click();
  EXPECT_EQ(anni->xddInizio->Text(), QStringLiteral("01/01/2020"));
  EXPECT_EQ(anni->xddFine->Text(), QStringLiteral("31/12/2020"));
  retype(anni->xddInizio->LineEdit(), QStringLiteral("01/02/2020"));

  // No: nothing is written and the row stays in edit.
  KvMessageScript::Answer(mrNo);
  anni->xacPost->trigger();
  EXPECT_EQ(anni->xdsMain->State(), KvState::Edit);
  EXPECT_EQ(Date(1020), QStringLiteral("- -"));
  EXPECT_EQ(Date(1019), QStringLiteral("- -"));

  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  anni->xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(),
            QStringList({"Attenzione ! \nModificando la data d'inizio si modificherà automaticamente la durata "
                         "dell'anno finanziario precedente. \n \nAnno finanziario precedente : 2019 \nInizio : "
                         "01/01/2019 \nFine : 31/12/2019 \n  Dopo modifica :  \nInizio : 01/01/2019 \nFine : "
                         "31/01/2020 \n \nContinuare ? "}));
  EXPECT_EQ(anni->xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Date(1020), QStringLiteral("2020-02-01 2020-12-31"));
  EXPECT_EQ(Date(1019), QStringLiteral("2019-01-01 2020-01-31"));
  EXPECT_EQ(Date(1021), QStringLiteral("- -"));
  // The list shows the neighbour's new end, and 2020 stays the current row.
  ASSERT_TRUE(clickRow(anni->grFrame, QStringLiteral("2019")));
  EXPECT_EQ(rowTexts(anni->grFrame, anni->grFrame->currentIndex().row()),
            QStringList({"2019", "01/01/2019", "31/12/2019", "01/01/2019", "31/01/2020"}));
  EXPECT_TRUE(anni->ckPersonalizzate->isChecked());

  // Clearing the box gives 2020 back the suite's days (its own dates are
  // removed, not kept hidden), and 2019 follows once more.
  ASSERT_TRUE(clickRow(anni->grFrame, QStringLiteral("2020")));
  EXPECT_TRUE(anni->ckPersonalizzate->isChecked());
  anni->ckPersonalizzate->click();
  EXPECT_FALSE(anni->gbDatePersonalizzate->isVisibleTo(anni));
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrYes);
  anni->xacPost->trigger();
  ASSERT_EQ(KvMessageScript::Texts().size(), 1);
  EXPECT_TRUE(KvMessageScript::Texts()[0].contains(QStringLiteral("Fine : 31/12/2019 \n \nContinuare ? ")));
  EXPECT_EQ(Date(1020), QStringLiteral("- -"));
  EXPECT_EQ(Date(1019), QStringLiteral("2019-01-01 2019-12-31"));
}

// Moving to another row would post the typed row straight through the list,
// past the year rules: a second link of the same year, or overlapping days.
TEST_F(NuovoAnnoFinestra, AYearBeingTypedIsSavedOnlyThroughTheSaveRules) {
  TfmNuovoAnno* w = Apri();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(clickRow(w->frIstituti->grFrame, kGalilei));
  const int links = Links(1);
  auto clickGridRow = [&](int row) {
    QWidget* viewport = anni->grFrame->viewport();
    const QPoint at = anni->grFrame->visualRect(anni->grFrame->Model()->index(row, 0)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(viewport, &event);
    }
  };

  // A year the institute already has, then a click on another year.
  anni->xacInsert->trigger();
  type(anni->xdlAnnoFin->LineEdit(), QStringLiteral("2019"));
  press(anni->xdlAnnoFin->LineEdit(), Qt::Key_Return);
  EXPECT_FALSE(anni->grFrame->isEnabled());
  anni->pcFrame->setCurrentIndex(0);
  clickGridRow(0);
  EXPECT_EQ(anni->xdsMain->State(), KvState::Insert);
  EXPECT_EQ(Links(1), links);
  anni->xacCancel->trigger();
  EXPECT_TRUE(anni->grFrame->isEnabled());

  // 2020 given days inside 2019, then a click on 2019.
  ASSERT_TRUE(clickRow(anni->grFrame, QStringLiteral("2020")));
  anni->ckPersonalizzate->click();
  type(anni->xddInizio->LineEdit(), QStringLiteral("01/06/2019"));
  type(anni->xddFine->LineEdit(), QStringLiteral("31/12/2020"));
  anni->pcFrame->setCurrentIndex(0);
  clickGridRow(0);
  EXPECT_EQ(anni->xdsMain->State(), KvState::Edit);
  EXPECT_EQ(Date(1020), QStringLiteral("- -"));
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty());
  anni->xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts().size(), 1);
  EXPECT_EQ(Date(1020), QStringLiteral("- -"));
}

// One click on "Salva", or Ctrl+S, right after typing a year saves it: the
// suggestion list open under the year closes and the save runs at once.
TEST_F(NuovoAnnoFinestra, OneClickOrOneKeySavesWhatIsBeingTyped) {
  NuovoIstituto();
  main->show();
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
  TfmNuovoAnno* w = Apri();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(clickRow(w->frIstituti->grFrame, kNuovo));
  QWidget* salva = anni->tbFrame->widgetForAction(anni->xacPost);
  const struct {
    const char* anno;
    bool tasto;
  } casi[] = {{"2021", false}, {"2022", true}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.anno);
    anni->xacInsert->trigger();
    QTest::keyClicks(anni->xdlAnnoFin->LineEdit(), QString::fromLatin1(c.anno));
    QAbstractItemView* lista = anni->xdlAnnoFin->findChild<QAbstractItemView*>();
    if (!lista) lista = qobject_cast<QAbstractItemView*>(QApplication::activePopupWidget());
    ASSERT_TRUE(anni->xdlAnnoFin->SuggestionsVisible());
    ASSERT_NE(lista, nullptr);
    // While the list is open the window system hands it every click and key.
    if (c.tasto) {
      QTest::keyClick(lista, Qt::Key_S, Qt::ControlModifier);
    } else {
      const QPoint at = salva->mapToGlobal(salva->rect().center());
      QMouseEvent press(QEvent::MouseButtonPress, lista->mapFromGlobal(at), at, Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QApplication::sendEvent(lista, &press);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(anni->xdlAnnoFin->SuggestionsVisible());
    EXPECT_EQ(anni->xdsMain->State(), KvState::Browse);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TDWGANF d JOIN TANF_ANNIFINANZ a ON a.IANFID = d.IANFID "
                                    "WHERE d.IDWGID = 3 AND a.IANFVALORE = %1")
                         .arg(QString::fromLatin1(c.anno)))
                  .toInt(),
              1);
  }
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
}

TEST_F(NuovoAnnoFinestra, TheMainInstituteIsShownAloneUntilAnInstituteWorksInAYear) {
  TfmNuovoAnno* w = Apri();
  ASSERT_NE(w, nullptr);
  TfrIstituti* ist = w->frIstituti;
  auto shown = [&] {
    QStringList out;
    for (int r = 0; r < ist->grFrame->Model()->rowCount(); ++r)
      out << ist->grFrame->Model()->index(r, 0).data().toString();
    out.sort();
    return out;
  };
  EXPECT_EQ(ist->grFrame->Model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Istituto"));
  // Institute 1 has years: every institute is shown.
  EXPECT_FALSE(ist->ckPrincipale->isChecked());
  EXPECT_EQ(shown(), QStringList({kGalilei, kPrincipale}));

  ist->ckPrincipale->click();
  EXPECT_EQ(shown(), QStringList({kPrincipale}));
  EXPECT_EQ(TdmNuovoAnnoQuery::Modulo()->DwgId(), 2);
  EXPECT_EQ(anni->grFrame->Model()->rowCount(), 0);  // the years follow the institute
  ist->ckPrincipale->click();
  EXPECT_EQ(shown(), QStringList({kGalilei, kPrincipale}));

  // Without years for the institutes with a data owner the window starts
  // on the main institute.
  Exec(QStringLiteral("DELETE FROM TDWGANF"));
  w->RunFormActivate();
  EXPECT_TRUE(ist->ckPrincipale->isChecked());
  EXPECT_EQ(shown(), QStringList({kPrincipale}));
}

TEST_F(NuovoAnnoFinestra, TheYearIsChosenOnlyWhileInsertingAndShowsTheSuiteDays) {
  TfmNuovoAnno* w = Apri();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(clickRow(w->frIstituti->grFrame, kGalilei));
  EXPECT_FALSE(anni->xacDelete->isVisible());
  EXPECT_FALSE(anni->xacDelete->isEnabled());
  EXPECT_TRUE(anni->xdlAnnoFin->ReadOnly());
  EXPECT_EQ(anni->xdlAnnoFin->Text(), QStringLiteral("2019"));
  EXPECT_EQ(anni->lbInizioKalvo->text(), QStringLiteral("01/01/2019"));

  anni->xacInsert->trigger();
  EXPECT_TRUE(anni->lbInizioKalvo->text().isEmpty());
  const struct {
    const char* text;
    const char* inizio;
    const char* fine;
  } cases[] = {{"2020", "01/01/2020", "31/12/2020"}, {"1969", "", ""}, {"2051", "", ""}, {"20", "", ""}};
  for (const auto& c : cases) {
    retype(anni->xdlAnnoFin->LineEdit(), QString::fromLatin1(c.text));
    EXPECT_EQ(anni->lbInizioKalvo->text(), QString::fromLatin1(c.inizio)) << c.text;
    EXPECT_EQ(anni->lbFineKalvo->text(), QString::fromLatin1(c.fine)) << c.text;
  }

  // The search window of the years.
  QStringList seen;
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& s) {
    seen << s.windowTitle() << QString::number(s.width());
    for (int c = 0; c < s.Grid()->model()->columnCount(); ++c)
      if (!s.Grid()->isColumnHidden(c)) seen << s.Grid()->model()->headerData(c, Qt::Horizontal).toString();
    s.CancelButton()->click();
  });
  anni->xdlAnnoFin->SearchButton()->click();
  EXPECT_EQ(seen, QStringList({"Anni Finanziari", "600", "Anno Finanziario", "Inizio", "Fine"}));

  // A year the institute already has is refused and the year gets the focus.
  retype(anni->xdlAnnoFin->LineEdit(), QStringLiteral("2019"));
  anni->xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"Attenzione ! \nAnno Finanziario già definito. "}));
  EXPECT_EQ(anni->xdsMain->State(), KvState::Insert);
  EXPECT_TRUE(anni->xdlAnnoFin->LineEdit()->hasFocus() || anni->focusWidget() == anni->xdlAnnoFin->LineEdit());

  anni->xacCancel->trigger();
  anni->xacEdit->trigger();
  EXPECT_TRUE(anni->xdlAnnoFin->ReadOnly());
}

TEST_F(NuovoAnnoFinestra, TheModuleIsMadeOnceAndNotWithoutADatabase) {
  ASSERT_TRUE(PuxServizi.ApriNuovoAnno);
  ASSERT_TRUE(PuxServizi.ApriNuovoAnno());
  TdmNuovoAnnoQuery* modulo = TdmNuovoAnnoQuery::Modulo();
  ASSERT_NE(modulo, nullptr);
  EXPECT_TRUE(PuxServizi.ApriNuovoAnno());
  EXPECT_EQ(TdmNuovoAnnoQuery::Modulo(), modulo);

  TdmNuovoAnnoQuery::Libera();
  TdmKvConnection::CloseConnection();
  EXPECT_FALSE(registry.Run(QStringLiteral("xafNuovoAnno")));
  EXPECT_EQ(TdmNuovoAnnoQuery::Modulo(), nullptr);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"Connessione al modulo fallita"}));
  EXPECT_EQ(main->findChild<TfmNuovoAnno*>(), nullptr);
}

}  // namespace
