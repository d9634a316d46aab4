// For tests that drive a modal dialog: KGuiWhen(condition, then) runs `then`
// on the user-interface thread once `condition` holds, polling from the idle
// loop. After five seconds it gives up, fails the test and runs `then`
// anyway, so that the dialog still ends and nothing waits for a user.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "platform/windows/KWindowSystem.h"

inline void KGuiWhen(std::function<bool()> condition, std::function<void()> then,
                     std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() +
                                                                      std::chrono::seconds(5)) {
  AfxCallAfter([condition, then, deadline] {
    if (condition()) {
      then();
    } else if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "condition not reached";
      then();
    } else {
      KGuiWhen(condition, then, deadline);
    }
  });
}
