#pragma once

#include <QDate>

// The working context of the program: institute, financial year and the
// user's preferences, read at start-up and after the parameters change.
// Unset integers are -1 (year: 0), unset dates are invalid QDate values.
struct TContesto {
  int DwgId = -1;          // working institute (IDWGID)
  int EsercizioFin = 0;    // financial year value, e.g. 2019
  QDate InizioEsercizio;   // first and last day of that year for the institute
  QDate FineEsercizio;
  int ArtCod = -1;         // article code shown: 0 own, 1 manufacturer, 2 ISO
  int DescOrd = -1;        // article rows: 0 entry order, 1 code, 2 description
  int Decimali = -1;       // price decimals: 0..3 for three to six
  int Mail = -1;           // 0 external mail client, 1 built-in sending
  int VistaArticoli = -1;  // 0 quick view, 1 complete view
  int Provincia = 0;       // province of the school's main seat
  int FenAnno = -1;        // year and institute taken at start-up, with their range
  int FenDwgId = -1;
  QDate FenInizio;
  QDate FenFine;

  void Reset() { *this = TContesto{}; }
};

extern TContesto Contesto;
