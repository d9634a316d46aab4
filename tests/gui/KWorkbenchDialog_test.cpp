// The workbench on a window system, driven from AfxCallAfter callbacks while
// it runs: the entry field in unit sets, the unit label, the object-file
// browser with its Open and Save copy dialogs, the options list, the
// placement kept in the registry store, and --close-after.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "containers/options/KLibraryOptions.h"
#include "host/KWorkbenchDialog.h"
#include "host/KWorkbenchTemplate.h"
#include "platform/KMessageBox.h"
#include "platform/windows/KWindowSystem.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"
#include "tests/host/KWorkbenchTestSupport.h"
#include "tests/support/KGuiWhen.h"
#include "tests/support/KScratchFolder.h"
#include "ui/filedialogs/KFileDialog.h"

namespace {
class KWorkbenchDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(m_folder.path().empty());
    setenv("QUELM_REGISTRY_DIR", m_folder.path().c_str(), 1);
    ASSERT_TRUE(AfxWindowSystemAvailable());
    m_previous = AfxSetMessagePresenter([this](const char* text, UINT type) {
      m_shown.push_back(text);
      return AfxDefaultButton(type);
    });
    KTextPersistance out(m_sample.c_str(), true, 1);
    writeWorkbenchSample(out);
  }
  void TearDown() override {
    AfxSetMessagePresenter(m_previous);
    unsetenv("QUELM_REGISTRY_DIR");
  }

  // Runs the workbench; `steps` run one after another once it is shown, and
  // the last ends it with its Close button.
  INT_PTR run(KWorkbenchDialog& dialog, std::vector<std::function<void()>> steps) {
    steps.push_back([&dialog] { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    queue(std::move(steps), 0);
    return dialog.DoModal();
  }
  static void queue(std::vector<std::function<void()>> steps, size_t at) {
    if (at == steps.size()) return;
    AfxCallAfter([steps = std::move(steps), at]() mutable {
      steps[at]();
      queue(std::move(steps), at + 1);
    });
  }
  // Chooses `path` in the file dialog the workbench opens next, with filter
  // `filterIndex` when it is not 0.
  static void chooseInFileDialog(KWorkbenchDialog& dialog, std::string path, DWORD filterIndex = 0) {
    KGuiWhen([&dialog] { return dialog.runningFileDialog() && dialog.runningFileDialog()->IsRunning(); },
         [&dialog, path, filterIndex] {
           KFileDialog* files = dialog.runningFileDialog();
           if (!files) return;
           if (filterIndex) files->SetSelectedFilter(filterIndex);
           files->SetControlText(cmb13, path.c_str());
           files->EndDialog(IDOK);
         });
  }
  static std::string text(CWnd& dialog, int id) {
    KString s;
    dialog.GetDlgItemText(id, s);
    return s.GetString();
  }

  KScratchFolder m_folder{"workbench-gui"};
  std::string m_sample = m_folder.file("sample.txt");
  KWorkbenchTestApp m_app;
  std::vector<std::string> m_shown;

 private:
  KMessagePresenter m_previous;
};
}  // namespace

TEST_F(KWorkbenchDialogTest, EntryShowsTheValueInTheCurrentSetAndInScreenUnits) {
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  std::string initial, metres, screen, label, inches, refused, kept;
  run(dialog, {[&] {
                 initial = text(dialog, IDC_WB_UNITS);
                 dialog.SetDlgItemText(IDC_WB_ENTRY, "1 ft + 2 in");
                 dialog.evaluateEntry();
                 metres = text(dialog, IDC_WB_VALUE);
                 screen = text(dialog, IDC_WB_SCREENVALUE);
                 label = text(dialog, IDC_KUNITLABEL1);
               },
               [&] {
                 dialog.SetDlgItemText(IDC_WB_UNITS, " lbf,in,lb,s,F ");
                 dialog.applyUnits();
                 inches = text(dialog, IDC_WB_VALUE);
               },
               [&] {
                 dialog.SetDlgItemText(IDC_WB_ENTRY, "2*furlong");
                 dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WB_EVALUATE, BN_CLICKED), 0);
                 refused = text(dialog, IDC_WB_MESSAGE);
                 dialog.SetDlgItemText(IDC_WB_UNITS, "N,furlong,kg,s,C");
                 dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WB_APPLYUNITS, BN_CLICKED), 0);
                 kept = text(dialog, IDC_WB_VALUE) + " / " + text(dialog, IDC_WB_UNITS);
               }});
  EXPECT_EQ(initial, "N,m,kg,s,C");
  EXPECT_EQ(metres, "0.3556 m");
  EXPECT_EQ(screen, "355.6");
  EXPECT_EQ(label, "mm");
  EXPECT_EQ(inches, "14 in");
  EXPECT_NE(refused.find("furlong"), std::string::npos) << refused;
  EXPECT_EQ(kept, "14 in / N,furlong,kg,s,C");
  EXPECT_STREQ(m_app.m_units.m_lengthShortStr, "in");
}

