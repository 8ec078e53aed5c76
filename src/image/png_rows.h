#ifndef KELVARO_IMAGE_PNG_ROWS_H_
#define KELVARO_IMAGE_PNG_ROWS_H_

#include <cstdint>
#include <filesystem>

namespace kelvaro {

// How a row-by-row PNG read ended.
enum class PngRowsEnd {
  kDecoded,   // every row is in the memory
  kNotPlain,  // not a plain PNG (see below): the general decoder reads it
  kFailed,    // the file is damaged or the memory could not be had: the general decoder reads
              // it again, so that the user sees the decoder's own error name
};

struct PngRowsResult {
  PngRowsEnd end = PngRowsEnd::kFailed;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Reads a plain PNG (8 bits per channel, RGB or RGBA, not interlaced, without a transparent
// colour or significant-bit chunk) with the PNG library, row by row, straight
// into the shared memory file `memory_fd` as width × height pixels of `channels` bytes, from
// the top or, with `flip`, from the bottom. With 4 they are RGBA. With 3 an RGB picture's
// pixels stay R, G, B, a quarter fewer bytes to write and to convert; a picture with opacity is
// then kNotPlain. These are the pictures for which the result is the general
// decoder's byte for byte; it spares the decoder's own buffer and its copy of every pixel.
// With `rows_done` set, the count of rows finished so far is published there (released, in
// memory shared with the reader) every few rows and once all are in, so that a reader in
// another process can take them while the next ones decode. A file already of the picture's
// size is used as it is.
PngRowsResult ReadPlainPngRows(const std::filesystem::path& file, bool flip, int memory_fd,
                               std::uint32_t* rows_done = nullptr, int channels = 4);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_PNG_ROWS_H_
