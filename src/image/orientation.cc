#include "image/orientation.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "image/row_blocks.h"
#include "platform/length_units.h"

namespace kelvaro {
namespace {

// A picture much taller than wide is scaled as it stands rather than turned.
constexpr double kTallRatio = 1.41;
// Source rows copied together when turning, so the turned writes stay close in memory.
constexpr std::int32_t kTurnBlockRows = 64;

}  // namespace

LoadFit FitAtLoad(std::int32_t width, std::int32_t height, Resolution file,
                  PrintableArea printable) {
  LoadFit fit{file.x_dpi, file.y_dpi, false, 1};
  const double iw = PixelsToPoints(width, file.x_dpi);
  const double ih = PixelsToPoints(height, file.y_dpi);
  const double pw = std::nearbyint(printable.width);
  const double ph = std::nearbyint(printable.height);
  // No picture or no page to fit to: leave the resolution alone rather than divide by zero.
  if (!(iw > 0) || !(ih > 0) || !(pw > 0) || !(ph > 0) || !std::isfinite(iw) ||
      !std::isfinite(ih)) {
    return fit;
  }
  double k = 1;
  if (iw <= pw) {
    if (ph <= ih) k = ph / ih;
  } else if (pw >= ih && ph >= iw) {
    fit.rotate = true;
  } else if (ph >= ih) {
    if (ih / iw >= kTallRatio) {
      k = pw / iw;
    } else {
      fit.rotate = true;
      k = ph / iw;
    }
  } else {
    if (ih / iw >= kTallRatio) {
      k = std::min(printable.width / iw, printable.height / ih);
    } else {
      fit.rotate = true;
      k = ph / iw;
    }
  }
  fit.x_dpi = static_cast<float>(file.x_dpi / k);
  fit.y_dpi = static_cast<float>(file.y_dpi / k);
  fit.scale_factor = file.x_dpi / fit.x_dpi;
  return fit;
}

bool TurnsAtLoad(std::optional<bool> chosen, std::int32_t width, std::int32_t height,
                 Resolution file, PrintableArea printable) {
  return chosen.value_or(FitAtLoad(width, height, file, printable).rotate);
}

std::uint8_t FoldBlack(std::uint8_t colour, std::uint8_t black) {
  // 255 × (v(1 − k) + k) = c + k − c·k/255; over 255 it can never be exactly half-way, so
  // rounding up from a remainder of 128 is round-to-nearest.
  const int c = colour;
  const int k = black;
  const int scaled = 255 * (c + k) - c * k;
  return static_cast<std::uint8_t>(std::min((scaled + 127) / 255, 255));
}

RecordPlacement::RecordPlacement(std::int32_t width, std::int32_t height, bool mirror, bool flip,
                                 bool rotate)
    : width_(width), height_(height), reverse_((mirror != flip) != rotate), rotate_(rotate) {}

void RecordPlacement::Place(const std::uint8_t* rows, std::int32_t y0, std::int32_t y1,
                            std::uint8_t* grid) const {
  ForRows(y0, y1, [&](std::int32_t sx, std::int32_t sy, std::size_t index) {
    const std::uint8_t* from = rows + (static_cast<std::size_t>(sy - y0) * width_ + sx) * 5;
    // A fixed-size copy the compiler does in two moves, not a library call per record.
    std::memcpy(grid + index * 5, from, 5);
  });
}

namespace {

// Copies source records to their oriented places in the grid and, when asked, their
// black-folded colours to the preview.
class RecordCopier {
 public:
  RecordCopier(WorkImage& image, const RecordPlacement& placement, bool preview)
      : raw_(image.raw.data()),
        grid_(image.grid.data()),
        preview_(preview ? image.preview.data() : nullptr),
        width_(image.width),
        placement_(placement) {
    if (preview_ == nullptr) return;
    fold_.resize(256 * 256);
    for (int k = 0; k < 256; ++k) {
      for (int c = 0; c < 256; ++c) {
        fold_[k * 256 + c] = FoldBlack(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(k));
      }
    }
  }

