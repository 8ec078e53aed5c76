#include "app/hot_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;
using namespace std::chrono_literals;

const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + "rest";

struct Fixture {
  TempDir dir;
  std::vector<std::string> printed;
  std::vector<std::string> log;
  bool fail = false;
  HotFolder folder{dir.path(),
                   [this](const fs::path& p) {
                     printed.push_back(p.filename().string());
                     // The picture is printed from printing/, never from the folder itself.
                     EXPECT_EQ(p.parent_path().filename(), "printing");
                     HotFolderPrint r;
                     r.ok = !fail;
                     r.message = fail ? "The printer queue \"q\" does not exist." : "";
                     r.destination = "q";
                     r.job_bytes = 1234;
                     return r;
                   },
                   [this](const std::string& line) { log.push_back(line); }, 2s};
};

TEST(HotFolder, SkipsHiddenAndPartialNamesAndTheSettingFile) {
  for (const char* name : {".hidden.png", "a.png.part", "b.tmp", "c.png~", "d.crdownload",
                           "e.download", "folder.qvcfg"}) {
    EXPECT_TRUE(IsSkippedHotFolderName(name)) << name;
  }
  // Pictures are known by their bytes, not their names.
  for (const char* name : {"shirt.png", "order 17.txt", "logo"}) {
    EXPECT_FALSE(IsSkippedHotFolderName(name)) << name;
  }
}

TEST(HotFolder, FilesSettleAfterTheirSizeStopsChangingOldestFirst) {
  Fixture f;
  ASSERT_TRUE(f.folder.Prepare());
  const auto t0 = HotFolder::Clock::time_point{} + 100s;
  WriteFileBytes(f.dir.path() / "new.png", kPng);
  WriteFileBytes(f.dir.path() / "old.png", kPng);
  fs::last_write_time(f.dir.path() / "old.png", fs::file_time_type::clock::now() - 1h);
  WriteFileBytes(f.dir.path() / ".x.png", kPng);
  EXPECT_TRUE(f.folder.Settled(t0).empty());
  WriteFileBytes(f.dir.path() / "new.png", kPng + "more");  // still being written
  EXPECT_TRUE(f.folder.Settled(t0 + 1s).empty());           // old.png not yet 2 s quiet
  const auto ready = f.folder.Settled(t0 + 2s);
  ASSERT_EQ(ready.size(), 1u);
  EXPECT_EQ(ready[0].filename(), "old.png");
  const auto both = f.folder.Settled(t0 + 3s);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].filename(), "old.png");
  EXPECT_EQ(both[1].filename(), "new.png");
}

TEST(HotFolder, ClosedAfterWriteCountsAsSettledAtOnce) {
  Fixture f;
  ASSERT_TRUE(f.folder.Prepare());
  WriteFileBytes(f.dir.path() / "a.png", kPng);
  f.folder.MarkComplete("a.png");
  EXPECT_EQ(f.folder.Settled(HotFolder::Clock::time_point{} + 5s).size(), 1u);
}

// Stands in for inotify: gives the names it is handed, one batch per wait.
class FakeFolderEvents final : public FolderEvents {
 public:
  FolderEventBatch Wait(std::chrono::milliseconds) override {
    FolderEventBatch batch;
    std::swap(batch, next);
    return batch;
  }
  FolderEventBatch next;
};

