#include "ui/dialogs/KModelessDialogManager.h"

#include "ui/dialogs/KDialogTestSupport.h"

namespace {

int g_alive = 0;

class CountedDialog : public KDialog {
 public:
  CountedDialog() : KDialog(IDD_TEST_FORM) { ++g_alive; }
  ~CountedDialog() override { --g_alive; }
};

TEST_F(KDialogTest, ManagerKeepsItsDialogsAndDestroysThoseStillOpen) {
  HWND first = nullptr, second = nullptr;
  {
    KModelessDialogManager manager;
    KDialog* a = manager.create(std::make_unique<CountedDialog>(), IDD_TEST_FORM);
    KDialog* b = manager.create(std::make_unique<CountedDialog>(), IDD_TEST_LIST);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->isModeless());
    first = a->GetSafeHwnd();
    second = b->GetSafeHwnd();
    EXPECT_EQ(manager.getOpenCount(), 2);
    EXPECT_EQ(manager.findOpen(IDD_TEST_LIST), b);
    a->OnCancel();
    EXPECT_EQ(manager.getOpenCount(), 1);
    EXPECT_EQ(manager.findOpen(IDD_TEST_FORM), nullptr);
    EXPECT_EQ(g_alive, 2);  // a closed dialog keeps its object until purged
    manager.purge();
    EXPECT_EQ(g_alive, 1);
    EXPECT_TRUE(IsWindow(second));
  }
  EXPECT_EQ(g_alive, 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(IsWindow(second));
}

TEST_F(KDialogTest, ManagerCreatesNothingForAMissingTemplateOrWhileSuppressed) {
  KModelessDialogManager manager;
  EXPECT_EQ(manager.create(std::make_unique<CountedDialog>(), 4242), nullptr);
  EXPECT_EQ(g_alive, 0);
  setDialogsSuppressed(true);
  EXPECT_THROW(manager.create(std::make_unique<CountedDialog>(), IDD_TEST_FORM), KDialogSuppressException);
  setDialogsSuppressed(false);
  EXPECT_EQ(g_alive, 0);
  EXPECT_EQ(manager.getOpenCount(), 0);
}

}  // namespace
