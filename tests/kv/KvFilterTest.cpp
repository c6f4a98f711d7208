#include "KvFilter.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <QTime>

namespace {

// A small data set with one column of each type the collections load; row 3 is
// all nulls, typed as the database driver hands them over.
struct Table {
  QStringList names{"SDESC", "SCOD", "ICOUNT", "FIMPORTO", "FPREZZO", "DDATA", "TSTAMP", "ORA", "ILOCKED", "LFLAG"};
  QList<QMetaType> types{QMetaType::fromType<QString>(),   QMetaType::fromType<QString>(),
                         QMetaType::fromType<int>(),       QMetaType::fromType<double>(),
                         QMetaType::fromType<double>(),    QMetaType::fromType<QDate>(),
                         QMetaType::fromType<QDateTime>(), QMetaType::fromType<QTime>(),
                         QMetaType::fromType<qlonglong>(), QMetaType::fromType<bool>()};
  QList<QVariantList> rows;

  Table() {
    auto stamp = [](int y, int m, int d, int h, int mi, int s) { return QDateTime(QDate(y, m, d), QTime(h, mi, s)); };
    // FPREZZO holds exact decimals as text, the way amounts are read to stay exact.
    rows.append({"Rossi Mario", "AB  ", 10, 12.5, "100.250000", QDate(2019, 2, 1), stamp(2019, 2, 1, 10, 30, 0),
                 QTime(8, 30), 1LL, true});
    rows.append({"ROSSI & figli (srl)", "CD", -3, 0.0, "0.000000", QDate(2019, 1, 2), stamp(2019, 2, 1, 0, 0, 0),
                 QTime(14, 0), 0LL, false});
    rows.append({"d'Amico 50% [x]", "", 0, -7.25, "-7.250000", QDate(2020, 12, 31), stamp(2020, 12, 31, 23, 59, 59),
                 QVariant(), QVariant(), false});
    QVariantList nulls;
    for (const QMetaType& t : types) nulls.append(QVariant(t));
    rows.append(nulls);
    rows.append({"verdi_a.b", "EF", 123, 1000000.0, "1000000.000000", QDate(2019, 2, 1), stamp(2019, 2, 2, 0, 0, 0),
                 QTime(18, 45, 10), 2LL, QVariant()});
  }

  KvFilter::Schema schema() const {
    return {[this](const QString& name) {
              for (int i = 0; i < names.size(); ++i)
                if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
              return -1;
            },
            [this](int index) { return types[index]; }};
  }

