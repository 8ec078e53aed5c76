#include "settings/job_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::GoldenFolder;
using testing::ReadFileBytes;
using testing::RecordingNotifier;
using testing::TestFolders;
using testing::WriteFileBytes;

// Curves that are neither preset, to see when the defaults are put back.
ToneCurves OddCurves() {
  return DecodeToneCurves("F0F0A0A050500A0AF0F0A0A050500A0AF0F0A0A050500A0A");
}

// The [section] key pairs of an INI text in file order.
std::vector<std::string> KeysInFileOrder(const std::string& bytes) {
  std::vector<std::string> keys;
  std::string section;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.front() == '[') {
      section = line.substr(1, line.size() - 2);
    } else if (const auto eq = line.find('='); eq != std::string::npos) {
      keys.push_back(section + "/" + line.substr(0, eq));
    }
    start = end + 2;
  }
  return keys;
}

class JobSettingsTest : public ::testing::Test {
 protected:
  JobSettingsTest() : store_(folders_.folders(), notifier_) { LoadDefaultTexts(texts_); }
  std::string FileBytes() const { return ReadFileBytes(store_.UserSettingsFile()); }

  TestFolders folders_;
  RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_;
};

TEST_F(JobSettingsTest, DefaultSetIsWrittenInTableOrderWithLeadingBlanks) {
  // The user folder does not exist yet: the defaults create it.
  fs::remove_all(folders_.folders().user);
  ToneCurves curves = OddCurves();
  EXPECT_TRUE(WriteDefaultSettings(store_, curves));
  EXPECT_EQ(curves, DefaultToneCurves());
  EXPECT_EQ(FileBytes(), ReadFileBytes(GoldenFolder() / "settings" / "default_settings.ini"));
  EXPECT_TRUE(notifier_.messages.empty());

  // Readers take the numbers by their leading number despite the blank.
  const StoredSettings stored = LoadStoredSettings(store_, texts_);
  EXPECT_FLOAT_EQ(stored.job.version, 2.2f);
  EXPECT_FALSE(stored.job.version < kCurrentSettingsVersion);
  EXPECT_EQ(stored.job.printer, "OKI C711wt Nollo");
  EXPECT_EQ(stored.job.tray, "MultiPurpose Tray");
  EXPECT_EQ(stored.job.tonerPercent, 50);
  EXPECT_EQ(stored.job.display, 0);
  EXPECT_EQ(stored.job.tonerOn, 1);
  EXPECT_EQ(stored.job.tonerSave, 1);
  EXPECT_EQ(stored.job.whiteMaskPercent, 100);
  EXPECT_EQ(stored.job.whiteOverlayPercent, 2);
}

TEST_F(JobSettingsTest, LoadOfMissingOddAndLongValues) {
  // Nothing stored: every field has its missing-key value.
  StoredSettings stored = LoadStoredSettings(store_, texts_);
  JobSettings expected;
  expected.tray = "MultiPurpose Tray";
  EXPECT_EQ(stored.job, expected);
  EXPECT_EQ(stored.recent_files, RecentFiles{});

  store_.WriteSetting("Active", "TonerPercent", "abc");
  store_.WriteSetting("Active", "White Mask %", "  75%");
  store_.WriteSetting("Active", "TonerOn", "0");
  store_.WriteSetting("Active", "White Overlay %", "999");
  store_.WriteSetting("Active", "Printer", std::string(100, 'P'));
  store_.WriteSetting("INI_INF", "Version", "2.1");
  stored = LoadStoredSettings(store_, texts_);
  EXPECT_EQ(stored.job.tonerPercent, 0);
  EXPECT_EQ(stored.job.whiteMaskPercent, 75);
  EXPECT_EQ(stored.job.tonerOn, 0);
  EXPECT_EQ(stored.job.whiteOverlayPercent, 255);
  EXPECT_EQ(stored.job.printer, std::string(80, 'P'));
  EXPECT_FLOAT_EQ(stored.job.version, 2.1f);
  EXPECT_TRUE(stored.job.version < kCurrentSettingsVersion);
}

TEST_F(JobSettingsTest, LoadReadsTheRecentFiles) {
  WriteFileBytes(RecentFilesPath(folders_.folders().user),
                 FormatRecentFiles(WithFileOnTop(RecentFiles{}, "/pictures/cat.png")));
  const StoredSettings stored = LoadStoredSettings(store_, texts_);
  EXPECT_EQ(stored.recent_files.slots[0], "/pictures/cat.png");
  EXPECT_EQ(stored.recent_files.folder(), "/pictures/");
}

