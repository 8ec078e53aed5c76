#include "stats/cost_estimate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>

#include "platform/length_units.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

// A piece this long sums to at most 255 × 2^24 < 2^32, so SumBytes cannot wrap on it.
constexpr std::size_t kSumPiece = std::size_t{1} << 24;

std::uint64_t WideSum(std::span<const std::uint8_t> bytes) {
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < bytes.size(); at += kSumPiece) {
    sum += SumBytes(bytes.subspan(at, std::min(kSumPiece, bytes.size() - at)));
  }
  return sum;
}

// round(sum ÷ 255): 255 is odd, so there is never a tie.
std::uint64_t RoundToLevels(std::uint64_t sum) { return (sum + 127) / 255; }

// round(100 × levels ÷ pixels), ties to even, in whole numbers so no tie is lost to binary
// fractions.
int Percentage(std::uint64_t levels, std::uint64_t pixels) {
  const std::uint64_t scaled = 100 * levels;
  std::uint64_t quotient = scaled / pixels;
  const std::uint64_t twice_remainder = 2 * (scaled % pixels);
  if (twice_remainder > pixels || (twice_remainder == pixels && quotient % 2 == 1)) ++quotient;
  return static_cast<int>(quotient);
}

// price ÷ yield, or nullopt when the record has no usable yield.
std::optional<double> PerPage(const ConsumableRecord& record) {
  if (!(record.yield > 0) || !std::isfinite(record.price)) return std::nullopt;
  const double share = record.price / record.yield;
  if (!std::isfinite(share)) return std::nullopt;
  return share;
}

// Cost of 1 % coverage over `area` square inches, or nullopt without yield or basis.
std::optional<double> PerPercent(const ConsumableRecord& record, double area) {
  const std::optional<double> per_page = PerPage(record);
  if (!per_page || !(record.basis > 0)) return std::nullopt;
  const double cost = *per_page / record.basis / kReferenceAreaSqIn * area;
  if (!std::isfinite(cost)) return std::nullopt;
  return cost;
}

// Fills the placeholders of `text` (each "\name\" in `values`) in one pass, so a value
// holding a backslash is never taken for a placeholder.
std::string FillPlaceholders(
    std::string_view text, std::initializer_list<std::pair<std::string_view, std::string>> values) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    bool replaced = false;
    if (text[i] == '\\') {
      for (const auto& [name, value] : values) {
        if (text.substr(i).starts_with(name)) {
          out += value;
          i += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

std::string Padded(std::string_view value) { return " " + std::string(value) + " "; }

std::string JoinNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
  return joined;
}

}  // namespace

std::uint32_t SumBytes(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  return sum;
}

std::optional<Coverage> ComputeCoverage(const JobBlock& block, std::int64_t x_pixel,
                                        std::int64_t y_pixel) {
  if (x_pixel < 0 || y_pixel < 0) return std::nullopt;
  const std::uint64_t width = static_cast<std::uint64_t>(x_pixel);
  const std::uint64_t rows = static_cast<std::uint64_t>(y_pixel);
  if (width != 0 && rows > std::numeric_limits<std::uint64_t>::max() / 5 / width) {
    return std::nullopt;
  }
  const std::uint64_t pixels = width * rows;
  if (block.size() != 5 * pixels) return std::nullopt;
  Coverage coverage{};
  if (pixels == 0) return coverage;
  std::array<std::uint64_t, 4> sums{};
  const bool whole_rows = block.Send([&](std::string_view piece) {
    if (piece.size() % (5 * width) != 0) return false;
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(piece.data()),
                                              piece.size());
    for (std::size_t at = 0; at < bytes.size(); at += 5 * width) {
      for (std::size_t plane = 0; plane < 4; ++plane) {
        sums[plane] += WideSum(bytes.subspan(at + plane * width, width));
      }
    }
    return true;
  });
  if (!whole_rows) return std::nullopt;
  for (std::size_t plane = 0; plane < 4; ++plane) {
    coverage[plane] = Percentage(RoundToLevels(sums[plane]), pixels);
  }
  return coverage;
}

