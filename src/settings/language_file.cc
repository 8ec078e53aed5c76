#include "settings/language_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

#include "platform/text_helpers.h"

namespace kelvaro {
namespace fs = std::filesystem;
namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// What a line of a language file may end with besides its text.
constexpr std::string_view kLineEndBlanks = " \t\r";

// Reads "<blanks><digits>" at the start of `text`. Returns the number of characters used
// (0 when there are no digits) and the value, capped just above the largest entry count.
std::size_t ReadEntryNumber(std::string_view text, long* value) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const std::size_t digits_start = i;
  long number = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (number <= kMaxLanguageEntryCount) number = number * 10 + (text[i] - '0');
    ++i;
  }
  if (i == digits_start) return 0;
  *value = number;
  return i;
}

// Splits a file into lines, dropping the CR of CR LF. A last line without an ending counts.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

void SetDamage(std::string* damage, std::string text) {
  if (damage != nullptr) *damage = std::move(text);
}

void AppendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUtf16Unit(char16_t unit, std::string& out) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>(unit >> 8);
}

// The file `name` in `folder`, matched exactly first and then without regard to case.
// Empty when there is no such regular file or the name reaches outside the folder.
fs::path FindLanguageFile(const fs::path& folder, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
    return {};
  std::error_code ec;
  const fs::path exact = folder / fs::path(std::string(name));
  if (fs::is_regular_file(exact, ec)) return exact;
  const std::string wanted = AsciiLower(name);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (AsciiLower(it->path().filename().string()) == wanted && fs::is_regular_file(it->path(), ec))
      return it->path();
  }
  return {};
}

// The whole file, or nullopt when it cannot be read or is too large to be a language file.
std::optional<std::string> ReadSmallFile(const fs::path& path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kMaxLanguageFileBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

// The first line of a file, at most 4 KiB of it; "" when it cannot be read.
std::string ReadFirstLine(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  char c;
  while (line.size() < 4096 && in.get(c) && c != '\n') line += c;
  return line;
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k)
      out += k <= n ? kBase64Alphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
  }
  return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return std::nullopt;
  std::size_t fill = 0;
  if (text.back() == '=') ++fill;
  if (text.size() >= 2 && text[text.size() - 2] == '=') ++fill;
  if (fill == 1 && text[text.size() - 2] == '=') return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    std::uint32_t group = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      int value;
      if (c == '=' && last && k >= 4 - fill) {
        value = 0;
      } else {
        value = Base64Value(c);
        if (value < 0) return std::nullopt;
      }
      group = (group << 6) | static_cast<std::uint32_t>(value);
    }
    out += static_cast<char>(group >> 16);
    out += static_cast<char>((group >> 8) & 0xFF);
    out += static_cast<char>(group & 0xFF);
  }
  // Only the zero bytes that the fill characters stand for are dropped; a real zero high byte
  // of the last UTF-16 character stays.
  out.resize(out.size() - fill);
  return out;
}

std::optional<std::string> Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length;
    char32_t code;
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (i + length > utf8.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return std::nullopt;
    if (code >= 0x10000) {
      code -= 0x10000;
      AppendUtf16Unit(static_cast<char16_t>(0xD800 | (code >> 10)), out);
      AppendUtf16Unit(static_cast<char16_t>(0xDC00 | (code & 0x3FF)), out);
    } else {
      AppendUtf16Unit(static_cast<char16_t>(code), out);
    }
    i += length;
  }
  return out;
}

std::optional<std::string> Utf16LeToUtf8(std::string_view utf16) {
  if (utf16.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(utf16.size());
  auto unit_at = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                 (static_cast<unsigned char>(utf16[i + 1]) << 8));
  };
  for (std::size_t i = 0; i < utf16.size(); i += 2) {
    const char16_t unit = unit_at(i);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 2 >= utf16.size()) return std::nullopt;
      const char16_t low = unit_at(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      AppendUtf8(0x10000 + ((static_cast<char32_t>(unit - 0xD800) << 10) | (low - 0xDC00)), out);
      i += 2;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return std::nullopt;
    } else {
      AppendUtf8(unit, out);
    }
  }
  return out;
}

