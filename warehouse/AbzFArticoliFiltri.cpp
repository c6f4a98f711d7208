#include "AbzFArticoliFiltri.h"

#include "AbzFFiltroGlob.h"
#include "KvMessageDlg.h"
#include "KvSql.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QVBoxLayout>

TfmAbzArticoliFiltri::TfmAbzArticoliFiltri(QWidget* parent) : TfmKvDialog(parent) {
  setObjectName(QStringLiteral("fmAbzArticoliFiltri"));
  setWindowTitle(QStringLiteral("Filtra Articoli..."));
  SetOkCaption(QStringLiteral("&Applica"));
  CancelButton()->setText(QStringLiteral("A&nnulla"));
  auto* gruppo = new QGroupBox(QStringLiteral("Selezione Articoli"), Content());
  gruppo->setObjectName(QStringLiteral("rgSelezione"));
  auto* layout = new QVBoxLayout(gruppo);
  for (const char* voce : {"Articoli Sotto Scorta", "Articoli con Giacenza",
                           "Articoli con Giacenza Attuale uguale a Zero", "Codici Merceologici", "Fornitore"}) {
    auto* r = new QRadioButton(QString::fromUtf8(voce), gruppo);
    layout->addWidget(r);
    rgSelezione << r;
  }
  ContentLayout()->addWidget(gruppo);
}

int TfmAbzArticoliFiltri::Selezione() const {
  for (int i = 0; i < rgSelezione.size(); ++i)
    if (rgSelezione[i]->isChecked()) return i;
  return -1;
}

bool TfmAbzArticoliFiltri::CanAccept() {
  if (Selezione() >= 0) return true;
  KvMessageDlg(QStringLiteral("Devi Selezionare un Filtro!"), TMsgDlgType::mtWarning, mbOK);
  return false;
}

QString TfmAbzArticoliFiltri::Filtro(int scelta, int id) {
  switch (scelta) {
    case SottoScorta:
      return QStringLiteral("Differenza < 0");
    case ConGiacenza:
      return QStringLiteral("fgiagiacatt > 0");
    case GiacenzaZero:
      return QStringLiteral("fgiagiacatt = 0");
    case CodiciMerceologici:
      return id < 0 ? QString() : QStringLiteral("IMERID = %1").arg(id);
    case Fornitore: {
      if (id < 0) return QString();
      QStringList ids;
      const KvStatus read =
          KvSql::Rows(QStringLiteral("SELECT iArtId FROM TArtBen WHERE iBenId = :IBENID"),
                      {{QStringLiteral("IBENID"), id}}, [&ids](const QSqlQuery& q) { ids << q.value(0).toString(); });
      if (!KvReport(read) || ids.isEmpty()) return QString();
      return QStringLiteral("iArtId IN (%1)").arg(ids.join(QStringLiteral(", ")));
    }
  }
  return QString();
}

QString TfmAbzArticoliFiltri::Scegli(QWidget* parent) {
  int scelta = -1;
  {
    TfmAbzArticoliFiltri dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return QString();
    scelta = dialog.Selezione();
  }
  if (scelta == CodiciMerceologici)
    return Filtro(scelta,
                  TfmAbzFiltroGlob::Scegli(
                      parent, QStringLiteral("Filtra gli Articoli per Codice Merceologici"),
                      QStringLiteral(" SELECT MER.IMERID, MER.SMERCODICE, MER.SMERDESC FROM TMER_CODICIMERCEOL MER")));
  if (scelta == Fornitore)
    return Filtro(scelta, TfmAbzFiltroGlob::Scegli(
                              parent, QStringLiteral("Filtra gli Articoli per Fornitori"),
                              QStringLiteral("SELECT DISTINCT ben.iBenId, ben.sBenPartitaIva, ben.sBenRagSoc FROM "
                                             "TBen_Beneficiari ben INNER JOIN TArtBen ab ON ben.iBenId = ab.iBenId")));
  return Filtro(scelta);
}
