#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

#include "KvResult.h"

#include <optional>
#include <utility>

class TKvQueryCollection;

// The financial years module: the institutes list, the years linked to the
// institute current in it, and the rules that keep the financial years of an
// institute contiguous and not overlapping when a year is linked to it or
// its dates are changed. Refusals and questions go through KvMessageDlg.
//
// One module per process, created by the "Nuovo Anno" command on first use
// and kept (Apri); the window binds its frames to the two lists.
class TdmNuovoAnnoQuery : public QObject {
  Q_OBJECT
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

  // Creates the module once and binds it to the global connection; false
  // (and no module) when that fails.
  static bool Apri();
  // The module, or null before Apri.
  static TdmNuovoAnnoQuery* Modulo();
  // Frees the module (the next Apri builds a new one).
  static void Libera();

  // True when no institute with a data owner of its own has any year yet:
  // the window then starts on the main institute alone.
  static bool NessunAnnoIstituti();

  // Institutes (read-only) and the years of the current institute, which
  // follow it: moving to another institute reopens the years for it.
  TKvQueryCollection* xqcDataOwner;
  TKvQueryCollection* xqcAnniFinanziari;

  // The institute of the current row of the institutes list (-1: none).
  int DwgId() const { return m_dwgId; }
  KvStatus ApriIstituti();
  void ChiudiListe();
  // Only the main institute (no data owner of its own), or every institute.
  bool MostraSoloPrincipale(bool on);
  // The statements of the next save of an edited year: the neighbours'
  // updates, in order, then the row's own update.
  void ImpostaAggiornamenti(const QStringList& vicini);

 private:
  explicit TdmNuovoAnnoQuery(QObject* parent);
  void seguiIstituto();

  int m_dwgId = -1;
};
