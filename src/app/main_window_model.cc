#include "app/main_window_model.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/control_ids.h"
#include "image/separation.h"
#include "platform/text_helpers.h"
#include "printers/margins.h"
#include "printers/media_presets.h"
#include "printers/printer_models.h"
#include "settings/keys.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

namespace c = control;
namespace m = command;

constexpr int kNoText = -1;

// One row per control: its kind, the UiText entry of its caption (or a fixed caption) and
// its picture.
struct ControlRow {
  int id;
  ControlKind kind;
  int text;
  const char* caption;
  const char* picture;
};

constexpr ControlRow kControlRows[] = {
    // Status.
    {c::kTonerOrderIndicator, ControlKind::kPicture, kNoText, "", kWhiteLastIndicator},
    {c::kTitleLine, ControlKind::kLabel, ui::kTitleLine, "", ""},
    {c::kProgressBar, ControlKind::kProgressBar, kNoText, "", ""},
    {c::kStatusLine, ControlKind::kLabel, ui::kConvertingStatus, "", ""},
    // Printer.
    {c::kPrinterList, ControlKind::kComboList, kNoText, "", ""},
    {c::kPrinterListLabel, ControlKind::kLabel, ui::kPrinterListLabel, "", ""},
    {c::kMediaList, ControlKind::kComboList, kNoText, "", ""},
    {c::kMediaListLabel, ControlKind::kLabel, ui::kMediaListLabel, "", ""},
    {c::kPaperList, ControlKind::kComboList, kNoText, "", ""},
    {c::kPaperListLabel, ControlKind::kLabel, ui::kCustomName, "", ""},
    {c::kTrayList, ControlKind::kComboList, kNoText, "", ""},
    {c::kTrayListLabel, ControlKind::kLabel, ui::kTrayListLabel, "", ""},
    {c::kCopiesEdit, ControlKind::kEdit, kNoText, "1", ""},
    {c::kCopiesLabel, ControlKind::kLabel, ui::kCopiesLabel, "", ""},
    // Actions.
    {c::kPrintButton, ControlKind::kButton, ui::kPrintButton, "", ""},
    {c::kPatternPrintButton, ControlKind::kButton, ui::kPatternPrintButton, "", ""},
    // White.
    {c::kDisplayWhite, ControlKind::kCheckBox, ui::kDisplayWhite, "", ""},
    {c::kThresholdOn, ControlKind::kCheckBox, ui::kThresholdOn, "", ""},
    {c::kPrintWhite, ControlKind::kCheckBox, ui::kPrintWhite, "", ""},
    {c::kPrintCmy, ControlKind::kCheckBox, ui::kPrintCmy, "", ""},
    {c::kWhiteDensitySlider, ControlKind::kSlider, kNoText, "", ""},
    {c::kWhiteDensityLabel, ControlKind::kLabel, ui::kWhiteDensityLabel, "", ""},
    {c::kWhiteDensityValue, ControlKind::kLabel, kNoText, "100%", ""},
    {c::kThresholdSlider, ControlKind::kSlider, kNoText, "", ""},
    {c::kThresholdLabel, ControlKind::kLabel, ui::kThresholdLabel, "", ""},
    {c::kThresholdValue, ControlKind::kLabel, kNoText, "60%", ""},
    {c::kWhiteControlsGroup, ControlKind::kGroupCaption, ui::kWhiteControlsGroup, "", ""},
    {c::kImageControlsGroup, ControlKind::kGroupCaption, ui::kImageControlsGroup, "", ""},
    {c::kAlignControlsGroup, ControlKind::kGroupCaption, ui::kAlignControlsGroup, "", ""},
    {c::kWhiteEdgeLabel, ControlKind::kLabel, kNoText, "White edge", ""},
    {c::kWhiteEdgeWidth, ControlKind::kSpinBox, kNoText, "", ""},
    {c::kWhiteEdgeMode, ControlKind::kComboList, kNoText, "", ""},
    {c::kWhiteView, ControlKind::kCheckBox, kNoText, "White view", ""},
    // Image.
    {c::kMirror, ControlKind::kCheckBox, ui::kMirror, "", ""},
    {c::kRotate, ControlKind::kCheckBox, ui::kRotate, "", ""},
    {c::kFlip, ControlKind::kCheckBox, ui::kFlip, "", ""},
    {c::kGuardArea, ControlKind::kCheckBox, ui::kGuardArea, "", ""},
    {c::kBackgroundRemoval, ControlKind::kCheckBox, ui::kBackgroundRemoval, "", ""},
    {c::kBlackRemoval, ControlKind::kCheckBox, ui::kBlackRemovalTitle, "", ""},
    {c::kPatternPreview, ControlKind::kCheckBox, ui::kPatternPreview, "", ""},
    {c::kBrightnessSlider, ControlKind::kSlider, kNoText, "", ""},
    {c::kContrastSlider, ControlKind::kSlider, kNoText, "", ""},
    {c::kBrightnessLabel, ControlKind::kLabel, ui::kBrightnessLabel, "", ""},
    {c::kContrastLabel, ControlKind::kLabel, ui::kContrastLabel, "", ""},
    {c::kBrightnessValue, ControlKind::kLabel, kNoText, "0%", ""},
    {c::kContrastValue, ControlKind::kLabel, kNoText, "0%", ""},
    {c::kBrightnessReset, ControlKind::kPictureButton, kNoText, "", "#160"},
    {c::kContrastReset, ControlKind::kPictureButton, kNoText, "", "#161"},
    // Layout.
    {c::kDpiEdit, ControlKind::kEdit, kNoText, "0", ""},
    {c::kDpiLabel, ControlKind::kLabel, ui::kDpiLabel, "", ""},
    {c::kZoomEdit, ControlKind::kEdit, kNoText, "100.0%", ""},
    {c::kXCopyEdit, ControlKind::kEdit, kNoText, "1", ""},
    {c::kYCopyEdit, ControlKind::kEdit, kNoText, "1", ""},
    {c::kTotalEdit, ControlKind::kEdit, kNoText, "1", ""},
    {c::kXCopyLabel, ControlKind::kLabel, ui::kXCopyLabel, "", ""},
    {c::kYCopyLabel, ControlKind::kLabel, ui::kYCopyLabel, "", ""},
    {c::kTotalLabel, ControlKind::kLabel, ui::kTotalLabel, "", ""},
    {c::kXSizeEdit, ControlKind::kEdit, kNoText, "0", ""},
    {c::kYSizeEdit, ControlKind::kEdit, kNoText, "0", ""},
    {c::kXSizeLabel, ControlKind::kLabel, ui::kCustomWidth, "", ""},
    {c::kYSizeLabel, ControlKind::kLabel, ui::kCustomHeight, "", ""},
    {c::kUnitLabel, ControlKind::kLabel, kNoText, "mm", ""},
    {c::kAutomaticTile, ControlKind::kCheckBox, ui::kAutomaticTile, "", ""},
    {c::kOptimalLayout, ControlKind::kCheckBox, ui::kOptimalLayout, "", ""},
    {c::kFitToPage, ControlKind::kButton, ui::kFitToPage, "", ""},
    {c::kPlacementTopLeft, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementTopCentre, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementTopRight, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementMiddleLeft, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementCentre, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementMiddleRight, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementBottomLeft, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementBottomCentre, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kPlacementBottomRight, ControlKind::kOptionButton, kNoText, "", ""},
    {c::kSmallX1, ControlKind::kButton, kNoText, "X", ""},
    {c::kSmallX2, ControlKind::kButton, kNoText, "X", ""},
    {c::kSmallX3, ControlKind::kButton, kNoText, "X", ""},
    {c::kSmallX4, ControlKind::kButton, kNoText, "X", ""},
    // Image area, hint and hand choice.
    {c::kPreviewImage, ControlKind::kPicture, kNoText, "", "#102"},
    {c::kPrintCmyHint, ControlKind::kTooltip, kNoText, "", ""},
    {c::kMediaTipLine, ControlKind::kLabel, kNoText, "", ""},
    {c::kLeftHand, ControlKind::kPictureToggle, kNoText, "", "#142"},
    {c::kRightHand, ControlKind::kPictureToggle, kNoText, "", "#143"},
    // Menu.
    {m::kOpenFile, ControlKind::kMenuEntry, ui::kOpenFileButton, "", ""},
    {m::kPrint, ControlKind::kMenuEntry, ui::kPrintMenu, "\tCtrl+P", ""},
    {m::kPrintMargins, ControlKind::kMenuEntry, ui::kMarginsTitle, "", ""},
    {m::kPrintBlankPage, ControlKind::kMenuEntry, ui::kPrintBlankPageMenu, "", ""},
    {m::kExit, ControlKind::kMenuEntry, ui::kExitMenu, "\tAlt+F4", ""},
    {m::kRecentFile1, ControlKind::kMenuEntry, kNoText, "", ""},
    {m::kRecentFile2, ControlKind::kMenuEntry, kNoText, "", ""},
    {m::kRecentFile3, ControlKind::kMenuEntry, kNoText, "", ""},
    {m::kRecentFile4, ControlKind::kMenuEntry, kNoText, "", ""},
    {m::kRecentFile5, ControlKind::kMenuEntry, kNoText, "", ""},
    {m::kJpegSettings, ControlKind::kMenuEntry, ui::kJpegSettingsMenu, "", ""},
    {m::kBlackRemovalDialog, ControlKind::kMenuEntry, ui::kBlackRemovalTitle, "", ""},
    {m::kDefaultProfiles, ControlKind::kMenuEntry, ui::kDefaultProfilesMenu, "", ""},
    {m::kInputProfile, ControlKind::kMenuEntry, ui::kInputProfileMenu, "", ""},
    {m::kOutputProfile, ControlKind::kMenuEntry, ui::kOutputProfileMenu, "", ""},
    {m::kColourDialog, ControlKind::kMenuEntry, ui::kColourDialogMenu, "", ""},
    {m::kCustomPaperSize, ControlKind::kMenuEntry, ui::kCustomSizeTitle, "", ""},
    {m::kUnitsSettings, ControlKind::kMenuEntry, ui::kUnitsSettingsMenu, "", ""},
    {m::kPatternPrintSetup, ControlKind::kMenuEntry, ui::kPatternTitle, "", ""},
    {m::kSaveSettings, ControlKind::kMenuEntry, ui::kSaveSettingsButton, "", ""},
    {m::kLoadSettings, ControlKind::kMenuEntry, ui::kLoadSettingsMenu, "", ""},
    {m::kLoadBuiltInSettings, ControlKind::kMenuEntry, ui::kLoadBuiltInSettingsMenu, "", ""},
    {m::kLoadDefaults, ControlKind::kMenuEntry, ui::kLoadDefaultsMenu, "", ""},
    {m::kPrinterMode, ControlKind::kMenuEntry, ui::kPrinterModeTitle, "", ""},
    {m::kTonerOrder, ControlKind::kMenuEntry, ui::kTonerOrderTitle, "", ""},
    {m::kStatisticsSetup, ControlKind::kMenuEntry, ui::kStatisticsSetupMenu, "", ""},
    {m::kLanguage, ControlKind::kMenuEntry, ui::kLanguageMenu, "", ""},
    {m::kHelpDocument1, ControlKind::kMenuEntry, ui::kFirstHelpDocumentCaption, "", ""},
    {m::kHelpDocument1 + 1, ControlKind::kMenuEntry, ui::kFirstHelpDocumentCaption + 2, "", ""},
    {m::kHelpDocument1 + 2, ControlKind::kMenuEntry, ui::kFirstHelpDocumentCaption + 4, "", ""},
    {m::kHelpDocument1 + 3, ControlKind::kMenuEntry, ui::kFirstHelpDocumentCaption + 6, "", ""},
    {m::kHelpDocument1 + 4, ControlKind::kMenuEntry, ui::kFirstHelpDocumentCaption + 8, "", ""},
    {m::kHelpDocument6, ControlKind::kMenuEntry, ui::kFirstHelpDocumentCaption + 10, "", ""},
    {m::kHelpFile, ControlKind::kMenuEntry, ui::kHelpFileMenu, "", ""},
    {m::kAbout, ControlKind::kMenuEntry, ui::kAboutMenu, "", ""},
};

