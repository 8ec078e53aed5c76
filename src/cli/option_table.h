#ifndef KELVARO_CLI_OPTION_TABLE_H_
#define KELVARO_CLI_OPTION_TABLE_H_

// The options of `kelvaro print` and of the commands that take the same (cost, info, blank,
// preview, watch), each declared once: its name, its argument, its help line and where its
// value goes. Parsing and `--help` are made from the table; the README lists every option.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/print_setup.h"
#include "cli/cli.h"
#include "cli/cli_options.h"

namespace kelvaro::cli {

// What the print options hold: the window's choices and where the job goes.
struct PrintArgs {
  PrintChoices choices;
  std::optional<std::string> image;
  std::optional<std::string> output;
  std::optional<std::string> printer;
  std::optional<std::string> settings_file;
  std::optional<std::string> dump_separations;
  bool pattern = false;  // pattern print with the stored pattern set-up
  bool timings = false;  // the wall time of each step on stderr
  // The hot folder's own: where its jobs go instead of a queue, whether it stops once what
  // is there is done, and how long a file must rest before it counts as complete.
  std::optional<std::string> output_dir;
  bool once = false;
  std::optional<int> settle;
};

// How an option is written: `--name ARG`, `--name`, or `--name` with its opposite `--no-name`.
enum class OptionForm { kValue, kFlag, kSwitch };

// Which commands take an option: those of the window's controls every print-like command
// takes, the destination of the job, the preview's own and the hot folder's own.
enum class OptionGroup { kWindow, kJob, kPreview, kWatch };

// One option's words on their way into PrintArgs.
struct OptionReader {
  Args& args;
  std::string_view name;
  std::optional<UsageError>& error;
  PrintArgs& out;

  std::optional<std::string> Text() { return TakeOption(args, name, error); }
  std::optional<int> Number() { return TakeNumberOption(args, name, error); }
  bool Flag() { return TakeFlag(args, name, error); }
  std::optional<bool> Switch() { return TakeSwitch(args, name, error); }
};

struct PrintOption {
  std::string_view name;      // without the dashes
  std::string_view argument;  // what the value stands for ("KEY"); empty for flags and switches
  OptionForm form;
  OptionGroup group;
  std::string_view help;               // the help line; empty: on the line of the option before
  void (*take)(OptionReader& reader);  // takes the option out of the words into PrintArgs
};

// Every option of the table, in the order of the help.
std::span<const PrintOption> PrintOptions();

// The help lines of a group, one line per entry (two options may share one).
std::string PrintOptionsHelp(OptionGroup group);

// Takes the options of `group` out of `args` into `out`. The first mistake, in the table's
// order, is the one `error` keeps.
void TakePrintOptions(OptionGroup group, Args& args, PrintArgs& out,
                      std::optional<UsageError>& error);

// Takes the print options (the window's and the job's) out of `args`; what is left must be
// the image (when `wants_image`) and nothing else. Options a command does not take are the
// command's to refuse afterwards.
std::optional<UsageError> ParsePrintArgs(Args args, bool wants_image, PrintArgs& out);

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_OPTION_TABLE_H_
