#include "printers/units.h"

#include <cstdio>

#include "platform/length_units.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {

std::string_view UnitCodeText(UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return "C";
    case UnitCode::kInches:
      return "I";
    case UnitCode::kMillimetres:
      break;
  }
  return "M";
}

std::optional<UnitCode> ParseUnitCode(std::string_view text) {
  if (text == "M") return UnitCode::kMillimetres;
  if (text == "C") return UnitCode::kCentimetres;
  if (text == "I") return UnitCode::kInches;
  return std::nullopt;
}

UnitCode ReadUnit(const SettingsStore& store) {
  return ParseUnitCode(store.ReadSetting(keys::active::kUnit)).value_or(UnitCode::kMillimetres);
}

bool WriteUnit(SettingsStore& store, UnitCode unit) {
  return store.WriteSetting(keys::active::kUnit, UnitCodeText(unit));
}

int UnitNameTextNumber(UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return ui::kCentimetresName;
    case UnitCode::kInches:
      return ui::kInchesName;
    case UnitCode::kMillimetres:
      break;
  }
  return ui::kMillimetresName;
}

int UnitLabelTextNumber(UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return ui::kCentimetresLabel;
    case UnitCode::kInches:
      return ui::kInchesLabel;
    case UnitCode::kMillimetres:
      break;
  }
  return ui::kMillimetresLabel;
}

double PointsToUnit(double points, UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return PointsToCentimetres(points);
    case UnitCode::kInches:
      return PointsToInches(points);
    case UnitCode::kMillimetres:
      break;
  }
  return PointsToMillimetres(points);
}

double PointsToUnitRounded(double points, UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return points * 0.03528;
    case UnitCode::kInches:
      return PointsToInches(points);
    case UnitCode::kMillimetres:
      break;
  }
  return points * 0.3528;
}

double PaperLengthToPoints(double value, UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return value * 28.35;
    case UnitCode::kInches:
      return InchesToPoints(value);
    case UnitCode::kMillimetres:
      break;
  }
  return value * 2.835;
}

double MarginLengthToPoints(double value, UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return value * 28.346;
    case UnitCode::kInches:
      return InchesToPoints(value);
    case UnitCode::kMillimetres:
      break;
  }
  return value * 2.8346;
}

double MainWindowUnitFactor(UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return 10.0;
    case UnitCode::kInches:
      return kMillimetresPerInch;
    case UnitCode::kMillimetres:
      break;
  }
  return 1.0;
}

std::string_view ImageSizeMask(UnitCode unit) {
  switch (unit) {
    case UnitCode::kCentimetres:
      return "#.##";
    case UnitCode::kInches:
      return "#.###";
    case UnitCode::kMillimetres:
      break;
  }
  return "#.#";
}

std::string FormatWithMask(double value, std::string_view mask) {
  int decimals = 0;
  const size_t point = mask.find('.');
  if (point != std::string_view::npos) {
    for (size_t i = point + 1; i < mask.size() && (mask[i] == '#' || mask[i] == '0'); ++i)
      ++decimals;
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  // A value that rounds to zero from below would otherwise show as "-0.00".
  if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
    text.erase(0, 1);
  return text;
}

std::string FormatImageLength(double points, UnitCode unit) {
  return FormatWithMask(PointsToUnit(points, unit), ImageSizeMask(unit));
}

std::string FormatAreaText(double width, double height) {
  return FormatWithMask(width, kMarginMask) + " x " + FormatWithMask(height, kMarginMask);
}

}  // namespace kelvaro
