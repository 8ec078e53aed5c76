#ifndef KELVARO_PRINTERS_MEDIA_PRESETS_H_
#define KELVARO_PRINTERS_MEDIA_PRESETS_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printers/paper_sizes.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {

class SettingsStore;
class UiText;

// Whether a preset lets the user change the tray.
enum class TrayListState {
  kFree,
  kFixed,
  kFreeOnWhiteFirstModels,  // free on models whose white unit can sit in the cyan slot
};

// Items of the main window's tray list, in order (UiText 121 "AUTO", 122 "MultiPurpose Tray",
// 123 "Tray 1").
inline constexpr std::array<int, 3> kTrayTextNumbers = {ui::kAutoTray, ui::kMultiPurposeTray,
                                                        ui::kTrayOne};
inline constexpr int kTrayAuto = 0;
inline constexpr int kTrayMultiPurpose = 1;
inline constexpr int kTrayOne = 2;

// What a preset does besides the common columns.
enum PresetExtra : unsigned {
  kExtraNone = 0,
  kThresholdOnSet = 1u << 0,
  kThresholdOnCleared = 1u << 1,
  kDisplayWhiteCleared = 1u << 2,
  kBlackRemovalSet = 1u << 3,
  kHandPictures = 1u << 4,
  kSpecialMargins = 1u << 5,
  kWhiteControlsLocked = 1u << 6,  // sliders, Threshold on, Print White disabled
  kThresholdSliderOnlyWhiteFirst = 1u << 7,
  kBackgroundRemovalFilm = 1u << 8,  // background-removal values 1 and 8
  kKeepsDensitySlider = 1u << 9,     // leaves the "White only Density" slider alone
};

// One media preset. The media code is the UiText number of its label.
struct MediaPreset {
  int code;
  std::string_view english_label;  // the built-in text of entry `code`
  int tray;                        // index into the tray list
  TrayListState tray_list;
  bool mirror;
  bool print_white;
  int threshold;  // white threshold slider position, 0-100
  int tip;        // UiText number of the tip
  unsigned extras;
};

inline constexpr int kPresetPrinterSetting = 101;
inline constexpr int kPresetZephSpecial2 = 170;
inline constexpr int kPresetHotStampFoil = 198;
inline constexpr int kPresetDark = 199;
inline constexpr int kPresetFilm = 257;

inline constexpr std::array<MediaPreset, 29> kMediaPresets = {{
    {101, "Printer Setting", kTrayAuto, TrayListState::kFree, false, true, 50, 210, kExtraNone},
    {102, "Light (64 - 74 g/m2)", kTrayAuto, TrayListState::kFree, false, false, 50, 211,
     kExtraNone},
    {103, "Medium Light (75 - 82 g/m2)", kTrayAuto, TrayListState::kFree, false, false, 50, 212,
     kExtraNone},
    {104, "Medium (83 - 104 g/m2)", kTrayAuto, TrayListState::kFree, false, false, 50, 213,
     kExtraNone},
    {105, "Heavy (105 - 120 g/m2)", kTrayAuto, TrayListState::kFree, false, false, 50, 214,
     kExtraNone},
    {106, "Ultra Heavy 1 (121 - 188 g/m2)", kTrayMultiPurpose,
     TrayListState::kFreeOnWhiteFirstModels, false, false, 50, 215, kExtraNone},
    {107, "Ultra Heavy 2 (189 - 220 g/m2)", kTrayMultiPurpose,
     TrayListState::kFreeOnWhiteFirstModels, false, false, 50, 216, kExtraNone},
    {108, "Ultra Heavy 3 (221 - 250 g/m2)", kTrayMultiPurpose, TrayListState::kFixed, false, false,
     50, 217, kExtraNone},
    {109, "Labels 1", kTrayMultiPurpose, TrayListState::kFixed, false, false, 50, 218, kExtraNone},
    {110, "Labels 2", kTrayMultiPurpose, TrayListState::kFixed, false, false, 50, 219, kExtraNone},
    {111, "Glossy", kTrayMultiPurpose, TrayListState::kFreeOnWhiteFirstModels, false, false, 50,
     220, kExtraNone},
    {112, "Films", kTrayMultiPurpose, TrayListState::kFixed, false, false, 50, 221, kExtraNone},
    {113, "Medium A", kTrayMultiPurpose, TrayListState::kFixed, true, false, 50, 222, kExtraNone},
    {114, "Medium B", kTrayMultiPurpose, TrayListState::kFree, true, false, 50, 223, kExtraNone},
    {115, "Medium B+", kTrayMultiPurpose, TrayListState::kFixed, true, false, 50, 224, kExtraNone},
    {116, "Medium C", kTrayMultiPurpose, TrayListState::kFixed, false, false, 50, 225, kExtraNone},
    {117, "Medium D", kTrayMultiPurpose, TrayListState::kFixed, false, false, 50, 226, kExtraNone},
    {118, "Medium E", kTrayMultiPurpose, TrayListState::kFree, true, true, 50, 227,
     kThresholdOnCleared | kThresholdSliderOnlyWhiteFirst},
    {119, "Medium F mSheet (Magenta)", kTrayMultiPurpose, TrayListState::kFixed, false, true, 70,
     237, kHandPictures | kThresholdOnSet | kDisplayWhiteCleared},
    {120, "Medium G", kTrayMultiPurpose, TrayListState::kFixed, false, false, 50, 233,
     kThresholdOnCleared},
    {141, "All Medium S", kTrayMultiPurpose, TrayListState::kFixed, false, false, 50, 235,
     kThresholdOnCleared},
    {142, "Medium F tSheet (yellow)", kTrayMultiPurpose, TrayListState::kFree, true, true, 50, 230,
     kHandPictures | kThresholdOnSet | kBlackRemovalSet},
    {170, "Kelvaro Zeph Special 2", kTrayMultiPurpose, TrayListState::kFixed, true, true, 50, 232,
     kThresholdOnSet | kKeepsDensitySlider},
    {194, "Kelvaro Medium J", kTrayOne, TrayListState::kFree, true, true, 60, 200, kThresholdOnSet},
    {195, "Kelvaro Medium K", kTrayMultiPurpose, TrayListState::kFree, true, true, 50, 229,
     kThresholdOnSet},
    {196, "Kelvaro Zeph Lite", kTrayMultiPurpose, TrayListState::kFixed, false, true, 70, 236,
     kHandPictures | kThresholdOnSet | kDisplayWhiteCleared},
    {198, "Nollo Zeph Lite Hot Stamp Foil", kTrayMultiPurpose, TrayListState::kFree, false, false,
     59, 231, kWhiteControlsLocked},
    {199, "Nollo UK Medium T Dark", kTrayMultiPurpose, TrayListState::kFixed, true, false, 60, 228,
     kSpecialMargins | kThresholdOnCleared | kWhiteControlsLocked},
    {257, "Kelvaro Medium P Film", kTrayMultiPurpose, TrayListState::kFixed, true, true, 98, 259,
     kThresholdOnSet | kBackgroundRemovalFilm | kKeepsDensitySlider},
}};

