#include "image/screen_preview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/rounding.h"
#include "printers/units.h"

namespace kelvaro {
namespace {

constexpr std::uint8_t kOpaqueLevel = 240;  // A above this is drawn
constexpr float kColourScale = 98.0f / 100.0f;
constexpr int kHotStampPercent = 88;
constexpr double kScreenGamma = 1.1;
// The screen is calibrated darker and harder than the print: ten brightness steps down and
// ten percent more contrast.
constexpr int kScreenBrightnessOffset = -10;
constexpr float kScreenContrastOffset = 10.0f;
// Where the white-only grey turns into the flat level, and that level.
constexpr int kWhiteOnlyDarkLimit = 145;
constexpr std::uint8_t kWhiteOnlyDarkLevel = 30;
constexpr std::uint8_t kPatternMagenta = 200;
// Near-white screen pixels over the medium (R + G + B above this) lighten it.
constexpr int kNearWhiteScreenSum = 740;

std::uint8_t ClampLevel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }
std::uint8_t ClampRound(double value) { return ClampLevel(RoundEven(value)); }

// Everything the colour preview derives from the controls before the first sample. Each
// per-channel step is a function of one level, so the samples only look values up.
struct PreviewTables {
  std::array<std::array<std::uint8_t, 256>, 3> tone;  // the tone curves
  std::array<std::uint8_t, 256> scale;                // × 0.98
  std::array<std::uint8_t, 256> brightness;           // the screen's brightness step
  std::array<std::uint8_t, 256> after_brightness;     // contrast, then gamma
  std::array<std::uint8_t, 256> gamma;                // gamma alone (contrast skipped)
  int black_limit = 0;                                // R
  int black_min_level = 256;                          // each colour must exceed 255 − f
  int threshold = 0;                                  // Tp
  double density = 0;                                 // dp
  bool paper_white = false;                           // t = 100 and d > 98
};

PreviewTables MakeTables(const PreviewParams& params, const ToneCurveTable& tone_table) {
  const SeparationParams& p = params.colour;
  PreviewTables t;
  t.tone = tone_table.levels;
  for (int v = 0; v < 256; ++v) t.scale[v] = ClampLevel(RoundEven(v * kColourScale));

  const double brightness = std::clamp(p.brightness, -100.0, 100.0);
  const int step = RoundEven((brightness - 10.0) / 3.5) + kScreenBrightnessOffset;
  const float contrast =
      static_cast<float>(std::clamp(p.contrast, -100.0, 100.0)) + kScreenContrastOffset;
  const float factor = 259.0f * (contrast + 255.0f) / (255.0f * (259.0f - contrast));
  for (int c = 0; c < 256; ++c) {
    // Gamma on the inverted (screen) level, then back to an ink level.
    const double light = (255 - c) / 255.0;
    t.gamma[c] = ClampRound(255.0 - 255.0 * std::pow(light, kScreenGamma));
    // Brightness and contrast work on the inverted level as in the print, and invert back.
    t.brightness[c] = ClampLevel(c - step);
  }
  for (int c = 0; c < 256; ++c) {
    float stretched = factor * static_cast<float>((255 - c) - 128) + 128.0f;
    stretched = std::min(std::max(stretched, 0.0f), 255.0f);
    const int contrasted = 255 - RoundEven(stretched);
    t.after_brightness[c] = t.gamma[ClampLevel(contrasted)];
  }

  if (p.black_removal) {
    const double f = std::isfinite(p.black_removal_fuzz) ? p.black_removal_fuzz : 0.0;
    t.black_limit = RoundEven(std::clamp(765.0 - 3.0 * f, -1.0, 766.0));
    // Every colour must exceed 255 − f; a fuzz of 0 removes nothing.
    t.black_min_level = std::clamp(RoundEven(std::floor(255.0 - f)) + 1, 0, 256);
  }
  const double d = std::clamp(p.white_density, 0.0, 100.0);
  const double white_t = std::clamp(p.white_threshold, 0.0, 100.0);
  t.threshold = RoundEven(3.0 * 254.0 * white_t / 100.0);
  t.density = d * 0.98 / 100.0;
  t.paper_white = white_t == 100.0 && d > 98.0;
  return t;
}

// The white share of a light pixel: how far its colour sum lies below the threshold.
double WhiteRatio(const PreviewTables& t, int sum) {
  const int w = std::min(std::max(t.threshold - sum, 0), 254);
  return w / 254.0 * t.density;
}

// Reduces a level by itself × ratio.
std::uint8_t Reduce(int level, double ratio) { return ClampRound(level - level * ratio); }

// The white plane under one sample, before and after the white edge.
struct WhiteUnder {
  std::uint8_t separated = 0;
  std::uint8_t printed = 0;
};

// The share of the white display under the white edge: `ratio` was the share of the colour
// the separated white takes off; the printed white takes off its part of it, and white that
// only the edge put there takes off as much as the density gives full white.
double EdgedWhiteRatio(double ratio, const WhiteUnder& white, const PreviewTables& t) {
  if (white.separated == white.printed) return ratio;
  if (white.separated == 0) return std::min(t.density * white.printed / 255.0, 1.0);
  return std::min(ratio * white.printed / white.separated, 1.0);
}

// One colour-preview record from one sample C', M', Y', A of the preview grid; `white` is the
// white under it when the white edge is displayed.
void ColourRecord(const std::uint8_t* sample, const PreviewTables& t, const PreviewParams& params,
                  const WhiteUnder* white, std::uint8_t* out) {
  const SeparationParams& p = params.colour;
  if (sample[3] <= kOpaqueLevel) return;  // the record stays (0, 0, 0, 0, 0)
  const int tc = t.tone[kToneCyan][sample[0]];
  const int tm = t.tone[kToneMagenta][sample[1]];
  const int ty = t.tone[kToneYellow][sample[2]];
  const int sum = tc + tm + ty;
  if (sum > t.black_limit && tc >= t.black_min_level && ty >= t.black_min_level &&
      tm >= t.black_min_level) {
    return;  // black removed
  }
  if (!p.print_white && sum < 10) return;  // no white toner: the background shows
  int c = t.scale[tc];
  int m = t.scale[tm];
  int y = t.scale[ty];
  if (c + m + y != 0) {
    c = t.brightness[c];
    m = t.brightness[m];
    y = t.brightness[y];
    if (c + m + y != 0) {
      c = t.after_brightness[c];
      m = t.after_brightness[m];
      y = t.after_brightness[y];
    }
    // All three at 0 after the brightness skip the contrast; gamma keeps 0 at 0.
  }
  const bool colour_toner = p.print_cmy && c + m + y != 0;
  if (params.display_white && p.print_white) {
    // The share of each colour the white under it takes off; all of it clears the colour.
    double ratio = 0;
    if (p.threshold_on) {
      if (sum >= 20 && sum <= t.threshold) ratio = t.paper_white ? 1.0 : WhiteRatio(t, sum);
    } else if (!p.print_cmy) {
      ratio = 1.0;
    } else {
      ratio = t.density;
    }
    if (white != nullptr) ratio = EdgedWhiteRatio(ratio, *white, t);
    c = Reduce(c, ratio);
    m = Reduce(m, ratio);
    y = Reduce(y, ratio);
  }
  int k = 0;
  if (!p.print_cmy) {
    // Only white prints: a grey impression of it.
    const double grey = std::min(0.3 * (255 - c) + 0.4 * (255 - m) + 0.3 * (255 - y), 255.0);
    const int g = ClampRound(255.0 - grey);
    const double ratio = WhiteRatio(t, sum);
    c = ClampRound(g * (1.0 - ratio));
    m = y = ClampRound(c * (1.0 - ratio));
    if (c > kWhiteOnlyDarkLimit) c = m = y = kWhiteOnlyDarkLevel;
    k = RoundEven(ratio);
  }
  out[0] = static_cast<std::uint8_t>(c);
  out[1] = static_cast<std::uint8_t>(m);
  out[2] = static_cast<std::uint8_t>(y);
  out[3] = static_cast<std::uint8_t>(k);
  // The edge took all white from a sample without colour toner: nothing prints there.
  const bool bare = white != nullptr && white->printed == 0 && white->separated != 0;
  out[4] = bare && !colour_toner ? 0 : 255;
}

bool HoldsGrid(const GridWhitePlanes& white, std::int32_t width, std::int32_t height) {
  const std::size_t pixels =
      static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
  return white.width == width && white.height == height && white.separated.size() == pixels &&
         white.printed.size() == pixels;
}

// The grid row or column of sample `index`: round(1 + index × grid ÷ samples) counted from 1,
// kept within the grid.
std::int32_t SamplePosition(std::int32_t index, std::int32_t grid, std::int32_t samples) {
  const double position = 1.0 + static_cast<double>(index) * grid / samples;
  return std::clamp(RoundEven(position), 1, grid) - 1;
}

void Put(std::uint8_t* pixel, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  pixel[0] = r;
  pixel[1] = g;
  pixel[2] = b;
  pixel[3] = 255;
}

std::uint8_t CheckerLevel(std::int32_t x, std::int32_t y) {
  return ((x / kCheckerSquare + y / kCheckerSquare) & 1) != 0 ? kCheckerGrey : 255;
}

void FillBackground(PreviewCanvas& canvas, PreviewBackground background) {
  const std::size_t row_bytes = 4 * static_cast<std::size_t>(canvas.width);
  if (background == PreviewBackground::kPlain) {
    std::memset(canvas.rgba.data(), 255, canvas.rgba.size());
    return;
  }
  if (background == PreviewBackground::kWhiteView) {
    for (std::size_t i = 0; i < canvas.rgba.size(); i += 4) Put(canvas.rgba.data() + i, 0, 0, 0);
    return;
  }
  // Every run of eight rows repeats its first row.
  for (std::int32_t y = 0; y < canvas.height; ++y) {
    std::uint8_t* row = canvas.rgba.data() + static_cast<std::size_t>(y) * row_bytes;
    if (y % kCheckerSquare != 0) {
      std::memcpy(row, row - row_bytes, row_bytes);
      continue;
    }
    for (std::int32_t x = 0; x < canvas.width; ++x) {
      const std::uint8_t level = CheckerLevel(x, y);
      Put(row + 4 * static_cast<std::size_t>(x), level, level, level);
    }
  }
}

// The edge of the printable area: a dotted grey line, every other pixel.
void DrawPrintableArea(PreviewCanvas& canvas, const PageLayout& layout) {
  const std::int32_t left = layout.margin_left_px;
  const std::int32_t top = layout.margin_top_px;
  const std::int32_t right = canvas.width - 1 - layout.margin_right_px;
  const std::int32_t bottom = canvas.height - 1 - layout.margin_bottom_px;
  if (left <= 0 && top <= 0 && right >= canvas.width - 1 && bottom >= canvas.height - 1) return;
  if (right <= left || bottom <= top) return;
  auto dot = [&](std::int32_t x, std::int32_t y) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || ((x + y) & 1) != 0) return;
    Put(canvas.rgba.data() + 4 * (static_cast<std::size_t>(y) * canvas.width + x), 150, 150, 150);
  };
  for (std::int32_t x = left; x <= right; ++x) {
    dot(x, top);
    dot(x, bottom);
  }
  for (std::int32_t y = top; y <= bottom; ++y) {
    dot(left, y);
    dot(right, y);
  }
}

