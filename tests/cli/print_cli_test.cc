// `kelvaro print` and `kelvaro blank` as a user runs them: where the job goes, what the
// options change in it, and what is refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadFileBytes;

const fs::path kSample = testing::SampleArtwork();

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class PrintCommandTest : public ::testing::Test {
 protected:
  // Runs `kelvaro ARGS` in the test's folder with its own data folders and a pinned clock;
  // stdout in the result, stderr in `errors_`.
  CommandResult Kelvaro(const std::string& args) {
    const fs::path err = dir_.path() / "stderr.txt";
    CommandResult result =
        testing::RunCommand("cd " + Quoted(dir_.path()) + " && KELVARO_USER_DIR=" + Quoted(user()) +
                            " KELVARO_COMMON_DIR=" + Quoted(dir_.path() / "common") +
                            " KELVARO_SYSFS_USB_ROOT=" + Quoted(dir_.path() / "no-usb") +
                            " SOURCE_DATE_EPOCH=1700000000 " + Quoted(testing::KelvaroBinary()) +
                            " " + args + " 2>" + Quoted(err));
    errors_ = ReadFileBytes(err);
    return result;
  }
  // Prints the sample into job.ps with `options` and returns the job.
  std::string Job(const std::string& options) {
    const CommandResult result =
        Kelvaro("print " + Quoted(kSample) + " --output job.ps " + options);
    EXPECT_EQ(result.status, 0) << errors_;
    return ReadFileBytes(dir_.path() / "job.ps");
  }
  fs::path user() const { return dir_.path() / "user"; }
  std::string Settings() const { return ReadFileBytes(user() / "KelvaroPro.ini"); }

  testing::TempDir dir_;
  std::string errors_;
};

TEST_F(PrintCommandTest, WithoutADestinationTheJobGoesNextToTheCommand) {
  const CommandResult result = Kelvaro("print " + Quoted(kSample));
  ASSERT_EQ(result.status, 0) << errors_;
  const fs::path job = dir_.path() / "kelvaro-sample.ps";
  EXPECT_THAT(result.out, HasSubstr(job.string()));
  const std::string bytes = ReadFileBytes(job);
  ASSERT_GT(bytes.size(), 5u * 600 * 400);
  EXPECT_EQ(bytes.substr(0, 16), "%!PS-Adobe-3.0\r\n");
  EXPECT_EQ(bytes.back(), '\x04');
  // A job file is not a printer: the stored printer stays as it was.
  EXPECT_THAT(Settings(), HasSubstr("Printer=OKI C711wt Nollo\r\n"));
}

TEST_F(PrintCommandTest, ALongOutputPathIsWrittenWhole) {
  const fs::path folder = dir_.path() / std::string(60, 'f');
  fs::create_directories(folder);
  const CommandResult result =
      Kelvaro("print " + Quoted(kSample) + " --output " + Quoted(folder / "job.ps"));
  ASSERT_EQ(result.status, 0) << errors_;
  EXPECT_GT(fs::file_size(folder / "job.ps"), 5u * 600 * 400);
}

// A job piped on through stdout is the job alone: the confirmation goes to stderr then, and
// /dev/stdout stays what it was.
TEST_F(PrintCommandTest, AJobWrittenToStdoutIsTheJobAlone) {
  const CommandResult result = Kelvaro("print " + Quoted(kSample) + " --output /dev/stdout");
  ASSERT_EQ(result.status, 0) << errors_;
  EXPECT_THAT(errors_, HasSubstr("Job written to /dev/stdout"));
  EXPECT_TRUE(fs::is_symlink("/dev/stdout") || !fs::is_regular_file("/dev/stdout"));
  // The same bytes as the job file, and nothing behind its last byte.
  const std::string file = Job("");
  EXPECT_EQ(result.out.size(), file.size());
  EXPECT_TRUE(result.out == file);
  EXPECT_EQ(result.out.back(), '\x04');
}

TEST_F(PrintCommandTest, ThePinnedClockGivesTheSameBytesEveryTime) {
  const std::string first = Job("");
  const std::string second = Job("");
  EXPECT_EQ(first, second);
  EXPECT_THAT(first, HasSubstr("%%CreationDate: 11-14-2023 22:13:20\r\n"));
}

// --timings names every step with its time on stderr and changes no byte of the job.
TEST_F(PrintCommandTest, TimingsNameEveryStepAndLeaveTheJobAlone) {
  const std::string plain = Job("");
  EXPECT_THAT(errors_, Not(HasSubstr("step timings")));
  const std::string timed = Job("--timings");
  EXPECT_TRUE(timed == plain);
  for (const char* step : {"decode", "convert", "orient", "separate", "compose\\+write", "total"}) {
    EXPECT_THAT(errors_,
                ::testing::ContainsRegex(std::string("\n  ") + step + " +[0-9]+\\.[0-9] ms"))
        << errors_;
  }
}

