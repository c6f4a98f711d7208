#include "KvParam.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(KvParam, SuitePathsIgnoreLetterCaseOfExistingParts) {
  QTemporaryDir root;
  ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("ETC/pux")));
  QFile f(root.path() + QStringLiteral("/ETC/pux/SMTP.Pux.conf"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();

  struct Case {
    const char* relative;
    const char* expected;
  } cases[] = {
      {"etc\\Pux\\smtp.pux.conf", "/ETC/pux/SMTP.Pux.conf"},     // existing file, other case
      {"etc\\Pux\\directory.pux.conf", "/ETC/pux/directory.pux.conf"},  // new file in existing folder
      {"usr\\mba\\rpt\\", "/usr/mba/rpt/"},                        // nothing exists yet: as written
      {"etc\\Pux\\..\\PUX\\smtp.pux.conf", "/ETC/pux/SMTP.Pux.conf"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(KvSuitePath(root.path(), QString::fromUtf8(c.relative)), root.path() + QString::fromUtf8(c.expected))
        << c.relative;
}

TEST(KvParam, RootsComeFromTheEnvironmentWithATrailingSeparator) {
  QTemporaryDir dir;
  qputenv("PUX_ROOT", dir.path().toUtf8());
  qputenv("PUX_DATA", (dir.path() + QStringLiteral("/data/")).toUtf8());
  EXPECT_EQ(TKvParam::GetMainDir(), dir.path() + QLatin1Char('/'));
  EXPECT_EQ(TKvParam::GetDataDir(), dir.path() + QStringLiteral("/data/"));
  qunsetenv("PUX_ROOT");
  qunsetenv("PUX_DATA");
  EXPECT_EQ(TKvParam::GetApplCod(), QStringLiteral("PUX"));
  EXPECT_EQ(AppendSlash(QStringLiteral("a/b")), QStringLiteral("a/b/"));
  EXPECT_EQ(AppendSlash(QStringLiteral("a\\b\\")), QStringLiteral("a\\b\\"));
}
