#include "printers/paper_sizes.h"

#include <gtest/gtest.h>

#include "printers/printers_test_support.h"

namespace kelvaro {
namespace {

using Strings = std::vector<std::string>;

class PaperSizesTest : public StoreTest {
 protected:
  void StoreSize(const std::string& name, double width, double height) {
    CustomPaperSize size;
    size.name = name;
    size.width = width;
    size.height = height;
    size.group = WidthGroup(width);
    const int number = static_cast<int>(ReadCustomPaperSizes(store_).size()) + 1;
    store_.WriteSetting("Papers", "Custom" + std::to_string(number), FormatCustomPaperRecord(size));
    store_.WriteSetting("Papers", "Number", std::to_string(number));
  }
  Strings StoredNames() {
    Strings names;
    for (const CustomPaperSize& size : ReadCustomPaperSizes(store_)) names.push_back(size.name);
    return names;
  }
};

TEST_F(PaperSizesTest, C711WTListsTheA4SetAndGroupZeroSizes) {
  StoreSize("Small", 400, 600);    // group 0
  StoreSize("Wide", 700, 900);     // group 5
  StoreSize("Banner", 900, 3000);  // group 9
  const PaperList list = BuildPaperList(store_, "C711WT");
  EXPECT_EQ(list.entries, (Strings{"A4XL 216x420mm", "A4", "A5 SEF", "A6 SEF", "Small"}));
  EXPECT_EQ(list.selected, 1);
}

TEST_F(PaperSizesTest, Pro8432WTListsA3FirstAndGroupsZeroAndFive) {
  StoreSize("Small", 400, 600);
  StoreSize("Wide", 700, 900);
  StoreSize("Banner", 900, 3000);
  const PaperList list = BuildPaperList(store_, "Pro8432WT");
  EXPECT_EQ(list.entries,
            (Strings{"A3", "A4XL 216x420mm", "A4", "A4 SEF", "A5 SEF", "A6 SEF", "Small", "Wide"}));
  EXPECT_EQ(list.entries[list.selected], "A4");
}

TEST_F(PaperSizesTest, C920WTListsEveryGroup) {
  StoreSize("Small", 400, 600);
  StoreSize("Banner", 900, 3000);
  const PaperList list = BuildPaperList(store_, "C920WT");
  EXPECT_EQ(list.entries.back(), "Banner");
  EXPECT_EQ(list.entries.size(), 8u);
}

TEST(WidthGroupTest, Boundaries) {
  EXPECT_EQ(WidthGroup(612.28), "0");
  EXPECT_EQ(WidthGroup(612.29), "5");
  EXPECT_EQ(WidthGroup(841.99), "5");
  EXPECT_EQ(WidthGroup(842), "9");
}

TEST(CustomPaperRecordTest, FormatsAndParsesEveryField) {
  CustomPaperSize size{"Mug wrap", 612.29, 1100.5, "5", 12.96, 13, 14.5, 20};
  const std::string record = FormatCustomPaperRecord(size);
  EXPECT_EQ(record, "Mug wrap^612.29000^1100.50000^5^12.96000^13.00000^14.50000^20.00000");
  std::optional<CustomPaperSize> parsed = ParseCustomPaperRecord(record);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->name, "Mug wrap");
  EXPECT_DOUBLE_EQ(parsed->height, 1100.5);
  EXPECT_EQ(parsed->group, "5");
  EXPECT_DOUBLE_EQ(parsed->right, 14.5);
  EXPECT_FALSE(ParseCustomPaperRecord(""));
  EXPECT_FALSE(ParseCustomPaperRecord("name^1^2"));
  EXPECT_FALSE(ParseCustomPaperRecord("  ^1^2^0"));
}

struct NamedPaperCase {
  const char* text;
  std::optional<PageSize> size;
};

class NamedPaperTest : public ::testing::TestWithParam<NamedPaperCase> {};

TEST_P(NamedPaperTest, FirstSixCharactersChooseTheSize) {
  EXPECT_EQ(LookUpNamedPaper(GetParam().text), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(Table, NamedPaperTest,
                         ::testing::Values(NamedPaperCase{"A3", PageSize{842, 1191}},
                                           NamedPaperCase{"A4XL 216x420mm", PageSize{612, 1191}},
                                           NamedPaperCase{"A4", PageSize{595, 842}},
                                           NamedPaperCase{"A4 SEF", PageSize{595, 842}},
                                           NamedPaperCase{"A5 SEF", PageSize{420, 595}},
                                           NamedPaperCase{"A6 SEF", PageSize{297, 420}},
                                           NamedPaperCase{"A4 S4", PageSize{595, 842}},
                                           NamedPaperCase{"Mug 90 oz", PageSize{255, 695}},
                                           NamedPaperCase{"A4BC 2", PageSize{612, 907}},
                                           NamedPaperCase{"A4 Plus", std::nullopt},
                                           NamedPaperCase{"Letter", std::nullopt}));

TEST_F(PaperSizesTest, ChoosingANamedSizeGivesTheDefaultMarginsAndStoresNothing) {
  store_.WriteSetting("Active", "Top Margin", "5000");
  const PaperChoice choice = ApplyPaperChoice(store_, " A4XL 216x420mm ", 101);
  EXPECT_EQ(choice.page_size, (PageSize{612, 1191}));
  EXPECT_TRUE(choice.default_margins);
  EXPECT_EQ(choice.margins, (Margins{12.96, 12.96, 12.96, 13.07}));
  EXPECT_EQ(Active("Top Margin"), "5000");
}

TEST_F(PaperSizesTest, ZephMediaKeepTheirMargins) {
  for (int media : {170, 198}) {
    store_.WriteSetting("Active", "Top Margin", "5000");
    const PaperChoice choice = ApplyPaperChoice(store_, "A4", media);
    EXPECT_FALSE(choice.default_margins);
    EXPECT_FALSE(choice.margins);
  }
}

TEST_F(PaperSizesTest, CustomSizeIsChosenByItsExactName) {
  StoreSize("Big Mug", 400, 700);
  StoreSize("Mug", 300, 500.5);
  const PaperChoice choice = ApplyPaperChoice(store_, "Mug", 101);
  // 500.5 rounds to the even 500.
  EXPECT_EQ(choice.page_size, (PageSize{300, 500}));
  EXPECT_FALSE(choice.custom_margins);
  EXPECT_FALSE(choice.lock_multipurpose_tray);
  EXPECT_FALSE(ApplyPaperChoice(store_, "ug", 101).page_size);
}

TEST_F(PaperSizesTest, CustomSizeWithMarginsBringsThem) {
  CustomPaperSize size{"Sheet", 500, 700, "0", 20.5, 10, 11, 12.25};
  store_.WriteSetting("Papers", "Number", "1");
  store_.WriteSetting("Papers", "Custom1", FormatCustomPaperRecord(size));
  const PaperChoice choice = ApplyPaperChoice(store_, "Sheet", 101);
  EXPECT_TRUE(choice.custom_margins);
  EXPECT_EQ(choice.margins, (Margins{20.5, 10, 11, 12.25}));
}

TEST_F(PaperSizesTest, TallCustomSizeOnC920WTLocksTheMultipurposeTray) {
  ASSERT_EQ(
      SaveCustomPaperSize(store_, "Poster", 300, 1100, UnitCode::kMillimetres, 2, "C920WT", {}),
      SaveCustomSizeResult::kSaved);
  const std::vector<CustomPaperSize> sizes = ReadCustomPaperSizes(store_);
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].group, "9");
  const PaperChoice choice = ApplyPaperChoice(store_, "Poster", 101);
  EXPECT_EQ(choice.page_size, (PageSize{850, 3118}));
  EXPECT_TRUE(choice.lock_multipurpose_tray);
}

TEST_F(PaperSizesTest, UnknownTextKeepsThePageSize) {
  EXPECT_FALSE(ApplyPaperChoice(store_, "Nothing", 101).page_size);
  EXPECT_FALSE(ApplyPaperChoice(store_, "   ", 101).page_size);
}

struct LimitCase {
  const char* model;
  int paper_class;
  UnitCode unit;
  double width;
  double height;
  bool width_ok;
  bool height_ok;
};

class CustomSizeLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(CustomSizeLimitTest, ChecksWidthAndHeightIndependently) {
  const LimitCase& c = GetParam();
  const CustomSizeCheck check = CheckCustomSize(c.width, c.height, c.unit, c.paper_class, c.model);
  EXPECT_EQ(check.width_ok, c.width_ok) << check.width_points;
  EXPECT_EQ(check.height_ok, c.height_ok) << check.height_points;
}

INSTANTIATE_TEST_SUITE_P(
    ThreeUnits, CustomSizeLimitTest,
    ::testing::Values(
        // 216 mm is 612.36 pt, over the 612.29 pt of the A4 models; 215.9 mm is 612.08 pt.
        LimitCase{"C711WT", 0, UnitCode::kMillimetres, 216, 300, false, true},
        LimitCase{"C711WT", 0, UnitCode::kMillimetres, 215.9, 300, true, true},
        LimitCase{"C711WT", 0, UnitCode::kMillimetres, 62.8, 300, false, true},
        LimitCase{"C711WT", 0, UnitCode::kMillimetres, 100, 126, true, false},
        LimitCase{"C711WT", 0, UnitCode::kCentimetres, 21.59, 132.0, true, true},
        LimitCase{"C711WT", 0, UnitCode::kCentimetres, 21.6, 132.1, false, false},
        LimitCase{"ES7411WT", 1, UnitCode::kInches, 8.5, 52, true, true},
        LimitCase{"ES7411WT", 1, UnitCode::kInches, 8.51, 52.01, false, false},
        LimitCase{"C920WT", 2, UnitCode::kMillimetres, 328.0, 1200, true, true},
        LimitCase{"C920WT", 2, UnitCode::kMillimetres, 76.1, 1200.1, false, false},
        LimitCase{"C920WT", 2, UnitCode::kInches, 3, 3.55, true, true},
        // "8432" models use the limits of class 3 whatever their paper class.
        LimitCase{"Pro8432WT", 2, UnitCode::kCentimetres, 29.7, 132.0, true, true},
        LimitCase{"8432WDT", 2, UnitCode::kInches, 11.69, 52.01, true, false},
        LimitCase{"8432WDT", 2, UnitCode::kInches, 11.7, 52.0, false, true},
        LimitCase{"TST4", 4, UnitCode::kMillimetres, 297, 89.5, true, false}));

TEST(CustomSizeLimitTest, MarginsCheckUsesTheLowerHeightMaximum) {
  EXPECT_TRUE(CheckCustomSize(5, 52.005, UnitCode::kInches, 4, "TST4").height_ok);
  EXPECT_FALSE(CheckCustomSize(5, 52.005, UnitCode::kInches, 4, "TST4", true).height_ok);
}

TEST(CustomSizeRangeTextsTest, ByUnitAndPrinterGroup) {
  EXPECT_EQ(CustomSizeRangeTexts(UnitCode::kMillimetres, 0, "C711WT").width, "(63...215.9)");
  EXPECT_EQ(CustomSizeRangeTexts(UnitCode::kMillimetres, 1, "ES7411WT").height, "(127..1320.8)");
  EXPECT_EQ(CustomSizeRangeTexts(UnitCode::kCentimetres, 2, "Pro8432WT").width, "(6.38...29.70)");
  EXPECT_EQ(CustomSizeRangeTexts(UnitCode::kInches, 2, "C920WT").height, "(3.55...47.25)");
  EXPECT_EQ(CustomSizeRangeTexts(UnitCode::kInches, 4, "TST4").width, "(3.00...12.91)");
  EXPECT_EQ(CustomSizeRangeTexts(UnitCode::kCentimetres, 2, "C920WT").height, "(8.996..120.015)");
}

TEST_F(PaperSizesTest, SaveAppendsRecordsAndCountsThem) {
  CustomPaperSize margins;
  margins.top = 14;
  EXPECT_EQ(SaveCustomPaperSize(store_, "  Label  ", 100, 150, UnitCode::kMillimetres, 0, "C711WT",
                                margins),
            SaveCustomSizeResult::kSaved);
  EXPECT_EQ(store_.ReadSetting("Papers", "Number"), "1");
  EXPECT_EQ(store_.ReadSetting("Papers", "Custom1"),
            "Label^283.50000^425.25000^0^14.00000^0.00000^0.00000^0.00000");
  // Same name again: a further record.
  EXPECT_EQ(SaveCustomPaperSize(store_, "Label", 10, 15, UnitCode::kCentimetres, 0, "C711WT", {}),
            SaveCustomSizeResult::kSaved);
  EXPECT_EQ(store_.ReadSetting("Papers", "Number"), "2");
  EXPECT_EQ(StoredNames(), (Strings{"Label", "Label"}));
}

TEST_F(PaperSizesTest, RefusedSizesStoreNothing) {
  struct Case {
    std::string name;
    double width;
    double height;
    SaveCustomSizeResult result;
  };
  const Case cases[] = {
      {"Wide", 216, 300, SaveCustomSizeResult::kWidthRefused},
      {"Tall", 200, 1400, SaveCustomSizeResult::kHeightRefused},
      {"Both", 216, 1400, SaveCustomSizeResult::kSizeRefused},
      {"   ", 200, 300, SaveCustomSizeResult::kEmptyName},
      {"A^B", 200, 300, SaveCustomSizeResult::kBadName},
      {std::string(240, 'n'), 200, 300, SaveCustomSizeResult::kNameTooLong},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SaveCustomPaperSize(store_, c.name, c.width, c.height, UnitCode::kMillimetres, 0,
                                  "C711WT", {}),
              c.result)
        << c.name;
  }
  EXPECT_EQ(store_.ReadSetting("Papers", "Number"), "");
  EXPECT_TRUE(StoredNames().empty());
}

