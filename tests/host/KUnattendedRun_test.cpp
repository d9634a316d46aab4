// Batch commands run unattended: dialogs throw instead of opening, message
// boxes go to standard error with their default answer, and both come back
// as they were afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/KUnattendedRun.h"
#include "ui/dialogs/KDialog.h"

TEST(KUnattendedRunTest, NothingWaitsForAUserAndEverythingComesBack) {
  std::vector<std::string> shown;
  KMessagePresenter previous = AfxSetMessagePresenter([&shown](const char* text, UINT) {
    shown.push_back(text);
    return IDCANCEL;
  });
  ASSERT_FALSE(areDialogsSuppressed());
  {
    KUnattendedRun unattended;
    EXPECT_TRUE(areDialogsSuppressed());
    KDialog dialog(30800);
    EXPECT_THROW(dialog.DoModal(), KDialogSuppressException);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("Replace the model?", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxMessageBox("Done"), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "quelmhost: Replace the model?\nquelmhost: Done\n");
    EXPECT_TRUE(shown.empty());
  }
  EXPECT_FALSE(areDialogsSuppressed());
  EXPECT_EQ(AfxMessageBox("Again"), IDCANCEL);
  EXPECT_EQ(shown, std::vector<std::string>{"Again"});
  AfxSetMessagePresenter(previous);
}
