#pragma once

#include "KvResult.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QSqlDatabase;
class QWidget;

// One entry of a drop-down list: the value stored and the text shown.
struct TKvEnumValue {
  QString id;
  QString text;
  bool operator==(const TKvEnumValue&) const = default;
};
using TKvEnumList = QList<TKvEnumValue>;

enum class TKvParamKind { Text, Integer, EnumList };

// A parameter shown in the parameter window.
struct TKvParamDef {
  QString key;      // "PUXP_Decimali"
  QString caption;  // label in the window
  TKvParamKind kind = TKvParamKind::Text;
  QString application;  // group: "PUX", "KV", "QTZ"; from the key's prefix when empty
  // Default choices of a list: fixed entries, or a statement whose first two
  // columns give id and text (run on the manager's connection).
  TKvEnumList items;
  QString listStatement;
};

// What a control holds: for a list the chosen position (-1 none) with its id
// and text, for the other kinds the typed text.
struct TKvParamValue {
  int index = -1;
  QString id;
  QString text;
};

// The parameter store of the suite's programs, kept in the database
// (TYPAR_PARAMETRI) so every clerk of a school sees the same choices.
// A key belongs to the application named by its prefix: "KVUP_" to the
// framework ("KV"), "PUXP_" to this program ("PUX").
//
// An instance also describes the parameter window: the definitions, and four
// events through which a program adapts it. Each event gets handled = false;
// a handler that sets it skips the default processing of that parameter.
class TKvParamManager {
 public:
  // The stored value as text, or a null variant when never saved.
  static QVariant GetParams(const QString& key);
  static KvStatus SetParams(const QString& key, const QVariant& value);
  static QString ApplicationOf(const QString& key);

  // Replaces list with the rows of statement: first column the id, second
  // the shown text; the engine's text when the statement fails.
  static KvResult<TKvEnumList> LoadEnumValues(const QSqlDatabase& db, const QString& statement);
  // The same on a named connection; an empty name is the global connection.
  static KvResult<TKvEnumList> LoadEnumValues(const QString& connectionName, const QString& statement);

  // The connection the window reads and writes (empty: the global one).
  void SetConnectionName(const QString& name) { m_connectionName = name; }
  QString ConnectionName() const { return m_connectionName; }
  QSqlDatabase Database() const;

  // Applications served, as "code=version" ("PUX=1.0").
  void SetApplications(const QStringList& applications) { m_applications = applications; }
  QStringList Applications() const { return m_applications; }
  void SetShowAggregate(bool show) { m_showAggregate = show; }
  bool ShowAggregate() const { return m_showAggregate; }

  // Adds or replaces (same key, any letter case) a definition.
  void AddParam(const TKvParamDef& def);
  // The framework's own parameters: working institute and financial year.
  void AddKvParams();
  const QList<TKvParamDef>& Params() const { return m_params; }
  const TKvParamDef* Param(const QString& key) const;

  // Choices of a list; current is what the control shows now.
  std::function<void(const QString& key, const TKvParamValue& current, TKvEnumList& list, bool& handled)> FillListParam;
  // Puts the stored value (null when never saved) into the control.
  std::function<void(const QString& key, const QVariant& stored, TKvParamValue& control, bool& handled)> ReadParam;
  // Turns the control's value into the text to store.
  std::function<void(const QString& key, const TKvParamValue& control, QString& stored, bool& handled)> WriteParam;
  // After the control of a parameter is built (size, position, hints).
  std::function<void(const QString& key, QWidget* control)> AfterCreateCtrl;

  // Shows the parameter window; true when the user confirmed and every
  // value was saved.
  bool Execute(QWidget* parent = nullptr);

  // The steps of the window, each running its event then the default.
  KvResult<TKvEnumList> FillList(const TKvParamDef& def, const TKvParamValue& current) const;
  TKvParamValue ReadValue(const TKvParamDef& def, const QVariant& stored, const TKvEnumList& list) const;
  QString WriteValue(const TKvParamDef& def, const TKvParamValue& control) const;
  // The stored value on the manager's connection.
  QVariant StoredValue(const QString& key) const;
  // Stores every value in one transaction: all of them or none.
  KvStatus SaveValues(const QList<QPair<QString, QString>>& values) const;

 private:
  QString m_connectionName;
  QStringList m_applications;
  bool m_showAggregate = false;
  QList<TKvParamDef> m_params;
};

// A parameter as an integer: -1 when unset, empty or not a number.
int KvParamAsInt(const QString& key);
