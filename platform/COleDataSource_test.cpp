#include "platform/COleDataSource.h"

#include <gtest/gtest.h>

TEST(COleDataSourceTest, RegisteredFormatsAreNamedWithoutRegardToCase) {
  UINT first = RegisterClipboardFormatA("test format one");
  UINT second = RegisterClipboardFormatA("test format two");
  EXPECT_GE(first, 0xC000u);
  EXPECT_NE(first, second);
  EXPECT_EQ(RegisterClipboardFormatA("TEST FORMAT ONE"), first);
  EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
  EXPECT_EQ(RegisterClipboardFormatA(nullptr), 0u);
}

TEST(COleDataSourceTest, OneBlockPerFormat) {
  COleDataSource source;
  CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("test block"));
  std::string bytes = "kept";
  EXPECT_FALSE(source.GetData(format, bytes));
  EXPECT_EQ(bytes, "kept");
  source.CacheData(format, "a\0b", 3);
  source.CacheData(format, "xyz\0", 4);
  ASSERT_TRUE(source.GetData(format, bytes));
  EXPECT_EQ(bytes, std::string("xyz\0", 4));
  EXPECT_FALSE(source.IsDataAvailable(static_cast<CLIPFORMAT>(format + 1)));
  source.Empty();
  EXPECT_FALSE(source.IsDataAvailable(format));
}
