#ifndef KELVARO_GUI_STATISTICS_RESULT_DIALOG_H_
#define KELVARO_GUI_STATISTICS_RESULT_DIALOG_H_

#include <QDialog>

#include "settings/ui_text.h"
#include "stats/cost_estimate.h"

namespace kelvaro::gui {

// The cost of one print, the view of a CostEstimate: the message, the paper note and the mode line;
// "Copy to Clipboard" puts the estimate's sentence on the clipboard, "OK" closes.
class StatisticsResultDialog final : public QDialog {
 public:
  StatisticsResultDialog(const CostEstimate& estimate, const UiText& texts,
                         QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_STATISTICS_RESULT_DIALOG_H_
