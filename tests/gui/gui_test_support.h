#ifndef KELVARO_TESTS_GUI_GUI_TEST_SUPPORT_H_
#define KELVARO_TESTS_GUI_GUI_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kelvaro::testing {

// The one application object of a GUI test binary.
inline QApplication& App() {
  static int argc = 1;
  static char name[] = "kelvaro_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The child widget named `name`; a failed check when there is none.
template <typename T>
T* FindChild(QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name;
  return child;
}

// Runs `act` on the dialog of type T once it is up (a modal dialog blocks the caller until it
// closes); closes it afterwards if `act` left it open, so a failed check never hangs the test.
template <typename T>
void WhenShown(std::function<void(T&)> act, int tries = 200) {
  QTimer::singleShot(10, [act, tries] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* dialog = dynamic_cast<T*>(top); dialog != nullptr && dialog->isVisible()) {
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
        return;
      }
    }
    if (tries > 0) WhenShown<T>(act, tries - 1);
  });
}

}  // namespace kelvaro::testing

#endif  // KELVARO_TESTS_GUI_GUI_TEST_SUPPORT_H_
