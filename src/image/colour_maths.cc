#include "image/colour_maths.h"

#include <cmath>

#include "platform/rounding.h"

namespace kelvaro {
namespace {

constexpr int kHotStampPercent = 88;
constexpr float kColourScale = 98.0f / 100.0f;
constexpr double kScreenGamma = 1.1;
constexpr int kScreenBrightnessOffset = -10;
constexpr float kScreenContrastOffset = 10.0f;
// Where the white-only grey turns into the flat level, and that level.
constexpr int kWhiteOnlyDarkLimit = 145;
constexpr std::uint8_t kWhiteOnlyDarkLevel = 30;

std::uint8_t ClampLevel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }
std::uint8_t ClampRound(double value) { return ClampLevel(RoundEven(value)); }

// Brightness step B: the label's percentage in steps of 3.5, with 10 % as no change.
int BrightnessStep(double brightness) {
  return RoundEven((std::clamp(brightness, -100.0, 100.0) - 10.0) / 3.5);
}

// Contrast factor F for a contrast percentage: the usual 259-based stretch about mid grey.
float ContrastFactor(float contrast) {
  return 259.0f * (contrast + 255.0f) / (255.0f * (259.0f - contrast));
}

// The contrast on one ink level: stretched about mid grey on the inverted level, clamped,
// rounded and inverted back.
int ContrastLevel(float factor, int level) {
  float stretched = factor * static_cast<float>((255 - level) - 128) + 128.0f;
  stretched = std::min(std::max(stretched, 0.0f), 255.0f);
  return 255 - RoundEven(stretched);
}

// The white tables of the print: for every strongest colour (non-film) and every colour sum
// (film) the white a pixel above the near-white sum gets.
void FillWhiteTables(PrintColourTables& t, const SeparationConstants& k, bool threshold_on) {
  for (int max_level = 0; max_level < 256; ++max_level) {
    int w = k.white_only_level;
    if (threshold_on) {
      if (max_level > k.threshold) {
        w = 0;
      } else {
        w = max_level <= 10 ? k.white_density_level : std::min(k.threshold - max_level, 250);
      }
    }
    t.white_by_max[max_level] = ClampLevel(w);
  }
  for (int sum = 0; sum < 766; ++sum) {
    int w = k.white_only_level;
    if (threshold_on) {
      w = sum <= k.film_threshold ? RoundEven(6.0 + std::min(k.film_threshold - sum, 210.0)) : 0;
    }
    t.white_by_sum[sum] = ClampLevel(w);
  }
}

}  // namespace

std::uint8_t HotStampLevel() { return ClampLevel(RoundEven(255.0 * kHotStampPercent / 100.0)); }

