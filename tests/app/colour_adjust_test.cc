#include "app/colour_adjust.h"

#include <gtest/gtest.h>

#include "app/job_parameters.h"
#include "app/main_window_model.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

using Channel = ColourAdjustModel::Channel;

// Canvas pixel of curve point `point` (1..3) of `curve`.
std::pair<int, int> PixelOf(const ColourAdjustModel& model, int curve, int point) {
  const ToneCurvePoint p = model.curves().curves[curve][point];
  return {p.input, 255 - p.output};
}

TEST(ColourAdjustTest, PointsArePickedWithinTheirBoxOnly) {
  ColourAdjustModel model(DefaultToneCurves(), BuildToneCurveTable(DefaultToneCurves()));
  const auto [x, y] = PixelOf(model, 0, 2);  // P2 at (87, 86): pixel (87, 169)
  EXPECT_EQ(model.canvas()[y * ColourAdjustModel::kCanvasSize + x], 0xE60000u);
  EXPECT_FALSE(model.Press(x + 4, y));  // beside the box
  EXPECT_FALSE(model.Press(200, 20));   // the background
  EXPECT_FALSE(model.Release());
  EXPECT_TRUE(model.Press(x + 3, y - 3));
  EXPECT_EQ(model.dragged_point(), 2);
  // Beyond the canvas the point stops at its edge.
  model.Drag(-40, 400);
  EXPECT_EQ(model.curves().curves[0][2], (ToneCurvePoint{0, 0}));
  model.Drag(300, -9);
  EXPECT_EQ(model.curves().curves[0][2], (ToneCurvePoint{255, 255}));
  EXPECT_TRUE(model.Release());
}

TEST(ColourAdjustTest, AllCopiesTheCyanCurveOverCurvesEditedApart) {
  ColourAdjustModel model(DefaultToneCurves(), BuildToneCurveTable(DefaultToneCurves()));
  model.SelectChannel(Channel::kMagenta);
  auto [x, y] = PixelOf(model, 1, 1);
  ASSERT_TRUE(model.Press(x, y));
  model.Drag(x, y - 40);
  model.Release();
  EXPECT_NE(model.curves().curves[1], model.curves().curves[0]);

  model.SelectChannel(Channel::kAll);
  std::tie(x, y) = PixelOf(model, 0, 2);
  ASSERT_TRUE(model.Press(x, y));
  model.Drag(x + 10, y - 30);
  model.Release();
  EXPECT_EQ(model.curves().curves[1], model.curves().curves[0]);
  EXPECT_EQ(model.curves().curves[2], model.curves().curves[0]);
  // The table's magenta and yellow rows follow cyan but for entry 0.
  for (int level = 1; level < 256; ++level) {
    EXPECT_EQ(model.table().levels[1][level], model.table().levels[0][level]) << level;
  }
}

// Only a drag changes the table: opening the window (on "All"), looking at every channel and
// OK print as before, and a magenta edit survives a look at "All".
TEST(ColourAdjustTest, LookingChangesNothingThatPrints) {
  const ToneCurves curves = WhiteFirstToneCurves();
  const ToneCurveTable table = BuildToneCurveTable(curves);
  ColourAdjustModel model(curves, table);
  for (Channel ch : {Channel::kCyan, Channel::kMagenta, Channel::kYellow, Channel::kAll}) {
    model.SelectChannel(ch);
  }
  model.Accept();
  EXPECT_EQ(model.table().levels, table.levels);

  model.SelectChannel(Channel::kMagenta);
  const auto [x, y] = PixelOf(model, 1, 2);
  ASSERT_TRUE(model.Press(x, y));
  model.Drag(x, y - 40);
  model.Release();
  const auto magenta = model.table().levels[1];
  EXPECT_NE(magenta, table.levels[1]);
  model.SelectChannel(Channel::kAll);
  model.Accept();
  EXPECT_EQ(model.table().levels[1], magenta);
  EXPECT_EQ(model.table().levels[0], table.levels[0]);
}

TEST(ColourAdjustTest, CancelAfterDragsRestoresCurvesAndTableExactly) {
  const ToneCurves curves = WhiteFirstToneCurves();
  const ToneCurveTable table = BuildToneCurveTable(curves);
  ColourAdjustModel model(curves, table);
  for (int point = 1; point <= 3; ++point) {
    const auto [x, y] = PixelOf(model, 0, point);
    ASSERT_TRUE(model.Press(x, y)) << point;
    model.Drag(x + 5, y - 20);
    model.Release();
  }
  EXPECT_NE(model.curves(), curves);
  model.Cancel();
  EXPECT_EQ(model.curves(), curves);
  EXPECT_EQ(model.table().levels, table.levels);
}

// After OK the window's job parameters carry the edited table: raising P2 of cyan raises
// the cyan output of the middle levels and leaves magenta as the opened window drew it.
TEST(ColourAdjustTest, AcceptedCurvesReachTheJobParameters) {
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  SettingsStore store(folders.folders(), notifier);
  UiText texts;
  LoadDefaultTexts(texts);
  MainWindowModel window(store, texts);
  const ToneCurveTable before = GatherJobParameters(window).tone_table;

  ColourAdjustModel adjust(window.state().curves, window.state().tone_table);
  const ToneCurveTable opened = adjust.table();
  adjust.SelectChannel(Channel::kCyan);
  const auto [x, y] = PixelOf(adjust, 0, 2);
  ASSERT_TRUE(adjust.Press(x, y));
  adjust.Drag(x, y - 60);
  adjust.Release();
  adjust.Accept();
  window.SetToneCurves(adjust.curves(), adjust.table());

  const ToneCurveTable after = GatherJobParameters(window).tone_table;
  EXPECT_GT(after.levels[0][128], before.levels[0][128] + 20);
  EXPECT_EQ(after.levels[1], opened.levels[1]);
}

}  // namespace
}  // namespace kelvaro
