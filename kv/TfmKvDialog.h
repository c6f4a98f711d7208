#pragma once

#include <QDialog>

class QPushButton;
class QVBoxLayout;

// Base of the modal dialogs: a content area above the "OK" and "Annulla"
// buttons. OK closes the dialog only when CanAccept agrees, so a dialog
// that finds something wrong shows its message and stays open.
class TfmKvDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TfmKvDialog(QWidget* parent = nullptr);

  // Where a derived dialog puts its controls.
  QWidget* Content() const { return m_content; }
  QVBoxLayout* ContentLayout() const { return m_contentLayout; }

  QPushButton* OkButton() const { return m_ok; }
  QPushButton* CancelButton() const { return m_cancel; }
  void SetOkEnabled(bool enabled);
  bool OkEnabled() const;
  void SetOkCaption(const QString& caption);

  void accept() override;
  // Annulla, Esc or the close button: a row being typed in one of the
  // dialog's frames asks "Salvare le modifiche?" first.
  void reject() override;
  // The modal run; a test's KvDialogScript driver takes the person's place.
  int exec() override;

 protected:
  virtual bool CanAccept() { return true; }
  // At the first show: the focus in the first field, and Tab through the
  // fields before reaching OK and Annulla.
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* m_content;
  QVBoxLayout* m_contentLayout;
  QPushButton* m_ok;
  QPushButton* m_cancel;
  bool m_shown = false;
};
