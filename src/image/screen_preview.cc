#include "image/screen_preview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>

#include "image/colour_maths.h"
#include "platform/rounding.h"
#include "printers/units.h"

namespace kelvaro {
namespace {

constexpr std::uint8_t kPatternMagenta = 200;
// Near-white screen pixels over the medium (R + G + B above this) lighten it.
constexpr int kNearWhiteScreenSum = 740;

std::uint8_t ClampLevel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }
std::uint8_t ClampRound(double value) { return ClampLevel(RoundEven(value)); }

// Reduces a level by itself × share.
std::uint8_t Reduce(int level, double share) { return ClampRound(level - level * share); }

// What every sample of one refresh needs: the print's colour maths, which decides whether and
// with what toner the pixel under the sample prints, and the screen's, which says how that
// looks.
struct SampleJob {
  const PreviewParams& params;
  PrintColourTables print;
  ScreenColourTables screen;
  const GridWhitePlanes* white = nullptr;  // the white the job prints, when displayed
};

// One colour-preview record from sample number `at` (see PreviewSamples): the preview grid's
// C', M', Y', A, then the pixel grid's C, M, Y. The record is drawn exactly where the print
// lays toner: the colour toner of the pixel, or the white under it (with the white edge
// displayed, the white the job prints after the edge).
void ColourRecord(const SampleJob& job, const std::uint8_t* sample, std::size_t at,
                  std::uint8_t* out) {
  const SeparationParams& p = job.params.colour;
  const bool opaque = IsOpaque(sample[3]);
  const TonerAmounts toner = opaque ? OpaquePixelToner(job.print, sample + 4) : TonerAmounts{};
  WhiteUnder white{toner.w, toner.w};
  if (job.white != nullptr) white = {job.white->separated[at], job.white->printed[at]};
  const bool colour_toner = (toner.c | toner.m | toner.y) != 0;
  if (!colour_toner && white.printed == 0) {
    std::memset(out, 0, 5);  // nothing prints: the background shows
    return;
  }
  out[4] = 255;
  // Only white prints here (or white an edge spread under a transparent pixel): white paper.
  if (!opaque || (!colour_toner && p.print_cmy)) {
    std::memset(out, 0, 4);
    return;
  }
  const Levels toned{job.screen.tone[kToneCyan][sample[0]],
                     job.screen.tone[kToneMagenta][sample[1]],
                     job.screen.tone[kToneYellow][sample[2]]};
  Levels screen = ScreenLevels(job.screen, toned);
  if (job.params.display_white && p.print_white) {
    const double share = DisplayedWhiteShare(job.screen, p, toned.sum(), white);
    if (share > 0) {
      screen = {Reduce(screen.c, share), Reduce(screen.m, share), Reduce(screen.y, share)};
    }
  }
  if (!p.print_cmy) {
    const std::array<std::uint8_t, 4> grey = WhiteOnlyGrey(job.screen, screen, toned.sum());
    std::copy(grey.begin(), grey.end(), out);
    return;
  }
  out[0] = static_cast<std::uint8_t>(screen.c);
  out[1] = static_cast<std::uint8_t>(screen.m);
  out[2] = static_cast<std::uint8_t>(screen.y);
  out[3] = 0;
}

// The colour records of samples `begin` to `end` (not included) into `records`. A sample equal
// to the one before it makes the same record, unless the white under it may differ.
void ColourRecords(const SampleJob& job, const std::uint8_t* samples, std::size_t begin,
                   std::size_t end, std::uint8_t* records) {
  const std::uint8_t* sample = samples + kPreviewSampleBytes * begin;
  std::uint8_t* out = records + 5 * begin;
  for (std::size_t at = begin; at < end; ++at, sample += kPreviewSampleBytes, out += 5) {
    if (at != begin && job.white == nullptr &&
        std::memcmp(sample, sample - kPreviewSampleBytes, kPreviewSampleBytes) == 0) {
      std::memcpy(out, out - 5, 5);
    } else {
      ColourRecord(job, sample, at, out);
    }
  }
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

// The preview grid and the pixel grid both hold the published output size.
bool HoldsPicture(const WorkImage& image) {
  const std::int32_t w = image.output_width;
  const std::int32_t h = image.output_height;
  if (w <= 0 || h <= 0) return false;
  const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  return image.preview.size() / 4 >= pixels && image.grid.size() / 5 >= pixels;
}

// The grid column of every sample column.
std::vector<std::int32_t> SampleColumns(std::int32_t samples, std::int32_t grid) {
  std::vector<std::int32_t> columns(static_cast<std::size_t>(samples));
  for (std::int32_t i = 0; i < samples; ++i) columns[i] = SamplePosition(i, grid, samples);
  return columns;
}

// The white planes of the grid sampled as the picture is, one byte per sample each.
GridWhitePlanes SampleWhitePlanes(const GridWhitePlanes& white, std::int32_t width,
                                  std::int32_t height) {
  GridWhitePlanes sampled;
  sampled.width = width;
  sampled.height = height;
  const std::size_t samples = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  sampled.separated.resize(samples);
  sampled.printed.resize(samples);
  const std::vector<std::int32_t> columns = SampleColumns(width, white.width);
  std::size_t at = 0;
  for (std::int32_t j = 0; j < height; ++j) {
    const std::size_t first =
        static_cast<std::size_t>(SamplePosition(j, white.height, height)) * white.width;
    for (const std::int32_t column : columns) {
      sampled.separated[at] = white.separated[first + column];
      sampled.printed[at] = white.printed[first + column];
      ++at;
    }
  }
  return sampled;
}

// The hot stamp foil: a flat tint wherever the print lays it.
void HotStampRecord(const std::uint8_t* sample, std::uint8_t tint, std::uint8_t* out) {
  const bool opaque = IsOpaque(sample[3]);
  out[0] = out[1] = out[2] = opaque ? tint : 0;
  out[3] = 0;
  out[4] = opaque ? 255 : 0;
}

// Knocked-out pixels show in magenta.
void ShowKnockOut(std::span<const std::uint8_t> mask, ProofRecords& records) {
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == 0) continue;
    std::uint8_t* record = records.bytes.data() + 5 * i;
    record[0] = 0;
    record[1] = kPatternMagenta;
    record[2] = record[3] = record[4] = 0;
  }
}