std::optional<std::string> EncodeLanguageEntry(const LanguageEntry& entry, int asterisks) {
  const std::string stars(static_cast<std::size_t>(std::max(asterisks, 0)), '*');
  std::optional<std::string> utf16 =
      Utf8ToUtf16Le(stars + std::to_string(entry.number) + "N" + entry.text + stars);
  if (!utf16) return std::nullopt;
  return Base64Encode(*utf16);
}

std::optional<LanguageEntry> DecodeLanguageEntry(std::string_view line, std::string* damage) {
  std::optional<std::string> bytes = Base64Decode(TrimEnd(line, kLineEndBlanks));
  if (!bytes) {
    SetDamage(damage, "an entry is not Base64");
    return std::nullopt;
  }
  std::optional<std::string> text = Utf16LeToUtf8(*bytes);
  if (!text) {
    SetDamage(damage, "an entry is not UTF-16 text");
    return std::nullopt;
  }
  std::string_view view = *text;
  std::size_t leading = 0;
  while (leading < view.size() && view[leading] == '*') ++leading;
  view.remove_prefix(leading);
  std::size_t trailing = 0;
  while (trailing < leading && trailing < view.size() && view[view.size() - 1 - trailing] == '*')
    ++trailing;
  view.remove_suffix(trailing);

  long number = 0;
  const std::size_t used = ReadEntryNumber(view, &number);
  if (used == 0 || used >= view.size() || view[used] != 'N') {
    SetDamage(damage, "an entry does not start with its number");
    return std::nullopt;
  }
  LanguageEntry entry;
  entry.number = number > kMaxLanguageEntryCount ? -1 : static_cast<int>(number);
  entry.text = std::string(view.substr(used + 1));
  return entry;
}

namespace {

// The header and comment lines of a language file into `parsed`; false when the file stops
// there (outdated or damaged).
bool ParseLanguageHead(const std::vector<std::string_view>& lines, ParsedLanguageFile& parsed) {
  if (lines.empty()) {
    parsed.damage = "the file is empty";
    return false;
  }
  const std::string_view header = lines[0];
  if (header.find(kLanguageHeaderV1) != std::string_view::npos ||
      header.find(kLanguageHeaderV2) != std::string_view::npos) {
    parsed.header = LanguageHeader::kOutdated;
    return false;
  }
  if (header.find(kLanguageHeaderV3) == std::string_view::npos) {
    parsed.damage = "the first line is not a language file header";
    return false;
  }
  parsed.header = LanguageHeader::kCurrent;
  if (lines.size() < 3) {
    parsed.damage = "the file ends before its count line";
    return false;
  }
  parsed.comment = std::string(lines[1]);
  return true;
}

// The count line: the count, then entry 0 after its "N". False when it is damaged.
bool ParseCountLine(std::string_view count_line, ParsedLanguageFile& parsed) {
  long count = 0;
  const std::size_t used = ReadEntryNumber(count_line, &count);
  const std::size_t n_at = count_line.find('N');
  if (used == 0 || n_at == std::string_view::npos || n_at < used) {
    parsed.damage = "the count line is not a number followed by N";
    return false;
  }
  if (count > kMaxLanguageEntryCount) {
    parsed.damage = "the entry count is too large";
    return false;
  }
  parsed.count = static_cast<int>(count);

  std::string damage;
  std::optional<LanguageEntry> first = DecodeLanguageEntry(count_line.substr(n_at + 1), &damage);
  if (!first) {
    parsed.damage = damage + " (line 3)";
    return false;
  }
  parsed.entries.push_back(std::move(*first));
  return true;
}

// The entry lines after the count line, up to the end line, the count or the last line.
void ParseEntryLines(const std::vector<std::string_view>& lines, ParsedLanguageFile& parsed) {
  std::string damage;
  int stored = 0;
  bool ended = false;  // by the end line or by the count, not by running out of lines
  for (std::size_t i = 3; i < lines.size() && !ended; ++i) {
    const std::string_view line = lines[i];
    if (line.find(kLanguageEndMarker) != std::string_view::npos) {
      ended = true;
      break;
    }
    if (TrimEnd(line, kLineEndBlanks).empty()) continue;
    std::optional<LanguageEntry> entry = DecodeLanguageEntry(line, &damage);
    if (!entry) {
      parsed.damage = damage + " (line " + std::to_string(i + 1) + ")";
      return;
    }
    const int number = entry->number;
    parsed.entries.push_back(std::move(*entry));
    ++stored;
    ended = stored > parsed.count || number < 0 || number >= parsed.count;
  }
  // A file cut between two lines decodes cleanly up to its cut; without its end line or its
  // last entry it is as damaged as one cut in the middle of a line.
  if (!ended && parsed.entries.back().number < parsed.count) {
    parsed.damage = "the file ends after " + std::to_string(parsed.entries.size()) + " of its " +
                    std::to_string(parsed.count + 1) + " entries (line " +
                    std::to_string(lines.size()) + ")";
  }
}

}  // namespace

