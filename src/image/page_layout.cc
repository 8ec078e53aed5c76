#include "image/page_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/length_units.h"
#include "platform/rounding.h"

namespace kelvaro {
namespace {

// Far beyond any page or canvas, small enough that sums and products of a few such values
// stay exact in 64 bits and in a double.
constexpr double kLimit = 1e15;

// RoundEven for values out of all proportion (damaged margins, absurd copy counts): they
// saturate instead of wrapping.
long long RoundEvenSaturated(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<long long>(RoundEvenAsDouble(std::clamp(value, -kLimit, kLimit)));
}
// Truncation toward zero, saturating the same way.
long long Fix(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<long long>(std::trunc(std::clamp(value, -kLimit, kLimit)));
}
// No canvas is larger; a copy larger than this has no layout.
constexpr long long kMaxCanvasPixels = std::numeric_limits<int>::max();

// A published value: whole points or pixels within the range of an int.
int ToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

// How many copies of `size` pixels with `gap` between them fit in `area`, at least one.
long long CopiesThatFit(long long area, long long size, long long gap) {
  long long n = area / size;
  // Start near the answer, so that a huge area is not counted down one copy at a time.
  if (gap > 0) n = std::min(n, (area + gap) / (size + gap) + 1);
  while (n > 1 && n * size + (n - 1) * gap >= area) --n;
  return std::max(n, 1LL);
}

}  // namespace

CanvasSize ComputeCanvasSize(int available_width, double page_width_pt, double page_height_pt) {
  CanvasSize canvas;
  if (page_width_pt <= 0 || page_height_pt <= 0) return canvas;
  const double aspect = page_width_pt / page_height_pt;
  canvas.height = ToInt(RoundEvenSaturated(1.414 * (available_width - 6)));
  canvas.width = ToInt(RoundEvenSaturated(canvas.height * aspect));
  if (available_width < canvas.width) {
    canvas.width = available_width - 6;
    canvas.height = ToInt(RoundEvenSaturated(canvas.width / aspect));
  }
  return canvas;
}

std::optional<PageLayout> ComputePageLayout(const PageLayoutInput& in) {
  if (in.canvas.width <= 0 || in.canvas.height <= 0 || in.page_width_pt <= 0 ||
      in.page_height_pt <= 0) {
    return std::nullopt;
  }
  const double sx = in.canvas.width / in.page_width_pt;    // canvas pixels per point across
  const double sy = in.canvas.height / in.page_height_pt;  // and down

  // One copy on the canvas. A picture narrower or lower than a canvas pixel still prints; only
  // the automatic tile, which divides by these sizes, has nothing to count with.
  const long long preview_width = Fix(in.canvas.width * in.image_width_pt / in.page_width_pt);
  const long long preview_height = Fix(in.canvas.height * in.image_height_pt / in.page_height_pt);
  if (preview_width < 0 || preview_height < 0 || preview_width > kMaxCanvasPixels ||
      preview_height > kMaxCanvasPixels) {
    return std::nullopt;
  }
  if (in.automatic_tile && (preview_width == 0 || preview_height == 0)) return std::nullopt;
  PageLayout out;
  out.preview_width = ToInt(preview_width);
  out.preview_height = ToInt(preview_height);

  // Stored margins are hundredths of a point; whole points first, then canvas pixels.
  const long long left = RoundEvenSaturated(static_cast<double>(in.margin_left / 100) * sx);
  const long long right = RoundEvenSaturated(static_cast<double>(in.margin_right / 100) * sx);
  const long long top = RoundEvenSaturated(static_cast<double>(in.margin_top / 100) * sy);
  const long long bottom = RoundEvenSaturated(static_cast<double>(in.margin_bottom / 100) * sy);
  const long long area_width = in.canvas.width - left - right;
  const long long area_height = in.canvas.height - top - bottom;
  const long long gap =
      std::min(Fix(kPointsPerMillimetreRounded * sx), kMaxCanvasPixels);  // 1 mm on the canvas

  long long nx = std::max(in.copies_across, 1);
  long long ny = std::max(in.copies_down, 1);
  if (in.automatic_tile) {
    nx = CopiesThatFit(area_width, preview_width, gap);
    ny = CopiesThatFit(area_height, preview_height, gap);
  }
  out.copies_across = ToInt(nx);
  out.copies_down = ToInt(ny);

  // In floating point: the copy counts may be far beyond what the page holds.
  const long long left_x = Fix(static_cast<double>(area_width) -
                               static_cast<double>(nx) * static_cast<double>(preview_width) -
                               static_cast<double>(nx - 1) * static_cast<double>(gap));
  const long long left_y = Fix(static_cast<double>(area_height) -
                               static_cast<double>(ny) * static_cast<double>(preview_height) -
                               static_cast<double>(ny - 1) * static_cast<double>(gap));

  long long origin_x = left;
  long long origin_y = top;
  long long gx = 0;
  long long gy = 0;
  const bool spread = nx + ny > 2;
  const int mode = spread ? 1 : in.placement_mode;
  if (mode <= 1 || mode > 9) {
    if (in.optimal_layout) {
      origin_x += Fix(left_x / 2.0);
      origin_y += Fix(left_y / 2.0);
      gx = gap;
      gy = gap;
    } else {
      const long long share_x = Fix(static_cast<double>(left_x) / static_cast<double>(nx + 1));
      const long long share_y = Fix(static_cast<double>(left_y) / static_cast<double>(ny + 1));
      origin_x += share_x;
      origin_y += share_y;
      if (nx > 1) gx = share_x + gap;
      if (ny > 1) gy = share_y + gap;
    }
  } else {
    // One copy placed by the 3 × 3 grid: column 0 left, 1 centre, 2 right; likewise rows.
    static constexpr int kColumn[10] = {1, 1, 1, 2, 0, 0, 2, 1, 2, 0};
    static constexpr int kRow[10] = {1, 1, 0, 0, 0, 1, 1, 2, 2, 2};
    origin_x += kColumn[mode] * Fix(left_x / 2.0);
    origin_y += kRow[mode] * Fix(left_y / 2.0);
  }

  out.canvas = in.canvas;
  out.origin_x_px = ToInt(origin_x);
  out.origin_y_px = ToInt(origin_y);
  out.gap_x_px = ToInt(gx);
  out.gap_y_px = ToInt(gy);
  out.margin_left_px = ToInt(left);
  out.margin_top_px = ToInt(top);
  out.margin_right_px = ToInt(right);
  out.margin_bottom_px = ToInt(bottom);
  out.gap_across_pt =
      ToInt(RoundEvenSaturated(in.page_width_pt * static_cast<double>(gx) / in.canvas.width));
  out.gap_down_pt =
      ToInt(RoundEvenSaturated(in.page_height_pt * static_cast<double>(gy) / in.canvas.height));
  out.offset_x_pt =
      ToInt(RoundEvenSaturated(in.page_width_pt * static_cast<double>(origin_x) / in.canvas.width));
  out.offset_y_pt = ToInt(
      RoundEvenSaturated(in.page_height_pt * static_cast<double>(origin_y) / in.canvas.height));
  return out;
}

}  // namespace kelvaro
