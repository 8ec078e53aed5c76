#ifndef KELVARO_GUI_LANGUAGE_DIALOG_H_
#define KELVARO_GUI_LANGUAGE_DIALOG_H_

#include <QDialog>
#include <filesystem>

#include "app/dialog_rules.h"

class QListWidget;

namespace kelvaro::gui {

// "Language Selection": the language files of the program folder. `change()` says after the
// dialog closed whether the texts changed, so that the window must be built again.
class LanguageDialog final : public QDialog {
 public:
  LanguageDialog(SettingsStore& store, UiText& texts, Notifier& notifier,
                 std::filesystem::path program_folder, QWidget* parent = nullptr);
  LanguageChange change() const { return change_; }

 private:
  LanguageChange change_ = LanguageChange::kNone;
  QListWidget* list_;
};

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_LANGUAGE_DIALOG_H_
