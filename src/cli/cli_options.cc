#include "cli/cli_options.h"

#include <cstdio>

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
