#ifndef KELVARO_GUI_PATTERN_IMPORT_DIALOG_H_
#define KELVARO_GUI_PATTERN_IMPORT_DIALOG_H_

#include <QDialog>
#include <QImage>

#include "app/pattern_dialogs.h"

class QBoxLayout;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace kelvaro::gui {

// "Shape Import Utility": the view of a PatternImportModel, with the shape shown tiled as the
// pattern would print it.
class PatternImportDialog final : public QDialog {
 public:
  PatternImportDialog(PatternImportModel& model, const UiText& texts, QWidget* parent = nullptr);

  const QImage& preview_image() const { return preview_image_; }

 private:
  QGridLayout* BuildSettings(const UiText& texts);
  int AddBaseGap(QGridLayout* grid, int row, const UiText& texts);
  QBoxLayout* BuildButtons(const UiText& texts);
  void OpenDrawing();
  void SaveToLibrary();
  void ShowBaseGap();
  void RedrawPreview();

  PatternImportModel& model_;
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
