#include "host/pyscript/KPyVariant.h"

#include "core/script/KScriptArgs.h"

#include <cstring>
#include <limits>
#include <vector>

namespace py = pybind11;

py::str KPyText(const KString& text) {
  PyObject* s = PyUnicode_DecodeUTF8(text.GetString(), text.GetLength(), "surrogateescape");
  if (!s) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(s);
}

namespace {

// The bytes of `value`, a str or bytes; null with the Python error set when
// a str holds a lone surrogate that stands for no byte.
PyObject* textBytes(py::handle value) {
  if (PyBytes_Check(value.ptr())) return py::reinterpret_borrow<py::object>(value).release().ptr();
  return PyUnicode_AsEncodedString(value.ptr(), "utf-8", "surrogateescape");
}

KString takeBytes(PyObject* bytes) {
  KString text(std::string(PyBytes_AS_STRING(bytes), static_cast<size_t>(PyBytes_GET_SIZE(bytes))));
  Py_DECREF(bytes);
  return text;
}

bool isText(py::handle value) { return PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()); }

}  // namespace

bool KPyLoadText(py::handle value, KString& text) {
  if (!isText(value)) return false;
  PyObject* bytes = textBytes(value);
  if (!bytes) {
    PyErr_Clear();
    return false;
  }
  text = takeBytes(bytes);
  return true;
}

KString KPyToText(py::handle value) {
  if (!isText(value))
    throw py::type_error("a text must be a str or bytes, not " + std::string(py::str(value.get_type().attr("__name__"))));
  PyObject* bytes = textBytes(value);
  if (!bytes) throw py::error_already_set();
  return takeBytes(bytes);
}

void KPyToVariant(py::handle value, VARIANT& out) {
  if (value.is_none()) {
    out.vt = VT_EMPTY;
  } else if (py::isinstance<py::bool_>(value)) {
    out.vt = VT_BOOL;
    out.boolVal = value.cast<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (py::isinstance<py::int_>(value)) {
    int overflow = 0;
    long long n = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow) throw py::value_error("an integer beyond 64 bits cannot be passed to the library");
    if (n >= std::numeric_limits<LONG>::min() && n <= std::numeric_limits<LONG>::max()) {
      out.vt = VT_I4;
      out.lVal = static_cast<LONG>(n);
    } else {
      out.vt = VT_I8;
      out.llVal = n;
    }
  } else if (py::isinstance<py::float_>(value)) {
    out.vt = VT_R8;
    out.dblVal = value.cast<double>();
  } else if (py::isinstance<py::str>(value)) {
    out.bstrVal = KAllocSysString(KPyToText(value));
    out.vt = VT_BSTR;
  } else if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
    py::sequence items = py::reinterpret_borrow<py::sequence>(value);
    const ULONG n = static_cast<ULONG>(py::len(items));
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, n);
    if (!array) throw std::bad_alloc();
    try {
      for (ULONG i = 0; i < n; ++i) {
        KPyVariant element(items[i]);
        const LONG index = static_cast<LONG>(i);
        if (FAILED(SafeArrayPutElement(array, &index, &element.m_v))) throw std::bad_alloc();
      }
    } catch (...) {
      SafeArrayDestroy(array);
      throw;
    }
    out.vt = VT_ARRAY | VT_VARIANT;
    out.parray = array;
  } else {
    throw py::type_error("cannot pass a value of type " + std::string(py::str(value.get_type().attr("__name__"))) +
                         " to the library");
  }
}

namespace {

// The elements of dimension `dim` (1-based) from `index`, nested below.
py::object arrayLevel(SAFEARRAY* array, VARTYPE vt, UINT dims, UINT dim, std::vector<LONG>& index) {
  LONG low = 0, high = -1;
  SafeArrayGetLBound(array, dim, &low);
  SafeArrayGetUBound(array, dim, &high);
  py::list level;
  for (LONG i = low; i <= high; ++i) {
    index[dim - 1] = i;
    if (dim < dims) {
      level.append(arrayLevel(array, vt, dims, dim + 1, index));
      continue;
    }
    void* element = nullptr;
    if (FAILED(SafeArrayPtrOfIndex(array, index.data(), &element))) throw py::index_error("bad safe array");
    if (vt == VT_VARIANT) {
      level.append(KPyFromVariant(*static_cast<VARIANT*>(element)));
    } else {
      // A borrowed view of the element: never cleared.
      VARIANT view;
      VariantInit(&view);
      view.vt = vt;
      std::memcpy(&view.llVal, element, KOleValueSize(vt));
      level.append(KPyFromVariant(view));
    }
  }
  return level;
}

}  // namespace

py::object KPyFromVariant(const VARIANT& given) {
  const VARIANT& v = scriptArgument(given);
  if (SAFEARRAY* array = scriptArray(v)) {
    VARTYPE vt = VT_EMPTY;
    SafeArrayGetVartype(array, &vt);
    const UINT dims = SafeArrayGetDim(array);
    if (dims == 0) return py::list();
    std::vector<LONG> index(dims, 0);
    return arrayLevel(array, vt, dims, 1, index);
  }
  const bool byRef = (v.vt & VT_BYREF) != 0;
  switch (v.vt & VT_TYPEMASK) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR: return py::none();
    case VT_BOOL: return py::bool_((byRef ? *v.pboolVal : v.boolVal) != VARIANT_FALSE);
    case VT_I1: return py::int_(byRef ? *v.pcVal : v.cVal);
    case VT_UI1: return py::int_(byRef ? *v.pbVal : v.bVal);
    case VT_I2: return py::int_(byRef ? *v.piVal : v.iVal);
    case VT_UI2: return py::int_(byRef ? *v.puiVal : v.uiVal);
    case VT_I4: return py::int_(byRef ? *v.plVal : v.lVal);
    case VT_UI4: return py::int_(byRef ? *v.pulVal : v.ulVal);
    case VT_INT: return py::int_(byRef ? *v.pintVal : v.intVal);
    case VT_UINT: return py::int_(byRef ? *v.puintVal : v.uintVal);
    case VT_I8: return py::int_(byRef ? *v.pllVal : v.llVal);
    case VT_UI8: return py::int_(byRef ? *v.pullVal : v.ullVal);
    case VT_R4: return py::float_(byRef ? *v.pfltVal : v.fltVal);
    case VT_R8: return py::float_(byRef ? *v.pdblVal : v.dblVal);
    case VT_BSTR: {
      return KPyText(KStringFromBSTR(byRef ? *v.pbstrVal : v.bstrVal));
    }
    default:
      throw py::type_error(std::string("a ") + describeVariant(v).GetString() + " value has no Python form");
  }
}
