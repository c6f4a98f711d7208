#pragma once

#include <QString>

#include <functional>

class TKvDBLookupEdit;

// A lookup that several subsystems use (a supplier, a code, an article...)
// is declared once by the subsystem that owns its table and applied by name,
// as windows are opened by class name: a window can store another
// subsystem's key without linking that subsystem.
namespace KvLookupPresets {
using Preset = std::function<void(TKvDBLookupEdit&)>;
void Register(const QString& name, Preset preset);
bool IsRegistered(const QString& name);
// Configures the lookup; false (the lookup untouched) when no preset has the name.
bool Apply(const QString& name, TKvDBLookupEdit& lookup);
}  // namespace KvLookupPresets
