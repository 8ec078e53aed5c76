#include "image/decoder_guard.h"

#include <IL/il.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace kelvaro {
namespace {

using Bytes = std::span<const std::uint8_t>;

std::optional<std::uint64_t> ReadBig(Bytes bytes, std::uint64_t offset, int size) {
  if (offset > bytes.size() || bytes.size() - offset < static_cast<std::uint64_t>(size)) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | bytes[offset + i];
  return value;
}

// Unpacks one run-length row starting at `at`; returns the offset after it, or nullopt when
// the row does not come to exactly `row_bytes` inside the file.
std::optional<std::uint64_t> SkipPackedRow(Bytes bytes, std::uint64_t at, std::uint64_t row_bytes) {
  std::uint64_t filled = 0;
  while (filled < row_bytes) {
    if (at >= bytes.size()) return std::nullopt;
    const std::uint8_t header = bytes[at++];
    std::uint64_t count = 0;
    if (header < 128) {
      count = header + 1u;
      if (bytes.size() - at < count) return std::nullopt;
      at += count;
    } else if (header > 128) {
      count = 257u - header;
      if (at >= bytes.size()) return std::nullopt;
      ++at;
    }  // 128 is a no-op: writers use it as padding
    filled += count;
    if (filled > row_bytes) return std::nullopt;
  }
  return at;
}

// Every resource of the image resource section [begin, end): a signature, an id, a padded
// Pascal name, a length and that many bytes (padded to even). False when one leaves the
// section: the decoder reads the resource's bytes whatever its length says.
bool ResourcesFitTheirSection(Bytes bytes, std::uint64_t begin, std::uint64_t end) {
  constexpr std::uint64_t kSmallestResource = 4 + 2 + 2 + 4;
  std::uint64_t at = begin;
  while (end - at >= kSmallestResource) {
    const auto name_length = ReadBig(bytes, at + 6, 1);
    if (!name_length) return false;
    const std::uint64_t name_bytes = (1 + *name_length + 1) & ~std::uint64_t{1};
    const std::uint64_t length_at = at + 6 + name_bytes;
    if (length_at + 4 > end) return false;
    const auto length = ReadBig(bytes, length_at, 4);
    if (!length) return false;
    const std::uint64_t next = length_at + 4 + ((*length + 1) & ~std::uint64_t{1});
    // The last resource may leave out its pad byte.
    if (length_at + 4 + *length > end) return false;
    at = std::min(next, end);
  }
  return true;
}

// Reads `size` little-endian (or big-endian) bytes at `at`; nullopt when the file ends first.
std::optional<std::uint32_t> ReadNumber(const ByteReader& read, std::uint64_t at, int size,
                                        bool big_endian = false) {
  std::uint8_t buffer[4] = {};
  if (read(at, std::span<std::uint8_t>(buffer, static_cast<std::size_t>(size))) !=
      static_cast<std::size_t>(size)) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (int i = 0; i < size; ++i) value = (value << 8) | buffer[big_endian ? i : size - 1 - i];
  return value;
}

DecoderRefusal Damaged(std::string detail) { return {IL_ILLEGAL_FILE_VALUE, std::move(detail)}; }

// Skips data sub-blocks (a size byte, that many bytes, until a size of 0) from `at`; nullopt
// when the file ends first.
std::optional<std::uint64_t> SkipSubBlocks(const ByteReader& read, std::uint64_t at,
                                           std::uint64_t file_size) {
  for (;;) {
    const auto size = ReadNumber(read, at, 1);
    if (!size) return std::nullopt;
    at += 1 + *size;
    if (at > file_size) return std::nullopt;
    if (*size == 0) return at;
  }
}

// Checks the frame (image block) at `at` of a GIF whose screen is `screen_width` ×
// `screen_height` pixels, after `frames` complete frames: its header, its place on the
// screen and its pixel data. Moves `at` past the frame when it is sound.
std::optional<DecoderRefusal> GifFrameRefusal(const ByteReader& read, std::uint64_t& at, int frames,
                                              std::uint32_t screen_width,
                                              std::uint32_t screen_height,
                                              std::uint64_t file_size) {
  const std::string frame = "frame " + std::to_string(frames + 1);
  const auto left = ReadNumber(read, at + 1, 2);
  const auto top = ReadNumber(read, at + 3, 2);
  const auto width = ReadNumber(read, at + 5, 2);
  const auto height = ReadNumber(read, at + 7, 2);
  const auto frame_flags = ReadNumber(read, at + 9, 1);
  if (!left || !top || !width || !height || !frame_flags) {
    return Damaged("the GIF data is cut short in the header of " + frame + ".");
  }
  // The decoder draws every frame into a buffer of the screen's size.
  if (*left + *width > screen_width || *top + *height > screen_height) {
    return Damaged("the GIF is damaged: " + frame + " (" + std::to_string(*width) + " x " +
                   std::to_string(*height) + " pixels at " + std::to_string(*left) + "," +
                   std::to_string(*top) + ") does not fit in its " + std::to_string(screen_width) +
                   " x " + std::to_string(screen_height) + " screen.");
  }
  at += 10;
  if (*frame_flags & 0x80) at += 3u << ((*frame_flags & 7) + 1);  // local colour table
  // The code size byte, then the compressed pixels in sub-blocks.
  const auto next = ReadNumber(read, at, 1) ? SkipSubBlocks(read, at + 1, file_size) : std::nullopt;
  if (!next) return Damaged("the GIF data is cut short in the pixels of " + frame + ".");
  at = *next;
  return std::nullopt;
}

std::optional<DecoderRefusal> GifRefusal(const ByteReader& read, std::uint64_t file_size) {
  const auto screen_width = ReadNumber(read, 6, 2);
  const auto screen_height = ReadNumber(read, 8, 2);
  const auto flags = ReadNumber(read, 10, 1);
  if (!screen_width || !screen_height || !flags) return std::nullopt;  // the header check says so
  std::uint64_t at = 13;
  if (*flags & 0x80) at += 3u << ((*flags & 7) + 1);  // global colour table
  int frames = 0;
  for (;;) {
    const auto block = ReadNumber(read, at, 1);
    if (!block || *block == 0x3B) break;
    if (*block == 0x21) {  // extension: a label, then sub-blocks
      const auto next = SkipSubBlocks(read, at + 2, file_size);
      if (!next)
        return Damaged("the GIF data is cut short after " + std::to_string(frames) +
                       " complete frame(s).");
      at = *next;
      continue;
    }
    // Anything else after a complete frame ends the picture for the decoder, as the trailer
    // does.
    if (*block != 0x2C) {
      if (frames > 0) break;
      return Damaged("the GIF data is damaged: a block of unknown kind (" + std::to_string(*block) +
                     ") stands where a frame should.");
    }
    if (auto refusal =
            GifFrameRefusal(read, at, frames, *screen_width, *screen_height, file_size)) {
      return refusal;
    }
    ++frames;
  }
  if (frames == 0) return Damaged("the GIF holds no picture frame.");
  return std::nullopt;
}

std::optional<DecoderRefusal> BmpRefusal(const ByteReader& read, std::uint64_t file_size) {
  const auto header_size = ReadNumber(read, 14, 4);
  if (!header_size || *header_size < 40) return std::nullopt;  // the old core header
  const auto offset = ReadNumber(read, 10, 4);
  const auto width = ReadNumber(read, 18, 4);
  const auto height = ReadNumber(read, 22, 4);
  const auto bits = ReadNumber(read, 28, 2);
  const auto compression = ReadNumber(read, 30, 4);
  if (!offset || !width || !height || !bits || !compression) return std::nullopt;
  const std::int64_t signed_width = static_cast<std::int32_t>(*width);
  if (signed_width < 0) {
    return Damaged("the BMP width is invalid (" + std::to_string(signed_width) + " pixels).");
  }
  // Uncompressed rows only: run-length data has no size to check beforehand.
  if (*compression != 0 && *compression != 3) return std::nullopt;
  if (*bits != 1 && *bits != 4 && *bits != 8 && *bits != 16 && *bits != 24 && *bits != 32) {
    return std::nullopt;
  }
  const std::int64_t signed_height = static_cast<std::int32_t>(*height);
  const std::uint64_t rows =
      static_cast<std::uint64_t>(signed_height < 0 ? -signed_height : signed_height);
  const std::uint64_t columns = static_cast<std::uint64_t>(signed_width);
  if (rows == 0 || columns == 0 || columns * rows >= kDecoderByteLimit) return std::nullopt;
  const std::uint64_t stride = (columns * *bits + 31) / 32 * 4;
  // The last row may come without its padding.
  const std::uint64_t needed = *offset + stride * (rows - 1) + (columns * *bits + 7) / 8;
  if (file_size < needed) {
    return Damaged("the BMP pixel data is cut short (the header states " + std::to_string(needed) +
                   " bytes, the file holds " + std::to_string(file_size) + ").");
  }
  return std::nullopt;
}

std::optional<DecoderRefusal> PsdRefusal(const ByteReader& read) {
  const auto depth = ReadNumber(read, 22, 2, true);
  if (depth && *depth > 8) {
    return DecoderRefusal{IL_FORMAT_NOT_SUPPORTED,
                          std::to_string(*depth) +
                              "-bit PSD pictures are not supported; save the picture with 8 "
                              "bits per channel."};
  }
  return std::nullopt;
}

// Reader procedures over a C file for the decoder.
ILHANDLE ILAPIENTRY OpenRead(ILconst_string name) { return std::fopen(name, "rb"); }
void ILAPIENTRY CloseRead(ILHANDLE handle) { std::fclose(static_cast<FILE*>(handle)); }
ILboolean ILAPIENTRY AtEnd(ILHANDLE handle) {
  FILE* file = static_cast<FILE*>(handle);
  const int c = std::fgetc(file);
  if (c == EOF) return IL_TRUE;
  std::ungetc(c, file);
  return IL_FALSE;
}
ILint ILAPIENTRY GetByte(ILHANDLE handle) { return std::fgetc(static_cast<FILE*>(handle)); }
ILint ILAPIENTRY ReadBlocks(void* buffer, ILuint size, ILuint count, ILHANDLE handle) {
  const std::size_t got = std::fread(buffer, size, count, static_cast<FILE*>(handle));
  // The decoder does not always look at the count; what it did not get must not be whatever
  // its buffer held before.
  if (got < count && size > 0) {
    std::memset(static_cast<char*>(buffer) + got * size, 0, (count - got) * std::size_t{size});
  }
  return static_cast<ILint>(got);
}
ILint ILAPIENTRY SeekRead(ILHANDLE handle, ILint offset, ILint origin) {
  return std::fseek(static_cast<FILE*>(handle), offset, origin);
}
ILint ILAPIENTRY TellRead(ILHANDLE handle) {
  return static_cast<ILint>(std::ftell(static_cast<FILE*>(handle)));
}

}  // namespace

