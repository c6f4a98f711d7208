#include "FenUDatabase.h"

#include "KvConnection.h"
#include "KvMessageDlg.h"
#include "KvSql.h"
#include "PuxContesto.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <charconv>
#include <cmath>

KvResult<int> NuovoIdSu(const QString& table, const QSqlDatabase& db) {
  const QString nome = table.trimmed().toUpper();
  const KvResult<QVariant> id =
      KvSql::Scalar(QStringLiteral("SELECT PYSETGETID.L_ICNTID AS ID FROM PYSETGETID(:STABLENAME,:ICNTID)"),
                    {{QStringLiteral("STABLENAME"), nome}, {QStringLiteral("ICNTID"), 1}}, db);
  if (!id) return id.failure();
  if (id->toInt() <= 0) return KvFail(QStringLiteral("Impossibile ottenere un nuovo identificativo per %1.").arg(nome));
  return id->toInt();
}

int NuovoId(const QString& table) {
  return NuovoIdSu(table, QSqlDatabase()).value_or(0);
}

namespace {

std::optional<QDateTime> serverTimestamp() {
  const QDateTime t =
      KvSql::Scalar(QStringLiteral("SELECT SERVERDATE FROM PYGETSERVERTIMESTAMP")).value_or(QVariant()).toDateTime();
  if (!t.isValid()) return std::nullopt;
  return t;
}

struct KindSql {
  const char* sql;
  bool yearBound;
  bool emptyWhenNotNumber;
  bool zeroFilled;
};

std::optional<KindSql> kindSql(TipoCodice kind) {
  switch (kind) {
    case TipoCodice::BuonoCarico:
      return KindSql{"SELECT MAX(TMGM_MOVMAGAZZINO.SMGMCOD) AS MASSIMO FROM TMGM_MOVMAGAZZINO "
              "JOIN TTBU_TIPIBUONI ON (TTBU_TIPIBUONI.ITBUID = TMGM_MOVMAGAZZINO.ITBUID) "
              "WHERE TMGM_MOVMAGAZZINO.IDWGID = :IDWGID AND TMGM_MOVMAGAZZINO.IMGMESERCIZIOFIN = :ANNO "
              "AND TTBU_TIPIBUONI.ITBUTIPO = 0",
              true, false, true};
    case TipoCodice::BuonoScarico:
      return KindSql{"SELECT MAX(TMGM_MOVMAGAZZINO.SMGMCOD) AS MASSIMO FROM TMGM_MOVMAGAZZINO "
              "JOIN TTBU_TIPIBUONI ON (TTBU_TIPIBUONI.ITBUID = TMGM_MOVMAGAZZINO.ITBUID) "
              "WHERE TMGM_MOVMAGAZZINO.IDWGID = :IDWGID AND TMGM_MOVMAGAZZINO.IMGMESERCIZIOFIN = :ANNO "
              "AND TTBU_TIPIBUONI.ITBUTIPO = 1",
              true, false, true};
    case TipoCodice::OrdineMagazzino:
      return KindSql{"SELECT MAX(TOMG_ORDINIMAGAZ.SOMGCOD) AS MASSIMO FROM TOMG_ORDINIMAGAZ "
              "WHERE TOMG_ORDINIMAGAZ.IDWGID = :IDWGID AND TOMG_ORDINIMAGAZ.IOMGESERCIZIOFIN = :ANNO",
              true, false, true};
    case TipoCodice::Articolo:
      // Article codes were written five and seven characters wide, so the
      // text maximum is not the greatest number ("0000042" < "00041"): the
      // greatest code made of digits is taken as a number.
      return KindSql{
          "SELECT MAX(CASE WHEN TRIM(TART_ARTICOLI.SARTCOD) SIMILAR TO '[0-9]+' "
          "THEN CAST(TRIM(TART_ARTICOLI.SARTCOD) AS BIGINT) END) AS MASSIMO FROM TART_ARTICOLI",
          false, true, true};
    case TipoCodice::NumeroDocumento:
      return KindSql{"SELECT MAX(TIDC_INVDOC.SIDCNUMERO) AS MASSIMO FROM TIDC_INVDOC "
              "LEFT JOIN TTID_TIPOINVDOC ON (TTID_TIPOINVDOC.ITIDID = TIDC_INVDOC.ITIDID) "
              "LEFT JOIN TBEN_BENEFICIARI ON (TBEN_BENEFICIARI.IBENID = TIDC_INVDOC.IBENID) "
              "WHERE TIDC_INVDOC.IDWGID = :IDWGID AND TIDC_INVDOC.IIDCESERCIZIOFIN = :ANNO "
              "AND TIDC_INVDOC.SIDCPRG LIKE ('_1___')",
              true, true, true};
    case TipoCodice::NumeroEmissione:
      return KindSql{"SELECT MAX(TIDC_INVDOC.SIDCNUMEMISSIONE) AS MASSIMO FROM TIDC_INVDOC "
              "LEFT JOIN TTID_TIPOINVDOC ON (TTID_TIPOINVDOC.ITIDID = TIDC_INVDOC.ITIDID) "
              "LEFT JOIN TBEN_BENEFICIARI ON (TBEN_BENEFICIARI.IBENID = TIDC_INVDOC.IBENID) "
              "WHERE TIDC_INVDOC.IDWGID = :IDWGID AND TIDC_INVDOC.IIDCESERCIZIOFIN = :ANNO "
              "AND TIDC_INVDOC.SIDCPRG LIKE ('_1___')",
              true, true, false};
    case TipoCodice::Esperienza:
      return KindSql{"SELECT MAX(TESP_ESPERIENZE.SESPCOD) AS MASSIMO FROM TESP_ESPERIENZE "
              "WHERE TESP_ESPERIENZE.IDWGID = :IDWGID",
              false, false, true};
    case TipoCodice::RichiestaSpesa:
      return KindSql{"SELECT MAX(TRIC_RICHIESTAESP.SRICCODICE) AS MASSIMO FROM TRIC_RICHIESTAESP "
              "WHERE TRIC_RICHIESTAESP.IDWGID = :IDWGID AND TRIC_RICHIESTAESP.IRICESERCIZIOFIN = :ANNO",
              true, false, true};
    case TipoCodice::Preventivo:
      return KindSql{"SELECT MAX(TPRE_PREVENTIVI.SPRECOD) AS MASSIMO FROM TPRE_PREVENTIVI "
              "WHERE TPRE_PREVENTIVI.IDWGID = :IDWGID AND TPRE_PREVENTIVI.IPREESERCIZIOFIN = :ANNO",
              true, false, true};
  }
  return std::nullopt;
}

const QString kTipoSconosciuto = QStringLiteral("Tipo di codice progressivo sconosciuto.");

}  // namespace

