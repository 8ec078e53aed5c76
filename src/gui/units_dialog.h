#ifndef KELVARO_GUI_UNITS_DIALOG_H_
#define KELVARO_GUI_UNITS_DIALOG_H_

#include <QDialog>

#include "app/dialog_models.h"

namespace kelvaro::gui {

// "Unit Settings": the view of a UnitsModel; "OK" closes.
class UnitsDialog final : public QDialog {
 public:
  UnitsDialog(UnitsModel& model, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_UNITS_DIALOG_H_
