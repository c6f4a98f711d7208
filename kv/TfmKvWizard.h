#pragma once

#include <QDialog>

class QPushButton;
class QStackedWidget;

// Base of the wizards: pages walked with "< Indietro" and "Avanti >", then
// "Fine" on the last page (a wizard may recaption it, e.g. "Esporta"), or
// "Annulla". A page may hold the user back (CanGoNext), and OnFinish does the
// wizard's work and decides whether it closes.
class TfmKvWizard : public QDialog {
  Q_OBJECT
 public:
  explicit TfmKvWizard(QWidget* parent = nullptr);

  // Appends a page (the wizard takes it over); returns its index.
  int AddPage(QWidget* page);
  QWidget* Page(int index) const;
  int PageCount() const;
  int CurrentPage() const;

  // The moves of the buttons; false when the move was refused or impossible.
  bool Next();
  bool Back();
  bool Finish();

  QPushButton* BackButton() const { return m_back; }
  QPushButton* NextButton() const { return m_next; }
  QPushButton* FinishButton() const { return m_finish; }
  QPushButton* CancelButton() const { return m_cancel; }
  void SetFinishCaption(const QString& caption);
  // The wizard's own veto on finishing (e.g. rows that cannot be accepted).
  void SetFinishEnabled(bool enabled);

  void accept() override;

 protected:
  // Asked before leaving a page forwards; a refusal shows its own message.
  virtual bool CanGoNext(int page) {
    Q_UNUSED(page);
    return true;
  }
  virtual void OnPageChanged(int from, int to) {
    Q_UNUSED(from);
    Q_UNUSED(to);
  }
  // The wizard's work; true closes it with OK.
  virtual bool OnFinish() { return true; }

 private:
  void go(int to);
  void updateButtons();

  QStackedWidget* m_pages;
  QPushButton* m_back;
  QPushButton* m_next;
  QPushButton* m_finish;
  QPushButton* m_cancel;
  bool m_finishAllowed = true;
};
