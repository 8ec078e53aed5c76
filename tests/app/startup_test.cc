#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ini_file.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::FixtureFolder;
using testing::ReadFileBytes;
using testing::RecordingNotifier;
using testing::TestFolders;
using testing::WriteFileBytes;

// A run's folders with an empty program folder (no language files unless a test adds one)
// and a master shape library, so that only the messages a test is about appear.
class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : folders_(/*empty_program=*/true), app_(folders_.folders(), notifier_) {
    WriteFileBytes(folders_.folders().common / "shape.lib", std::string(32252, '\0'));
    WriteFileBytes(folders_.folders().common / "KelvaroPro.ini",
                   "[Active]\r\nLanguage=Deutsch.lan3\r\n");
    fs::copy_file(FixtureFolder() / "settings" / "deutsch.lan3",
                  folders_.folders().program / "deutsch.lan3");
  }
  SettingsStore& store() { return app_.store; }
  std::string UserFile() const { return ReadFileBytes(app_.store.UserSettingsFile()); }

  TestFolders folders_;
  RecordingNotifier notifier_;
  AppContext app_;
};

TEST_F(StartupTest, FirstStartPreparesEverything) {
  fs::remove_all(folders_.folders().user);
  ASSERT_EQ(RunStartup(app_, StartupOptions::Window()), StartupOutcome::kReady);
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_TRUE(app_.instance_lock.held());
  EXPECT_EQ(app_.shape_library, ShapeLibraryStatus::kReady);

  // Language from the common file, texts from it.
  EXPECT_EQ(store().ReadSetting("Active", "Language"), "Deutsch.lan3");
  EXPECT_EQ(app_.texts.Get(1), "Keine Datei");
  EXPECT_EQ(app_.texts.Get(0), "Kelvaro Pro");

  EXPECT_EQ(store().ReadSetting("Stats", "Option"), "3");
  EXPECT_EQ(store().ReadSetting("Others", "RightHand"), "1");
  EXPECT_EQ(store().ReadSetting("Others", "LeftHand"), "0");
  EXPECT_EQ(store().ReadSetting("Active", "Shape Library"),
            (folders_.folders().user / "shape.lib").string());
  EXPECT_EQ(store().ReadSetting("INI_INF", "Version"), "2.2");
  EXPECT_EQ(store().ReadSetting("RIP Patten Setup", "Shape"), "Ellipse");
  EXPECT_EQ(store().ReadSetting("Active", "Bottom Margin"), "1307");
  EXPECT_EQ(app_.job_settings.printer, "OKI C711wt Nollo");
  EXPECT_EQ(app_.job_settings.tonerPercent, 50);
  EXPECT_EQ(app_.tone_curves, DefaultToneCurves());
}

TEST_F(StartupTest, SecondWindowEndsSilentlyWithoutTouchingFiles) {
  ASSERT_EQ(RunStartup(app_, StartupOptions::Window()), StartupOutcome::kReady);
  store().WriteSetting("Active", "Bottom Margin", "2450");  // would be upgraded by a start
  const std::string before = UserFile();

  RecordingNotifier second_notifier;
  AppContext second(folders_.folders(), second_notifier);
  EXPECT_EQ(RunStartup(second, StartupOptions::Window()), StartupOutcome::kAnotherCopyRunning);
  EXPECT_TRUE(second_notifier.messages.empty());
  EXPECT_FALSE(second.instance_lock.held());
  EXPECT_EQ(UserFile(), before);
  EXPECT_TRUE(second.texts.Get(1).empty());  // nothing was loaded

  // The command line runs beside the window.
  AppContext command_line(folders_.folders(), second_notifier);
  EXPECT_EQ(RunStartup(command_line, StartupOptions::CommandLine()), StartupOutcome::kReady);
  EXPECT_FALSE(command_line.instance_lock.held());
  EXPECT_EQ(store().ReadSetting("Active", "Bottom Margin"), "1307");

  // Once the first window has gone, a new one starts.
  app_.instance_lock.Release();
  AppContext third(folders_.folders(), second_notifier);
  EXPECT_EQ(RunStartup(third, StartupOptions::Window()), StartupOutcome::kReady);
}

