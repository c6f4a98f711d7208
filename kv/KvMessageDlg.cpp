#include "KvMessageDlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ScriptState {
  bool active = false;
  QList<int> answers;
  QList<KvMessageScript::Shown> shown;
};

ScriptState& script() {
  static ScriptState state;
  return state;
}

int fallbackAnswer(int buttons, int defaultButton) {
  auto result = [](int button) {
    switch (button) {
      case mbYes: return mrYes;
      case mbNo: return mrNo;
      case mbOK: return mrOk;
      case mbCancel: return mrCancel;
      case mbAbort: return mrAbort;
      case mbRetry: return mrRetry;
      case mbIgnore: return mrIgnore;
      default: return mrNone;
    }
  };
  if (defaultButton && (buttons & defaultButton)) return result(defaultButton);
  for (int b : {int(mbOK), int(mbYes), int(mbCancel), int(mbNo), int(mbAbort), int(mbRetry), int(mbIgnore)})
    if (buttons & b) return result(b);
  return mrOk;
}

}  // namespace

void KvShowFailure(const KvFailure& failure, TMsgDlgType type) {
  if (failure.text.isEmpty() && failure.detail.isEmpty()) return;  // the user was told already
  QString text = failure.text;
  const QString detail = failure.detail.trimmed();
  if (!detail.isEmpty() && !text.contains(detail)) text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + detail;
  KvMessageDlg(text, type, mbOK);
}

int KvMessageDlg(const QString& text, TMsgDlgType type, int buttons, int, int defaultButton) {
  if (buttons == 0) buttons = mbOK;
  ScriptState& s = script();
  if (s.active) {
    const int answer = s.answers.isEmpty() ? fallbackAnswer(buttons, defaultButton) : s.answers.takeFirst();
    s.shown.append({text, type, buttons, answer});
    return answer;
  }
  QMessageBox box(QApplication::activeWindow());
  box.setText(text);
  switch (type) {
    case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); box.setWindowTitle(QStringLiteral("Attenzione")); break;
    case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); box.setWindowTitle(QStringLiteral("Errore")); break;
    case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); box.setWindowTitle(QStringLiteral("Informazione")); break;
    case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); box.setWindowTitle(QStringLiteral("Conferma")); break;
    case TMsgDlgType::mtCustom: box.setWindowTitle(QApplication::applicationName()); break;
  }
  struct Choice { int button; const char* caption; int result; QMessageBox::ButtonRole role; };
  static const Choice choices[] = {
      {mbYes, "&Sì", mrYes, QMessageBox::YesRole},        {mbNo, "&No", mrNo, QMessageBox::NoRole},
      {mbOK, "OK", mrOk, QMessageBox::AcceptRole},          {mbCancel, "Annulla", mrCancel, QMessageBox::RejectRole},
      {mbAbort, "&Interrompi", mrAbort, QMessageBox::RejectRole}, {mbRetry, "&Riprova", mrRetry, QMessageBox::AcceptRole},
      {mbIgnore, "I&gnora", mrIgnore, QMessageBox::AcceptRole},
  };
  QMap<QAbstractButton*, int> results;
  for (const Choice& c : choices) {
    if (!(buttons & c.button)) continue;
    QPushButton* b = box.addButton(QString::fromUtf8(c.caption), c.role);
    results.insert(b, c.result);
    if (c.button == defaultButton) box.setDefaultButton(b);
  }
  box.exec();
  return results.value(box.clickedButton(), (buttons & mbCancel) ? mrCancel : mrNone);
}

namespace KvMessageScript {
void Begin() {
  script() = ScriptState{};
  script().active = true;
}
void End() { script() = ScriptState{}; }
bool Active() { return script().active; }
void Answer(int modalResult) { script().answers.append(modalResult); }
QList<Shown> Messages() { return script().shown; }
QStringList Texts() {
  QStringList out;
  for (const Shown& s : script().shown) out << s.text;
  return out;
}
void Clear() { script().shown.clear(); }
}  // namespace KvMessageScript
