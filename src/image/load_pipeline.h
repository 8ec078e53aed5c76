#ifndef KELVARO_IMAGE_LOAD_PIPELINE_H_
#define KELVARO_IMAGE_LOAD_PIPELINE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "image/background_removal.h"
#include "image/color_management.h"
#include "image/decoded_rows.h"
#include "image/orientation.h"
#include "image/resolution.h"
#include "image/work_image.h"
#include "platform/notifier.h"
#include "platform/step_timings.h"
#include "printers/margins.h"
#include "printers/units.h"

namespace kelvaro {

// The window state a load reads, collected by the caller.
struct LoadOptions {
  bool mirror = false;
  bool flip = false;
  bool preview = true;  // lay out the preview grid too
  // The turn chosen ("Rotate"); unset: as the fit decides.
  std::optional<bool> rotate;
  // The converted records are not kept for another layout (a run that prints once): they are
  // given back as they are oriented, and the raw buffer is empty after the load.
  bool release_records = false;
  bool background_removal_on = false;  // the user's "Background Removal" switch
  UnitCode unit = UnitCode::kMillimetres;
  PrintableArea printable;  // points, of the current page
  // Status line shown before the conversion (UiText 38).
  std::string conversion_status = "<<<<<  Conversion progress >>>>>";
  // Status line of the background step on an opaque picture, for a picture whose rows were
  // converted as they decoded (the step itself shows its own caption otherwise).
  std::string background_status = BackgroundRemovalOptions{}.caption;
  // Where the decode, the conversion and the orientation add their wall times; may be null.
  StepTimings* timings = nullptr;
};

// The two steps other parts of the image pipeline provide. Each works on the raw buffer in
// place.
struct LoadSteps {
  // Makes an opaque picture's background transparent (or the whole picture opaque when the
  // user's switch is off). Called only for pictures without transparent pixels. May be empty.
  std::function<void(WorkImage& image, ProgressSink& progress)> remove_background;
  // RGBA to C, M, Y, K, A records; empties the raw buffer on failure.
  std::function<ConvertStatus(WorkImage& image, ProgressSink& progress)> convert;
  // May be empty: converts a plain PNG's rows while it decodes, with the records `convert`
  // would make (see SetStandardConversion). Not used with background removal on; then
  // `remove_background` is taken to do no more than give an opaque picture full opacity.
  std::shared_ptr<RowConversion> convert_rows;
};

// The load pipeline's steps wired to the colour conversion with `context`. `load_defaults`
// is the Load Defaults command, run when the profiles make no transform.
std::function<ConvertStatus(WorkImage&, ProgressSink&)> StandardConversion(
    ColourContext context, Notifier& notifier, std::function<void()> load_defaults);

// StandardConversion with a head start: `steps.convert_rows` converts a plain PNG's rows
// while it decodes, and the pipeline takes its records when it has converted them all;
// `steps.convert` converts as StandardConversion otherwise. The records are the same either
// way.
void SetStandardConversion(LoadSteps& steps, ColourContext context, Notifier& notifier,
                           std::function<void()> load_defaults);

// The background removal step for `options` (its source kind is taken from the picture). It
// works on the RGBA pixels only, never on the spare bytes behind them, which are zero and
// would read as transparent.
std::function<void(WorkImage&, ProgressSink&)> StandardBackgroundRemoval(
    BackgroundRemovalOptions options);

// What the window shows and keeps after a load.
struct LoadOutcome {
  bool loaded = false;  // the picture went through to the oriented grid
  ConvertStatus conversion = ConvertStatus::kBadBuffer;
  bool transparent = false;  // background removal was not applicable
  bool rotate = false;       // the new state of "Rotate": as chosen, else the fit's decision
  bool needs_fit = false;    // the oriented size exceeds the printable area: run the fit command
  SizeLabels size_labels;    // oriented width and height in the unit
};

// Runs after decoding, on `image` with its raw RGBA buffer (5 × width × height bytes), its
// size and the file's resolution and source kind already set:
// transparency check, background removal for opaque pictures, physical size from the file's
// resolution, the fit to the printable area (which may turn the picture), colour conversion,
// orientation, the size labels and the scale factor. Progress 0…100 per step; the conversion
// status text goes to `progress` before the conversion.
// When the conversion fails the raw buffer is empty and `loaded` is false; the grids are not
// built then.
LoadOutcome RunLoadPipeline(WorkImage& image, const LoadOptions& options, const LoadSteps& steps,
                            ProgressSink& progress);

}  // namespace kelvaro

#endif  // KELVARO_IMAGE_LOAD_PIPELINE_H_
