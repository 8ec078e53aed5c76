// The consumable records of [Stats] on arbitrary bytes: a hand-edited settings file may hold
// anything there, and the cost estimate prices whatever was read.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "stats/cost_estimate.h"
#include "stats/stats_records.h"

using namespace kelvaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // One line of the input for each consumable, in the order they are stored; missing lines
  // are empty records.
  StatsRecords records;
  bool all_storable = true;
  std::string_view rest = bytes;
  for (const ConsumableKey& key : kConsumableKeys) {
    const std::size_t end = rest.find('\n');
    const std::string_view text = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const ConsumableRecord record = ParseConsumableRecord(key.consumable, text);
    records.records[static_cast<std::size_t>(key.consumable)] = record;
    if (record.label.size() > text.size() || record.paper.size() > text.size()) std::abort();
    const bool storable = !RecordProblem(key, text).has_value();
    all_storable = all_storable && storable;
    // A record the setup window would store reads as finite numbers of zero or more.
    if (storable && !(record.yield >= 0 && record.price >= 0 && record.basis >= 0 &&
                      std::isfinite(record.yield) && std::isfinite(record.price) &&
                      std::isfinite(record.basis))) {
      std::abort();
    }
  }

  // Whatever was read, the estimate stays finite; from storable records it is not negative.
  const Coverage coverage = {static_cast<int>(size % 101), 17, 0, static_cast<int>(size % 7)};
  const PrintCost cost = ComputePrintCost(coverage, records, 595, 842);
  if (!std::isfinite(cost.total) || !std::isfinite(cost.toner) || !std::isfinite(cost.parts)) {
    std::abort();
  }
  if (all_storable && cost.total < 0) std::abort();
  (void)FormatStoredCost(cost.total);
  (void)FormatAmount(cost.total);
  return 0;
}
