#pragma once

#include "KvResult.h"

struct KvDatabaseTarget;

// Creating and dropping whole databases through the Firebird client library
// (the SQL driver can only attach to existing ones).

// Creates an empty UTF8 database. Refuses a file that already exists.
KvStatus KvCreateDatabase(const KvDatabaseTarget& target);

// Drops a database no connection is attached to; an embedded file that is
// not a database is simply removed.
KvStatus KvDropDatabase(const KvDatabaseTarget& target);

// Switches synchronous writes of a database on or off. Creating a schema
// runs with them off (four times faster); a database in use keeps them on,
// so that a power cut cannot corrupt it.
KvStatus KvSetForcedWrites(const KvDatabaseTarget& target, bool on);