  // The records of source rows [y0, y1).
  void Block(std::int32_t y0, std::int32_t y1) const {
    if (preview_ == nullptr) {
      placement_.Place(raw_ + static_cast<std::size_t>(y0) * width_ * 5, y0, y1, grid_);
      return;
    }
    placement_.ForRows(y0, y1, [this](std::int32_t sx, std::int32_t sy, std::size_t index) {
      const std::uint8_t* from = raw_ + (static_cast<std::size_t>(sy) * width_ + sx) * 5;
      std::memcpy(grid_ + index * 5, from, 5);
      const std::uint8_t* row = fold_.data() + from[3] * 256;
      std::uint8_t* p = preview_ + index * 4;
      p[0] = row[from[0]];
      p[1] = row[from[1]];
      p[2] = row[from[2]];
      p[3] = from[4];
    });
  }

 private:
  const std::uint8_t* raw_;
  std::uint8_t* grid_;
  std::uint8_t* preview_;
  std::int32_t width_;
  const RecordPlacement& placement_;
  std::vector<std::uint8_t> fold_;
};

// The oriented picture's size in points, and whether it is larger than the printable area.
OrientResult SizeOriented(WorkImage& image, bool rotate, PrintableArea printable) {
  image.oriented_width_pt = image.physical_width_pt;
  image.oriented_height_pt = image.physical_height_pt;
  if (rotate) std::swap(image.oriented_width_pt, image.oriented_height_pt);
  image.oriented_width_pt *= image.scale_factor;
  image.oriented_height_pt *= image.scale_factor;

  OrientResult result;
  result.oriented = true;
  // The sizes come out of single-precision arithmetic: a picture the load has just fitted
  // exactly can be a few millionths of a point over. That is not too large.
  constexpr double kSlackPt = 0.001;
  result.needs_fit = printable.height + kSlackPt < image.oriented_height_pt ||
                     printable.width + kSlackPt < image.oriented_width_pt;
  return result;
}

}  // namespace

OrientResult OrientWorkImage(WorkImage& image, const OrientOptions& options,
                             PrintableArea printable, ProgressSink& progress) {
  const std::int32_t w = image.width;
  const std::int32_t h = image.height;
  if (w <= 0 || h <= 0) return {};
  const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  if (image.raw.size() < pixels * 5) return {};

  const RecordPlacement placement(w, h, options.mirror, options.flip, options.rotate);
  const bool rotate = options.rotate;
  image.output_width = placement.output_width();
  image.output_height = placement.output_height();
  // Every record is overwritten below; resizing keeps the grids' memory across re-orientation
  // and fills nothing.
  image.grid.resize(pixels * 5);
  // Turned, every block writes a little into every page of the grid: with records given back
  // as they go, large pages would hold the whole grid beside them from the first block on.
  if (!(rotate && options.release_records)) PreferLargePages(image.grid);
  if (options.preview) {
    image.preview.resize(pixels * 4);
    PreferLargePages(image.preview);
  } else {
    PixelBytes().swap(image.preview);
  }

  const RecordCopier copier(image, placement, options.preview);
  const std::size_t row_bytes = static_cast<std::size_t>(w) * 5;
  ShareRowBlocks(
      h, rotate ? kTurnBlockRows : 1, pixels, progress, [&](std::int32_t y0, std::int32_t y1) {
        copier.Block(y0, y1);
        // Each source row is read by its own block alone.
        if (options.release_records) {
          ReleasePages(std::span(image.raw).subspan(y0 * row_bytes, (y1 - y0) * row_bytes));
        }
      });
  if (options.release_records) PixelBytes().swap(image.raw);
  return SizeOriented(image, rotate, printable);
}

OrientResult AdoptPlacedGrid(WorkImage& image, bool rotate, PrintableArea printable) {
  image.output_width = rotate ? image.height : image.width;
  image.output_height = rotate ? image.width : image.height;
  PixelBytes().swap(image.raw);
  PixelBytes().swap(image.preview);
  return SizeOriented(image, rotate, printable);
}

SizeLabels MakeSizeLabels(const WorkImage& image, UnitCode unit) {
  return SizeLabels{FormatImageLength(image.oriented_width_pt, unit),
                    FormatImageLength(image.oriented_height_pt, unit)};
}

}  // namespace kelvaro
