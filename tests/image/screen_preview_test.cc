#include "image/screen_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/orientation.h"
#include "image/separation.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

using Record = std::array<int, 5>;

// A picture of `width` × `height` pixels of one colour C, M, Y, A without black, so that the
// preview grid (C', M', Y', A) and the pixel grid (C, M, Y, 0, A) agree.
WorkImage OneColour(std::array<std::uint8_t, 4> colour, std::int32_t width = 4,
                    std::int32_t height = 4) {
  WorkImage image;
  image.width = image.output_width = width;
  image.height = image.output_height = height;
  for (std::int32_t i = 0; i < width * height; ++i) {
    for (int b = 0; b < 4; ++b) image.preview.push_back(colour[b]);
    image.grid.insert(image.grid.end(), {colour[0], colour[1], colour[2], 0, colour[3]});
  }
  image.physical_width_pt = image.oriented_width_pt = static_cast<float>(width);
  image.physical_height_pt = image.oriented_height_pt = static_cast<float>(height);
  return image;
}

PreviewParams Defaults() {
  PreviewParams params;
  params.colour.white_density = 100;
  params.colour.white_threshold = 60;
  params.display_white = true;
  return params;
}

Record FirstRecord(const WorkImage& image, const PreviewParams& params) {
  const std::optional<ProofRecords> records =
      SampleProofRecords(image, 2, 2, params, IdentityToneCurveTable(), std::nullopt);
  if (!records) return {-1, -1, -1, -1, -1};
  const std::uint8_t* r = records->bytes.data();
  return {r[0], r[1], r[2], r[3], r[4]};
}

// The rules that decide a record outright, whatever the screen calibration.
TEST(ScreenPreviewTest, RecordsFollowTheWhiteAndMediumRules) {
  const struct {
    const char* what;
    std::array<std::uint8_t, 4> colour;
    void (*set)(PreviewParams&);
    Record expected;
  } kCases[] = {
      {"a pixel the print leaves out (opacity 180) lets the background through",
       {90, 10, 10, 180},
       [](PreviewParams&) {},
       {0, 0, 0, 0, 0}},
      {"Print White off: white shows the white canvas",
       {0, 0, 0, 255},
       [](PreviewParams& p) { p.colour.print_white = false; },
       {0, 0, 0, 0, 0}},
      {"Print White on: white is drawn", {0, 0, 0, 255}, [](PreviewParams&) {}, {0, 0, 0, 0, 255}},
      {"hot stamp: a flat tint of 224 wherever the picture is opaque",
       {10, 200, 0, 241},
       [](PreviewParams& p) {
         p.colour.hot_stamp = true;
         p.colour.print_cmy = false;
         p.colour.brightness = 80;
       },
       {224, 224, 224, 0, 255}},
      {"hot stamp: transparent stays undrawn",
       {10, 200, 0, 180},
       [](PreviewParams& p) { p.colour.hot_stamp = true; },
       {0, 0, 0, 0, 0}},
      {"Print CMY off: a dark pixel under white is drawn at level 30",
       {200, 200, 200, 255},
       [](PreviewParams& p) {
         p.colour.print_cmy = false;
         p.colour.threshold_on = false;
         p.display_white = false;
       },
       {30, 30, 30, 0, 255}},
      {"Print CMY off: a pixel that gets no white shows the medium",
       {200, 200, 200, 255},
       [](PreviewParams& p) { p.colour.print_cmy = false; },
       {0, 0, 0, 0, 0}},
      {"Display White, t = 100, d = 99: light pixels are unprinted paper",
       {60, 60, 60, 255},
       [](PreviewParams& p) {
         p.colour.white_threshold = 100;
         p.colour.white_density = 99;
       },
       {0, 0, 0, 0, 255}},
      {"black removal takes out the near-black",
       {250, 250, 250, 255},
       [](PreviewParams& p) {
         p.colour.black_removal = true;
         p.colour.black_removal_fuzz = 30;
       },
       {0, 0, 0, 0, 0}},
  };
  for (const auto& test : kCases) {
    PreviewParams params = Defaults();
    test.set(params);
    EXPECT_EQ(FirstRecord(OneColour(test.colour), params), test.expected) << test.what;
  }
}

