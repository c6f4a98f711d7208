#include "FenMCCD.h"

#include "FenUCodici.h"
#include "FenUDatabase.h"
#include "KvQueryCollection.h"

namespace {

QVariant nullInt() {
  return QVariant(QMetaType(QMetaType::Int));
}

}  // namespace

TdmFenCCD::TdmFenCCD(Uso uso, QObject* parent) : QObject(parent), m_uso(uso) {
  setObjectName(QStringLiteral("dmFenCCD"));
  xqcCCD = new TKvQueryCollection(this);
  xqcCCD->setObjectName(QStringLiteral("xqcCCD"));
  xqcCCD->SetAutoBuildSQL(false);
  xqcCCD->SetKeyField(QStringLiteral("ICCDID"));
  xqcCCD->SetTableName(QStringLiteral("TCCD_CIGCUPDURC"));
  xqcCCD->SQLInsert() << SqlInsertCodice();
  // Corrections of a code are stored too, and a code no other row uses can
  // be deleted: without these an edit would look saved and be lost.
  xqcCCD->SQLUpdate() << SqlUpdateCodice();
  xqcCCD->SQLDelete() << SqlDeleteCodice();
  xqcCCD->OnNewRecord = [this](TKvQueryCollection& c) {
    c.SetFieldValue(QStringLiteral("ITCCDID"), m_tipo);
    for (const char* totale : {"FIMPPAGATO", "FIMPIMPEGNATO", "FIMPONIBFATT"})
      c.SetFieldValue(QString::fromLatin1(totale), 0.0);
    if (m_tipo == CcdDurc && m_beneficiario > 0) c.SetFieldValue(QStringLiteral("IBENID"), m_beneficiario);
  };
  xqcCCD->KvBeforeExec = [this](TKvQueryProp& p) {
    if (p.QueryKind == TKvQueryProp::Delete) {
      if (Usato()) p.Refuse(TestoCodiceUsato());
      return;
    }
    if (const auto manca = Controlla()) return p.Refuse(manca->testo);
    if (p.QueryKind == TKvQueryProp::Insert) p.FieldValues->Add(QStringLiteral("iTccdId"), m_tipo);
    if (m_tipo != CcdDurc) p.FieldValues->Add(QStringLiteral("iBenId"), nullInt());
  };
  xqcCCD->KvAfterExec = [this](TKvQueryProp& p) {
    switch (p.QueryKind) {
      case TKvQueryProp::Insert:
        m_ultimoScritto = p.FieldValues->Value(QStringLiteral("KVGENID")).toInt();
        break;
      case TKvQueryProp::Update:
        m_ultimoScritto = p.FieldValues->Value(QStringLiteral("KVCURRID")).toInt();
        break;
      default:
        m_ultimoScritto = -1;
        break;
    }
  };
}

TdmFenCCD::~TdmFenCCD() = default;

void TdmFenCCD::SetTipo(int tipo) {
  m_tipo = tipo;
  xqcCCD->SetCommandText(m_uso == Uso::Archivio ? SqlListaArchivio(tipo) : SqlListaDialogo(tipo));
  impostaParametri();
}

void TdmFenCCD::SetBeneficiario(int idBeneficiario) {
  m_beneficiario = idBeneficiario;
  impostaParametri();
}

void TdmFenCCD::impostaParametri() {
  xqcCCD->SetParam(QStringLiteral("iTccdId"), m_tipo);
  xqcCCD->SetParam(QStringLiteral("iBenId"),
                   m_beneficiario < 0 ? QStringLiteral("%") : QString::number(m_beneficiario));
}

KvStatus TdmFenCCD::Apri() {
  xqcCCD->Close();
  (void)xqcCCD->SetFiltered(false);  // closed: only the flag changes
  xqcCCD->SetFilter(QString());
  impostaParametri();
  if (KvStatus opened = xqcCCD->Open(); !opened) return opened;
  xqcCCD->First();
  return {};
}

std::optional<TdmFenCCD::CampoMancante> TdmFenCCD::Controlla() const {
  auto vuoto = [this](const QString& campo) {
    const QVariant v = xqcCCD->FieldValue(campo);
    return v.isNull() || v.toString().trimmed().isEmpty();
  };
  // Field and the name the message gives it.
  const struct {
    const char* campo;
    const char* nome;
  } obbligatori[] = {{"SCCDCODICE", "Codice"}, {"SCCDLDESC", "Descrizione"}, {"DCCDDATAASSEGN", "Data Assegnazione"}};
  for (const auto& o : obbligatori) {
    const QString campo = QString::fromLatin1(o.campo);
    if (vuoto(campo)) return CampoMancante{campo, TestoCampoObbligatorio(QString::fromLatin1(o.nome))};
  }
  if (m_tipo == CcdDurc && xqcCCD->FieldValue(QStringLiteral("IBENID")).toInt() <= 0)
    return CampoMancante{QStringLiteral("IBENID"), TestoCampoObbligatorio(QStringLiteral("Beneficiario"))};
  return std::nullopt;
}

void TdmFenCCD::TogliBeneficiarioNonDurc() {
  if (m_tipo == CcdDurc || xqcCCD->FieldValue(QStringLiteral("IBENID")).isNull()) return;
  xqcCCD->SetFieldValue(QStringLiteral("IBENID"), nullInt());
  xqcCCD->SetFieldValue(QStringLiteral("SBENRAGSOC"), QVariant(QMetaType(QMetaType::QString)));
}

bool TdmFenCCD::Usato() const {
  return ContaRiferimentiCodice(xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt()) != 0;
}

QString TdmFenCCD::TestoCodiceUsato() {
  return QStringLiteral("Attenzione!\nIl codice è usato da altri movimenti e non può essere cancellato.");
}

bool TdmFenCCD::BeneficiarioBloccato() const {
  if (m_tipo != CcdDurc || xqcCCD->GetState() != KvState::Edit) return false;
  return m_uso == Uso::Dialogo || ContaMovimentiCollegati(xqcCCD->FieldValue(QStringLiteral("ICCDID")).toInt()) != 0;
}
