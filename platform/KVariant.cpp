// VARIANT lifetime and conversion. Conversions go through a by-value view of
// the source (a by-reference VARIANT read through its pointer, owning
// nothing), then through one of three middle forms: a number (long double,
// which holds every 64-bit integer exactly), a text, or an interface.
#include "platform/KOleAuto.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {
bool isScalarType(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE:
    case VT_BSTR: case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_UNKNOWN: case VT_I1: case VT_UI1:
    case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
      return true;
    default:
      return false;
  }
}

// A by-value view of `src` that owns nothing; false for a malformed type or a
// null reference.
bool valueView(const VARIANT& src, VARIANT& view) {
  VariantInit(&view);
  if (!(src.vt & VT_BYREF)) {
    view = src;
    return (src.vt & VT_ARRAY) || isScalarType(src.vt);
  }
  VARTYPE base = src.vt & ~VT_BYREF;
  if (!src.byref) return false;
  if (base == VT_VARIANT) {
    // One level only: a reference to a reference is malformed.
    if (src.pvarVal->vt == (VT_BYREF | VT_VARIANT)) return false;
    return valueView(*src.pvarVal, view);
  }
  if (base & VT_ARRAY) {
    view.vt = base;
    view.parray = *src.pparray;
    return true;
  }
  size_t size = KOleValueSize(base);
  if (size == 0) return false;
  view.vt = base;
  memcpy(&view.llVal, src.byref, size);
  return true;
}

bool isNumberType(VARTYPE vt) {
  return vt == VT_EMPTY || vt == VT_BOOL || vt == VT_CY || vt == VT_DATE || vt == VT_R4 || vt == VT_R8 ||
         vt == VT_I1 || vt == VT_UI1 || vt == VT_I2 || vt == VT_UI2 || vt == VT_I4 || vt == VT_UI4 ||
         vt == VT_I8 || vt == VT_UI8 || vt == VT_INT || vt == VT_UINT;
}

struct Number {
  long double value = 0;
  bool real = false;  // came from a real (or a text with a fraction or exponent)
};

Number numberOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_BOOL: return {v.boolVal ? -1.0L : 0.0L, false};
    case VT_CY: return {static_cast<long double>(v.cyVal.int64) / 10000.0L, true};
    case VT_DATE: return {v.date, true};
    case VT_R4: return {v.fltVal, true};
    case VT_R8: return {v.dblVal, true};
    case VT_I1: return {static_cast<long double>(v.cVal), false};
    case VT_UI1: return {static_cast<long double>(v.bVal), false};
    case VT_I2: return {static_cast<long double>(v.iVal), false};
    case VT_UI2: return {static_cast<long double>(v.uiVal), false};
    case VT_I4: return {static_cast<long double>(v.lVal), false};
    case VT_UI4: return {static_cast<long double>(v.ulVal), false};
    case VT_INT: return {static_cast<long double>(v.intVal), false};
    case VT_UINT: return {static_cast<long double>(v.uintVal), false};
    case VT_I8: return {static_cast<long double>(v.llVal), false};
    case VT_UI8: return {static_cast<long double>(v.ullVal), false};
    default: return {};
  }
}

// <text> = blanks [sign] (digits ["." digits] | "." digits) [("e"|"E") [sign] digits] blanks
HRESULT parseNumber(const KString& text, Number& out) {
  const char* begin = text.GetString();
  const char* end = begin + text.GetLength();
  while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
  while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) --end;
  bool negative = begin < end && *begin == '-';
  if (begin < end && (*begin == '+' || *begin == '-')) ++begin;
  // from_chars would also take "inf" and "nan", which are not numbers here.
  if (begin == end || !(isdigit(static_cast<unsigned char>(*begin)) || *begin == '.')) return DISP_E_TYPEMISMATCH;
  unsigned long long whole = 0;
  auto [stop, error] = std::from_chars(begin, end, whole);
  if (error == std::errc() && stop == end) {
    out = {negative ? -static_cast<long double>(whole) : static_cast<long double>(whole), false};
    return S_OK;
  }
  long double real = 0;
  auto [rstop, rerror] = std::from_chars(begin, end, real);
  if (rstop != end || (rerror != std::errc() && rerror != std::errc::result_out_of_range)) return DISP_E_TYPEMISMATCH;
  if (rerror == std::errc::result_out_of_range) {
    // Too small rounds to zero; too large overflows. Which one the exponent's sign tells.
    const char* exponent = static_cast<const char*>(memchr(begin, 'e', static_cast<size_t>(end - begin)));
    if (!exponent) exponent = static_cast<const char*>(memchr(begin, 'E', static_cast<size_t>(end - begin)));
    if (!exponent || exponent[1] != '-') return DISP_E_OVERFLOW;
    real = 0;
  }
  out = {negative ? -real : real, true};
  return S_OK;
}

