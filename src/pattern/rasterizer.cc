#include "pattern/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace kelvaro {
namespace {

// Coordinates far outside any surface are held here, so that converting them to whole
// pixels stays defined; nothing that far out is ever visible.
constexpr double kFarOut = 1e12;

double Tame(double v) {
  if (std::isnan(v)) return -kFarOut;
  return std::clamp(v, -kFarOut, kFarOut);
}

// The first whole pixel whose centre is at or after `edge`.
std::int64_t FirstCentreFrom(double edge) {
  return static_cast<std::int64_t>(std::ceil(Tame(edge) - 0.5));
}

// Calls emit(row, begin, end) for the columns [begin, end) of each row a box covers.
// Only the rows [rows.first, rows.second) are visited: a shape may reach far beyond what can
// ever be seen, and its rows there are not worth a thought.
using RowRange = std::pair<std::int64_t, std::int64_t>;

template <typename Emit>
void ScanBox(double left, double top, double right, double bottom, RowRange rows, Emit emit) {
  const std::int64_t x0 = FirstCentreFrom(left), x1 = FirstCentreFrom(right);
  const std::int64_t y0 = std::max(FirstCentreFrom(top), rows.first);
  const std::int64_t y1 = std::min(FirstCentreFrom(bottom), rows.second);
  if (x0 >= x1) return;
  for (std::int64_t row = y0; row < y1; ++row) emit(row, x0, x1);
}

template <typename Emit>
void ScanEllipse(double left, double top, double right, double bottom, RowRange rows, Emit emit) {
  const double rx = (right - left) / 2, ry = (bottom - top) / 2;
  if (!(rx > 0) || !(ry > 0)) return;
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const std::int64_t y0 = std::max(FirstCentreFrom(top), rows.first);
  const std::int64_t y1 = std::min(FirstCentreFrom(bottom), rows.second);
  for (std::int64_t row = y0; row < y1; ++row) {
    const double dy = (static_cast<double>(row) + 0.5 - cy) / ry;
    if (!(std::fabs(dy) < 1)) continue;
    const double half = rx * std::sqrt(1 - dy * dy);
    const std::int64_t x0 = FirstCentreFrom(cx - half), x1 = FirstCentreFrom(cx + half);
    if (x0 < x1) emit(row, x0, x1);
  }
}

// Even-odd scan conversion: on each row the crossings of the edges with the line through
// the pixel centres, sorted, taken in pairs. An edge counts from its upper end (included) to
// its lower end (excluded), so a vertex shared by two edges is counted once.
template <typename Emit>
void ScanPolygon(std::span<const PointD> points, RowRange rows, Emit emit) {
  if (points.size() < 3) return;
  double min_y = Tame(points[0].y), max_y = min_y;
  for (const PointD& p : points) {
    min_y = std::min(min_y, Tame(p.y));
    max_y = std::max(max_y, Tame(p.y));
  }
  const std::int64_t y0 = std::max(FirstCentreFrom(min_y), rows.first);
  const std::int64_t y1 = std::min(FirstCentreFrom(max_y), rows.second);
  std::vector<double> crossings;
  for (std::int64_t row = y0; row < y1; ++row) {
    const double yc = static_cast<double>(row) + 0.5;
    crossings.clear();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const PointD a{Tame(points[i].x), Tame(points[i].y)};
      const PointD& next = points[(i + 1) % points.size()];
      const PointD b{Tame(next.x), Tame(next.y)};
      if ((a.y <= yc) == (b.y <= yc)) continue;
      crossings.push_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const std::int64_t x0 = FirstCentreFrom(crossings[k]);
      const std::int64_t x1 = FirstCentreFrom(crossings[k + 1]);
      if (x0 < x1) emit(row, x0, x1);
    }
  }
}

// Writes `value` into the part of [begin, end) of `row` that lies on the canvas.
void FillRun(Canvas& canvas, std::int64_t row, std::int64_t begin, std::int64_t end,
             std::uint8_t value) {
  if (row < 0 || row >= canvas.height) return;
  begin = std::max<std::int64_t>(begin, 0);
  end = std::min<std::int64_t>(end, canvas.width);
  if (begin >= end) return;
  std::memset(canvas.pixels.data() + static_cast<std::size_t>(row) * canvas.width + begin, value,
              static_cast<std::size_t>(end - begin));
}

}  // namespace

void FillBox(Canvas& canvas, double left, double top, double right, double bottom,
             std::uint8_t value) {
  ScanBox(left, top, right, bottom, {0, canvas.height},
          [&](std::int64_t r, std::int64_t b, std::int64_t e) { FillRun(canvas, r, b, e, value); });
}

void FillEllipse(Canvas& canvas, double left, double top, double right, double bottom,
                 std::uint8_t value) {
  ScanEllipse(
      left, top, right, bottom, {0, canvas.height},
      [&](std::int64_t r, std::int64_t b, std::int64_t e) { FillRun(canvas, r, b, e, value); });
}

void FillPolygon(Canvas& canvas, std::span<const PointD> points, std::uint8_t value) {
  ScanPolygon(points, {0, canvas.height}, [&](std::int64_t r, std::int64_t b, std::int64_t e) {
    FillRun(canvas, r, b, e, value);
  });
}

void Stamp::Add(std::int64_t row, std::int64_t begin, std::int64_t end, std::uint8_t value) {
  begin = std::max(begin, -reach_);
  end = std::min(end, reach_);
  if (begin >= end) return;
  std::vector<Run>& runs = runs_[row];
  std::vector<Run> merged;
  merged.reserve(runs.size() + 2);
  for (const Run& run : runs) {
    // What the new run covers of an older one is replaced.
    if (run.end <= begin || run.begin >= end) {
      merged.push_back(run);
      continue;
    }
    if (run.begin < begin) merged.push_back({run.begin, begin, run.value});
    if (run.end > end) merged.push_back({end, run.end, run.value});
  }
  merged.push_back({begin, end, value});
  std::sort(merged.begin(), merged.end(),
            [](const Run& a, const Run& b) { return a.begin < b.begin; });
  runs = std::move(merged);
}

void Stamp::AddBox(double left, double top, double right, double bottom, std::uint8_t value) {
  ScanBox(left, top, right, bottom, {-reach_, reach_},
          [&](std::int64_t r, std::int64_t b, std::int64_t e) { Add(r, b, e, value); });
}

void Stamp::AddEllipse(double left, double top, double right, double bottom, std::uint8_t value) {
  ScanEllipse(left, top, right, bottom, {-reach_, reach_},
              [&](std::int64_t r, std::int64_t b, std::int64_t e) { Add(r, b, e, value); });
}

void Stamp::AddPolygon(std::span<const PointD> points, std::uint8_t value) {
  // Even-odd within one polygon: its own spans never overlap each other, so adding them one
  // by one is the same as filling them at once.
  ScanPolygon(points, {-reach_, reach_},
              [&](std::int64_t r, std::int64_t b, std::int64_t e) { Add(r, b, e, value); });
}

void Stamp::Draw(Canvas& canvas, std::int64_t x, std::int64_t y) const {
  for (const auto& [row, runs] : runs_) {
    for (const Run& run : runs) FillRun(canvas, row + y, run.begin + x, run.end + x, run.value);
  }
}

}  // namespace kelvaro
