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

// The printable area's margins on the canvas, in canvas pixels.
struct CanvasMargins {
  long long left = 0;
  long long right = 0;
  long long top = 0;
  long long bottom = 0;
};

// Stored margins are hundredths of a point; whole points first, then canvas pixels at `sx`
// and `sy` pixels per point across and down.
CanvasMargins MarginsOnCanvas(const PageLayoutInput& in, double sx, double sy) {
  CanvasMargins m;
  m.left = RoundEvenSaturated(static_cast<double>(in.margin_left / 100) * sx);
  m.right = RoundEvenSaturated(static_cast<double>(in.margin_right / 100) * sx);
  m.top = RoundEvenSaturated(static_cast<double>(in.margin_top / 100) * sy);
  m.bottom = RoundEvenSaturated(static_cast<double>(in.margin_bottom / 100) * sy);
  return m;
}

// The copies on the canvas, in canvas pixels: how many across and down, one copy's size and
// the least gap between copies.
struct CopyGrid {
  long long across = 1;
  long long down = 1;
  long long width = 0;
  long long height = 0;
  long long gap = 0;
};

// The room `count` copies of `size` with `gap` between them leave in `area`. In floating
// point: the copy counts may be far beyond what the page holds.
long long RoomLeft(long long area, long long count, long long size, long long gap) {
  return Fix(static_cast<double>(area) - static_cast<double>(count) * static_cast<double>(size) -
             static_cast<double>(count - 1) * static_cast<double>(gap));
}

// Where the grid goes in an area of `area_width` × `area_height` pixels: the offset of the
// first copy from the area's corner and the steps between copies beyond their own size.
struct GridPlacement {
  long long x = 0;
  long long y = 0;
  long long gap_x = 0;
  long long gap_y = 0;
};

// More than one copy spreads the room that is left over the grid: evenly around the copies,
// or (optimal layout) around the grid as a whole with the least gap between copies. One copy
// goes where the 3 × 3 placement grid puts it.
GridPlacement PlaceGrid(const CopyGrid& grid, long long area_width, long long area_height,
                        int placement_mode, bool optimal_layout) {
  const long long left_x = RoomLeft(area_width, grid.across, grid.width, grid.gap);
  const long long left_y = RoomLeft(area_height, grid.down, grid.height, grid.gap);
  GridPlacement at;
  const bool spread = grid.across + grid.down > 2;
  const int mode = spread ? 1 : placement_mode;
  if (mode <= 1 || mode > 9) {
    if (optimal_layout) {
      at.x = Fix(left_x / 2.0);
      at.y = Fix(left_y / 2.0);
      at.gap_x = grid.gap;
      at.gap_y = grid.gap;
    } else {
      const long long share_x =
          Fix(static_cast<double>(left_x) / static_cast<double>(grid.across + 1));
      const long long share_y =
          Fix(static_cast<double>(left_y) / static_cast<double>(grid.down + 1));
      at.x = share_x;
      at.y = share_y;
      if (grid.across > 1) at.gap_x = share_x + grid.gap;
      if (grid.down > 1) at.gap_y = share_y + grid.gap;
    }
  } else {
    // One copy placed by the 3 × 3 grid: column 0 left, 1 centre, 2 right; likewise rows.
    static constexpr int kColumn[10] = {1, 1, 1, 2, 0, 0, 2, 1, 2, 0};
    static constexpr int kRow[10] = {1, 1, 0, 0, 0, 1, 1, 2, 2, 2};
    at.x = kColumn[mode] * Fix(left_x / 2.0);
    at.y = kRow[mode] * Fix(left_y / 2.0);
  }
  return at;
}

// A length of `pixels` on a canvas `canvas_pixels` wide (or high) that shows `page_pt`
// points, in whole points.
int CanvasToPoints(double page_pt, long long pixels, int canvas_pixels) {
  return ToInt(RoundEvenSaturated(page_pt * static_cast<double>(pixels) / canvas_pixels));
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
  CopyGrid grid;
  grid.width = Fix(in.canvas.width * in.image_width_pt / in.page_width_pt);
  grid.height = Fix(in.canvas.height * in.image_height_pt / in.page_height_pt);
  if (grid.width < 0 || grid.height < 0 || grid.width > kMaxCanvasPixels ||
      grid.height > kMaxCanvasPixels) {
    return std::nullopt;
  }
  if (in.automatic_tile && (grid.width == 0 || grid.height == 0)) return std::nullopt;

  const CanvasMargins margins = MarginsOnCanvas(in, sx, sy);
  const long long area_width = in.canvas.width - margins.left - margins.right;
  const long long area_height = in.canvas.height - margins.top - margins.bottom;
  grid.gap = std::min(Fix(2.835 * sx), kMaxCanvasPixels);  // 1 mm on the canvas
  grid.across = std::max(in.copies_across, 1);
  grid.down = std::max(in.copies_down, 1);
  if (in.automatic_tile) {
    grid.across = CopiesThatFit(area_width, grid.width, grid.gap);
    grid.down = CopiesThatFit(area_height, grid.height, grid.gap);
  }
  const GridPlacement at =
      PlaceGrid(grid, area_width, area_height, in.placement_mode, in.optimal_layout);
  const long long origin_x = margins.left + at.x;
  const long long origin_y = margins.top + at.y;

  PageLayout out;
  out.preview_width = ToInt(grid.width);
  out.preview_height = ToInt(grid.height);
  out.copies_across = ToInt(grid.across);
  out.copies_down = ToInt(grid.down);
  out.canvas = in.canvas;
  out.origin_x_px = ToInt(origin_x);
  out.origin_y_px = ToInt(origin_y);
  out.gap_x_px = ToInt(at.gap_x);
  out.gap_y_px = ToInt(at.gap_y);
  out.margin_left_px = ToInt(margins.left);
  out.margin_top_px = ToInt(margins.top);
  out.margin_right_px = ToInt(margins.right);
  out.margin_bottom_px = ToInt(margins.bottom);
  out.gap_across_pt = CanvasToPoints(in.page_width_pt, at.gap_x, in.canvas.width);
  out.gap_down_pt = CanvasToPoints(in.page_height_pt, at.gap_y, in.canvas.height);
  out.offset_x_pt = CanvasToPoints(in.page_width_pt, origin_x, in.canvas.width);
  out.offset_y_pt = CanvasToPoints(in.page_height_pt, origin_y, in.canvas.height);
  return out;
}

}  // namespace kelvaro
