// `kelvaro print IMAGE` and `kelvaro blank`: the print command and the blank page without a
// window. The job goes to a queue (--printer), to a file (--output), or, with neither, to
// "<image name>.ps" in the current folder.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/print_job.h"
#include "cli/cli.h"
#include "cli/cli_session.h"
#include "platform/usb_printers.h"

namespace kelvaro::cli {
namespace {

namespace fs = std::filesystem;

// Progress of a run without a window: the status lines go to stderr.
class StatusToStderr final : public ProgressSink {
 public:
  void SetStatus(const std::string& text) override {
    if (!text.empty()) std::fprintf(stderr, "%s\n", text.c_str());
  }
  void SetProgress(long long, long long) override {}
};

struct PrintArgs {
  PrintChoices choices;
  std::optional<std::string> image;
  std::optional<std::string> output;
  std::optional<std::string> printer;
  std::optional<std::string> settings_file;
  std::optional<std::string> dump_separations;
};

std::optional<int> ParseInt(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || value < -1000000 || value > 1000000) return std::nullopt;
  return static_cast<int>(value);
}

// Parses the words after the command name. Returns false after telling what is wrong.
bool ParsePrintArgs(const Args& args, bool wants_image, PrintArgs& out) {
  PrintChoices& c = out.choices;
  const std::map<std::string, std::optional<bool>*> switches = {
      {"mirror", &c.mirror},       {"rotate", &c.rotate},          {"print-white", &c.print_white},
      {"print-cmy", &c.print_cmy}, {"threshold", &c.threshold_on},
  };
  const std::map<std::string, std::optional<bool>*> flags = {
      {"--flip", &c.flip},
      {"--black-removal", &c.black_removal},
      {"--background-removal", &c.background_removal},
      {"--optimal-layout", &c.optimal_layout},
  };
  const std::map<std::string, std::optional<std::string>*> texts = {
      {"--model", &c.model},
      {"--media", &c.media},
      {"--paper", &c.paper},
      {"--tray", &c.tray},
      {"--prints", &c.prints},
      {"--toner-order", &c.toner_order},
      {"--profile-in", &c.profile_in},
      {"--profile-out", &c.profile_out},
      {"--output", &out.output},
      {"--printer", &out.printer},
      {"--settings-file", &out.settings_file},
      {"--dump-separations", &out.dump_separations},
  };
  const std::map<std::string, std::optional<int>*> numbers = {
      {"--across", &c.copies_across},        {"--down", &c.copies_down},
      {"--white-density", &c.white_density}, {"--white-threshold", &c.white_threshold},
      {"--brightness", &c.brightness},       {"--contrast", &c.contrast},
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word.rfind("--", 0) != 0) {
      if (!wants_image || out.image) {
        std::fprintf(stderr, "kelvaro: unexpected argument '%s'\n", word.c_str());
        return false;
      }
      out.image = word;
      continue;
    }
    if (auto it = flags.find(word); it != flags.end()) {
      *it->second = true;
      continue;
    }
    const bool negated = word.rfind("--no-", 0) == 0;
    if (auto it = switches.find(word.substr(negated ? 5 : 2)); it != switches.end()) {
      *it->second = !negated;
      continue;
    }
    const bool takes_text = texts.count(word) != 0;
    const bool takes_number = numbers.count(word) != 0;
    if (!takes_text && !takes_number) {
      std::fprintf(stderr, "kelvaro: unknown option '%s'\n", word.c_str());
      return false;
    }
    if (i + 1 >= args.size()) {
      std::fprintf(stderr, "kelvaro: option '%s' needs a value\n", word.c_str());
      return false;
    }
    const std::string& value = args[++i];
    if (takes_text) {
      *texts.at(word) = value;
    } else if (std::optional<int> number = ParseInt(value)) {
      *numbers.at(word) = number;
    } else {
      std::fprintf(stderr, "kelvaro: option '%s' needs a whole number, not '%s'\n", word.c_str(),
                   value.c_str());
      return false;
    }
  }
  if (wants_image && !out.image) {
    std::fprintf(stderr, "kelvaro: no image file given\n");
    return false;
  }
  if (out.output && out.printer) {
    std::fprintf(stderr, "kelvaro: give either --output or --printer, not both\n");
    return false;
  }
  return true;
}

std::string TargetQueue(const PrintArgs& args, const std::string& default_file) {
  if (args.printer) return *args.printer;
  return "file:" + (args.output ? *args.output : default_file);
}

std::filesystem::path UsbRoot() {
  const char* root = std::getenv("KELVARO_SYSFS_USB_ROOT");
  return root != nullptr && *root != '\0' ? fs::path(root) : fs::path(kUsbSysfsRoot);
}

int Run(const Args& args, bool image_job) {
  PrintArgs parsed;
  if (!ParsePrintArgs(args, image_job, parsed)) return 2;

  std::unique_ptr<CliSession> session = OpenCliSession();
  StatusToStderr progress;
  std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  const PrintServices services{session->store, session->texts, session->notifier,
                               progress,       *spooler,       UsbRoot()};

  if (parsed.settings_file) parsed.choices.settings_file = fs::path(*parsed.settings_file);
  std::optional<PrintSetup> setup = PreparePrintSetup(services, parsed.choices);
  if (!setup) return 1;

  if (!image_job) {
    const std::string queue = TargetQueue(parsed, "blank.ps");
    if (PrintBlankPage(services, *setup, queue) != PrintOutcome::kSent) return 1;
    if (!parsed.printer) std::printf("Job written to %s\n", queue.substr(5).c_str());
    return 0;
  }

  const fs::path image_path = *parsed.image;
  WorkImage image;
  if (!LoadPictureForPrint(services, *setup, image_path, image)) return 1;

  const std::string default_file = image_path.stem().string() + ".ps";
  PrintTarget target;
  target.queue = TargetQueue(parsed, default_file);
  if (parsed.dump_separations) target.dump_separations = fs::path(*parsed.dump_separations);
  switch (PrintPicture(services, *setup, image, image_path.filename().string(), target)) {
    case PrintOutcome::kSent:
      if (!parsed.printer) {
        std::printf("Job written to %s\n", fs::absolute(target.queue.substr(5)).c_str());
      }
      return 0;
    case PrintOutcome::kStatisticsOnly:
      std::fprintf(stderr, "Statistics-only mode ([Stats] Option 1): no job was made\n");
      return 0;
    case PrintOutcome::kNotPrinted:
      break;
  }
  return 1;
}

}  // namespace

int RunPrintCommand(const Args& args) { return Run(args, true); }
int RunBlankCommand(const Args& args) { return Run(args, false); }

}  // namespace kelvaro::cli
