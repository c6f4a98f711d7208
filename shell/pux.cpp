#include "AbiFinestre.h"
#include "AbzFinestre.h"
#include "FenFinestre.h"
#include "KvCloseOnSignal.h"
#include "PuxRigaComando.h"

int main(int argc, char** argv) {
  // Before the database engine starts its threads, which must never take
  // the closing signals.
  KvCloseOnSignal::ReserveSignals();
  // Every subsystem's windows, reachable by class name.
  AbiRegistraFinestre();
  AbzRegistraFinestre();
  FenRegistraFinestre();
  return PuxRigaComando(argc, argv);
}
