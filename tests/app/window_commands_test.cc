#include "app/window_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
namespace c = control;
namespace m = command;

class WindowCommandsTest : public ::testing::Test {
 protected:
  WindowCommandsTest() : store_(folders_.folders(), notifier_), model_(store_, texts_) {
    model_.SetRequestObserver([this](const ModelRequest& r) { requests_.push_back(r.kind); });
  }
  const fs::path& user() const { return folders_.folders().user; }
  // A picture file that exists.
  std::string Picture(const std::string& name) {
    const fs::path path = folders_.root() / name;
    testing::WriteFileBytes(path, "picture");
    return path.string();
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_ = [] {
    UiText table;
    LoadDefaultTexts(table);
    return table;
  }();
  MainWindowModel model_;
  std::vector<RequestKind> requests_;
};

TEST_F(WindowCommandsTest, TonerOrderStoresTheOrderAndLoadsItsCurves) {
  model_.SelectPrinterModel("Pro8432WT");
  ChooseTonerOrder(model_, notifier_, /*white_first=*/true);
  EXPECT_EQ(store_.ReadSetting("Active", "T_ORDER"), "WF");
  EXPECT_EQ(model_.state().curves, WhiteFirstToneCurves());
  EXPECT_EQ(model_.Control(c::kTonerOrderIndicator).picture, "#106");
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro Pro");
  EXPECT_EQ(notifier_.messages[0].text, texts_.Get(205));
  EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kInformation);

  ChooseTonerOrder(model_, notifier_, /*white_first=*/false);
  EXPECT_EQ(store_.ReadSetting("Active", "T_ORDER"), "WL");
  EXPECT_EQ(model_.state().curves, DefaultToneCurves());
  EXPECT_EQ(model_.Control(c::kTonerOrderIndicator).picture, "#103");
  EXPECT_EQ(notifier_.messages.back().text, texts_.Get(204));
}

TEST_F(WindowCommandsTest, DefaultProfilesAreStoredThenTheNewestPictureReloadedAndAbout) {
  const std::string a = Picture("a.png");
  UpdateRecentFiles(user(), a);
  store_.WriteSetting("Active", "ICM Profile Out", "Other.icc");
  std::vector<std::string> loaded;
  const PictureLoader load = [&](const std::string& path) {
    loaded.push_back(path);
    return true;
  };
  EXPECT_TRUE(RunMenuCommand(model_, m::kDefaultProfiles, load));
  EXPECT_EQ(store_.ReadSetting("Active", "ICM Profile Out"), "OKC711P2.ICM");
  EXPECT_EQ(store_.ReadSetting("Active", "ICM Profile In"), "sRGB.icm");
  EXPECT_EQ(loaded, std::vector<std::string>{a});

  EXPECT_TRUE(RunMenuCommand(model_, m::kAbout, load));
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro Pro");
  EXPECT_EQ(notifier_.messages[0].text, "Kelvaro Pro\r\nProgram Version 1.0.0.59");
  EXPECT_FALSE(RunMenuCommand(model_, m::kOpenFile, load));
}

TEST_F(WindowCommandsTest, RecentFileLoadsMovesToTopAndNamesTheTitle) {
  const std::string a = Picture("a.png");
  const std::string b = Picture("b.png");
  UpdateRecentFiles(user(), a);
  UpdateRecentFiles(user(), b);  // b newest, then a
  std::vector<std::string> loaded;
  const PictureLoader load = [&](const std::string& path) {
    loaded.push_back(path);
    return true;
  };
  ASSERT_TRUE(OpenRecentFile(model_, user(), 2, load));
  EXPECT_EQ(loaded, std::vector<std::string>{a});
  EXPECT_EQ(ReadRecentFile(user(), 1), a);
  EXPECT_EQ(ReadRecentFile(user(), 2), b);
  EXPECT_EQ(model_.title(), "Kelvaro Pro - a.png");
  EXPECT_TRUE(model_.Control(m::kRecentFile2).visible);
  EXPECT_FALSE(model_.Control(m::kRecentFile3).visible);
  EXPECT_EQ(model_.Text(m::kRecentFile1), RecentFileMenuLabel(a));
}

