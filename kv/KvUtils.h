#pragma once

#include <QString>

// A unique name in the system temporary folder: prefix, random characters,
// then "." + extension when one is given. The file is created empty, so that
// no other process can take the same name before the caller uses it; the
// caller owns it from then on (it may delete it and make a folder with that
// name instead). Empty when the folder cannot be written.
QString GetTempFilename(const QString& prefix = QStringLiteral("kv"), const QString& extension = QString());
