#pragma once

#include "KvResult.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QtGlobal>

#include <functional>

// Routines of the stock rows: the stock at a date, the price format, the
// warehouse log and the recomputation of the average unit cost by the
// database. Each runs its own statements on db (default: the global
// connection, or the transaction running on it), for the working institute
// and financial year of the context.

// A quantity in fixed point with four decimals (ten-thousandths).
struct TQuantita4 {
  qint64 decimillesimi = 0;
  double Valore() const { return double(decimillesimi) / 10000.0; }
  // "13.0000", "-0.5000"
  QString Testo() const;
  friend bool operator==(const TQuantita4&, const TQuantita4&) = default;
};

// The article's stock in loading units at date (movements of that day
// included): initial stock + loads - discharges / the unit's factor, the
// quotient rounded to four decimals. Fails when the article has no stock
// row in the working year or its unit has no factor above zero.
KvResult<TQuantita4> GiacenzaAllaData(int idArticolo, const QDate& data, QSqlDatabase db = QSqlDatabase());

// Display format of unit prices: "#0.00" and one zero more than the
// decimals of the context ("#0.00" alone when they are not set); and the
// decimals that format shows.
QString FormatoPrezzi();
int DecimaliPrezzi();

// Writes one row of the warehouse log, with a new id, the connection's user
// name and the database's current timestamp; the note only with conNota.
// Run inside a transaction, the row is written or dropped with it.
KvStatus ScriviLogMagazzino(const QString& descrizione, const QString& nota, bool conNota,
                            QSqlDatabase db = QSqlDatabase());

// The article's last row of a kind in the working institute and year:
// 0 the first warehouse order row, 1 the last loading row, 2 the last
// discharge row. 0 when there is none, -1 for another kind.
enum class TipoRigaArticolo { Ordine = 0, Carico = 1, Scarico = 2 };
KvResult<int> UltimaRigaArticolo(int idArticolo, int tipo, QSqlDatabase db = QSqlDatabase());

// Asks the database to recompute the article's stock costs (PABZ_UPDGIACENZE)
// after voucher row idRigaBuono (and order row idRigaOrdine, when above 0).
// With idArticolo 0 the article is the voucher row's. When the database
// reports an error it is written to the warehouse log and the result fails
// with the log's text.
KvStatus RicalcolaCostoMedio(int idRigaOrdine, int idArticolo, int idRigaBuono, QSqlDatabase db = QSqlDatabase());

// The recomputation of the average unit cost of every stock row of the
// working institute and year (idArticolo -1), or of one article's first
// stock row, all in one transaction. Each row the database reports wrong is
// logged and counted; progress(done, total) is called with 0 before the
// first row and after each row.
struct EsitoRicalcolo {
  int righe = 0;
  int errori = 0;
};
KvResult<EsitoRicalcolo> RicalcolaCostiMedi(int idArticolo = -1, const std::function<void(int, int)>& progress = {},
                                            QSqlDatabase db = QSqlDatabase());

// "Ricalcola Costo Unitario Medio": asks whether every article or only the
// current one; every article runs under the wait window with its progress
// bar. Shows why it failed; false when cancelled or failed.
bool RicalcolaCostoUnitarioMedio(int idArticoloCorrente);
