#include "KvMessageDlg.h"
#include "KvTestResult.h"
#include "KvQueryCollection.h"
#include "PuxTestDb.h"

#include <gtest/gtest.h>

#include <QDate>

#include <memory>

namespace {

// Rows reported by one signal of a collection.
template <typename Signal>
std::shared_ptr<QList<int>> record(TKvQueryCollection& c, Signal signal) {
  auto rows = std::make_shared<QList<int>>();
  QObject::connect(&c, signal, &c, [rows](auto... row) { (rows->append(row), ...); });
  return rows;
}

// Criteria and their details: a parent table and a child table that
// refers to it, with a scratch table of documents for the hooks.
class KvQueryCollectionTest : public PuxDbTest {
 protected:
  PuxTestDb::Content content() const override { return PuxTestDb::Content::Schema; }

  void SetUp() override {
    PuxDbTest::SetUp();
    if (HasFatalFailure()) return;
    for (const char* values : {"1, 'PREZZO', 'prezzo più basso', 3", "2, 'qualita', 'Qualità del servizio', NULL",
                               "3, 'Ecologia', NULL, 10", "4, 'Assistenza', 'Èsito assistenza', 1"})
      Exec(QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS, SCRCDESCL, FCRCPESO) VALUES (%1)")
               .arg(QString::fromUtf8(values)));
    Exec(QStringLiteral("INSERT INTO TDEC_DETTCRITERI (IDECID, ICRCID, SDECDESCS) VALUES (10, 1, 'listino')"));
  }

  void openCriteria(TKvQueryCollection& c) {
    c.SetCommandText(
        QStringLiteral("SELECT CRC.ICRCID, CRC.SCRCDESCS, CRC.SCRCDESCL, CRC.FCRCPESO FROM TCRC_CRITERICOMP CRC "
                       "WHERE CRC.ICRCID >= :MINID AND CRC.ICRCID <> COALESCE(:NOTSET, -1) ORDER BY CRC.ICRCID"));
    c.SetParam(QStringLiteral("MinId"), 1);
    ASSERT_TRUE(KvOk(c.Open()));
  }

  int count(const QString& sql) { return Scalar(sql).toInt(); }

  static QList<int> ids(const TKvQueryCollection& c) {
    QList<int> out;
    for (int r = 0; r < c.RecordCount(); ++r) out << c.Value(r, 0).toInt();
    return out;
  }
};

TEST_F(KvQueryCollectionTest, OpensWithTypedFieldsAndWalksEveryRow) {
  TKvQueryCollection c;
  openCriteria(c);
  EXPECT_EQ(c.FieldNames(), QStringList({"ICRCID", "SCRCDESCS", "SCRCDESCL", "FCRCPESO"}));
  EXPECT_EQ(c.FieldType(QStringLiteral("icrcid")).id(), QMetaType::Int);
  EXPECT_EQ(c.FieldType(QStringLiteral("SCRCDESCS")).id(), QMetaType::QString);
  EXPECT_EQ(c.FieldIndex(QStringLiteral("fCrcPeso")), 3);
  EXPECT_EQ(c.FieldIndex(QStringLiteral("NOPE")), -1);
  EXPECT_EQ(c.GetState(), KvState::Browse);
  EXPECT_EQ(c.KeyField(), QStringLiteral("ICRCID"));
  EXPECT_EQ(c.TableName(), QStringLiteral("TCRC_CRITERICOMP"));  // through the alias CRC

  // The Eof loop of the data-set habit visits every row once.
  QList<int> seen;
  c.First();
  EXPECT_TRUE(c.Bof());
  while (!c.Eof()) {
    seen << c.FieldValue(QStringLiteral("ICRCID")).toInt();
    c.Next();
  }
  EXPECT_EQ(seen, QList<int>({1, 2, 3, 4}));
  EXPECT_EQ(c.RecNo(), 3);
  c.Prior();
  EXPECT_EQ(c.RecNo(), 2);
  EXPECT_FALSE(c.Bof());
  EXPECT_TRUE(c.FieldValue(QStringLiteral("SCRCDESCL")).isNull());
  EXPECT_DOUBLE_EQ(c.Value(0, 3).toDouble(), 3.0);
  EXPECT_TRUE(c.Value(1, 3).isNull());

  EXPECT_TRUE(c.Locate(QStringLiteral("scrcdescs"), QStringLiteral("qualita")));
  EXPECT_EQ(c.RecNo(), 1);
  EXPECT_TRUE(c.Locate(QStringLiteral("FCRCPESO"), 10));
  EXPECT_EQ(c.RecNo(), 2);
  EXPECT_FALSE(c.Locate(QStringLiteral("ICRCID"), 99));
  EXPECT_EQ(c.RecNo(), 2);

  c.SetParam(QStringLiteral(":MINID"), 3);
  ASSERT_TRUE(c.Open());
  EXPECT_EQ(ids(c), QList<int>({3, 4}));

  TKvQueryCollection bad;
  bad.SetCommandText(QStringLiteral("SELECT NOSUCHCOLUMN FROM TCRC_CRITERICOMP"));
  QString error;
  error = bad.Open().error();
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(error.contains(QStringLiteral("NOSUCHCOLUMN"))) << error.toStdString();
  EXPECT_FALSE(bad.Active());
  EXPECT_EQ(bad.LastError(), error);
}

