#include "image/load_pipeline.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kelvaro {
namespace {

// Records the order in which the pipeline reaches its steps.
class EventProgress final : public ProgressSink {
 public:
  explicit EventProgress(std::vector<std::string>& events) : events_(events) {}
  void SetStatus(const std::string& text) override { events_.push_back("status " + text); }
  void SetProgress(long long, long long) override {}

 private:
  std::vector<std::string>& events_;
};

// A decoded picture: `pixels` RGBA values (row by row) and the spare bytes behind them.
WorkImage Decoded(std::int32_t width, std::int32_t height, std::uint8_t alpha,
                  Resolution file = {}) {
  WorkImage image;
  image.width = width;
  image.height = height;
  image.x_dpi = file.x_dpi;
  image.y_dpi = file.y_dpi;
  image.source_kind = SourceKind::kLossless;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  image.raw.assign(5 * pixels, 0);
  for (std::size_t i = 0; i < pixels; ++i) {
    image.raw[4 * i] = static_cast<std::uint8_t>(i);
    image.raw[4 * i + 1] = 200;
    image.raw[4 * i + 2] = 100;
    image.raw[4 * i + 3] = alpha;
  }
  return image;
}

// A stand-in conversion: C = R, M = G, Y = B, K = 0, A carried; records the call.
ConvertStatus FakeConvert(WorkImage& image, std::vector<std::string>& events) {
  events.push_back("convert");
  const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
  std::vector<std::uint8_t> records(5 * pixels);
  for (std::size_t i = 0; i < pixels; ++i) {
    records[5 * i] = image.raw[4 * i];
    records[5 * i + 1] = image.raw[4 * i + 1];
    records[5 * i + 2] = image.raw[4 * i + 2];
    records[5 * i + 4] = image.raw[4 * i + 3];
  }
  image.raw.assign(records.begin(), records.end());
  return ConvertStatus::kConverted;
}

class LoadPipelineTest : public ::testing::Test {
 protected:
  LoadPipelineTest() {
    options_.printable = PrintableArea{569.08, 815.93};
    options_.conversion_status = "converting";
    steps_.remove_background = [this](WorkImage&, ProgressSink&) {
      events_.push_back("remove background");
    };
    steps_.convert = [this](WorkImage& image, ProgressSink&) {
      return FakeConvert(image, events_);
    };
  }

  LoadOutcome Run(WorkImage& image) {
    EventProgress progress(events_);
    return RunLoadPipeline(image, options_, steps_, progress);
  }

