#pragma once

#include "KvResult.h"

#include <QString>

// Codes of an article: its own code (seven characters, left-padded with
// zeros; older rows keep the five characters they were written with) and the
// manufacturer code, which is also its bar code.

// The stored form of a typed article code: trimmed and left-padded with "0"
// to seven characters; a longer text is left as it is.
QString CodiceArticolo(const QString& typed);

// The article (historicized ones too) whose own code has the number of code
// whatever its padding ("41", "00041" and "0000041" find the same article),
// or equals it as text when it is not a number; -1 when none. excludedId
// is skipped (the article being corrected).
KvResult<int> ArticoloDaCodice(const QString& code, int excludedId = -1);

// The article whose manufacturer code equals code; -1 when none or when
// code is empty.
KvResult<int> ArticoloDaBarcode(const QString& code);

// True when no article other than excludedId has the manufacturer code
// (trimmed); an empty code is always free.
KvResult<bool> CodiceCostruttoreLibero(const QString& code, int excludedId = -1);
