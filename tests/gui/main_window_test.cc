// The window driven as a person would: menu entries, boxes and buttons, offscreen.
#include "gui/main_window.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/control_ids.h"
#include "app/main_window_model.h"
#include "app/startup.h"
#include "gui/gui_test_support.h"
#include "platform/cups_queues.h"
#include "printers/printer_queues.h"
#include "support/private_cupsd.h"
#include "support/recording_spooler.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
namespace c = control;
namespace m = command;

constexpr const char* kPinnedClock = testing::kPinnedJobClock;

// A window over fresh data folders, started as the program starts it.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<AppContext>(folders_.folders(), notifier_);
    ASSERT_EQ(RunStartup(*app_, StartupOptions::CommandLine()), StartupOutcome::kReady);
    notifier_.messages.clear();  // the test folders hold no shape library
  }
  void Open(PrinterQueueList queues = {}) {
    gui::WindowOptions options;
    options.model_name = "C711WT";
    options.queues = std::move(queues);
    options.spooler = MakeSystemSpooler();
    options.source_date_epoch = kPinnedClock;
    options.choose_image = [this] { return chosen_; };
    window_ = std::make_unique<gui::MainWindow>(*app_, std::move(options));
    window_->show();
    QApplication::processEvents();
  }
  QCheckBox* Box(int id) { return static_cast<QCheckBox*>(window_->widget(id)); }
  void TearDown() override {
    if (window_) window_->close();
    window_.reset();
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  std::unique_ptr<AppContext> app_;
  std::unique_ptr<gui::MainWindow> window_;
  std::optional<std::string> chosen_;
};

TEST_F(WindowTest, OpenFileCommandLoadsThePictureAndNamesIt) {
  Open();
  EXPECT_EQ(window_->windowTitle(), "Kelvaro Pro - No File");
  // Cancelled: nothing loaded, the status says so.
  window_->action(m::kOpenFile)->trigger();
  EXPECT_FALSE(window_->model().image_loaded());
  EXPECT_EQ(static_cast<QLabel*>(window_->widget(c::kStatusLine))->text().toStdString(),
            app_->texts.Get(33));

  chosen_ = testing::SampleArtwork().string();
  window_->action(m::kOpenFile)->trigger();
  EXPECT_TRUE(window_->model().image_loaded());
  EXPECT_EQ(window_->windowTitle(), "Kelvaro Pro - kelvaro-sample.png");
  EXPECT_EQ(static_cast<QLabel*>(window_->widget(c::kStatusLine))->text().toStdString(),
            app_->texts.Get(36));
  EXPECT_FALSE(window_->preview_image().isNull());
  EXPECT_GT(window_->preview_image().width(), 0);
  EXPECT_LE(window_->preview_image().width(), window_->image_area_width());
  // The recent-file entry is there, naming the picture.
  QAction* recent = window_->action(m::kRecentFile1);
  ASSERT_NE(recent, nullptr);
  QApplication::processEvents();
  recent = window_->action(m::kRecentFile1);
  EXPECT_TRUE(recent->isVisible());
  EXPECT_TRUE(notifier_.messages.empty());
}

// Each row: the clicks, then Display White, Threshold on, their enabled states and the two
// sliders' enabled states as the window shows them.
struct WhiteCase {
  const char* name;
  std::vector<int> clicks;
  bool display, display_enabled, threshold, threshold_enabled, density_slider, threshold_slider;
  bool print_white, print_cmy;
};

