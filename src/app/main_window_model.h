#ifndef KELVARO_APP_MAIN_WINDOW_MODEL_H_
#define KELVARO_APP_MAIN_WINDOW_MODEL_H_

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/tone_curve_table.h"
#include "printers/paper_sizes.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"
#include "settings/ui_text.h"

namespace kelvaro {

enum class ControlKind {
  kWindow,
  kLabel,
  kEdit,
  kCheckBox,
  kOptionButton,
  kButton,
  kPictureButton,  // a push button showing a picture
  kPictureToggle,  // a picture button that stays pressed
  kSlider,
  kSpinBox,  // a number with arrows; `value` holds it
  kComboList,
  kPicture,
  kProgressBar,
  kGroupCaption,
  kTooltip,
  kMenuEntry,
};

// Everything the window shows for one control. The model is the working copy of the job
// parameters: the print path reads check states, value-label captions and list selections
// from here.
struct ControlState {
  ControlKind kind = ControlKind::kLabel;
  std::string caption;  // label, edit or button text; unused for lists (see `items`)
  std::string picture;  // bitmap name of picture controls, e.g. "#103"
  bool checked = false;
  int value = 0;  // slider position 0..100, progress bar value
  bool enabled = true;
  bool visible = true;  // menu entries without content (empty recent-file slots) are hidden
  std::vector<std::string> items;
  int selected = -1;  // index into `items`; -1 for no selection
};

// What the model cannot do by itself. The front end (window or command line) carries these
// out with the image pipeline, layout and dialogs.
enum class RequestKind {
  kRedrawPreview,
  kReapplyLayout,       // lay the loaded image out again (copies, fit)
  kReapplyPaperLayout,  // page size and margins changed
  kRecapturePreview,    // the preview picture must be captured again before the redraw
  kRefreshSizeFields,   // show the image size in the size fields in the unit in force
  kReloadImage,         // load the current image again with the new options
  kReapplyCrop,
  kApplyCopyCounts,  // Enter in a copy-count field
  kApplyTypedSize,   // Enter in a size field; `id` says which one
  kFitToPage,        // fit the image to the printable area
  kReloadAfterProfileChange,
  kRunPrint,      // the print command
  kOpenDocument,  // open `text` with the platform's "open" action
  kCommand,       // a menu or button command handled outside the model; `id` says which
};

struct ModelRequest {
  RequestKind kind;
  int id = 0;
  std::string text;
};

// What the window keeps beside its controls: the printer, page and medium in force, the tone
// curves and the layout values the preview and the print read.
struct WindowState {
  std::string model_name;  // the active printer model, a key of the model table
  int paper_class = 0;     // the model's paper family
  PageSize page{595, 842};
  bool paper_locks_tray = false;  // a custom size only the multipurpose tray feeds
  int media_code = 0;             // the chosen preset's UiText number; 0 before any
  bool special_margins_active = false;
  // The background-removal values the preset set: the film flag and two levels.
  std::array<int, 3> background_values = {0, 51, 7};
  std::string toner_order = "WL";  // [Active] T_ORDER as the window applied it
  ToneCurves curves = DefaultToneCurves();
  // The table the separation applies: built from `curves`, or as the colour window left it.
  ToneCurveTable tone_table = BuildToneCurveTable(DefaultToneCurves());
  int image_area_width = 310;  // the preview's width in pixels
  int placement_mode = 0;      // single-copy placement, 0 to 9 (0 before any choice)
  int preview_mode = 0;        // chosen with the tool buttons, or set by the preview
  // The threshold caption set aside when Print CMY was switched off.
  std::optional<std::string> set_aside_threshold;
  bool image_loaded = false;
};

// Preview picture names of the toner-order indicator.
inline constexpr char kWhiteLastIndicator[] = "#103";
inline constexpr char kWhiteFirstIndicator[] = "#106";

// The hint shown when the user switches to printing white only.
inline constexpr char kWhiteOnlyHint[] =
    "The screen preview in \"Print white\" is simple as white can not be printed to the screen";

// The two ways of the white edge, as the Choke / Spread list shows them.
inline constexpr char kWhiteEdgeChoke[] = "Choke";
inline constexpr char kWhiteEdgeSpread[] = "Spread";

// The version line of the About message.
inline constexpr char kAboutVersionLine[] = "Program Version 1.0.0.59";

// The main window without a toolkit: every control by its numeric id (see control_ids.h), the
// state kept beside them, the rules that tie them together, and the write-through of changed
// values to the settings file. The window binds its widgets to this; the command line applies
// its options through the same calls, in the order a person would click.
class MainWindowModel {
 public:
  using ControlObserver = std::function<void(int id)>;
  using RequestObserver = std::function<void(const ModelRequest&)>;

  // Builds every control of the window with its caption from `texts`. Nothing is written to
  // the store here. `store` and `texts` must outlive the model.
  MainWindowModel(SettingsStore& store, const UiText& texts);

