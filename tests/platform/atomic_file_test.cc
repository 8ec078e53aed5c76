#include "platform/atomic_file.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/ini_file.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr uid_t kNobody = 65534;

// The error code of a write done by `uid`/`gid` in a child process; -1 when the child could
// not take that identity.
int WriteAsOtherUser(const fs::path& file, uid_t uid, gid_t gid) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(255);
    const FileWriteResult result = WriteFileAtomically(file, "theirs");
    ::_exit(result.ok ? 0 : result.error_code);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
  return WEXITSTATUS(status);
}

TEST(AtomicFileTest, ThingsThatAreNoRegularFileAreNeitherReadNorReplaced) {
  TempDir dir;
  const fs::path pipe = dir.path() / "pipe.ini";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const fs::path folder = dir.path() / "folder.ini";
  fs::create_directory(folder);
  const fs::path link_to_pipe = dir.path() / "link.ini";
  fs::create_symlink(pipe, link_to_pipe);
  std::vector<fs::path> paths = {pipe, folder, link_to_pipe};
  // A device node (the null device) where the system lets us make one.
  const fs::path device = dir.path() / "null.ini";
  if (::mknod(device.c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0) paths.push_back(device);

  for (const fs::path& path : paths) {
    const auto type_before = fs::status(path).type();
    // A pipe must not stall the read; what is there is no file, but it is not "missing".
    int code = 0;
    EXPECT_EQ(ReadWholeFile(path, &code), std::nullopt) << path;
    EXPECT_EQ(code, kErrorNotRegularFile) << path;

    const FileWriteResult direct = WriteFileAtomically(path, "[A]\r\nk=1\r\n");
    EXPECT_FALSE(direct.ok) << path;
    EXPECT_EQ(direct.error_code, kErrorNotRegularFile) << path;
    const FileWriteResult ini = WriteIniValue(path, "A", "k", "1");
    EXPECT_FALSE(ini.ok) << path;
    EXPECT_EQ(ini.error_code, kErrorNotRegularFile) << path;
    EXPECT_EQ(fs::status(path).type(), type_before) << path;
  }
  EXPECT_TRUE(fs::is_symlink(link_to_pipe));
}

// A writer killed between creating its temporary file and the rename leaves the temporary;
// the next write of the same file removes it, and leaves those of live writers alone.
TEST(AtomicFileTest, TemporariesOfDeadWritersGoAtTheNextWrite) {
  TempDir dir;
  const fs::path file = dir.path() / "KelvaroPro.ini";
  WriteFileBytes(file, "[Active]\r\nUnit=M\r\n");
  const auto temporary_of = [&](long pid) {
    return dir.path() / (".KelvaroPro.ini.tmp" + std::to_string(pid) + "-12345");
  };
  // A process that made its temporary and died.
  const pid_t child = ::fork();
  if (child == 0) {
    WriteFileBytes(temporary_of(::getpid()), "[Active]\r\nUnit=");
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  const fs::path dead = temporary_of(child);
  ASSERT_TRUE(fs::exists(dead));
  // The parent of this test runs on: its temporary is a write in progress.
  const fs::path live = temporary_of(::getppid());
  WriteFileBytes(live, "half");
  const fs::path other = dir.path() / ".KelvaroPro.ini.tmpnotes";
  WriteFileBytes(other, "mine");

  ASSERT_TRUE(WriteIniValue(file, "Active", "Unit", "C").ok);
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(other));
  EXPECT_EQ(ReadFileBytes(file), "[Active]\r\nUnit=C\r\n");
}

// A file beyond the reader's bound is not read at all.
TEST(AtomicFileTest, AFileOverTheBoundIsNotRead) {
  TempDir dir;
  const fs::path file = dir.path() / "big.ini";
  WriteFileBytes(file, std::string(1000, 'x'));
  int code = 0;
  EXPECT_EQ(ReadWholeFile(file, &code, 999), std::nullopt);
  EXPECT_EQ(code, kErrorFileTooLarge);
  EXPECT_EQ(ReadWholeFile(file, &code, 1000)->size(), 1000u);
  EXPECT_EQ(code, 0);
}

TEST(AtomicFileTest, LinkToAFileNotMadeYetIsKept) {
  TempDir dir;
  const fs::path link = dir.path() / "KelvaroPro.ini";
  fs::create_symlink("shared/settings.ini", link);
  fs::create_directory(dir.path() / "shared");

  ASSERT_TRUE(WriteIniValue(link, "Active", "Printer", "OKI").ok);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(dir.path() / "shared" / "settings.ini"), "[Active]\r\nPrinter=OKI\r\n");

  // A link into a folder that is not there fails like a missing folder; the link stays.
  const fs::path nowhere = dir.path() / "nowhere.ini";
  fs::create_symlink("missing/settings.ini", nowhere);
  EXPECT_EQ(WriteFileAtomically(nowhere, "x").error_code, kErrorPathNotFound);
  EXPECT_TRUE(fs::is_symlink(nowhere));

  // A loop of links is neither written nor taken for a missing file.
  fs::create_symlink("b.ini", dir.path() / "a.ini");
  fs::create_symlink("a.ini", dir.path() / "b.ini");
  EXPECT_EQ(WriteFileAtomically(dir.path() / "a.ini", "x").error_code, kErrorLinkLoop);
  int code = 0;
  EXPECT_EQ(ReadWholeFile(dir.path() / "a.ini", &code), std::nullopt);
  EXPECT_EQ(code, kErrorLinkLoop);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "a.ini"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "b.ini"));
}

TEST(AtomicFileTest, FileOfAnotherUserInAnOpenFolderIsNotReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs a second user, which only root can act as";
  TempDir dir;
  // A folder everyone may write in, holding a file only its owner may write.
  fs::permissions(dir.path(), fs::perms::all);
  const fs::path file = dir.path() / "KelvaroPro.ini";
  WriteFileBytes(file, "[Active]\r\nT_ORDER=WL\r\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::others_read);

  const int code = WriteAsOtherUser(file, kNobody, kNobody);
  ASSERT_NE(code, -1) << "could not act as another user";
  EXPECT_EQ(code, kErrorAccessDenied);
  EXPECT_EQ(ReadFileBytes(file), "[Active]\r\nT_ORDER=WL\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);
  // No temporary file is left behind either.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(AtomicFileTest, ReplacementKeepsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  TempDir dir;
  const fs::path file = dir.path() / "shared.ini";
  WriteFileBytes(file, "old");
  ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
  ::chmod(file.c_str(), 0660);

  ASSERT_TRUE(WriteFileAtomically(file, "new").ok);
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, kNobody);
  EXPECT_EQ(info.st_gid, kNobody);
  EXPECT_EQ(info.st_mode & 07777, 0660u);
  EXPECT_EQ(ReadFileBytes(file), "new");
}

}  // namespace
}  // namespace kelvaro
