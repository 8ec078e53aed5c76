#include "image/decoder_guard.h"

#include <IL/il.h>

#include <cstdio>
#include <cstring>
#include <optional>

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
    at += 4 + *length;
    if (at > file.size()) return false;
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

void InstallDecoderFileReaders() {
  ilSetRead(OpenRead, CloseRead, AtEnd, GetByte, ReadBlocks, SeekRead, TellRead);
}

}  // namespace kelvaro
