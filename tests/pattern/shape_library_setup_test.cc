#include "pattern/shape_library_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RecordingNotifier;
using testing::TestFolders;
using testing::WriteFileBytes;

// Two records' worth of bytes, enough to tell copies apart.
std::string LibraryBytes(char fill) { return std::string(2 * 32252, fill); }

class ShapeLibrarySetupTest : public ::testing::Test {
 protected:
  ShapeLibrarySetupTest() : store_(folders_.folders(), notifier_) {}
  fs::path Master() const { return MasterShapeLibraryPath(folders_.folders()); }
  fs::path UserCopy() const { return UserShapeLibraryPath(folders_.folders()); }

  TestFolders folders_;
  RecordingNotifier notifier_;
  SettingsStore store_;
};

TEST_F(ShapeLibrarySetupTest, FirstStartCopiesTheMasterAndRemembersIt) {
  EXPECT_EQ(Master(), folders_.folders().common / "shape.lib");
  EXPECT_EQ(UserCopy(), folders_.folders().user / "shape.lib");
  WriteFileBytes(Master(), LibraryBytes('m'));
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kReady);
  EXPECT_EQ(ReadFileBytes(UserCopy()), LibraryBytes('m'));
  EXPECT_EQ(store_.ReadSetting("Active", "Shape Library"), UserCopy().string());

  // Later starts leave both files alone.
  WriteFileBytes(Master(), LibraryBytes('n'));
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kReady);
  EXPECT_EQ(ReadFileBytes(UserCopy()), LibraryBytes('m'));
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(ShapeLibrarySetupTest, StoredPathMeansReadyWithoutLooking) {
  store_.WriteSetting("Active", "Shape Library", "/somewhere/shape.lib");
  fs::remove_all(folders_.folders().common);
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kReady);
  EXPECT_FALSE(fs::exists(UserCopy()));
}

TEST_F(ShapeLibrarySetupTest, FolderAndMasterProblems) {
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kMasterMissing);
  fs::create_directories(Master());  // a folder where the file belongs
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kMasterMissing);

  fs::remove_all(folders_.folders().common);
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kCommonFolderProblem);

  // The user folder cannot be made: a file stands in its place.
  WriteFileBytes(Master(), LibraryBytes('m'));
  fs::remove_all(folders_.folders().user);
  WriteFileBytes(folders_.folders().user, "not a folder");
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kUserFolderProblem);
  EXPECT_EQ(ReadFileBytes(folders_.folders().user), "not a folder");
}

TEST_F(ShapeLibrarySetupTest, MissingUserFolderIsCreated) {
  WriteFileBytes(Master(), LibraryBytes('m'));
  fs::remove_all(folders_.folders().user);
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kReady);
  EXPECT_EQ(ReadFileBytes(UserCopy()), LibraryBytes('m'));
}

TEST_F(ShapeLibrarySetupTest, UsersOwnLibraryIsNotOverwritten) {
  // The settings file was lost, the user's shapes were not.
  WriteFileBytes(Master(), LibraryBytes('m'));
  WriteFileBytes(UserCopy(), LibraryBytes('u') + "x");
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kReady);
  EXPECT_EQ(ReadFileBytes(UserCopy()), LibraryBytes('u') + "x");
  EXPECT_EQ(store_.ReadSetting("Active", "Shape Library"), UserCopy().string());
}

TEST_F(ShapeLibrarySetupTest, CopyThatCannotBeWrittenLeavesTheKeyEmpty) {
  WriteFileBytes(Master(), LibraryBytes('m'));
  fs::create_directories(UserCopy());  // a folder where the copy belongs
  EXPECT_EQ(ResolveShapeLibrary(store_), ShapeLibraryStatus::kUserFolderProblem);
  EXPECT_EQ(store_.ReadSetting("Active", "Shape Library"), "");
  EXPECT_TRUE(fs::is_directory(UserCopy()));
}

}  // namespace
}  // namespace kelvaro