TEST_F(PaperSizesTest, DeleteRemovesOnlyTheExactNameAndKeepsKeysConsistent) {
  StoreSize("Mug", 300, 500);
  StoreSize("Big Mug", 400, 700);
  StoreSize("Label", 200, 400);
  EXPECT_EQ(DeleteCustomPaperSize(store_, " Mug "), 1);
  EXPECT_EQ(store_.ReadSetting("Papers", "Number"), "2");
  EXPECT_EQ(StoredNames(), (Strings{"Big Mug", "Label"}));
  EXPECT_EQ(store_.ReadSetting("Papers", "Custom3"), "");
  EXPECT_EQ(DeleteCustomPaperSize(store_, "Nothing"), 0);
  EXPECT_EQ(store_.ReadSetting("Papers", "Number"), "2");
}

TEST_F(PaperSizesTest, DeleteOfADuplicatedNameLeavesNoStaleRecord) {
  StoreSize("Twice", 300, 500);
  StoreSize("Other", 310, 510);
  StoreSize("Twice", 320, 520);
  EXPECT_EQ(DeleteCustomPaperSize(store_, "Twice"), 2);
  EXPECT_EQ(store_.ReadSetting("Papers", "Number"), "1");
  EXPECT_EQ(StoredNames(), (Strings{"Other"}));
  EXPECT_EQ(store_.ReadSetting("Papers", "Custom2"), "");
  EXPECT_EQ(store_.ReadSetting("Papers", "Custom3"), "");
}

TEST_F(PaperSizesTest, DamagedPapersSectionReadsSafely) {
  store_.WriteSetting("Papers", "Number", "99999999");
  store_.WriteSetting("Papers", "Custom1", "garbage");
  store_.WriteSetting("Papers", "Custom2", "Ok^300^400^0");
  EXPECT_EQ(StoredNames(), (Strings{"Ok"}));
  store_.WriteSetting("Papers", "Number", "-3");
  EXPECT_TRUE(StoredNames().empty());
}

}  // namespace
}  // namespace kelvaro
