#pragma once

#include <QString>

// The data fix-ups run at every start of the program, in order: supplier of
// DURC codes, missing procedure numbers, the one-time move of procedures
// into the publication data, publication records without institute, the
// province of the main seat (into the working context), and the 2019 coding
// of the choice of contractor. The first failing step stops the rest; its
// error is returned.
bool PuxCorrezioniAvvio(QString* error);

// The single steps, for tests and for running one on its own.
namespace PuxCorrezioni {
bool FornitoreDurc(QString* error);
bool NumeriPreventivi(QString* error);
bool MigrazioneAvcp(QString* error);  // runs only while row 30001 has no mark
bool IstitutoAvcp(QString* error);
bool Provincia(QString* error);
bool SceltaContraente2019(QString* error);
}  // namespace PuxCorrezioni
