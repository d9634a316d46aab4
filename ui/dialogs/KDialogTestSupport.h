// Shared by the dialog tests: the test dialogs' templates, an application
// object that answers the options the dialogs read, and a presenter that
// records message boxes.
#pragma once
#include "containers/options/KOptionBase.h"
#include "core/application/KApplicationAbstract.h"
#include "platform/KMessageBox.h"
#include "platform/KResources.h"
#include "platform/windows/KWindowSystem.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

constexpr UINT IDD_TEST_FORM = 9001;
constexpr UINT IDD_TEST_LIST = 9002;
constexpr int IDC_TEST_EDIT = 100;
constexpr int IDC_TEST_PICTURE = 101;
constexpr int IDC_TEST_LIST = 200;

// Installs the test templates as the program's resources.
void installTestDialogs();

class KOptionsTestApp : public KApplicationAbstract {
 public:
  std::map<std::string, bool> bools;
  bool LookupBoolOption(const KString& name, bool current) override {
    auto it = bools.find(name.str());
    return it == bools.end() ? current : it->second;
  }
};

// Base of the dialog tests: a window system, the test templates, an options
// application (set an option with setOption) and recorded message boxes.
class KDialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void setOption(const char* name, bool value);

  std::vector<std::string> shown;
  KOptionsTestApp app;

 private:
  bool m_bReady = false;
  KApplicationAbstract* m_previousApp = nullptr;
  KMessagePresenter m_previousPresenter;
};