TEST_F(WindowTest, WhiteBoxesFollowTheRuleTable) {
  const WhiteCase cases[] = {
      {"display white on", {c::kDisplayWhite}, true, true, false, true, true, false, true, true},
      {"print white off", {c::kPrintWhite}, false, true, false, false, false, false, false, true},
      {"print cmy off", {c::kPrintCmy}, true, true, true, true, true, true, true, false},
      {"cmy off, white off brings cmy back",
       {c::kPrintCmy, c::kPrintWhite},
       true,
       false,
       true,
       false,
       true,
       true,
       false,
       true},
      {"cmy off then on",
       {c::kPrintCmy, c::kPrintCmy},
       false,
       true,
       false,
       true,
       true,
       false,
       true,
       true},
  };
  for (const WhiteCase& row : cases) {
    Open();
    // Start from white and colour printed, nothing displayed.
    if (Box(c::kDisplayWhite)->isChecked()) Box(c::kDisplayWhite)->click();
    if (Box(c::kThresholdOn)->isChecked()) Box(c::kThresholdOn)->click();
    for (int id : row.clicks) Box(id)->click();
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Box(c::kDisplayWhite)->isChecked(), row.display);
    EXPECT_EQ(Box(c::kDisplayWhite)->isEnabled(), row.display_enabled);
    EXPECT_EQ(Box(c::kThresholdOn)->isChecked(), row.threshold);
    EXPECT_EQ(Box(c::kThresholdOn)->isEnabled(), row.threshold_enabled);
    EXPECT_EQ(window_->widget(c::kWhiteDensitySlider)->isEnabled(), row.density_slider);
    EXPECT_EQ(window_->widget(c::kThresholdSlider)->isEnabled(), row.threshold_slider);
    EXPECT_EQ(Box(c::kPrintWhite)->isChecked(), row.print_white);
    EXPECT_EQ(Box(c::kPrintCmy)->isChecked(), row.print_cmy);
    window_->close();
  }
  // White only: the threshold shows 93% and the hint is on the Print CMY box.
  Open();
  Box(c::kPrintCmy)->click();
  EXPECT_EQ(static_cast<QLabel*>(window_->widget(c::kThresholdValue))->text(), "93%");
  EXPECT_EQ(static_cast<QSlider*>(window_->widget(c::kThresholdSlider))->value(), 93);
  EXPECT_EQ(Box(c::kPrintCmy)->toolTip().toStdString(), kWhiteOnlyHint);
}

// The white edge boxes forward to the model, show its snapped width, and grey with Print White.
TEST_F(WindowTest, TheWhiteEdgeBoxesReachTheModelAndGreyWithPrintWhite) {
  Open();
  auto* width = qobject_cast<QDoubleSpinBox*>(window_->widget(c::kWhiteEdgeWidth));
  auto* way = qobject_cast<QComboBox*>(window_->widget(c::kWhiteEdgeMode));
  ASSERT_NE(width, nullptr);
  ASSERT_NE(way, nullptr);
  EXPECT_EQ(width->maximum(), 1.0);
  width->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(width, Qt::Key_Up);
  EXPECT_EQ(window_->model().WhiteEdge(), 15);
  way->setCurrentIndex(way->findText(kWhiteEdgeSpread));
  EXPECT_EQ(window_->model().WhiteEdge(), -15);
  width->setValue(0.33);
  EXPECT_EQ(window_->model().WhiteEdge(), -35);
  EXPECT_DOUBLE_EQ(width->value(), 0.35);
  Box(c::kPrintWhite)->click();
  for (int id : {c::kWhiteEdgeLabel, c::kWhiteEdgeWidth, c::kWhiteEdgeMode}) {
    EXPECT_FALSE(window_->widget(id)->isEnabled()) << id;
  }
  EXPECT_TRUE(window_->widget(c::kWhiteView)->isEnabled());
}

TEST_F(WindowTest, MediaPresetSetsTrayMirrorAndWhite) {
  Open();
  auto* media = static_cast<QComboBox*>(window_->widget(c::kMediaList));
  auto* tray = static_cast<QComboBox*>(window_->widget(c::kTrayList));
  ASSERT_GT(media->count(), 2);
  int changed = 0;
  for (int index = 1; index < media->count(); ++index) {
    const std::string before = window_->model().Text(c::kTrayList) +
                               (Box(c::kMirror)->isChecked() ? "M" : "-") +
                               (Box(c::kPrintWhite)->isChecked() ? "W" : "-");
    media->setCurrentIndex(index);
    Q_EMIT media->activated(index);
    // What the widgets show is what the model holds, and what the preset chose.
    EXPECT_EQ(tray->currentText().toStdString(), window_->model().Text(c::kTrayList));
    EXPECT_EQ(Box(c::kMirror)->isChecked(), window_->model().IsChecked(c::kMirror));
    EXPECT_EQ(Box(c::kPrintWhite)->isChecked(), window_->model().IsChecked(c::kPrintWhite));
    EXPECT_EQ(Box(c::kDisplayWhite)->isEnabled(), window_->model().IsChecked(c::kPrintWhite));
    EXPECT_EQ(tray->isEnabled(), window_->model().IsEnabled(c::kTrayList));
    EXPECT_EQ(app_->store.ReadSetting("Active", "Tray"), tray->currentText().toStdString());
    const std::string after = window_->model().Text(c::kTrayList) +
                              (Box(c::kMirror)->isChecked() ? "M" : "-") +
                              (Box(c::kPrintWhite)->isChecked() ? "W" : "-");
    changed += before != after;
  }
  // The presets differ: some switch the tray, mirror or white.
  EXPECT_GT(changed, 0);
}

