// Test entry point: every test program runs against a registry store in a
// fresh temporary folder, never the user's own settings.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/KScratchFolder.h"

int main(int argc, char** argv) {
  KScratchFolder registry("test");
  if (!registry.path().empty()) setenv("QUELM_REGISTRY_DIR", registry.path().c_str(), 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
