// The file dialogs on the window system: these tests run the real chooser
// (under a virtual display in CI) and drive it from callbacks queued with
// AfxCallAfter, which run once the dialog's loop is idle. The test
// environment turns failures inside the window system into test failures.
#include "platform/KMessageBox.h"
#include "platform/windows/KWindowSystem.h"
#include "resources/KResourceAttach.h"
#include "tests/support/KGuiWhen.h"
#include "tests/support/KScratchFolder.h"
#include "ui/filedialogs/KFileDialogTestSupport.h"
#include "ui/dialogs/KDialogSuppressException.h"
#include "ui/filedialogs/KOpenDialog.h"
#include "ui/filedialogs/KSaveAsDialog.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const bool g_attached = (InitMFCExtension(), true);

class KFileDialogRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!AfxWindowSystemAvailable()) GTEST_SKIP() << "no window system (run under xvfb-run)";
    m_messages = std::make_unique<KRecordedMessages>();
  }
  void TearDown() override { m_messages.reset(); }

  // Runs `then` once `condition` holds (tests/support/KGuiWhen.h).
  static void when(std::function<bool()> condition, std::function<void()> then) {
    KGuiWhen(std::move(condition), std::move(then));
  }

  const std::vector<std::string>& shown() const { return m_messages->shown; }
  void answerWith(int answer) { m_messages->setAnswer(answer); }

 private:
  std::unique_ptr<KRecordedMessages> m_messages;
};

TEST_F(KFileDialogRunTest, BufferIs260CharactersOr780WithMultipleSelection) {
  for (bool multi : {false, true}) {
    KOpenDialog dialog;
    dialog.addFileType("Models", "*.mdl", 1);
    dialog.addFileType("Text", "*.txt", 2);
    dialog.selectType(2);
    dialog.setMultiSelect(multi);
    DWORD size = 0, flags = 0;
    std::string typeShown;
    KGuiWhen([&] { return dialog.IsRunning(); },
         [&] {
           size = dialog.m_ofn.nMaxFile;
           flags = dialog.m_ofn.Flags;
           typeShown = dialog.GetControlText(cmb1).str();
           dialog.EndDialog(IDCANCEL);
         });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(size, multi ? 780u : 260u);
    EXPECT_EQ((flags & OFN_ALLOWMULTISELECT) != 0, multi);
    EXPECT_EQ(typeShown, "Text");
    EXPECT_EQ(CommDlgExtendedError(), 0u);
  }
  EXPECT_TRUE(shown().empty());
}

TEST_F(KFileDialogRunTest, TypeChangeReplacesTheExtensionOfTheName) {
  KScratchFolder folder("filedlg");
  KSaveAsDialog dialog;
  dialog.addFileType("Models", "*.mdl;*.bak", 1);
  dialog.addFileType("Text", "*.txt", 2);
  dialog.setInitialFileName(folder.file("bridge.mdl").c_str());
  std::string nameBefore, nameAfter;
  KGuiWhen([&] { return dialog.IsRunning() && dialog.GetControlText(cmb13) == "bridge.mdl"; },
       [&] {
         nameBefore = dialog.GetControlText(cmb13).str();
         dialog.SetSelectedFilter(2);
         KGuiWhen([&] { return dialog.getSelectedType() == 2; },
              [&] {
                nameAfter = dialog.GetControlText(cmb13).str();
                dialog.EndDialog(IDOK);
              });
       });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(nameBefore, "bridge.mdl");
  EXPECT_EQ(nameAfter, "bridge.txt");
  EXPECT_EQ(dialog.m_ofn.nFilterIndex, 2u);
  EXPECT_EQ(dialog.getSelectedType(), 2);
  EXPECT_EQ(dialog.GetPathName().str(), folder.file("bridge.txt"));
  EXPECT_EQ(dialog.getFullPath().str(), folder.file("bridge.txt"));
}

TEST_F(KFileDialogRunTest, WithoutANameTheDialogOffersQuelm1WithTheTypesExtension) {
  KSaveAsDialog dialog;
  dialog.addFileType("Models", "*.mdl;*.bak", 1);
  dialog.addFileType("Text", "*.txt", 2);
  dialog.selectType(2);
  std::string offered;
  KGuiWhen([&] { return dialog.IsRunning(); },
       [&] {
         offered = dialog.GetControlText(cmb13).str();
         dialog.EndDialog(IDCANCEL);
       });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(offered, "QUELM1.txt");
}

