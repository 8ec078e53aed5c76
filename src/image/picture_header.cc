#include "image/picture_header.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace kelvaro {
namespace {

using Bytes = std::span<const std::uint8_t>;

bool StartsWith(Bytes bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

// Reads exactly N bytes at `offset`, or nothing.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> ReadExact(const ByteReader& read, std::uint64_t offset) {
  std::array<std::uint8_t, N> out{};
  if (read(offset, std::span<std::uint8_t>(out)) != N) return std::nullopt;
  return out;
}

std::optional<std::uint32_t> Number(const ByteReader& read, std::uint64_t offset, int size,
                                    bool big_endian) {
  std::array<std::uint8_t, 4> bytes{};
  if (read(offset, std::span<std::uint8_t>(bytes.data(), static_cast<std::size_t>(size))) !=
      static_cast<std::size_t>(size)) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i) {
    const int at = big_endian ? i : size - 1 - i;
    value = (value << 8) | bytes[static_cast<std::size_t>(at)];
  }
  return value;
}

std::optional<PictureDimensions> PngDimensions(const ByteReader& read) {
  // The signature, then the IHDR chunk: length, "IHDR", width, height, depth, colour type.
  const auto ihdr = ReadExact<18>(read, 8);
  if (!ihdr || std::memcmp(ihdr->data() + 4, "IHDR", 4) != 0) return std::nullopt;
  const auto width = Number(SpanReader(*ihdr), 8, 4, true);
  const auto height = Number(SpanReader(*ihdr), 12, 4, true);
  const std::uint8_t depth = (*ihdr)[16];
  const std::uint8_t colour = (*ihdr)[17];
  std::uint32_t channels = 4;
  if (colour == 0 || colour == 3) channels = 1;
  if (colour == 4) channels = 2;
  if (colour == 2) channels = 3;
  return PictureDimensions{*width, *height, std::max(4u, channels * (depth > 8 ? 2u : 1u)),
                           colour == 2 && depth == 8};
}

std::optional<PictureDimensions> JpegDimensions(const ByteReader& read) {
  // Markers after the start of image; every segment but the stand-alone ones carries its own
  // length, so the frame header is found by hopping from segment to segment.
  std::uint64_t at = 2;
  for (;;) {
    const auto marker = ReadExact<2>(read, at);
    if (!marker || (*marker)[0] != 0xFF) return std::nullopt;
    const std::uint8_t code = (*marker)[1];
    if (code == 0xFF) {  // fill byte before a marker
      at += 1;
      continue;
    }
    at += 2;
    if (code == 0x01 || code == 0xD8 || (code >= 0xD0 && code <= 0xD7)) continue;
    if (code == 0xD9 || code == 0xDA) return std::nullopt;  // no frame before the data
    const auto length = Number(read, at, 2, true);
    if (!length || *length < 2) return std::nullopt;
    const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
    if (frame) {
      const auto height = Number(read, at + 3, 2, true);
      const auto width = Number(read, at + 5, 2, true);
      if (!height || !width) return std::nullopt;
      return PictureDimensions{*width, *height, 4};
    }
    at += *length;
  }
}

// Skips GIF data sub-blocks (a size byte, that many bytes, until a size of 0) from `at`.
std::optional<std::uint64_t> SkipGifSubBlocks(const ByteReader& read, std::uint64_t at) {
  for (;;) {
    const auto size = Number(read, at, 1, false);
    if (!size) return std::nullopt;
    at += 1 + *size;
    if (*size == 0) return at;
  }
}

std::optional<PictureDimensions> GifDimensions(const ByteReader& read) {
  const auto screen_width = Number(read, 6, 2, false);
  const auto screen_height = Number(read, 8, 2, false);
  const auto flags = Number(read, 10, 1, false);
  if (!screen_width || !screen_height || !flags) return std::nullopt;
  PictureDimensions dimensions{*screen_width, *screen_height, 4};
  // An empty screen is an empty picture, whatever its frames say.
  if (*screen_width == 0 || *screen_height == 0) return PictureDimensions{0, 0, 4};

  std::uint64_t at = 13;
  if (*flags & 0x80) at += 3u << ((*flags & 7) + 1);  // global colour table
  for (;;) {
    const auto block = Number(read, at, 1, false);
    if (!block || *block == 0x3B) return dimensions;  // no frame: the decoder refuses it
    if (*block == 0x21) {                             // extension: label, then sub-blocks
      const auto next = SkipGifSubBlocks(read, at + 2);
      if (!next) return dimensions;
      at = *next;
      continue;
    }
    if (*block != 0x2C) return dimensions;
    const auto frame_width = Number(read, at + 5, 2, false);
    const auto frame_height = Number(read, at + 7, 2, false);
    if (!frame_width || !frame_height) return std::nullopt;
    // A frame larger than the screen is held at its own size while it is decoded.
    dimensions.width = std::max<std::uint64_t>(dimensions.width, *frame_width);
    dimensions.height = std::max<std::uint64_t>(dimensions.height, *frame_height);
    return dimensions;
  }
}

