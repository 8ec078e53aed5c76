#ifndef KELVARO_APP_PATTERN_SETUP_H_
#define KELVARO_APP_PATTERN_SETUP_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "pattern/pattern_mask.h"
#include "pattern/shape_library.h"
#include "printers/units.h"
#include "settings/settings_store.h"

namespace kelvaro {

// The rules behind the pattern setup, library edit and shape import windows. Lengths are
// millimetres here and in the settings file; the windows show them in the display unit.

// The built-in shapes, first in the shape list.
inline constexpr std::array<const char*, 4> kBuiltInPatternShapes = {
    "Ellipse", "Rectangle", "Vertical Lines", "Horizontal Lines"};
// The screen angle list, in the order shown.
inline constexpr std::array<int, 2> kPatternScreenAngles = {45, 0};

// The shape list: the built-in shapes, then the library's names in record order.
std::vector<std::string> PatternShapeChoices(const ShapeListing& library);

// The stored pattern as the setup window opens it: sizes below 1 mm become 1, a negative gap
// 1, a screen other than 0 or 45 becomes 45. What was corrected is written back.
PatternSettings OpenPatternSetup(SettingsStore& store);

// "Print" and "&Save Settings": writes "Shape", "SizeY", "SizeX", "Gap" and "Screen" (not
// "Mask", which "Invert Pattern" writes at once). False when the store refused a write (it has
// told the user).
bool SavePatternSetup(SettingsStore& store, const PatternSettings& settings);
// "Invert Pattern": "Mask" " 1" inverted, " 0" normal.
bool SavePatternInversion(SettingsStore& store, bool inverted);

// A length as the settings file holds it: a leading blank when not negative, at most four
// decimals, no trailing zeros (" 2", " 2.5").
std::string FormatStoredLength(double mm);

// Millimetres per display unit: 1, 10 or 25.4.
double MillimetresPerUnit(UnitCode unit);

// A shape size in the display unit, one decimal in millimetres ("##.#"), two otherwise.
std::string PatternSizeText(double mm, UnitCode unit);
// A gap in the display unit, "#.#" in millimetres, "#.##" otherwise.
std::string PatternGapText(double mm, UnitCode unit);
// Typed sizes keep their digits and "." only; in millimetres, above 10 becomes 4 and below 1
// (an empty box included) becomes 1.
double PatternSizeFromText(std::string_view text, UnitCode unit);
// A typed gap keeps digits, "." and "-"; at most 1 mm or above 5 mm becomes 1.
double PatternGapFromText(std::string_view text, UnitCode unit);

// The sliders: size = position ÷ 12.5 + 1 mm over 0..112 (1 to 9.96 mm), gap = position ÷ 25
// + 1 mm over 0..100 (1 to 5 mm). A typed value puts the slider on the nearest position.
inline constexpr int kPatternSizeSliderMaximum = 112;
inline constexpr int kPatternGapSliderMaximum = 100;
int PatternSizeSliderPosition(double mm);
int PatternGapSliderPosition(double mm);

// The shape import window.

// The import window's gap: "Gap" of the pattern setup; a negative value is rewritten as 1.
double OpenImportGap(SettingsStore& store);

// A typed import gap: digits and "." kept, times the unit's millimetres.
double ImportGapFromText(std::string_view text, UnitCode unit);
// The import window's lengths in the display unit, three decimals ("##.###").
std::string ImportLengthText(double mm, UnitCode unit);

// A base gap (-5..5) in the display unit, three decimals ("##.###").
std::string BaseGapText(double value, UnitCode unit);
// A typed base gap: digits, "." and "-" kept, times the unit's millimetres; outside -5..5 it
// becomes 0.
double BaseGapFromText(std::string_view text, UnitCode unit);

// The record "Save Shape to Library" stores: the imported shape under the typed name, its gap
// factors the base gaps ÷ 10.
ShapeRecord ShapeForLibrary(ShapeRecord imported, std::string_view typed_name, double base_gap0,
                            double base_gap45);

}  // namespace kelvaro

#endif  // KELVARO_APP_PATTERN_SETUP_H_
