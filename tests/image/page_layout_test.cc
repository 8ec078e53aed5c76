#include "image/page_layout.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

// A4 in the default 310-pixel preview area: a 304 × 430 canvas. With the default margins
// (1296, 1296, 1296, 1307) the printable canvas area is 292 × 417 and the 1 mm gap is 1 pixel.
PageLayoutInput A4Input() {
  PageLayoutInput in;
  in.canvas = ComputeCanvasSize(310, 595, 842);
  in.page_width_pt = 595;
  in.page_height_pt = 842;
  in.margin_top = 1296;
  in.margin_left = 1296;
  in.margin_right = 1296;
  in.margin_bottom = 1307;
  in.image_width_pt = 200;  // 102 × 51 canvas pixels
  in.image_height_pt = 100;
  return in;
}

TEST(PageLayoutTest, CanvasKeepsThePageAspect) {
  CanvasSize a4 = ComputeCanvasSize(310, 595, 842);
  EXPECT_EQ(a4.width, 304);
  EXPECT_EQ(a4.height, 430);
  // A landscape page is wider than the area allows: the width is fitted instead.
  CanvasSize wide = ComputeCanvasSize(310, 842, 595);
  EXPECT_EQ(wide.width, 304);
  EXPECT_EQ(wide.height, 215);
}

TEST(PageLayoutTest, SpreadCopiesShareTheLeftoverSpace) {
  PageLayoutInput in = A4Input();
  in.copies_across = 2;
  in.copies_down = 2;
  auto layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->preview_width, 102);
  EXPECT_EQ(layout->preview_height, 51);
  // Across: leftover 87 px in three shares of 29; gap 29 + 1. Down: 314 px, shares of 104.
  EXPECT_EQ(layout->offset_x_pt, 69);   // 595 × 35 / 304 = 68.50
  EXPECT_EQ(layout->offset_y_pt, 215);  // 842 × 110 / 430 = 215.40
  EXPECT_EQ(layout->gap_across_pt, 59);
  EXPECT_EQ(layout->gap_down_pt, 206);
}

TEST(PageLayoutTest, OptimalLayoutCentresTheBlockWithMillimetreGaps) {
  PageLayoutInput in = A4Input();
  in.copies_across = 2;
  in.copies_down = 2;
  in.optimal_layout = true;
  auto layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->offset_x_pt, 96);   // origin 6 + 43 = 49 px
  EXPECT_EQ(layout->offset_y_pt, 319);  // origin 6 + 157 = 163 px: 319.18
  EXPECT_EQ(layout->gap_across_pt, 2);
  EXPECT_EQ(layout->gap_down_pt, 2);
}

TEST(PageLayoutTest, SingleCopyFollowsThePlacementGrid) {
  struct Case {
    int mode;
    int x;
    int y;
  } cases[] = {
      {4, 12, 12},    // top left: the margins themselves
      {8, 384, 728},  // bottom right: 6 + 2 × 95 px, 6 + 2 × 183 px
      {2, 198, 12},   // top centre: 6 + 95 px across
      {0, 198, 370},  // no choice yet: shares like a spread, half each way for one copy
  };
  for (const Case& c : cases) {
    PageLayoutInput in = A4Input();
    in.placement_mode = c.mode;
    auto layout = ComputePageLayout(in);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->offset_x_pt, c.x) << "mode " << c.mode;
    EXPECT_EQ(layout->offset_y_pt, c.y) << "mode " << c.mode;
    EXPECT_EQ(layout->gap_across_pt, 0);
  }
}

TEST(PageLayoutTest, AutomaticTileFillsTheAreaAndCountsAtLeastOne) {
  PageLayoutInput in = A4Input();
  in.automatic_tile = true;
  in.copies_across = 7;  // ignored while tiling automatically
  auto layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->copies_across, 2);
  EXPECT_EQ(layout->copies_down, 8);

  in.image_width_pt = 400;  // wider than half the printable width: one copy across
  layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->copies_across, 1);

  in.image_width_pt = 900;  // wider than the page: still one
  layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->copies_across, 1);
}

TEST(PageLayoutTest, CountsBelowOneCountAsOne) {
  PageLayoutInput in = A4Input();
  in.copies_across = 0;  // a cleared copy field counts as one copy
  auto layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->copies_across, 1);
}

// A thin rule or a one-pixel picture is narrower than a canvas pixel: it still has a place on
// the page (centred, like any single copy). Only the automatic tile cannot count with it.
TEST(PageLayoutTest, PictureBelowOneCanvasPixelIsStillPlaced) {
  PageLayoutInput in = A4Input();
  in.image_width_pt = 0.5;
  auto layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->preview_width, 0);
  EXPECT_EQ(layout->copies_across, 1);
  // Across: the whole 292-pixel area is left over, half of it before the copy: 6 + 146 px.
  EXPECT_EQ(layout->offset_x_pt, 298);  // 595 × 152 / 304 = 297.5, to even
  EXPECT_EQ(layout->offset_y_pt, 370);  // as for the 200 × 100 picture: its height is kept
  in.automatic_tile = true;
  EXPECT_FALSE(ComputePageLayout(in));
}

// Copy counts and margins far beyond the page give a grid far off the page, never a value
// that wrapped around to land somewhere on it.
TEST(PageLayoutTest, AbsurdCountsAndMarginsDoNotWrapAround) {
  PageLayoutInput in = A4Input();
  in.canvas = ComputeCanvasSize(10000, 595, 842);
  in.image_width_pt = 595;  // as wide as the page: a copy is the whole canvas width
  in.copies_across = 1000000;
  auto layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->copies_across, 1000000);
  // The leftover is about a copy and a gap less per copy: the copies overlap, the grid starts
  // about one copy width left of the page.
  EXPECT_LT(layout->gap_across_pt, -590);
  EXPECT_GT(layout->gap_across_pt, -600);
  EXPECT_LT(layout->offset_x_pt, -570);
  EXPECT_GT(layout->offset_x_pt, -600);

  in = A4Input();
  in.margin_left = -1000000000000000;  // a damaged settings file
  layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_LT(layout->offset_x_pt, 0);
  in.margin_left = 1000000000000000;
  layout = ComputePageLayout(in);
  ASSERT_TRUE(layout);
  EXPECT_GT(layout->offset_x_pt, 595);
}

}  // namespace
}  // namespace kelvaro
