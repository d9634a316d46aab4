// Safe arrays. Each array is one heap block holding the element type followed
// by the public header with its bounds records, plus a second block for the
// elements:
//
//   [ VARTYPE vt | SAFEARRAY { cDims, fFeatures, cbElements, cLocks, pvData,
//                              rgsabound[cDims] (last dimension first) } ]
//   pvData -> cbElements * (product of the element counts), first index fastest
//
// Every element starts as zero bytes, which is a valid empty value of every
// element type (VT_EMPTY, null BSTR, null interface).
#include "platform/KOleAuto.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
std::atomic<long> g_liveArrays{0};

struct ArrayBlock {
  VARTYPE vt;
  SAFEARRAY array;
};

constexpr uint64_t kMaxBytes = 0x80000000ull;

ArrayBlock* blockOf(SAFEARRAY* array) {
  return reinterpret_cast<ArrayBlock*>(reinterpret_cast<char*>(array) - offsetof(ArrayBlock, array));
}

unsigned short featuresOf(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR: return FADF_HAVEVARTYPE | FADF_BSTR;
    case VT_DISPATCH: return FADF_HAVEVARTYPE | FADF_DISPATCH;
    case VT_UNKNOWN: return FADF_HAVEVARTYPE | FADF_UNKNOWN;
    case VT_VARIANT: return FADF_HAVEVARTYPE | FADF_VARIANT;
    default: return FADF_HAVEVARTYPE;
  }
}

const SAFEARRAYBOUND& boundOf(const SAFEARRAY* array, UINT dim) { return array->rgsabound[array->cDims - dim]; }

uint64_t elementCount(const SAFEARRAY* array) {
  uint64_t count = 1;
  for (UINT d = 0; d < array->cDims; ++d) count *= array->rgsabound[d].cElements;
  return count;
}

// Frees what the element at `slot` owns and zeroes it.
void releaseElement(VARTYPE vt, void* slot) {
  switch (vt) {
    case VT_BSTR: SysFreeString(*static_cast<BSTR*>(slot)); break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      if (IUnknown* unknown = *static_cast<IUnknown**>(slot)) unknown->Release();
      break;
    case VT_VARIANT: VariantClear(static_cast<VARIANT*>(slot)); break;
    default: break;
  }
  memset(slot, 0, KOleValueSize(vt));
}

// Copies into the zeroed or released `slot` the element `value` given in the
// manner of SafeArrayPutElement.
HRESULT storeElement(VARTYPE vt, void* slot, const void* value) {
  switch (vt) {
    case VT_BSTR: {
      auto text = static_cast<BSTR>(const_cast<void*>(value));
      BSTR copy = text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr;
      if (text && !copy) return E_OUTOFMEMORY;
      *static_cast<BSTR*>(slot) = copy;
      return S_OK;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      auto* unknown = static_cast<IUnknown*>(const_cast<void*>(value));
      if (unknown) unknown->AddRef();
      *static_cast<IUnknown**>(slot) = unknown;
      return S_OK;
    }
    case VT_VARIANT:
      VariantInit(static_cast<VARIANT*>(slot));
      return VariantCopy(static_cast<VARIANT*>(slot), static_cast<const VARIANT*>(value));
    default:
      memcpy(slot, value, KOleValueSize(vt));
      return S_OK;
  }
}
}  // namespace

long KOleLiveArrays() { return g_liveArrays; }

