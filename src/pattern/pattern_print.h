#ifndef KELVARO_PATTERN_PATTERN_PRINT_H_
#define KELVARO_PATTERN_PATTERN_PRINT_H_

#include <cstdint>
#include <optional>
#include <string>

#include "pattern/pattern_mask.h"
#include "pattern/shape_record.h"
#include "settings/settings_store.h"

namespace kelvaro {

// Entry points of pattern print for the print command, the preview and the command line. They
// read the stored pattern set-up and the user's shape library, so the callers only pass the
// picture's size and orientation:
//
//   print:    BuildStoredPatternMask(store, image.output_width, image.output_height,
//                                    unturned width in points, {mirror, flip, rotate}, progress)
//             and hand the mask (when ok()) to BuildSeparation as its pattern mask;
//   preview:  BuildStoredPreviewPatternMask(store, pw, ph, pixels_per_mm, orientation, progress);
//   shapes:   ListShapes / StoreShape / RemoveShapes (shape_library.h) on StoredShapeLibraryPath,
//             ImportVectorShape (vector_import.h) for a drawing.

// [RIP Patten Setup]: "Shape" (empty reads as "Ellipse"), "SizeX", "SizeY" and "Gap" in
// millimetres (leading number), "Screen" ("0" gives angle 0, anything else 45), "Mask" ("0"
// or empty normal, any other number inverted). Values are used as stored; the set-up dialog
// is where out-of-range values are corrected (NormalisePatternSettings below); the mask
// generator refuses negative sizes and gaps.
PatternSettings ReadPatternSettings(const SettingsStore& store);

// The user's shape library: [Active] "Shape Library"; empty when not set.
std::string StoredShapeLibraryPath(const SettingsStore& store);

// The stored settings and, for a library shape, the shape they name. A name the library does
// not hold leaves `library_shape` empty (the pattern draws nothing); a damaged library
// leaves it empty and fills `message`.
struct StoredPattern {
  PatternSettings settings;
  std::optional<ShapeRecord> library_shape;
  std::string message;
};
StoredPattern LoadStoredPattern(const SettingsStore& store);

// The print's mask from the stored set-up (see GeneratePatternMask). A damaged library is a
// failure (`error` holds its message) rather than a print without shapes.
PatternMaskOutcome BuildStoredPatternMask(const SettingsStore& store, std::int32_t output_width,
                                          std::int32_t output_height, double unturned_width_pt,
                                          PatternOrientation orientation, ProgressSink& progress);
// The preview's mask from the stored set-up (see GeneratePreviewPatternMask).
PatternMaskOutcome BuildStoredPreviewPatternMask(const SettingsStore& store, std::int32_t width,
                                                 std::int32_t height, double pixels_per_mm,
                                                 PatternOrientation orientation,
                                                 ProgressSink& progress);

// The set-up dialog's rules, in millimetres.
// On opening: sizes below 1 become 1, a negative gap becomes 1, a screen other than 0 or 45
// becomes 45.
PatternSettings NormalisePatternSettings(PatternSettings settings);
// A typed size: above 10 becomes 4, below 1 becomes 1.
double TypedPatternSize(double mm);
// A typed gap: at most 1 or above 5 becomes 1.
double TypedPatternGap(double mm);
// Slider positions to millimetres: size = position ÷ 12.5 + 1, gap = position ÷ 25 + 1.
double PatternSizeFromSlider(int position);
double PatternGapFromSlider(int position);

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_PATTERN_PRINT_H_
