#include "host/pyscript/KPyBindings.h"

#include <pybind11/eval.h>

#include "core/script/KScriptArgs.h"
#include "geometry/matrices/K2dMatrix.h"
#include "geometry/matrices/K3dMatrix.h"
#include "host/KHostApplication.h"
#include "host/KModelOptionsFile.h"
#include "host/pyscript/KPyObjectFiles.h"
#include "host/pyscript/KPyScriptObject.h"
#include "host/pyscript/KPyVariant.h"
#include "model/options/KOptionsScript.h"
#include "model/units/KEntryConversion.h"
#include "platform/KErrorInfo.h"
#include "platform/KExceptions.h"
#include "platform/KFileSystem.h"
#include "storage/numbertext/KNumberText.h"

#include <memory>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

[[noreturn]] void raiseToPython(const KString& source, const KString& description) {
  py::object type = py::module_::import("quelm").attr("ScriptError");
  py::object error = type(KPyText(source), KPyText(description));
  PyErr_SetObject(type.ptr(), error.ptr());
  throw py::error_already_set();
}

// A failed bridge call: the error the library installed as the thread's
// error information, as quelm.ScriptError.
void check(HRESULT hr, const char* operation) {
  if (SUCCEEDED(hr)) return;
  IErrorInfo* info = nullptr;
  KString source(operation), description;
  description.Format("failed (0x%08X)", static_cast<unsigned>(hr));
  if (GetErrorInfo(0, &info) == S_OK && info) {
    BSTR text = nullptr;
    if (SUCCEEDED(info->GetSource(&text)) && text) source = KStringFromBSTR(text);
    SysFreeString(text);
    text = nullptr;
    if (SUCCEEDED(info->GetDescription(&text)) && text) description = KStringFromBSTR(text);
    SysFreeString(text);
    info->Release();
  }
  raiseToPython(source, description);
}

// A script error raised through the bridge from `operation`.
[[noreturn]] void fail(const char* operation, const KString& description) {
  check(raiseScriptError(KString(operation), description), operation);
  throw std::logic_error("raiseScriptError answered success");
}

class KPyOptions : public KPyScriptObject {
 public:
  explicit KPyOptions(KDatabaseOptions* store) : KPyScriptObject(store) {}
  KDatabaseOptions& store() const { return static_cast<KDatabaseOptions&>(object()); }
};

// A store the script made for itself: deleted when its last reference goes.
class KPyOwnStore : public KModelOptions {
 public:
  KPyOwnStore() : KModelOptions("quelm") { ++s_live; setDeleteOnLastScriptRelease(true); }
  ~KPyOwnStore() override { --s_live; }
  static long s_live;
};
long KPyOwnStore::s_live = 0;

// A model file's options, owned here: closing the model (or losing it)
// destroys the store, so wrappers of it still held turn dead.
class KPyModel {
 public:
  explicit KPyModel(const KString& path) : m_path(path), m_store(std::make_unique<KModelOptions>("quelm")) {
    if (KFileSystem::Current()->exists(path)) KReadModelOptions(path, *m_store);
  }
  KDatabaseOptions& store() const {
    if (!m_store) KPyRaiseReferenceError("the model is closed");
    return *m_store;
  }
  void save() const { KSaveModelOptions(m_path, store()); }
  void close() { m_store.reset(); }
  const KString& path() const { return m_path; }

 private:
  KString m_path;
  std::unique_ptr<KModelOptions> m_store;
};

// Reads optional argument `arg` through the bridge's reader.
template <class T, class Reader>
T optionalArg(py::handle arg, T fallback, Reader reader, const char* operation) {
  KPyVariant v(arg);
  T value = fallback;
  check(reader(v.m_v, value, KString(operation)), operation);
  return value;
}

