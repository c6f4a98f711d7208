#include "AbzFinestre.h"

#include "AbzFArticoli.h"
#include "AbzFWGeneraBuonoScarico.h"
#include "KvWindowFactory.h"

namespace {

template <class Finestra>
void registra(const char* classe) {
  KvWindowFactory::Register(QString::fromLatin1(classe), [](QWidget* parent) { return new Finestra(parent); });
}

}  // namespace

void AbzRegistraFinestre() {
  registra<TfmAbzArticoli>("TfmAbzArticoli");
  registra<TfmAbzFWGeneraBuonoScarico>("TfmAbzFWGeneraBuonoScarico");
}