// White only: a grey impression, lighter where more white is laid; a light pixel under the
// full white share is almost paper and carries the white share in K.
TEST(ScreenPreviewTest, PrintCmyOffShowsGrey) {
  PreviewParams params = Defaults();
  params.colour.print_cmy = false;
  const Record light = FirstRecord(OneColour({40, 40, 40, 255}), params);
  EXPECT_LE(light[0], 145);
  EXPECT_GE(light[0], light[1]);
  EXPECT_EQ(light[1], light[2]);
  EXPECT_EQ(light[3], 1);  // round(0.98)
  // White under it but no share of it shown: a plain grey, darker than with white.
  params.colour.threshold_on = false;
  params.colour.white_threshold = 0;
  params.display_white = false;
  const Record no_white = FirstRecord(OneColour({40, 40, 40, 255}), params);
  EXPECT_EQ(no_white[0], no_white[1]);
  EXPECT_EQ(no_white[1], no_white[2]);
  EXPECT_GT(no_white[0], light[0]);
  EXPECT_EQ(no_white[3], 0);
}

// The screen is calibrated darker than the print and brightness still moves it.
TEST(ScreenPreviewTest, BrightnessMovesTheScreenLevels) {
  PreviewParams params = Defaults();
  params.display_white = false;
  const Record neutral = FirstRecord(OneColour({100, 0, 0, 255}), params);
  EXPECT_GT(neutral[0], 98);  // 100 × 0.98 = 98 before the screen calibration
  params.colour.brightness = 100;
  const Record bright = FirstRecord(OneColour({100, 0, 0, 255}), params);
  EXPECT_LT(bright[0], neutral[0]);
  EXPECT_EQ(bright[1], 0);
}

TEST(ScreenPreviewTest, PatternPreviewShowsKnockedOutPixelsInMagenta) {
  const WorkImage image = OneColour({0, 0, 200, 255});
  const std::vector<std::uint8_t> mask = {0, 1, 0, 0, 0, 0, 7, 0};  // 4 × 2 samples
  PreviewParams params = Defaults();
  params.display_white = false;  // which would lighten the yellow
  const std::optional<ProofRecords> records = SampleProofRecords(
      image, 4, 2, params, IdentityToneCurveTable(), std::span<const std::uint8_t>(mask));
  ASSERT_TRUE(records);
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const std::uint8_t* r = records->bytes.data() + 5 * i;
    if (mask[i] != 0) {
      EXPECT_EQ((Record{r[0], r[1], r[2], r[3], r[4]}), (Record{0, 200, 0, 0, 0})) << i;
    } else {
      EXPECT_GT(r[2], 150) << i;  // the yellow of the picture
      EXPECT_EQ(r[4], 255) << i;
    }
  }
  // A mask of another size is refused rather than read past its end.
  const std::vector<std::uint8_t> short_mask(3, 1);
  EXPECT_FALSE(SampleProofRecords(image, 4, 2, Defaults(), IdentityToneCurveTable(),
                                  std::span<const std::uint8_t>(short_mask)));
}

// Nearest-neighbour sampling: a two-colour picture halves cleanly at any size.
// White planes of the 4 × 4 test picture: `separated` everywhere, `printed` at pixel 0 and
// `separated` elsewhere.
GridWhitePlanes WhiteUnder(std::uint8_t separated, std::uint8_t printed) {
  GridWhitePlanes white;
  white.width = white.height = 4;
  white.separated.assign(16, separated);
  white.printed = white.separated;
  white.printed[0] = printed;
  return white;
}

Record EdgedRecord(const WorkImage& image, const PreviewParams& params,
                   const GridWhitePlanes& white) {
  // 4 × 4 samples of the 4 × 4 grid: sample 0 is grid pixel 0.
  const std::optional<ProofRecords> records =
      SampleProofRecords(image, 4, 4, params, IdentityToneCurveTable(), std::nullopt, &white);
  if (!records) return {-1, -1, -1, -1, -1};
  const std::uint8_t* r = records->bytes.data();
  return {r[0], r[1], r[2], r[3], r[4]};
}

