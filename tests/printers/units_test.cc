#include "printers/units.h"

#include <gtest/gtest.h>

#include "printers/printers_test_support.h"

namespace kelvaro {
namespace {

TEST(UnitCodeTest, CodesAndTexts) {
  struct Case {
    UnitCode unit;
    const char* code;
    int name;
    int label;
    double window_factor;
  };
  for (const Case& c :
       {Case{UnitCode::kMillimetres, "M", 77, 4, 1}, Case{UnitCode::kCentimetres, "C", 78, 3, 10},
        Case{UnitCode::kInches, "I", 79, 2, 25.4}}) {
    EXPECT_EQ(UnitCodeText(c.unit), c.code);
    EXPECT_EQ(ParseUnitCode(c.code), c.unit);
    EXPECT_EQ(UnitNameTextNumber(c.unit), c.name);
    EXPECT_EQ(UnitLabelTextNumber(c.unit), c.label);
    EXPECT_DOUBLE_EQ(MainWindowUnitFactor(c.unit), c.window_factor);
  }
  EXPECT_FALSE(ParseUnitCode("m"));
  EXPECT_FALSE(ParseUnitCode(""));
}

class StoredUnitTest : public StoreTest {};

TEST_F(StoredUnitTest, UnknownStoredValueReadsAsMillimetres) {
  EXPECT_EQ(ReadUnit(store_), UnitCode::kMillimetres);
  ASSERT_TRUE(WriteUnit(store_, UnitCode::kInches));
  EXPECT_EQ(Active("Unit"), "I");
  EXPECT_EQ(ReadUnit(store_), UnitCode::kInches);
  store_.WriteSetting("Active", "Unit", "X");
  EXPECT_EQ(ReadUnit(store_), UnitCode::kMillimetres);
}

TEST(UnitConversionTest, ImageLengthUsesTheUnitsMask) {
  EXPECT_EQ(FormatImageLength(841.89, UnitCode::kMillimetres), "297.0");
  EXPECT_EQ(FormatImageLength(841.89, UnitCode::kCentimetres), "29.70");
  EXPECT_EQ(FormatImageLength(841.89, UnitCode::kInches), "11.693");
}

TEST(UnitConversionTest, PaperAndMarginFactorsDiffer) {
  EXPECT_NEAR(PaperLengthToPoints(10, UnitCode::kCentimetres), 283.5, 1e-9);
  EXPECT_NEAR(MarginLengthToPoints(10, UnitCode::kCentimetres), 283.46, 1e-9);
  EXPECT_NEAR(PaperLengthToPoints(10, UnitCode::kMillimetres), 28.35, 1e-9);
  EXPECT_NEAR(MarginLengthToPoints(10, UnitCode::kMillimetres), 28.346, 1e-9);
  EXPECT_NEAR(PaperLengthToPoints(2, UnitCode::kInches), 144, 1e-9);
  EXPECT_NEAR(MarginLengthToPoints(2, UnitCode::kInches), 144, 1e-9);
}

TEST(UnitConversionTest, ExactAndRoundedOutputFactors) {
  EXPECT_NEAR(PointsToUnit(72, UnitCode::kMillimetres), 25.4, 1e-12);
  EXPECT_NEAR(PointsToUnit(72, UnitCode::kCentimetres), 2.54, 1e-12);
  EXPECT_NEAR(PointsToUnit(72, UnitCode::kInches), 1, 1e-12);
  EXPECT_NEAR(PointsToUnitRounded(100, UnitCode::kMillimetres), 35.28, 1e-12);
  EXPECT_NEAR(PointsToUnitRounded(100, UnitCode::kCentimetres), 3.528, 1e-12);
  EXPECT_NEAR(PointsToUnitRounded(72, UnitCode::kInches), 1, 1e-12);
}

TEST(FormatWithMaskTest, DecimalsComeFromTheMask) {
  EXPECT_EQ(FormatWithMask(4.572, kMarginMask), "4.57");
  EXPECT_EQ(FormatWithMask(1234.5, "###.##"), "1234.50");
  EXPECT_EQ(FormatWithMask(0.05, "#.#"), "0.1");
  EXPECT_EQ(FormatWithMask(12.6, "###"), "13");
  EXPECT_EQ(FormatWithMask(-0.001, "#.##"), "0.00");
  EXPECT_EQ(FormatAreaText(200.768, 287.871), "200.77 x 287.87");
}

}  // namespace
}  // namespace kelvaro