// A text argument: a str or bytes byte for byte (the bridge's BSTR would turn
// bytes that are not UTF-8 into U+FFFD), anything else through the bridge's
// reader and its conversions and messages.
KString textArg(py::handle arg, const KString& fallback, const char* operation) {
  if (py::isinstance<py::str>(arg) || py::isinstance<py::bytes>(arg)) return KPyToText(arg);
  return optionalArg(arg, fallback, readOptionalString, operation);
}

bool visibleArg(py::handle arg, const char* operation) { return optionalArg(arg, true, readOptionalBool, operation); }

template <class T, class Reader>
T requiredArg(py::handle arg, Reader reader, const char* operation) {
  if (arg.is_none()) fail(operation, "the value is missing");
  return optionalArg(arg, T(), reader, operation);
}

py::object optionValue(const KDatabaseOptions& store, const KString& name) {
  if (auto* r = store.find<long>(name)) return py::int_(r->m_value);
  if (auto* r = store.find<double>(name)) return py::float_(r->m_value);
  if (auto* r = store.find<KString>(name)) return KPyText(r->m_value);
  if (auto* r = store.find<bool>(name)) return py::bool_(r->m_value);
  return py::none();
}

template <class T>
void collectNames(const KDatabaseOptions& store, py::list& names) {
  store.forEach<T>([](const KOption<T>& r, void* c) { static_cast<py::list*>(c)->append(KPyText(r.m_name)); }, &names);
}

void bindOptions(py::module_& m) {
  // ping does nothing on a live object, through the same wrapper check every
  // method takes (ReferenceError once the object is gone): with
  // quelm._emptyFunction it measures what the bridge adds to a call.
  py::class_<KPyScriptObject>(m, "ScriptObject")
      .def_property_readonly("alive", &KPyScriptObject::isAlive)
      .def("ping", [](const KPyScriptObject& o) { o.object(); });
  py::class_<KPyOptions, KPyScriptObject>(m, "OptionsStore")
      .def(py::init([] { return std::make_unique<KPyOptions>(new KPyOwnStore); }))
      .def_static("liveCount", [] { return KPyOwnStore::s_live; })
      .def("getInteger", [](const KPyOptions& o, const KString& name, py::object fallback) {
             return o.store().getInteger(name, optionalArg(fallback, LONG(0), readOptionalLong, "getInteger"));
           }, py::arg("name"), py::arg("fallback") = py::none())
      .def("getDouble", [](const KPyOptions& o, const KString& name, py::object fallback) {
             return o.store().getDouble(name, optionalArg(fallback, 0.0, readOptionalDouble, "getDouble"));
           }, py::arg("name"), py::arg("fallback") = py::none())
      .def("getString", [](const KPyOptions& o, const KString& name, py::object fallback) {
             return o.store().getString(name, textArg(fallback, KString(), "getString"));
           }, py::arg("name"), py::arg("fallback") = py::none())
      .def("getBoolean", [](const KPyOptions& o, const KString& name, py::object fallback) {
             return o.store().getBoolean(name, optionalArg(fallback, false, readOptionalBool, "getBoolean"));
           }, py::arg("name"), py::arg("fallback") = py::none())
      // The setters answer whether the value changed (an added option did).
      .def("setInteger", [](const KPyOptions& o, const KString& name, py::object value, py::object visible) {
             LONG v = requiredArg<LONG>(value, readOptionalLong, "setInteger");
             return o.store().setInteger(name, v, visibleArg(visible, "setInteger"));
           }, py::arg("name"), py::arg("value"), py::arg("visible") = py::none())
      .def("setDouble", [](const KPyOptions& o, const KString& name, py::object value, py::object visible) {
             double v = requiredArg<double>(value, readOptionalDouble, "setDouble");
             return o.store().setDouble(name, v, visibleArg(visible, "setDouble"));
           }, py::arg("name"), py::arg("value"), py::arg("visible") = py::none())
      .def("setString", [](const KPyOptions& o, const KString& name, py::object value, py::object visible) {
             if (value.is_none()) fail("setString", "the value is missing");
             KString v = textArg(value, KString(), "setString");
             return o.store().setString(name, v, visibleArg(visible, "setString"));
           }, py::arg("name"), py::arg("value"), py::arg("visible") = py::none())
      .def("setBoolean", [](const KPyOptions& o, const KString& name, py::object value, py::object visible) {
             bool v = requiredArg<bool>(value, readOptionalBool, "setBoolean");
             return o.store().setBoolean(name, v, visibleArg(visible, "setBoolean"));
           }, py::arg("name"), py::arg("value"), py::arg("visible") = py::none())
      .def("get", [](const KPyOptions& o, const KString& name) { return optionValue(o.store(), name); })
      .def("isVisible", [](const KPyOptions& o, const KString& n) -> py::object {
             const KDatabaseOptions& s = o.store();
             if (auto* r = s.find<long>(n)) return py::bool_(r->m_visible);
             if (auto* r = s.find<double>(n)) return py::bool_(r->m_visible);
             if (auto* r = s.find<KString>(n)) return py::bool_(r->m_visible);
             if (auto* r = s.find<bool>(n)) return py::bool_(r->m_visible);
             return py::none();
           })
      .def("names", [](const KPyOptions& o) {
             py::list names;
             collectNames<long>(o.store(), names);
             collectNames<double>(o.store(), names);
             collectNames<KString>(o.store(), names);
             collectNames<bool>(o.store(), names);
             return names;
           })
      .def("__len__", [](const KPyOptions& o) { 
             const KDatabaseOptions& s = o.store();
             return s.getCount<long>() + s.getCount<double>() + s.getCount<KString>() + s.getCount<bool>();
           })
      .def("generateScript", [](const KPyOptions& o, bool all) {
             struct Lines : KScriptRecorder {
               py::list lines;
               void record(int, const KString& command) override { lines.append(KPyText(command)); }
             } recorder;
             o.store().generateScript(recorder, KString(), all);
             return recorder.lines;
           }, py::arg("all") = false);

  py::class_<KPyModel>(m, "Model")
      .def(py::init<const KString&>())
      .def_property_readonly("path", &KPyModel::path)
      .def_property_readonly("options", [](const KPyModel& model) { return KPyWrapOptions(&model.store()); })
      .def("save", &KPyModel::save)
      .def("close", &KPyModel::close);
}

