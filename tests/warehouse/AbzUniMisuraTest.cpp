#include "AbzFCollocazioni.h"
#include "AbzFCondFornitura.h"
#include "AbzFTipoDestinazioni.h"
#include "AbzFUniMisura.h"
#include "AbzTabelleFixture.h"
#include "KvDbControls.h"
#include "TKvDBGrid.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QSqlQuery>

// Units of measure, destination types, supply conditions and locations: what
// a clerk types, what is refused and what the database then holds.

namespace {

const QString kFattore = QStringLiteral("Il fattore di conversione deve essere maggiore di zero!");

// Leaves a field as the clerk does, for whatever reacts to it.
void esci(QLineEdit* campo) {
  PuxTestInput::press(campo, Qt::Key_Return);
}

QString unita(const QString& codice) {
  QSqlQuery q(qqoKvGlobConn());
  q.prepare(
      QStringLiteral("SELECT SUNMDESCS, SUNMMISCARICO, SUNMMISSCARICO, CAST(FUNMFATTOREPROP AS VARCHAR(40)) "
                     "FROM TUNM_UNITAMISURA WHERE SUNMCOD = :C"));
  q.bindValue(QStringLiteral(":C"), codice);
  if (!q.exec() || !q.next()) return QStringLiteral("(nessuna)");
  return QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()}.join(
      QStringLiteral("|"));
}

}  // namespace

class UniMisura : public Tabelle {
 protected:
  void SetUp() override {
    Tabelle::SetUp();
    w = p.Apri<TfmAbzUniMisura>("xafUniMisura");
    ASSERT_NE(w, nullptr);
    f = w->frUniMisura;
  }
  // A new unit typed field by field; the description is left as the clerk
  // leaves it.
  void nuova(const QString& codice, const QString& descrizione, const QString& fattore) {
    f->xacInsert->trigger();
    PuxTestInput::retype(f->xdeCodice, codice);
    PuxTestInput::retype(f->xdeDescrizione, descrizione);
    esci(f->xdeDescrizione);
    PuxTestInput::retype(f->xdnFattore, fattore);
  }
  Programma p;
  TfmAbzUniMisura* w = nullptr;
  TfrAbzUniMisura* f = nullptr;
};

TEST_F(UniMisura, WindowShowsTheUnitsWithTheirFactor) {
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Unità di Misura"));
  EXPECT_EQ(titoliVisibili(*f->grFrame), (QStringList{"Codice", "Descrizione", "Note", "Misura di Carico",
                                                      "Misura di Scarico", "Fattore Conversione"}));
  ASSERT_TRUE(dmAbzTabelle()->xqcUniMisura->Locate(QStringLiteral("SUNMCOD"), QStringLiteral("CF12")));
  const int riga = dmAbzTabelle()->xqcUniMisura->RecNo();
  EXPECT_EQ(f->grFrame->model()->index(riga, 5).data().toString(), QStringLiteral("12,00"));
  EXPECT_EQ(f->xdnFattore->text(), QStringLiteral("12,00"));
  EXPECT_TRUE(f->grFrame->SortByColumn(0));
  EXPECT_TRUE(f->grFrame->SortByColumn(1));
  EXPECT_FALSE(f->grFrame->SortByColumn(5));
}

// The description left with both units empty gives them its text, cut to the
// five characters they hold; a unit already typed is kept.
TEST_F(UniMisura, LeavingTheDescriptionFillsBothEmptyUnitsCutToTheirSize) {
  nuova(QStringLiteral("CF24"), QStringLiteral("Confezione da ventiquattro pezzi"), QStringLiteral("24"));
  EXPECT_EQ(f->xdeMisCarico->text(), QStringLiteral("Confe"));
  EXPECT_EQ(f->xdeMisScarico->text(), QStringLiteral("Confe"));
  f->xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(unita(QStringLiteral("CF24")), QStringLiteral("Confezione da ventiquattro pezzi|Confe|Confe|24.000000"));

  // A short description is copied whole.
  nuova(QStringLiteral("KG"), QStringLiteral("Kg"), QStringLiteral("1"));
  f->xacPost->trigger();
  EXPECT_EQ(unita(QStringLiteral("KG")), QStringLiteral("Kg|Kg|Kg|1.000000"));

  // One unit typed: neither changes. Editing works the same as inserting.
  ASSERT_TRUE(dmAbzTabelle()->xqcUniMisura->Locate(QStringLiteral("SUNMCOD"), QStringLiteral("PZ")));
  f->xacEdit->trigger();
  PuxTestInput::retype(f->xdeMisScarico, QString());
  PuxTestInput::retype(f->xdeDescrizione, QStringLiteral("Pezzo singolo"));
  esci(f->xdeDescrizione);
  EXPECT_EQ(f->xdeMisCarico->text(), QStringLiteral("PZ"));
  EXPECT_EQ(f->xdeMisScarico->text(), QString());
  PuxTestInput::retype(f->xdeMisCarico, QString());
  esci(f->xdeDescrizione);
  EXPECT_EQ(f->xdeMisCarico->text(), QStringLiteral("Pezzo"));
  EXPECT_EQ(f->xdeMisScarico->text(), QStringLiteral("Pezzo"));
  f->xacPost->trigger();
  EXPECT_EQ(unita(QStringLiteral("PZ")), QStringLiteral("Pezzo singolo|Pezzo|Pezzo|1.000000"));

  // Browsing, leaving the description changes nothing.
  esci(f->xdeDescrizione);
  EXPECT_EQ(f->xdsMain->State(), KvState::Browse);
}

