#pragma once

#include "KvResult.h"

#include <QDate>
#include <QString>
#include <QStringList>

// Plausibility of a code being saved: doubts the clerk is asked about, never
// refusals.

// The code as it is about to be saved.
struct CodiceDaSalvare {
  int tipo = 0;         // 1 CIG, 2 CUP, 3 DURC
  int id = -1;          // its own iCcdId; -1 while it is new
  QString codice;       // sCcdCodice
  QDate assegnazione;   // dCcdDataAssegn
  QDate scadenza;       // dCcdDataScad
};

// The questions a code raises, in the order they are asked: the same code
// (spaces and letter case aside) already in the archive for its kind; an
// expiry date before the assignment date; an assignment date before 1990
// or more than ten years after today. Fails when the archive cannot be read.
KvResult<QStringList> AvvisiCodice(const CodiceDaSalvare& codice, const QDate& oggi);

// Asks each question (Sì / No, No the default); true when every answer is
// Sì or there is nothing to ask. No, or an archive that cannot be read
// (shown), returns false: the row stays as typed, not saved.
bool ConfermaAvvisiCodice(const CodiceDaSalvare& codice, const QDate& oggi);
