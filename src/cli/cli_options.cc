#include "cli/cli_options.h"

#include <cstdio>
#include <cstdlib>

#include "platform/data_folders.h"
#include "platform/usb_printers.h"
#include "printers/printer_models.h"

namespace kelvaro::cli {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "--" followed by at least one character: the start of another option.
bool LooksLikeOption(std::string_view word) { return word.size() > 2 && StartsWith(word, "--"); }

// Numbers beyond these are no count or percentage anybody means.
constexpr long kLargestNumber = 1000000;

// The whole number `text` holds, nullopt when it holds something else. Range is checked apart,
// so that the message can say which of the two is wrong.
std::optional<long> ParseWholeNumber(const std::string& text) {
  char* end = nullptr;
  // Beyond the range of a long, strtol gives LONG_MIN or LONG_MAX: out of range as well.
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') return std::nullopt;
  return value;
}

std::string KnownModelKeys() {
  std::string keys;
  for (const PrinterModel& model : kPrinterModels) {
    if (!keys.empty()) keys += ", ";
    keys += model.key;
  }
  return keys;
}

}  // namespace

std::optional<std::string> TakeOption(Args& args, std::string_view name,
                                      std::optional<UsageError>& error) {
  const std::string option = "--" + std::string(name);
  const std::string with_value = option + "=";
  std::optional<std::string> value;
  Args rest;
  rest.reserve(args.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (StartsWith(word, with_value)) {
      value = word.substr(with_value.size());
    } else if (word == option) {
      if (i + 1 >= args.size() || LooksLikeOption(args[i + 1])) {
        if (!error) error = UsageError{option + " needs a value"};
        value.reset();
        continue;
      }
      value = args[++i];
    } else {
      rest.push_back(word);
      continue;
    }
    if (value->empty() && !error) error = UsageError{option + " needs a value"};
  }
  args = std::move(rest);
  if (value && value->empty()) value.reset();
  return value;
}

bool TakeFlag(Args& args, std::string_view name, std::optional<UsageError>& error) {
  const std::string flag = "--" + std::string(name);
  bool present = false;
  Args rest;
  rest.reserve(args.size());
  for (const std::string& word : args) {
    if (word == flag) {
      present = true;
    } else if (StartsWith(word, flag + "=")) {
      if (!error) error = UsageError{flag + " takes no value"};
    } else {
      rest.push_back(word);
    }
  }
  args = std::move(rest);
  return present;
}

std::optional<int> TakeNumberOption(Args& args, std::string_view name,
                                    std::optional<UsageError>& error) {
  const std::optional<std::string> text = TakeOption(args, name, error);
  if (!text) return std::nullopt;
  const std::string option = "--" + std::string(name);
  const std::optional<long> value = ParseWholeNumber(*text);
  if (!value) {
    error = UsageError{option + " needs a whole number"};
  } else if (*value < -kLargestNumber || *value > kLargestNumber) {
    error =
        UsageError{option + " " + *text + " is out of range (from -" +
                   std::to_string(kLargestNumber) + " to " + std::to_string(kLargestNumber) + ")"};
  } else {
    return static_cast<int>(*value);
  }
  return std::nullopt;
}

std::optional<bool> TakeSwitch(Args& args, std::string_view name,
                               std::optional<UsageError>& error) {
  const bool on = TakeFlag(args, name, error);
  const bool off = TakeFlag(args, "no-" + std::string(name), error);
  if (on && off) {
    error = UsageError{"--" + std::string(name) + " and --no-" + std::string(name) + " both given"};
  }
  if (on || off) return on;
  return std::nullopt;
}

std::optional<UsageError> CheckLeftovers(const Args& args, std::size_t max_positional) {
  std::size_t positional = 0;
  for (const std::string& word : args) {
    if (word.size() > 1 && word[0] == '-') return UsageError{"unknown option " + word};
    if (++positional > max_positional) return UsageError{"unexpected argument " + word};
  }
  return std::nullopt;
}

int ReportUsageError(std::string_view command, const UsageError& error, std::string_view usage) {
  std::fprintf(stderr, "kelvaro %.*s: %s\nusage: kelvaro %.*s\n", static_cast<int>(command.size()),
               command.data(), error.message.c_str(), static_cast<int>(usage.size()), usage.data());
  return 2;
}

std::optional<std::string> TakeModelOption(Args& args, std::optional<UsageError>& error) {
  std::optional<std::string> key = TakeOption(args, "model", error);
  if (!key) return std::nullopt;
  if (IsModelKey(*key)) return key;
  if (!error) {
    error =
        UsageError{"unknown printer model \"" + *key + "\"; the models are " + KnownModelKeys()};
  }
  return std::nullopt;
}

ModelChoice ChooseModel(const std::optional<std::string>& override_key,
                        const SettingsStore& store) {
  if (override_key) return {*override_key, true};
  return {ResolveActiveModelName(store, UsbSysfsRoot()), false};
}

std::filesystem::path UsbSysfsRoot() {
  std::optional<std::string> root = ProcessEnv(kUsbRootVariable);
  if (root && !root->empty()) return *root;
  return kUsbSysfsRoot;
}

}  // namespace kelvaro::cli
