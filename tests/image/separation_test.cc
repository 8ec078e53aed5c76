#include "image/separation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "image/colour_maths.h"
#include "image/tone_curve_table.h"
#include "image/work_image.h"

namespace kelvaro {
namespace {

struct Pixel {
  std::uint8_t c, m, y, k, a;
};

WorkImage MakeImage(std::int32_t width, std::int32_t height, const std::vector<Pixel>& pixels) {
  WorkImage image;
  image.output_width = width;
  image.output_height = height;
  for (const Pixel& p : pixels) image.grid.insert(image.grid.end(), {p.c, p.m, p.y, p.k, p.a});
  return image;
}

// Brightness label 10 % gives a brightness step of 0 and contrast 0 % a factor of 1, so the
// colour path is only the tone curves and the 0.98 scale.
SeparationParams NeutralParams() {
  SeparationParams params;
  params.brightness = 10;
  params.contrast = 0;
  return params;
}

struct Planes {
  std::array<int, 5> p;
};

Planes SeparateOne(const Pixel& pixel, const SeparationParams& params,
                   const ToneCurveTable& table = IdentityToneCurveTable()) {
  WorkImage image = MakeImage(1, 1, {pixel});
  NullProgress progress;
  SeparationOutcome outcome = BuildSeparation(image, params, table, std::nullopt, progress);
  EXPECT_TRUE(outcome.ok());
  Planes planes{};
  for (int plane = 1; plane <= 5; ++plane) planes.p[plane - 1] = outcome.set.At(0, 0, plane);
  return planes;
}

TEST(SeparationConstantsTest, DerivedFromTheControls) {
  struct Row {
    double brightness, contrast, density, threshold, fuzz;
    int b, wo, d, t, r, min_level;
    double t7;
    float f;
  };
  const Row rows[] = {
      {10, 0, 100, 60, 0, 0, 251, 250, 150, 765, 256, 420, 1.0f},
      {-100, -100, 50, 0, 30, -31, 131, 125, 0, 675, 226, 0, 0.43854f},
      {100, 100, 98, 100, 12.5, 26, 251, 245, 250, 728, 243, 700, 2.26773f},
      {0, 0, 0, 1, 5, -3, 6, 0, 2, 750, 251, 7, 1.0f},
      // Halves go to the even neighbour: 6 + 2.5 = 8.5 -> 8, 2.5 -> 2, 2.5 × 3 = 7.5 -> 8.
      {10, 0, 1, 3, 0.5, 0, 8, 2, 8, 764, 255, 21, 1.0f},
  };
  for (const Row& row : rows) {
    SeparationParams params;
    params.brightness = row.brightness;
    params.contrast = row.contrast;
    params.white_density = row.density;
    params.white_threshold = row.threshold;
    params.black_removal_fuzz = row.fuzz;
    const SeparationConstants k = DeriveSeparationConstants(params);
    SCOPED_TRACE("brightness " + std::to_string(row.brightness) + " density " +
                 std::to_string(row.density));
    EXPECT_EQ(k.hot_stamp_level, 224);
    EXPECT_FLOAT_EQ(k.colour_scale, 0.98f);
    EXPECT_EQ(k.brightness_step, row.b);
    EXPECT_NEAR(k.contrast_factor, row.f, 1e-4);
    EXPECT_EQ(k.white_only_level, row.wo);
    EXPECT_EQ(k.white_density_level, row.d);
    EXPECT_EQ(k.threshold, row.t);
    EXPECT_DOUBLE_EQ(k.film_threshold, row.t7);
    EXPECT_EQ(k.black_limit, row.r);
    EXPECT_EQ(k.black_min_level, row.min_level);
  }
}

// Inputs are chosen so that after the 0.98 scale the strongest colour or the sum lands on
// the edge named in the comment.
struct WhiteRow {
  const char* what;
  bool film;
  bool threshold_on;
  double density;
  Pixel pixel;
  int white;
};

TEST(SeparationWhiteTest, WhiteAmountAtTheThresholdEdges) {
  const WhiteRow rows[] = {
      // Non-film, t = 60 so T = 150.
      {"strongest equals T", false, true, 100, {153, 0, 0, 0, 255}, 0},
      {"strongest one below T", false, true, 100, {152, 0, 0, 0, 255}, 1},
      {"strongest above T", false, true, 100, {154, 0, 0, 0, 255}, 0},
      {"strongest 11", false, true, 100, {11, 11, 11, 0, 255}, 139},
      {"strongest 10, sum above 20", false, true, 100, {10, 10, 10, 0, 255}, 250},
      {"strongest 10 at half density", false, true, 50, {10, 10, 10, 0, 255}, 125},
      {"sum 18 takes white-only", false, true, 100, {6, 6, 6, 0, 255}, 251},
      {"sum 18 at zero density", false, true, 0, {6, 6, 6, 0, 255}, 6},
      {"threshold off", false, false, 100, {200, 200, 0, 0, 255}, 251},
      {"threshold off, half density", false, false, 50, {200, 0, 0, 0, 255}, 131},
      {"pure white, threshold on", false, true, 100, {0, 0, 0, 0, 255}, 250},
      {"pure white, threshold off", false, false, 30, {0, 0, 0, 0, 255}, 250},
      // Film, t = 60 so T7 = 420.
      {"film sum 400", true, true, 100, {255, 153, 0, 0, 255}, 26},
      {"film sum 420", true, true, 100, {255, 153, 20, 0, 255}, 6},
      {"film sum 421", true, true, 100, {255, 153, 21, 0, 255}, 0},
      {"film sum 100", true, true, 100, {102, 0, 0, 0, 255}, 216},
      {"film sum 18", true, true, 100, {6, 6, 6, 0, 255}, 251},
      {"film threshold off", true, false, 50, {255, 255, 255, 0, 255}, 131},
      {"film pure white", true, true, 100, {0, 0, 0, 0, 255}, 250},
  };
  for (const WhiteRow& row : rows) {
    SCOPED_TRACE(row.what);
    SeparationParams params = NeutralParams();
    params.film = row.film;
    params.threshold_on = row.threshold_on;
    params.white_density = row.density;
    params.white_threshold = 60;
    const Planes planes = SeparateOne(row.pixel, params);
    EXPECT_EQ(planes.p[3], row.white);
    EXPECT_EQ(planes.p[4], 0);
  }
}

TEST(SeparationColourTest, ScaleRoundsInSinglePrecisionHalvesToEven) {
  // 0.98 × 125 is 122.5 in single precision and goes to 122; 0.98 × 75 = 73.5 goes to 74.
  const Planes planes = SeparateOne({125, 75, 255, 0, 255}, NeutralParams());
  EXPECT_EQ(planes.p[0], 122);
  EXPECT_EQ(planes.p[1], 74);
  EXPECT_EQ(planes.p[2], 250);
}

TEST(SeparationColourTest, ToneCurvesApplyPerChannel) {
  ToneCurveTable table = IdentityToneCurveTable();
  table.levels[kToneCyan][100] = 50;
  table.levels[kToneMagenta][100] = 200;
  table.levels[kToneYellow][100] = 0;
  const Planes planes = SeparateOne({100, 100, 100, 0, 255}, NeutralParams(), table);
  EXPECT_EQ(planes.p[0], 49);   // 50 × 0.98
  EXPECT_EQ(planes.p[1], 196);  // 200 × 0.98
  EXPECT_EQ(planes.p[2], 0);
}

TEST(SeparationColourTest, ContrastAndBrightness) {
  struct Row {
    const char* what;
    double brightness, contrast;
    Pixel pixel;
    int c, m, y, white;
  };
  const Row rows[] = {
      // Label -100 % is a step of -31: every colour level goes up by 31.
      {"brightness -100", -100, 0, {102, 0, 0, 0, 255}, 131, 31, 31, 19},
      // Label 0 % is a step of -3.
      {"brightness 0", 0, 0, {102, 51, 0, 0, 255}, 103, 53, 3, 47},
      // Label 100 % is a step of 26; levels below it end at 0.
      {"brightness 100", 100, 0, {102, 20, 0, 0, 255}, 74, 0, 0, 76},
      // Contrast 100 %: F = 2.26773; c = 98 -> inverted 157 -> 193.76 -> 194 -> 61.
      {"contrast 100", 10, 100, {100, 0, 0, 0, 255}, 61, 0, 0, 89},
      // Contrast -100 %: F = 0.43854; c = 98 -> 157 -> 140.72 -> 141 -> 114;
      // m = y = 0 -> 255 -> 183.69 -> 184 -> 71.
      {"contrast -100", 10, -100, {100, 0, 0, 0, 255}, 114, 71, 71, 36},
      // A pixel without colour skips both steps and stays pure white.
      {"no colour skips both", -100, 100, {0, 0, 0, 0, 255}, 0, 0, 0, 250},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SeparationParams params = NeutralParams();
    params.brightness = row.brightness;
    params.contrast = row.contrast;
    const Planes planes = SeparateOne(row.pixel, params);
    EXPECT_EQ(planes.p[0], row.c);
    EXPECT_EQ(planes.p[1], row.m);
    EXPECT_EQ(planes.p[2], row.y);
    EXPECT_EQ(planes.p[3], row.white);
  }
}

TEST(SeparationBlackRemovalTest, FuzzThirty) {
  struct Row {
    const char* what;
    bool on;
    double fuzz;
    Pixel pixel;
    std::array<int, 4> planes;
  };
  const Row rows[] = {
      // 235 -> 230 after the scale; R = 675 and every colour must be above 225.
      {"230/230/230 removed", true, 30, {235, 235, 235, 0, 255}, {0, 0, 0, 0}},
      // 230 -> 225, not above 255 - 30.
      {"yellow 225 kept", true, 30, {235, 235, 230, 0, 255}, {230, 230, 225, 0}},
      {"cyan 225 kept", true, 30, {230, 235, 235, 0, 255}, {225, 230, 230, 0}},
      {"fuzz 0 never removes", true, 0, {255, 255, 255, 0, 255}, {250, 250, 250, 0}},
      {"off keeps black", false, 30, {235, 235, 235, 0, 255}, {230, 230, 230, 0}},
      // With black removal on, pure white gets the ordinary white, not 250.
      {"on: pure white keeps white-only", true, 30, {0, 0, 0, 0, 255}, {0, 0, 0, 251}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SeparationParams params = NeutralParams();
    params.black_removal = row.on;
    params.black_removal_fuzz = row.fuzz;
    const Planes planes = SeparateOne(row.pixel, params);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(planes.p[i], row.planes[i]) << "plane " << i + 1;
  }
}

TEST(SeparationBlackRemovalTest, HalfFuzzMeansAboveTheFraction) {
  // f = 12.5: levels must be above 242.5 and the sum above 728.
  SeparationParams params = NeutralParams();
  params.black_removal = true;
  params.black_removal_fuzz = 12.5;
  // 248 -> 243 (removed); 247 -> 242 (kept).
  EXPECT_EQ(SeparateOne({248, 248, 248, 0, 255}, params).p[0], 0);
  EXPECT_EQ(SeparateOne({248, 248, 247, 0, 255}, params).p[0], 243);
}

TEST(SeparationSwitchesTest, PrintWhiteAndPrintCmy) {
  SeparationParams params = NeutralParams();
  params.print_white = false;
  Planes planes = SeparateOne({0, 0, 0, 0, 255}, params);
  EXPECT_EQ(planes.p[3], 0) << "pure white gets no white without Print White";
  planes = SeparateOne({102, 0, 0, 0, 255}, params);
  EXPECT_EQ(planes.p[0], 100);
  EXPECT_EQ(planes.p[3], 0);

  params = NeutralParams();
  params.print_cmy = false;
  planes = SeparateOne({102, 51, 20, 0, 255}, params);
  EXPECT_EQ(planes.p[0], 0);
  EXPECT_EQ(planes.p[1], 0);
  EXPECT_EQ(planes.p[2], 0);
  EXPECT_EQ(planes.p[3], 50) << "white still follows the colours: 150 - 100";
}

// A pixel prints when its opacity is above 180; the picture itself is only read.
TEST(SeparationOpacityTest, AboveTheCutPrintsAndThePictureStays) {
  const WorkImage image = MakeImage(
      4, 1, {{102, 0, 0, 0, 181}, {102, 0, 0, 0, 180}, {102, 0, 0, 0, 0}, {102, 0, 0, 0, 255}});
  const PixelBytes grid = image.grid;
  NullProgress progress;
  SeparationOutcome outcome =
      BuildSeparation(image, NeutralParams(), IdentityToneCurveTable(), std::nullopt, progress);
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(image.grid, grid);
  EXPECT_EQ(outcome.set.At(0, 0, 1), 100);
  EXPECT_EQ(outcome.set.At(0, 0, 4), 50);
  for (int plane = 1; plane <= 5; ++plane) {
    EXPECT_EQ(outcome.set.At(0, 1, plane), 0);
    EXPECT_EQ(outcome.set.At(0, 2, plane), 0);
  }
  EXPECT_EQ(outcome.set.At(0, 3, 1), 100);
}

TEST(SeparationOpacityTest, NothingOpaqueGivesAllZeros) {
  for (bool hot_stamp : {false, true}) {
    WorkImage image = MakeImage(
        2, 2,
        {{255, 255, 255, 255, 180}, {0, 0, 0, 0, 100}, {10, 20, 30, 40, 0}, {200, 0, 0, 0, 1}});
    SeparationParams params = NeutralParams();
    params.hot_stamp = hot_stamp;
    NullProgress progress;
    // The planes are not zero-filled before the separation writes them: on the usual
    // allocator they take this freed block, so a byte left unwritten would show its 0xA5.
    { const PlaneBytes dirty(5u * 2 * 2, 0xA5); }
    SeparationOutcome outcome =
        BuildSeparation(image, params, IdentityToneCurveTable(), std::nullopt, progress);
    ASSERT_TRUE(outcome.ok());
    ASSERT_EQ(outcome.set.bytes.size(), 5u * 2 * 2);
    for (std::uint8_t byte : outcome.set.bytes) EXPECT_EQ(byte, 0);
  }
}

TEST(SeparationColourTest, BlackChannelHasNoInfluence) {
  const Planes without_k = SeparateOne({102, 51, 20, 0, 255}, NeutralParams());
  const Planes with_k = SeparateOne({102, 51, 20, 255, 255}, NeutralParams());
  EXPECT_EQ(without_k.p, with_k.p);
}

TEST(SeparationLayoutTest, WhiteFirstSwapsCyanAndWhite) {
  SeparationParams params = NeutralParams();
  const Planes last = SeparateOne({102, 51, 20, 0, 255}, params);
  params.layout = TonerLayout::kWhiteFirst;
  const Planes first = SeparateOne({102, 51, 20, 0, 255}, params);
  EXPECT_EQ(last.p, (std::array<int, 5>{100, 50, 20, 50, 0}));
  EXPECT_EQ(first.p, (std::array<int, 5>{50, 50, 20, 100, 0}));
}

TEST(SeparationHotStampTest, ThreeTintedPlanesInBothLayouts) {
  struct Row {
    TonerLayout layout;
    std::array<int, 5> opaque;
  };
  const Row rows[] = {{TonerLayout::kWhiteLast, {224, 224, 224, 0, 0}},
                      {TonerLayout::kWhiteFirst, {0, 224, 224, 224, 0}}};
  for (const Row& row : rows) {
    // The colour controls have no effect on the foil.
    SeparationParams params;
    params.hot_stamp = true;
    params.layout = row.layout;
    params.print_white = false;
    params.print_cmy = false;
    params.brightness = 100;
    params.contrast = -100;
    params.black_removal = true;
    params.black_removal_fuzz = 50;
    ToneCurveTable flat{};  // every level to 0
    for (const Pixel& pixel : {Pixel{0, 0, 0, 0, 255}, Pixel{255, 255, 255, 255, 200}}) {
      EXPECT_EQ(SeparateOne(pixel, params, flat).p, row.opaque);
    }
    EXPECT_EQ(SeparateOne({255, 255, 255, 0, 180}, params, flat).p,
              (std::array<int, 5>{0, 0, 0, 0, 0}));
  }
}

TEST(SeparationPatternTest, MaskBlanksPixelsInEveryVariant) {
  // A 3 × 2 opaque picture; the mask blanks the middle column of row 0 and the first pixel
  // of row 1.
  const std::vector<std::uint8_t> mask = {0, 1, 0, 7, 0, 0};
  for (bool hot_stamp : {false, true}) {
    for (TonerLayout layout : {TonerLayout::kWhiteLast, TonerLayout::kWhiteFirst}) {
      SCOPED_TRACE(std::string(hot_stamp ? "hot stamp" : "colour") +
                   (layout == TonerLayout::kWhiteFirst ? " white-first" : " white-last"));
      SeparationParams params = NeutralParams();
      params.hot_stamp = hot_stamp;
      params.layout = layout;
      std::vector<Pixel> pixels(6, Pixel{102, 51, 20, 0, 255});
      WorkImage image = MakeImage(3, 2, pixels);
      NullProgress progress;
      SeparationOutcome outcome =
          BuildSeparation(image, params, IdentityToneCurveTable(), mask, progress);
      ASSERT_TRUE(outcome.ok());
      for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
          int ink = 0;
          for (int plane = 1; plane <= 5; ++plane) ink += outcome.set.At(row, column, plane);
          if (mask[row * 3 + column] != 0) {
            EXPECT_EQ(ink, 0) << row << "," << column;
          } else {
            EXPECT_GT(ink, 0) << row << "," << column;
          }
        }
      }
    }
  }
}

TEST(SeparationPatternTest, MaskOfTheWrongSizeIsRefused) {
  WorkImage image = MakeImage(2, 1, {{1, 2, 3, 4, 255}, {1, 2, 3, 4, 255}});
  const std::vector<std::uint8_t> mask = {0};
  NullProgress progress;
  SeparationOutcome outcome =
      BuildSeparation(image, NeutralParams(), IdentityToneCurveTable(), mask, progress);
  EXPECT_EQ(outcome.error, SeparationError::kMaskMismatch);
  EXPECT_TRUE(outcome.set.bytes.empty());
}

TEST(SeparationSetTest, RowsHoldFivePlaneRowsInOrder) {
  // 3 × 2 picture whose cyan level tells the pixel apart.
  std::vector<Pixel> pixels;
  for (int i = 0; i < 6; ++i)
    pixels.push_back({static_cast<std::uint8_t>(51 * (i + 1) / 2), 0, 0, 0, 255});
  WorkImage image = MakeImage(3, 2, pixels);
  NullProgress progress;
  SeparationParams params = NeutralParams();
  params.threshold_on = false;  // white-only everywhere: 251
  SeparationOutcome outcome =
      BuildSeparation(image, params, IdentityToneCurveTable(), std::nullopt, progress);
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.set.width, 3);
  EXPECT_EQ(outcome.set.height, 2);
  ASSERT_EQ(outcome.set.bytes.size(), 30u);
  const std::vector<std::uint8_t> expected = {
      // row 0: cyan 25, 51, 76 scaled; magenta; yellow; white; spare
      24, 50, 74, 0, 0, 0, 0, 0, 0, 251, 251, 251, 0, 0, 0,
      // row 1: cyan 102, 127, 153 scaled
      100, 124, 150, 0, 0, 0, 0, 0, 0, 251, 251, 251, 0, 0, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(outcome.set.bytes.begin(), outcome.set.bytes.end()),
            expected);
}

