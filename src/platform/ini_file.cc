#include "platform/ini_file.h"

#include <cerrno>

#include "platform/file_lock.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"

namespace kelvaro {
namespace {

// The name of a section header line, or nullopt when the line is not a header.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line, kIniBlanks);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t close = line.rfind(']');
  if (close != std::string_view::npos) line = line.substr(0, close);
  return Trim(line, kIniBlanks);
}

// Key and raw value of a "Key=Value" line; nullopt for blank lines, comments and lines
// without an equals sign.
struct KeyLine {
  std::string_view key;
  std::string_view value;
};
std::optional<KeyLine> SplitKeyLine(std::string_view line) {
  const std::string_view trimmed = Trim(line, kIniBlanks);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(trimmed.substr(0, equals), kIniBlanks),
                 Trim(trimmed.substr(equals + 1), kIniBlanks)};
}

std::string_view CutAtLineBreak(std::string_view text) {
  const std::size_t brk = text.find_first_of("\r\n");
  return brk == std::string_view::npos ? text : text.substr(0, brk);
}

void SplitLines(std::string_view text, std::vector<std::string>& lines) {
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  const auto starts_with = [&](std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
  };
  if (starts_with("\xFF\xFE")) {
    doc.encoding_ = Encoding::kUtf16Le;
    doc.bom_ = true;
    bytes.remove_prefix(2);
  } else if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
    // UTF-16LE without a mark: an ASCII first character followed by a zero byte.
    doc.encoding_ = Encoding::kUtf16Le;
  } else if (starts_with("\xEF\xBB\xBF")) {
    doc.bom_ = true;
    bytes.remove_prefix(3);
  }
  if (doc.encoding_ == Encoding::kUtf16Le) {
    SplitLines(Utf16ToUtf8(Utf16LeBytesToUnits(bytes)), doc.lines_);
  } else {
    SplitLines(bytes, doc.lines_);
  }
  return doc;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view section) const {
  const std::string_view wanted = Trim(section, kIniBlanks);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (name && EqualsIgnoringAsciiCase(*name, wanted)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  const auto header = FindSection(section);
  if (!header) return std::nullopt;
  const std::string_view wanted = Trim(key, kIniBlanks);
  for (std::size_t i = *header + 1; i < lines_.size() && !SectionName(lines_[i]); ++i) {
    const auto entry = SplitKeyLine(lines_[i]);
    if (!entry || !EqualsIgnoringAsciiCase(entry->key, wanted)) continue;
    std::string_view value = entry->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    // 8-bit files written by older installations hold ANSI text.
    std::string text = (encoding_ == Encoding::kEightBit && !IsValidUtf8(value))
                           ? Cp1252ToUtf8(value)
                           : std::string(value);
    return CutToChars(text, kMaxIniValueChars);
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(CutAtLineBreak(section), kIniBlanks);
  key = Trim(CutAtLineBreak(key), kIniBlanks);
  value = CutAtLineBreak(value);
  const auto header = FindSection(section);
  if (!header) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::string(key) + "=" + std::string(value));
    return;
  }
  std::size_t insert_at = *header + 1;
  std::size_t i = *header + 1;
  for (; i < lines_.size() && !SectionName(lines_[i]); ++i) {
    const auto entry = SplitKeyLine(lines_[i]);
    if (entry && EqualsIgnoringAsciiCase(entry->key, key)) {
      lines_[i] = std::string(entry->key) + "=" + std::string(value);
      return;
    }
    // New keys go after the section's last non-blank line, before blank separator lines.
    if (!Trim(lines_[i], kIniBlanks).empty()) insert_at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                std::string(key) + "=" + std::string(value));
}

std::string IniDocument::Serialize() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  if (encoding_ == Encoding::kUtf16Le) {
    return (bom_ ? std::string("\xFF\xFE") : std::string()) +
           UnitsToUtf16LeBytes(Utf8ToUtf16(text));
  }
  return bom_ ? "\xEF\xBB\xBF" + text : text;
}

std::optional<std::string> ReadIniFile(const std::filesystem::path& file, int* error_code) {
  return ReadWholeFile(file, error_code, kMaxIniFileBytes);
}

std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key) {
  const auto bytes = ReadIniFile(file);
  if (!bytes) return std::nullopt;
  return IniDocument::Parse(*bytes).Get(section, key);
}

FileWriteResult WriteIniValue(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view value) {
  // From the read to the rename, so that a write of another program cannot fall in between
  // and be lost.
  const FileLock lock(file);
  int error_code = 0;
  auto bytes = ReadIniFile(file, &error_code);
  if (!bytes) {
    // A file that is not there yet is created; anything else that stops us reading it
    // would make us lose its content, so it is a failure.
    // A missing folder is not a file that cannot be read: the write reports it.
    if (error_code != kErrorFileNotFound) {
      return {false, error_code, error_code != kErrorPathNotFound};
    }
    bytes.emplace();
  }
  IniDocument doc = IniDocument::Parse(*bytes);
  doc.Set(section, key, value);
  return WriteFileAtomically(file, doc.Serialize());
}

}  // namespace kelvaro