TEST_F(PrintCommandTest, OptionsReachTheJob) {
  const std::string plain = Job("");
  EXPECT_THAT(plain, Not(HasSubstr("NumCopies")));
  EXPECT_THAT(plain, Not(HasSubstr("*InputSlot")));

  const std::string job = Job("--prints 3 --tray 'Tray 1'");
  EXPECT_THAT(job, HasSubstr("%%BeginNonPPDFeature: NumCopies  3\r\n\x85\x03"));
  EXPECT_THAT(job, HasSubstr("%%BeginFeature: *InputSlot UPPER\r\n"));

  // Glossy fixes the multipurpose tray on a C711WT.
  EXPECT_THAT(Job("--media Glossy"), HasSubstr("%%BeginFeature: *InputSlot FRONT\r\n"));

  // Two copies across: the image is twice as wide plus the gap.
  const std::string grid = Job("--across 2");
  EXPECT_THAT(plain, HasSubstr("/cols  602 def\r\n"));
  EXPECT_THAT(grid, Not(HasSubstr("/cols  602 def\r\n")));
  EXPECT_GT(grid.size(), plain.size() * 2 - 100000);
}

// The settings file without the four size keys a print leaves for the statistics.
std::string WithoutStatistics(const std::string& settings) {
  std::string kept;
  for (const std::string& line : testing::SplitLines(settings)) {
    if (line.rfind("Xpixel=", 0) == 0 || line.rfind("Ypixel=", 0) == 0 ||
        line.rfind("Xpoint=", 0) == 0 || line.rfind("Ypoint=", 0) == 0) {
      continue;
    }
    kept += line + "\n";
  }
  return kept;
}

// A print from the command line runs the window's rules, but what they store stays with the
// run: printed or refused, the stored settings are as they were (but for the statistics'
// size keys). The margins the paper or the dark medium bring hold for that print only.
TEST_F(PrintCommandTest, APrintLeavesTheStoredSettingsAsTheyWere) {
  ASSERT_EQ(Kelvaro("settings set Active 'Left Margin' 2000").status, 0);
  const std::string plain = Job("");
  const std::string stored = WithoutStatistics(Settings());
  testing::WriteFileBytes(dir_.path() / "wide.qvcfg",
                          "[Active]\r\nTop Margin=100000\r\nLeft Margin=100000\r\n"
                          "Right Margin=100000\r\nBottom Margin=100000\r\n");
  const struct {
    const char* options;
    int status;
  } kRuns[] = {
      {"--paper A4", 0},
      {"--media 'Nollo UK Medium T Dark'", 0},
      {"--media 'Nollo UK Medium T Dark'", 0},
      {"--model Pro8432WT --toner-order WF --media 'Kelvaro Medium J'", 0},
      {"--settings-file wide.qvcfg", 1},
      {"--media 'Nollo UK Medium T Dark' --tray 'Tray 1'", 1},
      {"--paper A4 --contrast 300", 1},
  };
  for (const auto& run : kRuns) {
    SCOPED_TRACE(run.options);
    EXPECT_EQ(Kelvaro("print " + Quoted(kSample) + " --output job.ps " + run.options).status,
              run.status)
        << errors_;
    EXPECT_EQ(WithoutStatistics(Settings()), stored);
  }
  // The paper's default margins held for its own print: the copy moved back to the left.
  EXPECT_EQ(Job(""), plain);
  EXPECT_THAT(plain, Not(HasSubstr("\r\n 140 310 translate\r\n")));
  EXPECT_THAT(Job("--paper A4"), HasSubstr("\r\n 140 310 translate\r\n"));
}

// Choosing a medium on the command line does what choosing it in the window does: its white
// settings replace the stored ones, and explicit options still win over it.
TEST_F(PrintCommandTest, AMediumBringsItsOwnWhiteSettings) {
  const auto plane4_is_blank = [&](const std::string& options) {
    const std::string job = Job(options + " --dump-separations planes");
    const std::string plane = ReadFileBytes(dir_.path() / "planes" / "plane4.pgm");
    const std::string pixels = plane.substr(plane.find("255\n") + 4);
    return pixels.find_first_not_of('\0') == std::string::npos;
  };
  // A no-white medium prints no white, though the stored Print White is on.
  EXPECT_TRUE(plane4_is_blank("--media 'Light (64 - 74 g/m2)'"));
  EXPECT_FALSE(plane4_is_blank("--media 'Light (64 - 74 g/m2)' --print-white"));
  EXPECT_FALSE(plane4_is_blank(""));
}

