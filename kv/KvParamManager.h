#pragma once

#include <QString>
#include <QVariant>

// The parameter store of the suite's programs, kept in the database
// (TYPAR_PARAMETRI) so every clerk of a school sees the same choices.
// A key belongs to the application named by its prefix: "KVUP_" to the
// framework ("KV"), "PUXP_" to this program ("PUX").
class TKvParamManager {
 public:
  // The stored value as text, or a null variant when never saved.
  static QVariant GetParams(const QString& key);
  static bool SetParams(const QString& key, const QVariant& value, QString* error = nullptr);
  static QString ApplicationOf(const QString& key);
};

// A parameter as an integer: -1 when unset, empty or not a number.
int KvParamAsInt(const QString& key);
