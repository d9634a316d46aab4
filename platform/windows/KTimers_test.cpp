// Window timers: ticks arrive as WM_TIMER with their identifier, a timer
// killed from its own tick stops, and a window's timers end with it.
#include "platform/windows/CDialog.h"
#include "platform/windows/KWindowSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {
const KDialogTemplate kTimerTemplate = {1, "Timers", WS_POPUP | WS_CAPTION, 100, 50, nullptr, 0, nullptr, 0};

// Counts its ticks per identifier; kills timer 2 at its second tick.
class KTickingDialog : public CDialog {
 public:
  std::vector<UINT_PTR> ticks;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER) {
      ticks.push_back(wParam);
      if (wParam == 2 && std::count(ticks.begin(), ticks.end(), 2) == 2) KillTimer(2);
      return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
  }
};

// Handles events for `ms` milliseconds.
void pumpFor(int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    AfxPumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}
}  // namespace

TEST(KTimersTest, TicksArriveUntilKilledEvenFromTheirOwnTick) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  KTickingDialog dlg;
  EXPECT_EQ(dlg.SetTimer(7, 20), 0u) << "no window yet";
  ASSERT_TRUE(dlg.CreateIndirect(&kTimerTemplate));
  EXPECT_EQ(dlg.SetTimer(2, 10), 2u);
  EXPECT_EQ(dlg.SetTimer(7, 1000, reinterpret_cast<void*>(&pumpFor)), 0u) << "callbacks are not supported";
  pumpFor(300);
  EXPECT_EQ(std::count(dlg.ticks.begin(), dlg.ticks.end(), 2), 2);
  EXPECT_FALSE(dlg.KillTimer(2)) << "already killed";
  EXPECT_EQ(dlg.SetTimer(7, 10), 7u);
  pumpFor(100);
  EXPECT_GE(std::count(dlg.ticks.begin(), dlg.ticks.end(), 7), 1);
  EXPECT_TRUE(dlg.KillTimer(7));
  const size_t seen = dlg.ticks.size();
  pumpFor(60);
  EXPECT_EQ(dlg.ticks.size(), seen);
  dlg.DestroyWindow();
  AfxPumpMessages();
}

TEST(KTimersTest, TimersEndWithTheirWindow) {
  ASSERT_TRUE(AfxWindowSystemAvailable());
  KTickingDialog first;
  ASSERT_TRUE(first.CreateIndirect(&kTimerTemplate));
  first.SetTimer(5, 10);
  first.DestroyWindow();
  KTickingDialog second;
  ASSERT_TRUE(second.CreateIndirect(&kTimerTemplate));
  pumpFor(80);
  EXPECT_TRUE(first.ticks.empty());
  EXPECT_TRUE(second.ticks.empty());
  EXPECT_FALSE(second.KillTimer(5));
  second.DestroyWindow();
  AfxPumpMessages();
}
