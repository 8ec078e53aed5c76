#ifndef KELVARO_PRINTERS_PRINTER_MODELS_H_
#define KELVARO_PRINTERS_PRINTER_MODELS_H_

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvaro {

class SettingsStore;

// Paper family of a model: 0 A4 models of the C711 family (the default), 1 ES7411WT, 2 A3
// models, 4 TST4. There is no class 3 (custom size limits use 3, see ModelCapabilities).
using PaperClass = int;

// Which of the user's custom sizes a model lists, by width group (see WidthGroup).
enum class CustomGroups {
  kNarrowOnly,  // group "0"
  kUpToA3,      // groups "0" and "5"
  kAll,
};

// What the program asks of a model besides its identity. Every question about the printer
// family is answered here, so the rest of the program never looks at a model's name.
struct ModelCapabilities {
  // The white unit can be moved to the cyan slot, so the job may lay white first.
  bool white_in_cyan_slot = false;
  // The toner-order menu entry is usable.
  bool toner_order_menu = false;
  // The job selects the output bin: face up ("Rear") or face down ("Stacker").
  bool output_bin = false;
  // "Medium D" and "Medium A" are fed as ultra-heavy paper (media codes 8 and 14) instead of
  // as labels (17) and without a media-type block (25).
  bool ultra_heavy_medium_d_and_a = false;
  // The paper list offers "A3" and "A4 SEF".
  bool a3_papers = false;
  CustomGroups custom_groups = CustomGroups::kNarrowOnly;
  // The custom size dialog uses limit class 3 and its range texts whatever the paper class.
  bool class3_custom_limits = false;
};

// The C711 family, the ES7411WT and the TST4, and every name without a model row.
inline constexpr ModelCapabilities kStandardCapabilities = {};
// The A3 models C920WT, Pro920WT, Pro9420WT and ES9420WT.
inline constexpr ModelCapabilities kA3Capabilities = {
    .output_bin = true, .a3_papers = true, .custom_groups = CustomGroups::kAll};
// The 8432WDT: its white unit stays in the black slot, although the menu offers the choice.
inline constexpr ModelCapabilities k8432Capabilities = {.toner_order_menu = true,
                                                        .ultra_heavy_medium_d_and_a = true,
                                                        .a3_papers = true,
                                                        .custom_groups = CustomGroups::kUpToA3,
                                                        .class3_custom_limits = true};
// The Pro8432WT: as the 8432WDT, and white first can be in force.
inline constexpr ModelCapabilities k8432WhiteFirstCapabilities = {
    .white_in_cyan_slot = true,
    .toner_order_menu = true,
    .ultra_heavy_medium_d_and_a = true,
    .a3_papers = true,
    .custom_groups = CustomGroups::kUpToA3,
    .class3_custom_limits = true};

// One row of the fixed model table.
struct PrinterModel {
  std::string_view key;            // token searched for in the active model name
  std::string_view usb_identity;   // e.g. "vid_06bc&pid_02fd"; "nomodel" for no row
  std::string_view attached_name;  // name shown for an attached printer of that identity
  PaperClass paper_class;
  ModelCapabilities capabilities;
};

// The table in the order the keys are tested: "pro711WT" before "C711WT" and "Pro8432WT"
// before "8432WDT" so that the longer names win.
inline constexpr std::array<PrinterModel, 11> kPrinterModels = {{
    {"pro711WT", "vid_06bc&pid_02fd", "OKI C711WT(PS)", 0, kStandardCapabilities},
    {"Pro7411WT", "vid_06bc&pid_0385", "OKI Pro7411WT", 0, kStandardCapabilities},
    {"C711WT", "vid_06bc&pid_02fd", "OKI C711WT(PS)", 0, kStandardCapabilities},
    {"TST4", "vid_06bc&pid_c804", "Y-Mark TST4", 4, kStandardCapabilities},
    {"ES7411WT", "vid_06bc&pid_0308", "OKI ES7411WT(PS)", 1, kStandardCapabilities},
    {"C920WT", "vid_06bc&pid_02d6", "OKI C920WT(PS)", 2, kA3Capabilities},
    {"pro920WT", "vid_06bc&pid_02d5", "OKI Pro920WT(PS)", 2, kA3Capabilities},
    {"Pro9420WT", "vid_06bc&pid_0386", "OKI Pro9420WT(PS)", 2, kA3Capabilities},
    {"ES9420WT", "vid_06bc&pid_0310", "OKI ES9420WT(PS)", 2, kA3Capabilities},
    {"Pro8432WT", "vid_06bc&pid_039c", "OKI Pro8432WT(PS)", 2, k8432WhiteFirstCapabilities},
    {"8432WDT", "vid_06bc&pid_f114", "Varde 8432WDT(PS)", 2, k8432Capabilities},
}};

// The row for a name that contains no key.
inline constexpr PrinterModel kNoModel = {"", "nomodel", "", 0, kStandardCapabilities};
inline constexpr std::string_view kNoModelLabel = "None";

// The model used when nothing else tells which printer the user has.
inline constexpr std::string_view kDefaultModelName = "C711WT";

// A printer of this identity is named in the attached-printer list but has no model row.
inline constexpr std::string_view kPlainC711Identity = "vid_06bc&pid_021a";
inline constexpr std::string_view kPlainC711Name = "OKI C711";

// The first row whose key occurs (case-sensitive) in `active_model_name`; kNoModel when none.
const PrinterModel& FindPrinterModel(std::string_view active_model_name);

// What applying the active model publishes.
struct ActiveModel {
  std::string usb_identity;  // "nomodel" when no row matched
  std::string label;         // the row's key, or "None"
  PaperClass paper_class = 0;
};

// Chooses the model row for `active_model_name`.
ActiveModel ApplyActiveModel(std::string_view active_model_name);

// The capabilities of the active model's row (FindPrinterModel); a name without a row gets
// kStandardCapabilities.
const ModelCapabilities& CapabilitiesOf(std::string_view active_model_name);

// The order the toners print in: white last (cyan, magenta, yellow, white) or white first
// (white, magenta, yellow, cyan).
enum class TonerOrder { kWhiteLast, kWhiteFirst };

// The toner order a job prints in. White first only on a model whose white unit can sit in
// the cyan slot and when the stored order ([Active] T_ORDER, as the caller read it) is exactly
// "WF"; every other combination, "wf" and "WF " included, prints white last.
TonerOrder TonerOrderInForce(std::string_view active_model_name, std::string_view stored_order);

// One USB printer the system has enumerated.
struct AttachedPrinter {
  std::string bus = "USB";
  std::string label;         // model key (single-model search) or lower-cased USB identity
  std::string serial;        // empty when the device has none (or is unknown, full list)
  std::string display_name;  // full list only: the table's name, empty for unknown devices
};

// The single-model search over `usb_entries` (texts "USB\VID_xxxx&PID_xxxx\SERIAL"): the
// first entry of the active model's identity. nullopt when none, and always for a name that
// matches no model row.
std::optional<AttachedPrinter> FindAttachedPrinter(std::string_view active_model_name,
                                                   const std::vector<std::string>& usb_entries);

// Every USB printer in `usb_entries`, in order, with the table's name for a known identity.
// Unknown identities get an empty display name and their serial number cleared.
std::vector<AttachedPrinter> ListAttachedPrinters(const std::vector<std::string>& usb_entries);

// The model key for a USB identity: the row whose key occurs in the identity's attached-printer
// name, else the first row of that identity. nullopt for identities without a model row.
std::optional<std::string_view> ModelKeyForIdentity(std::string_view usb_identity);

// The active model name, the text the model row is chosen by:
//   1. [Active] Model, when the user picked one from the table (a known key);
//   2. else the key found by the model-key test on [Active] Printer;
//   3. else the model of the first attached USB printer of a known identity;
//   4. else "C711WT".
std::string ResolveActiveModelName(const SettingsStore& store,
                                   const std::vector<std::string>& usb_entries);
// The same with the USB printers read from sysfs under `usb_root`.
std::string ResolveActiveModelName(const SettingsStore& store,
                                   const std::filesystem::path& usb_root);

// True when `name` is exactly one of the keys of the model table.
bool IsModelKey(std::string_view name);

// Stores the user's pick as [Active] Model. Refuses (false) a name that is not a model key.
bool WriteActiveModel(SettingsStore& store, std::string_view model_key);

}  // namespace kelvaro

#endif  // KELVARO_PRINTERS_PRINTER_MODELS_H_
