#include "core/script/KScriptArgs.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KErrorInfo.h"
#include "platform/KResources.h"
#include "resources/KResourceAttach.h"
#include "tests/support/KOleLeakCheck.h"

#include <gtest/gtest.h>

#include <deque>

namespace {
typedef KOleLeakCheck KScriptArgsTest;

// A host that records the script errors it is told of.
class KErrorHost : public KApplicationAbstract {
 public:
  KErrorHost() { m_previous = KSetApplication(this); }
  ~KErrorHost() override { KSetApplication(m_previous); }
  void NotifyScriptError(const KString& source, const KString& description, HRESULT code) override {
    ++m_count;
    m_last = source + ": " + description;
    m_code = code;
  }
  int m_count = 0;
  KString m_last;
  HRESULT m_code = S_OK;

 private:
  KApplicationAbstract* m_previous = nullptr;
};

// The thread's pending error as "source: description", or "" when none.
KString takeError() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK) return KString();
  BSTR source = nullptr, description = nullptr;
  info->GetSource(&source);
  info->GetDescription(&description);
  KString text = KStringFromBSTR(source) + ": " + KStringFromBSTR(description);
  SysFreeString(source);
  SysFreeString(description);
  info->Release();
  return text;
}

// VARIANTs made in a test, cleared at its end.
class KArgs {
 public:
  ~KArgs() {
    for (VARIANT& v : m_values) VariantClear(&v);
  }
  VARIANT& make(VARTYPE vt) {
    m_values.emplace_back();
    VariantInit(&m_values.back());
    m_values.back().vt = vt;
    return m_values.back();
  }
  VARIANT& text(const char* s) {
    VARIANT& v = make(VT_BSTR);
    v.bstrVal = KAllocSysString(s);
    return v;
  }
  VARIANT& real(double d) {
    VARIANT& v = make(VT_R8);
    v.dblVal = d;
    return v;
  }
  VARIANT& omitted() {
    VARIANT& v = make(VT_ERROR);
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
  }
  VARIANT& array(VARTYPE vt, std::initializer_list<SAFEARRAYBOUND> bounds) {
    VARIANT& v = make(VT_ARRAY | vt);
    v.parray = SafeArrayCreate(vt, static_cast<UINT>(bounds.size()), bounds.begin());
    return v;
  }

 private:
  std::deque<VARIANT> m_values;  // stable addresses for by-reference arguments
};

class KDummyDispatch : public IDispatch {
 public:
  HRESULT QueryInterface(const IID&, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
};
}  // namespace

TEST_F(KScriptArgsTest, DescriptionsOfValuesReferencesAndArrays) {
  KArgs args;
  double stored = 1;
  VARIANT& ref = args.make(VT_R8 | VT_BYREF);
  ref.pdblVal = &stored;
  EXPECT_EQ(describeVariant(ref), "Real ByRef");
  EXPECT_EQ(describeVariant(args.make(VT_I2)), "Int");
  EXPECT_EQ(describeVariant(args.make(VT_UINT)), "Unsigned Int");
  EXPECT_EQ(describeVariant(args.make(VT_I8)), "Long");
  EXPECT_EQ(describeVariant(args.make(VT_I1)), "Character");
  EXPECT_EQ(describeVariant(args.make(VT_UI2)), "Error");
  EXPECT_EQ(describeVariant(args.make(VT_NULL)), "Error");
  EXPECT_EQ(describeVariant(args.text("x")), "String");

  VARIANT& matrix = args.array(VT_R8, {{3, 0}, {4, 1}});
  EXPECT_EQ(describeVariant(matrix), "Array[0->2][1->4] of Real");
  VARIANT& refToArray = args.make(VT_ARRAY | VT_R8 | VT_BYREF);
  refToArray.pparray = &matrix.parray;
  EXPECT_EQ(describeVariant(refToArray), "Array[0->2][1->4] of Real");

  // An array of VARIANTs is described by its first element.
  VARIANT& mixed = args.array(VT_VARIANT, {{2, 1}});
  LONG first = 1;
  SafeArrayPutElement(mixed.parray, &first, &args.text("a"));
  EXPECT_EQ(describeVariant(mixed), "Array[1->2] of String");
  EXPECT_EQ(describeVariant(args.array(VT_VARIANT, {{0, 0}})), "Array[0->-1] of Error");
}