TEST(SeparationFailureTest, EmptyOrShortGrid) {
  NullProgress progress;
  WorkImage empty;
  EXPECT_EQ(
      BuildSeparation(empty, NeutralParams(), IdentityToneCurveTable(), std::nullopt, progress)
          .error,
      SeparationError::kEmptyImage);
  WorkImage short_grid = MakeImage(3, 3, {{1, 2, 3, 4, 255}});
  EXPECT_EQ(
      BuildSeparation(short_grid, NeutralParams(), IdentityToneCurveTable(), std::nullopt, progress)
          .error,
      SeparationError::kBadGrid);
}

class RecordingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string&) override {}
  void SetProgress(long long value, long long maximum) override {
    values.push_back(value);
    EXPECT_EQ(maximum, 100);
  }
  std::vector<long long> values;
};

TEST(SeparationProgressTest, OncePerRowRounded) {
  WorkImage image = MakeImage(1, 3, std::vector<Pixel>(3, Pixel{0, 0, 0, 0, 255}));
  RecordingProgress progress;
  ASSERT_TRUE(
      BuildSeparation(image, NeutralParams(), IdentityToneCurveTable(), std::nullopt, progress)
          .ok());
  // 1 at the start, then 33.3 -> 33, 66.7 -> 67, 100.
  EXPECT_EQ(progress.values, (std::vector<long long>{1, 33, 67, 100}));
}

