// `kelvaro settings save FILE` and `kelvaro settings load FILE`: the window's Save Settings and
// Load Settings on the stored settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::ReadFileBytes;

class SettingsFileCliTest : public ::testing::Test {
 protected:
  testing::CommandResult Kelvaro(const std::string& args) {
    return testing::RunCommand("cd '" + dir_.path().string() +
                               "' && KELVARO_USER_DIR=user KELVARO_COMMON_DIR=common " +
                               "KELVARO_SYSFS_USB_ROOT=no-usb '" +
                               testing::KelvaroBinary().string() + "' " + args + " 2>/dev/null");
  }
  std::string Stored(const std::string& key) {
    return Kelvaro("settings get Active '" + key + "'").out;
  }
  testing::TempDir dir_;
};

TEST_F(SettingsFileCliTest, SavedSettingsComeBackWithLoad) {
  ASSERT_EQ(Kelvaro("settings set Active 'White Mask %' 70").status, 0);
  ASSERT_EQ(Kelvaro("settings set Active 'Left Margin' 2000").status, 0);
  ASSERT_EQ(Kelvaro("settings save look.qvcfg").status, 0);
  const std::string saved = ReadFileBytes(dir_.path() / "look.qvcfg");
  EXPECT_THAT(saved, HasSubstr("White Mask %=70%\r\n"));
  EXPECT_THAT(saved, HasSubstr("Left Margin=2000\r\n"));

  ASSERT_EQ(Kelvaro("settings set Active 'White Mask %' 90").status, 0);
  ASSERT_EQ(Kelvaro("settings set Active 'Left Margin' 1296").status, 0);
  ASSERT_EQ(Kelvaro("settings load look.qvcfg").status, 0);
  EXPECT_EQ(Stored("White Mask %"), "70\n");
  EXPECT_EQ(Stored("Left Margin"), "2000\n");
  EXPECT_EQ(Stored("PaperSize"), "A4\n");

  // A file that is not there changes nothing.
  const std::string before = ReadFileBytes(dir_.path() / "user" / "KelvaroPro.ini");
  EXPECT_EQ(Kelvaro("settings load missing.qvcfg").status, 1);
  EXPECT_EQ(ReadFileBytes(dir_.path() / "user" / "KelvaroPro.ini"), before);
}

}  // namespace
}  // namespace kelvaro