TEST_F(KScriptArgsTest, MissingArguments) {
  KArgs args;
  KDummyDispatch object;
  EXPECT_TRUE(isArgumentMissing(nullptr));
  EXPECT_TRUE(isArgumentMissing(&args.make(VT_EMPTY)));
  EXPECT_TRUE(isArgumentMissing(&args.omitted()));
  EXPECT_TRUE(isArgumentMissing(&args.make(VT_DISPATCH)));
  VARIANT& live = args.make(VT_DISPATCH);
  live.pdispVal = &object;
  EXPECT_FALSE(isArgumentMissing(&live));
  live.vt = VT_EMPTY;  // not ours to release
  EXPECT_FALSE(isArgumentMissing(&args.make(VT_NULL)));
  EXPECT_FALSE(isArgumentMissing(&args.real(0)));
}

TEST_F(KScriptArgsTest, OmittedOptionalIntegerKeepsDefault) {
  KErrorHost host;
  KArgs args;
  LONG value = 17;
  EXPECT_EQ(readOptionalLong(args.omitted(), value, "setCount"), S_OK);
  EXPECT_EQ(value, 17);
  // An empty script variable passed by reference is omitted too.
  VARIANT& ref = args.make(VT_BYREF | VT_VARIANT);
  ref.pvarVal = &args.make(VT_EMPTY);
  EXPECT_EQ(readOptionalLong(ref, value, "setCount"), S_OK);
  EXPECT_EQ(value, 17);
  EXPECT_EQ(host.m_count, 0);
  EXPECT_EQ(takeError(), "");
}

TEST_F(KScriptArgsTest, WrongOptionalArgumentRaisesItsKindsMessage) {
  KErrorHost host;
  KArgs args;
  LONG value = 17;
  EXPECT_EQ(readOptionalLong(args.text("abc"), value, "setCount"), E_FAIL);
  EXPECT_EQ(value, 17);
  EXPECT_EQ(takeError(), "setCount: Optional arg must be integer");
  EXPECT_EQ(host.m_last, "setCount: Optional arg must be integer");
  EXPECT_EQ(host.m_code, E_FAIL);

  struct Case {
    HRESULT hr;
    const char* message;
  };
  bool flag = false;
  KString text;
  ULONG count = 0;
  LONGLONG big = 0;
  double real = 0;
  std::vector<double> reals;
  IDispatch* object = nullptr;
  KDummyDispatch dispatch;
  VARIANT& live = args.make(VT_DISPATCH);
  live.pdispVal = &dispatch;
  const Case cases[] = {
      {readOptionalBool(args.text("maybe"), flag, "f"), "f: Optional arg must be boolean"},
      {readOptionalString(live, text, "f"), "f: Optional arg must be string"},
      {readOptionalUnsigned(args.real(-1), count, "f"), "f: Optional arg must be unsigned integer"},
      {readOptionalLongLong(args.text("1.5.2"), big, "f"), "f: Optional arg must be integer"},
      {readOptionalDouble(args.make(VT_NULL), real, "f"), "f: Optional arg must be real"},
      {readOptionalRealArray(args.real(2), reals, "f"), "f: Optional arg must be array of reals"},
      {readOptionalObject(args.real(2), object, "f"), "f: Optional arg must be an object"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.hr, E_FAIL) << c.message;
  }
  // Only the last error stays pending; each was told to the application.
  EXPECT_EQ(takeError(), cases[6].message);
  EXPECT_EQ(host.m_count, 8);
  live.vt = VT_EMPTY;
}

TEST_F(KScriptArgsTest, PresentOptionalArgumentsAreConverted) {
  KArgs args;
  bool flag = false;
  EXPECT_EQ(readOptionalBool(args.text("True"), flag, "f"), S_OK);
  EXPECT_TRUE(flag);
  EXPECT_EQ(readOptionalBool(args.real(0), flag, "f"), S_OK);
  EXPECT_FALSE(flag);
  KString text;
  EXPECT_EQ(readOptionalString(args.real(2.5), text, "f"), S_OK);
  EXPECT_EQ(text, "2.5");
  ULONG count = 0;
  EXPECT_EQ(readOptionalUnsigned(args.text("4294967295"), count, "f"), S_OK);
  EXPECT_EQ(count, 4294967295u);
  EXPECT_EQ(readOptionalUnsigned(args.text("4294967296"), count, "f"), E_FAIL);
  LONGLONG big = 0;
  EXPECT_EQ(readOptionalLongLong(args.text("-9000000000"), big, "f"), S_OK);
  EXPECT_EQ(big, -9000000000LL);
  LONG small = 0;
  EXPECT_EQ(readOptionalLong(args.text("-9000000000"), small, "f"), E_FAIL);
  double real = 0;
  double referenced = 6.5;
  VARIANT& ref = args.make(VT_R8 | VT_BYREF);
  ref.pdblVal = &referenced;
  VARIANT& refToRef = args.make(VT_BYREF | VT_VARIANT);
  refToRef.pvarVal = &ref;
  EXPECT_EQ(readOptionalDouble(refToRef, real, "f"), S_OK);
  EXPECT_EQ(real, 6.5);
  KDummyDispatch dispatch;
  IDispatch* pointer = &dispatch;
  VARIANT& objectRef = args.make(VT_DISPATCH | VT_BYREF);
  objectRef.ppdispVal = &pointer;
  IDispatch* object = nullptr;
  EXPECT_EQ(readOptionalObject(objectRef, object, "f"), S_OK);
  EXPECT_EQ(object, &dispatch);
  takeError();
}