// A parent and its child in one post: the child statement sees the id the
// parent statement generated, under the parent's column name.
TEST_F(KvQueryCollectionTest, InsertRunsParentAndChildWithTheGeneratedId) {
  TKvQueryCollection c;
  openCriteria(c);
  c.SQLInsert() << QStringLiteral(
                       " INSERT INTO TCRC_CRITERICOMP (TCRC_CRITERICOMP.ICRCID, SCRCDESCS, SCRCDESCL, FCRCPESO) "
                       "VALUES (:KVGENID, :SCRCDESCS, :scrcdescl, :FCRCPESO)")
                << QStringLiteral(
                       "INSERT INTO TDEC_DETTCRITERI (IDECID, ICRCID, SDECDESCS, FDECPESO) "
                       "VALUES (:KVGENID, :ICRCID, :SDECDESCS, :FDECPESO)");
  QList<TKvQueryProp> before;
  QList<QVariant> afterGenIds;
  c.KvBeforeExec = [&](TKvQueryProp& p) {
    before << p;
    if (p.TableName == QLatin1String("TDEC_DETTCRITERI")) p.FieldValues->Add(QStringLiteral("SDECDESCS"), "prima voce");
  };
  c.KvAfterExec = [&](TKvQueryProp& p) { afterGenIds << p.FieldValues->Value(QStringLiteral("KVGENID")); };
  c.OnNewRecord = [](TKvQueryCollection& q) { q.SetFieldValue(QStringLiteral("FCRCPESO"), 5); };

  auto inserted = record(c, &TKvQueryCollection::rowInserted);
  c.MoveTo(1);
  ASSERT_TRUE(c.Insert());
  EXPECT_EQ(c.GetState(), KvState::Insert);
  EXPECT_EQ(c.RecNo(), 2);  // after the current row, shown while typed
  EXPECT_EQ(c.RecordCount(), 5);
  EXPECT_EQ(*inserted, QList<int>({2}));
  EXPECT_EQ(c.FieldValue(QStringLiteral("FCRCPESO")).toInt(), 5);
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QStringLiteral("Nuovo"));
  c.SetFieldValue(QStringLiteral("SCRCDESCL"), QStringLiteral("Criterio nuovo"));

  ASSERT_TRUE(KvOk(c.Post()));
  EXPECT_EQ(c.GetState(), KvState::Browse);
  ASSERT_EQ(before.size(), 2);
  EXPECT_EQ(before[0].TableName, QStringLiteral("TCRC_CRITERICOMP"));
  EXPECT_EQ(before[0].QueryKind, TKvQueryProp::Insert);
  EXPECT_EQ(before[1].Index, 1);
  EXPECT_EQ(before[1].TableName, QStringLiteral("TDEC_DETTCRITERI"));

  const int parent = c.FieldValue(QStringLiteral("ICRCID")).toInt();
  const int child = c.FieldValue(QStringLiteral("IDECID")).toInt();  // added by the child statement
  EXPECT_GT(parent, 0);
  EXPECT_GT(child, parent);
  EXPECT_EQ(afterGenIds, QList<QVariant>({parent, child}));
  EXPECT_EQ(c.RecNo(), 2);
  EXPECT_EQ(c.Value(2, 0).toInt(), parent);
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE ICRCID = %1 AND SCRCDESCS = 'Nuovo' "
                                 "AND FCRCPESO = 5")
                      .arg(parent)),
            1);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SDECDESCS FROM TDEC_DETTCRITERI WHERE IDECID = %1 AND ICRCID = %2")
                       .arg(child)
                       .arg(parent))
                .toString(),
            QStringLiteral("prima voce"));
  EXPECT_TRUE(Scalar(QStringLiteral("SELECT FDECPESO FROM TDEC_DETTCRITERI WHERE IDECID = %1").arg(child)).isNull())
      << "a parameter found nowhere is bound as NULL";

  // Append puts the new row last; cancelling it makes it disappear.
  auto removed = record(c, &TKvQueryCollection::rowRemoved);
  c.First();
  ASSERT_TRUE(c.Append());
  EXPECT_EQ(c.RecNo(), 5);
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QStringLiteral("scartato"));
  c.Cancel();
  EXPECT_EQ(c.RecordCount(), 5);
  EXPECT_EQ(c.RecNo(), 0);
  EXPECT_EQ(*removed, QList<int>({5}));
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP")), 5);
}