// One entry of a TIFF directory: its tag and the SHORT or LONG value held in the entry
// itself, if any.
struct TiffEntry {
  std::uint32_t tag = 0;
  std::optional<std::uint32_t> value;
};

// The directory entry at `entry`; nullopt when the file ends inside it. The bits per sample
// of a picture with more than two samples are a list stored elsewhere; the first one counts.
std::optional<TiffEntry> ReadTiffEntry(const ByteReader& read, std::uint64_t entry, bool big) {
  const auto tag = Number(read, entry, 2, big);
  const auto type = Number(read, entry + 2, 2, big);
  const auto values = Number(read, entry + 4, 4, big);
  if (!tag || !type || !values) return std::nullopt;
  TiffEntry out;
  out.tag = *tag;
  if (*type == 3) out.value = Number(read, entry + 8, 2, big);
  if (*type == 4) out.value = Number(read, entry + 8, 4, big);
  if (*tag == 258 && *type == 3 && *values > 2) {  // one depth per sample, stored elsewhere
    const auto offset = Number(read, entry + 8, 4, big);
    out.value = offset ? Number(read, *offset, 2, big) : std::nullopt;
  }
  return out;
}

std::optional<PictureDimensions> TiffDimensions(const ByteReader& read) {
  const auto mark = ReadExact<2>(read, 0);
  if (!mark) return std::nullopt;
  const bool big = (*mark)[0] == 'M';
  const auto directory = Number(read, 4, 4, big);
  if (!directory) return std::nullopt;
  const auto count = Number(read, *directory, 2, big);
  if (!count) return std::nullopt;
  std::optional<std::uint32_t> width;
  std::optional<std::uint32_t> height;
  std::uint32_t samples = 1;
  std::uint32_t bits = 8;
  for (std::uint32_t i = 0; i < *count; ++i) {
    const std::uint64_t at = std::uint64_t{*directory} + 2 + 12 * std::uint64_t{i};
    const std::optional<TiffEntry> entry = ReadTiffEntry(read, at, big);
    if (!entry) return std::nullopt;
    const std::optional<std::uint32_t>& value = entry->value;
    if (!value) continue;
    if (entry->tag == 256) width = value;
    if (entry->tag == 257) height = value;
    if (entry->tag == 258) bits = *value;
    if (entry->tag == 277) samples = *value;
  }
  if (!width || !height) return std::nullopt;
  const std::uint64_t per_pixel =
      std::uint64_t{std::min<std::uint32_t>(samples, 64)} * (bits > 8 ? 2 : 1);
  return PictureDimensions{*width, *height,
                           static_cast<std::uint32_t>(std::max<std::uint64_t>(4, per_pixel))};
}

std::optional<PictureDimensions> BmpDimensions(const ByteReader& read) {
  const auto header_size = Number(read, 14, 4, false);
  if (!header_size) return std::nullopt;
  if (*header_size == 12) {  // the old core header: 16-bit sizes
    const auto width = Number(read, 18, 2, false);
    const auto height = Number(read, 20, 2, false);
    if (!width || !height) return std::nullopt;
    return PictureDimensions{*width, *height, 4};
  }
  const auto width = Number(read, 18, 4, false);
  const auto height = Number(read, 22, 4, false);
  if (!width || !height) return std::nullopt;
  // Signed: a negative height stores the rows from the top; a negative width is nonsense and
  // reads as huge, which is refused.
  const std::int64_t rows = static_cast<std::int32_t>(*height);
  return PictureDimensions{*width, static_cast<std::uint64_t>(rows < 0 ? -rows : rows), 4};
}

std::optional<PictureDimensions> PsdDimensions(const ByteReader& read) {
  const auto channels = Number(read, 12, 2, true);
  const auto height = Number(read, 14, 4, true);
  const auto width = Number(read, 18, 4, true);
  const auto depth = Number(read, 22, 2, true);
  if (!channels || !height || !width || !depth) return std::nullopt;
  // The decoder keeps every channel at its own depth while it unpacks them.
  const std::uint32_t per_pixel = *channels * std::max(1u, (*depth + 7) / 8);
  return PictureDimensions{*width, *height, std::max(4u, per_pixel)};
}

