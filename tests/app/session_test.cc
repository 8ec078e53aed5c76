// What the session decides beyond the job bytes its twins compare: what the user is told, what
// the preview draws at other sizes, what a failed print leaves behind.
#include "app/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/control_ids.h"
#include "app/page_placement.h"
#include "app/startup.h"
#include "app/window_commands.h"
#include "settings/job_settings.h"
#include "settings/ui_text_ids.h"
#include "support/recording_spooler.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace c = control;
namespace fs = std::filesystem;

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() : app_(folders_.folders(), notifier_) {
    RunStartup(app_, StartupOptions::CommandLine());
    SetUpWindowState(session_.model(), "C711WT", LoadStoredSettings(app_.store, app_.texts).job);
    session_.model().SetItems(c::kPrinterList, {"Queue"}, 0);
    session_.Act([] {});
    notifier_.messages.clear();
    EXPECT_TRUE(session_.Open(testing::SampleArtwork()));
  }
  void Type(int field, const std::string& text) {
    session_.Act([&] {
      session_.model().SetText(field, text);
      session_.model().PressEnter(field, false);
    });
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  AppContext app_;
  NullProgress progress_;
  testing::RecordingSpooler spooler_;
  Session session_{app_, SessionServices{progress_, spooler_, "1700000000"}};
};

// Three copies of 150 mm across an A4 page: the preview draws them where the job puts them
// (from the left margin, gapless), the status line and the print say that they do not fit.
TEST_F(SessionTest, CopiesThatDoNotFitAreDrawnAsPrintedAndTheUserIsTold) {
  Type(c::kXSizeEdit, "150");
  Type(c::kXCopyEdit, "3");
  const PreviewRefresh refresh = session_.Preview(310);
  ASSERT_TRUE(refresh.layout.has_value());
  EXPECT_FALSE(refresh.copies_fit);
  EXPECT_EQ(session_.model().Text(c::kStatusLine), kCopiesDoNotFitText);
  EXPECT_EQ(refresh.layout->gap_x_px, 0);
  EXPECT_GE(refresh.layout->origin_x_px, refresh.layout->margin_left_px - 1);
  EXPECT_EQ(session_.PrintToSelectedQueue(), PrintOutcome::kSent);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].text, kCopiesDoNotFitText);
  EXPECT_EQ(notifier_.messages[0].icon, MessageIcon::kWarning);
}

// The preview at twice the reference width draws the same places at twice the pixels; the
// points the job uses are the same.
TEST_F(SessionTest, ThePreviewScalesTheReferenceLayout) {
  Type(c::kYCopyEdit, "2");
  const PreviewRefresh small = session_.Preview(310);
  const PreviewRefresh large = session_.Preview(614);
  ASSERT_TRUE(small.layout && large.layout);
  EXPECT_TRUE(small.copies_fit);
  EXPECT_EQ(large.layout->offset_x_pt, small.layout->offset_x_pt);
  EXPECT_EQ(large.layout->gap_down_pt, small.layout->gap_down_pt);
  EXPECT_EQ(large.canvas.width, 2 * small.canvas.width);
  EXPECT_NEAR(large.layout->preview_width, 2 * small.layout->preview_width, 2);
  EXPECT_NEAR(large.layout->origin_x_px, 2 * small.layout->origin_x_px, 2);
  EXPECT_NEAR(large.layout->origin_y_px, 2 * small.layout->origin_y_px, 2);
  EXPECT_NEAR(large.layout->gap_y_px, 2 * small.layout->gap_y_px, 2);
  EXPECT_GT(small.layout->gap_y_px, 0);
}

// Flip reads the file again (the decoder turns the rows), but the size the user typed stays.
TEST_F(SessionTest, FlipKeepsATypedSize) {
  Type(c::kXSizeEdit, "100");
  const float width = session_.picture().oriented_width_pt;
  EXPECT_NEAR(width, 100 * 72 / 25.4, 0.01);
  session_.Act([&] { session_.model().Click(c::kFlip); });
  EXPECT_FLOAT_EQ(session_.picture().oriented_width_pt, width);
  EXPECT_EQ(session_.model().Text(c::kXSizeEdit), "100.0");
}

// The preview keeps the picture sampled at the copy's size between refreshes; a picture turned
// again in place (Mirror keeps the grid's memory) is sampled afresh.
TEST_F(SessionTest, ThePreviewFollowsAPictureTurnedInPlace) {
  ASSERT_TRUE(session_.Open(testing::FixtureFolder() / "image" / "quad_rgb_150.png"));
  const PreviewCanvas before = session_.Preview(310).canvas;
  EXPECT_EQ(session_.Preview(310).canvas.rgba, before.rgba);
  session_.Act([&] { session_.model().Click(c::kMirror); });
  const PreviewCanvas mirrored = session_.Preview(310).canvas;
  EXPECT_NE(mirrored.rgba, before.rgba);
  session_.Act([&] { session_.model().Click(c::kMirror); });
  EXPECT_EQ(session_.Preview(310).canvas.rgba, before.rgba);
}

// Removal starts off for each picture opened, so a box left ticked does not silently take the
// next picture's background; a picture with its own transparency gets a greyed box.
TEST_F(SessionTest, BackgroundRemovalStartsOffForEachPictureOpened) {
  const fs::path opaque = testing::FixtureFolder() / "image" / "quad_rgb_150.png";
  ASSERT_TRUE(session_.Open(opaque));
  const WorkImage kept = session_.picture();
  session_.Act([&] { session_.model().Click(c::kBackgroundRemoval); });
  ASSERT_TRUE(session_.model().IsChecked(c::kBackgroundRemoval));
  ASSERT_NE(session_.picture().grid, kept.grid);  // the background is taken out

  ASSERT_TRUE(session_.Open(opaque));
  EXPECT_FALSE(session_.model().IsChecked(c::kBackgroundRemoval));
  EXPECT_TRUE(session_.model().Control(c::kBackgroundRemoval).enabled);
  session_.Update();
  EXPECT_EQ(session_.picture().grid, kept.grid);

  ASSERT_TRUE(session_.Open(testing::FixtureFolder() / "image" / "quad_alpha.png"));
  EXPECT_FALSE(session_.model().Control(c::kBackgroundRemoval).enabled);
}

// A queue that does not take the job: the status line does not stay "Printing", and the
// printer stored before stays.
TEST_F(SessionTest, AFailedPrintSaysCancelledAndKeepsTheStoredPrinter) {
  app_.store.WriteSetting("Active", "Printer", "Earlier");
  spooler_.fail = true;
  EXPECT_EQ(session_.PrintToSelectedQueue(), PrintOutcome::kNotPrinted);
  EXPECT_EQ(session_.model().Text(c::kStatusLine), app_.texts.Get(ui::kCancelledStatus));
  EXPECT_EQ(app_.store.ReadSetting("Active", "Printer"), "Earlier");
  spooler_.fail = false;
  EXPECT_EQ(session_.PrintToSelectedQueue(), PrintOutcome::kSent);
  EXPECT_EQ(app_.store.ReadSetting("Active", "Printer"), "Queue");
}

}  // namespace
}  // namespace kelvaro