// The order of the media list, by code.
inline constexpr std::array<int, 29> kMediaListOrder = {
    101, 114, 115, 194, 199, 119, 196, 198, 257, 118, 117, 195, 116, 120, 113,
    141, 142, 170, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112};

// The row of a media code; nullptr for codes without one.
const MediaPreset* FindMediaPreset(int code);
// The row whose label (in the loaded language) equals `label`; nullptr when none does.
const MediaPreset* FindMediaPresetByLabel(const UiText& texts, std::string_view label);

// The media list: codes in list order. Preset 199 is listed only while its label contains
// "Dark", so a language file can hide it by renaming it.
std::vector<int> MediaListCodes(const UiText& texts);

// Whether the tray list is free after a preset with `state` on the active model.
bool TrayListFree(TrayListState state, std::string_view active_model_name);

// Whether a preset lays down white: its own column, or, in white-first toner order, every
// preset but the hot-stamp foil.
bool PresetPrintsWhite(const MediaPreset& preset, bool white_first);

// The state of the main window's white and tray controls as a preset leaves it.
struct WhiteControls {
  bool display_white_checked = false;
  bool display_white_enabled = false;
  bool threshold_on_checked = false;
  bool threshold_on_enabled = true;
  bool print_white_checked = false;
  bool print_white_enabled = true;
  bool black_removal_checked = false;
  bool density_slider_enabled = true;    // "White only Density"
  bool threshold_slider_enabled = true;  // "Add White Threshold"
  // The two captions beside the sliders that follow them: the density caption and the
  // threshold caption.
  bool density_caption_enabled = true;
  bool threshold_caption_enabled = true;
};

// The hand-picture buttons of the transfer sheets that need a hand choice.
struct HandPictures {
  bool left_checked = false;
  std::string left_bitmap;  // "#144" checked, "#142" not
  bool right_checked = false;
  std::string right_bitmap;  // "#145" checked, "#143" not
};

// What the main window must show after a preset has been applied.
struct PresetApplication {
  const MediaPreset* preset = nullptr;  // nullptr: the label matched no row
  std::optional<int> media_code;        // user value 5 of the media list
  std::optional<int> tray;              // tray list index to select; nullopt keeps it
  bool tray_list_enabled = true;
  bool mirror_checked = false;
  WhiteControls white;
  int threshold_slider = 50;  // position 0-100; its label is the number and "%"
  std::string threshold_label = "50%";
  std::optional<int> density_slider = 100;  // nullopt leaves position and label alone
  std::string density_label = "100%";
  std::string tip;  // the tip line's text
  bool white_first = false;
  bool special_margins_active = false;  // the flag kept with the tip line
  bool margins_restored = false;        // the user's margins came back from their backup
  // Margins the preset sets and the backup of the user's it keeps; the caller stores them.
  std::optional<Margins> margins;
  std::optional<Margins> margins_backup;
  std::array<int, 3> background_removal = {0, 51, 7};  // user values 1 to 3
  std::optional<HandPictures> hands;
};

// What applying a preset needs to know besides the store and the texts.
struct PresetInputs {
  std::string active_model_name;
  std::string paper_list_text;  // the paper list's text, for the special margins
  bool special_margins_active = false;
  // The check boxes as they are, for a label that matches no row.
  bool mirror_checked = false;
  bool print_white_checked = false;
};

// Applies the preset whose label equals `label` in steps: reset the white controls; bring
// the user's margins back when a preset had replaced them; read the toner order; clear the
// tip and the background-removal values; apply the row; enable the white controls to match
// "Print White". Nothing is stored: the dark medium's margins and the backup of the user's come
// back in the result.
PresetApplication ApplyMediaPreset(const SettingsStore& store, const UiText& texts,
                                   std::string_view label, const PresetInputs& inputs);

}  // namespace kelvaro

#endif  // KELVARO_PRINTERS_MEDIA_PRESETS_H_
