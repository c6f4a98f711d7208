#include "DbSchema.h"

#include "KvConnection.h"
#include "KvFbAdmin.h"
#include "KvSql.h"
#include "KvSqlScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace DbSchema {
namespace {

// Bump together with a new file in db/upgrade named "<version>_what.sql".
constexpr int kSchemaVersion = 1;
const QString kVersionAppl = QStringLiteral("PUX");
const QString kDbVersion = QStringLiteral("6.91.00");

QStringList scriptFiles(const QString& folder) {
  QDir dir(QStringLiteral(":/db/") + folder);
  QStringList files = dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
  for (QString& f : files) f = dir.filePath(f);
  return files;
}

QString readText(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

QString firstLine(const QString& statement) {
  QString s = statement.simplified();
  return s.left(120);
}

// Runs each statement of the scripts; data statements of a script share one
// transaction, definitions are committed one by one (Firebird needs a
// definition committed before data can use it).
KvStatus runScripts(QSqlDatabase db, const QStringList& files, const Progress& progress, int& done, int total) {
  static const QRegularExpression ddl(
      QStringLiteral("^\\s*(CREATE|ALTER|RECREATE|DROP|DECLARE|COMMENT)\\b"),
      QRegularExpression::CaseInsensitiveOption);
  for (const QString& file : files) {
    const QStringList statements = KvSplitSqlScript(readText(file));
    bool inTransaction = false;
    for (const QString& stmt : statements) {
      const QString bare = KvStripLeadingComments(stmt);
      const bool isDdl = ddl.match(bare).hasMatch();
      if (isDdl && inTransaction) {
        if (!db.commit()) return KvFail(db.lastError().text());
        inTransaction = false;
      }
      if (!isDdl && !inTransaction) {
        if (!db.transaction()) return KvFail(db.lastError().text());
        inTransaction = true;
      }
      QSqlQuery q(db);
      if (!q.exec(stmt)) {
        const QString engine = q.lastError().text();
        if (inTransaction) db.rollback();
        return KvFail(QStringLiteral("%1: istruzione non riuscita (%2): %3")
                          .arg(QFileInfo(file).fileName(), firstLine(bare), engine),
                      engine);
      }
    }
    if (inTransaction && !db.commit()) return KvFail(db.lastError().text());
    ++done;
    if (progress && !progress(done, total, QFileInfo(file).fileName()))
      return KvFail(QStringLiteral("Operazione annullata dall'utente."));
  }
  return {};
}

KvStatus writeVersion(QSqlDatabase db, int version) {
  return KvSql::Exec(
      QStringLiteral("UPDATE OR INSERT INTO TYDBV_DBVERSIONE (SDBVAPPL, SDBVVERSIONE, IDBVSCHEMA, DDBVAGGIORN) "
                     "VALUES (:APPL, :VERS, :SCHEMA, CURRENT_TIMESTAMP) MATCHING (SDBVAPPL)"),
      {{QStringLiteral("APPL"), kVersionAppl}, {QStringLiteral("VERS"), kDbVersion}, {QStringLiteral("SCHEMA"), version}},
      db);
}

}  // namespace

int CurrentVersion() { return kSchemaVersion; }

KvStatus Load(QSqlDatabase db, bool demo, const Progress& progress) {
  QStringList files = scriptFiles(QStringLiteral("schema"));
  if (demo) files += scriptFiles(QStringLiteral("demo"));
  int done = 0;
  if (KvStatus ran = runScripts(db, files, progress, done, int(files.size())); !ran) return ran;
  return writeVersion(db, kSchemaVersion);
}

KvStatus Create(const KvDatabaseTarget& target, bool demo, const Progress& progress) {
  if (KvStatus created = KvCreateDatabase(target); !created) return created;
  // Only speed is lost when synchronous writes stay on.
  (void)KvSetForcedWrites(target, false);
  const QString name = QStringLiteral("pux_create_") + QUuid::createUuid().toString(QUuid::Id128);
  KvStatus ok = KvOpenNamedConnection(name, target);
  if (ok) ok = Load(QSqlDatabase::database(name, false), demo, progress);
  if (QSqlDatabase::contains(name)) {
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
  }
  if (ok) ok = KvSetForcedWrites(target, true);
  // The half-made database goes; the first failure is the one to report.
  if (!ok) (void)KvDropDatabase(target);
  return ok;
}

QList<Object> RequiredObjects() {
  static const QRegularExpression create(
      QStringLiteral("^\\s*(?:CREATE|RECREATE)(?:\\s+OR\\s+ALTER)?\\s+(TABLE|VIEW|PROCEDURE|FUNCTION|SEQUENCE|GENERATOR)\\s+"
                     "([A-Za-z0-9_$]+)"),
      QRegularExpression::CaseInsensitiveOption);
  QList<Object> out;
  for (const QString& file : scriptFiles(QStringLiteral("schema"))) {
    for (const QString& stmt : KvSplitSqlScript(readText(file))) {
      const auto m = create.match(KvStripLeadingComments(stmt));
      if (!m.hasMatch()) continue;
      QString kind = m.captured(1).toUpper();
      if (kind == QLatin1String("GENERATOR")) kind = QStringLiteral("SEQUENCE");
      out.append({kind, m.captured(2).toUpper()});
    }
  }
  return out;
}

KvResult<QStringList> Missing(QSqlDatabase db) {
  QSet<QString> relations, views, procedures, functions, sequences;
  KvStatus read;
  auto collect = [&](const QString& sql, QSet<QString>& into) {
    read = KvSql::Rows(sql, {}, [&](const QSqlQuery& q) { into.insert(q.value(0).toString().trimmed().toUpper()); },
                       db);
    return read.ok();
  };
  if (!collect(QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$VIEW_BLR IS NULL "
                              "AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0"), relations) ||
      !collect(QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$VIEW_BLR IS NOT NULL "
                              "AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0"), views) ||
      !collect(QStringLiteral("SELECT RDB$PROCEDURE_NAME FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
               procedures) ||
      !collect(QStringLiteral("SELECT RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
               functions) ||
      !collect(QStringLiteral("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
               sequences))
    return KvFail(QStringLiteral("Impossibile leggere il catalogo del database."), read.detail());
  QStringList missing;
  for (const Object& o : RequiredObjects()) {
    if (o.kind == QLatin1String("TABLE") && !relations.contains(o.name))
      missing << QStringLiteral("Manca la tabella %1").arg(o.name);
    else if (o.kind == QLatin1String("VIEW") && !views.contains(o.name))
      missing << QStringLiteral("Manca la vista %1").arg(o.name);
    else if (o.kind == QLatin1String("PROCEDURE") && !procedures.contains(o.name))
      missing << QStringLiteral("Manca la procedura %1").arg(o.name);
    else if (o.kind == QLatin1String("FUNCTION") && !functions.contains(o.name))
      missing << QStringLiteral("Manca la funzione %1").arg(o.name);
    else if (o.kind == QLatin1String("SEQUENCE") && !sequences.contains(o.name))
      missing << QStringLiteral("Manca la sequenza %1").arg(o.name);
  }
  return missing;
}

int StoredVersion(QSqlDatabase db) {
  // A database without the version table (an old schema) is at version 0.
  return KvSql::Scalar(QStringLiteral("SELECT IDBVSCHEMA FROM TYDBV_DBVERSIONE WHERE SDBVAPPL = :APPL"),
                       {{QStringLiteral("APPL"), kVersionAppl}}, db)
      .value_or(QVariant(0))
      .toInt();
}

KvStatus Upgrade(QSqlDatabase db) {
  const int stored = StoredVersion(db);
  QStringList pending;
  for (const QString& file : scriptFiles(QStringLiteral("upgrade"))) {
    const int version = QFileInfo(file).fileName().section(QLatin1Char('_'), 0, 0).toInt();
    if (version > stored && version <= kSchemaVersion) pending << file;
  }
  int done = 0;
  for (const QString& file : pending) {
    if (KvStatus ran = runScripts(db, {file}, {}, done, int(pending.size())); !ran) return ran;
    const int version = QFileInfo(file).fileName().section(QLatin1Char('_'), 0, 0).toInt();
    if (KvStatus written = writeVersion(db, version); !written) return written;
  }
  return {};
}

}  // namespace DbSchema
