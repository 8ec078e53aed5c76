#include "printers/margins.h"

#include <gtest/gtest.h>

#include "platform/cups_queues.h"
#include "printers/printers_test_support.h"

namespace kelvaro {
namespace {

using Boxes = std::array<std::string, 4>;

class MarginsTest : public StoreTest {
 protected:
  void SetStored(const char* top, const char* left, const char* right, const char* bottom) {
    store_.WriteSetting("Active", "Top Margin", top);
    store_.WriteSetting("Active", "Left Margin", left);
    store_.WriteSetting("Active", "Right Margin", right);
    store_.WriteSetting("Active", "Bottom Margin", bottom);
  }
  std::array<long, 4> StoredHundredths() {
    return {ReadLeadingNumber(Active("Top Margin")), ReadLeadingNumber(Active("Left Margin")),
            ReadLeadingNumber(Active("Right Margin")), ReadLeadingNumber(Active("Bottom Margin"))};
  }
};

TEST(MinimumMarginsTest, ByModelName) {
  EXPECT_EQ(MinimumMargins("C711WT"), (Margins{12.96, 12.96, 12.96, 13.08}));
  EXPECT_EQ(MinimumMargins("Pro8432WT"), (Margins{12.96, 12.96, 12.96, 13.08}));
  EXPECT_EQ(MinimumMargins("Ricoh Pro C5300"), (Margins{12, 12.84, 12.36, 12.13}));
  EXPECT_EQ(MinimumMargins("imex 1"), (Margins{12, 12.84, 12.36, 12.13}));
}

TEST(MinimumMarginsTest, RaiseTakesTheLargerPerSide) {
  EXPECT_EQ(RaiseToMinimum({0, 20, 12.96, 13}, MinimumMargins("C711WT")),
            (Margins{12.96, 20, 12.96, 13.08}));
}

TEST_F(MarginsTest, OkWithZeroMarginsStoresTheMinimums) {
  const Margins stored =
      AcceptMarginsDialog(store_, {"0", "0", "0", "0"}, UnitCode::kMillimetres, "C711WT");
  EXPECT_EQ(stored, (Margins{12.96, 12.96, 12.96, 13.08}));
  // The bottom is the 13.08 pt minimum, not the 13.07 pt default.
  EXPECT_EQ(StoredHundredths(), (std::array<long, 4>{1296, 1296, 1296, 1308}));
}

TEST_F(MarginsTest, OkConvertsEachUnitWithTheMarginFactors) {
  AcceptMarginsDialog(store_, {"10", "5", "6", "7"}, UnitCode::kMillimetres, "C711WT");
  EXPECT_EQ(StoredHundredths(), (std::array<long, 4>{2835, 1417, 1701, 1984}));
  AcceptMarginsDialog(store_, {"1", "0.5", "0.6", "0.7"}, UnitCode::kCentimetres, "C711WT");
  EXPECT_EQ(StoredHundredths(), (std::array<long, 4>{2835, 1417, 1701, 1984}));
  AcceptMarginsDialog(store_, {"0.5", "0.25", "1", "abc"}, UnitCode::kInches, "C711WT");
  EXPECT_EQ(StoredHundredths(), (std::array<long, 4>{3600, 1800, 7200, 1308}));
}

TEST_F(MarginsTest, RicohModelsGoLowerOnOk) {
  AcceptMarginsDialog(store_, {"0", "0", "0", "0"}, UnitCode::kMillimetres, "RICOH C1");
  EXPECT_EQ(StoredHundredths(), (std::array<long, 4>{1200, 1284, 1236, 1213}));
}

TEST(RaiseTypedMarginsTest, EnterRaisesToTheDisplayMinimum) {
  struct Case {
    UnitCode unit;
    Boxes typed;
    Boxes shown;
  };
  const Case cases[] = {
      {UnitCode::kMillimetres, {"3", "10", "4.56", "4.6"}, {"4.57", "10.00", "4.57", "4.61"}},
      {UnitCode::kCentimetres, {"0", "1", "0.5", "0.1"}, {"0.46", "1.00", "0.50", "0.46"}},
      {UnitCode::kInches, {"0.1", "0.2", "x", "0.19"}, {"0.18", "0.20", "0.18", "0.19"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RaiseTypedMargins(c.typed, {595, 842}, c.unit).boxes, c.shown);
  }
}

TEST(RaiseTypedMarginsTest, AreaFollowsTheRaisedValues) {
  // 4.57 mm per side is 12.954 pt; A4 595 × 842 pt.
  const MarginsDialogView view =
      RaiseTypedMargins({"0", "0", "0", "0"}, {595, 842}, UnitCode::kMillimetres);
  EXPECT_EQ(view.area, "200.76 x 287.86");
}

TEST_F(MarginsTest, OpeningShowsStoredMarginsWithTheRoundedFactors) {
  SetStored("1296", "1296", "1296", "1307");
  MarginsDialogView view =
      OpenMarginsDialog(store_, {595, 842}, UnitCode::kMillimetres, "C711WT_USB", true);
  // 12.96 × 0.3528 = 4.572; A4 area 569.08 × 815.97 pt.
  EXPECT_EQ(view.boxes, (Boxes{"4.57", "4.57", "4.57", "4.61"}));
  EXPECT_EQ(view.area, "200.77 x 287.87");
  EXPECT_EQ(view.unit_name_text, 77);
  EXPECT_TRUE(view.get_printer_margins_enabled);

  view = OpenMarginsDialog(store_, {595, 842}, UnitCode::kInches, "C711WT_USB", true);
  EXPECT_EQ(view.boxes, (Boxes{"0.18", "0.18", "0.18", "0.18"}));
  EXPECT_EQ(view.unit_name_text, 79);
}

TEST_F(MarginsTest, GetPrinterMarginsNeedsAQueueAndAnAttachedPrinter) {
  EXPECT_FALSE(OpenMarginsDialog(store_, {595, 842}, UnitCode::kMillimetres, "", true)
                   .get_printer_margins_enabled);
  EXPECT_FALSE(OpenMarginsDialog(store_, {595, 842}, UnitCode::kMillimetres, "q", false)
                   .get_printer_margins_enabled);
}

class FakeMarginSource final : public PrinterMarginSource {
 public:
  std::optional<MediaMargins> margins;
  std::string asked;
  std::optional<MediaMargins> A4Margins(const std::string& queue) override {
    asked = queue;
    return margins;
  }
};

TEST_F(MarginsTest, GetPrinterMarginsShowsTheQueuesA4MarginsAndStoresNothing) {
  SetStored("1296", "1296", "1296", "1307");
  FakeMarginSource source;
  // CUPS reports 4.23 mm all round (423 hundredths of a millimetre) and 5 mm at the bottom.
  const double side = HundredthsOfMillimetreToPoints(423);
  source.margins = MediaMargins{side, side, side, HundredthsOfMillimetreToPoints(500)};
  std::optional<MarginsDialogView> view =
      GetPrinterMargins(source, "C711WT_USB", {595, 842}, UnitCode::kMillimetres);
  ASSERT_TRUE(view);
  EXPECT_EQ(source.asked, "C711WT_USB");
  EXPECT_EQ(view->boxes, (Boxes{"4.23", "4.23", "4.23", "5.00"}));
  EXPECT_EQ(view->area, "201.44 x 287.81");
  EXPECT_EQ(Active("Top Margin"), "1296");

  source.margins.reset();
  EXPECT_FALSE(GetPrinterMargins(source, "C711WT_USB", {595, 842}, UnitCode::kMillimetres));
}

TEST(CupsMarginConversionTest, HundredthsOfAMillimetreToPoints) {
  EXPECT_NEAR(HundredthsOfMillimetreToPoints(2540), 72.0, 1e-9);
  EXPECT_NEAR(HundredthsOfMillimetreToPoints(423), 11.99055, 1e-5);
}

TEST_F(MarginsTest, BackupAndRestoreKeepTheUsersValues) {
  SetStored("1500", "1234", "987", "2001");
  WriteBackupMargins(store_, ReadMargins(store_));
  SetStored("3855", "2834", "2834", "3855");
  WriteMargins(store_, ReadBackupMargins(store_));
  EXPECT_EQ(StoredHundredths(), (std::array<long, 4>{1500, 1234, 987, 2001}));
  EXPECT_EQ(ReadMargins(store_), (Margins{15, 12.34, 9.87, 20.01}));
}

TEST(PrintableAreaTest, PageLessMargins) {
  const PrintableArea area = ComputePrintableArea({595, 842}, {12.96, 12.96, 12.96, 13.07});
  EXPECT_DOUBLE_EQ(area.width, 569.08);
  EXPECT_DOUBLE_EQ(area.height, 815.97);
}

TEST(FitTest, SmallImageFillsTheAreaThenTogglesBack) {
  const PrintableArea area{400, 300};
  const ImageSize own{100, 50};
  ImageSize size = FitToPrintableArea(own, own, area, false);
  EXPECT_DOUBLE_EQ(size.width, 400);
  EXPECT_DOUBLE_EQ(size.height, 200);
  size = FitToPrintableArea(size, own, area, false);
  EXPECT_DOUBLE_EQ(size.width, 100);
  EXPECT_DOUBLE_EQ(size.height, 50);
}

TEST(FitTest, RotatedImageTogglesBackToItsTurnedSize) {
  const PrintableArea area{300, 400};
  const ImageSize own{100, 50};  // shown turned: 50 wide, 100 tall
  ImageSize size = FitToPrintableArea({50, 100}, own, area, true);
  EXPECT_DOUBLE_EQ(size.width, 200);
  EXPECT_DOUBLE_EQ(size.height, 400);
  size = FitToPrintableArea(size, own, area, true);
  EXPECT_DOUBLE_EQ(size.width, 50);
  EXPECT_DOUBLE_EQ(size.height, 100);
}

TEST(FitTest, LargeImageShrinksByTheTighterSide) {
  const ImageSize size = FitToPrintableArea({1000, 2000}, {1000, 2000}, {500, 700}, false);
  EXPECT_DOUBLE_EQ(size.width, 350);
  EXPECT_DOUBLE_EQ(size.height, 700);
  // Fitting again keeps it: the own size does not fit, so there is nothing to toggle to.
  const ImageSize again = FitToPrintableArea(size, {1000, 2000}, {500, 700}, false);
  EXPECT_DOUBLE_EQ(again.width, 350);
  EXPECT_DOUBLE_EQ(again.height, 700);
}

TEST(FitTest, EmptyImageOrAreaIsLeftAlone) {
  const ImageSize zero = FitToPrintableArea({0, 0}, {0, 0}, {500, 700}, false);
  EXPECT_EQ(zero.width, 0);
  const ImageSize no_area = FitToPrintableArea({10, 20}, {10, 20}, {0, -5}, false);
  EXPECT_EQ(no_area.width, 10);
  EXPECT_EQ(no_area.height, 20);
}

TEST(AutoFitTest, OnlyForOneCopyAndOnlyWhenTooLarge) {
  const PrintableArea area{500, 700};
  ImageSize size = AutoFitSingleCopy({1000, 500}, {1000, 500}, area, false, 1, 1);
  EXPECT_DOUBLE_EQ(size.width, 500);
  EXPECT_DOUBLE_EQ(size.height, 250);
  size = AutoFitSingleCopy({1000, 500}, {1000, 500}, area, false, 2, 1);
  EXPECT_DOUBLE_EQ(size.width, 1000);
  // Small pictures keep their size.
  size = AutoFitSingleCopy({100, 50}, {100, 50}, area, false, 1, 1);
  EXPECT_DOUBLE_EQ(size.width, 100);
}

}  // namespace
}  // namespace kelvaro
