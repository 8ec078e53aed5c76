#ifndef KELVARO_CLI_PRINT_OPTIONS_H_
#define KELVARO_CLI_PRINT_OPTIONS_H_

// The options of `kelvaro print` and of the commands that take the same (cost, blank,
// preview), read in one place so that they mean the same everywhere.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/print_setup.h"
#include "app/session.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "platform/notifier.h"

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
};

// Takes the print options out of `args`; what is left must be the image (when `wants_image`)
// and nothing else. Options a command does not take are the command's to refuse afterwards.
std::optional<UsageError> ParsePrintArgs(Args args, bool wants_image, PrintArgs& out);

// Removes `--name N` and checks that N is a whole number from −1000000 to 1000000 (a wider
// range check belongs to the rules that apply the choice); `error` says what is wrong.
std::optional<int> TakeNumberOption(Args& args, std::string_view name,
                                    std::optional<UsageError>& error);

// Removes `--name` and `--no-name`: true, false or nullopt when neither is given; both at
// once set `error`.
std::optional<bool> TakeSwitch(Args& args, std::string_view name, std::optional<UsageError>& error);

// Starts a run of `session` (see Session::StartRun) with `image` loaded when given; a refusal
// is shown through the notifier of `cli`, and a picture that got no colour transform names the
// profile. false then.
bool StartRun(CliSession& cli, Session& session, const PrintChoices& choices,
              const std::optional<std::filesystem::path>& image);

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_PRINT_OPTIONS_H_