// Controls whose state is a stored setting and is written on every change.
struct StoredControl {
  int id;
  SettingKey key;
};
constexpr StoredControl kStoredControls[] = {
    {c::kDisplayWhite, keys::active::kDisplay},
    {c::kPrintWhite, keys::active::kTonerOn},
    {c::kThresholdOn, keys::active::kTonerSave},
    {c::kWhiteDensitySlider, keys::active::kWhiteMask},
    {c::kThresholdSlider, keys::active::kTonerPercent},
    {c::kTrayList, keys::active::kTray},
    {c::kLeftHand, keys::others::kLeftHand},
    {c::kRightHand, keys::others::kRightHand},
};

const StoredControl* FindStoredControl(int id) {
  for (const StoredControl& row : kStoredControls) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// Position of the threshold slider while only white is printed.
constexpr int kWhiteOnlyThreshold = 93;
// Neutral position of the brightness and contrast sliders: their labels show "0%".
constexpr int kNeutralSignedPosition = 50;

// Pictures of the hand buttons, off and on.
constexpr char kLeftHandOff[] = "#142";
constexpr char kRightHandOff[] = "#143";
constexpr char kLeftHandOn[] = "#144";
constexpr char kRightHandOn[] = "#145";

const ControlState& EmptyControl() {
  static const ControlState kEmpty;
  return kEmpty;
}

}  // namespace

