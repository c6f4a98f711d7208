#include "AbiFinestre.h"
#include "PuxRigaComando.h"

int main(int argc, char** argv) {
  // Every subsystem's windows, reachable by class name.
  AbiRegistraFinestre();
  return PuxRigaComando(argc, argv);
}