void DrawPageOutline(PreviewCanvas& canvas) {
  auto put = [&](std::int32_t x, std::int32_t y) {
    Put(canvas.rgba.data() + 4 * (static_cast<std::size_t>(y) * canvas.width + x), 128, 128, 128);
  };
  for (std::int32_t x = 0; x < canvas.width; ++x) {
    put(x, 0);
    put(x, canvas.height - 1);
  }
  for (std::int32_t y = 0; y < canvas.height; ++y) {
    put(0, y);
    put(canvas.width - 1, y);
  }
}

// One copy with its top-left corner at (x0, y0), clipped to the canvas.
void DrawCopy(PreviewCanvas& canvas, PreviewBackground background, const PreviewImage& copy,
              std::int64_t x0, std::int64_t y0) {
  const std::int64_t first_x = std::max<std::int64_t>(x0, 0);
  const std::int64_t last_x = std::min<std::int64_t>(x0 + copy.width, canvas.width);
  const std::int64_t first_y = std::max<std::int64_t>(y0, 0);
  const std::int64_t last_y = std::min<std::int64_t>(y0 + copy.height, canvas.height);
  if (first_x >= last_x || first_y >= last_y) return;
  const bool medium = background == PreviewBackground::kMedium;
  for (std::int64_t y = first_y; y < last_y; ++y) {
    const std::uint8_t* in =
        copy.pixels.data() + 4 * (static_cast<std::size_t>(y - y0) * copy.width +
                                  static_cast<std::size_t>(first_x - x0));
    std::uint8_t* out =
        canvas.rgba.data() + 4 * (static_cast<std::size_t>(y) * canvas.width + first_x);
    for (std::int64_t x = first_x; x < last_x; ++x, in += 4, out += 4) {
      const std::uint8_t b = in[0];
      const std::uint8_t g = in[1];
      const std::uint8_t r = in[2];
      if (!medium) {
        Put(out, r, g, b);
        continue;
      }
      if (in[3] != 255) continue;  // undrawn: the medium shows
      if (r + g + b > kNearWhiteScreenSum) {
        // Near white: the medium lightened, with a touch of blue kept for bluish whites.
        if (b > 245) {
          Put(out, ClampLevel(out[0] + 150), ClampLevel(out[1] + 150), 255);
        } else {
          Put(out, ClampLevel(out[0] + 160), ClampLevel(out[1] + 160), ClampLevel(out[2] + 160));
        }
      } else {
        Put(out, r & out[0], g & out[1], b & out[2]);
      }
    }
  }
}

}  // namespace