// Before-hooks add the institute and the year, skip a statement, or refuse
// the row with a text; an empty text in a date field is stored as NULL.
TEST_F(KvQueryCollectionTest, HooksAddValuesSkipStatementsAndRefuse) {
  Exec(
      QStringLiteral("CREATE TABLE KVT_DOC (IDOCID INTEGER NOT NULL PRIMARY KEY, IDWGID INTEGER, "
                     "IDOCESERCIZIOFIN INTEGER, SDOCDESC VARCHAR(60), DDOCDATA DATE)"));
  Exec(QStringLiteral("CREATE TABLE KVT_LOG (ILOGID INTEGER NOT NULL PRIMARY KEY, IDOCID INTEGER)"));
  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral("SELECT IDOCID, SDOCDESC, DDOCDATA FROM KVT_DOC WHERE IDWGID = :IDWGID"));
  c.SetParam(QStringLiteral("IDWGID"), 7);
  ASSERT_TRUE(c.Open());
  EXPECT_EQ(c.FieldType(QStringLiteral("DDOCDATA")).id(), QMetaType::QDate);
  c.SQLInsert() << QStringLiteral(
                       "INSERT INTO KVT_DOC (IDOCID, IDWGID, IDOCESERCIZIOFIN, SDOCDESC, DDOCDATA) "
                       "VALUES (:KVGENID, :IDWGID, :IDOCESERCIZIOFIN, :SDOCDESC, :DDOCDATA)")
                << QStringLiteral("INSERT INTO KVT_LOG (ILOGID, IDOCID) VALUES (:KVGENID, :IDOCID)");
  c.SQLUpdate() << QStringLiteral(
                       "UPDATE KVT_DOC SET SDOCDESC = :SDOCDESC, DDOCDATA = :DDOCDATA WHERE IDOCID = :KVCURRID")
                << QStringLiteral("INSERT INTO KVT_LOG (ILOGID, IDOCID) VALUES (:KVGENID, :IDOCID)");
  bool refuse = false;
  QList<TKvQueryProp::Kind> logKinds;  // a statement has the kind of its list
  c.KvBeforeExec = [&](TKvQueryProp& p) {
    if (p.TableName == QLatin1String("KVT_LOG")) logKinds << p.QueryKind;
    // Refused at the second statement: the first one, already run, is undone.
    if (refuse && p.Index == 1) return p.Refuse(QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Descrizione\""));
    if (p.QueryKind == TKvQueryProp::Insert && p.TableName == QLatin1String("KVT_DOC")) {
      p.FieldValues->Add(QStringLiteral("IDWGID"), 7);
      p.FieldValues->Add(QStringLiteral("iDocEsercizioFin"), 2024);
    }
    if (p.TableName == QLatin1String("KVT_LOG")) p.Execute = false;
  };

  ASSERT_TRUE(c.Append());
  c.SetFieldValue(QStringLiteral("SDOCDESC"), QStringLiteral("Carta"));
  c.SetFieldValue(QStringLiteral("DDOCDATA"), QString());
  QString error;
  ASSERT_TRUE(KvOk(c.Post()));
  const int id = c.FieldValue(QStringLiteral("IDOCID")).toInt();
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM KVT_DOC WHERE IDOCID = %1 AND IDWGID = 7 AND "
                                 "IDOCESERCIZIOFIN = 2024 AND DDOCDATA IS NULL")
                      .arg(id)),
            1);
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM KVT_LOG")), 0);

  // Update by :KVCURRID; a refusing hook fails the post with its text.
  c.SetFieldValue(QStringLiteral("DDOCDATA"), QDate(2024, 3, 25));
  ASSERT_TRUE(KvOk(c.Post()));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT DDOCDATA FROM KVT_DOC WHERE IDOCID = %1").arg(id)).toDate(),
            QDate(2024, 3, 25));
  EXPECT_EQ(logKinds, QList<TKvQueryProp::Kind>({TKvQueryProp::Insert, TKvQueryProp::Update}));
  refuse = true;
  c.SetFieldValue(QStringLiteral("SDOCDESC"), QStringLiteral(" "));
  error = c.Post().error();
  EXPECT_EQ(error, QStringLiteral("Attenzione!\r\nValore non valido per il campo \"Descrizione\""));
  EXPECT_EQ(c.GetState(), KvState::Edit);
  EXPECT_EQ(c.FieldValue(QStringLiteral("SDOCDESC")).toString(), QStringLiteral(" "));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SDOCDESC FROM KVT_DOC WHERE IDOCID = %1").arg(id)).toString(),
            QStringLiteral("Carta"));
  c.Cancel();
  EXPECT_EQ(c.FieldValue(QStringLiteral("SDOCDESC")).toString(), QStringLiteral("Carta"));

  // A hook refusing after its statement ran undoes that statement too.
  refuse = false;
  c.KvAfterExec = [](TKvQueryProp& p) {
    if (p.Index == 0) p.Refuse(QStringLiteral("Attenzione!\nRegistrazione rifiutata."));
  };
  ASSERT_TRUE(c.Edit());
  c.SetFieldValue(QStringLiteral("SDOCDESC"), QStringLiteral("Cartone"));
  EXPECT_EQ(c.Post().error(), QStringLiteral("Attenzione!\nRegistrazione rifiutata."));
  EXPECT_EQ(c.GetState(), KvState::Edit);
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SDOCDESC FROM KVT_DOC WHERE IDOCID = %1").arg(id)).toString(),
            QStringLiteral("Carta"));
}

