#ifndef KELVARO_STATS_COST_ESTIMATE_H_
#define KELVARO_STATS_COST_ESTIMATE_H_

// The consumable cost of one print: ink coverage of the image data block actually sent,
// priced from the records the user entered under [Stats].
//
// Callers:
// - the print command in statistics mode "2", after the job was spooled, and in mode "1"
//   instead of the job, with the composed block of that job;
// - `kelvaro cost`, with the block of the job that would be printed;
// - the result window, which shows `message`, `paper_note` and `mode_line` and copies
//   `clipboard_sentence`.
// All of them call EstimatePrintCost; nothing here touches a window, the clipboard or the
// environment.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/length_units.h"
#include "platform/spooler.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "stats/stats_records.h"

namespace kelvaro {

// The sum of all byte values of `bytes`, modulo 2^32.
std::uint32_t SumBytes(std::span<const std::uint8_t> bytes);

// Whole-percent coverage of planes 1 to 4 (C1..C4); plane 5 is not counted.
using Coverage = std::array<int, 4>;

// Coverage of an image data block of `y_pixel` rows, each five plane rows of `x_pixel` bytes:
// per plane the byte sum S, then round(100 × round(S ÷ 255) ÷ (x_pixel × y_pixel)), rounded
// to nearest, ties to even. The sums are kept in 64 bits: a full A4 page at 600 dpi already
// passes 2^32. nullopt when the block is shorter than the size says or the size is negative;
// an empty image has no coverage. The block comes in pieces of whole rows.
std::optional<Coverage> ComputeCoverage(const JobBlock& block, std::int64_t x_pixel,
                                        std::int64_t y_pixel);
inline std::optional<Coverage> ComputeCoverage(std::span<const std::uint8_t> block,
                                               std::int64_t x_pixel, std::int64_t y_pixel) {
  return ComputeCoverage(
      JobBlock(std::string_view(reinterpret_cast<const char*>(block.data()), block.size())),
      x_pixel, y_pixel);
}

// The A4 page every coverage basis refers to, square inches: (842 ÷ 72) × (595 ÷ 72).
inline constexpr double kReferenceAreaSqIn = PointsToInches(842.0) * PointsToInches(595.0);

// The money side of one print.
struct PrintCost {
  double toner = 0;  // (C1 + C2 + C3) × costCMY + C4 × costW
  double parts = 0;  // white drum (only when C4 > 0), 3 × colour drum, fuser, transfer belt
  double total = 0;  // "TCOST": parts + toner, always finite
  // Consumables this print uses whose yield (or toner coverage basis) is 0 or unusable:
  // left out of the sum instead of dividing by zero, in kConsumableKeys order.
  std::vector<Consumable> not_set_up;
};

// Prices `coverage` over an image of `x_point` × `y_point` points. A toner's cost of 1 %
// coverage over the image is ((price ÷ yield) ÷ basis) ÷ kReferenceAreaSqIn × image area.
PrintCost ComputePrintCost(const Coverage& coverage, const StatsRecords& records, double x_point,
                           double y_point);

// An amount with the mask "##.##": two decimals, blanks on the left up to five characters.
std::string FormatAmount(double amount);

// "TCOST" as it is stored: decimal text with one leading blank, as the store writes numbers.
std::string FormatStoredCost(double amount);

// The clock reading the clipboard sentence shows, local time. The caller reads the clock
// (or SOURCE_DATE_EPOCH); this layer never does.
struct ClockReading {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;  // 0..23
  int minute = 0;
};
// "YYYY-MM-DD HH:MM".
std::string FormatClockReading(const ClockReading& when);

// What one estimate needs besides the stored records.
struct CostEstimateInput {
  JobBlock image_data = std::string_view();  // the job's image data block, as spooled
  std::int64_t x_pixel = 0;                  // its size in pixels ("Xpixel", "Ypixel")
  std::int64_t y_pixel = 0;
  double x_point = 0;  // printed size of the block, points ("Xpoint", "Ypoint")
  double y_point = 0;
  int prints = 1;          // number of prints; below 1 counts as 1
  std::string model_name;  // active printer model, for "\printer\"
  std::string paper_name;  // selected paper size, for "\pagesize\" and the sentence
  std::string file_name;   // the loaded file's name with extension, for the sentence
  ClockReading now;
};

struct CostEstimate {
  Coverage coverage{};
  PrintCost cost;
  // UiText 287 with its placeholders filled; for more than one print a CR LF and UiText 288
  // with n × TCOST follow. When consumables are not set up, a CR LF and a line naming them
  // close it, so every front end shows the estimate is short.
  std::string message;
  std::string paper_note;  // UiText 289
  // "The Current setting is ..." for the stored mode, as a label text: "&&" is one ampersand.
  std::string mode_line;
  std::string clipboard_sentence;       // the "Copy to Clipboard" text
  std::vector<std::string> not_set_up;  // names of cost.not_set_up, as the setup window rows
};

struct CostEstimateResult {
  std::optional<CostEstimate> estimate;  // set on success
  std::string error;                     // why there is none
};

// The cost estimate of one job: coverage of `input.image_data`, the cost from the [Stats]
// records, "TCOST" stored under [STATS] (a failed write is shown by the store and the estimate
// is still returned), and the texts to show. Fails only for an image data block that does not
// match its size in pixels.
CostEstimateResult EstimatePrintCost(SettingsStore& store, const UiText& texts,
                                     const CostEstimateInput& input);

// The mode line for `mode`.
std::string StatisticsModeLine(StatisticsMode mode);

}  // namespace kelvaro

#endif  // KELVARO_STATS_COST_ESTIMATE_H_