TEST(SeparationParallelTest, LargePicturesGiveTheSameBytesAsRowByRow) {
  // Large enough to be shared out between threads; every row differs.
  constexpr std::int32_t kWidth = 1031;
  constexpr std::int32_t kHeight = 1100;
  std::vector<Pixel> pixels;
  pixels.reserve(static_cast<std::size_t>(kWidth) * kHeight);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      pixels.push_back(Pixel{static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 3),
                             static_cast<std::uint8_t>(x ^ y), 0,
                             static_cast<std::uint8_t>((x + 2 * y) % 256)});
    }
  }
  SeparationParams params = NeutralParams();
  params.black_removal = true;
  params.black_removal_fuzz = 30;
  WorkImage whole = MakeImage(kWidth, kHeight, pixels);
  RecordingProgress progress;
  const SeparationOutcome all =
      BuildSeparation(whole, params, IdentityToneCurveTable(), std::nullopt, progress);
  ASSERT_TRUE(all.ok());
  EXPECT_EQ(progress.values.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress.values.begin(), progress.values.end()));
  for (std::int32_t y = 0; y < kHeight; y += 97) {
    SCOPED_TRACE(y);
    WorkImage row = MakeImage(
        kWidth, 1,
        std::vector<Pixel>(pixels.begin() + y * kWidth, pixels.begin() + (y + 1) * kWidth));
    NullProgress quiet;
    const SeparationOutcome one =
        BuildSeparation(row, params, IdentityToneCurveTable(), std::nullopt, quiet);
    ASSERT_TRUE(one.ok());
    for (int plane = 1; plane <= SeparationSet::kPlanes; ++plane) {
      ASSERT_TRUE(std::equal(one.set.PlaneRow(0, plane), one.set.PlaneRow(0, plane) + kWidth,
                             all.set.PlaneRow(y, plane)))
          << "plane " << plane;
    }
  }
}

}  // namespace
}  // namespace kelvaro
