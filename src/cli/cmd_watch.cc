// `kelvaro watch FOLDER`: a hot folder. Every picture that lands in FOLDER is printed with
// the print options given here, one at a time and oldest first, and filed into printed/ or
// failed/ (see app/hot_folder.h).
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/hot_folder.h"
#include "app/print_run.h"
#include "app/session.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/print_options.h"
#include "platform/folder_events.h"
#include "platform/instance_lock.h"
#include "platform/spooler.h"

namespace kelvaro::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kWatchUsage[] =
    "watch FOLDER (--printer QUEUE | --output-dir DIR) [print options] [--once]\n"
    "  [--settle S]";

// Hands the jobs on and keeps the size of the last one the queue or the file took.
class SizeKeepingSpooler final : public Spooler {
 public:
  explicit SizeKeepingSpooler(std::unique_ptr<Spooler> next) : next_(std::move(next)) {}
  SpoolResult SendRaw(const std::string& queue, const std::string& document,
                      const std::vector<JobBlock>& blocks,
                      const std::function<void(std::size_t)>& before_block) override {
    const SpoolResult result = next_->SendRaw(queue, document, blocks, before_block);
    last_job_bytes = 0;
    if (result.ok) {
      for (const JobBlock& block : blocks) last_job_bytes += block.size();
    }
    return result;
  }
  std::uintmax_t last_job_bytes = 0;

 private:
  std::unique_ptr<Spooler> next_;
};

// What every picture of one watcher is printed with.
struct Watch {
  CliSession& cli;
  const PrintArgs& args;
  fs::path folder;
  std::optional<std::string> output_dir;
  SizeKeepingSpooler& spooler;
  std::optional<std::string> source_date_epoch;
};

// One picture printed as `kelvaro print` prints it: through a session of its own, so that the
// stored settings stay as they were apart from what a print records.
HotFolderPrint PrintOne(const Watch& watch, const fs::path& picture) {
  HotFolderPrint result;
  CliSession& cli = watch.cli;
  // The folder's setting file, read again for every picture as --settings-file reads it; the
  // options of the command line are applied after it and win. A --settings-file given there
  // replaces it.
  PrintChoices choices = watch.args.choices;
  std::error_code exists_error;
  const fs::path folder_settings = watch.folder / kHotFolderSettingsName;
  if (!choices.settings_file && fs::is_regular_file(folder_settings, exists_error)) {
    choices.settings_file = folder_settings;
  }
  cli.notifier.last_message.clear();
  auto said = [&cli](const char* otherwise) {
    return cli.notifier.last_message.empty() ? std::string(otherwise) : cli.notifier.last_message;
  };
  NullProgress progress;
  std::string cost;
  SessionServices services{progress, watch.spooler, watch.source_date_epoch,
                           [&cost](const CostEstimate& e) { cost = e.clipboard_sentence; }};
  Session session(cli.app, std::move(services));
  session.PrintOnly();
  if (!StartRun(cli, session, choices, picture)) {
    result.message = said("The print options were refused, or the picture could not be loaded.");
    return result;
  }
  session.ReleaseLayoutRecords();
  PrintTarget target;
  if (watch.output_dir) {
    result.destination = FreeNameIn(*watch.output_dir, picture.stem().string() + ".ps").string();
    target.queue = "file:" + result.destination;
  } else {
    result.destination = *watch.args.printer;
    target.queue = result.destination;
  }
  target.pattern = watch.args.pattern;
  watch.spooler.last_job_bytes = 0;
  const PrintOutcome outcome = session.Print(target);
  result.ok = outcome != PrintOutcome::kNotPrinted;
  result.message = result.ok ? "" : said("Not printed.");
  result.job_bytes = watch.spooler.last_job_bytes;
  result.cost_line = cost;
  return result;
}

// SIGTERM and SIGINT are held back and asked for between pictures: the picture being printed
// is finished and filed, then the watcher stops.
sigset_t HoldStopSignals() {
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  return stop;
}

bool StopAsked(const sigset_t& stop) {
  const timespec none{0, 0};
  return sigtimedwait(&stop, nullptr, &none) > 0;
}

std::string ReadSmallFile(const fs::path& file) {
  std::ifstream in(file);
  std::string text;
  std::getline(in, text);
  return text;
}

// Whether the process with the id written in `pid` runs.
bool ProcessIsAlive(const std::string& pid) {
  char* end = nullptr;
  const long id = std::strtol(pid.c_str(), &end, 10);
  if (pid.empty() || *end != '\0' || id <= 0) return false;
  return ProcessRuns(id);
}

std::string Now() {
  const std::time_t t = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
  return text;
}

// The words of `kelvaro watch`: the print options and the watcher's own.
// How long a file must rest unchanged before it is printed, unless --settle says otherwise.
constexpr int kDefaultSettleSeconds = 5;

std::optional<UsageError> ParseWatchArgs(const Args& all, PrintArgs& out) {
  Args args = all;
  std::optional<UsageError> error;
  TakePrintOptions(OptionGroup::kWatch, args, out, error);
  if (!error) error = ParsePrintArgs(args, true, out);
  if (!error && (out.output || out.dump_separations)) {
    error = UsageError{"watch writes one job per picture: use --output-dir, not --output"};
  }
  if (!error && (out.printer.has_value() == out.output_dir.has_value())) {
    error = UsageError{"give one of --printer QUEUE and --output-dir DIR"};
  }
  if (!error && out.settle.value_or(kDefaultSettleSeconds) < 0) {
    error = UsageError{"--settle must be 0 or more seconds"};
  }
  return error;
}

