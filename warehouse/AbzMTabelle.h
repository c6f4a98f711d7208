#pragma once

#include "KvResult.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class TKvQueryCollection;

// The warehouse lookup tables shared with the warehouse program of the
// suite: one collection per table, with its statements and the rules every
// post of it obeys. No widget here; the maintenance windows bind their
// frames to these collections, open them and close them again.
//
// One module per process (Apri), bound to the global connection.
class TdmAbzTabelle : public QObject {
  Q_OBJECT
 public:
  explicit TdmAbzTabelle(QObject* parent = nullptr);
  ~TdmAbzTabelle() override;

  TKvQueryCollection* xqcAliquoteIVA;
  TKvQueryCollection* xqcUniMisura;
  TKvQueryCollection* xqcTipoDestinazioni;
  TKvQueryCollection* xqcCollocazioni;
  TKvQueryCollection* xqcCondFornitura;
  TKvQueryCollection* xqcCodMerceologici;
  // The details of the current product code: they follow it.
  TKvQueryCollection* xqcDettCodMerc;
  TKvQueryCollection* xqcTipiBuoniCarico;
  TKvQueryCollection* xqcTipiBuoniScarico;
  TKvQueryCollection* xqcOrgDelibera;

  QList<TKvQueryCollection*> Collezioni() const;

  // Binds every collection to the global connection; fails when it is not
  // open or a list cannot be prepared there (a table missing).
  KvStatus Collega();

  // A rule a row being typed breaks: the field to send the user to, and the
  // message.
  struct Rifiuto {
    QString campo;
    QString testo;
  };
  // The one check of a unit of measure, for the save action and every post.
  std::optional<Rifiuto> ControllaUniMisura() const;
  // Leaving the description of a unit being typed whose two units are both
  // empty: both take the description, cut to what their columns hold.
  // True when it copied.
  bool CopiaDescrizioneInMisure();

  // The product code whose details are listed (-1: none).
  int CodMerceCorrente() const { return m_imerid; }

  // The module of the process, made and bound on first use; false (and no
  // module) when that fails.
  static bool Apri();
  // The module, or null before Apri.
  static TdmAbzTabelle* Modulo();
  // Frees the module (the next Apri builds a new one).
  static void Libera();

 private:
  void seguiCodMerce(bool sempre);

  int m_imerid = -1;
};

inline TdmAbzTabelle* dmAbzTabelle() {
  return TdmAbzTabelle::Modulo();
}
