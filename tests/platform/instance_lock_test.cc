#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(InstanceLockTest, OneHolderAtATime) {
  TempDir dir;
  const fs::path file = dir.path() / "KelvaroPro.lock";
  InstanceLock first;
  EXPECT_FALSE(first.held());
  ASSERT_EQ(first.Acquire(file), InstanceLock::Result::kAcquired);
  EXPECT_TRUE(first.held());

  InstanceLock second;
  EXPECT_EQ(second.Acquire(file), InstanceLock::Result::kHeldElsewhere);
  EXPECT_FALSE(second.held());

  // Another process sees the lock as well.
  const std::string probe = "flock -n " + file.string() + " true";
  EXPECT_NE(RunCommand(probe).status, 0);

  // Moving keeps the lock; releasing frees it.
  InstanceLock moved = std::move(first);
  EXPECT_FALSE(first.held());
  EXPECT_TRUE(moved.held());
  EXPECT_EQ(second.Acquire(file), InstanceLock::Result::kHeldElsewhere);
  moved.Release();
  EXPECT_EQ(second.Acquire(file), InstanceLock::Result::kAcquired);
}

TEST(InstanceLockTest, LockFileContentIsNeverTouched) {
  TempDir dir;
  const fs::path file = dir.path() / "lock";
  WriteFileBytes(file, "left by someone");
  {
    InstanceLock lock;
    ASSERT_EQ(lock.Acquire(file), InstanceLock::Result::kAcquired);
  }
  EXPECT_EQ(ReadFileBytes(file), "left by someone");
  InstanceLock again;
  EXPECT_EQ(again.Acquire(file), InstanceLock::Result::kAcquired);
}

TEST(InstanceLockTest, MissingFolderMeansNoLockAndNoVerdict) {
  TempDir dir;
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(dir.path() / "no" / "lock"), InstanceLock::Result::kUnavailable);
  EXPECT_FALSE(lock.held());
}

TEST(InstanceLockTest, PipeInThePlaceOfTheLockFileDoesNotStallTheStart) {
  TempDir dir;
  const fs::path file = dir.path() / "KelvaroPro.lock";
  ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
  // Opening a pipe for reading waits for a writer unless told not to; the start must go on.
  InstanceLock lock;
  EXPECT_EQ(lock.Acquire(file), InstanceLock::Result::kAcquired);
  InstanceLock second;
  EXPECT_EQ(second.Acquire(file), InstanceLock::Result::kHeldElsewhere);
}

}  // namespace
}  // namespace kelvaro
