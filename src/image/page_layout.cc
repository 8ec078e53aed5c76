#include "image/page_layout.h"

#include <algorithm>
#include <cmath>

namespace kelvaro {
namespace {

// Nearest whole number, ties to even (the current rounding mode is never changed here).
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }
// Truncation toward zero.
int Fix(double value) { return static_cast<int>(std::trunc(value)); }

// How many copies of `size` pixels with `gap` between them fit in `area`, at least one.
int CopiesThatFit(int area, int size, int gap) {
  int n = area / size;
  while (n > 1 && n * size + (n - 1) * gap >= area) --n;
  return std::max(n, 1);
}

}  // namespace

CanvasSize ComputeCanvasSize(int available_width, double page_width_pt, double page_height_pt) {
  CanvasSize canvas;
  if (page_width_pt <= 0 || page_height_pt <= 0) return canvas;
  const double aspect = page_width_pt / page_height_pt;
  canvas.height = RoundEven(1.414 * (available_width - 6));
  canvas.width = RoundEven(canvas.height * aspect);
  if (available_width < canvas.width) {
    canvas.width = available_width - 6;
    canvas.height = RoundEven(canvas.width / aspect);
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

  PageLayout out;
  out.preview_width = Fix(in.canvas.width * in.image_width_pt / in.page_width_pt);
  out.preview_height = Fix(in.canvas.height * in.image_height_pt / in.page_height_pt);
  if (out.preview_width <= 0 || out.preview_height <= 0) return std::nullopt;

  // Stored margins are hundredths of a point; whole points first, then canvas pixels.
  const int left = RoundEven((in.margin_left / 100) * sx);
  const int right = RoundEven((in.margin_right / 100) * sx);
  const int top = RoundEven((in.margin_top / 100) * sy);
  const int bottom = RoundEven((in.margin_bottom / 100) * sy);
  const int area_width = in.canvas.width - left - right;
  const int area_height = in.canvas.height - top - bottom;
  const int gap = Fix(2.835 * sx);  // 1 mm on the canvas

  int nx = std::max(in.copies_across, 1);
  int ny = std::max(in.copies_down, 1);
  if (in.automatic_tile) {
    nx = CopiesThatFit(area_width, out.preview_width, gap);
    ny = CopiesThatFit(area_height, out.preview_height, gap);
  }
  out.copies_across = nx;
  out.copies_down = ny;

  const int left_x = area_width - nx * out.preview_width - (nx - 1) * gap;
  const int left_y = area_height - ny * out.preview_height - (ny - 1) * gap;

  int origin_x = left;
  int origin_y = top;
  int gx = 0;
  int gy = 0;
  const bool spread = nx + ny > 2;
  const int mode = spread ? 1 : in.placement_mode;
  if (mode <= 1 || mode > 9) {
    if (in.optimal_layout) {
      origin_x += Fix(left_x / 2.0);
      origin_y += Fix(left_y / 2.0);
      gx = gap;
      gy = gap;
    } else {
      const int share_x = Fix(static_cast<double>(left_x) / (nx + 1));
      const int share_y = Fix(static_cast<double>(left_y) / (ny + 1));
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

  out.gap_across_pt = RoundEven(in.page_width_pt * gx / in.canvas.width);
  out.gap_down_pt = RoundEven(in.page_height_pt * gy / in.canvas.height);
  out.offset_x_pt = RoundEven(in.page_width_pt * origin_x / in.canvas.width);
  out.offset_y_pt = RoundEven(in.page_height_pt * origin_y / in.canvas.height);
  return out;
}

}  // namespace kelvaro