// Takes the folder's watcher lock and writes this process's id beside it. false, with the
// reason on stderr, when another watcher holds it or it cannot be made.
bool LockFolder(const fs::path& folder, InstanceLock& lock) {
  // The lock file's content is never touched, so the holder's process id is kept beside it
  // for the refusal.
  const fs::path pid_file = folder / ".kelvaro-watch.pid";
  const fs::path lock_file = folder / ".kelvaro-watch.lock";
  InstanceLock::Result locked = lock.Acquire(lock_file);
  // A watcher killed a moment ago may leave a decoder child that has not yet gone with it and
  // still holds the lock: when the process named as holder is gone, wait for it briefly.
  for (int tries = 0; locked == InstanceLock::Result::kHeldElsewhere && tries < 40 &&
                      !ProcessIsAlive(ReadSmallFile(pid_file));
       ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    locked = lock.Acquire(lock_file);
  }
  if (locked == InstanceLock::Result::kUnavailable) {
    std::fprintf(stderr, "kelvaro watch: cannot make the lock file %s\n", lock_file.c_str());
    return false;
  }
  if (locked == InstanceLock::Result::kHeldElsewhere) {
    const std::string holder = ReadSmallFile(pid_file);
    std::fprintf(stderr, "kelvaro watch: %s is watched already%s\n", folder.c_str(),
                 holder.empty() ? "" : (" by process " + holder).c_str());
    return false;
  }
  std::ofstream pid(pid_file, std::ios::trunc);
  pid << ::getpid();
  return true;
}

// Prints what is in the folder and what comes, until a stop is asked for or, with --once,
// until what was there is done. The exit status: 1 when a picture failed under --once.
int Serve(HotFolder& hot, const fs::path& folder, int settle, bool once) {
  const sigset_t stop = HoldStopSignals();
  // Watched before the first look, so that no file is missed in between. Without events
  // every file settles by size and time.
  std::unique_ptr<FolderEvents> events = WatchFolderEvents(folder);
  if (events) hot.ExpectEvents();
  const std::string when =
      events ? "a file is complete when its writer closes it or moves it in, or, if it was "
               "there before, after " +
                   std::to_string(settle) + " s without a change"
             : "a file is complete after " + std::to_string(settle) + " s without a change";
  std::printf("%s\t%s\twatching: %s\n", Now().c_str(), folder.c_str(), when.c_str());
  std::fflush(stdout);
  bool all_ok = true;
  for (const fs::path& left : hot.Leftovers()) {
    if (StopAsked(stop)) return 0;
    std::printf("%s\t%s\tleft in printing/ by an earlier run, printed again\n", Now().c_str(),
                left.filename().c_str());
    all_ok = hot.Process(left) && all_ok;
  }
  std::vector<fs::path> ready = hot.Settled(HotFolder::Clock::now());
  for (;;) {
    for (const fs::path& picture : ready) {
      if (StopAsked(stop)) return 0;
      all_ok = hot.Process(picture) && all_ok;
    }
    if (StopAsked(stop)) return 0;
    std::fflush(stdout);
    // --once waits for what is there to be complete, then stops.
    if (once && ready.empty() && !hot.Waiting()) return all_ok ? 0 : 1;
    hot.Listen(events.get(), std::chrono::milliseconds(250));
    ready = hot.Settled(HotFolder::Clock::now());
  }
}

}  // namespace

int RunWatchCommand(const Args& all) {
  PrintArgs parsed;
  if (std::optional<UsageError> error = ParseWatchArgs(all, parsed)) {
    return ReportUsageError("watch", *error, kWatchUsage);
  }
  const std::optional<std::string>& output_dir = parsed.output_dir;
  const int settle = parsed.settle.value_or(kDefaultSettleSeconds);
  const fs::path folder = *parsed.image;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    std::fprintf(stderr, "kelvaro watch: %s is not a folder\n", folder.c_str());
    return 1;
  }
  if (output_dir && !fs::is_directory(*output_dir, ec)) {
    std::fprintf(stderr, "kelvaro watch: %s is not a folder\n", output_dir->c_str());
    return 1;
  }
  if (parsed.settings_file) parsed.choices.settings_file = fs::path(*parsed.settings_file);
  // One watcher per folder.
  InstanceLock lock;
  if (!LockFolder(folder, lock)) return 1;
  // The start-up runs once; each picture gets a session of its own.
  std::unique_ptr<CliSession> session = OpenCliSession();
  SizeKeepingSpooler spooler(MakeSystemSpooler());
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  const Watch watch{*session, parsed,
                    folder,   output_dir,
                    spooler,  epoch != nullptr ? std::optional<std::string>(epoch) : std::nullopt};
  HotFolder hot(
      folder, [&watch](const fs::path& picture) { return PrintOne(watch, picture); },
      [](const std::string& line) {
        // At once, also when stdout is a pipe (the journal of a service).
        std::printf("%s\t%s\n", Now().c_str(), line.c_str());
        std::fflush(stdout);
      },
      std::chrono::seconds(settle));
  if (!hot.Prepare()) return 1;
  return Serve(hot, folder, settle, parsed.once);
}

}  // namespace kelvaro::cli