// A failing statement undoes the whole post: nothing is written and the row
// keeps its state and typed values, ready to be posted again.
TEST_F(KvQueryCollectionTest, FailureInTheSecondStatementWritesNothing) {
  TKvQueryCollection c;
  openCriteria(c);
  c.SQLInsert() << QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS) VALUES (:KVGENID, :SCRCDESCS)")
                << QStringLiteral("INSERT INTO TDEC_DETTCRITERI (IDECID, ICRCID, SDECDESCS) VALUES (10, :ICRCID, 'x')");
  c.SQLUpdate() << QStringLiteral("UPDATE TCRC_CRITERICOMP SET SCRCDESCS = :SCRCDESCS WHERE ICRCID = :KVCURRID")
                << QStringLiteral("UPDATE TCRC_CRITERICOMP SET FCRCPESO = 'abc' WHERE ICRCID = :KVCURRID");
  const int fields = c.FieldCount();

  ASSERT_TRUE(c.Append());
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QStringLiteral("Tentativo"));
  QString error;
  error = c.Post().error();
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(error.contains(QStringLiteral("PK_TDEC_DETTCRITERI"))) << error.toStdString();
  EXPECT_EQ(c.LastError(), error);
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP")), 4);
  EXPECT_EQ(c.GetState(), KvState::Insert);
  EXPECT_EQ(c.RecordCount(), 5);
  EXPECT_EQ(c.FieldValue(QStringLiteral("SCRCDESCS")).toString(), QStringLiteral("Tentativo"));
  EXPECT_TRUE(c.FieldValue(QStringLiteral("ICRCID")).isNull()) << "the generated id is taken back";
  EXPECT_EQ(c.FieldCount(), fields);

  // The connection is usable again and the same row posts once fixed.
  c.SQLInsert()[1] =
      QStringLiteral("INSERT INTO TDEC_DETTCRITERI (IDECID, ICRCID, SDECDESCS) VALUES (11, :ICRCID, 'x')");
  ASSERT_TRUE(KvOk(c.Post()));
  const int id = c.FieldValue(QStringLiteral("ICRCID")).toInt();
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TDEC_DETTCRITERI WHERE IDECID = 11 AND ICRCID = %1").arg(id)),
            1);

  // An edit whose second statement fails leaves the first undone too.
  c.First();
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QStringLiteral("Modificato"));
  error = c.Post().error();
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(c.GetState(), KvState::Edit);
  EXPECT_EQ(c.FieldValue(QStringLiteral("SCRCDESCS")).toString(), QStringLiteral("Modificato"));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SCRCDESCS FROM TCRC_CRITERICOMP WHERE ICRCID = 1")).toString(),
            QStringLiteral("PREZZO"));
  c.SQLUpdate().removeLast();
  ASSERT_TRUE(KvOk(c.Post()));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SCRCDESCS FROM TCRC_CRITERICOMP WHERE ICRCID = 1")).toString(),
            QStringLiteral("Modificato"));
  EXPECT_EQ(c.Value(0, 1).toString(), QStringLiteral("Modificato"));
}

