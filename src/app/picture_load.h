#ifndef KELVARO_APP_PICTURE_LOAD_H_
#define KELVARO_APP_PICTURE_LOAD_H_

#include <filesystem>
#include <optional>
#include <string>

#include "app/job_parameters.h"
#include "image/work_image.h"
#include "platform/notifier.h"
#include "platform/step_timings.h"
#include "printers/margins.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro {

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
  bool preview = true;  // lay out the preview grid too
  // The converted records are not kept for another layout (a run that prints once).
  bool release_records = false;
  StepTimings* timings = nullptr;  // where the load's steps add their wall times; may be null
};
// What loading a picture reads of the window's job parameters; "Rotate" as `rotate` wishes.
PictureLoad PictureLoadFor(const JobParameters& params, std::optional<bool> rotate);

struct LoadedPicture {
  bool loaded = false;
  bool transparent = false;   // background removal did not apply
  bool rotate = false;        // "Rotate" in force
  bool no_transform = false;  // the two profiles gave no colour transform
};

// For a load that got no colour transform: which of the load's profiles cannot be opened and
// where a bare name was looked for, as one line; "" when both open. The window's message
// only says "Something odd with this image"; the command line adds this.
std::string ProfileSearchNote(const PictureLoad& load, const DataFolders& folders);

// Loads `image_path` as the window does: decode, background removal, colour conversion
// through the profiles, fit to the printable area, orientation, "Rotate" when chosen, and the
// fit command when one copy is still too large. A failure has been shown through the
// notifier. A profile that gives no transform leaves the stored settings alone (the window
// would load its defaults).
LoadedPicture LoadPicture(const SettingsStore& store, const UiText& texts, Notifier& notifier,
                          ProgressSink& progress, const PictureLoad& load,
                          const std::filesystem::path& image_path, WorkImage& image);

// The layout steps of a load after the fit: "Rotate" as `load` chooses it (else the fit's
// `fit_rotate`), and the fit command when one copy is larger than the printable area. Returns
// "Rotate" in force.
bool FinishLayout(WorkImage& image, const PictureLoad& load, bool fit_rotate, bool needs_fit,
                  ProgressSink& progress);

// Lays a loaded picture out afresh from its converted records, as loading it onto the page and
// margins of `load` would: the fit at load (which may turn it), "Rotate" when chosen, the fit
// command when one copy is still too large. The file is not read. Returns "Rotate" in force;
// nullopt when the picture holds no records.
std::optional<bool> FitPictureAfresh(WorkImage& image, const PictureLoad& load,
                                     ProgressSink& progress);

// Orients a loaded picture again for the Mirror, Flip and Rotate of `load` (unset "Rotate" is
// off), keeping its printed scale. A turn that leaves one copy larger than the printable area
// is followed by the fit, as at a load. Returns "Rotate" in force; nullopt without records.
std::optional<bool> OrientPictureAgain(WorkImage& image, const PictureLoad& load,
                                       ProgressSink& progress);

}  // namespace kelvaro

#endif  // KELVARO_APP_PICTURE_LOAD_H_
