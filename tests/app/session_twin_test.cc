// Every sequence of user actions in the window has a command-line twin: the same choices given
// as options. Both sessions print through the same code; the job bytes must be the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/control_ids.h"
#include "app/main_window_model.h"
#include "app/session.h"
#include "app/startup.h"
#include "app/window_commands.h"
#include "settings/job_settings.h"
#include "support/recording_spooler.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace c = control;
namespace m = command;
namespace fs = std::filesystem;

// What the user does in the window, one action after another.
using WindowAction = std::function<void(Session&, const fs::path& folder)>;

WindowAction Click(int id) {
  return [id](Session& s, const fs::path&) { s.Act([&] { s.model().Click(id); }); };
}
WindowAction Pick(int list, std::string text) {
  return [list, text](Session& s, const fs::path&) {
    const int index = s.model().FindItem(list, text);
    ASSERT_GE(index, 0) << text;
    s.Act([&] { s.model().PickItem(list, index); });
  };
}
// Typed into a field, then Enter with the focus there.
WindowAction Type(int field, std::string text) {
  return [field, text](Session& s, const fs::path&) {
    s.Act([&] {
      s.model().SetText(field, text);
      s.model().PressEnter(field, false);
    });
  };
}
WindowAction TonerOrder(bool white_first) {
  return [white_first](Session& s, const fs::path&) {
    s.Act([&] { ChooseTonerOrder(s.model(), s.app().notifier(), white_first); });
  };
}
WindowAction LoadSettings() {
  return [](Session& s, const fs::path& folder) {
    ASSERT_TRUE(s.LoadSettingsFile(folder / "shop.qvcfg", false));
  };
}

// A white edge width typed into its box, then the way picked.
WindowAction WhiteEdge(double millimetres, const char* way) {
  return [millimetres, way](Session& s, const fs::path&) {
    s.Act([&] { s.model().ChangeWhiteEdgeWidth(millimetres); });
    s.Act(
        [&] { s.model().PickItem(c::kWhiteEdgeMode, s.model().FindItem(c::kWhiteEdgeMode, way)); });
  };
}

// The preview drawn at another size of the window.
WindowAction PreviewAt(int area_width) {
  return [area_width](Session& s, const fs::path&) { s.Preview(area_width); };
}

struct Twin {
  const char* name;
  std::string model;  // the printer model stored before the window opens
  std::vector<WindowAction> window;
  std::function<void(PrintChoices&)> command_line;
  bool pattern = false;          // Pattern Print with the stored set-up
  bool language_switch = false;  // the window is built again before the print
};

void PrintTo(const Twin& twin, std::ostream* out) { *out << twin.name; }

class SessionTwinTest : public ::testing::TestWithParam<Twin> {
 protected:
  SessionTwinTest() : app_(folders_.folders(), notifier_) {
    RunStartup(app_, StartupOptions::CommandLine());
  }

  SessionServices Services() { return SessionServices{progress_, spooler_, "1700000000"}; }

  // A setting file as a shop would keep one: its own paper, margins and white values.
  void WriteSettingFile() {
    testing::WriteFileBytes(folders_.root() / "shop.qvcfg",
                            "[Active]\r\nPaper=A5 SEF\r\nTop Margin= 2000\r\nLeft Margin= 1500\r\n"
                            "Right Margin= 1500\r\nBottom Margin= 2000\r\n"
                            "[JobSettings]\r\nWhite Mask %= 80\r\nToner %= 70\r\n");
  }

  std::string WindowJob(const Twin& twin, const fs::path& picture) {
    Session window(app_, Services());
    app_.store.WriteSetting("Active", "Model", twin.model);
    SetUpWindowState(window.model(), twin.model, LoadStoredSettings(app_.store, app_.texts).job);
    window.model().SetItems(c::kPrinterList, {"Queue"}, 0);
    window.Act([] {});
    EXPECT_TRUE(window.Open(picture));
    for (const WindowAction& action : twin.window) action(window, folders_.root());
    if (twin.language_switch) {
      // The new window reads the stored settings again and takes the picture over.
      Session rebuilt(app_, Services());
      SetUpWindowState(rebuilt.model(), twin.model, LoadStoredSettings(app_.store, app_.texts).job);
      rebuilt.model().SetItems(c::kPrinterList, {"Queue"}, 0);
      std::optional<Session::KeptPicture> kept = window.TakePicture();
      EXPECT_TRUE(kept.has_value());
      if (kept) rebuilt.AdoptPicture(std::move(*kept));
      EXPECT_EQ(rebuilt.PrintToSelectedQueue(twin.pattern), PrintOutcome::kSent);
    } else {
      EXPECT_EQ(window.PrintToSelectedQueue(twin.pattern), PrintOutcome::kSent);
    }
    return spooler_.jobs.empty() ? "" : Bytes(spooler_.jobs.back());
  }

