#include "pattern/pattern_mask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "pattern/pattern_print.h"
#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

constexpr double kDpi = 300;
constexpr double kPxPerMm = kDpi / 25.4;

PatternSettings Pattern(const char* shape, double size, double gap, int angle) {
  PatternSettings s;
  s.shape = shape;
  s.size_x_mm = s.size_y_mm = size;
  s.gap_mm = gap;
  s.screen_angle = angle;
  return s;
}

// The mask of a picture of width × height pixels printed at 300 dpi.
PatternMaskOutcome Mask(const PatternSettings& s, int width, int height, PatternOrientation o = {},
                        const ShapeRecord* shape = nullptr) {
  NullProgress progress;
  return GeneratePatternMask(s, shape, width, height, (o.rotate ? height : width) / kDpi * 72, o,
                             progress);
}

double Share(const std::vector<std::uint8_t>& mask, std::uint8_t value) {
  return static_cast<double>(std::count(mask.begin(), mask.end(), value)) / mask.size();
}

TEST(PatternMaskTest, RectangleKnockOutShareIsTheOneOfThePixelGrid) {
  // 2 × 2 mm boxes, 1 mm gap, angle 0, at 300 dpi (11.811 pixels per mm). The step between
  // boxes is the rounded pitch, round(3 mm × 11.811) = round(35.43) = 35 pixels, and a box
  // drawn from a whole pixel x to x + 23.62 covers the 24 pixels whose centres are inside.
  // On a picture of 20 × 15 whole steps every step holds one 24 × 24 box, so the printed
  // (shape) share is (24 / 35)² and the knocked-out share 1 - 576 / 1225 = 0.5298, not the
  // 1 - 4/9 = 0.5556 of the millimetre drawing.
  const int pitch = static_cast<int>(std::nearbyint(3 * kPxPerMm));
  const int box = static_cast<int>(std::nearbyint(2 * kPxPerMm));
  ASSERT_EQ(pitch, 35);
  ASSERT_EQ(box, 24);
  const int width = 20 * pitch, height = 15 * pitch;
  const double expected = 1.0 - static_cast<double>(box * box) / (pitch * pitch);

  const PatternMaskOutcome out = Mask(Pattern("Rectangle", 2, 2 - 1, 0), width, height);
  ASSERT_TRUE(out.ok()) << out.error;
  ASSERT_EQ(out.mask.size(), static_cast<std::size_t>(width * height));
  EXPECT_NEAR(Share(out.mask, 255), expected, 0.005);
  EXPECT_NEAR(Share(out.mask, 0), 1 - expected, 0.005);
  EXPECT_GT(std::fabs(Share(out.mask, 255) - 5.0 / 9.0), 0.02);
}

// The rows and columns a value spans: (first, last) of each run of `ink` along a line.
std::vector<std::pair<int, int>> Runs(const std::vector<bool>& line) {
  std::vector<std::pair<int, int>> runs;
  for (int i = 0; i < static_cast<int>(line.size()); ++i) {
    if (!line[i]) continue;
    const int start = i;
    while (i + 1 < static_cast<int>(line.size()) && line[i + 1]) ++i;
    runs.push_back({start, i});
  }
  return runs;
}

TEST(PatternMaskTest, Ellipse45RowsAndStagger) {
  const int width = 600, height = 400;
  const PatternMaskOutcome out = Mask(Pattern("Ellipse", 2, 1, 45), width, height);
  ASSERT_TRUE(out.ok());
  auto ink = [&](int x, int y) { return out.mask[y * width + x] == 0; };

  // Bands of rows holding any shape.
  std::vector<bool> any_row(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width && !any_row[y]; ++x) any_row[y] = ink(x, y);
  }
  const auto bands = Runs(any_row);
  ASSERT_GE(bands.size(), 4u);
  const double row_pitch_px = 2.61 * kPxPerMm;  // (2 + 1) mm × 0.87
  for (std::size_t b = 1; b + 1 < bands.size(); ++b) {
    const double spacing =
        (bands[b].first + bands[b].second) / 2.0 - (bands[b - 1].first + bands[b - 1].second) / 2.0;
    EXPECT_NEAR(spacing, row_pitch_px, 1.0) << "band " << b;
  }

  // Centres of the shapes along the middle row of a band, leaving out cut-off ones.
  auto centres = [&](const std::pair<int, int>& band) {
    const int y = (band.first + band.second) / 2;
    std::vector<bool> line(width);
    for (int x = 0; x < width; ++x) line[x] = ink(x, y);
    std::vector<double> c;
    for (const auto& [first, last] : Runs(line)) {
      if (first > 0 && last < width - 1) c.push_back((first + last) / 2.0);
    }
    return c;
  };
  const std::vector<double> even = centres(bands[0]), odd = centres(bands[1]);
  ASSERT_FALSE(even.empty());
  ASSERT_FALSE(odd.empty());
  double shift = 1e9;
  for (double a : even) {
    for (double b : odd) {
      if (b > a) shift = std::min(shift, b - a);
    }
  }
  EXPECT_NEAR(shift, 1.5 * kPxPerMm, 1.0);
  // Every second row lines up with the first again.
  EXPECT_EQ(centres(bands[2]), even);
}

