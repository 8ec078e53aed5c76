#include "image/orientation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kelvaro {
namespace {

struct FitCase {
  const char* what;
  std::int32_t width;
  std::int32_t height;
  Resolution file;
  PrintableArea area;
  bool rotate;
  double scale;
};

class FitAtLoadTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitAtLoadTest, DecidesTurnAndScale) {
  const FitCase& c = GetParam();
  const LoadFit fit = FitAtLoad(c.width, c.height, c.file, c.area);
  EXPECT_EQ(fit.rotate, c.rotate) << c.what;
  EXPECT_NEAR(fit.scale_factor, c.scale, 1e-5) << c.what;
  // Only the resolution changes: both directions by the same factor.
  EXPECT_NEAR(fit.x_dpi, c.file.x_dpi / c.scale, 1e-2) << c.what;
  EXPECT_NEAR(fit.y_dpi, c.file.y_dpi / c.scale, 1e-2) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitAtLoadTest,
    ::testing::Values(
        // 960 × 720 pt on 540 × 780: too wide, does not fit turned, not too tall, ratio 0.75.
        FitCase{"4000x3000", 4000, 3000, {300, 300}, {540, 780}, true, 780.0 / 960.0},
        FitCase{"fits as it is", 600, 600, {300, 300}, {540, 780}, false, 1},
        // 72 × 864 pt: narrow enough, too tall.
        FitCase{"too tall only", 300, 3600, {300, 300}, {540, 780}, false, 780.0 / 864.0},
        // 720 × 480 pt fits turned.
        FitCase{"fits turned", 3000, 2000, {300, 300}, {540, 780}, true, 1},
        // 600 × 900 pt on 540 × 1000: tall (1.5), so scaled to the width.
        FitCase{"too wide, tall", 2500, 3750, {300, 300}, {540, 1000}, false, 0.9},
        // 600 × 1200 pt on 540 × 780: tall, scaled by the smaller factor 0.65.
        FitCase{"too wide and tall, tall", 2500, 5000, {300, 300}, {540, 780}, false, 0.65},
        // 1200 × 900 pt on 540 × 780: turned and scaled by PH ÷ IW.
        FitCase{"too wide and tall, wide", 5000, 3750, {300, 300}, {540, 780}, true, 0.65},
        // 540.2 pt wide: wider than the area rounded to 540 pt although narrower than 540.4.
        FitCase{"area rounded", 7503, 3000, {1000, 1000}, {540.4, 780.4}, true, 1},
        // Different horizontal and vertical resolutions: 4000 / 400 × 72 = 720 pt wide,
        // 3000 / 200 × 72 = 1080 pt tall; ratio 1.5, too tall and too wide.
        FitCase{"anisotropic", 4000, 3000, {400, 200}, {540, 780}, false, 0.7222222},
        // No page to fit to: nothing changes.
        FitCase{"no area", 4000, 3000, {300, 300}, {0, 0}, false, 1}));

TEST(FoldBlackTest, FoldsBlackIntoColour) {
  EXPECT_EQ(FoldBlack(0, 0), 0);
  EXPECT_EQ(FoldBlack(100, 0), 100);
  EXPECT_EQ(FoldBlack(0, 128), 128);
  EXPECT_EQ(FoldBlack(255, 17), 255);
  EXPECT_EQ(FoldBlack(17, 255), 255);
  // 100 + 128 − 100 × 128 ÷ 255 = 177.8
  EXPECT_EQ(FoldBlack(100, 128), 178);
  // 1 + 1 − 1 ÷ 255 = 1.996
  EXPECT_EQ(FoldBlack(1, 1), 2);
  for (int c = 0; c < 256; ++c) {
    for (int k = 0; k < 256; ++k) {
      const double exact = 255.0 * std::min(c / 255.0 * (1 - k / 255.0) + k / 255.0, 1.0);
      ASSERT_NEAR(FoldBlack(c, k), exact, 0.5 + 1e-9) << c << " " << k;
    }
  }
}

