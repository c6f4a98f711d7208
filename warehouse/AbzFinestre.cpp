#include "AbzFinestre.h"

#include "AbzFAliquoteIVA.h"
#include "AbzFArticoli.h"
#include "AbzFCodMerce.h"
#include "AbzFCollocazioni.h"
#include "AbzFCondFornitura.h"
#include "AbzFTipoDestinazioni.h"
#include "AbzFUniMisura.h"
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
  registra<TfmAbzUniMisura>("TfmAbzUniMisura");
  registra<TfmAbzTipoDestinazioni>("TfmAbzTipoDestinazioni");
  registra<TfmAbzCondFornitura>("TfmAbzCondFornitura");
  registra<TfmAbzCollocazioni>("TfmAbzCollocazioni");
  PuxServizi.ApriTabelleMagazzino = &TdmAbzTabelle::Apri;
}
