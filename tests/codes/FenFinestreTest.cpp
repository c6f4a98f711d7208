#include "FenCodiciFixture.h"
#include "FenFCCD_archivi.h"
#include "FenFSearchCCD.h"
#include "FenMCCD.h"
#include "FenRCCD.h"
#include "FenRCCDMovColl.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "KvDialogScript.h"
#include "KvWindowFactory.h"
#include "TKvDBGrid.h"
#include "TdmPuxAttivazioni.h"
#include "TdmPuxParametri.h"
#include "TfmKvMDIMain.h"
#include "TfmPuxMain.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFormLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

QStringList titoliVisibili(const QTableView& grid) {
  QStringList out;
  for (int c = 0; c < grid.model()->columnCount(); ++c)
    if (!grid.isColumnHidden(c)) out << grid.model()->headerData(c, Qt::Horizontal).toString();
  return out;
}

QString nomeFornitore(int id) {
  QSqlQuery q(qqoKvGlobConn());
  q.exec(QStringLiteral("SELECT SBENRAGSOC FROM TBEN_BENEFICIARI WHERE IBENID = %1").arg(id));
  return q.next() ? q.value(0).toString() : QString();
}

// Fills the detail of a new code as the user types it.
void compila(TfrFenCCD& f, const QString& codice, const QString& data, const QString& descrizione) {
  PuxTestInput::retype(f.xdeCodice, codice);
  PuxTestInput::retype(f.xddDataAssegn->LineEdit(), data);
  riscriviMemo(f.xdmDescrizione, descrizione);
}

TEST_F(Codici, ArchiveWindowTakesItsKindFromTheCommandBeforeItShows) {
  TfmKvMDIMain main;
  KvWindowFactory::SetMainWindow(&main);
  const QStringList base = {"Codice", "Data assegn.", "Descrizione", "Data scadenza"};
  struct Caso {
    int tipo;
    const char* comando;
    const char* titolo;
    const char* hint;
    QStringList colonne;
    bool beneficiario;
    bool importo;
    bool filtro;
    int righe;
    int primo;  // newest assignment first
  };
  const QStringList importi = {"Importo", "Totale Pagato", "Totale Impegnato", "Imponibile Fatture"};
  const QList<Caso> casi = {
      {1, "xafCig", "Gestione codici CIG", "Codici CIG", base + importi, false, true, true, 15, 13},
      {2, "xafCup", "Gestione codici CUP", "Codici CUP", base + importi, false, true, true, 5, 20},
      {3, "xafDurc", "Gestione codici DURC", "Codici DURC", base + QStringList{"Beneficiario", "Imponibile Fatture"},
       true, false, false, 10, 29},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.comando);
    KvFormOptions opzioni;
    opzioni.instanceKey = QString::fromLatin1(c.comando);
    opzioni.args = KvFormArgs{.tipo = c.tipo};
    opzioni.onInizializedForm = [&](QWidget* w) {
      EXPECT_FALSE(w->isVisible());
      EXPECT_EQ(qobject_cast<TfmFenCCD_archivi*>(w)->Tipo(), c.tipo);
    };
    const KvFormResult r = KvWindowFactory::Create(QStringLiteral("TfmFenCCD_archivi"), &main, opzioni);
    ASSERT_TRUE(r.opened) << r.error.toStdString();
    auto* w = qobject_cast<TfmFenCCD_archivi*>(r.window);
    ASSERT_NE(w, nullptr);
    TfrFenCCD& f = *w->frFenCCD;
    EXPECT_EQ(w->windowTitle(), QString::fromLatin1(c.titolo));
    EXPECT_EQ(f.toolTip(), QString::fromLatin1(c.hint));
    EXPECT_EQ(titoliVisibili(*f.grFrame), c.colonne);
    EXPECT_EQ(f.DetailLayout()->isRowVisible(f.xleBenef), c.beneficiario);
    EXPECT_EQ(f.DetailLayout()->isRowVisible(f.xdnImporto), c.importo);
    EXPECT_EQ(f.acFiltri->isVisible(), c.filtro);
    EXPECT_EQ(f.dm->xqcCCD->RecordCount(), c.righe);
    EXPECT_EQ(colonna(*f.dm->xqcCCD, QStringLiteral("ITCCDID")), QStringList(c.righe, QString::number(c.tipo)));
    EXPECT_EQ(f.dm->xqcCCD->RecNo(), 0);
    EXPECT_EQ(f.dm->xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt(), c.primo);
    EXPECT_EQ(w->frFenCCDMovColl->Codice(), c.primo);
    // Moving in the list reopens the linked movements for the new code.
    f.xacNext->trigger();
    EXPECT_EQ(w->frFenCCDMovColl->Codice(), f.dm->xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt());
  }
  EXPECT_EQ(main.MdiChildren().size(), 3);  // one window per kind
  KvWindowFactory::SetMainWindow(nullptr);
}

