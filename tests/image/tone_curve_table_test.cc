#include "image/tone_curve_table.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kelvaro {
namespace {

// The stored default of every channel, "FFFDA5A557560000".
constexpr BezierControlPoints kDefaultCurve = {{{255, 253}, {165, 165}, {87, 86}, {0, 0}}};

TEST(ToneCurveTableTest, DefaultCurveEndsAndStaysNearIdentity) {
  const ToneCurveTable table = BuildToneCurveTable({kDefaultCurve, kDefaultCurve, kDefaultCurve});
  for (int channel = 0; channel < 3; ++channel) {
    SCOPED_TRACE(channel);
    const auto& levels = table.levels[channel];
    EXPECT_EQ(levels[0], 0);
    EXPECT_EQ(levels[255], 253);
    for (int x = 1; x < 256; ++x) {
      EXPECT_GE(levels[x], levels[x - 1]) << "level " << x;
      EXPECT_LE(std::abs(levels[x] - x), 4) << "level " << x;
    }
  }
}

TEST(ToneCurveTableTest, StoredCurvesGiveTheSameTable) {
  const ToneCurveTable from_points =
      BuildToneCurveTable({kDefaultCurve, kDefaultCurve, kDefaultCurve});
  EXPECT_EQ(BuildToneCurveTable(DefaultToneCurves()).levels, from_points.levels);
  // The white-first curves differ per channel; each channel follows its own stored curve.
  const ToneCurveTable white_first = BuildToneCurveTable(WhiteFirstToneCurves());
  EXPECT_NE(white_first.levels[kToneCyan], white_first.levels[kToneMagenta]);
  constexpr BezierControlPoints kWhiteFirstCyan = {{{255, 253}, {250, 181}, {132, 97}, {0, 0}}};
  EXPECT_EQ(white_first.levels[kToneCyan], BuildToneCurveChannel(kWhiteFirstCyan));
}

TEST(ToneCurveTableTest, StraightCurveStepsAndFillsFromBelow) {
  // The rounded construction moves in steps of about three levels near the ends; the levels
  // in between take the value of the level below.
  const BezierControlPoints straight = {{{255, 255}, {170, 170}, {85, 85}, {0, 0}}};
  const auto levels = BuildToneCurveChannel(straight);
  EXPECT_EQ(levels[0], 0);
  EXPECT_EQ(levels[1], 0);
  EXPECT_EQ(levels[2], 0);
  EXPECT_EQ(levels[3], 3);
  EXPECT_EQ(levels[4], 3);
  EXPECT_EQ(levels[5], 3);
  EXPECT_EQ(levels[255], 255);
  for (int x = 0; x < 256; ++x) EXPECT_LE(std::abs(levels[x] - x), 2) << "level " << x;
}

TEST(ToneCurveTableTest, ChannelsAreBuiltSeparately) {
  const BezierControlPoints lifted = {{{255, 255}, {170, 200}, {85, 120}, {0, 40}}};
  const ToneCurveTable table = BuildToneCurveTable({kDefaultCurve, lifted, kDefaultCurve});
  EXPECT_EQ(table.levels[kToneCyan], table.levels[kToneYellow]);
  EXPECT_EQ(table.levels[kToneMagenta][0], 40);
  EXPECT_EQ(table.levels[kToneMagenta][255], 255);
  EXPECT_GT(table.levels[kToneMagenta][128], table.levels[kToneCyan][128]);
  EXPECT_EQ(table.Map(kToneMagenta, 0), 40);
}

TEST(ToneCurveTableTest, LaterSamplesWinAndNothingFallsBelowTheStart) {
  // A curve that stays near 0 for the low inputs and rises steeply at the top. Its first
  // sample (t = 0) puts 255 at input 255, but later samples still land on 255 and win.
  const BezierControlPoints steep = {{{255, 255}, {128, 0}, {128, 0}, {0, 0}}};
  const auto levels = BuildToneCurveChannel(steep);
  EXPECT_EQ(levels[0], 0);
  EXPECT_EQ(levels[40], 0);
  EXPECT_EQ(levels[255], 252);
  for (int x = 1; x < 256; ++x) EXPECT_GE(levels[x], levels[x - 1]) << x;
  // A curve that starts high: the first level is 60 and a sample of 0 cannot appear above,
  // so nothing falls back to 0.
  const BezierControlPoints high = {{{255, 255}, {200, 200}, {40, 100}, {0, 60}}};
  const auto high_levels = BuildToneCurveChannel(high);
  EXPECT_EQ(high_levels[0], 60);
  for (int x = 1; x < 256; ++x) EXPECT_GE(high_levels[x], 60) << x;
}

TEST(ToneCurveTableTest, PointsOutsideTheRangeStayInside) {
  // Outputs above the range are clamped to full toner.
  const BezierControlPoints too_high = {{{255, 300}, {170, 400}, {85, 300}, {0, 300}}};
  for (std::uint8_t level : BuildToneCurveChannel(too_high)) EXPECT_EQ(level, 255);
  // Samples off the input range are dropped; nothing lands, so the table stays empty.
  const BezierControlPoints off_range = {{{300, 100}, {310, 100}, {400, 100}, {256, 100}}};
  for (std::uint8_t level : BuildToneCurveChannel(off_range)) EXPECT_EQ(level, 0);
}

}  // namespace
}  // namespace kelvaro
