#include "DbSchema.h"

#include "KvConnection.h"
#include "KvFbAdmin.h"
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
bool runScripts(QSqlDatabase db, const QStringList& files, QString* error, const Progress& progress,
                int& done, int total) {
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
        if (!db.commit()) {
          if (error) *error = db.lastError().text();
          return false;
        }
        inTransaction = false;
      }
      if (!isDdl && !inTransaction) {
        if (!db.transaction()) {
          if (error) *error = db.lastError().text();
          return false;
        }
        inTransaction = true;
      }
      QSqlQuery q(db);
      if (!q.exec(stmt)) {
        if (error)
          *error = QStringLiteral("%1: istruzione non riuscita (%2): %3")
                       .arg(QFileInfo(file).fileName(), firstLine(bare), q.lastError().text());
        if (inTransaction) db.rollback();
        return false;
      }
    }
    if (inTransaction && !db.commit()) {
      if (error) *error = db.lastError().text();
      return false;
    }
    ++done;
    if (progress && !progress(done, total, QFileInfo(file).fileName())) {
      if (error) *error = QStringLiteral("Operazione annullata dall'utente.");
      return false;
    }
  }
  return true;
}

bool writeVersion(QSqlDatabase db, int version, QString* error) {
  QSqlQuery q(db);
  q.prepare(QStringLiteral("UPDATE OR INSERT INTO TYDBV_DBVERSIONE (SDBVAPPL, SDBVVERSIONE, IDBVSCHEMA, DDBVAGGIORN) "
                           "VALUES (:APPL, :VERS, :SCHEMA, CURRENT_TIMESTAMP) MATCHING (SDBVAPPL)"));
  q.bindValue(QStringLiteral(":APPL"), kVersionAppl);
  q.bindValue(QStringLiteral(":VERS"), kDbVersion);
  q.bindValue(QStringLiteral(":SCHEMA"), version);
  if (!q.exec()) {
    if (error) *error = q.lastError().text();
    return false;
  }
  return true;
}

}  // namespace

int CurrentVersion() { return kSchemaVersion; }

bool Load(QSqlDatabase db, bool demo, QString* error, const Progress& progress) {
  QStringList files = scriptFiles(QStringLiteral("schema"));
  if (demo) files += scriptFiles(QStringLiteral("demo"));
  int done = 0;
  if (!runScripts(db, files, error, progress, done, int(files.size()))) return false;
  return writeVersion(db, kSchemaVersion, error);
}

bool Create(const KvDatabaseTarget& target, bool demo, QString* error, const Progress& progress) {
  if (!KvCreateDatabase(target, error)) return false;
  QString ignored;
  KvSetForcedWrites(target, false, &ignored);
  const QString name = QStringLiteral("pux_create_") + QUuid::createUuid().toString(QUuid::Id128);
  QString openError;
  bool ok = KvOpenNamedConnection(name, target, &openError);
  if (!ok) {
    if (error) *error = openError;
  } else {
    ok = Load(QSqlDatabase::database(name, false), demo, error, progress);
  }
  if (QSqlDatabase::contains(name)) {
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
  }
  if (ok) ok = KvSetForcedWrites(target, true, error);
  if (!ok) KvDropDatabase(target, &ignored);
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

QStringList Missing(QSqlDatabase db, QString* error) {
  QSet<QString> relations, views, procedures, functions, sequences;
  QSqlQuery q(db);
  auto collect = [&](const QString& sql, QSet<QString>& into) {
    if (!q.exec(sql)) {
      if (error) *error = q.lastError().text();
      return false;
    }
    while (q.next()) into.insert(q.value(0).toString().trimmed().toUpper());
    return true;
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
    return {QStringLiteral("Impossibile leggere il catalogo del database.")};
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
  QSqlQuery q(db);
  q.prepare(QStringLiteral("SELECT IDBVSCHEMA FROM TYDBV_DBVERSIONE WHERE SDBVAPPL = :APPL"));
  q.bindValue(QStringLiteral(":APPL"), kVersionAppl);
  if (!q.exec() || !q.next()) return 0;
  return q.value(0).toInt();
}

bool Upgrade(QSqlDatabase db, QString* error) {
  const int stored = StoredVersion(db);
  QStringList pending;
  for (const QString& file : scriptFiles(QStringLiteral("upgrade"))) {
    const int version = QFileInfo(file).fileName().section(QLatin1Char('_'), 0, 0).toInt();
    if (version > stored && version <= kSchemaVersion) pending << file;
  }
  int done = 0;
  for (const QString& file : pending) {
    if (!runScripts(db, {file}, error, {}, done, int(pending.size()))) return false;
    const int version = QFileInfo(file).fileName().section(QLatin1Char('_'), 0, 0).toInt();
    if (!writeVersion(db, version, error)) return false;
  }
  return true;
}

}  // namespace DbSchema
