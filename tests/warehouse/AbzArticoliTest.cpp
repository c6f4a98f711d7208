#include "AbiFinestre.h"
#include "AbzFArticoli.h"
#include "AbzFArticoliFiltri.h"
#include "AbzMArticoli.h"
#include "AbzMGiacenze.h"
#include "AbzRArticoli.h"
#include "AbzRFornitoriArt.h"
#include "AbzRGiacenze.h"
#include "AbzUCodiciArticolo.h"
#include "KvDbControls.h"
#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvTestResult.h"
#include "PuxContesto.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "TKvDBGrid.h"
#include "TKvDBLookupEdit.h"
#include "TfrAbzRicerca.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <memory>

namespace {

// Types into a lookup and leaves it with Enter.
void scegli(TKvDBLookupEdit& lookup, const QString& text) {
  PuxTestInput::retype(lookup.LineEdit(), text);
  PuxTestInput::press(lookup.LineEdit(), Qt::Key_Return);
}

// The demo database (40 articles, codes "00001".."00040", article 1 used by
// a loading voucher), the working institute 1 in 2026, every message scripted.
class Articoli : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    AbiRegistraFinestre();  // the supplier lookup of the suppliers page
    Contesto.DwgId = 1;
    Contesto.EsercizioFin = 2026;
    Contesto.VistaArticoli = 0;
    KvMessageScript::Begin();
  }
  void TearDown() override {
    fm.reset();
    KvDialogScript::Clear();
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  // Opens the window as the factory does, in a view.
  TfmAbzArticoli& Apri(int vista = 0) {
    Contesto.VistaArticoli = vista;
    fm = std::make_unique<TfmAbzArticoli>();
    EXPECT_TRUE(fm->RunFormCreate());
    EXPECT_TRUE(fm->RunFormShow());
    return *fm;
  }
  TfrAbzArticoli& fr() { return *fm->frAbzArticoli; }
  TKvQueryCollection& lista() { return *fm->dmAbzArticoli->xqcArticoli; }

  // An article nothing uses, with a stock row of the working year.
  void Articolo(int id, const QString& codice, const QString& descr, const QString& barcode = QString()) {
    Exec(
        QStringLiteral("INSERT INTO TART_ARTICOLI (IARTID, SARTCOD, SARTDESCS, SARTCODCOSTRUT, IALVID, ITPDID, IMERID) "
                       "VALUES (%1, '%2', '%3', '%4', 1, 1, 1)")
            .arg(id)
            .arg(codice, descr, barcode));
  }
  void Giacenza(int id, int articolo, const QString& attuale) {
    Exec(QStringLiteral("INSERT INTO TGIA_GIACENZE (IGIAID, IARTID, IDWGID, IGIAESERCIZIOFIN, IUNMID, FGIAGIACINIZ, "
                        "FGIAGIACATT, FGIASCORTAMIN) VALUES (%1, %2, 1, 2026, 1, 0, %3, 0)")
             .arg(id)
             .arg(articolo)
             .arg(attuale));
  }
  // A new article typed in the window, with its classification.
  void NuovoArticolo(const QString& descr, const QString& barcode = QString()) {
    fr().xacInsert->trigger();
    PuxTestInput::retype(fr().xdeDescrizione, descr);
    if (!barcode.isEmpty()) PuxTestInput::retype(fr().xdeCodiceCostruttore, barcode);
    scegli(*fr().xleDestinazione, QStringLiteral("Uffici"));
    scegli(*fr().xleCodMerce, QStringLiteral("Carta"));
    scegli(*fr().xleAliquotaIVA, QStringLiteral("Aliquota ordinaria"));
  }
  bool ColonnaNascosta(const QString& field) {
    TKvDBGrid* g = fr().grFrame;
    for (int c = 0; c < g->model()->columnCount(); ++c)
      if (g->FieldOfColumn(c).compare(field, Qt::CaseInsensitive) == 0) return g->isColumnHidden(c);
    ADD_FAILURE() << "no column " << field.toStdString();
    return false;
  }
  int Conta(const QString& where) {
    return Scalar(QStringLiteral("SELECT COUNT(*) FROM TART_ARTICOLI WHERE ") + where).toInt();
  }

  std::unique_ptr<TfmAbzArticoli> fm;
};

