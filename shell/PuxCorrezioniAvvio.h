#pragma once

#include "KvResult.h"

// The data fix-ups run at every start of the program, in order: supplier of
// DURC codes, missing procedure numbers, the one-time move of procedures
// into the publication data, publication records without institute, the
// province of the main seat (into the working context), and the 2019 coding
// of the choice of contractor. The first failing step stops the rest; its
// failure is returned.
KvStatus PuxCorrezioniAvvio();

// The single steps, for tests and for running one on its own.
namespace PuxCorrezioni {
KvStatus FornitoreDurc();
KvStatus NumeriPreventivi();
KvStatus MigrazioneAvcp();  // runs only while row 30001 has no mark
KvStatus IstitutoAvcp();
KvStatus Provincia();
KvStatus SceltaContraente2019();
}  // namespace PuxCorrezioni
