// `kelvaro print IMAGE`, `kelvaro cost IMAGE` and `kelvaro blank`: the print command, its cost
// estimate and the blank page without a window. The job goes to a queue (--printer), to a
// file (--output), or, with neither, to "<image name>.ps" in the current folder.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/print_run.h"
#include "app/session.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "cli/print_options.h"
#include "cli/terminal_progress.h"
#include "platform/step_timings.h"

namespace kelvaro::cli {
namespace {

namespace fs = std::filesystem;

constexpr char kPrintUsage[] =
    "print IMAGE [--output FILE | --printer QUEUE] [--model KEY] [--media LABEL]\n"
    "  [--paper NAME] [--tray TEXT] [--prints N] [--across N] [--down N]\n"
    "  [--mirror | --no-mirror] [--flip] [--rotate | --no-rotate]\n"
    "  [--print-white | --no-print-white] [--print-cmy | --no-print-cmy]\n"
    "  [--threshold | --no-threshold] [--white-density P] [--white-threshold P]\n"
    "  [--white-choke MM | --white-spread MM]\n"
    "  [--brightness P] [--contrast P] [--black-removal] [--background-removal]\n"
    "  [--optimal-layout] [--toner-order WL|WF] [--settings-file F.qvcfg]\n"
    "  [--profile-in F] [--profile-out F] [--dump-separations DIR] [--timings] [--pattern]\n"
    "  [--placement N] [--automatic-tile | --no-automatic-tile] [--fit-to-page]\n"
    "  [--size W,H]";
constexpr char kCostUsage[] =
    "cost IMAGE [print options but --output, --printer and --dump-separations]";
constexpr char kBlankUsage[] =
    "blank [--output FILE | --printer QUEUE] [--model KEY] [--media LABEL]\n"
    "  [--paper NAME] [--tray TEXT] [--prints N]";

// A cost estimate as the result window shows it, on stdout: the message, the paper note, the
// mode line and the sentence the window copies to the clipboard.
void PrintCostEstimate(const CostEstimate& estimate) {
  auto plain = [](std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r') continue;
      // A label's "&&" shows one ampersand.
      if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') ++i;
      out += text[i];
    }
    return out;
  };
  std::printf("%s\n", plain(estimate.message).c_str());
  if (!estimate.paper_note.empty()) std::printf("%s\n", plain(estimate.paper_note).c_str());
  std::printf("%s\n%s\n", plain(estimate.mode_line).c_str(),
              plain(estimate.clipboard_sentence).c_str());
}

enum class Command { kPrint, kCost, kBlank };

const char* CommandName(Command command) {
  return command == Command::kPrint ? "print" : command == Command::kCost ? "cost" : "blank";
}

// "Job written to FILE" on stdout, unless the job itself went there (--output /dev/stdout, to
// pipe it on): then the line would end up behind the job's last byte.
void ReportJobWritten(const fs::path& file) {
  struct stat out {};
  struct stat job {};
  const bool job_on_stdout = ::fstat(STDOUT_FILENO, &out) == 0 && ::stat(file.c_str(), &job) == 0 &&
                             out.st_dev == job.st_dev && out.st_ino == job.st_ino;
  std::fprintf(job_on_stdout ? stderr : stdout, "Job written to %s\n", file.c_str());
}

std::string TargetQueue(const PrintArgs& args, const std::string& default_file) {
  if (args.printer) return *args.printer;
  return "file:" + (args.output ? *args.output : default_file);
}

// The words of the command; a mistake is reported (status 2 in `status`) and false returned.
bool ParseRunArgs(const Args& args, Command command, PrintArgs& parsed, int& status) {
  std::optional<UsageError> error = ParsePrintArgs(args, command != Command::kBlank, parsed);
  if (!error && command == Command::kCost &&
      (parsed.output || parsed.printer || parsed.dump_separations)) {
    error =
        UsageError{"cost makes no job: --output, --printer and --dump-separations do not apply"};
  }
  if (!error) return true;
  status = ReportUsageError(CommandName(command), *error,
                            command == Command::kPrint  ? kPrintUsage
                            : command == Command::kCost ? kCostUsage
                                                        : kBlankUsage);
  return false;
}

// The picture must be a file, and the job must not go over it: a slip in --output (or a
// picture named like its job) must not cost the picture.
bool CheckPicture(const PrintArgs& parsed) {
  std::error_code ec;
  if (!fs::is_regular_file(*parsed.image, ec)) {
    std::fprintf(stderr, "kelvaro print: %s is not a readable file\n", parsed.image->c_str());
    return false;
  }
  const std::string queue = TargetQueue(parsed, fs::path(*parsed.image).stem().string() + ".ps");
  if (queue.rfind(kFileQueuePrefix, 0) == 0 &&
      fs::equivalent(queue.substr(kFileQueuePrefix.size()), *parsed.image, ec)) {
    std::fprintf(stderr, "kelvaro print: the job would be written over the picture %s\n",
                 parsed.image->c_str());
    return false;
  }
  return true;
}

int PrintBlank(Session& session, const PrintArgs& parsed) {
  const std::string queue = TargetQueue(parsed, "blank.ps");
  if (session.PrintBlank(queue) != PrintOutcome::kSent) return 1;
  if (!parsed.printer) ReportJobWritten(queue.substr(kFileQueuePrefix.size()));
  return 0;
}

// The print or the cost estimate of the loaded picture.
int PrintPicture(Session& session, const PrintArgs& parsed, Command command) {
  // One print and done: the decoded records kept for laying the picture out again and the
  // preview grid are not read by the print. For a large picture that is gigabytes.
  session.ReleaseLayoutRecords();

  PrintTarget target;
  target.queue = TargetQueue(parsed, fs::path(*parsed.image).stem().string() + ".ps");
  if (parsed.dump_separations) target.dump_separations = fs::path(*parsed.dump_separations);
  target.estimate_only = command == Command::kCost;
  target.pattern = parsed.pattern;
  switch (session.Print(target)) {
    case PrintOutcome::kSent:
      if (!parsed.printer) {
        ReportJobWritten(fs::absolute(target.queue.substr(kFileQueuePrefix.size())));
      }
      return 0;
    case PrintOutcome::kStatisticsOnly:
      if (command == Command::kPrint) {
        std::fprintf(stderr, "Statistics-only mode ([Stats] Option 1): no job was made\n");
      }
      return 0;
    case PrintOutcome::kNotPrinted:
      break;
  }
  return 1;
}

int Run(const Args& args, Command command) {
  const bool image_job = command != Command::kBlank;
  PrintArgs parsed;
  int status = 0;
  if (!ParseRunArgs(args, command, parsed, status)) return status;
  if (image_job && !CheckPicture(parsed)) return 1;
  std::unique_ptr<CliSession> cli = OpenCliSession();
  TerminalProgress progress = TerminalProgress::ForStderr();
  std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  SessionServices services{progress, *spooler,
                           epoch != nullptr ? std::optional<std::string>(epoch) : std::nullopt,
                           PrintCostEstimate};
  // Asked for with --timings: each step's wall time, on stderr once the run is over.
  std::optional<StepTimings> timings;
  if (parsed.timings) {
    timings.emplace();
    services.timings = &*timings;
  }
  Session session(cli->app, std::move(services));
  // The print reads no preview grid; it is never made.
  session.PrintOnly();
  if (parsed.settings_file) parsed.choices.settings_file = fs::path(*parsed.settings_file);
  std::optional<fs::path> image_path;
  if (image_job) image_path = fs::path(*parsed.image);
  const int ended = !StartRun(*cli, session, parsed.choices, image_path) ? 1
                    : image_job ? PrintPicture(session, parsed, command)
                                : PrintBlank(session, parsed);
  if (timings) std::fputs(timings->Format().c_str(), stderr);
  return ended;
}

}  // namespace

int RunPrintCommand(const Args& args) { return Run(args, Command::kPrint); }
int RunCostCommand(const Args& args) { return Run(args, Command::kCost); }
int RunBlankCommand(const Args& args) { return Run(args, Command::kBlank); }

}  // namespace kelvaro::cli