PrintCost ComputePrintCost(const Coverage& coverage, const StatsRecords& records, double x_point,
                           double y_point) {
  double area = PointsToInches(y_point) * PointsToInches(x_point);
  if (!std::isfinite(area) || area < 0) area = 0;
  PrintCost cost;
  // Adds one consumable's share; a share that cannot be worked out is named instead.
  auto add = [&](Consumable consumable, std::optional<double> unit, double count, double& into) {
    if (unit && std::isfinite(into + *unit * count)) {
      into += *unit * count;
    } else {
      cost.not_set_up.push_back(consumable);
    }
  };
  const int colour = coverage[0] + coverage[1] + coverage[2];
  const int white = coverage[3];
  if (colour > 0) {
    add(Consumable::kColourToner, PerPercent(records[Consumable::kColourToner], area), colour,
        cost.toner);
  }
  if (white > 0) {
    add(Consumable::kWhiteToner, PerPercent(records[Consumable::kWhiteToner], area), white,
        cost.toner);
  }
  add(Consumable::kColourDrum, PerPage(records[Consumable::kColourDrum]), 3, cost.parts);
  // The white drum only turns for a print with white on it.
  if (white > 0)
    add(Consumable::kWhiteDrum, PerPage(records[Consumable::kWhiteDrum]), 1, cost.parts);
  add(Consumable::kFuser, PerPage(records[Consumable::kFuser]), 1, cost.parts);
  add(Consumable::kTransferBelt, PerPage(records[Consumable::kTransferBelt]), 1, cost.parts);
  cost.total = cost.parts + cost.toner;
  // Two finite halves can only overflow together with absurd prices; never store infinity.
  if (!std::isfinite(cost.total)) cost.total = std::numeric_limits<double>::max();
  return cost;
}

std::string FormatAmount(double amount) {
  char text[64];
  std::snprintf(text, sizeof text, "%5.2f", amount);
  return text;
}

std::string FormatStoredCost(double amount) {
  char text[400];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed);
  if (ec != std::errc()) return " 0";
  return (amount < 0 ? "" : " ") + std::string(text, end);
}

std::string FormatClockReading(const ClockReading& when) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", when.year, when.month, when.day,
                when.hour, when.minute);
  return text;
}

std::string StatisticsModeLine(StatisticsMode mode) {
  switch (mode) {
    case StatisticsMode::kStatisticsOnly:
      return "The Current setting is Statistics only";
    case StatisticsMode::kPrintAndStatistics:
      return "The Current setting is Print && Statistics";
    case StatisticsMode::kPrintOnly:
      break;
  }
  return "The Current setting is Print only";
}

CostEstimateResult EstimatePrintCost(SettingsStore& store, const UiText& texts,
                                     const CostEstimateInput& input) {
  CostEstimateResult result;
  const std::optional<Coverage> coverage =
      ComputeCoverage(input.image_data, input.x_pixel, input.y_pixel);
  if (!coverage) {
    result.error = "the image data (" + std::to_string(input.image_data.size()) +
                   " bytes) does not match its size of " + std::to_string(input.x_pixel) + " x " +
                   std::to_string(input.y_pixel) + " pixels in five planes";
    return result;
  }
  const StatsRecords records = ReadStatsRecords(store);
  CostEstimate estimate;
  estimate.coverage = *coverage;
  estimate.cost = ComputePrintCost(*coverage, records, input.x_point, input.y_point);
  const double tcost = estimate.cost.total;
  // A failed write has been shown by the store; the estimate stands without it.
  store.WriteSetting(keys::stats::kCost, FormatStoredCost(tcost));

  const int prints = input.prints < 1 ? 1 : input.prints;
  const double overall = tcost * prints;
  const std::string& currency = records.currency;
  const std::string paper(Trim(input.paper_name, kSpaces));
  estimate.message =
      FillPlaceholders(texts[ui::kCostSentence], {{"\\printer\\", Padded(input.model_name)},
                                                  {"\\pagesize\\", Padded(paper)},
                                                  {"\\calc\\", Padded(FormatAmount(tcost))},
                                                  {"\\currancy\\", Padded(currency)},
                                                  {"\\Currancy\\", Padded(currency)}});
  if (prints > 1) {
    estimate.message += "\r\n" +
                        FillPlaceholders(texts[ui::kCopiesCostSentence],
                                         {{"\\numcopy\\", Padded(" " + std::to_string(prints))}}) +
                        " " + FormatAmount(overall) + " " + currency + ".";
  }
  for (Consumable consumable : estimate.cost.not_set_up) {
    estimate.not_set_up.push_back(ConsumableName(consumable, texts));
  }
  if (!estimate.not_set_up.empty()) {
    estimate.message += "\r\nNot counted, their yield or coverage is not set up: " +
                        JoinNames(estimate.not_set_up) + ".";
  }
  estimate.paper_note = texts[ui::kPaperCostNote];
  estimate.mode_line = StatisticsModeLine(ReadStatisticsMode(store));

  std::string& sentence = estimate.clipboard_sentence;
  sentence = "File \"" + input.file_name + "\" printed at " + input.paper_name + " on " +
             FormatClockReading(input.now) + " would cost approximately" + FormatAmount(tcost) +
             " " + currency + " per print";
  if (prints > 1) {
    sentence += ".\r\nFor " + std::to_string(prints) + " copies the overall cost is " +
                FormatAmount(overall) + " " + currency;
  }
  sentence += " plus the transfer paper.";
  result.estimate = std::move(estimate);
  return result;
}

}  // namespace kelvaro
