#include "app/print_setup.h"

#include <gtest/gtest.h>

#include <string>

#include "app/control_ids.h"
#include "settings/job_settings.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace c = control;

class PrintSetupTest : public ::testing::Test {
 protected:
  PrintSetupTest() : store_(folders_.folders(), notifier_) {
    LoadDefaultTexts(texts_);
    ToneCurves curves;
    WriteDefaultSettings(store_, curves);
  }
  std::optional<Refusal> Apply(const PrintChoices& choices) {
    return ApplyPrintChoices(model_, choices, folders_.root() / "no-usb");
  }
  std::string SettingsBytes() const { return testing::ReadFileBytes(store_.UserSettingsFile()); }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_;
  MainWindowModel model_{store_, texts_};
};

// The medium's white settings replace the stored ones; an explicit choice wins over both.
TEST_F(PrintSetupTest, TheMediumsWhiteSettingsApplyAndExplicitChoicesWin) {
  ASSERT_FALSE(Apply({}));
  EXPECT_TRUE(model_.IsChecked(c::kPrintWhite));  // stored TonerOn 1
  EXPECT_EQ(model_.Text(c::kThresholdValue), "50%");

  MainWindowModel light(store_, texts_);
  PrintChoices choices;
  choices.media = "Light (64 - 74 g/m2)";
  ASSERT_FALSE(ApplyPrintChoices(light, choices, folders_.root()));
  EXPECT_FALSE(light.IsChecked(c::kPrintWhite));

  MainWindowModel medium_j(store_, texts_);
  choices.media = "Kelvaro Medium J";
  ASSERT_FALSE(ApplyPrintChoices(medium_j, choices, folders_.root()));
  EXPECT_EQ(medium_j.Text(c::kThresholdValue), "60%");
  EXPECT_EQ(medium_j.Text(c::kTrayList), "Tray 1");

  MainWindowModel chosen(store_, texts_);
  choices.white_threshold = 41;
  choices.mirror = false;
  choices.brightness = -7;
  ASSERT_FALSE(ApplyPrintChoices(chosen, choices, folders_.root()));
  const JobParameters params = GatherJobParameters(chosen);
  EXPECT_EQ(params.white_threshold, 41);
  EXPECT_FALSE(params.mirror);
  EXPECT_EQ(params.brightness, -7);
}

TEST_F(PrintSetupTest, ChoicesTheWindowWouldNotOfferAreRefusedWithWhatItWouldOffer) {
  struct Case {
    PrintChoices choices;
    RefusalKind kind;
  };
  auto with = [](auto set) {
    PrintChoices choices;
    set(choices);
    return choices;
  };
  const Case cases[] = {
      {with([](PrintChoices& p) { p.model = "C999WT"; }), RefusalKind::kUnknownModel},
      {with([](PrintChoices& p) { p.paper = "A3"; }), RefusalKind::kUnknownPaper},
      {with([](PrintChoices& p) { p.media = "Cardboard"; }), RefusalKind::kUnknownMedia},
      {with([](PrintChoices& p) { p.tray = "Tray 9"; }), RefusalKind::kUnknownTray},
      {with([](PrintChoices& p) {
         p.media = "Glossy";
         p.tray = "Tray 1";
       }),
       RefusalKind::kTrayFixed},
      {with([](PrintChoices& p) { p.contrast = 101; }), RefusalKind::kOutOfRange},
      {with([](PrintChoices& p) {
         p.print_white = false;
         p.print_cmy = false;
       }),
       RefusalKind::kNothingToPrint},
      {with([](PrintChoices& p) { p.profile_out = "missing.icc"; }),
       RefusalKind::kUnreadableProfile},
  };
  for (const Case& test : cases) {
    MainWindowModel model(store_, texts_);
    const std::optional<Refusal> refusal = ApplyPrintChoices(model, test.choices, folders_.root());
    ASSERT_TRUE(refusal) << static_cast<int>(test.kind);
    EXPECT_EQ(refusal->kind, test.kind);
    EXPECT_FALSE(RefusalText(*refusal).empty());
  }
  // A paper the C711WT does not list is named with the list it has.
  PrintChoices a3;
  a3.paper = "A3";
  const std::optional<Refusal> refusal = Apply(a3);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(RefusalText(*refusal).substr(0, 38), "\"A3\" is not in the paper list of C711W");
  EXPECT_NE(RefusalText(*refusal).find("\r\n  A4"), std::string::npos);
}

// Under a hold of the store's writes, every rule runs as in the window (the dark medium's
// margins reach the job) and the settings file stays byte for byte as it was.
TEST_F(PrintSetupTest, PreparingUnderAHoldStoresNothing) {
  const std::string before = SettingsBytes();
  {
    const SettingsStore::WriteHold hold = store_.HoldWrites();
    PrintChoices choices;
    choices.media = "Nollo UK Medium T Dark";
    choices.toner_order = "WF";
    choices.paper = "A4";
    ASSERT_FALSE(Apply(choices));
    EXPECT_EQ(GatherJobParameters(model_).margins, (Margins{38.55, 28.34, 28.34, 38.55}));
    EXPECT_EQ(store_.ReadSetting("Active", "T_ORDER"), "WF");
  }
  EXPECT_EQ(SettingsBytes(), before);
  EXPECT_EQ(store_.ReadSetting("Active", "T_ORDER"), "WL");
}

}  // namespace
}  // namespace kelvaro
