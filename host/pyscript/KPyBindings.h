// The module `quelm`: one set of bindings serves both the interpreter
// embedded in quelmhost (`quelmhost script`) and the extension module that
// an ordinary python3 imports.
//
//   quelm.version(), quelm.registryKey()       the application object
//   quelm.lookupOption(name, current)          its option lookups (by the type of current)
//   quelm.OptionsStore()                       an options store of the script's own
//   quelm.Model(path)                          a model file's options (model.options, save, close)
//   quelm.textToReal(text, quantity, units, current), quelm.numberToText(value, digits, quantity, units)
//   quelm.readObjectFile(path), quelm.writeObjectFile(path, records, form, level)
//   quelm.Matrix2, quelm.Matrix3               matrices; toVariant() gives nested lists
//   quelm.ScriptError                          a script error raised by the library (source, description)
#pragma once
#include <pybind11/pybind11.h>

class KHostApplication;
class KDatabaseOptions;

void KDefineQuelmBindings(pybind11::module_& m);

// The application object the bindings answer from; each form supplies it.
KHostApplication& KPyApplication();

// The one wrapper of `store` (made now when it has none). The store keeps its
// delete flag: a store the program owns outlives its wrapper.
pybind11::object KPyWrapOptions(KDatabaseOptions* store);
