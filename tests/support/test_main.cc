// Test entry point. Every test process gets its own empty user and common data folders
// through the environment, so no test ever reads or writes the real user's settings.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/test_env.h"

int main(int argc, char** argv) {
  static kelvaro::testing::TempDir process_dir;
  setenv("KELVARO_USER_DIR", (process_dir.path() / "user").c_str(), 1);
  setenv("KELVARO_COMMON_DIR", (process_dir.path() / "common").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