// The side bar's three commands open three windows, each in its kind; a
// command run again brings its own window forward.
TEST_F(Codici, CigCupAndDurcCommandsOpenThreeSeparateWindows) {
  TdmPuxAttivazioni registro;
  TdmPuxParametri parametri;
  TfmPuxMain main(registro, parametri);
  auto tipoAttivo = [&] {
    QMdiSubWindow* corrente = main.MdiArea()->currentSubWindow();
    auto* w = corrente ? qobject_cast<TfmFenCCD_archivi*>(corrente->widget()) : nullptr;
    return w ? w->Tipo() : -1;
  };
  const struct {
    const char* comando;
    int tipo;
  } casi[] = {{"xafCig", CcdCig}, {"xafCup", CcdCup}, {"xafDurc", CcdDurc}};
  for (const auto& c : casi) {
    ASSERT_TRUE(registro.Run(QString::fromLatin1(c.comando))) << c.comando;
    EXPECT_EQ(tipoAttivo(), c.tipo) << c.comando;
  }
  EXPECT_EQ(main.MdiChildren().size(), 3);
  ASSERT_TRUE(registro.Run(QStringLiteral("xafCup")));
  EXPECT_EQ(main.MdiChildren().size(), 3);
  EXPECT_EQ(tipoAttivo(), CcdCup);
}

TEST_F(Codici, RequiredFieldsAreNamedAndTheRowStaysBeingTyped) {
  struct Caso {
    int tipo;
    const char* codice;
    const char* data;
    const char* descrizione;
    const char* fornitore;
    const char* campo;
  };
  const QList<Caso> casi = {
      {CcdCig, "", "15/03/2026", "Fornitura", "", "Codice"},
      {CcdCup, "C1", "15/03/2026", "", "", "Descrizione"},
      {CcdCig, "C2", "", "Fornitura", "", "Data Assegnazione"},
      {CcdDurc, "D1", "15/03/2026", "DURC on line", "", "Beneficiario"},
  };
  TdmFenCCD dm;
  TfrFenCCD f(dm);
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  // The field the message names takes the focus.
  const QMap<QString, QWidget*> campi = {{QStringLiteral("Codice"), f.xdeCodice},
                                         {QStringLiteral("Descrizione"), f.xdmDescrizione},
                                         {QStringLiteral("Data Assegnazione"), f.xddDataAssegn},
                                         {QStringLiteral("Beneficiario"), f.xleBenef}};
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.campo);
    f.SetTipo(c.tipo);
    ASSERT_TRUE(f.Apri());
    const int prima = Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC").toInt();
    f.xacInsert->trigger();
    compila(f, QString::fromLatin1(c.codice), QString::fromLatin1(c.data), QString::fromLatin1(c.descrizione));
    f.xdnImporto->setFocus();
    KvMessageScript::Clear();
    f.xacPost->trigger();
    EXPECT_EQ(KvMessageScript::Texts(),
              QStringList{QStringLiteral("Il campo '%1' deve avere un valore.").arg(QString::fromLatin1(c.campo))});
    QWidget* campo = campi.value(QString::fromLatin1(c.campo));
    QWidget* fuoco = QApplication::focusWidget();
    EXPECT_TRUE(campo && fuoco && (fuoco == campo || campo->isAncestorOf(fuoco)))
        << (fuoco ? fuoco->objectName().toStdString() : "none");
    EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC").toInt(), prima);
    // Leaving the row another way (the grid posts it) is refused the same.
    const QString errore = f.dm->xqcCCD->Post().error();
    EXPECT_EQ(errore, KvMessageScript::Texts().value(0));
    f.xacCancel->trigger();
  }
}

TEST_F(Codici, ADurcKeepsItsSupplierAndACigOrCupNeverHasOne) {
  TdmFenCCD dm;
  TfrFenCCD f(dm);
  f.SetTipo(CcdDurc);
  ASSERT_TRUE(f.Apri());
  f.xacInsert->trigger();
  compila(f, QStringLiteral("INPS_50000001"), QStringLiteral("01/12/2026"), QStringLiteral("DURC on line"));
  scegli(*f.xleBenef, nomeFornitore(4));
  ASSERT_EQ(f.xleBenef->KeyValue(), 4);
  f.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT IBENID FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = 'INPS_50000001' AND ITCCDID = 3").toInt(), 4);
  EXPECT_EQ(f.dm->xqcCCD->FieldValue(QStringLiteral("SBENRAGSOC")).toString(), nomeFornitore(4));

  // A supplier chosen while the row was a DURC does not survive the switch to CIG.
  f.xacInsert->trigger();
  compila(f, QStringLiteral("B9CAMBIO01"), QStringLiteral("02/12/2026"), QStringLiteral("Cambiato in CIG"));
  scegli(*f.xleBenef, nomeFornitore(4));
  PuxTestInput::retype(f.xdnImporto, QStringLiteral("2500"));
  f.SetTipo(CcdCig);
  f.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = 'B9CAMBIO01' AND ITCCDID = 1 "
                   "AND IBENID IS NULL AND FCCDIMPORTO = 2500")
                .toInt(),
            1);
  EXPECT_TRUE(f.dm->xqcCCD->FieldValue(QStringLiteral("IBENID")).isNull());
}

