#pragma once

#include <QObject>
#include <QPointer>

class QSocketNotifier;
class QWidget;

// While it lives, SIGTERM and SIGINT (kill, Ctrl+C, the end of a desktop
// session) close the window as the user closing it would: a row being typed
// is asked about, and the program ends when the window closes. The signal
// only writes a byte to a socket pair; the window is closed from the event
// loop.
//
// A program calls ReserveSignals() first thing in main, before the database
// engine starts its threads: the two signals are then blocked in every
// thread and taken by one thread of ours. Delivered to one of the embedded
// engine's threads instead, a signal interrupts its waits and the engine
// never finishes detaching at exit. Without ReserveSignals (a test in one
// thread) the watcher installs an ordinary handler, restored on destruction.
class KvCloseOnSignal : public QObject {
  Q_OBJECT
 public:
  explicit KvCloseOnSignal(QWidget* window, QObject* parent = nullptr);
  ~KvCloseOnSignal() override;

  // Blocks SIGTERM and SIGINT in the calling thread (and so in every thread
  // it starts later) and starts the thread that waits for them: while a
  // watcher lives they close its window, otherwise they end the program as
  // their default action would.
  static void ReserveSignals();

  // Signals received and acted on so far.
  int Received() const { return m_received; }

 private:
  void signalled();

  QPointer<QWidget> m_window;
  QSocketNotifier* m_notifier = nullptr;
  int m_received = 0;
  bool m_closing = false;
};
