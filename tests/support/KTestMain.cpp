// Test entry point: every test program runs against a registry store in a
// fresh temporary folder, never the user's own settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
  char dir[] = "/tmp/quelm-test-XXXXXX";
  if (mkdtemp(dir)) setenv("QUELM_REGISTRY_DIR", dir, 1);
  testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  std::string cmd = std::string("rm -rf '") + dir + "'";
  if (system(cmd.c_str()) != 0) rc = rc ? rc : 0;
  return rc;
}