std::optional<ProofRecords> SampleProofRecords(
    const WorkImage& image, std::int32_t width, std::int32_t height, const PreviewParams& params,
    const ToneCurveTable& tone_table, std::optional<std::span<const std::uint8_t>> pattern_mask,
    const GridWhitePlanes* white) {
  const std::int32_t grid_width = image.output_width;
  const std::int32_t grid_height = image.output_height;
  if (width <= 0 || height <= 0 || grid_width <= 0 || grid_height <= 0) return std::nullopt;
  const std::size_t samples = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (image.preview.size() / 4 / static_cast<std::size_t>(grid_width) <
      static_cast<std::size_t>(grid_height)) {
    return std::nullopt;
  }
  if (pattern_mask && pattern_mask->size() != samples) return std::nullopt;

  ProofRecords records;
  records.width = width;
  records.height = height;
  records.bytes.assign(5 * samples, 0);

  std::vector<std::int32_t> columns(static_cast<std::size_t>(width));
  for (std::int32_t i = 0; i < width; ++i) columns[i] = SamplePosition(i, grid_width, width);

  const bool hot_stamp = params.colour.hot_stamp;
  const PreviewTables tables = MakeTables(params, tone_table);
  const bool edged_white = white != nullptr && params.display_white && params.colour.print_white &&
                           HoldsGrid(*white, grid_width, grid_height);
  const auto tint = static_cast<std::uint8_t>(RoundEven(kHotStampPercent * 255.0 / 100.0));
  std::uint8_t* out = records.bytes.data();
  for (std::int32_t j = 0; j < height; ++j) {
    const std::uint8_t* row =
        image.preview.data() +
        4 * static_cast<std::size_t>(SamplePosition(j, grid_height, height)) * grid_width;
    for (std::int32_t i = 0; i < width; ++i, out += 5) {
      const std::uint8_t* sample = row + 4 * static_cast<std::size_t>(columns[i]);
      if (hot_stamp) {
        if (sample[3] > kOpaqueLevel) {
          out[0] = out[1] = out[2] = tint;
          out[4] = 255;
        }
        continue;
      }
      if (edged_white) {
        const std::size_t at = static_cast<std::size_t>(SamplePosition(j, grid_height, height)) *
                                   static_cast<std::size_t>(grid_width) +
                               static_cast<std::size_t>(columns[i]);
        const WhiteUnder under{white->separated[at], white->printed[at]};
        ColourRecord(sample, tables, params, &under, out);
        // White a spread put where nothing else prints shows as white.
        if (out[4] == 0 && under.printed != 0 && under.separated == 0) out[4] = 255;
      } else {
        ColourRecord(sample, tables, params, nullptr, out);
      }
    }
  }
  if (pattern_mask && !hot_stamp) {
    // Knocked-out pixels show in magenta.
    const std::uint8_t* mask = pattern_mask->data();
    for (std::size_t i = 0; i < samples; ++i) {
      if (mask[i] == 0) continue;
      std::uint8_t* record = records.bytes.data() + 5 * i;
      record[0] = 0;
      record[1] = kPatternMagenta;
      record[2] = record[3] = record[4] = 0;
    }
  }
  return records;
}

