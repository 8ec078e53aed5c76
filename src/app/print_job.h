#ifndef KELVARO_APP_PRINT_JOB_H_
#define KELVARO_APP_PRINT_JOB_H_

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "image/work_image.h"
#include "platform/data_folders.h"
#include "platform/notifier.h"
#include "platform/spooler.h"
#include "printers/margins.h"
#include "printers/paper_sizes.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"
#include "settings/ui_text.h"

namespace kelvaro {

// The services a print run uses. The store, texts and folders come from the start-up.
struct PrintServices {
  SettingsStore& store;
  const UiText& texts;
  Notifier& notifier;
  ProgressSink& progress;
  Spooler& spooler;
  // Where attached USB printers are looked for.
  std::filesystem::path usb_root;
  // A whole number of seconds since 1970 that pins the job's creation date (the
  // SOURCE_DATE_EPOCH convention), for jobs that must come out the same every time; unset or
  // malformed means now.
  std::optional<std::string> source_date_epoch;
};

// Choices that replace what the stored settings and the media preset would give, for one
// run. Unset fields keep the window's values.
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
  std::optional<bool> rotate;
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
  std::optional<std::string> toner_order;  // "WL" or "WF"
  std::optional<std::string> profile_in;
  std::optional<std::string> profile_out;
  std::optional<std::filesystem::path> settings_file;  // a named setting file to load first
};

// The state of the main window a print reads: what the window shows after its creation, the
// media preset and the stored job settings, with the choices applied on top.
struct PrintSetup {
  std::string model_name;
  int paper_class = 0;
  std::string paper;
  PageSize page{595, 842};
  Margins margins;
  std::string media_label;
  int media_code = 0;
  std::string tray;
  bool tray_locked = false;  // the preset or the paper fixes the tray
  std::string prints = "1";
  int copies_across = 1;
  int copies_down = 1;
  bool automatic_tile = false;
  bool optimal_layout = false;
  int placement_mode = 0;
  bool mirror = false;
  bool flip = false;
  std::optional<bool> rotate;  // unset: the fit at load decides
  bool print_white = true;
  bool print_cmy = true;
  bool threshold_on = true;
  bool display_white = false;
  int white_density = 100;
  int white_threshold = 50;
  int brightness = 0;
  int contrast = 0;
  bool black_removal = false;
  bool background_removal = false;
  bool film = false;
  std::string toner_order = "WL";
  ToneCurves curves;
  std::string profile_in;
  std::string profile_out;
  int image_area_width = 310;  // the preview's width, which the layout is computed on
};

// Builds the window state from the store (active model, paper, media preset, stored white
// settings, toner order and curves) and applies `choices`. A choice the window would not
// offer (an unknown model, media, paper or tray, a value out of range) is refused with a
// message through the notifier; nullopt then, with the stored margins as they were. The paper
// and preset choices write to the store what the window writes for them (margins, their
// backup); the dark medium's own margins are in the setup only, the user's stay stored.
std::optional<PrintSetup> PreparePrintSetup(PrintServices services, const PrintChoices& choices);

// What loading a picture reads of the window.
struct PictureLoad {
  bool mirror = false;
  bool flip = false;
  std::optional<bool> rotate;  // unset: as the fit at load decides
  bool background_removal = false;
  PageSize page{595, 842};
  Margins margins;
  std::string profile_in;  // empty: the default
  std::string profile_out;
  int copies_across = 1;
  int copies_down = 1;
};
struct LoadedPicture {
  bool loaded = false;
  bool transparent = false;  // background removal did not apply
  bool rotate = false;       // "Rotate" in force
};

// Loads `image_path` as the window does: decode, background removal, colour conversion
// through the profiles, fit to the printable area, orientation, "Rotate" when chosen, and the
// fit command when one copy is still too large. A failure has been shown through the
// notifier. A profile that gives no transform leaves the stored settings alone (the window
// would load its defaults).
LoadedPicture LoadPicture(const SettingsStore& store, const UiText& texts, Notifier& notifier,
                          ProgressSink& progress, const PictureLoad& load,
                          const std::filesystem::path& image_path, WorkImage& image);

// The same with what `setup` holds. false after the loader's message.
bool LoadPictureForPrint(PrintServices services, const PrintSetup& setup,
                         const std::filesystem::path& image_path, WorkImage& image);

// Where the job goes: a queue of the print system, or "file:PATH" for a job file.
struct PrintTarget {
  std::string queue;
  // When set, the five planes of the image data block are also written here as
  // plane1.pgm ... plane5.pgm (Xpixel × Ypixel each).
  std::optional<std::filesystem::path> dump_separations;
};

enum class PrintOutcome {
  kSent,            // the job reached the queue or the file
  kNotPrinted,      // a step failed; the user has been told
  kStatisticsOnly,  // statistics-only mode: no job, by the user's choice
};

// The print command on a loaded picture: separation, copies grid, job, spooling. A queue
// that took the job is stored as the active printer. Stored margins that do not fit the page
// and a grid over the size limit are refused before any work is done.
PrintOutcome PrintPicture(PrintServices services, const PrintSetup& setup, WorkImage& image,
                          const std::string& file_name, const PrintTarget& target);

// The blank-page job for `setup`'s printer, paper, tray, media and number of prints.
PrintOutcome PrintBlankPage(PrintServices services, const PrintSetup& setup,
                            const std::string& queue);

// Writes the planes of an image data block as binary PGM files plane1.pgm ... plane5.pgm in
// `folder` (created when missing). false with `error` set when a file cannot be written.
bool DumpPlanes(const std::filesystem::path& folder, std::span<const std::uint8_t> block,
                std::int64_t x_pixel, std::int64_t y_pixel, std::string& error);

}  // namespace kelvaro

#endif  // KELVARO_APP_PRINT_JOB_H_
