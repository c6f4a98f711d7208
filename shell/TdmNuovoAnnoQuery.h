#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The rules that keep the financial years of an institute contiguous and
// not overlapping when a year is linked to it or its dates are changed.
// Refusals and questions go through KvMessageDlg.
class TdmNuovoAnnoQuery {
 public:
  // The row being saved, as the user typed it.
  struct Riga {
    bool inserimento = true;
    int idDwgAnf = -1;       // the link being edited (-1 when inserting)
    int idDwg = -1;          // the institute
    int anno = 0;            // typed year value; 0 when empty
    int annoSalvato = 0;     // year of the stored row (editing)
    bool personalizzate = false;
    QDate inizio, fine;      // personalised dates typed (invalid when empty)
    QDate inizioSalvato, fineSalvato;  // effective dates of the stored row (editing)
  };

  enum class Campo { Nessuno, Anno, Inizio, Fine };

  struct Esito {
    bool ok = false;
    Campo campo = Campo::Nessuno;  // the field to focus after a refusal
    // Updates of the neighbouring years, to run before the row's own
    // statement, in this order.
    QStringList aggiornamenti;
    QDate inizio, fine;  // the row's effective days
  };

  // Checks a save; on a refusal the message has been shown and nothing is
  // to be written.
  static Esito Verifica(const Riga& riga);

  // The suite's first and last day of a year (invalid when the year is not
  // in the suite or outside 1970..2050).
  static std::pair<QDate, QDate> DateSuite(const QString& annoDigitato);

  // The effective first and last day of a stored link.
  static std::pair<QDate, QDate> DateEffettive(int idDwgAnf);
};
