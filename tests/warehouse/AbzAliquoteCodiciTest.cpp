#include "AbzFAliquoteIVA.h"
#include "AbzFArticoli.h"
#include "AbzFCodMerce.h"
#include "AbzTabelleFixture.h"
#include "KvDbControls.h"
#include "PuxContesto.h"
#include "TKvDBGrid.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QSplitter>

// The tables module, the VAT rates and the product codes with their details,
// opened from the side bar as a clerk does and checked in the database.

TEST_F(Tabelle, TheModuleIsMadeOnceAndRefusedWhenTheDatabaseCannotServeIt) {
  ASSERT_TRUE(TdmAbzTabelle::Apri());
  TdmAbzTabelle* primo = dmAbzTabelle();
  ASSERT_NE(primo, nullptr);
  EXPECT_TRUE(TdmAbzTabelle::Apri());
  EXPECT_EQ(dmAbzTabelle(), primo);
  TdmAbzTabelle::Libera();
  EXPECT_EQ(dmAbzTabelle(), nullptr);

  // A database without one of the tables: no module, and no half-made one left.
  Exec(QStringLiteral("DROP TABLE TCLC_COLLOCAZIONI"));
  EXPECT_FALSE(TdmAbzTabelle::Apri());
  EXPECT_EQ(dmAbzTabelle(), nullptr);
}

// Every command of the tables opens its window only when the module opens;
// otherwise the clerk reads why and no window appears.
TEST_F(Tabelle, TableCommandsReportTheModuleThatCannotOpen) {
  Exec(QStringLiteral("DROP TABLE TCLC_COLLOCAZIONI"));
  Programma p;
  for (const char* comando :
       {"xafAliquote", "xafCodMerceolog", "xafUniMisura", "xafTipoDestinazioni", "xafCondFornitura", "xafArticoli"}) {
    SCOPED_TRACE(comando);
    KvMessageScript::Clear();
    EXPECT_FALSE(p.registro.Run(QString::fromLatin1(comando)));
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Connessione al modulo fallita")});
    ASSERT_EQ(KvMessageScript::Messages().size(), 1);
    EXPECT_EQ(KvMessageScript::Messages()[0].type, TMsgDlgType::mtError);
    EXPECT_TRUE(p.main.MdiChildren().isEmpty());
  }
}

// The articles window takes the whole working area, as the tables do: its
// stock page below the list needs the room.
TEST_F(Tabelle, ArticlesCommandOpensItsWindowMaximized) {
  Contesto.DwgId = 1;
  Contesto.EsercizioFin = 2026;
  Programma p;
  auto* w = p.Apri<TfmAbzArticoli>("xafArticoli");
  ASSERT_NE(w, nullptr) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_TRUE(w->SubWindow()->isMaximized());
}

// A table window opened by name, without its command's check, tells the
// same and does not open.
TEST_F(Tabelle, TableWindowWithoutItsModuleDoesNotOpen) {
  Exec(QStringLiteral("DROP TABLE TCLC_COLLOCAZIONI"));
  Programma p;
  const KvFormResult r = KvWindowFactory::Create(QStringLiteral("TfmAbzCollocazioni"), &p.main);
  EXPECT_FALSE(r.opened);
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Connessione al modulo fallita")});
  EXPECT_TRUE(p.main.MdiChildren().isEmpty());
}