TEST_F(Articoli, BothViewsOpenWithTheirColumnsAndTheFilterOnlyInTheCompleteOne) {
  const int elencati = Scalar(QStringLiteral("SELECT COUNT(*) FROM TART_ARTICOLI WHERE DDELETE IS NULL")).toInt();
  Apri(0);
  EXPECT_EQ(fm->windowTitle(), QStringLiteral("Gestione Articoli"));
  EXPECT_EQ(lista().RecordCount(), elencati);
  EXPECT_EQ(lista().FieldValue(QStringLiteral("SARTCOD")).toString(), QStringLiteral("00001"));
  for (const char* f : {"FGIAGIACATT", "FGIASCORTAMIN", "DIFFERENZA"})
    EXPECT_TRUE(ColonnaNascosta(QString::fromLatin1(f)));
  EXPECT_FALSE(fr().obFiltri->isEnabled());
  EXPECT_EQ(fm->dmAbzArticoli->ArticoloFornitori(), 1);  // the suppliers page follows the first article

  Apri(1);
  EXPECT_EQ(lista().RecordCount(), elencati);
  for (const char* f : {"FGIAGIACATT", "FGIASCORTAMIN", "DIFFERENZA"})
    EXPECT_FALSE(ColonnaNascosta(QString::fromLatin1(f)));
  EXPECT_TRUE(fr().obFiltri->isEnabled());
  // The stock of the working year: article 1 has a row in 2026.
  const QVariant stock2026 = Scalar(QStringLiteral(
      "SELECT FGIAGIACATT FROM TGIA_GIACENZE WHERE IARTID = 1 AND IDWGID = 1 AND IGIAESERCIZIOFIN = 2026"));
  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 1));
  EXPECT_EQ(lista().FieldValue(QStringLiteral("FGIAGIACATT")).isNull(), stock2026.isNull());
  if (!stock2026.isNull()) {
    EXPECT_DOUBLE_EQ(lista().FieldValue(QStringLiteral("FGIAGIACATT")).toDouble(), stock2026.toDouble());
  }
}

TEST_F(Articoli, WithoutWorkingYearTheWindowRefusesToOpen) {
  Contesto.EsercizioFin = -1;
  TfmAbzArticoli w;
  EXPECT_FALSE(w.RunFormCreate());
  ASSERT_EQ(KvMessageScript::Texts().size(), 1);
  EXPECT_TRUE(KvMessageScript::Texts()[0].contains(QStringLiteral("risultano non settati")));
}

TEST_F(Articoli, NewArticlesTakeTheNextNumberSevenWideWhateverTheWidthsStored) {
  // As text "0000042" sorts before "00041": the numbers decide.
  Articolo(9001, QStringLiteral("0000042"), QStringLiteral("Articolo sette cifre"));
  Articolo(9002, QStringLiteral("00041"), QStringLiteral("Articolo cinque cifre"));
  Apri();
  NuovoArticolo(QStringLiteral("Blocco note A5 a righe"));
  EXPECT_EQ(lista().FieldValue(QStringLiteral("SARTCOD")).toString(), QStringLiteral("0000043"));
  fr().xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
  EXPECT_EQ(Conta(QStringLiteral("SARTCOD = '0000043' AND SARTDESCS = 'Blocco note A5 a righe' AND ITPDID = 1 "
                                 "AND IMERID = 2 AND IALVID = 1")),
            1);
  NuovoArticolo(QStringLiteral("Blocco note A4 a quadretti"));
  EXPECT_EQ(lista().FieldValue(QStringLiteral("SARTCOD")).toString(), QStringLiteral("0000044"));
  fr().xacPost->trigger();
  EXPECT_EQ(Conta(QStringLiteral("SARTCOD = '0000044'")), 1);

  // Existing codes are found by their number, whatever their padding.
  EXPECT_EQ(ArticoloDaCodice(QStringLiteral("41")).value_or(0), 9002);
  EXPECT_EQ(ArticoloDaCodice(QStringLiteral("0000041")).value_or(0), 9002);
  EXPECT_EQ(ArticoloDaCodice(QStringLiteral("00042")).value_or(0), 9001);
  EXPECT_EQ(ArticoloDaCodice(QStringLiteral("99")).value_or(0), -1);
}