TEST(PatternMaskTest, OrientationMirrorThenFlipAndRotate) {
  // A lopsided library shape, so every turn shows.
  ShapeRecord shape;
  shape.name = "Wedge";
  shape.polygons.push_back({{{0, 0}, {1, 0.2f}, {0.1f, 1}}, kShapeBlack});
  const PatternSettings s = Pattern("Wedge", 2, 1, 45);
  const int w = 90, h = 70;
  const std::vector<std::uint8_t> plain = Mask(s, w, h, {}, &shape).mask;
  const std::vector<std::uint8_t> turned_frame = Mask(s, h, w, {}, &shape).mask;  // h wide
  ASSERT_EQ(plain.size(), static_cast<std::size_t>(w * h));
  auto at = [](const std::vector<std::uint8_t>& m, int width, int x, int y) {
    return m[y * width + x];
  };

  struct Case {
    PatternOrientation o;
    // The expected output pixel (x, y) of a w × h output.
    std::function<std::uint8_t(int, int)> expected;
  };
  // With Rotate the output is w × h too, drawn in the h-wide frame `turned_frame`.
  const Case cases[] = {
      {{true, false, false}, [&](int x, int y) { return at(plain, w, w - 1 - x, y); }},
      {{false, true, false}, [&](int x, int y) { return at(plain, w, w - 1 - x, h - 1 - y); }},
      {{true, true, false}, [&](int x, int y) { return at(plain, w, x, h - 1 - y); }},
      {{false, false, true}, [&](int x, int y) { return at(turned_frame, h, y, x); }},
      {{false, true, true},
       [&](int x, int y) { return at(turned_frame, h, h - 1 - y, w - 1 - x); }},
      {{true, false, true}, [&](int x, int y) { return at(turned_frame, h, h - 1 - y, x); }},
  };
  int index = 0;
  for (const Case& c : cases) {
    const PatternMaskOutcome out = Mask(s, w, h, c.o, &shape);
    ASSERT_EQ(out.width, w);
    ASSERT_EQ(out.height, h);
    int wrong = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) wrong += out.mask[y * w + x] != c.expected(x, y);
    }
    EXPECT_EQ(wrong, 0) << "case " << index;
    ++index;
  }
  EXPECT_NE(plain, Mask(s, w, h, {true, false, false}, &shape).mask);

  // A picture scanned at 150 dpi across and 300 dpi down: turned, its screen keeps the scale
  // of its own width, so it is the unturned screen turned.
  NullProgress progress;
  const double unturned_pt = h / 150.0 * 72;
  const std::vector<std::uint8_t> unturned =
      GeneratePatternMask(s, &shape, h, w, unturned_pt, {}, progress).mask;
  const std::vector<std::uint8_t> turned =
      GeneratePatternMask(s, &shape, w, h, unturned_pt, {false, false, true}, progress).mask;
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) wrong += turned[y * w + x] != at(unturned, h, y, x);
  }
  EXPECT_EQ(wrong, 0);
}

