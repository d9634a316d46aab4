// OLE automation values: BSTR, VARIANT and SAFEARRAY with the functions that
// create, copy, convert and free them, in the manner of the system library
// they stand for, so that code written against that library reads the same.
//
// Ownership, as there:
// - A BSTR is a counted UTF-16 string; SysAlloc* make one, SysFreeString frees
//   it (null is the empty string and may be freed).
// - A VARIANT owns what it holds by value: its BSTR, one reference on its
//   interface, its SAFEARRAY. VariantClear gives them back; VariantCopy makes
//   deep copies (new BSTR, AddRef, copied array). A by-reference VARIANT
//   (VT_BYREF set) points at storage it does not own and frees nothing.
// - A SAFEARRAY owns its elements (BSTRs, interface references, VARIANTs) and
//   frees them in SafeArrayDestroy. SafeArrayPutElement copies what it is
//   given; SafeArrayGetElement hands out a copy the caller owns.
//
// Safe-array layout: the elements of the first dimension lie next to each
// other (the first index varies fastest). Dimensions are numbered from 1 in
// SafeArrayGetLBound/UBound; index vectors hold the index of dimension 1
// first. The bounds record in the array header is kept in reverse dimension
// order, as the system library keeps it; use the functions, not the record.
#pragma once
#include "platform/KComTypes.h"
#include "platform/KString.h"

typedef char16_t OLECHAR;
typedef OLECHAR* BSTR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
typedef double DATE;

enum : VARIANT_BOOL { VARIANT_TRUE = -1, VARIANT_FALSE = 0 };

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

// Currency: a 64-bit count of ten-thousandths.
union CY {
  LONGLONG int64;
};

struct SAFEARRAY;

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    BYTE bVal;
    short iVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    CY cyVal;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SAFEARRAY* parray;
    char cVal;
    unsigned short uiVal;
    ULONG ulVal;
    ULONGLONG ullVal;
    int intVal;
    unsigned int uintVal;
    BYTE* pbVal;
    short* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    float* pfltVal;
    double* pdblVal;
    VARIANT_BOOL* pboolVal;
    SCODE* pscode;
    CY* pcyVal;
    DATE* pdate;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    SAFEARRAY** pparray;
    VARIANT* pvarVal;
    void* byref;
    char* pcVal;
    unsigned short* puiVal;
    ULONG* pulVal;
    ULONGLONG* pullVal;
    int* pintVal;
    unsigned int* puintVal;
  };
};
typedef VARIANT VARIANTARG;

// ---- BSTR -------------------------------------------------------------------

// A new BSTR holding `text` up to its terminator; null for a null text.
BSTR SysAllocString(const OLECHAR* text);
// A new BSTR of `length` characters copied from `text` (zeros when null).
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// A new BSTR whose storage holds `bytes` bytes copied from `bytes` (zeros when null).
BSTR SysAllocStringByteLen(const char* text, UINT bytes);
void SysFreeString(BSTR text);
// Characters of the string (0 for null); embedded zeros count.
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// The library's narrow texts are UTF-8; these convert to and from BSTR
// (CString::AllocSysString and the CString(BSTR) constructor). Invalid UTF-8
// bytes become U+FFFD, unpaired surrogates the same.
BSTR KAllocSysString(const KString& text);
KString KStringFromBSTR(BSTR text);

// Bytes of a value of type `vt` as a safe array or a by-reference VARIANT
// holds it (VT_VARIANT: a whole VARIANT); 0 for a type without such values.
UINT KOleValueSize(VARTYPE vt);

// Live BSTRs and safe arrays made by this process: tests check for leaks.
long KOleLiveStrings();
long KOleLiveArrays();

// ---- VARIANT ----------------------------------------------------------------

