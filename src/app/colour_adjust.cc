#include "app/colour_adjust.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kelvaro {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kCurveColour = 0x000000;
// Samples of the curve while the window edits it; the table of a load uses 1001.
constexpr int kEditSteps = 500;

BezierControlPoints ControlPoints(const std::array<ToneCurvePoint, 4>& curve) {
  BezierControlPoints points;
  for (std::size_t i = 0; i < points.size(); ++i) points[i] = {curve[i].input, curve[i].output};
  return points;
}

}  // namespace

ColourAdjustModel::ColourAdjustModel(const ToneCurves& curves, const ToneCurveTable& table,
                                     Changed changed)
    : changed_(std::move(changed)),
      curves_(curves),
      table_(table),
      backup_curves_(curves),
      backup_table_(table),
      canvas_(kCanvasSize * kCanvasSize, kWhite) {
  Redraw();
}

int ColourAdjustModel::EditedCurve() const {
  return channel_ == Channel::kAll ? 0 : static_cast<int>(channel_) - 1;
}

void ColourAdjustModel::SelectChannel(Channel channel) {
  channel_ = channel;
  Redraw();
}

bool ColourAdjustModel::Press(int canvas_x, int canvas_y) {
  const std::array<ToneCurvePoint, 4>& curve = curves_.curves[EditedCurve()];
  for (int point = 1; point <= 3; ++point) {
    const int x = curve[point].input;
    const int y = 255 - curve[point].output;
    if (std::abs(canvas_x - x) <= 3 && std::abs(canvas_y - y) <= 3) {
      dragged_ = point;
      return true;
    }
  }
  return false;
}

void ColourAdjustModel::Drag(int canvas_x, int canvas_y) {
  if (dragged_ == 0) return;
  const ToneCurvePoint moved{std::clamp(canvas_x, 0, 255), 255 - std::clamp(canvas_y, 0, 255)};
  if (channel_ == Channel::kAll) {
    curves_.curves[0][dragged_] = moved;
    curves_.curves[1] = curves_.curves[0];
    curves_.curves[2] = curves_.curves[0];
  } else {
    curves_.curves[EditedCurve()][dragged_] = moved;
  }
  Redraw(true);
}

bool ColourAdjustModel::Release() {
  const bool ended = dragged_ != 0;
  dragged_ = 0;
  if (ended) Report();
  return ended;
}

void ColourAdjustModel::Accept() {
  for (auto& row : table_.levels) FillToneCurveGaps(row);
  Report();
}

void ColourAdjustModel::Cancel() {
  curves_ = backup_curves_;
  table_ = backup_table_;
  Report();
}

void ColourAdjustModel::Report() const {
  if (changed_) changed_(*this);
}

// Draws the edited curve. After a drag (`edited_now`) its table row is rebuilt from the same
// samples; with "All" the row goes into magenta and yellow too (entry 0 stays their own), as
// the drag gave them the cyan curve. Only a drag changes the table, so that opening the
// window or looking at another channel never changes what is printed.
void ColourAdjustModel::Redraw(bool edited_now) {
  std::fill(canvas_.begin(), canvas_.end(), kWhite);
  const int edited = EditedCurve();
  const std::array<ToneCurvePoint, 4>& curve = curves_.curves[edited];
  std::array<std::uint8_t, 256> row{};
  int pen_x = 255;
  int pen_y = 0;  // the curve point (255, 255)
  for (const BezierControlPoint& sample : SampleToneCurve(ControlPoints(curve), kEditSteps)) {
    DrawLine(pen_x, pen_y, sample.x, 255 - sample.y);
    pen_x = sample.x;
    pen_y = 255 - sample.y;
    if (sample.x >= 0 && sample.x <= 255) {
      row[sample.x] = static_cast<std::uint8_t>(std::clamp(sample.y, 0, 255));
    }
  }
  if (edited_now) {
    FillToneCurveGaps(row);
    table_.levels[edited] = row;
    if (channel_ == Channel::kAll) {
      std::copy(row.begin() + 1, row.end(), table_.levels[1].begin() + 1);
      std::copy(row.begin() + 1, row.end(), table_.levels[2].begin() + 1);
    }
  }
  for (int point = 1; point <= 3; ++point) {
    DrawPoint(curve[point].input, 255 - curve[point].output, kPointColours[point - 1]);
  }
}

void ColourAdjustModel::DrawLine(int x0, int y0, int x1, int y1) {
  // Bresenham; pixels off the canvas are skipped.
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  while (true) {
    if (x0 >= 0 && x0 < kCanvasSize && y0 >= 0 && y0 < kCanvasSize) {
      canvas_[y0 * kCanvasSize + x0] = kCurveColour;
    }
    if (x0 == x1 && y0 == y1) return;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

// A 7 × 7 box around the point, its corners left out so that it looks rounded.
void ColourAdjustModel::DrawPoint(int x, int y, std::uint32_t colour) {
  for (int dy = -3; dy <= 3; ++dy) {
    for (int dx = -3; dx <= 3; ++dx) {
      if (std::abs(dx) == 3 && std::abs(dy) == 3) continue;
      const int px = x + dx;
      const int py = y + dy;
      if (px >= 0 && px < kCanvasSize && py >= 0 && py < kCanvasSize) {
        canvas_[py * kCanvasSize + px] = colour;
      }
    }
  }
}

}  // namespace kelvaro
