#include "PuxContesto.h"

TContesto Contesto;
