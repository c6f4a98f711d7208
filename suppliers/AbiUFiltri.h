#pragma once

#include <QString>

// The type-ahead condition of the supplier windows, in the syntax of the
// lists' in-memory filter: "UPPER(FIELD) LIKE '%TEXT%'" with the text
// upper-cased. The text is a literal of the filter, never SQL: its
// apostrophes are doubled so that D'Angelo is searched as typed. LIKE's
// wildcards typed by the user keep their meaning (a "%" or "_" matches
// itself too, so no row that contains the text is ever lost).
QString FiltroContiene(const QString& campo, const QString& testo);
