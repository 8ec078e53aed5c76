#ifndef KELVARO_APP_JOB_PARAMETERS_H_
#define KELVARO_APP_JOB_PARAMETERS_H_

#include <array>
#include <string>

#include "image/separation.h"
#include "image/tone_curve_table.h"
#include "printers/paper_sizes.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"

namespace kelvaro {

class MainWindowModel;

// The job parameters as the main window holds them at the moment a print (or a preview)
// starts, taken once so that nothing changes under a running step. The separation builder,
// layout and job writer read this record and never the window's control ids.
struct JobParameters {
  // Leading numbers of the value labels beside the sliders, in percent.
  long white_density = 0;    // "White only Density", 0..100
  long white_threshold = 0;  // "Add White Threshold", 0..100
  long brightness = 0;       // -100..100
  long contrast = 0;         // -100..100

  bool print_white = false;
  bool print_cmy = false;
  bool threshold_on = false;
  bool display_white = false;
  bool black_removal = false;
  bool background_removal = false;
  bool mirror = false;
  bool rotate = false;
  bool flip = false;
  bool guard_area = false;
  bool pattern_preview = false;
  bool automatic_tile = false;
  bool optimal_layout = false;

  // The white edge, hundredths of a millimetre: > 0 chokes the white plane, < 0 spreads it.
  int white_edge = 0;

  // The copy-count fields, at least 1 each.
  int copies_across = 1;
  int copies_down = 1;
  // The number-of-prints field as typed; the job writer reads its leading number.
  std::string prints = "1";
  // Single-copy placement, 0 to 9.
  int placement_mode = 0;

  std::string printer_queue;  // selected entry of the printer list
  std::string tray;           // selected entry of the tray list
  std::string media_label;    // selected entry of the media list
  int media_code = 0;         // UiText number of the chosen preset's label
  std::string paper;          // selected entry of the paper list
  std::string model_name;     // the active printer model
  int paper_class = 0;        // of the active printer model
  PageSize page{595, 842};    // points
  Margins margins;            // points, as stored
  // Background-removal values set by the media preset: the film flag and two levels.
  std::array<int, 3> background_values = {0, 51, 7};
  bool film() const { return background_values[0] == 1; }
  std::string toner_order = "WL";
  ToneCurves curves = DefaultToneCurves();
  // What the separation applies to cyan, magenta and yellow.
  ToneCurveTable tone_table = BuildToneCurveTable(DefaultToneCurves());
  std::string profile_in;      // the image's RGB profile
  std::string profile_out;     // the printer's CMYK profile
  int image_area_width = 310;  // the preview's width in pixels, which the layout is made on
  std::string window_title;    // the caption, for the document name
};

JobParameters GatherJobParameters(const MainWindowModel& model);

// The controls the separation builder (and the preview's colour steps) read; the black-removal
// fuzz comes from the store.
SeparationParams SeparationParamsFrom(const JobParameters& params, const SettingsStore& store);

}  // namespace kelvaro

#endif  // KELVARO_APP_JOB_PARAMETERS_H_
