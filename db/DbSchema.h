#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "KvResult.h"

#include <functional>

struct KvDatabaseTarget;

// The suite schema this program relies on, its demo data and its upgrades.
namespace DbSchema {

// Version of the schema the files of this build create.
int CurrentVersion();

// Reports progress of long work: step done, steps in all, what is being
// done; returning false stops the work (the user cancelled).
using Progress = std::function<bool(int done, int total, const QString& what)>;

// Creates a database with the whole schema (and the demo data when asked).
// On any failure the half-made database is dropped and the failure says why.
KvStatus Create(const KvDatabaseTarget& target, bool demo, const Progress& progress = {});

// Runs the schema (and demo) statements on an open, empty database.
KvStatus Load(QSqlDatabase db, bool demo, const Progress& progress = {});

// Every table, view, procedure and sequence the schema defines, by kind:
// "TABLE", "VIEW", "PROCEDURE", "FUNCTION", "SEQUENCE" (names in upper case).
struct Object {
  QString kind;
  QString name;
};
QList<Object> RequiredObjects();

// The required objects the database lacks, as Italian lines for the user;
// a failure when the catalogue cannot be read.
KvResult<QStringList> Missing(QSqlDatabase db);

// Schema version stored in the database (0 when it has none).
int StoredVersion(QSqlDatabase db);

// Applies the upgrade scripts newer than the stored version, each in order;
// stops at the first failure.
KvStatus Upgrade(QSqlDatabase db);

}  // namespace DbSchema
