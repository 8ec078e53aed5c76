#ifndef KELVARO_GUI_UNITS_DIALOG_H_
#define KELVARO_GUI_UNITS_DIALOG_H_

#include <QDialog>

#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro::gui {

// "Unit Settings": choosing an option stores its unit at once; "OK" closes.
class UnitsDialog final : public QDialog {
 public:
  UnitsDialog(SettingsStore& store, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_UNITS_DIALOG_H_
