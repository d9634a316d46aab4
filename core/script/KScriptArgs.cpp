#include "core/script/KScriptArgs.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KErrorInfo.h"

#include <limits>

const KScriptMessage kScriptArgMessages[7] = {
    {IDS_SCRIPT_ARG_BOOLEAN, "Optional arg must be boolean"},
    {IDS_SCRIPT_ARG_STRING, "Optional arg must be string"},
    {IDS_SCRIPT_ARG_UNSIGNED, "Optional arg must be unsigned integer"},
    {IDS_SCRIPT_ARG_INTEGER, "Optional arg must be integer"},
    {IDS_SCRIPT_ARG_REAL, "Optional arg must be real"},
    {IDS_SCRIPT_ARG_REAL_ARRAY, "Optional arg must be array of reals"},
    {IDS_SCRIPT_ARG_OBJECT, "Optional arg must be an object"},
};

KString scriptArgMessage(UINT id) {
  KString text;
  if (text.LoadString(id)) return text;
  for (const KScriptMessage& m : kScriptArgMessages)
    if (m.id == id) return KString(m.builtIn);
  return text;
}

// ---- Description -------------------------------------------------------------

const char* variantTypeWord(VARTYPE vt) {
  switch (vt & ~VT_BYREF) {
    case VT_EMPTY: return "Empty";
    case VT_I2: case VT_I4: return "Int";
    case VT_R4: case VT_R8: return "Real";
    case VT_CY: return "Currency";
    case VT_DATE: return "Date";
    case VT_BSTR: return "String";
    case VT_DISPATCH: return "Dispatch";
    case VT_BOOL: return "Boolean";
    case VT_UNKNOWN: return "Unknown";
    case VT_I1: return "Character";
    case VT_UI1: case VT_UINT: return "Unsigned Int";
    case VT_I8: return "Long";
    default: return "Error";
  }
}

SAFEARRAY* scriptArray(const VARIANT& v) {
  if (!(v.vt & VT_ARRAY)) return nullptr;
  if (v.vt & VT_BYREF) return v.pparray ? *v.pparray : nullptr;
  return v.parray;
}

KString describeVariant(const VARIANT& v) {
  if (!(v.vt & VT_ARRAY)) {
    KString word(variantTypeWord(v.vt));
    if (v.vt & VT_BYREF) word += " ByRef";
    return word;
  }
  KString text("Array");
  SAFEARRAY* array = scriptArray(v);
  UINT dims = SafeArrayGetDim(array);
  std::vector<LONG> first(dims);
  bool empty = dims == 0;
  for (UINT d = 1; d <= dims; ++d) {
    LONG lower = 0, upper = 0;
    SafeArrayGetLBound(array, d, &lower);
    SafeArrayGetUBound(array, d, &upper);
    text.AppendFormat("[%d->%d]", static_cast<int>(lower), static_cast<int>(upper));
    first[d - 1] = lower;
    empty |= upper < lower;
  }
  text += " of ";
  VARTYPE elementType = static_cast<VARTYPE>(v.vt & VT_TYPEMASK);
  if (elementType != VT_VARIANT || empty) return text + variantTypeWord(elementType);
  // An array of VARIANTs is described by its first element.
  VARIANT element;
  VariantInit(&element);
  if (FAILED(SafeArrayGetElement(array, first.data(), &element))) return text + variantTypeWord(elementType);
  text += describeVariant(element);
  VariantClear(&element);
  return text;
}

// ---- Conversions ---------------------------------------------------------------

bool isArgumentMissing(const VARIANT* v) {
  return !v || v->vt == VT_EMPTY || v->vt == VT_ERROR || (v->vt == VT_DISPATCH && !v->pdispVal);
}

const VARIANT& scriptArgument(const VARIANT& v) {
  return (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) ? *v.pvarVal : v;
}

namespace {
// A copy of the argument converted to `vt` in `out` (which the caller clears);
// true = failed.
bool changeArgument(const VARIANT& v, VARTYPE vt, VARIANT& out) {
  VariantInit(&out);
  const VARIANT& arg = scriptArgument(v);
  if (isArgumentMissing(&arg)) return true;
  return FAILED(VariantChangeType(&out, &arg, 0, vt));
}
}  // namespace

namespace {
// The argument converted to `vt`, read from the VARIANT's field for that type.
template <class T, class Field>
bool convertScalar(const VARIANT& v, VARTYPE vt, Field VARIANT::*field, T& out) {
  VARIANT converted;
  if (changeArgument(v, vt, converted)) return true;
  out = static_cast<T>(converted.*field);
  return false;
}
}  // namespace

bool convertVariantToBool(const VARIANT& v, bool& out) {
  VARIANT_BOOL flag = VARIANT_FALSE;
  if (convertScalar(v, VT_BOOL, &VARIANT::boolVal, flag)) return true;
  out = flag != VARIANT_FALSE;
  return false;
}
bool convertVariantToLong(const VARIANT& v, LONG& out) { return convertScalar(v, VT_I4, &VARIANT::lVal, out); }
bool convertVariantToLongLong(const VARIANT& v, LONGLONG& out) {
  return convertScalar(v, VT_I8, &VARIANT::llVal, out);
}
bool convertVariantToDouble(const VARIANT& v, double& out) { return convertScalar(v, VT_R8, &VARIANT::dblVal, out); }

