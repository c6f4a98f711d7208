#include "TKvAttShell.h"

#include "KvParam.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace {

TKvAttShell::DocumentOpener& documentOpener() {
  static TKvAttShell::DocumentOpener opener;
  return opener;
}

bool openDocument(const QUrl& url) {
  const TKvAttShell::DocumentOpener& opener = documentOpener();
  return opener ? opener(url) : QDesktopServices::openUrl(url);
}

// A web or mail address rather than a file.
bool isAddress(const QString& text) {
  const QString scheme = QUrl(text).scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

// Finds a path written with backslashes or in another letter case.
QString localPath(const QString& path) {
#ifdef Q_OS_WIN
  return QDir::toNativeSeparators(QDir::cleanPath(path));
#else
  QString unix = path;
  unix.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (QFileInfo::exists(unix)) return QDir::cleanPath(unix);
  const bool absolute = unix.startsWith(QLatin1Char('/'));
  QString found = QDir::cleanPath(KvSuitePath(absolute ? QStringLiteral("/") : QDir::currentPath(), unix));
  // The suite names its programs "Name.exe"; here they carry no extension.
  if (!QFileInfo::exists(found) && found.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
    const QString bare =
        QDir::cleanPath(KvSuitePath(absolute ? QStringLiteral("/") : QDir::currentPath(), unix.left(unix.size() - 4)));
    if (QFileInfo(bare).isFile()) return bare;
  }
  return found;
#endif
}

}  // namespace

void TKvAttShell::SetParam(const QString& commandLine) {
  m_arguments = QProcess::splitCommand(commandLine);
}

void TKvAttShell::SetDocumentOpener(DocumentOpener opener) {
  documentOpener() = std::move(opener);
}

QString TKvAttShell::ResolvedPath() const {
  QString path = m_fileName.trimmed();
  if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
    path = path.mid(1, path.size() - 2);
  if (path.isEmpty() || isAddress(path)) return path;
  QString unix = path;
  unix.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const bool absolute = QDir::isAbsolutePath(unix) || (unix.size() > 1 && unix.at(1) == QLatin1Char(':'));
  if (!absolute && !m_directory.trimmed().isEmpty()) path = AppendSlash(m_directory.trimmed()) + path;
  return localPath(path);
}

bool TKvAttShell::IsProgram(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) return false;
#ifdef Q_OS_WIN
  static const QStringList programs = {QStringLiteral("exe"), QStringLiteral("com"), QStringLiteral("bat"),
                                       QStringLiteral("cmd")};
  return programs.contains(info.suffix().toLower());
#else
  // An executable bit alone is not enough: documents copied from a Windows
  // share often carry it.
  if (!info.isExecutable()) return false;
  return QMimeDatabase().mimeTypeForFile(info).inherits(QStringLiteral("application/x-executable"));
#endif
}

KvStatus TKvAttShell::Execute() {
  m_exitCode = -1;
  const QString path = ResolvedPath();
  if (path.isEmpty()) return KvFail(QStringLiteral("Nessun file da aprire."));
  if (isAddress(path)) {
    if (openDocument(QUrl(path))) return {};
    // No browser or mail program set up on this computer.
    return KvFail(QStringLiteral("Impossibile aprire l'indirizzo \"%1\": sul computer non è disponibile un "
                               "programma per aprirlo (browser o posta elettronica).")
                    .arg(path));
  }
  if (!QFileInfo::exists(path))
    return KvFail(QStringLiteral("Il file \"%1\" non esiste.").arg(QDir::toNativeSeparators(path)));

  if (!IsProgram(path)) {
    if (openDocument(QUrl::fromLocalFile(path))) return {};
    return KvFail(QStringLiteral("Impossibile aprire il documento \"%1\".").arg(QDir::toNativeSeparators(path)));
  }

  const QString workDir = m_directory.trimmed().isEmpty() ? QString() : localPath(m_directory.trimmed());
  const QString cannotStart = QStringLiteral("Impossibile avviare il programma \"%1\": %2");
  if (!m_wait) {
    QProcess detached;
    detached.setProgram(path);
    detached.setArguments(m_arguments);
    detached.setWorkingDirectory(workDir);
    if (detached.startDetached()) return {};
    return KvFail(cannotStart.arg(QDir::toNativeSeparators(path), detached.errorString()));
  }

  QProcess process;
  process.setProgram(path);
  process.setArguments(m_arguments);
  if (!workDir.isEmpty()) process.setWorkingDirectory(workDir);
  // Nobody reads the program's output: a full pipe would stop it forever.
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  process.start();
  if (!process.waitForStarted(-1))
    return KvFail(cannotStart.arg(QDir::toNativeSeparators(path), process.errorString()));
  process.closeWriteChannel();
  if (process.state() != QProcess::NotRunning) {
    // Windows keep painting, but the user cannot act until the program ends.
    if (QCoreApplication::instance())
      loop.exec(QEventLoop::ExcludeUserInputEvents);
    else
      process.waitForFinished(-1);
  }
  if (process.exitStatus() == QProcess::CrashExit)
    return KvFail(QStringLiteral("Il programma \"%1\" è terminato in modo anomalo.").arg(QDir::toNativeSeparators(path)));
  m_exitCode = process.exitCode();
  return {};
}