  std::string CommandLineJob(const Twin& twin, const fs::path& picture) {
    PrintChoices choices;
    choices.model = twin.model;
    if (twin.command_line) twin.command_line(choices);
    if (choices.settings_file) choices.settings_file = folders_.root() / *choices.settings_file;
    Session run(app_, Services());
    const Session::RunStart start = run.StartRun(choices, picture, folders_.root() / "no-usb");
    EXPECT_FALSE(start.refusal.has_value());
    EXPECT_TRUE(start.loaded);
    run.ReleaseLayoutRecords();
    PrintTarget target;
    target.queue = "Queue";
    target.pattern = twin.pattern;
    EXPECT_EQ(run.Print(target), PrintOutcome::kSent);
    return spooler_.jobs.empty() ? "" : Bytes(spooler_.jobs.back());
  }

  static std::string Bytes(const testing::RecordingSpooler::Job& job) {
    std::string all;
    for (const std::string& block : job.blocks) all += block;
    return all;
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  AppContext app_;
  NullProgress progress_;
  testing::RecordingSpooler spooler_;
};

TEST_P(SessionTwinTest, TheWindowPrintsTheJobOfTheCommandLine) {
  const Twin& twin = GetParam();
  WriteSettingFile();
  const fs::path picture = testing::SampleArtwork();
  const std::string window_job = WindowJob(twin, picture);
  const std::string command_line_job = CommandLineJob(twin, picture);
  ASSERT_FALSE(window_job.empty());
  // Not EXPECT_EQ on megabytes of bytes: say where they part.
  std::size_t first = 0;
  while (first < window_job.size() && first < command_line_job.size() &&
         window_job[first] == command_line_job[first]) {
    ++first;
  }
  EXPECT_TRUE(window_job == command_line_job)
      << "sizes " << window_job.size() << " and " << command_line_job.size()
      << ", first difference at byte " << first << ": "
      << window_job.substr(first > 40 ? first - 40 : 0, 80);
}

const Twin kTwins[] = {
    {"Loaded", "C711WT", {}, {}},
    {"WhiteChoke",
     "C711WT",
     {WhiteEdge(0.3, kWhiteEdgeChoke), Click(c::kDisplayWhite), PreviewAt(500)},
     [](PrintChoices& o) { o.white_edge = 30; }},
    {"WhiteSpreadWhiteFirst",
     "Pro8432WT",
     {TonerOrder(true), WhiteEdge(0.55, kWhiteEdgeSpread)},
     [](PrintChoices& o) {
       o.toner_order = "WF";
       o.white_edge = -55;
     }},
    {"Mirror", "C711WT", {Click(c::kMirror)}, [](PrintChoices& o) { o.mirror = true; }},
    {"Rotate", "C711WT", {Click(c::kRotate)}, [](PrintChoices& o) { o.rotate = true; }},
    {"Flip", "C711WT", {Click(c::kFlip)}, [](PrintChoices& o) { o.flip = true; }},
    {"MirrorTwiceAndFlip",
     "C711WT",
     {Click(c::kMirror), Click(c::kFlip), Click(c::kMirror)},
     [](PrintChoices& o) { o.flip = true; }},
    {"MediumJMirrors",
     "C711WT",
     {Pick(c::kMediaList, "Kelvaro Medium J")},
     [](PrintChoices& o) { o.media = "Kelvaro Medium J"; }},
    {"MediumAMirrors",
     "C711WT",
     {Pick(c::kMediaList, "Medium A")},
     [](PrintChoices& o) { o.media = "Medium A"; }},
    {"MirrorThenGlossyClearsIt",
     "C711WT",
     {Click(c::kMirror), Pick(c::kMediaList, "Glossy")},
     [](PrintChoices& o) { o.media = "Glossy"; }},
    {"TonerOrderSwitchAppliesTheMediumAgain",
     "Pro8432WT",
     {Pick(c::kMediaList, "Kelvaro Medium J"), TonerOrder(true)},
     [](PrintChoices& o) {
       o.toner_order = "WF";
       o.media = "Kelvaro Medium J";
     }},
    {"PaperA6SefAfterTheLoad",
     "C711WT",
     {Pick(c::kPaperList, "A6 SEF")},
     [](PrintChoices& o) { o.paper = "A6 SEF"; }},
    {"PaperThenRotate",
     "C711WT",
     {Pick(c::kPaperList, "A5 SEF"), Click(c::kRotate)},
     [](PrintChoices& o) {
       o.paper = "A5 SEF";
       o.rotate = true;
     }},
    {"FitToPage", "C711WT", {Click(c::kFitToPage)}, [](PrintChoices& o) { o.fit_to_page = true; }},
    {"FitToPageThenMirror",
     "C711WT",
     {Click(c::kFitToPage), Click(c::kMirror)},
     [](PrintChoices& o) {
       o.mirror = true;
       o.fit_to_page = true;
     }},
    {"TypedWidth",
     "C711WT",
     {Type(c::kXSizeEdit, "100")},
     [](PrintChoices& o) { o.typed_width = "100"; }},
    {"TypedHeightThenMirror",
     "C711WT",
     {Type(c::kYSizeEdit, "80"), Click(c::kMirror)},
     [](PrintChoices& o) {
       o.mirror = true;
       o.typed_height = "80";
     }},
    {"TypedCopies",
     "C711WT",
     {Type(c::kXCopyEdit, "2"), Type(c::kYCopyEdit, "3")},
     [](PrintChoices& o) {
       o.copies_across = 2;
       o.copies_down = 3;
     }},
    {"CopiesThatDoNotFit",
     "C711WT",
     {Type(c::kXSizeEdit, "150"), Type(c::kXCopyEdit, "3")},
     [](PrintChoices& o) {
       o.copies_across = 3;
       o.typed_width = "150";
     }},
    {"LoadSettingsBringsPaperAndMargins",
     "C711WT",
     {LoadSettings()},
     [](PrintChoices& o) { o.settings_file = "shop.qvcfg"; }},
    {"LoadDefaultsAfterAMedium",
     "C711WT",
     {Pick(c::kMediaList, "Kelvaro Medium J"), Click(m::kLoadDefaults)},
     [](PrintChoices& o) { o.media = "Kelvaro Medium J"; }},
    {"PlacementAndTile",
     "C711WT",
     {Click(c::kPlacementTopLeft), Click(c::kAutomaticTile)},
     [](PrintChoices& o) {
       o.placement_mode = 4;
       o.automatic_tile = true;
     }},
    {"BackgroundRemoval",
     "C711WT",
     {Click(c::kBackgroundRemoval)},
     [](PrintChoices& o) { o.background_removal = true; }},
    {"OptimalLayoutWithCopies",
     "C920WT",
     {Click(c::kOptimalLayout), Type(c::kXCopyEdit, "2")},
     [](PrintChoices& o) {
       o.optimal_layout = true;
       o.copies_across = 2;
     }},
    {"TheWindowsSizeDoesNotMatter",
     "C711WT",
     {PreviewAt(700), Click(c::kMirror), PreviewAt(420)},
     [](PrintChoices& o) { o.mirror = true; }},
    {"PatternPrintAfterMediumJ",
     "C711WT",
     {Pick(c::kMediaList, "Kelvaro Medium J")},
     [](PrintChoices& o) { o.media = "Kelvaro Medium J"; },
     true},
    {"LanguageSwitchKeepsThePicture",
     "C711WT",
     {Click(c::kRotate)},
     [](PrintChoices& o) { o.rotate = true; },
     false,
     true},
    {"WhiteOff", "C711WT", {Click(c::kPrintWhite)}, [](PrintChoices& o) { o.print_white = false; }},
    {"WhiteChokeKeptByANewWindowAndThePatternPrint",
     "C711WT",
     {WhiteEdge(0.2, kWhiteEdgeChoke), Click(c::kWhiteView), PreviewAt(450)},
     [](PrintChoices& o) { o.white_edge = 20; },
     true,
     true},
};

INSTANTIATE_TEST_SUITE_P(Sequences, SessionTwinTest, ::testing::ValuesIn(kTwins),
                         [](const ::testing::TestParamInfo<Twin>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kelvaro
