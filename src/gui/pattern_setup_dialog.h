#ifndef KELVARO_GUI_PATTERN_SETUP_DIALOG_H_
#define KELVARO_GUI_PATTERN_SETUP_DIALOG_H_

#include <QDialog>
#include <QImage>
#include <functional>

#include "app/app_context.h"
#include "gui/pattern_import_dialog.h"
#include "pattern/pattern_mask.h"
#include "printers/units.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;

namespace kelvaro::gui {

// What the pattern setup asks of the main window.
struct PatternSetupHooks {
  std::function<void()> print;                // the window's print, with the pattern
  std::function<void()> redraw_main_preview;  // after "Invert Pattern"
  PatternDialogChoices choices;               // for the shape import window
};

// "Pattern Print Setup": shape, size, gap, screen angle and inversion of the pattern, with a
// preview of the screen they make. "Invert Pattern" is stored at once; the rest when the user
// prints or saves.
class PatternSetupDialog final : public QDialog {
 public:
  PatternSetupDialog(AppContext& app, PatternSetupHooks hooks, QWidget* parent = nullptr);

  // The set-up as the controls show it.
  PatternSettings Current() const;
  const QImage& preview_image() const { return preview_image_; }

 private:
  struct LengthControl {
    QSlider* slider = nullptr;
    QLineEdit* edit = nullptr;
    double mm = 1;
  };
  void AddLength(QGridLayout* grid, int row, int caption_text, LengthControl& control, bool gap);
  void ShowLength(LengthControl& control, bool gap);
  void FillShapeList(const std::string& selected);
  void Save();
  void RedrawPreview();

  AppContext& app_;
  PatternSetupHooks hooks_;
  UnitCode unit_;
  QComboBox* shape_ = nullptr;
  QComboBox* angle_ = nullptr;
  LengthControl height_;
  LengthControl width_;
  LengthControl gap_;
  QCheckBox* invert_ = nullptr;
  QLabel* preview_ = nullptr;
  QImage preview_image_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PATTERN_SETUP_DIALOG_H_
