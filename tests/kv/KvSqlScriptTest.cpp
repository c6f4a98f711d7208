#include "KvSqlScript.h"

#include <gtest/gtest.h>

TEST(KvSqlScript, SplitsStatementsHonouringTermLiteralsAndComments) {
  const QString script = QStringLiteral(
      "-- header comment; not a statement\n"
      "CREATE TABLE A (X INTEGER); /* block; comment */\n"
      "INSERT INTO A VALUES (1);\n"
      "INSERT INTO T (S) VALUES ('semi;colon and ''quote''');\n"
      "COMMIT;\n"
      "SET TERM ^ ;\n"
      "CREATE PROCEDURE P AS\nBEGIN\n  X = 1;\nEND^\n"
      "SET TERM ; ^\n"
      "commit work;\n"
      "SELECT \"Odd;Name\" FROM A;\n"
      "UPDATE A SET X = 2");
  const QStringList s = KvSplitSqlScript(script);
  ASSERT_EQ(s.size(), 6) << s.join(QStringLiteral(" | ")).toStdString();
  EXPECT_TRUE(s[0].endsWith(QStringLiteral("CREATE TABLE A (X INTEGER)")));
  EXPECT_EQ(s[1], QStringLiteral("/* block; comment */\nINSERT INTO A VALUES (1)"));
  EXPECT_EQ(s[2], QStringLiteral("INSERT INTO T (S) VALUES ('semi;colon and ''quote''')"));
  EXPECT_EQ(s[3], QStringLiteral("CREATE PROCEDURE P AS\nBEGIN\n  X = 1;\nEND"));
  EXPECT_EQ(s[4], QStringLiteral("SELECT \"Odd;Name\" FROM A"));
  EXPECT_EQ(s[5], QStringLiteral("UPDATE A SET X = 2"));
}

TEST(KvSqlScript, EmptyAndCommentOnlyScriptsHaveNoStatements) {
  EXPECT_TRUE(KvSplitSqlScript(QString()).isEmpty());
  EXPECT_TRUE(KvSplitSqlScript(QStringLiteral("-- nothing\n/* at all */\n;\n")).isEmpty());
}

TEST(KvSqlScript, LeadingCommentsOfBothKindsAreStripped) {
  EXPECT_EQ(KvStripLeadingComments(QStringLiteral("-- a\n /* b\n c */\n-- d\nCREATE TABLE T (X INTEGER) -- e")),
            QStringLiteral("CREATE TABLE T (X INTEGER) -- e"));
  EXPECT_EQ(KvStripLeadingComments(QStringLiteral("SELECT 1")), QStringLiteral("SELECT 1"));
}