TEST_F(StartupTest, ShapeLibraryProblemsAreShownAndStartUpGoesOn) {
  fs::remove(folders_.folders().common / "shape.lib");
  ASSERT_EQ(RunStartup(app_, StartupOptions::CommandLine()), StartupOutcome::kReady);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro Pro");
  EXPECT_EQ(notifier_.messages[0].text, "Master Shape.lib Missing");
  EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(app_.shape_library, ShapeLibraryStatus::kMasterMissing);
  EXPECT_EQ(app_.job_settings.printer, "OKI C711wt Nollo");

  EXPECT_EQ(ShapeLibraryMessage(ShapeLibraryStatus::kReady), "");
  EXPECT_EQ(ShapeLibraryMessage(ShapeLibraryStatus::kCommonFolderProblem),
            "Problem with ProgramData Folder");
  EXPECT_EQ(ShapeLibraryMessage(ShapeLibraryStatus::kUserFolderProblem),
            "Problem with Users AppData Folder");
  RecordingNotifier notifier;
  ReportShapeLibraryStatus(notifier, ShapeLibraryStatus::kReady);
  EXPECT_TRUE(notifier.messages.empty());
  ReportShapeLibraryStatus(notifier, ShapeLibraryStatus::kUserFolderProblem);
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text, "Problem with Users AppData Folder");
}

TEST_F(StartupTest, MissingCommonFolderIsReported) {
  fs::remove_all(folders_.folders().common);
  ASSERT_EQ(RunStartup(app_, StartupOptions::CommandLine()), StartupOutcome::kReady);
  ASSERT_GE(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].text, "Problem with ProgramData Folder");
  // No language anywhere: the program folder itself is "missing".
  ASSERT_EQ(notifier_.messages.size(), 2u);
  EXPECT_EQ(notifier_.messages[1].text,
            folders_.folders().program.string() +
                "/ Missing\nLoading defaults - Please set language once open");
  EXPECT_EQ(app_.texts.Get(1), "No File");
}

