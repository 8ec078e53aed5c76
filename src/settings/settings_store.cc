#include "settings/settings_store.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/text_helpers.h"

namespace kelvaro {
namespace fs = std::filesystem;

namespace {
constexpr char kSettingsFileName[] = "KelvaroPro.ini";

// Length of the sign-and-digits prefix; 0 when there are no digits.
std::size_t IntegerPrefixLength(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t digits_start = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  return i == digits_start ? 0 : i;
}
}  // namespace

// The writes of a hold: one document per file, with the files' own rules for names and values.
struct SettingsStore::HeldWrites {
  IniDocument user;
  IniDocument common;
};

void SettingsStore::HeldWritesDeleter::operator()(HeldWrites* held) const { delete held; }

// A settings file as last read, and what it looked like then. A print reads hundreds of
// values; parsing the file again for each of them made a large file cost minutes.
struct SettingsStore::ParsedFile {
  // Held for a refresh and the reads from `doc` that follow it.
  std::mutex mutex;
  bool valid = false;
  struct stat seen {};
  int error_code = 0;  // 0 when `doc` holds the file
  IniDocument doc;

  // Brings the parse up to date with the file. Returns the document, or nullptr with
  // `error_code` set when the file cannot be read.
  const IniDocument* Refresh(const fs::path& file) {
    struct stat now {};
    if (::stat(file.c_str(), &now) != 0) {
      // Nothing there (or a loop of links): nothing to keep.
      valid = false;
      error_code = WindowsErrorCode(errno);
      return nullptr;
    }
    if (valid && SameFile(now, seen)) return error_code == 0 ? &doc : nullptr;
    std::optional<std::string> bytes = ReadIniFile(file, &error_code);
    seen = now;
    // File times move in steps of a clock tick: a file changed again within the tick it was
    // read in may look the same afterwards, so such a fresh read is not kept for the next.
    valid = !ChangedJustNow(now);
    if (!bytes) {
      doc = IniDocument();
      return nullptr;
    }
    doc = IniDocument::Parse(*bytes);
    return &doc;
  }

  static bool ChangedJustNow(const struct stat& file) {
    constexpr long long kTickNs = 50'000'000;
    timespec clock{};
    ::clock_gettime(CLOCK_REALTIME, &clock);
    const auto ns = [](const timespec& t) {
      return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
    };
    return ns(clock) - std::max(ns(file.st_mtim), ns(file.st_ctim)) < kTickNs;
  }

  static bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mode == b.st_mode && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
  }
};

void SettingsStore::ParsedFileDeleter::operator()(ParsedFile* parsed) const { delete parsed; }

SettingsStore::SettingsStore(DataFolders folders, Notifier& notifier)
    : folders_(std::move(folders)),
      notifier_(notifier),
      user_parsed_(new ParsedFile),
      common_parsed_(new ParsedFile) {}

SettingsStore::WriteHold SettingsStore::HoldWrites() {
  if (!held_) held_.reset(new HeldWrites);
  return WriteHold(*this);
}

void SettingsStore::WriteHold::Release() {
  if (store_ != nullptr) store_->held_.reset();
  store_ = nullptr;
}

fs::path SettingsStore::UserSettingsFile() const { return folders_.user / kSettingsFileName; }

fs::path SettingsStore::CommonSettingsFile() const { return folders_.common / kSettingsFileName; }

bool SettingsStore::UserSettingsFileExists() const {
  std::error_code ec;
  return fs::is_regular_file(UserSettingsFile(), ec);
}

std::string SettingsStore::ReadFrom(const fs::path& file, ParsedFile& parsed,
                                    std::string_view section, std::string_view key,
                                    bool& reported) const {
  int error_code = 0;
  {
    // Not held while the failure is shown: the window's notifier may wait for its thread.
    const std::lock_guard<std::mutex> lock(parsed.mutex);
    if (const IniDocument* doc = parsed.Refresh(file)) return doc->Get(section, key).value_or("");
    error_code = parsed.error_code;
  }
  if (error_code != kErrorFileNotFound && error_code != kErrorPathNotFound && !reported) {
    reported = true;
    notifier_.Show(kStoreTitle, ReadFailureMessage(file, error_code), MessageIcon::kError);
  }
  return "";
}

bool SettingsStore::WriteTo(const fs::path& file, std::string_view section, std::string_view key,
                            std::string_view value, bool& reported) {
  const FileWriteResult result = WriteIniValue(file, section, key, value);
  if (result.ok) return true;
  if (!result.read_failed) {
    notifier_.Show(kStoreTitle, WriteFailureMessage(file, result.error_code), MessageIcon::kError);
  } else if (!reported) {
    // Start-up tries dozens of writes; a file it cannot read is said once, not at each.
    reported = true;
    notifier_.Show(kStoreTitle, ReadFailureMessage(file, result.error_code), MessageIcon::kError);
  }
  return false;
}

