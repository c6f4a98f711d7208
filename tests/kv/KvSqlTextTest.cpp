#include "KvSqlText.h"
#include "PuxTestDb.h"

#include <gtest/gtest.h>

namespace {

// One table for the reading every user of SQL text shares: what is blanked,
// which parameters are found, and the positional statement they give.
TEST(KvSqlText, FindsParametersOnlyInCodeAndMasksLiteralsNamesAndComments) {
  const struct {
    const char* text;
    const char* masked;
    const char* names;  // comma-separated, upper case
    const char* positional;
  } cases[] = {
      {"SELECT A FROM T WHERE ID = :id", "SELECT A FROM T WHERE ID = :id", "ID", "SELECT A FROM T WHERE ID = ?"},
      {"X = :A OR Y = :a_1 OR Z = :A", "X = :A OR Y = :a_1 OR Z = :A", "A,A_1,A", "X = ? OR Y = ? OR Z = ?"},
      {"':NO' || :YES", "'xxx' || :YES", "YES", "':NO' || ?"},
      {"'it''s :NO' || :YES", "'xxxxxxxxx' || :YES", "YES", "'it''s :NO' || ?"},
      {"\"Col :NO\" = :YES", "\"xxxxxxx\" = :YES", "YES", "\"Col :NO\" = ?"},
      {"A -- :NO\n= :YES", "A       \n= :YES", "YES", "A -- :NO\n= ?"},
      {"A /* :NO\n */ = :YES", "A            = :YES", "YES", "A /* :NO\n */ = ?"},
      {"CAST(X AS T)::INT, :P$1", "CAST(X AS T)::INT, :P$1", "P$1", "CAST(X AS T)::INT, ?"},
      {"TIME '10:30', : X, :9", "TIME 'xxxxx', : X, :9", "", "TIME '10:30', : X, :9"},
      {"'unclosed :NO", "'xxxxxxxxxxxx", "", "'unclosed :NO"},
      {"A /* unclosed :NO", "A                ", "", "A /* unclosed :NO"},
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf8(c.text);
    const QString masked = QString::fromUtf8(c.masked);
    // Comments are blanked whole, the code before them kept.
    EXPECT_EQ(KvSqlText::Masked(text).trimmed(), masked.trimmed()) << c.text;
    EXPECT_EQ(KvSqlText::Masked(text).size(), text.size()) << c.text;
    QStringList names;
    for (const KvSqlText::Param& p : KvSqlText::Params(text)) {
      names << p.name;
      EXPECT_EQ(text.mid(p.position, p.length).toUpper(), QLatin1Char(':') + p.name) << c.text;
    }
    EXPECT_EQ(names.join(QLatin1Char(',')), QString::fromUtf8(c.names)) << c.text;
    const KvSqlText::Positional pos = KvSqlText::ToPositional(text);
    EXPECT_EQ(pos.sql, QString::fromUtf8(c.positional)) << c.text;
    EXPECT_EQ(pos.names, names) << c.text;
  }
}

TEST(KvSqlText, WordsAndNamesAreWholeAndCaseInsensitive) {
  const QString m = KvSqlText::Masked(QStringLiteral("SELECT FROMAGE FROM T_FROM"));
  EXPECT_TRUE(KvSqlText::WordAt(m, 0, QStringLiteral("select")));
  EXPECT_FALSE(KvSqlText::WordAt(m, 7, QStringLiteral("FROM")));  // FROMAGE
  EXPECT_TRUE(KvSqlText::WordAt(m, 15, QStringLiteral("FROM")));
  EXPECT_FALSE(KvSqlText::WordAt(m, 22, QStringLiteral("FROM")));  // T_FROM
  const struct {
    const char* name;
    const char* norm;
  } names[] = {{"  sPreCod ", "SPRECOD"}, {":iDwgId", "IDWGID"}, {"TCCD_CIGCUPDURC", "TCCD_CIGCUPDURC"}, {"", ""}};
  for (const auto& n : names) EXPECT_EQ(KvSqlText::NormName(QString::fromUtf8(n.name)), QString::fromUtf8(n.norm));
}

}  // namespace