SeparationConstants DeriveSeparationConstants(const SeparationParams& params) {
  const double d = std::clamp(params.white_density, 0.0, 100.0);
  const double t = std::clamp(params.white_threshold, 0.0, 100.0);
  const float contrast = static_cast<float>(std::clamp(params.contrast, -100.0, 100.0));
  const double f = params.black_removal_fuzz;

  SeparationConstants k;
  k.hot_stamp_level = HotStampLevel();
  k.colour_scale = kColourScale;
  k.brightness_step = BrightnessStep(params.brightness);
  k.contrast_factor = ContrastFactor(contrast);
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

PrintColourTables MakePrintColourTables(const SeparationParams& params,
                                        const ToneCurveTable& tone_table) {
  const SeparationConstants k = DeriveSeparationConstants(params);
  PrintColourTables t;
  for (int ch = 0; ch < 3; ++ch) {
    for (int v = 0; v < 256; ++v) {
      const float scaled = static_cast<float>(tone_table.levels[ch][v]) * k.colour_scale;
      t.curve_scaled[ch][v] = ClampLevel(RoundEven(scaled));
    }
  }
  for (int c = 0; c < 256; ++c) {
    t.contrast[c] = ClampLevel(ContrastLevel(k.contrast_factor, c));
    t.brightness[c] = ClampLevel(255 - std::clamp(255 - c + k.brightness_step, 0, 255));
  }
  t.white_only = ClampLevel(k.white_only_level);
  FillWhiteTables(t, k, params.threshold_on);
  t.black_limit = k.black_limit;
  t.black_min_level = k.black_min_level;
  t.threshold_on = params.threshold_on;
  t.film = params.film;
  t.black_removal = params.black_removal;
  t.print_cmy = params.print_cmy;
  t.print_white = params.print_white;
  return t;
}

ScreenColourTables MakeScreenColourTables(const SeparationParams& params,
                                          const ToneCurveTable& tone_table) {
  ScreenColourTables t;
  t.tone = tone_table.levels;
  for (int v = 0; v < 256; ++v) t.scale[v] = ClampLevel(RoundEven(v * kColourScale));
  const int step = BrightnessStep(params.brightness) + kScreenBrightnessOffset;
  const float factor = ContrastFactor(
      static_cast<float>(std::clamp(params.contrast, -100.0, 100.0)) + kScreenContrastOffset);
  std::array<std::uint8_t, 256> gamma;
  for (int c = 0; c < 256; ++c) {
    // Gamma on the inverted (screen) level, then back to an ink level.
    gamma[c] = ClampRound(255.0 - 255.0 * std::pow((255 - c) / 255.0, kScreenGamma));
    t.brightness[c] = ClampLevel(c - step);
  }
  for (int c = 0; c < 256; ++c) {
    t.after_brightness[c] = gamma[ClampLevel(ContrastLevel(factor, c))];
  }
  const double d = std::clamp(params.white_density, 0.0, 100.0);
  const double white_t = std::clamp(params.white_threshold, 0.0, 100.0);
  t.white_threshold = RoundEven(3.0 * 254.0 * white_t / 100.0);
  t.density = d * 0.98 / 100.0;
  t.paper_white = white_t == 100.0 && d > 98.0;
  return t;
}

namespace {

// The screen's white share of a light pixel: how far its colour sum lies below Tp, times dp.
double WhiteRatio(const ScreenColourTables& t, int sum) {
  const int w = std::min(std::max(t.white_threshold - sum, 0), 254);
  return w / 254.0 * t.density;
}

}  // namespace

double DisplayedWhiteShare(const ScreenColourTables& t, const SeparationParams& controls, int sum,
                           const WhiteUnder& white) {
  if (white.printed == 0) return 0;
  double share = 0;
  if (controls.threshold_on) {
    // Near white is shown as it is; light colours lose up to all of their colour.
    if (sum >= 20 && sum <= t.white_threshold) share = t.paper_white ? 1.0 : WhiteRatio(t, sum);
  } else {
    share = controls.print_cmy ? t.density : 1.0;
  }
  if (white.separated == white.printed) return share;
  // The white edge changed the white: the printed white takes off its part of the share, and
  // white that only the edge put there as much as the density gives full white.
  if (white.separated == 0) return std::min(t.density * white.printed / 255.0, 1.0);
  return std::min(share * white.printed / white.separated, 1.0);
}

std::array<std::uint8_t, 4> WhiteOnlyGrey(const ScreenColourTables& t, const Levels& screen,
                                          int sum) {
  const double grey =
      std::min(0.3 * (255 - screen.c) + 0.4 * (255 - screen.m) + 0.3 * (255 - screen.y), 255.0);
  const int g = ClampRound(255.0 - grey);
  const double ratio = WhiteRatio(t, sum);
  std::uint8_t c = ClampRound(g * (1.0 - ratio));
  std::uint8_t my = ClampRound(c * (1.0 - ratio));
  if (c > kWhiteOnlyDarkLimit) c = my = kWhiteOnlyDarkLevel;
  return {c, my, my, static_cast<std::uint8_t>(RoundEven(ratio))};
}

}  // namespace kelvaro
