#pragma once

#include "KvResult.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// A discharge voucher prepared from an expense request: its checks and its
// writing. Quantities and costs are exact, in millionths; quantities to
// discharge are in discharge units.

struct TRigaScarico {
  int idArticolo = 0;
  QString codice;  // the article's code, for the messages
  int idAliquota = 0;
  int idRigaRichiesta = 0;
  int idLuogo = 0;         // 0: no place
  int idResponsabile = 0;  // 0: none
  qint64 quantita = 0;
  std::optional<qint64> costo;  // unit cost VAT included; none: the database's average
};

struct TBuonoScarico {
  int idRichiesta = 0;
  QString codiceRichiesta;
  int idLuogo = 0;
  int idResponsabile = 0;
  QDate data;  // of the movement
  QList<TRigaScarico> righe;
};

inline const QString kMsgGiacenzaInsufficiente = QStringLiteral("Giacenza minore della quantità scaricata");
inline const QString kMsgLuogoMancante = QStringLiteral("Luogo di carico non specificato");
inline const QString kMsgQuantitaNegativa = QStringLiteral("La quantità da scaricare non può essere negativa.");
inline const QString kMsgCostoNegativo = QStringLiteral("Il costo unitario non può essere negativo.");
inline const QString kMsgNienteDaScaricare =
    QStringLiteral("Nessun articolo da scaricare: indicare almeno una quantità maggiore di zero.");

// "12.5" (a decimal with a point) as millionths; none when it is not one
// or has more than six decimals.
std::optional<qint64> Milionesimi(const QString& decimale);
// Millionths as decimal text with a point, for the database ("12.500000").
QString TestoMilionesimi(qint64 milionesimi);

// The quantity of the article that can be discharged over the working
// institute and financial year, in discharge units (millionths): initial
// stock x factor + factor x loads - discharges, each product rounded to
// four decimals. Fails when the article has no stock row in the year.
KvResult<qint64> QuantitaDisponibile(int idArticolo, QSqlDatabase db = QSqlDatabase());

// The checks before a voucher is written, in order: a negative quantity or
// cost, a quantity above what is available (rows of one article summed),
// a row to discharge without place, nothing to discharge. The text that
// refuses the rows, or none when they may be written.
KvResult<std::optional<QString>> ControllaScarico(const QList<TRigaScarico>& righe, QSqlDatabase db = QSqlDatabase());

// Writes, when ControllaScarico accepts the rows (checked in the same
// transaction; its text is the failure otherwise), the voucher (a discharge type, the next discharge code) and its
// rows with a quantity above zero, the warehouse log rows and the stock
// recomputation of every row, all in one transaction: every row is written
// or none. A stock recomputation the database reports wrong does not undo
// the voucher (it is logged); its text is returned among the warnings.
struct EsitoBuonoScarico {
  int idBuono = 0;
  QString codice;
  int righe = 0;
  QStringList avvisi;
};
KvResult<EsitoBuonoScarico> ScriviBuonoScarico(const TBuonoScarico& buono, QSqlDatabase db = QSqlDatabase());
