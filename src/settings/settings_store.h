#ifndef KELVARO_SETTINGS_SETTINGS_STORE_H_
#define KELVARO_SETTINGS_SETTINGS_STORE_H_

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/data_folders.h"
#include "platform/notifier.h"
#include "settings/keys.h"

namespace kelvaro {

// The two settings files "KelvaroPro.ini": one per user (every key) and one machine-wide
// (language default and toner order). A read parses a file once and keeps it until the file
// changes (another inode, size or modification time), so an editor or another process may
// change it between calls and the next read sees it. Each write opens, changes and closes the
// file under its lock. A file over kMaxIniFileBytes is refused as unreadable.
// Whether a settings file can be read right now.
enum class SettingsFileState {
  kReadable,
  kMissing,     // not there (yet): the defaults apply and the first write creates it
  kUnreadable,  // there, but it cannot be read (no permission, a folder in its place, ...)
};
struct SettingsFileCheck {
  SettingsFileState state = SettingsFileState::kReadable;
  int error_code = 0;  // for kUnreadable, a code as in atomic_file.h
};

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
  // The same for one of the keys of settings/keys.h.
  std::string ReadSetting(SettingKey key) const { return ReadSetting(key.section, key.name); }
  std::string ReadCommonSetting(SettingKey key) const {
    return ReadCommonSetting(key.section, key.name);
  }
  bool WriteSetting(SettingKey key, std::string_view value) {
    return WriteSetting(key.section, key.name, value);
  }
  bool WriteCommonSetting(SettingKey key, std::string_view value) {
    return WriteCommonSetting(key.section, key.name, value);
  }

  Notifier& notifier() const { return notifier_; }

  // While a hold is alive, writes are kept in memory instead of reaching the files, and reads
  // see them on top of the files; when it ends they are dropped. A run that must leave the
  // stored settings as they were (a print from the command line) prepares under a hold, so
  // that every rule runs as in the window without storing what the user never chose to keep.
  class [[nodiscard]] WriteHold {
   public:
    explicit WriteHold(SettingsStore& store) : store_(&store) {}
    WriteHold(WriteHold&& other) noexcept : store_(std::exchange(other.store_, nullptr)) {}
    WriteHold& operator=(WriteHold&&) = delete;
    ~WriteHold() { Release(); }
    // Drops the held writes now; later writes reach the files again.
    void Release();

   private:
    SettingsStore* store_;
  };
  WriteHold HoldWrites();
  bool writes_held() const { return held_ != nullptr; }

  // True when the user file exists.
  bool UserSettingsFileExists() const;

  // Reads the user file now and says whether it could. While it is kUnreadable every value
  // read from it is "" and every write is refused, so nothing may be done with the settings
  // as if the user had chosen them (a print must refuse).
  SettingsFileCheck CheckUserSettingsFile() const;

  // The message a failed write shows: "Failed to write to:- ", a line break, the full path,
  // a line break and the error text for `error_code`.
  static std::string WriteFailureMessage(const std::filesystem::path& file, int error_code);
  // The message shown, once per store and file, when a settings file is there but cannot be
  // read: "The settings file cannot be read:- ", a line break, the full path, a line break and
  // the error text for `error_code`. Reads and writes that fail for the same reason afterwards
  // say nothing more.
  static std::string ReadFailureMessage(const std::filesystem::path& file, int error_code);

 private:
  struct HeldWrites;
  struct HeldWritesDeleter {
    void operator()(HeldWrites* held) const;
  };

  struct ParsedFile;
  struct ParsedFileDeleter {
    void operator()(ParsedFile* parsed) const;
  };

  // The value from `file`; "" when missing. Reports an unreadable file once through `reported`.
  std::string ReadFrom(const std::filesystem::path& file, ParsedFile& parsed,
                       std::string_view section, std::string_view key, bool& reported) const;
  bool WriteTo(const std::filesystem::path& file, std::string_view section, std::string_view key,
               std::string_view value, bool& reported);

  DataFolders folders_;
  Notifier& notifier_;
  std::unique_ptr<HeldWrites, HeldWritesDeleter> held_;
  // The user and common files as last read.
  std::unique_ptr<ParsedFile, ParsedFileDeleter> user_parsed_;
  std::unique_ptr<ParsedFile, ParsedFileDeleter> common_parsed_;
  // Whether the unreadable user or common file was already reported.
  mutable bool user_unreadable_reported_ = false;
  mutable bool common_unreadable_reported_ = false;
};

// Resolves the user, common and program folders (see ResolveDataFolders) and creates the
// user folder when it is missing. A folder that cannot be created is not reported here; the
// start-up checks report missing folders.
DataFolders GetDataFolders(const EnvLookup& env = ProcessEnv);

// The error text of a failed write: "Error 2 - File not found", "Error 3 - Path not found",
// "Error 5 - Access denied (read only?)", "Error 19 - Write protected media", "Error 28 - No
// space left on device", else "Error" followed by a blank and the code.
std::string WriteErrorText(int error_code);

// Reads the leading number of a stored value: leading blanks skipped, the longest numeric
// prefix taken (an optional sign, then digits); "" or a non-numeric value reads as 0. Values
// beyond the range of long are clamped.
long ReadLeadingNumber(std::string_view text);
// As ReadLeadingNumber, with an optional decimal point and fraction ("2.2" reads as 2.2).
double ReadLeadingDecimal(std::string_view text);
// The sign, digits and fraction at the start of `text` (no blanks skipped): how many
// characters they take and how many of them are digits.
struct DecimalPrefix {
  std::size_t length = 0;
  std::size_t digits = 0;
};
DecimalPrefix ScanDecimalPrefix(std::string_view text);
// The leading number clamped to 0..255, for the byte-sized job settings.
unsigned char ReadLeadingByte(std::string_view text);

// Formats a number the way the store writes it: one leading blank when not negative.
std::string FormatStoredNumber(long value);

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_SETTINGS_STORE_H_
