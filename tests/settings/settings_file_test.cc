#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ini_file.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::RecordingNotifier;
using testing::TestFolders;
using testing::WriteFileBytes;

constexpr char kUserCurvesText[] = "F0F0A0A050500A0AF0F0A0A050500A0AF0F0A0A050500A0A";

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() : store_(folders_.folders(), notifier_) {
    ToneCurves ignored;
    WriteDefaultSettings(store_, ignored);
    store_.WriteSetting("Active", "Right Margin", "1100");
    store_.WriteSetting("Active", "Left Margin", "1200");
    store_.WriteSetting("Active", "Bottom Margin", "1307");
    store_.WriteSetting("Active", "Top Margin", "1296");
    controls_.white_mask_caption = "80%";
    controls_.display = true;
    controls_.toner_on = true;
    controls_.toner_save = false;
    controls_.toner_percent_caption = "60%";
    controls_.paper_size = "A3";
  }
  fs::path SettingsPath(const char* name) const { return folders_.root() / "saved" / name; }
  std::string Get(const fs::path& file, const char* section, const char* key) const {
    return IniDocument::Parse(ReadFileBytes(file)).Get(section, key).value_or("<missing>");
  }

  TestFolders folders_;
  RecordingNotifier notifier_;
  SettingsStore store_;
  SettingsFileControls controls_;
};

