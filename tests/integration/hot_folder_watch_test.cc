// `kelvaro watch` as a shop runs it: the real program on a temporary hot folder, printing to
// an output folder or to a private CUPS scheduler, stopped by signals and killed mid-print.
// Every job must be the one `kelvaro print` makes of the same picture with the same options
// (the job carries the picture's name, so the picture as filed is printed to compare).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/private_cupsd.h"
#include "support/test_env.h"

extern char** environ;

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadFileBytes;
using namespace std::chrono_literals;

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Waits up to `timeout` for `done`; true when it came.
bool WaitFor(const std::function<bool()>& done, std::chrono::seconds timeout = 60s) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

// A hot folder "in" with its own user data: the program's environment is set in full for
// every run, so nothing of the caller's reaches it.
class HotFolderRun {
 public:
  HotFolderRun() {
    fs::create_directories(in());
    fs::create_directories(out());
  }
  fs::path in() const { return dir_.path() / "in"; }
  fs::path out() const { return dir_.path() / "out"; }
  fs::path root() const { return dir_.path(); }
  fs::path user() const { return dir_.path() / "user"; }

  // A command line's start that sets the whole environment the program reads.
  std::string Environment() const {
    return "cd " + Quoted(dir_.path()) +
           " && exec env LC_ALL=C SOURCE_DATE_EPOCH=1700000000 KELVARO_USER_DIR=" + Quoted(user()) +
           " KELVARO_COMMON_DIR=" + Quoted(dir_.path() / "common") +
           " KELVARO_SYSFS_USB_ROOT=" + Quoted(dir_.path() / "no-usb");
  }
  std::string Program() const { return Environment() + " " + Quoted(testing::KelvaroBinary()); }
  // Runs `kelvaro ARGS` to its end; `errors` gets its stderr.
  testing::CommandResult Run(const std::string& args, std::string* errors = nullptr) const {
    const fs::path err = dir_.path() / "run-stderr.txt";
    testing::CommandResult result =
        testing::RunCommand(Program() + " " + args + " 2>" + Quoted(err));
    if (errors != nullptr) *errors = ReadFileBytes(err);
    return result;
  }
  // The job `kelvaro print` makes of `picture` with `options`.
  std::string PrintJob(const fs::path& picture, const std::string& options = "") const {
    const fs::path job = dir_.path() / "reference.ps";
    fs::remove(job);
    const testing::CommandResult print =
        Run("print " + Quoted(picture) + " --output " + Quoted(job) + " " + options);
    EXPECT_EQ(print.status, 0) << "kelvaro print " << picture;
    return ReadFileBytes(job);
  }

  // Starts `kelvaro watch in ARGS` in the background, its stdout to log() and stderr to
  // errors(); returns once it says it is watching.
  pid_t StartWatch(const std::string& args) {
    const std::string command = Program() + " watch in " + args + " >" +
                                Quoted(dir_.path() / "watch.log") + " 2>" +
                                Quoted(dir_.path() / "watch.err");
    // The shell execs the program: the process id is the watcher's own, for its signals and
    // its exit status.
    std::vector<std::string> words = {"/bin/sh", "-c", command};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ), 0);
    EXPECT_TRUE(WaitFor([&] { return log().find("\twatching: ") != std::string::npos; }))
        << errors();
    return pid;
  }
  std::string log() const { return ReadFileBytes(dir_.path() / "watch.log"); }
  std::string errors() const { return ReadFileBytes(dir_.path() / "watch.err"); }

 private:
  testing::TempDir dir_;
};

// An INI file's text without its statistics sections, which every print writes.
std::string WithoutStatistics(const std::string& ini) {
  std::string kept;
  bool statistics = false;
  for (const std::string& line : testing::SplitLines(ini)) {
    if (!line.empty() && line[0] == '[') {
      std::string section = line.substr(1, 5);
      for (char& c : section) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      statistics = section == "stats";
    }
    if (!statistics) kept += line + "\n";
  }
  return kept;
}

