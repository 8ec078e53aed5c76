#ifndef KELVARO_APP_PRINT_SETUP_H_
#define KELVARO_APP_PRINT_SETUP_H_

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/job_parameters.h"
#include "app/main_window_model.h"
#include "printers/paper_sizes.h"

namespace kelvaro {

// Choices that replace what the stored settings and the media preset would give, for one run
// without a window. Unset fields keep the window's values.
struct PrintChoices {
  std::optional<std::string> model;   // a model key of the printer table
  std::optional<std::string> media;   // a media list label
  std::optional<std::string> paper;   // a paper list entry
  std::optional<std::string> tray;    // a tray list entry
  std::optional<std::string> prints;  // the number-of-prints field as typed
  std::optional<int> copies_across;
  std::optional<int> copies_down;
  std::optional<bool> mirror;
  std::optional<bool> flip;
  std::optional<bool> rotate;  // applied when the picture is loaded
  std::optional<bool> print_white;
  std::optional<bool> print_cmy;
  std::optional<bool> threshold_on;
  std::optional<int> white_density;    // percent 0..100
  std::optional<int> white_threshold;  // percent 0..100
  std::optional<int> brightness;       // label value -100..100
  std::optional<int> contrast;         // label value -100..100
  std::optional<bool> black_removal;
  std::optional<bool> background_removal;
  std::optional<bool> optimal_layout;
  std::optional<int> white_edge;           // hundredths of a millimetre, > 0 chokes, < 0 spreads
  std::optional<std::string> toner_order;  // "WL" or "WF"
  std::optional<std::string> profile_in;
  std::optional<std::string> profile_out;
  std::optional<std::filesystem::path> settings_file;  // a named setting file to load
  // What only the preview reads.
  std::optional<bool> display_white;
  std::optional<bool> automatic_tile;
  std::optional<bool> pattern_preview;
  std::optional<bool> white_view;       // the white plane in place of the colour preview
  std::optional<int> placement_mode;    // 1..9 clicks that button of the placement grid; 0 none
  std::optional<int> image_area_width;  // the preview's width in pixels
  // What needs the loaded picture: Fit to Page, then a width and a height typed into the size
  // fields (in the unit in force), each followed by Enter.
  bool fit_to_page = false;
  std::optional<std::string> typed_width;
  std::optional<std::string> typed_height;
};

// The widest preview area a choice may ask for, in pixels.
inline constexpr int kLargestImageAreaWidth = 20000;

// Why a run was refused before any work was done.
enum class RefusalKind {
  kUnknownModel,       // `subject` is no model key
  kUnknownMedia,       // `subject` is not in the media list (`choices`)
  kUnknownPaper,       // `subject` is not in the paper list (`choices`) of `model`
  kUnknownTray,        // `subject` is not in the tray list (`choices`)
  kTrayFixed,          // the medium `media` on `paper` fixes the tray to `subject`
  kOutOfRange,         // the value named `subject` is not within `low`..`high`
  kUnknownTonerOrder,  // neither "WL" nor "WF"
  kCopiesBelowOne,
  kNothingToPrint,       // Print White and Print CMY both off
  kUnreadableProfile,    // the profile `subject` cannot be found or is no profile
  kDamagedProfile,       // the profile `subject` cannot serve; `detail` says why
  kSettingsFileRefused,  // the loader has told the user why
  kSettingsUnreadable,   // the stored settings cannot be read; the store has said so
  kMarginsDoNotFit,      // `margins` leave no printable area on `page` (`paper`)
};

struct Refusal {
  RefusalKind kind = RefusalKind::kSettingsFileRefused;
  std::string subject = {};
  std::vector<std::string> choices = {};
  int low = 0;
  int high = 0;
  std::string model = {};
  std::string media = {};
  std::string paper = {};
  PageSize page = {};
  Margins margins = {};
  std::string detail = {};  // kDamagedProfile: what is wrong with the profile
};

// The message that tells the user about a refusal; empty for one already told.
std::string RefusalText(const Refusal& refusal);

// Margins as only a damaged settings file holds them: below 0, or leaving no printable area.
// The layout and the job would put the picture off the page.
std::optional<Refusal> CheckMargins(const JobParameters& params);

// Builds the window's state for a run without a window and applies `choices` through the
// window's own rules, in the order a person would go: model and toner order as if stored, the
// window built, then paper, medium, setting file, tray and the other controls. Changes the
// rules store go to the store as in the window; run it under a hold of the store's writes to
// keep them. A choice the window would not offer is refused before anything is applied.
std::optional<Refusal> ApplyPrintChoices(MainWindowModel& model, const PrintChoices& choices,
                                         const std::filesystem::path& usb_root);

}  // namespace kelvaro

#endif  // KELVARO_APP_PRINT_SETUP_H_
