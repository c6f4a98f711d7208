#include "PuxRigaComando.h"

int main(int argc, char** argv) { return PuxRigaComando(argc, argv); }
