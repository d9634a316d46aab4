#include "platform/windows/CDialog.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/KMessageBox.h"
#include "platform/KResources.h"
#include "platform/windows/CStdControls.h"
#include "platform/windows/KWindowSystem.h"

namespace {
constexpr UINT kEdit = 1001, kCheck = 1002, kLabel = 0xAEF2, kUnknownId = 4242;

const KDialogItemTemplate kItems[] = {
    {"Static", IDC_STATIC, WS_CHILD | WS_VISIBLE, 7, 7, 60, 10, "Value:"},
    {"Edit", kEdit, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 70, 7, 60, 12, "12"},
    {"Static", kLabel, WS_CHILD | WS_VISIBLE, 135, 7, 20, 10, "??"},
    {"Button", kCheck, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 7, 25, 80, 10, "Check"},
    {"Button", IDOK, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 50, 45, 50, 14, "OK"},
    {"Button", IDCANCEL, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 105, 45, 50, 14, "Cancel"},
};
const KDialogItemTemplate kBadItems[] = {{"ComboBox", 5, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, nullptr}};
const KDialogTemplate kDialogs[] = {
    {9001, "Test dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 160, 65, kItems, 6, nullptr, 0},
    {9002, "Modeless", WS_POPUP | WS_CAPTION | WS_VISIBLE, 160, 65, kItems, 6, nullptr, 0},
    {9003, "Unknown class", WS_POPUP | WS_CAPTION, 60, 30, kBadItems, 1, nullptr, 0},
};
const KModuleResources kResources = {kDialogs, 3, nullptr, 0, nullptr, 0};

class ValueDialog : public CDialog {
 public:
  explicit ValueDialog(UINT id = 9001) : CDialog(id) {}
  int m_value = 5;
  int m_check = BST_CHECKED;
  int m_inits = 0;
  int m_destroyed = 0;
  BOOL OnInitDialog() override {
    ++m_inits;
    return CDialog::OnInitDialog();
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, kEdit, m_value);
    DDX_Check(pDX, kCheck, m_check);
  }
  void PostNcDestroy() override { ++m_destroyed; }
};

class CDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxWindowSystemAvailable());
    AfxSetProgramResources(&kResources);
  }
  void TearDown() override { AfxSetProgramResources(nullptr); }
};

std::string textOf(CWnd* w) {
  KString t;
  if (w) w->GetWindowText(t);
  return std::string(static_cast<const char*>(t));
}

std::string classOf(HWND h) {
  char name[32] = "";
  GetClassName(h, name, sizeof name);
  return name;
}
}  // namespace

