#ifndef KELVARO_JOB_COPIES_GRID_H_
#define KELVARO_JOB_COPIES_GRID_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "image/separation.h"
#include "platform/notifier.h"
#include "platform/spooler.h"

namespace kelvaro {

// The largest image data block a job may carry, in bytes (inclusive).
inline constexpr std::uint64_t kMaxImageDataBytes = 1073741824;

// Default wording of the message shown when the grid is over the limit; the caller passes
// the text of the current language.
inline constexpr char kDefaultGridTooBigText[] =
    "The original image is to big\nfor the requested copies\nPlease reduce the size/resolution";

// Gap between copies with "Optimal Layout": one millimetre, in points.
inline constexpr float kOptimalLayoutGapPt = 2.835f;

// What the grid is laid out from. Counts below 1 count as 1.
struct CopiesGridInput {
  std::int32_t copies_across = 1;  // nX
  std::int32_t copies_down = 1;    // nY
  std::int32_t copy_width_px = 0;  // W, one copy in the separation
  std::int32_t copy_height_px = 0;
  float copy_width_pt = 0;  // printed size of one copy (oriented physical size)
  float copy_height_pt = 0;
  std::int32_t gap_x_pt = 0;  // layout gaps between copies, whole points
  std::int32_t gap_y_pt = 0;
  float printable_width_pt = 0;  // page less the margins
  float printable_height_pt = 0;
  bool optimal_layout = false;  // pixel gap of one millimetre instead of the layout gap
};

// The grid's geometry after the fit to the printable area.
struct CopiesGridSize {
  std::int32_t copies_across = 1;  // after counts below 1 became 1
  std::int32_t copies_down = 1;
  std::int32_t gap_x_px = 0;  // pixel gaps between copies
  std::int32_t gap_y_px = 0;
  std::int32_t gap_x_pt = 0;  // point gaps after the fit
  std::int32_t gap_y_pt = 0;
  std::int64_t x_pixel = 0;  // device pixels, two spare columns included
  std::int64_t y_pixel = 0;  // device pixels, two spare rows included
  float x_point = 0;         // points
  float y_point = 0;
  std::uint64_t block_bytes = 0;  // 5 × x_pixel × y_pixel, without overflow

  bool within_limit() const { return block_bytes <= kMaxImageDataBytes; }
};

// Pure geometry: pixel gaps, sizes in pixels and points, and the fit that shrinks the gaps
// of a grid wider or taller than the printable area.
CopiesGridSize ComputeCopiesGrid(const CopiesGridInput& input);

// The image data block of a job: y_pixel rows, each five plane rows of x_pixel bytes, plane 1
// first. It is never composed whole: each row is made from one copy's planes as it is sent,
// the copies repeated across and down with zero bytes in the gaps and the spare columns and
// rows. Without planes every byte is zero (the blank page).
class TiledImage {
 public:
  TiledImage() = default;
  TiledImage(std::shared_ptr<const SeparationSet> planes, const CopiesGridSize& size);
  // A block of zero bytes.
  static TiledImage Blank(std::int32_t x_pixel, std::int32_t y_pixel, float x_point, float y_point);

  std::int32_t x_pixel = 0;  // "cols" of the job
  std::int32_t y_pixel = 0;  // "rows" of the job
  float x_point = 0;         // printed width of the grid, points
  float y_point = 0;

  // 5 × x_pixel × y_pixel bytes.
  std::uint64_t size() const;
  // The five plane rows of output row `row` (0-based) into `out`, 5 × x_pixel bytes.
  void ComposeRow(std::int64_t row, std::uint8_t* out) const;
  // Hands the block on in order, in pieces of whole rows of about a megabyte; false as soon
  // as `write` fails.
  bool Send(const PieceWriter& write) const;
  // The block for a spooler; it reads this, which must outlive it.
  JobBlock AsJobBlock() const;

 private:
  std::shared_ptr<const SeparationSet> planes_;
  std::int32_t copies_across_ = 0;
  std::int32_t copies_down_ = 0;
  std::int32_t gap_x_px_ = 0;
  std::int32_t gap_y_px_ = 0;
};

enum class ComposeError {
  kNone,
  kTooBig,    // over kMaxImageDataBytes; the user has been told
  kBadInput,  // an empty or inconsistent separation; nothing shown
};

struct ComposeResult {
  TiledImage image;  // valid when `error` is kNone
  ComposeError error = ComposeError::kNone;
  bool ok() const { return error == ComposeError::kNone; }
};

// Lays `planes` out as the grid of copies. The copy size in pixels comes from `planes`; the
// rest of `input` from the layout. A grid over the size limit shows `too_big_text` (error
// icon, title "Kelvaro Pro") through `notifier` and returns kTooBig. The block keeps the
// planes; progress goes to `progress` (100) once the grid is laid out.
ComposeResult ComposeTiledImage(std::shared_ptr<const SeparationSet> planes,
                                const CopiesGridInput& input, std::string_view too_big_text,
                                Notifier& notifier, ProgressSink& progress);

}  // namespace kelvaro

#endif  // KELVARO_JOB_COPIES_GRID_H_