TEST_F(KWorkbenchDialogTest, EnterAppliesTheFieldItIsTypedIn) {
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  std::string value, afterUnits;
  bool open = false;
  run(dialog, {[&] {
                 dialog.SetDlgItemText(IDC_WB_ENTRY, "3*m");
                 dialog.GetDlgItem(IDC_WB_ENTRY)->SetFocus();
                 dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                 value = text(dialog, IDC_WB_VALUE);
               },
               [&] {
                 dialog.SetDlgItemText(IDC_WB_UNITS, "N,mm,kg,s,C");
                 dialog.GetDlgItem(IDC_WB_UNITS)->SetFocus();
                 dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                 afterUnits = text(dialog, IDC_WB_VALUE);
                 open = dialog.IsWindowVisible();
               }});
  EXPECT_EQ(value, "3 m");
  EXPECT_EQ(afterUnits, "3E3 mm");  // the same length, read again in the new set
  EXPECT_TRUE(open);
}

TEST_F(KWorkbenchDialogTest, UnitLabelFollowsScreenUnitsUS) {
  m_app.m_options.setBoolean("screenUnitsUS", true, false, false);
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  std::string label, screen, optionValue, optionModified, otherModified;
  run(dialog, {[&] {
    label = text(dialog, IDC_KUNITLABEL1);
    screen = text(dialog, IDC_WB_SCREENVALUE);  // the initial entry, 1 ft + 2 in
    KListCtrl& options = dialog.optionList();
    for (int i = 0; i < options.GetItemCount(); ++i) {
      if (options.GetItemText(i, 0) == "screenUnitsUS") {
        optionValue = options.GetItemText(i, 2).GetString();
        optionModified = options.GetItemText(i, 3).GetString();
      } else if (options.GetItemText(i, 0) == "exprDebug") {
        otherModified = options.GetItemText(i, 3).GetString();
      }
    }
  }});
  EXPECT_EQ(label, "in");
  EXPECT_EQ(screen, "14");
  EXPECT_EQ(optionValue, "true");
  EXPECT_EQ(optionModified, "modified");
  EXPECT_EQ(otherModified, "");
  m_app.m_options.setBoolean("screenUnitsUS", false, false, false);
  screenUnitsUSOption().value();  // the cached option outlives this test's store
}

TEST_F(KWorkbenchDialogTest, BrowsingListsObjectsWithAutoSizedColumns) {
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  dialog.setOpenPath(m_sample.c_str());
  int rows = -1, widthName = 0, widthValues = 0;
  std::string first, nested, fileLine, afterBadOpen;
  bool saveEnabled = false;
  run(dialog, {[&] {
                 KListCtrl& list = dialog.objectList();
                 rows = list.GetItemCount();
                 first = (list.GetItemText(0, 0) + "|" + list.GetItemText(0, 1) + "|" + list.GetItemText(0, 2)).GetString();
                 nested = (list.GetItemText(4, 0) + "|" + list.GetItemText(4, 3)).GetString();
                 widthName = list.getColumnWidth(1);
                 widthValues = list.getColumnWidth(3);
                 fileLine = text(dialog, IDC_WB_FILE);
                 saveEnabled = dialog.GetDlgItem(IDC_WB_SAVECOPY)->IsWindowEnabled();
               },
               [&] {
                 m_folder.write("bad.qob", "no object file");
                 chooseInFileDialog(dialog, m_folder.file("bad.qob"));
                 dialog.chooseAndOpen();
                 afterBadOpen = std::to_string(dialog.objectList().GetItemCount()) + " " + text(dialog, IDC_WB_FILE);
               }});
  EXPECT_EQ(rows, 7);
  EXPECT_EQ(first, "Model|beam|object");
  EXPECT_EQ(nested, "        integer|-4");  // two levels down
  EXPECT_GT(widthName, 0);
  // The values column fits its longest text, wider than its header.
  EXPECT_GT(widthValues, widthName);
  EXPECT_EQ(fileLine, m_sample + " (text form, 3 objects)");
  EXPECT_TRUE(saveEnabled);
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_NE(m_shown[0].find("cannot read"), std::string::npos) << m_shown[0];
  EXPECT_EQ(afterBadOpen.substr(0, 2), "7 ");
  EXPECT_NE(afterBadOpen.find("bad.qob"), std::string::npos);
}

