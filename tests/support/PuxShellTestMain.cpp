#include "PuxContesto.h"
#include "PuxTestDb.h"

namespace {

// Every test starts and ends with the working context of a program just
// started, whatever the test before it left there.
class ContestoReset : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { Contesto.Reset(); }
  void OnTestEnd(const ::testing::TestInfo&) override { Contesto.Reset(); }
};

}  // namespace

int main(int argc, char** argv) { return PuxTestDb::RunAllTests(argc, argv, {new ContestoReset}); }