TEST_F(Articoli, ANewArticleGetsItsStockRowOfTheWorkingYearWhichCannotBeCancelled) {
  Apri(1);
  EXPECT_EQ(fm->pcArticolo->currentWidget(), fm->frAbzGiacenze);
  NuovoArticolo(QStringLiteral("Quaderno a quadretti A4"));
  // While the article is typed, neither stock nor suppliers are shown.
  EXPECT_EQ(fm->dmAbzGiacenze->Articolo(), -1);
  EXPECT_EQ(fm->dmAbzArticoli->ArticoloFornitori(), -1);
  fr().xacPost->trigger();
  ASSERT_EQ(KvMessageScript::Texts(), QStringList());
  const int id = Scalar(QStringLiteral("SELECT IARTID FROM TART_ARTICOLI WHERE SARTCOD = '0000041'")).toInt();
  TfrAbzGiacenze& g = *fm->frAbzGiacenze;
  EXPECT_EQ(fm->dmAbzGiacenze->Articolo(), id);
  EXPECT_EQ(fm->dmAbzGiacenze->xqcGiacenze->GetState(), KvState::Insert);
  EXPECT_FALSE(g.xacCancel->isEnabled());
  scegli(*g.xleUniMisura, QStringLiteral("Pezzi"));
  g.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TGIA_GIACENZE WHERE IARTID = %1 AND IDWGID = 1 AND "
                                  "IGIAESERCIZIOFIN = 2026 AND IUNMID = 1")
                       .arg(id))
                .toInt(),
            1);
  EXPECT_TRUE(g.xacEdit->isEnabled());
}

TEST_F(Articoli, TypedCodesArePaddedToSevenAndASevenCharacterCodeIsKept) {
  Apri();
  const struct {
    const char* typed;
    const char* stored;
  } casi[] = {{"12", "0000012"}, {"7654321", "7654321"}, {"A12", "0000A12"}};
  int n = 0;
  for (const auto& c : casi) {
    NuovoArticolo(QStringLiteral("Articolo con codice %1").arg(++n + 100));
    PuxTestInput::retype(fr().xdeCodice, QString::fromLatin1(c.typed));
    fr().xacPost->trigger();
    if (n == 1) {
      // "12" is the number of the demo's "00012": the same code.
      EXPECT_EQ(KvMessageScript::Texts(), QStringList{TdmAbzArticoli::TestoCodiceDoppio()}) << c.typed;
      fr().xacCancel->trigger();
      KvMessageScript::Clear();
      continue;
    }
    EXPECT_EQ(KvMessageScript::Texts(), QStringList()) << c.typed;
    EXPECT_EQ(Conta(QStringLiteral("SARTCOD = '%1'").arg(QString::fromLatin1(c.stored))), 1) << c.typed;
  }
}

