#include "app/picture_size.h"

#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace c = control;

class PictureSizeTest : public ::testing::Test {
 protected:
  PictureSizeTest() : store_(folders_.folders(), notifier_) {
    LoadDefaultTexts(texts_);
    // A 600 × 300 pixel picture at 300 dpi: 144 × 72 points.
    image_.output_width = 600;
    image_.output_height = 300;
    image_.x_dpi = image_.y_dpi = 300;
    image_.physical_width_pt = image_.oriented_width_pt = 144;
    image_.physical_height_pt = image_.oriented_height_pt = 72;
  }
  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_;
  MainWindowModel model_{store_, texts_};
  WorkImage image_;
};

// A typed side sets that side in the unit in force; the other follows, and the resolution
// follows the printed size.
TEST_F(PictureSizeTest, ATypedSizeScalesTheCopyInProportion) {
  const struct {
    const char* unit;
    int field;
    const char* typed;
    const char* width;
    const char* height;
    long dpi;
  } kCases[] = {
      {"M", c::kXSizeEdit, "101.6", "101.6", "50.8", 150},
      {"C", c::kYSizeEdit, "5.08", "10.16", "5.08", 150},
      {"I", c::kXSizeEdit, "1", "1.000", "0.500", 600},
      {"M", c::kXSizeEdit, "abc", "50.8", "25.4", 300},  // not a length: unchanged
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(std::string(test.unit) + " " + test.typed);
    WorkImage image = image_;
    store_.WriteSetting("Active", "Unit", test.unit);
    model_.SetText(test.field, test.typed);
    ApplyTypedSize(model_, image, test.field);
    EXPECT_EQ(model_.Text(c::kXSizeEdit), test.width);
    EXPECT_EQ(model_.Text(c::kYSizeEdit), test.height);
    EXPECT_EQ(model_.Text(c::kDpiEdit), std::to_string(test.dpi));
  }
}

TEST_F(PictureSizeTest, FitToPageFillsThePrintableAreaAndCopyCountsShowTheirTotal) {
  model_.SelectPrinterModel("C711WT");  // A4, stored margins 0 here
  FitPictureToPage(model_, image_);
  EXPECT_DOUBLE_EQ(image_.oriented_width_pt, 595);
  EXPECT_DOUBLE_EQ(image_.oriented_height_pt, 297.5);

  model_.SetText(c::kXCopyEdit, "3");
  model_.SetText(c::kYCopyEdit, "0");
  ApplyCopyCounts(model_);
  EXPECT_EQ(model_.Text(c::kYCopyEdit), "1");
  EXPECT_EQ(model_.Text(c::kTotalEdit), "3");
}

}  // namespace
}  // namespace kelvaro