bool IsSignedPercentSlider(int slider_id) {
  return slider_id == c::kBrightnessSlider || slider_id == c::kContrastSlider;
}

int SliderValueLabel(int slider_id) {
  switch (slider_id) {
    case c::kWhiteDensitySlider:
      return c::kWhiteDensityValue;
    case c::kThresholdSlider:
      return c::kThresholdValue;
    case c::kBrightnessSlider:
      return c::kBrightnessValue;
    case c::kContrastSlider:
      return c::kContrastValue;
    default:
      return 0;
  }
}

std::string SliderCaption(int slider_id, int position) {
  const int shown = IsSignedPercentSlider(slider_id) ? 2 * position - 100 : position;
  return std::to_string(shown) + "%";
}

int PlacementModeForButton(int id) {
  // Row by row from the top left; the numbers are the preview's alignment modes.
  constexpr int kModes[] = {4, 2, 3, 5, 1, 6, 9, 7, 8};
  if (id < c::kPlacementTopLeft || id > c::kPlacementBottomRight) return 0;
  return kModes[id - c::kPlacementTopLeft];
}

int PreviewModeForTool(int id) {
  for (const c::PreviewToolMode& tool : c::kPreviewToolModes) {
    if (tool.button == id) return tool.mode;
  }
  return 0;
}

