#ifndef KELVARO_SETTINGS_LANGUAGE_FILE_H_
#define KELVARO_SETTINGS_LANGUAGE_FILE_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/notifier.h"
#include "settings/ui_text.h"

namespace kelvaro {

// First-line markers of the language file generations. Only the current one is read.
inline constexpr char kLanguageHeaderV1[] = "Driftmark Language file V1";
inline constexpr char kLanguageHeaderV2[] = "Driftmark Language file V2";
inline constexpr char kLanguageHeaderV3[] = "Driftmark Language file V3";
inline constexpr char kLanguageExtension[] = ".lan3";
// Line that ends the entries of a language file.
inline constexpr char kLanguageEndMarker[] = ">>>";
// Largest entry count a language file may declare; anything above is taken as damage
// rather than a reason to allocate a huge table.
inline constexpr int kMaxLanguageEntryCount = 9999;
// Larger files are not language files; they are refused before being read.
inline constexpr std::uintmax_t kMaxLanguageFileBytes = 16u << 20;
// The language list shows at most this many files.
inline constexpr int kMaxLanguageFiles = 31;

// One entry as a language file carries it: its number and its UTF-8 text, backslash-n still
// the two characters (line breaks are made when the table is loaded).
struct LanguageEntry {
  int number = 0;
  std::string text;
  bool operator==(const LanguageEntry&) const = default;
};

enum class LanguageHeader { kCurrent, kOutdated, kUnknown };

// A language file read under the loader's rules: the count line, then entries until ">>>",
// the end of the file, more than `count` entries after the count line, or an entry numbered
// `count` or higher.
struct ParsedLanguageFile {
  LanguageHeader header = LanguageHeader::kUnknown;
  std::string comment;                 // line 2
  int count = 0;                       // declared entry count
  std::vector<LanguageEntry> entries;  // in file order
  std::string damage;  // why the file cannot be used; empty for a sound current file
};
ParsedLanguageFile ParseLanguageFile(std::string_view bytes);

// Standard Base64 with "=" fill.
std::string Base64Encode(std::string_view bytes);
// nullopt when `text` is empty, not a whole number of four-character groups, or holds a
// character outside the alphabet or a misplaced "=".
std::optional<std::string> Base64Decode(std::string_view text);

// UTF-8 <-> UTF-16LE. nullopt for malformed input (bad UTF-8, odd length, lone surrogates).
std::optional<std::string> Utf8ToUtf16Le(std::string_view utf8);
std::optional<std::string> Utf16LeToUtf8(std::string_view utf16);

// One entry as a Base64 line: "<number>N<text>" in UTF-16LE, wrapped in `asterisks` "*" on
// each side. nullopt when the text is not valid UTF-8.
std::optional<std::string> EncodeLanguageEntry(const LanguageEntry& entry, int asterisks = 0);
// Decodes one Base64 line. Asterisks wrapped around the entry are removed in pairs, so a text
// that itself ends in asterisks keeps them. nullopt (with `damage` set when given) for a line
// that is not Base64, not UTF-16LE text, or not of the form "<number>N<text>". Entry numbers
// too large for an int come back as -1 (outside every table).
std::optional<LanguageEntry> DecodeLanguageEntry(std::string_view line,
                                                 std::string* damage = nullptr);

// The bytes of a current language file (CR LF lines) holding `entries` sorted by number.
// `count` below 0 means the larger of 312 and the highest entry number. nullopt (with
// `error` set when given) when there are no entries, a number is negative or above the
// count or the largest count, a number repeats, or a text is not valid UTF-8.
std::optional<std::string> WriteLanguageFile(std::vector<LanguageEntry> entries,
                                             std::string_view comment, int count = -1,
                                             std::string* error = nullptr);

// The translators' table: one "number<TAB>text" line per entry, backslash-n kept as two
// characters. Blank lines and lines starting with "#" are skipped. nullopt (with `error`
// naming the line) for a malformed line or a repeated number.
std::optional<std::vector<LanguageEntry>> ParseTextTable(std::string_view table,
                                                         std::string* error = nullptr);
// The table text of `entries`; real line breaks inside a text are written as backslash-n.
std::string FormatTextTable(const std::vector<LanguageEntry>& entries);

enum class LanguageLoadResult { kLoaded, kMissing, kOutdated, kDamaged };

// Fills `texts` from the language file `file_name` in `program_folder` (the name is matched
// without regard to case, as the file system the files come from does). A missing file, an
// outdated one, or one that cannot be read as a language file gets its message through
// `notifier` and the built-in texts instead. Entry 0 is the title afterwards in every case.
LanguageLoadResult LoadLanguage(const std::filesystem::path& program_folder,
                                std::string_view file_name, UiText& texts, Notifier& notifier);

// One language of the selection list.
struct LanguageChoice {
  std::string display_name;  // "English" for "ENGLISH.lan3"
  std::string file_name;
};

// The "*.lan3" files of `program_folder` in name order, at most 31 looked at, listed only when
// their first line contains "V3". Empty when the folder cannot be read.
std::vector<LanguageChoice> ListLanguages(const std::filesystem::path& program_folder);

// The file name up to its first ".", lower-cased, first character upper-cased.
std::string LanguageDisplayName(std::string_view file_name);

// Index in `choices` of the entry whose display name equals, ignoring case, the base name of
// `stored_language` (text before its first "."); -1 when there is none.
int FindLanguageSelection(const std::vector<LanguageChoice>& choices,
                          std::string_view stored_language);

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_LANGUAGE_FILE_H_
