#ifndef KELVARO_GUI_PRINTER_MODE_DIALOG_H_
#define KELVARO_GUI_PRINTER_MODE_DIALOG_H_

#include <QDialog>
#include <string>

#include "app/printer_mode.h"

namespace kelvaro::gui {

// "Printer Mode": "Driver On" and "Driver Off" send their command to `printer` and close;
// "Exit" closes without sending anything.
class PrinterModeDialog final : public QDialog {
 public:
  PrinterModeDialog(PrinterModeServices services, const UiText& texts, PaperClass paper_class,
                    std::string printer, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PRINTER_MODE_DIALOG_H_
