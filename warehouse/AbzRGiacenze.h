#pragma once

#include "TfrKvDBFrames.h"

class QLabel;
class TdmAbzGiacenze;
class TKvDBDateEdit;
class TKvDBLookupEdit;
class TKvDBNumberEdit;

// The stock of an article for the working institute and financial year
// ("Giacenza" page of the articles window): the detail of its single row
// over the module TdmAbzGiacenze. Insert is locked while the row exists;
// once the article moved in the year its unit stays and the row cannot be
// deleted; the initial values are editable only while the suite's lock
// record allows it.
class TfrAbzGiacenze : public TfrKvDBRW {
  Q_OBJECT
 public:
  explicit TfrAbzGiacenze(TdmAbzGiacenze& modulo, QWidget* parent = nullptr);
  ~TfrAbzGiacenze() override;

  TdmAbzGiacenze* const dm;
  QLabel* lbEsercizio;
  TKvDBLookupEdit* xleUniMisura;
  TKvDBNumberEdit* xdnGiacIniz;
  TKvDBNumberEdit* xdnCostoUniIniz;
  TKvDBNumberEdit* xdnCostoUniMed;
  TKvDBNumberEdit* xdnCostoUltAcquisto;
  TKvDBDateEdit* xddDataUltCarico;
  TKvDBDateEdit* xddDataUltScarico;
  TKvDBNumberEdit* xdnGiacAtt;
  TKvDBNumberEdit* xdnScortaMin;
  TKvDBNumberEdit* xdnDifferenza;

  // Opens the stock row of the article (-1: none); shows why it failed.
  bool Apri(int idArticolo);
  void Chiudi();
  // Reads the suite's lock record: only its value 2 lets the initial stock
  // and the initial unit cost be typed.
  void ImpostaBloccoValoriIniziali();
  bool ValoriInizialiBloccati() const { return m_valoriBloccati; }

  // The save action: the module's check (the message names the field, which
  // takes the focus), the post, the row read again with the costs the
  // database recomputed, and the warning when it could not.
  bool Salva();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void segui();
  void applicaBloccoValoriIniziali();

  bool m_valoriBloccati = true;
};