// Codes without movements of a CUP archive: only references through
// iCcdId_cup count.
TEST_F(Codici, CodesWithoutMovementsOfTheCupArchiveCountOnlyCupReferences) {
  Codice(971, CcdCup, "CUPFATTURA", "2026-04-01");
  Codice(972, CcdCup, "CUPCOMECIG", "2026-04-02");
  Codice(973, CcdCup, "CUPLIBERO", "2026-04-03");
  Exec("INSERT INTO TIDC_INVDOC (IIDCID, ITIDID, ICCDID_CUP, FIDCIMPONIBILE) VALUES (9701, 1, 971, 100)");
  Exec("INSERT INTO TIDC_INVDOC (IIDCID, ITIDID, ICCDID_CIG, FIDCIMPONIBILE) VALUES (9702, 1, 972, 100)");
  Movimento({.id = 9703, .tpm = 4, .cig = QStringLiteral("972"), .pagato = 10});

  TfmFenCCD_archivi w;
  w.SetTipo(CcdCup);
  TfrFenCCD& f = *w.frFenCCD;
  f.acSenzaMovimenti->trigger();
  EXPECT_TRUE(f.FiltroAttivo());
  EXPECT_EQ(f.obFiltri->text(), QStringLiteral("Togli filtro"));
  EXPECT_TRUE(f.obFiltri->isChecked());
  QStringList codici = colonna(*f.dm->xqcCCD, QStringLiteral("SCCDCODICE"));
  EXPECT_FALSE(codici.contains(QStringLiteral("CUPFATTURA")));
  EXPECT_TRUE(codici.contains(QStringLiteral("CUPCOMECIG")));
  EXPECT_TRUE(codici.contains(QStringLiteral("CUPLIBERO")));
  // In the archive, opening the menu to choose leaves the filter on; the
  // button takes it off.
  emit f.pmFiltri->aboutToShow();
  EXPECT_TRUE(f.FiltroAttivo());
  f.obFiltri->click();
  EXPECT_FALSE(f.FiltroAttivo());
  EXPECT_EQ(f.obFiltri->text(), QStringLiteral("Filtri"));
  EXPECT_FALSE(f.obFiltri->isChecked());
  EXPECT_EQ(f.dm->xqcCCD->RecordCount(), 8);
  // Elsewhere opening the menu takes the filter off; reopening the list too.
  TdmFenCCD dmAltrove;
  TfrFenCCD altrove(dmAltrove);
  altrove.SetTipo(CcdCup);
  ASSERT_TRUE(altrove.Apri());
  altrove.obFiltri->click();
  EXPECT_TRUE(altrove.FiltroAttivo());
  emit altrove.pmFiltri->aboutToShow();
  EXPECT_FALSE(altrove.FiltroAttivo());
  altrove.acSenzaMovimenti->trigger();
  ASSERT_TRUE(altrove.Apri());
  EXPECT_FALSE(altrove.FiltroAttivo());
  EXPECT_FALSE(altrove.obFiltri->isChecked());
}

// Every program's use of a CIG keeps it off the list of the codes without
// movements: warehouse movements, orders, vouchers, procedures, accounting.
TEST_F(Codici, EachKindOfUseKeepsACigOffTheCodesWithoutMovements) {
  const struct {
    int id;
    const char* uso;
  } casi[] = {
      {961, "INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, ICCDID_CIG) VALUES (9601, 961)"},
      {962, "INSERT INTO TOMG_ORDINIMAGAZ (IOMGID, ICCDID_CIG) VALUES (9602, 962)"},
      {963, "INSERT INTO TBUO_BUONI (IBUOID, IDWGID, IBUOESERCIZIOFIN, IBUOTIPO, IBUONUMERO, ICCDID_CIG) "
            "VALUES (9603, 1, 2026, 0, 13, 963)"},
      {964, "INSERT INTO TPRE_PREVENTIVI (IPREID, ICCDID_CIG) VALUES (9604, 964)"},
      {965, "INSERT INTO TMOV_MOVIMENTI (IMOVID, ITPMID, ICCDID_CIG) VALUES (9605, 3, 965)"},
      {966, nullptr},
  };
  for (const auto& c : casi) {
    Codice(c.id, CcdCig, QStringLiteral("USO%1").arg(c.id), "2026-04-01");
    if (c.uso) Exec(QString::fromLatin1(c.uso));
  }
  TfmFenCCD_archivi w;
  w.SetTipo(CcdCig);
  w.frFenCCD->acSenzaMovimenti->trigger();
  const QStringList senza = colonna(*w.dmFenCCD->xqcCCD, QStringLiteral("SCCDCODICE"));
  for (const auto& c : casi)
    EXPECT_EQ(senza.contains(QStringLiteral("USO%1").arg(c.id)), c.uso == nullptr) << (c.uso ? c.uso : "libero");
}

