#pragma once

#include <QDate>
#include <QDateTime>
#include <QMetaType>
#include <QString>

#include "KvResult.h"

#include <optional>

class QSqlDatabase;
class QSqlQuery;

// Shared database routines: ids, the server clock, progressive codes, the
// financial-year range, fixed-point money. Each runs its own short query on
// the global connection.

// A new unique row id for table; 0 when the database could not give one.
int NuovoId(const QString& table);
// The same on a given connection (the one a transaction runs on; the global
// connection when invalid), failing with an Italian text when the database
// gives no id: for ids taken inside an all-or-nothing write.
KvResult<int> NuovoIdSu(const QString& table, const QSqlDatabase& db);

// Today's date on the database server; invalid when it cannot be read.
QDate DataServer();
// The server's current timestamp; 0001-01-01 00:00:00.000 when it cannot be read.
QDateTime DataServerTimestamp();

// Progressive codes ("00042"), numbered per institute and, for year-bound
// tables, per financial year of the working context.
enum class TipoCodice {
  BuonoCarico = 1,       // loading vouchers
  BuonoScarico = 2,      // discharge vouchers
  OrdineMagazzino = 3,   // warehouse orders
  Articolo = 4,          // articles, all institutes and years
  NumeroDocumento = 5,   // document numbers
  NumeroEmissione = 6,   // issue numbers, not zero-filled
  Esperienza = 7,        // experiences
  RichiestaSpesa = 8,    // expense requests
  Preventivo = 9,        // procurement procedures
};
// The next code of kind. Kinds 5 and 6 give an empty text when the
// greatest stored code is not a number; for the others but articles that is
// a failure whose text names the code, as is an unknown kind or a database
// error. Articles take the greatest code made of digits, as a number, plus
// one, seven characters wide ("0000043" after "00042"), ignoring codes with
// letters.
KvResult<QString> NuovoCodice(TipoCodice kind);
KvResult<QString> NuovoCodice(int kind);

// First and last day of a financial year for an institute: the institute's
// own days when set, else the suite's; invalid when missing.
struct FenDateEsercizio {
  QDate inizio;
  QDate fine;
};
FenDateEsercizio LeggiDateEsercizio(int year, int dwgId);
bool EsercizioValido(int dwgId, int year);

// The message every window shows when it refuses to open without a valid
// working institute and year.
QString TestoEsercizioNonValido();
void MsgEsercizioNonValido();

// Whether a date lies in a financial year. With no start and no end the
// calendar year of the date is compared with the working year; otherwise
// the date must not be before start and, when it is given, not after end.
bool DataInEsercizio(std::optional<QDate> date, std::optional<QDate> start, std::optional<QDate> end);

// Cuts a number to n decimals without rounding (2.719, 2 -> 2.71).
double TroncaDecimali(double value, int n);

// Fixed-point money: Scala gives millionths, Somma millionths, Prodotto
// hundred-millionths; DaMilionesimi and DaCentomilionesimi convert back.
qint64 Scala(double x);
qint64 Somma(double a, double b);
qint64 Prodotto(double a, double b);
double DaMilionesimi(qint64 n);
double DaCentomilionesimi(qint64 n);

// Binds a typed null to a statement parameter (nullable foreign keys).
void ParametroNullo(QSqlQuery& query, const QString& parameter, QMetaType::Type type);

// Counts the rows of an executed query by walking it; leaves it on the first row.
int ContaRighe(QSqlQuery& query);
