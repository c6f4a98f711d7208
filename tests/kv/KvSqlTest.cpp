#include "KvConnection.h"
#include "KvSql.h"
#include "KvTestResult.h"
#include "KvTransaction.h"
#include "PuxTestDb.h"

#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>

#include <string_view>

namespace {

class KvSqlTest : public PuxDbTest {
 protected:
  PuxTestDb::Content content() const override { return PuxTestDb::Content::Schema; }

  void SetUp() override {
    PuxDbTest::SetUp();
    if (HasFatalFailure()) return;
    Exec(QStringLiteral("CREATE TABLE KVT_NUM (IID INTEGER NOT NULL PRIMARY KEY, IVAL INTEGER, SNOTE VARCHAR(5))"));
    Exec(QStringLiteral("INSERT INTO KVT_NUM (IID, IVAL) VALUES (1, 4)"));
    Exec(QStringLiteral("INSERT INTO KVT_NUM (IID, IVAL) VALUES (2, 2)"));
    Exec(QStringLiteral("INSERT INTO KVT_NUM (IID, IVAL) VALUES (3, 1)"));
  }
};

TEST_F(KvSqlTest, RunsStatementsWithNamedParametersBoundEverywhere) {
  ASSERT_TRUE(KvOk(KvSql::Exec(QStringLiteral("UPDATE KVT_NUM SET IVAL = :V + 1 WHERE IID = :ID OR IVAL = :V"),
                               {{QStringLiteral("V"), 1}, {QStringLiteral(":ID"), 2}})));
  const KvResult<QVariant> sum =
      KvSql::Scalar(QStringLiteral("SELECT SUM(IVAL) FROM KVT_NUM WHERE IID >= :FROM"), {{QStringLiteral("FROM"), 1}});
  ASSERT_TRUE(KvOk(sum));
  EXPECT_EQ(sum->toInt(), 4 + 2 + 2);
  // No row: a null value, not a failure.
  const KvResult<QVariant> none = KvSql::Scalar(QStringLiteral("SELECT IVAL FROM KVT_NUM WHERE IID = 99"));
  ASSERT_TRUE(KvOk(none));
  EXPECT_TRUE(none->isNull());
  QList<int> ids;
  ASSERT_TRUE(KvOk(KvSql::Rows(QStringLiteral("SELECT IID FROM KVT_NUM ORDER BY IID DESC"), {},
                               [&](const QSqlQuery& q) { ids << q.value(0).toInt(); })));
  EXPECT_EQ(ids, QList<int>({3, 2, 1}));
}

// Each step that can fail is checked: the prepare, the execute, and the rows
// read after them; the text is Italian and the engine's own text the detail.
TEST_F(KvSqlTest, FailuresOfPrepareExecuteAndFetchCarryTheEnginesText) {
  const struct {
    const char* what;
    const char* sql;
    const char* engine;  // part of the engine's text
  } cases[] = {
      {"prepare", "SELECT NOPE FROM KVT_NUM", "NOPE"},
      {"execute", "INSERT INTO KVT_NUM (IID, IVAL) VALUES (1, 0)", "KVT_NUM"},
      {"fetch", "SELECT 10 / (IVAL - 2) FROM KVT_NUM", "divide by zero"},  // the second row
  };
  for (const auto& c : cases) {
    int rows = 0;
    const KvStatus s = KvSql::Rows(QString::fromUtf8(c.sql), {}, [&](const QSqlQuery&) { ++rows; });
    EXPECT_FALSE(s) << c.what;
    EXPECT_EQ(s.error(), QStringLiteral("Operazione sul database non riuscita.")) << c.what;
    EXPECT_TRUE(s.detail().contains(QString::fromUtf8(c.engine), Qt::CaseInsensitive))
        << c.what << ": " << s.detail().toStdString();
    // The engine's words alone, without the driver's English around them.
    QSqlQuery q(qqoKvGlobConn());
    q.setForwardOnly(true);
    if (q.prepare(QString::fromUtf8(c.sql)) && q.exec())
      while (q.next()) {
      }
    EXPECT_EQ(s.detail(), q.lastError().databaseText().trimmed()) << c.what;
    EXPECT_EQ(KvSql::Scalar(QString::fromUtf8(c.sql)).ok(), std::string_view(c.what) == "fetch") << c.what;
  }
  EXPECT_FALSE(KvSql::Exec(QStringLiteral("UPDATE KVT_NUM SET SNOTE = 'troppo lungo'")));
}

TEST_F(KvSqlTest, ATransactionKeepsAllOrNothing) {
  const KvStatus failed = KvInTransaction(qqoKvGlobConn(), [] {
    if (KvStatus s = KvSql::Exec(QStringLiteral("DELETE FROM KVT_NUM WHERE IID = 1")); !s) return s;
    return KvSql::Exec(QStringLiteral("INSERT INTO KVT_NUM (IID) VALUES (2)"));
  });
  EXPECT_FALSE(failed);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM KVT_NUM")).toInt(), 3);
  ASSERT_TRUE(KvOk(KvInTransaction(qqoKvGlobConn(),
                                   [] { return KvSql::Exec(QStringLiteral("DELETE FROM KVT_NUM WHERE IID = 1")); })));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM KVT_NUM")).toInt(), 2);
}

}  // namespace