TEST_F(Articoli, RulesOfAnArticleRefuseWithTheirMessageAndWriteNothing) {
  // A historicized article keeps its description and its bar code.
  Articolo(9001, QStringLiteral("0009001"), QStringLiteral("Righello in plastica 30 cm"), QStringLiteral("BAR9001"));
  Exec(QStringLiteral("UPDATE TART_ARTICOLI SET DDELETE = CURRENT_TIMESTAMP WHERE IARTID = 9001"));
  const struct {
    const char* descrizione;
    const char* barcode;
    const char* lasciaVuoto;  // lookup left empty
    QString atteso;
  } casi[] = {
      {"PENNA A SFERA BLU PUNTA MEDIA", "", "", TdmAbzArticoli::TestoDescrizioneDoppia()},
      {"  penna a sfera blu punta media ", "", "", TdmAbzArticoli::TestoDescrizioneDoppia()},
      {"righello in PLASTICA 30 cm", "", "", TdmAbzArticoli::TestoDescrizioneDoppia()},
      {"Articolo nuovo 1", "8012345000081", "", TdmAbzArticoli::TestoCostruttoreDoppio()},
      {"Articolo nuovo 2", "BAR9001", "", TdmAbzArticoli::TestoCostruttoreDoppio()},
      {"Articolo nuovo 3", "", "xleDestinazione", "Attenzione!\nE' necessario valorizzare il campo \"Destinazione\"."},
      {"Articolo nuovo 4", "", "xleCodMerce",
       "Attenzione!\nE' necessario valorizzare il campo \"Codice Merceologico\"."},
      {"Articolo nuovo 5", "", "xleAliquotaIVA", "Attenzione!\nE' necessario valorizzare il campo \"Aliquota IVA\"."},
  };
  Apri();
  const int prima = Conta(QStringLiteral("1=1"));
  for (const auto& c : casi) {
    NuovoArticolo(QString::fromUtf8(c.descrizione), QString::fromLatin1(c.barcode));
    if (*c.lasciaVuoto) fr().findChild<TKvDBLookupEdit*>(QString::fromLatin1(c.lasciaVuoto))->Clear();
    fr().xacPost->trigger();
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{c.atteso}) << c.descrizione;
    EXPECT_EQ(lista().GetState(), KvState::Insert) << c.descrizione;
    fr().xacCancel->trigger();
    KvMessageScript::Clear();
  }
  EXPECT_EQ(Conta(QStringLiteral("1=1")), prima);
}

TEST_F(Articoli, AnArticleIsCorrectedKeepingItsOwnDescriptionAndBarCode) {
  Apri();
  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 2));
  fr().xacEdit->trigger();
  PuxTestInput::retype(fr().xdeCodiceISO, QStringLiteral("ISO-2"));
  fr().xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
  EXPECT_EQ(Conta(QStringLiteral("IARTID = 2 AND SARTCODISO = 'ISO-2' AND SARTCODCOSTRUT = '8012345000166'")), 1);
}

TEST_F(Articoli, DuplicatingCopiesTheClassificationUnderANewCodeAndNeedsANewDescription) {
  Apri();
  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 16));
  fr().acDuplica->trigger();
  EXPECT_EQ(lista().GetState(), KvState::Insert);
  EXPECT_EQ(lista().FieldValue(QStringLiteral("SARTCOD")).toString(), QStringLiteral("0000041"));
  EXPECT_EQ(lista().FieldValue(QStringLiteral("IMERID")).toInt(), 2);
  fr().xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{TdmAbzArticoli::TestoDescrizioneDoppia()});
  PuxTestInput::retype(fr().xdeDescrizione, QStringLiteral("Carta per fotocopie A4 100 g/mq"));
  fr().xacPost->trigger();
  EXPECT_EQ(Conta(QStringLiteral("SARTCOD = '0000041' AND ITPDID = 5 AND IMERID = 2 AND IDCMID = 4 AND IALVID = 1 "
                                 "AND SARTDESCL STARTING WITH 'Risme'")),
            1);
}

