#include "host/pyscript/KPyEmbedded.h"

#include <pybind11/embed.h>

#include "host/CHostApp.h"
#include "host/KHostApplication.h"
#include "host/pyscript/KPyBindings.h"
#include "host/pyscript/KPyVariant.h"

#include <cstdio>

namespace py = pybind11;

PYBIND11_EMBEDDED_MODULE(quelm, m) { KDefineQuelmBindings(m); }

KHostApplication& KPyApplication() { return static_cast<KHostApplication&>(CHostApp::applicationObject()); }

namespace {

// The status sys.exit(code) asks for.
int exitStatus(const py::error_already_set& e) {
  py::object code = e.value().attr("code");
  if (code.is_none()) return 0;
  if (py::isinstance<py::int_>(code)) return code.cast<int>();
  py::print(code, py::arg("file") = py::module_::import("sys").attr("stderr"));
  return 1;
}

void flushStreams() {
  py::module_ sys = py::module_::import("sys");
  for (const char* stream : {"stdout", "stderr"}) {
    py::object s = sys.attr(stream);
    if (!s.is_none()) s.attr("flush")();
  }
}

}  // namespace

int KPyRunScript(const std::string& fileName, const std::string& source, const std::vector<std::string>& argv,
                 KDatabaseOptions* options) {
  py::scoped_interpreter interpreter(true, 0, nullptr, false);
  int status = 0;
  {
    py::dict globals;
    globals["__name__"] = "__main__";
    // File name and arguments are bytes, as Python itself decodes them.
    const py::str file = KPyText(KString(fileName));
    globals["__file__"] = file;
    globals["__builtins__"] = py::module_::import("builtins");
    try {
      py::list args;
      for (const std::string& a : argv) args.append(KPyText(KString(a)));
      py::module_::import("sys").attr("argv") = args;
      // The module registers the wrapper classes: imported before any wrapping.
      py::module_::import("quelm");
      if (options) globals["options"] = KPyWrapOptions(options);
      py::object code = py::module_::import("builtins").attr("compile")(py::bytes(source), file, "exec");
      py::module_::import("builtins").attr("exec")(code, globals);
    } catch (py::error_already_set& e) {
      if (e.matches(PyExc_SystemExit)) {
        status = exitStatus(e);
      } else {
        py::module_::import("traceback").attr("print_exception")(e.type(), e.value(), e.trace());
        status = 1;
      }
    } catch (const std::exception& e) {
      fprintf(stderr, "quelmhost script: %s\n", e.what());
      status = 1;
    }
    globals.clear();
    py::module_::import("gc").attr("collect")();
    flushStreams();
  }
  return status;
}