TEST_F(KScriptArgsTest, ArraysOfReals) {
  KArgs args;
  std::vector<double> reals = {9};
  VARIANT& ints = args.array(VT_I4, {{3, 5}});
  for (LONG i = 5; i <= 7; ++i) {
    LONG value = i * 10;
    SafeArrayPutElement(ints.parray, &i, &value);
  }
  EXPECT_FALSE(convertVariantToRealArray(ints, reals));
  EXPECT_EQ(reals, (std::vector<double>{50, 60, 70}));

  VARIANT& variants = args.array(VT_VARIANT, {{2, 0}});
  LONG at = 0;
  SafeArrayPutElement(variants.parray, &at, &args.real(1.5));
  at = 1;
  SafeArrayPutElement(variants.parray, &at, &args.text("2.5"));
  VARIANT& byRef = args.make(VT_ARRAY | VT_VARIANT | VT_BYREF);
  byRef.pparray = &variants.parray;
  EXPECT_FALSE(convertVariantToRealArray(byRef, reals));
  EXPECT_EQ(reals, (std::vector<double>{1.5, 2.5}));

  // Holes, texts, two dimensions: refused, the output untouched.
  VARIANT& holes = args.array(VT_VARIANT, {{2, 0}});
  SafeArrayPutElement(holes.parray, &at, &args.real(1));
  EXPECT_TRUE(convertVariantToRealArray(holes, reals));
  EXPECT_TRUE(convertVariantToRealArray(args.array(VT_BSTR, {{1, 0}}), reals));
  EXPECT_TRUE(convertVariantToRealArray(args.array(VT_R8, {{2, 0}, {2, 0}}), reals));
  EXPECT_EQ(reals, (std::vector<double>{1.5, 2.5}));
  EXPECT_FALSE(convertVariantToRealArray(args.array(VT_R8, {{0, 0}}), reals));
  EXPECT_TRUE(reals.empty());
}

TEST_F(KScriptArgsTest, ScriptErrorWithoutSourceDoesNothing) {
  KErrorHost host;
  takeError();
  EXPECT_EQ(raiseScriptError("", "ignored", DISP_E_OVERFLOW), E_FAIL);
  EXPECT_EQ(host.m_count, 0);
  EXPECT_EQ(takeError(), "");
  EXPECT_EQ(raiseScriptError("op", "happened", DISP_E_OVERFLOW), DISP_E_OVERFLOW);
  EXPECT_EQ(takeError(), "op: happened");
}

TEST_F(KScriptArgsTest, MessagesFallBackToBuiltInTexts) {
  EXPECT_EQ(scriptArgMessage(IDS_SCRIPT_ARG_OBJECT), "Optional arg must be an object");
  EXPECT_EQ(scriptArgMessage(1), "");
  // A translation in the resources wins over the built-in text.
  static const KStringTableEntry translated[] = {{IDS_SCRIPT_ARG_INTEGER, "Optionales Argument muss ganzzahlig sein"}};
  AfxSetProgramStrings(translated, 1);
  KString text = scriptArgMessage(IDS_SCRIPT_ARG_INTEGER);
  AfxSetProgramStrings(nullptr, 0);
  EXPECT_EQ(text, "Optionales Argument muss ganzzahlig sein");
}

TEST_F(KScriptArgsTest, ResourceTextsAgreeWithBuiltInTexts) {
  static bool attached = false;
  if (!attached) InitMFCExtension();  // QUELMres holds the messages
  attached = true;
  for (const KScriptMessage& m : kScriptArgMessages) {
    const char* text = AfxFindStringResource(m.id);
    ASSERT_NE(text, nullptr) << m.id;
    EXPECT_STREQ(text, m.builtIn);
  }
}
