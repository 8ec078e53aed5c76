#ifndef KELVARO_TESTS_GUI_GUI_TEST_SUPPORT_H_
#define KELVARO_TESTS_GUI_GUI_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "gui/main_window.h"
#include "platform/cups_queues.h"
#include "support/test_env.h"

namespace kelvaro::testing {

// The clock the printing tests pin, so that the window's and the command line's jobs compare.
inline constexpr char kPinnedJobClock[] = "1700000000";

// The window for a C711WT as the program opens it, listing the print system's queues.
inline std::unique_ptr<gui::MainWindow> OpenPrintingWindow(AppContext& app) {
  gui::WindowOptions options;
  options.model_name = "C711WT";
  CupsQueueSource source;
  options.queues = FillPrinterQueueList("C711WT", source);
  options.spooler = MakeSystemSpooler();
  options.source_date_epoch = kPinnedJobClock;
  auto window = std::make_unique<gui::MainWindow>(app, std::move(options));
  window->show();
  QApplication::processEvents();
  return window;
}

// The job `kelvaro print` makes of the sample artwork for a C711WT with `options`, run over the
// test's folders; "" (and a failed check) when it fails.
inline std::string CommandLineJob(const TestFolders& folders, const std::filesystem::path& no_usb,
                                  const std::string& options, const std::string& name = "cli.ps") {
  const std::filesystem::path job = folders.root() / name;
  auto quoted = [](const std::filesystem::path& p) { return "'" + p.string() + "'"; };
  const std::string command = "KELVARO_USER_DIR=" + quoted(folders.folders().user) +
                              " KELVARO_COMMON_DIR=" + quoted(folders.folders().common) +
                              " KELVARO_PROGRAM_DIR=" + quoted(folders.folders().program) +
                              " KELVARO_SYSFS_USB_ROOT=" + quoted(no_usb) +
                              " SOURCE_DATE_EPOCH=" + kPinnedJobClock + " " +
                              quoted(KelvaroBinary()) + " print " + quoted(SampleArtwork()) +
                              " --model C711WT " + options + " --output " + quoted(job) + " 2>&1";
  const CommandResult cli = RunCommand(command);
  EXPECT_EQ(cli.status, 0) << cli.out;
  return ReadFileBytes(job);
}

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