TEST_F(KFileDialogRunTest, NameLongerThanTheBufferIsNotOffered) {
  KSaveAsDialog dialog;
  dialog.addFileType("Models", "*.mdl", 1);
  const std::string longName = "/tmp/" + std::string(KFileDialog::kSingleFileBuffer - 5, 'n');
  dialog.setInitialFileName(longName.c_str());  // 260 characters: no room for the terminator
  std::string offered = "?";
  KGuiWhen([&] { return dialog.IsRunning(); },
       [&] {
         offered = dialog.GetControlText(cmb13).str();
         dialog.EndDialog(IDCANCEL);
       });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(offered.find("nnnn"), std::string::npos) << offered;
  EXPECT_NE(offered, "?");
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(KFileDialogRunTest, OpenDialogAnswersTheChosenFileAndItsType) {
  KScratchFolder folder("filedlg");
  std::ofstream(folder.file("bridge.bak")) << "x";
  KOpenDialog dialog;
  dialog.addFileType("Text", "*.txt", 1);
  dialog.addFileType("Models", "*.mdl;*.bak", 2);
  dialog.selectType(2);
  dialog.setInitialFileName(folder.file("bridge.bak").c_str());
  KGuiWhen([&] { return dialog.IsRunning() && dialog.GetControlText(cmb13) == "bridge.bak"; },
           [&] { dialog.EndDialog(IDOK); });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetPathName().str(), folder.file("bridge.bak"));
  EXPECT_EQ(dialog.GetFileExt().str(), "bak");
  EXPECT_EQ(dialog.getSelectedType(), 2);
  EXPECT_TRUE(shown().empty());
}

TEST_F(KFileDialogRunTest, ReadOnlyFileIsRefusedAfterTheDialogCloses) {
  KScratchFolder folder("filedlg");
  std::ofstream(folder.file("locked.mdl")) << "x";
  chmod(folder.file("locked.mdl").c_str(), 0444);
  KSaveAsDialog dialog;
  dialog.setConfirmOverwrite(false);
  dialog.addFileType("Models", "*.mdl", 1);
  dialog.setInitialFileName(folder.file("locked.mdl").c_str());
  KGuiWhen([&] { return dialog.IsRunning(); }, [&] { dialog.EndDialog(IDOK); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0], resourceText(IDS_KSAVEAS_READONLY));
}

TEST_F(KFileDialogRunTest, OverwriteAnsweredNoCancels) {
  KScratchFolder folder("filedlg");
  std::ofstream(folder.file("old.mdl")) << "x";
  KSaveAsDialog dialog;
  dialog.addFileType("Models", "*.mdl", 1);
  dialog.setInitialFileName(folder.file("old.mdl").c_str());
  answerWith(IDNO);
  KGuiWhen([&] { return dialog.IsRunning(); }, [&] { dialog.EndDialog(IDOK); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0], resourceText(IDS_KSAVEAS_OVERWRITE));
}

TEST_F(KFileDialogRunTest, InvalidInitialNameFailsWithoutAWindow) {
  KSaveAsDialog dialog;
  dialog.addFileType("Models", "*.mdl", 1);
  dialog.setInitialFileName("bad|name.mdl");
  EXPECT_EQ(dialog.DoModal(), 0);
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_INVALIDFILENAME));
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0], resourceText(IDS_KFILEDIALOG_BADNAME));
}

TEST_F(KFileDialogRunTest, ResultLongerThanTheBufferFailsWithTheNeededSize) {
  KScratchFolder folder("filedlg");
  std::string deep = folder.path();
  while (deep.size() < 300) deep += "/" + std::string(60, 'd');
  std::filesystem::create_directories(deep);
  KSaveAsDialog dialog;
  dialog.addFileType("Models", "*.mdl", 1);
  dialog.m_ofn.lpstrInitialDir = deep.c_str();
  dialog.setInitialFileName("bridge.mdl");
  KGuiWhen([&] { return dialog.IsRunning(); }, [&] { dialog.EndDialog(IDOK); });
  EXPECT_EQ(dialog.DoModal(), 0);
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0], resourceText(IDS_KFILEDIALOG_NAMETOOLONG));
}

TEST_F(KFileDialogRunTest, SuppressedDialogsThrowWithoutAWindow) {
  KOpenDialog dialog;
  setDialogsSuppressed(true);
  EXPECT_THROW(dialog.DoModal(), KDialogSuppressException);
  setDialogsSuppressed(false);
  EXPECT_TRUE(shown().empty());
}

}  // namespace