// The exit status of a child, -1 when a signal ended it.
int WaitExit(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -2;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const fs::path kSample = testing::SampleArtwork();
const fs::path kBig = testing::FixtureFolder() / "image" / "big4000x3000.png";

TEST(HotFolderWatch, ABatchPrintsTheGoodPicturesWithTheFolderSettingsAndFilesTheRest) {
  HotFolderRun run;
  // The folder's setting file, saved by another user with a wider left margin.
  const std::string maker = "env KELVARO_USER_DIR=" + Quoted(run.root() / "maker") +
                            " KELVARO_COMMON_DIR=" + Quoted(run.root() / "common") +
                            " KELVARO_SYSFS_USB_ROOT=none " + Quoted(testing::KelvaroBinary());
  ASSERT_EQ(testing::RunCommand(maker + " settings set Active 'Left Margin' 2500 2>&1").status, 0);
  ASSERT_EQ(
      testing::RunCommand(maker + " settings save " + Quoted(run.in() / "folder.qvcfg") + " 2>&1")
          .status,
      0);
  const std::string png = ReadFileBytes(kSample);
  fs::copy_file(kSample, run.in() / "shirt.png");
  fs::copy_file(testing::FixtureFolder() / "image" / "quad.jpg", run.in() / "mug");
  testing::WriteFileBytes(run.in() / "torn.png", png.substr(0, 300));
  testing::WriteFileBytes(run.in() / ".next.png", png);
  testing::WriteFileBytes(run.in() / "cap.png.part", png);
  ASSERT_EQ(run.Run("settings get Active PaperSize").status, 0);  // the stored settings exist
  const std::string stored = ReadFileBytes(run.user() / "KelvaroPro.ini");
  ASSERT_FALSE(stored.empty());

  std::string errors;
  const testing::CommandResult watch =
      run.Run("watch in --output-dir out --once --settle 1 --white-density 40", &errors);
  const std::string stored_after = ReadFileBytes(run.user() / "KelvaroPro.ini");
  EXPECT_EQ(watch.status, 1) << errors;  // torn.png failed
  EXPECT_THAT(watch.out, HasSubstr("\tshirt.png\tprinted\tout/shirt.ps\t"));
  EXPECT_THAT(watch.out, HasSubstr("\tmug\tprinted\tout/mug.ps\t"));
  EXPECT_THAT(watch.out, HasSubstr("\ttorn.png\tfailed: "));
  EXPECT_EQ(Count(watch.out, "\tprinted"), 2u) << watch.out;

  EXPECT_EQ(ReadFileBytes(run.in() / "printed" / "shirt.png"), png);
  EXPECT_TRUE(fs::exists(run.in() / "printed" / "mug"));
  EXPECT_EQ(ReadFileBytes(run.in() / "failed" / "torn.png"), png.substr(0, 300));
  // The reason is what `kelvaro print` tells the user about the same file.
  std::string reason = ReadFileBytes(run.in() / "failed" / "torn.png.txt");
  ASSERT_FALSE(reason.empty());
  std::string print_errors;
  EXPECT_EQ(run.Run("print " + Quoted(run.in() / "failed" / "torn.png") + " --output torn.ps",
                    &print_errors)
                .status,
            1);
  // It names the file where it was read, in printing/.
  EXPECT_THAT(reason, HasSubstr("in/printing/torn.png\n"));
  reason.resize(reason.find('\n'));
  EXPECT_THAT(print_errors, HasSubstr(": " + reason + "\n"));
  // Hidden and partial files, and the setting file, stay where they are.
  for (const char* left : {".next.png", "cap.png.part", "folder.qvcfg"}) {
    EXPECT_TRUE(fs::exists(run.in() / left)) << left;
  }

  // Each job is print's with the folder's setting file and the same option, which wins.
  const std::string options =
      "--settings-file " + Quoted(run.in() / "folder.qvcfg") + " --white-density 40";
  const std::string shirt = ReadFileBytes(run.out() / "shirt.ps");
  EXPECT_TRUE(shirt == run.PrintJob(run.in() / "printed" / "shirt.png", options));
  EXPECT_TRUE(ReadFileBytes(run.out() / "mug.ps") ==
              run.PrintJob(run.in() / "printed" / "mug", options));
  EXPECT_FALSE(shirt == run.PrintJob(run.in() / "printed" / "shirt.png", "--white-density 40"));
  // The stored settings are as they were but for what a print records (a job file is no
  // printer, so only the statistics).
  EXPECT_EQ(WithoutStatistics(stored_after), WithoutStatistics(stored));
}

TEST(HotFolderWatch, APictureWrittenInChunksWithPausesIsPrintedOnceComplete) {
  HotFolderRun run;
  // Pauses longer than the settle time: only the writer's close may count.
  const pid_t watcher = run.StartWatch("--output-dir out --settle 1");
  const std::string png = ReadFileBytes(kSample);
  const std::string writer = "{ head -c 3000 " + Quoted(kSample) + "; sleep 2; tail -c +3001 " +
                             Quoted(kSample) + " | head -c 3000; sleep 2; tail -c +6001 " +
                             Quoted(kSample) + "; } > " + Quoted(run.in() / "slow.png");
  ASSERT_EQ(testing::RunCommand(writer).status, 0);
  EXPECT_TRUE(WaitFor([&] { return fs::exists(run.in() / "printed" / "slow.png"); }))
      << run.log() << run.errors();
  kill(watcher, SIGTERM);
  EXPECT_EQ(WaitExit(watcher), 0);

  EXPECT_EQ(ReadFileBytes(run.in() / "printed" / "slow.png"), png);
  EXPECT_TRUE(fs::is_empty(run.in() / "failed"));
  EXPECT_EQ(Count(run.log(), "\tslow.png\tprinted"), 1u) << run.log();
  EXPECT_EQ(std::distance(fs::directory_iterator(run.out()), fs::directory_iterator()), 1);
  EXPECT_TRUE(ReadFileBytes(run.out() / "slow.ps") ==
              run.PrintJob(run.in() / "printed" / "slow.png"));
}

TEST(HotFolderWatch, ASecondWatcherOnTheFolderIsRefusedWithTheFirstsProcess) {
  HotFolderRun run;
  const pid_t first = run.StartWatch("--output-dir out");
  std::string errors;
  const testing::CommandResult second = run.Run("watch in --output-dir out --once", &errors);
  EXPECT_EQ(second.status, 1);
  EXPECT_THAT(errors, HasSubstr("is watched already by process " + std::to_string(first)));
  kill(first, SIGINT);
  EXPECT_EQ(WaitExit(first), 0);
}

TEST(HotFolderWatch, SigtermWhilePrintingFinishesThatPictureAndStops) {
  HotFolderRun run;
  fs::copy_file(kBig, run.in() / "big.png");
  fs::copy_file(kSample, run.in() / "next.png");
  fs::last_write_time(run.in() / "big.png", fs::file_time_type::clock::now() - 1h);
  const pid_t watcher = run.StartWatch("--output-dir out --settle 0");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(run.in() / "printing" / "big.png"); }));
  kill(watcher, SIGTERM);
  EXPECT_EQ(WaitExit(watcher), 0) << run.errors();

  EXPECT_TRUE(fs::exists(run.in() / "printed" / "big.png")) << run.log();
  EXPECT_TRUE(fs::is_empty(run.in() / "printing"));
  EXPECT_TRUE(fs::exists(run.in() / "next.png"));  // not started after the signal
  EXPECT_TRUE(ReadFileBytes(run.out() / "big.ps") ==
              run.PrintJob(run.in() / "printed" / "big.png"));
}

