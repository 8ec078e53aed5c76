// The pattern windows driven as a person would: from the main window's menu, typing into the
// boxes, moving sliders, clicking list entries and buttons; then what the files hold.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/pattern_setup.h"
#include "app/startup.h"
#include "gui/gui_test_support.h"
#include "gui/main_window.h"
#include "gui/pattern_import_dialog.h"
#include "gui/pattern_library_dialog.h"
#include "gui/pattern_setup_dialog.h"
#include "pattern/pattern_print.h"
#include "pattern/shape_library.h"
#include "platform/cups_queues.h"
#include "printers/printer_queues.h"
#include "settings/keys.h"
#include "support/private_cupsd.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
namespace c = control;
namespace m = command;

constexpr char kPinnedClock[] = "1700000000";

// Typing replaces what the box shows, then Return.
void Type(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(edit, &press);
  }
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(edit, &enter);
}

void Choose(QComboBox* list, const QString& text) {
  const int index = list->findText(text);
  ASSERT_GE(index, 0) << text.toStdString();
  list->setCurrentIndex(index);
  Q_EMIT list->activated(index);
}

void ClickEntry(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << text.toStdString();
  const QPoint at = list->visualItemRect(found[0]).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &event);
  }
}

// The share of the preview that keeps its ink (black).
double InkShare(const QImage& image) {
  long long ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) ink += row[x] == 0;
  }
  return static_cast<double>(ink) / (static_cast<double>(image.width()) * image.height());
}

std::vector<std::string> Items(QComboBox* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
  return items;
}

// Every list, slider and edit of the window is named by a caption label; every button has a
// caption.
void ExpectLabelled(QWidget& dialog) {
  std::vector<QWidget*> named;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) named.push_back(label->buddy());
  }
  auto is_named = [&](QWidget* w) {
    return std::find(named.begin(), named.end(), w) != named.end();
  };
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    if (qobject_cast<QComboBox*>(w) || qobject_cast<QSlider*>(w) || qobject_cast<QListWidget*>(w) ||
        (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget()))) {
      EXPECT_TRUE(is_named(w)) << dialog.objectName().toStdString() << ": "
                               << w->objectName().toStdString();
    }
  }
  for (QPushButton* b : dialog.findChildren<QPushButton*>()) EXPECT_FALSE(b->text().isEmpty());
}

ShapeRecord Square(const std::string& name) {
  ShapeRecord shape;
  shape.name = name;
  shape.polygons.push_back({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, kShapeBlack});
  return shape;
}

std::string Drawing(const std::string& version) {
  return "%!PS-Adobe-3.0\n%%Creator: Adobe Illustrator(R) " + version +
         "\n%%EndComments\n%%BeginSetup\n%%EndSetup\n"
         "0 0 0 1 k\n50 20 m\n250 20 L\n150 220 l\nf\n%%PageTrailer\n%%Trailer\n";
}

class PatternDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::App();
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<AppContext>(folders_.folders(), notifier_);
    ASSERT_EQ(RunStartup(*app_, StartupOptions::CommandLine()), StartupOutcome::kReady);
    notifier_.messages.clear();  // the test folders hold no master library
    library_ = folders_.folders().user / "shape.lib";
    app_->store.WriteSetting("Active", "Shape Library", library_.string());
    app_->store.WriteSetting("Active", "Unit", "M");
  }
  void Open() {
    gui::WindowOptions options;
    options.model_name = "C711WT";
    options.spooler = MakeSystemSpooler();
    options.source_date_epoch = kPinnedClock;
    options.pattern_choices.choose_drawing = [this](const std::string& start) {
      start_folders_.push_back(start);
      return drawing_;
    };
    options.pattern_choices.ask_replace = [this](const std::string& name) {
      replace_questions_.push_back(name);
      return replace_answer_;
    };
    window_ = std::make_unique<gui::MainWindow>(*app_, std::move(options));
    window_->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    if (window_) window_->close();
    window_.reset();
  }
  std::string Stored(const char* key) const {
    return app_->store.ReadSetting(keys::pattern::kSection, key);
  }
  std::vector<std::string> Library() const { return ListShapes(library_).names; }
  // Opens the pattern setup from the menu and runs `act` in it.
  void InSetup(std::function<void(gui::PatternSetupDialog&)> act) {
    bool shown = false;
    testing::WhenShown<gui::PatternSetupDialog>([&](gui::PatternSetupDialog& dialog) {
      shown = true;
      act(dialog);
    });
    window_->action(m::kPatternPrintSetup)->trigger();
    EXPECT_TRUE(shown);
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  std::unique_ptr<AppContext> app_;
  std::unique_ptr<gui::MainWindow> window_;
  fs::path library_;
  std::optional<std::string> drawing_;
  std::vector<std::string> start_folders_;
  std::vector<std::string> replace_questions_;
  bool replace_answer_ = true;
};