TEST_F(Codici, ACigCreatedInTheDialogIsTheOneChosenInTheSearch) {
  TKvDBLookupEdit lookup;
  PreparaLookupCodici(lookup, CcdCig);
  ImpostaListaCodici(lookup, CcdCig, 0, QDate(2026, 12, 11));
  lookup.SetKeyValue(2);
  int dialoghi = 0;
  KvDialogScript::Drive<TfmFenCCD>([&](TfmFenCCD& d) {
    ++dialoghi;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Gestione codice CIG"));
    TfrFenCCD& f = *d.frFenCCD;
    // The dialog opens on the search window's current code.
    EXPECT_EQ(f.dm->xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt(), 2);
    EXPECT_EQ(titoliVisibili(*f.grFrame),
              QStringList({"Codice", "Data assegn.", "Descrizione", "Data scadenza", "Importo", "Totale Pagato",
                           "Totale Impegnato", "Imponibile Fatture"}));
    f.xacInsert->trigger();
    compila(f, QStringLiteral("B9NUOVO001"), QStringLiteral("01/12/2026"), QStringLiteral("Nuovo CIG dal dialogo"));
    PuxTestInput::retype(f.xdnImporto, QStringLiteral("1500"));
    d.OkButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
  });
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Scelta CIG"));
    EXPECT_EQ(titoliVisibili(*w.Grid()), QStringList({"Data assegn.", "CIG", "Descrizione", "Data scadenza",
                                                      "Totale Pagato", "Totale Impegnato"}));
    EXPECT_EQ(w.width(), 745);
    EXPECT_EQ(w.EditButton()->text(), QStringLiteral("Aggiungi / modifica"));
    EXPECT_EQ(w.Value(QStringLiteral("ICCDID")).toInt(), 2);
    w.EditButton()->click();
    EXPECT_EQ(w.Value(QStringLiteral("SCCDCODICE")).toString(), QStringLiteral("B9NUOVO001"));
    w.OkButton()->click();
  });
  ASSERT_TRUE(lookup.ShowSearchForm());
  EXPECT_EQ(dialoghi, 1);
  const int nuovo = Scalar(
                        "SELECT ICCDID FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = 'B9NUOVO001' AND ITCCDID = 1 "
                        "AND IBENID IS NULL AND FCCDIMPORTO = 1500")
                        .toInt();
  EXPECT_GT(nuovo, 0);
  EXPECT_EQ(lookup.KeyValue(), nuovo);
  EXPECT_EQ(lookup.Text(), QStringLiteral("B9NUOVO001"));
}

// The dialog hands back the code last corrected even when it is closed with
// Annulla on another row: the search window then stands on that code.
TEST_F(Codici, ACodeCorrectedInTheDialogIsHandedBackAlsoOnCancel) {
  TKvDBLookupEdit lookup;
  PreparaLookupCodici(lookup, CcdCig);
  ImpostaListaCodici(lookup, CcdCig, 0, QDate());
  lookup.SetKeyValue(2);
  int corretto = -1;
  KvDialogScript::Next<TfmFenCCD>([&](TfmFenCCD& d) {
    TfrFenCCD& f = *d.frFenCCD;
    TKvQueryCollection& codici = *f.dm->xqcCCD;
    codici.First();
    if (codici.FieldValue(QStringLiteral("ICCDID")).toInt() == 2) codici.Next();
    corretto = codici.FieldValue(QStringLiteral("ICCDID")).toInt();
    f.xacEdit->trigger();
    riscriviMemo(f.xdmDescrizione, QStringLiteral("Descrizione corretta"));
    f.xacPost->trigger();
    ASSERT_TRUE(codici.Locate(QStringLiteral("ICCDID"), 2));
    d.CancelButton()->click();
    EXPECT_EQ(d.Codice(), corretto);
  });
  KvDialogScript::Next<TfmKvSearch>([&](TfmKvSearch& w) {
    w.EditButton()->click();
    EXPECT_EQ(w.Value(QStringLiteral("ICCDID")).toInt(), corretto);
    w.OkButton()->click();
  });
  ASSERT_TRUE(lookup.ShowSearchForm());
  EXPECT_EQ(KvDialogScript::Pending(), 0);
  EXPECT_GT(corretto, 0);
  EXPECT_EQ(lookup.KeyValue(), corretto);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SCCDLDESC FROM TCCD_CIGCUPDURC WHERE ICCDID = %1").arg(corretto)).toString(),
            QStringLiteral("Descrizione corretta"));
}

