#include "KvDialogScript.h"

#include <QDialog>

#include <deque>
#include <utility>
#include <vector>

namespace {

struct Entry {
  std::type_index type;
  std::function<bool(QDialog&)> matches;
  std::function<void(QDialog&)> run;
};

struct Script {
  std::deque<Entry> once;
  std::vector<Entry> always;  // the latest set last
};

Script& script() {
  static Script s;
  return s;
}

}  // namespace

void KvDialogScript::add(std::type_index type, Driver driver, bool once) {
  Script& s = script();
  Entry entry{type, std::move(driver.matches), std::move(driver.run)};
  if (once) {
    s.once.push_back(std::move(entry));
    return;
  }
  std::erase_if(s.always, [&](const Entry& e) { return e.type == type; });
  s.always.push_back(std::move(entry));
}

void KvDialogScript::Clear() {
  script() = Script();
}

int KvDialogScript::Pending() {
  return int(script().once.size());
}

bool KvDialogScript::Run(QDialog& dialog) {
  Script& s = script();
  std::function<void(QDialog&)> run;
  for (auto it = s.once.begin(); it != s.once.end() && !run; ++it) {
    if (!it->matches(dialog)) continue;
    // Off the queue before it runs: the driver may open the next dialog.
    run = std::move(it->run);
    s.once.erase(it);
    break;
  }
  for (auto it = s.always.rbegin(); it != s.always.rend() && !run; ++it)
    if (it->matches(dialog)) run = it->run;  // a copy: the driver may clear the script
  if (!run) return false;
  dialog.setResult(QDialog::Rejected);
  run(dialog);
  return true;
}