  LoadOptions options_;
  LoadSteps steps_;
  std::vector<std::string> events_;
};

TEST_F(LoadPipelineTest, OpaquePictureRunsEveryStepInOrder) {
  WorkImage image = Decoded(4, 3, 50);  // the lowest opacity that is not transparent
  const LoadOutcome outcome = Run(image);
  ASSERT_TRUE(outcome.loaded);
  EXPECT_FALSE(outcome.transparent);
  EXPECT_EQ(events_,
            (std::vector<std::string>{"remove background", "status converting", "convert"}));
  EXPECT_EQ(image.grid.size(), 5u * 12);
  EXPECT_EQ(image.preview.size(), 4u * 12);
  EXPECT_EQ(image.grid[image.GridOffset(3, 2) + 0], 11);  // the last pixel stays last
  EXPECT_EQ(image.grid[image.GridOffset(3, 2) + 4], 50);
}

TEST_F(LoadPipelineTest, TransparentPictureSkipsBackgroundRemoval) {
  WorkImage image = Decoded(4, 3, 255);
  image.raw[4 * 7 + 3] = 49;
  const LoadOutcome outcome = Run(image);
  ASSERT_TRUE(outcome.loaded);
  EXPECT_TRUE(outcome.transparent);
  EXPECT_EQ(events_, (std::vector<std::string>{"status converting", "convert"}));
}

TEST_F(LoadPipelineTest, FailedConversionLeavesNothingUsable) {
  steps_.convert = [this](WorkImage& image, ProgressSink&) {
    events_.push_back("convert");
    image.raw.clear();
    return ConvertStatus::kNoTransform;
  };
  WorkImage image = Decoded(4, 3, 255);
  const LoadOutcome outcome = Run(image);
  EXPECT_FALSE(outcome.loaded);
  EXPECT_EQ(outcome.conversion, ConvertStatus::kNoTransform);
  EXPECT_TRUE(image.raw.empty());
  EXPECT_TRUE(image.grid.empty());
  EXPECT_TRUE(image.preview.empty());

  // A conversion that claims success but leaves no records is not trusted either.
  steps_.convert = [](WorkImage& image, ProgressSink&) {
    image.raw.assign(1, 0);
    return ConvertStatus::kConverted;
  };
  WorkImage short_result = Decoded(4, 3, 255);
  EXPECT_FALSE(Run(short_result).loaded);
  EXPECT_TRUE(short_result.grid.empty());
}

TEST_F(LoadPipelineTest, SizesComeFromTheFileResolutionAndTheFit) {
  // 4000 × 3000 at 300 dpi on 540 × 780 points: turned and scaled by 780 ÷ 960. A
  // conversion that only records the call keeps the test quick; the grids still get built.
  options_.printable = PrintableArea{540, 780};
  options_.unit = UnitCode::kInches;
  steps_.convert = [](WorkImage& image, ProgressSink&) {
    image.raw.resize(5 * static_cast<std::size_t>(image.width) * image.height);
    return ConvertStatus::kConverted;
  };
  WorkImage image = Decoded(4000, 3000, 255, Resolution{300, 300});
  const LoadOutcome outcome = Run(image);
  ASSERT_TRUE(outcome.loaded);
  EXPECT_TRUE(outcome.rotate);
  EXPECT_FLOAT_EQ(image.physical_width_pt, 960);
  EXPECT_FLOAT_EQ(image.physical_height_pt, 720);
  EXPECT_FLOAT_EQ(image.scale_factor, 780.0f / 960.0f);
  EXPECT_FLOAT_EQ(image.x_dpi, 300 * 960.0f / 780.0f);
  EXPECT_EQ(image.output_width, 3000);
  EXPECT_EQ(image.output_height, 4000);
  EXPECT_FLOAT_EQ(image.oriented_width_pt, 585);
  EXPECT_FLOAT_EQ(image.oriented_height_pt, 780);
  EXPECT_EQ(outcome.size_labels.width, "8.125");
  EXPECT_EQ(outcome.size_labels.height, "10.833");
}

TEST(StandardBackgroundRemovalTest, WorksOnThePixelsNotTheSpareBytes) {
  NullProgress progress;
  // Removal off: every pixel becomes opaque; the zero spare bytes behind the pixels would
  // read as transparent pixels if they were looked at.
  WorkImage image = Decoded(3, 2, 60);
  const std::vector<std::uint8_t> spare(image.raw.begin() + 24, image.raw.end());
  StandardBackgroundRemoval(BackgroundRemovalOptions{})(image, progress);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(image.raw[4 * i + 3], 255) << "pixel " << i;
  EXPECT_EQ(std::vector<std::uint8_t>(image.raw.begin() + 24, image.raw.end()), spare);

  // Removal on: the picture's own kind decides between exact and tolerant matching.
  BackgroundRemovalOptions on;
  on.removal_on = true;
  on.jpeg_artifact = 5;
  for (SourceKind kind : {SourceKind::kLossless, SourceKind::kJpeg}) {
    WorkImage picture = Decoded(3, 2, 255);  // red channels 0, 1, 2, 3, 4, 5
    picture.source_kind = kind;
    StandardBackgroundRemoval(on)(picture, progress);
    const bool tolerant = kind == SourceKind::kJpeg;
    EXPECT_EQ(picture.raw[3], 0);                           // the reference pixel itself
    EXPECT_EQ(picture.raw[4 * 3 + 3], tolerant ? 0 : 255);  // red 3 is inside (0, 10)
    EXPECT_EQ(picture.raw[4 * 5 + 3], tolerant ? 0 : 255);
  }
}

}  // namespace
}  // namespace kelvaro