// With the white displayed, the record follows the white the job prints under it.
TEST(ScreenPreviewTest, TheDisplayedWhiteFollowsTheWhiteEdge) {
  PreviewParams threshold_off = Defaults();
  threshold_off.colour.threshold_on = false;
  threshold_off.colour.white_density = 50;
  const WorkImage light = OneColour({80, 40, 20, 255});
  const Record full = EdgedRecord(light, threshold_off, WhiteUnder(200, 200));
  const Record none = EdgedRecord(light, threshold_off, WhiteUnder(200, 0));
  const Record half = EdgedRecord(light, threshold_off, WhiteUnder(200, 100));
  // Untouched white: as without planes. All white gone: the colour as if no white were
  // displayed, still drawn, as colour toner prints there.
  EXPECT_EQ(full, EdgedRecord(light, threshold_off, WhiteUnder(200, 200)));
  PreviewParams undisplayed = threshold_off;
  undisplayed.display_white = false;
  EXPECT_EQ(none, EdgedRecord(light, undisplayed, WhiteUnder(200, 0)));
  EXPECT_EQ(none[4], 255);
  for (int ch = 0; ch < 3; ++ch) {
    EXPECT_LT(full[ch], half[ch]) << ch;
    EXPECT_LT(half[ch], none[ch]) << ch;
  }

  const WorkImage paper_white = OneColour({0, 0, 0, 255});
  const WorkImage transparent = OneColour({0, 0, 0, 0});
  const struct {
    const char* what;
    const WorkImage& image;
    GridWhitePlanes white;
    bool display;
    Record expected;
  } kCases[] = {
      {"a choke takes the white of a colourless pixel: the background shows",
       paper_white,
       WhiteUnder(250, 0),
       true,
       {0, 0, 0, 0, 0}},
      {"some white left: drawn", paper_white, WhiteUnder(250, 30), true, {0, 0, 0, 0, 255}},
      {"a spread under a transparent pixel shows white",
       transparent,
       WhiteUnder(0, 120),
       true,
       {0, 0, 0, 0, 255}},
      {"not displayed: the edge is not shown",
       transparent,
       WhiteUnder(0, 120),
       false,
       {0, 0, 0, 0, 0}},
  };
  for (const auto& test : kCases) {
    PreviewParams params = Defaults();
    params.display_white = test.display;
    EXPECT_EQ(EdgedRecord(test.image, params, test.white), test.expected) << test.what;
  }
  // Planes of another size than the grid are not used.
  GridWhitePlanes wrong = WhiteUnder(250, 0);
  wrong.width = 2;
  EXPECT_EQ(EdgedRecord(paper_white, Defaults(), wrong), (Record{0, 0, 0, 0, 255}));
}

