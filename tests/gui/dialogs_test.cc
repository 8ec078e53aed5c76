// Each dialog opened from its menu entry and driven as a person would, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/control_ids.h"
#include "app/startup.h"
#include "gui/colour_adjust_dialog.h"
#include "gui/gui_test_support.h"
#include "gui/main_window.h"
#include "settings/language_file.h"
#include "stats/cost_estimate.h"
#include "support/pgm.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
namespace c = control;
namespace m = command;

// Runs `act` on the next modal dialog, as soon as it is up. Work that runs first (a print)
// keeps processing timers, so the dialog is waited for rather than assumed.
void OnNextDialog(std::function<void(QDialog*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  poll->start();
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    ::setenv("KELVARO_SYSFS_USB_ROOT", (folders_.root() / "no-usb").c_str(), 1);
    app_ = std::make_unique<AppContext>(folders_.folders(), notifier_);
    ASSERT_EQ(RunStartup(*app_, StartupOptions::CommandLine()), StartupOutcome::kReady);
    notifier_.messages.clear();  // the test folders hold no shape library
  }
  void TearDown() override {
    if (window_) window_->close();
    window_.reset();
    ::unsetenv("KELVARO_SYSFS_USB_ROOT");
  }
  // The window printing into a job file, its planes dumped beside it.
  void Open(const std::string& model = "C711WT") {
    gui::WindowOptions options;
    options.model_name = model;
    options.queues.entries = {"file:" + (folders_.root() / "job.ps").string()};
    options.queues.selected = 0;
    options.spooler = MakeSystemSpooler();
    options.source_date_epoch = "1700000000";
    options.dump_separations = folders_.root() / "planes";
    window_ = std::make_unique<gui::MainWindow>(*app_, std::move(options));
    window_->show();
    QApplication::processEvents();
  }
  // Runs `drive` on the dialog the menu entry `id` opens; the dialog must be closed by it.
  void Drive(int id, const std::function<void(QDialog*)>& drive) {
    bool seen = false;
    OnNextDialog([&](QDialog* dialog) {
      seen = true;
      drive(dialog);
    });
    QAction* entry = window_->action(id);
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->isEnabled()) << id;
    entry->trigger();
    EXPECT_TRUE(seen) << "no dialog for " << id;
  }
  std::string Active(const char* key) { return app_->store.ReadSetting("Active", key); }
  static void Enter(QWidget* widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
  }
  static void Mouse(QWidget* canvas, QEvent::Type type, int x, int y) {
    const QPointF at(x, y);
    QMouseEvent event(type, at, canvas->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
  }
  // Drags a point of the curve from one canvas pixel to another.
  static void DragPoint(QWidget* canvas, QPoint from, QPoint to) {
    Mouse(canvas, QEvent::MouseButtonPress, from.x(), from.y());
    Mouse(canvas, QEvent::MouseMove, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
    Mouse(canvas, QEvent::MouseMove, to.x(), to.y());
    Mouse(canvas, QEvent::MouseButtonRelease, to.x(), to.y());
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  std::unique_ptr<AppContext> app_;
  std::unique_ptr<gui::MainWindow> window_;
};

TEST_F(DialogTest, JpegSliderAtTheEndStores21) {
  Open();
  Drive(m::kJpegSettings, [](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Jpg Background Removal");
    auto* slider = testing::FindChild<QSlider>(*dialog, "background_removal_threshold");
    EXPECT_EQ(slider->value(), 20);  // the stored 5
    slider->triggerAction(QAbstractSlider::SliderToMaximum);
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  EXPECT_DOUBLE_EQ(ReadLeadingDecimal(Active("JPEG Artifact")), 21);
}

TEST_F(DialogTest, BlackRemovalStoresEveryMoveAndRedraws) {
  Open();
  ASSERT_TRUE(window_->OpenImage(testing::SampleArtwork().string()));
  window_->model().Click(c::kBlackRemoval);
  Drive(m::kBlackRemovalDialog, [&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Black Removal");
    EXPECT_EQ(Active("BLACK Removal Fuzzy"), "5");
    auto* slider = testing::FindChild<QSlider>(*dialog, "black_removal_threshold");
    EXPECT_EQ(static_cast<QLabel*>(dialog->findChildren<QLabel*>().first())->buddy(), slider);
    slider->setValue(25);
    // Stored at once, before OK.
    EXPECT_DOUBLE_EQ(ReadLeadingDecimal(Active("BLACK Removal Fuzzy")), 12.5);
    slider->setValue(0);
    EXPECT_DOUBLE_EQ(ReadLeadingDecimal(Active("BLACK Removal Fuzzy")), 1);
    slider->setValue(25);
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  EXPECT_DOUBLE_EQ(ReadLeadingDecimal(Active("BLACK Removal Fuzzy")), 12.5);
}

TEST_F(DialogTest, UnitsChoiceIsStoredAtOnceAndShownByTheWindow) {
  Open();
  Drive(m::kUnitsSettings, [&](QDialog* dialog) {
    EXPECT_TRUE(testing::FindChild<QRadioButton>(*dialog, "millimetres")->isChecked());
    testing::FindChild<QRadioButton>(*dialog, "centimetres")->click();
    EXPECT_EQ(Active("Unit"), "C");
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  EXPECT_EQ(window_->model().Text(c::kUnitLabel), app_->texts.Get(3));
}

TEST_F(DialogTest, MarginsAreRaisedOnEnterAndOnOk) {
  Open();
  Drive(m::kPrintMargins, [&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Print Margins");
    // No attached printer of the model: nothing to ask.
    EXPECT_FALSE(testing::FindChild<QPushButton>(*dialog, "get_printer_margins")->isEnabled());
    auto* top = testing::FindChild<QLineEdit>(*dialog, "top");
    EXPECT_EQ(top->text(), "4.57");  // 12.96 pt × 0.3528
    top->setText("3");
    Enter(top);
    EXPECT_EQ(top->text(), "4.57");
    EXPECT_TRUE(dialog->isVisible());  // Enter in a box is no OK
    for (const char* side : {"top", "left", "right", "bottom"}) {
      testing::FindChild<QLineEdit>(*dialog, side)->setText("0");
    }
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  EXPECT_EQ(Active("Top Margin"), "1296");
  EXPECT_EQ(Active("Bottom Margin"), "1308");
}

// The size rules are the model's (tests/app); here the boxes, the list and the window's paper
// list follow them.
TEST_F(DialogTest, CustomSizeRefusedShowsDashesSavedReachesThePaperList) {
  Open();
  Drive(m::kCustomPaperSize, [&](QDialog* dialog) {
    auto* width = testing::FindChild<QLineEdit>(*dialog, "x_size");
    auto* height = testing::FindChild<QLineEdit>(*dialog, "y_size");
    testing::FindChild<QLineEdit>(*dialog, "paper_size")->setText("Wide");
    width->setText("216");
    height->setText("300");
    testing::FindChild<QPushButton>(*dialog, "save")->click();
    EXPECT_EQ(width->text(), "----");
    // 215.9 mm fits the C711WT.
    width->setText("215.9");
    testing::FindChild<QPushButton>(*dialog, "save")->click();
    EXPECT_EQ(testing::FindChild<QComboBox>(*dialog, "custom_sizes")->currentText(), "Wide");
    testing::FindChild<QPushButton>(*dialog, "exit")->click();
  });
  EXPECT_EQ(app_->store.ReadSetting("Papers", "Number"), "1");
  EXPECT_GE(window_->model().FindItem(c::kPaperList, "Wide"), 0);
}

TEST_F(DialogTest, ColourCancelAfterThreeDragsRestoresTheTable) {
  Open();
  const ToneCurveTable before = window_->model().state().tone_table;
  const ToneCurves curves_before = window_->model().state().curves;
  Drive(m::kColourDialog, [&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Colour Adjust");
    QWidget* canvas = dialog->findChild<QWidget*>("colour_adjust_canvas");
    ASSERT_NE(canvas, nullptr);
    // P1 (165, 165), P2 (87, 86), P3 (0, 0), each picked off its centre within its box.
    DragPoint(canvas, {167, 88}, {150, 60});
    DragPoint(canvas, {86, 171}, {90, 120});
    testing::FindChild<QComboBox>(*dialog, "colour_adjust_channel")
        ->setCurrentIndex(2);  // magenta alone
    DragPoint(canvas, {1, 254}, {20, 230});
    // The window's table followed the releases.
    EXPECT_NE(window_->model().state().tone_table.levels, before.levels);
    testing::FindChild<QPushButton>(*dialog, "cancel")->click();
  });
  const ToneCurveTable& after = window_->model().state().tone_table;
  EXPECT_EQ(std::memcmp(after.levels.data(), before.levels.data(), sizeof(before.levels)), 0);
  EXPECT_EQ(EncodeToneCurves(window_->model().state().curves), EncodeToneCurves(curves_before));
}

TEST_F(DialogTest, PrintAfterColourOkCarriesTheNewCurves) {
  Open();
  ASSERT_TRUE(window_->OpenImage(testing::SampleArtwork().string()));
  auto print = [&](const char* name) {
    static_cast<QPushButton*>(window_->widget(c::kPrintButton))->click();
    EXPECT_TRUE(notifier_.messages.empty()) << notifier_.messages[0].text;
    fs::rename(folders_.root() / "planes", folders_.root() / name);
  };
  // The table as a drag in the colour window builds it (a drag of P2 onto itself), so that
  // only the second drag's curve differs.
  Drive(m::kColourDialog, [&](QDialog* dialog) {
    DragPoint(dialog->findChild<QWidget*>("colour_adjust_canvas"), {87, 169}, {87, 169});
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  print("before");
  const ToneCurveTable old_table = window_->model().state().tone_table;
  Drive(m::kColourDialog, [&](QDialog* dialog) {
    // "All": P2 raised, so cyan, magenta and yellow all come out stronger in the middle.
    DragPoint(dialog->findChild<QWidget*>("colour_adjust_canvas"), {87, 169}, {87, 110});
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  const ToneCurveTable& new_table = window_->model().state().tone_table;
  ASSERT_NE(new_table.levels, old_table.levels);
  print("after");
  int changed = 0;
  for (int plane = 0; plane < 3; ++plane) {
    const std::string file = "plane" + std::to_string(plane + 1) + ".pgm";
    const testing::Gray a = *testing::ReadPgm(folders_.root() / "before" / file);
    const testing::Gray b = *testing::ReadPgm(folders_.root() / "after" / file);
    ASSERT_EQ(a.bytes.size(), b.bytes.size());
    ASSERT_GT(a.bytes.size(), 0u);
    // The curve rose everywhere and nowhere fell: so did every pixel of the plane.
    for (int x = 0; x < 256; ++x) {
      ASSERT_GE(new_table.levels[plane][x], old_table.levels[plane][x]) << x;
    }
    for (std::size_t i = 0; i < a.bytes.size(); ++i) {
      const int was = static_cast<unsigned char>(a.bytes[i]);
      const int is = static_cast<unsigned char>(b.bytes[i]);
      ASSERT_GE(is, was) << "plane " << plane + 1 << " pixel " << i;
      changed += is > was;
    }
  }
  // The spare plane stays empty.
  EXPECT_TRUE(
      testing::ReadPgm(folders_.root() / "after" / "plane5.pgm")->bytes ==
      std::string(testing::ReadPgm(folders_.root() / "before" / "plane5.pgm")->bytes.size(), '\0'));
  EXPECT_GT(changed, 0);
}

TEST_F(DialogTest, CostResultShowsTheFormulasFigureAndCopiesTheSentence) {
  SettingsStore& store = app_->store;
  store.WriteSetting("Stats", "Option", "2");
  store.WriteSetting("Stats", "CMYT", "CMY,10000,5%,200,A4");
  store.WriteSetting("Stats", "WhitT", "W,5000,5%,100,A4");
  store.WriteSetting("Stats", "IDCMY", "D,20000,300");
  store.WriteSetting("Stats", "IDWH", "DW,20000,150");
  store.WriteSetting("Stats", "Fuser", "F,100000,150");
  store.WriteSetting("Stats", "Transfer Belt", "B,50000,100");
  store.WriteSetting("Stats", "Currancy", "Euro");
  Open();
  ASSERT_TRUE(window_->OpenImage(testing::SampleArtwork().string()));
  QApplication::clipboard()->clear();
  std::string message, sentence;
  bool shown = false;
  OnNextDialog([&](QDialog* dialog) {
    shown = true;
    EXPECT_EQ(dialog->windowTitle(), "Print Statistics Setup");
    message = testing::FindChild<QLabel>(*dialog, "message")->text().toStdString();
    EXPECT_EQ(testing::FindChild<QLabel>(*dialog, "mode_line")->text(),
              "The Current setting is Print & Statistics");
    testing::FindChild<QPushButton>(*dialog, "copy_to_clipboard")->click();
    sentence = QApplication::clipboard()->text().toStdString();
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  static_cast<QPushButton*>(window_->widget(c::kPrintButton))->click();
  ASSERT_TRUE(shown);

  // The figure by the formula, from the planes the job carried.
  const long long x = std::stoll(store.ReadSetting("Stats", "Xpixel"));
  const long long y = std::stoll(store.ReadSetting("Stats", "Ypixel"));
  double coverage[4];
  for (int plane = 0; plane < 4; ++plane) {
    const testing::Gray p = *testing::ReadPgm(folders_.root() / "planes" /
                                              ("plane" + std::to_string(plane + 1) + ".pgm"));
    ASSERT_EQ(static_cast<long long>(p.bytes.size()), x * y);
    double sum = 0;
    for (char byte : p.bytes) sum += static_cast<unsigned char>(byte);
    coverage[plane] = std::nearbyint(100 * std::nearbyint(sum / 255) / static_cast<double>(x * y));
  }
  const double area = ReadLeadingDecimal(store.ReadSetting("Stats", "Ypoint")) / 72 *
                      ReadLeadingDecimal(store.ReadSetting("Stats", "Xpoint")) / 72;
  const double reference = (842.0 / 72) * (595.0 / 72);
  const double cmy = 200.0 / 10000 / 5 / reference * area;
  const double white = 100.0 / 5000 / 5 / reference * area;
  const double toner = (coverage[0] + coverage[1] + coverage[2]) * cmy + coverage[3] * white;
  const double parts =
      (coverage[3] > 0 ? 150.0 / 20000 : 0) + 3 * 300.0 / 20000 + 150.0 / 100000 + 100.0 / 50000;
  const std::string figure = FormatAmount(toner + parts);
  EXPECT_NE(message.find(figure), std::string::npos) << message << " / " << figure;
  EXPECT_NE(sentence.find("kelvaro-sample.png"), std::string::npos) << sentence;
  EXPECT_NE(sentence.find(figure), std::string::npos) << sentence;
  const std::string ending = " plus the transfer paper.";
  ASSERT_GE(sentence.size(), ending.size());
  EXPECT_EQ(sentence.substr(sentence.size() - ending.size()), ending);
}

TEST_F(DialogTest, PrinterModeNoteAndDriverOff) {
  Open();
  Drive(m::kPrinterMode, [&](QDialog* dialog) {
    EXPECT_TRUE(testing::FindChild<QPushButton>(*dialog, "driver_on")->isChecked());
    EXPECT_EQ(testing::FindChild<QLabel>(*dialog, "printer_mode_note")->text().toStdString(),
              app_->texts.Get(136));
    testing::FindChild<QPushButton>(*dialog, "driver_off")->click();
  });
  EXPECT_EQ(app_->store.ReadSetting("ACTIVE", "Print Set"), "on");
  const std::string job = testing::ReadFileBytes(folders_.root() / "job.ps");
  EXPECT_NE(job.find("@PJL DEFAULT OKICMYKCONVERSION=OFF"), std::string::npos);
  // Opened again, "Driver Off" is the selected one; Exit sends nothing.
  fs::remove(folders_.root() / "job.ps");
  Drive(m::kPrinterMode, [&](QDialog* dialog) {
    EXPECT_TRUE(testing::FindChild<QPushButton>(*dialog, "driver_off")->isChecked());
    testing::FindChild<QPushButton>(*dialog, "exit")->click();
  });
  EXPECT_FALSE(fs::exists(folders_.root() / "job.ps"));
}

TEST_F(DialogTest, StatisticsSetupModeAtOnceRecordsOnSave) {
  Open();
  Drive(m::kStatisticsSetup, [&](QDialog* dialog) {
    EXPECT_EQ(testing::FindChild<QLineEdit>(*dialog, "toner_cmy")->text(), "CMY");
    testing::FindChild<QRadioButton>(*dialog, "statistics_only")->click();
    EXPECT_EQ(app_->store.ReadSetting("Stats", "Option"), "1");
    testing::FindChild<QLineEdit>(*dialog, "fuser")->setText("Fuser");
    testing::FindChild<QLineEdit>(*dialog, "fuser_yield")->setText("100000");
    testing::FindChild<QLineEdit>(*dialog, "fuser_cost")->setText("150");
    testing::FindChild<QLineEdit>(*dialog, "currency_display")->setText("GBP");
    testing::FindChild<QPushButton>(*dialog, "save")->click();
    EXPECT_FALSE(dialog->isVisible());
  });
  EXPECT_EQ(app_->store.ReadSetting("Stats", "Fuser"), "Fuser,100000,150");
  EXPECT_EQ(app_->store.ReadSetting("Stats", "Currancy"), "GBP");
}

TEST_F(DialogTest, LanguageChoiceAsksForANewWindow) {
  const std::optional<std::string> file =
      WriteLanguageFile({{6, "Fertig"}, {80, "Sprache"}}, "test");
  ASSERT_TRUE(file);
  // The program folder is the build's staged data, shared with other tests: the file goes
  // again when the test ends, however it ends.
  const fs::path german = folders_.folders().program / "German.lan3";
  std::ofstream(german, std::ios::binary) << *file;
  const std::unique_ptr<const fs::path, void (*)(const fs::path*)> remove_german(
      &german, [](const fs::path* path) { fs::remove(*path); });
  Open();
  Drive(m::kLanguage, [&](QDialog* dialog) {
    auto* list = testing::FindChild<QListWidget>(*dialog, "select_language_from_the_list");
    ASSERT_GE(list->count(), 1);
    const auto items = list->findItems("German", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    list->setCurrentItem(items[0]);
    testing::FindChild<QPushButton>(*dialog, "ok")->click();
  });
  EXPECT_TRUE(window_->rebuild_requested());
  EXPECT_EQ(Active("Language"), "German.lan3");
  EXPECT_EQ(app_->texts.Get(6), "Fertig");
}

}  // namespace
}  // namespace kelvaro
