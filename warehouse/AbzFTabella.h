#pragma once

#include "KvColumn.h"
#include "TfmKvChildDB.h"

#include <QString>

class TdmAbzTabelle;
class TKvQueryCollection;

// A maintenance window of one warehouse lookup table: a child window,
// maximised, over the collection of the process-wide tables module. Its
// list is opened when the window shows (unless another window has it open
// already, or the window always reads it afresh) and closed when the window
// closes, so the next window reads fresh rows. Without the module the
// window tells so and does not open.
class TfmAbzTabella : public TfmKvChildDB {
  Q_OBJECT
 public:
  // The module the window works on; null when it could not be opened.
  TdmAbzTabelle* dm() const { return m_dm; }

 protected:
  TfmAbzTabella(const QString& nome, const QString& titolo, QWidget* parent);
  // The list the window opens and closes; reopened at every show when
  // sempre is set.
  void SetLista(TKvQueryCollection* lista, bool sempre = false);

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

 private:
  TdmAbzTabelle* m_dm;
  TKvQueryCollection* m_lista = nullptr;
  bool m_sempre = false;
};

class QFormLayout;
class QHBoxLayout;

// Makes the row of campo in form a line where more widgets can follow the
// field (its label stays); returns that line's layout.
QHBoxLayout* RigaAffiancata(QFormLayout& form, QWidget* campo);

class TfrKvDBFrame;
class TKvDBEdit;

// Adds the "Codice" and "Descrizione" fields of a table to a frame's detail;
// returns their grid columns, sortable both ways, for the caller to add its own.
KvColumns CampiCodiceDescrizione(TfrKvDBFrame& frame, TKvDBEdit*& codice, TKvDBEdit*& descrizione,
                                 const QString& campoCodice, const QString& campoDescrizione);