UINT KOleValueSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_R4: case VT_INT: case VT_UINT: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds) {
  ULONG size = KOleValueSize(vt);
  if (dims == 0 || dims > 0xFFFF || !bounds || size == 0) return nullptr;
  uint64_t bytes = size;
  for (UINT d = 0; d < dims; ++d) {
    bytes *= bounds[d].cElements;
    if (bytes > kMaxBytes) return nullptr;
  }
  size_t headerBytes = offsetof(ArrayBlock, array) + offsetof(SAFEARRAY, rgsabound) + dims * sizeof(SAFEARRAYBOUND);
  auto* block = static_cast<ArrayBlock*>(calloc(1, headerBytes));
  if (!block) return nullptr;
  void* data = calloc(bytes ? bytes : 1, 1);
  if (!data) {
    free(block);
    return nullptr;
  }
  block->vt = vt;
  SAFEARRAY* array = &block->array;
  array->cDims = static_cast<unsigned short>(dims);
  array->fFeatures = featuresOf(vt);
  array->cbElements = size;
  array->pvData = data;
  for (UINT d = 0; d < dims; ++d) array->rgsabound[dims - 1 - d] = bounds[d];
  ++g_liveArrays;
  return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  SAFEARRAYBOUND bound = {elements, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (!array) return S_OK;
  if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  VARTYPE vt = blockOf(array)->vt;
  if (array->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH | FADF_VARIANT)) {
    uint64_t count = elementCount(array);
    auto* data = static_cast<char*>(array->pvData);
    for (uint64_t i = 0; i < count; ++i) releaseElement(vt, data + i * array->cbElements);
  }
  free(array->pvData);
  free(blockOf(array));
  --g_liveArrays;
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy) {
  if (!copy) return E_INVALIDARG;
  *copy = nullptr;
  if (!array) return S_OK;
  VARTYPE vt = blockOf(array)->vt;
  std::vector<SAFEARRAYBOUND> bounds(array->cDims);
  for (UINT d = 1; d <= array->cDims; ++d) bounds[d - 1] = boundOf(array, d);
  SAFEARRAY* result = SafeArrayCreate(vt, array->cDims, bounds.data());
  if (!result) return E_OUTOFMEMORY;
  uint64_t count = elementCount(array);
  auto* from = static_cast<char*>(array->pvData);
  auto* to = static_cast<char*>(result->pvData);
  for (uint64_t i = 0; i < count; ++i) {
    void* source = from + i * array->cbElements;
    // storeElement takes BSTRs and interfaces by value, the rest by address.
    const void* value = (vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN) ? *static_cast<void**>(source) : source;
    HRESULT hr = storeElement(vt, to + i * array->cbElements, value);
    if (FAILED(hr)) {
      SafeArrayDestroy(result);
      return hr;
    }
  }
  *copy = result;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array ? array->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array ? array->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (!array || !vt) return E_INVALIDARG;
  *vt = blockOf(array)->vt;
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (!array || !bound) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  *bound = boundOf(array, dim).lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (!array || !bound) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = boundOf(array, dim);
  *bound = static_cast<LONG>(static_cast<int64_t>(b.lLbound) + b.cElements - 1);
  return S_OK;
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, const LONG* indices, void** element) {
  if (!array || !indices || !element) return E_INVALIDARG;
  uint64_t offset = 0;
  uint64_t stride = 1;
  for (UINT d = 1; d <= array->cDims; ++d) {
    const SAFEARRAYBOUND& b = boundOf(array, d);
    int64_t index = static_cast<int64_t>(indices[d - 1]) - b.lLbound;
    if (index < 0 || index >= static_cast<int64_t>(b.cElements)) return DISP_E_BADINDEX;
    offset += static_cast<uint64_t>(index) * stride;
    stride *= b.cElements;
  }
  *element = static_cast<char*>(array->pvData) + offset * array->cbElements;
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* indices, void* value) {
  if (!value) return E_INVALIDARG;
  void* slot = nullptr;
  HRESULT hr = SafeArrayPtrOfIndex(array, indices, &slot);
  if (FAILED(hr)) return hr;
  VARTYPE vt = blockOf(array)->vt;
  switch (vt) {
    case VT_BSTR: {
      BSTR text = *static_cast<BSTR*>(slot);
      BSTR copy = text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr;
      if (text && !copy) return E_OUTOFMEMORY;
      *static_cast<BSTR*>(value) = copy;
      return S_OK;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      IUnknown* unknown = *static_cast<IUnknown**>(slot);
      if (unknown) unknown->AddRef();
      *static_cast<IUnknown**>(value) = unknown;
      return S_OK;
    }
    case VT_VARIANT:
      return VariantCopy(static_cast<VARIANT*>(value), static_cast<VARIANT*>(slot));
    default:
      memcpy(value, slot, array->cbElements);
      return S_OK;
  }
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value) {
  void* slot = nullptr;
  HRESULT hr = SafeArrayPtrOfIndex(array, indices, &slot);
  if (FAILED(hr)) return hr;
  VARTYPE vt = blockOf(array)->vt;
  if (vt == VT_VARIANT) return VariantCopy(static_cast<VARIANT*>(slot), static_cast<const VARIANT*>(value));
  if (!value && vt != VT_BSTR && vt != VT_DISPATCH && vt != VT_UNKNOWN) return E_INVALIDARG;
  // Take the new reference before giving up the old, in case they are the same.
  alignas(VARIANT) char fresh[sizeof(VARIANT)] = {};
  hr = storeElement(vt, fresh, value);
  if (FAILED(hr)) return hr;
  releaseElement(vt, slot);
  memcpy(slot, fresh, array->cbElements);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array) {
  if (!array) return E_INVALIDARG;
  ++array->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array) {
  if (!array) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (!array || !data) return E_INVALIDARG;
  SafeArrayLock(array);
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) { return SafeArrayUnlock(array); }
