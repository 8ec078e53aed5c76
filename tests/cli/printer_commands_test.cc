// `kelvaro printers`, `papers` and `presets` run as a user would run them, each with its own
// data folders, no USB printers and no reachable print server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printers/paper_sizes.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::SizeIs;
using testing::TempDir;

class PrinterCommandsTest : public ::testing::Test {
 protected:
  struct Run {
    int status;
    std::vector<std::string> lines;  // standard output
    std::string errors;              // standard error
  };

  Run Kelvaro(const std::string& args) {
    const std::filesystem::path errors = home_.path() / "stderr.txt";
    const std::string command = "KELVARO_USER_DIR='" + user().string() + "' KELVARO_COMMON_DIR='" +
                                (home_.path() / "common").string() + "' KELVARO_SYSFS_USB_ROOT='" +
                                (home_.path() / "usb").string() + "' CUPS_SERVER='" +
                                (home_.path() / "no-server.sock").string() + "' '" +
                                testing::KelvaroBinary().string() + "' " + args + " 2>'" +
                                errors.string() + "'";
    const testing::CommandResult result = testing::RunCommand(command);
    return {result.status, testing::SplitLines(result.out), testing::ReadFileBytes(errors)};
  }

  std::filesystem::path user() const { return home_.path() / "user"; }

  // A settings file of the current version with these extra lines.
  void WriteSettings(const std::string& lines) {
    testing::WriteFileBytes(user() / "KelvaroPro.ini", "[INI_INF]\r\nVersion= 2.2\r\n" + lines);
  }

  TempDir home_;
};

TEST_F(PrinterCommandsTest, PapersOfAnA4ModelAndItsCustomSizes) {
  const auto record = [](const char* name, double width, double height) {
    CustomPaperSize size;
    size.name = name;
    size.width = width;
    size.height = height;
    size.group = WidthGroup(width);
    return FormatCustomPaperRecord(size);
  };
  WriteSettings("[Papers]\r\nNumber=4\r\nCustom1=" + record("Shirt", 510.2, 793.7) +
                "\r\nCustom2=" + record("Wide", 700, 1000) +
                "\r\nCustom3=" + record("Poster", 900, 1200) +
                "\r\nCustom4=" + record("Tall", 300, 1100.5) + "\r\n");

  const Run c711 = Kelvaro("papers --model C711WT");
  ASSERT_EQ(c711.status, 0) << c711.errors;
  // Custom sizes show the whole points choosing them gives (1100.5 rounds to even).
  EXPECT_THAT(c711.lines,
              ElementsAre("A4XL 216x420mm\t612 x 1191 pt", "A4\t595 x 842 pt\tselected",
                          "A5 SEF\t420 x 595 pt", "A6 SEF\t297 x 420 pt",
                          "Shirt\t510 x 794 pt\tcustom", "Tall\t300 x 1100 pt\tcustom"));

  const Run pro8432 = Kelvaro("papers --model Pro8432WT");
  ASSERT_EQ(pro8432.status, 0) << pro8432.errors;
  EXPECT_THAT(
      pro8432.lines,
      ElementsAre("A3\t842 x 1191 pt", "A4XL 216x420mm\t612 x 1191 pt",
                  "A4\t595 x 842 pt\tselected", "A4 SEF\t595 x 842 pt", "A5 SEF\t420 x 595 pt",
                  "A6 SEF\t297 x 420 pt", "Shirt\t510 x 794 pt\tcustom",
                  "Wide\t700 x 1000 pt\tcustom", "Tall\t300 x 1100 pt\tcustom"));

  const Run c920 = Kelvaro("papers --model=C920WT");
  ASSERT_EQ(c920.status, 0) << c920.errors;
  EXPECT_THAT(c920.lines, SizeIs(10));
  EXPECT_EQ(c920.lines[8], "Poster\t900 x 1200 pt\tcustom");
}

TEST_F(PrinterCommandsTest, PapersFollowTheStoredModelWithoutOverride) {
  WriteSettings("[Active]\r\nModel=ES9420WT\r\n");
  const Run run = Kelvaro("papers");
  ASSERT_EQ(run.status, 0) << run.errors;
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines[0], "A3\t842 x 1191 pt");
}

