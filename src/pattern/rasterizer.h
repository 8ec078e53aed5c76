#ifndef KELVARO_PATTERN_RASTERIZER_H_
#define KELVARO_PATTERN_RASTERIZER_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace kelvaro {

// The pattern's own drawing surface: one byte per pixel, no antialiasing. A pixel belongs to
// a shape when its centre (column + 0.5, row + 0.5) lies inside it; an edge at the left or
// top includes the centres on it, one at the right or bottom does not, so a box from x to
// x + w covers round(w) columns when x is whole. Coordinates are pixels with (0, 0) at the
// top-left corner of the surface; whatever falls outside the surface is clipped.
struct Canvas {
  Canvas() = default;
  Canvas(std::int32_t w, std::int32_t h, std::uint8_t background)
      : width(w),
        height(h),
        pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), background) {}
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;  // row by row from the top
  std::uint8_t At(std::int32_t x, std::int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

struct PointD {
  double x = 0;
  double y = 0;
};

// Filled box covering [left, right) × [top, bottom).
void FillBox(Canvas& canvas, double left, double top, double right, double bottom,
             std::uint8_t value);
// Filled ellipse inscribed in the box [left, right) × [top, bottom).
void FillEllipse(Canvas& canvas, double left, double top, double right, double bottom,
                 std::uint8_t value);
// Filled polygon (closed from the last point back to the first), even-odd rule: a region
// enclosed an even number of times stays as it was. Fewer than three points draw nothing.
void FillPolygon(Canvas& canvas, std::span<const PointD> points, std::uint8_t value);

// A drawing recorded once and put down many times at whole-pixel offsets: the pattern tiles
// the same shape thousands of times, and a shape moved by whole pixels covers the same
// pixels, so the scan conversion runs once per shape, not once per tile. Later drawings of a
// stamp cover earlier ones, exactly as they would on a canvas; pixels no drawing touched
// leave the canvas as it is.
class Stamp {
 public:
  // A stamp keeps only what lies within `reach` pixels of its origin in each direction; put
  // down anywhere on a canvas no larger than `reach`, it shows all it would show unclipped.
  explicit Stamp(std::int64_t reach = std::int64_t{1} << 32) : reach_(reach) {}

  void AddBox(double left, double top, double right, double bottom, std::uint8_t value);
  void AddEllipse(double left, double top, double right, double bottom, std::uint8_t value);
  void AddPolygon(std::span<const PointD> points, std::uint8_t value);

  // Puts the stamp down with its origin at (x, y) of the canvas.
  void Draw(Canvas& canvas, std::int64_t x, std::int64_t y) const;
  bool empty() const { return runs_.empty(); }

 private:
  struct Run {
    std::int64_t begin;  // first column
    std::int64_t end;    // one past the last column
    std::uint8_t value;
  };
  void Add(std::int64_t row, std::int64_t begin, std::int64_t end, std::uint8_t value);
  std::int64_t reach_;
  std::map<std::int64_t, std::vector<Run>> runs_;  // by row; runs sorted, never overlapping
};

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_RASTERIZER_H_
