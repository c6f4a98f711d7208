#pragma once

#include "TfmKvChildDB.h"

class QSplitter;
class QTabWidget;
class TdmAbzArticoli;
class TdmAbzGiacenze;
class TfrAbzArticoli;
class TfrAbzGiacenze;
class TfrAbzFornitoriArt;

// "Gestione Articoli": the article frame above; below, the stock row of the
// working year ("Giacenza") and the suppliers ("Fornitori") of the current
// article. A new article gets its stock row at once: its cancel action stays
// locked until the row is saved. Opened in the view the "Articoli" command asked for
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
  TdmAbzGiacenze* dmAbzGiacenze;
  TfrAbzGiacenze* frAbzGiacenze;
  TfrAbzFornitoriArt* frAbzFornitoriArt;

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;

 private:
  void seguiArticolo(bool sempre);
  void nuovaGiacenza(int idArticolo);
};
