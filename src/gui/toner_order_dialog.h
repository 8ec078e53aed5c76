#ifndef KELVARO_GUI_TONER_ORDER_DIALOG_H_
#define KELVARO_GUI_TONER_ORDER_DIALOG_H_

#include <QDialog>

#include "app/dialog_models.h"

namespace kelvaro::gui {

// "Pro8432 Toner order": the view of a TonerOrderModel, one picture button for each order; a
// click chooses it and closes.
class TonerOrderDialog final : public QDialog {
 public:
  TonerOrderDialog(TonerOrderModel& model, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_TONER_ORDER_DIALOG_H_
