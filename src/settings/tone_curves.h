#ifndef KELVARO_SETTINGS_TONE_CURVES_H_
#define KELVARO_SETTINGS_TONE_CURVES_H_

#include <array>
#include <string>
#include <string_view>

namespace kelvaro {

// One control point of a tone curve: input and output levels, 0 to 255.
struct ToneCurvePoint {
  int input = 0;
  int output = 0;
  bool operator==(const ToneCurvePoint&) const = default;
};

// Three four-point curves (cyan, magenta, yellow); each curve holds its points from the
// highest input to the lowest.
struct ToneCurves {
  std::array<std::array<ToneCurvePoint, 4>, 3> curves{};
  bool operator==(const ToneCurves&) const = default;
};

// The stored form: 48 uppercase hexadecimal digits, curve 1 first, each point as input then
// output, two digits per number.
inline constexpr std::size_t kToneCurvesTextLength = 48;
// Curves of the white-last toner order (the default).
inline constexpr char kDefaultToneCurvesText[] = "FFFDA5A557560000FFFDA5A557560000FFFDA5A557560000";
// Curves of the white-first toner order preset.
inline constexpr char kWhiteFirstToneCurvesText[] =
    "FFFDFAB584610000FFFDABCD66750000FFFDA2F7607D0000";

// The 48-digit text; numbers outside 0..255 are clamped first.
std::string EncodeToneCurves(const ToneCurves& curves);

// Takes each pair of digits as a hexadecimal number. Like the stored texts of older versions,
// a short text leaves the missing numbers 0 and a pair that is not hexadecimal reads by its
// leading hexadecimal digits (none: 0). Use IsToneCurvesText to tell a complete text.
ToneCurves DecodeToneCurves(std::string_view text);

// True for exactly 48 hexadecimal digits (either case).
bool IsToneCurvesText(std::string_view text);

ToneCurves DefaultToneCurves();     // the white-last default
ToneCurves WhiteFirstToneCurves();  // the white-first preset

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_TONE_CURVES_H_
