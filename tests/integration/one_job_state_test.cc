// The window and the command line print through one job state: a print made by clicking the
// window's controls gives the same bytes as `kelvaro print` with the matching options.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/control_ids.h"
#include "app/job_parameters.h"
#include "app/main_window_model.h"
#include "app/picture_load.h"
#include "app/print_run.h"
#include "app/window_commands.h"
#include "platform/spooler.h"
#include "printers/printer_models.h"
#include "settings/job_settings.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
namespace c = control;
using testing::ReadFileBytes;

constexpr char kPinnedClock[] = "1700000000";

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

TEST(OneJobStateTest, ClicksInTheWindowAndOptionsOnTheCommandLinePrintTheSameBytes) {
  testing::TestFolders folders;
  const fs::path no_usb = folders.root() / "no-usb";
  const fs::path cli_job = folders.root() / "cli.ps";
  const fs::path window_job = folders.root() / "window.ps";

  // The command line, which also makes the settings file on its first start.
  const std::string command =
      "KELVARO_USER_DIR=" + Quoted(folders.folders().user) +
      " KELVARO_COMMON_DIR=" + Quoted(folders.folders().common) +
      " KELVARO_PROGRAM_DIR=" + Quoted(folders.folders().program) +
      " KELVARO_SYSFS_USB_ROOT=" + Quoted(no_usb) + " SOURCE_DATE_EPOCH=" + kPinnedClock + " " +
      Quoted(testing::KelvaroBinary()) + " print " + Quoted(testing::SampleArtwork()) +
      " --model Pro8432WT --paper A3 --media 'Kelvaro Medium J' --across 2 --down 3"
      " --no-mirror --white-density 80 --brightness 20 --output " +
      Quoted(cli_job) + " 2>/dev/null";
  ASSERT_EQ(testing::RunCommand(command).status, 0) << command;

  // The window, driven by control id as a person would click.
  testing::RecordingNotifier notifier;
  SettingsStore store(folders.folders(), notifier);
  UiText texts;
  LoadDefaultTexts(texts);
  store.WriteSetting("Active", "Model", "Pro8432WT");
  MainWindowModel model(store, texts);
  SetUpWindowState(model, ResolveActiveModelName(store, no_usb),
                   LoadStoredSettings(store, texts).job);
  model.PickItem(c::kPaperList, model.FindItem(c::kPaperList, "A3"));
  model.PickItem(c::kMediaList, model.FindItem(c::kMediaList, "Kelvaro Medium J"));
  model.SetText(c::kXCopyEdit, "2");
  model.SetText(c::kYCopyEdit, "3");
  model.Click(c::kMirror);
  model.MoveSlider(c::kWhiteDensitySlider, 80);
  model.MoveSlider(c::kBrightnessSlider, 60);
  bool print_requested = false;
  model.SetRequestObserver([&](const ModelRequest& request) {
    print_requested = print_requested || request.kind == RequestKind::kRunPrint;
  });
  model.Click(c::kPrintButton);
  ASSERT_TRUE(print_requested);

  JobParameters params = GatherJobParameters(model);
  NullProgress progress;
  WorkImage image;
  const LoadedPicture loaded =
      LoadPicture(store, texts, notifier, progress, PictureLoadFor(params, std::nullopt),
                  testing::SampleArtwork(), image);
  ASSERT_TRUE(loaded.loaded);
  std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  const PrintServices services{store, texts, notifier, progress, *spooler, kPinnedClock};
  ASSERT_EQ(PrintPicture(services, params, image, testing::SampleArtwork().filename().string(),
                         PrintTarget{"file:" + window_job.string(), std::nullopt}),
            PrintOutcome::kSent);

  const std::string from_window = ReadFileBytes(window_job);
  ASSERT_GT(from_window.size(), 1000000u);
  EXPECT_TRUE(from_window == ReadFileBytes(cli_job)) << "the two jobs differ";
}

}  // namespace
}  // namespace kelvaro
