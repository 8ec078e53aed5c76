#include "image/separation.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "image/colour_maths.h"
#include "image/row_blocks.h"
#include "platform/rounding.h"

namespace kelvaro {
namespace {

// Where each toner goes in one output row: the five plane rows, and the slots of the colour
// and white units for the toner layout.
struct RowPlanes {
  std::uint8_t* plane[SeparationSet::kPlanes];
};

RowPlanes PlanesOfRow(SeparationSet& set, std::int32_t row) {
  const std::size_t row_bytes = static_cast<std::size_t>(set.width);
  std::uint8_t* out =
      set.bytes.data() + static_cast<std::size_t>(row) * SeparationSet::kPlanes * row_bytes;
  return {{out, out + row_bytes, out + 2 * row_bytes, out + 3 * row_bytes, out + 4 * row_bytes}};
}

// What one run needs for every row, made once before the first.
struct RowJob {
  const std::uint8_t* grid;         // the picture's records, output_width × output_height
  const PrintColourTables* tables;  // null for the hot stamp foil
  std::uint8_t hot_level = 0;
  const std::uint8_t* mask = nullptr;  // one byte per output pixel, or null
  int cyan_slot = 0;                   // planes 1..4 as slots 0..3
  int white_slot = 3;
};

// The hot stamp foil: every opaque pixel gets the tint on the three colour units, white
// nothing. Every byte of the four written planes is set.
void HotStampRow(const std::uint8_t* records, const std::uint8_t* mask, std::int32_t width,
                 std::uint8_t level, const RowPlanes& out, int white_slot) {
  std::uint8_t* white = out.plane[white_slot];
  std::uint8_t* tinted[3];
  for (int slot = 0, n = 0; slot < 4; ++slot) {
    if (slot != white_slot) tinted[n++] = out.plane[slot];
  }
  for (std::int32_t x = 0; x < width; ++x, records += 5) {
    const bool prints = IsOpaque(records[4]) && (mask == nullptr || mask[x] == 0);
    const std::uint8_t tint = prints ? level : 0;
    tinted[0][x] = tint;
    tinted[1][x] = tint;
    tinted[2][x] = tint;
    white[x] = 0;
  }
}

// The colour builder on one row: each pixel's toner from the shared colour maths, nothing
// for a transparent or knocked-out pixel.
void ColourRow(const std::uint8_t* records, const std::uint8_t* mask, std::int32_t width,
               const PrintColourTables& t, std::uint8_t* cyan, std::uint8_t* magenta,
               std::uint8_t* yellow, std::uint8_t* white) {
  for (std::int32_t x = 0; x < width; ++x, records += 5) {
    TonerAmounts toner;
    if (IsOpaque(records[4]) && (mask == nullptr || mask[x] == 0)) {
      toner = OpaquePixelToner(t, records);
    }
    cyan[x] = toner.c;
    magenta[x] = toner.m;
    yellow[x] = toner.y;
    white[x] = toner.w;
  }
}

// Separates output row `row` from its `records` (the row of the grid, or a copy of it).
void SeparateRow(const RowJob& job, const std::uint8_t* records, SeparationSet& set,
                 std::int32_t row) {
  const std::int32_t width = set.width;
  const std::uint8_t* mask =
      job.mask != nullptr ? job.mask + static_cast<std::size_t>(row) * width : nullptr;
  const RowPlanes planes = PlanesOfRow(set, row);
  if (job.tables == nullptr) {
    HotStampRow(records, mask, width, job.hot_level, planes, job.white_slot);
  } else {
    ColourRow(records, mask, width, *job.tables, planes.plane[job.cyan_slot], planes.plane[1],
              planes.plane[2], planes.plane[job.white_slot]);
  }
  std::memset(planes.plane[4], 0, static_cast<std::size_t>(width));  // the spare plane
}

// Knock-out applies after everything else, to opaque and transparent pixels alike.
void KnockOutRow(const std::uint8_t* mask, std::int32_t width, const RowPlanes& out) {
  for (std::int32_t x = 0; x < width; ++x) {
    if (mask[x] != 0) {
      out.plane[0][x] = 0;
      out.plane[1][x] = 0;
      out.plane[2][x] = 0;
      out.plane[3][x] = 0;
    }
  }
}

// Why the picture cannot be separated, before any work: kNone when it can.
SeparationError CheckInputs(const WorkImage& image,
                            std::optional<std::span<const std::uint8_t>> pattern_mask) {
  const std::int32_t width = image.output_width;
  const std::int32_t height = image.output_height;
  if (image.empty() || width <= 0 || height <= 0) return SeparationError::kEmptyImage;
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (image.grid.size() / 5 < pixels) return SeparationError::kBadGrid;
  if (pattern_mask && pattern_mask->size() != pixels) return SeparationError::kMaskMismatch;
  return SeparationError::kNone;
}

}  // namespace

namespace {

// Separates every row of `set` from `grid` (which may be the set's own bytes: `in_place`).
void SeparateRows(const std::uint8_t* grid, bool in_place, const SeparationParams& params,
                  const ToneCurveTable& tone_table, const std::uint8_t* mask, SeparationSet& set,
                  ProgressSink& progress) {
  // Colour builder: cyan and white trade slots in the white-first layout.
  const bool white_first = params.layout == TonerLayout::kWhiteFirst;
  std::optional<PrintColourTables> tables;
  if (!params.hot_stamp) tables = MakePrintColourTables(params, tone_table);
  const RowJob job{grid, tables ? &*tables : nullptr, HotStampLevel(),
                   mask, white_first ? 3 : 0,         white_first ? 0 : 3};
  const std::size_t row_bytes = static_cast<std::size_t>(set.width) * SeparationSet::kPlanes;
  const std::size_t pixels = static_cast<std::size_t>(set.width) * set.height;
  progress.SetProgress(1, 100);
  ShareRowBlocks(
      set.height, 1, pixels, progress,
      [&](std::int32_t row, std::int32_t) {
        const std::uint8_t* records = grid + static_cast<std::size_t>(row) * row_bytes;
        if (!in_place) return SeparateRow(job, records, set, row);
        // A row's planes take exactly the bytes of its records: the records are read from a copy.
        thread_local PixelBytes copy;
        copy.resize(row_bytes);
        std::memcpy(copy.data(), records, row_bytes);
        SeparateRow(job, copy.data(), set, row);
      },
      /*reported=*/1);
}

}  // namespace

SeparationOutcome BuildSeparation(const WorkImage& image, const SeparationParams& params,
                                  const ToneCurveTable& tone_table,
                                  std::optional<std::span<const std::uint8_t>> pattern_mask,
                                  ProgressSink& progress) {
  SeparationOutcome outcome;
  outcome.error = CheckInputs(image, pattern_mask);
  if (!outcome.ok()) return outcome;
  SeparationSet& set = outcome.set;
  set.width = image.output_width;
  set.height = image.output_height;
  const std::size_t pixels =
      static_cast<std::size_t>(set.width) * static_cast<std::size_t>(set.height);
  try {
    set.bytes.resize(pixels * SeparationSet::kPlanes);  // every byte is written below
  } catch (const std::bad_alloc&) {
    return SeparationOutcome{{}, SeparationError::kOutOfMemory};
  }
  SeparateRows(image.grid.data(), false, params, tone_table,
               pattern_mask ? pattern_mask->data() : nullptr, set, progress);
  return outcome;
}

SeparationOutcome BuildSeparationInPlace(WorkImage& image, const SeparationParams& params,
                                         const ToneCurveTable& tone_table,
                                         std::optional<std::span<const std::uint8_t>> pattern_mask,
                                         ProgressSink& progress) {
  SeparationOutcome outcome;
  outcome.error = CheckInputs(image, pattern_mask);
  PixelBytes grid;
  grid.swap(image.grid);
  if (!outcome.ok()) return outcome;
  SeparationSet& set = outcome.set;
  set.width = image.output_width;
  set.height = image.output_height;
  grid.resize(static_cast<std::size_t>(set.width) * set.height * SeparationSet::kPlanes);
  set.bytes.swap(grid);
  SeparateRows(set.bytes.data(), true, params, tone_table,
               pattern_mask ? pattern_mask->data() : nullptr, set, progress);
  return outcome;
}

bool KnockOutPattern(SeparationSet& set, std::span<const std::uint8_t> pattern_mask) {
  const std::size_t row_bytes = static_cast<std::size_t>(std::max(set.width, 0));
  if (pattern_mask.size() != row_bytes * static_cast<std::size_t>(std::max(set.height, 0))) {
    return false;
  }
  for (std::int32_t row = 0; row < set.height; ++row) {
    KnockOutRow(pattern_mask.data() + static_cast<std::size_t>(row) * row_bytes, set.width,
                PlanesOfRow(set, row));
  }
  return true;
}

}  // namespace kelvaro
