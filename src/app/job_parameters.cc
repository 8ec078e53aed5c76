#include "app/job_parameters.h"

#include <algorithm>
#include <limits>

#include "app/control_ids.h"
#include "app/main_window_model.h"
#include "image/background_removal.h"
#include "image/profiles.h"
#include "printers/margins.h"
#include "printers/media_presets.h"
#include "printers/printer_models.h"
#include "settings/keys.h"

namespace kelvaro {

JobParameters GatherJobParameters(const MainWindowModel& model) {
  namespace c = control;
  JobParameters p;
  p.white_density = model.CaptionNumber(c::kWhiteDensityValue);
  p.white_threshold = model.CaptionNumber(c::kThresholdValue);
  p.brightness = model.CaptionNumber(c::kBrightnessValue);
  p.contrast = model.CaptionNumber(c::kContrastValue);

  p.print_white = model.IsChecked(c::kPrintWhite);
  p.print_cmy = model.IsChecked(c::kPrintCmy);
  p.threshold_on = model.IsChecked(c::kThresholdOn);
  p.display_white = model.IsChecked(c::kDisplayWhite);
  p.black_removal = model.IsChecked(c::kBlackRemoval);
  p.background_removal = model.IsChecked(c::kBackgroundRemoval);
  p.mirror = model.IsChecked(c::kMirror);
  p.rotate = model.IsChecked(c::kRotate);
  p.flip = model.IsChecked(c::kFlip);
  p.guard_area = model.IsChecked(c::kGuardArea);
  p.pattern_preview = model.IsChecked(c::kPatternPreview);
  p.automatic_tile = model.IsChecked(c::kAutomaticTile);
  p.optimal_layout = model.IsChecked(c::kOptimalLayout);
  p.white_edge = model.WhiteEdge();

  // A grid has at least one copy each way (an emptied or zero field must not make an
  // empty job), and the count must fit an int.
  constexpr long kMaxCount = std::numeric_limits<int>::max();
  p.copies_across = static_cast<int>(std::clamp(model.CaptionNumber(c::kXCopyEdit), 1L, kMaxCount));
  p.copies_down = static_cast<int>(std::clamp(model.CaptionNumber(c::kYCopyEdit), 1L, kMaxCount));
  p.prints = model.Text(c::kCopiesEdit);
  p.placement_mode = model.placement_mode();

  const WindowState& state = model.state();
  p.printer_queue = model.Text(c::kPrinterList);
  p.tray = model.Text(c::kTrayList);
  p.media_label = model.Text(c::kMediaList);
  p.media_code = state.media_code;
  p.paper = model.Text(c::kPaperList);
  p.model_name = state.model_name;
  p.paper_class = state.paper_class;
  p.page = state.page;
  p.margins = ReadMargins(model.store());
  p.background_values = state.background_values;
  p.toner_order = state.toner_order;
  p.curves = state.curves;
  p.tone_table = state.tone_table;
  const ProfileNames profiles = ReadProfileNames(model.store());
  p.profile_in = profiles.input;
  p.profile_out = profiles.output;
  p.image_area_width = state.image_area_width;
  p.window_title = model.title();
  return p;
}

SeparationParams SeparationParamsFrom(const JobParameters& params, const SettingsStore& store) {
  SeparationParams separation;
  separation.hot_stamp = params.media_code == kPresetHotStampFoil;
  separation.layout =
      TonerOrderInForce(params.model_name, params.toner_order) == TonerOrder::kWhiteFirst
          ? TonerLayout::kWhiteFirst
          : TonerLayout::kWhiteLast;
  separation.white_density = static_cast<double>(params.white_density);
  separation.white_threshold = static_cast<double>(params.white_threshold);
  separation.brightness = static_cast<double>(params.brightness);
  separation.contrast = static_cast<double>(params.contrast);
  separation.threshold_on = params.threshold_on;
  separation.print_white = params.print_white;
  separation.print_cmy = params.print_cmy;
  separation.black_removal = params.black_removal;
  if (params.black_removal) {
    separation.black_removal_fuzz =
        ReadLeadingDecimal(store.ReadSetting(keys::active::kBlackRemovalFuzzy));
  }
  separation.film = params.film();
  return separation;
}

}  // namespace kelvaro
