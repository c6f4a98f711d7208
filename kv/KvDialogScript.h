#pragma once

#include <functional>
#include <typeindex>

class QDialog;

// Modal dialogs driven without a person, for tests (the dialogs' side of
// KvMessageScript). A driver gets the dialog prepared as for showing; it
// works its controls and presses OK or Annulla (or neither: rejected).
//
//   KvDialogScript::Next<TfmFenCCD>([](TfmFenCCD& d) { ...; d.OkButton()->click(); });
//
// Next drives the next modal run of a dialog of the class (or a derived one),
// once; Drive every run until Clear. Queued drivers come first.
class KvDialogScript {
 public:
  template <class Dialog>
  static void Next(std::function<void(Dialog&)> driver) {
    add(typeid(Dialog), wrap(std::move(driver)), true);
  }
  template <class Dialog>
  static void Drive(std::function<void(Dialog&)> driver) {
    add(typeid(Dialog), wrap(std::move(driver)), false);
  }
  static void Clear();
  // Drivers queued by Next and not yet used.
  static int Pending();

  // Called by the dialogs' modal run: runs the driver for the dialog, if
  // any, and tells whether one ran (the dialog's result is then set).
  static bool Run(QDialog& dialog);

 private:
  struct Driver {
    std::function<bool(QDialog&)> matches;
    std::function<void(QDialog&)> run;
  };
  template <class Dialog>
  static Driver wrap(std::function<void(Dialog&)> driver) {
    return {[](QDialog& dialog) { return dynamic_cast<Dialog*>(&dialog) != nullptr; },
            [driver = std::move(driver)](QDialog& dialog) { driver(dynamic_cast<Dialog&>(dialog)); }};
  }
  static void add(std::type_index type, Driver driver, bool once);
};