TEST_F(CDialogTest, ModalDialogShowsItsTemplateAndEndsWithTheResultGiven) {
  ValueDialog dlg;
  bool inspected = false;
  ASSERT_FALSE(AfxCallAfter([&] {
    inspected = true;
    EXPECT_TRUE(dlg.IsModal());
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(classOf(dlg.m_hWnd), "#32770");
    EXPECT_EQ(dlg.GetStyle() & (WS_POPUP | WS_VISIBLE), WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(textOf(dlg.GetDlgItem(kEdit)), "5");  // OnInitDialog put the member in
    EXPECT_EQ(classOf(::GetDlgItem(dlg.m_hWnd, kEdit)), "Edit");
    EXPECT_EQ(classOf(::GetDlgItem(dlg.m_hWnd, kCheck)), "Button");
    EXPECT_EQ(classOf(::GetDlgItem(dlg.m_hWnd, kLabel)), "Static");
    EXPECT_EQ(::GetParent(::GetDlgItem(dlg.m_hWnd, kEdit)), dlg.m_hWnd);
    EXPECT_EQ(dlg.GetDlgItem(kUnknownId), nullptr);
    dlg.EndDialog(77);
  }));
  EXPECT_EQ(dlg.DoModal(), 77);
  EXPECT_TRUE(inspected);
  EXPECT_EQ(dlg.m_inits, 1);
  EXPECT_EQ(dlg.m_destroyed, 1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(CDialogTest, OkTakesTheControlsIntoTheMembers) {
  ValueDialog dlg;
  AfxCallAfter([&] {
    dlg.SetDlgItemText(kEdit, " 42 ");
    ::SendMessage(::GetDlgItem(dlg.m_hWnd, kCheck), BM_SETCHECK, BST_UNCHECKED);
    ::SendMessage(::GetDlgItem(dlg.m_hWnd, IDOK), BM_CLICK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_value, 42);
  EXPECT_EQ(dlg.m_check, BST_UNCHECKED);
}

TEST_F(CDialogTest, OkWithTextThatIsNoNumberKeepsTheDialogOpen) {
  std::string shown;
  KMessagePresenter old = AfxSetMessagePresenter([&](const char* text, UINT) {
    shown = text;
    return IDOK;
  });
  ValueDialog dlg;
  AfxCallAfter([&] {
    dlg.SetDlgItemText(kEdit, "12abc");
    dlg.OnOK();
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.SetDlgItemText(kEdit, "");
    dlg.OnOK();
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.OnCancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  AfxSetMessagePresenter(old);
  EXPECT_EQ(shown, "Please enter an integer.");
  EXPECT_EQ(dlg.m_value, 5);
}

TEST_F(CDialogTest, ClosingTheDialogCancelsIt) {
  ValueDialog dlg;
  AfxCallAfter([&] { dlg.SendMessage(WM_CLOSE); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(CDialogTest, EndingDuringInitialisationNeverRunsTheLoop) {
  struct Quick : ValueDialog {
    BOOL OnInitDialog() override {
      EndDialog(IDABORT);
      return TRUE;
    }
  } dlg;
  EXPECT_EQ(dlg.DoModal(), IDABORT);
}

TEST_F(CDialogTest, MissingOrUnbuildableTemplatesAnswerMinusOne) {
  ValueDialog missing(12345);
  EXPECT_EQ(missing.DoModal(), -1);
  ValueDialog bad(9003);
  EXPECT_EQ(bad.DoModal(), -1);
  EXPECT_EQ(bad.m_inits, 0);
  EXPECT_EQ(bad.m_hWnd, nullptr);
}

// A derived dialog guards the base processing of WM_INITDIALOG, the way the
// library's dialogs report exceptions from OnInitDialog and carry on.
TEST_F(CDialogTest, DerivedWindowProcCanGuardInitialisation) {
  struct Throwing : ValueDialog {
    std::string caught;
    BOOL OnInitDialog() override { throw std::runtime_error("no data"); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (message != WM_INITDIALOG) return CDialog::WindowProc(message, wParam, lParam);
      try {
        return CDialog::WindowProc(message, wParam, lParam);
      } catch (const std::exception& e) {
        caught = e.what();
        return TRUE;
      }
    }
  } dlg;
  AfxCallAfter([&] {
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.caught, "no data");
}

TEST_F(CDialogTest, ModelessDialogLivesUntilDestroyed) {
  ValueDialog dlg(9002);
  ASSERT_TRUE(dlg.Create(9002));
  EXPECT_FALSE(dlg.Create(9002));  // one window per object
  HWND h = dlg.m_hWnd;
  HWND edit = ::GetDlgItem(h, kEdit);
  EXPECT_TRUE(dlg.IsWindowVisible());
  EXPECT_FALSE(dlg.IsModal());
  EXPECT_EQ(dlg.m_inits, 1);
  dlg.EndDialog(IDOK);  // modeless: only hides
  EXPECT_FALSE(dlg.IsWindowVisible());
  EXPECT_TRUE(IsWindow(h));
  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.m_destroyed, 1);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(IsWindow(edit));
  AfxPumpMessages();
  EXPECT_FALSE(dlg.DestroyWindow());
}

TEST_F(CDialogTest, DestroyingTheObjectDestroysItsModelessWindow) {
  HWND h = nullptr;
  {
    ValueDialog dlg(9002);
    ASSERT_TRUE(dlg.Create(9002));
    h = dlg.m_hWnd;
  }
  EXPECT_FALSE(IsWindow(h));
  AfxPumpMessages();
}

TEST_F(CDialogTest, SubclassedControlIsTheOneFoundAndGoesBackWhenReleased) {
  ValueDialog dlg(9002);
  ASSERT_TRUE(dlg.Create(9002));
  HWND edit = ::GetDlgItem(dlg.m_hWnd, kEdit);
  {
    CEdit mine;
    ASSERT_TRUE(mine.SubclassDlgItem(kEdit, &dlg));
    EXPECT_EQ(dlg.GetDlgItem(kEdit), &mine);
    EXPECT_EQ(CWnd::FromHandle(edit), &mine);
    CEdit other;
    EXPECT_FALSE(other.SubclassDlgItem(kEdit, &dlg));
  }
  CWnd* back = CWnd::FromHandle(edit);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->m_hWnd, edit);
  EXPECT_EQ(back->GetDlgCtrlID(), int(kEdit));
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST_F(CDialogTest, ControlIdentifiersAbove32767WorkBothWays) {
  ValueDialog dlg(9002);
  ASSERT_TRUE(dlg.Create(9002));
  CWnd* label = dlg.GetDlgItem(0xAEF2);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetDlgCtrlID(), 0xAEF2);
  EXPECT_EQ(GetWindowLong(label->m_hWnd, GWL_ID), 0xAEF2);
  label->SetWindowText("mm");
  EXPECT_EQ(textOf(label), "mm");
  EXPECT_EQ(dlg.GetDlgItem(0xAEF3), nullptr);
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST_F(CDialogTest, StylesFollowEnablingAndShowing) {
  ValueDialog dlg(9002);
  ASSERT_TRUE(dlg.Create(9002));
  CWnd* edit = dlg.GetDlgItem(kEdit);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetStyle() & (WS_CHILD | WS_VISIBLE | WS_DISABLED), WS_CHILD | WS_VISIBLE);
  EXPECT_FALSE(edit->EnableWindow(FALSE));
  EXPECT_TRUE(edit->GetStyle() & WS_DISABLED);
  EXPECT_FALSE(IsWindowEnabled(edit->m_hWnd));
  EXPECT_TRUE(edit->EnableWindow(TRUE));
  edit->ShowWindow(SW_HIDE);
  EXPECT_FALSE(edit->GetStyle() & WS_VISIBLE);
  edit->ShowWindow(SW_SHOW);
  dlg.ShowWindow(SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(edit->m_hWnd));  // a hidden parent hides its children
  EXPECT_EQ(::SendMessage(edit->m_hWnd, EM_SETREADONLY, TRUE), TRUE);
  EXPECT_TRUE(edit->GetStyle() & ES_READONLY);
  dlg.DestroyWindow();
  AfxPumpMessages();
}
