#ifndef KELVARO_PRINTERS_UNITS_H_
#define KELVARO_PRINTERS_UNITS_H_

#include <optional>
#include <string>
#include <string_view>

namespace kelvaro {

class SettingsStore;

// The display unit of every length the user sees or types. Inside the program all lengths
// are points (1/72 inch); margins are stored as hundredths of a point.
enum class UnitCode { kMillimetres, kCentimetres, kInches };

// "M", "C" or "I".
std::string_view UnitCodeText(UnitCode unit);
// The code for "M", "C" or "I" (exact, upper case); nullopt for anything else.
std::optional<UnitCode> ParseUnitCode(std::string_view text);
// [Active] Unit; "M" when the stored value is none of the three codes.
UnitCode ReadUnit(const SettingsStore& store);
// Writes [Active] Unit. Returns false when the store could not write (it told the user).
bool WriteUnit(SettingsStore& store, UnitCode unit);

// UiText numbers: the unit's name (77 "Millimetres", 78 "Centimetres", 79 "Inches") and its
// short label (4 "mm", 3 "cm", 2 "Inch").
int UnitNameTextNumber(UnitCode unit);
int UnitLabelTextNumber(UnitCode unit);

// The exact conversions are those of platform/length_units.h; the rounded factors below are
// the dialogs' own and stay here.
// Points to the display unit: mm = pt × 25.4 ÷ 72, cm = pt × 2.54 ÷ 72, in = pt ÷ 72.
double PointsToUnit(double points, UnitCode unit);
// The rounded factors the margins dialog uses when it opens: mm = pt × 0.3528,
// cm = pt × 0.03528, in = pt ÷ 72.
double PointsToUnitRounded(double points, UnitCode unit);
// A typed custom paper size to points: mm × 2.835, cm × 28.35, in × 72.
double PaperLengthToPoints(double value, UnitCode unit);
// A typed margin to points: mm × 2.8346, cm × 28.346, in × 72.
double MarginLengthToPoints(double value, UnitCode unit);
// The main window's unit factor (millimetres per display unit): "M" 1, "C" 10, "I" 25.4.
double MainWindowUnitFactor(UnitCode unit);

// Display masks. Only the number of decimals after the point matters; the integer part grows
// as needed ("#.#" shows 297.0).
inline constexpr std::string_view kMarginMask = "###.##";
// The mask of the main window's image width and height boxes: "#.#", "#.##" or "#.###".
std::string_view ImageSizeMask(UnitCode unit);
// Formats `value` with as many decimals as `mask` has digit places after its point, rounded
// to nearest. A mask without a point gives a whole number.
std::string FormatWithMask(double value, std::string_view mask);

// An image length in points shown in the unit with the image-size mask (841.89 pt → "297.0"
// mm, "29.70" cm, "11.693" in).
std::string FormatImageLength(double points, UnitCode unit);
// A width and height already in the display unit, as "###.## x ###.##".
std::string FormatAreaText(double width, double height);

}  // namespace kelvaro

#endif  // KELVARO_PRINTERS_UNITS_H_