TEST(PatternMaskTest, LinesLibraryShapesAndInversion) {
  const int w = 120, h = 80;
  // Vertical lines: bars over the whole height below the first row, in the first row of
  // cells only; the columns between them stay background.
  const std::vector<std::uint8_t> bars = Mask(Pattern("Vertical Lines", 2, 1, 45), w, h).mask;
  int bar_columns = 0;
  for (int x = 0; x < w; ++x) {
    EXPECT_EQ(bars[x], 255);
    bool all = true, none = true;
    for (int y = 1; y < h; ++y) (bars[y * w + x] == 0 ? none : all) = false;
    EXPECT_TRUE(all || none) << x;
    bar_columns += all;
  }
  EXPECT_NEAR(static_cast<double>(bar_columns) / w, 24.0 / 35.0, 0.05);

  // A name the library does not hold draws nothing: everything is background.
  const PatternSettings missing = Pattern("NoSuchShape", 2, 1, 0);
  EXPECT_EQ(Share(Mask(missing, w, h).mask, 255), 1.0);

  // Polygons keep their own colour (the white one is a hole); inverted, all are white on
  // black, so the hole is gone.
  ShapeRecord ring;
  ring.name = "Ring";
  ring.polygons.push_back({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, kShapeBlack});
  ring.polygons.push_back({{{0.3f, 0.3f}, {0.7f, 0.3f}, {0.7f, 0.7f}, {0.3f, 0.7f}}, kShapeWhite});
  PatternSettings s = Pattern("Ring", 4, 1, 0);
  const std::vector<std::uint8_t> normal = Mask(s, w, h, {}, &ring).mask;
  s.inverted = true;
  const std::vector<std::uint8_t> inverted = Mask(s, w, h, {}, &ring).mask;
  // The first cell: drawn at canvas (1, 1), cut from column round(4 × 11.811 ÷ 2) = 24, so
  // its middle (23.6 pixels in) is at output column 1 + 23.6 - 23 and row 1 + 23.6.
  const int cx = 1 + 24 - 23, cy = 1 + 24;
  EXPECT_EQ(normal[cy * w + cx], 255);     // the hole
  EXPECT_EQ(normal[(1 + 3) * w + cx], 0);  // the ring, near the top
  EXPECT_EQ(inverted[cy * w + cx], 255);
  EXPECT_EQ(inverted[(1 + 3) * w + cx], 255);
  EXPECT_EQ(inverted[0], 0);

  // The library shape's own gap factor widens its rows.
  s.inverted = false;
  const double tight = Share(Mask(s, w, 4 * h, {}, &ring).mask, 255);
  ring.gap0 = 1.0f;
  EXPECT_GT(Share(Mask(s, w, 4 * h, {}, &ring).mask, 255), tight + 0.1);
}

TEST(PatternMaskTest, ShapeNamesAndBadInput) {
  EXPECT_EQ(ClassifyPatternShape("Ellipse"), PatternShapeKind::kEllipse);
  EXPECT_EQ(ClassifyPatternShape("My ELLIPSE star"), PatternShapeKind::kEllipse);
  EXPECT_EQ(ClassifyPatternShape("Rectangle"), PatternShapeKind::kRectangle);
  EXPECT_EQ(ClassifyPatternShape("Vertical Lines"), PatternShapeKind::kVerticalLines);
  EXPECT_EQ(ClassifyPatternShape("Horizontal Lines"), PatternShapeKind::kHorizontalLines);
  EXPECT_EQ(ClassifyPatternShape("Heart"), PatternShapeKind::kLibrary);
  EXPECT_NEAR(PatternPixelsPerMm(3000, 720), 300 / 25.4, 1e-9);

  EXPECT_FALSE(Mask(Pattern("Ellipse", 2, 1, 45), 0, 10).ok());
  EXPECT_FALSE(Mask(Pattern("Ellipse", 1e9, 1, 45), 10, 10).ok());
  EXPECT_FALSE(Mask(Pattern("Ellipse", -2, 1, 45), 10, 10).ok());
  // A negative gap overlaps the shapes; only a pitch of nothing or less is refused, and with
  // it a pitch of nothing at all (no size, no gap), which would never move on.
  const PatternMaskOutcome overlapping = Mask(Pattern("Rectangle", 2, -1, 0), 60, 40);
  ASSERT_TRUE(overlapping.ok()) << overlapping.error;
  EXPECT_GT(Share(overlapping.mask, 0), Share(Mask(Pattern("Rectangle", 2, 1, 0), 60, 40).mask, 0));
  for (const PatternSettings& s : {Pattern("Ellipse", 2, -2, 45), Pattern("Rectangle", 0, 0, 0),
                                   Pattern("Vertical Lines", 1, -3, 45)}) {
    const PatternMaskOutcome refused = Mask(s, 60, 40);
    EXPECT_FALSE(refused.ok()) << s.shape;
    EXPECT_EQ(refused.error, "The pattern's size or gap is not a usable number") << s.shape;
  }
  // A shape far larger than the picture: its pitch leaves room for no row, so nothing is
  // drawn (and the rows it would cover out there are never held).
  ShapeRecord far;
  far.name = "Far";
  far.polygons.push_back({{{0, 0}, {1, -1e30f}, {1, 1e30f}}, kShapeBlack});
  const PatternMaskOutcome far_out = Mask(Pattern("Far", 2, 1, 0), 60, 40, {}, &far);
  ASSERT_TRUE(far_out.ok());
  EXPECT_EQ(Share(far_out.mask, 255), 1.0);
  // A damaged record's gap factor that would stack the rows backwards is refused.
  far.polygons[0].points = {{0, 0}, {1, 0}, {0, 1}};
  far.gap0 = -3;
  EXPECT_FALSE(Mask(Pattern("Far", 2, 1, 0), 60, 40, {}, &far).ok());
}

