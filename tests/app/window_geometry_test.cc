#include "app/window_geometry.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

TEST(SizeForDrag, TheHeightDecidesAndTheImageAreaKeepsItsProportion) {
  struct Case {
    int width, height;
    DraggedSize expected;
  };
  const Case cases[] = {
      // Below the minimum either way: the minimum height decides.
      {1017, 511, {1013, 511, 306, 433}},
      {800, 900, {1013, 511, 306, 433}},
      {1500, 400, {1013, 511, 306, 433}},
      // (900 - 78) × 1000 / 1414 = 581.3 -> 581; 581 × 1.414 = 821.5 -> 822.
      {1100, 900, {1288, 900, 581, 822}},
      // 1060 × 1000 / 1414 = 749.6 -> 750; 750 × 1.414 = 1060.5, a tie, goes to even 1060.
      {2000, 1138, {1457, 1138, 750, 1060}},
  };
  for (const Case& t : cases) {
    EXPECT_EQ(SizeForDrag(t.width, t.height), t.expected) << t.width << " x " << t.height;
  }
  // On a 1280 × 1024 screen a drag to 1100 high stops at the tallest window whose width
  // still fits.
  const DraggedSize fitted = SizeForDrag(1400, 1100, 1280, 1024);
  EXPECT_EQ(fitted.width, 1280);
  EXPECT_GT(SizeForDrag(1400, fitted.height + 1).width, 1280);
  // A screen that cannot hold the smallest window does not limit the drag.
  EXPECT_EQ(SizeForDrag(1400, 1100, 800, 600), SizeForDrag(1400, 1100));
}

class GeometryTest : public ::testing::Test {
 protected:
  GeometryTest() : store_(folders_.folders(), notifier_) {
    std::filesystem::create_directories(folders_.folders().user);
  }
  void Save(const char* x, const char* y, const char* h, const char* w, const char* t) {
    store_.WriteSetting("Active", "L_Used_X", x);
    store_.WriteSetting("Active", "L_Used_Y", y);
    store_.WriteSetting("Active", "L_Used_H", h);
    store_.WriteSetting("Active", "L_Used_W", w);
    store_.WriteSetting("Active", "T_Used_W", t);
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
};

TEST_F(GeometryTest, DefaultIsCentred) {
  const WindowGeometry g = DefaultWindowGeometry(1920, 1080);
  EXPECT_EQ(g.x, 457);  // (1920 - 1005) / 2, truncated
  EXPECT_EQ(g.y, 297);  // (1080 - 485) / 2, truncated
  EXPECT_EQ(g.width, 1017);
  EXPECT_EQ(g.height, 511);
  EXPECT_EQ(g.image_area_width, 310);
  EXPECT_EQ(g.image_area_height, 438);
  EXPECT_FALSE(g.restored);
  // Nothing saved yet.
  EXPECT_EQ(RestoreWindowGeometry(store_, 1920, 1080), g);
}

TEST_F(GeometryTest, SavedGeometryRules) {
  const WindowGeometry centred = DefaultWindowGeometry(1920, 1080);
  struct Case {
    const char *x, *y, *h, *w, *t;
    bool restored;
  };
  const Case cases[] = {
      {" -5", " 40", " 600", " 1200", " 400", false},  // negative position
      {" 40", " -1", " 600", " 1200", " 400", false},
      {" 40", " 30", " 400", " 1200", " 400", false},  // height below 438
      {" 40", " 30", " 437", " 1200", " 400", false},
      {" 40", " 30", " 438", " 1200", " 400", true},
      {" 40", " 30", " 600", " 1200", " 400", true},
      {"5000", "30", "600", "1200", "400", false},  // wholly beyond the screen
      {" 40", " 30", " 600", " 0", " 400", false},  // no width
  };
  for (const Case& t : cases) {
    Save(t.x, t.y, t.h, t.w, t.t);
    const WindowGeometry g = RestoreWindowGeometry(store_, 1920, 1080);
    EXPECT_EQ(g.restored, t.restored) << t.x << " " << t.y << " " << t.h;
    if (!t.restored) {
      EXPECT_EQ(g, centred);
    }
  }
  Save(" 40", " 30", " 600", " 1200", " 400");
  const WindowGeometry g = RestoreWindowGeometry(store_, 1920, 1080);
  EXPECT_EQ(g.x, 40);
  EXPECT_EQ(g.y, 30);
  EXPECT_EQ(g.height, 600);
  EXPECT_EQ(g.width, 1200);
  EXPECT_EQ(g.image_area_width, 400);
  EXPECT_EQ(g.image_area_height, 566);
}

TEST_F(GeometryTest, MissingImageAreaWidthFallsBackToTheDefault) {
  Save(" 10", " 10", " 600", " 1200", "");
  const WindowGeometry g = RestoreWindowGeometry(store_, 1920, 1080);
  EXPECT_TRUE(g.restored);
  EXPECT_EQ(g.image_area_width, 310);
}

TEST_F(GeometryTest, SaveWritesNumbersWithALeadingBlankAndRestores) {
  SaveWindowGeometry(store_, 12, 34, 1100, 700, 420);
  // The reader trims blanks, so the leading blank shows only in the file itself.
  const std::string file = testing::ReadFileBytes(store_.UserSettingsFile());
  EXPECT_NE(file.find("L_Used_X= 12\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("L_Used_Y= 34\r\n"), std::string::npos);
  EXPECT_NE(file.find("L_Used_W= 1100\r\n"), std::string::npos);
  EXPECT_NE(file.find("L_Used_H= 700\r\n"), std::string::npos);
  EXPECT_NE(file.find("T_Used_W= 420\r\n"), std::string::npos);
  const WindowGeometry g = RestoreWindowGeometry(store_, 1920, 1080);
  EXPECT_TRUE(g.restored);
  EXPECT_EQ(g.width, 1100);
  EXPECT_EQ(g.height, 700);
  // A negative position is written with its sign and then ignored.
  SaveWindowGeometry(store_, -8, 34, 1100, 700, 420);
  EXPECT_EQ(store_.ReadSetting("Active", "L_Used_X"), "-8");
  EXPECT_FALSE(RestoreWindowGeometry(store_, 1920, 1080).restored);
}

}  // namespace
}  // namespace kelvaro
