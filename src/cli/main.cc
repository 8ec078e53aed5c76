// `kelvaro`: the headless front end. It runs the same start-up and commands as the window.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli.h"
#include "platform/data_folders.h"

namespace {

struct SubCommand {
  const char* name;
  int (*run)(const kelvaro::cli::Args&);
  const char* usage;
};

// One row per sub-command.
constexpr SubCommand kSubCommands[] = {
    {"settings", kelvaro::cli::RunSettingsCommand,
     "settings get SECTION KEY | settings set SECTION KEY VALUE"},
    {"texts", kelvaro::cli::RunTextsCommand, "texts [N]"},
    {"printers", kelvaro::cli::RunPrintersCommand, "printers [--model KEY]"},
    {"papers", kelvaro::cli::RunPapersCommand, "papers [--model KEY]"},
    {"presets", kelvaro::cli::RunPresetsCommand, "presets [--model KEY]"},
    {"info", kelvaro::cli::RunInfoCommand,
     "info IMAGE [--mirror] [--flip] [--rotate] [--background-removal] [--paper NAME]"},
    {"print", kelvaro::cli::RunPrintCommand,
     "print IMAGE [--output FILE | --printer QUEUE] [options]"},
    {"preview", kelvaro::cli::RunPreviewCommand,
     "preview IMAGE --output PAGE.png [--width W] [options]"},
    {"cost", kelvaro::cli::RunCostCommand, "cost IMAGE [print options]"},
    {"blank", kelvaro::cli::RunBlankCommand, "blank [--output FILE | --printer QUEUE]"},
    {"mode", kelvaro::cli::RunModeCommand,
     "mode on|off --printer QUEUE   (\"off\" is Driver Off; mode --help)"},
    {"shapes", kelvaro::cli::RunShapesCommand,
     "shapes list | import FILE.ai --name NAME [--gap0 G] [--gap45 G] [--replace] | delete NAME"},
    {"stats", kelvaro::cli::RunStatsCommand, "stats show | stats set KEY \"label,yield,...\""},
};

int Usage(FILE* out) {
  std::fprintf(out, "usage: kelvaro --version\n");
  for (const SubCommand& command : kSubCommands)
    std::fprintf(out, "       kelvaro %s\n", command.usage);
  return out == stderr ? 2 : 0;
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
    if (first == command.name) return command.run(kelvaro::cli::Args(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "kelvaro: unknown command '%s'\n", first.c_str());
  return Usage(stderr);
}
