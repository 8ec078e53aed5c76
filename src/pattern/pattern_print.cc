#include "pattern/pattern_print.h"

#include <cmath>

#include "pattern/shape_library.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"

namespace kelvaro {

PatternSettings ReadPatternSettings(const SettingsStore& store) {
  PatternSettings settings;
  const std::string shape(Trim(store.ReadSetting(keys::pattern::kShape), kBlanks));
  if (!shape.empty()) settings.shape = shape;
  settings.size_x_mm = ReadLeadingDecimal(store.ReadSetting(keys::pattern::kSizeX));
  settings.size_y_mm = ReadLeadingDecimal(store.ReadSetting(keys::pattern::kSizeY));
  settings.gap_mm = ReadLeadingDecimal(store.ReadSetting(keys::pattern::kGap));
  const std::string screen(Trim(store.ReadSetting(keys::pattern::kScreen), kBlanks));
  settings.screen_angle = (!screen.empty() && ReadLeadingDecimal(screen) == 0) ? 0 : 45;
  // Any value but "0" inverts; a set-up that never wrote the key prints the normal mask.
  const std::string mask(Trim(store.ReadSetting(keys::pattern::kMask), kBlanks));
  settings.inverted = !mask.empty() && mask != "0";
  return settings;
}

std::string StoredShapeLibraryPath(const SettingsStore& store) {
  return store.ReadSetting(keys::active::kShapeLibrary);
}

StoredPattern LoadStoredPattern(const SettingsStore& store) {
  StoredPattern stored;
  stored.settings = ReadPatternSettings(store);
  if (ClassifyPatternShape(stored.settings.shape) != PatternShapeKind::kLibrary) return stored;
  const std::string library = StoredShapeLibraryPath(store);
  if (library.empty()) return stored;
  ShapeLookup lookup = LoadShape(library, stored.settings.shape);
  stored.library_shape = std::move(lookup.shape);
  stored.message = std::move(lookup.message);
  return stored;
}

PatternMaskOutcome BuildStoredPatternMask(const SettingsStore& store, std::int32_t output_width,
                                          std::int32_t output_height, double unturned_width_pt,
                                          PatternOrientation orientation, ProgressSink& progress) {
  const StoredPattern stored = LoadStoredPattern(store);
  if (!stored.message.empty()) {
    PatternMaskOutcome outcome;
    outcome.error = stored.message;
    return outcome;
  }
  return GeneratePatternMask(stored.settings,
                             stored.library_shape ? &*stored.library_shape : nullptr, output_width,
                             output_height, unturned_width_pt, orientation, progress);
}

PatternMaskOutcome BuildStoredPreviewPatternMask(const SettingsStore& store, std::int32_t width,
                                                 std::int32_t height, double pixels_per_mm,
                                                 PatternOrientation orientation,
                                                 ProgressSink& progress) {
  const StoredPattern stored = LoadStoredPattern(store);
  if (!stored.message.empty()) {
    PatternMaskOutcome outcome;
    outcome.error = stored.message;
    return outcome;
  }
  return GeneratePreviewPatternMask(stored.settings,
                                    stored.library_shape ? &*stored.library_shape : nullptr, width,
                                    height, pixels_per_mm, orientation, progress);
}

PatternSettings NormalisePatternSettings(PatternSettings settings) {
  if (!(settings.size_x_mm >= 1)) settings.size_x_mm = 1;
  if (!(settings.size_y_mm >= 1)) settings.size_y_mm = 1;
  if (!(settings.gap_mm >= 0)) settings.gap_mm = 1;
  if (settings.screen_angle != 0 && settings.screen_angle != 45) settings.screen_angle = 45;
  return settings;
}

double TypedPatternSize(double mm) {
  if (mm > 10) return 4;
  if (!(mm >= 1)) return 1;
  return mm;
}

double TypedPatternGap(double mm) {
  if (!(mm > 1) || mm > 5) return 1;
  return mm;
}

double PatternSizeFromSlider(int position) { return position / 12.5 + 1; }
double PatternGapFromSlider(int position) { return position / 25.0 + 1; }

}  // namespace kelvaro
