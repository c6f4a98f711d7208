#pragma once

#include "KvMessageDlg.h"
#include "PuxContesto.h"
#include "PuxTestDb.h"

#include <QString>

// The demo database, the working institute 1 in 2026, every message
// scripted; helpers that add articles, stock rows and vouchers of the test
// (ids from 9000, below the ids the database hands out).
class Magazzino : public PuxDbTest {
 protected:
  static constexpr int kCaricoAcquisto = 1;  // voucher types of the demo data
  static constexpr int kScaricoConsumo = 3;
  static constexpr int kUnitaPezzi = 1;  // factor 1
  static constexpr int kUnitaCf12 = 3;   // factor 12

  void SetUp() override {
    PuxDbTest::SetUp();
    Contesto.DwgId = 1;
    Contesto.EsercizioFin = 2026;
    Exec(QStringLiteral("DELETE FROM TLOG_MAGAZZINO"));  // the demo's log rows: a test reads only its own
    KvMessageScript::Begin();
  }
  void TearDown() override {
    KvMessageScript::End();
    PuxDbTest::TearDown();
  }

  void Articolo(int id, const QString& codice) {
    Exec(QStringLiteral("INSERT INTO TART_ARTICOLI (IARTID, SARTCOD, SARTDESCS, IALVID, ITPDID, IMERID) "
                        "VALUES (%1, '%2', 'Articolo di prova %2', 1, 1, 1)")
             .arg(id)
             .arg(codice));
  }
  void Unita(int id, const QString& fattore) {
    Exec(QStringLiteral("INSERT INTO TUNM_UNITAMISURA (IUNMID, SUNMCOD, SUNMDESCS, SUNMMISCARICO, SUNMMISSCARICO, "
                        "FUNMFATTOREPROP) VALUES (%1, 'U%1', 'Unita %1', 'CF', 'PZ', %2)")
             .arg(id)
             .arg(fattore));
  }
  void Giacenza(int id, int articolo, int unita, const QString& iniziale, const QString& costo = QStringLiteral("0"),
                int dwg = 1, int anno = 2026) {
    Exec(QStringLiteral("INSERT INTO TGIA_GIACENZE (IGIAID, IARTID, IDWGID, IGIAESERCIZIOFIN, IUNMID, FGIAGIACINIZ, "
                        "FGIAGIACATT, FGIASCORTAMIN, FGIACOSTOUNIINIZ, FGIACOSTOUNIMED) "
                        "VALUES (%1, %2, %3, %4, %5, %6, %6, 0, %7, %7)")
             .arg(id)
             .arg(articolo)
             .arg(dwg)
             .arg(anno)
             .arg(unita)
             .arg(iniziale, costo));
  }
  void Buono(int id, int tipoBuono, const QString& data, int dwg = 1, int anno = 2026) {
    Exec(QStringLiteral("INSERT INTO TMGM_MOVMAGAZZINO (IMGMID, IDWGID, IMGMESERCIZIOFIN, ITBUID, SMGMCOD, "
                        "DMGMDATAMOVIMENTO) VALUES (%1, %2, %3, %4, '%1', '%5')")
             .arg(id)
             .arg(dwg)
             .arg(anno)
             .arg(tipoBuono)
             .arg(data));
  }
  // A voucher row: price VAT excluded with VAT rate 1 (22%), or a cost VAT included.
  void Riga(int id, int buono, int articolo, const QString& quantita, const QString& prezzo = QStringLiteral("NULL"),
            const QString& costo = QStringLiteral("NULL")) {
    Exec(QStringLiteral("INSERT INTO TMGMART (IMGMARTID, IMGMID, IARTID, FMGMARTQUANTITA, FMGMARTPREZZOUNI, IALVID, "
                        "FMGMARTCOSTOUNI) VALUES (%1, %2, %3, %4, %5, 1, %6)")
             .arg(id)
             .arg(buono)
             .arg(articolo)
             .arg(quantita, prezzo, costo));
  }
  // A numeric column as the database writes it ("12.600000").
  QString Testo(const QString& sql) {
    return Scalar(QStringLiteral("SELECT CAST((%1) AS VARCHAR(40)) FROM RDB$DATABASE").arg(sql)).toString();
  }
  int ContaLog() { return Scalar(QStringLiteral("SELECT COUNT(*) FROM TLOG_MAGAZZINO")).toInt(); }
};