// Runs of equal neighbouring proof records.
struct RecordRuns {
  ScreenBytes firsts;               // the first record of each run, 5 bytes
  std::vector<std::uint32_t> ends;  // one past the last record of each run
};

bool SameRecord(const std::uint8_t* records, std::size_t i) {
  return std::memcmp(records + 5 * i, records + 5 * (i - 1), 5) == 0;
}

std::size_t CountRuns(const std::uint8_t* records, std::size_t count) {
  std::size_t runs = count == 0 ? 0 : 1;
  for (std::size_t i = 1; i < count; ++i) runs += SameRecord(records, i) ? 0 : 1;
  return runs;
}

// The runs of `count` records (at least one), of which there are `runs`.
RecordRuns GatherRuns(const std::uint8_t* records, std::size_t count, std::size_t runs) {
  RecordRuns gathered;
  gathered.firsts.resize(5 * runs);
  gathered.ends.resize(runs);
  std::memcpy(gathered.firsts.data(), records, 5);
  std::size_t run = 0;
  for (std::size_t i = 1; i < count; ++i) {
    if (SameRecord(records, i)) continue;
    gathered.ends[run++] = static_cast<std::uint32_t>(i);
    std::memcpy(gathered.firsts.data() + 5 * run, records + 5 * i, 5);
  }
  gathered.ends[run] = static_cast<std::uint32_t>(count);
  return gathered;
}

