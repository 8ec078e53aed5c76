#ifndef KELVARO_IMAGE_WORK_IMAGE_H_
#define KELVARO_IMAGE_WORK_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvaro {

// Where a picture came from, told by its file name.
enum class SourceKind : int { kOther = 0, kLossless = 1, kJpeg = 2 };

// The loaded picture. Replaced as a whole by every load.
struct WorkImage {
  // After decoding: width × height RGBA pixels, row by row from the top (from the bottom with
  // Flip), followed by width × height spare bytes. After colour conversion: width × height
  // records of 5 bytes C, M, Y, K, A in the same order. Kept so that orientation can be
  // applied again without reloading.
  std::vector<std::uint8_t> raw;
  std::int32_t width = 0;   // source width, pixels
  std::int32_t height = 0;  // source height, pixels

  // The oriented pixel grid: output_height rows of output_width records of 5 bytes
  // C, M, Y, K, A, row-major from the top. The only pixel data later steps read.
  std::vector<std::uint8_t> grid;
  // The preview grid: the same rows and columns, 4 bytes C', M', Y', A per pixel.
  std::vector<std::uint8_t> preview;
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
  std::size_t GridOffset(std::int32_t x, std::int32_t y) const {  // 0-based column and row
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(output_width) +
            static_cast<std::size_t>(x)) *
           5;
  }
};

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_WORK_IMAGE_H_
