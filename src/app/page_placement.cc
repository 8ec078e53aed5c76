#include "app/page_placement.h"

#include <algorithm>
#include <cmath>

#include "printers/margins.h"

namespace kelvaro {

std::optional<PageLayout> LayOutCopies(const JobParameters& params, const WorkImage& image) {
  PageLayoutInput input;
  input.canvas = ComputeCanvasSize(kReferenceImageAreaWidth, params.page.width, params.page.height);
  input.page_width_pt = params.page.width;
  input.page_height_pt = params.page.height;
  input.margin_top = std::lround(params.margins.top * 100);
  input.margin_left = std::lround(params.margins.left * 100);
  input.margin_right = std::lround(params.margins.right * 100);
  input.margin_bottom = std::lround(params.margins.bottom * 100);
  input.image_width_pt = image.oriented_width_pt;
  input.image_height_pt = image.oriented_height_pt;
  input.automatic_tile = params.automatic_tile;
  input.copies_across = params.copies_across;
  input.copies_down = params.copies_down;
  input.placement_mode = params.placement_mode;
  input.optimal_layout = params.optimal_layout;
  return ComputePageLayout(input);
}

std::optional<CopiesPlan> PlanCopies(const JobParameters& params, const WorkImage& image) {
  const std::optional<PageLayout> layout = LayOutCopies(params, image);
  if (!layout) return std::nullopt;
  CopiesPlan plan;
  plan.layout = *layout;
  CopiesGridInput& grid = plan.grid_input;
  grid.copies_across = layout->copies_across;
  grid.copies_down = layout->copies_down;
  grid.copy_width_px = image.output_width;
  grid.copy_height_px = image.output_height;
  grid.copy_width_pt = image.oriented_width_pt;
  grid.copy_height_pt = image.oriented_height_pt;
  grid.gap_x_pt = layout->gap_across_pt;
  grid.gap_y_pt = layout->gap_down_pt;
  const PrintableArea printable = ComputePrintableArea(params.page, params.margins);
  grid.printable_width_pt = static_cast<float>(printable.width);
  grid.printable_height_pt = static_cast<float>(printable.height);
  grid.optimal_layout = params.optimal_layout;
  plan.grid = ComputeCopiesGrid(grid);
  return plan;
}

bool CopiesFitThePage(const CopiesPlan& plan) {
  // Half a point of slack: the grid's size comes out of single-precision sums.
  constexpr float kSlackPt = 0.5f;
  return plan.grid.x_point <= plan.grid_input.printable_width_pt + kSlackPt &&
         plan.grid.y_point <= plan.grid_input.printable_height_pt + kSlackPt;
}

PageLayout LayoutOnCanvas(const CopiesPlan& plan, CanvasSize canvas, const JobParameters& params,
                          const WorkImage& image) {
  const PageLayout& reference = plan.layout;
  const bool fits = CopiesFitThePage(plan);
  if (fits && canvas.width == reference.canvas.width && canvas.height == reference.canvas.height) {
    return reference;
  }
  PageLayout out = reference;
  out.canvas = canvas;
  if (canvas.width <= 0 || canvas.height <= 0) return out;
  const double sx = canvas.width / static_cast<double>(params.page.width);
  const double sy = canvas.height / static_cast<double>(params.page.height);
  auto px = [](double value) { return static_cast<int>(std::lround(value)); };
  out.preview_width = static_cast<int>(canvas.width * image.oriented_width_pt / params.page.width);
  out.preview_height =
      static_cast<int>(canvas.height * image.oriented_height_pt / params.page.height);
  out.margin_left_px = px(std::trunc(params.margins.left) * sx);
  out.margin_right_px = px(std::trunc(params.margins.right) * sx);
  out.margin_top_px = px(std::trunc(params.margins.top) * sy);
  out.margin_bottom_px = px(std::trunc(params.margins.bottom) * sy);
  if (fits) {
    const double rx = canvas.width / static_cast<double>(reference.canvas.width);
    const double ry = canvas.height / static_cast<double>(reference.canvas.height);
    out.origin_x_px = px(reference.origin_x_px * rx);
    out.origin_y_px = px(reference.origin_y_px * ry);
    out.gap_x_px = px(reference.gap_x_px * rx);
    out.gap_y_px = px(reference.gap_y_px * ry);
    return out;
  }
  // The job puts the grid's corner no nearer the page's edge than its origin, 13 points in,
  // and the copies at the gaps the fit left.
  constexpr int kJobOriginPt = 13;
  out.origin_x_px = px(std::max(reference.offset_x_pt, kJobOriginPt) * sx);
  out.origin_y_px = px(std::max(reference.offset_y_pt, kJobOriginPt) * sy);
  out.gap_x_px = px(plan.grid.gap_x_pt * sx);
  out.gap_y_px = px(plan.grid.gap_y_pt * sy);
  return out;
}

}  // namespace kelvaro