  // Indexes of the matching rows, e.g. "0,2".
  QString matching(const KvFilter& filter) const {
    QStringList hits;
    for (int r = 0; r < rows.size(); ++r)
      if (filter.Matches([&](int field) { return rows[r][field]; })) hits << QString::number(r);
    return hits.join(',');
  }
};

TEST(KvFilter, KeepsTheRowsTheExpressionSelects) {
  const Table table;
  struct Case {
    const char* expression;
    const char* rows;
  } cases[] = {
      // Quick search on text: contains, case-insensitive through UPPER.
      {"UPPER(SDESC) LIKE '%ROSSI%'", "0,1"},
      {"UPPER(SDESC) LIKE '%D''AMICO%'", "2"},
      {"UPPER(SDESC) LIKE '%rossi%'", ""},  // UPPER never yields lower case
      {"UPPER(SDESC) LIKE UPPER('%rossi%')", "0,1"},
      {"LOWER(SDESC) LIKE '%rossi%'", "0,1"},
      {"UPPER(SDESC) = UPPER('rossi mario')", "0"},
      {"UPPER(SDESC) LIKE '%'", "0,1,2,4"},
      // LIKE without UPPER is case-sensitive; only % and _ are special.
      {"SDESC LIKE '%ROSSI%'", "1"},
      {"SDESC LIKE 'Rossi%'", "0"},
      {"SDESC LIKE '%(srl)'", "1"},
      {"SDESC LIKE 'ROSSI & figli (srl)'", "1"},
      {"SDESC LIKE '%[x]'", "2"},
      {"SDESC LIKE '%50%'", "2"},
      {"SDESC LIKE '%.b'", "4"},
      {"SDESC LIKE 'verdi_a_b'", "4"},
      {"SDESC LIKE 'verdi_a_'", ""},
      {"SDESC LIKE 'R%i%o'", "0"},
      {"SDESC LIKE 'R%i%x'", ""},
      {"sdesc not like '%ROSSI%'", "0,2,4"},
      {"NOT (SDESC LIKE '%ROSSI%')", "0,2,3,4"},  // NOT negates: the null row comes back
      // Requests wizard: four LIKEs with parenthesised patterns.
      {"((UPPER(SDESC) LIKE ('%AMICO%'))  OR (UPPER(SCOD) LIKE ('%CD%')) OR (UPPER(SDESC) LIKE ('%ZZZ%')) OR "
       "(UPPER(SCOD) LIKE ('%ZZZ%')))",
       "1,2"},
      // Text equality ignores the padding of fixed-length columns.
      {"SCOD = 'AB'", "0"},
      {"SCOD = ''", "2"},
      {"SCOD < 'B'", "0,2"},
      {"SCOD IN ('CD', 'EF')", "1,4"},
      // Dates: Italian, two-digit-year and ISO forms; a date-time matches its day.
      {"DDATA = '01/02/2019'", "0,4"},
      {"DDATA = '1/2/2019'", "0,4"},
      {"DDATA = '01/02/19'", "0,4"},
      {"DDATA = '2019-02-01'", "0,4"},
      {"DDATA <> '01/02/2019'", "1,2"},
      {"DDATA > '01/02/2019'", "2"},
      {"DDATA <= '02/01/2019'", "1"},
      {"TSTAMP = '01/02/2019'", "0,1"},
      {"TSTAMP < '02/02/2019'", "0,1"},
      {"TSTAMP = '01/02/2019 10:30'", "0"},
      {"TSTAMP >= '01/02/2019 10:00:00'", "0,2,4"},
      {"TSTAMP > DDATA", "0,1,2,4"},
      {"ORA = '08:30'", "0"},
      {"ORA < '12:00'", "0"},
      {"UPPER(DDATA) LIKE '%/2019'", "0,1,4"},
      // Numbers: integers, doubles, decimals held as text, negative and quoted literals.
      {"ICOUNT = 10", "0"},
      {"ICOUNT = '10'", "0"},
      {"ICOUNT > -1", "0,2,4"},
      {"ICOUNT < 0", "1"},
      {"ICOUNT != 10", "1,2,4"},
      {"FIMPORTO = 12.5", "0"},
      {"FIMPORTO > -7.3", "0,1,2,4"},
      {"FIMPORTO < -7.2", "2"},
      {"FIMPORTO >= .5", "0,4"},
      {"FPREZZO = 100.25", "0"},
      {"FPREZZO > 1000", "4"},
      {"FPREZZO = 0", "1"},
      {"UPPER(ICOUNT) LIKE '%2%'", "4"},
      {"FIMPORTO LIKE '12.5'", "0"},
      {"ICOUNT IN (10, 123)", "0,4"},
      {"ICOUNT NOT IN (10, 123)", "1,2"},
      {"ICOUNT IN ()", ""},
      {"ICOUNT > FIMPORTO", "2"},
      // Nulls: a comparison with null is false, only IS NULL finds them.
      {"ILOCKED <> 1 or ILOCKED is null", "1,2,3,4"},
      {"ILOCKED <> 1", "1,4"},
      {"iLocked = 1", "0"},
      {"ILOCKED IS NOT NULL", "0,1,4"},
      {"ICOUNT = NULL", ""},
      {"SDESC IS NULL", "3"},
      {"\"sdesc\" IS NULL", "3"},
      // Flags stored as booleans compare as 0 and 1.
      {"(LFLAG is null) or (LFLAG = 0)", "1,2,3,4"},
      {"(LFLAG = 1)", "0"},
      // Precedence: NOT over AND over OR.
      {"ICOUNT = 0 OR ICOUNT = 10 AND FIMPORTO = 12.5", "0,2"},
      {"(ICOUNT = 0 OR ICOUNT = 10) AND FIMPORTO = 12.5", "0"},
      {"NOT ICOUNT = 10 AND ICOUNT > 0", "4"},
      {"SDESC IS NULL AND NOT ICOUNT IS NOT NULL", "3"},
      {"icount = 10 Or sdesc Is Null", "0,3"},
      // Constant conditions and the composed filter of the supplier selection.
      {"1 = 1", "0,1,2,3,4"},
      {"1 = 0", ""},
      {"(LFLAG = 0) and ((SCOD = '') or (ICOUNT = 0) or (ICOUNT = -3))  and  (1 = 1)", "1,2"},
      {"(LFLAG = 0) and (ILOCKED IS NULL) and  (UPPER(SDESC) LIKE '%AMICO%')", "2"},
  };
  for (const Case& c : cases) {
    const QString text = QString::fromUtf8(c.expression);
    const auto filter = KvFilter::Parse(text, table.schema());
    ASSERT_TRUE(filter) << c.expression << ": " << filter.error().toStdString();
    EXPECT_EQ(table.matching(*filter), QString::fromUtf8(c.rows)) << c.expression;
  }
}

TEST(KvFilter, RejectsWholeExpressionsThatDoNotParseOrDoNotFitTheirFields) {
  const Table table;
  const char* cases[] = {
      "UPPER(SDESC) LIKE '%D'AMICO%'",  // quick search with a typed apostrophe
      "UPPER(SDESC) LIKE '%ROSSI",
      "\"SDESC = 'a'",
      "DDATA = '01/02'",  // partial date typed in the quick search
      "DDATA = '01/02/201'",
      "DDATA = '31/02/2019'",
      "DDATA = 'ROSSI'",
      "DDATA = 5",
      "TSTAMP = '01/02/2019 25:00'",
      "ORA = '01/02/2019'",
      "ORA = DDATA",
      "ICOUNT = DDATA",
      "ICOUNT = 'abc'",
      "ICOUNT IN (1, 'x')",
      "ICOUNT IN (SDESC)",
      "ICOUNT IN 1",
      "SDESC LIKE SCOD",
      "FOO(SDESC) = 'A'",
      "ICOUNT = 10 garbage",
      "ICOUNT = 10)",
      "(ICOUNT = 10",
      "ICOUNT =",
      "ICOUNT",
      "'a'",
      "AND ICOUNT = 1",
      "ICOUNT = 1 AND",
      "ICOUNT = 1 OR OR ICOUNT = 2",
      "NOT",
      "ICOUNT IS 1",
      "ICOUNT # 1",
      "ICOUNT = 1.2.3",
      "ICOUNT = - SDESC",
      "(ICOUNT = 1) = 2",
      "UPPER(ICOUNT = 1) LIKE 'A'",
  };
  for (const char* c : cases) {
    const auto filter = KvFilter::Parse(QString::fromUtf8(c), table.schema());
    EXPECT_FALSE(filter) << c;
    const QString error = filter.error();
    EXPECT_TRUE(error.startsWith(QStringLiteral("Espressione di filtro non valida: ")))
        << c << " -> " << error.toStdString();
  }
}

TEST(KvFilter, NamesTheUnknownFieldAndWhereTheTextGoesWrong) {
  const Table table;
  auto error = [&](const char* text) { return KvFilter::Parse(QString::fromUtf8(text), table.schema()).error(); };
  EXPECT_EQ(error("ICOUNT = 1 OR NOSUCH = 2"),
            QStringLiteral("Espressione di filtro non valida: campo sconosciuto \"NOSUCH\""));
  EXPECT_EQ(error("SDESC LIKE '%A"),
            QStringLiteral("Espressione di filtro non valida: testo non chiuso da un apice alla posizione 12"));
  EXPECT_EQ(error("DDATA = '01/02'"), QStringLiteral("Espressione di filtro non valida: data non valida '01/02' per il campo DDATA"));
}

TEST(KvFilter, CaseFoldingCoversAccentedAndSpecialLetters) {
  const QStringList values{QStringLiteral("Caffè perché"), QStringLiteral("Straße"), QStringLiteral("ΩMEGA ω"),
                           QStringLiteral("CAFFE")};
  const KvFilter::Schema schema{[](const QString& name) { return name == QLatin1String("S") ? 0 : -1; },
                                [](int) { return QMetaType::fromType<QString>(); }};
  struct Case {
    const char* expression;
    const char* rows;
  } cases[] = {
      {"UPPER(S) LIKE '%CAFFÈ%'", "0"},   {"UPPER(S) LIKE '%PERCHÉ'", "0"}, {"UPPER(S) = 'CAFFÈ PERCHÉ'", "0"},
      {"UPPER(S) LIKE '%STRASSE%'", "1"}, {"UPPER(S) LIKE '%Ω%'", "2"},     {"UPPER(S) LIKE 'ΩMEGA Ω'", "2"},
      {"LOWER(S) LIKE '%ω%ω'", "2"},      {"LOWER(S) LIKE 'caff_'", "3"},
  };
  for (const Case& c : cases) {
    const auto filter = KvFilter::Parse(QString::fromUtf8(c.expression), schema);
    ASSERT_TRUE(filter) << c.expression;
    QStringList hits;
    for (int r = 0; r < values.size(); ++r)
      if (filter->Matches([&](int) { return QVariant(values[r]); })) hits << QString::number(r);
    EXPECT_EQ(hits.join(','), QString::fromUtf8(c.rows)) << c.expression;
  }
}

TEST(KvFilter, BlankTextKeepsEveryRow) {
  const Table table;
  const auto filter = KvFilter::Parse(QStringLiteral("  "), table.schema());
  ASSERT_TRUE(filter);
  EXPECT_EQ(table.matching(*filter), QStringLiteral("0,1,2,3,4"));
}

}  // namespace