// Annulla in the code dialog with a code being typed asks first: Annulla
// keeps the dialog and the row, No drops the row and closes.
TEST_F(Codici, AnnullaInTheCodeDialogAsksAboutTheCodeBeingTyped) {
  TfmFenCCD d;
  d.SetTipo(CcdCig);
  ASSERT_TRUE(d.ApriLista());
  int chiuso = 0;
  QObject::connect(&d, &QDialog::rejected, &d, [&] { ++chiuso; });
  TfrFenCCD& f = *d.frFenCCD;
  f.xacInsert->trigger();
  compila(f, QStringLiteral("B9ANNULLA"), QStringLiteral("01/12/2026"), QStringLiteral("Da non salvare"));
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrCancel);
  d.CancelButton()->click();
  EXPECT_EQ(chiuso, 0);
  EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
  KvMessageScript::Answer(mrNo);
  d.CancelButton()->click();
  EXPECT_EQ(chiuso, 1);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList(2, QStringLiteral("Salvare le modifiche?")));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = 'B9ANNULLA'").toInt(), 0);
}

TEST_F(Codici, DurcDialogWorksOnTheInvitedSuppliersOwnCodes) {
  TKvDBLookupEdit lookup;
  PreparaLookupCodici(lookup, CcdDurc, [] { return 7; });
  ImpostaListaCodici(lookup, CcdDurc, 7, QDate(2026, 12, 11));
  KvDialogScript::Drive<TfmFenCCD>([&](TfmFenCCD& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Gestione codice DURC"));
    TfrFenCCD& f = *d.frFenCCD;
    QStringList codici = colonna(*f.dm->xqcCCD, QStringLiteral("SCCDCODICE"));
    codici.sort();
    EXPECT_EQ(codici, QStringList({"INPS_41765309", "INPS_44120587"}));
    EXPECT_TRUE(f.DetailLayout()->isRowVisible(f.xleBenef));
    EXPECT_FALSE(f.DetailLayout()->isRowVisible(f.xdnImporto));
    f.xacInsert->trigger();
    EXPECT_EQ(f.xleBenef->KeyValue(), 7);  // the invited supplier's
    compila(f, QStringLiteral("INAIL_50000007"), QStringLiteral("05/12/2026"), QStringLiteral("DURC on line"));
    PuxTestInput::retype(f.xddDataScad->LineEdit(), QStringLiteral("04/04/2027"));
    f.xacPost->trigger();
    EXPECT_GT(d.Codice(), 0);  // the new code, for the search window
    // Correcting a DURC here never moves it to another supplier.
    f.xacEdit->trigger();
    EXPECT_TRUE(f.xleBenef->ReadOnly());
    EXPECT_FALSE(f.xleBenef->isEnabled());
    riscriviMemo(f.xdmDescrizione, QStringLiteral("DURC on line - esito regolare"));
    f.xacPost->trigger();
    EXPECT_FALSE(f.xleBenef->ReadOnly());
    d.OkButton()->click();
  });
  KvDialogScript::Drive<TfmKvSearch>([&](TfmKvSearch& w) {
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Scelta DURC"));
    EXPECT_EQ(titoliVisibili(*w.Grid()), QStringList({"Data assegn.", "DURC", "Descrizione", "Data scadenza"}));
    EXPECT_EQ(qobject_cast<TfmFenSearchCCD*>(&w)->Beneficiario(), 7);
    w.EditButton()->click();
    w.OkButton()->click();
  });
  ASSERT_TRUE(lookup.ShowSearchForm());
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(lookup.Text(), QStringLiteral("INAIL_50000007"));
  EXPECT_EQ(Scalar("SELECT SCCDLDESC || '/' || IBENID || '/' || DCCDDATASCAD FROM TCCD_CIGCUPDURC "
                   "WHERE SCCDCODICE = 'INAIL_50000007'")
                .toString(),
            QStringLiteral("DURC on line - esito regolare/7/2027-04-04"));
}

