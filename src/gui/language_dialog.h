#ifndef KELVARO_GUI_LANGUAGE_DIALOG_H_
#define KELVARO_GUI_LANGUAGE_DIALOG_H_

#include <QDialog>

#include "app/dialog_models.h"

namespace kelvaro::gui {

// "Language Selection": the view of a LanguageModel, whose change() says after the dialog
// closed whether the window must be built again.
class LanguageDialog final : public QDialog {
 public:
  LanguageDialog(LanguageModel& model, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_LANGUAGE_DIALOG_H_
