#ifndef KELVARO_IMAGE_COLOUR_MATHS_H_
#define KELVARO_IMAGE_COLOUR_MATHS_H_

// The per-pixel colour maths of the print and of its screen preview. Both call these, so the
// preview decides every pixel (drawn or not, black or not, white under it or not) exactly as
// the print does, and only the screen's own calibration and white display are the preview's.

#include <algorithm>
#include <array>
#include <cstdint>

#include "image/separation.h"
#include "image/tone_curve_table.h"

namespace kelvaro {

// Opacity is all or nothing in the print: a pixel above this gets toner, any other none, so
// that a soft edge does not print as a faint halo of white.
inline constexpr std::uint8_t kOpaqueCut = 180;
inline bool IsOpaque(std::uint8_t opacity) { return opacity > kOpaqueCut; }

// The flat tint of the hot stamp foil on each colour unit: 88 % of full toner.
std::uint8_t HotStampLevel();

// Everything the print derives from the controls before the first pixel.
struct SeparationConstants {
  int hot_stamp_level = 0;      // L, toner level of the hot-stamp tint
  float colour_scale = 0;       // s, applied after the tone curves
  int brightness_step = 0;      // B, subtracted from every colour level
  float contrast_factor = 0;    // F
  int white_only_level = 0;     // WO
  int white_density_level = 0;  // D, rounded
  int threshold = 0;            // T, strongest colour up to which white is added (non-film)
  double film_threshold = 0;    // T7, colour sum up to which white is added (film)
  int black_limit = 0;          // R, colour sum above which a pixel may count as black
  int black_min_level = 0;      // every colour must be at least this to count as black
};

SeparationConstants DeriveSeparationConstants(const SeparationParams& params);

// Cyan, magenta and yellow levels of one pixel.
struct Levels {
  int c = 0;
  int m = 0;
  int y = 0;
  int sum() const { return c + m + y; }
};

// The toner one pixel gets from the print, before the toner layout puts white in its slot.
struct TonerAmounts {
  std::uint8_t c = 0;
  std::uint8_t m = 0;
  std::uint8_t y = 0;
  std::uint8_t w = 0;
};

// The print's colour path as look-up tables made once per run: each per-channel step is a
// function of one level, so a pixel only looks values up.
struct PrintColourTables {
  std::array<std::array<std::uint8_t, 256>, 3> curve_scaled{};  // tone curve, then × s
  std::array<std::uint8_t, 256> contrast{};                     // applied when c + m + y > 0
  std::array<std::uint8_t, 256> brightness{};                   // applied when c + m + y > 0
  std::array<std::uint8_t, 256> white_by_max{};  // non-film white for sum > 20, by max level
  std::array<std::uint8_t, 766> white_by_sum{};  // film white for sum > 20, by colour sum
  std::uint8_t white_only = 0;
  int black_limit = 766;      // R; beyond any sum while black removal is off
  int black_min_level = 256;  // beyond any level while black removal is off
  bool threshold_on = true;
  bool film = false;
  bool black_removal = false;
  bool print_cmy = true;
  bool print_white = true;
};

PrintColourTables MakePrintColourTables(const SeparationParams& params,
                                        const ToneCurveTable& tone_table);

// The levels the print lays for the grid's C, M, Y: the tone curves scaled by s, then the
// contrast and then the brightness, each on the inverted (screen-like) level. A pixel without
// any colour skips both, so that paper white stays exactly white.
inline Levels PrintLevels(const PrintColourTables& t, const std::uint8_t* cmy) {
  Levels l{t.curve_scaled[kToneCyan][cmy[0]], t.curve_scaled[kToneMagenta][cmy[1]],
           t.curve_scaled[kToneYellow][cmy[2]]};
  if (l.sum() == 0) return l;
  l = {t.contrast[l.c], t.contrast[l.m], t.contrast[l.y]};
  if (l.sum() == 0) return l;
  return {t.brightness[l.c], t.brightness[l.m], t.brightness[l.y]};
}

// Black removal: a pixel whose colours are all near full and whose sum is above R is so dark
// that the medium itself should show there; it gets no toner at all.
inline bool IsRemovedBlack(const PrintColourTables& t, const Levels& l) {
  return t.black_removal && l.sum() > t.black_limit && l.c >= t.black_min_level &&
         l.y >= t.black_min_level && l.m >= t.black_min_level;
}

// The white under a pixel: near white (sum up to 20) gets the white-only level, as does every
// pixel with the threshold off; otherwise white falls off as the colour grows (by the
// strongest colour, or by the sum on film) and ends at the threshold. Pure white gets 250
// while black removal is off, so that a white area of the picture prints as solid white.
inline int WhiteAmount(const PrintColourTables& t, const Levels& l) {
  const int sum = l.sum();
  if (!t.black_removal && sum == 0) return 250;
  if (t.threshold_on && sum <= 20) return t.white_only;
  if (t.film) return t.white_by_sum[sum];
  return t.white_by_max[std::max(l.c, std::max(l.m, l.y))];
}

// The toner of one opaque pixel: its levels and its white, nothing where black is removed,
// and only what the "Print CMY" and "Print White" boxes let through.
inline TonerAmounts OpaquePixelToner(const PrintColourTables& t, const std::uint8_t* cmy) {
  const Levels l = PrintLevels(t, cmy);
  if (IsRemovedBlack(t, l)) return {};
  TonerAmounts toner;
  if (t.print_cmy) {
    toner = {static_cast<std::uint8_t>(l.c), static_cast<std::uint8_t>(l.m),
             static_cast<std::uint8_t>(l.y), 0};
  }
  if (t.print_white) toner.w = static_cast<std::uint8_t>(WhiteAmount(t, l));
  return toner;
}

// The white plane under one pixel, as the separation made it and as the job prints it after
// the white edge. Without an edge both are the same.
struct WhiteUnder {
  std::uint8_t separated = 0;
  std::uint8_t printed = 0;
};

// The screen's own colour path, made once per refresh. The screen is calibrated darker and
// harder than the print (ten brightness steps down, ten percent more contrast) and with a
// gamma of 1.1; these are calibrations of the display, not of the print.
struct ScreenColourTables {
  std::array<std::array<std::uint8_t, 256>, 3> tone{};  // the tone curves
  std::array<std::uint8_t, 256> scale{};                // × s
  std::array<std::uint8_t, 256> brightness{};           // the screen's brightness step
  std::array<std::uint8_t, 256> after_brightness{};     // the screen's contrast, then gamma
  int white_threshold = 0;                              // Tp, colour sum of the white display
  double density = 0;                                   // dp, the white display's strength
  bool paper_white = false;                             // t = 100 and d > 98
};

ScreenColourTables MakeScreenColourTables(const SeparationParams& params,
                                          const ToneCurveTable& tone_table);

// The screen levels of a preview colour (black folded in) after its tone curves: × s, then
// brightness, contrast and gamma in that order. Colourless stays colourless.
inline Levels ScreenLevels(const ScreenColourTables& t, const Levels& toned) {
  Levels l{t.scale[toned.c], t.scale[toned.m], t.scale[toned.y]};
  if (l.sum() == 0) return l;
  l = {t.brightness[l.c], t.brightness[l.m], t.brightness[l.y]};
  // All three at 0 after the brightness skip the contrast; gamma keeps 0 at 0.
  if (l.sum() == 0) return l;
  return {t.after_brightness[l.c], t.after_brightness[l.m], t.after_brightness[l.y]};
}

// The white display: the share of each colour the white under a pixel takes off on the screen
// (1 clears the colour). `sum` is the pixel's toned sum; `white` is the print's white there.
// No white printed, no lightening; where the white edge changed the white, the share follows
// the printed amount.
double DisplayedWhiteShare(const ScreenColourTables& t, const SeparationParams& controls, int sum,
                           const WhiteUnder& white);

// The white-only display ("Print CMY" off): a grey of the colour's lightness, lighter under
// more white; a dark result is drawn flat at level 30. Returns C, M, Y, K of the record.
std::array<std::uint8_t, 4> WhiteOnlyGrey(const ScreenColourTables& t, const Levels& screen,
                                          int sum);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_COLOUR_MATHS_H_