// The proof of `records` into `pixels` (4 bytes each: B, G, R, then the record's E); false as
// the proof fails. Neighbouring samples often make the same record (flat colour, transparent
// margins), and the proof gives every record its own colour, so then each run of equal
// records is converted once; where most neighbours differ, gathering the runs would cost more
// than it saves.
bool ProofToPixels(const ProofRecords& records, ProofTransformCache& proof,
                   const ColourContext& colour, Notifier& notifier, ScreenBytes& pixels) {
  const std::uint8_t* bytes = records.bytes.data();
  const std::size_t count =
      static_cast<std::size_t>(records.width) * static_cast<std::size_t>(records.height);
  const std::size_t runs = CountRuns(bytes, count);
  if (2 * runs >= count || runs > static_cast<std::size_t>(INT32_MAX)) {
    if (!proof.Convert(records.bytes, pixels, records.width, records.height, colour, notifier)) {
      return false;
    }
    std::uint8_t* out = pixels.data() + 3;
    for (std::size_t i = 0; i < count; ++i, out += 4) *out = bytes[5 * i + 4];
    return true;
  }
  const RecordRuns gathered = GatherRuns(bytes, count, runs);
  ScreenBytes screen(4 * runs);
  if (!proof.Convert(gathered.firsts, screen, static_cast<std::int32_t>(runs), 1, colour,
                     notifier)) {
    return false;
  }
  std::uint8_t* out = pixels.data();
  std::size_t i = 0;
  for (std::size_t run = 0; run < runs; ++run) {
    const std::uint8_t pixel[4] = {screen[4 * run], screen[4 * run + 1], screen[4 * run + 2],
                                   gathered.firsts[5 * run + 4]};
    for (; i < gathered.ends[run]; ++i, out += 4) std::memcpy(out, pixel, 4);
  }
  return true;
}

}  // namespace

std::optional<PreviewSamples> SamplePicture(const WorkImage& image, std::int32_t width,
                                            std::int32_t height) {
  if (width <= 0 || height <= 0 || !HoldsPicture(image)) return std::nullopt;
  PreviewSamples samples;
  samples.width = width;
  samples.height = height;
  samples.grid_width = image.output_width;
  samples.grid_height = image.output_height;
  samples.bytes.resize(kPreviewSampleBytes * static_cast<std::size_t>(width) *
                       static_cast<std::size_t>(height));  // every byte is written below
  const std::vector<std::int32_t> columns = SampleColumns(width, samples.grid_width);
  std::uint8_t* out = samples.bytes.data();
  for (std::int32_t j = 0; j < height; ++j) {
    const std::size_t first =
        static_cast<std::size_t>(SamplePosition(j, samples.grid_height, height)) *
        static_cast<std::size_t>(samples.grid_width);
    for (const std::int32_t column : columns) {
      const std::size_t at = first + static_cast<std::size_t>(column);
      std::memcpy(out, image.preview.data() + 4 * at, 4);
      std::memcpy(out + 4, image.grid.data() + 5 * at, 3);
      out[7] = 0;
      out += kPreviewSampleBytes;
    }
  }
  return samples;
}

const PreviewSamples* PreviewSampleCache::Samples(const WorkImage& image, std::int32_t width,
                                                  std::int32_t height) {
  const bool same = kept_ && kept_->width == width && kept_->height == height &&
                    kept_->grid_width == image.output_width &&
                    kept_->grid_height == image.output_height && grid_ == image.grid.data() &&
                    preview_ == image.preview.data();
  if (!same) {
    kept_ = SamplePicture(image, width, height);
    grid_ = image.grid.data();
    preview_ = image.preview.data();
  }
  return kept_ ? &*kept_ : nullptr;
}