std::optional<PreviewImage> BuildPreviewImage(
    const WorkImage& image, std::int32_t width, std::int32_t height, const PreviewParams& params,
    const ToneCurveTable& tone_table, std::optional<std::span<const std::uint8_t>> pattern_mask,
    ProofTransformCache& proof, const ColourContext& colour, Notifier& notifier,
    const GridWhitePlanes* white) {
  std::optional<ProofRecords> records =
      SampleProofRecords(image, width, height, params, tone_table, pattern_mask, white);
  if (!records) return std::nullopt;
  PreviewImage preview;
  preview.width = width;
  preview.height = height;
  const std::size_t samples = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  preview.pixels.resize(4 * samples);
  if (!proof.Convert(records->bytes, preview.pixels, width, height, colour, notifier)) {
    return std::nullopt;
  }
  const std::uint8_t* in = records->bytes.data() + 4;
  std::uint8_t* out = preview.pixels.data() + 3;
  for (std::size_t i = 0; i < samples; ++i, in += 5, out += 4) *out = *in;
  return preview;
}

std::optional<PreviewImage> BuildWhiteViewImage(
    const GridWhitePlanes& white, std::int32_t width, std::int32_t height,
    std::optional<std::span<const std::uint8_t>> pattern_mask) {
  if (width <= 0 || height <= 0 || white.width <= 0 || white.height <= 0) return std::nullopt;
  if (!HoldsGrid(white, white.width, white.height)) return std::nullopt;
  const std::size_t samples = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (pattern_mask && pattern_mask->size() != samples) return std::nullopt;
  PreviewImage view;
  view.width = width;
  view.height = height;
  view.pixels.resize(4 * samples);
  std::vector<std::int32_t> columns(static_cast<std::size_t>(width));
  for (std::int32_t i = 0; i < width; ++i) columns[i] = SamplePosition(i, white.width, width);
  std::uint8_t* out = view.pixels.data();
  for (std::int32_t j = 0; j < height; ++j) {
    const std::uint8_t* row =
        white.printed.data() +
        static_cast<std::size_t>(SamplePosition(j, white.height, height)) * white.width;
    for (std::int32_t i = 0; i < width; ++i, out += 4) {
      const std::size_t at = static_cast<std::size_t>(j) * width + i;
      const std::uint8_t level = pattern_mask && (*pattern_mask)[at] != 0 ? 0 : row[columns[i]];
      out[0] = out[1] = out[2] = level;
      out[3] = 255;
    }
  }
  return view;
}

