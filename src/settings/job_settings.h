#ifndef KELVARO_SETTINGS_JOB_SETTINGS_H_
#define KELVARO_SETTINGS_JOB_SETTINGS_H_

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "settings/keys.h"
#include "settings/recent_files.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"
#include "settings/ui_text.h"

namespace kelvaro {

// The job parameters the main window needs before it opens. The window copies them into its
// controls once; from then on the controls are the working copy.
struct JobSettings {
  float version = 0;                      // [INI_INF] Version; 0 when missing
  std::string printer = "OKI C711WT";     // [Active] Printer, at most 80 characters
  std::string tray;                       // not stored: UiText 122 on every load
  unsigned char unit = 0;                 // 0 mm, 1 cm, 2 inches; set by a setting-file load
  unsigned char whiteMaskPercent = 100;   // [Active] White Mask %
  unsigned char whiteOverlayPercent = 2;  // [Active] White Overlay %
  unsigned char display = 0;              // [Active] Display (the Display White box)
  unsigned char tonerOn = 1;              // [Active] TonerOn (the Print White box)
  unsigned char tonerSave = 1;            // [Active] TonerSave (the Threshold on box)
  unsigned char tonerPercent = 50;        // [Active] TonerPercent (add-white threshold)
  int whiteEdge = 0;                      // [Active] White Edge mm, in hundredths of a mm
  bool operator==(const JobSettings&) const = default;
};

inline constexpr std::size_t kMaxPrinterNameChars = 80;

// The white edge in millimetres, with two decimals: positive chokes (shrinks) the white
// plane, negative spreads (grows) it, 0 or a missing key leaves it as the separation made it.
// Files from before the edge lack the key and so load as off.
inline constexpr int kWhiteEdgeLimit = 100;  // hundredths of a millimetre, either way
inline constexpr int kWhiteEdgeStep = 5;     // 0.05 mm

// The nearest width the window offers to `millimetres` (positive chokes), in hundredths of a
// millimetre: a multiple of 0.05 mm within ±1.00 mm. A value that is no number gives 0.
int SnapWhiteEdge(double millimetres);
// A stored edge text ("-0.25", " 0.30") as hundredths of a millimetre, snapped as above.
int ReadWhiteEdge(std::string_view text);
// Hundredths of a millimetre as stored: millimetres with two decimals, a leading blank when
// not negative, as the store writes its numbers.
std::string FormatWhiteEdge(int hundredths_mm);
// The settings files older than this get the default set written again.
inline constexpr float kCurrentSettingsVersion = 2.2f;

// One key of the default set.
struct DefaultSetting {
  SettingKey key;
  const char* value;
};

// The default set in the order it is written. Numbers the store formats itself carry their
// leading blank; the others are written as the older versions wrote them.
inline constexpr std::array<DefaultSetting, 20> kDefaultSettings = {{
    {keys::ini_inf::kVersion, "2.2"},
    {keys::active::kPrinter, "OKI C711wt Nollo"},
    {keys::active::kTray, "AUTO"},
    {keys::active::kPaperSize, "A4"},
    {keys::active::kTraySwitch, " 0"},
    {keys::active::kWhiteMask, "100"},
    {keys::active::kWhiteOverlay, "2"},
    {keys::active::kMirror, " 1"},
    {keys::active::kDisplay, " 0"},
    {keys::active::kTonerOn, " 1"},
    {keys::active::kTonerSave, " 1"},
    {keys::active::kTonerPercent, " 50"},
    {keys::active::kJpegArtifact, " 5"},
    {keys::active::kOutputProfile, "OKC711P2.ICM"},
    {keys::active::kInputProfile, "sRGB.icm"},
    {keys::active::kUnit, "M"},
    {keys::active::kMptOffset, "0"},
    {keys::active::kTray1Offset, "0"},
    {keys::active::kTonerOrder, "WL"},
    {keys::kymc::kProfile, kDefaultToneCurvesText},
}};

// Margins every start and every Load Defaults begins with (hundredths of a point).
inline constexpr char kDefaultSideMargin[] = "1296";    // top, left and right
inline constexpr char kDefaultBottomMargin[] = "1307";  // bottom
// Writes the four default margins (top, left, right, bottom). false when a write failed (the
// store has told the user).
bool WriteDefaultMargins(SettingsStore& store);

// Creates the user folder when needed, writes the default set key by key in table order and
// puts the default curves into `curves`. A failed write is shown by the store and the rest
// are still tried; returns false when any write failed.
bool WriteDefaultSettings(SettingsStore& store, ToneCurves& curves);

// What the start-up load hands to the window.
struct StoredSettings {
  JobSettings job;
  RecentFiles recent_files;
};

// Fills JobSettings from the user settings file (missing keys give the field defaults above,
// `tray` is UiText 122), then reads the recent-file list.
StoredSettings LoadStoredSettings(const SettingsStore& store, const UiText& texts);

// The settings preparation before the window opens: the default file when there is none,
// the pattern and margin defaults for empty keys, then the load with the version check (a
// file older than 2.2 gets the default set again; every other key keeps its value).
// `curves` receive the default curves whenever the default set is written.
StoredSettings PrepareStoredSettings(SettingsStore& store, const UiText& texts, ToneCurves& curves);

// The parts of Load Defaults that live above the settings layer.
struct ResetHooks {
  std::function<void()> redraw_curves;          // the Colour Adjust dialog's curve display
  std::function<void()> reset_controls;         // the main-window controls
  std::function<void()> reapply_printer_model;  // the active printer model
};

// The Load Defaults command: default curves and toner order, the controls, the four
// margins, the sheet and hand flags, the printer model, then the whole default set. Hooks
// left empty are skipped.
void ResetToDefaults(SettingsStore& store, ToneCurves& curves, const ResetHooks& hooks);

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_JOB_SETTINGS_H_
