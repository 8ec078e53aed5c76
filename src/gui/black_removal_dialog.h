#ifndef KELVARO_GUI_BLACK_REMOVAL_DIALOG_H_
#define KELVARO_GUI_BLACK_REMOVAL_DIALOG_H_

#include <QDialog>

#include "app/dialog_models.h"

namespace kelvaro::gui {

// "Black Removal": the view of a BlackRemovalModel. There is no cancel.
class BlackRemovalDialog final : public QDialog {
 public:
  BlackRemovalDialog(BlackRemovalModel& model, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_BLACK_REMOVAL_DIALOG_H_
