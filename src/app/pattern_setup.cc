#include "app/pattern_setup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "pattern/pattern_print.h"
#include "pattern/vector_import.h"
#include "platform/rounding.h"
#include "settings/keys.h"

namespace kelvaro {
namespace {

std::string Kept(std::string_view text, std::string_view allowed) {
  std::string kept;
  for (char ch : text) {
    if ((ch >= '0' && ch <= '9') || allowed.find(ch) != std::string_view::npos) kept += ch;
  }
  return kept;
}

// The leading number of what is left; 0 when there is none.
double LeadingNumber(const std::string& text) {
  if (text.empty()) return 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end == text.c_str() || !std::isfinite(value) ? 0 : value;
}

bool IsMillimetres(UnitCode unit) { return unit == UnitCode::kMillimetres; }

}  // namespace

std::vector<std::string> PatternShapeChoices(const ShapeListing& library) {
  std::vector<std::string> choices(kBuiltInPatternShapes.begin(), kBuiltInPatternShapes.end());
  choices.insert(choices.end(), library.names.begin(), library.names.end());
  return choices;
}

PatternSettings OpenPatternSetup(SettingsStore& store) {
  const PatternSettings stored = ReadPatternSettings(store);
  const PatternSettings settings = NormalisePatternSettings(stored);
  if (settings.size_x_mm != stored.size_x_mm)
    store.WriteSetting(keys::pattern::kSizeX, FormatStoredLength(settings.size_x_mm));
  if (settings.size_y_mm != stored.size_y_mm)
    store.WriteSetting(keys::pattern::kSizeY, FormatStoredLength(settings.size_y_mm));
  if (settings.gap_mm != stored.gap_mm)
    store.WriteSetting(keys::pattern::kGap, FormatStoredLength(settings.gap_mm));
  // "Screen" other than 0 reads as 45; the stored text is made to say which.
  std::string screen = store.ReadSetting(keys::pattern::kScreen);
  screen.erase(0, screen.find_first_not_of(' '));
  if (screen != "0" && screen != "45")
    store.WriteSetting(keys::pattern::kScreen, settings.screen_angle == 0 ? "0" : "45");
  return settings;
}

bool SavePatternSetup(SettingsStore& store, const PatternSettings& settings) {
  bool ok = store.WriteSetting(keys::pattern::kShape, settings.shape);
  ok = store.WriteSetting(keys::pattern::kSizeY, FormatStoredLength(settings.size_y_mm)) && ok;
  ok = store.WriteSetting(keys::pattern::kSizeX, FormatStoredLength(settings.size_x_mm)) && ok;
  ok = store.WriteSetting(keys::pattern::kGap, FormatStoredLength(settings.gap_mm)) && ok;
  ok = store.WriteSetting(keys::pattern::kScreen, settings.screen_angle == 0 ? "0" : "45") && ok;
  return ok;
}

bool SavePatternInversion(SettingsStore& store, bool inverted) {
  return store.WriteSetting(keys::pattern::kMask, FormatStoredNumber(inverted ? 1 : 0));
}

std::string FormatStoredLength(double mm) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", std::isfinite(mm) ? mm : 0.0);
  std::string text = buffer;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text[0] == '-' ? text : " " + text;
}

double MillimetresPerUnit(UnitCode unit) { return MainWindowUnitFactor(unit); }

std::string PatternSizeText(double mm, UnitCode unit) {
  return FormatWithMask(mm / MillimetresPerUnit(unit), IsMillimetres(unit) ? "##.#" : "##.##");
}

std::string PatternGapText(double mm, UnitCode unit) {
  return FormatWithMask(mm / MillimetresPerUnit(unit), IsMillimetres(unit) ? "#.#" : "#.##");
}

double PatternSizeFromText(std::string_view text, UnitCode unit) {
  return TypedPatternSize(LeadingNumber(Kept(text, ".")) * MillimetresPerUnit(unit));
}

double PatternGapFromText(std::string_view text, UnitCode unit) {
  return TypedPatternGap(LeadingNumber(Kept(text, ".-")) * MillimetresPerUnit(unit));
}

int PatternSizeSliderPosition(double mm) {
  return std::clamp(RoundEven((mm - 1) * 12.5), 0, kPatternSizeSliderMaximum);
}

int PatternGapSliderPosition(double mm) {
  return std::clamp(RoundEven((mm - 1) * 25), 0, kPatternGapSliderMaximum);
}

double OpenImportGap(SettingsStore& store) {
  const double gap = ReadLeadingDecimal(store.ReadSetting(keys::pattern::kGap));
  if (gap >= 0) return gap;
  store.WriteSetting(keys::pattern::kGap, FormatStoredLength(1));
  return 1;
}

double ImportGapFromText(std::string_view text, UnitCode unit) {
  return LeadingNumber(Kept(text, ".")) * MillimetresPerUnit(unit);
}

std::string ImportLengthText(double mm, UnitCode unit) {
  return FormatWithMask(mm / MillimetresPerUnit(unit), "##.###");
}

std::string BaseGapText(double value, UnitCode unit) {
  return FormatWithMask(value / MillimetresPerUnit(unit), "##.###");
}

double BaseGapFromText(std::string_view text, UnitCode unit) {
  return TypedBaseGap(LeadingNumber(Kept(text, ".-")), MillimetresPerUnit(unit));
}

ShapeRecord ShapeForLibrary(ShapeRecord imported, std::string_view typed_name, double base_gap0,
                            double base_gap45) {
  imported.name = std::string(typed_name);
  imported.gap0 = GapFactorFromBaseGap(base_gap0);
  imported.gap45 = GapFactorFromBaseGap(base_gap45);
  return imported;
}

}  // namespace kelvaro