std::string SettingsStore::ReadSetting(std::string_view section, std::string_view key) const {
  if (held_) {
    if (std::optional<std::string> value = held_->user.Get(section, key)) return *value;
  }
  return ReadFrom(UserSettingsFile(), *user_parsed_, section, key, user_unreadable_reported_);
}

std::string SettingsStore::ReadCommonSetting(std::string_view section, std::string_view key) const {
  if (held_) {
    if (std::optional<std::string> value = held_->common.Get(section, key)) return *value;
  }
  return ReadFrom(CommonSettingsFile(), *common_parsed_, section, key, common_unreadable_reported_);
}

bool SettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                 std::string_view value) {
  if (held_) {
    held_->user.Set(section, key, value);
    return true;
  }
  return WriteTo(UserSettingsFile(), section, key, value, user_unreadable_reported_);
}

bool SettingsStore::WriteCommonSetting(std::string_view section, std::string_view key,
                                       std::string_view value) {
  if (held_) {
    held_->common.Set(section, key, value);
    return true;
  }
  return WriteTo(CommonSettingsFile(), section, key, value, common_unreadable_reported_);
}

SettingsFileCheck SettingsStore::CheckUserSettingsFile() const {
  const std::lock_guard<std::mutex> lock(user_parsed_->mutex);
  if (user_parsed_->Refresh(UserSettingsFile())) return {SettingsFileState::kReadable, 0};
  const int error_code = user_parsed_->error_code;
  if (error_code == kErrorFileNotFound || error_code == kErrorPathNotFound) {
    return {SettingsFileState::kMissing, 0};
  }
  return {SettingsFileState::kUnreadable, error_code};
}

std::string SettingsStore::ReadFailureMessage(const fs::path& file, int error_code) {
  return "The settings file cannot be read:- \n" + file.string() + "\n" +
         WriteErrorText(error_code);
}

std::string SettingsStore::WriteFailureMessage(const fs::path& file, int error_code) {
  return "Failed to write to:- \n" + file.string() + "\n" + WriteErrorText(error_code);
}

DataFolders GetDataFolders(const EnvLookup& env) {
  DataFolders folders = ResolveDataFolders(env);
  std::error_code ec;
  fs::create_directories(folders.user, ec);
  return folders;
}

std::string WriteErrorText(int error_code) {
  switch (error_code) {
    case 2:
      return "Error 2 - File not found";
    case 3:
      return "Error 3 - Path not found";
    case 5:
      return "Error 5 - Access denied (read only?)";
    case 19:
      return "Error 19 - Write protected media";
    case 28:
      return "Error 28 - No space left on device";
    case kErrorFileTooLarge:
      return "Error 223 - The file is too large to be read";
    case kErrorNotRegularFile:
      return "Error 1920 - Not a regular file (a folder, device or pipe is in its place)";
    case kErrorLinkLoop:
      return "Error 1921 - The name leads round a loop of symbolic links";
    default:
      return "Error " + std::to_string(error_code);
  }
}

long ReadLeadingNumber(std::string_view text) {
  text = TrimStart(text, kBlanks);
  const std::size_t length = IntegerPrefixLength(text);
  if (length == 0) return 0;
  std::string_view digits = text.substr(0, length);
  const bool negative = digits.front() == '-';
  if (digits.front() == '+' || digits.front() == '-') digits.remove_prefix(1);
  unsigned long magnitude = 0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (ec == std::errc::result_out_of_range || magnitude > static_cast<unsigned long>(LONG_MAX)) {
    return negative ? LONG_MIN : LONG_MAX;
  }
  const long value = static_cast<long>(magnitude);
  return negative ? -value : value;
}

DecimalPrefix ScanDecimalPrefix(std::string_view text) {
  DecimalPrefix prefix;
  std::size_t& i = prefix.length;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++prefix.digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++prefix.digits;
  }
  return prefix;
}

double ReadLeadingDecimal(std::string_view text) {
  text = TrimStart(text, kBlanks);
  const DecimalPrefix prefix = ScanDecimalPrefix(text);
  const std::size_t i = prefix.length;
  if (prefix.digits == 0) return 0.0;
  // strtod on a private copy: from_chars for doubles rejects a leading '+'.
  const std::string number(text.substr(0, i));
  return std::strtod(number.c_str(), nullptr);
}

unsigned char ReadLeadingByte(std::string_view text) {
  const long value = ReadLeadingNumber(text);
  if (value < 0) return 0;
  if (value > 255) return 255;
  return static_cast<unsigned char>(value);
}

std::string FormatStoredNumber(long value) {
  std::string text = value < 0 ? "" : " ";
  text += std::to_string(value);
  return text;
}

}  // namespace kelvaro
