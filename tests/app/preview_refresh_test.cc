#include "app/preview_refresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/job_planes.h"
#include "app/print_run.h"
#include "app/print_setup.h"
#include "platform/spooler.h"
#include "settings/job_settings.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace c = control;

class PreviewRefreshTest : public ::testing::Test {
 protected:
  PreviewRefreshTest() : store_(folders_.folders(), notifier_) {
    LoadDefaultTexts(texts_);
    ToneCurves curves;
    WriteDefaultSettings(store_, curves);
  }

  void SetUp(const PrintChoices& choices) {
    ASSERT_FALSE(ApplyPrintChoices(model_, choices, folders_.root() / "no-usb"));
  }

  // A loaded picture of `width` × `height` pixels at 72 dots per inch (a pixel a point), dark
  // blue and opaque.
  WorkImage Picture(std::int32_t width, std::int32_t height) {
    WorkImage image;
    image.width = image.output_width = width;
    image.height = image.output_height = height;
    image.grid.assign(5u * width * height, 0);
    image.preview.assign(4u * width * height, 0);
    for (std::size_t i = 0; i < image.preview.size(); i += 4) {
      image.grid[i / 4 * 5] = image.grid[i / 4 * 5 + 1] = 230;
      image.grid[i / 4 * 5 + 4] = 255;
      image.preview[i] = image.preview[i + 1] = 230;
      image.preview[i + 3] = 255;
    }
    image.x_dpi = image.y_dpi = 72;
    image.physical_width_pt = image.oriented_width_pt = static_cast<float>(width);
    image.physical_height_pt = image.oriented_height_pt = static_cast<float>(height);
    model_.SetLoadedFile("art.png");
    return image;
  }

