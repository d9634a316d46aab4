// Arguments that scripts pass in as VARIANTs: their description for messages
// and traces, the test for an omitted argument, conversions to the library's
// types, the readers of optional arguments, and script errors raised through
// the thread's error information.
//
// Argument rules, as automation passes arguments:
// - An omitted optional argument arrives as VT_ERROR (DISP_E_PARAMNOTFOUND);
//   VT_EMPTY, a null dispatch pointer and a null VARIANT pointer count as
//   omitted too.
// - A script variable passed by reference arrives as VT_BYREF | VT_VARIANT;
//   the conversions and readers first step to the VARIANT it refers to (one
//   level).
// - Conversions answer true when they fail (a missing argument fails) and
//   leave the output unchanged then.
#pragma once
#include "platform/KOleAuto.h"
#include "platform/KString.h"

#include <vector>

// String resources of the optional-argument messages (companion library
// QUELMres); each message is also built in, for a program without it.
enum : UINT {
  IDS_SCRIPT_ARG_BOOLEAN = 62001,
  IDS_SCRIPT_ARG_STRING = 62002,
  IDS_SCRIPT_ARG_UNSIGNED = 62003,
  IDS_SCRIPT_ARG_INTEGER = 62004,
  IDS_SCRIPT_ARG_REAL = 62005,
  IDS_SCRIPT_ARG_REAL_ARRAY = 62006,
  IDS_SCRIPT_ARG_OBJECT = 62007,
};
struct KScriptMessage {
  UINT id;
  const char* builtIn;
};
// The seven messages in the order of the identifiers above.
extern const KScriptMessage kScriptArgMessages[7];
// The text of message `id`: the string resource, else the built-in text.
KString scriptArgMessage(UINT id);

// "Real", "Int ByRef", "Array[0->2][1->4] of Real", ...: the type word of the
// variant type (by-reference bit removed) plus " ByRef" when it is set; for a
// safe array the bounds of each dimension and the description of one element.
KString describeVariant(const VARIANT& v);
// The type word alone ("Empty", "Int", "Real", ...; "Error" for others).
const char* variantTypeWord(VARTYPE vt);

bool isArgumentMissing(const VARIANT* v);
// The VARIANT a VT_BYREF | VT_VARIANT argument refers to, else `v` itself.
const VARIANT& scriptArgument(const VARIANT& v);
// The safe array of `v` (following one level of VT_BYREF), or null.
SAFEARRAY* scriptArray(const VARIANT& v);

// true = failed.
bool convertVariantToBool(const VARIANT& v, bool& out);
bool convertVariantToLong(const VARIANT& v, LONG& out);
bool convertVariantToLongLong(const VARIANT& v, LONGLONG& out);
bool convertVariantToDouble(const VARIANT& v, double& out);
// A text, or a number or boolean written as text.
bool convertVariantToString(const VARIANT& v, KString& out);
// An integer from 0 to 4294967295.
bool convertVariantToUnsigned(const VARIANT& v, ULONG& out);
// The reals of a one-dimensional safe array of numbers (or of VARIANTs that
// each convert to a real), in index order.
bool convertVariantToRealArray(const VARIANT& v, std::vector<double>& out);
// A non-null dispatch pointer, borrowed: valid for the length of the call.
bool convertVariantToObject(const VARIANT& v, IDispatch*& out);

// Raises a script error: with an empty source, E_FAIL and nothing else;
// otherwise tells the application (NotifyScriptError), installs an error
// information object with the source and description as the thread's error,
// and answers `code`.
HRESULT raiseScriptError(const KString& source, const KString& description, HRESULT code = E_FAIL);

// Optional-argument readers: a missing argument leaves `out` at its default
// and answers S_OK; an argument that does not convert raises the kind's
// message as a script error from `source` (the calling operation's name) and
// answers E_FAIL. Integer and 64-bit integer share one message.
HRESULT readOptionalBool(const VARIANT& arg, bool& out, const KString& source);
HRESULT readOptionalString(const VARIANT& arg, KString& out, const KString& source);
HRESULT readOptionalUnsigned(const VARIANT& arg, ULONG& out, const KString& source);
HRESULT readOptionalLong(const VARIANT& arg, LONG& out, const KString& source);
HRESULT readOptionalLongLong(const VARIANT& arg, LONGLONG& out, const KString& source);
HRESULT readOptionalDouble(const VARIANT& arg, double& out, const KString& source);
HRESULT readOptionalRealArray(const VARIANT& arg, std::vector<double>& out, const KString& source);
HRESULT readOptionalObject(const VARIANT& arg, IDispatch*& out, const KString& source);
