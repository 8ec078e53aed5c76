#include "stats/stats_records.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/ini_file.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"

namespace kelvaro {
namespace {

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  while (true) {
    const std::size_t comma = text.find(',');
    fields.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

// A plain decimal number: digits with an optional fraction, nothing else.
bool IsPlainNumber(std::string_view text) {
  std::size_t digits = 0, i = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  return digits > 0 && i == text.size() && std::isfinite(ReadLeadingDecimal(text));
}

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

const ConsumableKey& KeyOf(Consumable consumable) {
  return kConsumableKeys[static_cast<std::size_t>(consumable)];
}

std::string ConsumableName(Consumable consumable, const UiText& texts) {
  return std::string(Trim(texts[KeyOf(consumable).label_text], kBlanks));
}

ConsumableRecord ParseConsumableRecord(Consumable consumable, std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text);
  auto field = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string_view(); };
  ConsumableRecord record;
  record.label = std::string(field(0));
  record.yield = ReadLeadingDecimal(field(1));
  if (KeyOf(consumable).fields == 5) {
    record.basis = ReadLeadingDecimal(field(2));
    record.price = ReadLeadingDecimal(field(3));
    record.paper = std::string(field(4));
  } else {
    record.price = ReadLeadingDecimal(field(2));
  }
  return record;
}

StatsRecords ReadStatsRecords(const SettingsStore& store) {
  StatsRecords stats;
  for (const ConsumableKey& key : kConsumableKeys) {
    stats.records[static_cast<std::size_t>(key.consumable)] =
        ParseConsumableRecord(key.consumable, store.ReadSetting(keys::stats::kSection, key.key));
  }
  stats.currency = store.ReadSetting(keys::stats::kCurrency);
  return stats;
}

StatisticsMode ReadStatisticsMode(const SettingsStore& store) {
  // Trim gives a view, so the setting it looks into must outlive it.
  const std::string stored = store.ReadSetting(keys::stats::kMode);
  const std::string_view mode = Trim(stored, kBlanks);
  if (mode == "1") return StatisticsMode::kStatisticsOnly;
  if (mode == "2") return StatisticsMode::kPrintAndStatistics;
  return StatisticsMode::kPrintOnly;
}

const ConsumableKey* FindConsumableKey(std::string_view key) {
  for (const ConsumableKey& candidate : kConsumableKeys) {
    if (EqualsIgnoringAsciiCase(candidate.key, key)) return &candidate;
  }
  return nullptr;
}

std::optional<std::string> RecordProblem(const ConsumableKey& key, std::string_view text) {
  const std::string name = key.key;
  if (CharacterCount(text) > kMaxIniValueChars) {
    return "the record is longer than " + std::to_string(kMaxIniValueChars) + " characters";
  }
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      return "the record holds a line break or control character";
    }
  }
  const std::vector<std::string_view> fields = SplitFields(text);
  const bool toner = key.fields == 5;
  if (static_cast<int>(fields.size()) != key.fields) {
    return name + " takes " + std::to_string(key.fields) + " comma-separated fields (" +
           (toner ? "label,yield,coverage %,price,paper" : "label,yield,price") + "), not " +
           std::to_string(fields.size());
  }
  struct NumberField {
    std::size_t index;
    const char* what;
    bool percent;
  };
  const std::vector<NumberField> numbers =
      toner ? std::vector<NumberField>{{1, "yield", false},
                                       {2, "coverage", true},
                                       {3, "price", false}}
            : std::vector<NumberField>{{1, "yield", false}, {2, "price", false}};
  for (const NumberField& number : numbers) {
    std::string_view value = Trim(fields[number.index], kBlanks);
    if (number.percent && !value.empty() && value.back() == '%')
      value = Trim(value.substr(0, value.size() - 1), kBlanks);
    if (!IsPlainNumber(value)) {
      return std::string("the ") + number.what + " of " + name + ", \"" +
             std::string(fields[number.index]) + "\", is not a number of zero or more";
    }
  }
  return std::nullopt;
}

bool WriteStatsDefaults(SettingsStore& store) {
  struct Default {
    SettingKey key;
    const char* value;
  };
  static constexpr Default kDefaults[] = {{keys::stats::kMode, "3"},
                                          {keys::stats::kColourToner, "CMY,11500,5%,216,A4"},
                                          {keys::stats::kCurrency, "Euro"}};
  bool ok = true;
  for (const Default& entry : kDefaults) {
    if (!store.ReadSetting(entry.key).empty()) continue;
    ok = store.WriteSetting(entry.key, entry.value) && ok;
  }
  return ok;
}

}  // namespace kelvaro