// The id a statement generates lands in the column it fills, whatever the
// statement's form, so that the following statements and the row see it.
TEST_F(KvQueryCollectionTest, GeneratedIdGoesToTheColumnItFills) {
  Exec(QStringLiteral("CREATE TABLE KVT_ID (IID INTEGER NOT NULL PRIMARY KEY, IREF INTEGER, SNOTE VARCHAR(20))"));
  Exec(QStringLiteral("INSERT INTO KVT_ID (IID, SNOTE) VALUES (1, 'uno')"));
  const struct {
    bool insert;
    const char* sql;
    const char* column;
  } cases[] = {
      {true, "INSERT INTO KVT_ID (IID, SNOTE) VALUES (:KVGENID, :SNOTE)", "IID"},
      {true, "insert into kvt_id (snote, kvt_id.iid) values (upper(:snote), :kvgenid)", "IID"},
      {true,
       "INSERT INTO KVT_ID (IID, SNOTE) SELECT FIRST 1 CAST(:KVGENID AS INTEGER), CAST(:SNOTE AS VARCHAR(20)) "
       "FROM RDB$DATABASE",
       "IID"},
      {true, "INSERT INTO KVT_ID (IID, IREF, SNOTE) VALUES (:KVGENID, :KVGENID + 0, ':KVGENID')", "IID"},
      {false, "UPDATE KVT_ID SET SNOTE = :SNOTE, IREF = :KVGENID WHERE IID = :KVCURRID", "IREF"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.sql);
    TKvQueryCollection c;
    c.SetCommandText(QStringLiteral("SELECT IID, SNOTE FROM KVT_ID ORDER BY IID"));
    ASSERT_TRUE(c.Open());
    (k.insert ? c.SQLInsert() : c.SQLUpdate()) << QString::fromLatin1(k.sql);
    ASSERT_TRUE(k.insert ? c.Append() : c.Edit());
    c.SetFieldValue(QStringLiteral("SNOTE"), QStringLiteral("nota"));
    ASSERT_TRUE(KvOk(c.Post()));
    const QString column = QString::fromLatin1(k.column);
    const int id = c.FieldValue(column).toInt();
    EXPECT_GT(id, 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM KVT_ID WHERE %1 = %2").arg(column).arg(id)), 1);
    EXPECT_EQ(c.FieldIndex(column), k.insert ? 0 : 2) << "a column the select lacks is added to the row";
    EXPECT_EQ(c.FieldNames().size(), k.insert ? 2 : 3);
  }
}

// With automatic statements on, a list left empty is built from the plain
// columns of the main table named in the select.
TEST_F(KvQueryCollectionTest, BuildsItsOwnStatementsWhenAsked) {
  TKvQueryCollection c;
  c.SetCommandText(QStringLiteral(
      " SELECT TCRC_CRITERICOMP.ICRCID, TCRC_CRITERICOMP.SCRCDESCS, TCRC_Critericomp.ScrcDescL, null as def, "
      "UPPER(SCRCDESCS) AS MAIUSC FROM TCRC_CRITERICOMP"));
  c.SetAutoBuildSQL(true);
  ASSERT_TRUE(c.Open());
  QStringList run;
  c.KvBeforeExec = [&](TKvQueryProp& p) { run << p.Sql; };
  ASSERT_TRUE(c.Append());
  c.SetFieldValue(QStringLiteral("SCRCDESCS"), QStringLiteral("Nuovo"));
  c.SetFieldValue(QStringLiteral("DEF"), QStringLiteral("solo in memoria"));
  ASSERT_TRUE(KvOk(c.Post()));
  const int id = c.FieldValue(QStringLiteral("ICRCID")).toInt();
  EXPECT_EQ(
      count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE ICRCID = %1 AND SCRCDESCS = 'Nuovo'").arg(id)),
      1);

  c.SetFieldValue(QStringLiteral("SCRCDESCL"), QStringLiteral("descrizione"));
  ASSERT_TRUE(KvOk(c.Post()));
  EXPECT_EQ(Scalar(QStringLiteral("SELECT SCRCDESCL FROM TCRC_CRITERICOMP WHERE ICRCID = %1").arg(id)).toString(),
            QStringLiteral("descrizione"));
  ASSERT_TRUE(KvOk(c.Delete()));
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE ICRCID = %1").arg(id)), 0);
  EXPECT_EQ(run,
            QStringList({
                "INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS, SCRCDESCL) VALUES (:KVGENID, :SCRCDESCS, :SCRCDESCL)",
                "UPDATE TCRC_CRITERICOMP SET SCRCDESCS = :SCRCDESCS, SCRCDESCL = :SCRCDESCL WHERE ICRCID = :KVCURRID",
                "DELETE FROM TCRC_CRITERICOMP WHERE ICRCID = :KVCURRID",
            }));
}

TEST_F(KvQueryCollectionTest, DeleteRunsTheDefaultOrTheListedStatementsWithoutAsking) {
  TKvQueryCollection c;
  openCriteria(c);
  // Asking belongs to the window's delete action, not to the list.
  KvMessageScript::Begin();
  ASSERT_TRUE(c.Locate(QStringLiteral("ICRCID"), 3));
  QString error;
  ASSERT_TRUE(KvOk(c.Delete()));  // DELETE FROM TCRC_CRITERICOMP WHERE ICRCID = :KVCURRID
  EXPECT_EQ(ids(c), QList<int>({1, 2, 4}));
  EXPECT_EQ(c.RecNo(), 2);
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE ICRCID = 3")), 0);
  EXPECT_TRUE(KvMessageScript::Messages().isEmpty());
  KvMessageScript::End();

  // A list: children first, then the parent; hooks see the delete kind.
  c.SQLDelete() << QStringLiteral("DELETE FROM TDEC_DETTCRITERI WHERE ICRCID = :ICRCID")
                << QStringLiteral("DELETE FROM TCRC_CRITERICOMP WHERE ICRCID = :KVCURRID AND SCRCDESCS = :SCRCDESCS");
  QList<TKvQueryProp::Kind> kinds;
  c.KvBeforeExec = [&](TKvQueryProp& p) { kinds << p.QueryKind; };
  c.First();
  ASSERT_TRUE(KvOk(c.Delete()));
  EXPECT_EQ(kinds, QList<TKvQueryProp::Kind>({TKvQueryProp::Delete, TKvQueryProp::Delete}));
  EXPECT_EQ(ids(c), QList<int>({2, 4}));
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE ICRCID = 1")), 0);
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TDEC_DETTCRITERI")), 0);

  // A refused delete keeps the row, in the database and in the list.
  Exec(QStringLiteral("INSERT INTO TPRE_PREVENTIVI (IPREID, SPRECOD, ICRCID) VALUES (50, '00001', 2)"));
  c.SQLDelete().clear();
  c.First();
  error = c.Delete().error();
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(error.contains(QStringLiteral("FK_TPRE_TCRC"))) << error.toStdString();
  EXPECT_EQ(ids(c), QList<int>({2, 4}));
  EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TCRC_CRITERICOMP WHERE ICRCID = 2")), 1);
}

TEST_F(KvQueryCollectionTest, FiltersAndSortsInMemory) {
  TKvQueryCollection c;
  openCriteria(c);
  c.SetFilter(QStringLiteral("UPPER(SCRCDESCS) LIKE '%A%'"));
  EXPECT_EQ(c.RecordCount(), 4) << "SetFilter alone does not filter";
  ASSERT_TRUE(c.SetFiltered(true));
  EXPECT_TRUE(c.Filtered());
  EXPECT_EQ(ids(c), QList<int>({2, 3, 4}));
  c.SetFilter(QStringLiteral("FCRCPESO >= 3"));  // changed while on: applies at once
  EXPECT_EQ(ids(c), QList<int>({1, 3}));

  QString error;
  ASSERT_TRUE(KvOk(c.SetFiltered(false)));
  c.SetFilter(QStringLiteral("SCRCDESCS = 'l'apostrofo'"));
  error = c.SetFiltered(true).error();
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(c.Filtered());
  EXPECT_EQ(c.RecordCount(), 4);

  // Text in Italian order ignoring case and accents' case; nulls first.
  c.SetSort({{QStringLiteral("SCRCDESCL"), false}});
  EXPECT_EQ(ids(c), QList<int>({3, 4, 1, 2}));  // NULL, Èsito, prezzo, Qualità
  c.SetSort({{QStringLiteral("scrcdescs"), false}});
  EXPECT_EQ(ids(c), QList<int>({4, 3, 1, 2}));  // Assistenza, Ecologia, PREZZO, qualita
  c.SetSort({{QStringLiteral("FCRCPESO"), true}});
  EXPECT_EQ(ids(c), QList<int>({3, 1, 4, 2}));  // descending: nulls last
  c.MoveTo(1);
  c.SetSort({});
  EXPECT_EQ(ids(c), QList<int>({1, 2, 3, 4}));
  EXPECT_EQ(c.FieldValue(0).toInt(), 1) << "the current row stays current";

  // Stable: equal keys keep the load order.
  Exec(QStringLiteral("UPDATE TCRC_CRITERICOMP SET FCRCPESO = 2"));
  ASSERT_TRUE(c.Refresh());
  c.SetSort({{QStringLiteral("FCRCPESO"), true}});
  EXPECT_EQ(ids(c), QList<int>({1, 2, 3, 4}));
  ASSERT_TRUE(c.SetFiltered(false));
  c.SetFilter(QStringLiteral("ICRCID > 1"));
  ASSERT_TRUE(c.SetFiltered(true));
  c.SetSort({{QStringLiteral("ICRCID"), true}});
  EXPECT_EQ(ids(c), QList<int>({4, 3, 2}));
}

// The sorted order and the collation keys are kept between filters: a row
// typed, added, removed or reloaded since must still land where its text
// puts it when the quick search filters again.
TEST_F(KvQueryCollectionTest, SortedRowsFollowEveryChangeAcrossFilters) {
  TKvQueryCollection c;
  c.SQLInsert() << QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS) VALUES (:ICRCID, :SCRCDESCS)");
  c.SQLUpdate() << QStringLiteral("UPDATE TCRC_CRITERICOMP SET SCRCDESCS = :SCRCDESCS WHERE ICRCID = :KVCURRID");
  openCriteria(c);
  c.SetSort({{QStringLiteral("SCRCDESCS"), false}});
  c.SetFilter(QStringLiteral("ICRCID <> 3"));
  const auto refilter = [&] {
    EXPECT_TRUE(c.SetFiltered(false));
    EXPECT_TRUE(c.SetFiltered(true));
  };
  const auto type = [&](int id, const char* text) {
    if (id > 0) {
      ASSERT_TRUE(c.Locate(QStringLiteral("ICRCID"), id));
    } else {
      ASSERT_TRUE(c.Append());
      c.SetFieldValue(QStringLiteral("ICRCID"), -id);
    }
    c.SetFieldValue(QStringLiteral("SCRCDESCS"), QString::fromUtf8(text));
    ASSERT_TRUE(KvOk(c.Post()));
  };
  refilter();
  EXPECT_EQ(ids(c), QList<int>({4, 1, 2}));  // Assistenza, PREZZO, qualita
  type(2, "àbaco");
  refilter();
  EXPECT_EQ(ids(c), QList<int>({2, 4, 1}));
  type(-6, "Bilancio");
  refilter();
  EXPECT_EQ(ids(c), QList<int>({2, 4, 6, 1}));
  ASSERT_TRUE(c.Locate(QStringLiteral("ICRCID"), 4));
  ASSERT_TRUE(KvOk(c.Delete()));
  refilter();
  EXPECT_EQ(ids(c), QList<int>({2, 6, 1}));
  Exec(QStringLiteral("UPDATE TCRC_CRITERICOMP SET SCRCDESCS = 'zeta' WHERE ICRCID = 2"));
  ASSERT_TRUE(KvOk(c.Refresh()));
  refilter();
  EXPECT_EQ(ids(c), QList<int>({6, 1, 2}));
  ASSERT_TRUE(c.SetFiltered(false));
  EXPECT_EQ(ids(c), QList<int>({6, 3, 1, 2}));  // Bilancio, Ecologia, PREZZO, zeta
}

