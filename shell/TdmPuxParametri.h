#pragma once

#include "KvParamManager.h"

// The parameters of this program in the parameter window: the working
// institute, the financial year (the years linked to the institute shown in
// the window) and four preferences shown as lists and stored as positions.
class TdmPuxParametri {
 public:
  TdmPuxParametri();

  TKvParamManager xpmKvuParams;

  // The institute last filled, read or written: the year list follows it.
  int IstitutoCorrente() const { return m_istituto; }

  // The fixed choices of a program parameter (empty for other keys).
  static QStringList Scelte(const QString& key);

 private:
  void FillListParam(const QString& key, const TKvParamValue& current, TKvEnumList& list, bool& handled);
  void ReadParam(const QString& key, const QVariant& stored, TKvParamValue& control, bool& handled);
  void WriteParam(const QString& key, const TKvParamValue& control, QString& stored, bool& handled);
  void AfterCreateCtrl(const QString& key, QWidget* control);

  int m_istituto = -1;
};
