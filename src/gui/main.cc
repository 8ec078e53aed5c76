// `kelvaropro [IMAGE]`: the window program. Starts as the command line does, but only once per
// user, then runs the main window; the picture named on the command line is opened first.
#include <QApplication>
#include <QFont>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "app/startup.h"
#include "gui/main_window.h"
#include "gui/qt_notifier.h"
#include "platform/cups_queues.h"
#include "platform/data_folders.h"
#include "platform/usb_printers.h"
#include "printers/printer_models.h"

namespace {

// An exception must not leave an event handler: Qt cannot unwind through its event loop. A
// failed allocation ends the program with a message; every stored file is replaced as a
// whole, so what was stored before stays.
class Application : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
      Stop("Kelvaro Pro ran out of memory and must close. The stored settings are kept.");
    } catch (const std::exception& error) {
      Stop(std::string("Kelvaro Pro must close: ") + error.what());
    }
    return false;
  }

  [[noreturn]] static void Stop(const std::string& text) {
    std::fprintf(stderr, "kelvaropro: %s\n", text.c_str());
    std::fflush(stderr);
    // The box may itself fail for want of memory; the line above has said it already.
    if (QApplication::instance() != nullptr) {
      try {
        QMessageBox::critical(nullptr, "Kelvaro Pro", QString::fromStdString(text));
      } catch (...) {
      }
    }
    std::_Exit(1);
  }
};

// Tests point the USB printer list at a tree of their own.
std::filesystem::path UsbRoot() {
  const std::optional<std::string> root = kelvaro::ProcessEnv("KELVARO_SYSFS_USB_ROOT");
  return root && !root->empty() ? std::filesystem::path(*root)
                                : std::filesystem::path(kelvaro::kUsbSysfsRoot);
}

int Run(int argc, char** argv) {
  Application application(argc, argv);
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

  kelvaro::ToneCurves curves;
  kelvaro::ToneCurveTable table;
  bool first = true;
  // The picture outlives a rebuild of the window after a language change.
  std::optional<kelvaro::Session::KeptPicture> kept;
  for (bool again = true; again;) {
    kelvaro::gui::WindowOptions options;
    const std::vector<std::string> usb = kelvaro::ReadUsbPrinterEntries(UsbRoot());
    options.model_name = kelvaro::ResolveActiveModelName(app.store, usb);
    kelvaro::CupsQueueSource queues;
    options.queues = kelvaro::FillPrinterQueueList(options.model_name, queues);
    options.spooler = kelvaro::MakeSystemSpooler();
    options.usb_entries = usb;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) options.source_date_epoch = epoch;
    if (!first) {
      // A language change: the window comes back with the new texts and the stored settings.
      kelvaro::StoredSettings stored = kelvaro::LoadStoredSettings(app.store, app.texts);
      app.job_settings = std::move(stored.job);
      app.recent_files = std::move(stored.recent_files);
    }
    kelvaro::gui::MainWindow window(app, std::move(options));
    // The curves in force (the colour window's edits included) outlive the rebuild.
    if (!first) window.model().SetToneCurves(curves, table);
    if (kept) window.AdoptPicture(std::move(*kept));
    kept.reset();
    notifier.SetParent(&window);
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (first && arguments.size() > 1) window.OpenImage(arguments.at(1).toStdString());
    first = false;
    QApplication::exec();
    notifier.SetParent(nullptr);
    curves = window.model().state().curves;
    table = window.model().state().tone_table;
    again = window.rebuild_requested();
    if (again) kept = window.session().TakePicture();
  }
  kelvaro::WriteExitSettings(app.store, curves);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    Application::Stop(
        "Kelvaro Pro ran out of memory and must close. The stored settings are kept.");
  } catch (const std::exception& error) {
    Application::Stop(std::string("Kelvaro Pro must close: ") + error.what());
  }
}
