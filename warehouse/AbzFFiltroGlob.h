#pragma once

#include "TfmKvDialog.h"

class QLabel;
class TKvDBGrid;
class TKvQueryCollection;

// A chooser of one row of a list (id, code, description) for the article
// filters: its title in the caption and above the grid, navigation buttons,
// "&Ok" hands back the id of the current row, "&Annulla" -1.
class TfmAbzFiltroGlob : public TfmKvDialog {
  Q_OBJECT
 public:
  explicit TfmAbzFiltroGlob(QWidget* parent = nullptr);
  ~TfmAbzFiltroGlob() override;

  QLabel* lbTitolo;
  TKvDBGrid* grLista;
  TKvQueryCollection* qquLista;

  // The list's select: id, code, description (in that order); shows its
  // failure to open.
  bool Imposta(const QString& titolo, const QString& sql);
  // The id of the current row, -1 when the list is empty.
  int Scelto() const;

  // Runs the chooser; the chosen id, or -1 when cancelled or nothing chosen.
  static int Scegli(QWidget* parent, const QString& titolo, const QString& sql);
};
