#include "AbiFinestre.h"
#include "AbzFinestre.h"
#include "FenFinestre.h"
#include "PuxRigaComando.h"

int main(int argc, char** argv) {
  // Every subsystem's windows, reachable by class name.
  AbiRegistraFinestre();
  AbzRegistraFinestre();
  FenRegistraFinestre();
  return PuxRigaComando(argc, argv);
}
