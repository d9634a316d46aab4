// The COM basics that the OLE values and the identifier service share:
// HRESULT and its codes, GUID, and IUnknown with its reference counting.
//
// An HRESULT is a signed 32-bit status: negative is a failure. Interfaces are
// reference counted; whoever receives an interface pointer from a function
// owns one reference and gives it back with Release. QueryInterface answers
// E_NOINTERFACE (and a null pointer) for an interface the object lacks.
#pragma once
#include "platform/KWinTypes.h"

typedef LONG HRESULT;
typedef LONG SCODE;
typedef uint32_t ULONG;

enum : LONG {
  S_OK = 0,
  S_FALSE = 1,
  E_NOTIMPL = static_cast<LONG>(0x80004001),
  E_NOINTERFACE = static_cast<LONG>(0x80004002),
  E_POINTER = static_cast<LONG>(0x80004003),
  E_FAIL = static_cast<LONG>(0x80004005),
  E_UNEXPECTED = static_cast<LONG>(0x8000FFFF),
  E_OUTOFMEMORY = static_cast<LONG>(0x8007000E),
  E_INVALIDARG = static_cast<LONG>(0x80070057),
  DISP_E_UNKNOWNINTERFACE = static_cast<LONG>(0x80020001),
  DISP_E_MEMBERNOTFOUND = static_cast<LONG>(0x80020003),
  DISP_E_PARAMNOTFOUND = static_cast<LONG>(0x80020004),
  DISP_E_TYPEMISMATCH = static_cast<LONG>(0x80020005),
  DISP_E_BADVARTYPE = static_cast<LONG>(0x80020008),
  DISP_E_EXCEPTION = static_cast<LONG>(0x80020009),
  DISP_E_OVERFLOW = static_cast<LONG>(0x8002000A),
  DISP_E_BADINDEX = static_cast<LONG>(0x8002000B),
  DISP_E_ARRAYISLOCKED = static_cast<LONG>(0x8002000D),
};

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
typedef GUID IID;

inline bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

// The published identifiers of the interfaces the platform implements.
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IErrorInfo = {0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ICreateErrorInfo = {0x22F03340, 0x547D, 0x101B,
                                             {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

struct IUnknown {
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;  // objects go away through Release only
};

// An automation object. The stand-in routes no calls through it: the script
// host of the application does the routing; here it only has an identity and
// a reference count, which is what argument checking looks at.
struct IDispatch : IUnknown {
 protected:
  ~IDispatch() = default;
};
