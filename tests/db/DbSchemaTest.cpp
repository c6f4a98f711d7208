#include "DbSchema.h"
#include "KvTestResult.h"
#include "KvConnection.h"
#include "PuxTestDb.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>

namespace {

struct PuxRun {
  int code;
  QString out, err;
};

PuxRun pux(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(PUX_BINARY), args);
  p.waitForFinished(300000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST(DbSchema, DefinesTheObjectsEveryWindowRelies) {
  QSet<QString> names;
  for (const DbSchema::Object& o : DbSchema::RequiredObjects()) names.insert(o.name);
  for (const char* name :
       {"VDOW_DATAOWNER", "TANF_ANNIFINANZ", "TDWGANF", "PYSETGETID", "PYGETSERVERTIMESTAMP", "TYXAR_XMLARCHIVIO",
        "TPRE_PREVENTIVI", "TPREART", "TPREBEN", "TPRECDF", "TOFF_OFFERTE", "TOFFART", "TCRC_CRITERICOMP",
        "TDEC_DETTCRITERI", "TCCD_CIGCUPDURC", "TBEN_BENEFICIARI", "TART_ARTICOLI", "TGIA_GIACENZE",
        "PABZ_UPDGIACENZE", "TAVC_AVCP", "TAAG_AVCPAGGIUDIC", "TSCR_SCELTACONTR", "VCOMCAP", "VSED_SEDI",
        "PFEN_MODPAGAM", "TMOV_MOVIMENTI", "TIDC_INVDOC", "TOMG_ORDINIMAGAZ", "TRIC_RICHIESTAESP", "TYRPC_RPTCUSTOM"})
    EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
  EXPECT_GE(names.size(), 90);
}

TEST(DbCommandLine, CreateWithDemoThenCheckPasses) {
  const KvDatabaseTarget t = PuxTestDb::UnusedTarget(QStringLiteral("cli"));
  const PuxRun made = pux({QStringLiteral("db"), QStringLiteral("create"), t.database, QStringLiteral("--demo")});
  ASSERT_EQ(made.code, 0) << made.err.toStdString();
  EXPECT_TRUE(made.out.contains(QStringLiteral("Database creato"))) << made.out.toStdString();
  const PuxRun checked = pux({QStringLiteral("db"), QStringLiteral("check"), t.database});
  EXPECT_EQ(checked.code, 0) << checked.out.toStdString() << checked.err.toStdString();

  // A second create never overwrites the database.
  const PuxRun again = pux({QStringLiteral("db"), QStringLiteral("create"), t.database});
  EXPECT_EQ(again.code, 1);
  EXPECT_TRUE(again.err.contains(QStringLiteral("esiste già"))) << again.err.toStdString();
  EXPECT_EQ(pux({QStringLiteral("db"), QStringLiteral("check"), t.database}).code, 0);
  PuxTestDb::Remove(t);
}

TEST(DbCommandLine, CheckOfAnEmbeddedFileInUseByAnotherProcessSaysSo) {
  if (PuxTestDb::ServerMode()) GTEST_SKIP() << "a server shares its databases";
  const KvDatabaseTarget t = PuxTestDb::NewDatabase(PuxTestDb::Content::Schema);
  ASSERT_TRUE(KvOk(TdmKvConnection::OpenConnection(t)));
  const PuxRun other = pux({QStringLiteral("db"), QStringLiteral("check"), t.database});
  EXPECT_EQ(other.code, 1);
  EXPECT_TRUE(other.err.contains(QStringLiteral("già in uso"))) << other.err.toStdString();
  TdmKvConnection::CloseConnection();
  PuxTestDb::Remove(t);
}

TEST(DbCommandLine, CheckListsEveryMissingObject) {
  const KvDatabaseTarget t = PuxTestDb::NewDatabase(PuxTestDb::Content::Schema);
  ASSERT_TRUE(KvOk(TdmKvConnection::OpenConnection(t)));
  QSqlQuery q(qqoKvGlobConn());
  ASSERT_TRUE(q.exec(QStringLiteral("DROP VIEW VSED_SEDI")));
  ASSERT_TRUE(q.exec(QStringLiteral("DROP PROCEDURE PYGETSERVERTIMESTAMP")));
  ASSERT_TRUE(q.exec(QStringLiteral("DROP TABLE TYXAR_XMLARCHIVIO")));
  TdmKvConnection::CloseConnection();

  const PuxRun checked = pux({QStringLiteral("db"), QStringLiteral("check"), t.database});
  EXPECT_EQ(checked.code, 1);
  for (const char* line : {"Manca la vista VSED_SEDI", "Manca la procedura PYGETSERVERTIMESTAMP",
                           "Manca la tabella TYXAR_XMLARCHIVIO"})
    EXPECT_TRUE(checked.out.contains(QString::fromLatin1(line))) << checked.out.toStdString();
  PuxTestDb::Remove(t);
}

TEST(DbCommandLine, BadInputGivesOneClearMessageAndCreatesNothing) {
  struct Case {
    QStringList args;
    int code;
    const char* message;
  } cases[] = {
      {{QStringLiteral("--nonsense")}, 2, "Opzione non riconosciuta"},
      {{QStringLiteral("db"), QStringLiteral("create")}, 2, "Indicare il database"},
      {{QStringLiteral("db"), QStringLiteral("drop"), QStringLiteral("x.fdb")}, 2, "Comando sconosciuto"},
      {{QStringLiteral("db"), QStringLiteral("check"), QStringLiteral("/nonexistent/dir/x.fdb")}, 1, "non esiste"},
      {{QStringLiteral("db"), QStringLiteral("create"), QStringLiteral("/proc/pux/x.fdb")}, 1, "Impossibile creare"},
  };
  for (const Case& c : cases) {
    const PuxRun r = pux(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/pux/x.fdb")));
  const PuxRun help = pux({QStringLiteral("--help")});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.contains(QStringLiteral("pux db create DATABASE [--demo]")));
}

TEST(DbSchema, InterruptedCreationLeavesNoDatabaseBehind) {
  const KvDatabaseTarget t = PuxTestDb::UnusedTarget(QStringLiteral("half"));
  int calls = 0;
  const QString error = DbSchema::Create(t, true, [&](int done, int, const QString&) {
                          ++calls;
                          return done < 2;  // stop after the second script
                        }).error();
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(error.contains(QStringLiteral("annullata"))) << error.toStdString();
  // The name is free again: the half-made database was dropped.
  ASSERT_TRUE(KvOk(DbSchema::Create(t, false)));
  PuxTestDb::Remove(t);
}

}  // namespace
