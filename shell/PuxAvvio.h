#pragma once

#include "KvConnection.h"

#include <QString>
#include <QStringList>

// How the program finds its database and reads the working context.

// The database chosen for this run: the command line, else PUX_DATABASE,
// else the setting "database/path", else the embedded demo database in the
// data folder. Credentials: PUX_DB_USER / PUX_DB_PASSWORD, else the
// settings "database/user" and "database/password".
struct PuxDatabaseChoice {
  KvDatabaseTarget target;
  bool isDefault = false;  // nothing configured: the embedded demo database
};
PuxDatabaseChoice PuxScegliDatabase(const QString& fromCommandLine, const QString& user = {},
                                    const QString& password = {});

// The default embedded database file under the data folder.
QString PuxDatabasePredefinito();

// Opens the global connection on the chosen database, first creating the
// demo database when nothing is configured and it does not exist yet, and
// bringing an older schema up to date.
KvStatus PuxApriDatabase(const PuxDatabaseChoice& choice);

// Reads the working institute, year and preferences from the parameters and
// computes the year's range.
void PuxLeggiContesto();
void PuxCalcolaDateEsercizio();