  PreviewRefresh Refresh(const WorkImage& image) {
    WorkImage separated = image;
    return RefreshPreview(model_, separated, {notifier_, proof_});
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_;
  MainWindowModel model_{store_, texts_};
  ProofTransformCache proof_;
};

TEST_F(PreviewRefreshTest, NothingIsDrawnWithoutAPicture) {
  SetUp({});
  const WorkImage image;
  const PreviewRefresh refresh = Refresh(image);
  EXPECT_FALSE(refresh.drawn);
  EXPECT_TRUE(refresh.canvas.rgba.empty());
  EXPECT_EQ(model_.Text(c::kZoomEdit), "100.0%");
}

// The automatic tile counts the copies that fit with their gaps; a picture wider than half
// the printable width (about 569 points on A4) gives one copy across. The counts go to the
// copy fields, so that the print uses them, and their product to the total.
TEST_F(PreviewRefreshTest, TheAutomaticTileFillsTheCopyFields) {
  const struct {
    std::int32_t width_pt;
    int across;
  } kCases[] = {{300, 1}, {400, 1}, {250, 2}, {100, 5}};
  for (const auto& test : kCases) {
    PrintChoices choices;
    choices.automatic_tile = true;
    SetUp(choices);
    const PreviewRefresh refresh = Refresh(Picture(test.width_pt, 100));
    ASSERT_TRUE(refresh.layout) << test.width_pt;
    EXPECT_EQ(refresh.layout->copies_across, test.across) << test.width_pt;
    // Eight copies of 100 points and their 1 mm gaps in about 816 points.
    EXPECT_EQ(refresh.layout->copies_down, 8) << test.width_pt;
    EXPECT_EQ(model_.Text(c::kXCopyEdit), std::to_string(test.across));
    EXPECT_EQ(model_.Text(c::kYCopyEdit), "8");
    EXPECT_EQ(model_.Text(c::kTotalEdit), std::to_string(8 * test.across));
    EXPECT_EQ(GatherJobParameters(model_).copies_across, test.across);
  }
}

// The background follows Print White: the medium while it is on, the plain page while off.
TEST_F(PreviewRefreshTest, TheBackgroundFollowsPrintWhite) {
  SetUp({});
  const WorkImage image = Picture(50, 50);
  ASSERT_TRUE(model_.IsChecked(c::kPrintWhite));
  PreviewRefresh refresh = Refresh(image);
  EXPECT_EQ(model_.preview_mode(), static_cast<int>(PreviewBackground::kMedium));
  const auto at = [&](int x, int y) {
    return refresh.canvas.rgba[4 * (y * refresh.canvas.width + x)];
  };
  EXPECT_EQ(at(32, 200), kCheckerGrey);  // inside the margins, away from the copy
  model_.Click(c::kPrintWhite);
  refresh = Refresh(image);
  EXPECT_EQ(model_.preview_mode(), static_cast<int>(PreviewBackground::kPlain));
  EXPECT_EQ(at(32, 200), 255);
}

// The white view shows the white plane the job prints as grey on black, the page outline
// kept; a choke darkens the copy's border, and the colour preview shows the edge only while
// the white is displayed.
TEST_F(PreviewRefreshTest, TheWhiteViewShowsThePrintedWhitePlane) {
  PrintChoices choices;
  choices.image_area_width = 1006;
  choices.threshold_on = false;  // white under the whole picture
  choices.white_view = true;
  SetUp(choices);
  const WorkImage image = Picture(50, 50);
  PreviewRefresh refresh = Refresh(image);
  ASSERT_TRUE(refresh.copies_drawn);
  ASSERT_TRUE(refresh.layout);
  const PageLayout& layout = *refresh.layout;
  const auto at = [&](const PreviewRefresh& r, int x, int y) {
    return r.canvas.rgba[4 * (static_cast<std::size_t>(y) * r.canvas.width + x)];
  };
  // The level the job prints, from its own planes.
  WorkImage printed = image;
  NullProgress progress;
  const SeparationOutcome job =
      BuildJobPlanes(printed, GatherJobParameters(model_), store_, std::nullopt, progress);
  ASSERT_TRUE(job.ok());
  const int level = job.set.At(25, 25, 4);
  ASSERT_GT(level, 200);
  const int centre_x = layout.origin_x_px + layout.preview_width / 2;
  const int centre_y = layout.origin_y_px + layout.preview_height / 2;
  EXPECT_EQ(at(refresh, centre_x, centre_y), level);
  EXPECT_EQ(at(refresh, layout.origin_x_px, layout.origin_y_px), level);
  EXPECT_EQ(at(refresh, 0, 0), 128);  // the page outline
  EXPECT_EQ(at(refresh, layout.origin_x_px + layout.preview_width + 20, centre_y), 0);  // no toner

  // 1 mm at 72 pixels per inch is 2.8 job pixels, about 4.7 on this canvas.
  model_.SetWhiteEdge(100);
  refresh = Refresh(image);
  EXPECT_EQ(at(refresh, centre_x, centre_y), level);
  EXPECT_EQ(at(refresh, layout.origin_x_px + 1, layout.origin_y_px + 1), 0);

  model_.Click(c::kWhiteView);
  model_.SetWhiteEdge(0);
  const PreviewRefresh without_edge = Refresh(image);
  model_.SetWhiteEdge(100);
  EXPECT_TRUE(Refresh(image).canvas.rgba == without_edge.canvas.rgba)
      << "the edge shows only while the white is displayed";
  model_.Click(c::kDisplayWhite);
  ASSERT_TRUE(model_.IsChecked(c::kDisplayWhite));
  const PreviewRefresh displayed = Refresh(image);
  model_.SetWhiteEdge(0);
  EXPECT_FALSE(Refresh(image).canvas.rgba == displayed.canvas.rgba);
}

// The preview draws the copies where the job puts them: for a grid of copies the offsets the
// preview publishes are the job's translate values (less the 13 points of the page origin),
// and the first copy starts on the canvas at the published origin.
TEST_F(PreviewRefreshTest, TheCopiesGridsOffsetsAreTheJobsTranslateValues) {
  for (const bool optimal : {false, true}) {
    PrintChoices choices;
    choices.copies_across = 2;
    choices.copies_down = 3;
    choices.image_area_width = 1006;
    choices.optimal_layout = optimal;
    choices.print_white = false;  // the plain page: copies show as they are
    SetUp(choices);
    WorkImage image = Picture(150, 100);
    const PreviewRefresh refresh = Refresh(image);
    ASSERT_TRUE(refresh.layout);
    const PageLayout& layout = *refresh.layout;
    EXPECT_EQ(layout.copies_across, 2);
    EXPECT_EQ(layout.copies_down, 3);
    EXPECT_EQ(refresh.canvas.width, 999);
    EXPECT_EQ(refresh.canvas.height, 1414);

    // The first copy's corner on the canvas, and the second copy across after the gap.
    const auto dark = [&](int x, int y) {
      const std::uint8_t* p = refresh.canvas.rgba.data() + 4 * (y * refresh.canvas.width + x);
      return p[0] < 100;
    };
    const int x0 = layout.origin_x_px;
    const int y0 = layout.origin_y_px;
    EXPECT_TRUE(dark(x0, y0));
    EXPECT_FALSE(dark(x0 - 1, y0 + 1));
    EXPECT_FALSE(dark(x0 + 1, y0 - 1));
    const int x1 = x0 + layout.preview_width + layout.gap_x_px;
    EXPECT_FALSE(dark(x1 - 1, y0 + 1));
    EXPECT_TRUE(dark(x1, y0 + 1));

    const testing::TempDir dir;
    const std::filesystem::path job = dir.path() / "job.ps";
    std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
    NullProgress progress;
    const PrintServices services{store_, texts_, notifier_, progress, *spooler, "1700000000"};
    ASSERT_EQ(PrintPicture(services, GatherJobParameters(model_), image, "art.png",
                           PrintTarget{"file:" + job.string(), std::nullopt, false}),
              PrintOutcome::kSent);
    const std::string bytes = testing::ReadFileBytes(job);
    const std::regex translate(R"(\n ?(-?\d+) ?(-?\d+) translate\r?\n)");
    std::vector<std::pair<int, int>> found;
    for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), translate);
         it != std::sregex_iterator(); ++it) {
      found.emplace_back(std::stoi((*it)[1]), std::stoi((*it)[2]));
    }
    ASSERT_EQ(found.size(), 1u) << optimal;
    EXPECT_EQ(found[0].first, std::max(layout.offset_x_pt - 13, 0)) << optimal;
    EXPECT_EQ(found[0].second, std::max(layout.offset_y_pt - 13, 0)) << optimal;
    EXPECT_GT(layout.offset_x_pt, 13);
    EXPECT_GT(layout.offset_y_pt, 13);
  }
  EXPECT_TRUE(notifier_.messages.empty());
}

}  // namespace
}  // namespace kelvaro
