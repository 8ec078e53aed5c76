#include "gui/pattern_preview.h"

#include <cstddef>
#include <cstdint>

namespace kelvaro::gui {

QImage RenderPatternPreview(const PatternSettings& settings, const ShapeRecord* library_shape,
                            int width, int height, double pixels_per_mm) {
  QImage image(width, height, QImage::Format_Grayscale8);
  image.fill(255);
  NullProgress progress;
  const PatternMaskOutcome mask = GeneratePreviewPatternMask(
      settings, library_shape, width, height, pixels_per_mm, PatternOrientation{}, progress);
  if (!mask.ok() || mask.width != width || mask.height != height) return image;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = mask.mask.data() + static_cast<std::size_t>(y) * width;
    std::uint8_t* out = image.scanLine(y);
    // A non-zero byte blanks its pixel: paper. Zero keeps the ink.
    for (int x = 0; x < width; ++x) out[x] = row[x] != 0 ? 255 : 0;
  }
  return image;
}

}  // namespace kelvaro::gui
