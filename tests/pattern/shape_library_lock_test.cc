#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "pattern/shape_library.h"
#include "platform/file_lock.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::TempDir;

// The library's cycles take the lock file beside it ("shape.lib.lock").

// Whether somebody else holds the lock: a second open of the lock file (its own open file
// description, as another process would have) cannot take it.
bool LockedElsewhere(const fs::path& library) {
  const int fd = ::open(FileLock::LockFileFor(library).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return busy;
}

ShapeRecord Square(const std::string& name) {
  ShapeRecord shape;
  shape.name = name;
  shape.polygons.push_back({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, kShapeBlack});
  return shape;
}

TEST(ShapeLibraryLockTest, StoreHoldsTheLockThroughTheReplaceQuestion) {
  TempDir dir;
  const fs::path library = dir.path() / "shape.lib";
  ASSERT_TRUE(StoreShape(library, Square("Box"), nullptr).stored());
  bool asked_while_locked = false;
  const StoreShapeResult replaced = StoreShape(library, Square("Box"), [&](const std::string&) {
    asked_while_locked = LockedElsewhere(library);
    return true;
  });
  EXPECT_EQ(replaced.status, StoreShapeStatus::kReplaced);
  EXPECT_TRUE(asked_while_locked);
  EXPECT_FALSE(LockedElsewhere(library));
}

TEST(ShapeLibraryLockTest, RemovalWaitsForAnotherHolder) {
  TempDir dir;
  const fs::path library = dir.path() / "shape.lib";
  ASSERT_TRUE(StoreShape(library, Square("A"), nullptr).stored());
  ASSERT_TRUE(StoreShape(library, Square("B"), nullptr).stored());
  // Another copy of the program is in the middle of its cycle.
  const int other = ::open(FileLock::LockFileFor(library).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX), 0);
  std::atomic<bool> done = false;
  std::thread remover([&] {
    const std::vector<std::string> names = {"A"};
    RemoveShapes(library, names);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(done);
  EXPECT_EQ(ListShapes(library).names, (std::vector<std::string>{"A", "B"}));
  ::close(other);
  remover.join();
  EXPECT_EQ(ListShapes(library).names, (std::vector<std::string>{"B"}));
}

}  // namespace
}  // namespace kelvaro