TEST_F(PatternDialogTest, SetupStoresTheChosenPatternAndInvertsAtOnce) {
  ASSERT_TRUE(StoreShape(library_, Square("Star"), nullptr).stored());
  app_->store.WriteSetting(keys::pattern::kGap,
                           "-3");  // corrected when the window opens
  app_->store.WriteSetting(keys::pattern::kMask, "0");
  Open();
  EXPECT_TRUE(window_->action(m::kPatternPrintSetup)->isEnabled());
  EXPECT_TRUE(window_->widget(c::kPatternPrintButton)->isEnabled());

  InSetup([&](gui::PatternSetupDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Pattern Print Setup");
    ExpectLabelled(dialog);
    EXPECT_EQ(Stored("Gap"), "1");
    auto* shape = testing::FindChild<QComboBox>(dialog, "mask_shape");
    EXPECT_EQ(Items(shape), (std::vector<std::string>{"Ellipse", "Rectangle", "Vertical Lines",
                                                      "Horizontal Lines", "Star"}));
    Choose(shape, "Rectangle");
    Choose(testing::FindChild<QComboBox>(dialog, "screen_angle_0_45"), "0");
    Type(testing::FindChild<QLineEdit>(dialog, "width_value"), "2");
    Type(testing::FindChild<QLineEdit>(dialog, "height_value"), "12");  // above 10 mm: 4
    EXPECT_EQ(testing::FindChild<QLineEdit>(dialog, "height_value")->text(), "4.0");
    EXPECT_EQ(testing::FindChild<QSlider>(dialog, "height")->value(), 38);  // 37.5 to even
    Type(testing::FindChild<QLineEdit>(dialog, "shape_gap_value"), "7");    // above 5 mm: 1
    EXPECT_EQ(testing::FindChild<QLineEdit>(dialog, "shape_gap_value")->text(), "1.0");
    testing::FindChild<QSlider>(dialog, "height")->setValue(12);  // 12 ÷ 12.5 + 1 = 1.96 mm
    EXPECT_EQ(testing::FindChild<QLineEdit>(dialog, "height_value")->text(), "2.0");
    // Nothing is stored before Print or Save Settings.
    EXPECT_EQ(Stored("Shape"), "Ellipse");

    // 2 × 1.96 mm boxes, 1 mm apart, at 8 pixels per mm: 16 × 16 of every 24 × 24 pixels.
    const double shown = InkShare(dialog.preview_image());
    EXPECT_NEAR(shown, 16.0 * 16 / (24 * 24), 0.04);
    auto* invert = testing::FindChild<QCheckBox>(dialog, "invert_pattern");
    EXPECT_EQ(invert->text(), "Invert Pattern");
    invert->click();
    EXPECT_EQ(Stored("Mask"), "1");  // at once
    EXPECT_NEAR(InkShare(dialog.preview_image()), 1 - shown, 0.001);
    EXPECT_EQ(Stored("Shape"), "Ellipse");

    testing::FindChild<QPushButton>(dialog, "save_settings")->click();
    EXPECT_TRUE(dialog.isVisible());
    testing::FindChild<QPushButton>(dialog, "exit")->click();
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_EQ(Stored("Shape"), "Rectangle");
  EXPECT_EQ(Stored("SizeX"), "2");
  EXPECT_EQ(Stored("SizeY"), "1.96");
  EXPECT_EQ(Stored("Gap"), "1");
  EXPECT_EQ(Stored("Screen"), "0");
  EXPECT_EQ(Stored("Mask"), "1");
  EXPECT_TRUE(notifier_.messages.empty());

  // Opened again, the window shows what was stored; Exit stores nothing.
  InSetup([&](gui::PatternSetupDialog& dialog) {
    EXPECT_EQ(testing::FindChild<QComboBox>(dialog, "mask_shape")->currentText(), "Rectangle");
    EXPECT_EQ(testing::FindChild<QComboBox>(dialog, "screen_angle_0_45")->currentText(), "0");
    EXPECT_TRUE(testing::FindChild<QCheckBox>(dialog, "invert_pattern")->isChecked());
    Choose(testing::FindChild<QComboBox>(dialog, "mask_shape"), "Star");
    testing::FindChild<QPushButton>(dialog, "exit")->click();
  });
  EXPECT_EQ(Stored("Shape"), "Rectangle");
}

TEST_F(PatternDialogTest, LibraryEditMarksEntriesAndOkRemovesThem) {
  for (const char* name : {"A", "B", "C"}) {
    ASSERT_TRUE(StoreShape(library_, Square(name), nullptr).stored());
  }
  Open();
  InSetup([&](gui::PatternSetupDialog& setup) {
    // Cancel: marks are forgotten.
    testing::WhenShown<gui::PatternLibraryDialog>([&](gui::PatternLibraryDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), "Library Edit");
      ExpectLabelled(dialog);
      auto* list = testing::FindChild<QListWidget>(dialog, "library_edit_shapes");
      ClickEntry(list, "A");
      EXPECT_EQ(list->item(0)->text(), "** A");
      testing::FindChild<QPushButton>(dialog, "cancel")->click();
    });
    testing::FindChild<QPushButton>(setup, "delete")->click();
    EXPECT_EQ(Library(), (std::vector<std::string>{"A", "B", "C"}));

    // Mark B and C, unmark C, OK: only B goes.
    testing::WhenShown<gui::PatternLibraryDialog>([&](gui::PatternLibraryDialog& dialog) {
      auto* list = testing::FindChild<QListWidget>(dialog, "library_edit_shapes");
      ClickEntry(list, "B");
      ClickEntry(list, "C");
      ClickEntry(list, "** C");
      EXPECT_EQ(list->item(1)->text(), "** B");
      EXPECT_EQ(list->item(2)->text(), "C");
      testing::FindChild<QPushButton>(dialog, "ok")->click();
      EXPECT_FALSE(dialog.isVisible());
    });
    testing::FindChild<QPushButton>(setup, "delete")->click();
    EXPECT_EQ(Library(), (std::vector<std::string>{"A", "C"}));
    // The setup's shape list follows.
    EXPECT_EQ(Items(testing::FindChild<QComboBox>(setup, "mask_shape")).back(), "C");
    EXPECT_EQ(Items(testing::FindChild<QComboBox>(setup, "mask_shape")).size(), 6u);
  });
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(PatternDialogTest, ShapeImportReadsADrawingAndStoresItWithItsGaps) {
  testing::TempDir drawings;
  const fs::path triangle = drawings.path() / "triangle.ai";
  const fs::path newer = drawings.path() / "newer.ai";
  testing::WriteFileBytes(triangle, Drawing("8.0"));
  testing::WriteFileBytes(newer, Drawing("9.0"));
  app_->store.WriteSetting(keys::pattern_import::kFolder, "/nowhere");
  Open();
  InSetup([&](gui::PatternSetupDialog& setup) {
    testing::WhenShown<gui::PatternImportDialog>([&](gui::PatternImportDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), "Shape Import Utility");
      ExpectLabelled(dialog);
      auto* save = testing::FindChild<QPushButton>(dialog, "save_shape_to_library");
      EXPECT_FALSE(save->isEnabled());  // nothing read yet
      EXPECT_EQ(InkShare(dialog.preview_image()), 0);

      // A later version is refused with its message; nothing changes.
      drawing_ = newer.string();
      testing::FindChild<QPushButton>(dialog, "open_file")->click();
      ASSERT_EQ(notifier_.messages.size(), 1u);
      EXPECT_EQ(notifier_.messages[0].title, "Converter");
      EXPECT_EQ(notifier_.messages[0].text, "Conversion failed\nAI file greater than Ver 8");
      EXPECT_FALSE(save->isEnabled());

      drawing_ = triangle.string();
      testing::FindChild<QPushButton>(dialog, "open_file")->click();
      EXPECT_EQ(start_folders_, (std::vector<std::string>{"/nowhere", drawings.path().string()}));
      EXPECT_EQ(testing::FindChild<QLineEdit>(dialog, "shape_name")->text(), "triangle");
      EXPECT_TRUE(save->isEnabled());
      const double tiled = InkShare(dialog.preview_image());
      EXPECT_GT(tiled, 0.05);

      // Angle 0: the slider at 70 gives 2; angle 45: typed -1.5.
      Choose(testing::FindChild<QComboBox>(dialog, "screen_angle_0_45"), "0");
      testing::FindChild<QSlider>(dialog, "screen_angle_gap_set_for_both_0_and_45")->setValue(70);
      EXPECT_EQ(
          testing::FindChild<QLineEdit>(dialog, "screen_angle_gap_set_for_both_0_and_45_value")
              ->text(),
          "2.000");
      // Rows 20 % further apart: less ink.
      EXPECT_LT(InkShare(dialog.preview_image()), tiled);
      Choose(testing::FindChild<QComboBox>(dialog, "screen_angle_0_45"), "45");
      EXPECT_EQ(
          testing::FindChild<QSlider>(dialog, "screen_angle_gap_set_for_both_0_and_45")->value(),
          50);
      Type(testing::FindChild<QLineEdit>(dialog, "screen_angle_gap_set_for_both_0_and_45_value"),
           "-1.5");
      EXPECT_EQ(
          testing::FindChild<QSlider>(dialog, "screen_angle_gap_set_for_both_0_and_45")->value(),
          35);

      Type(testing::FindChild<QLineEdit>(dialog, "shape_name"), "My Tri");
      save->click();
      EXPECT_EQ(Library(), (std::vector<std::string>{"My_Tri"}));
      const ShapeLookup stored = LoadShape(library_, "My_Tri");
      ASSERT_TRUE(stored.shape.has_value());
      EXPECT_FLOAT_EQ(stored.shape->gap0, 0.2f);
      EXPECT_FLOAT_EQ(stored.shape->gap45, -0.15f);
      ASSERT_EQ(stored.shape->polygons.size(), 1u);
      EXPECT_EQ(stored.shape->polygons[0].points.size(), 3u);

      // The same name again: asked; Cancel keeps the first, OK replaces it in place.
      testing::FindChild<QSlider>(dialog, "screen_angle_gap_set_for_both_0_and_45")->setValue(60);
      replace_answer_ = false;
      save->click();
      EXPECT_EQ(replace_questions_, (std::vector<std::string>{"My_Tri"}));
      EXPECT_FLOAT_EQ(LoadShape(library_, "My_Tri").shape->gap45, -0.15f);
      replace_answer_ = true;
      save->click();
      EXPECT_EQ(replace_questions_.size(), 2u);
      EXPECT_EQ(Library(), (std::vector<std::string>{"My_Tri"}));
      EXPECT_FLOAT_EQ(LoadShape(library_, "My_Tri").shape->gap45, 0.1f);
      testing::FindChild<QPushButton>(dialog, "exit")->click();
    });
    testing::FindChild<QPushButton>(setup, "save_shape_to_library")->click();
    // The new shape is in the setup's list.
    EXPECT_EQ(Items(testing::FindChild<QComboBox>(setup, "mask_shape")).back(), "My_Tri");
  });
  EXPECT_EQ(app_->store.ReadSetting(keys::pattern_import::kFolder), drawings.path().string());
}

