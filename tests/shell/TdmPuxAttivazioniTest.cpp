#include "KvMessageDlg.h"
#include "PuxContesto.h"
#include "PuxServizi.h"
#include "PuxTestDb.h"
#include "TdmPuxAttivazioni.h"

#include <QMenuBar>
#include <QToolBox>
#include <QWidget>

#include <memory>

namespace {

// The registry with a stand-in for the window factory that records what
// was opened and the arguments each command hands its window.
class Registro : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    KvMessageScript::Begin();
    reg.FormOpener = [this](TKvAttForm& f) -> KvResult<QWidget*> {
      auto w = std::make_unique<QWidget>();
      w->setObjectName(f.ClasseForm);
      if (f.OnInizializedForm) f.OnInizializedForm(f, w.get());
      opened.push_back(std::move(w));
      args.push_back(f.Args.value_or(KvFormArgs{}));
      return opened.back().get();
    };
    reg.MostraParametri = [this] {
      ++parametri;
      return true;
    };
  }
  void TearDown() override {
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }
  QStringList Aperte() const {
    QStringList out;
    for (const auto& w : opened) out << w->objectName();
    return out;
  }

  TdmPuxAttivazioni reg;
  std::vector<std::unique_ptr<QWidget>> opened;
  std::vector<KvFormArgs> args;
  int parametri = 0;
};

TEST_F(Registro, PagesAndCommandsAreListedInOrderWithTheirCaptions) {
  QStringList pages;
  for (const TKvApgPage* p : reg.Pages()) pages << p->Caption;
  EXPECT_EQ(pages, QStringList({"Tabelle", "Archivi di Base", "Preventivi / Offerte", "AVCP", "Stampe", "Strumenti"}));
  QStringList tabelle;
  for (TKvAttCommand* c : reg.Commands(QStringLiteral("xpgTabelle"))) tabelle << c->Caption;
  EXPECT_EQ(tabelle, QStringList({"Articoli", "Criteri di Comparazione", "Aliquote IVA", "Codici Merceologici",
                                  "Unità di Misura", "Tipo Destinazioni", "Condizioni di Fornitura"}));
  QStringList strumenti;
  for (TKvAttCommand* c : reg.Commands(QStringLiteral("xpgStrumenti"))) strumenti << c->Caption;
  EXPECT_EQ(strumenti, QStringList({"Parametri", "Firme", "Nuovo Anno", "Parametri SMTP"}));

  QToolBox bar;
  QMenuBar menu;
  reg.SetContainer(&bar);
  reg.SetMenuBar(&menu);
  reg.Execute();
  EXPECT_EQ(bar.count(), 6);
  EXPECT_EQ(bar.itemText(2), QStringLiteral("Preventivi / Offerte"));
  // The news command is in no page: neither the bar nor the menu shows it.
  EXPECT_EQ(menu.findChild<QAction*>(QStringLiteral("xasNotizie")), nullptr);
  ASSERT_NE(menu.findChild<QAction*>(QStringLiteral("xafPreventivi")), nullptr);
  menu.findChild<QAction*>(QStringLiteral("xafPreventivi"))->trigger();
  EXPECT_EQ(Aperte(), QStringList({"TfmPuxPreventivi"}));
}

TEST_F(Registro, CodeArchivesOpenTheSameWindowEachInItsKind) {
  for (const char* name : {"xafCig", "xafCup", "xafDurc"}) ASSERT_TRUE(reg.Run(QString::fromLatin1(name)));
  ASSERT_EQ(opened.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(opened[i]->objectName(), QStringLiteral("TfmFenCCD_archivi"));
    EXPECT_EQ(args[i].tipo, i + 1);
  }
}

TEST_F(Registro, ParametersAreRefusedWhileAWindowIsOpen) {
  bool windowOpen = true;
  reg.FinestreAperte = [&] { return windowOpen; };
  EXPECT_FALSE(reg.Run(QStringLiteral("xacParametri")));
  EXPECT_EQ(parametri, 0);
  EXPECT_EQ(KvMessageScript::Texts(),
            QStringList({"Attenzione!\nPer modificare i parametri è necessario chiudere tutte le finestre attive."}));
  windowOpen = false;
  Contesto.Reset();
  EXPECT_TRUE(reg.Run(QStringLiteral("xacParametri")));
  EXPECT_EQ(parametri, 1);
  EXPECT_EQ(Contesto.DwgId, 1);  // context read again after the parameters
  EXPECT_TRUE(Contesto.InizioEsercizio.isValid());
}

