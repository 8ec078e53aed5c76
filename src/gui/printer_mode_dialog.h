#ifndef KELVARO_GUI_PRINTER_MODE_DIALOG_H_
#define KELVARO_GUI_PRINTER_MODE_DIALOG_H_

#include <QDialog>

#include "app/printer_mode.h"

namespace kelvaro::gui {

// "Printer Mode": the view of a PrinterModeModel. A mode button sends and closes; "Exit"
// closes without sending anything.
class PrinterModeDialog final : public QDialog {
 public:
  PrinterModeDialog(PrinterModeModel& model, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PRINTER_MODE_DIALOG_H_
