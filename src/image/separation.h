#ifndef KELVARO_IMAGE_SEPARATION_H_
#define KELVARO_IMAGE_SEPARATION_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "image/tone_curve_table.h"
#include "image/work_image.h"
#include "platform/byte_block.h"
#include "platform/notifier.h"

namespace kelvaro {

// Which colour slot the white unit sits in. White-last: planes C, M, Y, white. White-first
// (the white unit moved to the cyan slot): planes white, M, Y, C. The caller takes it from the
// toner order in force (printers/printer_models.h, TonerOrderInForce).
enum class TonerLayout { kWhiteLast, kWhiteFirst };

// The job controls the builder reads, taken once at the start of a run. The app layer fills
// this from the main-window model. Values outside their slider ranges are clamped into them.
struct SeparationParams {
  bool hot_stamp = false;  // the medium is the hot stamp foil
  TonerLayout layout = TonerLayout::kWhiteLast;
  double white_density = 100;   // d, percent 0..100 ("White only Density" label)
  double white_threshold = 60;  // t, percent 0..100 ("Add White Threshold" label)
  double brightness = 0;        // percent -100..100 (the "Brightness" label value)
  double contrast = 0;          // percent -100..100 (the "Contrast" label value)
  bool threshold_on = true;
  bool print_white = true;
  bool print_cmy = true;
  bool black_removal = false;
  double black_removal_fuzz = 0;  // f, "BLACK Removal Fuzzy"; only used with black_removal
  bool film = false;              // the film medium preset's flag
};

// Bytes of toner planes. resize() leaves new bytes unset; assign() and push_back() set them.
using PlaneBytes = PixelBytes;

// The five toner planes of one copy, row by row: for each output row, top row first, five
// plane rows of `width` bytes (plane 1 first). Plane 5 is always 0.
struct SeparationSet {
  static constexpr int kPlanes = 5;
  PlaneBytes bytes;
  std::int32_t width = 0;   // pixels
  std::int32_t height = 0;  // pixels

  // The `width` bytes of plane `plane` (1..5) in output row `row` (0-based, from the top).
  const std::uint8_t* PlaneRow(std::int32_t row, int plane) const {
    return bytes.data() + (static_cast<std::size_t>(row) * kPlanes + (plane - 1)) *
                              static_cast<std::size_t>(width);
  }
  std::uint8_t At(std::int32_t row, std::int32_t column, int plane) const {
    return PlaneRow(row, plane)[column];
  }
};

enum class SeparationError {
  kNone,
  kEmptyImage,    // no picture loaded, or a zero output size
  kBadGrid,       // the grid holds fewer records than its published size
  kMaskMismatch,  // the pattern mask is not one byte per output pixel
  kOutOfMemory,   // the planes could not be allocated
};

struct SeparationOutcome {
  SeparationSet set;  // complete when `error` is kNone, empty otherwise
  SeparationError error = SeparationError::kNone;
  bool ok() const { return error == SeparationError::kNone; }
};

// Builds new planes of one copy from the oriented grid of `image` (output_width ×
// output_height records in output order; the orientation step has already applied Mirror,
// Flip and the quarter turn). The picture is only read: a pixel prints when its opacity is
// above 180, and every byte of the planes is written. With `pattern_mask` set (pattern
// print), a non-zero mask byte blanks its output pixel; the mask must hold exactly one byte
// per output pixel, in output order. Progress goes to `progress` (0..100) once per row.
// Shows no message: a failure comes back as the error kind and an empty set.
SeparationOutcome BuildSeparation(const WorkImage& image, const SeparationParams& params,
                                  const ToneCurveTable& tone_table,
                                  std::optional<std::span<const std::uint8_t>> pattern_mask,
                                  ProgressSink& progress);

// BuildSeparation for a picture printed once: the planes are made in the grid's own memory
// (the planes of a row take exactly the bytes of its records), so that no second buffer of
// the picture's size is needed. `image` loses its grid, whatever the outcome.
SeparationOutcome BuildSeparationInPlace(WorkImage& image, const SeparationParams& params,
                                         const ToneCurveTable& tone_table,
                                         std::optional<std::span<const std::uint8_t>> pattern_mask,
                                         ProgressSink& progress);

// The pattern knock-out on its own, for planes that were changed after the separation: every
// non-zero byte of `pattern_mask` (one per pixel, in output order) blanks planes 1 to 4 of its
// pixel. false, and nothing changed, when the mask is not one byte per pixel.
bool KnockOutPattern(SeparationSet& set, std::span<const std::uint8_t> pattern_mask);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_SEPARATION_H_
