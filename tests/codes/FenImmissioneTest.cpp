#include "FenCodiciFixture.h"
#include "FenFCCD.h"
#include "FenMCCD.h"
#include "FenRCCD.h"
#include "KvCollectionModel.h"
#include "KvDbControls.h"
#include "TKvDBGrid.h"

#include <gtest/gtest.h>

#include <QPushButton>

// What a clerk types into the fields of a code, and what the database then
// holds, read back as exact text.

namespace {

void nuovoCig(TfrFenCCD& f, const QString& codice) {
  f.xacInsert->trigger();
  PuxTestInput::retype(f.xdeCodice, codice);
  PuxTestInput::retype(f.xddDataAssegn->LineEdit(), QStringLiteral("15/03/2026"));
  riscriviMemo(f.xdmDescrizione, QStringLiteral("Fornitura"));
}

}  // namespace

TEST_F(Codici, AnAmountIsStoredExactlyAsTypedOrRefusedNamingTheField) {
  const QString nonNumero = QStringLiteral("Attenzione!\nIl valore del campo 'Importo' non è un numero valido.");
  const QString grande = QStringLiteral("Attenzione!\nIl valore del campo 'Importo' è troppo grande.");
  const QString decimali = QStringLiteral("Attenzione!\nIl campo 'Importo' ammette al massimo 2 decimali.");
  const struct {
    const char* digitato;
    const char* salvato;    // CAST(FCCDIMPORTO AS VARCHAR); empty when refused, "NULL" for no value
    const char* messaggio;  // the refusal
    const char* mostrato;   // the detail after the save, as the grid shows it
  } casi[] = {
      {"1.234,56", "1234.560000", nullptr, "1.234,56"},
      {"1234,56", "1234.560000", nullptr, "1.234,56"},
      {"-5", "-5.000000", nullptr, "-5,00"},
      {"0,5", "0.500000", nullptr, "0,50"},
      {",5", "0.500000", nullptr, "0,50"},
      {"1.234", "1234.000000", nullptr, "1.234,00"},  // the dot groups thousands
      {"12,50", "12.500000", nullptr, "12,50"},
      {"0,1", "0.100000", nullptr, "0,10"},
      // Past what a double scaled by a million holds exactly.
      {"999.999.999.999,99", "999999999999.990000", nullptr, "999.999.999.999,99"},
      {"20000000000,07", "20000000000.070000", nullptr, "20.000.000.000,07"},
      {"", "NULL", nullptr, ""},
      {"1e9", "", "nonNumero", nullptr},
      {"12a", "", "nonNumero", nullptr},
      {"1,2,3", "", "nonNumero", nullptr},
      {"1.23.4", "", "nonNumero", nullptr},  // misgrouped thousands
      {"12.5", "", "nonNumero", nullptr},    // the point is not the decimal separator
      {"1 234", "", "nonNumero", nullptr},
      {"99999999999999999999", "", "grande", nullptr},
      {"1.000.000.000.000", "", "grande", nullptr},  // NUMERIC(18,6) keeps twelve integer digits
      {"12,345678", "", "decimali", nullptr},
      {"12,345", "", "decimali", nullptr},
  };
  TdmFenCCD dm;
  TfrFenCCD f(dm);
  f.SetTipo(CcdCig);
  ASSERT_TRUE(f.Apri());
  int n = 0;
  for (const auto& c : casi) {
    const QString digitato = QString::fromUtf8(c.digitato);
    SCOPED_TRACE(c.digitato);
    const QString codice = QStringLiteral("N%1").arg(++n);
    nuovoCig(f, codice);
    PuxTestInput::retype(f.xdnImporto, digitato);
    KvMessageScript::Clear();
    f.xacPost->trigger();
    const QString salvato =
        Scalar(QStringLiteral("SELECT COALESCE(MAX(COALESCE(CAST(FCCDIMPORTO AS VARCHAR(40)), 'NULL')), '') "
                              "FROM TCCD_CIGCUPDURC WHERE SCCDCODICE = '%1'")
                   .arg(codice))
            .toString();
    if (c.messaggio) {
      const QString atteso = QLatin1String(c.messaggio) == QLatin1String("grande")     ? grande
                             : QLatin1String(c.messaggio) == QLatin1String("decimali") ? decimali
                                                                                       : nonNumero;
      EXPECT_EQ(KvMessageScript::Texts(), QStringList{atteso});
      EXPECT_EQ(salvato, QString());
      EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
      EXPECT_EQ(f.xdnImporto->text(), digitato);  // never cut or rewritten
      f.xacCancel->trigger();
      continue;
    }
    EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
    EXPECT_EQ(salvato, QString::fromLatin1(c.salvato));
    ASSERT_TRUE(f.dm->xqcCCD->Locate(QStringLiteral("SCCDCODICE"), codice));
    EXPECT_EQ(f.xdnImporto->text(), QString::fromUtf8(c.mostrato));
    const int colonna = f.grFrame->Model()->ColumnOfField(QStringLiteral("FCCDIMPORTO"));
    EXPECT_EQ(f.grFrame->Model()->index(f.dm->xqcCCD->RecNo(), colonna).data().toString(), f.xdnImporto->text());
  }
}

