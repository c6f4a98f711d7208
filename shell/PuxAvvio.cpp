#include "PuxAvvio.h"

#include "DbSchema.h"
#include "FenUDatabase.h"
#include "KvParam.h"
#include "KvSql.h"
#include "KvParamManager.h"
#include "PuxContesto.h"

#include <QFileInfo>
#include <QSettings>
#include <QSqlQuery>

QString PuxDatabasePredefinito() { return KvSuitePath(TKvParam::GetDataDir(), QStringLiteral("Pux\\PUX.FDB")); }

PuxDatabaseChoice PuxScegliDatabase(const QString& fromCommandLine, const QString& user, const QString& password) {
  QSettings settings(TKvParam::SettingsFile(), QSettings::IniFormat);
  PuxDatabaseChoice c;
  QString db = fromCommandLine;
  if (db.isEmpty()) db = qEnvironmentVariable("PUX_DATABASE");
  if (db.isEmpty()) db = settings.value(QStringLiteral("database/path")).toString();
  if (db.isEmpty()) {
    db = PuxDatabasePredefinito();
    c.isDefault = true;
  }
  c.target.database = db;
  QString u = user;
  if (u.isEmpty()) u = qEnvironmentVariable("PUX_DB_USER");
  if (u.isEmpty()) u = settings.value(QStringLiteral("database/user")).toString();
  if (!u.isEmpty()) c.target.user = u;
  QString p = password;
  if (p.isEmpty()) p = qEnvironmentVariable("PUX_DB_PASSWORD");
  if (p.isEmpty()) p = settings.value(QStringLiteral("database/password")).toString();
  c.target.password = p;
  return c;
}

KvStatus PuxApriDatabase(const PuxDatabaseChoice& choice) {
  if (choice.isDefault && !QFileInfo::exists(choice.target.database)) {
    if (KvStatus created = DbSchema::Create(choice.target, true); !created) return created;
  }
  if (KvStatus opened = TdmKvConnection::OpenConnection(choice.target); !opened) return opened;
  QSqlDatabase db = qqoKvGlobConn();
  if (DbSchema::StoredVersion(db) < DbSchema::CurrentVersion()) {
    if (KvStatus upgraded = DbSchema::Upgrade(db); !upgraded) {
      TdmKvConnection::CloseConnection();
      return KvFail(QStringLiteral("Aggiornamento del database non riuscito: %1").arg(upgraded.error()),
                    upgraded.detail());
    }
  }
  return {};
}

void PuxLeggiContesto() {
  Contesto.DwgId = KvParamAsInt(QStringLiteral("KVUP_DwgId"));
  Contesto.ArtCod = KvParamAsInt(QStringLiteral("PUXP_ArtCod"));
  Contesto.Decimali = KvParamAsInt(QStringLiteral("PUXP_Decimali"));
  Contesto.DescOrd = KvParamAsInt(QStringLiteral("PUXP_DescOrd"));
  Contesto.Mail = KvParamAsInt(QStringLiteral("PUXP_MAIL"));
  Contesto.EsercizioFin = 0;
  // A year that cannot be read stays 0: the windows then refuse to open, saying so.
  const QVariant anno =
      KvSql::Scalar(QStringLiteral(" SELECT TANF_ANNIFINANZ.IANFVALORE FROM TANF_ANNIFINANZ JOIN TDWGANF ON "
                                   "(TDWGANF.IANFID = TANF_ANNIFINANZ.IANFID AND TDWGANF.DDELETE IS NULL) WHERE "
                                   "TANF_ANNIFINANZ.IANFID = :IANFID AND TDWGANF.IDWGID = :IDWGID"),
                    {{QStringLiteral("IANFID"), KvParamAsInt(QStringLiteral("KVUP_AnfId"))},
                     {QStringLiteral("IDWGID"), Contesto.DwgId}})
          .value_or(QVariant());
  if (!anno.isNull()) Contesto.EsercizioFin = anno.toInt();
}

void PuxCalcolaDateEsercizio() {
  const FenDateEsercizio d = LeggiDateEsercizio(Contesto.EsercizioFin, Contesto.DwgId);
  Contesto.InizioEsercizio = d.inizio;
  Contesto.FineEsercizio = d.fine;
}
