#include "KvParam.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString g_applCod = QStringLiteral("PUX");

QString fromEnvOrSetting(const char* env, const QString& key) {
  const QString fromEnv = qEnvironmentVariable(env);
  if (!fromEnv.isEmpty()) return fromEnv;
  QSettings settings(TKvParam::SettingsFile(), QSettings::IniFormat);
  return settings.value(key).toString();
}

}  // namespace

QString AppendSlash(const QString& path) {
  if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))) return path;
  return path + QDir::separator();
}

QString TKvParam::SettingsFile() {
  const QString fromEnv = qEnvironmentVariable("PUX_CONFIG");
  if (!fromEnv.isEmpty()) return fromEnv;
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/pux/pux.conf");
}

QString TKvParam::GetMainDir() {
  QString dir = fromEnvOrSetting("PUX_ROOT", QStringLiteral("paths/root"));
  if (dir.isEmpty()) {
#ifdef Q_OS_WIN
    // The suite installs its programs in <root>\bin.
    dir = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).absolutePath();
#else
    dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/pux");
#endif
  }
  return AppendSlash(QDir::cleanPath(dir));
}

QString TKvParam::GetDataDir() {
  QString dir = fromEnvOrSetting("PUX_DATA", QStringLiteral("paths/data"));
  if (dir.isEmpty()) {
#ifdef Q_OS_WIN
    dir = QStringLiteral("C:\\KalvoData\\");
#else
    dir = QDir::homePath() + QStringLiteral("/KalvoData");
#endif
  }
  return AppendSlash(QDir::cleanPath(dir));
}

QString TKvParam::GetApplCod() { return g_applCod; }

void TKvParam::SetApplCod(const QString& code) { g_applCod = code; }

QString KvSuitePath(const QString& root, const QString& relative) {
  QString rel = relative;
  rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
  QString current = QDir::cleanPath(root);
  const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    if (part == QLatin1String(".")) continue;
    if (part == QLatin1String("..")) {
      current = QFileInfo(current).absolutePath();
      continue;
    }
    QString next = current + QLatin1Char('/') + part;
    if (!QFileInfo::exists(next)) {
      const QDir dir(current);
      const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
      for (const QString& entry : entries) {
        if (entry.compare(part, Qt::CaseInsensitive) == 0) {
          next = current + QLatin1Char('/') + entry;
          break;
        }
      }
    }
    current = next;
  }
  if (rel.endsWith(QLatin1Char('/'))) current = AppendSlash(current);
  return QDir::toNativeSeparators(current);
}
