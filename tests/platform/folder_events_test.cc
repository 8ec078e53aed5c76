#include "platform/folder_events.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::vector<std::string> Finished(FolderEvents& events) {
  std::vector<std::string> names;
  for (FolderEventBatch batch = events.Wait(200ms); !batch.finished.empty();
       batch = events.Wait(50ms)) {
    names.insert(names.end(), batch.finished.begin(), batch.finished.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FolderEvents, AFileCountsWhenItsWriterClosesItOrWhenItIsMovedIn) {
  testing::TempDir dir;
  const fs::path folder = dir.path() / "hot";
  fs::create_directories(folder / "sub");
  testing::WriteFileBytes(dir.path() / "elsewhere.png", "x");
  std::unique_ptr<FolderEvents> events = WatchFolderEvents(folder);
  ASSERT_NE(events, nullptr);  // a temporary folder is on a local file system

  std::ofstream open_file(folder / "open.png");
  open_file << "half" << std::flush;
  testing::WriteFileBytes(folder / "sub" / "deeper.png", "y");  // subfolders are not watched
  EXPECT_TRUE(Finished(*events).empty());

  open_file << " and the rest";
  open_file.close();
  fs::rename(dir.path() / "elsewhere.png", folder / "moved.png");
  EXPECT_EQ(Finished(*events), (std::vector<std::string>{"moved.png", "open.png"}));
}

}  // namespace
}  // namespace kelvaro
