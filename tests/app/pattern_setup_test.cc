#include "app/pattern_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pattern/pattern_print.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

class PatternSetupTest : public ::testing::Test {
 protected:
  PatternSetupTest() : store_(folders_.folders(), notifier_) {
    std::filesystem::create_directories(folders_.folders().user);
  }
  std::string Stored(const char* key) const {
    return store_.ReadSetting(keys::pattern::kSection, key);
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
};

TEST_F(PatternSetupTest, OpeningCorrectsAndRewritesOutOfRangeValues) {
  store_.WriteSetting(keys::pattern::kShape, "Rectangle");
  store_.WriteSetting(keys::pattern::kSizeX, "0.5");
  store_.WriteSetting(keys::pattern::kSizeY, "3.5");
  store_.WriteSetting(keys::pattern::kGap, "-2");
  store_.WriteSetting(keys::pattern::kScreen, "30");
  const PatternSettings opened = OpenPatternSetup(store_);
  EXPECT_EQ(opened.shape, "Rectangle");
  EXPECT_EQ(opened.size_x_mm, 1);
  EXPECT_EQ(opened.size_y_mm, 3.5);
  EXPECT_EQ(opened.gap_mm, 1);
  EXPECT_EQ(opened.screen_angle, 45);
  EXPECT_EQ(Stored("SizeX"), "1");
  EXPECT_EQ(Stored("SizeY"), "3.5");  // in range: left as it was
  EXPECT_EQ(Stored("Gap"), "1");
  EXPECT_EQ(Stored("Screen"), "45");
  store_.WriteSetting(keys::pattern::kScreen, "0");
  EXPECT_EQ(OpenPatternSetup(store_).screen_angle, 0);
  EXPECT_EQ(Stored("Screen"), "0");
}

TEST_F(PatternSetupTest, SavingWritesTheFiveKeysAndInversionWritesMask) {
  store_.WriteSetting(keys::pattern::kMask, "0");
  PatternSettings settings;
  settings.shape = "My Star";
  settings.size_x_mm = 2.5;
  settings.size_y_mm = 4;
  settings.gap_mm = 1.25;
  settings.screen_angle = 0;
  settings.inverted = true;
  ASSERT_TRUE(SavePatternSetup(store_, settings));
  EXPECT_EQ(Stored("Shape"), "My Star");
  EXPECT_EQ(Stored("SizeX"), "2.5");
  EXPECT_EQ(Stored("SizeY"), "4");
  EXPECT_EQ(Stored("Gap"), "1.25");
  EXPECT_EQ(Stored("Screen"), "0");
  EXPECT_EQ(Stored("Mask"), "0");  // only the check box writes it
  ASSERT_TRUE(SavePatternInversion(store_, true));
  EXPECT_EQ(Stored("Mask"), "1");
  EXPECT_TRUE(ReadPatternSettings(store_).inverted);
  // What was written reads back as it was meant.
  const PatternSettings back = ReadPatternSettings(store_);
  EXPECT_EQ(back.size_x_mm, 2.5);
  EXPECT_EQ(back.gap_mm, 1.25);
  EXPECT_EQ(back.screen_angle, 0);
}

TEST(PatternSetupFields, TypedAndShownInTheDisplayUnit) {
  struct Case {
    const char* typed;
    UnitCode unit;
    double size_mm, gap_mm;
  };
  const Case cases[] = {
      {"2.5", UnitCode::kMillimetres, 2.5, 2.5},
      {"7", UnitCode::kMillimetres, 7, 1},            // a gap above 5 mm becomes 1
      {"12", UnitCode::kMillimetres, 4, 1},           // a size above 10 mm becomes 4
      {"0.5", UnitCode::kMillimetres, 1, 1},          // below 1: 1
      {"", UnitCode::kMillimetres, 1, 1},             // nothing typed
      {"2a.b5mm", UnitCode::kMillimetres, 2.5, 2.5},  // letters dropped
      {"-3", UnitCode::kMillimetres, 3, 1},           // the size drops the sign; the gap keeps it
      {"0.3", UnitCode::kCentimetres, 3, 3},
      {"0.1", UnitCode::kInches, 2.54, 2.54},
      {"1", UnitCode::kInches, 4, 1},  // 25.4 mm
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(std::string(t.typed) + " unit " + std::string(UnitCodeText(t.unit)));
    EXPECT_DOUBLE_EQ(PatternSizeFromText(t.typed, t.unit), t.size_mm);
    EXPECT_DOUBLE_EQ(PatternGapFromText(t.typed, t.unit), t.gap_mm);
  }
  EXPECT_EQ(PatternSizeText(2.5, UnitCode::kMillimetres), "2.5");
  EXPECT_EQ(PatternSizeText(2.5, UnitCode::kCentimetres), "0.25");
  EXPECT_EQ(PatternSizeText(2.54, UnitCode::kInches), "0.10");
  EXPECT_EQ(PatternGapText(1.75, UnitCode::kMillimetres), "1.8");  // one decimal in mm
  EXPECT_EQ(PatternGapText(1.3, UnitCode::kCentimetres), "0.13");
}

TEST(PatternSetupFields, SliderPositionsMapBothWays) {
  EXPECT_EQ(PatternSizeSliderPosition(1), 0);
  EXPECT_EQ(PatternSizeSliderPosition(2), 12);  // 12.5, a tie, goes to even
  EXPECT_EQ(PatternSizeSliderPosition(10), kPatternSizeSliderMaximum);
  EXPECT_EQ(PatternGapSliderPosition(1), 0);
  EXPECT_EQ(PatternGapSliderPosition(5), kPatternGapSliderMaximum);
  for (int position : {0, 25, 50, 112}) {
    EXPECT_EQ(PatternSizeSliderPosition(PatternSizeFromSlider(position)), position);
  }
  for (int position : {0, 1, 40, 100}) {
    EXPECT_EQ(PatternGapSliderPosition(PatternGapFromSlider(position)), position);
  }
}

TEST_F(PatternSetupTest, ImportGapAndBaseGaps) {
  store_.WriteSetting(keys::pattern::kGap, "-1");
  EXPECT_EQ(OpenImportGap(store_), 1);
  EXPECT_EQ(Stored("Gap"), "1");
  store_.WriteSetting(keys::pattern::kGap, "2.5");
  EXPECT_EQ(OpenImportGap(store_), 2.5);
  EXPECT_EQ(Stored("Gap"), "2.5");

  EXPECT_DOUBLE_EQ(BaseGapFromText("-2.5", UnitCode::kMillimetres), -2.5);
  EXPECT_DOUBLE_EQ(BaseGapFromText("0.3", UnitCode::kCentimetres), 3);
  EXPECT_DOUBLE_EQ(BaseGapFromText("6", UnitCode::kMillimetres), 0);  // outside -5..5
  EXPECT_DOUBLE_EQ(BaseGapFromText("x1.5y", UnitCode::kMillimetres), 1.5);
  EXPECT_EQ(BaseGapText(-2.5, UnitCode::kMillimetres), "-2.500");
  EXPECT_EQ(BaseGapText(3, UnitCode::kCentimetres), "0.300");

  ShapeRecord imported;
  imported.name = "star";
  imported.polygons.push_back({{{0, 0}, {1, 0}, {0.5f, 1}}, kShapeBlack});
  const ShapeRecord stored = ShapeForLibrary(imported, "Big Star", 2.5, -1);
  EXPECT_EQ(stored.name, "Big Star");
  EXPECT_FLOAT_EQ(stored.gap0, 0.25f);
  EXPECT_FLOAT_EQ(stored.gap45, -0.1f);
  EXPECT_EQ(stored.polygons, imported.polygons);
}

TEST(PatternSetupChoices, BuiltInShapesThenTheLibrary) {
  ShapeListing library;
  library.names = {"Star", "Heart"};
  EXPECT_EQ(PatternShapeChoices(library),
            (std::vector<std::string>{"Ellipse", "Rectangle", "Vertical Lines", "Horizontal Lines",
                                      "Star", "Heart"}));
  EXPECT_EQ(PatternShapeChoices({}).size(), 4u);
}

}  // namespace
}  // namespace kelvaro