TEST_F(Tabelle, VatRatesWindowListsEditsAndClosesItsRates) {
  Programma p;
  auto* w = p.Apri<TfmAbzAliquoteIVA>("xafAliquote");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Aliquote IVA"));
  EXPECT_TRUE(w->SubWindow()->isMaximized());
  TfrAbzAliquoteIVA& f = *w->frAliquoteIVA;
  TKvQueryCollection* aliquote = dmAbzTabelle()->xqcAliquoteIVA;
  ASSERT_TRUE(aliquote->Active());
  EXPECT_EQ(aliquote->RecordCount(), 5);
  EXPECT_EQ(titoliVisibili(*f.grFrame), (QStringList{"Codice", "Descrizione", " % IVA"}));
  EXPECT_EQ(f.grFrame->model()->index(0, 2).data().toString(), QStringLiteral("22,00"));
  // Code and description sort both ways; the rate does not.
  EXPECT_TRUE(f.grFrame->SortByColumn(0));
  EXPECT_TRUE(f.grFrame->SortByColumn(1));
  EXPECT_FALSE(f.grFrame->SortByColumn(2));

  f.xacInsert->trigger();
  PuxTestInput::retype(f.xdeCodice, QStringLiteral("8"));
  PuxTestInput::retype(f.xdeDescrizione, QStringLiteral("Aliquota di prova"));
  PuxTestInput::retype(f.xdnIva, QStringLiteral("8,5"));
  f.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT CAST(FALVIVA AS VARCHAR(40)) || ' ' || SALVDESCL FROM TALV_ALIQUOTEIVA WHERE SALVDESCS = "
                   "'8'")
                .toString(),
            QStringLiteral("8.500000 Aliquota di prova"));
  // A delete asks first; "No" keeps the rate.
  KvMessageScript::Answer(mrNo);
  f.xacDelete->trigger();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{QStringLiteral("Cancellare il record?")});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TALV_ALIQUOTEIVA WHERE SALVDESCS = '8'").toInt(), 1);
  KvMessageScript::Answer(mrYes);
  f.xacDelete->trigger();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TALV_ALIQUOTEIVA WHERE SALVDESCS = '8'").toInt(), 0);

  // Closing reads fresh rows next time.
  ASSERT_TRUE(w->CloseWindow());
  EXPECT_FALSE(aliquote->Active());
}

TEST_F(Tabelle, VatRateThatIsNotARateIsRefusedNamingTheField) {
  const struct {
    const char* digitato;
    const char* messaggio;
  } casi[] = {
      {"dieci", "Attenzione!\nIl valore del campo 'IVA' non è un numero valido."},
      {"22,555", "Attenzione!\nIl campo 'IVA' ammette al massimo 2 decimali."},
      {"1.000.000.000.000", "Attenzione!\nIl valore del campo 'IVA' è troppo grande."},
  };
  ASSERT_TRUE(TdmAbzTabelle::Apri());
  TfrAbzAliquoteIVA f(*dmAbzTabelle());
  ASSERT_TRUE(dmAbzTabelle()->xqcAliquoteIVA->Open());
  for (const auto& c : casi) {
    SCOPED_TRACE(c.digitato);
    f.xacInsert->trigger();
    PuxTestInput::retype(f.xdeCodice, QStringLiteral("X"));
    PuxTestInput::retype(f.xdnIva, QString::fromUtf8(c.digitato));
    KvMessageScript::Clear();
    f.xacPost->trigger();
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{QString::fromUtf8(c.messaggio)});
    EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
    f.xacCancel->trigger();
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TALV_ALIQUOTEIVA").toInt(), 5);
}

