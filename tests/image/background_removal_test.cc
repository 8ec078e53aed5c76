#include "image/background_removal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "image/colour_maths.h"
#include "image/separation.h"
#include "image/tone_curve_table.h"

namespace kelvaro {
namespace {

class RecordingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetProgress(long long value, long long) override { values.push_back(value); }
  std::vector<std::string> statuses;
  std::vector<long long> values;
};

struct Px {
  int r, g, b, a;
};

std::vector<std::uint8_t> Pixels(const std::vector<Px>& pixels) {
  std::vector<std::uint8_t> bytes;
  for (const Px& p : pixels) {
    for (int v : {p.r, p.g, p.b, p.a}) bytes.push_back(static_cast<std::uint8_t>(v));
  }
  return bytes;
}

std::vector<int> Alphas(const std::vector<std::uint8_t>& bytes) {
  std::vector<int> alphas;
  for (std::size_t i = 3; i < bytes.size(); i += 4) alphas.push_back(bytes[i]);
  return alphas;
}

BackgroundRemovalOptions Options(SourceKind kind, bool on, double artifact = 5) {
  BackgroundRemovalOptions options;
  options.source_kind = kind;
  options.removal_on = on;
  options.jpeg_artifact = artifact;
  return options;
}

TEST(RemoveBackgroundTest, APixelBelowFiftyMakesThePictureTransparent) {
  for (bool on : {false, true}) {
    SCOPED_TRACE(on ? "removal on" : "removal off");
    std::vector<std::uint8_t> bytes =
        Pixels({{255, 255, 255, 255}, {255, 255, 255, 200}, {10, 20, 30, 49}, {255, 255, 255, 60}});
    const std::vector<std::uint8_t> before = bytes;
    RecordingProgress progress;
    EXPECT_FALSE(RemoveBackground(bytes, Options(SourceKind::kLossless, on), progress));
    EXPECT_EQ(bytes, before);
    EXPECT_TRUE(progress.statuses.empty());
  }
}

TEST(RemoveBackgroundTest, LowestOpacityFiftyStillCountsAsOpaque) {
  std::vector<std::uint8_t> bytes =
      Pixels({{255, 255, 255, 255}, {255, 255, 255, 50}, {1, 2, 3, 50}, {9, 9, 9, 254}});
  RecordingProgress progress;
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kLossless, true), progress));
  EXPECT_EQ(Alphas(bytes), (std::vector<int>{0, 0, 50, 254}));
  ASSERT_EQ(progress.statuses.size(), 1u);
  EXPECT_EQ(progress.statuses[0], "<<<<<  background removal  >>>>>");
}

TEST(RemoveBackgroundTest, SwitchedOffMakesEveryPixelOpaque) {
  std::vector<std::uint8_t> bytes =
      Pixels({{255, 255, 255, 50}, {255, 255, 255, 120}, {0, 0, 0, 254}, {7, 7, 7, 255}});
  RecordingProgress progress;
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kJpeg, false), progress));
  EXPECT_EQ(Alphas(bytes), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(bytes[0], 255);  // colours stay
}

TEST(RemoveBackgroundTest, LosslessFilesMatchTheFirstColourExactly) {
  std::vector<std::uint8_t> bytes = Pixels({{255, 255, 255, 255},
                                            {255, 255, 254, 255},
                                            {255, 255, 255, 128},
                                            {254, 255, 255, 255},
                                            {255, 255, 255, 255}});
  RecordingProgress progress;
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kLossless, true, 21), progress));
  EXPECT_EQ(Alphas(bytes), (std::vector<int>{0, 255, 0, 255, 0}));
}