TEST_F(Articoli, AUsedArticleIsNotDeletedAndAnUnusedOneIsDeletedWithItsLogRow) {
  Articolo(9001, QStringLiteral("0009001"), QStringLiteral("Articolo mai usato"));
  Exec(QStringLiteral("DELETE FROM TLOG_MAGAZZINO"));
  Apri();
  // A deletion whose log row cannot be written does not happen.
  Exec(QStringLiteral("CREATE EXCEPTION E_PROVA 'log rifiutato dalla prova'"));
  Exec(
      QStringLiteral("CREATE TRIGGER T_PROVA FOR TLOG_MAGAZZINO ACTIVE BEFORE INSERT AS BEGIN EXCEPTION E_PROVA; END"));
  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 9001));
  EXPECT_FALSE(lista().Delete().ok());
  EXPECT_EQ(Conta(QStringLiteral("IARTID = 9001")), 1);
  Exec(QStringLiteral("DROP TRIGGER T_PROVA"));
  ASSERT_TRUE(lista().Refresh().ok());

  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 1));  // on a loading voucher
  fr().xacDelete->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{TdmAbzArticoli::TestoArticoloUsato()});
  EXPECT_EQ(Conta(QStringLiteral("IARTID = 1")), 1);
  // Whatever path deletes, the module refuses it too.
  EXPECT_EQ(lista().Delete().error(), TdmAbzArticoli::TestoArticoloUsato());
  EXPECT_EQ(Conta(QStringLiteral("IARTID = 1")), 1);

  KvMessageScript::Clear();
  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 9001));
  KvMessageScript::Answer(mrYes);
  fr().xacDelete->trigger();
  EXPECT_EQ(Conta(QStringLiteral("IARTID = 9001")), 0);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TLOG_MAGAZZINO WHERE SLOGLDESC = 'Cancellazione Articolo Cod. "
                                  "0009001' AND BLOGNOTE = '9001|0009001|Articolo mai usato|'"))
                .toInt(),
            1);
}

TEST_F(Articoli, HistoricizingNeedsOneStockRowAtZeroAndHidesTheArticle) {
  Articolo(9001, QStringLiteral("0009001"), QStringLiteral("Storicizzabile"));
  Giacenza(9001, 9001, QStringLiteral("0"));
  Articolo(9002, QStringLiteral("0009002"), QStringLiteral("Con giacenza"));
  Giacenza(9002, 9002, QStringLiteral("0.5"));
  Articolo(9003, QStringLiteral("0009003"), QStringLiteral("Giacenze doppie"));
  Giacenza(9003, 9003, QStringLiteral("0"));
  Giacenza(9004, 9003, QStringLiteral("0"));
  Articolo(9005, QStringLiteral("0009005"), QStringLiteral("Giacenza negativa"));
  Giacenza(9005, 9005, QStringLiteral("-0.000001"));
  Apri();
  const struct {
    int id;
    QString atteso;
  } rifiuti[] = {
      {9002, QStringLiteral("Impossibile storicizzare l'articolo perchè ha giacenza diversa da zero.")},
      {9005, QStringLiteral("Impossibile storicizzare l'articolo perchè ha giacenza diversa da zero.")},
      {9003,
       QStringLiteral("Impossibile storicizzare l'articolo perchè ha giacenze doppie, usare l'apposita utility.")}};
  for (const auto& r : rifiuti) {
    ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), r.id));
    fr().acStoricizza->trigger();
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{r.atteso});
    KvMessageScript::Clear();
  }
  EXPECT_EQ(Conta(QStringLiteral("DDELETE IS NOT NULL AND IARTID > 9000")), 0);

  const int prima = lista().RecordCount();
  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 9001));
  KvMessageScript::Answer(mrNo);
  fr().acStoricizza->trigger();
  EXPECT_EQ(Conta(QStringLiteral("IARTID = 9001 AND DDELETE IS NULL")), 1);
  KvMessageScript::Answer(mrYes);
  fr().acStoricizza->trigger();
  EXPECT_EQ(KvMessageScript::Texts().last(), QStringLiteral("L'articolo è stato storicizzato correttamente"));
  EXPECT_EQ(Conta(QStringLiteral("IARTID = 9001 AND DDELETE IS NOT NULL")), 1);
  EXPECT_EQ(lista().RecordCount(), prima - 1);
  EXPECT_FALSE(lista().Locate(QStringLiteral("IARTID"), 9001));
}

