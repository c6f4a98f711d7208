#pragma once

#include "AbzFinestre.h"
#include "AbzMTabelle.h"
#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "KvWindowFactory.h"
#include "PuxServizi.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "TdmPuxAttivazioni.h"
#include "TdmPuxParametri.h"
#include "TfmPuxMain.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTableView>

// The values of a field over the visible rows of a collection.
inline QStringList colonna(const TKvQueryCollection& c, const QString& field) {
  QStringList out;
  const int f = c.FieldIndex(field);
  for (int r = 0; r < c.RecordCount(); ++r) out << c.Value(r, f).toString();
  return out;
}

inline QStringList titoliVisibili(const QTableView& grid) {
  QStringList out;
  for (int c = 0; c < grid.model()->columnCount(); ++c)
    if (!grid.isColumnHidden(c)) out << grid.model()->headerData(c, Qt::Horizontal).toString();
  return out;
}

inline void riscriviMemo(QPlainTextEdit* memo, const QString& text) {
  memo->selectAll();
  PuxTestInput::press(memo, Qt::Key_Delete);
  PuxTestInput::type(memo, text);
}

// The demo database, the warehouse windows registered as the program does,
// every message scripted; the tables module freed after each test.
class Tabelle : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    AbzRegistraFinestre();
    KvMessageScript::Begin();
  }
  void TearDown() override {
    KvDialogScript::Clear();
    KvMessageScript::End();
    TdmAbzTabelle::Libera();
    PuxServizi.ApriTabelleMagazzino = nullptr;
    PuxDbTest::TearDown();
  }

  // The main window with the side bar's commands; a command opens its window.
  struct Programma {
    TdmPuxAttivazioni registro;
    TdmPuxParametri parametri;
    TfmPuxMain main{registro, parametri};
    Programma() {
      registro.SceltaVistaArticoli = [] { return 0; };
    }
    // The window the command opened, as its class; null when none.
    template <class Finestra>
    Finestra* Apri(const char* comando) {
      if (!registro.Run(QString::fromLatin1(comando))) return nullptr;
      QMdiSubWindow* corrente = main.MdiArea()->currentSubWindow();
      return corrente ? qobject_cast<Finestra*>(corrente->widget()) : nullptr;
    }
  };
};