TEST_F(WindowTest, AccessibleNamesAndDisabledDialogEntries) {
  Open();
  // Lists, sliders and edits are named by their caption's label.
  for (int label : {c::kPrinterListLabel, c::kMediaListLabel, c::kPaperListLabel, c::kTrayListLabel,
                    c::kCopiesLabel, c::kWhiteDensityLabel, c::kThresholdLabel, c::kBrightnessLabel,
                    c::kXCopyLabel}) {
    auto* caption = static_cast<QLabel*>(window_->widget(label));
    ASSERT_NE(caption->buddy(), nullptr) << label;
  }
  EXPECT_EQ(Box(c::kMirror)->text().toStdString(), app_->texts.Get(50));
  EXPECT_TRUE(window_->action(m::kColourDialog)->isEnabled());
  EXPECT_TRUE(window_->action(m::kOpenFile)->isEnabled());
  EXPECT_FALSE(window_->action(m::kTonerOrder)->isEnabled());  // C711WT
  EXPECT_EQ(window_->action(m::kPrint)->shortcut(), QKeySequence("Ctrl+P"));
}

// A second click on Print while the first job is being sent is refused, not kept and replayed
// once the first is done: that would be a wasted transfer sheet.
TEST_F(WindowTest, AClickDuringAPrintIsRefusedNotReplayed) {
  gui::WindowOptions options;
  options.model_name = "C711WT";
  options.queues.entries = {"Queue"};
  options.queues.selected = 0;
  auto spooler = std::make_unique<testing::RecordingSpooler>();
  testing::RecordingSpooler* jobs = spooler.get();
  options.spooler = std::move(spooler);
  options.source_date_epoch = kPinnedClock;
  window_ = std::make_unique<gui::MainWindow>(*app_, std::move(options));
  window_->show();
  QApplication::processEvents();
  ASSERT_TRUE(window_->OpenImage(testing::SampleArtwork().string()));
  QWidget* print = window_->widget(c::kPrintButton);
  bool clicked_while_busy = false;
  jobs->on_send = [&] {
    // On the worker: the window is busy sending. A person clicks Print and Mirror again.
    QMetaObject::invokeMethod(
        qApp,
        [&] {
          clicked_while_busy = window_->busy();
          QTest::mouseClick(print, Qt::LeftButton);
          QTest::mouseClick(window_->widget(c::kMirror), Qt::LeftButton);
        },
        Qt::BlockingQueuedConnection);
  };
  QTest::mouseClick(print, Qt::LeftButton);
  QApplication::processEvents();
  jobs->on_send = nullptr;
  EXPECT_TRUE(clicked_while_busy);
  EXPECT_EQ(jobs->jobs.size(), 1u);
  EXPECT_FALSE(window_->model().IsChecked(c::kMirror));
  EXPECT_FALSE(static_cast<QCheckBox*>(window_->widget(c::kMirror))->isChecked());
}