TEST_F(WindowCommandsTest, AFileThatIsGoneOrBrokenLeavesTheList) {
  const std::string a = Picture("a.png");
  const std::string gone = (folders_.root() / "gone.png").string();
  const std::string broken = Picture("broken.png");
  for (const std::string& path : {a, gone, broken}) UpdateRecentFiles(user(), path);
  int loads = 0;
  const PictureLoader load = [&](const std::string& path) {
    ++loads;
    return path != broken;
  };
  // Slot 2 is the deleted file: nothing is loaded, the entry goes.
  EXPECT_FALSE(OpenRecentFile(model_, user(), 2, load));
  EXPECT_EQ(loads, 0);
  EXPECT_EQ(ReadRecentFile(user(), 1), broken);
  EXPECT_EQ(ReadRecentFile(user(), 2), a);
  EXPECT_EQ(model_.title(), "Kelvaro Pro - No File");
  // The newest is broken: reloading it after a profile change removes it.
  EXPECT_FALSE(ReloadNewestFile(model_, user(), load));
  EXPECT_EQ(ReadRecentFile(user(), 1), a);
  EXPECT_FALSE(model_.Control(m::kRecentFile2).visible);
  // Out of range does nothing.
  EXPECT_FALSE(OpenRecentFile(model_, user(), 6, load));
  EXPECT_EQ(ReadRecentFile(user(), 1), a);
}

// A damaged or hand-edited list with slot 2 empty: the menu shows slot 3's file second, and
// choosing that entry opens it; the empty slot stays out of the way.
TEST_F(WindowCommandsTest, EachEntryOfAListWithAGapOpensTheFileItShows) {
  RecentFiles files;
  files.slots[0] = Picture("first.png");
  files.slots[2] = Picture("third.png");
  files.slots[4] = Picture("fifth.png");
  testing::WriteFileBytes(RecentFilesPath(user()), FormatRecentFiles(files));
  for (int entry = 1; entry <= 3; ++entry) {
    SCOPED_TRACE(entry);
    ShowRecentFiles(model_, LoadRecentFiles(user()));
    const std::string shown = model_.Text(m::kRecentFiles[static_cast<std::size_t>(entry - 1)]);
    std::vector<std::string> loaded;
    const PictureLoader load = [&](const std::string& path) {
      loaded.push_back(path);
      return true;
    };
    ASSERT_TRUE(OpenRecentFile(model_, user(), entry, load));
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(RecentFileMenuLabel(loaded[0]), shown);
    EXPECT_EQ(ReadRecentFile(user(), 1), loaded[0]);
  }
  EXPECT_FALSE(model_.Control(m::kRecentFile4).visible);
  EXPECT_EQ(SlotOfMenuEntry(files, 2), 3);
  EXPECT_EQ(SlotOfMenuEntry(files, 4), 0);
}

}  // namespace
}  // namespace kelvaro

