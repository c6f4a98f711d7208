#pragma once

#include <QString>
#include <QStringList>

#include "KvResult.h"

// Every question and message to the user goes through KvMessageDlg, so that
// a test can script the answers and read the texts.

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons, combined with |.
enum TMsgDlgBtn : int {
  mbYes = 0x1,
  mbNo = 0x2,
  mbOK = 0x4,
  mbCancel = 0x8,
  mbAbort = 0x10,
  mbRetry = 0x20,
  mbIgnore = 0x40,
};
constexpr int mbYesNo = mbYes | mbNo;
constexpr int mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr int mbOKCancel = mbOK | mbCancel;

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// Shows the message and returns the modal result of the button pressed.
int KvMessageDlg(const QString& text, TMsgDlgType type, int buttons, int helpContext = 0, int defaultButton = 0);

// Shows why an operation failed: its text, and the engine's own text below
// when it adds something. For the window edge (action handlers and slots).
// A failure without text (the user cancelled, or was told already) shows nothing.
void KvShowFailure(const KvFailure& failure, TMsgDlgType type = TMsgDlgType::mtError);

// True when result holds a value; else shows its failure and returns false.
template <class T>
bool KvReport(const KvResult<T>& result, TMsgDlgType type = TMsgDlgType::mtError) {
  if (result) return true;
  KvShowFailure(result.failure(), type);
  return false;
}

// Scripted answers for tests: while a script is active no window is shown;
// each message takes the next queued answer (or, when none is left, the
// default button, else the first of OK, Yes, Cancel, No) and is recorded.
namespace KvMessageScript {
struct Shown {
  QString text;
  TMsgDlgType type;
  int buttons;
  int answer;
};
void Begin();
void End();
bool Active();
void Answer(int modalResult);
QList<Shown> Messages();
QStringList Texts();
void Clear();
}  // namespace KvMessageScript