// Assistive technology ticks a box through its toggle action; the model sees it as a click.
TEST_F(WindowTest, AnAccessibilityToggleReachesTheModel) {
  Open();
  ASSERT_TRUE(window_->OpenImage(testing::SampleArtwork().string()));
  QAccessibleInterface* rotate = QAccessible::queryAccessibleInterface(window_->widget(c::kRotate));
  ASSERT_NE(rotate, nullptr);
  ASSERT_NE(rotate->actionInterface(), nullptr);
  EXPECT_FALSE(rotate->text(QAccessible::Name).isEmpty());
  const float width_before = window_->session().picture().oriented_width_pt;
  rotate->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  QApplication::processEvents();
  EXPECT_TRUE(window_->model().IsChecked(c::kRotate));
  // The picture was turned for the print, not only the box ticked.
  EXPECT_FLOAT_EQ(window_->session().picture().oriented_height_pt, width_before);
}

// At rest for 10 s the window does nothing: no menu rebuilt over and over on a timer.
TEST_F(WindowTest, TheWindowAtRestUsesNoProcessor) {
  Open();
  ASSERT_TRUE(window_->OpenImage(testing::SampleArtwork().string()));
  QApplication::processEvents();
  auto cpu_seconds = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  };
  auto resident_bytes = [] {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
      std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
  };
  const double before = cpu_seconds();
  const long resident_before = resident_bytes();
  ASSERT_GT(resident_before, 0);
  QEventLoop rest;
  QTimer::singleShot(10000, &rest, &QEventLoop::quit);
  rest.exec();
  // A rebuild loop on a 0 ms timer keeps a core busy and leaks its old menus; an idle window
  // takes a few milliseconds and keeps its size.
  EXPECT_LT(cpu_seconds() - before, 0.5);
  EXPECT_LT(resident_bytes() - resident_before, 4L << 20);
  EXPECT_NE(window_->action(m::kOpenFile), nullptr);
  EXPECT_FALSE(window_->action(m::kOpenFile)->text().isEmpty());
}

// Each menu of the bar opens with its entries and stays open, from the mouse and from its
// access key, and Escape closes it again.
TEST_F(WindowTest, EveryMenuOpensWithItsEntriesAndStaysOpen) {
  Open();
  QMenuBar* bar = window_->menuBar();
  const QList<QAction*> menus = bar->actions();
  ASSERT_EQ(menus.size(), 4);
  auto open_menu = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
  auto settle = [] {
    QEventLoop wait;
    QTimer::singleShot(300, &wait, &QEventLoop::quit);
    wait.exec();
  };
  for (QAction* menu : menus) {
    const QString title = menu->text();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu).center());
    settle();
    QMenu* shown = open_menu();
    ASSERT_NE(shown, nullptr) << title.toStdString() << " by mouse";
    EXPECT_EQ(shown, menu->menu()) << title.toStdString();
    EXPECT_FALSE(shown->actions().isEmpty()) << title.toStdString();
    QTest::keyClick(shown, Qt::Key_Escape);
    settle();
    if (open_menu() != nullptr) QTest::keyClick(open_menu(), Qt::Key_Escape);

    const int amp = title.indexOf('&');
    ASSERT_GE(amp, 0) << title.toStdString();
    QTest::keyClick(window_.get(), title.at(amp + 1).toLower().toLatin1(), Qt::AltModifier);
    settle();
    shown = open_menu();
    ASSERT_NE(shown, nullptr) << title.toStdString() << " by keyboard";
    EXPECT_EQ(shown, menu->menu()) << title.toStdString();
    QTest::keyClick(shown, Qt::Key_Escape);
    settle();
  }
}

// Return on the focused Print button prints, as Space does.
TEST_F(WindowTest, ReturnOnThePrintButtonPrints) {
  Open();
  ASSERT_TRUE(window_->OpenImage(testing::SampleArtwork().string()));
  QWidget* print = window_->widget(c::kPrintButton);
  ASSERT_TRUE(print->isEnabled());
  print->setFocus();
  notifier_.messages.clear();
  QTest::keyClick(print, Qt::Key_Return);
  QApplication::processEvents();
  // No queue is set up here, so the print says so; without the key nothing would be said.
  EXPECT_FALSE(notifier_.messages.empty());
}

class WindowPrintTest : public testing::PrivateCupsdTest {};

