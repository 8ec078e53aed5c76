// `kelvaropro [IMAGE]`: the window program. Starts as the command line does, but only once per
// user, then runs the main window; the picture named on the command line is opened first.
#include <QApplication>
#include <QFont>
#include <cstdlib>
#include <memory>

#include "app/startup.h"
#include "gui/main_window.h"
#include "gui/qt_notifier.h"
#include "platform/cups_queues.h"
#include "platform/data_folders.h"
#include "platform/usb_printers.h"
#include "printers/printer_models.h"

namespace {

// Tests point the USB printer list at a tree of their own.
std::filesystem::path UsbRoot() {
  const std::optional<std::string> root = kelvaro::ProcessEnv("KELVARO_SYSFS_USB_ROOT");
  return root && !root->empty() ? std::filesystem::path(*root)
                                : std::filesystem::path(kelvaro::kUsbSysfsRoot);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Kelvaro Pro");
  QApplication::setDesktopFileName("kelvaropro");
  // The window's controls are laid out for a small dialog font.
  QApplication::setFont(QFont("Arial", 8));

  kelvaro::gui::QtNotifier notifier;
  kelvaro::AppContext app(kelvaro::ResolveDataFolders(), notifier);
  if (kelvaro::RunStartup(app, kelvaro::StartupOptions::Window()) ==
      kelvaro::StartupOutcome::kAnotherCopyRunning) {
    return 0;
  }

  kelvaro::gui::WindowOptions options;
  options.model_name = kelvaro::ResolveActiveModelName(app.store, UsbRoot());
  kelvaro::CupsQueueSource queues;
  options.queues = kelvaro::FillPrinterQueueList(options.model_name, queues);
  options.spooler = kelvaro::MakeSystemSpooler();
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) options.source_date_epoch = epoch;

  kelvaro::ToneCurves curves;
  {
    kelvaro::gui::MainWindow window(app, std::move(options));
    notifier.SetParent(&window);
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) window.OpenImage(arguments.at(1).toStdString());
    QApplication::exec();
    notifier.SetParent(nullptr);
    curves = window.model().state().curves;
  }
  kelvaro::WriteExitSettings(app.store, curves);
  return 0;
}
