#include "PuxTestDb.h"

int main(int argc, char** argv) { return PuxTestDb::RunAllTests(argc, argv); }
