// Test environment of every program that opens windows (compiled into each
// one). A failed assertion inside the window system fails the running test
// instead of opening a modal report nobody can close, and a message box that
// a test did not ask for fails the test and answers the default button
// instead of waiting for a user. Tests that expect message boxes install their
// own presenter and put this one back afterwards.
#include <gtest/gtest.h>

#include "platform/KMessageBox.h"
#include "platform/windows/KWindowSystem.h"

namespace {
class KGuiTestEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    AfxSetWindowSystemFailureHandler([](const char* what) { ADD_FAILURE() << "window system: " << what; });
    AfxSetMessagePresenter([](const char* text, UINT type) {
      ADD_FAILURE() << "unexpected message box: " << text;
      return AfxDefaultButton(type);
    });
  }
};
[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new KGuiTestEnvironment);
}  // namespace