TEST_F(JobSettingsTest, PreparationOfAFreshFolder) {
  fs::remove_all(folders_.folders().user);
  ToneCurves curves = OddCurves();
  const StoredSettings stored = PrepareStoredSettings(store_, texts_, curves);
  EXPECT_EQ(curves, DefaultToneCurves());
  EXPECT_EQ(stored.job.printer, "OKI C711wt Nollo");
  EXPECT_FLOAT_EQ(stored.job.version, 2.2f);

  // The default set first, then the pattern and margin defaults.
  std::vector<std::string> expected;
  for (const DefaultSetting& setting : kDefaultSettings) {
    expected.push_back(std::string(setting.key.section) + "/" + setting.key.name);
  }
  // New keys of a section go after its last key, new sections at the end of the file.
  expected.insert(expected.begin() + 19, {"Active/Top Margin", "Active/Left Margin",
                                          "Active/Right Margin", "Active/Bottom Margin"});
  for (const char* key : {"Screen", "Shape", "SizeX", "SizeY", "Gap"}) {
    expected.push_back(std::string("RIP Patten Setup/") + key);
  }
  EXPECT_EQ(KeysInFileOrder(FileBytes()), expected);
  EXPECT_EQ(store_.ReadSetting("RIP Patten Setup", "Shape"), "Ellipse");
  EXPECT_EQ(store_.ReadSetting("RIP Patten Setup", "SizeY"), "2");
  EXPECT_EQ(store_.ReadSetting("Active", "Top Margin"), "1296");
  EXPECT_EQ(store_.ReadSetting("Active", "Bottom Margin"), "1307");
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(JobSettingsTest, OutdatedFileGetsTheDefaultSetAndKeepsEverythingElse) {
  for (const char* version : {"2.1", ""}) {
    SCOPED_TRACE(std::string("version '") + version + "'");
    ToneCurves curves = OddCurves();
    WriteDefaultSettings(store_, curves);
    store_.WriteSetting("INI_INF", "Version", version);
    store_.WriteSetting("Active", "Printer", "OKI C920WT");
    store_.WriteSetting("Active", "TonerPercent", " 80");
    store_.WriteSetting("Active", "Unit", "I");
    store_.WriteSetting("Papers", "Number", "1");
    store_.WriteSetting("Papers", "Custom1", "Poster,1000,2000");
    store_.WriteSetting("Stats", "CMYT", "CMY,9000,5%,216,A4");
    store_.WriteSetting("RIP Patten Setup", "SizeX", "7");
    store_.WriteSetting("Active", "Left Margin", "500");
    curves = OddCurves();

    const StoredSettings stored = PrepareStoredSettings(store_, texts_, curves);
    EXPECT_EQ(stored.job.printer, "OKI C711wt Nollo");
    EXPECT_EQ(stored.job.tonerPercent, 50);
    EXPECT_FLOAT_EQ(stored.job.version, 2.2f);
    EXPECT_EQ(curves, DefaultToneCurves());
    EXPECT_EQ(store_.ReadSetting("Active", "Unit"), "M");
    EXPECT_EQ(store_.ReadSetting("Papers", "Custom1"), "Poster,1000,2000");
    EXPECT_EQ(store_.ReadSetting("Stats", "CMYT"), "CMY,9000,5%,216,A4");
    EXPECT_EQ(store_.ReadSetting("RIP Patten Setup", "SizeX"), "7");
    EXPECT_EQ(store_.ReadSetting("RIP Patten Setup", "Shape"), "");  // SizeX was set
    EXPECT_EQ(store_.ReadSetting("Active", "Left Margin"), "500");
    EXPECT_EQ(store_.ReadSetting("Active", "Right Margin"), "1296");
  }
}

TEST_F(JobSettingsTest, CurrentFileIsLoadedAsItIs) {
  ToneCurves curves = OddCurves();
  WriteDefaultSettings(store_, curves);
  store_.WriteSetting("Active", "Printer", "OKI C920WT");
  store_.WriteSetting("Active", "Display", " 1");
  store_.WriteSetting("Active", "Bottom Margin", "900");
  const std::string before_bytes = FileBytes();
  curves = OddCurves();

  const StoredSettings stored = PrepareStoredSettings(store_, texts_, curves);
  EXPECT_EQ(stored.job.printer, "OKI C920WT");
  EXPECT_EQ(stored.job.display, 1);
  EXPECT_EQ(curves, OddCurves());  // no default set written, curves untouched
  EXPECT_EQ(store_.ReadSetting("Active", "Bottom Margin"), "900");
  EXPECT_EQ(store_.ReadSetting("Active", "Top Margin"), "1296");
  EXPECT_NE(FileBytes(), before_bytes);  // only the empty keys were added
  EXPECT_EQ(IniDocument::Parse(FileBytes()).Get("Active", "Printer"), "OKI C920WT");
}

TEST_F(JobSettingsTest, ReadOnlyFileReportsEveryFailedWriteAndStillLoads) {
  ToneCurves curves;
  WriteDefaultSettings(store_, curves);
  store_.WriteSetting("INI_INF", "Version", "1.0");
  store_.WriteSetting("Active", "Printer", "Mine");
  fs::permissions(store_.UserSettingsFile(), fs::perms::owner_read | fs::perms::group_read);
  const std::string before = FileBytes();

  curves = OddCurves();
  EXPECT_FALSE(WriteDefaultSettings(store_, curves));
  EXPECT_EQ(notifier_.messages.size(), kDefaultSettings.size());
  EXPECT_NE(notifier_.messages.back().text.find("Error 5 - Access denied (read only?)"),
            std::string::npos);
  EXPECT_EQ(curves, DefaultToneCurves());
  EXPECT_EQ(FileBytes(), before);

  const StoredSettings stored = PrepareStoredSettings(store_, texts_, curves);
  EXPECT_EQ(stored.job.printer, "Mine");
  EXPECT_EQ(FileBytes(), before);
}

TEST_F(JobSettingsTest, ResetToDefaultsRunsItsStepsInOrder) {
  ToneCurves curves = OddCurves();
  WriteDefaultSettings(store_, curves);
  store_.WriteSetting("Active", "T_ORDER", "WF");
  store_.WriteSetting("Active", "Printer", "OKI C920WT");
  store_.WriteSetting("Active", "Top Margin", "10");
  store_.WriteSetting("Active", "Bottom Margin", "20");
  store_.WriteSetting("Others", "RightHand", "0");
  store_.WriteSetting("Others", "LeftHand", "1");
  store_.WriteSetting("Stats", "Option", "1");
  curves = OddCurves();

  std::vector<std::string> steps;
  ResetHooks hooks;
  hooks.redraw_curves = [&] {
    EXPECT_EQ(curves, DefaultToneCurves());
    EXPECT_EQ(store_.ReadSetting("Active", "T_ORDER"), "WL");
    steps.push_back("curves");
  };
  hooks.reset_controls = [&] {
    EXPECT_EQ(store_.ReadSetting("Active", "Top Margin"), "10");
    steps.push_back("controls");
  };
  hooks.reapply_printer_model = [&] {
    EXPECT_EQ(store_.ReadSetting("Active", "Top Margin"), "1296");
    EXPECT_EQ(store_.ReadSetting("Active", "Bottom Margin"), "1307");
    EXPECT_EQ(store_.ReadSetting("Others", "RightHand"), "1");
    EXPECT_EQ(store_.ReadSetting("Others", "LeftHand"), "0");
    EXPECT_EQ(store_.ReadSetting("Active", "Zeph I Sheet"), "0");
    EXPECT_EQ(store_.ReadSetting("Active", "Printer"), "OKI C920WT");  // defaults come last
    steps.push_back("model");
  };
  ResetToDefaults(store_, curves, hooks);
  EXPECT_EQ(steps, (std::vector<std::string>{"curves", "controls", "model"}));
  EXPECT_EQ(store_.ReadSetting("Active", "Printer"), "OKI C711wt Nollo");
  EXPECT_EQ(store_.ReadSetting("Stats", "Option"), "1");
  EXPECT_EQ(curves, DefaultToneCurves());

  // Hooks are optional.
  curves = OddCurves();
  ResetToDefaults(store_, curves, {});
  EXPECT_EQ(curves, DefaultToneCurves());
  EXPECT_TRUE(notifier_.messages.empty());
}

}  // namespace
}  // namespace kelvaro
