#include "app/job_parameters.h"

#include <algorithm>
#include <limits>

#include "app/control_ids.h"
#include "app/main_window_model.h"

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

  // A grid has at least one copy each way (an emptied or zero field must not make an
  // empty job), and the count must fit an int.
  constexpr long kMaxCount = std::numeric_limits<int>::max();
  p.copies_across = static_cast<int>(std::clamp(model.CaptionNumber(c::kXCopyEdit), 1L, kMaxCount));
  p.copies_down = static_cast<int>(std::clamp(model.CaptionNumber(c::kYCopyEdit), 1L, kMaxCount));
  p.number_of_prints = model.CaptionNumber(c::kCopiesEdit);
  p.placement_mode = model.placement_mode();

  p.printer_queue = model.Text(c::kPrinterList);
  p.tray = model.Text(c::kTrayList);
  p.media_label = model.Text(c::kMediaList);
  p.media_code = static_cast<int>(model.UserValue(c::kMediaList, kMediaCodeSlot));
  p.paper = model.Text(c::kPaperList);
  p.paper_class = static_cast<int>(model.UserValue(c::kPrintButton, kPaperClassSlot));
  p.background_values = {model.UserValue(c::kBackgroundRemoval, kBackgroundValue1Slot),
                         model.UserValue(c::kBackgroundRemoval, kBackgroundValue2Slot),
                         model.UserValue(c::kBackgroundRemoval, kBackgroundValue3Slot)};
  p.window_title = model.title();
  return p;
}

}  // namespace kelvaro
