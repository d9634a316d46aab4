#include "platform/KOleAuto.h"
#include "tests/support/KOleLeakCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {
typedef KOleLeakCheck KOleAutoTest;

// A dispatch object that counts its references.
class KCountedDispatch : public IDispatch {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override { return --m_references; }
  ULONG m_references = 1;
};

VARIANT makeText(const char* text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = KAllocSysString(text);
  return v;
}

VARIANT makeReal(double value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = value;
  return v;
}

VARIANT makeLong(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

// Converts `v` to `vt` into a fresh VARIANT; the HRESULT and the result.
HRESULT change(const VARIANT& v, VARTYPE vt, VARIANT& out, unsigned short flags = 0) {
  VariantInit(&out);
  return VariantChangeType(&out, &v, flags, vt);
}

KString textOf(const VARIANT& v) { return KStringFromBSTR(v.bstrVal); }
}  // namespace

TEST_F(KOleAutoTest, BstrKeepsLengthAndRoundTripsUtf8) {
  BSTR text = KAllocSysString("a\xC3\xA9\xF0\x9F\x98\x80z");  // a, e acute, an emoji (two units), z
  EXPECT_EQ(SysStringLen(text), 5u);
  EXPECT_EQ(SysStringByteLen(text), 10u);
  EXPECT_EQ(text[5], u'\0');
  EXPECT_EQ(KStringFromBSTR(text), "a\xC3\xA9\xF0\x9F\x98\x80z");
  SysFreeString(text);

  const OLECHAR embedded[] = {u'x', 0, u'y'};
  BSTR counted = SysAllocStringLen(embedded, 3);
  EXPECT_EQ(SysStringLen(counted), 3u);
  SysFreeString(counted);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  SysFreeString(nullptr);
}

TEST_F(KOleAutoTest, BrokenUtf8AndLoneSurrogatesBecomeReplacementCharacters) {
  BSTR text = KAllocSysString("\xC0\xAF|\xE2\x82|\xFF");  // overlong, truncated, invalid lead
  // Each byte that cannot start or continue a sequence is one replacement.
  EXPECT_EQ(KStringFromBSTR(text), "\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD");
  SysFreeString(text);
  // Overlong forms, encoded surrogates and code points above U+10FFFF.
  for (const char* bad : {"\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF0\x80\x80\xAF"}) {
    BSTR one = KAllocSysString(bad);
    EXPECT_EQ(SysStringLen(one), 1u) << bad;
    EXPECT_EQ(one[0], u'\xFFFD') << bad;
    SysFreeString(one);
  }
  BSTR highest = KAllocSysString("\xF4\x8F\xBF\xBF");
  EXPECT_EQ(SysStringLen(highest), 2u);
  EXPECT_EQ(highest[0], 0xDBFF);
  EXPECT_EQ(highest[1], 0xDFFF);
  SysFreeString(highest);
  BSTR bytes = SysAllocStringByteLen("abc", 3);
  EXPECT_EQ(SysStringByteLen(bytes), 3u);
  EXPECT_EQ(SysStringLen(bytes), 1u);
  SysFreeString(bytes);
  const OLECHAR lone[] = {0xD800, u'q'};
  BSTR surrogate = SysAllocStringLen(lone, 2);
  EXPECT_EQ(KStringFromBSTR(surrogate), "\xEF\xBF\xBDq");
  SysFreeString(surrogate);
}

