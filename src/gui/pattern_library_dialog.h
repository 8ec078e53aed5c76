#ifndef KELVARO_GUI_PATTERN_LIBRARY_DIALOG_H_
#define KELVARO_GUI_PATTERN_LIBRARY_DIALOG_H_

#include <QDialog>

#include "app/app_context.h"

class QListWidget;

namespace kelvaro::gui {

// "Library Edit": the shapes of the user's library in a list; a click puts "** " in front of a
// name or takes it away, OK removes the marked shapes, Cancel leaves the library alone.
class PatternLibraryDialog final : public QDialog {
 public:
  explicit PatternLibraryDialog(AppContext& app, QWidget* parent = nullptr);

 private:
  void RemoveMarked();

  AppContext& app_;
  QListWidget* list_ = nullptr;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_PATTERN_LIBRARY_DIALOG_H_