MainWindowModel::MainWindowModel(SettingsStore& store, const UiText& texts)
    : store_(store), texts_(texts) {
  ControlState window;
  window.kind = ControlKind::kWindow;
  controls_[c::kMainWindow] = window;
  for (const ControlRow& row : kControlRows) {
    ControlState state;
    state.kind = row.kind;
    state.caption = row.text == kNoText ? row.caption : texts.Get(row.text) + row.caption;
    state.picture = row.picture;
    controls_[row.id] = std::move(state);
  }
  // The recent-file entries stay hidden until there are recent files.
  for (int id : m::kRecentFiles) controls_[id].visible = false;
  // Tool buttons 1233..1248 and 1250 show the bitmaps "#122" to "#138" in that order.
  int bitmap = 122;
  auto add_tool = [&](int id) {
    ControlState& tool = controls_[id];
    tool.kind = ControlKind::kPictureButton;
    char name[16];
    std::snprintf(name, sizeof name, "#%d", bitmap++);
    tool.picture = name;
  };
  for (int id = c::kFirstPreviewTool; id <= c::kLastPreviewTool; ++id) add_tool(id);
  add_tool(c::kPreviewToolPaper);

  // Print White is on when the window opens; colour is printed too.
  controls_[c::kPrintWhite].checked = true;
  controls_[c::kPrintCmy].checked = true;
  controls_[c::kWhiteDensitySlider].value = 100;
  controls_[c::kThresholdSlider].value = 60;
  controls_[c::kThresholdSlider].enabled = false;  // Threshold on starts cleared
  // Brightness and contrast start neutral, as their reset buttons leave them.
  controls_[c::kBrightnessSlider].value = kNeutralSignedPosition;
  controls_[c::kContrastSlider].value = kNeutralSignedPosition;

  // The tray list: "AUTO", "MultiPurpose Tray", "Tray 1".
  ControlState& trays = controls_[c::kTrayList];
  for (int number : kTrayTextNumbers) trays.items.push_back(texts.Get(number));
  trays.selected = kTrayAuto;
  ControlState& edge_mode = controls_[c::kWhiteEdgeMode];
  edge_mode.items = {kWhiteEdgeChoke, kWhiteEdgeSpread};
  edge_mode.selected = 0;
  SyncWhiteEdgeEnabled();

  controls_[c::kMainWindow].caption = texts.Get(ui::kProgramTitle) + " - " + texts.Get(ui::kNoFile);
}

const ControlState& MainWindowModel::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? EmptyControl() : it->second;
}

ControlState& MainWindowModel::Mutable(int id) { return controls_[id]; }

std::vector<int> MainWindowModel::ControlIds() const {
  std::vector<int> ids;
  ids.reserve(controls_.size());
  for (const auto& [id, state] : controls_) ids.push_back(id);
  return ids;
}

std::string MainWindowModel::Text(int id) const {
  const ControlState& state = Control(id);
  if (state.kind != ControlKind::kComboList) return state.caption;
  if (state.selected < 0 || state.selected >= static_cast<int>(state.items.size())) return "";
  return state.items[state.selected];
}

long MainWindowModel::CaptionNumber(int id) const { return ReadLeadingNumber(Text(id)); }

void MainWindowModel::Changed(int id) {
  if (control_observer_) control_observer_(id);
  if (id == c::kPrintWhite) SyncWhiteEdgeEnabled();
}

void MainWindowModel::ValueChanged(int id) {
  WriteThrough(id);
  Changed(id);
}

void MainWindowModel::Request(RequestKind kind, int id, std::string text) {
  if (request_observer_) request_observer_(ModelRequest{kind, id, std::move(text)});
}

void MainWindowModel::WriteThrough(int id) {
  if (from_store_depth_ > 0) return;
  const StoredControl* row = FindStoredControl(id);
  if (row == nullptr) return;
  const ControlState& state = Control(id);
  switch (state.kind) {
    case ControlKind::kCheckBox:
      store_.WriteSetting(row->key, FormatStoredNumber(state.checked ? 1 : 0));
      break;
    case ControlKind::kPictureToggle:
      store_.WriteSetting(row->key, state.checked ? "1" : "0");
      break;
    case ControlKind::kSlider:
      store_.WriteSetting(row->key, FormatStoredNumber(state.value));
      break;
    case ControlKind::kComboList:
      store_.WriteSetting(row->key, Text(id));
      break;
    default:
      break;
  }
}

void MainWindowModel::SetText(int id, std::string text) {
  ControlState& state = Mutable(id);
  if (state.caption == text) return;
  state.caption = std::move(text);
  Changed(id);
}

void MainWindowModel::SetChecked(int id, bool checked) {
  ControlState& state = Mutable(id);
  if (state.checked == checked) return;
  state.checked = checked;
  ValueChanged(id);
}

void MainWindowModel::SetEnabled(int id, bool enabled) {
  ControlState& state = Mutable(id);
  if (state.enabled == enabled) return;
  state.enabled = enabled;
  Changed(id);
}

void MainWindowModel::SetVisible(int id, bool visible) {
  ControlState& state = Mutable(id);
  if (state.visible == visible) return;
  state.visible = visible;
  Changed(id);
}

void MainWindowModel::SetPicture(int id, std::string picture) {
  ControlState& state = Mutable(id);
  if (state.picture == picture) return;
  state.picture = std::move(picture);
  Changed(id);
}

void MainWindowModel::SetValue(int id, int value) {
  ControlState& state = Mutable(id);
  if (state.value == value) return;
  state.value = value;
  Changed(id);
}

void MainWindowModel::SetSliderPosition(int id, int position) {
  position = std::clamp(position, 0, 100);
  ControlState& state = Mutable(id);
  if (state.value != position) {
    state.value = position;
    ValueChanged(id);
  }
  if (int label = SliderValueLabel(id); label != 0) SetText(label, SliderCaption(id, position));
}

void MainWindowModel::SetItems(int id, std::vector<std::string> items, int selected) {
  ControlState& state = Mutable(id);
  state.items = std::move(items);
  const int count = static_cast<int>(state.items.size());
  state.selected = count == 0 || selected < 0 ? -1 : std::min(selected, count - 1);
  Changed(id);
}

void MainWindowModel::SelectItem(int id, int index) {
  ControlState& state = Mutable(id);
  const int count = static_cast<int>(state.items.size());
  const int selected = index < 0 || index >= count ? -1 : index;
  if (state.selected == selected) return;
  state.selected = selected;
  ValueChanged(id);
}