TEST_F(PrinterCommandsTest, PresetsInListOrderFollowingTheModel) {
  const Run c711 = Kelvaro("presets --model C711WT");
  ASSERT_EQ(c711.status, 0) << c711.errors;
  ASSERT_THAT(c711.lines, SizeIs(29));
  EXPECT_EQ(c711.lines[0], "101\tPrinter Setting\tAUTO\tfree\tno mirror\twhite\t50%");
  EXPECT_EQ(c711.lines[3], "194\tKelvaro Medium J\tTray 1\tfree\tmirror\twhite\t60%");
  EXPECT_EQ(c711.lines[4],
            "199\tNollo UK Medium T Dark\tMultiPurpose Tray\tfixed\tmirror\tno "
            "white\t60%");
  EXPECT_EQ(c711.lines[8],
            "257\tKelvaro Medium P Film\tMultiPurpose Tray\tfixed\tmirror\twhite\t98%");
  EXPECT_EQ(c711.lines[18], "102\tLight (64 - 74 g/m2)\tAUTO\tfree\tno mirror\tno white\t50%");
  EXPECT_EQ(c711.lines[22],
            "106\tUltra Heavy 1 (121 - 188 g/m2)\tMultiPurpose Tray\tfixed\tno mirror\tno "
            "white\t50%");
  EXPECT_EQ(c711.lines[28], "112\tFilms\tMultiPurpose Tray\tfixed\tno mirror\tno white\t50%");

  // On an "8432WT" model some trays are free, and white first makes nearly every preset
  // print white; the hot-stamp foil stays without.
  WriteSettings("[Active]\r\nT_ORDER=WF\r\n");
  const Run pro8432 = Kelvaro("presets --model Pro8432WT");
  ASSERT_EQ(pro8432.status, 0) << pro8432.errors;
  ASSERT_THAT(pro8432.lines, SizeIs(29));
  EXPECT_EQ(pro8432.lines[18], "102\tLight (64 - 74 g/m2)\tAUTO\tfree\tno mirror\twhite\t50%");
  EXPECT_EQ(pro8432.lines[22],
            "106\tUltra Heavy 1 (121 - 188 g/m2)\tMultiPurpose Tray\tfree\tno mirror\twhite\t50%");
  EXPECT_EQ(pro8432.lines[7],
            "198\tNollo Zeph Lite Hot Stamp Foil\tMultiPurpose Tray\tfree\tno mirror\tno "
            "white\t59%");
  // The same stored order means nothing to the 8432WDT.
  const Run wdt = Kelvaro("presets --model 8432WDT");
  ASSERT_THAT(wdt.lines, SizeIs(29));
  EXPECT_EQ(wdt.lines[18], c711.lines[18]);
  EXPECT_EQ(wdt.lines[22], c711.lines[22]);
}

TEST_F(PrinterCommandsTest, PrintersWithoutAPrintServerFailsButShowsTheRest) {
  const Run run = Kelvaro("printers --model TST4");
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.lines, ElementsAre("Model: TST4", "Paper class: 4", "Attached printer: none",
                                     "Queue: none"));
  EXPECT_THAT(run.errors, AllOf(HasSubstr("kelvaro printers: cannot reach the print server at "),
                                HasSubstr("no-server.sock; is CUPS running?")));
}

TEST_F(PrinterCommandsTest, BadUsageIsExitStatusTwoAndChangesNothing) {
  WriteSettings("[Active]\r\nModel=C920WT\r\n");
  const std::string before = testing::ReadFileBytes(user() / "KelvaroPro.ini");
  struct Case {
    const char* args;
    const char* message;
  };
  for (const Case& c : {
           Case{"printers --model PRO711WT", "unknown printer model \"PRO711WT\""},
           Case{"papers --model", "--model needs a value"},
           Case{"presets --model=", "--model needs a value"},
           Case{"papers A4", "unexpected argument A4"},
           Case{"presets --all", "unknown option --all"},
       }) {
    const Run run = Kelvaro(c.args);
    EXPECT_EQ(run.status, 2) << c.args;
    EXPECT_TRUE(run.lines.empty()) << c.args;
    EXPECT_THAT(run.errors, HasSubstr(c.message)) << c.args;
    EXPECT_THAT(run.errors, HasSubstr("usage: kelvaro ")) << c.args;
  }
  EXPECT_EQ(testing::ReadFileBytes(user() / "KelvaroPro.ini"), before);
}

}  // namespace
}  // namespace kelvaro