  // Called after any control changed (id 0 is the window and its title).
  void SetControlObserver(ControlObserver observer) { control_observer_ = std::move(observer); }
  // Called for every request the model cannot carry out itself.
  void SetRequestObserver(RequestObserver observer) { request_observer_ = std::move(observer); }

  // --- Reading controls. Unknown ids read as an empty label. ---
  bool Has(int id) const { return controls_.count(id) != 0; }
  const ControlState& Control(int id) const;
  std::vector<int> ControlIds() const;
  // The caption, or for a list the text of the selected item ("" with no selection).
  std::string Text(int id) const;
  bool IsChecked(int id) const { return Control(id).checked; }
  bool IsEnabled(int id) const { return Control(id).enabled; }
  int Value(int id) const { return Control(id).value; }
  // The leading number of a caption: "60%" gives 60, "-20%" gives -20, "" gives 0.
  long CaptionNumber(int id) const;

  // --- Setting controls from code. These apply no rules; a change of a stored control
  // (white boxes and sliders, tray, hands) is written to the settings file. ---
  void SetText(int id, std::string text);
  void SetChecked(int id, bool checked);
  void SetEnabled(int id, bool enabled);
  void SetVisible(int id, bool visible);
  void SetPicture(int id, std::string picture);
  void SetValue(int id, int value);
  // Moves a slider (clamped to 0..100) and shows the position in its value label.
  void SetSliderPosition(int id, int position);
  // Replaces a list's items; selects `selected` (-1 for none, clamped to the list).
  void SetItems(int id, std::vector<std::string> items, int selected = -1);
  void SelectItem(int id, int index);
  // Selects the item of exactly this text; returns false and selects the first item when
  // there is none (no selection for an empty list).
  bool SelectItemText(int id, std::string_view text);
  // The index of the item of exactly this text in a list; -1 when there is none.
  int FindItem(int id, std::string_view text) const;

  // --- What the user does. Each applies the window's rules and asks for a redraw where the
  // preview changes. ---
  // A click on a check box, button, option button, picture button or menu entry. Clicks on
  // disabled controls are ignored.
  void Click(int id);
  // The user moved a slider.
  void MoveSlider(int id, int position);
  // The user picked list entry `index`. The paper and media lists apply their choice; the
  // Choke / Spread list changes the white edge (see ChangeWhiteEdge).
  void PickItem(int id, int index);
  // The Enter key with the keyboard focus on control `focus_id`.
  void PressEnter(int focus_id, bool shift_held);

  // --- State kept with the window. ---
  const WindowState& state() const { return state_; }
  // The window title: UiText 0, " - " and the file name, or UiText 1 with no image. An empty
  // name means no image is loaded.
  void SetLoadedFile(std::string_view file_name);
  bool image_loaded() const { return state_.image_loaded; }
  // Whether the job lays white first: the indicator, the curves and the toner-order dialog
  // show this, the order the separation uses, not merely what T_ORDER says.
  bool white_first() const;
  // Puts back a title and image-loaded flag kept from before a load that failed.
  void RestoreTitle(std::string title, bool image_loaded);
  const std::string& title() const { return Control(0).caption; }
  int placement_mode() const { return state_.placement_mode; }
  int preview_mode() const { return state_.preview_mode; }
  void SetPreviewMode(int mode) { state_.preview_mode = mode; }
  const std::optional<std::string>& set_aside_threshold() const {
    return state_.set_aside_threshold;
  }
  // A setting file's curves; the table is built from them.
  void SetToneCurves(const ToneCurves& curves);
  // The colour window's curves with the table it built while the user dragged.
  void SetToneCurves(const ToneCurves& curves, const ToneCurveTable& table);
  // The preview's width in pixels, as the window's image area gives it.
  void SetImageAreaWidth(int width) { state_.image_area_width = width; }

  // --- Rules other commands call. ---
  // The active printer model: its paper class, the toner-order menu entry (usable only for
  // models that offer the choice), its paper list with the current paper, and the toner order
  // in force (TonerOrderInForce): indicator "#106" and the white-first curves for white first,
  // else "#103" and the white-last curves. Nothing is written.
  void SelectPrinterModel(std::string_view model_name);
  // The media list in its order; selects the first entry and applies it.
  void FillMediaList();
  // Applies the preset selected in the media list to the controls (tray, Mirror, the white
  // boxes and sliders, tip line, hands) and the state (media code, background values, special
  // margins); the margins it sets and the backup of the user's are stored.
  void ApplySelectedMediaPreset();
  // Shows a paper list entry's page size without applying the choice (its margins stay).
  void ShowPaper(std::string_view entry);
  // Copies the stored white values into the white group (window creation, after a setting
  // file was loaded). Nothing is written back.
  void ApplyStoredWhiteSettings(bool display, bool toner_on, bool toner_save,
                                int white_mask_percent, int toner_percent);
  // --- The white edge (hundredths of a millimetre, > 0 chokes, < 0 spreads; see
  // image/white_edge.h). Usable only while Print White is checked. ---
  int WhiteEdge() const;
  // The user changed the width (millimetres) or the Choke / Spread choice: the width snaps to
  // the nearest 0.05 mm within 0..1 mm, is stored, and the preview is redrawn. Ignored while
  // the controls are greyed.
  void ChangeWhiteEdge(double width_mm, bool spread);
  // The user changed the width alone; the way stays as chosen.
  void ChangeWhiteEdgeWidth(double width_mm);
  // Sets the edge from code (a choice for a run, Load Defaults); stored when it changes.
  void SetWhiteEdge(int hundredths_mm);
  // The stored edge into the controls (window creation, a setting file); nothing is written.
  void ApplyStoredWhiteEdge(int hundredths_mm);

