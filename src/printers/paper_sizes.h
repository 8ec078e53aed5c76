#ifndef KELVARO_PRINTERS_PAPER_SIZES_H_
#define KELVARO_PRINTERS_PAPER_SIZES_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printers/printer_models.h"
#include "printers/units.h"

namespace kelvaro {

class SettingsStore;

// A page size in whole points, portrait.
struct PageSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PageSize&, const PageSize&) = default;
};

// The four page margins in points.
struct Margins {
  double top = 0;
  double left = 0;
  double right = 0;
  double bottom = 0;
  friend bool operator==(const Margins&, const Margins&) = default;
};

// Which paper lists a named size appears in.
enum class PaperListing { kAllModels, kA3Models, kRecognisedOnly };

struct PaperSize {
  std::string_view name;
  PageSize size;
  PaperListing listing;
};

// The named sizes in list order.
inline constexpr std::array<PaperSize, 9> kPaperSizes = {{
    {"A3", {842, 1191}, PaperListing::kA3Models},
    {"A4XL 216x420mm", {612, 1191}, PaperListing::kAllModels},
    {"A4", {595, 842}, PaperListing::kAllModels},
    {"A4 SEF", {595, 842}, PaperListing::kA3Models},
    {"A5 SEF", {420, 595}, PaperListing::kAllModels},
    {"A6 SEF", {297, 420}, PaperListing::kAllModels},
    {"A4 S4", {595, 842}, PaperListing::kRecognisedOnly},
    {"Mug 90", {255, 695}, PaperListing::kRecognisedOnly},
    {"A4BC 2", {612, 907}, PaperListing::kRecognisedOnly},
}};

// Whether the model gets the A3 list (ModelCapabilities::a3_papers).
bool IsA3Model(std::string_view active_model_name);

// One of the user's stored sizes ([Papers] "Custom1" ... "CustomN").
struct CustomPaperSize {
  std::string name;
  double width = 0;   // points
  double height = 0;  // points
  std::string group;  // "0", "5" or "9" (see WidthGroup)
  // Margins in points for this size; all 0 until the user asked for them.
  double top = 0;
  double left = 0;
  double right = 0;
  double bottom = 0;
};

// The width group of a custom size: "0" under 612.29 pt, "5" under 842 pt, "9" otherwise.
std::string WidthGroup(double width_points);

// The stored record: name^width^height^group^top^left^right^bottom, lengths with five
// decimals.
std::string FormatCustomPaperRecord(const CustomPaperSize& size);
// Parses a stored record; nullopt for an empty name or fewer than four fields. Margins
// missing from a short record read as 0.
std::optional<CustomPaperSize> ParseCustomPaperRecord(std::string_view record);

// The stored custom sizes in key order. A missing section, or records that cannot be read,
// count as no sizes. At most kMaxCustomPaperSizes records are read.
inline constexpr int kMaxCustomPaperSizes = 999;
std::vector<CustomPaperSize> ReadCustomPaperSizes(const SettingsStore& store);

// Whether the model lists a custom size of `group` (ModelCapabilities::custom_groups). Groups
// are compared as text with the first group the model cannot list.
bool ModelListsCustomGroup(std::string_view active_model_name, std::string_view group);

// The custom sizes the model may list, in key order.
std::vector<CustomPaperSize> CustomSizesForModel(const SettingsStore& store,
                                                 std::string_view active_model_name);

// The entries of the main window's paper list and the entry to select (the one named "A4",
// else the first; -1 for an empty list).
struct PaperList {
  std::vector<std::string> entries;
  int selected = -1;
};
PaperList BuildPaperList(const SettingsStore& store, std::string_view active_model_name);

// The size a list text names by its first six characters ("A4XL 216x420mm" → "A4XL 2");
// nullopt when it names none of the table's sizes.
std::optional<PageSize> LookUpNamedPaper(std::string_view list_text);