int MainWindowModel::FindItem(int id, std::string_view text) const {
  const ControlState& state = Control(id);
  auto it = std::find(state.items.begin(), state.items.end(), text);
  return it == state.items.end() ? -1 : static_cast<int>(it - state.items.begin());
}

bool MainWindowModel::SelectItemText(int id, std::string_view text) {
  const int index = FindItem(id, text);
  SelectItem(id, index < 0 ? 0 : index);
  return index >= 0;
}

void MainWindowModel::SetLoadedFile(std::string_view file_name) {
  state_.image_loaded = !file_name.empty();
  SetText(c::kMainWindow,
          texts_.Get(ui::kProgramTitle) + " - " +
              (state_.image_loaded ? std::string(file_name) : texts_.Get(ui::kNoFile)));
}

void MainWindowModel::RestoreTitle(std::string title, bool image_loaded) {
  state_.image_loaded = image_loaded;
  SetText(c::kMainWindow, std::move(title));
}

void MainWindowModel::Toggle(int id) { SetChecked(id, !IsChecked(id)); }

// --- Clicks. ---

const MainWindowModel::HandlerRow MainWindowModel::kClickHandlers[] = {
    {c::kDisplayWhite, &MainWindowModel::OnDisplayWhiteClicked},
    {c::kThresholdOn, &MainWindowModel::OnThresholdOnClicked},
    {c::kPrintWhite, &MainWindowModel::OnPrintWhiteClicked},
    {c::kPrintCmy, &MainWindowModel::OnPrintCmyClicked},
    {c::kMirror, &MainWindowModel::OnMirrorClicked},
    {c::kRotate, &MainWindowModel::OnRotateClicked},
    {c::kFlip, &MainWindowModel::OnFlipClicked},
    {c::kBackgroundRemoval, &MainWindowModel::OnToggleAndReload},
    {c::kGuardArea, &MainWindowModel::OnToggleAndRedraw},
    {c::kBlackRemoval, &MainWindowModel::OnToggleAndRedraw},
    {c::kPatternPreview, &MainWindowModel::OnToggleAndRedraw},
    {c::kAutomaticTile, &MainWindowModel::OnToggleAndRedraw},
    {c::kOptimalLayout, &MainWindowModel::OnToggleAndRedraw},
    {c::kWhiteView, &MainWindowModel::OnToggleAndRedraw},
    {c::kFitToPage, &MainWindowModel::OnFitToPageClicked},
    {c::kBrightnessReset, &MainWindowModel::OnResetSliderClicked},
    {c::kContrastReset, &MainWindowModel::OnResetSliderClicked},
    {c::kLeftHand, &MainWindowModel::OnHandClicked},
    {c::kRightHand, &MainWindowModel::OnHandClicked},
    {c::kPrintButton, &MainWindowModel::OnPrintClicked},
    {m::kPrint, &MainWindowModel::OnPrintClicked},
    {c::kPatternPrintButton, &MainWindowModel::OnPatternPrintClicked},
    {m::kHelpFile, &MainWindowModel::OnHelpFileClicked},
};

void MainWindowModel::Click(int id) {
  if (!Has(id) || !IsEnabled(id)) return;
  for (const HandlerRow& row : kClickHandlers) {
    if (row.id == id) {
      (this->*row.handler)(id);
      return;
    }
  }
  if (PlacementModeForButton(id) != 0) {
    OnPlacementClicked(id);
  } else if ((id >= c::kFirstPreviewTool && id <= c::kLastPreviewTool) ||
             id == c::kPreviewToolPaper) {
    OnPreviewToolClicked(id);
  } else if (id >= m::kHelpDocument1 && id <= m::kHelpDocument6) {
    OnHelpDocumentClicked(id);
  } else if (Control(id).kind == ControlKind::kMenuEntry) {
    // Menu commands with a dialog, the store or the notifier are the front end's.
    Request(RequestKind::kCommand, id);
  }
}