void VariantInit(VARIANTARG* v);
// Frees what `v` owns and leaves it VT_EMPTY. DISP_E_BADVARTYPE (and `v`
// untouched) for a type the stand-in does not know.
HRESULT VariantClear(VARIANTARG* v);
// Clears `dest`, then copies `src` deeply into it. A by-reference source is
// copied as the same reference.
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src);
// As VariantCopy, but a by-reference source is copied as the value it refers to.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src);

enum : unsigned short { VARIANT_NOVALUEPROP = 0x1, VARIANT_ALPHABOOL = 0x2 };
// Converts `src` (by reference followed) to type `vt` into `dest`; `dest` may
// be `src`. On failure `dest` is left as it was. Conversions:
// - numbers (I1, UI1, I2, UI2, I4, UI4, I8, UI8, INT, UINT, R4, R8, CY, DATE,
//   BOOL, EMPTY = 0) into each other; reals go to integers rounded half to
//   even; a value outside the target's range is DISP_E_OVERFLOW;
// - BOOL is VARIANT_TRUE for any non-zero value;
// - BSTR to a number: a decimal or real text (blanks around it allowed), also
//   "True"/"False" for BOOL; anything else DISP_E_TYPEMISMATCH;
// - a number to BSTR: decimal text, reals with up to 15 significant digits,
//   BOOL as "-1"/"0" ("True"/"False" with VARIANT_ALPHABOOL);
// - DISPATCH and UNKNOWN only into each other (UNKNOWN to DISPATCH through
//   QueryInterface); NULL, ERROR and arrays only to their own type:
//   DISP_E_TYPEMISMATCH otherwise;
// - anything to EMPTY, which clears the destination;
// - DATE and CY as the numbers they hold (DATE gives no calendar text).
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, unsigned short flags, VARTYPE vt);

// ---- SAFEARRAY --------------------------------------------------------------

struct SAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
};

enum : unsigned short {
  FADF_AUTO = 0x1,
  FADF_STATIC = 0x2,
  FADF_EMBEDDED = 0x4,
  FADF_FIXEDSIZE = 0x10,
  FADF_RECORD = 0x20,
  FADF_HAVEIID = 0x40,
  FADF_HAVEVARTYPE = 0x80,
  FADF_BSTR = 0x100,
  FADF_UNKNOWN = 0x200,
  FADF_DISPATCH = 0x400,
  FADF_VARIANT = 0x800,
};

struct SAFEARRAY {
  unsigned short cDims;
  unsigned short fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  void* pvData;
  SAFEARRAYBOUND rgsabound[1];  // cDims records, last dimension first
};

// A new array of `dims` dimensions (bounds[0] is dimension 1) with every
// element zero (empty VARIANTs, null BSTRs and interfaces); null for no
// dimension, an element type arrays cannot hold, or more than 2^31 bytes.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
// Frees the elements and the array; DISP_E_ARRAYISLOCKED while locked.
HRESULT SafeArrayDestroy(SAFEARRAY* array);
// A deep copy into `*copy` (null for a null array).
HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy);
UINT SafeArrayGetDim(SAFEARRAY* array);
UINT SafeArrayGetElemsize(SAFEARRAY* array);
HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt);
// Bounds of dimension `dim` (1 = first); DISP_E_BADINDEX for another number.
// The upper bound of an empty dimension is its lower bound - 1.
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound);
// Copies the element at `indices` (one per dimension, dimension 1 first) into
// `*value`: for VT_BSTR a new BSTR into a BSTR*, for interfaces an AddRef'd
// pointer, for VT_VARIANT a VariantCopy into a VARIANT* the caller has
// initialised. DISP_E_BADINDEX when an index is outside its bounds.
HRESULT SafeArrayGetElement(SAFEARRAY* array, const LONG* indices, void* value);
// Stores a copy of `value` at `indices`, freeing what was there: for VT_BSTR
// `value` is the BSTR itself, for interfaces the interface pointer, for
// VT_VARIANT a VARIANT*, else a pointer to the value.
HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value);
// Address of the element at `indices` (the array must be locked while used).
HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, const LONG* indices, void** element);
HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
