// The Debian package: made by cpack from the build, unpacked into a scratch root, run there.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/data_folders.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

TEST(PackageTest, DebianPackageUnpacksAndRunsFromAScratchRoot) {
  if (testing::RunCommand("command -v cpack dpkg-deb >/dev/null").status != 0) {
    GTEST_SKIP() << "cpack or dpkg-deb is not installed";
  }
  testing::TempDir scratch;
  const fs::path build = fs::path(KELVARO_BUILD_BIN_DIR).parent_path();
  const fs::path packages = scratch.path() / "packages";
  const testing::CommandResult made = testing::RunCommand(
      "cd '" + build.string() + "' && cpack -G DEB -B '" + packages.string() + "' 2>&1");
  ASSERT_EQ(made.status, 0) << made.out;
  const fs::path deb = packages / ("kelvaropro_" + ProgramVersion() + "_amd64.deb");
  ASSERT_TRUE(fs::exists(deb)) << made.out;

  const testing::CommandResult depends =
      testing::RunCommand("dpkg-deb -f '" + deb.string() + "' Depends");
  for (const char* library : {"libcups2", "liblcms2-2", "libdevil1c2", "libqt6widgets6"}) {
    EXPECT_NE(depends.out.find(library), std::string::npos) << depends.out;
  }

  const fs::path root = scratch.path() / "root";
  ASSERT_EQ(testing::RunCommand("dpkg -x '" + deb.string() + "' '" + root.string() + "'").status,
            0);
  const testing::CommandResult version = testing::RunCommand(
      "env -u KELVARO_PROGRAM_DIR '" + (root / "usr/bin/kelvaro").string() + "' --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "kelvaro " + ProgramVersion() + "\n");
  EXPECT_TRUE(fs::exists(root / "usr/bin/kelvaropro"));
  EXPECT_TRUE(fs::exists(root / "usr/share/kelvaropro/shape.lib"));
  EXPECT_TRUE(fs::exists(root / "usr/share/icons/hicolor/scalable/apps/kelvaropro.svg"));
  // The hot folder's user unit, where the user's service manager finds it, naming the
  // program where the package put it.
  const std::string unit =
      testing::ReadFileBytes(root / "usr/lib/systemd/user/kelvaro-watch@.service");
  EXPECT_NE(unit.find("' /usr/bin/kelvaro\n"), std::string::npos) << unit;
  const std::string desktop =
      testing::ReadFileBytes(root / "usr/share/applications/kelvaropro.desktop");
  EXPECT_NE(desktop.find("MimeType=image/png;image/jpeg;image/gif;image/tiff;image/bmp;"
                         "image/vnd.adobe.photoshop;"),
            std::string::npos);
}

}  // namespace
}  // namespace kelvaro
