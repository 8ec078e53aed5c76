// `kelvaro`: the headless front end. It runs the same start-up and commands as the window.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "cli/cli.h"
#include "cli/help.h"
#include "platform/data_folders.h"

namespace {

struct SubCommand {
  const char* name;
  int (*run)(const kelvaro::cli::Args&);
  const char* usage;
  const char* summary;          // one line for `kelvaro --help`
  bool window_options = false;  // takes the options of `print` that the window's controls set
};

// One row per sub-command.
constexpr SubCommand kSubCommands[] = {
    {"settings", kelvaro::cli::RunSettingsCommand,
     "settings get SECTION KEY | settings set SECTION KEY VALUE",
     "get, set, load or save the stored settings"},
    {"texts", kelvaro::cli::RunTextsCommand, "texts [N]", "the user-interface texts in force"},
    {"printers", kelvaro::cli::RunPrintersCommand, "printers [--model KEY]",
     "the printer model, attached printers and print queues"},
    {"papers", kelvaro::cli::RunPapersCommand, "papers [--model KEY]", "the model's paper list"},
    {"presets", kelvaro::cli::RunPresetsCommand, "presets [--model KEY]", "the media presets"},
    {"info", kelvaro::cli::RunInfoCommand,
     "info IMAGE [--mirror] [--flip] [--rotate] [--background-removal] [--paper NAME]",
     "what loading a picture finds, and the layout a print would use", true},
    {"print", kelvaro::cli::RunPrintCommand,
     "print IMAGE [--output FILE | --printer QUEUE] [options]",
     "print a picture to a queue or a job file", true},
    {"preview", kelvaro::cli::RunPreviewCommand,
     "preview IMAGE --output PAGE.png [--width W] [options]",
     "the window's preview of the page, as PNG", true},
    {"cost", kelvaro::cli::RunCostCommand, "cost IMAGE [print options]",
     "the cost estimate of a print", true},
    {"blank", kelvaro::cli::RunBlankCommand, "blank [--output FILE | --printer QUEUE]",
     "the blank-page job"},
    {"mode", kelvaro::cli::RunModeCommand,
     "mode on|off --printer QUEUE   (\"off\" is Driver Off; mode --help)",
     "the Printer Mode window's commands"},
    {"shapes", kelvaro::cli::RunShapesCommand,
     "shapes list | import FILE.ai --name NAME [--gap0 G] [--gap45 G] [--replace] | delete NAME",
     "the shape library of pattern print"},
    {"watch", kelvaro::cli::RunWatchCommand,
     "watch FOLDER (--printer QUEUE | --output-dir DIR) [options] [--once] [--settle S]",
     "print every picture put into a hot folder", true},
    {"stats", kelvaro::cli::RunStatsCommand, "stats show | stats set KEY \"label,yield,...\"",
     "the cost estimate's consumable records"},
};

int Usage(FILE* out) {
  std::fprintf(out, "usage: kelvaro --version | --help | COMMAND [--help] ...\n\ncommands:\n");
  for (const SubCommand& command : kSubCommands) {
    std::fprintf(out, "  %-10s%s\n", command.name, command.summary);
  }
  return out == stderr ? 2 : 0;
}

// `kelvaro COMMAND --help`: the usage line and one line for each option.
int CommandHelp(const SubCommand& command) {
  std::printf("usage: kelvaro %s\n\n", command.usage);
  std::fputs(kelvaro::cli::CommandHelp(command.name).c_str(), stdout);
  if (command.window_options) {
    std::fputs(kelvaro::cli::WindowOptionsHelp().c_str(), stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage(stderr);
  const std::string first = argv[1];
  if (first == "--version") {
    std::printf("kelvaro %s\n", kelvaro::ProgramVersion().c_str());
    return 0;
  }
  if (first == "--help" || first == "-h") return Usage(stdout);
  for (const SubCommand& command : kSubCommands) {
    if (first != command.name) continue;
    const std::string second = argc > 2 ? argv[2] : "";
    if (second == "--help" || second == "-h") return CommandHelp(command);
    // Every stored file is replaced as a whole, so a command cut short by a failed allocation
    // leaves the stored settings as they were; the user is told, not the runtime's abort.
    try {
      return command.run(kelvaro::cli::Args(argv + 2, argv + argc));
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr,
                   "kelvaro %s: out of memory; the command was stopped and nothing was stored\n",
                   command.name);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "kelvaro %s: the command was stopped: %s\n", command.name, error.what());
    }
    return 1;
  }
  std::fprintf(stderr, "kelvaro: unknown command '%s'\n", first.c_str());
  return Usage(stderr);
}