bool PsdImageDataIsSound(Bytes file) {
  if (file.size() < 4 || std::memcmp(file.data(), "8BPS", 4) != 0) return true;
  const auto version = ReadBig(file, 4, 2);
  const auto channels = ReadBig(file, 12, 2);
  const auto height = ReadBig(file, 14, 4);
  const auto width = ReadBig(file, 18, 4);
  const auto depth = ReadBig(file, 22, 2);
  if (!version || !channels || !height || !width || !depth) return false;
  if (*version != 1) return true;  // the decoder refuses other versions itself

  // Colour mode data, image resources, layers and masks: each a length and its bytes.
  std::uint64_t at = 26;
  for (int section = 0; section < 3; ++section) {
    const auto length = ReadBig(file, at, 4);
    if (!length) return false;
    const std::uint64_t begin = at + 4;
    at = begin + *length;
    if (at > file.size()) return false;
    if (section == 1 && !ResourcesFitTheirSection(file, begin, at)) return false;
  }
  const auto compression = ReadBig(file, at, 2);
  if (!compression) return false;
  if (*compression != 1) return true;  // raw data is read with plain reads
  at += 2;

  const std::uint64_t rows = *channels * *height;
  const std::uint64_t row_bytes = (*width * *depth + 7) / 8;
  at += 2 * rows;  // the byte count of each row; the rows themselves are checked instead
  if (at > file.size()) return false;
  // A row needs at least one header byte per 128 bytes, so this many rows cannot fit in a file
  // this short; saying so early keeps the loop below short for absurd headers.
  if (rows > file.size()) return false;
  for (std::uint64_t row = 0; row < rows; ++row) {
    const auto next = SkipPackedRow(file, at, row_bytes);
    if (!next) return false;
    at = *next;
  }
  return true;
}

std::optional<DecoderRefusal> CheckBeforeDecoding(PictureFormat format, const ByteReader& read,
                                                  std::uint64_t file_size) {
  switch (format) {
    case PictureFormat::kGif:
      return GifRefusal(read, file_size);
    case PictureFormat::kBmp:
      return BmpRefusal(read, file_size);
    case PictureFormat::kPsd:
      return PsdRefusal(read);
    default:
      return std::nullopt;
  }
}

void InstallDecoderFileReaders() {
  ilSetRead(OpenRead, CloseRead, AtEnd, GetByte, ReadBlocks, SeekRead, TellRead);
}

}  // namespace kelvaro
