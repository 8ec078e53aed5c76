#include "image/tone_curve_table.h"

#include <cmath>

#include "platform/rounding.h"

namespace kelvaro {
namespace {

struct Point {
  int x;
  int y;
};

// Rounds to the nearest whole level, halves to the even neighbour (the default FP mode).

// The curve editor works in whole levels, so each interpolation is rounded at once; the
// parameter is single precision like the rest of the curve arithmetic.
Point Lerp(Point a, Point b, float t) {
  return {RoundEven(static_cast<float>(a.x) + t * static_cast<float>(b.x - a.x)),
          RoundEven(static_cast<float>(a.y) + t * static_cast<float>(b.y - a.y))};
}

}  // namespace

ToneCurveTable IdentityToneCurveTable() {
  ToneCurveTable table;
  for (auto& channel : table.levels) {
    for (int level = 0; level < 256; ++level) channel[level] = static_cast<std::uint8_t>(level);
  }
  return table;
}

std::vector<BezierControlPoint> SampleToneCurve(const BezierControlPoints& points, int steps) {
  const Point p0{points[0].x, points[0].y};
  const Point p1{points[1].x, points[1].y};
  const Point p2{points[2].x, points[2].y};
  const Point p3{points[3].x, points[3].y};
  std::vector<BezierControlPoint> samples;
  samples.reserve(static_cast<std::size_t>(steps) + 1);
  for (int i = 0; i <= steps; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    const Point q0 = Lerp(p0, p1, t);
    const Point q1 = Lerp(p1, p2, t);
    const Point q2 = Lerp(p2, p3, t);
    const Point r0 = Lerp(q0, q1, t);
    const Point r1 = Lerp(q1, q2, t);
    const Point s = Lerp(r0, r1, t);
    samples.push_back({s.x, s.y});
  }
  return samples;
}

void FillToneCurveGaps(std::array<std::uint8_t, 256>& levels) {
  for (int x = 1; x < 256; ++x) {
    if (levels[x] == 0) levels[x] = levels[x - 1];
  }
}

std::array<std::uint8_t, 256> BuildToneCurveChannel(const BezierControlPoints& points, int steps) {
  std::array<std::uint8_t, 256> entries{};
  for (const BezierControlPoint& s : SampleToneCurve(points, steps)) {
    if (s.x < 0 || s.x > 255) continue;
    entries[s.x] = static_cast<std::uint8_t>(s.y < 0 ? 0 : (s.y > 255 ? 255 : s.y));
  }
  FillToneCurveGaps(entries);
  return entries;
}

ToneCurveTable BuildToneCurveTable(const std::array<BezierControlPoints, 3>& curves) {
  ToneCurveTable table;
  for (int channel = 0; channel < 3; ++channel) {
    table.levels[channel] = BuildToneCurveChannel(curves[channel]);
  }
  return table;
}

ToneCurveTable BuildToneCurveTable(const ToneCurves& curves) {
  std::array<BezierControlPoints, 3> points;
  for (std::size_t channel = 0; channel < points.size(); ++channel) {
    for (std::size_t i = 0; i < points[channel].size(); ++i) {
      const ToneCurvePoint& point = curves.curves[channel][i];
      points[channel][i] = BezierControlPoint{point.input, point.output};
    }
  }
  return BuildToneCurveTable(points);
}

}  // namespace kelvaro
