#include "TdmPuxParametri.h"

#include <QSqlDatabase>
#include <QWidget>

namespace {

QString norm(const QString& key) { return key.trimmed().toUpper(); }

int idOf(const QString& text) {
  bool ok = false;
  const int n = text.trimmed().toInt(&ok);
  return ok ? n : -1;
}

}  // namespace

QStringList TdmPuxParametri::Scelte(const QString& key) {
  const QString k = norm(key);
  if (k == QLatin1String("PUXP_ARTCOD"))
    return {QStringLiteral("Codice Articolo"), QStringLiteral("Codice Costruttore"), QStringLiteral("Codice ISO")};
  if (k == QLatin1String("PUXP_DESCORD"))
    return {QStringLiteral("Inserimento"), QStringLiteral("Codice"), QStringLiteral("Descrizione")};
  if (k == QLatin1String("PUXP_DECIMALI"))
    return {QStringLiteral("Tre decimali"), QStringLiteral("Quattro decimali"), QStringLiteral("Cinque decimali"),
            QStringLiteral("Sei decimali")};
  if (k == QLatin1String("PUXP_MAIL"))
    return {QStringLiteral("Client di posta eletronica esterno"), QStringLiteral("Client di posta eletronica Scolvane")};
  return {};
}

TdmPuxParametri::TdmPuxParametri() {
  using namespace std::placeholders;
  xpmKvuParams.SetApplications({QStringLiteral("PUX=1.0"), QStringLiteral("KV=1.0"), QStringLiteral("QTZ=1.0")});
  xpmKvuParams.SetShowAggregate(true);
  xpmKvuParams.AddKvParams();
  const struct {
    const char* key;
    const char* caption;
  } propri[] = {{"PUXP_ArtCod", "Codice articolo visualizzato"},
                {"PUXP_DescOrd", "Ordine delle righe articolo"},
                {"PUXP_Decimali", "Decimali dei prezzi"},
                {"PUXP_MAIL", "Invio delle e-mail"}};
  for (const auto& p : propri) {
    TKvParamDef def;
    def.key = QString::fromLatin1(p.key);
    def.caption = QString::fromUtf8(p.caption);
    def.kind = TKvParamKind::EnumList;
    def.application = QStringLiteral("PUX");
    const QStringList scelte = Scelte(def.key);
    for (int i = 0; i < scelte.size(); ++i) def.items.append({QString::number(i), scelte.at(i)});
    xpmKvuParams.AddParam(def);
  }
  xpmKvuParams.FillListParam = std::bind(&TdmPuxParametri::FillListParam, this, _1, _2, _3, _4);
  xpmKvuParams.ReadParam = std::bind(&TdmPuxParametri::ReadParam, this, _1, _2, _3, _4);
  xpmKvuParams.WriteParam = std::bind(&TdmPuxParametri::WriteParam, this, _1, _2, _3, _4);
  xpmKvuParams.AfterCreateCtrl = std::bind(&TdmPuxParametri::AfterCreateCtrl, this, _1, _2);
}

void TdmPuxParametri::FillListParam(const QString& key, const TKvParamValue& current, TKvEnumList& list,
                                    bool& handled) {
  const QString k = norm(key);
  if (k == QLatin1String("KVUP_DWGID")) {
    m_istituto = idOf(current.id);
  } else if (k == QLatin1String("KVUP_ANFID")) {
    // A list that cannot be read offers no year (the hook has no way to say why).
    list = TKvParamManager::LoadEnumValues(
        xpmKvuParams.Database(),
        QStringLiteral(" SELECT TANF_ANNIFINANZ.IANFID, TANF_ANNIFINANZ.IANFVALORE, TANF_ANNIFINANZ.DANFKALVOINIZIO, "
                       "TANF_ANNIFINANZ.DANFKALVOFINE, TDWGANF.DDWGANFINIZIO, TDWGANF.DDWGANFFINE FROM "
                       "TANF_ANNIFINANZ JOIN TDWGANF ON (TDWGANF.IANFID = TANF_ANNIFINANZ.IANFID  AND "
                       "TDWGANF.DDELETE IS NULL) WHERE TDWGANF.IDWGID = %1 ORDER BY TANF_ANNIFINANZ.IANFVALORE")
            .arg(m_istituto))
               .value_or({});
    handled = true;
  } else if (!Scelte(k).isEmpty()) {
    const QStringList scelte = Scelte(k);
    for (int i = 0; i < scelte.size(); ++i) list.append({QString::number(i), scelte.at(i)});
    handled = true;
  }
}

void TdmPuxParametri::ReadParam(const QString& key, const QVariant& stored, TKvParamValue& control, bool& handled) {
  const QString k = norm(key);
  if (k == QLatin1String("KVUP_DWGID")) {
    m_istituto = stored.isNull() ? -1 : idOf(stored.toString());
  } else if (!Scelte(k).isEmpty()) {
    bool ok = false;
    int position = stored.toString().trimmed().toInt(&ok);
    const QStringList scelte = Scelte(k);
    if (!ok || position < 0 || position >= scelte.size()) position = 0;
    control.index = position;
    control.id = QString::number(position);
    control.text = scelte.at(position);
    handled = true;
  }
}

void TdmPuxParametri::WriteParam(const QString& key, const TKvParamValue& control, QString& stored, bool& handled) {
  const QString k = norm(key);
  if (k == QLatin1String("KVUP_DWGID")) {
    m_istituto = idOf(control.id);
  } else if (!Scelte(k).isEmpty()) {
    stored = QString::number(qMax(control.index, 0));
    handled = true;
  }
}

void TdmPuxParametri::AfterCreateCtrl(const QString& key, QWidget* control) {
  const QString k = norm(key);
  // The two long lists get more room than the others.
  if (k == QLatin1String("KVUP_DWGID") || k == QLatin1String("PUXP_MAIL"))
    control->setMinimumWidth(control->sizeHint().width() + 100);
}