QDate DataServer() {
  const auto t = serverTimestamp();
  return t ? t->date() : QDate();
}

QDateTime DataServerTimestamp() {
  const auto t = serverTimestamp();
  return t ? *t : QDateTime(QDate(1, 1, 1), QTime(0, 0));
}

KvResult<QString> NuovoCodice(int kind) {
  if (kind < 1 || kind > 9) return KvFail(kTipoSconosciuto);
  return NuovoCodice(static_cast<TipoCodice>(kind));
}

KvResult<QString> NuovoCodice(TipoCodice kind) {
  const std::optional<KindSql> k = kindSql(kind);
  if (!k) return KvFail(kTipoSconosciuto);
  const QString sql = QString::fromLatin1(k->sql);
  KvSql::Params params;
  if (sql.contains(QLatin1String(":IDWGID"))) params.append({QStringLiteral("IDWGID"), Contesto.DwgId});
  if (k->yearBound) params.append({QStringLiteral("ANNO"), Contesto.EsercizioFin});
  const KvResult<QVariant> read = KvSql::Scalar(sql, params);
  if (!read) return read.failure();
  // Articles keep one stored width of seven characters.
  const int width = kind == TipoCodice::Articolo ? 7 : 5;
  if (read->isNull())
    return k->zeroFilled ? QStringLiteral("1").rightJustified(width, QLatin1Char('0')) : QStringLiteral("1");
  const QString massimo = read->toString();
  bool ok = false;
  const qint64 n = massimo.trimmed().toLongLong(&ok);
  if (!ok) {
    if (k->emptyWhenNotNumber) return QString();
    return KvFail(QStringLiteral("\"%1\" non è un numero intero valido.").arg(massimo));
  }
  return k->zeroFilled ? QStringLiteral("%1").arg(n + 1, width, 10, QLatin1Char('0')) : QString::number(n + 1);
}

