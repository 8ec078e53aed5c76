#ifndef KELVARO_GUI_STATISTICS_SETUP_DIALOG_H_
#define KELVARO_GUI_STATISTICS_SETUP_DIALOG_H_

#include <QDialog>
#include <array>

#include "app/dialog_models.h"

class QGridLayout;
class QLineEdit;

namespace kelvaro::gui {

// "Print Statistics Setup": the view of a StatisticsSetupModel.
class StatisticsSetupDialog final : public QDialog {
 public:
  StatisticsSetupDialog(StatisticsSetupModel& model, const UiText& texts,
                        QWidget* parent = nullptr);

 private:
  void AddRecords(QGridLayout* grid, const UiText& texts);
  void AddModes(QGridLayout* grid, const UiText& texts);
  void Save();

  StatisticsSetupModel& model_;
  std::array<std::array<QLineEdit*, 5>, 6> fields_{};
  QLineEdit* currency_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_STATISTICS_SETUP_DIALOG_H_
