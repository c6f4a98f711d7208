#pragma once

#include "TfmKvSearch.h"

#include <QString>

class QLineEdit;
class QTimer;

// "Cerca Beneficiario": the search window of the supplier lookups. The rows
// come from the caller's statement; instead of the framework's filter it has
// a type-ahead filter at the bottom ("&Cerca...") on the column the user is
// in: half a second after the last key the list keeps the rows whose column
// contains the text, whatever the letter case. The filter works on the rows
// already read, so the text never reaches the database.
class TfmAbiBenSearch : public TfmKvSearch {
  Q_OBJECT
 public:
  explicit TfmAbiBenSearch(QWidget* parent = nullptr);
  ~TfmAbiBenSearch() override;

  static inline const QString kSegnaposto = QStringLiteral("<Cerca Beneficiario>");

  // The field the type-ahead filter searches (the grid's current column).
  QString ColonnaFiltro() const { return m_colonna; }
  void SetColonnaFiltro(const QString& field);
  // Applies the text of the edit now (what the timer does); false when the
  // filter could not be applied and the list shows every row.
  bool ApplicaFiltro();
  // Removes the filter: every row again.
  void RimuoviFiltro();

  QLineEdit* edCerca;
  QTimer* tmCerca;

  int exec() override;

 protected:
  void ListOpened() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void testoCambiato(const QString& text);
  void colonnaCorrente(const QModelIndex& current);
  void mostraSegnaposto(bool on);
  void seguiRiga();

  QString m_colonna;
  int m_sincro = 0;
};
