#ifndef KELVARO_GUI_BLACK_REMOVAL_DIALOG_H_
#define KELVARO_GUI_BLACK_REMOVAL_DIALOG_H_

#include <QDialog>
#include <functional>

#include "settings/settings_store.h"
#include "settings/ui_text.h"

class QSlider;

namespace kelvaro::gui {

// "Black Removal": every move of the slider stores the strength at once and `moved` redraws
// the preview. There is no cancel.
class BlackRemovalDialog final : public QDialog {
 public:
  BlackRemovalDialog(SettingsStore& store, const UiText& texts, std::function<void()> moved,
                     QWidget* parent = nullptr);

 private:
  SettingsStore& store_;
  std::function<void()> moved_;
  QSlider* slider_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_BLACK_REMOVAL_DIALOG_H_
