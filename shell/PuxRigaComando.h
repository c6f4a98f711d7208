#pragma once

#include <QStringList>

// The command line of pux: the database commands and the program's start.
// Returns the process exit code (0 done, 1 failed, 2 bad usage).
int PuxRigaComando(int argc, char** argv);

QString PuxTestoAiuto();