TEST(RemoveBackgroundTest, JpegFilesMatchInsideTheToleranceWindow) {
  // Tolerance 5 around (252, 3, 128): centres 251, 5 and 128.
  std::vector<std::uint8_t> bytes = Pixels({{252, 3, 128, 255},
                                            {247, 1, 124, 255},
                                            {246, 1, 124, 255},
                                            {255, 9, 132, 255},
                                            {255, 10, 132, 255},
                                            {250, 0, 128, 255},
                                            {250, 3, 133, 255}});
  RecordingProgress progress;
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kJpeg, true, 5), progress));
  EXPECT_EQ(Alphas(bytes), (std::vector<int>{0, 0, 255, 0, 255, 255, 255}));
}

TEST(RemoveBackgroundTest, UnrecognisedFilesUseTheTolerance) {
  std::vector<std::uint8_t> bytes = Pixels({{100, 100, 100, 255}, {102, 98, 101, 255}});
  RecordingProgress progress;
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kOther, true, 5), progress));
  EXPECT_EQ(Alphas(bytes), (std::vector<int>{0, 0}));
}

TEST(RemoveBackgroundTest, ToleranceOneKeepsOnlyTheExactColour) {
  std::vector<std::uint8_t> bytes =
      Pixels({{100, 100, 100, 255}, {101, 100, 100, 255}, {100, 100, 100, 255}});
  RecordingProgress progress;
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kJpeg, true, 1), progress));
  EXPECT_EQ(Alphas(bytes), (std::vector<int>{0, 255, 0}));
}

TEST(RemoveBackgroundTest, ProgressEveryFiveThousandPixels) {
  std::vector<std::uint8_t> bytes(4 * 20000, 255);
  RecordingProgress progress;
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kLossless, true), progress));
  EXPECT_EQ(progress.values, (std::vector<long long>{25, 50, 75, 100}));
  EXPECT_EQ(Alphas(bytes)[19999], 0);
}

TEST(RemoveBackgroundTest, EmptyAndPartialBuffers) {
  std::vector<std::uint8_t> none;
  RecordingProgress progress;
  EXPECT_FALSE(RemoveBackground(none, Options(SourceKind::kLossless, true), progress));
  // Trailing bytes short of a whole pixel are left alone.
  std::vector<std::uint8_t> bytes = {1, 2, 3, 255, 1, 2};
  ASSERT_TRUE(RemoveBackground(bytes, Options(SourceKind::kLossless, true), progress));
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3, 0, 1, 2}));
}

TEST(ToleranceWindowTest, CentresMoveAwayFromTheEnds) {
  struct Case {
    int v, tolerance, centre;
  };
  const Case cases[] = {{252, 5, 251}, {3, 5, 5},   {128, 5, 128}, {0, 1, 1},
                        {255, 1, 255}, {5, 5, 5},   {4, 5, 5},     {250, 5, 250},
                        {251, 5, 251}, {0, 21, 21}, {255, 21, 235}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "v " << c.v << " tol " << c.tolerance);
    EXPECT_EQ(MakeToleranceWindow(c.v, c.tolerance).centre, c.centre);
  }
  ToleranceWindow window = MakeToleranceWindow(252, 5);
  EXPECT_TRUE(window.Contains(247));
  EXPECT_FALSE(window.Contains(246));
  EXPECT_TRUE(window.Contains(255));
  EXPECT_FALSE(window.Contains(256));
}

