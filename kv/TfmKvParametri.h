#pragma once

#include "KvParamManager.h"
#include "TfmKvDialog.h"

#include <vector>

class QComboBox;

// The parameter window: one labelled control per defined parameter, grouped
// by application; lists for the parameters with choices. OK stores every
// value in one transaction; "Annulla" stores nothing. Each control's object
// name is its parameter key.
class TfmKvParametri : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmKvParametri(TKvParamManager& manager, QWidget* parent = nullptr);

  QWidget* Control(const QString& key) const;
  QComboBox* List(const QString& key) const;
  TKvParamValue Value(const QString& key) const;

  // Lists may depend on what other lists show (the years of the chosen
  // institute): after a choice every list is built again, in definition
  // order, keeping its own choice when still offered.
  void RefillLists();

 protected:
  bool CanAccept() override;

 private:
  struct Entry {
    TKvParamDef def;
    QWidget* control = nullptr;
    QVariant stored;
    TKvEnumList list;
  };
  const Entry* entry(const QString& key) const;
  TKvParamValue valueOf(const Entry& e) const;
  void showList(Entry& e, const TKvEnumList& list, const QString& keepId);
  void showValue(Entry& e, const TKvParamValue& value);
  void reportListError(const TKvParamDef& def, const KvFailure& failure);

  TKvParamManager& m_manager;
  std::vector<Entry> m_entries;
  bool m_refilling = false;
};