TEST_F(KOleAutoTest, TextsConvertToNumbers) {
  struct Case {
    const char* text;
    VARTYPE vt;
    HRESULT hr;
    double value;
  } cases[] = {
      {" 42 ", VT_I4, S_OK, 42},        {"-7", VT_I4, S_OK, -7},
      {"2.5", VT_I4, S_OK, 2},          {"3.5", VT_I4, S_OK, 4},
      {"-2.5", VT_I4, S_OK, -2},        {"1e3", VT_R8, S_OK, 1000},
      {".5", VT_R8, S_OK, 0.5},         {"+8", VT_I2, S_OK, 8},
      {"abc", VT_I4, DISP_E_TYPEMISMATCH, 0}, {"", VT_R8, DISP_E_TYPEMISMATCH, 0},
      {"12abc", VT_I4, DISP_E_TYPEMISMATCH, 0}, {"inf", VT_R8, DISP_E_TYPEMISMATCH, 0},
      {"nan", VT_R8, DISP_E_TYPEMISMATCH, 0},   {"32768", VT_I2, DISP_E_OVERFLOW, 0},
      {"-32768", VT_I2, S_OK, -32768},  {"2147483648", VT_I4, DISP_E_OVERFLOW, 0},
      {"1e400", VT_R8, DISP_E_OVERFLOW, 0},
      {"1e-99999", VT_R8, S_OK, 0},   {"1e99999", VT_R8, DISP_E_OVERFLOW, 0}, {"-1", VT_UI4, DISP_E_OVERFLOW, 0},
      {"True", VT_BOOL, S_OK, -1},      {"false", VT_BOOL, S_OK, 0},
      {"0.25", VT_BOOL, S_OK, -1},      {"True", VT_I4, DISP_E_TYPEMISMATCH, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    VARIANT in = makeText(c.text);
    VARIANT out;
    EXPECT_EQ(change(in, c.vt, out), c.hr);
    if (c.hr == S_OK) {
      EXPECT_EQ(out.vt, c.vt);
      double got = c.vt == VT_I4 ? out.lVal : c.vt == VT_I2 ? out.iVal : c.vt == VT_BOOL ? out.boolVal : out.dblVal;
      EXPECT_EQ(got, c.value);
    } else {
      EXPECT_EQ(out.vt, VT_EMPTY);
    }
    VariantClear(&in);
    VariantClear(&out);
  }
}

TEST_F(KOleAutoTest, SixtyFourBitIntegersKeepEveryDigit) {
  VARIANT in = makeText("-9223372036854775808");
  VARIANT out;
  ASSERT_EQ(change(in, VT_I8, out), S_OK);
  EXPECT_EQ(out.llVal, INT64_MIN);
  VARIANT back;
  ASSERT_EQ(change(out, VT_BSTR, back), S_OK);
  EXPECT_EQ(textOf(back), "-9223372036854775808");
  VariantClear(&in);
  VariantClear(&back);
  in = makeText("9223372036854775808");
  EXPECT_EQ(change(in, VT_I8, out), DISP_E_OVERFLOW);
  VariantClear(&in);
}

TEST_F(KOleAutoTest, NumbersConvertToTexts) {
  VARIANT out;
  ASSERT_EQ(change(makeReal(0.1), VT_BSTR, out), S_OK);
  EXPECT_EQ(textOf(out), "0.1");
  VariantClear(&out);
  ASSERT_EQ(change(makeReal(1e20), VT_BSTR, out), S_OK);
  EXPECT_EQ(textOf(out), "1E+20");
  VariantClear(&out);
  ASSERT_EQ(change(makeLong(-12), VT_BSTR, out), S_OK);
  EXPECT_EQ(textOf(out), "-12");
  VariantClear(&out);
  VARIANT flag;
  VariantInit(&flag);
  flag.vt = VT_BOOL;
  flag.boolVal = VARIANT_TRUE;
  ASSERT_EQ(change(flag, VT_BSTR, out), S_OK);
  EXPECT_EQ(textOf(out), "-1");
  VariantClear(&out);
  ASSERT_EQ(change(flag, VT_BSTR, out, VARIANT_ALPHABOOL), S_OK);
  EXPECT_EQ(textOf(out), "True");
  VariantClear(&out);
  VARIANT empty;
  VariantInit(&empty);
  ASSERT_EQ(change(empty, VT_BSTR, out), S_OK);
  EXPECT_EQ(SysStringLen(out.bstrVal), 0u);
  VariantClear(&out);
}

TEST_F(KOleAutoTest, NumbersConvertAmongThemselves) {
  VARIANT out;
  ASSERT_EQ(change(makeReal(-0.4), VT_BOOL, out), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_TRUE);
  ASSERT_EQ(change(makeReal(0.0), VT_BOOL, out), S_OK);
  EXPECT_EQ(out.boolVal, VARIANT_FALSE);
  VARIANT flag;
  VariantInit(&flag);
  flag.vt = VT_BOOL;
  flag.boolVal = VARIANT_TRUE;
  ASSERT_EQ(change(flag, VT_I4, out), S_OK);
  EXPECT_EQ(out.lVal, -1);
  ASSERT_EQ(change(makeLong(-1), VT_UI1, out), DISP_E_OVERFLOW);
  ASSERT_EQ(change(makeLong(255), VT_UI1, out), S_OK);
  EXPECT_EQ(out.bVal, 255);
  ASSERT_EQ(change(makeReal(1e300), VT_R4, out), DISP_E_OVERFLOW);
  ASSERT_EQ(change(makeReal(2147483647.4), VT_I4, out), S_OK);
  EXPECT_EQ(out.lVal, 2147483647);
  ASSERT_EQ(change(makeReal(2147483647.5), VT_I4, out), DISP_E_OVERFLOW);
  ASSERT_EQ(change(makeReal(NAN), VT_I4, out), DISP_E_OVERFLOW);
  ASSERT_EQ(change(makeReal(NAN), VT_R4, out), S_OK);
  EXPECT_TRUE(std::isnan(out.fltVal));
  ASSERT_EQ(change(makeReal(INFINITY), VT_R4, out), S_OK);
  EXPECT_TRUE(std::isinf(out.fltVal));
  ASSERT_EQ(change(makeReal(-3.5e38), VT_R4, out), DISP_E_OVERFLOW);
  VARIANT empty;
  VariantInit(&empty);
  ASSERT_EQ(change(empty, VT_R8, out), S_OK);
  EXPECT_EQ(out.dblVal, 0.0);
}

TEST_F(KOleAutoTest, PlaceholdersNullsAndObjectsAreNotNumbers) {
  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  VARIANT out;
  EXPECT_EQ(change(missing, VT_I4, out), DISP_E_TYPEMISMATCH);
  VARIANT null;
  VariantInit(&null);
  null.vt = VT_NULL;
  EXPECT_EQ(change(null, VT_R8, out), DISP_E_TYPEMISMATCH);
  KCountedDispatch object;
  VARIANT dispatch;
  VariantInit(&dispatch);
  dispatch.vt = VT_DISPATCH;
  dispatch.pdispVal = &object;
  EXPECT_EQ(change(dispatch, VT_I4, out), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(change(dispatch, VT_BSTR, out), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(change(dispatch, VT_UNKNOWN, out), S_OK);
  EXPECT_EQ(object.m_references, 2u);
  VARIANT back;
  ASSERT_EQ(change(out, VT_DISPATCH, back), S_OK);  // through QueryInterface
  EXPECT_EQ(back.pdispVal, &object);
  EXPECT_EQ(object.m_references, 3u);
  VariantClear(&back);
  VariantClear(&out);
  EXPECT_EQ(object.m_references, 1u);
  ASSERT_EQ(change(dispatch, VT_EMPTY, out), S_OK);
  EXPECT_EQ(out.vt, VT_EMPTY);
  EXPECT_EQ(object.m_references, 1u);
}

TEST_F(KOleAutoTest, ByReferenceValuesAreReadThroughTheirPointer) {
  double stored = 2.75;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_R8 | VT_BYREF;
  ref.pdblVal = &stored;
  VARIANT out;
  ASSERT_EQ(change(ref, VT_I4, out), S_OK);
  EXPECT_EQ(out.lVal, 3);
  ASSERT_EQ(change(ref, VT_R8, out), S_OK);
  EXPECT_EQ(out.vt, VT_R8);
  EXPECT_EQ(out.dblVal, 2.75);

  // A reference to a VARIANT holding a text: copying by indirection makes an
  // owned copy; clearing the reference frees nothing.
  VARIANT inner = makeText("7");
  VARIANT outer;
  VariantInit(&outer);
  outer.vt = VT_VARIANT | VT_BYREF;
  outer.pvarVal = &inner;
  ASSERT_EQ(change(outer, VT_I2, out), S_OK);
  EXPECT_EQ(out.iVal, 7);
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopyInd(&copy, &outer), S_OK);
  EXPECT_EQ(copy.vt, VT_BSTR);
  EXPECT_NE(copy.bstrVal, inner.bstrVal);
  VariantClear(&copy);
  VARIANT alias;
  VariantInit(&alias);
  ASSERT_EQ(VariantCopy(&alias, &outer), S_OK);
  EXPECT_EQ(alias.pvarVal, &inner);
  VariantClear(&alias);
  VariantClear(&outer);
  EXPECT_EQ(textOf(inner), "7");
  VariantClear(&inner);

  // A reference to an array: the indirect copy owns a new array.
  SAFEARRAY* shared = SafeArrayCreateVector(VT_R8, 0, 2);
  VARIANT arrayRef;
  VariantInit(&arrayRef);
  arrayRef.vt = VT_ARRAY | VT_R8 | VT_BYREF;
  arrayRef.pparray = &shared;
  ASSERT_EQ(VariantCopyInd(&copy, &arrayRef), S_OK);
  EXPECT_EQ(copy.vt, VT_ARRAY | VT_R8);
  EXPECT_NE(copy.parray, shared);
  EXPECT_EQ(SafeArrayGetDim(copy.parray), 1u);
  VariantClear(&copy);
  VariantClear(&arrayRef);
  SafeArrayDestroy(shared);

  // A reference to itself (or any reference to a reference) is malformed.
  VARIANT loop;
  VariantInit(&loop);
  loop.vt = VT_VARIANT | VT_BYREF;
  loop.pvarVal = &loop;
  EXPECT_EQ(change(loop, VT_I4, out), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantCopyInd(&copy, &loop), E_INVALIDARG);

  VARIANT dangling;
  VariantInit(&dangling);
  dangling.vt = VT_I4 | VT_BYREF;
  EXPECT_EQ(change(dangling, VT_I4, out), DISP_E_BADVARTYPE);
}

TEST_F(KOleAutoTest, ConversionInPlaceAndFailureLeavesDestination) {
  VARIANT v = makeText("12.5");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_R8), S_OK);  // frees the text it replaces
  EXPECT_EQ(v.dblVal, 12.5);
  // In place on a reference: the VARIANT becomes the value, the storage stays.
  double stored = 4.25;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_R8 | VT_BYREF;
  ref.pdblVal = &stored;
  ASSERT_EQ(VariantChangeType(&ref, &ref, 0, VT_R8), S_OK);
  EXPECT_EQ(ref.vt, VT_R8);
  EXPECT_EQ(ref.dblVal, 4.25);
  EXPECT_EQ(stored, 4.25);
  VARIANT text = makeText("x");
  VARIANT dest = makeLong(99);
  EXPECT_EQ(VariantChangeType(&dest, &text, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(dest.vt, VT_I4);
  EXPECT_EQ(dest.lVal, 99);
  ASSERT_EQ(VariantChangeType(&dest, &text, 0, VT_BSTR), S_OK);  // the same type: a copy
  EXPECT_EQ(textOf(dest), "x");
  VariantClear(&dest);
  VariantClear(&text);
}

TEST_F(KOleAutoTest, VariantCopyIsDeepAndClearGivesEverythingBack) {
  KCountedDispatch object;
  VARIANT a;
  VariantInit(&a);
  a.vt = VT_DISPATCH;
  a.pdispVal = &object;
  object.AddRef();
  VARIANT b = makeText("gone");
  ASSERT_EQ(VariantCopy(&b, &a), S_OK);  // frees the text b held
  EXPECT_EQ(object.m_references, 3u);
  VariantClear(&a);
  VariantClear(&b);
  EXPECT_EQ(object.m_references, 1u);

  VARIANT odd;
  VariantInit(&odd);
  odd.vt = 0x0FFF;
  EXPECT_EQ(VariantClear(&odd), DISP_E_BADVARTYPE);
  VARIANT target;
  VariantInit(&target);
  EXPECT_EQ(VariantCopy(&target, &odd), DISP_E_BADVARTYPE);
}