TEST_F(WindowPrintTest, PrintButtonSendsTheSameBytesAsTheCommandLine) {
  testing::App();
  AddQueues({"Kelvaro-C711WT"});
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  const fs::path no_usb = folders.root() / "no-usb";
  ::setenv("KELVARO_SYSFS_USB_ROOT", no_usb.c_str(), 1);
  {
    AppContext app(folders.folders(), notifier);
    ASSERT_EQ(RunStartup(app, StartupOptions::CommandLine()), StartupOutcome::kReady);
    notifier.messages.clear();  // the test folders hold no shape library
    std::unique_ptr<gui::MainWindow> window = testing::OpenPrintingWindow(app);
    ASSERT_EQ(window->model().Text(c::kPrinterList), "Kelvaro-C711WT");
    ASSERT_TRUE(window->OpenImage(testing::SampleArtwork().string()));
    static_cast<QCheckBox*>(window->widget(c::kPrintCmy))->click();
    static_cast<QPushButton*>(window->widget(c::kPrintButton))->click();
    EXPECT_TRUE(notifier.messages.empty()) << notifier.messages[0].text;
    window->close();
  }
  const std::vector<std::string> from_window = cupsd_.WaitForCapturedJobs(1);
  ASSERT_EQ(from_window.size(), 1u) << cupsd_.LogExcerpt();
  const std::string expected = testing::CommandLineJob(folders, no_usb, "--no-print-cmy");
  ASSERT_GT(expected.size(), 100000u);
  EXPECT_TRUE(from_window[0] == expected) << "the window's job differs from the command line's";
  ::unsetenv("KELVARO_SYSFS_USB_ROOT");
}

// A mouse click, a key press and a medium chosen from its list reach the model however the
// window is sized, and the Print button then sends the job of the command line's twin.
TEST_F(WindowPrintTest, RealInputAtTwoWindowSizesPrintsTheCommandLinesJob) {
  testing::App();
  AddQueues({"Kelvaro-C711WT"});
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  const fs::path no_usb = folders.root() / "no-usb";
  ::setenv("KELVARO_SYSFS_USB_ROOT", no_usb.c_str(), 1);
  {
    AppContext app(folders.folders(), notifier);
    ASSERT_EQ(RunStartup(app, StartupOptions::CommandLine()), StartupOutcome::kReady);
    notifier.messages.clear();
    std::unique_ptr<gui::MainWindow> window = testing::OpenPrintingWindow(app);
    ASSERT_TRUE(window->OpenImage(testing::SampleArtwork().string()));
    // The medium ticks Mirror; the picture must follow.
    auto* media = static_cast<QComboBox*>(window->widget(c::kMediaList));
    const int medium_j = media->findText("Kelvaro Medium J");
    ASSERT_GE(medium_j, 0);
    media->setCurrentIndex(medium_j);
    Q_EMIT media->activated(medium_j);
    QTest::mouseClick(window->widget(c::kRotate), Qt::LeftButton);
    QWidget* flip = window->widget(c::kFlip);
    flip->setFocus();
    QTest::keyClick(flip, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_TRUE(window->model().IsChecked(c::kMirror));
    EXPECT_TRUE(window->model().IsChecked(c::kRotate));
    EXPECT_TRUE(window->model().IsChecked(c::kFlip));
    QTest::mouseClick(window->widget(c::kPrintButton), Qt::LeftButton);
    window->resize(1400, 800);
    QApplication::processEvents();
    EXPECT_GT(window->image_area_width(), 310);
    QTest::mouseClick(window->widget(c::kPrintButton), Qt::LeftButton);
    window->close();
  }
  const std::vector<std::string> from_window = cupsd_.WaitForCapturedJobs(2);
  ASSERT_EQ(from_window.size(), 2u) << cupsd_.LogExcerpt();
  const std::string expected =
      testing::CommandLineJob(folders, no_usb, "--media 'Kelvaro Medium J' --rotate --flip");
  EXPECT_TRUE(from_window[0] == expected) << "the job at the first size differs";
  EXPECT_TRUE(from_window[1] == expected) << "the job at the second size differs";
  ::unsetenv("KELVARO_SYSFS_USB_ROOT");
}

}  // namespace
}  // namespace kelvaro
