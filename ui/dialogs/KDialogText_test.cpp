#include "ui/dialogs/KDialog.h"

#include <gtest/gtest.h>

namespace {

const char* const kReport =
    "An exception of type \"std::runtime_error\" has been received from OnInitDialog.\nPlease send a screenshot "
    "of this message (and another of the resulting dialog) to QUELM customer support.";

TEST(KDialogTextTest, InitDialogReportWithoutDescription) {
  EXPECT_EQ(KDialog::initDialogExceptionText("std::runtime_error", "").str(), kReport);
  EXPECT_EQ(KDialog::initDialogExceptionText("std::runtime_error", nullptr).str(), kReport);
}

TEST(KDialogTextTest, InitDialogReportAppendsTheDescriptionInQuotes) {
  EXPECT_EQ(KDialog::initDialogExceptionText("std::runtime_error", "no units").str(),
            std::string(kReport) + "Details follow: \"no units\"");
}

}  // namespace