namespace kelvaro {
namespace {

TEST_F(WindowCommandsTest, PrinterListSelectsTheStoredQueueElseTheFirst) {
  PrinterQueueList queues;
  queues.entries = {"OKI-C711WT-1", "OKI-C711WT-2"};
  queues.selected = 0;
  store_.WriteSetting("Active", "Printer", "OKI-C711WT-2");
  ShowPrinterQueues(model_, queues);
  EXPECT_EQ(model_.Text(c::kPrinterList), "OKI-C711WT-2");
  store_.WriteSetting("Active", "Printer", "gone");
  ShowPrinterQueues(model_, queues);
  EXPECT_EQ(model_.Text(c::kPrinterList), "OKI-C711WT-1");
  ShowPrinterQueues(model_, PrinterQueueList{{}, -1, false, "no queue"});
  EXPECT_EQ(model_.Text(c::kPrinterList), "");
  EXPECT_EQ(model_.Text(c::kStatusLine), "no queue");
}

TEST_F(WindowCommandsTest, BuiltInSettingsEntryOnlyWithAFileInTheCommonFolder) {
  fs::create_directories(folders_.folders().common);
  ShowBuiltInSettingsEntry(model_);
  EXPECT_FALSE(model_.Control(m::kLoadBuiltInSettings).visible);
  testing::WriteFileBytes(folders_.folders().common / "Film.QVCFG", "x");
  ShowBuiltInSettingsEntry(model_);
  EXPECT_TRUE(model_.Control(m::kLoadBuiltInSettings).visible);
}

TEST_F(WindowCommandsTest, WhiteFirstAtStartShowsItsIndicatorWithoutWritingOrAsking) {
  store_.WriteSetting("Active", "T_ORDER", "WF");
  SetUpWindowState(model_, "Pro8432WT", LoadStoredSettings(store_, texts_).job);
  EXPECT_EQ(model_.Control(c::kTonerOrderIndicator).picture, "#106");
  EXPECT_EQ(model_.state().curves, WhiteFirstToneCurves());
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_TRUE(notifier_.questions.empty());
  EXPECT_EQ(store_.ReadSetting("Active", "T_ORDER"), "WF");
}

TEST_F(WindowCommandsTest, LoadDefaultsAppliesTheMediumAgainSoEnabledStatesFollow) {
  SetUpWindowState(model_, "C711WT", LoadStoredSettings(store_, texts_).job);
  model_.PickItem(c::kMediaList, 1);
  const std::string medium = model_.Text(c::kMediaList);
  LoadDefaults(model_);
  EXPECT_EQ(model_.Text(c::kMediaList), medium);
  EXPECT_EQ(model_.Text(c::kCopiesEdit), "1");
  EXPECT_EQ(model_.IsEnabled(c::kDisplayWhite), model_.IsChecked(c::kPrintWhite));
  EXPECT_EQ(model_.IsEnabled(c::kWhiteDensitySlider), model_.IsChecked(c::kPrintWhite));
  EXPECT_EQ(store_.ReadSetting("Active", "T_ORDER"), "WL");
}

// After Load Defaults the window is the one a fresh start shows with the same medium, and the
// store holds what it shows.
TEST_F(WindowCommandsTest, LoadDefaultsLeavesTheWindowOfAFreshStart) {
  SetUpWindowState(model_, "C711WT", LoadStoredSettings(store_, texts_).job);
  const int medium = model_.FindItem(c::kMediaList, "Glossy");
  ASSERT_GE(medium, 0);
  model_.PickItem(c::kMediaList, medium);
  model_.Click(c::kThresholdOn);
  model_.SetSliderPosition(c::kBrightnessSlider, 80);
  LoadDefaults(model_);

  MainWindowModel fresh(store_, texts_);
  SetUpWindowState(fresh, "C711WT", LoadStoredSettings(store_, texts_).job);
  fresh.PickItem(c::kMediaList, medium);
  for (int id : {c::kDisplayWhite, c::kPrintWhite, c::kThresholdOn, c::kPrintCmy}) {
    EXPECT_EQ(model_.IsChecked(id), fresh.IsChecked(id)) << id;
  }
  for (int id :
       {c::kBrightnessSlider, c::kContrastSlider, c::kThresholdSlider, c::kWhiteDensitySlider}) {
    EXPECT_EQ(model_.Value(id), fresh.Value(id)) << id;
  }
  EXPECT_EQ(model_.Text(c::kTrayList), fresh.Text(c::kTrayList));
  EXPECT_EQ(store_.ReadSetting("Active", "Tray"), model_.Text(c::kTrayList));
}

}  // namespace
}  // namespace kelvaro
