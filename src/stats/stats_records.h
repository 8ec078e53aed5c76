#ifndef KELVARO_STATS_STATS_RECORDS_H_
#define KELVARO_STATS_STATS_RECORDS_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings/keys.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {

// The consumables priced by the estimate, in the order they are stored.
enum class Consumable {
  kColourToner,   // "CMYT": label, yield (pages), coverage basis (%), price, paper
  kWhiteToner,    // "WhitT": same five fields
  kColourDrum,    // "IDCMY": label, yield, price
  kWhiteDrum,     // "IDWH"
  kFuser,         // "Fuser"
  kTransferBelt,  // "Transfer Belt"
};

struct ConsumableKey {
  Consumable consumable;
  const char* key;  // key under [Stats]
  int fields;       // 5 for toner records, 3 for the wear parts
  int label_text;   // UiText entry of the setup window's row
};

inline constexpr std::array<ConsumableKey, 6> kConsumableKeys = {{
    {Consumable::kColourToner, keys::stats::kColourToner.name, 5, ui::kColourTonerLabel},
    {Consumable::kWhiteToner, keys::stats::kWhiteToner.name, 5, ui::kWhiteTonerLabel},
    {Consumable::kColourDrum, keys::stats::kColourDrum.name, 3, ui::kColourDrumLabel},
    {Consumable::kWhiteDrum, keys::stats::kWhiteDrum.name, 3, ui::kWhiteDrumLabel},
    {Consumable::kFuser, keys::stats::kFuser.name, 3, ui::kFuserLabel},
    {Consumable::kTransferBelt, keys::stats::kTransferBelt.name, 3, ui::kTransferBeltLabel},
}};

const ConsumableKey& KeyOf(Consumable consumable);
// The row name the user knows the consumable by (its UiText label, blanks trimmed).
std::string ConsumableName(Consumable consumable, const UiText& texts);

// One record as stored: numbers are the leading number of their field ("5%" is 5, an empty or
// missing field 0). Wear-part records have no coverage basis and no paper.
struct ConsumableRecord {
  std::string label;
  double yield = 0;  // pages
  double basis = 0;  // coverage the yield is quoted at, percent (toner only)
  double price = 0;  // in the user's currency
  std::string paper;
};

// Reads `text` as a record of `consumable`'s shape.
ConsumableRecord ParseConsumableRecord(Consumable consumable, std::string_view text);

// The six records and the currency as stored.
struct StatsRecords {
  std::array<ConsumableRecord, 6> records;  // in kConsumableKeys order
  std::string currency;
  const ConsumableRecord& operator[](Consumable c) const {
    return records[static_cast<std::size_t>(c)];
  }
};
StatsRecords ReadStatsRecords(const SettingsStore& store);

// The statistics mode of [Stats] Option: "1" statistics only, "2" print and statistics; any
// other value, or none, prints only.
enum class StatisticsMode { kStatisticsOnly = 1, kPrintAndStatistics = 2, kPrintOnly = 3 };
StatisticsMode ReadStatisticsMode(const SettingsStore& store);

// The key of the consumable record named `key` (matched without regard to case); nullptr
// for any other name.
const ConsumableKey* FindConsumableKey(std::string_view key);

// Why `text` cannot be stored as a record of `key`; nullopt when it can. A record has exactly
// the key's number of comma-separated fields; yield, price and (toner) coverage basis must be
// non-negative numbers, the basis may end in "%"; no field holds a control character and the
// whole fits a stored value.
std::optional<std::string> RecordProblem(const ConsumableKey& key, std::string_view text);

// The values the setup window starts from where a key is empty: "Option" "3", "CMYT"
// "CMY,11500,5%,216,A4", "Currancy" "Euro". Keys that hold something are left alone. false
// when a write failed (the store has told the user).
bool WriteStatsDefaults(SettingsStore& store);

}  // namespace kelvaro

#endif  // KELVARO_STATS_STATS_RECORDS_H_
