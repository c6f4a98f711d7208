#include "KvUtils.h"

#include <QDir>
#include <QTemporaryFile>

QString GetTempFilename(const QString& prefix, const QString& extension) {
  // Separators in prefix or extension would leave the temporary folder.
  auto plain = [](QString part) {
    part.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return part;
  };
  QString name = (prefix.isEmpty() ? QStringLiteral("kv") : plain(prefix)) + QStringLiteral("XXXXXX");
  QString ext = extension;
  if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
  if (!ext.isEmpty()) name += QLatin1Char('.') + plain(ext);
  QTemporaryFile file(QDir::temp().filePath(name));
  file.setAutoRemove(false);
  if (!file.open()) return {};
  return QDir::toNativeSeparators(file.fileName());
}
