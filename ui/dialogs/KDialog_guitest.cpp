#include "ui/dialogs/KDialog.h"

#include "platform/windows/CGdiObjects.h"
#include "platform/windows/CStdControls.h"
#include "ui/dialogs/KDialogTestSupport.h"

#include <stdexcept>

struct KTestFault {};

namespace {

// The form dialog: the edit control exchanges an integer.
class FormDialog : public KDialog {
 public:
  FormDialog() : KDialog(IDD_TEST_FORM) {}
  int value = -1;
  int initCount = 0;
  std::function<void()> onInit;

 protected:
  BOOL OnInitDialog() override {
    ++initCount;
    BOOL result = KDialog::OnInitDialog();
    if (onInit) onInit();
    return result;
  }
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_TEST_EDIT, value); }
};

const char* const kReportStart = "An exception of type \"";
const char* const kReportEnd =
    "\" has been received from OnInitDialog.\nPlease send a screenshot of this message (and another of the "
    "resulting dialog) to QUELM customer support.";

std::string report(const char* type) { return std::string(kReportStart) + type + kReportEnd; }

std::string itemText(const CWnd& dialog, int id) {
  KString text;
  dialog.GetDlgItemText(id, text);
  return text.str();
}

TEST_F(KDialogTest, SuppressedDialogThrowsBeforeAnyWindowExists) {
  FormDialog dialog;
  setDialogsSuppressed(true);
  EXPECT_THROW(dialog.DoModal(), KDialogSuppressException);
  setDialogsSuppressed(false);
  EXPECT_EQ(dialog.initCount, 0);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST_F(KDialogTest, InitDialogExceptionIsReportedAndTheDialogStaysOpen) {
  setOption("catchOnInitDialogException", true);
  struct Case {
    std::function<void()> thrower;
    std::string text;
  } cases[] = {
      {[] { throw std::runtime_error("no units"); }, report("std::runtime_error") + "Details follow: \"no units\""},
      {[] { throw std::runtime_error(""); }, report("std::runtime_error")},
      {[] { throw KTestFault(); }, report("KTestFault")},
  };
  for (const Case& c : cases) {
    shown.clear();
    FormDialog dialog;
    dialog.onInit = c.thrower;
    bool open = false;
    AfxCallAfter([&] {
      open = dialog.IsWindowVisible() != FALSE;
      dialog.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(open);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], c.text);
  }
}

TEST_F(KDialogTest, WithoutTheOptionInitDialogExceptionsPassThrough) {
  setOption("catchOnInitDialogException", false);
  FormDialog dialog;
  dialog.onInit = [] { throw std::runtime_error("no units"); };
  EXPECT_THROW(dialog.DoModal(), std::runtime_error);
  EXPECT_TRUE(shown.empty());
}

TEST_F(KDialogTest, UnitLabelsFollowTheScreenUnitsOption) {
  for (bool us : {true, false}) {
    setOption("screenUnitsUS", us);
    FormDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
    EXPECT_EQ(itemText(dialog, IDC_KUNITLABEL1), us ? "in" : "mm");
    EXPECT_EQ(itemText(dialog, IDC_KUNITLABEL2), us ? "in" : "mm");
    EXPECT_EQ(dialog.GetDlgItem(IDC_KUNITLABEL3), nullptr);
    dialog.DestroyWindow();
  }
}

TEST_F(KDialogTest, ModelessOkTakesTheDataThenDestroysTheWindow) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
  EXPECT_TRUE(dialog.isModeless());
  dialog.SetDlgItemText(IDC_TEST_EDIT, "42");
  dialog.OnOK();
  EXPECT_EQ(dialog.value, 42);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST_F(KDialogTest, ModelessOkKeepsTheWindowWhenTheDataIsRefused) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
  dialog.SetDlgItemText(IDC_TEST_EDIT, "forty-two");
  dialog.OnOK();
  EXPECT_NE(dialog.GetSafeHwnd(), nullptr);
  EXPECT_EQ(shown.size(), 1u);  // the exchange's own message
  dialog.DestroyWindow();
}

TEST_F(KDialogTest, ModelessCancelDestroysTheWindowWithoutTakingTheData) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
  dialog.SetDlgItemText(IDC_TEST_EDIT, "42");
  dialog.OnCancel();
  EXPECT_EQ(dialog.value, -1);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
}

TEST_F(KDialogTest, ModalOkAndCancelEndTheLoop) {
  for (int button : {IDOK, IDCANCEL}) {
    FormDialog dialog;
    AfxCallAfter([&] {
      dialog.SetDlgItemText(IDC_TEST_EDIT, "7");
      button == IDOK ? dialog.OnOK() : dialog.OnCancel();
    });
    EXPECT_EQ(dialog.DoModal(), button);
    EXPECT_FALSE(dialog.isModeless());
    EXPECT_EQ(dialog.value, button == IDOK ? 7 : -1);
  }
}

TEST_F(KDialogTest, ControlHelpersActOnPresentControlsAndIgnoreMissingOnes) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
  dialog.ShowWindow(SW_SHOW);
  CWnd* edit = dialog.GetDlgItem(IDC_TEST_EDIT);
  ASSERT_NE(edit, nullptr);
  dialog.moveControl(IDC_TEST_EDIT, 10, 20, 110, 45);
  CRect rect;
  edit->GetWindowRect(&rect);
  dialog.ScreenToClient(&rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 110);
  EXPECT_EQ(rect.bottom, 45);
  dialog.setReadOnly(IDC_TEST_EDIT, true);
  EXPECT_TRUE(edit->GetStyle() & ES_READONLY);
  dialog.setReadOnly(IDC_TEST_EDIT, false);
  EXPECT_FALSE(edit->GetStyle() & ES_READONLY);
  dialog.enableControl(IDC_TEST_EDIT, false);
  EXPECT_FALSE(edit->IsWindowEnabled());
  dialog.enableControl(IDC_TEST_EDIT, true);
  EXPECT_TRUE(edit->IsWindowEnabled());
  for (int missing : {999, 0xAEF4}) {
    dialog.moveControl(missing, 0, 0, 5, 5);
    dialog.setReadOnly(missing, true);
    dialog.enableControl(missing, false);
  }
  EXPECT_TRUE(shown.empty());
  dialog.DestroyWindow();
}

TEST_F(KDialogTest, BitmapIsShownWithItsFaceColourMappedOrReported) {
  FormDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_TEST_FORM));
  CStatic* picture = static_cast<CStatic*>(dialog.GetDlgItem(IDC_TEST_PICTURE));
  ASSERT_NE(picture, nullptr);
  dialog.setBitmap(IDC_TEST_PICTURE, 5085);  // the product mark of QUELMres
  CBitmap shownBitmap;
  ASSERT_NE(picture->GetBitmap(), nullptr);
  shownBitmap.Attach(picture->GetBitmap());
  EXPECT_EQ(shownBitmap.GetPixel(0, 0), GetSysColor(COLOR_3DFACE));
  shownBitmap.Detach();
  EXPECT_TRUE(shown.empty());
  dialog.setBitmap(IDC_TEST_PICTURE, 4999);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Bitmap resource failed to load!");
  dialog.DestroyWindow();
}

}  // namespace