// The preview shows what prints: sampled one to one, a record is drawn exactly where the
// separation lays toner, and the white display lightens only pixels that get white. Pixels
// with black, at the opacity cut and near the black-removal limit, under the controls that
// change those decisions.
TEST(ScreenPreviewTest, DrawnExactlyWhereThePrintLaysToner) {
  const std::uint8_t kLevels[] = {0, 4, 40, 120, 200, 238, 250, 255};
  WorkImage image;
  for (std::uint8_t c : kLevels) {
    for (std::uint8_t m : kLevels) {
      for (std::uint8_t y : kLevels) {
        for (std::uint8_t k : {0, 200}) {
          for (std::uint8_t a : {180, 181, 255}) {
            image.grid.insert(image.grid.end(), {c, m, y, k, a});
            image.preview.insert(image.preview.end(),
                                 {FoldBlack(c, k), FoldBlack(m, k), FoldBlack(y, k), a});
          }
        }
      }
    }
  }
  const std::int32_t pixels = static_cast<std::int32_t>(image.preview.size() / 4);
  image.width = image.output_width = pixels;
  image.height = image.output_height = 1;
  const struct {
    const char* what;
    void (*set)(SeparationParams&);
  } kControls[] = {
      {"defaults", [](SeparationParams&) {}},
      {"black removal",
       [](SeparationParams& p) {
         p.black_removal = true;
         p.black_removal_fuzz = 12.5;
       }},
      {"Print White off", [](SeparationParams& p) { p.print_white = false; }},
      {"Print CMY off", [](SeparationParams& p) { p.print_cmy = false; }},
      {"threshold off", [](SeparationParams& p) { p.threshold_on = false; }},
      {"film", [](SeparationParams& p) { p.film = true; }},
      {"hot stamp", [](SeparationParams& p) { p.hot_stamp = true; }},
  };
  for (const auto& controls : kControls) {
    SCOPED_TRACE(controls.what);
    PreviewParams params = Defaults();
    params.colour.brightness = 40;
    controls.set(params.colour);
    NullProgress progress;
    const SeparationOutcome print =
        BuildSeparation(image, params.colour, IdentityToneCurveTable(), std::nullopt, progress);
    ASSERT_TRUE(print.ok());
    const auto shown =
        SampleProofRecords(image, pixels, 1, params, IdentityToneCurveTable(), std::nullopt);
    params.display_white = false;
    const auto plain =
        SampleProofRecords(image, pixels, 1, params, IdentityToneCurveTable(), std::nullopt);
    ASSERT_TRUE(shown && plain);
    for (std::int32_t x = 0; x < pixels; ++x) {
      const std::uint8_t* record = shown->bytes.data() + 5 * x;
      bool toner = false;
      for (int plane = 1; plane <= 4; ++plane) toner = toner || print.set.At(0, x, plane) != 0;
      ASSERT_EQ(record[4] == 255, toner) << "pixel " << x;
      const bool white = print.set.At(0, x, 4) != 0 && !params.colour.hot_stamp;
      if (!white) {
        ASSERT_TRUE(std::equal(record, record + 5, plain->bytes.data() + 5 * x)) << "pixel " << x;
      }
    }
  }
}

TEST(ScreenPreviewTest, TheWhiteViewIsThePrintedPlaneInGrey) {
  GridWhitePlanes white;
  white.width = 2;
  white.height = 2;
  white.separated = {0, 0, 0, 0};
  white.printed = {250, 0, 17, 128};
  const std::vector<std::uint8_t> mask = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  const std::optional<PreviewImage> view = BuildWhiteViewImage(white, 4, 4, mask);
  ASSERT_TRUE(view);
  // Sampled as the colour preview samples: view columns and rows 0, 1, 2, 3 show plane
  // columns and rows 0, 1, 1, 1. The masked pixel is knocked out.
  const int expected[16] = {250, 0, 0, 0, 17, 128, 128, 128, 17, 128, 128, 128, 17, 128, 128, 0};
  for (int i = 0; i < 16; ++i) {
    const std::uint8_t* pixel = view->pixels.data() + 4 * i;
    EXPECT_EQ(pixel[0], expected[i]) << i;
    EXPECT_EQ(pixel[1], expected[i]) << i;
    EXPECT_EQ(pixel[2], expected[i]) << i;
    EXPECT_EQ(pixel[3], 255) << i;
  }
  EXPECT_FALSE(BuildWhiteViewImage(white, 4, 4, std::vector<std::uint8_t>(15, 0)));
  white.printed.pop_back();
  EXPECT_FALSE(BuildWhiteViewImage(white, 4, 4, std::nullopt));
}

TEST(ScreenPreviewTest, SamplingKeepsTheHalves) {
  WorkImage image = OneColour({0, 0, 0, 0}, 100, 10);
  for (std::int32_t y = 0; y < 10; ++y) {
    for (std::int32_t x = 50; x < 100; ++x) image.preview[4 * (y * 100 + x) + 3] = 255;
  }
  for (const std::int32_t width : {10, 37, 100, 250}) {
    const std::optional<ProofRecords> records =
        SampleProofRecords(image, width, 3, Defaults(), IdentityToneCurveTable(), std::nullopt);
    ASSERT_TRUE(records);
    int drawn = 0;
    for (std::int32_t i = 0; i < width; ++i) drawn += records->bytes[5 * i + 4] == 255;
    EXPECT_NEAR(drawn, width / 2, 1) << width;
    EXPECT_EQ(records->bytes[4], 0) << width;
    EXPECT_EQ(records->bytes[5 * (width - 1) + 4], 255) << width;
  }
}