std::optional<ProofRecords> SampleProofRecords(
    const PreviewSamples& samples, const PreviewParams& params, const ToneCurveTable& tone_table,
    std::optional<std::span<const std::uint8_t>> pattern_mask, const GridWhitePlanes* white) {
  const std::size_t count =
      static_cast<std::size_t>(samples.width) * static_cast<std::size_t>(samples.height);
  if (samples.bytes.size() != kPreviewSampleBytes * count) return std::nullopt;
  if (pattern_mask && pattern_mask->size() != count) return std::nullopt;

  ProofRecords records;
  records.width = samples.width;
  records.height = samples.height;
  records.bytes.resize(5 * count);  // every record is written below
  if (params.colour.hot_stamp) {
    const std::uint8_t* sample = samples.bytes.data();
    std::uint8_t* out = records.bytes.data();
    const std::uint8_t tint = HotStampLevel();
    for (std::size_t at = 0; at < count; ++at, sample += kPreviewSampleBytes, out += 5) {
      HotStampRecord(sample, tint, out);
    }
    return records;
  }
  const bool edged_white = white != nullptr && params.display_white && params.colour.print_white &&
                           HoldsGrid(*white, samples.grid_width, samples.grid_height);
  std::optional<GridWhitePlanes> sampled_white;
  if (edged_white) sampled_white = SampleWhitePlanes(*white, samples.width, samples.height);
  const SampleJob job{params, MakePrintColourTables(params.colour, tone_table),
                      MakeScreenColourTables(params.colour, tone_table),
                      sampled_white ? &*sampled_white : nullptr};
  // A refresh follows a slider as it moves: the second half of the copy on another core.
  const std::size_t half = count / 2;
  {
    std::jthread other([&job, &samples, &records, half, count] {
      ColourRecords(job, samples.bytes.data(), half, count, records.bytes.data());
    });
    ColourRecords(job, samples.bytes.data(), 0, half, records.bytes.data());
  }
  if (pattern_mask) ShowKnockOut(*pattern_mask, records);
  return records;
}

std::optional<ProofRecords> SampleProofRecords(
    const WorkImage& image, std::int32_t width, std::int32_t height, const PreviewParams& params,
    const ToneCurveTable& tone_table, std::optional<std::span<const std::uint8_t>> pattern_mask,
    const GridWhitePlanes* white) {
  const std::optional<PreviewSamples> samples = SamplePicture(image, width, height);
  if (!samples) return std::nullopt;
  return SampleProofRecords(*samples, params, tone_table, pattern_mask, white);
}

std::optional<PreviewImage> BuildPreviewImage(
    const PreviewSamples& samples, const PreviewParams& params, const ToneCurveTable& tone_table,
    std::optional<std::span<const std::uint8_t>> pattern_mask, ProofTransformCache& proof,
    const ColourContext& colour, Notifier& notifier, const GridWhitePlanes* white) {
  const std::optional<ProofRecords> records =
      SampleProofRecords(samples, params, tone_table, pattern_mask, white);
  if (!records) return std::nullopt;
  PreviewImage preview;
  preview.width = records->width;
  preview.height = records->height;
  preview.pixels.resize(4 * static_cast<std::size_t>(preview.width) *
                        static_cast<std::size_t>(preview.height));
  if (!ProofToPixels(*records, proof, colour, notifier, preview.pixels)) return std::nullopt;
  return preview;
}

std::optional<PreviewImage> BuildWhiteViewImage(
    const GridWhitePlanes& white, std::int32_t width, std::int32_t height,
    std::optional<std::span<const std::uint8_t>> pattern_mask) {
  if (width <= 0 || height <= 0 || white.width <= 0 || white.height <= 0) return std::nullopt;
  if (!HoldsGrid(white, white.width, white.height)) return std::nullopt;
  const std::size_t samples = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (pattern_mask && pattern_mask->size() != samples) return std::nullopt;
  const GridWhitePlanes sampled = SampleWhitePlanes(white, width, height);
  PreviewImage view;
  view.width = width;
  view.height = height;
  view.pixels.resize(4 * samples);
  std::uint8_t* out = view.pixels.data();
  for (std::size_t at = 0; at < samples; ++at, out += 4) {
    const std::uint8_t level = pattern_mask && (*pattern_mask)[at] != 0 ? 0 : sampled.printed[at];
    out[0] = out[1] = out[2] = level;
    out[3] = 255;
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
