#include "image/white_edge.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "platform/length_units.h"

namespace kelvaro {
namespace {

template <bool kErode>
inline std::uint8_t Pick(std::uint8_t a, std::uint8_t b) {
  return kErode ? std::min(a, b) : std::max(a, b);
}

// The ellipse as line segments: for every row offset |dy| = k up to `extent_y`, the segment
// runs from -half[k] to half[k], at most `extent_x`. The ellipse is symmetric, and half[]
// never grows with k.
std::vector<std::int32_t> HalfWidths(double radius_x, double radius_y, std::int32_t extent_x,
                                     std::int32_t extent_y) {
  std::vector<std::int32_t> half(static_cast<std::size_t>(extent_y) + 1, 0);
  for (std::int32_t k = 0; k <= extent_y; ++k) {
    std::int32_t dx = 0;
    while (dx < extent_x && InEdgeEllipse(dx + 1, k, radius_x, radius_y)) ++dx;
    half[static_cast<std::size_t>(k)] = dx;
  }
  return half;
}

// The output rows of a morphology pass: a ring of `rows` rows of `width` bytes, row y of the
// plane in slot y mod rows.
struct RowRing {
  std::uint8_t* data;
  std::size_t rows;
  std::int32_t width;
  std::uint8_t* Row(std::int32_t y) const {
    return data + (static_cast<std::size_t>(y) % rows) * width;
  }
};

// Fills `table` with the extremes of runs of 1, 2, 4, ... pixels of `source` (`width`
// pixels): level j holds at i the extreme of the 2^j pixels from i on, in rows of `padded`
// bytes with `extent_x` outside pixels (0) on each side of the source.
template <bool kErode>
void BuildRunExtremes(const std::uint8_t* source, std::int32_t width, std::int32_t extent_x,
                      std::size_t padded, int levels, std::uint8_t* table) {
  std::memset(table, 0, padded);
  std::memcpy(table + extent_x, source, static_cast<std::size_t>(width));
  for (int j = 1; j < levels; ++j) {
    const std::uint8_t* below = table + static_cast<std::size_t>(j - 1) * padded;
    std::uint8_t* level = table + static_cast<std::size_t>(j) * padded;
    const std::size_t step = std::size_t{1} << (j - 1);
    const std::size_t count = padded - 2 * step + 1;
    for (std::size_t i = 0; i < count; ++i) level[i] = Pick<kErode>(below[i], below[i + step]);
  }
}

// Folds source row `r`, as its table of run extremes, into every output row of the plane's
// `height` that a segment of the ellipse reaches from it: the segment at row offset k covers
// -half[k]..half[k] and is the extreme of two overlapping runs of the table.
template <bool kErode>
void FoldIntoReachedRows(const std::uint8_t* table, std::size_t padded,
                         const std::vector<std::int32_t>& half, std::int32_t extent_x,
                         std::int32_t r, std::int32_t height, const RowRing& ring) {
  const auto extent_y = static_cast<std::int32_t>(half.size()) - 1;
  for (std::int32_t k = 0; k <= extent_y; ++k) {
    const std::int32_t h = half[static_cast<std::size_t>(k)];
    const auto length = static_cast<std::uint32_t>(2 * h + 1);
    const int j = std::bit_width(length) - 1;
    const std::uint8_t* level = table + static_cast<std::size_t>(j) * padded;
    const std::uint8_t* a = level + (extent_x - h);
    const std::uint8_t* b = level + (extent_x + h - (std::int32_t{1} << j) + 1);
    for (int side = 0; side < (k == 0 ? 1 : 2); ++side) {
      const std::int32_t y = side == 0 ? r - k : r + k;
      if (y < 0 || y >= height) continue;
      std::uint8_t* out = ring.Row(y);
      for (std::int32_t x = 0; x < ring.width; ++x) {
        out[x] = Pick<kErode>(out[x], Pick<kErode>(a[x], b[x]));
      }
    }
  }
}

// Row by row: each source row is turned into a table of the extremes of runs of 1, 2, 4, ...
// pixels (doubling, so that any segment is the extreme of two overlapping runs), and every
// segment of the ellipse folds its row of extremes into the output rows it reaches. The
// output rows live in a ring of 2 ⌊ry⌋ + 1 rows; a row is written back to the plane once the
// last source row it depends on has been read, and by then its own source row is used up.
template <bool kErode>
void MorphPlane(const PlaneView& plane, const std::vector<std::int32_t>& half,
                std::int32_t extent_x, std::vector<std::uint8_t>& ring_bytes,
                std::vector<std::uint8_t>& table, int levels) {
  const std::int32_t width = plane.width;
  const std::int32_t height = plane.height;
  const auto extent_y = static_cast<std::int32_t>(half.size()) - 1;
  const std::size_t padded = static_cast<std::size_t>(width) + 2 * extent_x;
  const RowRing ring{ring_bytes.data(), 2 * static_cast<std::size_t>(extent_y) + 1, width};
  const std::uint8_t identity = kErode ? 255 : 0;
  auto row_of = [&](std::int32_t y) {
    return plane.data + static_cast<std::size_t>(y) * plane.stride;
  };
  auto emit = [&](std::int32_t y) {
    // Rows closer to the top or bottom than the ellipse reaches see outside pixels, which
    // carry no white: a choke leaves nothing there.
    if (kErode && (y < extent_y || y + extent_y >= height)) {
      std::memset(row_of(y), 0, static_cast<std::size_t>(width));
    } else {
      std::memcpy(row_of(y), ring.Row(y), static_cast<std::size_t>(width));
    }
  };
  for (std::int32_t y = 0; y < std::min(extent_y, height); ++y) {
    std::memset(ring.Row(y), identity, static_cast<std::size_t>(width));
  }

  for (std::int32_t r = 0; r < height; ++r) {
    if (r + extent_y < height)
      std::memset(ring.Row(r + extent_y), identity, static_cast<std::size_t>(width));
    const std::uint8_t* source = row_of(r);
    const bool blank = std::all_of(source, source + width, [](std::uint8_t v) { return v == 0; });
    if (!blank) {
      BuildRunExtremes<kErode>(source, width, extent_x, padded, levels, table.data());
      FoldIntoReachedRows<kErode>(table.data(), padded, half, extent_x, r, height, ring);
    } else if (kErode) {
      // A row without white adds nothing to a spread and clears what a choke reaches.
      for (std::int32_t y = std::max(0, r - extent_y); y <= std::min(height - 1, r + extent_y);
           ++y) {
        std::memset(ring.Row(y), 0, static_cast<std::size_t>(width));
      }
    }
    if (r - extent_y >= 0) emit(r - extent_y);
  }
  for (std::int32_t y = std::max(0, height - extent_y); y < height; ++y) emit(y);
}

}  // namespace

bool InEdgeEllipse(std::int32_t dx, std::int32_t dy, double radius_x, double radius_y) {
  if (std::abs(dx) > std::floor(radius_x) || std::abs(dy) > std::floor(radius_y)) return false;
  const double u = dx == 0 ? 0.0 : dx / radius_x;
  const double v = dy == 0 ? 0.0 : dy / radius_y;
  return u * u + v * v <= 1.0;
}

bool ChokeOrSpreadPlane(const PlaneView& plane, double radius_x, double radius_y,
                        EdgeOperation operation) {
  if (plane.data == nullptr || plane.width <= 0 || plane.height <= 0) return true;
  radius_x = std::isfinite(radius_x) ? std::max(radius_x, 0.0) : 0.0;
  radius_y = std::isfinite(radius_y) ? std::max(radius_y, 0.0) : 0.0;
  // Offsets beyond the plane's size only reach outside pixels, as an offset of the size itself
  // does: the element is cut there, its shape nearer the centre kept.
  const auto extent_x =
      static_cast<std::int32_t>(std::min(std::floor(radius_x), static_cast<double>(plane.width)));
  const auto extent_y =
      static_cast<std::int32_t>(std::min(std::floor(radius_y), static_cast<double>(plane.height)));
  if (extent_x == 0 && extent_y == 0) return true;  // the element is one pixel
  try {
    const std::vector<std::int32_t> half = HalfWidths(radius_x, radius_y, extent_x, extent_y);
    const int levels = std::bit_width(static_cast<std::uint32_t>(2 * extent_x + 1));
    std::vector<std::uint8_t> table(static_cast<std::size_t>(levels) *
                                    (static_cast<std::size_t>(plane.width) + 2 * extent_x));
    std::vector<std::uint8_t> ring(half.size() * 2 * static_cast<std::size_t>(plane.width));
    if (operation == EdgeOperation::kChoke) {
      MorphPlane<true>(plane, half, extent_x, ring, table, levels);
    } else {
      MorphPlane<false>(plane, half, extent_x, ring, table, levels);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

double EdgeRadiusPixels(int hundredths_mm, double pixels_per_inch) {
  return MillimetresToPixels(std::abs(hundredths_mm) / 100.0, pixels_per_inch);
}

bool ApplyWhiteEdge(SeparationSet& set, TonerLayout layout, int hundredths_mm, double x_ppi,
                    double y_ppi) {
  if (hundredths_mm == 0 || !(x_ppi > 0) || !(y_ppi > 0)) return true;
  if (set.width <= 0 || set.height <= 0) return true;
  const int white_plane = layout == TonerLayout::kWhiteFirst ? 1 : 4;
  const std::size_t row_bytes = static_cast<std::size_t>(set.width);
  const PlaneView plane{set.bytes.data() + (white_plane - 1) * row_bytes, set.width, set.height,
                        SeparationSet::kPlanes * row_bytes};
  return ChokeOrSpreadPlane(plane, EdgeRadiusPixels(hundredths_mm, x_ppi),
                            EdgeRadiusPixels(hundredths_mm, y_ppi),
                            hundredths_mm > 0 ? EdgeOperation::kChoke : EdgeOperation::kSpread);
}

}  // namespace kelvaro
