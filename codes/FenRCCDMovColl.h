#pragma once

#include "TfrKvDBFrames.h"

class QAction;
class TKvQueryCollection;

// The movements of every program linked to one code (accounting, warehouse,
// procedures, offers, warehouse orders, inventory load vouchers, invoices),
// read only. The accounting program adds two actions that copy a CIG between
// linked commitments and payment orders.
class TfrFenCCDMovColl : public TfrKvDBROGrid {
  Q_OBJECT
 public:
  explicit TfrFenCCDMovColl(QWidget* parent = nullptr);
  ~TfrFenCCDMovColl() override;

  TKvQueryCollection* xqcMovColl;
  QAction* acCopiaCigImpegni;
  QAction* acCopiaCigMandati;

  // The kind of the codes shown: the copy actions exist for CIG only, and
  // only in the accounting program.
  void SetTipo(int tipo);
  // Reopens the list for a code (-1: none).
  bool Apri(int iCcdId);
  int Codice() const { return m_codice; }

 private:
  void copia(bool negliImpegni);

  int m_tipo = -1;
  int m_codice = -1;
};
