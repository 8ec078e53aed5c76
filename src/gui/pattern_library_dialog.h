#ifndef KELVARO_GUI_PATTERN_LIBRARY_DIALOG_H_
#define KELVARO_GUI_PATTERN_LIBRARY_DIALOG_H_

#include <QDialog>

#include "app/pattern_dialogs.h"

namespace kelvaro::gui {

// "Library Edit": the view of a PatternLibraryModel.
class PatternLibraryDialog final : public QDialog {
 public:
  PatternLibraryDialog(PatternLibraryModel& model, const UiText& texts, QWidget* parent = nullptr);
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PATTERN_LIBRARY_DIALOG_H_
