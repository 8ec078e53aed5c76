// Test entry point. Every test process starts from the same environment, whatever the caller's
// holds: its own empty user and common data folders, its own home, configuration and temporary
// folders, no other KELVARO_* variable, no print server, no pinned clock and UTC. The commands
// tests run inherit it. A test that needs one of these otherwise sets it itself.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_env.h"

extern char** environ;

namespace {

// Names of the KELVARO_* variables in the environment. KELVARO_UPDATE_GOLDEN is kept: it asks
// the golden-file tests to write new golden files and is the caller's choice to make.
std::vector<std::string> ProgramVariables() {
  std::vector<std::string> names;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    if (name.rfind("KELVARO_", 0) == 0 && name != "KELVARO_UPDATE_GOLDEN") names.push_back(name);
  }
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  // A temporary folder that is not there would stop every test before it starts.
  std::error_code ec;
  if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && !fs::is_directory(tmp, ec)) {
    unsetenv("TMPDIR");
  }
  static kelvaro::testing::TempDir process_dir;
  const fs::path root = process_dir.path();
  for (const char* folder : {"home", "config", "tmp"}) fs::create_directories(root / folder);

  for (const std::string& name : ProgramVariables()) unsetenv(name.c_str());
  setenv("KELVARO_USER_DIR", (root / "user").c_str(), 1);
  setenv("KELVARO_COMMON_DIR", (root / "common").c_str(), 1);
  setenv("HOME", (root / "home").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  setenv("TMPDIR", (root / "tmp").c_str(), 1);
  // A socket nobody listens on: no test reaches a print server it did not start itself.
  setenv("CUPS_SERVER", (root / "no-print-server.sock").c_str(), 1);
  unsetenv("SOURCE_DATE_EPOCH");
  setenv("TZ", "UTC", 1);
  tzset();
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
