#include "job/copies_grid.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace kelvaro {
namespace {

// Far beyond any block we accept, small enough that 5 × x × y cannot overflow 128 bits and
// every sum below stays exact.
constexpr std::int64_t kPixelCap = std::int64_t{1} << 40;

// Whole pixels of a gap: truncated toward zero, never negative (a negative gap would lay
// copies over each other and outside the row), and capped.
std::int64_t GapPixels(std::int64_t copy_px, double gap_pt, float copy_pt) {
  if (!(copy_pt > 0.0f)) return 0;
  const double pixels = std::trunc(static_cast<double>(copy_px) * gap_pt / copy_pt);
  if (!(pixels > 0.0)) return 0;
  return pixels >= static_cast<double>(kPixelCap) ? kPixelCap : static_cast<std::int64_t>(pixels);
}

std::int64_t GridPixels(std::int64_t copy_px, std::int64_t copies, std::int64_t gap_px) {
  const __int128 total =
      static_cast<__int128>(copy_px) * copies + 2 + static_cast<__int128>(gap_px) * (copies - 1);
  return total > kPixelCap ? kPixelCap : static_cast<std::int64_t>(total);
}

float GridPoints(float copy_pt, std::int32_t copies, std::int32_t gap_pt) {
  return copy_pt * static_cast<float>(copies) +
         static_cast<float>(static_cast<std::int64_t>(gap_pt) * (copies - 1));
}

// The shrunken gap of the fit. When even gapless copies overflow, the formula goes negative;
// the gap then becomes 0 instead of growing again with the magnitude of the overflow.
std::int32_t FittedGap(double shrunk) {
  if (!(shrunk > 0.0)) return 0;
  const double rounded = std::nearbyint(shrunk);
  return rounded >= std::numeric_limits<std::int32_t>::max()
             ? std::numeric_limits<std::int32_t>::max()
             : static_cast<std::int32_t>(rounded);
}

}  // namespace

CopiesGridSize ComputeCopiesGrid(const CopiesGridInput& input) {
  CopiesGridSize size;
  const std::int32_t nx = std::max(input.copies_across, 1);
  const std::int32_t ny = std::max(input.copies_down, 1);
  const std::int64_t w = std::max(input.copy_width_px, 0);
  const std::int64_t h = std::max(input.copy_height_px, 0);
  size.copies_across = nx;
  size.copies_down = ny;
  size.gap_x_pt = input.gap_x_pt;
  size.gap_y_pt = input.gap_y_pt;

  const double pixel_gap_x = input.optimal_layout ? kOptimalLayoutGapPt : input.gap_x_pt;
  const double pixel_gap_y = input.optimal_layout ? kOptimalLayoutGapPt : input.gap_y_pt;
  std::int64_t gap_px_x = GapPixels(w, pixel_gap_x, input.copy_width_pt);
  std::int64_t gap_px_y = GapPixels(h, pixel_gap_y, input.copy_height_pt);
  size.x_point = GridPoints(input.copy_width_pt, nx, size.gap_x_pt);
  size.y_point = GridPoints(input.copy_height_pt, ny, size.gap_y_pt);

  if (nx > 1 && size.x_point > input.printable_width_pt) {
    const double shrunk =
        (static_cast<double>(input.printable_width_pt) - size.x_point) / (nx - 1) + size.gap_x_pt -
        1;
    size.gap_x_pt = FittedGap(shrunk);
    gap_px_x = std::max<std::int64_t>(GapPixels(w, size.gap_x_pt, input.copy_width_pt), 2);
    size.x_point = GridPoints(input.copy_width_pt, nx, size.gap_x_pt);
  }
  if (ny > 1 && size.y_point > input.printable_height_pt) {
    const double shrunk =
        (static_cast<double>(input.printable_height_pt) - size.y_point - 1) / (ny - 1) +
        size.gap_y_pt - 1;
    size.gap_y_pt = FittedGap(shrunk);
    gap_px_y = std::max<std::int64_t>(GapPixels(h, size.gap_y_pt, input.copy_height_pt), 3);
    size.y_point = GridPoints(input.copy_height_pt, ny, size.gap_y_pt);
  }

  size.gap_x_px = static_cast<std::int32_t>(std::min<std::int64_t>(gap_px_x, INT32_MAX));
  size.gap_y_px = static_cast<std::int32_t>(std::min<std::int64_t>(gap_px_y, INT32_MAX));
  size.x_pixel = GridPixels(w, nx, gap_px_x);
  size.y_pixel = GridPixels(h, ny, gap_px_y);
  const unsigned __int128 bytes = static_cast<unsigned __int128>(SeparationSet::kPlanes) *
                                  static_cast<unsigned __int128>(size.x_pixel) *
                                  static_cast<unsigned __int128>(size.y_pixel);
  size.block_bytes = bytes > std::numeric_limits<std::uint64_t>::max()
                         ? std::numeric_limits<std::uint64_t>::max()
                         : static_cast<std::uint64_t>(bytes);
  return size;
}

