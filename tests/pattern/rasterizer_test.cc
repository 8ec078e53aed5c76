#include "pattern/rasterizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvaro {
namespace {

// The canvas as text, '#' for `ink`, '.' for 255, the digit of anything else / 10.
std::string Picture(const Canvas& c) {
  std::string text;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      const int v = c.At(x, y);
      text += v == 0 ? '#' : v == 255 ? '.' : static_cast<char>('0' + v / 10 % 10);
    }
    text += '\n';
  }
  return text;
}

int Count(const Canvas& c, std::uint8_t value) {
  int n = 0;
  for (std::uint8_t v : c.pixels) n += v == value;
  return n;
}

TEST(RasterizerTest, BoxCoversPixelCentresInsideNoAntialiasing) {
  Canvas c(8, 5, 255);
  FillBox(c, 1, 1, 4.4, 3.6, 0);  // columns 1..3 (centre 3.5 < 4.4), rows 1..3 (3.5 < 3.6)
  FillBox(c, 6.5, 0, 7.5, 1, 0);  // centre 6.5 is on the left edge: included; 7.5 is not
  EXPECT_EQ(Picture(c),
            "......#.\n"
            ".###....\n"
            ".###....\n"
            ".###....\n"
            "........\n");
  FillBox(c, -5, -5, 100, 100, 7);  // clipped, fills all
  EXPECT_EQ(Count(c, 7), 40);
}

TEST(RasterizerTest, EllipseIsSymmetricAndAboutItsArea) {
  Canvas small(7, 5, 255);
  FillEllipse(small, 0, 0, 7, 5, 0);
  EXPECT_EQ(Picture(small),
            ".#####.\n"
            "#######\n"
            "#######\n"
            "#######\n"
            ".#####.\n");
  Canvas big(200, 120, 255);
  FillEllipse(big, 0, 0, 200, 120, 0);
  const double area = 3.14159265 * 100 * 60;
  EXPECT_NEAR(Count(big, 0), area, area * 0.01);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 200; ++x) ASSERT_EQ(big.At(x, y), big.At(199 - x, 119 - y));
  }
  Canvas none(4, 4, 255);
  FillEllipse(none, 1, 1, 1, 3, 0);  // no width
  EXPECT_EQ(Count(none, 0), 0);
}

TEST(RasterizerTest, PolygonEvenOddLeavesTheInnerRingOpen) {
  // A square with a smaller square inside, drawn as one path in the same direction: even-odd
  // leaves the inner square unfilled (non-zero winding would fill it).
  const std::vector<PointD> path = {{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0},
                                    {2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}};
  Canvas c(6, 6, 255);
  FillPolygon(c, path, 0);
  EXPECT_EQ(Picture(c),
            "######\n"
            "######\n"
            "##..##\n"
            "##..##\n"
            "######\n"
            "######\n");
  const std::vector<PointD> triangle = {{0, 0}, {4, 0}, {0, 4}};
  Canvas t(4, 4, 255);
  FillPolygon(t, triangle, 0);
  EXPECT_EQ(Picture(t),
            "###.\n"
            "##..\n"
            "#...\n"
            "....\n");
  const std::vector<PointD> two = {{0, 0}, {4, 4}};
  FillPolygon(t, two, 9);
  EXPECT_EQ(Count(t, 9), 0);
}

TEST(RasterizerTest, StampDrawsLaterPolygonsOverEarlierInTheirOwnValue) {
  // A black square with a white square on top: the white one makes a hole; pixels no
  // polygon touched keep the canvas.
  const std::vector<PointD> outer = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  const std::vector<PointD> inner = {{1, 1}, {3, 1}, {3, 3}, {1, 3}};
  Stamp stamp;
  stamp.AddPolygon(outer, 0);
  stamp.AddPolygon(inner, 255);
  Canvas c(7, 6, 50);
  stamp.Draw(c, 2, 1);
  stamp.Draw(c, 5, 4);  // partly off the canvas
  EXPECT_EQ(Picture(c),
            "5555555\n"
            "55####5\n"
            "55#..#5\n"
            "55#..#5\n"
            "55#####\n"
            "55555#.\n");
  // A stamp keeps what lies within its reach only, so a shape of astronomic size costs no
  // more than the canvas it goes on.
  Stamp huge(100);
  const std::vector<PointD> vast = {{-1e30, -1e30}, {1e30, -1e30}, {0, 1e30}};
  huge.AddPolygon(vast, 3);
  huge.AddBox(-1e30, 5, 1e30, 6, 4);
  Canvas all(50, 40, 255);
  huge.Draw(all, 10, 10);
  EXPECT_EQ(Count(all, 3), 50 * 40 - 50);
  EXPECT_EQ(Count(all, 4), 50);
  // A stamp moved by whole pixels covers what drawing in place covers.
  Canvas direct(40, 30, 255), stamped(40, 30, 255);
  FillEllipse(direct, 13, 7, 13 + 23.6, 7 + 17.3, 0);
  Stamp ellipse;
  ellipse.AddEllipse(0, 0, 23.6, 17.3, 0);
  ellipse.Draw(stamped, 13, 7);
  EXPECT_EQ(direct.pixels, stamped.pixels);
}

}  // namespace
}  // namespace kelvaro