// A DURC that movements already use keeps its supplier while corrected and
// cannot be deleted; an unused one can be moved to another supplier and deleted.
TEST_F(Codici, ADurcInUseKeepsItsSupplierAndCannotBeDeleted) {
  Codice(981, CcdDurc, "DURCUSATO", "2026-11-01", "2027-03-01", 4);
  Codice(982, CcdDurc, "DURCLIBERO", "2026-11-02", "2027-03-01", 4);
  Movimento({.id = 9801, .tpm = 4, .durc = QStringLiteral("981"), .pagato = 10});

  TfmFenCCD_archivi w;
  w.SetTipo(CcdDurc);
  TfrFenCCD& f = *w.frFenCCD;
  ASSERT_TRUE(f.dm->xqcCCD->Locate(QStringLiteral("ICCDID"), 981));
  EXPECT_EQ(w.frFenCCDMovColl->xqcMovColl->RecordCount(), 1);
  f.xacEdit->trigger();
  EXPECT_TRUE(f.xleBenef->ReadOnly());
  f.xacCancel->trigger();
  EXPECT_FALSE(f.xleBenef->ReadOnly());
  f.xacDelete->trigger();
  EXPECT_EQ(KvMessageScript::Texts(),
            QStringList{"Attenzione!\nIl codice è usato da altri movimenti e non può essere cancellato."});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE ICCDID = 981").toInt(), 1);

  KvMessageScript::Clear();
  ASSERT_TRUE(f.dm->xqcCCD->Locate(QStringLiteral("ICCDID"), 982));
  EXPECT_EQ(w.frFenCCDMovColl->xqcMovColl->RecordCount(), 0);
  f.xacEdit->trigger();
  EXPECT_FALSE(f.xleBenef->ReadOnly());
  scegli(*f.xleBenef, nomeFornitore(5));
  f.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT IBENID FROM TCCD_CIGCUPDURC WHERE ICCDID = 982").toInt(), 5);
  KvMessageScript::Answer(mrYes);
  f.xacDelete->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{"Cancellare il record?"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE ICCDID = 982").toInt(), 0);
}

// Rows the linked movements do not list (a publication record, a voucher
// other than a load voucher) still hold a code: deleting it would leave them
// pointing at nothing.
TEST_F(Codici, ACodeHeldOnlyByRowsOutsideTheLinkedMovementsIsNotDeleted) {
  struct Caso {
    int id;
    int tipo;
    const char* riferimento;
  };
  const QList<Caso> casi = {
      {986, CcdCig,
       "INSERT INTO TAVC_AVCP (IAVCID, ICCDID_CIG, IDWGID, IAVCESERCIZIOFIN, SAVCLDESC) "
       "VALUES (98601, 986, 1, 2026, 'Contratto')"},
      {987, CcdDurc,
       "INSERT INTO TBUO_BUONI (IBUOID, IDWGID, IBUOESERCIZIOFIN, IBUOTIPO, IBUONUMERO, ICCDID_DURC) "
       "VALUES (98701, 1, 2026, 1, 12, 987)"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.id);
    Codice(c.id, c.tipo, QStringLiteral("TENUTO%1").arg(c.id), "2026-10-01", QString(), c.tipo == CcdDurc ? 4 : 0);
    Exec(QString::fromLatin1(c.riferimento));
    EXPECT_EQ(ContaMovimentiCollegati(c.id), 0);
    EXPECT_EQ(ContaRiferimentiCodice(c.id), 1);

    TdmFenCCD dm;

    TfrFenCCD f(dm);
    f.SetTipo(c.tipo);
    ASSERT_TRUE(f.Apri());
    ASSERT_TRUE(f.dm->xqcCCD->Locate(QStringLiteral("ICCDID"), c.id));
    KvMessageScript::Clear();
    f.xacDelete->trigger();
    EXPECT_EQ(KvMessageScript::Texts(),
              QStringList{"Attenzione!\nIl codice è usato da altri movimenti e non può essere cancellato."});
    // Nor by a delete that does not pass through the action.
    EXPECT_FALSE(f.dm->xqcCCD->Delete());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE ICCDID = %1").arg(c.id)).toInt(), 1);
  }
}

// A code being typed is never lost and never stored past the archive's own
// rules: closing its window, the program, sorting or moving in the list all
// go through the archive's save, and the clerk's answer decides.
TEST_F(Codici, ACodeBeingTypedIsSavedThroughTheRulesOrKeptWhenLeft) {
  TfmKvMDIMain main;
  KvWindowFactory::SetMainWindow(&main);
  auto apri = [&] {
    KvFormOptions opzioni;
    opzioni.instanceKey = QStringLiteral("xafCig");
    opzioni.args = KvFormArgs{.tipo = CcdCig};
    return qobject_cast<TfmFenCCD_archivi*>(KvWindowFactory::Create(QStringLiteral("TfmFenCCD_archivi"), &main,
                                                                     opzioni).window);
  };
  const QString salvati = QStringLiteral("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = 'Z9'");
  const QString domanda = QStringLiteral("Salvare le modifiche?");
  const QString regola = QStringLiteral("Il campo 'Descrizione' deve avere un valore.");
  struct Caso {
    const char* nome;
    int risposta;
    const char* descrizione;
    bool programma;  // the whole program is closed, not the window
    bool aperta;
    int righe;
    QStringList testi;
  };
  const QList<Caso> casi = {
      {"Annulla keeps the window", mrCancel, "Fornitura", false, true, 0, {domanda}},
      {"Sì with a rule broken stays open", mrYes, "", false, true, 0, {domanda, regola}},
      {"No drops the row", mrNo, "Fornitura", false, false, 0, {domanda}},
      {"Sì saves", mrYes, "Fornitura", false, false, 1, {domanda}},
      {"Annulla keeps the program", mrCancel, "Altra", true, true, 1, {domanda}},
      {"Sì with a rule broken keeps the program", mrYes, "", true, true, 1, {domanda, regola}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    TfmFenCCD_archivi* w = apri();
    ASSERT_NE(w, nullptr);
    TfrFenCCD& f = *w->frFenCCD;
    if (f.xdsMain->State() != KvState::Browse) f.xacCancel->trigger();
    f.xacInsert->trigger();
    compila(f, QStringLiteral("Z9"), QStringLiteral("15/03/2026"), QString::fromUtf8(c.descrizione));
    KvMessageScript::Clear();
    KvMessageScript::Answer(c.risposta);
    // Closing the program, a clean window beside it stays open too on Annulla.
    QWidget* altra = nullptr;
    if (c.programma) {
      KvFormOptions cup;
      cup.instanceKey = QStringLiteral("xafCup");
      cup.args = KvFormArgs{.tipo = CcdCup};
      altra = KvWindowFactory::Create(QStringLiteral("TfmFenCCD_archivi"), &main, cup).window;
      ASSERT_NE(altra, nullptr);
    }
    const bool chiusa = c.programma ? main.close() : w->CloseWindow();
    EXPECT_EQ(chiusa, !c.aperta);
    EXPECT_EQ(KvMessageScript::Texts(), c.testi);
    EXPECT_EQ(main.MdiChildren().size(), c.aperta ? (c.programma ? 2 : 1) : 0);
    if (altra) {
      EXPECT_EQ(main.MdiArea()->activeSubWindow()->widget(), w);  // the window asked about is in front
      qobject_cast<TfmKvChildDB*>(altra)->CloseWindow();
    }
    EXPECT_EQ(Scalar(salvati).toInt(), c.righe);
    if (c.aperta) {
      EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
    }
  }

  // Sorting by a title, moving to another row or a filter button saves the
  // same way first.
  TfmFenCCD_archivi* w = apri();
  TfrFenCCD& f = *w->frFenCCD;
  ASSERT_EQ(f.xdsMain->State(), KvState::Insert);
  KvMessageScript::Clear();
  EXPECT_FALSE(f.grFrame->SortByColumn(0));
  f.grFrame->setCurrentIndex(f.grFrame->Model()->index(3, 0));
  f.obFiltri->click();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({regola, regola, regola}));
  EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
  EXPECT_EQ(f.grFrame->SortedColumn(), -1);
  EXPECT_FALSE(f.FiltroAttivo());
  riscriviMemo(f.xdmDescrizione, QStringLiteral("Ordinata"));
  KvMessageScript::Answer(mrYes);  // "Z9" is in the archive already: saved all the same
  EXPECT_TRUE(f.grFrame->SortByColumn(0));
  EXPECT_EQ(f.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Scalar(salvati).toInt(), 2);
  KvWindowFactory::SetMainWindow(nullptr);
}

// The archive is worked by keyboard alone, and its keys act only in the
// window that has the focus.
TEST_F(Codici, TheArchiveIsWorkedByKeyboardAlone) {
  TfmKvMDIMain main;
  KvWindowFactory::SetMainWindow(&main);
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  auto apri = [&](const char* comando, int tipo) {
    KvFormOptions opzioni;
    opzioni.instanceKey = QString::fromLatin1(comando);
    opzioni.args = KvFormArgs{.tipo = tipo};
    return qobject_cast<TfmFenCCD_archivi*>(KvWindowFactory::Create(QStringLiteral("TfmFenCCD_archivi"), &main,
                                                                     opzioni).window);
  };
  TfmFenCCD_archivi* cup = apri("xafCup", CcdCup);
  TfmFenCCD_archivi* cig = apri("xafCig", CcdCig);
  ASSERT_TRUE(cig && cup);
  TfrFenCCD& f = *cig->frFenCCD;
  auto focus = [] { return QApplication::focusWidget(); };
  EXPECT_EQ(focus(), f.grFrame);  // a list opens with the focus in its grid
  EXPECT_EQ(f.xacPost->toolTip(), QStringLiteral("Salva (Ctrl+S)"));
  EXPECT_EQ(f.xacDelete->toolTip(), QStringLiteral("Elimina (Ctrl+Del)"));
  const QString conta = QStringLiteral("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = 'K1'");

  // Ins: a new row, the focus in its first field; Tab walks the fields as
  // they are seen (not the calendar buttons), out of the memo too.
  QTest::keyClick(focus(), Qt::Key_Insert);
  EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
  EXPECT_EQ(cup->frFenCCD->xdsMain->State(), KvState::Browse);
  EXPECT_EQ(focus(), f.xdeCodice);
  QTest::keyClicks(focus(), QStringLiteral("K1"));
  const QList<QWidget*> ordine = {f.xddDataAssegn->LineEdit(), f.xdmDescrizione, f.xddDataScad->LineEdit(),
                                  f.xdnImporto};
  for (QWidget* atteso : ordine) {
    QTest::keyClick(focus(), Qt::Key_Tab);
    EXPECT_EQ(focus(), atteso) << (focus() ? focus()->objectName().toStdString() : "none");
  }
  for (int i = ordine.size() - 2; i >= 0; --i) {
    QTest::keyClick(focus(), Qt::Key_Backtab);
    EXPECT_EQ(focus(), ordine[i]);
  }
  EXPECT_EQ(focus(), f.xddDataAssegn->LineEdit());
  QTest::keyClicks(focus(), QStringLiteral("15/03/2026"));
  QTest::keyClick(focus(), Qt::Key_Tab);
  QTest::keyClicks(focus(), QStringLiteral("Da tastiera"));
  // Ctrl+S saves through the archive's rules.
  QTest::keyClick(focus(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(f.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Scalar(conta).toInt(), 1);
  ASSERT_TRUE(f.dm->xqcCCD->Locate(QStringLiteral("SCCDCODICE"), QStringLiteral("K1")));

  // F2 edits, Esc drops what was typed.
  f.grFrame->setFocus();
  QTest::keyClick(focus(), Qt::Key_F2);
  EXPECT_EQ(f.xdsMain->State(), KvState::Edit);
  EXPECT_EQ(focus(), f.xdeCodice);
  QTest::keyClicks(focus(), QStringLiteral("ZZ"));
  QTest::keyClick(focus(), Qt::Key_Escape);
  EXPECT_EQ(f.xdsMain->State(), KvState::Browse);
  EXPECT_EQ(Scalar(conta).toInt(), 1);

  // F5 reads the list again.
  Codice(900, CcdCig, QStringLiteral("K2"), QStringLiteral("2026-03-16"));
  const int righe = f.dm->xqcCCD->RecordCount();
  f.grFrame->setFocus();
  QTest::keyClick(focus(), Qt::Key_F5);
  EXPECT_EQ(f.dm->xqcCCD->RecordCount(), righe + 1);
  // Tab leaves the list for the next control rather than the next cell.
  QTest::keyClick(focus(), Qt::Key_Tab);
  EXPECT_NE(focus(), f.grFrame);
  f.grFrame->setFocus();

  // Ctrl+Del asks first; no keeps the row, yes deletes it.
  ASSERT_TRUE(f.dm->xqcCCD->Locate(QStringLiteral("SCCDCODICE"), QStringLiteral("K1")));
  KvMessageScript::Clear();
  KvMessageScript::Answer(mrNo);
  QTest::keyClick(focus(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Cancellare il record?")});
  EXPECT_EQ(Scalar(conta).toInt(), 1);
  KvMessageScript::Answer(mrYes);
  QTest::keyClick(focus(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(Scalar(conta).toInt(), 0);

  // In a lookup field F2 is the lookup's own search, not "Modifica".
  TfmFenCCD_archivi* durc = apri("xafDurc", CcdDurc);
  ASSERT_NE(durc, nullptr);
  TfrFenCCD& d = *durc->frFenCCD;
  d.ShowDetail();
  d.xleBenef->LineEdit()->setFocus();
  bool cercato = false;
  d.xleBenef->OnShowSearchForm = [&](TKvDBLookupEdit&, TfmKvSearch&, bool& show) {
    cercato = true;
    show = false;
  };
  KvWindowFactory::Register(QStringLiteral("TfmAbiBenSearch"), [](QWidget* parent) { return new TfmKvSearch(parent); });
  QTest::keyClick(focus(), Qt::Key_F2);
  KvWindowFactory::Unregister(QStringLiteral("TfmAbiBenSearch"));
  EXPECT_TRUE(cercato);
  EXPECT_EQ(d.xdsMain->State(), KvState::Browse);
  KvWindowFactory::SetMainWindow(nullptr);
}

}  // namespace
