#include "app/dialog_rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "printers/margins.h"
#include "settings/language_file.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

class DialogRulesTest : public ::testing::Test {
 protected:
  DialogRulesTest() { LoadDefaultTexts(texts_); }
  std::string Active(const char* key) const { return store_.ReadSetting("Active", key); }

  // A program folder of its own: the language test writes a language file into it.
  testing::TestFolders folders_{true};
  testing::RecordingNotifier notifier_;
  SettingsStore store_{folders_.folders(), notifier_};
  UiText texts_;
};

TEST_F(DialogRulesTest, SlidersStoreTheirMappedValues) {
  EXPECT_EQ(OpenJpegSettings(store_), 20);  // nothing stored: artifact 5
  const struct {
    int position;
    double artifact;
  } jpeg[] = {{0, 1}, {100, 21}, {52, 11}};
  for (const auto& row : jpeg) {
    ASSERT_TRUE(AcceptJpegSettings(store_, row.position));
    EXPECT_DOUBLE_EQ(ReadLeadingDecimal(Active("JPEG Artifact")), row.artifact) << row.position;
  }
  EXPECT_EQ(OpenJpegSettings(store_), 50);  // artifact 11

  // Black removal: an empty key becomes "5" when the dialog opens.
  EXPECT_EQ(OpenBlackRemoval(store_), 10);
  EXPECT_EQ(Active("BLACK Removal Fuzzy"), "5");
  const struct {
    int position;
    double fuzz;
  } black[] = {{0, 1}, {1, 1}, {25, 12.5}, {100, 50}};
  for (const auto& row : black) {
    ASSERT_TRUE(MoveBlackRemovalSlider(store_, row.position));
    EXPECT_DOUBLE_EQ(ReadBlackRemovalFuzz(store_), row.fuzz) << row.position;
  }
  EXPECT_EQ(OpenBlackRemoval(store_), 100);
}

TEST_F(DialogRulesTest, LanguageChoiceLoadsStoresOrFallsBack) {
  const std::optional<std::string> file =
      WriteLanguageFile({{0, "Ignored"}, {6, "Fertig"}, {10, "&Datei"}}, "test");
  ASSERT_TRUE(file);
  std::ofstream(folders_.folders().program / "German.lan3", std::ios::binary) << *file;
  ASSERT_TRUE(store_.WriteSetting("Active", "Language", "English.lan3"));

  // The stored language again: nothing changes.
  EXPECT_EQ(AcceptLanguageChoice(store_, texts_, notifier_, folders_.folders().program, "English"),
            LanguageChange::kNone);
  EXPECT_EQ(texts_.Get(6), "OK");
  EXPECT_EQ(AcceptLanguageChoice(store_, texts_, notifier_, folders_.folders().program, "German"),
            LanguageChange::kLoaded);
  EXPECT_EQ(texts_.Get(6), "Fertig");
  EXPECT_EQ(texts_.Get(0), "Kelvaro Pro");
  EXPECT_EQ(Active("Language"), "German.lan3");
  EXPECT_TRUE(notifier_.messages.empty());
  // Nothing selected: a message, the built-in texts, and the stored language kept.
  EXPECT_EQ(AcceptLanguageChoice(store_, texts_, notifier_, folders_.folders().program, ""),
            LanguageChange::kDefaults);
  EXPECT_EQ(texts_.Get(6), "OK");
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0].title, "Kelvaro");
  EXPECT_EQ(Active("Language"), "German.lan3");
}

TEST_F(DialogRulesTest, StatisticsSetupSavesRowsAndRefusesBadOnesWhole) {
  StatsSetupFields fields = OpenStatisticsSetup(store_);
  EXPECT_EQ(store_.ReadSetting("Stats", "Option"), "3");
  EXPECT_EQ(fields.rows[0][0], "CMY");
  EXPECT_EQ(fields.rows[0][2], "5%");
  EXPECT_EQ(fields.rows[0][4], "A4");
  EXPECT_EQ(fields.currency, "Euro");
  EXPECT_EQ(fields.rows[1][0], "");

  fields.rows[1] = {"W", "6000", "5%", "180", "A4"};
  fields.rows[4] = {"Fuser", "100000", "150", "", ""};
  fields.currency = "GBP";
  EXPECT_EQ(SaveStatisticsSetup(store_, texts_, fields), std::nullopt);
  EXPECT_EQ(store_.ReadSetting("Stats", "WhitT"), "W,6000,5%,180,A4");
  EXPECT_EQ(store_.ReadSetting("Stats", "Fuser"), "Fuser,100000,150");
  EXPECT_EQ(store_.ReadSetting("Stats", "IDCMY"), "");
  EXPECT_EQ(store_.ReadSetting("Stats", "Currancy"), "GBP");

  // A negative price: named, and none of the rows written.
  StatsSetupFields bad = fields;
  bad.rows[0][3] = "-3";
  bad.currency = "USD";
  const std::optional<std::string> problem = SaveStatisticsSetup(store_, texts_, bad);
  ASSERT_TRUE(problem);
  EXPECT_NE(problem->find("Toner (CMY)"), std::string::npos) << *problem;
  EXPECT_EQ(store_.ReadSetting("Stats", "CMYT"), "CMY,11500,5%,216,A4");
  EXPECT_EQ(store_.ReadSetting("Stats", "Currancy"), "GBP");

  ASSERT_TRUE(WriteStatisticsMode(store_, StatisticsMode::kStatisticsOnly));
  EXPECT_EQ(ReadStatisticsMode(store_), StatisticsMode::kStatisticsOnly);
}

TEST_F(DialogRulesTest, CustomSizeMarginsRememberAndRestore) {
  const Margins users{20, 21, 22, 23};
  ASSERT_TRUE(WriteMargins(store_, users));
  PageSize seen;
  Margins offered;
  const CustomPaperSize got =
      CustomSizeMarginsFromDialog(store_, PageSize{300, 900}, [&](PageSize page) {
        seen = page;
        offered = ReadMargins(store_);
        WriteMargins(store_, Margins{15, 16, 17, 18});  // the user's OK in the margins dialog
      });
  EXPECT_EQ(seen, (PageSize{300, 900}));
  EXPECT_EQ(offered, DefaultMargins());
  EXPECT_DOUBLE_EQ(got.top, 15);
  EXPECT_DOUBLE_EQ(got.left, 16);
  EXPECT_DOUBLE_EQ(got.right, 17);
  EXPECT_DOUBLE_EQ(got.bottom, 18);
  EXPECT_EQ(ReadMargins(store_), users);
}

}  // namespace
}  // namespace kelvaro
