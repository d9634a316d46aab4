// Test fixture for code that makes OLE values: at the end of each test the
// process must hold as many BSTRs and safe arrays as at its start.
#pragma once
#include "platform/KOleAuto.h"

#include <gtest/gtest.h>

class KOleLeakCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    m_strings = KOleLiveStrings();
    m_arrays = KOleLiveArrays();
  }
  void TearDown() override {
    EXPECT_EQ(KOleLiveStrings(), m_strings) << "BSTRs left behind";
    EXPECT_EQ(KOleLiveArrays(), m_arrays) << "safe arrays left behind";
  }

 private:
  long m_strings = 0;
  long m_arrays = 0;
};