// A damaged settings file: margins below 0 or wider than the page would put the picture off
// the page (or, far enough out, wrap around onto it). The print is refused, the file kept.
TEST_F(PrintCommandTest, MarginsThatDoNotFitThePageAreReported) {
  for (const char* margin : {"-99999", "60000", "9999999999999999"}) {
    SCOPED_TRACE(margin);
    ASSERT_EQ(Kelvaro(std::string("settings set Active 'Left Margin' ") + margin).status, 0);
    const CommandResult result = Kelvaro("print " + Quoted(kSample) + " --output job.ps");
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(errors_, HasSubstr("do not fit the page A4 of 595 x 842 points"));
    EXPECT_FALSE(fs::exists(dir_.path() / "job.ps"));
    EXPECT_THAT(Settings(), HasSubstr(std::string("Left Margin=") + margin + "\r\n"));
  }
}

// The layout is worked out on the preview's canvas, as wide as the window last had it. A
// stored width the window cannot have (a canvas of a pixel or two) is not used.
TEST_F(PrintCommandTest, AnImpossiblePreviewWidthIsNotUsedForTheLayout) {
  const std::string usual = Job("");
  for (const char* width : {"5", "7", "-3"}) {
    SCOPED_TRACE(width);
    ASSERT_EQ(Kelvaro(std::string("settings set Active T_Used_W ") + width).status, 0);
    const std::string job = Job("");
    EXPECT_TRUE(job == usual);
    EXPECT_THAT(job, HasSubstr("\r\n 140 310 translate\r\n"));
  }
}

TEST_F(PrintCommandTest, PlanesAreDumpedAtTheSizeOfTheImageBlock) {
  Job("--dump-separations planes --no-print-white");
  for (int plane = 1; plane <= 5; ++plane) {
    SCOPED_TRACE(plane);
    const std::string pgm =
        ReadFileBytes(dir_.path() / "planes" / ("plane" + std::to_string(plane) + ".pgm"));
    const std::string header = "P5\n602 402\n255\n";
    ASSERT_EQ(pgm.size(), header.size() + 602u * 402u);
    EXPECT_EQ(pgm.substr(0, header.size()), header);
    const bool any_toner = pgm.find_first_not_of('\0', header.size()) != std::string::npos;
    // Without white the fourth plane (white in the white-last order) stays empty, as does
    // the spare fifth; the colours carry toner.
    EXPECT_EQ(any_toner, plane <= 3);
  }
}