TEST(ToleranceWindowTest, DamagedArtifactValuesStayInRange) {
  EXPECT_EQ(JpegTolerance(5), 5);
  EXPECT_EQ(JpegTolerance(2.5), 2);  // ties to even
  EXPECT_EQ(JpegTolerance(3.5), 4);
  EXPECT_EQ(JpegTolerance(-7), 0);
  EXPECT_EQ(JpegTolerance(1e300), 255);
  EXPECT_EQ(JpegTolerance(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(JpegTolerance(std::numeric_limits<double>::infinity()), 255);
}

// Black removal, as the print decides it: every colour above 255 - f and the sum above
// round(765 - 3 f). A fuzz that is no number removes nothing.
TEST(BlackRemovalTest, LimitAndLevels) {
  struct Case {
    double fuzz;
    int c, m, y;
    bool removed;
  };
  const Case cases[] = {
      {0, 255, 255, 255, false},  // f = 0 removes nothing
      {30, 230, 230, 230, true},
      {30, 230, 230, 225, false},
      {30, 225, 230, 230, false},
      {30, 230, 225, 230, false},
      {1, 255, 255, 255, true},
      {1, 254, 255, 255, false},
      {50, 206, 206, 206, true},
      {50, 205, 255, 255, false},
      {12.5, 243, 243, 243, true},
      {12.5, 242, 255, 255, false},
      {1.5, 254, 254, 254, true},
      {1.5, 254, 254, 253, false},
      {std::numeric_limits<double>::quiet_NaN(), 255, 255, 255, false},
  };
  const ToneCurveTable identity = IdentityToneCurveTable();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "f " << c.fuzz << " cmy " << c.c << " " << c.m << " " << c.y);
    SeparationParams params;
    params.black_removal = true;
    params.black_removal_fuzz = c.fuzz;
    EXPECT_EQ(IsRemovedBlack(MakePrintColourTables(params, identity), {c.c, c.m, c.y}), c.removed);
  }
}

TEST(RemovalDialogsTest, JpegArtifactSlider) {
  EXPECT_EQ(SliderToJpegArtifact(0), 1);
  EXPECT_EQ(SliderToJpegArtifact(100), 21);
  EXPECT_EQ(SliderToJpegArtifact(2), 1);
  EXPECT_EQ(SliderToJpegArtifact(3), 2);
  EXPECT_EQ(SliderToJpegArtifact(20), 5);
  EXPECT_EQ(JpegArtifactToSlider(5), 20);
  EXPECT_EQ(JpegArtifactToSlider(1), 0);
  EXPECT_EQ(JpegArtifactToSlider(21), 100);
  EXPECT_EQ(JpegArtifactToSlider(0), 0);  // outside the slider's range
  EXPECT_EQ(JpegArtifactToSlider(500), 100);
  for (int artifact = 1; artifact <= 21; ++artifact) {
    EXPECT_EQ(SliderToJpegArtifact(JpegArtifactToSlider(artifact)), artifact);
  }
}

TEST(RemovalDialogsTest, BlackRemovalSlider) {
  EXPECT_EQ(SliderToBlackRemovalFuzz(0), 1);
  EXPECT_EQ(SliderToBlackRemovalFuzz(1), 1);
  EXPECT_EQ(SliderToBlackRemovalFuzz(25), 12.5);
  EXPECT_EQ(SliderToBlackRemovalFuzz(100), 50);
  EXPECT_EQ(BlackRemovalFuzzToSlider(5), 10);
  EXPECT_EQ(BlackRemovalFuzzToSlider(12.5), 25);
  EXPECT_EQ(BlackRemovalFuzzToSlider(0), 0);
  EXPECT_EQ(BlackRemovalFuzzToSlider(80), 100);
  EXPECT_EQ(FormatSettingDecimal(SliderToBlackRemovalFuzz(25)), " 12.5");
  EXPECT_EQ(FormatSettingDecimal(SliderToBlackRemovalFuzz(0)), " 1");
  EXPECT_EQ(FormatSettingDecimal(SliderToJpegArtifact(100)), " 21");
  EXPECT_EQ(FormatSettingDecimal(-2), "-2");
}

TEST(TransparencyCheckTest, FindsAnyPixelBelowFifty) {
  EXPECT_FALSE(HasTransparentPixel(Pixels({{0, 0, 0, 50}, {0, 0, 0, 255}})));
  EXPECT_TRUE(HasTransparentPixel(Pixels({{0, 0, 0, 50}, {0, 0, 0, 49}})));
  // Colour bytes below 50 do not count.
  EXPECT_FALSE(HasTransparentPixel(Pixels({{0, 10, 49, 200}})));
}

}  // namespace
}  // namespace kelvaro
