#include "host/pyscript/KPyObjectFiles.h"

#include "host/pyscript/KPyVariant.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KObjectFileWalker.h"
#include "storage/objectfile/KTextPersistance.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

py::str nameText(const KPersistName& name) {
  KString text = name.m_name;
  if (text.IsEmpty() && name.isNumeric()) text.Format("#%d.%d", name.m_nId, name.m_nIndex);
  return KPyText(text);
}

// One pass per tag into a list of the final size: the per-value switch and
// the list's regrowth were most of the cost of reading large attributes.
template <class T, class Make>
py::list valueList(const T* values, long n, Make make) {
  py::list list(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i) PyList_SET_ITEM(list.ptr(), i, make(values[i]).release().ptr());
  return list;
}

// Reals read by the object file reader straight into a buffer of the
// caller's kind: no Python object per value and no copy on the way. The
// buffer is an array.array("d") of the count's zeros, or what `make(count)`
// answers: a writable C-contiguous buffer of exactly that many doubles (e.g.
// numpy.empty, which, unlike array.array, need not write its memory first).
class KRealBuffers {
 public:
  explicit KRealBuffers(py::object make)
      : m_make(std::move(make)), m_array(py::module_::import("array").attr("array")),
        m_zero(m_array("d", py::make_tuple(0.0))) {}
  ~KRealBuffers() { release(); }
  KRealBuffers(const KRealBuffers&) = delete;
  KRealBuffers& operator=(const KRealBuffers&) = delete;

  // Room for n reals, held until take().
  double* place(long n) {
    release();
    PyObject* made = m_make.is_none() ? PySequence_Repeat(m_zero.ptr(), n) : PyObject_CallFunction(m_make.ptr(), "l", n);
    if (!made) throw py::error_already_set();
    m_buffer = py::reinterpret_steal<py::object>(made);
    if (PyObject_GetBuffer(made, &m_view, PyBUF_WRITABLE | PyBUF_FORMAT | PyBUF_C_CONTIGUOUS) != 0)
      throw py::error_already_set();
    m_viewHeld = true;
    const std::string format = m_view.format ? m_view.format : "B";
    if (m_view.itemsize != 8 || (format != "d" && format != "<d" && format != "=d" && format != "@d") ||
        m_view.len != static_cast<Py_ssize_t>(n) * 8)
      throw py::value_error("reals(count) must give a writable contiguous buffer of count doubles");
    return static_cast<double*>(m_view.buf);
  }
  // The buffer of the record read last; an attribute without values asks
  // for no room and gets an empty one.
  py::object take() {
    release();
    if (m_buffer) return std::move(m_buffer);
    return m_make.is_none() ? m_array("d") : m_make(0);
  }

 private:
  void release() {
    if (m_viewHeld) PyBuffer_Release(&m_view);
    m_viewHeld = false;
  }

  py::object m_make;
  py::object m_array;  // the type array.array
  py::object m_zero;
  py::object m_buffer;
  Py_buffer m_view{};
  bool m_viewHeld = false;
};

py::object attributeValues(const KImplPersistance& in, char tag, long n) {
  switch (tag) {
    case 'I': return valueList(in.intValues(), n, [](auto v) { return py::int_(v); });
    case 'U':
    case 'L': return valueList(in.uintValues(), n, [](auto v) { return py::int_(v); });
    case 'R': return valueList(in.realValues(), n, [](double v) { return py::float_(v); });
    case 'B': return valueList(in.boolValues(), n, [](bool v) { return py::bool_(v); });
    case 'S': return valueList(in.stringValues(), n, [](const KString& v) { return KPyText(v); });
    default: return py::list();
  }
}

py::dict readObjectFile(const KString& path, py::object reals) {
  const bool realsAsList = py::isinstance<py::str>(reals) && reals.cast<std::string>() == "list";
  const bool realsAsArray = py::isinstance<py::str>(reals) && reals.cast<std::string>() == "array";
  if (!realsAsList && !realsAsArray && !PyCallable_Check(reals.ptr()))
    throw py::value_error(R"(reals is "list", "array" or a callable that makes a buffer)");
  KRealBuffers buffers(realsAsArray ? py::none() : reals);
  KObjectFileWalker walker(path, KObjectFileWalker::kStream);
  KImplPersistance& in = walker.values();
  py::dict file;
  file["form"] = walker.isText() ? "text" : "binary";
  file["level"] = in.getHeaderField(kHdrLevel);
  file["application"] = in.getHeaderField(kHdrApplication);
  file["mode"] = in.getHeaderField(kHdrMode);
  py::list records;
  FObjectFileRecord r;
  const std::function<double*(long)> place = [&buffers](long n) { return buffers.place(n); };
  while (realsAsList ? walker.next(r) : walker.nextPlacingReals(r, place)) {
    const std::string tag(1, r.m_tag);
    if (r.m_tag == 'O' || r.m_tag == 'E') records.append(py::make_tuple(tag, nameText(r.m_type), nameText(r.m_name)));
    else if (r.m_tag == 'C') records.append(py::make_tuple(tag, nameText(r.m_name), KPyText(in.charValues())));
    else if (r.m_tag == 'R' && !realsAsList) records.append(py::make_tuple(tag, nameText(r.m_name), buffers.take()));
    else records.append(py::make_tuple(tag, nameText(r.m_name), attributeValues(in, r.m_tag, r.m_count)));
  }
  file["records"] = records;
  return file;
}

