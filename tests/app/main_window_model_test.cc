#include "app/main_window_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace c = control;
namespace m = command;

class ModelTest : public ::testing::Test {
 protected:
  ModelTest() : store_(folders_.folders(), notifier_), model_(store_, Texts()) {
    std::filesystem::create_directories(folders_.folders().user);
    model_.SetRequestObserver([this](const ModelRequest& request) {
      requests_.push_back(request.kind);
      last_request_ = request;
    });
  }

  static const UiText& Texts() {
    static const UiText texts = [] {
      UiText table;
      LoadDefaultTexts(table);
      return table;
    }();
    return texts;
  }

  std::string Stored(const char* section, const char* key) const {
    return store_.ReadSetting(section, key);
  }
  bool Requested(RequestKind kind) const {
    for (RequestKind k : requests_) {
      if (k == kind) return true;
    }
    return false;
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  MainWindowModel model_;
  std::vector<RequestKind> requests_;
  ModelRequest last_request_{RequestKind::kCommand, 0, {}};
};

TEST_F(ModelTest, NewWindowShowsCaptionsAndStartState) {
  EXPECT_EQ(model_.title(), "Kelvaro Pro - No File");
  EXPECT_EQ(model_.Text(c::kPrintWhite), "Print White");
  EXPECT_EQ(model_.Text(c::kDisplayWhite), "Display White");
  EXPECT_EQ(model_.Text(c::kThresholdLabel), "Add White Threshold");
  EXPECT_EQ(model_.Text(c::kPrintButton), "Print");
  EXPECT_EQ(model_.Text(m::kPrint), "&Print\tCtrl+P");
  EXPECT_EQ(model_.Text(m::kExit), "&Exit\tAlt+F4");
  EXPECT_EQ(model_.Control(c::kTonerOrderIndicator).picture, "#103");
  EXPECT_EQ(model_.Control(c::kFirstPreviewTool).picture, "#122");
  EXPECT_EQ(model_.Control(c::kLastPreviewTool).picture, "#137");
  EXPECT_EQ(model_.Control(c::kPreviewToolPaper).picture, "#138");
  EXPECT_TRUE(model_.IsChecked(c::kPrintWhite));
  EXPECT_EQ(model_.Text(c::kTrayList), "AUTO");
  EXPECT_EQ(model_.Control(c::kTrayList).items,
            (std::vector<std::string>{"AUTO", "MultiPurpose Tray", "Tray 1"}));
  for (int id : m::kRecentFiles) EXPECT_FALSE(model_.Control(id).visible) << id;
  // Building the window writes nothing.
  EXPECT_FALSE(std::filesystem::exists(store_.UserSettingsFile()));
}

TEST_F(ModelTest, TitleNamesTheLoadedFile) {
  model_.SetLoadedFile("art.png");
  EXPECT_EQ(model_.title(), "Kelvaro Pro - art.png");
  EXPECT_TRUE(model_.image_loaded());
  model_.SetLoadedFile("");
  EXPECT_EQ(model_.title(), "Kelvaro Pro - No File");
  EXPECT_FALSE(model_.image_loaded());
}

// Display White clicked: the result depends on Print White and Threshold on.
struct DisplayWhiteCase {
  bool print_white;
  bool display_before;  // the click turns it the other way
  bool threshold_on;
  bool display_after;
  bool threshold_after;
  bool density_slider_enabled;
  bool threshold_slider_enabled;
};

class DisplayWhiteRule : public ModelTest,
                         public ::testing::WithParamInterface<DisplayWhiteCase> {};

TEST_P(DisplayWhiteRule, FollowsTheTable) {
  const DisplayWhiteCase& t = GetParam();
  // The boxes start as loaded from the settings file.
  store_.WriteSetting("Active", "Display", FormatStoredNumber(t.display_before ? 1 : 0));
  store_.WriteSetting("Active", "TonerSave", FormatStoredNumber(t.threshold_on ? 1 : 0));
  model_.ApplyStoredWhiteSettings(t.display_before, t.print_white, t.threshold_on, 80, 40);
  // Whatever state the boxes were left in, the user can click Display White.
  model_.SetEnabled(c::kDisplayWhite, true);
  model_.SetEnabled(c::kThresholdOn, false);
  requests_.clear();
  model_.Click(c::kDisplayWhite);

  EXPECT_EQ(model_.IsChecked(c::kDisplayWhite), t.display_after);
  EXPECT_EQ(model_.IsChecked(c::kThresholdOn), t.threshold_after);
  EXPECT_EQ(model_.IsEnabled(c::kWhiteDensitySlider), t.density_slider_enabled);
  EXPECT_EQ(model_.IsEnabled(c::kThresholdSlider), t.threshold_slider_enabled);
  if (t.print_white && t.display_after) {
    EXPECT_TRUE(model_.IsEnabled(c::kThresholdOn));
  }
  EXPECT_TRUE(Requested(RequestKind::kRedrawPreview));
  // The stored values follow the boxes.
  EXPECT_EQ(ReadLeadingNumber(Stored("Active", "Display")), t.display_after ? 1 : 0);
  EXPECT_EQ(ReadLeadingNumber(Stored("Active", "TonerSave")), t.threshold_after ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllRows, DisplayWhiteRule,
    ::testing::Values(
        // Print White off: both boxes cleared, both sliders disabled.
        DisplayWhiteCase{false, false, true, false, false, false, false},
        DisplayWhiteCase{false, true, false, false, false, false, false},
        // Print White on, Display White now on: stays on, Threshold box usable.
        DisplayWhiteCase{true, false, false, true, false, true, false},
        DisplayWhiteCase{true, false, true, true, true, true, true},
        // Print White on, Display White now off, Threshold off: both cleared.
        DisplayWhiteCase{true, true, false, false, false, true, false},
        // Print White on, Display White now off, Threshold on: Threshold kept.
        DisplayWhiteCase{true, true, true, false, true, true, true}));

TEST_F(ModelTest, ThresholdOnEnablesItsSlider) {
  model_.ApplyStoredWhiteSettings(false, true, false, 100, 50);
  EXPECT_FALSE(model_.IsEnabled(c::kThresholdSlider));
  model_.Click(c::kThresholdOn);
  EXPECT_TRUE(model_.IsEnabled(c::kThresholdSlider));
  EXPECT_EQ(Stored("Active", "TonerSave"), "1");
  model_.Click(c::kThresholdOn);
  EXPECT_FALSE(model_.IsEnabled(c::kThresholdSlider));
  EXPECT_EQ(Stored("Active", "TonerSave"), "0");
}

TEST_F(ModelTest, PrintWhiteOffWhileColourPrints) {
  model_.ApplyStoredWhiteSettings(true, true, true, 100, 50);
  model_.Click(c::kPrintWhite);
  EXPECT_FALSE(model_.IsChecked(c::kPrintWhite));
  EXPECT_TRUE(model_.IsChecked(c::kPrintCmy));
  EXPECT_FALSE(model_.IsChecked(c::kDisplayWhite));
  EXPECT_FALSE(model_.IsChecked(c::kThresholdOn));
  EXPECT_FALSE(model_.IsEnabled(c::kWhiteDensitySlider));
  EXPECT_FALSE(model_.IsEnabled(c::kThresholdSlider));
  EXPECT_FALSE(model_.IsEnabled(c::kThresholdOn));
  EXPECT_TRUE(model_.IsEnabled(c::kDisplayWhite));
  EXPECT_EQ(Stored("Active", "TonerOn"), "0");
  EXPECT_EQ(Stored("Active", "Display"), "0");
  EXPECT_EQ(Stored("Active", "TonerSave"), "0");
}

TEST_F(ModelTest, PrintWhiteOnEnablesTheWhiteControls) {
  model_.ApplyStoredWhiteSettings(false, false, false, 100, 50);
  EXPECT_FALSE(model_.IsEnabled(c::kDisplayWhite));
  model_.Click(c::kPrintWhite);
  EXPECT_TRUE(model_.IsChecked(c::kPrintWhite));
  EXPECT_TRUE(model_.IsEnabled(c::kDisplayWhite));
  EXPECT_TRUE(model_.IsEnabled(c::kThresholdOn));
  EXPECT_TRUE(model_.IsEnabled(c::kWhiteDensitySlider));
  EXPECT_EQ(Stored("Active", "TonerOn"), "1");
}

// The white edge: width and way as the user sets them, the width snapped to 0.05 mm within
// 0..1 mm, stored as it changes; greyed and deaf while Print White is off.
TEST_F(ModelTest, WhiteEdgeFollowsItsControlsOnlyWhileWhiteIsPrinted) {
  model_.ApplyStoredWhiteSettings(false, true, true, 100, 50);
  ASSERT_TRUE(model_.IsEnabled(c::kWhiteEdgeWidth));
  model_.ChangeWhiteEdgeWidth(0.33);
  EXPECT_EQ(model_.WhiteEdge(), 35);
  EXPECT_EQ(Stored("Active", "White Edge mm"), "0.35");
  EXPECT_TRUE(Requested(RequestKind::kRedrawPreview));
  model_.PickItem(c::kWhiteEdgeMode, model_.FindItem(c::kWhiteEdgeMode, kWhiteEdgeSpread));
  EXPECT_EQ(model_.WhiteEdge(), -35);
  model_.ChangeWhiteEdgeWidth(7);
  EXPECT_EQ(model_.WhiteEdge(), -100);
  EXPECT_EQ(Stored("Active", "White Edge mm"), "-1.00");
  // Off: the way stays chosen, so that the width can go up again from 0.
  model_.ChangeWhiteEdgeWidth(0);
  EXPECT_EQ(model_.WhiteEdge(), 0);
  model_.ChangeWhiteEdgeWidth(0.1);
  EXPECT_EQ(model_.WhiteEdge(), -10);

  model_.Click(c::kPrintWhite);
  for (int id : {c::kWhiteEdgeLabel, c::kWhiteEdgeWidth, c::kWhiteEdgeMode}) {
    EXPECT_FALSE(model_.IsEnabled(id)) << id;
  }
  model_.ChangeWhiteEdgeWidth(0.5);
  model_.PickItem(c::kWhiteEdgeMode, 0);
  EXPECT_EQ(model_.WhiteEdge(), -10);
  EXPECT_EQ(Stored("Active", "White Edge mm"), "-0.10");
  model_.Click(c::kPrintWhite);
  EXPECT_TRUE(model_.IsEnabled(c::kWhiteEdgeMode));
  model_.PickItem(c::kWhiteEdgeMode, 0);
  EXPECT_EQ(model_.WhiteEdge(), 10);
}

TEST_F(ModelTest, PrintCmyOffPrintsWhiteOnlyAndSetsTheThresholdAside) {
  model_.ApplyStoredWhiteSettings(false, false, false, 100, 42);
  EXPECT_EQ(model_.Text(c::kThresholdValue), "42%");
  model_.Click(c::kPrintCmy);

  EXPECT_FALSE(model_.IsChecked(c::kPrintCmy));
  EXPECT_EQ(model_.Value(c::kThresholdSlider), 93);
  EXPECT_EQ(model_.Text(c::kThresholdValue), "93%");
  ASSERT_TRUE(model_.set_aside_threshold().has_value());
  EXPECT_EQ(*model_.set_aside_threshold(), "42%");
  EXPECT_TRUE(model_.IsChecked(c::kPrintWhite));
  EXPECT_TRUE(model_.IsChecked(c::kThresholdOn));
  EXPECT_TRUE(model_.IsChecked(c::kDisplayWhite));
  EXPECT_TRUE(model_.IsEnabled(c::kThresholdOn));
  EXPECT_TRUE(model_.IsEnabled(c::kDisplayWhite));
  EXPECT_TRUE(model_.IsEnabled(c::kThresholdSlider));
  EXPECT_TRUE(model_.IsEnabled(c::kWhiteDensitySlider));
  EXPECT_EQ(model_.Text(c::kPrintCmyHint),
            "The screen preview in \"Print white\" is simple as white can not be printed to "
            "the screen");
  EXPECT_EQ(Stored("Active", "TonerOn"), "1");
  // The forced white-only threshold is not the user's choice; the stored one stays.
  EXPECT_EQ(Stored("Active", "TonerPercent"), "");

  model_.Click(c::kPrintCmy);
  EXPECT_TRUE(model_.IsChecked(c::kPrintCmy));
  EXPECT_EQ(model_.Value(c::kThresholdSlider), 42);
  EXPECT_EQ(model_.Text(c::kThresholdValue), "42%");
  EXPECT_FALSE(model_.IsChecked(c::kThresholdOn));
  EXPECT_FALSE(model_.IsChecked(c::kDisplayWhite));
  EXPECT_FALSE(model_.IsEnabled(c::kThresholdSlider));
  EXPECT_EQ(ReadLeadingNumber(Stored("Active", "TonerPercent")), 42);
}

TEST_F(ModelTest, UserThresholdInWhiteOnlyModeIsStored) {
  model_.ApplyStoredWhiteSettings(false, true, true, 100, 50);
  model_.Click(c::kPrintCmy);
  model_.MoveSlider(c::kThresholdSlider, 88);
  EXPECT_EQ(Stored("Active", "TonerPercent"), "88");
  EXPECT_EQ(model_.Text(c::kThresholdValue), "88%");
}

TEST_F(ModelTest, PrintWhiteOffWithColourOffBringsColourBack) {
  model_.ApplyStoredWhiteSettings(false, true, false, 100, 35);
  model_.Click(c::kPrintCmy);  // white only, threshold 93, "35%" set aside
  model_.Click(c::kPrintWhite);
  EXPECT_FALSE(model_.IsChecked(c::kPrintWhite));
  EXPECT_TRUE(model_.IsChecked(c::kPrintCmy));
  EXPECT_EQ(model_.Value(c::kThresholdSlider), 35);
  EXPECT_EQ(model_.Text(c::kThresholdValue), "35%");
  EXPECT_FALSE(model_.IsEnabled(c::kDisplayWhite));
  EXPECT_FALSE(model_.IsEnabled(c::kThresholdOn));
  EXPECT_FALSE(model_.set_aside_threshold().has_value());
}

TEST_F(ModelTest, NothingSetAsideLeavesTheThresholdAlone) {
  // Colour switched off from outside the Print CMY rule: nothing was set aside.
  model_.SetChecked(c::kPrintCmy, false);
  model_.MoveSlider(c::kThresholdSlider, 0);  // disabled: ignored
  model_.SetEnabled(c::kThresholdSlider, true);
  model_.MoveSlider(c::kThresholdSlider, 71);
  model_.Click(c::kPrintWhite);
  EXPECT_TRUE(model_.IsChecked(c::kPrintCmy));
  EXPECT_EQ(model_.Value(c::kThresholdSlider), 71);
  EXPECT_EQ(model_.Text(c::kThresholdValue), "71%");
}

TEST_F(ModelTest, StoredWhiteSettingsAreShownButNotWrittenBack) {
  model_.ApplyStoredWhiteSettings(true, true, true, 77, 66);
  EXPECT_TRUE(model_.IsChecked(c::kDisplayWhite));
  EXPECT_EQ(model_.Text(c::kWhiteDensityValue), "77%");
  EXPECT_EQ(model_.Text(c::kThresholdValue), "66%");
  EXPECT_TRUE(model_.IsEnabled(c::kThresholdSlider));
  EXPECT_FALSE(std::filesystem::exists(store_.UserSettingsFile()));
}

struct SliderCaptionCase {
  int slider;
  int position;
  const char* caption;
};

TEST(SliderCaption, ShowsThePositionOrTheSignedPercentage) {
  const SliderCaptionCase cases[] = {
      {c::kWhiteDensitySlider, 100, "100%"}, {c::kThresholdSlider, 0, "0%"},
      {c::kThresholdSlider, 93, "93%"},      {c::kBrightnessSlider, 50, "0%"},
      {c::kBrightnessSlider, 0, "-100%"},    {c::kContrastSlider, 100, "100%"},
      {c::kContrastSlider, 40, "-20%"},
  };
  for (const SliderCaptionCase& t : cases) {
    EXPECT_EQ(SliderCaption(t.slider, t.position), t.caption) << t.slider << " " << t.position;
  }
}

TEST_F(ModelTest, CaptionNumberReadsTheLeadingNumber) {
  const std::pair<const char*, long> cases[] = {{"60%", 60}, {"-20%", -20}, {"", 0},
                                                {" 50", 50}, {"abc", 0},    {"100.0%", 100}};
  for (const auto& [caption, number] : cases) {
    model_.SetText(c::kThresholdValue, caption);
    EXPECT_EQ(model_.CaptionNumber(c::kThresholdValue), number) << '"' << caption << '"';
  }
}

TEST_F(ModelTest, SlidersMoveWithinRangeAndStoreTheirPosition) {
  model_.MoveSlider(c::kWhiteDensitySlider, 140);
  EXPECT_EQ(model_.Value(c::kWhiteDensitySlider), 100);
  model_.MoveSlider(c::kWhiteDensitySlider, 55);
  EXPECT_EQ(model_.Text(c::kWhiteDensityValue), "55%");
  EXPECT_EQ(ReadLeadingNumber(Stored("Active", "White Mask %")), 55);
  model_.MoveSlider(c::kBrightnessSlider, 30);
  EXPECT_EQ(model_.Text(c::kBrightnessValue), "-40%");
  model_.Click(c::kBrightnessReset);
  EXPECT_EQ(model_.Text(c::kBrightnessValue), "0%");
  EXPECT_EQ(model_.Value(c::kBrightnessSlider), 50);
  // A disabled slider does not move.
  model_.SetEnabled(c::kWhiteDensitySlider, false);
  model_.MoveSlider(c::kWhiteDensitySlider, 10);
  EXPECT_EQ(model_.Value(c::kWhiteDensitySlider), 55);
}

TEST_F(ModelTest, HandButtonsExcludeEachOtherAndAreStored) {
  model_.Click(c::kLeftHand);
  EXPECT_TRUE(model_.IsChecked(c::kLeftHand));
  EXPECT_EQ(model_.Control(c::kLeftHand).picture, "#144");
  EXPECT_EQ(Stored("Others", "LeftHand"), "1");
  EXPECT_EQ(Stored("Others", "RightHand"), "0");

  model_.Click(c::kRightHand);
  EXPECT_TRUE(model_.IsChecked(c::kRightHand));
  EXPECT_EQ(model_.Control(c::kRightHand).picture, "#145");
  EXPECT_FALSE(model_.IsChecked(c::kLeftHand));
  EXPECT_EQ(model_.Control(c::kLeftHand).picture, "#142");
  EXPECT_EQ(Stored("Others", "RightHand"), "1");
  EXPECT_EQ(Stored("Others", "LeftHand"), "0");

  requests_.clear();
  model_.Click(c::kRightHand);
  EXPECT_FALSE(model_.IsChecked(c::kRightHand));
  EXPECT_EQ(model_.Control(c::kRightHand).picture, "#143");
  EXPECT_EQ(Stored("Others", "RightHand"), "0");
  EXPECT_TRUE(Requested(RequestKind::kRedrawPreview));
}

TEST_F(ModelTest, PlacementGridStoresTheAlignmentMode) {
  EXPECT_EQ(model_.placement_mode(), 0);
  const int expected[] = {4, 2, 3, 5, 1, 6, 9, 7, 8};
  for (int i = 0; i < 9; ++i) {
    const int id = c::kPlacementTopLeft + i;
    requests_.clear();
    model_.Click(id);
    EXPECT_EQ(model_.placement_mode(), expected[i]) << id;
    EXPECT_TRUE(Requested(RequestKind::kRedrawPreview));
    for (int other = c::kPlacementTopLeft; other <= c::kPlacementBottomRight; ++other) {
      EXPECT_EQ(model_.IsChecked(other), other == id);
    }
  }
  EXPECT_EQ(PlacementModeForButton(c::kPlacementTopLeft - 1), 0);
}

TEST_F(ModelTest, PreviewToolsSwitchModesOnce) {
  const std::pair<int, int> tools[] = {{1233, 16}, {1241, 15}, {1242, 14}, {1243, 13},
                                       {1244, 12}, {1245, 11}, {1246, 10}};
  for (const auto& [tool, mode] : tools) {
    requests_.clear();
    model_.Click(tool);
    EXPECT_EQ(model_.preview_mode(), mode);
    EXPECT_EQ(requests_, (std::vector<RequestKind>{RequestKind::kRecapturePreview,
                                                   RequestKind::kRedrawPreview}));
    // The mode already in force: nothing happens.
    requests_.clear();
    model_.Click(tool);
    EXPECT_TRUE(requests_.empty()) << tool;
  }
  requests_.clear();
  model_.Click(c::kPreviewToolPaper);
  EXPECT_EQ(model_.preview_mode(), 17);
  EXPECT_EQ(requests_, (std::vector<RequestKind>{RequestKind::kRecapturePreview,
                                                 RequestKind::kReapplyPaperLayout,
                                                 RequestKind::kRedrawPreview}));
  // Tools without a settled mode only redraw.
  requests_.clear();
  model_.Click(1236);
  EXPECT_EQ(model_.preview_mode(), 17);
  EXPECT_EQ(requests_, std::vector<RequestKind>{RequestKind::kRedrawPreview});
}

TEST_F(ModelTest, LoadDefaultsResetsTheWhiteControlsAndCopies) {
  model_.ApplyStoredWhiteSettings(true, true, true, 30, 80);
  model_.Click(c::kPrintCmy);
  model_.SetText(c::kCopiesEdit, "7");
  model_.SetPicture(c::kTonerOrderIndicator, kWhiteFirstIndicator);
  requests_.clear();
  model_.ResetControlsToDefaults();

  EXPECT_EQ(model_.Value(c::kThresholdSlider), 50);
  EXPECT_EQ(model_.Text(c::kThresholdValue), "50%");
  EXPECT_EQ(model_.Value(c::kWhiteDensitySlider), 100);
  EXPECT_EQ(model_.Text(c::kWhiteDensityValue), "100%");
  EXPECT_EQ(model_.Text(c::kCopiesEdit), "1");
  EXPECT_FALSE(model_.IsChecked(c::kDisplayWhite));
  EXPECT_FALSE(model_.IsChecked(c::kPrintWhite));
  EXPECT_FALSE(model_.IsChecked(c::kThresholdOn));
  EXPECT_TRUE(model_.IsChecked(c::kPrintCmy));
  EXPECT_FALSE(model_.set_aside_threshold().has_value());
  EXPECT_EQ(model_.Control(c::kTonerOrderIndicator).picture, "#103");
  // No image: nothing to lay out.
  EXPECT_FALSE(Requested(RequestKind::kReapplyLayout));

  model_.SetLoadedFile("a.png");
  model_.ResetControlsToDefaults();
  EXPECT_TRUE(Requested(RequestKind::kReapplyLayout));
}

TEST_F(ModelTest, OptionBoxesAskForTheirFollowUps) {
  struct Case {
    int id;
    std::vector<RequestKind> requests;
  };
  const Case cases[] = {
      {c::kMirror, {RequestKind::kReapplyLayout, RequestKind::kRedrawPreview}},
      {c::kRotate,
       {RequestKind::kReapplyLayout, RequestKind::kRefreshSizeFields, RequestKind::kRedrawPreview}},
      {c::kBackgroundRemoval, {RequestKind::kReloadImage, RequestKind::kRedrawPreview}},
      {c::kFlip, {RequestKind::kReloadImage, RequestKind::kRedrawPreview}},
      {c::kGuardArea, {RequestKind::kRedrawPreview}},
      {c::kBlackRemoval, {RequestKind::kRedrawPreview}},
      {c::kPatternPreview, {RequestKind::kRedrawPreview}},
      {c::kAutomaticTile, {RequestKind::kRedrawPreview}},
      {c::kOptimalLayout, {RequestKind::kRedrawPreview}},
  };
  for (const Case& t : cases) {
    requests_.clear();
    const bool before = model_.IsChecked(t.id);
    model_.Click(t.id);
    EXPECT_NE(model_.IsChecked(t.id), before) << t.id;
    EXPECT_EQ(requests_, t.requests) << t.id;
  }
  // With a crop in force, Flip puts it back after reloading.
  store_.WriteSetting("Active", "Crop", "1");
  requests_.clear();
  model_.Click(c::kFlip);
  EXPECT_EQ(requests_,
            (std::vector<RequestKind>{RequestKind::kReloadImage, RequestKind::kReapplyCrop,
                                      RequestKind::kRedrawPreview}));
}

TEST_F(ModelTest, FitToPageResetsTheCopyCounts) {
  model_.SetText(c::kXCopyEdit, "3");
  model_.SetText(c::kYCopyEdit, "2");
  model_.Click(c::kFitToPage);
  EXPECT_EQ(model_.Text(c::kXCopyEdit), "1");
  EXPECT_EQ(model_.Text(c::kYCopyEdit), "1");
  EXPECT_TRUE(Requested(RequestKind::kFitToPage));
}

TEST_F(ModelTest, EnterAppliesWhatTheFocusedFieldHolds) {
  model_.PressEnter(c::kXCopyEdit, /*shift_held=*/true);
  EXPECT_TRUE(requests_.empty());
  model_.PressEnter(c::kYCopyEdit, false);
  EXPECT_TRUE(Requested(RequestKind::kApplyCopyCounts));
  requests_.clear();
  model_.PressEnter(c::kYSizeEdit, false);
  EXPECT_TRUE(Requested(RequestKind::kApplyTypedSize));
  EXPECT_TRUE(Requested(RequestKind::kReapplyLayout));
  requests_.clear();
  model_.PressEnter(c::kCopiesEdit, false);
  EXPECT_TRUE(requests_.empty());
}

TEST_F(ModelTest, TonerOrderEntryFollowsTheModel) {
  const std::pair<const char*, bool> cases[] = {{"8432WDT", true}, {"C711WT", false}};
  for (const auto& [name, enabled] : cases) {
    model_.ApplyActiveModelName(name);
    EXPECT_EQ(model_.IsEnabled(m::kTonerOrder), enabled) << name;
  }
  // A greyed entry does nothing.
  requests_.clear();
  model_.Click(m::kTonerOrder);
  EXPECT_TRUE(requests_.empty());
}

// With white first stored, the indicator, the curves and the dialog's choice show the order the
// job is laid in: only the 8432WT lays white first, the 8432WDT keeps white last.
TEST_F(ModelTest, TheTonerOrderShownIsTheOneThatPrints) {
  for (const auto& [name, white_first] :
       {std::pair<const char*, bool>{"Pro8432WT", true}, {"8432WDT", false}}) {
    store_.WriteSetting("Active", "T_ORDER", "WF");
    model_.SelectPrinterModel(name);
    EXPECT_EQ(model_.white_first(), white_first) << name;
    EXPECT_EQ(model_.Control(c::kTonerOrderIndicator).picture,
              white_first ? kWhiteFirstIndicator : kWhiteLastIndicator)
        << name;
    EXPECT_EQ(model_.state().curves, white_first ? WhiteFirstToneCurves() : DefaultToneCurves());
    model_.ChangeTonerOrder(true);
    EXPECT_EQ(model_.white_first(), white_first) << name;
    EXPECT_EQ(model_.state().curves, white_first ? WhiteFirstToneCurves() : DefaultToneCurves());
  }
}

TEST_F(ModelTest, StoredUnitSetsTheSizeLabel) {
  const struct {
    const char* stored;
    const char* unit;
    const char* label;
  } cases[] = {{"I", "I", "Inch"}, {"C", "C", "cm"}, {"M", "M", "mm"},
               {"X", "M", "mm"},   {"", "M", "mm"},  {"i", "M", "mm"}};
  for (const auto& t : cases) {
    store_.WriteSetting("Active", "Unit", t.stored);
    EXPECT_EQ(model_.ApplyStoredUnit(), t.unit) << t.stored;
    EXPECT_EQ(model_.Text(c::kUnitLabel), t.label);
    EXPECT_EQ(Stored("Active", "Unit"), t.unit);
  }
}

TEST_F(ModelTest, RecentFileEntriesShowOnlyFilledSlots) {
  model_.SetRecentFileEntries({"/a.png", "", "/c.png"});
  EXPECT_TRUE(model_.Control(m::kRecentFile1).visible);
  EXPECT_EQ(model_.Text(m::kRecentFile1), "/a.png");
  EXPECT_FALSE(model_.Control(m::kRecentFile2).visible);
  EXPECT_TRUE(model_.Control(m::kRecentFile3).visible);
  EXPECT_FALSE(model_.Control(m::kRecentFile4).visible);
  EXPECT_FALSE(model_.Control(m::kRecentFile5).visible);
  model_.SetRecentFileEntries({});
  EXPECT_FALSE(model_.Control(m::kRecentFile1).visible);
}

// The print stores the queue once it took the job; a click alone must not replace the printer
// stored before with a queue that may be gone.
TEST_F(ModelTest, PrintAsksForThePrintAndStoresNoPrinterYet) {
  model_.SetItems(c::kPrinterList, {"C711WT-usb", "C711WT-net"}, 0);
  model_.PickItem(c::kPrinterList, 1);
  requests_.clear();
  model_.Click(c::kPrintButton);
  EXPECT_EQ(Stored("Active", "Printer"), "");
  EXPECT_EQ(requests_, std::vector<RequestKind>{RequestKind::kRunPrint});
  requests_.clear();
  model_.Click(m::kPrint);
  EXPECT_EQ(requests_, std::vector<RequestKind>{RequestKind::kRunPrint});
}

TEST_F(ModelTest, ListPicksStoreTheTrayAndApplyPaperAndMedia) {
  model_.PickItem(c::kTrayList, 2);
  EXPECT_EQ(Stored("Active", "Tray"), "Tray 1");
  model_.SetItems(c::kPaperList, {"A4", "A5 SEF"}, 0);
  model_.PickItem(c::kPaperList, 1);
  EXPECT_EQ(model_.state().page, (PageSize{420, 595}));
  EXPECT_EQ(ReadLeadingNumber(Stored("Active", "Bottom Margin")), 1307);
  EXPECT_TRUE(Requested(RequestKind::kReapplyPaperLayout));
  model_.SetItems(c::kMediaList, {"Printer Setting", "Glossy"}, 0);
  model_.PickItem(c::kMediaList, 1);
  EXPECT_EQ(model_.Text(c::kMediaList), "Glossy");
  EXPECT_EQ(model_.state().media_code, 111);
  EXPECT_EQ(model_.Text(c::kTrayList), "MultiPurpose Tray");
  EXPECT_EQ(model_.Text(c::kMediaTipLine), model_.texts().Get(220));
  // Glossy fixes the tray on this model: the disabled list keeps its selection.
  EXPECT_FALSE(model_.IsEnabled(c::kTrayList));
  model_.PickItem(c::kTrayList, 0);
  EXPECT_EQ(model_.Text(c::kTrayList), "MultiPurpose Tray");
}

TEST_F(ModelTest, SelectItemTextFallsBackToTheFirstEntry) {
  model_.SetItems(c::kPaperList, {"A3", "A4", "A5 SEF"}, 2);
  EXPECT_TRUE(model_.SelectItemText(c::kPaperList, "A4"));
  EXPECT_EQ(model_.Text(c::kPaperList), "A4");
  EXPECT_FALSE(model_.SelectItemText(c::kPaperList, "Letter"));
  EXPECT_EQ(model_.Text(c::kPaperList), "A3");
  model_.SetItems(c::kPaperList, {}, 0);
  EXPECT_FALSE(model_.SelectItemText(c::kPaperList, "A4"));
  EXPECT_EQ(model_.Text(c::kPaperList), "");
}

TEST_F(ModelTest, HelpAndAbout) {
  model_.Click(m::kHelpFile);
  EXPECT_EQ(last_request_.kind, RequestKind::kOpenDocument);
  EXPECT_EQ(last_request_.text, "NolloPro.chm");

  UiText texts;
  LoadDefaultTexts(texts);
  texts.Set(305, "tips.pdf");
  MainWindowModel model(store_, texts);
  ModelRequest seen{RequestKind::kCommand, 0, {}};
  model.SetRequestObserver([&](const ModelRequest& r) { seen = r; });
  model.Click(m::kHelpDocument1 + 2);
  EXPECT_EQ(seen.kind, RequestKind::kOpenDocument);
  EXPECT_EQ(seen.text, "tips.pdf");
}

TEST_F(ModelTest, OtherCommandsArePassedOn) {
  model_.Click(m::kOpenFile);
  EXPECT_EQ(last_request_.kind, RequestKind::kCommand);
  EXPECT_EQ(last_request_.id, m::kOpenFile);
  model_.Click(c::kPatternPrintButton);
  EXPECT_EQ(last_request_.id, m::kPatternPrintSetup);
}

TEST_F(ModelTest, ObserverHearsEveryChangedControlOnce) {
  std::vector<int> changed;
  model_.SetControlObserver([&](int id) { changed.push_back(id); });
  model_.SetChecked(c::kMirror, false);  // no change
  EXPECT_TRUE(changed.empty());
  model_.MoveSlider(c::kWhiteDensitySlider, 20);
  EXPECT_EQ(changed, (std::vector<int>{c::kWhiteDensitySlider, c::kWhiteDensityValue}));
}

TEST_F(ModelTest, FailedWritesAreReportedAndTheControlStillChanges) {
  // A regular file where the user folder should be: every write fails.
  std::filesystem::remove_all(folders_.folders().user);
  testing::WriteFileBytes(folders_.folders().user, "not a folder");
  model_.Click(c::kDisplayWhite);
  EXPECT_TRUE(model_.IsChecked(c::kDisplayWhite));
  EXPECT_FALSE(notifier_.messages.empty());
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro");
  EXPECT_NE(notifier_.messages[0].text.find("Failed to write to:- "), std::string::npos);
}

}  // namespace
}  // namespace kelvaro
