#pragma once

#include "KvColumn.h"
#include "TfmKvChildDB.h"
#include "TfrKvDBFrames.h"

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
  // Fills the window with its frame over the list; returns the frame.
  template <class Frame>
  Frame* Incornicia(Frame* frame, TKvQueryCollection* lista, bool sempre = false) {
    riempi(frame);
    SetLista(lista, sempre);
    return frame;
  }

  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

 private:
  void riempi(QWidget* frame);

  TdmAbzTabelle* m_dm;
  TKvQueryCollection* m_lista = nullptr;
  bool m_sempre = false;
};

class QFormLayout;
class QHBoxLayout;

// Makes the row of campo in form a line where more widgets can follow the
// field (its label stays); returns that line's layout.
QHBoxLayout* RigaAffiancata(QFormLayout& form, QWidget* campo);

class TKvDBEdit;

// A lookup table frame whose detail starts with "Codice" and "Descrizione":
// those fields, and their grid columns sortable both ways, to which a table
// adds its own.
class TfrAbzCodiceDescrizione : public TfrKvDBRWGrid {
  Q_OBJECT
 public:
  TKvDBEdit* xdeCodice;
  TKvDBEdit* xdeDescrizione;

 protected:
  TfrAbzCodiceDescrizione(const QString& nome, TKvQueryCollection* lista, const QString& campoCodice,
                          const QString& campoDescrizione, QWidget* parent);
  // The grid columns of the two fields.
  KvColumns ColonneCodiceDescrizione() const { return m_colonne; }

 private:
  KvColumns m_colonne;
};
