#include "KvLookupPresets.h"

#include <QHash>

namespace {
QHash<QString, KvLookupPresets::Preset>& presets() {
  static QHash<QString, KvLookupPresets::Preset> all;
  return all;
}
}  // namespace

void KvLookupPresets::Register(const QString& name, Preset preset) {
  presets().insert(name, std::move(preset));
}

bool KvLookupPresets::IsRegistered(const QString& name) {
  return presets().contains(name);
}

bool KvLookupPresets::Apply(const QString& name, TKvDBLookupEdit& lookup) {
  const auto it = presets().constFind(name);
  if (it == presets().constEnd() || !*it) return false;
  (*it)(lookup);
  return true;
}
