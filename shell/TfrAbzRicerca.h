#pragma once

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class TKvDBGrid;
class TKvQueryCollection;

// The quick search bar of the lists: the user picks one of the grid's
// searchable columns from the button's menu and types; half a second after
// the last keystroke the list's collection is filtered in memory to the rows
// whose column contains the text (text columns, any letter case) or equals
// it (date and time columns). A text the filter cannot use shows every row.
//
// The host sets the collection and the grid (with its sort index) after
// opening the collection, then calls Imposta.
class TfrAbzRicerca : public QWidget {
  Q_OBJECT
 public:
  explicit TfrAbzRicerca(QWidget* parent = nullptr);
  ~TfrAbzRicerca() override;

  void SetQueryCollection(TKvQueryCollection* collection);
  void SetGrid(TKvDBGrid* grid);
  // Builds the menu from the grid's searchable sort-index items, selects the
  // first one and follows the grid's title clicks.
  void Imposta();

  QToolBar* tbSearch;
  QToolButton* obSearch;
  QAction* acSearch;
  QMenu* poSearch;
  QList<QIcon> ilIcon;  // 0 magnifier, 1 cancel
  QFrame* pnRicerca;
  QLineEdit* edRicerca;
  QTimer* tmFilt;

  // Field names in menu order, and the one searched now.
  QStringList Campi() const { return m_campi; }
  QString CampoRicerca() const { return m_campo; }
  QString Prompt() const { return m_prompt; }
  QString Hint() const { return m_hint; }
  // The collection's filter was set by this bar.
  bool FiltroProprio() const { return m_filtroProprio; }
  // The bar follows the grid's sort column (always on).
  bool SegueOrdinamento() const { return true; }
  // The edit shows the prompt rather than a search text.
  bool MostraPrompt() const;
  int ImmagineCorrente() const { return m_immagine; }


 public slots:
  void edRicercaChange();
  void tmFiltTimer();
  void acSearchExecute();
  // A menu item chosen (tag: its position among the searchable items).
  void VoceMenuClick(int tag);
  // Run by the grid after the user sorted it by a column.
  void OrdinaColonna(int column, const QString& field);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool haTestoRicerca() const;
  void mostraPrompt();
  void impostaImmagine(int index);
  void rimuoviFiltro(bool ancheAltrui);
  void sceltaCampo(int tag, bool ancheFiltriAltrui);
  void ridisegnaGriglia();

  QPointer<TKvQueryCollection> m_collection;
  QPointer<TKvDBGrid> m_grid;
  QStringList m_campi;
  QStringList m_titoli;
  QList<QAction*> m_voci;
  QString m_campo;
  QString m_prompt;
  QString m_hint;
  bool m_filtroProprio = false;
  int m_immagine = 0;
};
