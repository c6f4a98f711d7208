#pragma once

#include "KvWindowFactory.h"
#include "TfmKvChildDB.h"

class QSplitter;
class TdmFenCCD;
class TfrFenCCD;
class TfrFenCCDMovColl;

// The archive of the codes of one kind ("Codici CIG", "Codici CUP", "Codici
// DURC" of the side bar): the code frame above, the movements linked to the
// current code below. The command opens the window with its kind as the
// window's argument (KvFormArgs::tipo).
class TfmFenCCD_archivi : public TfmKvChildDB, public KvFormArgsReceiver {
  Q_OBJECT
 public:
  explicit TfmFenCCD_archivi(QWidget* parent = nullptr);
  ~TfmFenCCD_archivi() override;

  TdmFenCCD* dmFenCCD;
  TfrFenCCD* frFenCCD;
  TfrFenCCDMovColl* frFenCCDMovColl;
  QSplitter* spArchivi;

  // 1 CIG, 2 CUP, 3 DURC: caption, fields, columns, filters; the list is
  // reopened on its first row. -1 until set.
  void SetTipo(int tipo);
  int Tipo() const { return m_tipo; }
  void SetFormArgs(const KvFormArgs& args) override { SetTipo(args.tipo); }

 protected:
  void FormShow() override;
  void FormClose() override;

 private:
  void seguiCodice(bool sempre);

  int m_tipo = -1;
};
