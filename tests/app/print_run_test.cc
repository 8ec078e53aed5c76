#include "app/print_run.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/recording_spooler.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

class PrintPictureTest : public ::testing::Test {
 protected:
  PrintPictureTest() : store_(folders_.folders(), notifier_) {
    LoadDefaultTexts(texts_);
    params_.curves = DefaultToneCurves();
    params_.margins = Margins{12.96, 12.96, 12.96, 13.08};
  }

  // A loaded 100 × 100 picture, one inch square, every pixel half opaque (A = 200).
  static WorkImage Picture() {
    WorkImage image;
    image.width = image.height = 100;
    image.output_width = image.output_height = 100;
    image.grid.assign(5u * 100 * 100, 0);
    for (std::size_t i = 4; i < image.grid.size(); i += 5) image.grid[i] = 200;
    image.preview.assign(4u * 100 * 100, 0);
    image.x_dpi = image.y_dpi = 100;
    image.physical_width_pt = image.physical_height_pt = 72;
    image.oriented_width_pt = image.oriented_height_pt = 72;
    return image;
  }

  PrintOutcome Print(WorkImage& image, bool estimate_only = false) {
    PrintServices services{
        store_, texts_, notifier_, progress_, spooler_, std::nullopt, [this](const CostEstimate&) {
          events_.push_back("estimate");
        }};
    return PrintPicture(services, params_, image, "art.png",
                        PrintTarget{"Queue", std::nullopt, estimate_only});
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_;
  NullProgress progress_;
  testing::RecordingSpooler spooler_;
  JobParameters params_;
  std::vector<std::string> events_;
};

TEST_F(PrintPictureTest, AGridWithinTheLimitIsSeparatedAndSent) {
  WorkImage image = Picture();
  params_.copies_across = 2;
  ASSERT_EQ(Print(image), PrintOutcome::kSent);
  EXPECT_TRUE(notifier_.messages.empty());
  ASSERT_EQ(spooler_.jobs.size(), 1u);
  EXPECT_EQ(spooler_.jobs[0].document, "art.png 2 x1");
  ASSERT_EQ(spooler_.jobs[0].blocks.size(), 3u);
  // Two copies of 100 pixels, their gap and the two spare columns, by 102 rows, five planes.
  EXPECT_GT(spooler_.jobs[0].blocks[1].size(), 5u * 202 * 102);
  // The separation only reads the picture.
  EXPECT_EQ(image.grid[4], 200);
}

// A grid the job cannot carry is refused before the separation, which would otherwise be
// made (at five bytes a pixel of the picture) only to be thrown away; the picture is left as
// it was and nothing reaches the queue.
TEST_F(PrintPictureTest, AGridOverTheLimitIsRefusedBeforeTheSeparation) {
  WorkImage image = Picture();
  params_.copies_across = 30000;  // about 1.5 gigabytes of image data
  EXPECT_EQ(Print(image), PrintOutcome::kNotPrinted);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro Pro");
  EXPECT_EQ(notifier_.messages[0].text, texts_.Get(135));
  EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kError);
  EXPECT_TRUE(spooler_.jobs.empty());
  EXPECT_EQ(image.grid[4], 200);
}

// The statistics mode decides about the estimate: instead of the job, after it was spooled, or
// not at all; an estimate asked for on its own never spools.
TEST_F(PrintPictureTest, TheStatisticsModeDecidesAboutTheCostEstimate) {
  spooler_.on_send = [this] { events_.push_back("spooled"); };
  const struct {
    const char* option;
    bool estimate_only;
    PrintOutcome outcome;
    std::vector<std::string> events;
  } kCases[] = {
      {"1", false, PrintOutcome::kStatisticsOnly, {"estimate"}},
      {"2", false, PrintOutcome::kSent, {"spooled", "estimate"}},
      {"3", false, PrintOutcome::kSent, {"spooled"}},
      {"", false, PrintOutcome::kSent, {"spooled"}},
      {"2", true, PrintOutcome::kStatisticsOnly, {"estimate"}},
  };
  for (const auto& test : kCases) {
    SCOPED_TRACE(std::string("Option ") + test.option);
    store_.WriteSetting("Stats", "Option", test.option);
    events_.clear();
    WorkImage image = Picture();
    EXPECT_EQ(Print(image, test.estimate_only), test.outcome);
    EXPECT_EQ(events_, test.events);
    // The estimate stored its total, whatever the records hold.
    if (test.events.back() == "estimate") {
      EXPECT_FALSE(store_.ReadSetting("STATS", "TCOST").empty());
    }
    // The statistics read the last job's size, stored as the job writes numbers, in every
    // mode: 100 pixels and their two spare columns, one inch.
    const std::string file = testing::ReadFileBytes(store_.UserSettingsFile());
    for (const char* line : {"Xpixel= 102", "Ypixel= 102", "Xpoint= 72", "Ypoint= 72"}) {
      EXPECT_NE(file.find(line), std::string::npos) << line;
    }
  }
}

}  // namespace
}  // namespace kelvaro
