// The suite does not depend on its caller's environment: a test binary run with odd values in
// every variable the program or the tests read still passes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

TEST(OddEnvironmentTest, TestsPassWhateverTheCallerSet) {
  testing::TempDir dir;
  const std::string odd = (dir.path() / "not here").string();
  const std::string environment = "KELVARO_PROGRAM_DIR='" + odd + "' KELVARO_USER_DIR='" + odd +
                                  "' KELVARO_COMMON_DIR='" + odd + "' KELVARO_SYSFS_USB_ROOT='" +
                                  odd + "' KELVARO_SHAPE_LIBRARY=x XDG_CONFIG_HOME='" + odd +
                                  "' HOME='" + odd + "' TMPDIR='" + odd + "' CUPS_SERVER='" + odd +
                                  "/cups.sock' SOURCE_DATE_EPOCH=12 TZ=Pacific/Kiritimati";
  // The command-line tests run the program itself, so they see the environment twice over.
  for (const char* binary : {"kelvaro_cli_tests", "kelvaro_settings_tests"}) {
    SCOPED_TRACE(binary);
    const fs::path log = dir.path() / (std::string(binary) + ".log");
    const testing::CommandResult result = testing::RunCommand(
        "env " + environment + " '" + (testing::KelvaroBinary().parent_path() / binary).string() +
        "' >'" + log.string() + "' 2>&1");
    const std::string output = testing::ReadFileBytes(log);
    EXPECT_EQ(result.status, 0) << output.substr(output.size() > 4000 ? output.size() - 4000 : 0);
    EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos);
  }
}

}  // namespace
}  // namespace kelvaro
