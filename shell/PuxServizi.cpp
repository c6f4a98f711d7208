#include "PuxServizi.h"

TPuxServizi PuxServizi;

int PuxFiltriArticoli[3] = {0, 0, 0};

bool ApriTabelleMagazzino() { return !PuxServizi.ApriTabelleMagazzino || PuxServizi.ApriTabelleMagazzino(); }

bool AzzeraFiltriArticoli() {
  for (int& f : PuxFiltriArticoli) f = 0;
  return true;
}