// The application's unit set replaced for the length of one call.
class KUnitScope {
 public:
  KUnitScope(py::handle setName, const char* operation) : m_units(KPyApplication().units()), m_saved(m_units) {
    if (setName.is_none()) return;
    KString error;
    if (m_units.setFromSetName(KPyToText(setName), &error)) fail(operation, error);
  }
  ~KUnitScope() { m_units = m_saved; }
  KUnitScope(const KUnitScope&) = delete;
  KUnitScope& operator=(const KUnitScope&) = delete;

 private:
  KConsistentUnits& m_units;
  KConsistentUnits m_saved;
};

void bindApplicationAndUnits(py::module_& m) {
  m.def("version", [] { return KPyText(KPyApplication().GetFileVersionText()); });
  m.def("registryKey", [] { return KPyText(KPyApplication().GetRegistryKeyName()); });
  m.def("lookupOption", [](const KString& n, py::object current) -> py::object {
    KHostApplication& app = KPyApplication();
    if (py::isinstance<py::bool_>(current)) return py::bool_(app.LookupBoolOption(n, current.cast<bool>()));
    if (py::isinstance<py::int_>(current)) return py::int_(app.LookupIntegerOption(n, current.cast<long>()));
    if (py::isinstance<py::float_>(current)) return py::float_(app.LookupRealOption(n, current.cast<double>()));
    if (py::isinstance<py::str>(current))
      return KPyText(app.LookupStringOption(n, KPyToText(current)));
    fail("lookupOption", "the current value must be a bool, int, float or str");
  }, py::arg("name"), py::arg("current"));
  m.def("globalOptions", [] { return KPyWrapOptions(KPyApplication().GetGlobalOptions()); });

  m.def("textToReal", [](const KString& text, long quantity, py::object units, double current) {
    KUnitScope scope(units, "textToReal");
    KString error;
    double value = current;
    if (textToReal(text, value, error, nullptr, quantity, kEntryDigits, false)) fail("textToReal", error);
    return value;
  }, py::arg("text"), py::arg("quantity") = 0, py::arg("units") = py::none(), py::arg("current") = 0.0);
  m.def("numberToText", [](double value, int digits, long quantity, py::object units) {
    KUnitScope scope(units, "numberToText");
    KString out;
    numberToText(value, out, 0, digits, -1, 0.0, quantity, ".");
    return KPyText(out);
  }, py::arg("value"), py::arg("digits") = kEntryDigits, py::arg("quantity") = 0, py::arg("units") = py::none());
}