TEST_F(StartupTest, OldLanguageNamesAreRewrittenInBothFiles) {
  store().WriteSetting("Active", "Language", "Deutsch.lang");
  EXPECT_EQ(ChooseLanguage(store()), "deutsch.lan3");
  EXPECT_EQ(store().ReadSetting("Active", "Language"), "deutsch.lan3");
  EXPECT_EQ(store().ReadCommonSetting("Active", "Language"), "deutsch.lan3");

  // Both occurrences go.
  store().WriteSetting("Active", "Language", "Old.LANG.lang");
  EXPECT_EQ(ChooseLanguage(store()), "old.lan3.lan3");
  EXPECT_EQ(store().ReadSetting("Active", "Language"), "old.lan3.lan3");
  EXPECT_EQ(store().ReadCommonSetting("Active", "Language"), "old.lan3.lan3");

  // A current name is only lower-cased for the load, not written.
  store().WriteSetting("Active", "Language", "Deutsch.LAN3");
  WriteFileBytes(store().CommonSettingsFile(), "[Active]\r\nLanguage=other.lan3\r\n");
  EXPECT_EQ(ChooseLanguage(store()), "deutsch.lan3");
  EXPECT_EQ(store().ReadSetting("Active", "Language"), "Deutsch.LAN3");
  EXPECT_EQ(store().ReadCommonSetting("Active", "Language"), "other.lan3");
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(StartupTest, RewrittenLanguageIsLoaded) {
  store().WriteSetting("Active", "Language", "DEUTSCH.lang");
  ASSERT_EQ(RunStartup(app_, StartupOptions::CommandLine()), StartupOutcome::kReady);
  EXPECT_TRUE(notifier_.messages.empty());
  EXPECT_EQ(app_.texts.Get(28), "Drucken: NUR Neue Nummern");
}

TEST_F(StartupTest, EmptyLanguageIsTakenFromTheCommonFile) {
  WriteFileBytes(store().CommonSettingsFile(), "[Active]\r\nLanguage=Missing.lan3\r\n");
  EXPECT_EQ(ChooseLanguage(store()), "Missing.lan3");
  EXPECT_EQ(UserFile(), "[Active]\r\nlanguage=Missing.lan3\r\n");

  // Nothing anywhere: the empty name is still stored.
  fs::remove(store().UserSettingsFile());
  fs::remove(store().CommonSettingsFile());
  EXPECT_EQ(ChooseLanguage(store()), "");
  EXPECT_EQ(UserFile(), "[Active]\r\nlanguage=\r\n");
}

TEST_F(StartupTest, StoredSettingUpgrades) {
  for (const char* bottom : {"2400", "2450", "2499", " 2499"}) {
    store().WriteSetting("Active", "Bottom Margin", bottom);
    ApplySettingsUpgrades(store());
    EXPECT_EQ(store().ReadSetting("Active", "Bottom Margin"), "1307") << bottom;
  }
  for (const char* bottom : {"2500", "1307", "2399", "240", "-2400"}) {
    store().WriteSetting("Active", "Bottom Margin", bottom);
    ApplySettingsUpgrades(store());
    EXPECT_EQ(store().ReadSetting("Active", "Bottom Margin"), bottom);
  }

  struct Hands {
    const char* right;
    const char* left;
    const char* right_after;
    const char* left_after;
  };
  for (const Hands& hands : {Hands{"0", "0", "1", "0"}, Hands{"", "", "1", "0"},
                             Hands{"1", "1", "1", "1"}, Hands{"0", "1", "0", "1"}}) {
    store().WriteSetting("Others", "RightHand", hands.right);
    store().WriteSetting("Others", "LeftHand", hands.left);
    ApplySettingsUpgrades(store());
    EXPECT_EQ(store().ReadSetting("Others", "RightHand"), hands.right_after);
    EXPECT_EQ(store().ReadSetting("Others", "LeftHand"), hands.left_after);
  }

  EXPECT_EQ(store().ReadSetting("Stats", "Option"), "3");
  store().WriteSetting("Stats", "Option", "1");
  ApplySettingsUpgrades(store());
  EXPECT_EQ(store().ReadSetting("Stats", "Option"), "1");
}

TEST_F(StartupTest, ExitWritesCurvesDefaultMarginsAndTonerOrder) {
  ASSERT_EQ(RunStartup(app_, StartupOptions::Window()), StartupOutcome::kReady);
  store().WriteSetting("Active", "Top Margin", "100");
  store().WriteSetting("Active", "Left Margin", "200");
  store().WriteSetting("Active", "Right Margin", "300");
  store().WriteSetting("Active", "Bottom Margin", "400");
  store().WriteSetting("Active", "T_ORDER", "WF");
  app_.tone_curves = WhiteFirstToneCurves();

  WriteExitSettings(store(), app_.tone_curves);
  EXPECT_EQ(store().ReadSetting("KYMC", "Profile"), kWhiteFirstToneCurvesText);
  EXPECT_EQ(store().ReadSetting("Active", "Top Margin"), "1296");
  EXPECT_EQ(store().ReadSetting("Active", "Left Margin"), "1296");
  EXPECT_EQ(store().ReadSetting("Active", "Right Margin"), "1296");
  EXPECT_EQ(store().ReadSetting("Active", "Bottom Margin"), "1307");
  EXPECT_EQ(store().ReadSetting("Active", "T_ORDER"), "WL");
  EXPECT_TRUE(notifier_.messages.empty());
}

}  // namespace
}  // namespace kelvaro