bool convertVariantToString(const VARIANT& v, KString& out) {
  VARIANT converted;
  if (changeArgument(v, VT_BSTR, converted)) return true;
  out = KStringFromBSTR(converted.bstrVal);
  VariantClear(&converted);
  return false;
}

bool convertVariantToUnsigned(const VARIANT& v, ULONG& out) {
  LONGLONG wide = 0;
  if (convertVariantToLongLong(v, wide)) return true;
  if (wide < 0 || wide > static_cast<LONGLONG>(std::numeric_limits<ULONG>::max())) return true;
  out = static_cast<ULONG>(wide);
  return false;
}

bool convertVariantToRealArray(const VARIANT& v, std::vector<double>& out) {
  const VARIANT& arg = scriptArgument(v);
  SAFEARRAY* array = scriptArray(arg);
  if (!array || SafeArrayGetDim(array) != 1) return true;
  VARTYPE elementType = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(array, &elementType))) return true;
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  std::vector<double> reals;
  reals.reserve(static_cast<size_t>(static_cast<int64_t>(upper) - lower + 1));
  for (int64_t i = lower; i <= upper; ++i) {
    LONG at = static_cast<LONG>(i);
    VARIANT element;
    VariantInit(&element);
    HRESULT hr;
    if (elementType == VT_VARIANT) {
      hr = SafeArrayGetElement(array, &at, &element);
    } else if (elementType == VT_BSTR || elementType == VT_DISPATCH || elementType == VT_UNKNOWN) {
      hr = DISP_E_TYPEMISMATCH;  // texts and objects are not reals, even when a text reads as one
    } else {
      element.vt = elementType;
      hr = SafeArrayGetElement(array, &at, &element.llVal);
    }
    double value = 0;
    bool failed = FAILED(hr) || convertVariantToDouble(element, value);
    VariantClear(&element);
    if (failed) return true;
    reals.push_back(value);
  }
  out.swap(reals);
  return false;
}

bool convertVariantToObject(const VARIANT& v, IDispatch*& out) {
  const VARIANT& arg = scriptArgument(v);
  IDispatch* object = nullptr;
  if (arg.vt == VT_DISPATCH) object = arg.pdispVal;
  else if (arg.vt == (VT_DISPATCH | VT_BYREF) && arg.ppdispVal) object = *arg.ppdispVal;
  if (!object) return true;
  out = object;
  return false;
}

// ---- Script errors -------------------------------------------------------------

HRESULT raiseScriptError(const KString& source, const KString& description, HRESULT code) {
  if (source.IsEmpty()) return E_FAIL;
  KGetApplication()->NotifyScriptError(source, description, code);
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return code;
  void* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, &info))) {
    BSTR text = KAllocSysString(source);
    create->SetSource(text);
    SysFreeString(text);
    text = KAllocSysString(description);
    create->SetDescription(text);
    SysFreeString(text);
    SetErrorInfo(0, static_cast<IErrorInfo*>(info));
    static_cast<IErrorInfo*>(info)->Release();
  }
  create->Release();
  return code;
}

// ---- Optional-argument readers ---------------------------------------------------

namespace {
template <class T>
HRESULT readOptional(const VARIANT& arg, T& out, const KString& source, UINT messageId,
                     bool (*convert)(const VARIANT&, T&)) {
  if (isArgumentMissing(&scriptArgument(arg))) return S_OK;
  if (!convert(arg, out)) return S_OK;
  return raiseScriptError(source, scriptArgMessage(messageId), E_FAIL);
}
}  // namespace

HRESULT readOptionalBool(const VARIANT& arg, bool& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_BOOLEAN, convertVariantToBool);
}
HRESULT readOptionalString(const VARIANT& arg, KString& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_STRING, convertVariantToString);
}
HRESULT readOptionalUnsigned(const VARIANT& arg, ULONG& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_UNSIGNED, convertVariantToUnsigned);
}
HRESULT readOptionalLong(const VARIANT& arg, LONG& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_INTEGER, convertVariantToLong);
}
HRESULT readOptionalLongLong(const VARIANT& arg, LONGLONG& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_INTEGER, convertVariantToLongLong);
}
HRESULT readOptionalDouble(const VARIANT& arg, double& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_REAL, convertVariantToDouble);
}
HRESULT readOptionalRealArray(const VARIANT& arg, std::vector<double>& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_REAL_ARRAY, convertVariantToRealArray);
}
HRESULT readOptionalObject(const VARIANT& arg, IDispatch*& out, const KString& source) {
  return readOptional(arg, out, source, IDS_SCRIPT_ARG_OBJECT, convertVariantToObject);
}
