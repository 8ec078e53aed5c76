#include "platform/shortcut.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/text_encoding.h"
#include "platform/text_helpers.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

// The fixed parts of the Shell Link format.
constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t kHasLinkTargetIdList = 0x01;
constexpr std::uint32_t kHasLinkInfo = 0x02;
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kHasRelativePath = 0x08;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t kCommonNetworkRelativeLink = 0x02;

// No shortcut is anywhere near this large; a bigger file is not read whole.
constexpr std::uintmax_t kLargestShortcut = 1 << 20;

// Bounds-checked little-endian reads.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::uint32_t> U32(std::size_t at) const {
    if (at > bytes_.size() || bytes_.size() - at < 4) return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes_[at + i]);
    return v;
  }
  std::optional<std::uint16_t> U16(std::size_t at) const {
    if (at > bytes_.size() || bytes_.size() - at < 2) return std::nullopt;
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes_[at]) |
                                      static_cast<std::uint8_t>(bytes_[at + 1]) << 8);
  }
  // A zero-terminated 8-bit text starting at `at` and ending before `end`.
  std::optional<std::string> Ansi(std::size_t at, std::size_t end) const {
    if (at >= end || end > bytes_.size()) return std::nullopt;
    const std::size_t stop = bytes_.find('\0', at);
    if (stop == std::string_view::npos || stop >= end) return std::nullopt;
    return Cp1252ToUtf8(bytes_.substr(at, stop - at));
  }
  // A zero-terminated UTF-16LE text starting at `at` and ending before `end`.
  std::optional<std::string> Unicode(std::size_t at, std::size_t end) const {
    std::u16string units;
    for (std::size_t i = at; i + 1 < end && i + 1 < bytes_.size(); i += 2) {
      const std::uint16_t unit = *U16(i);
      if (unit == 0) return Utf16ToUtf8(units);
      units.push_back(static_cast<char16_t>(unit));
    }
    return std::nullopt;
  }
  std::size_t size() const { return bytes_.size(); }
  std::string_view bytes() const { return bytes_; }

 private:
  std::string_view bytes_;
};

// A LinkInfo block of `size` bytes at `at`, ending at `end`, with the offset fields that
// point at its texts.
struct LinkInfoBlock {
  const Reader& r;
  std::size_t at;
  std::uint32_t size;
  std::size_t end;
  bool unicode_offsets;  // the header is long enough to hold the Unicode offsets
  // Where the offset field at `field` points; nullopt for an offset of 0 or beyond the block.
  std::optional<std::size_t> Offset(std::size_t field) const {
    const auto value = r.U32(at + field);
    if (!value || *value == 0 || *value >= size) return std::nullopt;
    return at + *value;
  }
};

// The common path suffix: the Unicode one when its offset is set, else the 8-bit one; empty
// when neither can be read.
std::string CommonPathSuffix(const LinkInfoBlock& block) {
  std::string suffix;
  if (auto o = block.unicode_offsets ? block.Offset(0x20) : std::nullopt) {
    if (auto text = block.r.Unicode(*o, block.end)) suffix = *text;
  } else if (auto o2 = block.Offset(0x18)) {
    if (auto text = block.r.Ansi(*o2, block.end)) suffix = *text;
  }
  return suffix;
}

// The local base path: the Unicode one when it can be read, else the 8-bit one.
std::optional<std::string> LocalBasePath(const LinkInfoBlock& block) {
  std::optional<std::string> base;
  if (auto o = block.unicode_offsets ? block.Offset(0x1C) : std::nullopt) {
    base = block.r.Unicode(*o, block.end);
  }
  if (!base) {
    if (auto o = block.Offset(0x10)) base = block.r.Ansi(*o, block.end);
  }
  return base;
}

// The share name of the CommonNetworkRelativeLink structure, when it lies inside the block.
std::optional<std::string> NetworkShareName(const LinkInfoBlock& block) {
  const auto o = block.Offset(0x14);
  if (!o) return std::nullopt;
  const std::size_t link = *o;
  const auto link_size = block.r.U32(link);
  const auto net_name = block.r.U32(link + 8);
  if (!link_size || !net_name || *net_name >= *link_size || *link_size > block.end - link) {
    return std::nullopt;
  }
  return block.r.Ansi(link + *net_name, link + *link_size);
}

// The LinkInfo block at `at`: the local or network path of the target.
std::optional<std::string> ReadLinkInfo(const Reader& r, std::size_t at, std::size_t& next) {
  const auto size = r.U32(at);
  const auto header = r.U32(at + 4);
  const auto flags = r.U32(at + 8);
  if (!size || !header || !flags || *size < 0x1C || *header > *size || *size > r.size() - at) {
    return std::nullopt;
  }
  next = at + *size;
  const LinkInfoBlock block{r, at, *size, next, *header >= 0x24};
  const std::string suffix = CommonPathSuffix(block);
  if (*flags & kVolumeIdAndLocalBasePath) {
    if (const std::optional<std::string> base = LocalBasePath(block)) return *base + suffix;
  }
  if (*flags & kCommonNetworkRelativeLink) {
    if (const std::optional<std::string> name = NetworkShareName(block)) {
      return suffix.empty() ? *name : *name + "\\" + suffix;
    }
  }
  return std::string();
}

std::string CutText(std::string text) { return CutToChars(text, kMaxShortcutChars); }

