#ifndef KELVARO_APP_PAGE_PLACEMENT_H_
#define KELVARO_APP_PAGE_PLACEMENT_H_

#include <optional>

#include "app/job_parameters.h"
#include "image/page_layout.h"
#include "image/work_image.h"
#include "job/copies_grid.h"

namespace kelvaro {

// Where the copies of the loaded picture go on the page, as the preview canvas lays them out
// with the window's parameters. The preview draws from this and the job writer places the
// grid from it, so the two always agree. nullopt when one copy is smaller than a canvas pixel.
std::optional<PageLayout> LayOutCopies(const JobParameters& params, const WorkImage& image);

// The layout and the copies grid a print would make of the loaded picture: the grid's input
// (one copy being the oriented picture, with the layout's counts and gaps) and its size in
// pixels and points. nullopt when there is no layout.
struct CopiesPlan {
  PageLayout layout;
  CopiesGridInput grid_input;
  CopiesGridSize grid;
};
std::optional<CopiesPlan> PlanCopies(const JobParameters& params, const WorkImage& image);

}  // namespace kelvaro

#endif  // KELVARO_APP_PAGE_PLACEMENT_H_
