#ifndef KELVARO_GUI_JPEG_SETTINGS_DIALOG_H_
#define KELVARO_GUI_JPEG_SETTINGS_DIALOG_H_

#include <QDialog>

#include "settings/settings_store.h"
#include "settings/ui_text.h"

class QSlider;

namespace kelvaro::gui {

// "Jpg Background Removal": the tolerance of JPEG background removal. "OK" stores it; it
// takes effect at the next load of a JPEG file.
class JpegSettingsDialog final : public QDialog {
 public:
  JpegSettingsDialog(SettingsStore& store, const UiText& texts, QWidget* parent = nullptr);

 private:
  SettingsStore& store_;
  QSlider* slider_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_JPEG_SETTINGS_DIALOG_H_
