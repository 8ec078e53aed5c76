// `kelvaro watch --once` on a temporary hot folder: the job of the same bytes `kelvaro print`
// writes, the picture filed into printed/, what is no picture into failed/ with its reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

TEST(WatchCommand, OncePrintsWhatIsThereAndFilesItAway) {
  testing::TempDir dir;
  const fs::path in = dir.path() / "in";
  fs::create_directories(in);
  fs::create_directories(dir.path() / "out");
  fs::copy_file(testing::SampleArtwork(), in / "shirt.png");
  testing::WriteFileBytes(in / "notes.doc", "not a picture");
  testing::WriteFileBytes(in / ".hidden.png", "skipped");
  const std::string env =
      "cd " + Quoted(dir.path()) +
      " && SOURCE_DATE_EPOCH=1700000000 KELVARO_USER_DIR=" + Quoted(dir.path() / "user") +
      " KELVARO_COMMON_DIR=" + Quoted(dir.path() / "common") +
      " KELVARO_SYSFS_USB_ROOT=" + Quoted(dir.path() / "no-usb") + " " +
      Quoted(testing::KelvaroBinary());
  const testing::CommandResult watch =
      testing::RunCommand(env + " watch in --output-dir out --once --settle 0 2>/dev/null");
  EXPECT_EQ(watch.status, 1);  // one file failed
  EXPECT_THAT(watch.out, HasSubstr("shirt.png\tprinted\tout/shirt.ps\t"));
  EXPECT_EQ(testing::ReadFileBytes(in / "printed" / "shirt.png"),
            testing::ReadFileBytes(testing::SampleArtwork()));
  EXPECT_EQ(testing::ReadFileBytes(in / "failed" / "notes.doc"), "not a picture");
  EXPECT_THAT(testing::ReadFileBytes(in / "failed" / "notes.doc.txt"), HasSubstr("no picture"));
  EXPECT_TRUE(fs::exists(in / ".hidden.png"));

  const testing::CommandResult print = testing::RunCommand(
      env + " print " + Quoted(in / "printed" / "shirt.png") + " --output same.ps 2>/dev/null");
  ASSERT_EQ(print.status, 0);
  EXPECT_EQ(testing::ReadFileBytes(dir.path() / "out" / "shirt.ps"),
            testing::ReadFileBytes(dir.path() / "same.ps"));
}

}  // namespace
}  // namespace kelvaro
