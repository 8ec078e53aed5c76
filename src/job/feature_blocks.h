#ifndef KELVARO_JOB_FEATURE_BLOCKS_H_
#define KELVARO_JOB_FEATURE_BLOCKS_H_

#include <optional>
#include <string>
#include <string_view>

#include "printers/printer_models.h"
#include "settings/ui_text.h"

namespace kelvaro {

// The printer set-up blocks of the job. A block is opened by "featurebegin{", names its
// keyword and option in a "%%BeginFeature: " comment, calls the printer's own procedures when
// it has them, and is closed by "%%EndFeature" and "}featurecleanup". All texts returned here
// end every line in CR LF.

// The media code (0..31) of the media list's text: the UiText entries of the media table are
// compared for equality in table order and the last match wins; no match gives 0. "Medium D"
// and "Medium A" depend on the model (ModelCapabilities::ultra_heavy_medium_d_and_a).
int MediaCodeFor(std::string_view media_text, std::string_view model_name, const UiText& texts);

// The "*OKMediaType" block for a media code. Codes 15, 16, 18, 19 and 28 take the heavier
// variant when `paper_class` is above 1. Empty for code 25 and codes without a block.
std::string MediaTypeFeatureForCode(int media_code, PaperClass paper_class);

// The media-type block for the media list's text: MediaCodeFor, then MediaTypeFeatureForCode.
std::string BuildMediaTypeFeature(std::string_view media_text, std::string_view model_name,
                                  PaperClass paper_class, const UiText& texts);

// The input-slot block for the tray list's text: tested in order for containing UiText 121
// ("AUTO": no block), 122 (multi-purpose tray) and 123 (tray 1); anything else gets no
// block. Empty when there is no block. An empty UiText entry never matches.
std::string TrayFeature(std::string_view tray_text, const UiText& texts);

// The output-bin block: only for models with an output bin (ModelCapabilities::output_bin);
// "Rear" (lower) when "FaceUp Exit" is checked, else "Stacker" (upper). Empty for other models.
std::string OutputBinFeature(std::string_view model_name, bool face_up_exit);

// The number of prints as the job uses it: the leading number of the field (fractions
// rounded half to even), 0 or below gives 1, above 99 gives 99.
int ClampNumberOfPrints(std::string_view field_text);

// The NumCopies block for n > 1 (n already clamped), binary integer token included; empty for
// n <= 1.
std::string NumCopiesFeature(int number_of_prints);

// The page table: what a paper-size name selects.
struct PageChoice {
  // The page block: "*CustomPageSize" or "*PageRegion <keyword>".
  std::string feature;
  // The two numbers after the mysetup matrix's scale, as written: the page origin in points.
  std::string mysetup_origin;
};

// Looks the trimmed paper-size name's first six characters up in the page table; other names
// get a custom page of `page_width_pt` × `page_height_pt` (points). `with_a4_sef` is false for
// the blank-page job, whose table has no "A4 SEF" row.
PageChoice ChoosePage(std::string_view paper_name, int page_width_pt, int page_height_pt,
                      bool with_a4_sef = true);

// The fixed blocks of the set-up, from "*OKJob_Type Normal" up to the output bin slot, are
// assembled by the writer; these return the fixed runs between the variable blocks.
std::string SetupTimeoutFeatures();       // JobTimeout, WaitTimeout, TraySwitch
std::string JobTypeAndCollateFeatures();  // OKJob_Type, OKCollate
std::string ScreenResolutionHairline();   // OKScreenObo, OKResolution, OKHairLine
std::string ColourAndDeviceFeatures();    // OKManualFeed ... OKHDDSpool
std::string PageSetupFeatures();          // OKEnvRotate ... OKJobLimit

// One featurebegin/featurecleanup block. `body` lines are LF-separated (no final LF); an
// empty body leaves only the blank line after the BeginFeature comment.
std::string FeatureBlock(std::string_view keyword_and_option, std::string_view body);

}  // namespace kelvaro

#endif  // KELVARO_JOB_FEATURE_BLOCKS_H_