TEST_F(SettingsFileTest, SaveWritesTheKeysInOrderAndRemembersTheFolder) {
  const fs::path file = SettingsPath("shirts.qvcfg");
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(SaveSettingsFile(store_, file, controls_, DecodeToneCurves(kUserCurvesText)));
  EXPECT_EQ(ReadFileBytes(file),
            "[Active]\r\nWhite Mask %=80%\r\nDisplay= 1\r\nTonerOn= 1\r\nTonerSave= 0\r\n"
            "TonerPercent=60%\r\nRight Margin=1100\r\nLeft Margin=1200\r\nBottom Margin=1307\r\n"
            "Top Margin=1296\r\nPaperSize=A3\r\n"
            "[CYMW]\r\nProfile=F0F0A0A050500A0AF0F0A0A050500A0AF0F0A0A050500A0A\r\n"
            "[WYMC]\r\nProfile=FFFDFAB584610000FFFDABCD66750000FFFDA2F7607D0000\r\n");
  EXPECT_EQ(store_.ReadSetting("Directory", "Last Config"), file.parent_path().string() + "/");
  EXPECT_EQ(SettingsFileStartFolder(store_, SettingsFileSource::kUserFolder),
            file.parent_path().string() + "/");
  EXPECT_EQ(SettingsFileStartFolder(store_, SettingsFileSource::kCommonFolder),
            folders_.folders().common);
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(SettingsFileTest, WhiteFirstSaveAndWhiteLastLoadUseTheDefaultCurves) {
  const fs::path file = SettingsPath("wf.qvcfg");
  fs::create_directories(file.parent_path());
  store_.WriteSetting("Active", "T_ORDER", "WF");
  ASSERT_TRUE(SaveSettingsFile(store_, file, controls_, DecodeToneCurves(kUserCurvesText)));
  EXPECT_EQ(Get(file, "WYMC", "Profile"), kUserCurvesText);
  EXPECT_EQ(Get(file, "CYMW", "Profile"), kDefaultToneCurvesText);
  // The section of the order in force comes first.
  EXPECT_LT(ReadFileBytes(file).find("[WYMC]"), ReadFileBytes(file).find("[CYMW]"));

  store_.WriteSetting("Active", "T_ORDER", "WL");
  JobSettings settings;
  ToneCurves curves = DecodeToneCurves(kUserCurvesText);
  const SettingsFileLoad load =
      LoadSettingsFile(store_, file, SettingsFileSource::kUserFolder, settings, curves);
  EXPECT_EQ(load.status, 1);
  EXPECT_TRUE(load.curves_applied);
  EXPECT_EQ(curves, DefaultToneCurves());

  store_.WriteSetting("Active", "T_ORDER", "WF");
  LoadSettingsFile(store_, file, SettingsFileSource::kUserFolder, settings, curves);
  EXPECT_EQ(curves, DecodeToneCurves(kUserCurvesText));
}

TEST_F(SettingsFileTest, LoadTakesTheStoredValues) {
  const fs::path file = SettingsPath("round.qvcfg");
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(SaveSettingsFile(store_, file, controls_, DecodeToneCurves(kUserCurvesText)));
  store_.WriteSetting("Active", "Right Margin", "1");
  store_.WriteSetting("Active", "Left Margin", "2");
  store_.WriteSetting("Active", "Unit", "C");
  store_.WriteSetting("Directory", "Last Config", "");

  JobSettings settings;
  ToneCurves curves = DefaultToneCurves();
  const SettingsFileLoad load =
      LoadSettingsFile(store_, file, SettingsFileSource::kUserFolder, settings, curves);
  EXPECT_EQ(load.status, 1);
  EXPECT_EQ(settings.whiteMaskPercent, 80);
  EXPECT_EQ(settings.display, 1);
  EXPECT_EQ(settings.tonerOn, 1);
  EXPECT_EQ(settings.tonerSave, 0);
  EXPECT_EQ(settings.tonerPercent, 60);
  EXPECT_EQ(settings.whiteOverlayPercent, 2);
  EXPECT_EQ(settings.unit, 1);
  EXPECT_EQ(load.paper_size, "A3");
  EXPECT_TRUE(load.margins_written);
  EXPECT_EQ(store_.ReadSetting("Active", "Right Margin"), "1100");
  EXPECT_EQ(store_.ReadSetting("Active", "Left Margin"), "1200");
  EXPECT_EQ(curves, DecodeToneCurves(kUserCurvesText));
  EXPECT_EQ(store_.ReadSetting("Directory", "Last Config"), file.parent_path().string() + "/");
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(SettingsFileTest, MissingKeysAndTheirMarkers) {
  const fs::path file = SettingsPath("sparse.qvcfg");
  // Marker values ("60", "2", "5") leave the current values; a missing White Mask % sets 40
  // and a missing TonerPercent 50.
  WriteFileBytes(file, "[Active]\r\nDisplay=5\r\nTonerSave=0\r\nWhite Overlay %=7\r\n");
  store_.WriteSetting("Active", "Unit", "X");
  store_.WriteSetting("Directory", "Last Config", "/elsewhere/");
  JobSettings settings;
  settings.whiteMaskPercent = 90;
  settings.display = 1;
  settings.tonerOn = 0;
  settings.tonerSave = 1;
  settings.tonerPercent = 70;
  settings.unit = 2;
  ToneCurves curves = DecodeToneCurves(kUserCurvesText);
  const SettingsFileLoad load =
      LoadSettingsFile(store_, file, SettingsFileSource::kCommonFolder, settings, curves);
  EXPECT_EQ(load.status, 1);
  EXPECT_EQ(settings.whiteMaskPercent, 40);
  EXPECT_EQ(settings.whiteOverlayPercent, 7);
  EXPECT_EQ(settings.display, 1);
  EXPECT_EQ(settings.tonerOn, 0);
  EXPECT_EQ(settings.tonerSave, 0);
  EXPECT_EQ(settings.tonerPercent, 50);
  EXPECT_EQ(settings.unit, 0);
  EXPECT_FALSE(load.paper_size.has_value());
  EXPECT_FALSE(load.margins_written);
  EXPECT_EQ(store_.ReadSetting("Active", "Right Margin"), "1100");
  // Ready-made files do not move the user's own folder.
  EXPECT_EQ(store_.ReadSetting("Directory", "Last Config"), "/elsewhere/");

  WriteFileBytes(file, "[Active]\r\nWhite Mask %=60\r\nTonerPercent= 33\r\n");
  settings.whiteMaskPercent = 90;
  LoadSettingsFile(store_, file, SettingsFileSource::kCommonFolder, settings, curves);
  EXPECT_EQ(settings.whiteMaskPercent, 90);
  EXPECT_EQ(settings.tonerPercent, 33);
}

TEST_F(SettingsFileTest, OnlyRightMarginSetsTheOthersTo60) {
  const fs::path file = SettingsPath("right.qvcfg");
  WriteFileBytes(file, "[Active]\r\nRight Margin=800\r\n");
  JobSettings settings;
  ToneCurves curves;
  const SettingsFileLoad load =
      LoadSettingsFile(store_, file, SettingsFileSource::kUserFolder, settings, curves);
  EXPECT_TRUE(load.margins_written);
  EXPECT_EQ(store_.ReadSetting("Active", "Right Margin"), "800");
  EXPECT_EQ(store_.ReadSetting("Active", "Left Margin"), "60");
  EXPECT_EQ(store_.ReadSetting("Active", "Bottom Margin"), "60");
  EXPECT_EQ(store_.ReadSetting("Active", "Top Margin"), "60");
}

TEST_F(SettingsFileTest, MissingOrDamagedCurveSectionKeepsTheCurvesInForce) {
  const fs::path file = SettingsPath("nocurves.qvcfg");
  const ToneCurves in_force = DecodeToneCurves(kUserCurvesText);
  for (const char* order : {"WL", "WF"}) {
    SCOPED_TRACE(order);
    store_.WriteSetting("Active", "T_ORDER", order);
    // The section of the other order is there, the one in force is not.
    WriteFileBytes(file, std::string("[Active]\r\nTonerPercent=40%\r\n[") +
                             (std::string(order) == "WL" ? "WYMC" : "CYMW") +
                             "]\r\nProfile=" + kWhiteFirstToneCurvesText + "\r\n");
    JobSettings settings;
    ToneCurves curves = in_force;
    const SettingsFileLoad load =
        LoadSettingsFile(store_, file, SettingsFileSource::kUserFolder, settings, curves);
    EXPECT_EQ(load.status, 1);
    EXPECT_FALSE(load.curves_applied);
    EXPECT_EQ(curves, in_force);
    EXPECT_EQ(settings.tonerPercent, 40);
  }
  EXPECT_TRUE(notifier_.messages.empty());

  store_.WriteSetting("Active", "T_ORDER", "WL");
  WriteFileBytes(file, "[CYMW]\r\nProfile=a0\r\n");
  JobSettings settings;
  ToneCurves curves = in_force;
  const SettingsFileLoad load =
      LoadSettingsFile(store_, file, SettingsFileSource::kUserFolder, settings, curves);
  EXPECT_EQ(load.status, 1);
  EXPECT_FALSE(load.curves_applied);
  EXPECT_EQ(curves, in_force);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_NE(notifier_.messages[0].text.find("are damaged"), std::string::npos);
}

TEST_F(SettingsFileTest, UnreadableOrForeignFilesChangeNothing) {
  const std::string user_file_before = ReadFileBytes(store_.UserSettingsFile());
  const JobSettings before;
  const ToneCurves in_force = DecodeToneCurves(kUserCurvesText);

  const fs::path missing = SettingsPath("gone.qvcfg");
  const fs::path foreign = SettingsPath("picture.qvcfg");
  WriteFileBytes(foreign, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  const fs::path folder = SettingsPath("folder.qvcfg");
  fs::create_directories(folder);
  for (const fs::path& file : {missing, foreign, folder}) {
    SCOPED_TRACE(file.string());
    notifier_.messages.clear();
    JobSettings settings;
    ToneCurves curves = in_force;
    const SettingsFileLoad load =
        LoadSettingsFile(store_, file, SettingsFileSource::kUserFolder, settings, curves);
    EXPECT_EQ(load.status, 0);
    EXPECT_EQ(settings, before);
    EXPECT_EQ(curves, in_force);
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kError);
    EXPECT_NE(notifier_.messages[0].text.find(file.string()), std::string::npos);
  }
  EXPECT_EQ(ReadFileBytes(store_.UserSettingsFile()), user_file_before);
}

TEST_F(SettingsFileTest, FailedSaveIsReportedAndKeepsTheOldFile) {
  const fs::path file = SettingsPath("locked.qvcfg");
  WriteFileBytes(file, "[Active]\r\nPaperSize=A4\r\n[Notes]\r\nmine=kept\r\n");
  fs::permissions(file, fs::perms::owner_read);
  EXPECT_FALSE(SaveSettingsFile(store_, file, controls_, DefaultToneCurves()));
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro");
  EXPECT_NE(notifier_.messages[0].text.find("Error 5 - Access denied (read only?)"),
            std::string::npos);
  EXPECT_EQ(ReadFileBytes(file), "[Active]\r\nPaperSize=A4\r\n[Notes]\r\nmine=kept\r\n");

  // Overwriting a writable file keeps what else it holds, as the older versions did.
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(SaveSettingsFile(store_, file, controls_, DefaultToneCurves()));
  EXPECT_EQ(Get(file, "Notes", "mine"), "kept");
  EXPECT_EQ(Get(file, "Active", "PaperSize"), "A3");

  // A save into a folder that is not there.
  notifier_.messages.clear();
  EXPECT_FALSE(SaveSettingsFile(store_, SettingsPath("no/such/folder.qvcfg"), controls_,
                                DefaultToneCurves()));
  EXPECT_EQ(notifier_.messages.size(), 1u);
}

TEST(SettingsFileUnitTest, UnitCodes) {
  EXPECT_EQ(UnitFromCode("M"), 0);
  EXPECT_EQ(UnitFromCode("C"), 1);
  EXPECT_EQ(UnitFromCode("I"), 2);
  EXPECT_EQ(UnitFromCode("i"), 0);
  EXPECT_EQ(UnitFromCode(""), 0);
}

}  // namespace
}  // namespace kelvaro
