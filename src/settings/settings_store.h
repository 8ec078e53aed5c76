#ifndef KELVARO_SETTINGS_SETTINGS_STORE_H_
#define KELVARO_SETTINGS_SETTINGS_STORE_H_

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/data_folders.h"
#include "platform/notifier.h"

namespace kelvaro {

// The two settings files "KelvaroPro.ini": one per user (every key) and one machine-wide
// (language default and toner order). Each call opens, changes and closes the file, so an
// editor or another process may change it between calls; there is no cache.
class SettingsStore {
 public:
  SettingsStore(DataFolders folders, Notifier& notifier);

  const DataFolders& folders() const { return folders_; }
  std::filesystem::path UserSettingsFile() const;
  std::filesystem::path CommonSettingsFile() const;

  // The value under [section] key of the user file; "" when file, section or key is missing.
  // Names match without regard to case; the value is cut to 254 characters.
  std::string ReadSetting(std::string_view section, std::string_view key) const;
  std::string ReadCommonSetting(std::string_view section, std::string_view key) const;

  // Writes one value, creating file and section. A failure is shown to the user through the
  // notifier ("Failed to write to:- ...") and the value is not stored; returns false then.
  bool WriteSetting(std::string_view section, std::string_view key, std::string_view value);
  bool WriteCommonSetting(std::string_view section, std::string_view key, std::string_view value);

  Notifier& notifier() const { return notifier_; }

 private:
  DataFolders folders_;
  Notifier& notifier_;
};

// Reads the leading number of a stored value: leading blanks skipped, the longest numeric
// prefix taken; "" or a non-numeric value reads as 0.
long ReadLeadingNumber(std::string_view text);
double ReadLeadingDecimal(std::string_view text);

// Formats a number the way the store writes it: one leading blank when not negative.
std::string FormatStoredNumber(long value);

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_SETTINGS_STORE_H_
