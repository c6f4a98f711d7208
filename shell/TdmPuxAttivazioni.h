#pragma once

#include "TdmKvAttivazioni.h"

#include <QPointer>

// The program's menu: the pages and commands of the side bar, with the
// checks that decide whether a command may run and what follows it.
class TdmPuxAttivazioni : public TdmKvAttivazioni {
  Q_OBJECT
 public:
  explicit TdmPuxAttivazioni(QObject* parent = nullptr);

  // What the registry needs of the main window.
  std::function<bool()> FinestreAperte;            // any child window open
  std::function<void()> AggiornaPannelli;          // refresh the status panels
  std::function<void()> AttivaFinestraCorrente;    // activation handler of the active child
  std::function<bool()> MostraParametri;           // the parameter window; false when cancelled
  std::function<int()> SceltaVistaArticoli;        // the view-mode dialog: 0, 1, or -1 cancelled

  // The export window opened last in PDF or spreadsheet mode (the print
  // module reads it for the export prints).
  QPointer<QWidget> FinestraExportCorrente;

  // The news marker next to the program ("..\etc\Pux\Pux_Version.txt").
  static QString FileVersione();

 private:
  void apriTabelleMagazzino(TKvAttCommand&, bool& cancel);
  void xafArticoliBeforeExecute(TKvAttCommand&, bool& cancel);
  void xafPreventiviBeforeExecute(TKvAttCommand&, bool& cancel);
  void xafBeneficiariBeforeExecute(TKvAttCommand&, bool& cancel);
  void parametriImpostati(TKvAttCommand&, bool& cancel);
  void xarReportBeforeExecute(TKvAttCommand&, bool& cancel);
  void xacParametriBeforeExecute(TKvAttCommand&, bool& cancel);
  void xacParametriAfterExecute(TKvAttCommand&);
  void xafNuovoAnnoBeforeExecute(TKvAttCommand&, bool& cancel);
  void xafNuovoAnnoAfterExecute(TKvAttCommand&);
  void xasNotizieBeforeExecute(TKvAttCommand&, bool& cancel);
  void xasNotizieAfterExecute(TKvAttCommand&);
};
