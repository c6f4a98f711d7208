#pragma once

#include "AbzUBuonoScarico.h"
#include "TfmKvWizard.h"

class QLabel;
class QPushButton;
class QTableWidget;
class TKvDBGrid;
class TKvQueryCollection;
class TfrAbzRicerca;

// "Genera Buono di Scarico dalla richiesta": the user picks an expense
// request of the working institute and year, reviews its articles with
// their stock, sets quantity, place and responsible person of each row;
// OK checks the rows and writes the discharge voucher, all or nothing.
class TfmAbzFWGeneraBuonoScarico : public TfmKvWizard {
  Q_OBJECT
 public:
  // Columns of the rows grid.
  enum Colonna {
    ColArticolo = 0,
    ColAliquota = 1,
    ColLuogo = 2,
    ColCodice = 3,
    ColDescrizione = 4,
    ColQtaCaricata = 5,
    ColGiacenza = 6,
    ColQuantita = 7,
    ColCosto = 8,
    ColDescLuogo = 9,
    ColResponsabile = 10,
    ColIdResponsabile = 11,
  };

  explicit TfmAbzFWGeneraBuonoScarico(QWidget* parent = nullptr);
  ~TfmAbzFWGeneraBuonoScarico() override;

  int exec() override;

  // Opens the request list.
  KvStatus Apri();
  // Reads the rows of the current request into the grid.
  KvStatus RiempiRighe();
  // The rows as the grid holds them.
  QList<TRigaScarico> Righe() const;
  // F8 in a place or responsible cell, and the two single-selection buttons.
  void ScegliLuogo(bool tutteLeRighe);
  void ScegliResponsabile(bool tutteLeRighe);
  // A quantity or cost cell set from text typed the Italian way; false
  // (after the message) when the text is not a number.
  bool ImpostaNumero(int row, int column, const QString& text);
  // Rows whose stock does not cover the quantity are red; OK follows them.
  void ColoraRighe();
  bool RigaInsufficiente(int row) const;
  // The voucher the rows make (request, place, responsible, date within the
  // working year, rows). The wizard only checks it: its caller writes it,
  // after OK, with ScriviBuonoScarico.
  TBuonoScarico Buono() const;

  // The responsible persons of a place still valid at a date.
  static QString SqlResponsabili();
  static QString SqlLuoghi();

  TKvQueryCollection* xqcRichieste;
  TKvDBGrid* grRichieste;
  TfrAbzRicerca* frRicerca;
  QTableWidget* sgArticoli;
  QPushButton* buLuogoUnico;
  QPushButton* buResponsabileUnico;
  QLabel* lbLegenda;

 protected:
  bool CanGoNext(int page) override;
  void OnPageChanged(int from, int to) override;
  bool OnFinish() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void aggiornaPulsanti();
  void impostaLuogo(int row, const QVariant& id, const QString& descrizione);
  void impostaResponsabile(int row, const QVariant& id, const QString& nome);
  bool m_riempiendo = false;
};
