#pragma once

#include <functional>

// Services a subsystem offers to the shell, installed when the program
// starts (the shell cannot depend on the subsystems built on top of it).
// A service not installed counts as available and does nothing.
struct TPuxServizi {
  std::function<bool()> ApriTabelleMagazzino;  // warehouse lookup tables module
  std::function<bool()> ApriBeneficiari;       // supplier registry module
  std::function<bool()> ApriNuovoAnno;         // financial years module
  std::function<void()> LeggiFirme;            // signatory names of the prints
  std::function<bool()> PreparaStampe;         // print data module ready
  std::function<void()> RicostruisciStampe;    // article order changed
};

extern TPuxServizi PuxServizi;

// The remembered filter choice of the article search window for each of
// its three procedure-side contexts.
extern int PuxFiltriArticoli[3];

// Creates the warehouse lookup-table module once and binds it; false when
// that fails.
bool ApriTabelleMagazzino();
// Resets the article search window's remembered filters; always true.
bool AzzeraFiltriArticoli();
