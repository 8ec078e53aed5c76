#include "image/resolution.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "platform/length_units.h"
#include "platform/text_helpers.h"

namespace kelvaro {
namespace {

constexpr double kInchesPerMetre = 39.3700787;

using Bytes = std::span<const std::uint8_t>;

// Reads a 16- or 32-bit value at `offset` in the given byte order; nullopt when any of its
// bytes lies outside `bytes`.
std::optional<std::uint32_t> ReadUnsigned(Bytes bytes, std::uint64_t offset, int size,
                                          bool big_endian) {
  if (offset > bytes.size() || bytes.size() - offset < static_cast<std::uint64_t>(size)) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i) {
    const std::uint32_t byte = bytes[offset + (big_endian ? i : size - 1 - i)];
    value = (value << 8) | byte;
  }
  return value;
}

std::optional<std::uint32_t> Read32(Bytes bytes, std::uint64_t offset, bool big_endian) {
  return ReadUnsigned(bytes, offset, 4, big_endian);
}
std::optional<std::uint32_t> Read16(Bytes bytes, std::uint64_t offset, bool big_endian) {
  return ReadUnsigned(bytes, offset, 2, big_endian);
}

// First position at or after `from` where `pattern` starts; nullopt when there is none.
std::optional<std::size_t> Find(Bytes bytes, std::string_view pattern, std::size_t from) {
  if (from >= bytes.size() || pattern.size() > bytes.size() - from) return std::nullopt;
  const auto* begin = bytes.data() + from;
  const auto* end = bytes.data() + bytes.size();
  const auto* hit =
      std::search(begin, end, pattern.begin(), pattern.end(),
                  [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
  if (hit == end) return std::nullopt;
  return static_cast<std::size_t>(hit - bytes.data());
}

bool Usable(double dpi) { return std::isfinite(dpi) && dpi > 0; }

// Both values, or the default when either is unusable: a zero density would later divide the
// picture's size by zero.
Resolution Checked(double x, double y) {
  if (!Usable(x) || !Usable(y)) return Resolution{};
  return Resolution{static_cast<float>(x), static_cast<float>(y)};
}

// numerator ÷ denominator of the unsigned rational at `offset`; nullopt when it is outside the
// bytes or its denominator is 0.
std::optional<double> ReadRational(Bytes bytes, std::uint64_t offset, bool big_endian) {
  const auto numerator = Read32(bytes, offset, big_endian);
  const auto denominator = Read32(bytes, offset + 4, big_endian);
  if (!numerator || !denominator || *denominator == 0) return std::nullopt;
  return static_cast<double>(*numerator) / static_cast<double>(*denominator);
}

// The Exif XResolution or YResolution: the first place the tag number appears in the file's
// byte order, the value offset 8 bytes after it (counted from the TIFF header at byte 12),
// and the rational there.
std::optional<double> ReadExifRational(Bytes bytes, std::uint16_t tag, bool big_endian) {
  const char first = static_cast<char>(big_endian ? tag >> 8 : tag & 0xFF);
  const char second = static_cast<char>(big_endian ? tag & 0xFF : tag >> 8);
  const char pattern[] = {first, second};
  const auto position = Find(bytes, std::string_view(pattern, 2), 0);
  if (!position) return std::nullopt;
  const auto offset = Read32(bytes, *position + 8, big_endian);
  if (!offset) return std::nullopt;
  return ReadRational(bytes, 12 + static_cast<std::uint64_t>(*offset), big_endian);
}

Resolution ReadExif(Bytes bytes) {
  if (bytes.size() < 14) return Resolution{};
  const bool little = bytes[12] == 'I' && bytes[13] == 'I';
  const bool big = bytes[12] == 'M' && bytes[13] == 'M';
  if (!little && !big) return Resolution{};
  const auto x = ReadExifRational(bytes, 0x011A, big);
  const auto y = ReadExifRational(bytes, 0x011B, big);
  if (!x || !y) return Resolution{};
  return Checked(*x, *y);
}

}  // namespace

// Whether ReadPngResolution of these leading bytes already is that of the whole file: they
// hold the first "pHYs" and the nine bytes after it.
bool PngResolutionSettled(Bytes leading) {
  const auto position = Find(leading, "pHYs", 3);
  return position && *position + 13 <= leading.size();
}

Resolution ReadPngResolution(Bytes bytes) {
  // Byte 4 on, counting from 1: past the signature's "PNG".
  const auto position = Find(bytes, "pHYs", 3);
  if (!position) return Resolution{};
  const auto x = Read32(bytes, *position + 4, true);
  const auto y = Read32(bytes, *position + 8, true);
  const std::uint64_t unit_at = *position + 12;
  if (!x || !y || unit_at >= bytes.size() || bytes[unit_at] != 1) return Resolution{};
  return Checked(*x / kInchesPerMetre, *y / kInchesPerMetre);
}

Resolution ReadJpegResolution(Bytes bytes) {
  if (bytes.size() > kJpegHeaderBytes) bytes = bytes.first(kJpegHeaderBytes);
  if (bytes.size() < 11) return Resolution{};
  const Bytes id = bytes.subspan(6, 5);
  if (Find(id, "JFIF", 0)) {
    if (bytes.size() < 18) return Resolution{};
    const double x = *Read16(bytes, 14, true);
    const double y = *Read16(bytes, 16, true);
    switch (bytes[13]) {
      case 1:
        return Checked(x, y);
      case 2:
        return Checked(DotsPerCentimetreToPerInch(x), DotsPerCentimetreToPerInch(y));
      default:
        return Resolution{};
    }
  }
  if (Find(id, "Exif", 0)) return ReadExif(bytes);
  return Resolution{};
}

Resolution ReadGifResolution(Bytes) { return Resolution{kLowDpi, kLowDpi}; }

Resolution ReadTiffResolution(Bytes bytes) {
  bool big_endian = false;
  if (bytes.size() >= 4 && bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && bytes[3] == 42) {
    big_endian = true;
  }
  double x = kDefaultDpi;
  double y = kDefaultDpi;
  const auto directory = Read32(bytes, 4, big_endian);
  if (directory && *directory != 0) {
    const auto count = Read16(bytes, *directory, big_endian);
    for (std::uint32_t i = 0; count && i < *count; ++i) {
      const std::uint64_t entry = *directory + 2 + 12 * static_cast<std::uint64_t>(i);
      const auto tag = Read16(bytes, entry, big_endian);
      const auto type = Read16(bytes, entry + 2, big_endian);
      const auto value = Read32(bytes, entry + 8, big_endian);
      if (!tag || !type || !value) break;  // the directory runs past the end of the file
      if (*type != 5 || (*tag != 282 && *tag != 283)) continue;
      const auto rational = ReadRational(bytes, *value, big_endian);
      if (!rational) continue;
      (*tag == 282 ? x : y) = *rational;
    }
  }
  if (!(y >= 10)) y = kDefaultDpi;
  if (!(x >= 10)) x = kDefaultDpi;
  return Checked(x, y);
}

Resolution ReadBmpResolution(Bytes bytes) {
  const auto x_raw = Read32(bytes, 38, false);
  const auto y_raw = Read32(bytes, 42, false);
  if (!x_raw || !y_raw) return Resolution{};
  // The header fields are signed.
  const double x = static_cast<std::int32_t>(*x_raw) / kInchesPerMetre;
  const double y = static_cast<std::int32_t>(*y_raw) / kInchesPerMetre;
  if (x < 5 || y < 5) return Resolution{kLowDpi, kLowDpi};
  return Checked(x, y);
}

Resolution ReadPsdResolution(Bytes bytes) {
  if (bytes.size() > kPsdHeaderBytes) bytes = bytes.first(kPsdHeaderBytes);
  const auto position = Find(bytes, std::string_view("8BIM\x03\xED", 6), 3);
  if (!position) return Resolution{};
  const auto x = Read16(bytes, *position + 12, true);
  const auto y = Read16(bytes, *position + 20, true);
  if (!x || !y) return Resolution{};
  return Checked(*x, *y);
}

FileResolution DispatchResolution(const std::filesystem::path& path, const ByteSource& read_bytes) {
  const std::string name = AsciiLower(path.filename().string());
  constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
  // A picture's own resolution usually sits in its first bytes: the leading ones are read
  // first, and the whole file only when they do not settle it.
  constexpr std::size_t kLeadingBytes = std::size_t{64} << 10;
  struct Reader {
    const char* tag;
    Resolution (*read)(Bytes);
    std::size_t limit;
    SourceKind kind;
    bool (*settled)(Bytes);  // may be null: the bytes up to `limit` are read at once
  };
  static constexpr Reader kReaders[] = {
      {".png", ReadPngResolution, kAll, SourceKind::kLossless, PngResolutionSettled},
      {".jpg", ReadJpegResolution, kJpegHeaderBytes, SourceKind::kJpeg, nullptr},
      {".gif", ReadGifResolution, 0, SourceKind::kLossless, nullptr},
      {".tif", ReadTiffResolution, kAll, SourceKind::kLossless, nullptr},
      {".bmp", ReadBmpResolution, kBmpHeaderBytes, SourceKind::kLossless, nullptr},
      {".psd", ReadPsdResolution, kPsdHeaderBytes, SourceKind::kLossless, nullptr},
  };
  FileResolution result;
  for (const Reader& reader : kReaders) {
    if (name.find(reader.tag) == std::string::npos) continue;
    std::vector<std::uint8_t> bytes;
    if (reader.settled != nullptr) bytes = read_bytes(kLeadingBytes);
    if (reader.limit != 0 && (reader.settled == nullptr || !reader.settled(bytes))) {
      bytes = read_bytes(reader.limit);
    }
    result.resolution = reader.read(bytes);
    result.source_kind = reader.kind;
  }
  return result;
}

FileResolution ReadFileResolution(const std::filesystem::path& path) {
  return DispatchResolution(path, [&path](std::size_t limit) {
    std::vector<std::uint8_t> bytes;
    std::ifstream in(path, std::ios::binary);
    if (!in) return bytes;
    std::uintmax_t size = 0;
    std::error_code error;
    size = std::filesystem::file_size(path, error);
    if (error) return bytes;
    bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(size, limit)));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
  });
}

FileResolution ReadResolutionFromBytes(const std::filesystem::path& file_name, Bytes bytes) {
  return DispatchResolution(file_name, [bytes](std::size_t limit) {
    const std::size_t count = std::min(limit, bytes.size());
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + count);
  });
}

}  // namespace kelvaro
