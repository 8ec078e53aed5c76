#include "image/white_edge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "settings/job_settings.h"

namespace kelvaro {
namespace {

// The definition, pixel by pixel: the extreme over every offset of the ellipse, outside the
// plane counting as 0.
std::vector<std::uint8_t> Reference(const std::vector<std::uint8_t>& in, int width, int height,
                                    double rx, double ry, EdgeOperation op) {
  std::vector<std::uint8_t> out(in.size());
  const int ex = static_cast<int>(std::floor(rx));
  const int ey = static_cast<int>(std::floor(ry));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int best = op == EdgeOperation::kChoke ? 255 : 0;
      for (int dy = -ey; dy <= ey; ++dy) {
        for (int dx = -ex; dx <= ex; ++dx) {
          const double u = rx > 0 ? dx / rx : 0.0;
          const double v = ry > 0 ? dy / ry : 0.0;
          if (u * u + v * v > 1.0) continue;
          const int sx = x + dx;
          const int sy = y + dy;
          const bool inside = sx >= 0 && sx < width && sy >= 0 && sy < height;
          const int value = inside ? in[static_cast<std::size_t>(sy) * width + sx] : 0;
          best = op == EdgeOperation::kChoke ? std::min(best, value) : std::max(best, value);
        }
      }
      out[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(best);
    }
  }
  return out;
}

std::vector<std::uint8_t> Fast(std::vector<std::uint8_t> plane, int width, int height, double rx,
                               double ry, EdgeOperation op) {
  EXPECT_TRUE(
      ChokeOrSpreadPlane(PlaneView{plane.data(), width, height, std::size_t(width)}, rx, ry, op));
  return plane;
}

struct Radii {
  double x, y;
};

// Unequal, fractional and one-sided radii, and radii beyond the plane.
constexpr Radii kRadii[] = {{1, 1},   {2.5, 2.5}, {5.9, 2.1}, {1.2, 6.7},
                            {0, 3.4}, {4.3, 0},   {30, 3},    {3.2, 40}};

TEST(WhiteEdgeTest, RandomPlanesMatchTheDirectDefinition) {
  std::mt19937 random(21);
  for (const auto& [width, height] : {std::pair{23, 17}, std::pair{1, 9}, std::pair{12, 1}}) {
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(width) * height);
    for (std::uint8_t& v : plane) v = static_cast<std::uint8_t>(random() % 256);
    for (const Radii r : kRadii) {
      for (const EdgeOperation op : {EdgeOperation::kChoke, EdgeOperation::kSpread}) {
        EXPECT_EQ(Fast(plane, width, height, r.x, r.y, op),
                  Reference(plane, width, height, r.x, r.y, op))
            << width << "x" << height << " radii " << r.x << "," << r.y << " choke "
            << (op == EdgeOperation::kChoke);
      }
    }
  }
}

TEST(WhiteEdgeTest, TwoLevelPlanesMatchTheDirectDefinition) {
  // Blobs of one white level on nothing, touching the borders, as the separation makes them.
  const int width = 41;
  const int height = 29;
  std::mt19937 random(7);
  std::vector<std::uint8_t> plane(static_cast<std::size_t>(width) * height, 0);
  for (int blob = 0; blob < 6; ++blob) {
    const int cx = static_cast<int>(random() % width);
    const int cy = static_cast<int>(random() % height);
    const int r = 2 + static_cast<int>(random() % 7);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) plane[y * width + x] = 251;
      }
    }
  }
  for (const Radii r : kRadii) {
    for (const EdgeOperation op : {EdgeOperation::kChoke, EdgeOperation::kSpread}) {
      EXPECT_EQ(Fast(plane, width, height, r.x, r.y, op),
                Reference(plane, width, height, r.x, r.y, op))
          << "radii " << r.x << "," << r.y;
    }
  }
}

TEST(WhiteEdgeTest, AChokeWiderThanTheShapeRemovesIt) {
  std::vector<std::uint8_t> plane(20 * 20, 0);
  for (int y = 8; y < 12; ++y) {
    for (int x = 5; x < 15; ++x) plane[y * 20 + x] = 200;
  }
  const std::vector<std::uint8_t> choked = Fast(plane, 20, 20, 2.5, 2.5, EdgeOperation::kChoke);
  EXPECT_TRUE(std::all_of(choked.begin(), choked.end(), [](std::uint8_t v) { return v == 0; }));
}

TEST(WhiteEdgeTest, OnlyTheWhitePlaneOfTheLayoutChanges) {
  for (const TonerLayout layout : {TonerLayout::kWhiteLast, TonerLayout::kWhiteFirst}) {
    const int white = layout == TonerLayout::kWhiteFirst ? 1 : 4;
    SeparationSet set;
    set.width = 30;
    set.height = 20;
    set.bytes.assign(5u * 30 * 20, 0);
    for (int row = 0; row < 20; ++row) {
      for (int plane = 1; plane <= 5; ++plane) {
        std::uint8_t* bytes = set.bytes.data() + (row * 5 + plane - 1) * 30;
        for (int x = 10; x < 20; ++x) bytes[x] = static_cast<std::uint8_t>(40 * plane);
      }
    }
    const SeparationSet before = set;
    // 0.5 mm at 127 ppi across is 2.5 px; at 50.8 ppi down 1 px.
    ASSERT_TRUE(ApplyWhiteEdge(set, layout, -50, 127, 50.8));
    for (int row = 0; row < 20; ++row) {
      for (int plane = 1; plane <= 5; ++plane) {
        for (int x = 0; x < 30; ++x) {
          const int expected = plane != white       ? before.At(row, x, plane)
                               : (x >= 8 && x < 22) ? 40 * plane
                                                    : 0;
          ASSERT_EQ(set.At(row, x, plane), expected) << row << "," << x << " plane " << plane;
        }
      }
    }
    SeparationSet untouched = before;
    ASSERT_TRUE(ApplyWhiteEdge(untouched, layout, 0, 300, 300));
    EXPECT_EQ(untouched.bytes, before.bytes);
  }
}

TEST(WhiteEdgeTest, WidthsSnapToTheOfferedSteps) {
  EXPECT_EQ(SnapWhiteEdge(0.33), 35);
  EXPECT_EQ(SnapWhiteEdge(0.32), 30);
  EXPECT_EQ(SnapWhiteEdge(-0.12), -10);
  EXPECT_EQ(SnapWhiteEdge(1.7), 100);
  EXPECT_EQ(SnapWhiteEdge(-3), -100);
  EXPECT_EQ(SnapWhiteEdge(std::nan("")), 0);
  EXPECT_NEAR(EdgeRadiusPixels(50, 300), 5.906, 0.001);
}

TEST(WhiteEdgeTest, StoredTextReadsBackAsTheSameEdge) {
  EXPECT_EQ(FormatWhiteEdge(30), " 0.30");
  EXPECT_EQ(FormatWhiteEdge(-5), "-0.05");
  EXPECT_EQ(FormatWhiteEdge(100), " 1.00");
  for (int edge : {-100, -35, -5, 0, 5, 50, 100})
    EXPECT_EQ(ReadWhiteEdge(FormatWhiteEdge(edge)), edge);
  EXPECT_EQ(ReadWhiteEdge(""), 0);  // files from before the edge
  EXPECT_EQ(ReadWhiteEdge("junk"), 0);
  EXPECT_EQ(ReadWhiteEdge("7"), 100);
}

}  // namespace
}  // namespace kelvaro
