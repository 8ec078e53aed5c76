// Runs the built `kelvaro` program with its own user and common folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/job_settings.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::FixtureFolder;
using testing::KelvaroBinary;
using testing::ReadFileBytes;
using testing::RunCommand;
using testing::TempDir;
using testing::WriteFileBytes;

class SettingsCliTest : public ::testing::Test {
 protected:
  fs::path User() const { return dir_.path() / "user"; }
  fs::path Common() const { return dir_.path() / "common"; }
  fs::path SettingsFile() const { return User() / "KelvaroPro.ini"; }
  std::string Errors() const { return ReadFileBytes(dir_.path() / "stderr.txt"); }

  // `arguments` go to the shell as they are; quote what needs quoting.
  testing::CommandResult Run(const std::string& arguments, const std::string& extra_env = "") {
    return RunCommand("KELVARO_USER_DIR='" + User().string() + "' KELVARO_COMMON_DIR='" +
                      Common().string() + "' " + extra_env + " '" + KelvaroBinary().string() +
                      "' " + arguments + " 2>'" + (dir_.path() / "stderr.txt").string() + "'");
  }

  TempDir dir_;
};

// The lines of `section` in file order, without line ends.
std::vector<std::string> SectionLines(const std::string& bytes, const std::string& section) {
  std::vector<std::string> lines;
  bool inside = false;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + section + "]";
    } else if (inside) {
      lines.push_back(line);
    }
    start = end + 2;
  }
  return lines;
}

TEST_F(SettingsCliTest, FirstRunCreatesTheDefaultFile) {
  ASSERT_FALSE(fs::exists(User()));
  const testing::CommandResult result = Run("settings get Active Printer");
  EXPECT_EQ(result.status, 0) << Errors();
  EXPECT_EQ(result.out, "OKI C711wt Nollo\n");
  ASSERT_TRUE(fs::is_regular_file(SettingsFile()));

  // Each default key once, with its exact stored text, in table order within its section.
  const std::string bytes = ReadFileBytes(SettingsFile());
  for (const char* section : {"INI_INF", "Active", "KYMC"}) {
    std::vector<std::string> expected;
    for (const DefaultSetting& setting : kDefaultSettings) {
      if (std::string(setting.key.section) == section) {
        expected.push_back(std::string(setting.key.name) + "=" + setting.value);
      }
    }
    std::vector<std::string> found;
    for (const std::string& line : SectionLines(bytes, section)) {
      for (const std::string& wanted : expected) {
        if (line == wanted) found.push_back(line);
      }
    }
    EXPECT_EQ(found, expected) << section;
  }
  EXPECT_EQ(SectionLines(bytes, "Active").size(), 18u + 5u);  // + language and four margins
  EXPECT_NE(bytes.find("TonerPercent= 50\r\n"), std::string::npos);

  // A second run finds the file current and changes nothing.
  EXPECT_EQ(Run("settings get active printer").out, "OKI C711wt Nollo\n");
  EXPECT_EQ(ReadFileBytes(SettingsFile()), bytes);
}

TEST_F(SettingsCliTest, SetThenGet) {
  ASSERT_EQ(Run("settings set Stats Currancy 'Swiss Franc'").status, 0) << Errors();
  EXPECT_EQ(Run("settings get STATS currancy").out, "Swiss Franc\n");
  // The default set did not overwrite it, nor the other way round.
  EXPECT_EQ(Run("settings get Active TonerPercent").out, "50\n");
  ASSERT_EQ(Run("settings set Active TonerPercent ' 70'").status, 0);
  EXPECT_EQ(Run("settings get Active TonerPercent").out, "70\n");
  // A missing key reads as an empty line.
  const testing::CommandResult missing = Run("settings get Nowhere Nothing");
  EXPECT_EQ(missing.status, 0);
  EXPECT_EQ(missing.out, "\n");
}

