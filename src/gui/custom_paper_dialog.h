#ifndef KELVARO_GUI_CUSTOM_PAPER_DIALOG_H_
#define KELVARO_GUI_CUSTOM_PAPER_DIALOG_H_

#include <QDialog>
#include <functional>
#include <string>

#include "printers/paper_sizes.h"
#include "printers/units.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

class QComboBox;
class QLineEdit;

namespace kelvaro::gui {

// "Custom Paper Size": width, height and name in the display unit, checked against the
// printer class; Save, Delete, and Print Margins, which runs the margins dialog for the typed
// size and keeps what it returns for the next Save.
class CustomPaperDialog final : public QDialog {
 public:
  // `open_margins` shows the margins dialog for a page size.
  CustomPaperDialog(SettingsStore& store, const UiText& texts, std::string model_name,
                    PaperClass paper_class, std::function<void(PageSize)> open_margins,
                    QWidget* parent = nullptr);

 private:
  void FillList(const std::string& select);
  // The typed size checked; a refused box shows "----". nullopt when refused.
  std::optional<CustomSizeCheck> Check(bool for_margins);
  void Save();
  void AskMargins();
  void Delete();

  SettingsStore& store_;
  std::string model_name_;
  PaperClass paper_class_;
  std::function<void(PageSize)> open_margins_;
  UnitCode unit_;
  CustomPaperSize margins_;  // from the last Print Margins; all 0 before
  QLineEdit* width_;
  QLineEdit* height_;
  QLineEdit* name_;
  QComboBox* list_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_CUSTOM_PAPER_DIALOG_H_
