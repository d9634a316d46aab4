#include "platform/KResources.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const KDialogTemplate kLibraryDialogs[] = {{100, "library 100", 0, 10, 10, nullptr, 0, nullptr, 0},
                                           {200, "library 200", 0, 10, 10, nullptr, 0, nullptr, 0}};
const KDialogTemplate kLaterDialogs[] = {{100, "later 100", 0, 10, 10, nullptr, 0, nullptr, 0}};
const KDialogTemplate kProgramDialogs[] = {{200, "program 200", 0, 10, 10, nullptr, 0, nullptr, 0}};
const ACCEL kKeys[] = {{FVIRTKEY | FCONTROL, 'C', 1}};
const KAcceleratorTable kTables[] = {{5084, kKeys, 1}};
const DWORD kPixels[] = {0xC0C0C0, 0};
const KBitmapResource kBitmaps[] = {{7, 2, 1, kPixels}};
const KStringTableEntry kLibraryStrings[] = {{1, "library one"}};
const KStringTableEntry kLaterStrings[] = {{1, "later one"}};

const KModuleResources kLibraryKinds = {kLibraryDialogs, 2, kTables, 1, kBitmaps, 1};
const KModuleResources kLaterKinds = {kLaterDialogs, 1, nullptr, 0, nullptr, 0};
const KModuleResources kProgramKinds = {kProgramDialogs, 1, nullptr, 0, nullptr, 0};

std::string title(const KDialogTemplate* t) { return t ? t->title : "(none)"; }

// Two modules attached in turn ("Library" first, "Later" second) and the
// program's own dialogs.
class KResourceKindsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxInitExtensionModule(m_library, "Library", kLibraryStrings, 1, 1033));
    m_library.resources = &kLibraryKinds;
    ASSERT_TRUE(AfxInitExtensionModule(m_later, "Later", kLaterStrings, 1, 1033));
    m_later.resources = &kLaterKinds;
    new CDynLinkLibrary(m_library);
    new CDynLinkLibrary(m_later);
    AfxSetProgramResources(&kProgramKinds);
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    AfxSetProgramResources(nullptr);
    AfxTermExtensionModule(m_later);
    AfxTermExtensionModule(m_library);
  }
  AFX_EXTENSION_MODULE m_library, m_later;
};
}  // namespace

TEST_F(KResourceKindsTest, ModulesAreFoundByNameWhateverTheCase) {
  EXPECT_EQ(AfxFindResourceModule("library"), &m_library);
  EXPECT_EQ(AfxFindResourceModule("LATER"), &m_later);
  EXPECT_EQ(AfxFindResourceModule("Other"), nullptr);
  EXPECT_EQ(AfxFindResourceModule(nullptr), nullptr);
  EXPECT_EQ(AfxModuleOfHandle(&m_library), &m_library);
  int elsewhere = 0;
  EXPECT_EQ(AfxModuleOfHandle(&elsewhere), nullptr);
  EXPECT_NE(AfxModuleOfHandle(AfxGetInstanceHandle()), nullptr);
}

TEST_F(KResourceKindsTest, SearchGoesProgramThenLatestAttachedFirst) {
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
  EXPECT_EQ(title(AfxFindDialogTemplate(nullptr, 200)), "program 200");
  EXPECT_EQ(title(AfxFindDialogTemplate(nullptr, 100)), "later 100");
  EXPECT_EQ(title(AfxFindDialogTemplate(nullptr, 300)), "(none)");
  EXPECT_EQ(std::string(AfxFindStringResource(1)), "later one");
}

TEST_F(KResourceKindsTest, ResourceHandleModuleIsSearchedFirst) {
  AfxSetResourceHandle(&m_library);
  EXPECT_EQ(AfxGetResourceHandle(), &m_library);
  EXPECT_EQ(title(AfxFindDialogTemplate(nullptr, 100)), "library 100");
  EXPECT_EQ(title(AfxFindDialogTemplate(nullptr, 200)), "library 200");
  EXPECT_EQ(std::string(AfxFindStringResource(1)), "library one");
  AfxSetResourceHandle(nullptr);
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
  EXPECT_EQ(std::string(AfxFindStringResource(1)), "later one");
}

TEST_F(KResourceKindsTest, LookupInOneModuleLooksNowhereElse) {
  EXPECT_EQ(title(AfxFindDialogTemplate(&m_later, 200)), "(none)");
  EXPECT_EQ(title(AfxFindDialogTemplate(&m_library, 200)), "library 200");
  EXPECT_EQ(title(AfxFindDialogTemplate(AfxGetInstanceHandle(), 100)), "(none)");
  const KAcceleratorTable* table = AfxFindAcceleratorTable(&m_library, 5084);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->entries[0].key, 'C');
  EXPECT_EQ(AfxFindAcceleratorTable(&m_later, 5084), nullptr);
  EXPECT_EQ(AfxFindAcceleratorTable(nullptr, 5084), table);
  int elsewhere = 0;
  EXPECT_EQ(AfxFindAcceleratorTable(&elsewhere, 5084), nullptr);
  const KBitmapResource* bitmap = AfxFindBitmapResource(nullptr, 7);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->width, 2);
  EXPECT_EQ(AfxFindBitmapResource(nullptr, 8), nullptr);
}

TEST_F(KResourceKindsTest, DetachingTheResourceHandleModuleRestoresTheProgram) {
  AfxSetResourceHandle(&m_later);
  AfxTermExtensionModule(m_later);
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
  EXPECT_EQ(title(AfxFindDialogTemplate(nullptr, 100)), "library 100");
  EXPECT_EQ(AfxFindResourceModule("Later"), nullptr);
}