class PatternPrintTest : public testing::PrivateCupsdTest {};

TEST_F(PatternPrintTest, PrintInTheSetupSendsThePatternJobOfTheCommandLine) {
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
    std::unique_ptr<gui::MainWindow> opened = testing::OpenPrintingWindow(app);
    gui::MainWindow& window = *opened;
    ASSERT_TRUE(window.OpenImage(testing::SampleArtwork().string()));
    bool printed = false;
    testing::WhenShown<gui::PatternSetupDialog>([&](gui::PatternSetupDialog& dialog) {
      Choose(testing::FindChild<QComboBox>(dialog, "mask_shape"), "Rectangle");
      Type(testing::FindChild<QLineEdit>(dialog, "width_value"), "3");
      Type(testing::FindChild<QLineEdit>(dialog, "shape_gap_value"), "2");
      testing::FindChild<QPushButton>(dialog, "print")->click();
      printed = true;
      EXPECT_TRUE(dialog.isVisible());  // the window stays for the next print
    });
    static_cast<QPushButton*>(window.widget(c::kPatternPrintButton))->click();
    EXPECT_TRUE(printed);
    EXPECT_TRUE(notifier.messages.empty()) << notifier.messages[0].text;
    EXPECT_EQ(app.store.ReadSetting(keys::pattern::kSizeX), "3");
    window.close();
  }
  const std::vector<std::string> from_window = cupsd_.WaitForCapturedJobs(1);
  ASSERT_EQ(from_window.size(), 1u) << cupsd_.LogExcerpt();

  auto cli_job = [&](const char* name, const char* extra) {
    return testing::CommandLineJob(folders, no_usb, extra, name);
  };
  const std::string with_pattern = cli_job("pattern.ps", "--pattern");
  const std::string without = cli_job("plain.ps", "");
  ASSERT_GT(with_pattern.size(), 100000u);
  EXPECT_TRUE(from_window[0] == with_pattern) << "the window's job differs from --pattern";
  EXPECT_FALSE(from_window[0] == without) << "the window printed without the pattern";
  ::unsetenv("KELVARO_SYSFS_USB_ROOT");
}

}  // namespace
}  // namespace kelvaro