TEST_F(PrintCommandTest, ChoicesTheWindowWouldNotOfferAreRefused) {
  struct Case {
    const char* args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"--media Cardboard", 1, "\"Cardboard\" is not in the media list"},
      {"--paper A3", 1, "\"A3\" is not in the paper list of C711WT"},
      {"--model LaserJet", 1, "\"LaserJet\" is not a printer model"},
      {"--media Glossy --tray 'Tray 1'", 1, "The tray is fixed"},
      {"--no-print-white --no-print-cmy", 1, "cannot both be off"},
      {"--white-density 101", 1, "white density must be from 0 to 100"},
      {"--white-spread 1.5", 2,
       "--white-spread 1.5: the width must be a number of millimetres from 0 to 1.0"},
      {"--white-choke -0.05", 2, "from 0 to 1.0"},
      {"--toner-order XY", 1, "toner order"},
      {"--profile-out nothing.icc", 1, "The colour profile \"nothing.icc\" cannot be found"},
      {"--profile-in ./stderr.txt", 1,
       "The colour profile \"./stderr.txt\" cannot be found or is no profile"},
      {"--across two", 2, "--across needs a whole number"},
      {"--across 2000000", 2, "--across 2000000 is out of range (from -1000000 to 1000000)"},
      {"--down 99999999999999999999", 2, "--down 99999999999999999999 is out of range"},
      {"--output a.ps --printer Q", 2, "either --output or --printer"},
      {"--mirror --no-mirror", 2, "--mirror and --no-mirror"},
      {"--colour", 2, "--colour"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CommandResult result = Kelvaro("print " + Quoted(kSample) + " " + c.args);
    EXPECT_EQ(result.status, c.status);
    EXPECT_THAT(errors_, HasSubstr(c.message));
    EXPECT_FALSE(fs::exists(dir_.path() / "kelvaro-sample.ps"));
  }
  // The job file would be the picture itself: the picture stays as it is.
  fs::copy_file(kSample, dir_.path() / "art.png");
  fs::copy_file(kSample, dir_.path() / "art.ps");
  const std::string picture = ReadFileBytes(dir_.path() / "art.png");
  for (const char* args : {"print art.png --output art.png", "print art.png --output ./art.png",
                           "print art.png --printer file:art.png", "print art.ps"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(Kelvaro(args).status, 1);
    EXPECT_THAT(errors_, HasSubstr("the job would be written over the picture"));
  }
  EXPECT_TRUE(ReadFileBytes(dir_.path() / "art.png") == picture);
  EXPECT_TRUE(ReadFileBytes(dir_.path() / "art.ps") == picture);

  const CommandResult missing = Kelvaro("print nothing.png");
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(errors_, HasSubstr("nothing.png is not a readable file"));
  EXPECT_EQ(Kelvaro("print").status, 2);
}

// One parser reads the white edge for every command that makes or measures the job.
TEST_F(PrintCommandTest, TheWhiteEdgeOptionsMeanTheSameToCostAndPreview) {
  for (const std::string command : {"cost", "preview --output edge.png"}) {
    SCOPED_TRACE(command);
    const CommandResult refused = Kelvaro(command + " " + Quoted(kSample) + " --white-choke 1.2");
    EXPECT_EQ(refused.status, 2);
    EXPECT_THAT(errors_, HasSubstr("from 0 to 1.0"));
    EXPECT_FALSE(fs::exists(dir_.path() / "edge.png"));
    EXPECT_EQ(Kelvaro(command + " " + Quoted(kSample) + " --white-spread 0.4").status, 0)
        << errors_;
  }
  EXPECT_TRUE(fs::exists(dir_.path() / "edge.png"));
}

TEST_F(PrintCommandTest, ADamagedPictureIsReportedAndNoJobIsWritten) {
  testing::WriteFileBytes(dir_.path() / "broken.png", "\x89PNG\r\n\x1a\nnot really");
  const CommandResult result = Kelvaro("print broken.png");
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(errors_.empty());
  EXPECT_FALSE(fs::exists(dir_.path() / "broken.ps"));
}

TEST_F(PrintCommandTest, ASettingFileBringsItsWhiteSettings) {
  // A setting file that switches white printing off.
  testing::WriteFileBytes(dir_.path() / "no-white.qvcfg",
                          "[Active]\r\nWhite Mask %=100\r\nDisplay= 0\r\nTonerOn= 0\r\n"
                          "TonerSave= 1\r\nTonerPercent= 50\r\nPaperSize=A4\r\n");
  Job("--settings-file no-white.qvcfg --dump-separations planes");
  const std::string white = ReadFileBytes(dir_.path() / "planes" / "plane4.pgm");
  ASSERT_FALSE(white.empty());
  EXPECT_EQ(white.find_first_not_of('\0', 15), std::string::npos);

  EXPECT_EQ(Kelvaro("print " + Quoted(kSample) + " --settings-file nothing.qvcfg").status, 1);
  EXPECT_FALSE(errors_.empty());
}

TEST_F(PrintCommandTest, BlankPageJob) {
  const CommandResult result = Kelvaro("blank --output blank.ps --prints 2");
  ASSERT_EQ(result.status, 0) << errors_;
  const std::string job = ReadFileBytes(dir_.path() / "blank.ps");
  EXPECT_THAT(job, HasSubstr("NumCopies  2"));
  // Twenty by twenty pixels of five empty planes.
  const std::size_t data = job.find("beginimage\r\n");
  ASSERT_NE(data, std::string::npos);
  const std::string block = job.substr(data + 12, 2000);
  EXPECT_EQ(block, std::string(2000, '\0'));
  EXPECT_EQ(job.substr(data + 12 + 2000, 2), "\r\n");
}

}  // namespace
}  // namespace kelvaro

namespace kelvaro {
namespace {

// A stored printer profile that is nowhere: the window's words, and on the command line a
// second line that names the profile and the folders it was looked for in.
TEST_F(PrintCommandTest, AMissingProfileIsNamedWithTheFoldersSearched) {
  ASSERT_EQ(Kelvaro("settings set Active 'ICM Profile Out' nothere.icc").status, 0);
  EXPECT_EQ(Kelvaro("print " + Quoted(kSample) + " --output job.ps").status, 1);
  EXPECT_THAT(errors_, HasSubstr("Something odd with this image\n"));
  EXPECT_THAT(errors_, HasSubstr("kelvaro: the colour profile \"nothere.icc\" cannot be opened "
                                 "(looked for in " +
                                 user().string() + ", "));
  EXPECT_FALSE(fs::exists(dir_.path() / "job.ps"));
}

}  // namespace
}  // namespace kelvaro
