#ifndef KELVARO_GUI_STATISTICS_SETUP_DIALOG_H_
#define KELVARO_GUI_STATISTICS_SETUP_DIALOG_H_

#include <QDialog>
#include <array>

#include "app/dialog_rules.h"

class QLineEdit;

namespace kelvaro::gui {

// "Print Statistics Setup": the six consumable records and the currency, saved with "Save";
// the three mode buttons store the statistics mode at once.
class StatisticsSetupDialog final : public QDialog {
 public:
  StatisticsSetupDialog(SettingsStore& store, const UiText& texts, QWidget* parent = nullptr);

 private:
  std::array<std::array<QLineEdit*, 5>, 6> fields_{};
  QLineEdit* currency_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_STATISTICS_SETUP_DIALOG_H_