TEST_F(UniMisura, CodeAndFactorAreRequiredAndTheFactorMustBePositive) {
  const QString nonNumero =
      QStringLiteral("Attenzione!\nIl valore del campo 'Fattore Conversione' non è un numero valido.");
  const QString decimali = QStringLiteral("Attenzione!\nIl campo 'Fattore Conversione' ammette al massimo 2 decimali.");
  const struct {
    const char* codice;
    const char* fattore;
    QString messaggio;  // empty: saved
  } casi[] = {
      {"", "10", QStringLiteral("Inserire il codice!")},
      {"   ", "10", QStringLiteral("Inserire il codice!")},
      {"F0", "0", kFattore},
      {"FN", "-2", kFattore},
      {"FV", "", kFattore},
      {"FA", "dieci", nonNumero},
      {"FD", "0,125", decimali},
      {"F5", "0,5", QString()},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.fattore);
    const int prima = Scalar("SELECT COUNT(*) FROM TUNM_UNITAMISURA").toInt();
    nuova(QString::fromLatin1(c.codice), QStringLiteral("Prova"), QString::fromLatin1(c.fattore));
    KvMessageScript::Clear();
    f->xacPost->trigger();
    if (c.messaggio.isEmpty()) {
      EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
      EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TUNM_UNITAMISURA").toInt(), prima + 1);
      continue;
    }
    EXPECT_EQ(KvMessageScript::Texts(), QStringList{c.messaggio});
    EXPECT_EQ(f->xdsMain->State(), KvState::Insert);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TUNM_UNITAMISURA").toInt(), prima);
    f->xacCancel->trigger();
  }
  EXPECT_EQ(unita(QStringLiteral("F5")), QStringLiteral("Prova|Prova|Prova|0.500000"));
}

// Whatever posts the unit (here the list itself, as a move of the grid
// does), the same rules hold.
TEST_F(UniMisura, EveryPostOfAUnitObeysItsRules) {
  TKvQueryCollection& c = *dmAbzTabelle()->xqcUniMisura;
  ASSERT_TRUE(c.Locate(QStringLiteral("SUNMCOD"), QStringLiteral("RS")));
  ASSERT_TRUE(c.SetFieldValue(QStringLiteral("FUNMFATTOREPROP"), 0.0));
  EXPECT_EQ(c.Post().error(), kFattore);
  c.SetFieldValue(QStringLiteral("FUNMFATTOREPROP"), 2.0);
  c.SetFieldValue(QStringLiteral("SUNMCOD"), QStringLiteral(" "));
  EXPECT_EQ(c.Post().error(), QStringLiteral("Inserire il codice!"));
  c.Cancel();
  EXPECT_EQ(unita(QStringLiteral("RS")), QStringLiteral("Risma|RS|RS|1.000000"));
}

