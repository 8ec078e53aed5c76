#ifndef KELVARO_GUI_PATTERN_IMPORT_DIALOG_H_
#define KELVARO_GUI_PATTERN_IMPORT_DIALOG_H_

#include <QDialog>
#include <QImage>
#include <functional>
#include <optional>
#include <string>

#include "app/app_context.h"
#include "pattern/shape_library.h"
#include "pattern/shape_record.h"
#include "printers/units.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kelvaro::gui {

// The questions and file choices of the pattern windows. Unset members are asked with the
// platform's dialogs; tests answer them instead of a person.
struct PatternDialogChoices {
  // The drawing to import, from the folder given; nothing when cancelled.
  std::function<std::optional<std::string>(const std::string& start_folder)> choose_drawing;
  // Whether a shape of the same name is replaced ("Matching Name in Library", OK or Cancel).
  ReplaceShapeQuestion ask_replace;
};

// "Shape Import Utility": reads a drawing into a shape, shows it tiled as the pattern would
// print it, lets the row gaps for both screen angles be set, and stores the shape in the
// user's library.
class PatternImportDialog final : public QDialog {
 public:
  PatternImportDialog(AppContext& app, PatternDialogChoices choices, QWidget* parent = nullptr);

  const QImage& preview_image() const { return preview_image_; }
  // The base gap of screen angle 0 or 45.
  double base_gap(int angle) const { return base_gap_[angle == 0 ? 0 : 1]; }

 private:
  void OpenDrawing();
  void SaveToLibrary();
  int Angle() const;
  void ShowBaseGap();
  void RedrawPreview();

  AppContext& app_;
  PatternDialogChoices choices_;
  UnitCode unit_;
  std::optional<ShapeRecord> shape_;
  double gap_mm_ = 1;
  double base_gap_[2] = {0, 0};  // angle 0, angle 45
  QLineEdit* name_ = nullptr;
  QLineEdit* gap_ = nullptr;
  QComboBox* angle_ = nullptr;
  QSlider* base_slider_ = nullptr;
  QLineEdit* base_value_ = nullptr;
  QSlider* zoom_ = nullptr;
  QLabel* preview_ = nullptr;
  QPushButton* save_ = nullptr;
  QImage preview_image_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PATTERN_IMPORT_DIALOG_H_