TEST(PatternMaskTest, StoredSettingsAreRead) {
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  SettingsStore store(folders.folders(), notifier);
  EXPECT_EQ(ReadPatternSettings(store).shape, "Ellipse");
  store.WriteSetting("RIP Patten Setup", "Shape", "Rectangle");
  store.WriteSetting("RIP Patten Setup", "SizeX", "2");
  store.WriteSetting("RIP Patten Setup", "SizeY", "3.5");
  store.WriteSetting("RIP Patten Setup", "Gap", "1");
  store.WriteSetting("RIP Patten Setup", "Screen", "0");
  store.WriteSetting("RIP Patten Setup", "Mask", "1");
  const PatternSettings s = ReadPatternSettings(store);
  EXPECT_EQ(s.shape, "Rectangle");
  EXPECT_EQ(s.size_x_mm, 2);
  EXPECT_EQ(s.size_y_mm, 3.5);
  EXPECT_EQ(s.gap_mm, 1);
  EXPECT_EQ(s.screen_angle, 0);
  EXPECT_TRUE(s.inverted);
  store.WriteSetting("RIP Patten Setup", "Screen", "30");
  store.WriteSetting("RIP Patten Setup", "Mask", "0");
  EXPECT_EQ(ReadPatternSettings(store).screen_angle, 45);
  EXPECT_FALSE(ReadPatternSettings(store).inverted);
  store.WriteSetting("RIP Patten Setup", "Mask", "yes");  // anything but "0" inverts
  EXPECT_TRUE(ReadPatternSettings(store).inverted);

  // The stored set-up gives the same mask as the settings themselves.
  NullProgress progress;
  const PatternMaskOutcome stored = BuildStoredPatternMask(store, 100, 60, 24, {}, progress);
  ASSERT_TRUE(stored.ok());
  EXPECT_EQ(
      stored.mask,
      GeneratePatternMask(ReadPatternSettings(store), nullptr, 100, 60, 24, {}, progress).mask);
}

TEST(PatternMaskTest, SetupDialogRules) {
  PatternSettings s = Pattern("Ellipse", 0.5, -2, 30);
  s = NormalisePatternSettings(s);
  EXPECT_EQ(s.size_x_mm, 1);
  EXPECT_EQ(s.gap_mm, 1);
  EXPECT_EQ(s.screen_angle, 45);
  EXPECT_EQ(TypedPatternSize(12), 4);
  EXPECT_EQ(TypedPatternSize(0.2), 1);
  EXPECT_EQ(TypedPatternSize(7), 7);
  EXPECT_EQ(TypedPatternGap(7), 1);
  EXPECT_EQ(TypedPatternGap(1), 1);
  EXPECT_EQ(TypedPatternGap(2.5), 2.5);
  EXPECT_EQ(PatternSizeFromSlider(25), 3);
  EXPECT_EQ(PatternGapFromSlider(50), 3);
}

}  // namespace
}  // namespace kelvaro