// The systemd user unit's command, run as the service manager runs it: the instance file's
// values as they stand in it, "$$" made "$", the words split by single quotes as sh splits
// this line. A medium with spaces in OPTIONS reaches the watcher as one word.
TEST(HotFolderWatch, TheServiceUnitWatchesTheFolderOfItsInstanceFile) {
  HotFolderRun run;
  std::string unit = ReadFileBytes(fs::path(KELVARO_TEST_SOURCE_DIR).parent_path() / "data" /
                                   "systemd" / "kelvaro-watch@.service.in");
  const std::size_t at = unit.find("\nExecStart=");
  ASSERT_NE(at, std::string::npos);
  std::string exec = unit.substr(at + 11, unit.find('\n', at + 1) - at - 11);
  for (std::size_t d = exec.find("$$"); d != std::string::npos; d = exec.find("$$", d + 1)) {
    exec.erase(d, 1);
  }
  const std::size_t bin = exec.find("@KELVARO_BIN@");
  ASSERT_NE(bin, std::string::npos);
  exec.replace(bin, 13, Quoted(testing::KelvaroBinary()));
  fs::copy_file(kSample, run.in() / "shirt.png");
  const std::string options = "--output-dir out --media 'Kelvaro Medium J' --once --settle 0";
  const testing::CommandResult service =
      testing::RunCommand(run.Environment() + " FOLDER=" + Quoted(run.in()) + " OPTIONS=\"" +
                          options + "\" " + exec + " 2>&1");
  EXPECT_EQ(service.status, 0) << service.out;
  EXPECT_THAT(service.out, HasSubstr("\tshirt.png\tprinted\t"));
  EXPECT_TRUE(ReadFileBytes(run.out() / "shirt.ps") ==
              run.PrintJob(run.in() / "printed" / "shirt.png", "--media 'Kelvaro Medium J'"));
}

