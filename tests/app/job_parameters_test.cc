#include "app/job_parameters.h"

#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/main_window_model.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace c = control;

class JobParametersTest : public ::testing::Test {
 protected:
  JobParametersTest() : store_(folders_.folders(), notifier_), model_(store_, texts_) {}
  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_ = [] {
    UiText table;
    LoadDefaultTexts(table);
    return table;
  }();
  MainWindowModel model_;
};

TEST_F(JobParametersTest, ReadsTheControlsAsTheyStand) {
  model_.ApplyStoredWhiteSettings(true, true, true, 85, 64);
  model_.MoveSlider(c::kBrightnessSlider, 40);  // -20%
  model_.MoveSlider(c::kContrastSlider, 75);    // 50%
  model_.Click(c::kMirror);
  model_.Click(c::kRotate);
  model_.Click(c::kOptimalLayout);
  model_.Click(c::kPlacementBottomRight);
  model_.SetText(c::kXCopyEdit, "3");
  model_.SetText(c::kYCopyEdit, "2");
  model_.SetText(c::kCopiesEdit, "4");
  model_.SetItems(c::kPrinterList, {"C711WT"}, 0);
  model_.SelectPrinterModel("C920WT");
  model_.SetItems(c::kMediaList, {"Printer Setting", "Kelvaro Medium P Film"}, 0);
  model_.PickItem(c::kMediaList, 1);
  model_.PickItem(c::kPaperList, model_.FindItem(c::kPaperList, "A3"));
  model_.SetLoadedFile("art.png");

  const JobParameters p = GatherJobParameters(model_);
  // The film preset keeps the density and sets the threshold to 98.
  EXPECT_EQ(p.white_density, 85);
  EXPECT_EQ(p.white_threshold, 98);
  EXPECT_EQ(p.brightness, -20);
  EXPECT_EQ(p.contrast, 50);
  EXPECT_TRUE(p.print_white);
  EXPECT_TRUE(p.print_cmy);
  EXPECT_TRUE(p.threshold_on);
  EXPECT_FALSE(p.display_white);
  EXPECT_TRUE(p.mirror);
  EXPECT_TRUE(p.rotate);
  EXPECT_FALSE(p.flip);
  EXPECT_TRUE(p.optimal_layout);
  EXPECT_FALSE(p.automatic_tile);
  EXPECT_EQ(p.placement_mode, 8);
  EXPECT_EQ(p.copies_across, 3);
  EXPECT_EQ(p.copies_down, 2);
  EXPECT_EQ(p.prints, "4");
  EXPECT_EQ(p.printer_queue, "C711WT");
  EXPECT_EQ(p.media_label, "Kelvaro Medium P Film");
  EXPECT_EQ(p.media_code, 257);
  EXPECT_EQ(p.paper, "A3");
  EXPECT_EQ(p.page, (PageSize{842, 1191}));
  EXPECT_EQ(p.tray, "MultiPurpose Tray");
  EXPECT_EQ(p.model_name, "C920WT");
  EXPECT_EQ(p.paper_class, 2);
  EXPECT_EQ(p.background_values, (std::array<int, 3>{1, 51, 8}));
  EXPECT_TRUE(p.film());
  EXPECT_EQ(p.window_title, "Kelvaro Pro - art.png");
}

TEST_F(JobParametersTest, CopyCountsAreAtLeastOne) {
  const std::pair<const char*, int> cases[] = {{"0", 1}, {"", 1},  {"-3", 1},
                                               {"x", 1}, {"2", 2}, {" 5", 5}};
  for (const auto& [text, count] : cases) {
    model_.SetText(c::kXCopyEdit, text);
    model_.SetText(c::kYCopyEdit, text);
    const JobParameters p = GatherJobParameters(model_);
    EXPECT_EQ(p.copies_across, count) << '"' << text << '"';
    EXPECT_EQ(p.copies_down, count) << '"' << text << '"';
  }
}

TEST_F(JobParametersTest, WhiteOnlyModeIsWhatThePrintSees) {
  model_.ApplyStoredWhiteSettings(false, true, false, 100, 50);
  model_.Click(c::kPrintCmy);
  const JobParameters p = GatherJobParameters(model_);
  EXPECT_FALSE(p.print_cmy);
  EXPECT_TRUE(p.print_white);
  EXPECT_EQ(p.white_threshold, 93);
}

}  // namespace
}  // namespace kelvaro