// A 3 × 2 picture of converted records: pixel n (row by row) has C = n, M = 10 + n,
// Y = 20 + n, K = 0 and A = 100 + n.
WorkImage ThreeByTwo() {
  WorkImage image;
  image.width = 3;
  image.height = 2;
  image.raw.resize(5 * 6);
  for (int n = 0; n < 6; ++n) {
    image.raw[n * 5 + 0] = static_cast<std::uint8_t>(n);
    image.raw[n * 5 + 1] = static_cast<std::uint8_t>(10 + n);
    image.raw[n * 5 + 2] = static_cast<std::uint8_t>(20 + n);
    image.raw[n * 5 + 3] = 0;
    image.raw[n * 5 + 4] = static_cast<std::uint8_t>(100 + n);
  }
  image.physical_width_pt = 72;
  image.physical_height_pt = 48;
  image.scale_factor = 0.5f;
  return image;
}

// The pixel numbers in output order, read from the grid's C bytes.
std::vector<int> GridOrder(const WorkImage& image) {
  std::vector<int> order;
  for (std::int32_t y = 0; y < image.output_height; ++y) {
    for (std::int32_t x = 0; x < image.output_width; ++x) {
      order.push_back(image.grid[image.GridOffset(x, y)]);
    }
  }
  return order;
}

struct OrientCase {
  bool mirror;
  bool flip;
  bool rotate;
  std::int32_t out_width;
  std::vector<int> order;
};

class OrientTest : public ::testing::TestWithParam<OrientCase> {};

TEST_P(OrientTest, PlacesEveryPixel) {
  const OrientCase& c = GetParam();
  WorkImage image = ThreeByTwo();
  NullProgress progress;
  const OrientResult result =
      OrientWorkImage(image, OrientOptions{c.mirror, c.flip, c.rotate}, {1000, 1000}, progress);
  ASSERT_TRUE(result.oriented);
  EXPECT_EQ(image.output_width, c.out_width);
  EXPECT_EQ(image.output_height, 6 / c.out_width);
  EXPECT_EQ(GridOrder(image), c.order);
  // Whole records travel together, and the preview follows the grid.
  for (std::int32_t y = 0; y < image.output_height; ++y) {
    for (std::int32_t x = 0; x < image.output_width; ++x) {
      const std::size_t at = image.GridOffset(x, y);
      const int n = image.grid[at];
      EXPECT_EQ(image.grid[at + 1], 10 + n);
      EXPECT_EQ(image.grid[at + 4], 100 + n);
      const std::size_t p = at / 5 * 4;
      EXPECT_EQ(image.preview[p + 0], n);
      EXPECT_EQ(image.preview[p + 2], 20 + n);
      EXPECT_EQ(image.preview[p + 3], 100 + n);
    }
  }
  if (c.rotate) {
    EXPECT_FLOAT_EQ(image.oriented_width_pt, 24);
    EXPECT_FLOAT_EQ(image.oriented_height_pt, 36);
  } else {
    EXPECT_FLOAT_EQ(image.oriented_width_pt, 36);
    EXPECT_FLOAT_EQ(image.oriented_height_pt, 24);
  }
}

// Source pixels:  0 1 2
//                 3 4 5
INSTANTIATE_TEST_SUITE_P(
    States, OrientTest,
    ::testing::Values(OrientCase{false, false, false, 3, {0, 1, 2, 3, 4, 5}},
                      OrientCase{true, false, false, 3, {2, 1, 0, 5, 4, 3}},
                      // Flip (rows already turned over by the decoder) inverts the mirror.
                      OrientCase{false, true, false, 3, {2, 1, 0, 5, 4, 3}},
                      OrientCase{true, true, false, 3, {0, 1, 2, 3, 4, 5}},
                      // A quarter turn counter-clockwise: the right-hand column on top.
                      OrientCase{false, false, true, 2, {2, 5, 1, 4, 0, 3}},
                      // Turned and mirrored: the first output row is the first column.
                      OrientCase{true, false, true, 2, {0, 3, 1, 4, 2, 5}},
                      OrientCase{false, true, true, 2, {0, 3, 1, 4, 2, 5}},
                      OrientCase{true, true, true, 2, {2, 5, 1, 4, 0, 3}}));

