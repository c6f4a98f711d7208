#pragma once

#include "KvResult.h"

#include <QString>
#include <QStringList>

#include <functional>

class QUrl;

// How a started program's window should appear. Kept for the commands that
// set it; a document is always shown by its own program as that program decides.
enum class TKvShellStyle { Normal, Minimized, Maximized, Hidden };

// The shell command: opens a document or a folder with the program the
// desktop associates with it, or starts a program, optionally waiting for it
// to end. A relative file name is taken inside the directory. Suite paths
// written the Windows way ("ETC\Pux\Pux_Notizie.pdf") are found whatever the
// letter case of their parts.
class TKvAttShell {
 public:
  void SetFileName(const QString& fileName) { m_fileName = fileName; }
  QString FileName() const { return m_fileName; }
  // Arguments as one command line: blanks separate them, double quotes keep
  // blanks inside one; or as a list, one argument per item.
  void SetParam(const QString& commandLine);
  void SetParam(const QStringList& arguments) { m_arguments = arguments; }
  QStringList Params() const { return m_arguments; }
  // Folder of a relative file name and working folder of a program.
  void SetDirectory(const QString& directory) { m_directory = directory; }
  QString Directory() const { return m_directory; }
  void SetWaitEndOfProcess(bool wait) { m_wait = wait; }
  bool WaitEndOfProcess() const { return m_wait; }
  void SetShellStyle(TKvShellStyle style) { m_style = style; }
  TKvShellStyle ShellStyle() const { return m_style; }
  // Opens or starts the file. Fails with the reason when the file is
  // missing, the document cannot be opened, or the program cannot be started
  // or ends abnormally; a program that ran to its end succeeds, whatever its
  // exit code. Shows nothing: the caller does.
  KvStatus Execute();
  // Exit code of the last program waited for (-1 otherwise).
  int ExitCode() const { return m_exitCode; }
  // The path Execute opens or starts (file name inside the directory).
  QString ResolvedPath() const;
  // Whether the path names a program rather than a document.
  static bool IsProgram(const QString& path);

  // How documents and folders are opened (the desktop by default). Tests
  // install their own to see what would open; an empty function restores it.
  using DocumentOpener = std::function<bool(const QUrl&)>;
  static void SetDocumentOpener(DocumentOpener opener);

 private:
  QString m_fileName;
  QStringList m_arguments;
  QString m_directory;
  bool m_wait = false;
  TKvShellStyle m_style = TKvShellStyle::Normal;
  int m_exitCode = -1;
};