TEST_F(KWorkbenchDialogTest, OpenAndSaveACopyInTheOtherFormThroughTheFileDialogs) {
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  const std::string copy = m_folder.file("copy.qob");
  int rows = -1;
  bool saveDisabledFirst = false;
  run(dialog, {[&] {
                 saveDisabledFirst = !dialog.GetDlgItem(IDC_WB_SAVECOPY)->IsWindowEnabled();
                 chooseInFileDialog(dialog, m_sample);
                 dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WB_OPEN, BN_CLICKED), 0);
                 rows = dialog.objectList().GetItemCount();
               },
               [&] {
                 // The binary type is the second filter; the name has no extension yet.
                 chooseInFileDialog(dialog, m_folder.file("copy"), 2);
                 dialog.chooseAndSaveCopy();
               }});
  EXPECT_TRUE(saveDisabledFirst);
  EXPECT_EQ(rows, 7);
  EXPECT_TRUE(m_shown.empty()) << m_shown[0];
  KObjectFileBrowser original, saved;
  KString error;
  ASSERT_FALSE(original.open(m_sample.c_str(), error));
  ASSERT_FALSE(saved.open(copy.c_str(), error)) << error.GetString();
  EXPECT_FALSE(saved.isText());
  ASSERT_EQ(saved.rows().size(), original.rows().size());
  for (size_t i = 0; i < saved.rows().size(); ++i) {
    EXPECT_EQ(saved.rows()[i].name, original.rows()[i].name) << i;
    EXPECT_EQ(saved.rows()[i].values, original.rows()[i].values) << i;
  }
}

TEST_F(KWorkbenchDialogTest, PlacementSurvivesACloseAndReopen) {
  CRect moved(150, 110, 0, 0), reopened;
  {
    KWorkbenchDialog dialog(m_app, m_app.m_units);
    run(dialog, {[&] {
      CRect r;
      dialog.GetWindowRect(&r);
      moved.right = moved.left + r.Width();
      moved.bottom = moved.top + r.Height();
      dialog.MoveWindow(&moved);
    }});
  }
  {
    KWorkbenchDialog dialog(m_app, m_app.m_units);
    run(dialog, {[&] { dialog.GetWindowRect(&reopened); }});
  }
  EXPECT_EQ(reopened.left, moved.left);
  EXPECT_EQ(reopened.top, moved.top);
  EXPECT_EQ(reopened.Width(), moved.Width());
  EXPECT_EQ(reopened.Height(), moved.Height());
}

TEST_F(KWorkbenchDialogTest, CloseAfterEndsTheDialogByItself) {
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  dialog.setCloseAfter(1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 0.9);
  EXPECT_LT(seconds, 10.0);
}

TEST_F(KWorkbenchDialogTest, AFileGivenAtStartThatCannotBeReadIsReportedWithoutAMessageBox) {
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  dialog.setOpenPath(m_folder.file("missing.qob").c_str());
  dialog.setCloseAfter(1);
  std::string fileLine;
  AfxCallAfter([&] { fileLine = text(dialog, IDC_WB_FILE); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(m_shown.empty());
  EXPECT_NE(fileLine.find("cannot read " + m_folder.file("missing.qob")), std::string::npos) << fileLine;
  EXPECT_FALSE(dialog.browser().isOpen());
}

TEST_F(KWorkbenchDialogTest, CloseAfterCancelsAFileDialogFirst) {
  KWorkbenchDialog dialog(m_app, m_app.m_units);
  dialog.setCloseAfter(1);
  AfxCallAfter([&dialog] { dialog.chooseAndOpen(); });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.runningFileDialog(), nullptr);
  EXPECT_EQ(dialog.objectList().m_hWnd, nullptr);
}
