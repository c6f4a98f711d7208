#pragma once

#include "TfmKvMDIMain.h"

class QSplitter;
class QToolBox;
class TdmPuxAttivazioni;
class TdmPuxParametri;

// The program's main window: the side bar of commands, the working area of
// the child windows, and the status panels with the institute and the
// financial year. Its first activation sets the working context up.
class TfmPuxMain : public TfmKvMDIMain {
  Q_OBJECT
 public:
  TfmPuxMain(TdmPuxAttivazioni& registry, TdmPuxParametri& parameters, QWidget* parent = nullptr);
  ~TfmPuxMain() override;

  QToolBox* SideBar() const { return mxOLBar; }
  TdmPuxAttivazioni& Registry() const { return m_registry; }

  // Whether the side bar may take that width: the working area keeps more
  // than 640 pixels.
  static bool PuoRidimensionareBarra(int mainWidth, int barWidth);

  // The first activation's outcome: false when a start-up fix-up failed (its
  // message was shown and the later steps did not run).
  bool AvvioCompleto() const { return m_avvioCompleto; }

  void AggiornaPannelli();

 protected:
  void OnFirstActivation() override;
  void OnActivation() override;
  void showEvent(QShowEvent* event) override;

 private:
  void creaMenuAiuto();
  bool mostraParametri();
  void barraSpostata(int pos, int index);

  TdmPuxAttivazioni& m_registry;
  TdmPuxParametri& m_parameters;
  QSplitter* spOLBar;
  QToolBox* mxOLBar;
  int m_ultimaLarghezzaBarra = 175;
  bool m_avvioCompleto = false;
  bool m_mostrata = false;
};
