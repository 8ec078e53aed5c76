#include "image/separation.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/rounding.h"

namespace kelvaro {
namespace {

constexpr int kHotStampPercent = 88;
constexpr float kColourScale = 98.0f / 100.0f;
constexpr std::uint8_t kOpaqueCut = 180;  // A above this becomes fully opaque
constexpr std::uint8_t kOpaqueLevel = 240;
constexpr int kNearWhiteSum = 20;
constexpr int kPureWhiteLevel = 250;

// Nearest whole number, halves to the even neighbour (the default FP rounding mode).

std::uint8_t ClampLevel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// Per-run look-up tables: every per-channel step of the colour path is a function of one
// level, so the pixel loop only looks values up.
struct ColourTables {
  std::array<std::array<std::uint8_t, 256>, 3> curve_scaled;  // tone curve, then × s
  std::array<std::uint8_t, 256> contrast;                     // applied when c + m + y > 0
  std::array<std::uint8_t, 256> brightness;                   // applied when c + m + y > 0
  std::array<std::uint8_t, 256> white_by_max;  // non-film white for sum > 20, by max level
  std::array<std::uint8_t, 766> white_by_sum;  // film white for sum > 20, by colour sum
  std::uint8_t white_only;
};

ColourTables MakeColourTables(const SeparationConstants& k, const SeparationParams& params,
                              const ToneCurveTable& tone_table) {
  ColourTables t;
  for (int ch = 0; ch < 3; ++ch) {
    for (int v = 0; v < 256; ++v) {
      const float scaled = static_cast<float>(tone_table.levels[ch][v]) * k.colour_scale;
      t.curve_scaled[ch][v] = ClampLevel(RoundEven(scaled));
    }
  }
  // Contrast and brightness work on the inverted (RGB-like) level and invert back.
  for (int c = 0; c < 256; ++c) {
    const int v = 255 - c;
    float stretched = k.contrast_factor * static_cast<float>(v - 128) + 128.0f;
    stretched = std::min(std::max(stretched, 0.0f), 255.0f);
    t.contrast[c] = static_cast<std::uint8_t>(255 - RoundEven(stretched));
    t.brightness[c] = ClampLevel(255 - std::clamp(v + k.brightness_step, 0, 255));
  }
  const bool threshold_on = params.threshold_on;
  t.white_only = ClampLevel(k.white_only_level);
  for (int max_level = 0; max_level < 256; ++max_level) {
    int w = k.white_only_level;
    if (threshold_on) {
      if (max_level <= k.threshold) {
        w = max_level <= 10 ? k.white_density_level : std::min(k.threshold - max_level, 250);
      } else {
        w = 0;
      }
    }
    t.white_by_max[max_level] = ClampLevel(w);
  }
  for (int sum = 0; sum < 766; ++sum) {
    int w = k.white_only_level;
    if (threshold_on) {
      if (sum <= k.film_threshold) {
        w = RoundEven(6.0 + std::min(k.film_threshold - sum, 210.0));
      } else {
        w = 0;
      }
    }
    t.white_by_sum[sum] = ClampLevel(w);
  }
  return t;
}

// Binarises one record's opacity in place; returns whether the pixel prints.
inline bool BinariseOpacity(std::uint8_t* record) {
  const std::uint8_t a = record[4] > kOpaqueCut ? 255 : 0;
  record[4] = a;
  return a > kOpaqueLevel;
}

// Output pointers of one row: the four written planes in slot order.
struct RowPlanes {
  std::uint8_t* plane[4];
};

void HotStampRow(std::uint8_t* records, std::int32_t width, std::uint8_t level,
                 const RowPlanes& out, int first_tinted) {
  std::uint8_t* a = out.plane[first_tinted];
  std::uint8_t* b = out.plane[first_tinted + 1];
  std::uint8_t* c = out.plane[first_tinted + 2];
  for (std::int32_t x = 0; x < width; ++x, records += 5) {
    if (BinariseOpacity(records)) {
      a[x] = level;
      b[x] = level;
      c[x] = level;
    }
  }
}

void ColourRow(std::uint8_t* records, std::int32_t width, const ColourTables& t,
               const SeparationConstants& k, const SeparationParams& params, std::uint8_t* cyan_out,
               std::uint8_t* magenta_out, std::uint8_t* yellow_out, std::uint8_t* white_out) {
  const bool threshold_on = params.threshold_on;
  const bool film = params.film;
  const bool print_white = params.print_white;
  const bool print_cmy = params.print_cmy;
  const bool black_removal = params.black_removal;
  for (std::int32_t x = 0; x < width; ++x, records += 5) {
    if (!BinariseOpacity(records)) continue;
    int c = t.curve_scaled[kToneCyan][records[0]];
    int m = t.curve_scaled[kToneMagenta][records[1]];
    int y = t.curve_scaled[kToneYellow][records[2]];
    if (c + m + y != 0) {
      c = t.contrast[c];
      m = t.contrast[m];
      y = t.contrast[y];
      if (c + m + y != 0) {
        c = t.brightness[c];
        m = t.brightness[m];
        y = t.brightness[y];
      }
    }
    const int sum = c + m + y;
    int w;
    if (threshold_on && sum <= kNearWhiteSum) {
      w = t.white_only;
    } else if (film) {
      w = t.white_by_sum[sum];
    } else {
      w = t.white_by_max[std::max(c, std::max(m, y))];
    }
    if (black_removal) {
      if (sum > k.black_limit && c >= k.black_min_level && y >= k.black_min_level &&
          m >= k.black_min_level) {
        c = m = y = w = 0;
      }
    } else if (sum == 0) {
      w = kPureWhiteLevel;
    }
    if (!print_cmy) c = m = y = 0;
    if (!print_white) w = 0;
    cyan_out[x] = static_cast<std::uint8_t>(c);
    magenta_out[x] = static_cast<std::uint8_t>(m);
    yellow_out[x] = static_cast<std::uint8_t>(y);
    white_out[x] = static_cast<std::uint8_t>(w);
  }
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

// Pictures from this size on are separated on several threads; smaller ones are not worth
// starting threads for.
constexpr std::size_t kParallelFromPixels = 1 << 20;
constexpr unsigned kMaxSeparationThreads = 8;

}  // namespace

SeparationConstants DeriveSeparationConstants(const SeparationParams& params) {
  const double d = std::clamp(params.white_density, 0.0, 100.0);
  const double t = std::clamp(params.white_threshold, 0.0, 100.0);
  const double brightness = std::clamp(params.brightness, -100.0, 100.0);
  const float contrast = static_cast<float>(std::clamp(params.contrast, -100.0, 100.0));
  const double f = params.black_removal_fuzz;

  SeparationConstants k;
  k.hot_stamp_level = RoundEven(255.0 * kHotStampPercent / 100.0);
  k.colour_scale = kColourScale;
  k.brightness_step = RoundEven((brightness - 10.0) / 3.5);
  k.contrast_factor = 259.0f * (contrast + 255.0f) / (255.0f * (259.0f - contrast));
  k.white_only_level = RoundEven(std::min(6.0 + 2.5 * d, 251.0));
  k.white_density_level = RoundEven(2.5 * d);
  k.threshold = RoundEven(2.5 * t);
  k.film_threshold = 7.0 * t;
  // A fuzz that is not a usable number removes nothing rather than everything.
  const bool usable_fuzz = std::isfinite(f);
  k.black_limit = usable_fuzz
                      ? static_cast<int>(std::clamp(std::nearbyint(765.0 - 3.0 * f), -1.0, 766.0))
                      : 766;
  // A level counts as near black when it is greater than 255 - f; for whole levels that is
  // at least floor(255 - f) + 1.
  k.black_min_level =
      usable_fuzz ? static_cast<int>(std::clamp(std::floor(255.0 - f) + 1.0, 0.0, 256.0)) : 256;
  return k;
}

SeparationOutcome BuildSeparation(WorkImage& image, const SeparationParams& params,
                                  const ToneCurveTable& tone_table,
                                  std::optional<std::span<const std::uint8_t>> pattern_mask,
                                  ProgressSink& progress) {
  SeparationOutcome outcome;
  const std::int32_t width = image.output_width;
  const std::int32_t height = image.output_height;
  if (image.empty() || width <= 0 || height <= 0) {
    outcome.error = SeparationError::kEmptyImage;
    return outcome;
  }
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (image.grid.size() / 5 < pixels) {
    outcome.error = SeparationError::kBadGrid;
    return outcome;
  }
  if (pattern_mask && pattern_mask->size() != pixels) {
    outcome.error = SeparationError::kMaskMismatch;
    return outcome;
  }
  try {
    outcome.set.bytes.assign(pixels * SeparationSet::kPlanes, 0);
  } catch (const std::bad_alloc&) {
    outcome.error = SeparationError::kOutOfMemory;
    return outcome;
  }
  outcome.set.width = width;
  outcome.set.height = height;

  const SeparationConstants k = DeriveSeparationConstants(params);
  const bool white_first = params.layout == TonerLayout::kWhiteFirst;
  // Colour builder: cyan and white trade slots in the white-first layout.
  const int cyan_slot = white_first ? 3 : 0;
  const int white_slot = white_first ? 0 : 3;
  ColourTables tables{};
  if (!params.hot_stamp) tables = MakeColourTables(k, params, tone_table);
  const std::uint8_t hot_level = ClampLevel(k.hot_stamp_level);
  // The hot-stamp tint goes to the cyan, magenta and yellow units, never to white.
  const int first_tinted = white_first ? 1 : 0;

  progress.SetProgress(1, 100);
  const std::size_t row_bytes = static_cast<std::size_t>(width);
  auto separate_row = [&](std::int32_t row) {
    std::uint8_t* records = image.grid.data() + image.GridOffset(0, row);
    std::uint8_t* out = outcome.set.bytes.data() +
                        static_cast<std::size_t>(row) * SeparationSet::kPlanes * row_bytes;
    const RowPlanes planes{{out, out + row_bytes, out + 2 * row_bytes, out + 3 * row_bytes}};
    if (params.hot_stamp) {
      HotStampRow(records, width, hot_level, planes, first_tinted);
    } else {
      ColourRow(records, width, tables, k, params, planes.plane[cyan_slot], planes.plane[1],
                planes.plane[2], planes.plane[white_slot]);
    }
    if (pattern_mask) {
      KnockOutRow(pattern_mask->data() + static_cast<std::size_t>(row) * row_bytes, width, planes);
    }
  };

  // Rows are independent. Large pictures are shared out between the cores: every thread takes
  // the next row not yet taken, and this thread reports progress once per row it finishes,
  // with the count of all rows done.
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const unsigned workers =
      pixels < kParallelFromPixels ? 0u : std::min(cores, kMaxSeparationThreads) - 1u;
  std::atomic<std::int32_t> next_row{0};
  std::atomic<std::int32_t> rows_done{0};
  int reported = 1;  // the bar only moves forward
  auto take_rows = [&](bool report) {
    for (std::int32_t row; (row = next_row.fetch_add(1, std::memory_order_relaxed)) < height;) {
      separate_row(row);
      const std::int32_t done = rows_done.fetch_add(1, std::memory_order_acq_rel) + 1;
      const int percent = RoundEven(100.0 * done / height);
      if (report && percent > reported) {
        progress.SetProgress(percent, 100);
        reported = percent;
      }
    }
  };
  std::vector<std::thread> threads;
  for (unsigned i = 0; i < workers; ++i) {
    try {
      threads.emplace_back(take_rows, false);
    } catch (const std::system_error&) {
      break;  // fewer threads: this one takes the remaining rows
    }
  }
  take_rows(true);
  for (std::thread& thread : threads) thread.join();
  if (reported < 100) progress.SetProgress(100, 100);
  return outcome;
}

bool KnockOutPattern(SeparationSet& set, std::span<const std::uint8_t> pattern_mask) {
  const std::size_t row_bytes = static_cast<std::size_t>(std::max(set.width, 0));
  if (pattern_mask.size() != row_bytes * static_cast<std::size_t>(std::max(set.height, 0))) {
    return false;
  }
  for (std::int32_t row = 0; row < set.height; ++row) {
    std::uint8_t* out =
        set.bytes.data() + static_cast<std::size_t>(row) * SeparationSet::kPlanes * row_bytes;
    const RowPlanes planes{{out, out + row_bytes, out + 2 * row_bytes, out + 3 * row_bytes}};
    KnockOutRow(pattern_mask.data() + static_cast<std::size_t>(row) * row_bytes, set.width, planes);
  }
  return true;
}

}  // namespace kelvaro
