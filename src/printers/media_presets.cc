#include "printers/media_presets.h"

#include <cctype>

#include "platform/text_helpers.h"
#include "printers/margins.h"
#include "printers/paper_sizes.h"
#include "printers/printer_models.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro {

namespace {

std::string Percent(int value) { return std::to_string(value) + "%"; }

bool StoredFlag(const SettingsStore& store, SettingKey key) {
  return Trim(store.ReadSetting(key), kBlanksAndLineBreaks) == "1";
}

HandPictures ReadHandPictures(const SettingsStore& store) {
  HandPictures hands;
  hands.left_checked = StoredFlag(store, keys::others::kLeftHand);
  hands.left_bitmap = hands.left_checked ? "#144" : "#142";
  hands.right_checked = StoredFlag(store, keys::others::kRightHand);
  hands.right_bitmap = hands.right_checked ? "#145" : "#143";
  return hands;
}

// The dark medium prints within wide fixed margins, in hundredths of a point.
Margins SpecialMargins(std::string_view paper_list_text) {
  const std::string upper = AsciiUpper(paper_list_text);
  const bool a3 = upper.find("A3") != std::string::npos;
  const double top_bottom = a3 ? 39.12 : 38.55;
  const double left_right = a3 ? 38.55 : 28.34;
  return {top_bottom, left_right, left_right, top_bottom};
}

void LockWhiteControls(WhiteControls& white, bool locked) {
  white.density_slider_enabled = !locked;
  white.threshold_slider_enabled = !locked;
  white.threshold_on_enabled = !locked;
  white.print_white_enabled = !locked;
  white.threshold_caption_enabled = !locked;
}

}  // namespace

const MediaPreset* FindMediaPreset(int code) {
  for (const MediaPreset& preset : kMediaPresets) {
    if (preset.code == code) return &preset;
  }
  return nullptr;
}

const MediaPreset* FindMediaPresetByLabel(const UiText& texts, std::string_view label) {
  for (const MediaPreset& preset : kMediaPresets) {
    if (texts.Get(preset.code) == label) return &preset;
  }
  return nullptr;
}

std::vector<int> MediaListCodes(const UiText& texts) {
  std::vector<int> codes;
  for (int code : kMediaListOrder) {
    if (code == kPresetDark && texts.Get(code).find("Dark") == std::string::npos) continue;
    codes.push_back(code);
  }
  return codes;
}

bool TrayListFree(TrayListState state, std::string_view active_model_name) {
  switch (state) {
    case TrayListState::kFree:
      return true;
    case TrayListState::kFixed:
      return false;
    case TrayListState::kFreeOnWhiteFirstModels:
      return CapabilitiesOf(active_model_name).white_in_cyan_slot;
  }
  return false;
}

bool PresetPrintsWhite(const MediaPreset& preset, bool white_first) {
  return preset.print_white || (white_first && preset.code != kPresetHotStampFoil);
}

namespace {

// The columns every row has: tray, Mirror, Print White, the threshold slider and the tip.
void ApplyPresetColumns(const MediaPreset& preset, const UiText& texts,
                        std::string_view active_model_name, PresetApplication& result) {
  result.media_code = preset.code;
  result.tray = preset.tray;
  result.tray_list_enabled = TrayListFree(preset.tray_list, active_model_name);
  result.mirror_checked = preset.mirror;
  result.white.print_white_checked = PresetPrintsWhite(preset, result.white_first);
  result.threshold_slider = preset.threshold;
  result.threshold_label = Percent(preset.threshold);
  if (preset.extras & kKeepsDensitySlider) result.density_slider.reset();
  result.tip = texts.Get(preset.tip);
}

// What a row does besides the common columns.
void ApplyPresetExtras(const MediaPreset& preset, const SettingsStore& store,
                       std::string_view paper_list_text, PresetApplication& result) {
  WhiteControls& white = result.white;
  const unsigned extras = preset.extras;
  if (extras & kThresholdOnSet) white.threshold_on_checked = true;
  if (extras & kThresholdOnCleared) white.threshold_on_checked = false;
  if (extras & kDisplayWhiteCleared) white.display_white_checked = false;
  if (extras & kBlackRemovalSet) white.black_removal_checked = true;
  if (extras & kThresholdSliderOnlyWhiteFirst) white.threshold_slider_enabled = result.white_first;
  if (extras & kHandPictures) result.hands = ReadHandPictures(store);
  if (extras & kWhiteControlsLocked) {
    LockWhiteControls(white, true);
    // The dark medium still gets its white controls in white-first order.
    if (preset.code == kPresetDark && result.white_first) LockWhiteControls(white, false);
  }
  if (extras & kSpecialMargins) {
    // The user's margins wait in the backup keys.
    result.margins_backup = result.margins ? *result.margins : ReadMargins(store);
    result.margins = SpecialMargins(paper_list_text);
    result.special_margins_active = true;
  }
  if (extras & kBackgroundRemovalFilm) result.background_removal = {1, 51, 8};
}

// The white controls follow "Print White".
void FollowPrintWhite(WhiteControls& white) {
  const bool on = white.print_white_checked;
  white.display_white_enabled = on;
  white.density_slider_enabled = on;
  if (!on) white.threshold_slider_enabled = false;
  white.threshold_on_enabled = on;
  white.print_white_enabled = true;
}

}  // namespace

PresetApplication ApplyMediaPreset(const SettingsStore& store, const UiText& texts,
                                   std::string_view label, const PresetInputs& inputs) {
  PresetApplication result;

  // 1. Reset: the defaults of WhiteControls and of the sliders.
  // 2. A preset's own margins give way to the user's.
  if (inputs.special_margins_active) {
    result.margins = ReadBackupMargins(store);
    result.margins_restored = true;
  }
  // 3. Toner order: with white first every preset prints white.
  result.white_first = TonerOrderInForce(inputs.active_model_name,
                                         Trim(store.ReadSetting(keys::active::kTonerOrder),
                                              kBlanksAndLineBreaks)) == TonerOrder::kWhiteFirst;
  // 4. The tip and the background-removal values start empty.
  result.tip.clear();
  result.background_removal = {0, 51, 7};

  // 5. The row.
  const MediaPreset* preset = FindMediaPresetByLabel(texts, label);
  result.preset = preset;
  if (preset == nullptr) {
    result.mirror_checked = inputs.mirror_checked;
    result.white.print_white_checked = inputs.print_white_checked;
  } else {
    ApplyPresetColumns(*preset, texts, inputs.active_model_name, result);
    ApplyPresetExtras(*preset, store, inputs.paper_list_text, result);
  }

  // 6. The white controls follow "Print White"; the tray list is free unless the row fixes it.
  FollowPrintWhite(result.white);
  return result;
}

}  // namespace kelvaro
