// The extension module `quelm` for an ordinary python3: the same bindings as
// the interpreter embedded in quelmhost, answering from an application object
// of its own (made current when the module is imported).
#include <pybind11/pybind11.h>

#include "host/KHostApplication.h"
#include "host/pyscript/KPyBindings.h"

KHostApplication& KPyApplication() {
  static KHostApplication application;
  return application;
}

PYBIND11_MODULE(quelm, m) {
  KSetApplication(&KPyApplication());
  KDefineQuelmBindings(m);
}
