#pragma once

#include "KvResult.h"

#include <QObject>
#include <QString>

#include <optional>

class TKvQueryCollection;

// The data of the code frame: the codes of one kind (xqcCCD) with their
// paid, committed and invoiced totals, the statements that write a code and
// the rules every post obeys, whatever path posts it. A CIG or CUP never
// keeps a supplier, a DURC must have one; a code other rows refer to is
// never deleted.
class TdmFenCCD : public QObject {
  Q_OBJECT
 public:
  // The archive window lists every code of the kind with the presence flags
  // its filters need; the code dialog lists the codes of one supplier (none
  // for CIG and CUP) and never lets the supplier of a DURC change.
  enum class Uso { Archivio, Dialogo };

  explicit TdmFenCCD(Uso uso = Uso::Archivio, QObject* parent = nullptr);
  ~TdmFenCCD() override;

  TKvQueryCollection* xqcCCD;

  Uso GetUso() const { return m_uso; }
  // The kind (1 CIG, 2 CUP, 3 DURC) of the list; not reopened here (Apri).
  void SetTipo(int tipo);
  int Tipo() const { return m_tipo; }
  // The supplier whose codes are listed and whom new DURC rows get; -1 lists
  // the codes of every supplier.
  void SetBeneficiario(int idBeneficiario);
  int Beneficiario() const { return m_beneficiario; }

  // (Re)opens the list on its first row, without filter.
  KvStatus Apri();

  // The one check of a code being typed, for the save action and for every
  // post: the first required field left empty, by field name, and the
  // message that names it.
  struct CampoMancante {
    QString campo;  // collection field, e.g. "SCCDCODICE"
    QString testo;  // "Il campo 'Codice' deve avere un valore."
  };
  std::optional<CampoMancante> Controlla() const;
  // A CIG or CUP being typed drops a supplier chosen while it was a DURC.
  void TogliBeneficiarioNonDurc();
  // True when the current code is held by other rows and cannot be deleted.
  bool Usato() const;
  static QString TestoCodiceUsato();
  // While a DURC is corrected its supplier stays: always in the dialog, in
  // the archive while movements use it.
  bool BeneficiarioBloccato() const;

  // The code the last statement wrote: the new id after an insert, the row's
  // id after an update, -1 after a delete or before any.
  int UltimoScritto() const { return m_ultimoScritto; }

 private:
  void impostaParametri();

  Uso m_uso;
  int m_tipo = -1;
  int m_beneficiario = -1;
  int m_ultimoScritto = -1;
};
