#include "ui/filedialogs/KFileDialog.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KResources.h"
#include "resources/KResourceAttach.h"
#include "ui/filedialogs/KFileDialogTestSupport.h"
#include "ui/filedialogs/KOpenDialog.h"
#include "ui/filedialogs/KSaveAsDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const bool g_attached = (InitMFCExtension(), true);

std::string filterBytes(const KFileDialog& dialog) { return dialog.getFilterText().str(); }

TEST(KFileTypeInfoTest, DefaultExtensionIsTheFirstPatternWithoutItsWildcard) {
  EXPECT_EQ(KFileTypeInfo(1, "Models", "*.mdl;*.bak").getDefaultExtension().str(), "mdl");
  EXPECT_EQ(KFileTypeInfo(1, "Text", "*.txt").getDefaultExtension().str(), "txt");
  EXPECT_EQ(KFileTypeInfo(1, "All", "*").getDefaultExtension().str(), "");
  EXPECT_EQ(KFileTypeInfo(1, "Odd", "*.;*.x").getDefaultExtension().str(), "");
  EXPECT_EQ(KFileTypeInfo::extensionOfPattern(nullptr).str(), "");
}

TEST(KFileDialogTest, TypesBuildTheFilterPairsAndTheFirstIsSelected) {
  KFileDialog dialog(TRUE);
  EXPECT_EQ(dialog.getSelectedType(), -1);
  EXPECT_FALSE(dialog.addFileType("Models (*.mdl)", "*.mdl;*.bak", 10));
  EXPECT_FALSE(dialog.addFileType("Text", "*.txt", 20));
  EXPECT_FALSE(dialog.addFileType("All files", "*", 30));
  static const char kFilter[] = "Models (*.mdl)\0*.mdl;*.bak\0Text\0*.txt\0All files\0*\0";
  EXPECT_EQ(filterBytes(dialog), std::string(kFilter, sizeof(kFilter) - 1));
  EXPECT_EQ(dialog.getFilterCount(), 3);
  EXPECT_EQ(dialog.getSelectedType(), 10);
  EXPECT_EQ(dialog.m_ofn.nFilterIndex, 1u);
}

TEST(KFileDialogTest, SelectingATypeSetsItsFilterIndexAndUnknownTypesChangeNothing) {
  KFileDialog dialog(FALSE);
  dialog.addFileType("A", "*.a", 7);
  dialog.addFileType("B", "*.b", -3);
  dialog.addFileType("C", "*.c", 99);
  EXPECT_FALSE(dialog.selectType(99));
  EXPECT_EQ(dialog.m_ofn.nFilterIndex, 3u);
  EXPECT_EQ(dialog.getSelectedType(), 99);
  EXPECT_EQ(dialog.getSelectedTypeInfo()->getDefaultExtension().str(), "c");
  EXPECT_TRUE(dialog.selectType(8));
  EXPECT_EQ(dialog.m_ofn.nFilterIndex, 3u);
  EXPECT_EQ(dialog.getSelectedType(), 99);
  EXPECT_FALSE(dialog.selectType(-3));
  EXPECT_EQ(dialog.m_ofn.nFilterIndex, 2u);
  EXPECT_EQ(dialog.typeAtFilterIndex(1)->getId(), 7);
  EXPECT_EQ(dialog.typeAtFilterIndex(0), nullptr);
  EXPECT_EQ(dialog.typeAtFilterIndex(4), nullptr);
}

TEST(KFileDialogTest, ExtensionsAreReplacedInTheNameOnly) {
  EXPECT_EQ(KFileDialog::replaceExtension("model.bak", "mdl").str(), "model.mdl");
  EXPECT_EQ(KFileDialog::replaceExtension("/a/b.c/model", "mdl").str(), "/a/b.c/model.mdl");
  EXPECT_EQ(KFileDialog::replaceExtension("model.v1.txt", "mdl").str(), "model.v1.mdl");
  EXPECT_EQ(KFileDialog::replaceExtension("model", "mdl").str(), "model.mdl");
}

TEST(KFileDialogTest, DefaultNameIsQuelm1InTheWorkingFolderOrTheCallersName) {
  const std::string folder = KGetApplication()->GetWorkingFolder().str();
  EXPECT_EQ(KFileDialog::defaultFileName("", "ignored").str(), folder + "/QUELM1");
  EXPECT_EQ(KFileDialog::defaultFileName(nullptr, nullptr).str(), folder + "/QUELM1");
  EXPECT_EQ(KFileDialog::defaultFileName("/models", "bridge").str(), "/models/bridge");
  EXPECT_EQ(KFileDialog::defaultFileName("/models/", "bridge").str(), "/models/bridge");
}

TEST(KFileDialogTest, EachErrorCodeShowsItsMessage) {
  struct Case {
    DWORD code;
    UINT id;
  } cases[] = {{CDERR_MEMALLOCFAILURE, 0x31F5}, {FNERR_SUBCLASSFAILURE, 0x31F5}, {FNERR_INVALIDFILENAME, 0x2F48},
               {FNERR_BUFFERTOOSMALL, 0x27DD},  {CDERR_DIALOGFAILURE, 0x3820},   {CDERR_INITIALIZATION, 0x3820},
               {0x3004, 0x3820}};
  KRecordedMessages messages;
  for (const Case& c : cases) {
    EXPECT_EQ(KFileDialog::errorMessageId(c.code), c.id) << c.code;
    KFileDialog::reportError(c.code);
    ASSERT_FALSE(resourceText(c.id).empty());
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back(), resourceText(c.id)) << c.code;
  }
}

TEST(KFileDialogTest, MessageTextsAreLoadedOnce) {
  KRecordedMessages messages;
  KFileDialog::reportError(FNERR_BUFFERTOOSMALL);
  // The program's own table comes before the libraries: a text loaded again
  // would now be the replacement.
  static const KStringTableEntry replacement[] = {{0x27DD, "replaced"}};
  AfxSetProgramStrings(replacement, 1);
  KFileDialog::reportError(FNERR_BUFFERTOOSMALL);
  AfxSetProgramStrings(nullptr, 0);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_NE(messages.shown[0], "replaced");
  EXPECT_EQ(messages.shown[1], messages.shown[0]);
}

TEST(KFileDialogTest, OpenAndSaveDialogsAskForTheirFlags) {
  KOpenDialog open;
  EXPECT_TRUE(open.m_ofn.Flags & OFN_FILEMUSTEXIST);
  EXPECT_TRUE(open.m_bOpenFileDialog);
  KSaveAsDialog save(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
  EXPECT_FALSE(save.m_ofn.Flags & OFN_OVERWRITEPROMPT);
  EXPECT_TRUE(save.m_ofn.Flags & OFN_NOREADONLYRETURN);
  EXPECT_TRUE(save.m_ofn.Flags & OFN_HIDEREADONLY);
  EXPECT_FALSE(save.m_bOpenFileDialog);
  EXPECT_TRUE(save.getConfirmOverwrite());
}

}  // namespace