TEST(OrientWorkImageTest, PreviewFoldsBlack) {
  WorkImage image = ThreeByTwo();
  image.raw[3] = 128;  // K of pixel 0 (C 0, M 10, Y 20)
  NullProgress progress;
  ASSERT_TRUE(OrientWorkImage(image, {}, {1000, 1000}, progress).oriented);
  EXPECT_EQ(image.grid[3], 128);  // the grid keeps K as it is
  EXPECT_EQ(image.preview[0], 128);
  EXPECT_EQ(image.preview[1], FoldBlack(10, 128));
  EXPECT_EQ(image.preview[2], FoldBlack(20, 128));
  EXPECT_EQ(image.preview[3], 100);
}

TEST(OrientWorkImageTest, AsksForFitWhenLargerThanArea) {
  WorkImage image = ThreeByTwo();  // 36 × 24 pt at scale 0.5
  NullProgress progress;
  EXPECT_FALSE(OrientWorkImage(image, {}, {36, 24}, progress).needs_fit);
  EXPECT_TRUE(OrientWorkImage(image, {}, {35.9, 24}, progress).needs_fit);
  EXPECT_TRUE(OrientWorkImage(image, {}, {36, 23.9}, progress).needs_fit);
  // Turned it is 24 × 36.
  EXPECT_TRUE(OrientWorkImage(image, {false, false, true}, {36, 24}, progress).needs_fit);
  EXPECT_FALSE(OrientWorkImage(image, {false, false, true}, {24, 36}, progress).needs_fit);
  // A few millionths of a point over, as single precision leaves an exact fit, is no excess.
  EXPECT_FALSE(OrientWorkImage(image, {}, {35.99999, 23.99999}, progress).needs_fit);
  EXPECT_TRUE(OrientWorkImage(image, {}, {35.99, 24}, progress).needs_fit);
}

TEST(OrientWorkImageTest, RefusesShortBuffer) {
  WorkImage image = ThreeByTwo();
  image.raw.resize(29);
  NullProgress progress;
  EXPECT_FALSE(OrientWorkImage(image, {}, {100, 100}, progress).oriented);
  EXPECT_TRUE(image.grid.empty());
}

// Progress runs to 100 over the source rows, also for a picture taller than one turn block.
class RecordingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string&) override {}
  void SetProgress(long long value, long long maximum) override {
    values.push_back(value);
    EXPECT_EQ(maximum, 100);
  }
  std::vector<long long> values;
};

TEST(OrientWorkImageTest, TurnsLargePictureCompletely) {
  WorkImage image;
  image.width = 7;
  image.height = 150;
  image.raw.resize(5 * 7 * 150);
  for (std::size_t i = 0; i < image.raw.size(); i += 5) {
    const std::size_t n = i / 5;
    image.raw[i] = static_cast<std::uint8_t>(n % 7);      // column
    image.raw[i + 1] = static_cast<std::uint8_t>(n / 7);  // row
  }
  RecordingProgress progress;
  ASSERT_TRUE(OrientWorkImage(image, {true, false, true}, {1e6, 1e6}, progress).oriented);
  ASSERT_EQ(image.output_width, 150);
  ASSERT_EQ(image.output_height, 7);
  for (std::int32_t y = 0; y < 7; ++y) {
    for (std::int32_t x = 0; x < 150; ++x) {
      ASSERT_EQ(image.grid[image.GridOffset(x, y)], y) << x << "," << y;
      ASSERT_EQ(image.grid[image.GridOffset(x, y) + 1], x) << x << "," << y;
    }
  }
  ASSERT_FALSE(progress.values.empty());
  EXPECT_EQ(progress.values.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress.values.begin(), progress.values.end()));
}

TEST(SizeLabelsTest, UsesUnitAndMask) {
  WorkImage image;
  image.oriented_width_pt = 841.89f;
  image.oriented_height_pt = 72;
  EXPECT_EQ(MakeSizeLabels(image, UnitCode::kMillimetres).width, "297.0");
  EXPECT_EQ(MakeSizeLabels(image, UnitCode::kCentimetres).width, "29.70");
  EXPECT_EQ(MakeSizeLabels(image, UnitCode::kInches).width, "11.693");
  EXPECT_EQ(MakeSizeLabels(image, UnitCode::kInches).height, "1.000");
}

}  // namespace
}  // namespace kelvaro
