#ifndef KELVARO_APP_PAGE_PLACEMENT_H_
#define KELVARO_APP_PAGE_PLACEMENT_H_

#include <optional>

#include "app/job_parameters.h"
#include "image/page_layout.h"
#include "image/work_image.h"
#include "job/copies_grid.h"

namespace kelvaro {

// The image area the copies are laid out on: the window's initial image area. A print's layout
// never depends on the size of a window, shown or stored.
inline constexpr int kReferenceImageAreaWidth = 310;

// Where the copies of the loaded picture go on the page, laid out on the reference canvas with
// the window's parameters. The job writer places the grid from it and the preview draws it, so
// the two always agree. nullopt when one copy is smaller than a canvas pixel.
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

// True when the grid a print makes lies within the printable area. Otherwise the job shrinks
// the gaps to nothing and the last copies fall off the page.
bool CopiesFitThePage(const CopiesPlan& plan);

// Shown when they do not.
inline constexpr char kCopiesDoNotFitText[] =
    "The copies do not fit the printable area: the print cuts the last ones off at the edge of "
    "the page. Reduce the copies or the size.";

// The print's layout drawn on `canvas`: the same places on the page in that canvas's pixels.
// When the copies do not fit, the grid is drawn where the job puts it (gaps shrunk, from the
// left and top margins) rather than where the layout meant it.
PageLayout LayoutOnCanvas(const CopiesPlan& plan, CanvasSize canvas, const JobParameters& params,
                          const WorkImage& image);

}  // namespace kelvaro

#endif  // KELVARO_APP_PAGE_PLACEMENT_H_
