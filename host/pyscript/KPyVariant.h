// Values crossing between Python and the scripting bridge. Python values
// become the VARIANTs that automation would pass, and VARIANT results come
// back as Python values:
//
//   None <-> VT_EMPTY (an omitted optional argument; VT_NULL and VT_ERROR
//            come back as None too)
//   bool <-> VT_BOOL          int <-> VT_I4, or VT_I8 beyond 32 bits
//   float <-> VT_R8           str <-> VT_BSTR (UTF-8 <-> UTF-16; a byte that
//            is not UTF-8 becomes U+FFFD there, so texts that must keep
//            every byte bypass the VARIANT: see KPyText)
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

// Library texts are byte strings, UTF-8 by convention but not checked (an
// option text or a name in an object file may hold any bytes). They cross as
// str the way Python crosses file names (os.fsdecode): UTF-8 with
// surrogateescape, so a byte that is not part of valid UTF-8 becomes the
// lone surrogate U+DC80..U+DCFF and turns back into the same byte. bytes are
// taken as they are. Any text therefore comes back byte for byte.
pybind11::str KPyText(const KString& text);
// Throws UnicodeEncodeError for a str holding other lone surrogates,
// TypeError for a value that is neither str nor bytes.
KString KPyToText(pybind11::handle value);
// Fills `text` when `value` is a str or bytes that KPyToText takes; false
// otherwise, with no Python error set.
bool KPyLoadText(pybind11::handle value, KString& text);

// A VARIANT cleared when it goes out of scope.
struct KPyVariant {
  KPyVariant() { VariantInit(&m_v); }
  explicit KPyVariant(pybind11::handle value) : KPyVariant() { KPyToVariant(value, m_v); }
  ~KPyVariant() { VariantClear(&m_v); }
  KPyVariant(const KPyVariant&) = delete;
  KPyVariant& operator=(const KPyVariant&) = delete;
  VARIANT m_v;
};

// KString as an argument or result of a bound function: see KPyText.
namespace pybind11::detail {
template <>
struct type_caster<KString> {
  PYBIND11_TYPE_CASTER(KString, const_name("str"));
  bool load(handle src, bool) { return KPyLoadText(src, value); }
  static handle cast(const KString& text, return_value_policy, handle) { return KPyText(text).release(); }
};
}  // namespace pybind11::detail
