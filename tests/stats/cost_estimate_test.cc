#include "stats/cost_estimate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro {
namespace {

std::string_view AsBlock(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

// An image data block of `rows` × five plane rows of `width` bytes; `fill(plane, x, y)`
// gives each byte (plane 0..4).
template <typename Fill>
std::vector<std::uint8_t> Block(std::int64_t width, std::int64_t rows, Fill fill) {
  std::vector<std::uint8_t> block(static_cast<std::size_t>(5 * width * rows));
  std::size_t at = 0;
  for (std::int64_t y = 0; y < rows; ++y) {
    for (int plane = 0; plane < 5; ++plane) {
      for (std::int64_t x = 0; x < width; ++x) block[at++] = fill(plane, x, y);
    }
  }
  return block;
}

TEST(CoverageTest, RoundsTwiceAndSkipsPlaneFive) {
  struct Case {
    const char* what;
    std::int64_t width, rows;
    std::vector<std::uint8_t> block;
    Coverage expected;
  };
  const std::vector<Case> cases = {
      {"empty image", 0, 0, {}, {0, 0, 0, 0}},
      {"plane 5 full, the rest empty",
       4,
       3,
       Block(4, 3, [](int p, auto, auto) { return p == 4 ? 255 : 0; }),
       {0, 0, 0, 0}},
      // 200 pixels; one level is 0.5 % and rounds to even 0, three levels 1.5 % to 2.
      {"ties go to even",
       200,
       1,
       Block(200, 1,
             [](int p, std::int64_t x, auto) {
               return (p == 0 && x < 1) || (p == 1 && x < 3) ? 255 : 0;
             }),
       {0, 2, 0, 0}},
      // 1,000 pixels. Plane 1: 5 × 255 + 102 = 1377 = 5.4 levels -> 5 -> 0.5 % -> 0 (a single
      // rounding of 0.54 % would give 1). Plane 2: 14 × 255 + 153 = 3723 = 14.6 levels -> 15
      // -> 1.5 % -> 2 (a single rounding of 1.46 % would give 1).
      {"levels round before the percentage",
       1000,
       1,
       Block(1000, 1,
             [](int p, std::int64_t x, auto) -> std::uint8_t {
               if (p == 0) return x < 5 ? 255 : x == 5 ? 102 : 0;
               if (p == 1) return x < 14 ? 255 : x == 14 ? 153 : 0;
               return 0;
             }),
       {0, 2, 0, 0}},
  };
  for (const Case& c : cases) {
    const std::optional<Coverage> coverage = ComputeCoverage(c.block, c.width, c.rows);
    ASSERT_TRUE(coverage.has_value()) << c.what;
    EXPECT_EQ(*coverage, c.expected) << c.what;
  }
}

TEST(CoverageTest, BlockThatDoesNotMatchItsSizeIsRefused) {
  const std::vector<std::uint8_t> block(5 * 4 * 3 - 1);
  EXPECT_FALSE(ComputeCoverage(block, 4, 3).has_value());
  EXPECT_FALSE(ComputeCoverage(block, -4, 3).has_value());
}

TEST(CoverageTest, FullPlaneOfAPageSizedImageDoesNotWrap) {
  // 17,000,000 pixels of 255 sum to 4,335,000,000, past 2^32: a 32-bit total would read as
  // about 1 % white instead of 100 %.
  constexpr std::int64_t kWidth = 17'000'000;
  std::vector<std::uint8_t> block(5 * kWidth, 0);
  std::fill(block.begin() + 3 * kWidth, block.begin() + 4 * kWidth, 255);
  const std::optional<Coverage> coverage = ComputeCoverage(block, kWidth, 1);
  ASSERT_TRUE(coverage.has_value());
  EXPECT_EQ(*coverage, (Coverage{0, 0, 0, 100}));
  EXPECT_EQ(SumBytes(std::span(block).subspan(3 * kWidth, kWidth)),
            static_cast<std::uint32_t>(std::uint64_t{kWidth} * 255));  // modulo 2^32
}

TEST(FormatTest, AmountMaskAndStoredCost) {
  EXPECT_EQ(FormatAmount(0.2885), " 0.29");
  EXPECT_EQ(FormatAmount(0), " 0.00");
  EXPECT_EQ(FormatAmount(12.345678), "12.35");
  EXPECT_EQ(FormatAmount(123.4), "123.40");
  EXPECT_EQ(FormatStoredCost(0.5), " 0.5");
  EXPECT_EQ(FormatClockReading({2024, 3, 5, 14, 7}), "2024-03-05 14:07");
}

// Every record set up: colour toner 200 for 10,000 pages at 5 %, white toner 150 for 5,000
// at 5 %, colour drum 100 for 20,000, white drum 80 for 10,000, fuser 250 for 100,000,
// transfer belt 150 for 50,000.
constexpr char kCmyt[] = "CMY,10000,5%,200,A4";
constexpr char kWhitT[] = "White,5000,5%,150,A4";
constexpr char kIdcmy[] = "Drum,20000,100";
constexpr char kIdwh[] = "White drum,10000,80";
constexpr char kFuser[] = "Fuser,100000,250";
constexpr char kBelt[] = "Belt,50000,150";
// Wear parts without the white drum: 3 × 100/20000 + 250/100000 + 150/50000
//   = 0.015 + 0.0025 + 0.003 = 0.0205.
constexpr double kPartsWithoutWhite = 0.0205;

class CostEstimateTest : public ::testing::Test {
 protected:
  CostEstimateTest() {
    LoadDefaultTexts(texts_);
    SetRecords({kCmyt, kWhitT, kIdcmy, kIdwh, kFuser, kBelt});
    store_.WriteSetting("Stats", "Currancy", "Euro");
  }
  void SetRecords(const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      store_.WriteSetting("Stats", kConsumableKeys[i].key, values[i]);
    }
  }
  CostEstimate Estimate(const std::vector<std::uint8_t>& block, std::int64_t width,
                        std::int64_t rows, int prints = 1) {
    CostEstimateInput input;
    input.image_data = AsBlock(block);
    input.x_pixel = width;
    input.y_pixel = rows;
    // 595 × 421 points is half the A4 reference page, so A ÷ R = 0.5.
    input.x_point = 595;
    input.y_point = 421;
    input.prints = prints;
    input.model_name = "C711WT";
    input.paper_name = "A4";
    input.file_name = "art.png";
    input.now = {2024, 3, 5, 14, 7};
    CostEstimateResult result = EstimatePrintCost(store_, texts_, input);
    EXPECT_TRUE(result.estimate.has_value()) << result.error;
    return result.estimate.value_or(CostEstimate{});
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_{folders_.folders(), notifier_};
  UiText texts_;
};

// The hand-computed block: 10 × 2 pixels (20).
//   plane 1: row 0 all 255 -> 2550 = 10 levels -> 100 × 10 / 20 = 50 %
//   plane 2: one byte 255 -> 1 level -> 5 %
//   plane 3: empty -> 0 %
//   plane 4: 128 everywhere -> 2560 = 10.04 levels -> 10 -> 50 %
//   plane 5: 255 everywhere, not counted
std::vector<std::uint8_t> HandBlock() {
  return Block(10, 2, [](int plane, std::int64_t x, std::int64_t y) -> std::uint8_t {
    switch (plane) {
      case 0:
        return y == 0 ? 255 : 0;
      case 1:
        return x == 0 && y == 1 ? 255 : 0;
      case 3:
        return 128;
      case 4:
        return 255;
    }
    return 0;
  });
}

TEST_F(CostEstimateTest, CostTable) {
  struct Case {
    const char* what;
    std::vector<std::string> records;  // CMYT, WhitT, IDCMY, IDWH, Fuser, Transfer Belt
    std::vector<std::uint8_t> block;
    std::int64_t width, rows;
    Coverage coverage;
    double tcost;
    std::vector<std::string> not_set_up;
  };
  const std::vector<Case> cases = {
      {"all-zero block: wear parts only, no white drum",
       {kCmyt, kWhitT, kIdcmy, kIdwh, kFuser, kBelt},
       std::vector<std::uint8_t>(5 * 4 * 3, 0),
       4,
       3,
       {0, 0, 0, 0},
       kPartsWithoutWhite,
       {}},
      {"white that rounds to 0 % has no white drum",
       {kCmyt, kWhitT, kIdcmy, kIdwh, kFuser, kBelt},
       // 10,000 pixels, ten bytes of 255 on plane 4: 10 levels = 0.1 % -> 0 %.
       Block(100, 100,
             [](int p, std::int64_t x, std::int64_t y) {
               return p == 3 && y == 0 && x < 10 ? 255 : 0;
             }),
       100,
       100,
       {0, 0, 0, 0},
       kPartsWithoutWhite,
       {}},
      // A = R / 2, so 1 % costs half the per-page price at 5 %:
      //   colour: 200 / 10000 / 5 × 0.5 = 0.002;   white: 150 / 5000 / 5 × 0.5 = 0.003
      //   toner = (50 + 5 + 0) × 0.002 + 50 × 0.003 = 0.11 + 0.15 = 0.26
      //   parts = 80 / 10000 + 0.0205 = 0.0285;    TCOST = 0.2885
      {"hand-computed",
       {kCmyt, kWhitT, kIdcmy, kIdwh, kFuser, kBelt},
       HandBlock(),
       10,
       2,
       {50, 5, 0, 50},
       0.2885,
       {}},
      // Fuser yield 0 and white toner coverage basis 0: both left out and named.
      //   colour toner 0.11 + white drum 0.008 + 3 × 0.005 + belt 0.003 = 0.136
      {"records with yield or basis 0 are left out",
       {kCmyt, "White,5000,0%,150,A4", kIdcmy, kIdwh, "Fuser,0,250", kBelt},
       HandBlock(),
       10,
       2,
       {50, 5, 0, 50},
       0.136,
       {"Toner (White)", "Fuser"}},
      {"nothing set up gives 0, never infinity",
       {"", "", "", "", "", ""},
       HandBlock(),
       10,
       2,
       {50, 5, 0, 50},
       0,
       {"Toner (CMY)", "Toner (White)", "Image drum (CMY)", "Image drum (White)", "Fuser",
        "Transfer Belt"}},
  };
  for (const Case& c : cases) {
    SetRecords(c.records);
    const CostEstimate estimate = Estimate(c.block, c.width, c.rows);
    EXPECT_EQ(estimate.coverage, c.coverage) << c.what;
    EXPECT_NEAR(estimate.cost.total, c.tcost, 1e-12) << c.what;
    EXPECT_THAT(estimate.not_set_up, ElementsAreArray(c.not_set_up)) << c.what;
    const std::string stored = store_.ReadSetting("STATS", "TCOST");
    EXPECT_NEAR(ReadLeadingDecimal(stored), c.tcost, 1e-12) << c.what << ": " << stored;
    EXPECT_THAT(stored, Not(HasSubstr("inf"))) << c.what;
    EXPECT_THAT(stored, Not(HasSubstr("nan"))) << c.what;
    for (const std::string& name : c.not_set_up) {
      EXPECT_THAT(estimate.message, HasSubstr(name)) << c.what;
    }
  }
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(CostEstimateTest, OnePrintGivesTheShortTexts) {
  const CostEstimate estimate = Estimate(HandBlock(), 10, 2);
  EXPECT_EQ(estimate.message,
            "The approximate cost of printing the image on the C711WT at A4 is  0.29   Euro "
            "per copy.");
  EXPECT_EQ(estimate.clipboard_sentence,
            "File \"art.png\" printed at A4 on 2024-03-05 14:07 would cost approximately 0.29 "
            "Euro per print plus the transfer paper.");
  EXPECT_THAT(estimate.clipboard_sentence, EndsWith(" per print plus the transfer paper."));
  EXPECT_EQ(estimate.paper_note, texts_[289]);
}

TEST_F(CostEstimateTest, FivePrintsAddTheTotalLine) {
  // 5 × 0.2885 = 1.4425 -> " 1.44".
  const CostEstimate estimate = Estimate(HandBlock(), 10, 2, 5);
  EXPECT_EQ(estimate.message,
            "The approximate cost of printing the image on the C711WT at A4 is  0.29   Euro "
            "per copy.\r\nFor  5 copies the overall cost is  1.44 Euro.");
  EXPECT_EQ(estimate.clipboard_sentence,
            "File \"art.png\" printed at A4 on 2024-03-05 14:07 would cost approximately 0.29 "
            "Euro per print.\r\nFor 5 copies the overall cost is  1.44 Euro plus the transfer "
            "paper.");
  EXPECT_NEAR(ReadLeadingDecimal(store_.ReadSetting("Stats", "TCOST")), 0.2885, 1e-12);
}

TEST_F(CostEstimateTest, ModeLineFollowsTheStoredMode) {
  const std::vector<std::uint8_t> block(5, 0);
  const std::pair<const char*, const char*> cases[] = {
      {"1", "The Current setting is Statistics only"},
      {"2", "The Current setting is Print && Statistics"},
      {"3", "The Current setting is Print only"},
      {"", "The Current setting is Print only"},
      {"7", "The Current setting is Print only"},
  };
  for (const auto& [mode, line] : cases) {
    store_.WriteSetting("Stats", "Option", mode);
    EXPECT_EQ(Estimate(block, 1, 1).mode_line, line) << "mode " << mode;
  }
}

TEST_F(CostEstimateTest, MismatchedBlockIsAnErrorAndStoresNothing) {
  const std::vector<std::uint8_t> block(7, 0);
  CostEstimateInput input;
  input.image_data = AsBlock(block);
  input.x_pixel = 2;
  input.y_pixel = 1;
  const CostEstimateResult result = EstimatePrintCost(store_, texts_, input);
  EXPECT_FALSE(result.estimate.has_value());
  EXPECT_THAT(result.error, HasSubstr("2 x 1 pixels"));
  EXPECT_EQ(store_.ReadSetting("Stats", "TCOST"), "");
}

TEST(StatsRecordsTest, LeadingNumberRuleAndRecordChecks) {
  const ConsumableRecord toner =
      ParseConsumableRecord(Consumable::kColourToner, "CMY,11500,5%,216,A4");
  EXPECT_EQ(toner.label, "CMY");
  EXPECT_EQ(toner.yield, 11500);
  EXPECT_EQ(toner.basis, 5);
  EXPECT_EQ(toner.price, 216);
  EXPECT_EQ(toner.paper, "A4");
  const ConsumableRecord part = ParseConsumableRecord(Consumable::kFuser, "Fuser,x100");
  EXPECT_EQ(part.yield, 0);  // not a leading number
  EXPECT_EQ(part.price, 0);  // missing field

  const ConsumableKey& cmyt = *FindConsumableKey("cmyt");
  const ConsumableKey& belt = *FindConsumableKey("Transfer Belt");
  EXPECT_EQ(FindConsumableKey("Option"), nullptr);
  EXPECT_EQ(RecordProblem(cmyt, "CMY,11500,5%,216,A4"), std::nullopt);
  EXPECT_EQ(RecordProblem(belt, "Belt, 50000 ,149.95"), std::nullopt);
  EXPECT_EQ(RecordProblem(cmyt, "CMY, 11500 ,5 % ,216,"), std::nullopt);
  EXPECT_THAT(RecordProblem(cmyt, "CMY,11500,5%,216").value_or(""), HasSubstr("5"));
  EXPECT_THAT(RecordProblem(belt, "Belt,lots,150").value_or(""), HasSubstr("yield"));
  EXPECT_THAT(RecordProblem(belt, "Belt,100,").value_or(""), HasSubstr("price"));
  EXPECT_THAT(RecordProblem(belt, "Belt,-100,5").value_or(""), HasSubstr("yield"));
  EXPECT_THAT(RecordProblem(belt, "Belt,100,5%").value_or(""), HasSubstr("price"));
}

}  // namespace
}  // namespace kelvaro
