// The tone-curve reader on arbitrary bytes: the curve text of a setting file or of the settings
// file may be short, long, damaged or in either case.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/tone_curves.h"

using namespace kelvaro;

namespace {

std::string Uppercase(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
  return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ToneCurves curves = DecodeToneCurves(bytes);

  // Every number read is one byte.
  for (const auto& curve : curves.curves) {
    for (const ToneCurvePoint& point : curve) {
      if (point.input < 0 || point.input > 255 || point.output < 0 || point.output > 255) {
        std::abort();
      }
    }
  }

  // What was read is written as a complete text that reads back the same.
  const std::string written = EncodeToneCurves(curves);
  if (!IsToneCurvesText(written) || DecodeToneCurves(written) != curves) std::abort();

  // A complete text is written back as it was stored, in upper case.
  if (IsToneCurvesText(bytes) && written != Uppercase(bytes)) std::abort();
  return 0;
}
