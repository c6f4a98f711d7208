#pragma once

#include "KvResult.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class QWidget;
class TKvQueryCollection;

// The print data module of the codes archive, alive for the whole run: the
// codes of a kind assigned in a period with their linked movements (reports
// 5108 CIG, 5109 CUP, 5110 DURC) and the suppliers not in order with their
// DURC (report 5134), and the report variables "DINIZIO" and "DFINE".
class TdmFenCcdRpt : public QObject {
  Q_OBJECT
 public:
  explicit TdmFenCcdRpt(QObject* parent = nullptr);
  ~TdmFenCcdRpt() override;

  TKvQueryCollection* cdsCcd;             // report data set frdCcd
  TKvQueryCollection* quMovColl;          // frdMovColl: movements of the current code
  TKvQueryCollection* cdsBenefNonRegola;  // frdBenefNonRegola

  struct DataSetReport {
    QString nome;
    TKvQueryCollection* dataSet;
  };
  // The data sets under the names the report templates use.
  QList<DataSetReport> DataSetsReport() const;

  // The template of the report being prepared, told by the main window when
  // a report of the archive is chosen.
  void SetNumeroReport(int idModello);
  int NumeroReport() const { return m_numeroReport; }
  // The template a report id stands for: the id itself below 1,000,000, else
  // the template the customised report derives from (-1 when unknown).
  static int ModelloReport(int idReport);

  // Before the codes are opened: the period from "Scelta Date" and the kind
  // from the report number. Cancel leaves both dates, the kind and the
  // texts empty, so the list is empty. Opens cdsCcd; false (shown) when
  // it cannot be read.
  bool ApriCodici(QWidget* parent = nullptr);
  // Before the suppliers not in order are opened: the day of the check
  // ("Data del Controllo", today by default). False when the user cancelled:
  // the report is not prepared.
  bool ApriBenefNonRegola(QWidget* parent = nullptr);
  // Opens the data of the current report number; false when the preparation
  // is cancelled.
  bool PreparaDati(QWidget* parent = nullptr);

  // Every data set opened and closed once (before a template is designed);
  // the first that cannot be read says why.
  KvStatus ApriChiudiTutti();
  // Every data set closed (after printing).
  void ChiudiTutti();

  // The value supplier: true when the variable is one of this module's.
  bool Valore(const QString& variabile, QVariant& valore) const;

  QDate DataInizio() const { return m_dStart; }
  QDate DataFine() const { return m_dEnd; }
  QDate DataControllo() const { return m_dData; }
  int TipoCodici() const { return m_tipo; }

 private:
  void impostaCodici();
  void seguiCodice();

  int m_numeroReport = 0;
  QDate m_dStart;
  QDate m_dEnd;
  QDate m_dData;
  int m_tipo = 0;
  QString m_testoInizio;
  QString m_testoFine;
};