TEST_F(Codici, AnImpossibleDateIsNamedAsSuchRequiredOrNot) {
  const QString nonValida = QStringLiteral("Attenzione!\nLa data immessa non è una data valida.");
  const struct {
    const char* assegnazione;
    const char* scadenza;
    QString messaggio;
  } casi[] = {
      {"31/02/2025", "", nonValida},
      {"00/00/0000", "", nonValida},
      {"15/03/2026", "31/02/2025", nonValida},
      {"15/03/2026", "00/00/0000", nonValida},
      {"", "31/12/2026", QStringLiteral("Il campo 'Data Assegnazione' deve avere un valore.")},
  };
  TdmFenCCD dm;
  TfrFenCCD f(dm);
  f.SetTipo(CcdCig);
  ASSERT_TRUE(f.Apri());
  const int prima = Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC").toInt();
  for (const auto& c : casi) {
    SCOPED_TRACE(c.assegnazione + std::string(" ") + c.scadenza);
    nuovoCig(f, QStringLiteral("DATA1"));
    PuxTestInput::retype(f.xddDataAssegn->LineEdit(), QString::fromLatin1(c.assegnazione));
    PuxTestInput::retype(f.xddDataScad->LineEdit(), QString::fromLatin1(c.scadenza));
    KvMessageScript::Clear();
    f.xacPost->trigger();
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{c.messaggio});
    EXPECT_EQ(f.xdsMain->State(), KvState::Insert);
    f.xacCancel->trigger();
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC").toInt(), prima);

  // The code dialog's OK saves the code being typed: the same message, and
  // the dialog stays open.
  TfmFenCCD d;
  d.SetTipo(CcdCig);
  ASSERT_TRUE(d.ApriLista());
  int scelto = 0;
  QObject::connect(&d, &QDialog::accepted, &d, [&] { ++scelto; });
  nuovoCig(*d.frFenCCD, QStringLiteral("DATA2"));
  PuxTestInput::retype(d.frFenCCD->xddDataAssegn->LineEdit(), QStringLiteral("31/02/2025"));
  KvMessageScript::Clear();
  d.OkButton()->click();
  EXPECT_EQ(KvMessageScript::Texts(), QStringList{nonValida});
  EXPECT_EQ(scelto, 0);
  EXPECT_EQ(d.frFenCCD->xdsMain->State(), KvState::Insert);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TCCD_CIGCUPDURC").toInt(), prima);
}

TEST_F(Codici, TextFieldsStopAtTheLengthOfTheirColumn) {
  TdmFenCCD dm;
  TfrFenCCD f(dm);
  f.SetTipo(CcdCig);
  ASSERT_TRUE(f.Apri());
  nuovoCig(f, QString(60, QLatin1Char('C')));
  EXPECT_EQ(f.xdeCodice->text(), QString(50, QLatin1Char('C')));
  riscriviMemo(f.xdmDescrizione, QString(990, QLatin1Char('d')));
  PuxTestInput::type(f.xdmDescrizione, QString(20, QLatin1Char('e')));
  EXPECT_EQ(f.xdmDescrizione->toPlainText(), QString(990, QLatin1Char('d')) + QString(10, QLatin1Char('e')));
  f.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT CHAR_LENGTH(SCCDCODICE) || '|' || CHAR_LENGTH(SCCDLDESC) FROM TCCD_CIGCUPDURC "
                   "WHERE SCCDCODICE STARTING WITH 'CCCC'")
                .toString(),
            QStringLiteral("50|1000"));
}
