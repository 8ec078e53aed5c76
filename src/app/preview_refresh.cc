#include "app/preview_refresh.h"

#include <span>
#include <string>
#include <utility>

#include "app/control_ids.h"
#include "app/job_planes.h"
#include "app/page_placement.h"
#include "image/background_removal.h"
#include "image/profiles.h"
#include "image/tone_curve_table.h"
#include "pattern/pattern_print.h"
#include "printers/media_presets.h"
#include "settings/settings_store.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

namespace c = control;

// The background the window's preview mode stands for, brought in step with "Print White".
PreviewBackground SyncBackground(MainWindowModel& model, bool print_white) {
  const int medium = static_cast<int>(PreviewBackground::kMedium);
  const int plain = static_cast<int>(PreviewBackground::kPlain);
  if (print_white != (model.preview_mode() == medium)) {
    model.SetPreviewMode(print_white ? medium : plain);
  }
  return print_white ? PreviewBackground::kMedium : PreviewBackground::kPlain;
}

void ShowText(MainWindowModel& model, int id, const std::string& text) {
  if (model.Text(id) != text) model.SetText(id, text);
}

// The knock-out of the stored pattern set-up at the preview's size. None when the set-up
// cannot be drawn (a damaged shape library is reported when printing).
std::optional<std::vector<std::uint8_t>> StoredPreviewPatternMask(const SettingsStore& store,
                                                                  const JobParameters& params,
                                                                  const WorkImage& image,
                                                                  const PageLayout& layout) {
  NullProgress progress;
  PatternMaskOutcome outcome = BuildStoredPreviewPatternMask(
      store, layout.preview_width, layout.preview_height,
      PatternPixelsPerMm(layout.preview_width, image.oriented_width_pt),
      PatternOrientation{params.mirror, params.flip, params.rotate}, progress);
  if (!outcome.ok() || outcome.width != layout.preview_width ||
      outcome.height != layout.preview_height) {
    return std::nullopt;
  }
  return std::move(outcome.mask);
}

// The profiles and messages of the proof, as the window names them.
ColourContext ProofContext(const MainWindowModel& model, const JobParameters& params) {
  ColourContext colour;
  colour.profiles = MakeProfileNames(params.profile_in, params.profile_out);
  colour.folders = model.store().folders();
  const UiText& texts = model.texts();
  colour.messages = ColourMessages{texts.Get(ui::kProgramTitle), texts.Get(ui::kOddImage),
                                   texts.Get(ui::kConversionFailure)};
  return colour;
}

// One copy of the picture as the page shows it: the white view or the colour preview, with
// the pattern's knock-out while "Pattern Preview" is checked. nullopt when it cannot be drawn.
std::optional<PreviewImage> BuildCopy(MainWindowModel& model, const WorkImage& image,
                                      const PreviewServices& services, const JobParameters& params,
                                      const PageLayout& layout, bool white_view) {
  const std::int32_t width = layout.preview_width;
  const std::int32_t height = layout.preview_height;
  std::optional<std::vector<std::uint8_t>> mask;
  if (params.pattern_preview && services.pattern_mask) {
    mask = services.pattern_mask(width, height);
  } else if (params.pattern_preview) {
    mask = StoredPreviewPatternMask(model.store(), params, image, layout);
  }
  std::optional<std::span<const std::uint8_t>> mask_view;
  if (mask) mask_view = std::span<const std::uint8_t>(*mask);
  // The white plane the job prints, when the view or the displayed edge needs it.
  std::optional<GridWhitePlanes> white;
  if (white_view || (params.white_edge != 0 && params.display_white && params.print_white)) {
    white = BuildJobWhitePlanes(image, params, model.store());
    if (!white) {
      services.notifier.Show(model.texts().Get(ui::kProgramTitle), kNotSeparatedText,
                             MessageIcon::kError);
    }
  }
  if (white_view) {
    if (!white) return std::nullopt;
    return BuildWhiteViewImage(*white, width, height, mask_view);
  }
  std::optional<PreviewSamples> fresh;
  const PreviewSamples* samples = nullptr;
  if (services.samples != nullptr) {
    samples = services.samples->Samples(image, width, height);
  } else if ((fresh = SamplePicture(image, width, height))) {
    samples = &*fresh;
  }
  if (samples == nullptr) return std::nullopt;
  // The table the print applies, as the colour window left it.
  return BuildPreviewImage(*samples, PreviewParamsFrom(params, model.store()), params.tone_table,
                           mask_view, services.proof, ProofContext(model, params),
                           services.notifier, white ? &*white : nullptr);
}

}  // namespace

PreviewParams PreviewParamsFrom(const JobParameters& params, const SettingsStore& store) {
  return PreviewParams{SeparationParamsFrom(params, store), params.display_white};
}

PreviewRefresh RefreshPreview(MainWindowModel& model, WorkImage& image,
                              const PreviewServices& services) {
  PreviewRefresh refresh;
  if (!model.image_loaded() || image.empty()) return refresh;
  refresh.drawn = true;
  const JobParameters params = GatherJobParameters(model);
  // The window's preview mode follows "Print White" in the white view too.
  PreviewBackground background = SyncBackground(model, params.print_white);
  const bool white_view = model.IsChecked(c::kWhiteView);
  if (white_view) background = PreviewBackground::kWhiteView;
  const CanvasSize canvas =
      ComputeCanvasSize(params.image_area_width, params.page.width, params.page.height);
  // Laid out as the print lays it out, then drawn at this area's size.
  const std::optional<CopiesPlan> plan = PlanCopies(params, image);
  if (plan) refresh.layout = LayoutOnCanvas(*plan, canvas, params, image);
  refresh.copies_fit = !plan || CopiesFitThePage(*plan);
  refresh.zoom_label = ZoomLabel(image, params.rotate);
  ShowText(model, c::kZoomEdit, refresh.zoom_label);

  std::optional<PreviewImage> copy;
  if (refresh.layout) {
    const PageLayout& layout = *refresh.layout;
    ShowText(model, c::kXCopyEdit, std::to_string(layout.copies_across));
    ShowText(model, c::kYCopyEdit, std::to_string(layout.copies_down));
    ShowText(model, c::kTotalEdit,
             std::to_string(static_cast<long long>(layout.copies_across) * layout.copies_down));
    if (!refresh.copies_fit) ShowText(model, c::kStatusLine, kCopiesDoNotFitText);
    if (layout.preview_width > 0 && layout.preview_height > 0) {
      copy = BuildCopy(model, image, services, params, layout, white_view);
    }
  }
  refresh.copies_drawn = copy.has_value();
  refresh.canvas = ComposePreviewCanvas(
      canvas, background, refresh.layout ? &*refresh.layout : nullptr, copy ? &*copy : nullptr);
  return refresh;
}

}  // namespace kelvaro