TEST_F(KvQueryCollectionTest, RefreshKeepsTheCurrentRowByKey) {
  TKvQueryCollection c;
  openCriteria(c);
  c.SetSort({{QStringLiteral("SCRCDESCS"), false}});
  ASSERT_TRUE(c.Locate(QStringLiteral("ICRCID"), 1));
  const int before = c.RecNo();
  Exec(QStringLiteral("INSERT INTO TCRC_CRITERICOMP (ICRCID, SCRCDESCS) VALUES (5, 'Aaa')"));
  Exec(QStringLiteral("UPDATE TCRC_CRITERICOMP SET SCRCDESCL = 'cambiato' WHERE ICRCID = 1"));
  int resets = 0;
  QObject::connect(&c, &TKvQueryCollection::rowsReset, &c, [&resets] { ++resets; });
  ASSERT_TRUE(c.Refresh());
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(c.RecordCount(), 5);
  EXPECT_EQ(c.FieldValue(QStringLiteral("ICRCID")).toInt(), 1);
  EXPECT_EQ(c.RecNo(), before + 1);  // "Aaa" sorts first
  EXPECT_EQ(c.FieldValue(QStringLiteral("SCRCDESCL")).toString(), QStringLiteral("cambiato"));

  // Gone: the same position stays current.
  Exec(QStringLiteral("DELETE FROM TDEC_DETTCRITERI"));
  Exec(QStringLiteral("DELETE FROM TCRC_CRITERICOMP WHERE ICRCID = 1"));
  const int pos = c.RecNo();
  ASSERT_TRUE(c.Refresh());
  EXPECT_EQ(c.RecNo(), pos);
  EXPECT_EQ(c.RecordCount(), 4);
}

}  // namespace