template <class M>
void bindMatrix(py::module_& m, const char* name) {
  py::class_<M>(m, name)
      .def(py::init([](py::object rows) {
             M matrix;
             matrix.fill(0.0);
             if (rows.is_none()) return matrix;
             py::sequence r = rows.cast<py::sequence>();
             if (static_cast<int>(py::len(r)) != M::kN) throw py::value_error("wrong number of rows");
             for (int i = 0; i < M::kN; ++i) {
               py::sequence row = r[i].template cast<py::sequence>();
               if (static_cast<int>(py::len(row)) != M::kN) throw py::value_error("wrong number of columns");
               for (int j = 0; j < M::kN; ++j) matrix.set(i, j, row[j].template cast<double>());
             }
             return matrix;
           }), py::arg("rows") = py::none())
      .def("at", [](const M& a, int i, int j) {
             if (i < 0 || j < 0 || i >= M::kN || j >= M::kN) throw py::index_error("matrix index out of range");
             return a.at(i, j);
           })
      .def("set", [](M& a, int i, int j, double v) {
             if (a.set(i, j, v) < 0) throw py::index_error("matrix index out of range");
           })
      .def("determinant", &M::determinant)
      .def("invert", [](M& a, py::object tolerance) {
             double tol = tolerance.is_none() ? a.inversionTolerance() : tolerance.cast<double>();
             if (a.invert(tol)) fail("invert", "the matrix is singular");
           }, py::arg("tolerance") = py::none())
      .def("toVariant", [](const M& a) {
             KPyVariant v;
             if (a.toVariant(&v.m_v)) throw std::bad_alloc();
             return KPyFromVariant(v.m_v);
           });
}

}  // namespace

py::object KPyWrapOptions(KDatabaseOptions* store) {
  if (!store) return py::none();
  if (void* handle = store->getScriptHandle())
    return py::cast(static_cast<KPyOptions*>(static_cast<KPyScriptObject*>(handle)), py::return_value_policy::reference);
  return py::cast(new KPyOptions(store), py::return_value_policy::take_ownership);
}

void KDefineQuelmBindings(py::module_& m) {
  m.doc() = "the QUELM library for scripts";
  py::dict ns;
  ns["__builtins__"] = py::module_::import("builtins");
  ns["__name__"] = "quelm";
  py::exec(R"(
class ScriptError(RuntimeError):
    """A script error raised by the library: where (source) and what (description)."""
    def __init__(self, source, description):
        super().__init__(f"{source}: {description}")
        self.source = source
        self.description = description
)", ns);
  m.attr("ScriptError") = ns["ScriptError"];
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const CException& e) {
      KString message;
      e.GetErrorMessage(message);
      PyErr_SetString(PyExc_OSError, message.IsEmpty() ? "not a readable object file" : message.GetString());
    }
  });
  // The cheapest call the module can take: the reference a bound method's
  // cost is measured against (bench/quelm_python_bench.py).
  m.def("_emptyFunction", [] {});
  bindApplicationAndUnits(m);
  bindOptions(m);
  bindMatrix<K2dMatrix>(m, "Matrix2");
  bindMatrix<K3dMatrix>(m, "Matrix3");
  KBindObjectFiles(m);
}
