#ifndef KELVARO_GUI_PATTERN_SETUP_DIALOG_H_
#define KELVARO_GUI_PATTERN_SETUP_DIALOG_H_

#include <QDialog>
#include <QImage>

#include "app/pattern_dialogs.h"

class QBoxLayout;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;

namespace kelvaro::gui {

// "Pattern Print Setup": the view of a PatternSetupModel, with a preview of the screen the
// pattern makes.
class PatternSetupDialog final : public QDialog {
 public:
  PatternSetupDialog(PatternSetupModel& model, const UiText& texts, QWidget* parent = nullptr);

  const QImage& preview_image() const { return preview_image_; }

 private:
  using Length = PatternSetupModel::Length;
  struct LengthControl {
    QSlider* slider = nullptr;
    QLineEdit* edit = nullptr;
  };
  QGridLayout* BuildSettings(const UiText& texts);
  void AddLength(QGridLayout* grid, int row, int caption_text, Length length);
  void AddButtons(QBoxLayout* layout, const UiText& texts);
  void ShowLength(Length length);
  void ShowShapes();
  // Runs the library window of type D, then shows the library as it is now.
  template <typename D, typename M>
  void EditLibrary(M model);
  void RedrawPreview();

  PatternSetupModel& model_;
  const UiText& texts_;
  QComboBox* shape_ = nullptr;
  QComboBox* angle_ = nullptr;
  LengthControl lengths_[3];
  QLabel* preview_ = nullptr;
  QImage preview_image_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PATTERN_SETUP_DIALOG_H_
