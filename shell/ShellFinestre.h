#pragma once

// Registers the shell's windows in the window factory by class name, and
// installs the services the shell's own commands need (the financial years
// module of "Nuovo Anno").
void ShellRegistraFinestre();