std::optional<std::string> ReadSmallFile(const fs::path& path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kLargestShortcut) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// "%20" and the like in a file URL.
std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The URL of a freedesktop link, as a local path.
ResolvedShortcut ResolveDesktopLink(const fs::path& path, const std::string& content) {
  std::istringstream lines(content);
  std::string line;
  bool in_entry = false;
  std::string type;
  std::string url;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      in_entry = line == "[Desktop Entry]";
      continue;
    }
    if (!in_entry) continue;
    if (line.rfind("Type=", 0) == 0) type = line.substr(5);
    if (line.rfind("URL=", 0) == 0) url = line.substr(4);
  }
  const std::string name = path.filename().string();
  if (type != "Link" || url.empty()) {
    return {"", "The link " + name + " does not point to a file."};
  }
  constexpr std::string_view kFileScheme = "file://";
  if (url.rfind(kFileScheme, 0) == 0) {
    std::string rest = url.substr(kFileScheme.size());
    // "file://localhost/path" names the same file as "file:///path".
    if (rest.rfind("localhost/", 0) == 0) rest = rest.substr(9);
    if (rest.empty() || rest.front() != '/') {
      return {"", "The link " + name + " points to another computer."};
    }
    return {CutText(PercentDecode(rest)), ""};
  }
  if (!url.empty() && url.front() == '/') return {CutText(url), ""};
  return {"", "The link " + name + " does not point to a file."};
}

// The string data from `at`: each a count of characters and the characters, in this order,
// where `flags` says the string is there. False when one is cut short.
bool ReadStringData(std::string_view bytes, std::size_t at, std::uint32_t flags, ShellLink& link) {
  const Reader r(bytes);
  const bool unicode = (flags & kIsUnicode) != 0;
  const std::pair<std::uint32_t, std::string*> strings[] = {
      {kHasName, nullptr},
      {kHasRelativePath, &link.relative_path},
      {kHasWorkingDir, &link.working_dir},
      {kHasArguments, &link.arguments},
      {kHasIconLocation, nullptr},
  };
  for (const auto& [flag, field] : strings) {
    if (!(flags & flag)) continue;
    const auto count = r.U16(at);
    if (!count) return false;
    at += 2;
    const std::size_t length = unicode ? 2u * *count : *count;
    if (length > bytes.size() - at) return false;
    const std::string_view raw = bytes.substr(at, length);
    if (field != nullptr)
      *field = unicode ? Utf16ToUtf8(Utf16LeBytesToUnits(raw)) : Cp1252ToUtf8(raw);
    at += length;
  }
  return true;
}

// The file a parsed shortcut at `path` names: its relative path where that leads to a file
// beside the shortcut, so that a shortcut made on another system still finds a picture that
// travelled with it; else its target.
ResolvedShortcut ShellLinkTarget(const fs::path& path, const ShellLink& link) {
  std::error_code ec;
  if (!link.relative_path.empty()) {
    std::string relative = link.relative_path;
    for (char& c : relative) {
      if (c == '\\') c = '/';
    }
    const fs::path beside = (path.parent_path() / relative).lexically_normal();
    if (fs::exists(beside, ec)) return {CutText(beside.string()), ""};
  }
  if (link.target.empty()) {
    return {"", "The shortcut " + path.filename().string() + " names no file."};
  }
  return {CutText(link.target), ""};
}

}  // namespace

std::optional<ShellLink> ParseShellLink(std::string_view bytes) {
  const Reader r(bytes);
  const auto header = r.U32(0);
  const auto flags = r.U32(0x14);
  if (!header || *header != kHeaderSize || !flags || bytes.size() < kHeaderSize) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < kLinkClsid.size(); ++i) {
    if (static_cast<std::uint8_t>(bytes[4 + i]) != kLinkClsid[i]) return std::nullopt;
  }
  std::size_t at = kHeaderSize;
  if (*flags & kHasLinkTargetIdList) {
    const auto size = r.U16(at);
    if (!size) return std::nullopt;
    at += 2 + *size;
    if (at > bytes.size()) return std::nullopt;
  }
  ShellLink link;
  if (*flags & kHasLinkInfo) {
    std::size_t next = at;
    std::optional<std::string> target = ReadLinkInfo(r, at, next);
    if (!target) return std::nullopt;
    link.target = *target;
    at = next;
  }
  if (!ReadStringData(bytes, at, *flags, link)) return std::nullopt;
  return link;
}

ResolvedShortcut ResolveShortcut(const fs::path& path, ShortcutField field) {
  const std::string name = path.filename().string();
  std::error_code ec;
  const fs::file_status link_status = fs::symlink_status(path, ec);
  if (ec || !fs::exists(link_status)) return {"", "The file " + name + " cannot be found."};

  if (fs::is_symlink(link_status)) {
    if (field != ShortcutField::kTarget) return {"", ""};
    const fs::path target = fs::canonical(path, ec);
    if (ec) return {"", "The link " + name + " points to a file that is not there."};
    return {CutText(target.string()), ""};
  }

  const std::string extension = AsciiLower(path.extension().string());
  if (extension != ".lnk" && extension != ".desktop") {
    return {field == ShortcutField::kTarget ? CutText(path.string()) : "", ""};
  }
  const std::optional<std::string> content = ReadSmallFile(path);
  if (!content) return {"", "The shortcut " + name + " cannot be read."};

  if (extension == ".desktop") {
    if (field != ShortcutField::kTarget) return {"", ""};
    return ResolveDesktopLink(path, *content);
  }

  const std::optional<ShellLink> link = ParseShellLink(*content);
  if (!link) return {"", "The shortcut " + name + " is damaged."};
  switch (field) {
    case ShortcutField::kWorkingDir:
      return {CutText(link->working_dir), ""};
    case ShortcutField::kArguments:
      return {CutText(link->arguments), ""};
    case ShortcutField::kTarget:
      break;
  }
  return ShellLinkTarget(path, *link);
}

}  // namespace kelvaro
