#ifndef KELVARO_CLI_CLI_OPTIONS_H_
#define KELVARO_CLI_CLI_OPTIONS_H_

// Small helpers the sub-commands share to read their words. Each Take* call removes what it
// understood from the argument list, so that whatever is left at the end is either a
// positional argument or a mistake the command can report.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli.h"

namespace kelvaro {
class SettingsStore;
}

namespace kelvaro::cli {

// A mistake on the command line; exit status 2 after it is shown.
struct UsageError {
  std::string message;
};

// Removes every `--name VALUE` and `--name=VALUE` from `args` (`name` without the dashes);
// the last one given wins. Returns nullopt when the option is absent. An option without a
// value (at the end, or followed by another `--option`) or with an empty value sets `error`
// and returns nullopt.
std::optional<std::string> TakeOption(Args& args, std::string_view name,
                                      std::optional<UsageError>& error);

// Removes every `--name` from `args` and tells whether there was one. `--name=...` is a
// mistake: a flag takes no value.
bool TakeFlag(Args& args, std::string_view name, std::optional<UsageError>& error);

// Removes `--name N` and checks that N is a whole number from −1000000 to 1000000 (a wider
// range check belongs to the rules that apply the choice); `error` says what is wrong.
std::optional<int> TakeNumberOption(Args& args, std::string_view name,
                                    std::optional<UsageError>& error);

// Removes `--name` and `--no-name`: true, false or nullopt when neither is given; both at
// once set `error`.
std::optional<bool> TakeSwitch(Args& args, std::string_view name, std::optional<UsageError>& error);

// Checks what is left after the options were taken: a word that starts with "-" is an
// unknown option, and more than `max_positional` other words are too many. A lone "-" counts
// as a positional word (it often means standard input or output).
std::optional<UsageError> CheckLeftovers(const Args& args, std::size_t max_positional);

// Shows "kelvaro COMMAND: MESSAGE" and the command's usage line on stderr; returns 2.
int ReportUsageError(std::string_view command, const UsageError& error, std::string_view usage);

// The printer model a command works for.
struct ModelChoice {
  std::string name;         // the active model name every model test runs on
  bool overridden = false;  // true: given with --model for this command only
};

// Takes `--model KEY` out of `args`. KEY must be a key of the model table, spelt exactly
// (the table's tests are case-sensitive, so "PRO711WT" would quietly mean no model at all);
// anything else sets `error` with the list of known keys.
std::optional<std::string> TakeModelOption(Args& args, std::optional<UsageError>& error);

// The model for this command: the --model override when given, else the active model name
// resolved from the stored settings and the attached USB printers.
ModelChoice ChooseModel(const std::optional<std::string>& override_key, const SettingsStore& store);

// Where the USB printers are read from: $KELVARO_SYSFS_USB_ROOT when set and not empty (a
// fake tree for tests and diagnosis), else the kernel's own list.
inline constexpr char kUsbRootVariable[] = "KELVARO_SYSFS_USB_ROOT";
std::filesystem::path UsbSysfsRoot();

}  // namespace kelvaro::cli

#endif  // KELVARO_CLI_CLI_OPTIONS_H_
