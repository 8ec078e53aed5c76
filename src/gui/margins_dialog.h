#ifndef KELVARO_GUI_MARGINS_DIALOG_H_
#define KELVARO_GUI_MARGINS_DIALOG_H_

#include <QDialog>
#include <array>

#include "app/paper_dialogs.h"
#include "settings/ui_text.h"

class QLabel;
class QLineEdit;

namespace kelvaro::gui {

// "Print Margins": the view of a MarginsModel.
class MarginsDialog final : public QDialog {
 public:
  MarginsDialog(MarginsModel& model, const UiText& texts, QWidget* parent = nullptr);

 private:
  QLayout* BuildBoxes(const UiText& texts);
  void ShowModel();
  MarginsModel::Boxes Typed() const;
  void AskPrinter();

  MarginsModel& model_;
  std::array<QLineEdit*, 4> boxes_{};
  QLabel* area_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_MARGINS_DIALOG_H_
