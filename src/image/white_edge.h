#ifndef KELVARO_IMAGE_WHITE_EDGE_H_
#define KELVARO_IMAGE_WHITE_EDGE_H_

#include <cstddef>
#include <cstdint>

#include "image/separation.h"

namespace kelvaro {

// The white edge moves the border of the white layer by a width (see keys::active::kWhiteEdge): a
// choke shrinks the white, so that the colour overlaps it and no white halo shows where the
// toners land a little apart; a spread grows it, for a stronger base under fine lines.

enum class EdgeOperation { kChoke, kSpread };

// One 8-bit plane, `height` rows of `width` bytes, row r starting at data + r × stride.
struct PlaneView {
  std::uint8_t* data = nullptr;
  std::int32_t width = 0;   // pixels
  std::int32_t height = 0;  // pixels
  std::size_t stride = 0;   // bytes from one row to the next
};

// The structuring element: every offset (dx, dy) with |dx| ≤ ⌊rx⌋, |dy| ≤ ⌊ry⌋ and
// (dx / rx)² + (dy / ry)² ≤ 1, radii in pixels. An offset on the ellipse counts as inside.
bool InEdgeEllipse(std::int32_t dx, std::int32_t dy, double radius_x, double radius_y);

// Grey-level erosion (choke: each pixel becomes the smallest value within the ellipse around
// it) or dilation (spread: the largest) of `plane` in place. Pixels outside the plane count
// as 0, so a choke clears a band along the plane's border and a width larger than a shape
// removes it. The work per pixel grows with the y radius and the logarithm of the x radius,
// never with their product. false when the working rows could not be allocated; the plane is
// unchanged then.
bool ChokeOrSpreadPlane(const PlaneView& plane, double radius_x, double radius_y,
                        EdgeOperation operation);

// The width `hundredths_mm` in pixels at `pixels_per_inch`.
double EdgeRadiusPixels(int hundredths_mm, double pixels_per_inch);

// Applies the white edge to the white plane of `set` (plane 4 in the white-last layout,
// plane 1 in the white-first one) at the job's resolution across and down, pixels per inch.
// The colour planes are not touched. A zero width, or a resolution that is not positive,
// changes nothing. false when memory ran out (the planes are unchanged).
bool ApplyWhiteEdge(SeparationSet& set, TonerLayout layout, int hundredths_mm, double x_ppi,
                    double y_ppi);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_WHITE_EDGE_H_
