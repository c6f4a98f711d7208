#pragma once

#include <QObject>
#include <QPointer>

class QSocketNotifier;
class QWidget;

// While it lives, SIGTERM and SIGINT (kill, Ctrl+C, the end of a desktop
// session) close the window as the user closing it would: a row being typed
// is asked about, and the program ends when the window closes. The signal
// handler only writes a byte to a socket pair; the window is closed from
// the event loop. The previous handlers are restored on destruction.
class KvCloseOnSignal : public QObject {
  Q_OBJECT
 public:
  explicit KvCloseOnSignal(QWidget* window, QObject* parent = nullptr);
  ~KvCloseOnSignal() override;

  // Signals received and acted on so far.
  int Received() const { return m_received; }

 private:
  void signalled();

  QPointer<QWidget> m_window;
  QSocketNotifier* m_notifier = nullptr;
  int m_received = 0;
  bool m_closing = false;
};
