#ifndef KELVARO_APP_PREVIEW_REFRESH_H_
#define KELVARO_APP_PREVIEW_REFRESH_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/job_parameters.h"
#include "app/main_window_model.h"
#include "image/color_management.h"
#include "image/page_layout.h"
#include "image/screen_preview.h"
#include "image/work_image.h"
#include "platform/notifier.h"

namespace kelvaro {

// The pattern mask for a preview copy of `width` × `height` pixels: one byte per pixel, row by
// row, non-zero where the pattern knocks the print out. nullopt when there is none to show.
using PreviewPatternMask = std::function<std::optional<std::vector<std::uint8_t>>(
    std::int32_t width, std::int32_t height)>;

// What a refresh needs besides the window and the picture. The window keeps `proof` for its
// whole life, so that the proof transform is made once and not on every refresh, and
// `samples`, so that the picture is sampled down to the copy's size once and not on every
// refresh (its owner forgets them when the picture changes).
struct PreviewServices {
  Notifier& notifier;
  ProofTransformCache& proof;
  // Asked only while "Pattern Preview" is checked; unset: the stored pattern set-up.
  PreviewPatternMask pattern_mask = {};
  // Null: the picture is sampled afresh on every refresh.
  PreviewSampleCache* samples = nullptr;
};

// What a refresh drew and published.
struct PreviewRefresh {
  // False while no picture is loaded: nothing was drawn and nothing in the window changed.
  bool drawn = false;
  PreviewCanvas canvas;  // the page, ready to be shown as it is
  // The layout the canvas was drawn with, and the print will use: copy size, counts, gaps and
  // offset in points. nullopt when one copy is smaller than a canvas pixel (only the page is
  // drawn then).
  std::optional<PageLayout> layout;
  std::string zoom_label;  // also shown in the zoom field
  // False when the copies could not be drawn (no proof transform: the user has been told).
  bool copies_drawn = false;
  // False when the grid is larger than the printable area (the status line says so).
  bool copies_fit = true;
};

// The preview's colour controls from the window's job parameters; the black-removal fuzz is
// read from the store as the print reads it.
PreviewParams PreviewParamsFrom(const JobParameters& params, const SettingsStore& store);

// Recomputes the layout of the loaded picture as the print makes it, draws it on the canvas of
// the window's image area,
// rebuilds the preview copy, composes the page and publishes: the copy counts in force in the
// two count fields (the automatic tile writes its counts there, so that the print uses them)
// and their product in the total field, the zoom label, and the background mode, which
// follows "Print White". Everything else is read from the model and `image`.
//
// With "White view" checked the copies show the white plane the job prints, as grey on black
// (see BuildWhiteViewImage). With a white edge and the white displayed, the colour preview
// shows the edge. Both separate `image` as the print does, which binarises its grid's opacity
// as the print would.
PreviewRefresh RefreshPreview(MainWindowModel& model, WorkImage& image,
                              const PreviewServices& services);

}  // namespace kelvaro

#endif  // KELVARO_APP_PREVIEW_REFRESH_H_
