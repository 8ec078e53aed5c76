#ifndef KELVARO_GUI_QT_NOTIFIER_H_
#define KELVARO_GUI_QT_NOTIFIER_H_

#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/notifier.h"

namespace kelvaro::gui {

// Messages as modal message boxes over the main window. Safe to call from a worker thread:
// the box is shown by the window's thread and the caller waits for the answer.
class QtNotifier final : public Notifier {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Show(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool Ask(const std::string& title, const std::string& text, bool default_answer) override;

 private:
  QPointer<QWidget> parent_;
};

// Runs `work` on the application's thread and waits for it; runs it at once when called there.
void RunOnGuiThread(const std::function<void()>& work);

// Message texts use CR LF line breaks.
QString MessageText(const std::string& text);

}  // namespace kelvaro::gui

#endif  // KELVARO_GUI_QT_NOTIFIER_H_