TEST(HotFolder, WithEventsANewFileWaitsForItsWriterHoweverLongItIsQuiet) {
  Fixture f;
  ASSERT_TRUE(f.folder.Prepare());
  const auto t0 = HotFolder::Clock::time_point{} + 100s;
  WriteFileBytes(f.dir.path() / "before.png", kPng);
  f.folder.ExpectEvents();
  WriteFileBytes(f.dir.path() / "slow.png", kPng);
  WriteFileBytes(f.dir.path() / "moved.png", kPng);
  EXPECT_TRUE(f.folder.Settled(t0).empty());
  // What was there before settles by time; the new files are not taken on time alone.
  auto ready = f.folder.Settled(t0 + 1h);
  ASSERT_EQ(ready.size(), 1u);
  EXPECT_EQ(ready[0].filename(), "before.png");
  EXPECT_TRUE(f.folder.Waiting());

  FakeFolderEvents events;
  events.next.finished = {"moved.png", "x.part"};
  f.folder.Listen(&events, 0ms);
  ready = f.folder.Settled(t0 + 1h + 1s);
  ASSERT_EQ(ready.size(), 2u);  // before.png is still there: nothing took it in this test
  EXPECT_EQ(ready[1].filename(), "moved.png");
  EXPECT_TRUE(f.folder.Process(ready[1]));

  // Events were lost: slow.png settles by size and time from then on.
  events.next.lost = true;
  f.folder.Listen(&events, 0ms);
  ready = f.folder.Settled(t0 + 2h);
  ASSERT_EQ(ready.size(), 2u);
  EXPECT_EQ(ready[1].filename(), "slow.png");
}

TEST(HotFolder, PrintedAndFailedPicturesAreMovedWithNumberedNamesAndMessages) {
  Fixture f;
  ASSERT_TRUE(f.folder.Prepare());
  WriteFileBytes(f.dir.path() / "printed" / "a.png", "earlier");
  WriteFileBytes(f.dir.path() / "a.png", kPng);
  EXPECT_TRUE(f.folder.Process(f.dir.path() / "a.png"));
  EXPECT_EQ(ReadFileBytes(f.dir.path() / "printed" / "a-1.png"), kPng);
  EXPECT_EQ(ReadFileBytes(f.dir.path() / "printed" / "a.png"), "earlier");
  ASSERT_EQ(f.log.size(), 1u);
  EXPECT_NE(f.log[0].find("1234 bytes"), std::string::npos);

  f.fail = true;
  WriteFileBytes(f.dir.path() / "b.png", kPng);
  EXPECT_FALSE(f.folder.Process(f.dir.path() / "b.png"));
  EXPECT_EQ(ReadFileBytes(f.dir.path() / "failed" / "b.png"), kPng);
  EXPECT_EQ(ReadFileBytes(f.dir.path() / "failed" / "b.png.txt"),
            "The printer queue \"q\" does not exist.\n");

  WriteFileBytes(f.dir.path() / "notes.doc", "hello");
  EXPECT_FALSE(f.folder.Process(f.dir.path() / "notes.doc"));
  EXPECT_EQ(ReadFileBytes(f.dir.path() / "failed" / "notes.doc"), "hello");
  EXPECT_EQ(f.printed, (std::vector<std::string>{"a.png", "b.png"}));
}

TEST(HotFolder, WhatACrashLeftInPrintingIsPrintedAgain) {
  Fixture f;
  ASSERT_TRUE(f.folder.Prepare());
  WriteFileBytes(f.dir.path() / "printing" / "c.png", kPng);
  const auto left = f.folder.Leftovers();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(f.folder.Process(left[0]));
  EXPECT_EQ(ReadFileBytes(f.dir.path() / "printed" / "c.png"), kPng);
  EXPECT_TRUE(fs::is_empty(f.dir.path() / "printing"));
}

TEST(HotFolder, APictureThatCannotBeMovedIsLeftInPlaceAndNotOfferedAgain) {
  Fixture f;
  ASSERT_TRUE(f.folder.Prepare());
  fs::remove(f.dir.path() / "printing");
  fs::create_symlink(f.dir.path() / "gone", f.dir.path() / "printing");
  WriteFileBytes(f.dir.path() / "a.png", kPng);
  const auto t0 = HotFolder::Clock::time_point{} + 100s;
  f.folder.MarkComplete("a.png");
  const auto ready = f.folder.Settled(t0);
  ASSERT_EQ(ready.size(), 1u);
  EXPECT_FALSE(f.folder.Process(ready[0]));
  EXPECT_EQ(ReadFileBytes(f.dir.path() / "a.png"), kPng);
  EXPECT_TRUE(f.folder.Settled(t0 + 10s).empty());
  EXPECT_FALSE(f.folder.Waiting());
  EXPECT_TRUE(f.printed.empty());
}

}  // namespace
}  // namespace kelvaro