TEST_F(Articoli, TheBarCodeFieldMovesToItsArticleOrSaysItIsNotThere) {
  Apri();
  PuxTestInput::retype(fr().edBarcode, QStringLiteral("8056789000238"));
  PuxTestInput::press(fr().edBarcode, Qt::Key_Return);
  EXPECT_EQ(lista().FieldValue(QStringLiteral("IARTID")).toInt(), 16);
  EXPECT_EQ(fr().edBarcode->text(), QString());
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
  PuxTestInput::retype(fr().edBarcode, QStringLiteral("0000000000000"));
  PuxTestInput::press(fr().edBarcode, Qt::Key_Return);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Articolo non trovato.")});
  EXPECT_EQ(lista().FieldValue(QStringLiteral("IARTID")).toInt(), 16);
  // An article without manufacturer code is no bar code's.
  EXPECT_EQ(ArticoloDaBarcode(QString()).value_or(0), -1);
}

TEST_F(Articoli, TheQuickSearchFiltersTheArticlesByDescription) {
  Apri();
  ASSERT_TRUE(fr().frRicerca->Campi().contains(QStringLiteral("SARTDESCS")));
  fr().frRicerca->VoceMenuClick(int(fr().frRicerca->Campi().indexOf(QStringLiteral("SARTDESCS"))));
  fr().frRicerca->edRicerca->setFocus();
  PuxTestInput::retype(fr().frRicerca->edRicerca, QStringLiteral("penna"));
  fr().frRicerca->tmFiltTimer();
  EXPECT_EQ(lista().RecordCount(), Scalar(QStringLiteral("SELECT COUNT(*) FROM TART_ARTICOLI WHERE DDELETE IS NULL AND "
                                                         "UPPER(SARTDESCS) CONTAINING 'PENNA'"))
                                       .toInt());
  EXPECT_GT(lista().RecordCount(), 1);
}

TEST_F(Articoli, TheStockFiltersOfTheCompleteViewComeAndGo) {
  Articolo(9001, QStringLiteral("0009001"), QStringLiteral("Con giacenza"));
  Giacenza(9001, 9001, QStringLiteral("4"));
  Articolo(9002, QStringLiteral("0009002"), QStringLiteral("Senza giacenza"));
  Giacenza(9002, 9002, QStringLiteral("0"));
  Apri(1);
  const int tutti = lista().RecordCount();
  KvDialogScript::Next<TfmAbzArticoliFiltri>([](TfmAbzArticoliFiltri& d) {
    d.OkButton()->click();  // no choice: refused, the dialog stays
    d.rgSelezione[TfmAbzArticoliFiltri::GiacenzaZero]->setChecked(true);
    d.OkButton()->click();
  });
  fr().obFiltri->click();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Devi Selezionare un Filtro!")});
  EXPECT_TRUE(fr().FiltroAttivo());
  EXPECT_EQ(fr().obFiltri->text(), QStringLiteral("Tutti gli articoli"));
  EXPECT_TRUE(lista().Locate(QStringLiteral("IARTID"), 9002));
  EXPECT_FALSE(lista().Locate(QStringLiteral("IARTID"), 9001));
  fr().obFiltri->click();
  EXPECT_EQ(lista().RecordCount(), tutti);
  EXPECT_EQ(fr().obFiltri->text(), QStringLiteral("Filtri Articoli"));
}

