#ifndef KELVARO_PLATFORM_LENGTH_UNITS_H_
#define KELVARO_PLATFORM_LENGTH_UNITS_H_

// Lengths inside the program are points (1/72 inch); the user sees millimetres, centimetres
// or inches (printers/units.h), pictures are pixels at a resolution in dots per inch.
//
// Every conversion keeps the order of its operations. The same factors applied in another
// order can round differently in the last bit of a double, and job bytes and shown numbers
// depend on it; where two callers need the same conversion in different orders, each order has
// a name of its own.

namespace kelvaro {

inline constexpr double kPointsPerInch = 72.0;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kCentimetresPerInch = 2.54;
// One millimetre in points to three decimals: the gap of the optimal layout on the canvas.
inline constexpr double kPointsPerMillimetreRounded = 2.835;

// mm × 72 ÷ 25.4.
constexpr double MillimetresToPoints(double mm) {
  return mm * kPointsPerInch / kMillimetresPerInch;
}
// pt × 25.4 ÷ 72.
constexpr double PointsToMillimetres(double points) {
  return points * kMillimetresPerInch / kPointsPerInch;
}
// pt × 2.54 ÷ 72.
constexpr double PointsToCentimetres(double points) {
  return points * kCentimetresPerInch / kPointsPerInch;
}
// pt ÷ 72.
constexpr double PointsToInches(double points) { return points / kPointsPerInch; }
// in × 72.
constexpr double InchesToPoints(double inches) { return inches * kPointsPerInch; }

// A length of `pixels` at `dpi` dots per inch in points: 72 × pixels ÷ dpi.
constexpr double PixelsToPoints(double pixels, double dpi) { return kPointsPerInch * pixels / dpi; }
// The same in single precision, as the loaded picture's physical size is worked out.
constexpr float PixelsToPointsInFloat(float pixels, float dpi) {
  return static_cast<float>(kPointsPerInch) * pixels / dpi;
}
// The resolution of `pixels` spread over `length_pt` points: pixels × 72 ÷ length.
constexpr double PixelsPerInch(double pixels, double length_pt) {
  return pixels * kPointsPerInch / length_pt;
}
// Pixels per millimetre of `pixels` over `length_pt` points, through the length in inches:
// pixels ÷ (length ÷ 72) ÷ 25.4.
constexpr double PixelsPerMillimetre(double pixels, double length_pt) {
  return pixels / PointsToInches(length_pt) / kMillimetresPerInch;
}
// Millimetres to pixels at `dpi` dots per inch: mm ÷ 25.4 × dpi.
constexpr double MillimetresToPixels(double mm, double dpi) {
  return mm / kMillimetresPerInch * dpi;
}
// A resolution in dots per centimetre in dots per inch: × 2.54.
constexpr double DotsPerCentimetreToPerInch(double dots_per_cm) {
  return dots_per_cm * kCentimetresPerInch;
}

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_LENGTH_UNITS_H_
