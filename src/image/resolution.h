#ifndef KELVARO_IMAGE_RESOLUTION_H_
#define KELVARO_IMAGE_RESOLUTION_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "image/work_image.h"

namespace kelvaro {

// A resolution in dots per inch, horizontal and vertical.
struct Resolution {
  float x_dpi = 300;
  float y_dpi = 300;
  bool operator==(const Resolution&) const = default;
};

// What the file name and the header bytes say about a picture.
struct FileResolution {
  Resolution resolution;
  SourceKind source_kind = SourceKind::kOther;
};

inline constexpr float kDefaultDpi = 300;
inline constexpr float kLowDpi = 150;  // GIF, and BMP files stating almost nothing
// How many bytes each reader looks at; PNG and TIFF read the whole file.
inline constexpr std::size_t kJpegHeaderBytes = 400;
inline constexpr std::size_t kBmpHeaderBytes = 50;
inline constexpr std::size_t kPsdHeaderBytes = 65000;

// The byte readers. Each takes the first bytes of a file (as many as it needs; fewer is fine)
// and never looks outside them. Whatever cannot be read, including zero or negative densities
// and zero denominators, gives 300 × 300 dpi (150 × 150 where noted).

// The first "pHYs" chunk: pixels per metre, used only when its unit byte is 1.
Resolution ReadPngResolution(std::span<const std::uint8_t> bytes);
// JFIF densities (unit 1 per inch, 2 per centimetre) or the Exif X/YResolution rationals.
Resolution ReadJpegResolution(std::span<const std::uint8_t> bytes);
// GIF carries no usable resolution: always 150 × 150.
Resolution ReadGifResolution(std::span<const std::uint8_t> bytes);
// X/YResolution of the first directory; values below 10 become 300.
Resolution ReadTiffResolution(std::span<const std::uint8_t> bytes);
// The header's pixels-per-metre fields; 150 × 150 when they state less than 5 dpi.
Resolution ReadBmpResolution(std::span<const std::uint8_t> bytes);
// The integer parts of the resolution resource 0x03ED.
Resolution ReadPsdResolution(std::span<const std::uint8_t> bytes);

// Chooses the readers by the lower-cased file name (the last component of the path only, so a
// folder such as "scans.tif" says nothing about the files in it): each of ".png", ".jpg",
// ".gif", ".tif", ".bmp" and ".psd" found anywhere in the name runs its reader, in that order,
// so a later one wins ("picture.png.bmp" ends up read as BMP). ".jpg" makes the kind JPEG, the
// others lossless; a name with none of them (".jpeg" included) keeps 300 × 300 and kind other.
// `read_bytes(limit)` returns up to `limit` leading bytes of the file (SIZE_MAX: all of it).
using ByteSource = std::function<std::vector<std::uint8_t>(std::size_t limit)>;
FileResolution DispatchResolution(const std::filesystem::path& path, const ByteSource& read_bytes);

// Reads the resolution of the picture file at `path` (the user's own file). A file that cannot
// be opened gives 300 × 300 with the kind told by its name.
FileResolution ReadFileResolution(const std::filesystem::path& path);

// Runs the byte readers for `file_name` on bytes already in memory (used by the fuzzer and by
// tests that need no file).
FileResolution ReadResolutionFromBytes(const std::filesystem::path& file_name,
                                       std::span<const std::uint8_t> bytes);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_RESOLUTION_H_
