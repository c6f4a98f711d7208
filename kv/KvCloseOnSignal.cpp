#include "KvCloseOnSignal.h"

#include <QSocketNotifier>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
// The end of the pair a signal writes to, -1 while no watcher lives.
std::atomic<int> g_wake{-1};
std::atomic<bool> g_reserved{false};
struct sigaction g_oldTerm;
struct sigaction g_oldInt;

void wake() {
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe already holds a wake-up.
  const int fd = g_wake.load();
  if (fd < 0) return;
  [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
}

extern "C" void onSignal(int) {
  wake();
}

sigset_t closingSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace
#endif

void KvCloseOnSignal::ReserveSignals() {
#ifdef Q_OS_UNIX
  if (g_reserved.exchange(true)) return;
  const sigset_t set = closingSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set] {
    for (;;) {
      int sig = 0;
      if (sigwait(&set, &sig) != 0) continue;
      if (g_wake.load() >= 0)
        wake();
      else
        std::_Exit(128 + sig);  // nothing to close: end as the default action does
    }
  }).detach();
#endif
}

KvCloseOnSignal::KvCloseOnSignal(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {
#ifdef Q_OS_UNIX
  if (g_pipe[0] >= 0) return;  // one watcher per process
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
    return;
  }
  m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &KvCloseOnSignal::signalled);
  g_wake.store(g_pipe[0]);
  if (g_reserved.load()) return;  // the reserved thread takes them
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
  g_wake.store(-1);
  if (!g_reserved.load()) {
    sigaction(SIGTERM, &g_oldTerm, nullptr);
    sigaction(SIGINT, &g_oldInt, nullptr);
  }
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
