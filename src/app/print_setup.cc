#include "app/print_setup.h"

#include <cstdio>
#include <tuple>

#include "app/control_ids.h"
#include "app/window_commands.h"
#include "image/profiles.h"
#include "printers/margins.h"
#include "printers/media_presets.h"
#include "printers/printer_models.h"
#include "settings/job_settings.h"
#include "settings/keys.h"

namespace kelvaro {
namespace {

namespace c = control;

std::string ListText(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += "\r\n  " + item;
  return text;
}

// The choices that can be judged without the window: numbers, names and their combinations.
std::optional<Refusal> CheckChoiceValues(const PrintChoices& choices) {
  if (choices.model && !IsModelKey(*choices.model)) {
    return Refusal{RefusalKind::kUnknownModel, *choices.model};
  }
  for (const auto& [value, low, high, name] :
       {std::tuple{choices.white_density, 0, 100, "white density"},
        std::tuple{choices.white_threshold, 0, 100, "white threshold"},
        std::tuple{choices.brightness, -100, 100, "brightness"},
        std::tuple{choices.contrast, -100, 100, "contrast"},
        std::tuple{choices.placement_mode, 0, 9, "placement"},
        // The canvas is six pixels narrower than the area; at least one must be left.
        std::tuple{choices.image_area_width, 7, kLargestImageAreaWidth, "preview width"}}) {
    if (value && (*value < low || *value > high)) {
      Refusal refusal{RefusalKind::kOutOfRange, name};
      refusal.low = low;
      refusal.high = high;
      return refusal;
    }
  }
  if (choices.toner_order && *choices.toner_order != "WL" && *choices.toner_order != "WF") {
    return Refusal{RefusalKind::kUnknownTonerOrder, *choices.toner_order};
  }
  if ((choices.copies_across && *choices.copies_across < 1) ||
      (choices.copies_down && *choices.copies_down < 1)) {
    return Refusal{RefusalKind::kCopiesBelowOne};
  }
  if (choices.print_white == false && choices.print_cmy == false) {
    return Refusal{RefusalKind::kNothingToPrint};
  }
  return std::nullopt;
}

// Picks the entry `text` of a list as the user would; nullopt when the list has it.
std::optional<Refusal> PickEntry(MainWindowModel& model, int list, const std::string& text,
                                 RefusalKind kind) {
  const int index = model.FindItem(list, text);
  if (index < 0) {
    Refusal refusal{kind, text, model.Control(list).items};
    refusal.model = model.state().model_name;
    return refusal;
  }
  model.PickItem(list, index);
  return std::nullopt;
}

std::optional<Refusal> ApplyTray(MainWindowModel& model, const std::string& tray) {
  const int index = model.FindItem(c::kTrayList, tray);
  if (index < 0) return Refusal{RefusalKind::kUnknownTray, tray, model.Control(c::kTrayList).items};
  if (!model.IsEnabled(c::kTrayList) && tray != model.Text(c::kTrayList)) {
    Refusal refusal{RefusalKind::kTrayFixed, model.Text(c::kTrayList)};
    refusal.media = model.Text(c::kMediaList);
    refusal.paper = model.Text(c::kPaperList);
    return refusal;
  }
  model.PickItem(c::kTrayList, index);
  return std::nullopt;
}

// A check box brought to the state chosen: clicked, so that its rules apply. A box the medium
// has locked takes the choice as it is: an explicit option wins.
void ClickTo(MainWindowModel& model, int id, std::optional<bool> checked) {
  if (!checked || model.IsChecked(id) == *checked) return;
  if (model.IsEnabled(id)) {
    model.Click(id);
  } else {
    model.SetChecked(id, *checked);
  }
}

// A slider moved to the position that shows `value`, its label holding exactly that value
// (the signed sliders move in steps of two).
void SlideTo(MainWindowModel& model, int slider, std::optional<int> value) {
  if (!value) return;
  const int position = IsSignedPercentSlider(slider) ? (*value + 100) / 2 : *value;
  model.SetSliderPosition(slider, position);
  model.SetText(SliderValueLabel(slider), std::to_string(*value) + "%");
}

void ApplyControlChoices(MainWindowModel& model, const PrintChoices& choices) {
  if (choices.prints) model.SetText(c::kCopiesEdit, *choices.prints);
  if (choices.copies_across) model.SetText(c::kXCopyEdit, std::to_string(*choices.copies_across));
  if (choices.copies_down) model.SetText(c::kYCopyEdit, std::to_string(*choices.copies_down));
  ClickTo(model, c::kMirror, choices.mirror);
  ClickTo(model, c::kFlip, choices.flip);
  ClickTo(model, c::kPrintWhite, choices.print_white);
  ClickTo(model, c::kPrintCmy, choices.print_cmy);
  ClickTo(model, c::kThresholdOn, choices.threshold_on);
  SlideTo(model, c::kWhiteDensitySlider, choices.white_density);
  SlideTo(model, c::kThresholdSlider, choices.white_threshold);
  SlideTo(model, c::kBrightnessSlider, choices.brightness);
  SlideTo(model, c::kContrastSlider, choices.contrast);
  ClickTo(model, c::kBlackRemoval, choices.black_removal);
  ClickTo(model, c::kBackgroundRemoval, choices.background_removal);
  ClickTo(model, c::kOptimalLayout, choices.optimal_layout);
  if (choices.white_edge) model.SetWhiteEdge(*choices.white_edge);
  ClickTo(model, c::kDisplayWhite, choices.display_white);
  ClickTo(model, c::kAutomaticTile, choices.automatic_tile);
  ClickTo(model, c::kPatternPreview, choices.pattern_preview);
  ClickTo(model, c::kWhiteView, choices.white_view);
  if (choices.placement_mode && *choices.placement_mode != 0) {
    for (int button = c::kPlacementTopLeft; button <= c::kPlacementBottomRight; ++button) {
      if (PlacementModeForButton(button) == *choices.placement_mode) model.Click(button);
    }
  }
  if (choices.image_area_width) model.SetImageAreaWidth(*choices.image_area_width);
}

// A profile chosen for this run that cannot be read is named, rather than reported later as
// "Something odd with this image", which blames the picture.
std::optional<Refusal> ApplyProfiles(MainWindowModel& model, const PrintChoices& choices) {
  SettingsStore& store = model.store();
  for (const auto& [chosen, key, role] :
       {std::tuple{choices.profile_in, keys::active::kInputProfile, ProfileRole::kInput},
        std::tuple{choices.profile_out, keys::active::kOutputProfile, ProfileRole::kOutput}}) {
    if (!chosen) continue;
    const ProfileProblem problem = FindProfileProblem(*chosen, role, store.folders());
    if (problem.kind == ProfileProblem::Kind::kNotOpened) {
      return Refusal{RefusalKind::kUnreadableProfile, *chosen};
    }
    if (problem.kind == ProfileProblem::Kind::kDamaged) {
      Refusal refusal{RefusalKind::kDamagedProfile, *chosen};
      refusal.detail = problem.detail;
      return refusal;
    }
    store.WriteSetting(key, *chosen);
  }
  return std::nullopt;
}

}  // namespace

std::string RefusalText(const Refusal& r) {
  switch (r.kind) {
    case RefusalKind::kUnknownModel:
      return "\"" + r.subject + "\" is not a printer model";
    case RefusalKind::kUnknownMedia:
      return "\"" + r.subject + "\" is not in the media list:" + ListText(r.choices);
    case RefusalKind::kUnknownPaper:
      return "\"" + r.subject + "\" is not in the paper list of " + r.model + ":" +
             ListText(r.choices);
    case RefusalKind::kUnknownTray:
      return "\"" + r.subject + "\" is not in the tray list:" + ListText(r.choices);
    case RefusalKind::kTrayFixed:
      return "The tray is fixed to \"" + r.subject + "\" for \"" + r.media + "\" on " + r.paper;
    case RefusalKind::kOutOfRange:
      return "The " + r.subject + " must be from " + std::to_string(r.low) + " to " +
             std::to_string(r.high);
    case RefusalKind::kUnknownTonerOrder:
      return "The toner order is \"WL\" (white last) or \"WF\" (white first)";
    case RefusalKind::kCopiesBelowOne:
      return "The copy counts must be at least 1";
    case RefusalKind::kNothingToPrint:
      return "Print White and Print CMY cannot both be off";
    case RefusalKind::kUnreadableProfile:
      return "The colour profile \"" + r.subject + "\" cannot be found or is no profile";
    case RefusalKind::kDamagedProfile:
      return "The colour profile \"" + r.subject + "\" " + r.detail;
    case RefusalKind::kSettingsFileRefused:
    case RefusalKind::kSettingsUnreadable:
      return "";
    case RefusalKind::kMarginsDoNotFit: {
      char text[400];
      std::snprintf(text, sizeof text,
                    "The stored margins (top %.2f, left %.2f, right %.2f, bottom %.2f points) do "
                    "not fit the page %s of %d x %d points.\r\nPlease set the margins again.",
                    r.margins.top, r.margins.left, r.margins.right, r.margins.bottom,
                    r.paper.c_str(), r.page.width, r.page.height);
      return text;
    }
  }
  return "";
}

std::optional<Refusal> CheckMargins(const JobParameters& params) {
  const Margins& m = params.margins;
  const PrintableArea area = ComputePrintableArea(params.page, m);
  if (m.top >= 0 && m.left >= 0 && m.right >= 0 && m.bottom >= 0 && area.width > 0 &&
      area.height > 0) {
    return std::nullopt;
  }
  Refusal refusal{RefusalKind::kMarginsDoNotFit};
  refusal.paper = params.paper;
  refusal.page = params.page;
  refusal.margins = m;
  return refusal;
}

std::optional<Refusal> ApplyPrintChoices(MainWindowModel& model, const PrintChoices& choices,
                                         const std::filesystem::path& usb_root) {
  if (std::optional<Refusal> refusal = CheckChoiceValues(choices)) return refusal;
  SettingsStore& store = model.store();
  // Settings the user chose but the program cannot read are not replaced by the defaults for
  // a print: it would come out with settings nobody chose.
  if (store.CheckUserSettingsFile().state == SettingsFileState::kUnreadable) {
    return Refusal{RefusalKind::kSettingsUnreadable};
  }
  // The model and the toner order as if the user had stored them before the window opened.
  if (choices.model) store.WriteSetting(keys::active::kModel, *choices.model);
  if (choices.toner_order) store.WriteSetting(keys::active::kTonerOrder, *choices.toner_order);
  SetUpWindowState(model, ResolveActiveModelName(store, usb_root),
                   LoadStoredSettings(store, model.texts()).job);

  if (choices.paper) {
    if (auto refusal = PickEntry(model, c::kPaperList, *choices.paper, RefusalKind::kUnknownPaper))
      return refusal;
  }
  if (choices.media) {
    if (auto refusal = PickEntry(model, c::kMediaList, *choices.media, RefusalKind::kUnknownMedia))
      return refusal;
  }
  // A setting file brings white settings, margins, paper and curves of its own; a paper
  // chosen for the run stays.
  if (choices.settings_file &&
      !LoadSettingsFileIntoWindow(model, *choices.settings_file, SettingsFileSource::kUserFolder,
                                  choices.paper.has_value())) {
    return Refusal{RefusalKind::kSettingsFileRefused};
  }
  if (choices.tray) {
    if (auto refusal = ApplyTray(model, *choices.tray)) return refusal;
  }
  ApplyControlChoices(model, choices);
  if (auto refusal = ApplyProfiles(model, choices)) return refusal;
  return CheckMargins(GatherJobParameters(model));
}

}  // namespace kelvaro