PreviewCanvas ComposePreviewCanvas(CanvasSize size, PreviewBackground background,
                                   const PageLayout* layout, const PreviewImage* copy) {
  PreviewCanvas canvas;
  if (size.width <= 0 || size.height <= 0) return canvas;
  canvas.width = size.width;
  canvas.height = size.height;
  canvas.rgba.resize(4 * static_cast<std::size_t>(size.width) *
                     static_cast<std::size_t>(size.height));
  FillBackground(canvas, background);
  if (layout != nullptr) {
    DrawPrintableArea(canvas, *layout);
    if (copy != nullptr && copy->width > 0 && copy->height > 0 &&
        copy->pixels.size() >= 4 * static_cast<std::size_t>(copy->width) * copy->height) {
      // Copies past the canvas are not drawn; the counts may be far beyond what fits.
      const std::int64_t step_x = std::int64_t{copy->width} + std::max(layout->gap_x_px, 0);
      const std::int64_t step_y = std::int64_t{copy->height} + std::max(layout->gap_y_px, 0);
      for (std::int64_t row = 0; row < layout->copies_down; ++row) {
        const std::int64_t y0 = layout->origin_y_px + row * step_y;
        if (y0 >= canvas.height) break;
        for (std::int64_t column = 0; column < layout->copies_across; ++column) {
          const std::int64_t x0 = layout->origin_x_px + column * step_x;
          if (x0 >= canvas.width) break;
          DrawCopy(canvas, background, *copy, x0, y0);
        }
      }
    }
  }
  DrawPageOutline(canvas);
  return canvas;
}

std::string ZoomLabel(const WorkImage& image, bool rotate) {
  const float physical = rotate ? image.physical_height_pt : image.physical_width_pt;
  const double scale =
      physical > 0 ? static_cast<double>(image.oriented_width_pt) / physical : image.scale_factor;
  return FormatWithMask(scale * 100.0, "#.#") + "%";
}

}  // namespace kelvaro
