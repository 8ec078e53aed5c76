#ifndef KELVARO_PLATFORM_ROUNDING_H_
#define KELVARO_PLATFORM_ROUNDING_H_

// Fractions to whole numbers round to the nearest, ties to even, unless a caller says
// otherwise. This is the default floating-point rounding mode, which nothing in the program
// changes; a float rounds exactly as the same value as a double does.

#include <cmath>

namespace kelvaro {

// The nearest whole number as an int; `value` must lie within the range of an int.
inline int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// The same rounding kept as a double, for values that may lie outside an int.
inline double RoundEvenAsDouble(double value) { return std::nearbyint(value); }

// numerator ÷ denominator to the nearest integer, ties to even, exactly in integers
// (denominator > 0).
inline long DivideRoundEven(long numerator, long denominator) {
  long quotient = numerator / denominator;
  long remainder = numerator % denominator;
  if (remainder < 0) {
    remainder += denominator;
    --quotient;
  }
  if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0)) {
    ++quotient;
  }
  return quotient;
}

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_ROUNDING_H_
