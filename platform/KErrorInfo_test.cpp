#include "platform/KErrorInfo.h"

#include <gtest/gtest.h>

#include <thread>

namespace {
// Raises an error with `source` and `description` on the calling thread.
void raise(const char* source, const char* description) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(CreateErrorInfo(&create), S_OK);
  BSTR s = KAllocSysString(source);
  BSTR d = KAllocSysString(description);
  create->SetSource(s);
  create->SetDescription(d);
  SysFreeString(s);
  SysFreeString(d);
  void* info = nullptr;
  ASSERT_EQ(create->QueryInterface(IID_IErrorInfo, &info), S_OK);
  ASSERT_EQ(SetErrorInfo(0, static_cast<IErrorInfo*>(info)), S_OK);
  static_cast<IErrorInfo*>(info)->Release();
  create->Release();
}

KString take(BSTR text) {
  KString s = KStringFromBSTR(text);
  SysFreeString(text);
  return s;
}
}  // namespace

TEST(KErrorInfoTest, SourceAndDescriptionRoundTripAndAreReadOnce) {
  long live = KLiveErrorInfos();
  long strings = KOleLiveStrings();
  raise("KDatabaseOptions.setInteger", "Optional arg must be integer");
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  ASSERT_NE(info, nullptr);
  BSTR text = nullptr;
  ASSERT_EQ(info->GetSource(&text), S_OK);
  EXPECT_EQ(take(text), "KDatabaseOptions.setInteger");
  ASSERT_EQ(info->GetDescription(&text), S_OK);
  EXPECT_EQ(take(text), "Optional arg must be integer");
  ASSERT_EQ(info->GetHelpFile(&text), S_OK);
  EXPECT_EQ(text, nullptr);
  info->Release();
  EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(KLiveErrorInfos(), live);
  EXPECT_EQ(KOleLiveStrings(), strings);
}

TEST(KErrorInfoTest, ANewErrorReplacesTheOldAndNullClears) {
  long live = KLiveErrorInfos();
  raise("a", "first");
  raise("b", "second");
  EXPECT_EQ(KLiveErrorInfos(), live + 1);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR text = nullptr;
  info->GetDescription(&text);
  EXPECT_EQ(take(text), "second");
  info->Release();
  raise("c", "third");
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
  EXPECT_EQ(KLiveErrorInfos(), live);
  EXPECT_EQ(SetErrorInfo(1, nullptr), E_INVALIDARG);
}

TEST(KErrorInfoTest, EachThreadHasItsOwnError) {
  long live = KLiveErrorInfos();
  raise("main", "here");
  bool otherSawNone = false;
  std::thread other([&] {
    IErrorInfo* info = nullptr;
    otherSawNone = GetErrorInfo(0, &info) == S_FALSE && !info;
    raise("other", "left behind");  // released when the thread ends
  });
  other.join();
  EXPECT_TRUE(otherSawNone);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR text = nullptr;
  info->GetSource(&text);
  EXPECT_EQ(take(text), "main");
  info->Release();
  EXPECT_EQ(KLiveErrorInfos(), live);
}

TEST(KErrorInfoTest, InterfacesOfTheObject) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(CreateErrorInfo(&create), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(create->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  GUID guid = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  create->SetGUID(guid);
  create->SetHelpContext(77);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)), S_OK);
  GUID back = GUID_NULL;
  info->GetGUID(&back);
  EXPECT_TRUE(back == guid);
  DWORD context = 0;
  info->GetHelpContext(&context);
  EXPECT_EQ(context, 77u);
  info->Release();
  create->Release();
}
