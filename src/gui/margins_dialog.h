#ifndef KELVARO_GUI_MARGINS_DIALOG_H_
#define KELVARO_GUI_MARGINS_DIALOG_H_

#include <QDialog>
#include <array>
#include <string>

#include "printers/margins.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvaro {
class PrinterMarginSource;
}

namespace kelvaro::gui {

// What the margins dialog works on.
struct MarginsDialogInput {
  PageSize page;                          // the page the printable area is shown for
  std::string model_name;                 // the active printer model (minimums)
  std::string queue;                      // the queue selected in the main window
  bool printer_attached = false;          // a printer of the active model is attached
  PrinterMarginSource* source = nullptr;  // where "Get Printer Margins" asks
};

// "Print Margins": four boxes in the display unit, the printable area, "OK" stores the
// margins raised to the model's minimums; Enter in a box raises the typed values at once.
class MarginsDialog final : public QDialog {
 public:
  MarginsDialog(SettingsStore& store, const UiText& texts, MarginsDialogInput input,
                QWidget* parent = nullptr);

 private:
  void Show(const MarginsDialogView& view);
  std::array<std::string, 4> Typed() const;

  SettingsStore& store_;
  MarginsDialogInput input_;
  UnitCode unit_;
  std::array<QLineEdit*, 4> boxes_{};
  QLabel* area_;
  QPushButton* get_margins_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_MARGINS_DIALOG_H_