TEST_F(Tabelle, DestinationTypesAndLocationsAreListedAddedAndRemoved) {
  Programma p;
  auto* destinazioni = p.Apri<TfmAbzTipoDestinazioni>("xafTipoDestinazioni");
  ASSERT_NE(destinazioni, nullptr);
  EXPECT_EQ(destinazioni->windowTitle(), QStringLiteral("Tipo Destinazioni"));
  TfrAbzTipoDestinazioni& d = *destinazioni->frTipoDestinazioni;
  EXPECT_EQ(titoliVisibili(*d.grFrame), (QStringList{"Codice", "Descrizione"}));
  EXPECT_EQ(dmAbzTabelle()->xqcTipoDestinazioni->RecordCount(), 5);
  d.xacInsert->trigger();
  PuxTestInput::retype(d.xdeCodice, QStringLiteral("PAL"));
  PuxTestInput::retype(d.xdeDescrizione, QStringLiteral("Palestra"));
  d.xacPost->trigger();
  EXPECT_EQ(Scalar("SELECT STPDDESCL FROM TTPD_TIPODESTINAZ WHERE STPDDESCS = 'PAL'").toString(),
            QStringLiteral("Palestra"));
  // A delete asks first; "No" keeps the row.
  KvMessageScript::Answer(mrNo);
  d.xacDelete->trigger();
  EXPECT_EQ(KvMessageScript::Texts().value(0), QStringLiteral("Cancellare il record?"));
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TTPD_TIPODESTINAZ WHERE STPDDESCS = 'PAL'").toInt(), 1);
  KvMessageScript::Answer(mrYes);
  d.xacDelete->trigger();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TTPD_TIPODESTINAZ WHERE STPDDESCS = 'PAL'").toInt(), 0);

  // The locations have no command; their window reads them afresh each time.
  const KvFormResult r = KvWindowFactory::Create(QStringLiteral("TfmAbzCollocazioni"), &p.main);
  ASSERT_TRUE(r.opened) << r.error.toStdString();
  auto* collocazioni = qobject_cast<TfmAbzCollocazioni*>(r.window);
  ASSERT_NE(collocazioni, nullptr);
  EXPECT_EQ(collocazioni->windowTitle(), QStringLiteral("Collocazioni"));
  EXPECT_EQ(dmAbzTabelle()->xqcCollocazioni->RecordCount(), 5);
  TfrAbzCollocazioni& l = *collocazioni->frCollocazioni;
  l.xacInsert->trigger();
  PuxTestInput::retype(l.xdeCodice, QStringLiteral("ARCHIVIO-PIANO-1"));
  PuxTestInput::retype(l.xdeDescrizione, QStringLiteral("Archivio del primo piano"));
  l.xacPost->trigger();
  EXPECT_EQ(Scalar("SELECT SCLCDESCL FROM TCLC_COLLOCAZIONI WHERE SCLCDESCS = 'ARCHIVIO-PIANO-1'").toString(),
            QStringLiteral("Archivio del primo piano"));
  ASSERT_TRUE(collocazioni->CloseWindow());
  EXPECT_FALSE(dmAbzTabelle()->xqcCollocazioni->Active());
}

TEST_F(Tabelle, SupplyConditionsShowTheDefaultMark) {
  Programma p;
  auto* w = p.Apri<TfmAbzCondFornitura>("xafCondFornitura");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Condizioni di Fornitura"));
  TfrAbzCondFornitura& f = *w->frCondFornitura;
  TKvQueryCollection& c = *dmAbzTabelle()->xqcCondFornitura;
  EXPECT_EQ(titoliVisibili(*f.grFrame), (QStringList{"Note", "Default"}));
  EXPECT_TRUE(f.grFrame->SortByColumn(0));
  EXPECT_FALSE(f.grFrame->SortByColumn(1));
  ASSERT_TRUE(f.grFrame->OnDrawColumnCell);
  auto segno = [&](int riga) {
    TKvDrawCell cella;
    cella.row = riga;
    cella.column = 1;
    cella.field = QStringLiteral("DEF");
    f.grFrame->OnDrawColumnCell(cella);
    return !cella.image.isNull();
  };
  for (int r = 0; r < c.RecordCount(); ++r)
    EXPECT_EQ(segno(r), c.Value(r, c.FieldIndex(QStringLiteral("LCDFDEFAULT"))).toInt() == 1) << r;

  // A new condition marked as default.
  f.xacInsert->trigger();
  riscriviMemo(f.xdmNote, QStringLiteral("Consegna al piano terra."));
  f.xckDefault->click();
  f.xacPost->trigger();
  EXPECT_TRUE(KvMessageScript::Texts().isEmpty()) << KvMessageScript::Texts().join('|').toStdString();
  EXPECT_EQ(Scalar("SELECT LCDFDEFAULT FROM TCDF_CONDFORNITURA WHERE SCDFDESCL = 'Consegna al piano terra.'").toInt(),
            1);
  EXPECT_TRUE(segno(c.RecNo()));
  // And unmarked again.
  f.xacEdit->trigger();
  f.xckDefault->click();
  f.xacPost->trigger();
  EXPECT_EQ(Scalar("SELECT LCDFDEFAULT FROM TCDF_CONDFORNITURA WHERE SCDFDESCL = 'Consegna al piano terra.'").toInt(),
            0);
  EXPECT_FALSE(segno(c.RecNo()));
}
