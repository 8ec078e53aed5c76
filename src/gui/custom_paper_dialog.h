#ifndef KELVARO_GUI_CUSTOM_PAPER_DIALOG_H_
#define KELVARO_GUI_CUSTOM_PAPER_DIALOG_H_

#include <QDialog>

#include "app/paper_dialogs.h"
#include "settings/ui_text.h"

class QComboBox;
class QGridLayout;
class QLineEdit;

namespace kelvaro::gui {

// "Custom Paper Size": the view of a CustomPaperModel.
class CustomPaperDialog final : public QDialog {
 public:
  CustomPaperDialog(CustomPaperModel& model, const UiText& texts, QWidget* parent = nullptr);

 private:
  void AddSizeRows(QGridLayout* grid, const UiText& texts);
  void ShowList();
  // Runs a button of the model on the boxes and shows what they hold afterwards.
  void OnBoxes(void (CustomPaperDialog::*action)(CustomPaperModel::Typed&));
  void Save(CustomPaperModel::Typed& typed);
  void AskMargins(CustomPaperModel::Typed& typed);

  CustomPaperModel& model_;
  QLineEdit* width_;
  QLineEdit* height_;
  QLineEdit* name_;
  QComboBox* list_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_CUSTOM_PAPER_DIALOG_H_