TEST_F(Articoli, TheSuppliersPageAddsASupplierOfTheCurrentArticleForTheWorkingYear) {
  Articolo(9001, QStringLiteral("0009001"), QStringLiteral("Con fornitore"));
  Apri();
  ASSERT_TRUE(lista().Locate(QStringLiteral("IARTID"), 9001));
  TfrAbzFornitoriArt& f = *fm->frAbzFornitoriArt;
  EXPECT_EQ(fm->dmAbzArticoli->ArticoloFornitori(), 9001);
  f.xacInsert->trigger();
  scegli(*f.xleFornitore, QStringLiteral("Cartoleria Estense"));
  PuxTestInput::retype(f.xdeCodiceFornitore, QStringLiteral("CE-118"));
  f.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TARTBEN WHERE IARTID = 9001 AND IBENID = 1 AND "
                                  "SARTBENCODFORN = 'CE-118' AND IDWGID = 1 AND IARTBENESFIN = 2026 AND "
                                  "DARTBENULTIMOCAR IS NULL"))
                .toInt(),
            1);
  // The same supplier a second time is refused, nothing written.
  f.xacInsert->trigger();
  scegli(*f.xleFornitore, QStringLiteral("Cartoleria Estense"));
  f.xacPost->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{TdmAbzArticoli::TestoFornitoreDoppio()});
  f.xacCancel->trigger();
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM TARTBEN WHERE IARTID = 9001")).toInt(), 1);
  // A row already loaded from stays as it is.
  Exec(QStringLiteral("UPDATE TARTBEN SET DARTBENULTIMOCAR = '2026-02-01' WHERE IARTID = 9001"));
  ASSERT_TRUE(KvOk(f.Apri(9001)));
  EXPECT_TRUE(f.RigaCaricata());
  EXPECT_FALSE(f.xacEdit->isEnabled());
  EXPECT_FALSE(f.xacDelete->isEnabled());
}

TEST_F(Articoli, OpeningRemovesDuplicateSupplierRowsKeepingTheFirstByLastLoading) {
  Articolo(9001, QStringLiteral("0009001"), QStringLiteral("Con fornitore doppio"));
  Articolo(9002, QStringLiteral("0009002"), QStringLiteral("Con fornitori distinti"));
  auto riga = [this](int id, int art, const QString& ben, const QString& data) {
    Exec(QStringLiteral("INSERT INTO TARTBEN (IARTBENID, IARTID, IBENID, DARTBENULTIMOCAR) VALUES (%1, %2, %3, %4)")
             .arg(id)
             .arg(art)
             .arg(ben, data));
  };
  riga(9101, 9001, QStringLiteral("1"), QStringLiteral("'2026-03-01'"));
  riga(9102, 9001, QStringLiteral("1"), QStringLiteral("'2026-01-10'"));
  riga(9103, 9001, QStringLiteral("1"), QStringLiteral("'2026-02-01'"));
  riga(9104, 9001, QStringLiteral("2"), QStringLiteral("'2026-02-01'"));
  riga(9105, 9002, QStringLiteral("1"), QStringLiteral("NULL"));
  riga(9106, 9002, QStringLiteral("2"), QStringLiteral("NULL"));
  riga(9107, 9002, QStringLiteral("NULL"), QStringLiteral("NULL"));
  ASSERT_TRUE(TdmAbzArticoli::FornitoriDoppi().value_or(false));
  Apri();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Operazione Eseguita!")});
  EXPECT_FALSE(fr().acFornitoriDoppi->isEnabled());
  QStringList rimaste;
  for (int id = 9101; id <= 9107; ++id)
    if (Scalar(QStringLiteral("SELECT COUNT(*) FROM TARTBEN WHERE IARTBENID = %1").arg(id)).toInt())
      rimaste << QString::number(id);
  EXPECT_EQ(rimaste, QStringList({"9102", "9104", "9105", "9106"}));
  EXPECT_FALSE(TdmAbzArticoli::FornitoriDoppi().value_or(true));
  KvMessageScript::Clear();
  Apri();  // nothing left to remove: nothing said
  EXPECT_EQ(KvMessageScript::Texts(), QStringList());
}

}  // namespace
