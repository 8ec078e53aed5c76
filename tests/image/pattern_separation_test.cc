// The pattern mask as the separation builder takes it: one byte per output pixel, knocking
// out every plane where it is not 0.

#include <gtest/gtest.h>

#include <optional>
#include <span>

#include "image/separation.h"
#include "image/tone_curve_table.h"
#include "image/work_image.h"
#include "pattern/pattern_mask.h"

namespace kelvaro {
namespace {

// A solid, opaque mid-grey picture of the given output size.
WorkImage SolidImage(std::int32_t width, std::int32_t height) {
  WorkImage image;
  image.output_width = width;
  image.output_height = height;
  for (std::int32_t i = 0; i < width * height; ++i) {
    image.grid.insert(image.grid.end(), {120, 90, 60, 0, 255});
  }
  return image;
}

TEST(PatternSeparationTest, PlanesAreKnockedOutWhereTheMaskSays) {
  PatternSettings pattern;
  pattern.shape = "Rectangle";
  pattern.size_x_mm = pattern.size_y_mm = 2;
  pattern.gap_mm = 1;
  pattern.screen_angle = 0;

  struct Case {
    bool hot_stamp;
    PatternOrientation orientation;
  };
  for (const Case& c : {Case{false, {}}, Case{true, {}}, Case{false, {true, false, true}}}) {
    const std::int32_t width = 160, height = 110;  // output size, after any turn
    NullProgress progress;
    const PatternMaskOutcome mask = GeneratePatternMask(
        pattern, nullptr, width, height, (c.orientation.rotate ? height : width) / 300.0 * 72,
        c.orientation, progress);
    ASSERT_TRUE(mask.ok()) << mask.error;
    WorkImage image = SolidImage(width, height);
    SeparationParams params;
    params.hot_stamp = c.hot_stamp;
    const SeparationOutcome out =
        BuildSeparation(image, params, IdentityToneCurveTable(),
                        std::span<const std::uint8_t>(mask.mask), progress);
    ASSERT_TRUE(out.ok());

    int knocked = 0, printed = 0;
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        const bool blank = mask.mask[static_cast<std::size_t>(y) * width + x] != 0;
        int toner = 0;
        for (int plane = 1; plane <= 4; ++plane) toner += out.set.At(y, x, plane);
        if (blank) {
          ASSERT_EQ(toner, 0) << x << "," << y;
          ++knocked;
        } else {
          // The shape prints: cyan in the colour builder, the tint in the hot-stamp one.
          ASSERT_GT(out.set.At(y, x, 1), 0) << x << "," << y;
          ++printed;
        }
      }
    }
    // Both parts are there in about the share the 24-pixel boxes on a 35-pixel step give.
    EXPECT_NEAR(static_cast<double>(printed) / (printed + knocked), 24.0 * 24 / (35 * 35), 0.06);
  }
}

}  // namespace
}  // namespace kelvaro
