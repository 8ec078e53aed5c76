#ifndef KELVARO_IMAGE_PAGE_LAYOUT_H_
#define KELVARO_IMAGE_PAGE_LAYOUT_H_

#include <optional>

namespace kelvaro {

// The preview canvas, in screen pixels, with the page's aspect ratio.
struct CanvasSize {
  int width = 0;
  int height = 0;
};

// The canvas for a preview area `available_width` pixels wide and a page of the given size
// (points).
CanvasSize ComputeCanvasSize(int available_width, double page_width_pt, double page_height_pt);

struct PageLayoutInput {
  CanvasSize canvas;
  double page_width_pt = 0;
  double page_height_pt = 0;
  // Margins as stored: hundredths of a point.
  long margin_top = 0;
  long margin_left = 0;
  long margin_right = 0;
  long margin_bottom = 0;
  // One copy's printed size, points (oriented and scaled).
  double image_width_pt = 0;
  double image_height_pt = 0;
  bool automatic_tile = false;
  int copies_across = 1;  // the copy fields; used when automatic_tile is off
  int copies_down = 1;
  int placement_mode = 0;  // 0 to 9 from the 3 × 3 placement grid; 0 before any choice
  bool optimal_layout = false;
};

// What the layout publishes for the job writer. Points are whole, rounded to nearest even.
struct PageLayout {
  int preview_width = 0;  // one copy on the canvas, pixels
  int preview_height = 0;
  int copies_across = 1;  // the counts in force (written back to the copy fields)
  int copies_down = 1;
  int gap_across_pt = 0;
  int gap_down_pt = 0;
  int offset_x_pt = 0;  // top-left corner of the grid on the page
  int offset_y_pt = 0;

  // The same layout on the canvas it was made on, in canvas pixels, for drawing it.
  CanvasSize canvas;
  int origin_x_px = 0;  // top-left corner of the first copy
  int origin_y_px = 0;
  int gap_x_px = 0;  // the gaps the points above were published from (0 for one copy)
  int gap_y_px = 0;
  int margin_left_px = 0;  // the printable area: the canvas less these
  int margin_top_px = 0;
  int margin_right_px = 0;
  int margin_bottom_px = 0;
};

// Lays the copies out on the canvas. Returns nullopt when one copy is smaller than a canvas
// pixel, so there is nothing to lay out.
std::optional<PageLayout> ComputePageLayout(const PageLayoutInput& input);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_PAGE_LAYOUT_H_