bool equalsNoCase(const KString& text, const char* word) { return KString(text).Trim().CompareNoCase(word) == 0; }

template <class T>
bool fitInteger(long double value, T& out) {
  if (!(value >= static_cast<long double>(std::numeric_limits<T>::min()) &&
        value <= static_cast<long double>(std::numeric_limits<T>::max())))
    return false;
  out = static_cast<T>(value);
  return true;
}

// Stores `n` as type `vt` in `out`: reals rounded half to even for integer
// targets, DISP_E_OVERFLOW outside the target's range.
HRESULT storeNumber(Number n, VARTYPE vt, VARIANT& out) {
  long double v = n.real && vt != VT_R4 && vt != VT_R8 && vt != VT_DATE && vt != VT_CY ? std::nearbyintl(n.value)
                                                                                          : n.value;
  out.vt = vt;
  bool ok = true;
  switch (vt) {
    case VT_BOOL: out.boolVal = n.value != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
    // A NaN stays a NaN in a real; only a finite value too large overflows.
    case VT_R4: ok = !(std::fabs(v) > FLT_MAX) || std::isinf(v); out.fltVal = static_cast<float>(v); break;
    case VT_R8: ok = !(std::fabs(v) > DBL_MAX) || std::isinf(v); out.dblVal = static_cast<double>(v); break;
    case VT_DATE: ok = !(std::fabs(v) > DBL_MAX) || std::isinf(v); out.date = static_cast<double>(v); break;
    case VT_CY: ok = fitInteger(std::nearbyintl(v * 10000.0L), out.cyVal.int64); break;
    case VT_I1: ok = fitInteger(v, out.cVal); break;
    case VT_UI1: ok = fitInteger(v, out.bVal); break;
    case VT_I2: ok = fitInteger(v, out.iVal); break;
    case VT_UI2: ok = fitInteger(v, out.uiVal); break;
    case VT_I4: ok = fitInteger(v, out.lVal); break;
    case VT_UI4: ok = fitInteger(v, out.ulVal); break;
    case VT_INT: ok = fitInteger(v, out.intVal); break;
    case VT_UINT: ok = fitInteger(v, out.uintVal); break;
    case VT_I8: ok = fitInteger(v, out.llVal); break;
    case VT_UI8: ok = fitInteger(v, out.ullVal); break;
    default: return DISP_E_TYPEMISMATCH;
  }
  return ok ? S_OK : DISP_E_OVERFLOW;
}

KString textOfNumber(const VARIANT& v, unsigned short flags) {
  KString text;
  switch (v.vt) {
    case VT_EMPTY: break;
    case VT_BOOL:
      text = (flags & VARIANT_ALPHABOOL) ? (v.boolVal ? "True" : "False") : (v.boolVal ? "-1" : "0");
      break;
    case VT_R4: text.Format("%.7G", static_cast<double>(v.fltVal)); break;
    case VT_R8: case VT_DATE: case VT_CY: text.Format("%.15G", static_cast<double>(numberOf(v).value)); break;
    case VT_UI8: text.Format("%llu", static_cast<unsigned long long>(v.ullVal)); break;
    default: text.Format("%lld", static_cast<long long>(numberOf(v).value)); break;
  }
  return text;
}

