#ifndef KELVARO_GUI_JPEG_SETTINGS_DIALOG_H_
#define KELVARO_GUI_JPEG_SETTINGS_DIALOG_H_

#include <QDialog>

#include "app/dialog_models.h"

namespace kelvaro::gui {

// "Jpg Background Removal": the view of a JpegSettingsModel.
class JpegSettingsDialog final : public QDialog {
 public:
  JpegSettingsDialog(JpegSettingsModel& model, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_JPEG_SETTINGS_DIALOG_H_
