#include "app/page_placement.h"

#include <cmath>

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

}  // namespace kelvaro
