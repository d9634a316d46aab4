#include "platform/KOleAuto.h"
#include "tests/support/KOleLeakCheck.h"

#include <gtest/gtest.h>

namespace {
typedef KOleLeakCheck KSafeArrayTest;
}  // namespace

TEST_F(KSafeArrayTest, BoundsAreAnsweredPerDimensionFromOne) {
  SAFEARRAYBOUND bounds[2] = {{3, 0}, {4, 1}};  // 0..2, 1..4
  SAFEARRAY* array = SafeArrayCreate(VT_R8, 2, bounds);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(SafeArrayGetDim(array), 2u);
  EXPECT_EQ(SafeArrayGetElemsize(array), 8u);
  LONG lower = -9, upper = -9;
  ASSERT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
  ASSERT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 2);
  ASSERT_EQ(SafeArrayGetLBound(array, 2, &lower), S_OK);
  ASSERT_EQ(SafeArrayGetUBound(array, 2, &upper), S_OK);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 4);
  EXPECT_EQ(SafeArrayGetLBound(array, 0, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetUBound(array, 3, &upper), DISP_E_BADINDEX);
  // The header keeps its records last dimension first.
  EXPECT_EQ(array->rgsabound[0].lLbound, 1);
  EXPECT_EQ(array->rgsabound[1].cElements, 3u);
  VARTYPE vt = VT_EMPTY;
  ASSERT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
  EXPECT_EQ(vt, VT_R8);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST_F(KSafeArrayTest, ElementsAreAddressedWithinBoundsFirstIndexFastest) {
  SAFEARRAYBOUND bounds[2] = {{3, 0}, {4, 1}};
  SAFEARRAY* array = SafeArrayCreate(VT_R8, 2, bounds);
  for (LONG i = 0; i <= 2; ++i)
    for (LONG j = 1; j <= 4; ++j) {
      LONG at[2] = {i, j};
      double value = i * 10 + j;
      ASSERT_EQ(SafeArrayPutElement(array, at, &value), S_OK);
    }
  const double* data = static_cast<const double*>(array->pvData);
  EXPECT_EQ(data[0], 1.0);   // (0,1)
  EXPECT_EQ(data[1], 11.0);  // (1,1)
  EXPECT_EQ(data[3], 2.0);   // (0,2)
  EXPECT_EQ(data[11], 24.0); // (2,4)
  LONG last[2] = {2, 4};
  double value = 0;
  ASSERT_EQ(SafeArrayGetElement(array, last, &value), S_OK);
  EXPECT_EQ(value, 24.0);
  for (auto outside : {std::pair<LONG, LONG>{3, 1}, {-1, 1}, {0, 0}, {0, 5}}) {
    LONG at[2] = {outside.first, outside.second};
    EXPECT_EQ(SafeArrayGetElement(array, at, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayPutElement(array, at, &value), DISP_E_BADINDEX);
  }
  SafeArrayDestroy(array);
}

TEST_F(KSafeArrayTest, NegativeLowerBoundsAndEmptyDimensions) {
  SAFEARRAY* vector = SafeArrayCreateVector(VT_I4, -2, 3);  // -2..0
  LONG at = -2;
  LONG value = 5;
  EXPECT_EQ(SafeArrayPutElement(vector, &at, &value), S_OK);
  at = 1;
  EXPECT_EQ(SafeArrayPutElement(vector, &at, &value), DISP_E_BADINDEX);
  SafeArrayDestroy(vector);

  SAFEARRAY* empty = SafeArrayCreateVector(VT_I4, 4, 0);
  ASSERT_NE(empty, nullptr);
  LONG upper = 0;
  SafeArrayGetUBound(empty, 1, &upper);
  EXPECT_EQ(upper, 3);
  at = 4;
  EXPECT_EQ(SafeArrayGetElement(empty, &at, &value), DISP_E_BADINDEX);
  SafeArrayDestroy(empty);
}

TEST_F(KSafeArrayTest, ImpossibleArraysAreRefused) {
  SAFEARRAYBOUND one = {1, 0};
  EXPECT_EQ(SafeArrayCreate(VT_R8, 0, &one), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_EMPTY, 1, &one), nullptr);
  SAFEARRAYBOUND huge[2] = {{0x10000, 0}, {0x10000, 0}};
  EXPECT_EQ(SafeArrayCreate(VT_R8, 2, huge), nullptr);  // 32 GiB
}

TEST_F(KSafeArrayTest, TextElementsAreCopiedInAndOut) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 2);
  BSTR mine = KAllocSysString("abc");
  LONG at = 1;
  ASSERT_EQ(SafeArrayPutElement(array, &at, mine), S_OK);
  ASSERT_EQ(SafeArrayPutElement(array, &at, mine), S_OK);  // replaces (and frees) the first copy
  SysFreeString(mine);
  BSTR out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(array, &at, &out), S_OK);
  EXPECT_EQ(KStringFromBSTR(out), "abc");
  SysFreeString(out);
  at = 0;
  ASSERT_EQ(SafeArrayGetElement(array, &at, &out), S_OK);
  EXPECT_EQ(out, nullptr);

  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
  SafeArrayDestroy(array);
  at = 1;
  ASSERT_EQ(SafeArrayGetElement(copy, &at, &out), S_OK);
  EXPECT_EQ(KStringFromBSTR(out), "abc");
  SysFreeString(out);
  SafeArrayDestroy(copy);
}

TEST_F(KSafeArrayTest, VariantElementsAndArraysInsideVariants) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = KAllocSysString("x");
  LONG at = 0;
  ASSERT_EQ(SafeArrayPutElement(array, &at, &text), S_OK);
  VariantClear(&text);
  VARIANT holder;
  VariantInit(&holder);
  holder.vt = VT_ARRAY | VT_VARIANT;
  holder.parray = array;
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopy(&copy, &holder), S_OK);
  EXPECT_NE(copy.parray, array);
  VariantClear(&holder);  // destroys the array and the text inside
  VARIANT element;
  VariantInit(&element);
  ASSERT_EQ(SafeArrayGetElement(copy.parray, &at, &element), S_OK);
  EXPECT_EQ(KStringFromBSTR(element.bstrVal), "x");
  VariantClear(&element);
  VariantClear(&copy);
}

TEST_F(KSafeArrayTest, LockedArraysCannotBeDestroyed) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 1);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  EXPECT_EQ(data, array->pvData);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(SafeArrayUnlock(array), E_UNEXPECTED);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}
