#include "platform/windows/CFileDialog.h"
#include "platform/KMessageBox.h"
#include "platform/windows/KWindowSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A dialog that has "closed" on given paths, to check the result layout.
class ClosedFileDialog : public CFileDialog {
 public:
  explicit ClosedFileDialog(DWORD size, DWORD flags = 0) : CFileDialog(TRUE, nullptr, nullptr, flags), m_buffer(size) {
    m_ofn.lpstrFile = m_buffer.data();
    m_ofn.nMaxFile = size;
  }
  using CFileDialog::storeResult;
  std::string bytes(size_t count) const { return std::string(m_buffer.data(), count); }

 private:
  std::vector<char> m_buffer;
};

std::vector<std::string> walk(const CFileDialog& dialog) {
  std::vector<std::string> paths;
  for (POSITION pos = dialog.GetStartPosition(); pos;) paths.push_back(dialog.GetNextPathName(pos).str());
  return paths;
}

TEST(CFileDialogTest, FilterPairsBecomeTheWindowSystemsWildcard) {
  int pairs = -1;
  EXPECT_EQ(CFileDialog::WildcardOfFilter("Models\0*.mdl;*.bak\0All\0*\0", pairs).str(),
            "Models|*.mdl;*.bak|All|*");
  EXPECT_EQ(pairs, 2);
  EXPECT_EQ(CFileDialog::WildcardOfFilter("Odd\0\0", pairs).str(), "Odd|*");
  EXPECT_EQ(pairs, 1);
  EXPECT_EQ(CFileDialog::WildcardOfFilter(nullptr, pairs).str(), "");
  EXPECT_EQ(pairs, 0);
}

TEST(CFileDialogTest, ConstructorTakesTheBarSeparatedFilterAndTheName) {
  CFileDialog dialog(FALSE, "mdl", "bridge.mdl", OFN_HIDEREADONLY, "Models|*.mdl|Text|*.txt||");
  EXPECT_EQ(std::string(dialog.m_ofn.lpstrFilter, 25), std::string("Models\0*.mdl\0Text\0*.txt\0", 25));
  EXPECT_STREQ(dialog.m_ofn.lpstrFile, "bridge.mdl");
  EXPECT_EQ(dialog.m_ofn.nMaxFile, 260u);
  EXPECT_STREQ(dialog.m_ofn.lpstrDefExt, "mdl");
  EXPECT_EQ(dialog.GetFileExt().str(), "mdl");
  EXPECT_FALSE(dialog.m_bOpenFileDialog);
}

TEST(CFileDialogTest, OneFileIsItsFullPath) {
  ClosedFileDialog dialog(64, OFN_ALLOWMULTISELECT);
  EXPECT_FALSE(dialog.storeResult({"/models/bridge.v2.mdl"}));
  EXPECT_EQ(dialog.GetPathName().str(), "/models/bridge.v2.mdl");
  EXPECT_EQ(dialog.GetFileName().str(), "bridge.v2.mdl");
  EXPECT_EQ(dialog.GetFileExt().str(), "mdl");
  EXPECT_EQ(dialog.m_ofn.nFileOffset, 8);
  EXPECT_EQ(dialog.m_ofn.nFileExtension, 18);
  EXPECT_EQ(walk(dialog), std::vector<std::string>{"/models/bridge.v2.mdl"});
}

TEST(CFileDialogTest, SeveralFilesAreTheFolderThenEachName) {
  ClosedFileDialog dialog(64, OFN_ALLOWMULTISELECT);
  EXPECT_FALSE(dialog.storeResult({"/models/a.mdl", "/models/b.mdl"}));
  EXPECT_EQ(dialog.bytes(22), std::string("/models\0a.mdl\0b.mdl\0\0", 22));
  EXPECT_EQ(dialog.m_ofn.nFileOffset, 8);
  EXPECT_EQ(walk(dialog), (std::vector<std::string>{"/models/a.mdl", "/models/b.mdl"}));
}

TEST(CFileDialogTest, ResultThatDoesNotFitFailsWithTheSizeNeeded) {
  ClosedFileDialog exact(15);
  EXPECT_FALSE(exact.storeResult({"/models/a.mdl"}));  // 13 characters and two NULs
  ClosedFileDialog small(14);
  EXPECT_TRUE(small.storeResult({"/models/a.mdl"}));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  WORD needed = 0;
  std::memcpy(&needed, small.m_ofn.lpstrFile, sizeof(needed));
  EXPECT_EQ(needed, 15);
}

}  // namespace

// The name field takes a path as a user may type one, folder and all, and OK
// answers it even before the chooser has read that folder.
TEST(CFileDialogTest, TypedPathIsTheAnswerOfOK) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  const std::string folder = testing::TempDir();
  for (BOOL open : {TRUE, FALSE}) {
    CFileDialog dialog(open, nullptr, nullptr, OFN_HIDEREADONLY, "Text|*.txt||");
    const std::string path = folder + (open ? "typed-open.txt" : "typed-save.txt");
    AfxCallAfter([&] {
      dialog.SetControlText(cmb13, path.c_str());
      dialog.EndDialog(IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName().str(), path) << open;
  }
}
