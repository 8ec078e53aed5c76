#ifndef KELVARO_IMAGE_WORK_IMAGE_H_
#define KELVARO_IMAGE_WORK_IMAGE_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>

#include "platform/byte_block.h"

namespace kelvaro {

// Where a picture came from, told by its file name.
enum class SourceKind : int { kOther = 0, kLossless = 1, kJpeg = 2 };

// The loaded picture. Replaced as a whole by every load.
struct WorkImage {
  // After decoding: width × height RGBA pixels, row by row from the top (from the bottom with
  // Flip), in the decoder's shared memory, read there without a copy. The colour conversion
  // drops them. When it took every row as it decoded (RowConversion) they are gone already:
  // they read as zero, and a picture without opacity left 3 bytes a pixel here.
  std::shared_ptr<SharedMapping> decoded;
  // After colour conversion: width × height records of 5 bytes C, M, Y, K, A in the order of
  // the decoded pixels. Kept so that orientation can be applied again without reloading.
  // Before it, a picture made without the decoder may hold its RGBA pixels here instead.
  PixelBytes raw;
  std::int32_t width = 0;   // source width, pixels
  std::int32_t height = 0;  // source height, pixels

  // The oriented pixel grid: output_height rows of output_width records of 5 bytes
  // C, M, Y, K, A, row-major from the top. The only pixel data later steps read.
  PixelBytes grid;
  // The preview grid: the same rows and columns, 4 bytes C', M', Y', A per pixel. Not made
  // for a print without a window.
  PixelBytes preview;
  std::int32_t output_width = 0;   // pixels; width and height exchanged while Rotate is on
  std::int32_t output_height = 0;  // pixels

  float x_dpi = 0;  // dots per inch as found in the file, then changed by fitting
  float y_dpi = 0;
  // Dots per inch as found in the file, kept so that the picture can be fitted afresh (to
  // another page) from its records without reading the file again.
  float file_x_dpi = 0;
  float file_y_dpi = 0;
  float physical_width_pt = 0;  // points: pixels ÷ resolution × 72
  float physical_height_pt = 0;
  float oriented_width_pt = 0;  // points: physical size, exchanged while Rotate is on, × scale
  float oriented_height_pt = 0;
  float scale_factor = 1;  // resolution in the file ÷ resolution after fitting
  SourceKind source_kind = SourceKind::kOther;

  bool empty() const { return grid.empty(); }
  // The decoded RGBA pixels, from the decoder's memory or from the start of `raw`; fewer
  // when the buffer holds fewer.
  std::span<const std::uint8_t> DecodedRgba() const {
    const std::size_t pixels = static_cast<std::size_t>(std::max(width, 0)) *
                               static_cast<std::size_t>(std::max(height, 0));
    const std::span<const std::uint8_t> bytes =
        decoded ? std::span<const std::uint8_t>(decoded->bytes()) : std::span(raw);
    return bytes.first(std::min(bytes.size() / 4, pixels) * 4);
  }
  std::span<std::uint8_t> DecodedRgba() {
    const std::span<const std::uint8_t> bytes = std::as_const(*this).DecodedRgba();
    return {const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
  }
  std::size_t GridOffset(std::int32_t x, std::int32_t y) const {  // 0-based column and row
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(output_width) +
            static_cast<std::size_t>(x)) *
           5;
  }
};

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_WORK_IMAGE_H_