ParsedLanguageFile ParseLanguageFile(std::string_view bytes) {
  ParsedLanguageFile parsed;
  const std::vector<std::string_view> lines = SplitLines(bytes);
  if (ParseLanguageHead(lines, parsed) && ParseCountLine(lines[2], parsed)) {
    ParseEntryLines(lines, parsed);
  }
  return parsed;
}

std::optional<std::string> WriteLanguageFile(std::vector<LanguageEntry> entries,
                                             std::string_view comment, int count,
                                             std::string* error) {
  if (entries.empty()) {
    SetDamage(error, "no entries");
    return std::nullopt;
  }
  std::stable_sort(
      entries.begin(), entries.end(),
      [](const LanguageEntry& a, const LanguageEntry& b) { return a.number < b.number; });
  const int highest = entries.back().number;
  if (count < 0) count = std::max(highest, UiText::kLastDefaultEntry);
  if (count > kMaxLanguageEntryCount) {
    SetDamage(error, "the count is above " + std::to_string(kMaxLanguageEntryCount));
    return std::nullopt;
  }
  if (entries.front().number < 0 || highest > count) {
    SetDamage(error, "entry numbers must lie between 0 and the count " + std::to_string(count));
    return std::nullopt;
  }
  std::string out = std::string(kLanguageHeaderV3) + "\r\n";
  out += std::string(TrimEnd(comment.substr(0, comment.find('\n')), kLineEndBlanks)) + "\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 && entries[i].number == entries[i - 1].number) {
      SetDamage(error, "entry " + std::to_string(entries[i].number) + " appears twice");
      return std::nullopt;
    }
    std::optional<std::string> line = EncodeLanguageEntry(entries[i]);
    if (!line) {
      SetDamage(error, "entry " + std::to_string(entries[i].number) + " is not UTF-8 text");
      return std::nullopt;
    }
    if (i == 0) out += std::to_string(count) + "N";
    out += *line + "\r\n";
  }
  out += std::string(kLanguageEndMarker) + "\r\n";
  return out;
}

std::optional<std::vector<LanguageEntry>> ParseTextTable(std::string_view table,
                                                         std::string* error) {
  std::vector<LanguageEntry> entries;
  std::map<int, int> seen;  // entry number -> line
  const std::vector<std::string_view> lines = SplitLines(table);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::string where = "line " + std::to_string(i + 1) + ": ";
    if (TrimEnd(line, kLineEndBlanks).empty() || line.front() == '#') continue;
    const std::size_t tab = line.find('\t');
    long number = 0;
    const std::size_t used = ReadEntryNumber(line, &number);
    if (tab == std::string_view::npos || used == 0 || used != tab) {
      SetDamage(error, where + "expected a number, a tab and the text");
      return std::nullopt;
    }
    if (number > kMaxLanguageEntryCount) {
      SetDamage(error, where + "entry number above " + std::to_string(kMaxLanguageEntryCount));
      return std::nullopt;
    }
    const int n = static_cast<int>(number);
    if (auto [it, inserted] = seen.emplace(n, static_cast<int>(i + 1)); !inserted) {
      SetDamage(error, where + "entry " + std::to_string(n) + " already on line " +
                           std::to_string(it->second));
      return std::nullopt;
    }
    entries.push_back({n, std::string(line.substr(tab + 1))});
  }
  return entries;
}