HRESULT convert(const VARIANT& from, VARTYPE vt, unsigned short flags, VARIANT& out) {
  VariantInit(&out);
  if (vt == VT_EMPTY) return S_OK;
  if (vt == VT_BSTR) {
    if (!isNumberType(from.vt)) return DISP_E_TYPEMISMATCH;
    out.bstrVal = KAllocSysString(textOfNumber(from, flags));
    if (!out.bstrVal) return E_OUTOFMEMORY;
    out.vt = VT_BSTR;
    return S_OK;
  }
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    if (from.vt != VT_DISPATCH && from.vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
    IUnknown* unknown = from.punkVal;
    if (vt == VT_DISPATCH && from.vt == VT_UNKNOWN && unknown) {
      void* dispatch = nullptr;
      if (FAILED(unknown->QueryInterface(IID_IDispatch, &dispatch))) return DISP_E_TYPEMISMATCH;
      out.pdispVal = static_cast<IDispatch*>(dispatch);
    } else {
      if (unknown) unknown->AddRef();
      out.punkVal = unknown;
    }
    out.vt = vt;
    return S_OK;
  }
  if (!isNumberType(vt)) return DISP_E_TYPEMISMATCH;
  Number n;
  if (from.vt == VT_BSTR) {
    KString text = KStringFromBSTR(from.bstrVal);
    if (vt == VT_BOOL && (equalsNoCase(text, "true") || equalsNoCase(text, "false"))) {
      out.vt = VT_BOOL;
      out.boolVal = equalsNoCase(text, "true") ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    HRESULT hr = parseNumber(text, n);
    if (FAILED(hr)) return hr;
  } else if (isNumberType(from.vt)) {
    n = numberOf(from);
  } else {
    return DISP_E_TYPEMISMATCH;
  }
  HRESULT hr = storeNumber(n, vt, out);
  if (FAILED(hr)) VariantInit(&out);
  return hr;
}
}  // namespace

void VariantInit(VARIANTARG* v) {
  memset(v, 0, sizeof(*v));
  v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* v) {
  if (!v) return E_INVALIDARG;
  if (v->vt & VT_BYREF) {
    VariantInit(v);
    return S_OK;
  }
  if (v->vt & VT_ARRAY) {
    HRESULT hr = SafeArrayDestroy(v->parray);
    if (FAILED(hr)) return hr;
  } else if (!isScalarType(v->vt)) {
    return DISP_E_BADVARTYPE;
  } else if (v->vt == VT_BSTR) {
    SysFreeString(v->bstrVal);
  } else if ((v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) && v->punkVal) {
    v->punkVal->Release();
  }
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (dest == src) return S_OK;
  VARIANT copy = *src;
  if (!(src->vt & VT_BYREF)) {
    if (src->vt & VT_ARRAY) {
      HRESULT hr = SafeArrayCopy(src->parray, &copy.parray);
      if (FAILED(hr)) return hr;
    } else if (!isScalarType(src->vt)) {
      return DISP_E_BADVARTYPE;
    } else if (src->vt == VT_BSTR && src->bstrVal) {
      copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
      if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal) {
      src->punkVal->AddRef();
    }
  }
  HRESULT hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(&copy);
    return hr;
  }
  *dest = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (!(src->vt & VT_BYREF)) return VariantCopy(dest, src);
  VARIANT view;
  if (!valueView(*src, view)) return E_INVALIDARG;
  return VariantCopy(dest, &view);  // copies deeply what the view only borrows
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, unsigned short flags, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  if (vt & VT_BYREF) return DISP_E_BADVARTYPE;
  VARIANT view;
  if (!valueView(*src, view)) return DISP_E_BADVARTYPE;
  if (view.vt == vt) {
    if (dest == src && !(src->vt & VT_BYREF)) return S_OK;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = VariantCopy(&result, &view);
    if (FAILED(hr)) return hr;
    VariantClear(dest);
    *dest = result;
    return S_OK;
  }
  if ((vt & VT_ARRAY) || (view.vt & VT_ARRAY)) return DISP_E_TYPEMISMATCH;
  VARIANT result;
  HRESULT hr = convert(view, vt, flags, result);
  if (FAILED(hr)) return hr;
  // The source may be `dest` itself: it is given up only after the result is made.
  VariantClear(dest);
  *dest = result;
  return S_OK;
}
