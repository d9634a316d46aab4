// Values crossing between Python and the scripting bridge. Python values
// become the VARIANTs that automation would pass, and VARIANT results come
// back as Python values:
//
//   None <-> VT_EMPTY (an omitted optional argument; VT_NULL and VT_ERROR
//            come back as None too)
//   bool <-> VT_BOOL          int <-> VT_I4, or VT_I8 beyond 32 bits
//   float <-> VT_R8           str <-> VT_BSTR (UTF-8 <-> UTF-16)
//   list or tuple -> a one-dimensional safe array of VARIANTs (nested lists
//            nest arrays); a safe array of any dimension -> nested lists,
//            the first dimension outermost, so a matrix reads m[row][column]
#pragma once
#include <pybind11/pybind11.h>

#include "platform/KOleAuto.h"

// Fills `out` (VariantInit'ed by the caller, who clears it). Throws
// TypeError for a value of another type, OverflowError for an int beyond
// 64 bits.
void KPyToVariant(pybind11::handle value, VARIANT& out);
// Follows one level of VT_BYREF. Throws TypeError for a type with no Python
// counterpart (dispatch, currency, dates).
pybind11::object KPyFromVariant(const VARIANT& v);

// A library text (UTF-8) as a Python str.
inline pybind11::str KPyText(const KString& text) {
  return pybind11::str(text.GetString(), static_cast<size_t>(text.GetLength()));
}

// A VARIANT cleared when it goes out of scope.
struct KPyVariant {
  KPyVariant() { VariantInit(&m_v); }
  explicit KPyVariant(pybind11::handle value) : KPyVariant() { KPyToVariant(value, m_v); }
  ~KPyVariant() { VariantClear(&m_v); }
  KPyVariant(const KPyVariant&) = delete;
  KPyVariant& operator=(const KPyVariant&) = delete;
  VARIANT m_v;
};
