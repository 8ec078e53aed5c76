#include "app/dialog_models.h"

#include <gtest/gtest.h>

#include <string>

#include "app/control_names.h"
#include "app/paper_dialogs.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

TEST(DialogControlNames, EnglishNamesInLowerCaseJoinedByUnderscores) {
  const struct {
    const char* english;
    const char* name;
  } names[] = {{"Get Printer Margins", "get_printer_margins"},
               {"&Save Settings", "save_settings"},
               {"Screen Angle (0-45)", "screen_angle_0_45"},
               {"Print && Statistics", "print_statistics"},
               {"Fuser ", "fuser"},
               {"TOP", "top"}};
  for (const auto& row : names) EXPECT_EQ(DialogControlName(row.english), row.name);
  // By text entry: its default text, whatever language is loaded.
  EXPECT_EQ(DialogControlName(139), "get_printer_margins");
  EXPECT_EQ(DialogControlName(245, "value"), "shape_gap_value");
}

TEST(CustomPaperLengths, TheWholeBoxIsTheNumber) {
  const struct {
    const char* typed;
    double length;
  } lengths[] = {{"215.9", 215.9}, {" 12 ", 12}, {"+5", 5},   {"", -1},
                 {"abc", -1},      {"5mm", -1},  {"1,5", -1}, {"----", -1}};
  for (const auto& row : lengths) EXPECT_DOUBLE_EQ(TypedLength(row.typed), row.length) << row.typed;
}

class CustomPaperModelTest : public ::testing::Test {
 protected:
  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_{folders_.folders(), notifier_};
  CustomPaperModel model_{store_, "C711WT", 1, [](PageSize) {}};
};

TEST_F(CustomPaperModelTest, SaveRefusesShowsDashesAndSelectsWhatItSaved) {
  CustomPaperModel::Typed typed{"216", "300", "Wide"};
  EXPECT_FALSE(model_.Save(typed).saved);
  EXPECT_EQ(typed.width, kRefusedSizeText);
  EXPECT_EQ(typed.height, "300");
  EXPECT_EQ(store_.ReadSetting("Papers", "Number"), "");

  typed.width = "215.9";
  typed.name = "  Wide ";
  const CustomPaperModel::SaveOutcome saved = model_.Save(typed);
  EXPECT_TRUE(saved.saved);
  EXPECT_TRUE(saved.message.empty());
  ASSERT_EQ(model_.sizes().size(), 1u);
  EXPECT_EQ(model_.sizes()[model_.selected()], "Wide");

  typed.name = "A^B";
  EXPECT_EQ(model_.Save(typed).message, "The name cannot contain \"^\".");
  EXPECT_EQ(model_.sizes().size(), 1u);
  EXPECT_FALSE(model_.Delete("  "));
  EXPECT_TRUE(model_.Delete("Wide"));
  EXPECT_TRUE(model_.sizes().empty());
}

TEST(StatisticsSetupModelTest, SaveDropsBlanksAndModesAreStoredAtOnce) {
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  SettingsStore store{folders.folders(), notifier};
  UiText texts;
  LoadDefaultTexts(texts);
  StatisticsSetupModel model(store, texts);
  StatsSetupFields typed = model.fields();
  typed.rows[4] = {" Fuser ", "100000 ", " 150", "", ""};
  typed.currency = " GBP ";
  EXPECT_EQ(model.Save(typed), std::nullopt);
  EXPECT_EQ(store.ReadSetting("Stats", "Fuser"), "Fuser,100000,150");
  EXPECT_EQ(store.ReadSetting("Stats", "Currancy"), "GBP");
  model.ChooseMode(StatisticsMode::kStatisticsOnly);
  EXPECT_EQ(ReadStatisticsMode(store), StatisticsMode::kStatisticsOnly);
}

TEST(TonerOrderModelTest, TheOrderInForceShowsItsCurrentPicture) {
  EXPECT_EQ(TonerOrderModel(false).Picture(false), "#149");
  EXPECT_EQ(TonerOrderModel(false).Picture(true), "#148");
  EXPECT_EQ(TonerOrderModel(true).Picture(false), "#146");
  EXPECT_EQ(TonerOrderModel(true).Picture(true), "#147");
  TonerOrderModel model(false);
  EXPECT_EQ(model.chosen(), std::nullopt);  // closed without a choice
  model.Choose(true);
  EXPECT_EQ(model.chosen(), true);
}

}  // namespace
}  // namespace kelvaro
