#pragma once

#include "TfmKvDialog.h"

#include <QList>

class QRadioButton;

// "Filtra Articoli...": the filter of the article list chosen from the
// "Selezione Articoli" group; product code and supplier are picked in a
// chooser.
class TfmAbzArticoliFiltri : public TfmKvDialog {
  Q_OBJECT
 public:
  enum Scelta { SottoScorta, ConGiacenza, GiacenzaZero, CodiciMerceologici, Fornitore };

  explicit TfmAbzArticoliFiltri(QWidget* parent = nullptr);

  QList<QRadioButton*> rgSelezione;  // in the order of Scelta
  // The checked choice, -1 when none.
  int Selezione() const;

  // Runs the dialog and the chooser the choice needs; the filter expression
  // of the article list, empty when cancelled or nothing was chosen.
  static QString Scegli(QWidget* parent);
  // The filter of a choice; for the two chooser choices the chosen id.
  static QString Filtro(int scelta, int id = -1);

 protected:
  bool CanAccept() override;
};