TEST_F(Registro, ExportsWithoutParametersOpenTheParameterWindowInstead) {
  Exec(QStringLiteral("DELETE FROM TYPAR_PARAMETRI WHERE SPARCHIAVE = 'KVUP_ANFID'"));
  for (const char* name : {"xafExportXml", "xafInsIntDati"}) {
    KvMessageScript::Clear();
    EXPECT_FALSE(reg.Run(QString::fromLatin1(name)));
    EXPECT_EQ(KvMessageScript::Texts(),
              QStringList({"Prima di eseguire questa operazione bisogna impostare i parametri"}));
  }
  EXPECT_EQ(parametri, 2);
  EXPECT_TRUE(opened.empty());

  Exec(
      QStringLiteral("INSERT INTO TYPAR_PARAMETRI (SPARAPPL, SPARCHIAVE, SPARUTENTE, SPARVALORE) VALUES ('KV', "
                     "'KVUP_ANFID', '', '125')"));
  ASSERT_TRUE(reg.Run(QStringLiteral("xafExportPdf")));
  EXPECT_EQ(args.back().tipo, 0);
  EXPECT_EQ(reg.FinestraExportCorrente.data(), opened.back().get());
  ASSERT_TRUE(reg.Run(QStringLiteral("xafExportXml")));
  EXPECT_EQ(args.back().tipo, 1);
  EXPECT_NE(reg.FinestraExportCorrente.data(), opened.back().get());  // only PDF and spreadsheet are remembered
}

TEST_F(Registro, ArticlesAskTheViewModeAndACancelOpensNothing) {
  Contesto.VistaArticoli = 1;
  reg.SceltaVistaArticoli = [] { return -1; };
  EXPECT_FALSE(reg.Run(QStringLiteral("xafArticoli")));
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(Contesto.VistaArticoli, 1);
  reg.SceltaVistaArticoli = [] { return 0; };
  EXPECT_TRUE(reg.Run(QStringLiteral("xafArticoli")));
  EXPECT_EQ(Contesto.VistaArticoli, 0);
  EXPECT_EQ(Aperte(), QStringList({"TfmAbzArticoli"}));
}

TEST_F(Registro, ProcedureSideWindowsForgetTheArticleSearchFilters) {
  reg.SceltaVistaArticoli = [] { return 0; };
  for (const char* name : {"xafPreventivi", "xafOfferte", "xafProspetto", "xafCriteri", "xafParmSMTP", "xafArticoli"}) {
    for (int& f : PuxFiltriArticoli) f = 2;
    (void)reg.Run(QString::fromLatin1(name));
    const int atteso = QLatin1String(name) == QLatin1String("xafArticoli") ? 2 : 0;
    for (int f : PuxFiltriArticoli) EXPECT_EQ(f, atteso) << name;
  }
  for (int& f : PuxFiltriArticoli) f = 0;
}

TEST_F(Registro, SignaturesNeedAValidInstituteAndYear) {
  Contesto.DwgId = -1;
  EXPECT_FALSE(reg.Run(QStringLiteral("xafFirme")));
  ASSERT_EQ(KvMessageScript::Messages().size(), 1);
  EXPECT_TRUE(KvMessageScript::Texts().first().contains(QStringLiteral("risultano non settati")));
  Contesto.DwgId = 1;
  Contesto.EsercizioFin = 2025;
  EXPECT_TRUE(reg.Run(QStringLiteral("xafFirme")));
  EXPECT_EQ(args.back().larghezzaPrimaColonna, 320);
}

TEST_F(Registro, AMissingWindowIsReportedNotAFailure) {
  reg.FormOpener = nullptr;
  EXPECT_FALSE(reg.Run(QStringLiteral("xafOfferte")));
  EXPECT_EQ(KvMessageScript::Texts(), QStringList({"Offerte: funzione non ancora disponibile."}));
}

}  // namespace
