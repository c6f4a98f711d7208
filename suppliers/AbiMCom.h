#pragma once

#include <QObject>
#include <QString>

class TKvQueryCollection;
struct TKvQueryProp;

// The municipalities module: the foreign municipalities (a TCOM_COMUNI row
// and its TSRPC place, state other than Italy, province 20000, both dated
// '0001/01/01' as imported municipalities are) and the state offered to new
// rows. Italian municipalities are read only, elsewhere.
class TdmComuni : public QObject {
  Q_OBJECT
 public:
  explicit TdmComuni(QObject* parent = nullptr);
  ~TdmComuni() override;

  // ISRPCID, ISTAID, ICOMID, SSRPCCODCATA, SSRPCCOMRISTAT, SCOMDESC, SSTALDESC
  // of every place outside Italy.
  TKvQueryCollection* xqcComuniEsteri;

  // Binds the collection to the global connection; false when it is not open.
  bool Collega();

  // The state new rows get, with its cadastral and ISTAT codes (read from
  // TSTA_STATI); a state not above 1 leaves new rows without one.
  void SetStatoDefault(int iStaId);
  // The codes of a chosen state become the defaults of the next new rows.
  void SetCodiciDefault(int iStaId, const QString& sStaLDesc, const QString& sCodCata, const QString& sIstat);
  int StatoDefault() const { return m_iStaId; }

  // True when some address, person, legal registration, bank or branch
  // points at the place.
  static bool LuogoInUso(int iSrpcId);

  // Municipality id of the pair being written: the new id of the first insert,
  // the current row's ICOMID before the first delete.
  int iComId = -1;

 private:
  void beforeExec(TKvQueryProp& prop);
  void afterExec(TKvQueryProp& prop);
  void newRecord(TKvQueryCollection& collection);

  int m_iStaId = -1;
  QString m_sStaLDesc;
  QString m_sCodCata;
  QString m_sIstat;
};

// Creates the module once per run and binds it to the global connection;
// false (and the module freed) when that fails.
bool ApriComuni();
// The module made by ApriComuni, or null.
TdmComuni* dmComuni();
// Frees the module (tests, and a program that switches database).
void ChiudiComuni();