  // The control part of Load Defaults. Asks for a new layout when an image is loaded.
  void ResetControlsToDefaults();
  // Brightness and contrast back to neutral, as their reset buttons leave them.
  void ResetColourSliders();
  // Writes a stored control's state (the tray, the white boxes, ...) to its key now.
  void WriteThrough(int id);
  // Reads [Active] Unit, writing "M" when it is none of "I", "C", "M", and shows the unit's
  // label beside the size fields. Returns the unit code in force.
  std::string ApplyStoredUnit();
  // The toner-order menu entry is usable only for models that offer the choice
  // (ModelCapabilities::toner_order_menu).
  void ApplyActiveModelName(std::string_view model_name);
  // Shows the recent files (up to five slots, newest first) in the File menu; empty slots
  // are hidden. `labels` are the menu texts.
  void SetRecentFileEntries(const std::vector<std::string>& labels);
  // The toner-order dialog's choice: stores [Active] T_ORDER ("WF" or "WL"), takes that
  // order's default curves, shows its indicator and applies the media preset in force again.
  void ChangeTonerOrder(bool white_first);

  SettingsStore& store() { return store_; }
  const SettingsStore& store() const { return store_; }
  const UiText& texts() const { return texts_; }

 private:
  using Handler = void (MainWindowModel::*)(int id);
  struct HandlerRow {
    int id;
    Handler handler;
  };
  static const HandlerRow kClickHandlers[];

  // While one lives, changes of stored controls are not written back: they came from the
  // store, or they are a mode rather than the user's choice.
  class FromStore {
   public:
    explicit FromStore(MainWindowModel& model) : model_(model) { ++model_.from_store_depth_; }
    ~FromStore() { --model_.from_store_depth_; }
    FromStore(const FromStore&) = delete;
    FromStore& operator=(const FromStore&) = delete;

   private:
    MainWindowModel& model_;
  };

  ControlState& Mutable(int id);
  // Tells the observer that control `id` changed.
  void Changed(int id);
  // A change of a check state, slider position or selection: a stored control is written
  // through, then the observer is told.
  void ValueChanged(int id);
  void Request(RequestKind kind, int id = 0, std::string text = {});
  void Toggle(int id);

  void OnToggleAndRedraw(int id);
  void OnToggleAndReload(int id);
  void OnDisplayWhiteClicked(int id);
  void OnThresholdOnClicked(int id);
  void OnPrintWhiteClicked(int id);
  void OnPrintCmyClicked(int id);
  void OnMirrorClicked(int id);
  void OnRotateClicked(int id);
  void OnFlipClicked(int id);
  void OnFitToPageClicked(int id);
  void OnResetSliderClicked(int id);
  void OnHandClicked(int id);
  void OnPrintClicked(int id);
  void OnPatternPrintClicked(int id);
  void OnHelpFileClicked(int id);
  void OnPlacementClicked(int id);
  void OnPreviewToolClicked(int id);
  void OnHelpDocumentClicked(int id);
  void RestoreThreshold();
  void ApplySelectedPaper();
  void ShowTonerOrder();
  void ShowWhiteEdge(int hundredths_mm);
  void SyncWhiteEdgeEnabled();

  SettingsStore& store_;
  const UiText& texts_;
  std::map<int, ControlState> controls_;
  WindowState state_;
  ControlObserver control_observer_;
  RequestObserver request_observer_;
  int from_store_depth_ = 0;
};

// Sliders whose value label shows (2 × position − 100)%, the others show position%.
bool IsSignedPercentSlider(int slider_id);
// The value label beside a slider; 0 for controls that are no slider.
int SliderValueLabel(int slider_id);
// The caption a slider's value label shows for `position`.
std::string SliderCaption(int slider_id, int position);

// Placement mode of a grid button 1317..1325; 0 for other ids.
int PlacementModeForButton(int id);
// Preview mode of a tool button; 0 for tool buttons whose mode is not settled and other ids.
int PreviewModeForTool(int id);

}  // namespace kelvaro

#endif  // KELVARO_APP_MAIN_WINDOW_MODEL_H_