class HotFolderQueueTest : public testing::PrivateCupsdTest {
 protected:
  HotFolderRun run_;
};

TEST_F(HotFolderQueueTest, KilledDuringAPrintTheRestartPrintsThePictureAgain) {
  AddQueues({"C711WT_Shop"});
  fs::copy_file(kBig, run_.in() / "big.png");
  const pid_t killed = run_.StartWatch("--printer C711WT_Shop --settle 0");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(run_.in() / "printing" / "big.png"); }));
  std::this_thread::sleep_for(300ms);
  kill(killed, SIGKILL);
  EXPECT_EQ(WaitExit(killed), -1);
  ASSERT_TRUE(fs::exists(run_.in() / "printing" / "big.png")) << run_.log();

  std::string errors;
  const testing::CommandResult again =
      run_.Run("watch in --printer C711WT_Shop --once --settle 0", &errors);
  EXPECT_EQ(again.status, 0) << errors;
  EXPECT_THAT(again.out,
              HasSubstr("\tbig.png\tleft in printing/ by an earlier run, printed again"));
  EXPECT_THAT(again.out, HasSubstr("\tbig.png\tprinted\tC711WT_Shop\t"));
  EXPECT_TRUE(fs::exists(run_.in() / "printed" / "big.png"));
  EXPECT_TRUE(fs::is_empty(run_.in() / "printing"));
  const std::vector<std::string> jobs = cupsd_.WaitForCapturedJobs(1);
  ASSERT_FALSE(jobs.empty()) << cupsd_.LogExcerpt();
  EXPECT_TRUE(jobs.back() == run_.PrintJob(run_.in() / "printed" / "big.png"));
  EXPECT_THAT(again.out,
              HasSubstr("\tC711WT_Shop\t" + std::to_string(jobs.back().size()) + " bytes"));
}

TEST_F(HotFolderQueueTest, AQueueThatRejectsTheJobSendsThePictureToFailedWithTheReason) {
  AddQueues({"Closed"});
  ASSERT_EQ(testing::RunCommand("cupsreject -r 'out of film' Closed 2>&1").status, 0);
  fs::copy_file(kSample, run_.in() / "shirt.png");
  std::string errors;
  const testing::CommandResult watch =
      run_.Run("watch in --printer Closed --once --settle 0", &errors);
  EXPECT_EQ(watch.status, 1);
  EXPECT_THAT(watch.out, HasSubstr("\tshirt.png\tfailed: "));
  EXPECT_EQ(ReadFileBytes(run_.in() / "failed" / "shirt.png"), ReadFileBytes(kSample));
  const std::string reason = ReadFileBytes(run_.in() / "failed" / "shirt.png.txt");
  EXPECT_THAT(reason, HasSubstr("The job was not printed on \"Closed\""));
  // The queue that refused does not become the stored printer.
  EXPECT_THAT(ReadFileBytes(run_.user() / "KelvaroPro.ini"), Not(HasSubstr("Closed")));
  EXPECT_TRUE(cupsd_.WaitForCapturedJobs(1, 1s).empty());
}

}  // namespace
}  // namespace kelvaro