TiledImage::TiledImage(std::shared_ptr<const SeparationSet> planes, const CopiesGridSize& size)
    : x_pixel(static_cast<std::int32_t>(size.x_pixel)),
      y_pixel(static_cast<std::int32_t>(size.y_pixel)),
      x_point(size.x_point),
      y_point(size.y_point),
      planes_(std::move(planes)),
      copies_across_(size.copies_across),
      copies_down_(size.copies_down),
      gap_x_px_(size.gap_x_px),
      gap_y_px_(size.gap_y_px) {}

TiledImage TiledImage::Blank(std::int32_t x_pixel, std::int32_t y_pixel, float x_point,
                             float y_point) {
  TiledImage image;
  image.x_pixel = x_pixel;
  image.y_pixel = y_pixel;
  image.x_point = x_point;
  image.y_point = y_point;
  return image;
}

std::uint64_t TiledImage::size() const {
  return std::uint64_t{SeparationSet::kPlanes} * static_cast<std::uint64_t>(std::max(x_pixel, 0)) *
         static_cast<std::uint64_t>(std::max(y_pixel, 0));
}

void TiledImage::ComposeRow(std::int64_t row, std::uint8_t* out) const {
  const std::size_t row_width = static_cast<std::size_t>(std::max(x_pixel, 0));
  const std::int64_t h = planes_ ? planes_->height : 0;
  const std::int64_t copy_row_step = h + gap_y_px_;
  const std::int64_t copy_down = planes_ ? row / copy_row_step : 0;
  const std::int64_t within = planes_ ? row % copy_row_step : 0;
  if (!planes_ || copy_down >= copies_down_ || within >= h) {  // a gap or a spare row
    std::memset(out, 0, SeparationSet::kPlanes * row_width);
    return;
  }
  const std::size_t copy_width = static_cast<std::size_t>(planes_->width);
  const std::size_t copy_step = copy_width + static_cast<std::size_t>(gap_x_px_);
  for (int plane = 0; plane < SeparationSet::kPlanes; ++plane) {
    const std::uint8_t* source = planes_->PlaneRow(static_cast<std::int32_t>(within), plane + 1);
    std::uint8_t* dest = out + static_cast<std::size_t>(plane) * row_width;
    // The copies, and zero only between and after them.
    std::size_t filled = 0;
    for (std::int32_t copy = 0; copy < copies_across_; ++copy) {
      const std::size_t at = std::min(static_cast<std::size_t>(copy) * copy_step, row_width);
      const std::size_t width = std::min(copy_width, row_width - at);
      std::memset(dest + filled, 0, at - filled);
      std::memcpy(dest + at, source, width);
      filled = at + width;
    }
    std::memset(dest + filled, 0, row_width - filled);
  }
}

bool TiledImage::Send(const PieceWriter& write) const {
  constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
  const std::size_t row_bytes =
      SeparationSet::kPlanes * static_cast<std::size_t>(std::max(x_pixel, 0));
  if (row_bytes == 0 || y_pixel <= 0) return true;
  const std::size_t rows_per_piece = std::max<std::size_t>(1, kPieceBytes / row_bytes);
  std::vector<std::uint8_t> piece(rows_per_piece * row_bytes);
  for (std::int64_t row = 0; row < y_pixel;) {
    const std::int64_t rows =
        std::min<std::int64_t>(static_cast<std::int64_t>(rows_per_piece), y_pixel - row);
    for (std::int64_t i = 0; i < rows; ++i) {
      ComposeRow(row + i, piece.data() + static_cast<std::size_t>(i) * row_bytes);
    }
    if (!write(std::string_view(reinterpret_cast<const char*>(piece.data()),
                                static_cast<std::size_t>(rows) * row_bytes))) {
      return false;
    }
    row += rows;
  }
  return true;
}

JobBlock TiledImage::AsJobBlock() const {
  return JobBlock([this](const PieceWriter& write) { return Send(write); }, size());
}

ComposeResult ComposeTiledImage(std::shared_ptr<const SeparationSet> planes,
                                const CopiesGridInput& input, std::string_view too_big_text,
                                Notifier& notifier, ProgressSink& progress) {
  ComposeResult result;
  const std::int32_t w = planes ? planes->width : 0;
  const std::int32_t h = planes ? planes->height : 0;
  if (w <= 0 || h <= 0 ||
      planes->bytes.size() != static_cast<std::size_t>(SeparationSet::kPlanes) *
                                  static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {
    result.error = ComposeError::kBadInput;
    return result;
  }
  CopiesGridInput layout = input;
  layout.copy_width_px = w;
  layout.copy_height_px = h;
  const CopiesGridSize size = ComputeCopiesGrid(layout);
  if (!size.within_limit()) {
    notifier.Show(kProgramTitle, std::string(too_big_text), MessageIcon::kError);
    result.error = ComposeError::kTooBig;
    return result;
  }
  result.image = TiledImage(std::move(planes), size);
  progress.SetProgress(100, 100);
  return result;
}

}  // namespace kelvaro
