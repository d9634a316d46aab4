#include "ui/filedialogs/KSaveAsDialog.h"

#include "resources/KResourceAttach.h"
#include "tests/support/KScratchFolder.h"
#include "ui/filedialogs/KFileDialogTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const bool g_attached = (InitMFCExtension(), true);

// A save dialog that has "closed" on a given name, so that its check can be
// run without a window.
class ClosedSaveAsDialog : public KSaveAsDialog {
 public:
  explicit ClosedSaveAsDialog(const std::string& chosen) {
    std::strncpy(m_name, chosen.c_str(), sizeof(m_name) - 1);
    m_ofn.lpstrFile = m_name;
    m_ofn.nMaxFile = sizeof(m_name);
    addFileType("Models", "*.mdl;*.bak", 1);
  }
  using KSaveAsDialog::checkResult;

 private:
  char m_name[260] = {};
};

void touch(const std::string& path, mode_t mode) {
  std::ofstream(path) << "x";
  chmod(path.c_str(), mode);
}

TEST(KSaveAsDialogTest, NewFileIsAcceptedWithTheTypesExtension) {
  KScratchFolder folder("saveas");
  ClosedSaveAsDialog dialog(folder.file("bridge"));
  KRecordedMessages answers(IDYES);
  EXPECT_EQ(dialog.checkResult(IDOK), IDOK);
  EXPECT_EQ(dialog.getFullPath().str(), folder.file("bridge.mdl"));
  EXPECT_TRUE(answers.shown.empty());
}

// A name typed with its own extension is the file the user means: the
// type's extension is only added to a bare name, and the checks apply to it.
TEST(KSaveAsDialogTest, NameWithItsOwnExtensionKeepsIt) {
  KScratchFolder folder("saveas");
  touch(folder.file("plan.bak"), 0444);
  ClosedSaveAsDialog dialog(folder.file("plan.bak"));
  KRecordedMessages answers(IDYES);
  EXPECT_EQ(dialog.checkResult(IDOK), IDCANCEL);
  EXPECT_EQ(dialog.getFullPath().str(), folder.file("plan.bak"));
  ASSERT_EQ(answers.shown.size(), 1u);
  EXPECT_EQ(answers.shown[0], resourceText(IDS_KSAVEAS_READONLY));
}

TEST(KSaveAsDialogTest, ReadOnlyFileIsRefusedEvenWithoutConfirmation) {
  KScratchFolder folder("saveas");
  touch(folder.file("locked.mdl"), 0444);
  for (bool confirm : {true, false}) {
    ClosedSaveAsDialog dialog(folder.file("locked"));
    dialog.setConfirmOverwrite(confirm);
    KRecordedMessages answers(IDYES);
    EXPECT_EQ(dialog.checkResult(IDOK), IDCANCEL) << confirm;
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0], resourceText(IDS_KSAVEAS_READONLY));
    EXPECT_EQ(answers.types[0], static_cast<UINT>(MB_OK));
  }
}

TEST(KSaveAsDialogTest, OverwriteNeedsAYes) {
  KScratchFolder folder("saveas");
  touch(folder.file("old.mdl"), 0644);
  struct Case {
    int answer;
    INT_PTR result;
  } cases[] = {{IDNO, IDCANCEL}, {IDYES, IDOK}, {IDCANCEL, IDCANCEL}};
  for (const Case& c : cases) {
    ClosedSaveAsDialog dialog(folder.file("old.mdl"));
    KRecordedMessages answers(c.answer);
    EXPECT_EQ(dialog.checkResult(IDOK), c.result) << c.answer;
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0], resourceText(IDS_KSAVEAS_OVERWRITE));
    EXPECT_EQ(answers.types[0], static_cast<UINT>(MB_YESNO));
  }
}

TEST(KSaveAsDialogTest, NoQuestionWhenConfirmationIsOffOrTheDialogWasCancelled) {
  KScratchFolder folder("saveas");
  touch(folder.file("old.mdl"), 0644);
  ClosedSaveAsDialog dialog(folder.file("old.mdl"));
  KRecordedMessages answers(IDNO);
  dialog.setConfirmOverwrite(false);
  EXPECT_EQ(dialog.checkResult(IDOK), IDOK);
  dialog.setConfirmOverwrite(true);
  EXPECT_EQ(dialog.checkResult(IDCANCEL), IDCANCEL);
  EXPECT_TRUE(dialog.getFullPath().IsEmpty());
  EXPECT_TRUE(answers.shown.empty());
}

}  // namespace