class PreviewProofTest : public ::testing::Test {
 protected:
  PreviewProofTest() { colour_.folders = folders_.folders(); }
  std::optional<PreviewImage> Build(const WorkImage& image, const PreviewParams& params,
                                    std::optional<std::span<const std::uint8_t>> mask = {}) {
    const std::optional<PreviewSamples> samples = SamplePicture(image, 4, 4);
    if (!samples) return std::nullopt;
    return BuildPreviewImage(*samples, params, IdentityToneCurveTable(), mask, proof_, colour_,
                             notifier_);
  }
  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  ColourContext colour_;
  ProofTransformCache proof_;
};

// Through the profiles, the screen sees what the records say; the transform is made once.
TEST_F(PreviewProofTest, TheProofIsKeptAndShowsTheColours) {
  PreviewParams params = Defaults();
  params.colour.print_white = false;
  const std::optional<PreviewImage> white = Build(OneColour({0, 0, 0, 255}), params);
  ASSERT_TRUE(white);
  EXPECT_TRUE(proof_.holds_transform());
  const std::vector<std::uint8_t> pattern(16, 1);
  const std::optional<PreviewImage> magenta =
      Build(OneColour({0, 0, 0, 255}), Defaults(), std::span<const std::uint8_t>(pattern));
  ASSERT_TRUE(magenta);
  const std::uint8_t* m = magenta->pixels.data();  // B, G, R, E
  EXPECT_GT(m[0], 150);
  EXPECT_LT(m[1], 120);
  EXPECT_GT(m[2], 150);
  EXPECT_EQ(m[3], 0);
  EXPECT_TRUE(notifier_.messages.empty());

  // Print White off over the plain canvas: the white picture is the white page.
  PageLayout layout;
  layout.canvas = {20, 20};
  layout.origin_x_px = layout.origin_y_px = 8;
  const PreviewCanvas canvas =
      ComposePreviewCanvas(layout.canvas, PreviewBackground::kPlain, &layout, &*white);
  for (int y = 8; y < 12; ++y) {
    for (int x = 8; x < 12; ++x) {
      const std::uint8_t* p = canvas.rgba.data() + 4 * (y * 20 + x);
      EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}),
                (std::array<int, 4>{255, 255, 255, 255}));
    }
  }

  // A profile that cannot be read: told, nothing drawn, and nothing kept.
  colour_.profiles.output = "missing.icc";
  EXPECT_FALSE(Build(OneColour({0, 0, 0, 255}), params));
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].text, "oops! Conversion failure");
  EXPECT_FALSE(proof_.holds_transform());
}

// Equal neighbours may be proofed once per run: the copy is pixel for pixel what the proof
// makes of every record on its own, for a copy of long runs and one whose neighbours mostly
// differ; with runs of one, several and a whole row, colours that come back after others, and
// the E byte of drawn and undrawn samples.
TEST_F(PreviewProofTest, RunsOfEqualSamplesShowAsEverySampleOnItsOwn) {
  const std::uint8_t kColours[][4] = {{0, 0, 0, 0},       {200, 30, 0, 255}, {200, 30, 0, 255},
                                      {200, 30, 0, 255},  {0, 0, 0, 255},    {200, 30, 0, 255},
                                      {10, 90, 160, 255}, {10, 90, 160, 0}};
  for (const std::int32_t height : {2, 6}) {  // rows from the third on: one colour
    WorkImage image = OneColour({10, 90, 160, 255}, 8, height);
    for (int row = 0; row < 2; ++row) {
      for (int x = 0; x < 8; ++x) {
        const std::uint8_t* c = kColours[(x + 3 * row) % 8];
        std::copy(c, c + 4, image.preview.data() + 4 * (row * 8 + x));
        std::copy(c, c + 3, image.grid.data() + 5 * (row * 8 + x));
        image.grid[5 * (row * 8 + x) + 4] = c[3];
      }
    }
    const std::optional<PreviewSamples> samples = SamplePicture(image, 8, height);
    ASSERT_TRUE(samples);
    const PreviewParams params = Defaults();
    const std::optional<PreviewImage> copy = BuildPreviewImage(
        *samples, params, IdentityToneCurveTable(), std::nullopt, proof_, colour_, notifier_);
    const std::optional<ProofRecords> records =
        SampleProofRecords(*samples, params, IdentityToneCurveTable(), std::nullopt);
    ASSERT_TRUE(copy && records);
    const int pixels = 8 * height;
    std::vector<std::uint8_t> each(4 * pixels, 0);
    ASSERT_TRUE(proof_.Convert(records->bytes, each, 8, height, colour_, notifier_));
    for (int i = 0; i < pixels; ++i) {
      each[4 * i + 3] = records->bytes[5 * i + 4];
      EXPECT_TRUE(
          std::equal(each.begin() + 4 * i, each.begin() + 4 * i + 4, copy->pixels.begin() + 4 * i))
          << height << " rows, pixel " << i;
    }
  }
}

