#pragma once

#include "AbiFinestre.h"
#include "FenFCCD.h"
#include "FenFSceltaDate.h"
#include "FenFinestre.h"
#include "FenUCodici.h"
#include "KvDialogScript.h"
#include "KvMessageDlg.h"
#include "KvQueryCollection.h"
#include "PuxTestDb.h"
#include "PuxTestInput.h"
#include "TKvDBLookupEdit.h"
#include "TfmKvSearch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

inline void riscriviMemo(QPlainTextEdit* memo, const QString& text) {
  memo->selectAll();
  PuxTestInput::press(memo, Qt::Key_Delete);
  PuxTestInput::type(memo, text);
}

// Types into a lookup and leaves it with Enter.
inline void scegli(TKvDBLookupEdit& lookup, const QString& text) {
  PuxTestInput::retype(lookup.LineEdit(), text);
  PuxTestInput::press(lookup.LineEdit(), Qt::Key_Return);
}

// The values of a field over the visible rows of a collection.
inline QStringList colonna(const TKvQueryCollection& c, const QString& field) {
  QStringList out;
  const int f = c.FieldIndex(field);
  for (int r = 0; r < c.RecordCount(); ++r) out << c.Value(r, f).toString();
  return out;
}

// The demo database, the windows of the archive registered, every message
// scripted, and the process-wide state of the archive reset around a test.
class Codici : public PuxDbTest {
 protected:
  void SetUp() override {
    PuxDbTest::SetUp();
    FenRegistraFinestre();
    AbiRegistraFinestre();  // the supplier lookup and search window of the DURC
    KvMessageScript::Begin();
  }
  void TearDown() override {
    KvDialogScript::Clear();
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  void Codice(int id, int tipo, const QString& codice, const QString& assegn, const QString& scad = QString(),
              int ben = 0) {
    auto data = [](const QString& d) { return d.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + d + '\''; };
    Exec(QStringLiteral("INSERT INTO TCCD_CIGCUPDURC (ICCDID, ITCCDID, SCCDCODICE, SCCDLDESC, DCCDDATAASSEGN, "
                        "DCCDDATASCAD, IBENID, FCCDIMPORTO) VALUES (%1, %2, '%3', 'Prova %3', %4, %5, %6, NULL)")
             .arg(id)
             .arg(tipo)
             .arg(codice, data(assegn), data(scad), ben > 0 ? QString::number(ben) : QStringLiteral("NULL")));
  }

  // An accounting movement: type 3 commitment, 4 payment order.
  struct Mov {
    int id;
    int tpm;
    int stato = 4;
    QString cig = QStringLiteral("NULL");
    QString cup = QStringLiteral("NULL");
    QString durc = QStringLiteral("NULL");
    double totale = 0;
    double pagato = 0;
    double daPagare = 0;
    QString cod = QStringLiteral("NULL");
    QString descs = QStringLiteral("NULL");
    QString inizio = QStringLiteral("NULL");
    QString emissione = QStringLiteral("NULL");
    int ben = 1;
  };
  void Movimento(const Mov& m) {
    Exec(QStringLiteral("INSERT INTO TMOV_MOVIMENTI (IMOVID, IDWGID, IMOVESERCIZIOFIN, ITPMID, ISTMVID, SMOVCOD, "
                        "SMOVDESCS, DSTART, DMOVDATAEMISSIONE, IBENID, ICCDID_CIG, ICCDID_CUP, ICCDID_DURC, "
                        "FMOVIMPTOTALE, FMOVIMPPAGATO, FMOVIMPDAPAGARE) VALUES (%1, 1, 2026, %2, %3, %4, %5, %6, %7, "
                        "%8, %9, %10, %11, %12, %13, %14)")
             .arg(m.id)
             .arg(m.tpm)
             .arg(m.stato)
             .arg(m.cod, m.descs, m.inizio, m.emissione)
             .arg(m.ben)
             .arg(m.cig, m.cup, m.durc)
             .arg(m.totale)
             .arg(m.pagato)
             .arg(m.daPagare));
  }
  // movimento derives from padre (link ids of the tests from 99000).
  void Link(int id, int movimento, int padre) {
    Exec(QStringLiteral("INSERT INTO TLKM_LINKMOV (ILKMID, IMOVID, IMOVID_P) VALUES (%1, %2, %3)")
             .arg(99000 + id)
             .arg(movimento)
             .arg(padre));
  }
};
