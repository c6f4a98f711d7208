#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// The wait window of long operations: a title, the operation under way and,
// when the length is known, a progress bar. It shows itself when built and
// goes away when destroyed, so a local object covers the whole operation:
//
//   TfmKvWait wait(QStringLiteral("Esportazione dati..."));
//   wait.SetOperazione(QStringLiteral("Elaborazione dati in corso..."));
//   wait.InitProgressBar(0, rows);
//   for (...) { ...; wait.StepProgressBar(); }
//
// Each change repaints the window; user input stays blocked meanwhile, so
// the operation cannot be re-entered while it runs on the interface thread.
class TfmKvWait : public QWidget {
  Q_OBJECT
 public:
  explicit TfmKvWait(const QString& titolo = QString(), QWidget* parent = nullptr);
  ~TfmKvWait() override;

  void SetTitolo(const QString& titolo);
  void SetOperazione(const QString& operazione);
  QString Titolo() const;
  QString Operazione() const;

  // Shows the progress bar over [min, max], at min.
  void InitProgressBar(int min, int max);
  // Advances the bar by n (never beyond its maximum).
  void StepProgressBar(int n = 1);
  int Position() const;
  int Maximum() const;
  bool ProgressVisible() const;

 private:
  // Lets the window paint; throttled so that tight loops stay fast.
  void keepAlive(bool force);

  QLabel* m_titolo;
  QLabel* m_operazione;
  QProgressBar* m_bar;
  QElapsedTimer m_sinceRepaint;
};