TEST_F(Tabelle, ProductCodesCarryTheirOriginAndTheirDetailsFollowThem) {
  Programma p;
  auto* w = p.Apri<TfmAbzCodMerce>("xafCodMerceolog");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Codici Merceologici"));
  TdmAbzTabelle& dm = *dmAbzTabelle();
  TfrAbzCodMerce& codici = *w->frCodMerce;
  TfrAbzDettCodMerc& dettagli = *w->frDettCodMerc;
  EXPECT_EQ(titoliVisibili(*codici.grFrame), (QStringList{"Codice", "Descrizione"}));
  EXPECT_EQ(titoliVisibili(*dettagli.grFrame), (QStringList{"Codice", "Descrizione"}));
  // No statement deletes them: the action is not there.
  EXPECT_FALSE(codici.xacDelete->isVisible());
  EXPECT_FALSE(dettagli.xacDelete->isVisible());

  // The details shown are those of the current code, whichever it is.
  ASSERT_TRUE(dm.xqcCodMerceologici->Locate(QStringLiteral("SMERCODICE"), QStringLiteral("PUL")));
  EXPECT_EQ(colonna(*dm.xqcDettCodMerc, QStringLiteral("SDCMDESCS")), (QStringList{"DET", "IGI", "ATT"}));
  ASSERT_TRUE(dm.xqcCodMerceologici->Locate(QStringLiteral("SMERCODICE"), QStringLiteral("LIB")));
  EXPECT_EQ(colonna(*dm.xqcDettCodMerc, QStringLiteral("SDCMDESCS")), QStringList{"DIZ"});

  // A new code, and a detail added while the code is still being typed:
  // the code is stored first, marked as entered here, and the detail is its.
  codici.xacInsert->trigger();
  PuxTestInput::retype(codici.xdeCodice, QStringLiteral("ARR"));
  PuxTestInput::retype(codici.xdeDescrizione, QStringLiteral("Arredi"));
  dettagli.xacInsert->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  ASSERT_EQ(dettagli.xdsMain->State(), KvState::Insert);
  PuxTestInput::retype(dettagli.xdeCodice, QStringLiteral("SED"));
  PuxTestInput::retype(dettagli.xdeDescrizione, QStringLiteral("Sedie"));
  dettagli.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT LMERPRG || ' ' || SMERDESC FROM TMER_CODICIMERCEOL WHERE SMERCODICE = 'ARR'").toString(),
            QStringLiteral("M Arredi"));
  EXPECT_EQ(Scalar("SELECT M.SMERCODICE FROM TDCM_DETTCODMERC D JOIN TMER_CODICIMERCEOL M ON M.IMERID = D.IMERID "
                   "WHERE D.SDCMDESCS = 'SED'")
                .toString(),
            QStringLiteral("ARR"));

  // An edited code keeps its origin untouched and its id.
  ASSERT_TRUE(dm.xqcCodMerceologici->Locate(QStringLiteral("SMERCODICE"), QStringLiteral("LIB")));
  codici.xacEdit->trigger();
  PuxTestInput::retype(codici.xdeDescrizione, QStringLiteral("Libri"));
  codici.xacPost->trigger();
  EXPECT_EQ(Scalar("SELECT SMERDESC FROM TMER_CODICIMERCEOL WHERE IMERID = 6").toString(), QStringLiteral("Libri"));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TMER_CODICIMERCEOL").toInt(), 7);

  // Moving to another code with a detail being typed stores the detail
  // under the code it was typed for, before the details change.
  ASSERT_TRUE(dm.xqcCodMerceologici->Locate(QStringLiteral("SMERCODICE"), QStringLiteral("CAR")));
  dettagli.xacInsert->trigger();
  PuxTestInput::retype(dettagli.xdeCodice, QStringLiteral("BUS"));
  codici.xacNext->trigger();
  EXPECT_EQ(dm.xqcCodMerceologici->FieldValue(QStringLiteral("SMERCODICE")).toString(), QStringLiteral("PUL"));
  EXPECT_EQ(Scalar("SELECT IMERID FROM TDCM_DETTCODMERC WHERE SDCMDESCS = 'BUS'").toInt(), 2);
  EXPECT_EQ(colonna(*dm.xqcDettCodMerc, QStringLiteral("SDCMDESCS")), (QStringList{"DET", "IGI", "ATT"}));

  ASSERT_TRUE(w->CloseWindow());
  EXPECT_FALSE(dm.xqcCodMerceologici->Active());
  EXPECT_FALSE(dm.xqcDettCodMerc->Active());
}

// A detail saved through the list alone (not the window) still gets its code.
TEST_F(Tabelle, DetailInsertedUnderAProductCodeStoresThatCode) {
  ASSERT_TRUE(TdmAbzTabelle::Apri());
  TdmAbzTabelle& dm = *dmAbzTabelle();
  ASSERT_TRUE(dm.xqcCodMerceologici->Open());
  ASSERT_TRUE(dm.xqcCodMerceologici->Locate(QStringLiteral("IMERID"), 4));
  ASSERT_TRUE(dm.xqcDettCodMerc->Append());
  dm.xqcDettCodMerc->SetFieldValue(QStringLiteral("SDCMDESCS"), QStringLiteral("CAV"));
  ASSERT_TRUE(dm.xqcDettCodMerc->Post());
  EXPECT_EQ(Scalar("SELECT IMERID FROM TDCM_DETTCODMERC WHERE SDCMDESCS = 'CAV'").toInt(), 4);

  // With the code not stored yet the detail is refused, not left without one.
  ASSERT_TRUE(dm.xqcCodMerceologici->Append());
  ASSERT_TRUE(dm.xqcDettCodMerc->Append());
  dm.xqcDettCodMerc->SetFieldValue(QStringLiteral("SDCMDESCS"), QStringLiteral("ORF"));
  EXPECT_FALSE(dm.xqcDettCodMerc->Post());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TDCM_DETTCODMERC WHERE SDCMDESCS = 'ORF'").toInt(), 0);
}
