#include "AbzFinestre.h"

#include "AbzFAliquoteIVA.h"
#include "AbzFArticoli.h"
#include "AbzFCodMerce.h"
#include "AbzFWGeneraBuonoScarico.h"
#include "AbzMTabelle.h"
#include "KvWindowFactory.h"
#include "PuxServizi.h"

namespace {

template <class Finestra>
void registra(const char* classe) {
  KvWindowFactory::Register(QString::fromLatin1(classe), [](QWidget* parent) { return new Finestra(parent); });
}

}  // namespace

void AbzRegistraFinestre() {
  registra<TfmAbzArticoli>("TfmAbzArticoli");
  registra<TfmAbzFWGeneraBuonoScarico>("TfmAbzFWGeneraBuonoScarico");
  registra<TfmAbzAliquoteIVA>("TfmAbzAliquoteIVA");
  registra<TfmAbzCodMerce>("TfmAbzCodMerce");
  PuxServizi.ApriTabelleMagazzino = &TdmAbzTabelle::Apri;
}
