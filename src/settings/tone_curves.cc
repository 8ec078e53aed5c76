#include "settings/tone_curves.h"

#include <algorithm>

namespace kelvaro {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The number of one pair of digits: its leading hexadecimal digits, 0 when there are none.
int PairValue(std::string_view pair) {
  int value = 0;
  for (char c : pair) {
    const int digit = HexValue(c);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::string EncodeToneCurves(const ToneCurves& curves) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(kToneCurvesTextLength);
  const auto put = [&](int number) {
    const int value = std::clamp(number, 0, 255);
    text.push_back(kDigits[value >> 4]);
    text.push_back(kDigits[value & 15]);
  };
  for (const auto& curve : curves.curves) {
    for (const ToneCurvePoint& point : curve) {
      put(point.input);
      put(point.output);
    }
  }
  return text;
}

ToneCurves DecodeToneCurves(std::string_view text) {
  ToneCurves curves;
  std::size_t position = 0;
  const auto next = [&]() {
    const std::string_view pair =
        position < text.size() ? text.substr(position, 2) : std::string_view();
    position += 2;
    return PairValue(pair);
  };
  for (auto& curve : curves.curves) {
    for (ToneCurvePoint& point : curve) {
      point.input = next();
      point.output = next();
    }
  }
  return curves;
}

bool IsToneCurvesText(std::string_view text) {
  return text.size() == kToneCurvesTextLength &&
         std::all_of(text.begin(), text.end(), [](char c) { return HexValue(c) >= 0; });
}

ToneCurves DefaultToneCurves() { return DecodeToneCurves(kDefaultToneCurvesText); }
ToneCurves WhiteFirstToneCurves() { return DecodeToneCurves(kWhiteFirstToneCurvesText); }

}  // namespace kelvaro
