#include "TfmPuxMain.h"

#include "KvConnection.h"
#include "PuxContesto.h"

#include <QLabel>
#include <QMdiArea>
#include <QSqlQuery>
#include <QStatusBar>

TfmPuxMain::TfmPuxMain(QWidget* parent)
    : QMainWindow(parent), m_mdi(new QMdiArea(this)), m_panel1(new QLabel(this)), m_panel2(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Pux"));
  setObjectName(QStringLiteral("fmPuxMain"));
  setCentralWidget(m_mdi);
  m_panel1->setMinimumWidth(450);
  m_panel2->setMinimumWidth(370);
  statusBar()->addWidget(m_panel1);
  statusBar()->addWidget(m_panel2);
  resize(1024, 700);
}

void TfmPuxMain::RefreshPanels() {
  QString name;
  QSqlQuery q(qqoKvGlobConn());
  q.prepare(QStringLiteral("SELECT VDOW_DATAOWNER.IDOWID, VDOW_DATAOWNER.SDOWSDESC FROM VDOW_DATAOWNER "
                           "WHERE VDOW_DATAOWNER.IDWGID = :IDWGID"));
  q.bindValue(QStringLiteral(":IDWGID"), Contesto.DwgId);
  if (q.exec() && q.next()) name = q.value(1).toString();
  m_panel1->setText(QStringLiteral("Istituto: ") + name);
  m_panel2->setText(QStringLiteral("Esercizio finanziario corrente: ") + QString::number(Contesto.EsercizioFin));
}

QString TfmPuxMain::PanelText(int index) const { return index == 0 ? m_panel1->text() : m_panel2->text(); }
