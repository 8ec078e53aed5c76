#ifndef KELVARO_IMAGE_PICTURE_HEADER_H_
#define KELVARO_IMAGE_PICTURE_HEADER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace kelvaro {

// The picture formats the program decodes, told apart by their leading bytes.
enum class PictureFormat { kUnknown, kPng, kJpeg, kGif, kTiff, kBmp, kPsd };

// How many leading bytes `FormatFromLeadingBytes` needs to tell every format.
inline constexpr std::size_t kMagicBytes = 8;

// The format whose signature the bytes start with; kUnknown for anything else (also for
// BigTIFF and large-document Photoshop files, which the decoder cannot read).
PictureFormat FormatFromLeadingBytes(std::span<const std::uint8_t> bytes);

// The decoder's name for a format ("PNG", "JPEG", ...); "unknown" for kUnknown.
const char* PictureFormatName(PictureFormat format);

// Reads up to `out.size()` bytes at `offset` of a file into `out`; returns how many it got
// (fewer at the end of the file).
using ByteReader = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> out)>;

// A ByteReader over bytes in memory.
ByteReader SpanReader(std::span<const std::uint8_t> bytes);

// The size of the picture as its header states it, in pixels, and the bytes per pixel the
// decoder holds while it decodes (at least 4: it always ends in 8-bit RGBA).
struct PictureDimensions {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  std::uint32_t decoder_bytes_per_pixel = 4;
  // 8-bit R, G, B samples without an opacity channel (a PNG of colour type 2 and depth 8).
  bool rgb8 = false;
};

// Reads the width and height from the header of a `format` file without decoding it: the PNG
// IHDR chunk, the first JPEG frame header, the GIF screen and first frame (the larger of the
// two), the first TIFF directory, the BMP info header, the Photoshop header. Returns nullopt
// when the header is cut short or does not hold them. Reads only a few small pieces.
std::optional<PictureDimensions> ReadPictureDimensions(PictureFormat format,
                                                       const ByteReader& read);

// The largest picture the decoder can hold: it counts the bytes of a picture in 32 bits, with
// up to 6 bytes per pixel (16-bit RGB), so width × height × 6 must stay below 2^31.
inline constexpr std::uint64_t kDecoderByteLimit = std::uint64_t{1} << 31;
// Bytes per pixel the program holds while a picture is loaded and printed: the decoded copy,
// the raw records, the oriented grid, the preview grid and the separation.
inline constexpr std::uint64_t kLoadedBytesPerPixel = 24;

// Why a picture of this size must not be decoded, as a sentence naming `file` and its size;
// nullopt when it may be. `memory_bytes` is the memory the program may use (0: no check).
// An empty picture (no width or no height) is refused too.
std::optional<std::string> PictureSizeRefusal(const std::string& file, PictureFormat format,
                                              const PictureDimensions& dimensions,
                                              std::uint64_t memory_bytes);

// A BMP with a newer info header (52, 56, 108 or 124 bytes: bit masks, colour space and
// profile fields) rewritten as the classic 40-byte header the decoder reads: the new first
// bytes of the file, to be followed by the original file from `skip` on. The three colour
// masks of bit-field pictures are kept right after the header, where the classic layout has
// them, and the pixel offset is moved back by the bytes taken out. Returns nullopt for
// every other file (nothing to rewrite).
struct BmpRewrite {
  std::string head;
  std::uint64_t skip = 0;
};
std::optional<BmpRewrite> ClassicBmpHeader(std::span<const std::uint8_t> first_bytes);
// How many leading bytes `ClassicBmpHeader` needs.
inline constexpr std::size_t kBmpRewriteBytes = 14 + 124;

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_PICTURE_HEADER_H_