std::string Thousands(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

std::uint32_t Little32(Bytes bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void PutLittle32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

}  // namespace

PictureFormat FormatFromLeadingBytes(Bytes bytes) {
  static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() >= sizeof kPng && std::memcmp(bytes.data(), kPng, sizeof kPng) == 0) {
    return PictureFormat::kPng;
  }
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
    return PictureFormat::kJpeg;
  }
  if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return PictureFormat::kGif;
  if (StartsWith(bytes, std::string_view("II*\0", 4)) ||
      StartsWith(bytes, std::string_view("MM\0*", 4))) {
    return PictureFormat::kTiff;
  }
  if (StartsWith(bytes, "BM")) return PictureFormat::kBmp;
  if (StartsWith(bytes, std::string_view("8BPS\0\1", 6))) return PictureFormat::kPsd;
  return PictureFormat::kUnknown;
}

const char* PictureFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::kPng:
      return "PNG";
    case PictureFormat::kJpeg:
      return "JPEG";
    case PictureFormat::kGif:
      return "GIF";
    case PictureFormat::kTiff:
      return "TIFF";
    case PictureFormat::kBmp:
      return "BMP";
    case PictureFormat::kPsd:
      return "PSD";
    case PictureFormat::kUnknown:
      break;
  }
  return "unknown";
}

ByteReader SpanReader(Bytes bytes) {
  return [bytes](std::uint64_t offset, std::span<std::uint8_t> out) -> std::size_t {
    if (offset >= bytes.size()) return 0;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), bytes.size() - offset));
    std::memcpy(out.data(), bytes.data() + offset, count);
    return count;
  };
}

std::optional<PictureDimensions> ReadPictureDimensions(PictureFormat format,
                                                       const ByteReader& read) {
  switch (format) {
    case PictureFormat::kPng:
      return PngDimensions(read);
    case PictureFormat::kJpeg:
      return JpegDimensions(read);
    case PictureFormat::kGif:
      return GifDimensions(read);
    case PictureFormat::kTiff:
      return TiffDimensions(read);
    case PictureFormat::kBmp:
      return BmpDimensions(read);
    case PictureFormat::kPsd:
      return PsdDimensions(read);
    case PictureFormat::kUnknown:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> PictureSizeRefusal(const std::string& file, PictureFormat,
                                              const PictureDimensions& dimensions,
                                              std::uint64_t memory_bytes) {
  const std::string size =
      Thousands(dimensions.width) + " x " + Thousands(dimensions.height) + " pixels";
  if (dimensions.width == 0 || dimensions.height == 0) {
    return file + ": the picture is empty (" + size + ").";
  }
  const std::string too_large = file + ": the picture is too large to load (" + size + "): ";
  // Both sides are below 2^32, so the products below cannot wrap.
  const std::uint64_t pixels = dimensions.width * dimensions.height;
  const std::uint64_t per_pixel = std::max<std::uint64_t>(6, dimensions.decoder_bytes_per_pixel);
  if (dimensions.width >= (std::uint64_t{1} << 31) ||
      dimensions.height >= (std::uint64_t{1} << 31) || pixels >= kDecoderByteLimit / per_pixel) {
    return too_large + "the decoder holds at most " + Thousands(kDecoderByteLimit / per_pixel - 1) +
           " pixels.";
  }
  if (memory_bytes > 0 && pixels > memory_bytes / kLoadedBytesPerPixel) {
    return too_large + "it needs about " + Thousands((pixels * kLoadedBytesPerPixel) >> 20) +
           " MB of memory and " + Thousands(memory_bytes >> 20) + " MB are there.";
  }
  return std::nullopt;
}

std::optional<BmpRewrite> ClassicBmpHeader(Bytes first) {
  constexpr std::size_t kFileHeader = 14;
  constexpr std::uint32_t kClassic = 40;
  if (first.size() < kFileHeader + kClassic || !StartsWith(first, "BM")) return std::nullopt;
  const std::uint32_t header_size = Little32(first, 14);
  if (header_size != 52 && header_size != 56 && header_size != 108 && header_size != 124) {
    return std::nullopt;
  }
  if (first.size() < kFileHeader + header_size) return std::nullopt;
  const std::uint32_t compression = Little32(first, 30);
  // Bit-field pictures keep their red, green and blue masks right behind the header.
  const std::uint32_t kept = kClassic + (compression == 3 ? 12u : 0u);
  const std::uint32_t removed = header_size - kept;
  const std::uint32_t pixel_offset = Little32(first, 10);
  if (pixel_offset < kFileHeader + header_size) return std::nullopt;  // nonsense: leave it

  BmpRewrite rewrite;
  rewrite.head.assign(reinterpret_cast<const char*>(first.data()), kFileHeader + kept);
  PutLittle32(rewrite.head, 2, Little32(first, 2) >= removed ? Little32(first, 2) - removed : 0);
  PutLittle32(rewrite.head, 10, pixel_offset - removed);
  PutLittle32(rewrite.head, 14, kClassic);
  rewrite.skip = kFileHeader + header_size;
  return rewrite;
}

}  // namespace kelvaro