void MainWindowModel::OnToggleAndRedraw(int id) {
  Toggle(id);
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnToggleAndReload(int id) {
  Toggle(id);
  Request(RequestKind::kReloadImage);
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnMirrorClicked(int id) {
  Toggle(id);
  Request(RequestKind::kReapplyLayout);
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnRotateClicked(int id) {
  Toggle(id);
  Request(RequestKind::kReapplyLayout);
  Request(RequestKind::kRefreshSizeFields);
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnFlipClicked(int id) {
  Toggle(id);
  Request(RequestKind::kReloadImage);
  if (ReadLeadingNumber(store_.ReadSetting(keys::active::kCrop)) > 0) {
    Request(RequestKind::kReapplyCrop);
  }
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnFitToPageClicked(int) {
  SetText(c::kXCopyEdit, "1");
  SetText(c::kYCopyEdit, "1");
  Request(RequestKind::kFitToPage);
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::ResetColourSliders() {
  SetSliderPosition(c::kBrightnessSlider, kNeutralSignedPosition);
  SetSliderPosition(c::kContrastSlider, kNeutralSignedPosition);
}

void MainWindowModel::OnResetSliderClicked(int id) {
  SetSliderPosition(id == c::kBrightnessReset ? c::kBrightnessSlider : c::kContrastSlider,
                    kNeutralSignedPosition);
  Request(RequestKind::kRedrawPreview);
}

// The queue chosen in the printer list is stored by the print once that queue took the job:
// a queue that is gone must not replace the printer stored before.
void MainWindowModel::OnPrintClicked(int) { Request(RequestKind::kRunPrint); }

void MainWindowModel::OnPatternPrintClicked(int) {
  Request(RequestKind::kCommand, m::kPatternPrintSetup);
}

void MainWindowModel::OnHelpFileClicked(int id) {
  Request(RequestKind::kOpenDocument, id, "NolloPro.chm");
}

// Each help entry opens the document named by the odd entry after its caption.
void MainWindowModel::OnHelpDocumentClicked(int id) {
  Request(RequestKind::kOpenDocument, id,
          texts_.Get(ui::kFirstHelpDocumentName + 2 * (id - m::kHelpDocument1)));
}

void MainWindowModel::MoveSlider(int id, int position) {
  if (Control(id).kind != ControlKind::kSlider || !IsEnabled(id)) return;
  SetSliderPosition(id, position);
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::PickItem(int id, int index) {
  if (Control(id).kind != ControlKind::kComboList || !IsEnabled(id)) return;
  if (id == c::kWhiteEdgeMode) {
    ChangeWhiteEdge(Value(c::kWhiteEdgeWidth) / 100.0,
                    index == FindItem(c::kWhiteEdgeMode, kWhiteEdgeSpread));
    return;
  }
  SelectItem(id, index);
  if (id == c::kPaperList) {
    ApplySelectedPaper();
    Request(RequestKind::kReapplyPaperLayout);
    Request(RequestKind::kRedrawPreview);
  } else if (id == c::kMediaList) {
    ApplySelectedMediaPreset();
    Request(RequestKind::kRedrawPreview);
  }
}

void MainWindowModel::PressEnter(int focus_id, bool shift_held) {
  if (focus_id == c::kXCopyEdit || focus_id == c::kYCopyEdit) {
    if (shift_held) return;
    Request(RequestKind::kApplyCopyCounts);
  } else if (focus_id == c::kXSizeEdit || focus_id == c::kYSizeEdit) {
    Request(RequestKind::kApplyTypedSize, focus_id);
  } else {
    return;
  }
  Request(RequestKind::kReapplyLayout);
  Request(RequestKind::kRedrawPreview);
}

// --- White options. ---

// Display White was clicked.
void MainWindowModel::OnDisplayWhiteClicked(int id) {
  Toggle(id);
  if (!IsChecked(c::kPrintWhite)) {
    SetChecked(c::kDisplayWhite, false);
    SetChecked(c::kThresholdOn, false);
    SetEnabled(c::kWhiteDensitySlider, false);
    SetEnabled(c::kThresholdSlider, false);
  } else if (IsChecked(c::kDisplayWhite)) {
    SetEnabled(c::kThresholdOn, true);
    SetEnabled(c::kWhiteDensitySlider, true);
  } else {
    // Display White off with white printed: the density slider stays usable, Threshold on
    // keeps whatever state it had.
    SetEnabled(c::kWhiteDensitySlider, true);
  }
  SetEnabled(c::kThresholdSlider, IsChecked(c::kThresholdOn));
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnThresholdOnClicked(int id) {
  Toggle(id);
  SetEnabled(c::kThresholdSlider, IsChecked(c::kThresholdOn));
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnPrintWhiteClicked(int id) {
  Toggle(id);
  if (IsChecked(c::kPrintWhite)) {
    SetEnabled(c::kDisplayWhite, true);
    SetEnabled(c::kThresholdOn, true);
    SetEnabled(c::kWhiteDensitySlider, true);
  } else if (IsChecked(c::kPrintCmy)) {
    SetChecked(c::kDisplayWhite, false);
    SetChecked(c::kThresholdOn, false);
    SetEnabled(c::kWhiteDensitySlider, false);
    SetEnabled(c::kThresholdSlider, false);
    SetEnabled(c::kThresholdOn, false);
    SetEnabled(c::kDisplayWhite, true);
  } else {
    // One of the two always stays on: colour comes back, with the threshold it had.
    SetChecked(c::kPrintCmy, true);
    RestoreThreshold();
    SetEnabled(c::kDisplayWhite, false);
    SetEnabled(c::kThresholdOn, false);
  }
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnPrintCmyClicked(int id) {
  Toggle(id);
  if (!IsChecked(c::kPrintCmy)) {
    state_.set_aside_threshold = Text(c::kThresholdValue);
    {
      // The white-only threshold is a mode, not the user's choice: the stored threshold keeps
      // the user's value so that the next start does not inherit it.
      FromStore mode(*this);
      SetSliderPosition(c::kThresholdSlider, kWhiteOnlyThreshold);
    }
    SetChecked(c::kPrintWhite, true);
    SetChecked(c::kThresholdOn, true);
    SetChecked(c::kDisplayWhite, true);
    SetEnabled(c::kThresholdSlider, true);
    SetEnabled(c::kWhiteDensitySlider, true);
    SetEnabled(c::kThresholdOn, true);
    SetEnabled(c::kDisplayWhite, true);
    SetText(c::kPrintCmyHint, kWhiteOnlyHint);
  } else {
    RestoreThreshold();
    SetChecked(c::kThresholdOn, false);
    SetChecked(c::kDisplayWhite, false);
    SetEnabled(c::kThresholdSlider, false);
  }
  Request(RequestKind::kRedrawPreview);
}

// Puts the threshold caption set aside by Print CMY back. With nothing set aside the
// threshold was never replaced, so it stays as it is.
void MainWindowModel::RestoreThreshold() {
  if (!state_.set_aside_threshold) return;
  const std::string caption = *state_.set_aside_threshold;
  state_.set_aside_threshold.reset();
  SetSliderPosition(c::kThresholdSlider, static_cast<int>(ReadLeadingNumber(caption)));
  SetText(c::kThresholdValue, caption);
}

// --- Hands, placement, preview tools. ---

void MainWindowModel::OnHandClicked(int id) {
  const bool left = id == c::kLeftHand;
  const int other = left ? c::kRightHand : c::kLeftHand;
  Toggle(id);
  if (IsChecked(id)) {
    SetPicture(id, left ? kLeftHandOn : kRightHandOn);
    // The other hand is cleared, and stored as cleared even when it already was.
    if (IsChecked(other)) {
      SetChecked(other, false);
    } else {
      WriteThrough(other);
    }
    SetPicture(other, left ? kRightHandOff : kLeftHandOff);
  } else {
    SetPicture(id, left ? kLeftHandOff : kRightHandOff);
  }
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnPlacementClicked(int id) {
  for (int button = c::kPlacementTopLeft; button <= c::kPlacementBottomRight; ++button) {
    SetChecked(button, button == id);
  }
  state_.placement_mode = PlacementModeForButton(id);
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::OnPreviewToolClicked(int id) {
  const int mode = PreviewModeForTool(id);
  if (mode == 0) {
    // Tools without a settled mode only ask for a redraw.
    Request(RequestKind::kRedrawPreview);
    return;
  }
  if (mode == state_.preview_mode) return;
  state_.preview_mode = mode;
  Request(RequestKind::kRecapturePreview);
  if (id == c::kPreviewToolPaper) Request(RequestKind::kReapplyPaperLayout);
  Request(RequestKind::kRedrawPreview);
}

// --- Printer, paper, medium and toner order. ---

void MainWindowModel::SelectPrinterModel(std::string_view model_name) {
  state_.model_name = std::string(model_name);
  state_.paper_class = static_cast<int>(ApplyActiveModel(model_name).paper_class);
  ApplyActiveModelName(model_name);
  const PaperList papers = BuildPaperList(store_, model_name);
  SetItems(c::kPaperList, papers.entries, papers.selected);
  ShowPaper(Text(c::kPaperList));
  state_.toner_order = Trim(store_.ReadSetting(keys::active::kTonerOrder), kBlanksAndLineBreaks);
  SetToneCurves(white_first() ? WhiteFirstToneCurves() : DefaultToneCurves());
  ShowTonerOrder();
}

bool MainWindowModel::white_first() const {
  return TonerOrderInForce(state_.model_name, state_.toner_order) == TonerOrder::kWhiteFirst;
}

void MainWindowModel::ShowTonerOrder() {
  SetPicture(c::kTonerOrderIndicator, white_first() ? kWhiteFirstIndicator : kWhiteLastIndicator);
}

void MainWindowModel::ShowPaper(std::string_view entry) {
  bool custom = false;
  const std::optional<PageSize> page =
      PageSizeOfEntry(entry, CustomSizesForModel(store_, state_.model_name), &custom);
  if (page) state_.page = *page;
  state_.paper_locks_tray = custom && page && page->height > kMultiPurposeOnlyHeightPt;
}

void MainWindowModel::ApplySelectedPaper() {
  const PaperChoice choice = ApplyPaperChoice(store_, Text(c::kPaperList), state_.media_code);
  if (choice.page_size) state_.page = *choice.page_size;
  if (choice.margins) WriteMargins(store_, *choice.margins);
  state_.paper_locks_tray = choice.lock_multipurpose_tray;
  if (state_.paper_locks_tray) {
    SelectItem(c::kTrayList, kTrayMultiPurpose);
    SetEnabled(c::kTrayList, false);
  }
}

void MainWindowModel::FillMediaList() {
  std::vector<std::string> labels;
  for (int code : MediaListCodes(texts_)) labels.push_back(texts_.Get(code));
  SetItems(c::kMediaList, std::move(labels), 0);
  ApplySelectedMediaPreset();
}

void MainWindowModel::ApplySelectedMediaPreset() {
  PresetInputs inputs;
  inputs.active_model_name = state_.model_name;
  inputs.paper_list_text = Text(c::kPaperList);
  inputs.special_margins_active = state_.special_margins_active;
  inputs.mirror_checked = IsChecked(c::kMirror);
  inputs.print_white_checked = IsChecked(c::kPrintWhite);
  const PresetApplication applied = ApplyMediaPreset(store_, texts_, Text(c::kMediaList), inputs);
  if (applied.margins_backup) WriteBackupMargins(store_, *applied.margins_backup);
  if (applied.margins) WriteMargins(store_, *applied.margins);
  state_.special_margins_active = applied.special_margins_active;
  if (applied.media_code) state_.media_code = *applied.media_code;
  state_.background_values = applied.background_removal;

  const WhiteControls& white = applied.white;
  if (applied.tray) SelectItem(c::kTrayList, *applied.tray);
  SetEnabled(c::kTrayList, applied.tray_list_enabled);
  SetChecked(c::kMirror, applied.mirror_checked);
  SetChecked(c::kPrintWhite, white.print_white_checked);
  SetEnabled(c::kPrintWhite, white.print_white_enabled);
  SetChecked(c::kThresholdOn, white.threshold_on_checked);
  SetEnabled(c::kThresholdOn, white.threshold_on_enabled);
  SetChecked(c::kDisplayWhite, white.display_white_checked);
  SetEnabled(c::kDisplayWhite, white.display_white_enabled);
  SetChecked(c::kBlackRemoval, white.black_removal_checked);
  SetSliderPosition(c::kThresholdSlider, applied.threshold_slider);
  SetEnabled(c::kThresholdSlider, white.threshold_slider_enabled);
  SetEnabled(c::kThresholdValue, white.threshold_caption_enabled);
  if (applied.density_slider) SetSliderPosition(c::kWhiteDensitySlider, *applied.density_slider);
  SetEnabled(c::kWhiteDensitySlider, white.density_slider_enabled);
  SetEnabled(c::kWhiteDensityValue, white.density_caption_enabled);
  SetText(c::kMediaTipLine, applied.tip);
  if (applied.hands) {
    // The hands come from the store: nothing to write back.
    FromStore hands(*this);
    SetChecked(c::kLeftHand, applied.hands->left_checked);
    SetPicture(c::kLeftHand, applied.hands->left_bitmap);
    SetChecked(c::kRightHand, applied.hands->right_checked);
    SetPicture(c::kRightHand, applied.hands->right_bitmap);
  }
  // A paper only the multipurpose tray feeds keeps that tray, whatever the medium.
  if (state_.paper_locks_tray) {
    SelectItem(c::kTrayList, kTrayMultiPurpose);
    SetEnabled(c::kTrayList, false);
  }
}

void MainWindowModel::ChangeTonerOrder(bool white_first) {
  state_.toner_order = white_first ? "WF" : "WL";
  store_.WriteSetting(keys::active::kTonerOrder, state_.toner_order);
  // A model that cannot lay white first keeps printing white last, and shows it.
  SetToneCurves(this->white_first() ? WhiteFirstToneCurves() : DefaultToneCurves());
  ShowTonerOrder();
  ApplySelectedMediaPreset();
  Request(RequestKind::kRedrawPreview);
}

void MainWindowModel::SetToneCurves(const ToneCurves& curves) {
  SetToneCurves(curves, BuildToneCurveTable(curves));
}

void MainWindowModel::SetToneCurves(const ToneCurves& curves, const ToneCurveTable& table) {
  state_.curves = curves;
  state_.tone_table = table;
}

// --- Settings applied to the controls. ---

void MainWindowModel::ApplyStoredWhiteSettings(bool display, bool toner_on, bool toner_save,
                                               int white_mask_percent, int toner_percent) {
  {
    FromStore stored(*this);
    SetChecked(c::kDisplayWhite, display);
    SetChecked(c::kPrintWhite, toner_on);
    SetChecked(c::kThresholdOn, toner_save);
    SetSliderPosition(c::kWhiteDensitySlider, white_mask_percent);
    SetSliderPosition(c::kThresholdSlider, toner_percent);
  }
  SetEnabled(c::kDisplayWhite, toner_on);
  SetEnabled(c::kThresholdOn, toner_on);
  SetEnabled(c::kWhiteDensitySlider, toner_on);
  SetEnabled(c::kThresholdSlider, toner_on && toner_save);
}

void MainWindowModel::ResetControlsToDefaults() {
  SetSliderPosition(c::kThresholdSlider, 50);
  SetSliderPosition(c::kWhiteDensitySlider, 100);
  SetText(c::kCopiesEdit, "1");
  SetChecked(c::kDisplayWhite, false);
  SetChecked(c::kPrintWhite, false);
  SetChecked(c::kThresholdOn, false);
  SetChecked(c::kPrintCmy, true);
  SetEnabled(c::kThresholdSlider, false);
  SetWhiteEdge(0);
  // Colour is printed again, so a threshold set aside for white-only printing is void.
  state_.set_aside_threshold.reset();
  // The defaults put the toner order back to white last.
  state_.toner_order = "WL";
  SetToneCurves(DefaultToneCurves());
  SetPicture(c::kTonerOrderIndicator, kWhiteLastIndicator);
  if (state_.image_loaded) Request(RequestKind::kReapplyLayout);
}

std::string MainWindowModel::ApplyStoredUnit() {
  std::string unit = store_.ReadSetting(keys::active::kUnit);
  if (unit != "I" && unit != "C" && unit != "M") {
    unit.assign(1, 'M');
    store_.WriteSetting(keys::active::kUnit, unit);
  }
  const int label = unit == "I"   ? ui::kInchesLabel
                    : unit == "C" ? ui::kCentimetresLabel
                                  : ui::kMillimetresLabel;
  SetText(c::kUnitLabel, texts_.Get(label));
  return unit;
}

void MainWindowModel::ApplyActiveModelName(std::string_view model_name) {
  SetEnabled(m::kTonerOrder, CapabilitiesOf(model_name).toner_order_menu);
}

void MainWindowModel::SetRecentFileEntries(const std::vector<std::string>& labels) {
  for (size_t i = 0; i < m::kRecentFiles.size(); ++i) {
    const std::string label = i < labels.size() ? labels[i] : std::string();
    SetText(m::kRecentFiles[i], label);
    SetVisible(m::kRecentFiles[i], !label.empty());
  }
}

}  // namespace kelvaro
