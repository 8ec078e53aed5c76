#ifndef KELVARO_IMAGE_ORIENTATION_H_
#define KELVARO_IMAGE_ORIENTATION_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "image/resolution.h"
#include "image/work_image.h"
#include "platform/notifier.h"
#include "printers/margins.h"
#include "printers/units.h"

namespace kelvaro {

// What fitting a fresh picture to the printable area decided.
struct LoadFit {
  float x_dpi = 300;  // dots per inch after fitting
  float y_dpi = 300;
  bool rotate = false;     // the picture is laid out turned a quarter
  float scale_factor = 1;  // file resolution ÷ fitted resolution
};

// Fits a picture of `width` × `height` pixels at `file` resolution to `printable` (points).
// Only the resolution changes, never the pixel count. With IW and IH the picture's size in
// points and PW, PH the printable size rounded to whole points:
//   1. IW ≤ PW: scaled down to PH when it is taller than PH;
//   2. too wide but fits turned: turned, not scaled;
//   3. too wide, not too tall: a tall picture (IH ÷ IW ≥ 1.41) is scaled to PW, any other is
//      turned and scaled by PH ÷ IW;
//   4. too wide and too tall: a tall picture is scaled by the smaller of PW ÷ IW and PH ÷ IH
//      (unrounded area), any other is turned and scaled by PH ÷ IW.
// A turned picture may still be wider than the area; OrientWorkImage reports that.
LoadFit FitAtLoad(std::int32_t width, std::int32_t height, Resolution file,
                  PrintableArea printable);

// Where each record of a `width` × `height` picture goes in its oriented grid: a quarter turn
// counter-clockwise with `rotate`; the columns reversed when exactly one of the mirror state
// ("Mirror" inverted by "Flip") and `rotate` is on.
class RecordPlacement {
 public:
  RecordPlacement(std::int32_t width, std::int32_t height, bool mirror, bool flip, bool rotate);
  std::int32_t output_width() const { return rotate_ ? height_ : width_; }
  std::int32_t output_height() const { return rotate_ ? width_ : height_; }
  bool rotate() const { return rotate_; }
  // The record index in the grid of source pixel (sx, sy).
  std::size_t Index(std::int32_t sx, std::int32_t sy) const {
    const std::int32_t gx = reverse_ ? width_ - 1 - sx : sx;
    return rotate_ ? static_cast<std::size_t>(gx) * static_cast<std::size_t>(height_) + sy
                   : static_cast<std::size_t>(sy) * static_cast<std::size_t>(width_) + gx;
  }
  // Calls `visit(sx, sy, index)` for every pixel of source rows [y0, y1). Turned, the rows go
  // column by column, so that the writes to the turned grid stay close together.
  template <typename Visit>
  void ForRows(std::int32_t y0, std::int32_t y1, Visit visit) const {
    if (rotate_) {
      for (std::int32_t sx = 0; sx < width_; ++sx) {
        for (std::int32_t sy = y0; sy < y1; ++sy) visit(sx, sy, Index(sx, sy));
      }
    } else {
      for (std::int32_t sy = y0; sy < y1; ++sy) {
        for (std::int32_t sx = 0; sx < width_; ++sx) visit(sx, sy, Index(sx, sy));
      }
    }
  }
  // Copies the records of source rows [y0, y1), which `rows` holds one after another, to
  // their places in `grid`.
  void Place(const std::uint8_t* rows, std::int32_t y0, std::int32_t y1, std::uint8_t* grid) const;

 private:
  std::int32_t width_;
  std::int32_t height_;
  bool reverse_;
  bool rotate_;
};

// Whether a fresh picture is laid out turned: as the user chose, else as the fit decides.
bool TurnsAtLoad(std::optional<bool> chosen, std::int32_t width, std::int32_t height,
                 Resolution file, PrintableArea printable);

struct OrientOptions {
  bool mirror = false;
  bool flip = false;  // Flip inverts the mirror: the decoder already turned the rows over
  bool rotate = false;
  bool preview = true;  // also make the preview grid (a print without a window needs none)
  // The raw records are not needed afterwards (a run that prints once): their memory is given
  // back as they are oriented, and the raw buffer is empty after it.
  bool release_records = false;
};

struct OrientResult {
  bool oriented = false;  // false when the raw buffer holds no converted records
  // The oriented size is larger than the printable area: the caller runs the fit command.
  bool needs_fit = false;
};

// Rebuilds the pixel grid (5-byte C, M, Y, K, A) and the preview grid (C', M', Y', A with
// black folded into the colours) from the converted raw records, and publishes the output
// size in pixels and the oriented size in points (physical size, turned with `rotate`, times
// the scale factor). The grids are stored in output order: `output_height` rows of
// `output_width` records. A turn is a quarter turn counter-clockwise; the columns are
// reversed when exactly one of the mirror state and `rotate` is on, the mirror state being
// "Mirror" inverted by "Flip". Progress runs 0…100 over the source rows.
OrientResult OrientWorkImage(WorkImage& image, const OrientOptions& options,
                             PrintableArea printable, ProgressSink& progress);

// For a grid whose records were put in place as they were converted (RecordPlacement): the
// output size and the oriented size, as OrientWorkImage publishes them. `image.grid` holds the
// records; the raw buffer and the preview are emptied.
OrientResult AdoptPlacedGrid(WorkImage& image, bool rotate, PrintableArea printable);

// One preview value: 255 × min(v × (1 − k) + k, 1) rounded, with v and k the colour and the
// black as fractions of 255.
std::uint8_t FoldBlack(std::uint8_t colour, std::uint8_t black);

// The oriented width and height shown in the size labels, in the unit with its image-size
// mask ("I" inches "#.###", "C" centimetres "#.##", millimetres "#.#").
struct SizeLabels {
  std::string width;
  std::string height;
};
SizeLabels MakeSizeLabels(const WorkImage& image, UnitCode unit);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_ORIENTATION_H_