// The page size a paper list entry names: a named size by its first six characters, else the
// custom size of exactly that (trimmed) name, rounded to whole points; nullopt for neither.
// `custom` tells which of the two it was.
std::optional<PageSize> PageSizeOfEntry(std::string_view list_text,
                                        const std::vector<CustomPaperSize>& customs,
                                        bool* custom = nullptr);

// Custom sizes taller than this (points) feed only from the multipurpose tray.
inline constexpr int kMultiPurposeOnlyHeightPt = 1008;

// What choosing an entry of the paper list changes.
struct PaperChoice {
  std::optional<PageSize> page_size;  // nullopt: the page size stays as it was
  // The margins the choice sets; the caller stores them. nullopt keeps the margins in force.
  std::optional<Margins> margins;
  bool default_margins = false;  // `margins` are the default margins
  bool custom_margins = false;   // `margins` are the custom size's own
  // A custom size taller than 1008 pt must come from the multipurpose tray: select the tray
  // list's second entry and disable the list.
  bool lock_multipurpose_tray = false;
};

// What a paper choice does. Unless the media preset in force (`media_code`, the UiText number of
// its label) is "Kelvaro Zeph Special 2" (170) or "Nollo Zeph Lite Hot Stamp Foil" (198), the
// default margins come first. Named sizes are found by their first six characters; custom
// sizes by their exact (trimmed) name; a custom size with a non-zero top margin brings its own
// four margins. Nothing is stored here.
PaperChoice ApplyPaperChoice(const SettingsStore& store, std::string_view list_text,
                             int media_code);

// Limits of the custom size dialog, in points.
struct CustomSizeLimits {
  double width_min;
  double width_max;
  double height_min;
  double height_max;
};

// The limit class: `paper_class`, except 3 for a model with the class 3 limits
// (ModelCapabilities::class3_custom_limits).
int CustomSizeClass(PaperClass paper_class, std::string_view active_model_name);
// The limits of a class. `for_margins` gives the slightly lower class 3/4 height maximum
// (3744) used before asking for a custom size's margins.
CustomSizeLimits LimitsForClass(int size_class, bool for_margins = false);

// The range texts shown beside the width and height boxes.
struct RangeTexts {
  std::string width;
  std::string height;
};
RangeTexts CustomSizeRangeTexts(UnitCode unit, PaperClass paper_class,
                                std::string_view active_model_name);

// A typed width and height checked against the limits. A refused box shows "----".
struct CustomSizeCheck {
  double width_points = 0;
  double height_points = 0;
  bool width_ok = false;
  bool height_ok = false;
  bool ok() const { return width_ok && height_ok; }
};
inline constexpr char kRefusedSizeText[] = "----";
CustomSizeCheck CheckCustomSize(double typed_width, double typed_height, UnitCode unit,
                                PaperClass paper_class, std::string_view active_model_name,
                                bool for_margins = false);

// Outcome of "Save".
enum class SaveCustomSizeResult {
  kSaved,
  kWidthRefused,
  kHeightRefused,
  kSizeRefused,  // both
  kEmptyName,
  kBadName,      // contains "^", which separates the record's fields
  kNameTooLong,  // the record would not fit in a stored value
  kStoreFailed,  // the store could not write (it told the user)
};

// Saves a new custom size from the dialog's boxes. Width and height are in `unit`; margins
// are in points (those last obtained with the dialog's margins button). A second size with an
// existing name is stored as a further record.
SaveCustomSizeResult SaveCustomPaperSize(SettingsStore& store, std::string_view name,
                                         double typed_width, double typed_height, UnitCode unit,
                                         PaperClass paper_class, std::string_view active_model_name,
                                         const CustomPaperSize& margins);

// Deletes every stored size whose name equals the trimmed `selected_name`, moves the later
// records down so the keys stay "Custom1" ... "CustomN", blanks the keys that fall free and
// stores the new count. Returns the number of records removed.
int DeleteCustomPaperSize(SettingsStore& store, std::string_view selected_name);

}  // namespace kelvaro

#endif  // KELVARO_PRINTERS_PAPER_SIZES_H_