FenDateEsercizio LeggiDateEsercizio(int year, int dwgId) {
  FenDateEsercizio out;
  // A year that cannot be read has no days, as a missing one.
  const QVariantList row =
      KvSql::FirstRow(
          QStringLiteral("SELECT TANF_ANNIFINANZ.IANFID, TANF_ANNIFINANZ.IANFVALORE, TANF_ANNIFINANZ.DANFKALVOINIZIO, "
                         "TANF_ANNIFINANZ.DANFKALVOFINE, TDWGANF.DDWGANFINIZIO, TDWGANF.DDWGANFFINE FROM TANF_ANNIFINANZ "
                         "JOIN TDWGANF ON (TDWGANF.IANFID = TANF_ANNIFINANZ.IANFID AND TDWGANF.DDELETE IS NULL) "
                         "WHERE TANF_ANNIFINANZ.IANFVALORE = :IANFVALORE AND TDWGANF.IDWGID = :IDWGID"),
          {{QStringLiteral("IANFVALORE"), year}, {QStringLiteral("IDWGID"), dwgId}})
          .value_or({});
  if (row.isEmpty()) return out;
  auto pick = [&row](int own, int suite) {
    if (!row[own].isNull()) return row[own].toDate();
    if (!row[suite].isNull()) return row[suite].toDate();
    return QDate();
  };
  out.inizio = pick(4, 2);
  out.fine = pick(5, 3);
  return out;
}

bool EsercizioValido(int dwgId, int year) {
  if (dwgId == -1 || year == -1) return false;
  const FenDateEsercizio d = LeggiDateEsercizio(year, dwgId);
  return d.inizio.isValid() && d.fine.isValid();
}

QString TestoEsercizioNonValido() {
  return QStringLiteral(
      "Attenzione!\nL'Istituto e/o l'Esercizio Finanziario di lavoro risultano non settati. Prima di proseguire "
      "è necessario impostare tali parametri attraverso il modulo \"Parametri\" che si trova in \"Strumenti\".");
}

void MsgEsercizioNonValido() { KvMessageDlg(TestoEsercizioNonValido(), TMsgDlgType::mtInformation, mbOK); }

bool DataInEsercizio(std::optional<QDate> date, std::optional<QDate> start, std::optional<QDate> end) {
  if (!start && !end) return date && date->isValid() && date->year() == Contesto.EsercizioFin;
  // The suite's markers compare before every real day: "no limit" (-1000)
  // before "missing date" (-1).
  auto day = [](const std::optional<QDate>& d) {
    if (!d) return qint64(-1000);
    return d->isValid() ? d->toJulianDay() : qint64(-1);
  };
  if (day(date) < day(start)) return false;
  return !date || day(date) <= day(end);
}

double TroncaDecimali(double value, int n) {
  if (!std::isfinite(value) || n < 0) return value;
  // Fifteen significant digits, as a clerk reads the number, then written
  // out without exponent so that the decimals can be cut as text.
  const double shown = QString::number(value, 'g', 15).toDouble();
  char buffer[400];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, shown, std::chars_format::fixed);
  if (res.ec != std::errc()) return value;
  std::string text(buffer, res.ptr);
  const auto dot = text.find('.');
  if (dot == std::string::npos) return shown;
  text = text.substr(0, std::min(text.size(), dot + 1 + size_t(n)));
  double cut = shown;
  std::from_chars(text.data(), text.data() + text.size(), cut);
  return cut;
}

qint64 Scala(double x) { return std::llround(x * 1000000.0); }

qint64 Somma(double a, double b) { return Scala(a) + Scala(b); }

qint64 Prodotto(double a, double b) {
  // a x b / 10,000 in 64 bits without overflowing on large amounts: a is
  // split into a multiple of 10,000 and a remainder of the same sign, so
  // only the remainder's share needs rounding (half away from zero).
  const qint64 x = Scala(a), y = Scala(b);
  const qint64 quoziente = x / 10000, resto = x % 10000;
  const qint64 parte = resto * y;
  const qint64 arrotondata = parte >= 0 ? (parte + 5000) / 10000 : -((-parte + 5000) / 10000);
  return quoziente * y + arrotondata;
}

double DaMilionesimi(qint64 n) { return double(n) / 1000000.0; }

double DaCentomilionesimi(qint64 n) { return double(n) / 100000000.0; }

void ParametroNullo(QSqlQuery& query, const QString& parameter, QMetaType::Type type) {
  query.bindValue(parameter, QVariant(QMetaType(type)));
}

int ContaRighe(QSqlQuery& query) {
  if (!query.first()) return 0;
  int n = 1;
  while (query.next()) ++n;
  query.first();
  return n;
}