TEST_F(SettingsCliTest, BadUsageIsRefusedBeforeAnythingIsWritten) {
  for (const std::string& arguments :
       {std::string("settings"), std::string("settings get Active"),
        std::string("settings set Active Printer"), std::string("settings put Active Printer X"),
        std::string("settings get '' Printer"),
        std::string("settings get Active ") + std::string(30, 'k'),
        std::string("settings set 'Act]ive' Printer X"),
        std::string("settings set Active 'Print=er' X"),
        std::string("settings set Active ';Printer' X"),  // a comment line, never read back
        std::string("settings set Active Printer \"$(printf 'a\\nb')\""),
        std::string("settings set Active Printer ") + std::string(255, 'v')}) {
    SCOPED_TRACE(arguments);
    const testing::CommandResult result = Run(arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(Errors().empty());
    EXPECT_FALSE(fs::exists(User()));
  }
  // The longest names and values that fit are taken.
  EXPECT_EQ(Run("settings set " + std::string(29, 's') + " Key " + std::string(254, 'v')).status,
            0);
  EXPECT_EQ(Run("settings get " + std::string(29, 's') + " key").out, std::string(254, 'v') + "\n");
}

TEST_F(SettingsCliTest, FailedWriteIsReportedAndKeepsTheFile) {
  ASSERT_EQ(Run("settings get Active Printer").status, 0);
  fs::permissions(SettingsFile(), fs::perms::owner_read);
  const std::string before = ReadFileBytes(SettingsFile());
  const testing::CommandResult result = Run("settings set Active Printer Other");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(Errors().find("Failed to write to:- "), std::string::npos);
  EXPECT_NE(Errors().find("Error 5 - Access denied (read only?)"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(SettingsFile()), before);
  EXPECT_EQ(Run("settings get Active Printer").out, "OKI C711wt Nollo\n");
}

TEST_F(SettingsCliTest, TextsOfTheBuiltInTable) {
  EXPECT_EQ(Run("texts 28").out, "28\tPrint\n");
  EXPECT_EQ(Run("texts 0").out, "0\tKelvaro Pro\n");
  EXPECT_EQ(Run("texts 135").out,
            "135\tThe original image is to big\\nfor the requested copies\\nPlease reduce the "
            "size/resolution\n");
  EXPECT_EQ(Run("texts 25").out, "25\t\n");  // an entry without text

  const testing::CommandResult all = Run("texts");
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.out.substr(0, 28), "0\tKelvaro Pro\n1\tNo File\n2\tIn");
  EXPECT_NE(all.out.find("\n28\tPrint\n"), std::string::npos);
  EXPECT_EQ(all.out.find("\n25\t"), std::string::npos);  // empty entries are left out

  for (const char* bad : {"texts 313", "texts -1", "texts x", "texts 1 2"}) {
    const testing::CommandResult result = Run(bad);
    EXPECT_EQ(result.status, 2) << bad;
    EXPECT_EQ(result.out, "") << bad;
  }
}

TEST_F(SettingsCliTest, TextsOfAStoredLanguage) {
  const fs::path program = dir_.path() / "program";
  fs::create_directories(program);
  fs::copy_file(FixtureFolder() / "settings" / "deutsch.lan3", program / "deutsch.lan3");
  // A name of an older version is rewritten on the way.
  WriteFileBytes(User() / "KelvaroPro.ini", "[Active]\r\nLanguage=Deutsch.lang\r\n");
  const std::string env = "KELVARO_PROGRAM_DIR='" + program.string() + "'";
  EXPECT_EQ(Run("texts 28", env).out, "28\tDrucken: NUR Neue Nummern\n");
  EXPECT_EQ(Run("texts 0", env).out, "0\tKelvaro Pro\n");
  EXPECT_EQ(Run("settings get Active Language", env).out, "deutsch.lan3\n");
}

// Twenty programs writing at once into a settings folder that does not exist yet: every
// program keeps its key, and the defaults the first start writes survive them all.
TEST_F(SettingsCliTest, TwentyWritersAtOnceLoseNothing) {
  constexpr int kWriters = 20;
  std::string script;
  for (int i = 0; i < kWriters; ++i) {
    const std::string n = std::to_string(i);
    script += "( KELVARO_USER_DIR='" + User().string() + "' KELVARO_COMMON_DIR='" +
              Common().string() + "' '" + KelvaroBinary().string() + "' settings set Race Key" + n +
              " Value" + n + " 2>/dev/null; echo $? >'" + (dir_.path() / ("status" + n)).string() +
              "' ) & ";
  }
  script += "wait";
  ASSERT_EQ(RunCommand(script).status, 0);

  const std::string bytes = ReadFileBytes(SettingsFile());
  std::vector<std::string> race = SectionLines(bytes, "Race");
  std::sort(race.begin(), race.end());
  std::vector<std::string> expected;
  for (int i = 0; i < kWriters; ++i) {
    EXPECT_EQ(ReadFileBytes(dir_.path() / ("status" + std::to_string(i))), "0\n") << i;
    expected.push_back("Key" + std::to_string(i) + "=Value" + std::to_string(i));
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(race, expected);
  for (const DefaultSetting& setting : kDefaultSettings) {
    const std::vector<std::string> lines = SectionLines(bytes, setting.key.section);
    const std::string line = std::string(setting.key.name) + "=" + setting.value;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
  }
}

// A settings file that is there but cannot be read: a folder in its place (the tests run as
// root, who reads any file regardless of its mode).
TEST_F(SettingsCliTest, UnreadableSettingsFileIsSaidOnceAndGetFails) {
  fs::create_directories(SettingsFile() / "inside");
  const std::string message = "Kelvaro: The settings file cannot be read:- \n" +
                              SettingsFile().string() +
                              "\nError 1920 - Not a regular file (a folder, device or pipe is "
                              "in its place)\n";
  const fs::path job = dir_.path() / "job.ps";
  for (const std::string& arguments :
       {std::string("settings get Active Printer"), std::string("settings set Active Unit M"),
        "print '" + testing::SampleArtwork().string() + "' --output '" + job.string() + "'"}) {
    SCOPED_TRACE(arguments);
    const testing::CommandResult result = Run(arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    const std::string errors = Errors();
    const std::size_t first = errors.find(message);
    ASSERT_NE(first, std::string::npos) << errors;
    EXPECT_EQ(errors.find(message, first + 1), std::string::npos) << errors;
    EXPECT_EQ(errors.find("Failed to write"), std::string::npos) << errors;
  }
  EXPECT_TRUE(fs::is_directory(SettingsFile() / "inside"));
  // A print with settings nobody chose is not made.
  EXPECT_FALSE(fs::exists(job));
}

// The usual case: a file of another owner with mode 000, read by a user who is not root.
TEST_F(SettingsCliTest, SettingsFileOfAnotherOwnerIsSaidOnce) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  ASSERT_EQ(Run("settings set Active Unit M").status, 0) << Errors();
  fs::permissions(SettingsFile(), fs::perms::none);
  fs::create_directories(Common());
  for (const fs::path& folder : {dir_.path(), User(), Common()}) {
    fs::permissions(folder, fs::perms::all);
  }
  const testing::CommandResult result =
      Run("settings get Active Unit", "setpriv --reuid=65534 --regid=65534 --clear-groups");
  EXPECT_EQ(result.status, 1) << Errors();
  EXPECT_EQ(result.out, "");
  const std::string errors = Errors();
  EXPECT_EQ(errors.find("Failed to write"), std::string::npos) << errors;
  const std::string said = "The settings file cannot be read:- \n" + SettingsFile().string() +
                           "\nError 5 - Access denied (read only?)";
  const std::size_t first = errors.find(said);
  ASSERT_NE(first, std::string::npos) << errors;
  EXPECT_EQ(errors.find(said, first + 1), std::string::npos) << errors;
}

}  // namespace
}  // namespace kelvaro
