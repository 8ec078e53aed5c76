#ifndef KELVARO_APP_PATTERN_DIALOGS_H_
#define KELVARO_APP_PATTERN_DIALOGS_H_

// The models of the pattern windows: "Pattern Print Setup", "Library Edit" and "Shape Import
// Utility". Lengths are millimetres; the windows show them in the display unit.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_context.h"
#include "pattern/pattern_mask.h"
#include "pattern/shape_library.h"
#include "pattern/shape_record.h"
#include "printers/units.h"

namespace kelvaro {

// The questions and file choices of the pattern windows. Unset members are asked with the
// platform's dialogs; tests answer them instead of a person.
struct PatternDialogChoices {
  // The drawing to import, from the folder given; nothing when cancelled.
  std::function<std::optional<std::string>(const std::string& start_folder)> choose_drawing;
  // Whether a shape of the same name is replaced ("Matching Name in Library", OK or Cancel).
  ReplaceShapeQuestion ask_replace;
};

// What the pattern setup asks of the main window.
struct PatternSetupHooks {
  std::function<void()> print;                // the window's print, with the pattern
  std::function<void()> redraw_main_preview;  // after "Invert Pattern"
  PatternDialogChoices choices;               // for the shape import window
};

// "Pattern Print Setup": shape, size, gap, screen angle and inversion of the pattern.
// "Invert Pattern" is stored at once; the rest when the user prints or saves.
class PatternSetupModel {
 public:
  // The three lengths, each a slider with a box beside it.
  enum class Length { kHeight, kWidth, kGap };

  PatternSetupModel(AppContext& app, PatternSetupHooks hooks);
  AppContext& app() { return app_; }
  const PatternDialogChoices& choices() const { return hooks_.choices; }
  UnitCode unit() const { return unit_; }

  // The shape list and the entry chosen in it.
  const std::vector<std::string>& shapes() const { return shapes_; }
  int shape_index() const { return shape_index_; }
  void ChooseShape(int index);
  // After the library changed: the list again, the chosen shape kept.
  void RefillShapes();

  // The row of the screen angle in kPatternScreenAngles.
  int angle_index() const;
  void ChooseAngle(int index);

  int SliderMaximum(Length length) const;
  int SliderPosition(Length length) const;
  std::string Text(Length length) const;
  // A slider moved: its length follows, the box shows it and the slider stays where it is.
  void MoveSlider(Length length, int position);
  // A box typed: the length is read and corrected; slider and box show the result.
  void Type(Length length, std::string_view text);

  bool inverted() const { return settings_.inverted; }
  // "Invert Pattern": stored at once, and the main preview redrawn.
  void Invert(bool inverted);
  // "&Save Settings".
  void Save();
  // "Print": saves, then prints with the pattern.
  void Print();

  // The pattern as the controls show it.
  const PatternSettings& settings() const { return settings_; }
  // The library shape the preview draws; nothing for a built-in shape.
  std::optional<ShapeRecord> PreviewShape() const;

 private:
  double& Millimetres(Length length);
  double Millimetres(Length length) const;
  void FillShapes(const std::string& selected);

  AppContext& app_;
  PatternSetupHooks hooks_;
  UnitCode unit_;
  PatternSettings settings_;
  std::vector<std::string> shapes_;
  int shape_index_ = 0;
};

// "Library Edit": the shapes of the user's library; a click puts "** " in front of a name or
// takes it away, OK removes the marked shapes, Cancel leaves the library alone.
class PatternLibraryModel {
 public:
  // A library that cannot be read is reported at once.
  explicit PatternLibraryModel(AppContext& app);
  const std::vector<std::string>& entries() const { return entries_; }
  void Toggle(int row);
  // "OK".
  void RemoveMarked();

 private:
  AppContext& app_;
  std::vector<std::string> entries_;
};

// "Shape Import Utility": reads a drawing into a shape, shows it tiled as the pattern would
// print it, lets the row gaps for both screen angles be set, and stores the shape in the
// user's library.
class PatternImportModel {
 public:
  PatternImportModel(AppContext& app, PatternDialogChoices choices);
  const PatternDialogChoices& choices() const { return choices_; }
  UnitCode unit() const { return unit_; }

  std::string GapText() const;
  void TypeGap(std::string_view text);

  // The row of the screen angle in kPatternScreenAngles, and the angle.
  int angle_index() const { return angle_ == 0 ? 1 : 0; }
  int angle() const { return angle_; }
  void ChooseAngle(int index);

  // The base gap of screen angle 0 or 45, and that of the angle chosen.
  double base_gap(int angle) const { return base_gap_[angle == 0 ? 0 : 1]; }
  int BaseGapSliderPosition() const;
  std::string BaseGapText() const;
  void MoveBaseGap(int position);
  void TypeBaseGap(std::string_view text);

  // The folder the open dialog starts in: where the last drawing came from.
  std::string StartFolder() const;
  // "Open File" chose `path`: remembered as the next start folder and read. false, after a
  // message, when it could not be read.
  bool Import(const std::string& path);
  bool has_shape() const { return shape_.has_value(); }
  std::string shape_name() const { return shape_ ? shape_->name : std::string(); }
  // "Save Shape to Library" under the typed name.
  void Save(std::string_view typed_name, const ReplaceShapeQuestion& ask_replace);

  // The pattern the preview tiles: the stored set-up with this window's gap and angle.
  PatternSettings PreviewSettings() const;
  std::optional<ShapeRecord> PreviewShape() const;

 private:
  AppContext& app_;
  PatternDialogChoices choices_;
  UnitCode unit_;
  std::optional<ShapeRecord> shape_;
  double gap_mm_ = 1;
  int angle_ = 45;
  double base_gap_[2] = {0, 0};  // angle 0, angle 45
};

}  // namespace kelvaro

#endif  // KELVARO_APP_PATTERN_DIALOGS_H_
