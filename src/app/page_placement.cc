#include "app/page_placement.h"

#include <cmath>

#include "printers/margins.h"

namespace kelvaro {

std::optional<PageLayout> LayOutCopies(const JobParameters& params, const WorkImage& image) {
  PageLayoutInput input;
  input.canvas = ComputeCanvasSize(params.image_area_width, params.page.width, params.page.height);
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

}  // namespace kelvaro
