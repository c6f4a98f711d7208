#include "KvCloseOnSignal.h"

#include <QSocketNotifier>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
struct sigaction g_oldTerm;
struct sigaction g_oldInt;

extern "C" void onSignal(int) {
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe already holds a wake-up.
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}

}  // namespace
#endif

KvCloseOnSignal::KvCloseOnSignal(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {
#ifdef Q_OS_UNIX
  if (g_pipe[0] >= 0) return;  // one watcher per process
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
    return;
  }
  m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &KvCloseOnSignal::signalled);
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &g_oldTerm);
  sigaction(SIGINT, &action, &g_oldInt);
#endif
}

KvCloseOnSignal::~KvCloseOnSignal() {
#ifdef Q_OS_UNIX
  if (!m_notifier) return;
  sigaction(SIGTERM, &g_oldTerm, nullptr);
  sigaction(SIGINT, &g_oldInt, nullptr);
  delete m_notifier;
  ::close(g_pipe[0]);
  ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
#endif
}

void KvCloseOnSignal::signalled() {
#ifdef Q_OS_UNIX
  char byte;
  [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], &byte, 1);
#endif
  ++m_received;
  // A second signal while the first is still asking about a typed row
  // waits for that answer.
  if (m_closing || !m_window) return;
  m_closing = true;
  m_window->close();
  m_closing = false;
}
