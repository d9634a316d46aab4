// The resource libraries once loaded: each attaching entry point puts its
// library at the head of the chain, so the library attached last is searched
// first and a text it holds hides the same identifier in earlier ones.
#include "platform/KResources.h"
#include "platform/KString.h"
#include "resources/KResourceAttach.h"
#include "resources/KResourceLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace {
class KResourceChainTest : public testing::Test {
 protected:
  // Links are created with new by the entry points; detaching them all leaves
  // the chain empty for the next test.
  void TearDown() override {
    while (CDynLinkLibrary* link = AfxGetResourceChain()) delete link;
  }

  static std::string chainNames() {
    std::string names;
    for (CDynLinkLibrary* link = AfxGetResourceChain(); link; link = link->next()) {
      if (!names.empty()) names += ", ";
      names += link->module().name;
    }
    return names;
  }

  static std::string text(UINT id) {
    const char* t = AfxFindStringResource(id);
    return t ? t : "(missing)";
  }
};
}  // namespace

TEST_F(KResourceChainTest, NothingIsFoundBeforeAttaching) {
  EXPECT_EQ(AfxGetResourceChain(), nullptr);
  EXPECT_EQ(AfxFindStringResource(24309), nullptr);
  KString s;
  EXPECT_FALSE(s.LoadString(59137));
}

TEST_F(KResourceChainTest, EnglishStartUpSearchesOwnTextsBeforeCompanion) {
  InitMFCExtension();
  InitMFCExtension2();
  EXPECT_EQ(chainNames(), "QUELMres2, QUELMres");
  EXPECT_EQ(text(24309), "N/A");
  EXPECT_EQ(text(59137), "CAP");
  EXPECT_EQ(text(0xE000), "quelmhost");
  EXPECT_EQ(text(61000), "Version");
  EXPECT_EQ(AfxGetResourceChain()->module().language, 1033);
}

TEST_F(KResourceChainTest, ChineseCompanionsHideEnglishTextsAndLeaveTheRest) {
  InitMFCExtension();
  InitMFCExtension2();
  InitMFCExtension_CHS();
  InitMFCExtension2_CHS();
  EXPECT_EQ(chainNames(), "QUELMres2CHS, QUELMresCHS, QUELMres2, QUELMres");
  EXPECT_EQ(text(24309), "不适用");
  EXPECT_EQ(text(59137), "大写");
  EXPECT_EQ(text(61000), "版本");
  // Untranslated texts still come from the English libraries.
  EXPECT_EQ(text(18441), "Carrying out Crack Check...");
  EXPECT_EQ(text(61005), "注册表项");
  EXPECT_EQ(text(10707), "The expression \"%s\" is empty");
  EXPECT_EQ(AfxGetResourceChain()->module().language, 2052);
}

TEST_F(KResourceChainTest, LoadStringAndFormatReadTheChain) {
  InitMFCExtension();
  InitMFCExtension2();
  KString s;
  ASSERT_TRUE(s.LoadString(34296));
  EXPECT_EQ(s, "Select only vertical objects\nSelect Vertical");
  KString message;
  message.Format(14375u, "len");
  EXPECT_EQ(message, "Undefined name \"len\"");
}

TEST_F(KResourceChainTest, OwnLibraryIsNotADebugBuild) { EXPECT_FALSE(IsMFCExtensionDebug2()); }

TEST(KResourceLibraryLoadTest, UnusableTableStopsTheLoad) {
  // A library is a linked import: a table the chain refuses ends the process.
  static const KStringTableEntry unsorted[] = {{20, "b"}, {10, "a"}};
  static const KStringTableEntry duplicated[] = {{10, "a"}, {10, "b"}};
  AFX_EXTENSION_MODULE module;
  EXPECT_DEATH(KResourceLibraryLoad(module, "Unsorted", unsorted, 2, 1033), "Unsorted: the string table cannot be used");
  EXPECT_DEATH(KResourceLibraryLoad(module, "Twice", duplicated, 2, 1033), "Twice: the string table cannot be used");
}

TEST(KResourceLibraryLoadTest, UsableTableIsRecordedWithItsLanguage) {
  static const KStringTableEntry table[] = {{10, "a"}, {20, "b"}};
  AFX_EXTENSION_MODULE module;
  KResourceLibraryLoad(module, "Good", table, 2, 2052);
  EXPECT_TRUE(module.initialized);
  EXPECT_EQ(module.language, 2052);
  EXPECT_STREQ(module.name, "Good");
}
