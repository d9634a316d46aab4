// Feeds arbitrary script texts to the VARIANT conversions. A text that
// converts to a 64-bit integer must write back to a text that converts to the
// same integer; a text that converts to a real converts to every narrower
// number or reports overflow or a mismatch, never anything else; and the
// UTF-8 -> BSTR -> UTF-8 trip must be stable after its first pass.
#include "platform/KOleAuto.h"

#include <cstdint>
#include <cstdlib>

namespace {
HRESULT convert(const VARIANT& from, VARTYPE vt, VARIANT& to) {
  VariantInit(&to);
  return VariantChangeType(&to, &from, 0, vt);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  KString input(reinterpret_cast<const char*>(data), static_cast<int>(size));
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = KAllocSysString(input);
  KString once = KStringFromBSTR(text.bstrVal);
  BSTR again = KAllocSysString(once);
  if (KStringFromBSTR(again) != once) abort();
  SysFreeString(again);

  VARIANT value;
  if (SUCCEEDED(convert(text, VT_I8, value))) {
    VARIANT written, back;
    if (FAILED(convert(value, VT_BSTR, written))) abort();
    if (FAILED(convert(written, VT_I8, back)) || back.llVal != value.llVal) abort();
    VariantClear(&written);
  }
  for (VARTYPE vt : {VT_I1, VT_UI1, VT_I2, VT_I4, VT_UI4, VT_R4, VT_R8, VT_BOOL, VT_CY, VT_UI8}) {
    HRESULT hr = convert(text, vt, value);
    if (hr != S_OK && hr != DISP_E_OVERFLOW && hr != DISP_E_TYPEMISMATCH) abort();
    if (hr == S_OK && value.vt != vt) abort();
    if (hr != S_OK && value.vt != VT_EMPTY) abort();
  }
  VariantClear(&text);
  if (KOleLiveStrings() != 0) abort();
  return 0;
}
