#pragma once

#include <QString>

class QSettings;

// Installation and data folders of the suite, and the program's settings.
//
// The suite writes paths the Windows way ("etc\Pux\smtp.pux.conf",
// "C:\KalvoData\Export\AVCP\"). On every platform they are resolved under two
// roots: the installation root (PUX_ROOT, else the setting "paths/root",
// else the platform default) and the data root (PUX_DATA, else "paths/data",
// else "C:\KalvoData\" on Windows and ~/KalvoData elsewhere). Names that
// differ only in letter case name the same file, as on Windows.
class TKvParam {
 public:
  // Installation root, ending in a separator.
  static QString GetMainDir();
  // Data root (exports, the embedded database), ending in a separator.
  static QString GetDataDir();
  // Application code of this program ("PUX").
  static QString GetApplCod();
  static void SetApplCod(const QString& code);

  // The program's settings file (PUX_CONFIG, else the user's config folder).
  static QString SettingsFile();
};

// Resolves a suite-relative path ("etc\Pux\smtp.pux.conf") under root,
// reusing existing folders and files whatever their letter case; parts that
// do not exist yet keep the case written. ".." parts are honoured.
QString KvSuitePath(const QString& root, const QString& relative);

// Path with a trailing separator.
QString AppendSlash(const QString& path);
