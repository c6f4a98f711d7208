#include "FenUAvvisiCodice.h"

#include "FenUCodici.h"
#include "KvConnection.h"
#include "KvSql.h"
#include "KvMessageDlg.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kDomanda = QStringLiteral("\nSalvare comunque?");

QString giorno(const QDate& d) {
  return d.toString(QStringLiteral("dd/MM/yyyy"));
}

}  // namespace

KvResult<QStringList> AvvisiCodice(const CodiceDaSalvare& codice, const QDate& oggi) {
  QStringList avvisi;
  const QString testo = codice.codice.trimmed();
  if (!testo.isEmpty()) {
    const KvResult<QVariant> uguali =
        KvSql::Scalar(QStringLiteral("SELECT COUNT(*) FROM TCCD_CIGCUPDURC WHERE ITCCDID = :TIPO "
                                     "AND UPPER(TRIM(SCCDCODICE)) = :CODICE AND ICCDID <> :ID"),
                      {{QStringLiteral("TIPO"), codice.tipo},
                       {QStringLiteral("CODICE"), testo.toUpper()},
                       {QStringLiteral("ID"), codice.id}});  // -1 for a new code: no row has it
    if (!uguali) return KvFail(QStringLiteral("Impossibile controllare l'archivio dei codici."), uguali.detail());
    if (uguali->toInt() > 0)
      avvisi << QStringLiteral("Attenzione!\nIl codice %1 '%2' è già presente in archivio.")
                        .arg(SiglaTipoCodice(codice.tipo), testo) +
                    kDomanda;
  }
  if (codice.assegnazione.isValid() && codice.scadenza.isValid() && codice.scadenza < codice.assegnazione)
    avvisi << QStringLiteral("Attenzione!\nLa data di scadenza (%1) è precedente alla data di assegnazione (%2).")
                      .arg(giorno(codice.scadenza), giorno(codice.assegnazione)) +
                  kDomanda;
  const QDate primo(1990, 1, 1);
  const QDate ultimo = oggi.addYears(10);
  if (codice.assegnazione.isValid() && (codice.assegnazione < primo || codice.assegnazione > ultimo))
    avvisi << QStringLiteral("Attenzione!\nLa data di assegnazione (%1) non è compresa tra il %2 e il %3.")
                      .arg(giorno(codice.assegnazione), giorno(primo), giorno(ultimo)) +
                  kDomanda;
  return avvisi;
}

bool ConfermaAvvisiCodice(const CodiceDaSalvare& codice, const QDate& oggi) {
  const KvResult<QStringList> avvisi = AvvisiCodice(codice, oggi);
  if (!avvisi) {
    KvMessageDlg(avvisi.error() + QStringLiteral("\n\n") + avvisi.detail(), TMsgDlgType::mtError, mbOK);
    return false;
  }
  for (const QString& domanda : *avvisi)
    if (KvMessageDlg(domanda, TMsgDlgType::mtConfirmation, mbYesNo, 0, mbNo) != mrYes) return false;
  return true;
}
