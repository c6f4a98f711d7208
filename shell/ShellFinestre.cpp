#include "ShellFinestre.h"

#include "KvWindowFactory.h"
#include "PuxServizi.h"
#include "TdmNuovoAnnoQuery.h"
#include "TfmNuovoAnno.h"

void ShellRegistraFinestre() {
  KvWindowFactory::Register(QStringLiteral("TfmNuovoAnno"), [](QWidget* parent) { return new TfmNuovoAnno(parent); });
  PuxServizi.ApriNuovoAnno = &TdmNuovoAnnoQuery::Apri;
}
