#include "platform/spooler.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;

TEST(SpoolerTest, FileQueueWritesBlocksInOrderAndReportsEachBlock) {
  TempDir dir;
  const fs::path out = dir.path() / "job.ps";
  std::vector<std::size_t> seen;
  auto spooler = MakeSystemSpooler();
  SpoolResult result = spooler->SendRaw("file:" + out.string(), "doc",
                                        {"head\n", std::string_view("\0data", 5), "tail\x04"},
                                        [&](std::size_t i) { seen.push_back(i); });
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(ReadFileBytes(out), std::string("head\n\0datatail\x04", 15));
  EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2}));
  // Only the job itself is left in the folder: the temporary file was renamed.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SpoolerTest, UnwritableFileIsReportedAndKeepsTheOldJob) {
  TempDir dir;
  EXPECT_FALSE(WriteJobFile((dir.path() / "missing" / "job.ps").string(), {"x"}, nullptr).ok);
  EXPECT_FALSE(WriteJobFile("", {"x"}, nullptr).ok);

  // A folder standing where the file should go: the rename fails, nothing is half-written.
  fs::create_directory(dir.path() / "busy");
  testing::WriteFileBytes(dir.path() / "busy" / "keep", "old");
  SpoolResult result = WriteJobFile((dir.path() / "busy").string(), {"new"}, nullptr);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(ReadFileBytes(dir.path() / "busy" / "keep"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A job sent to a printer port or a pipe goes into it; the node itself is never replaced by a
// regular file.
TEST(SpoolerTest, DeviceOrPipeIsWrittenInPlace) {
  TempDir dir;
  const fs::path pipe = dir.path() / "port";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // The reading end is open before the job is written, so the write never waits for it.
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  SpoolResult result = WriteJobFile(pipe.string(), {"head", "data", "\x04"}, nullptr);
  std::string received;
  char buffer[256];
  for (ssize_t n; (n = ::read(reader, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
  ::close(reader);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(received, "headdata\x04");
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SpoolerTest, LinkToAJobFileStaysALink) {
  TempDir dir;
  fs::create_directory(dir.path() / "jobs");
  const fs::path real = dir.path() / "jobs" / "today.ps";
  testing::WriteFileBytes(real, "old");
  const fs::path link = dir.path() / "current.ps";
  fs::create_symlink(real, link);
  SpoolResult result = WriteJobFile(link.string(), {"new"}, nullptr);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "new");

  // A link to a job not written yet, named relative to the link's folder.
  const fs::path ahead = dir.path() / "next.ps";
  fs::create_symlink(fs::path("jobs") / "tomorrow.ps", ahead);
  result = WriteJobFile(ahead.string(), {"later"}, nullptr);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_TRUE(fs::is_symlink(ahead));
  EXPECT_EQ(ReadFileBytes(dir.path() / "jobs" / "tomorrow.ps"), "later");
}

// With the print server down, the server is named, not the queue: the queue may well be there.
TEST(SpoolerTest, AServerThatIsDownIsAnErrorNotASuccess) {
  TempDir dir;
  // Point the client at a spooler that is not there, so the test never sees real queues.
  setenv("CUPS_SERVER", (dir.path() / "no-such.sock").c_str(), 1);
  auto spooler = MakeSystemSpooler();
  SpoolResult result = spooler->SendRaw("NoSuchQueue", "doc", {"x"}, nullptr);
  EXPECT_FALSE(result.ok);
  const std::string said =
      "cannot reach the print server at " + (dir.path() / "no-such.sock").string();
  EXPECT_NE(result.error.find(said), std::string::npos) << result.error;
  const QueueCheck check = spooler->CheckQueue("NoSuchQueue");
  EXPECT_FALSE(check.ok);
  EXPECT_NE(check.error.find(said), std::string::npos) << check.error;
  // A job file is no queue: it is always ready.
  EXPECT_TRUE(spooler->CheckQueue("file:" + (dir.path() / "job.ps").string()).ok);
}

}  // namespace
}  // namespace kelvaro
