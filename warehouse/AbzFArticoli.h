#pragma once

#include "TfmKvChildDB.h"

class QSplitter;
class QTabWidget;
class TdmAbzArticoli;
class TfrAbzArticoli;
class TfrAbzFornitoriArt;

// "Gestione Articoli": the article frame above; below, the suppliers of the
// current article. Opened in the view the "Articoli" command asked for
// (Contesto.VistaArticoli); refuses to open without a working institute and
// financial year.
class TfmAbzArticoli : public TfmKvChildDB {
  Q_OBJECT
 public:
  explicit TfmAbzArticoli(QWidget* parent = nullptr);
  ~TfmAbzArticoli() override;

  TdmAbzArticoli* dmAbzArticoli;
  TfrAbzArticoli* frAbzArticoli;
  QSplitter* spArticoli;
  QTabWidget* pcArticolo;
  TfrAbzFornitoriArt* frAbzFornitoriArt;

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

 private:
  void seguiArticolo(bool sempre);
};