// Over the medium: near-white lightens the checkerboard to white, darker colours are ANDed
// with it, undrawn pixels leave it.
TEST(ScreenPreviewCanvasTest, TheMediumShowsThroughAndUnder) {
  PreviewImage copy;
  copy.width = 16;
  copy.height = 16;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      // Left half near white, right half mid grey; the last row undrawn. B, G, R, E.
      const std::uint8_t level = x < 8 ? 250 : 0xF0;
      const std::uint8_t drawn = y == 15 ? 0 : 255;
      copy.pixels.insert(copy.pixels.end(), {level, level, level, drawn});
    }
  }
  PageLayout layout;
  layout.canvas = {32, 32};
  const PreviewCanvas canvas =
      ComposePreviewCanvas(layout.canvas, PreviewBackground::kMedium, &layout, &copy);
  auto at = [&](int x, int y) { return canvas.rgba[4 * (y * 32 + x)]; };
  EXPECT_EQ(at(20, 20), 255);           // the page
  EXPECT_EQ(at(28, 20), kCheckerGrey);  // the next square
  EXPECT_EQ(at(3, 10), 255);            // near white over the grey square lightens it
  EXPECT_EQ(at(10, 10), 0xF0);          // grey over a white square
  EXPECT_EQ(at(10, 3), 0xF0 & kCheckerGrey);
  EXPECT_EQ(at(12, 15), 255);  // undrawn: the white square shows
  EXPECT_EQ(at(3, 15), kCheckerGrey);
}

TEST(ScreenPreviewTest, TheZoomLabelIsTheScaleInPercent) {
  WorkImage image = OneColour({0, 0, 0, 255});
  image.physical_width_pt = 960;
  image.physical_height_pt = 720;
  image.oriented_width_pt = 600;  // turned, scaled by 600 ÷ 720
  EXPECT_EQ(ZoomLabel(image, true), "83.3%");
  image.oriented_width_pt = 960;
  EXPECT_EQ(ZoomLabel(image, false), "100.0%");
}

}  // namespace
}  // namespace kelvaro

namespace kelvaro {
namespace {

// The kept links answer within two levels of the four-channel transform, for records with
// black 0 and 1 and, through that transform itself, any other black.
TEST(ProofTransformCacheTest, TheKeptLinksAgreeWithTheFullTransform) {
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  ColourContext colour;
  colour.folders = folders.folders();
  std::vector<std::uint8_t> records;
  for (int i = 0; i < 3000; ++i) {
    const auto level = static_cast<std::uint8_t>(i * 37 % 256);
    records.insert(records.end(), {level, static_cast<std::uint8_t>(255 - level),
                                   static_cast<std::uint8_t>(i % 256),
                                   static_cast<std::uint8_t>(i % 3 == 2 ? 90 : i % 2), 255});
  }
  std::vector<std::uint8_t> exact = records;
  ASSERT_TRUE(ProofToScreen(exact, 3000, 1, colour, notifier));
  ProofTransformCache cache;
  std::vector<std::uint8_t> fast = records;
  ASSERT_TRUE(cache.Convert(fast, 3000, 1, colour, notifier));
  ASSERT_EQ(fast.size(), exact.size());
  int worst = 0;
  for (std::size_t i = 0; i < fast.size(); ++i) {
    worst = std::max(worst, std::abs(fast[i] - exact[i]));
  }
  EXPECT_LE(worst, 2);
  EXPECT_TRUE(notifier.messages.empty());
}

}  // namespace
}  // namespace kelvaro