template <class T>
std::vector<T> valuesOf(py::handle values) {
  std::vector<T> out;
  for (py::handle v : values.cast<py::sequence>()) out.push_back(v.cast<T>());
  return out;
}

void writeRecord(KPersistance& out, py::handle item) {
  py::tuple record = item.cast<py::tuple>();
  if (record.size() != 3) throw py::value_error("a record is (tag, name, values) or (\"O\"/\"E\", type, name)");
  const std::string tag = record[0].cast<std::string>();
  if (tag.size() != 1) throw py::value_error("a record tag is one letter");
  const KPersistName name(record[1].cast<KString>());
  py::handle values = record[2];
  switch (tag[0]) {
    case 'O': out.beginObject(name, KPersistName(values.cast<KString>())); return;
    case 'E': out.endObject(); return;
    case 'I': {
      std::vector<LONGLONG> v = valuesOf<LONGLONG>(values);
      out.writeI64(name, static_cast<long>(v.size()), v.data());
      return;
    }
    case 'U':
    case 'L': {
      std::vector<ULONGLONG> v = valuesOf<ULONGLONG>(values);
      if (tag[0] == 'U') out.writeU64(name, static_cast<long>(v.size()), v.data());
      else out.writeL64(name, static_cast<long>(v.size()), v.data());
      return;
    }
    case 'R': {
      std::vector<double> v = valuesOf<double>(values);
      out.writeR(name, static_cast<long>(v.size()), v.data());
      return;
    }
    case 'B': {
      std::vector<char> v;
      for (py::handle b : values.cast<py::sequence>()) v.push_back(b.cast<bool>());
      std::unique_ptr<bool[]> flags(new bool[v.size() + 1]);
      for (size_t i = 0; i < v.size(); ++i) flags[i] = v[i] != 0;
      out.writeB(name, static_cast<long>(v.size()), flags.get());
      return;
    }
    case 'C': {
      const KString chars = values.cast<KString>();
      out.writeC(name, chars.GetLength(), chars.GetString());
      return;
    }
    case 'S': {
      std::vector<KString> v;
      for (py::handle s : values.cast<py::sequence>()) v.push_back(s.cast<KString>());
      out.writeS(name, static_cast<long>(v.size()), v.data());
      return;
    }
    default: throw py::value_error("unknown record tag " + tag);
  }
}

void writeObjectFile(const KString& path, py::sequence records, const std::string& form, int level,
                     int application, int mode) {
  if (form != "text" && form != "binary") throw py::value_error("form is \"text\" or \"binary\"");
  if (level < 0 || level > 9) throw py::value_error("level is 0 to 9");
  std::unique_ptr<KImplPersistance> out;
  if (form == "text") out = std::make_unique<KTextPersistance>(path, true, level);
  else out = std::make_unique<KBinaryPersistance>(path, true, level);
  out->setApplication(application);
  out->setMode(mode);
  size_t index = 0;
  long depth = 0;
  for (py::handle record : records) {
    const std::string tag = record.cast<py::tuple>()[0].cast<std::string>();
    if (tag == "O") ++depth;
    else if (tag == "E" && --depth < 0) throw py::value_error("record " + std::to_string(index) + " ends no object");
    else if (tag != "E" && depth == 0)
      throw py::value_error("record " + std::to_string(index) + " is an attribute outside any object");
    try {
      writeRecord(*out, record);
    } catch (const py::cast_error&) {
      throw py::value_error("record " + std::to_string(index) + " holds a value its tag does not take");
    }
    ++index;
  }
  out->Close();
}

}  // namespace

void KBindObjectFiles(py::module_& m) {
  m.def("readObjectFile", &readObjectFile, py::arg("path"), py::arg("reals") = "list");
  m.def("writeObjectFile", &writeObjectFile, py::arg("path"), py::arg("records"), py::arg("form") = "text",
        py::arg("level") = 1, py::arg("application") = 0, py::arg("mode") = 0);
}
