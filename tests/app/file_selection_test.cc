#include "app/file_selection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "settings/recent_files.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
namespace c = control;
namespace m = command;

TEST(DropExtensionTest, OnlyTheSixExtensionsAnyCase) {
  const std::pair<const char*, bool> cases[] = {
      {"/a/logo.png", true},   {"/a/LOGO.JPG", true}, {"/a/x.Tif", true},   {"/a/x.psd", true},
      {"/a/x.gif", true},      {"/a/x.bmp", true},    {"/a/x.jpeg", false}, {"/a/x.tiff", false},
      {"/a/x.png.txt", false}, {"/a/png", false},     {"", false},
  };
  for (const auto& [path, accepted] : cases) {
    EXPECT_EQ(IsAcceptedDropExtension(path), accepted) << path;
  }
}

TEST(DropTest, FirstFileOnlyShortcutsResolvedDamagedOnesReported) {
  testing::TempDir dir;
  const fs::path png = dir.path() / "art.png";
  testing::WriteFileBytes(png, "png");
  fs::create_symlink(png, dir.path() / "link-to-art");
  testing::WriteFileBytes(dir.path() / "broken.lnk", "not a shortcut");

  // Three files: only the first counts.
  std::vector<DroppedFile> files = CollectDroppedFiles(
      {png.string(), (dir.path() / "b.png").string(), (dir.path() / "c.png").string()});
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(DecideDrop(files).load, png.string());
  // A link whose own name has no picture extension loads what it points at.
  EXPECT_EQ(DecideDrop(CollectDroppedFiles({(dir.path() / "link-to-art").string()})).load,
            fs::canonical(png).string());
  // ".jpeg" is not taken, without a message.
  const DropDecision jpeg = DecideDrop(CollectDroppedFiles({(dir.path() / "x.jpeg").string()}));
  EXPECT_FALSE(jpeg.load);
  EXPECT_EQ(jpeg.message, "The file x.jpeg cannot be found.");
  const DropDecision broken =
      DecideDrop(CollectDroppedFiles({(dir.path() / "broken.lnk").string()}));
  EXPECT_FALSE(broken.load);
  EXPECT_EQ(broken.message, "The shortcut broken.lnk is damaged.");
  EXPECT_FALSE(DecideDrop({}).load);
}

class OpenImageTest : public ::testing::Test {
 protected:
  OpenImageTest() : store_(folders_.folders(), notifier_), model_(store_, texts_) {}
  const fs::path& user() const { return folders_.folders().user; }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_ = [] {
    UiText table;
    LoadDefaultTexts(table);
    return table;
  }();
  MainWindowModel model_;
};

TEST_F(OpenImageTest, LoadSetsTitleCopiesStatusAndRecentFiles) {
  model_.SetText(c::kXCopyEdit, "3");
  const std::string path = (folders_.root() / "art.png").string();
  const PendingLoad pending = BeginImageLoad(model_, path);
  EXPECT_EQ(model_.title(), "Kelvaro Pro - art.png");
  EXPECT_EQ(model_.Text(c::kXCopyEdit), "1");
  EXPECT_EQ(model_.Text(c::kStatusLine), texts_.Get(34));
  FinishImageLoad(model_, user(), pending, LoadedPicture{true, false, true});
  EXPECT_TRUE(model_.IsChecked(c::kRotate));
  EXPECT_TRUE(model_.image_loaded());
  EXPECT_EQ(model_.Text(c::kStatusLine), texts_.Get(36));
  EXPECT_EQ(ReadRecentFile(user(), 1), path);
  EXPECT_TRUE(model_.Control(m::kRecentFile1).visible);
  EXPECT_TRUE(fs::equivalent(OpenDialogStartFolder(user()), folders_.root()));

  // Cancelling with a picture shown keeps it loaded.
  CancelImageSelection(model_);
  EXPECT_TRUE(model_.image_loaded());
  EXPECT_EQ(model_.Text(c::kStatusLine), texts_.Get(33));
}

TEST_F(OpenImageTest, UnsuitableFileKeepsThePictureShownAndItsTitle) {
  const std::string good = (folders_.root() / "good.png").string();
  FinishImageLoad(model_, user(), BeginImageLoad(model_, good), LoadedPicture{true});
  const PendingLoad pending = BeginImageLoad(model_, (folders_.root() / "bad.png").string());
  FinishImageLoad(model_, user(), pending, LoadedPicture{});
  EXPECT_EQ(model_.title(), "Kelvaro Pro - good.png");
  EXPECT_TRUE(model_.image_loaded());
  EXPECT_EQ(model_.Text(c::kStatusLine), texts_.Get(35));
  EXPECT_EQ(ReadRecentFile(user(), 1), good);

  // With nothing shown, a failed load leaves "No File" and no picture.
  MainWindowModel fresh(store_, texts_);
  FinishImageLoad(fresh, user(), BeginImageLoad(fresh, "/x/bad.png"), LoadedPicture{});
  EXPECT_EQ(fresh.title(), "Kelvaro Pro - No File");
  EXPECT_FALSE(fresh.image_loaded());
  CancelImageSelection(fresh);
  EXPECT_FALSE(fresh.image_loaded());
}

}  // namespace
}  // namespace kelvaro
