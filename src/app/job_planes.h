#ifndef KELVARO_APP_JOB_PLANES_H_
#define KELVARO_APP_JOB_PLANES_H_

#include <cstdint>
#include <optional>
#include <span>

#include "app/job_parameters.h"
#include "image/screen_preview.h"
#include "image/separation.h"
#include "image/work_image.h"
#include "platform/notifier.h"
#include "settings/settings_store.h"

namespace kelvaro {

// Shown when the planes of a picture could not be made.
inline constexpr char kNotSeparatedText[] = "The picture could not be separated into toner planes";

// How many pixels of one copy's planes go to an inch of paper, across and down: the copy is
// printed output_width × output_height pixels over its oriented size in points. 0 for a side
// without a size.
struct PlaneResolution {
  double x_ppi = 0;
  double y_ppi = 0;
};
PlaneResolution JobPlaneResolution(const WorkImage& image);

// The planes of one copy as the job prints them: the separation with the window's controls,
// then the white edge on the white plane at the job's resolution, then the pattern knock-out
// of `pattern_mask` (so that a spread does not grow white back into the knocked-out shapes).
// Without a white edge this is the separation alone. The error kind of the separation, or
// kOutOfMemory when the edge found no memory; the set is empty then.
SeparationOutcome BuildJobPlanes(const WorkImage& image, const JobParameters& params,
                                 const SettingsStore& store,
                                 std::optional<std::span<const std::uint8_t>> pattern_mask,
                                 ProgressSink& progress);

// The white plane of one copy (output_width × output_height bytes, row by row) as the
// separation makes it and as the job prints it, with the white edge, for the preview's white
// view and its display of white. The pattern knock-out is the preview's to apply at its own
// size. nullopt when the separation fails.
std::optional<GridWhitePlanes> BuildJobWhitePlanes(const WorkImage& image,
                                                   const JobParameters& params,
                                                   const SettingsStore& store);

}  // namespace kelvaro

#endif  // KELVARO_APP_JOB_PLANES_H_
