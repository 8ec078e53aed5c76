#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings/recent_files.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr uid_t kNobody = 65534;

TEST(RecentFilesUnreadableTest, ListThatCannotBeReadIsNotReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a user who cannot read his own file";
  TempDir dir;
  fs::permissions(dir.path(), fs::perms::all);
  RecentFiles files;
  for (int i = 0; i < 5; ++i) files.slots[i] = "/pictures/p" + std::to_string(i) + ".png";
  const std::string stored = FormatRecentFiles(files);
  const fs::path file = RecentFilesPath(dir.path());
  WriteFileBytes(file, stored);
  // His own file, which he may write but not read.
  ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(file.c_str(), 0200), 0);

  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      ::_exit(255);
    }
    const RecentFilesUpdate update = UpdateRecentFiles(dir.path(), "/pictures/new.png");
    ::_exit(update.write.ok ? 0 : update.write.error_code);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 255) << "could not act as another user";
  EXPECT_EQ(WEXITSTATUS(status), 5);
  const std::string after = ReadFileBytes(file);
  EXPECT_EQ(ParseRecentFiles(after).slots[0], "/pictures/p0.png");
  EXPECT_TRUE(after == stored);
}

}  // namespace
}  // namespace kelvaro