std::string FormatTextTable(const std::vector<LanguageEntry>& entries) {
  std::string out;
  for (const LanguageEntry& entry : entries) {
    out += std::to_string(entry.number) + "\t";
    const std::string& text = entry.text;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      if (text[i] == '\r' || text[i] == '\n') {
        out += "\\n";
      } else {
        out += text[i];
      }
    }
    out += "\n";
  }
  return out;
}

LanguageLoadResult LoadLanguage(const fs::path& program_folder, std::string_view file_name,
                                UiText& texts, Notifier& notifier) {
  const fs::path shown_path = program_folder / fs::path(std::string(file_name));
  const fs::path path = FindLanguageFile(program_folder, file_name);
  LanguageLoadResult result = LanguageLoadResult::kLoaded;
  std::optional<std::string> bytes;
  if (!path.empty()) bytes = ReadSmallFile(path);

  if (path.empty()) {
    notifier.Show(
        kStoreTitle,
        shown_path.string() + " Missing\nLoading defaults - Please set language once open",
        MessageIcon::kError);
    result = LanguageLoadResult::kMissing;
  } else {
    ParsedLanguageFile parsed;
    if (bytes) {
      parsed = ParseLanguageFile(*bytes);
    } else {
      parsed.damage = "it cannot be read";
    }
    if (parsed.header == LanguageHeader::kOutdated) {
      notifier.Show("Driftmark",
                    "The Language file is out of date, please reinstall\nLoading Defaults",
                    MessageIcon::kWarning);
      result = LanguageLoadResult::kOutdated;
    } else if (!parsed.damage.empty()) {
      // Nothing of a damaged file is used: half a table would leave blank captions.
      notifier.Show(kStoreTitle,
                    path.string() + " is damaged: " + parsed.damage +
                        "\nLoading defaults - Please set language once open",
                    MessageIcon::kError);
      result = LanguageLoadResult::kDamaged;
    } else {
      texts.Reset(parsed.count);
      // An entry the file does not give keeps its built-in text, so that a short file still
      // leaves every caption readable (and the Language dialog reachable).
      for (int number = 0; number <= UiText::kLastDefaultEntry; ++number) {
        texts.Set(number, std::string(DefaultText(number)));
      }
      for (LanguageEntry& entry : parsed.entries) texts.Set(entry.number, std::move(entry.text));
      texts.ConvertLineBreaks();
    }
  }
  if (result != LanguageLoadResult::kLoaded) LoadDefaultTexts(texts);
  texts.ForceTitle();
  return result;
}

std::string LanguageDisplayName(std::string_view file_name) {
  std::string name = AsciiLower(file_name.substr(0, file_name.find('.')));
  if (!name.empty()) name[0] = AsciiUpper(name[0]);
  return name;
}

std::vector<LanguageChoice> ListLanguages(const fs::path& program_folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(program_folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 5 && AsciiLower(name.substr(name.size() - 5)) == kLanguageExtension &&
        fs::is_regular_file(it->path(), ec))
      files.push_back(it->path());
  }
  // Name order, so that the 31 looked at are always the same ones.
  std::sort(files.begin(), files.end());
  if (files.size() > static_cast<std::size_t>(kMaxLanguageFiles)) files.resize(kMaxLanguageFiles);
  std::vector<LanguageChoice> choices;
  for (const fs::path& file : files) {
    if (ReadFirstLine(file).find("V3") == std::string::npos) continue;
    const std::string name = file.filename().string();
    choices.push_back({LanguageDisplayName(name), name});
  }
  return choices;
}

int FindLanguageSelection(const std::vector<LanguageChoice>& choices,
                          std::string_view stored_language) {
  const std::string base = AsciiLower(stored_language.substr(0, stored_language.find('.')));
  if (base.empty()) return -1;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (AsciiLower(choices[i].display_name) == base) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kelvaro
