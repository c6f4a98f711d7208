#pragma once

#include "KvConnection.h"

#include <gtest/gtest.h>

#include <QString>

#include <ostream>
#include <vector>

// Readable QString values in assertion messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Fresh databases for tests. A template database (schema only, or schema
// with the demo data) is built once for the scripts of this build, shared by
// the test processes, and copied for each test, which takes milliseconds. PUX_TEST_DB=server puts the databases on
// the loopback server named by PUX_TEST_SERVER ("127.0.0.1/3057"), in the
// folder PUX_TEST_SERVER_DIR, with PUX_TEST_SERVER_USER/PASSWORD.
namespace PuxTestDb {

enum class Content { Schema, Demo };

bool ServerMode();
// PUX_TEST_SERVER and PUX_TEST_SERVER_DIR name a loopback server.
bool ServerConfigured();
// The main of a test binary: an offscreen application, the listeners added
// (gtest owns them). In server mode with no server configured it runs no
// test and returns kSkipped (ctest reports the test as skipped).
constexpr int kSkipped = 77;
int RunAllTests(int argc, char** argv, const std::vector<::testing::TestEventListener*>& listeners = {});
// A new database of the given content; fails the test when it cannot be made.
KvDatabaseTarget NewDatabase(Content content);
// A target for a database that does not exist yet (in the test's folder).
KvDatabaseTarget UnusedTarget(const QString& name);
void Remove(const KvDatabaseTarget& target);
// The folder where the test's embedded files live.
QString Folder();

}  // namespace PuxTestDb

// A test with the global connection open on a fresh database.
class PuxDbTest : public ::testing::Test {
 protected:
  virtual PuxTestDb::Content content() const { return PuxTestDb::Content::Demo; }
  void SetUp() override;
  void TearDown() override;
  // Runs one statement on the global connection; fails the test on error.
  void Exec(const QString& sql);
  // First column of the first row of a query.
  QVariant Scalar(const QString& sql);

  KvDatabaseTarget target;
};
