#ifndef KELVARO_PLATFORM_INI_FILE_H_
#define KELVARO_PLATFORM_INI_FILE_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace kelvaro {

// The largest INI file read, in bytes. The settings files hold a few kilobytes; one of many
// megabytes is damaged or hostile, and reading it whole at every value would cost seconds
// and hundreds of megabytes.
inline constexpr std::uintmax_t kMaxIniFileBytes = 4 * 1024 * 1024;

// The bytes of an INI file, refused (kErrorFileTooLarge) above kMaxIniFileBytes; otherwise as
// ReadWholeFile.
std::optional<std::string> ReadIniFile(const std::filesystem::path& file,
                                       int* error_code = nullptr);

// The longest value a read returns, in characters; longer stored values are cut.
inline constexpr std::size_t kMaxIniValueChars = 254;

// An INI text ("[Section]" lines followed by "Key=Value" lines) with the rules of the
// Windows private-profile files we share with older installations:
//   - section and key names match without regard to (ASCII) case; the first match counts;
//   - names and values are read with surrounding blanks removed, a value enclosed in a pair
//     of double or single quotes loses them, and a value is cut to 254 characters;
//   - the file may be UTF-8 (with or without BOM), 8-bit ANSI (Windows-1252) or UTF-16LE
//     (with or without BOM), with CR LF or LF line ends; it is written back in the encoding it
//     was read in (and with its BOM, if any), every line ending in CR LF;
//   - a write changes only the line of its key, appends the key to its section, or appends
//     the section to the file; every other line, comments included, stays as it was.
// Text passed in and returned is UTF-8.
class IniDocument {
 public:
  IniDocument() = default;
  static IniDocument Parse(std::string_view bytes);

  // The value of [section] key; nullopt when the section or the key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Sets [section] key = value, creating the section and the key as needed. A value with a
  // line break is cut at the break, so that it cannot add lines of its own.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The file content, ready to be written.
  std::string Serialize() const;

 private:
  enum class Encoding { kEightBit, kUtf16Le };

  // Index of the header line of the first matching section, or nullopt.
  std::optional<std::size_t> FindSection(std::string_view section) const;

  Encoding encoding_ = Encoding::kEightBit;
  bool bom_ = false;
  // Lines without their line ends. For 8-bit files the bytes as read (our own writes add
  // UTF-8); for UTF-16 files the text converted to UTF-8.
  std::vector<std::string> lines_;
};

// Reads [section] key of an INI file; nullopt when the file, the section or the key is
// missing or the file cannot be read (or is larger than kMaxIniFileBytes).
std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key);

// Writes [section] key = value into an INI file, creating the file (not its folder) and the
// section as needed. The file is replaced atomically, and the whole read-change-write cycle
// holds the file's lock (file_lock.h), so concurrent writers of other keys are not lost. On failure
// `error_code` holds a code as in atomic_file.h and the file is unchanged.
FileWriteResult WriteIniValue(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view value);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_INI_FILE_H_
