// `kelvaro stats show` and `kelvaro stats set KEY VALUE`: the consumable records the cost
// estimate prices a print from, as the Print Statistics Setup window keeps them.
//   stats show                          the six records and the currency, "KEY: value"
//   stats set CMYT "CMY,11500,5%,216,A4" one record, checked before it is written
//   stats set Currancy Euro             the currency shown after amounts
#include <cctype>
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "platform/ini_file.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"
#include "stats/stats_records.h"

namespace kelvaro::cli {
namespace {

constexpr char kCommand[] = "stats";
constexpr char kUsage[] =
    "stats show | stats set KEY \"label,yield,...\" | stats set Currancy TEXT\n"
    "  KEY: CMYT or WhitT (label,yield,coverage %,price,paper),\n"
    "       IDCMY, IDWH, Fuser or \"Transfer Belt\" (label,yield,price)";

bool IsCurrencyKey(const std::string& key) {
  return EqualsIgnoringAsciiCase(key, keys::stats::kCurrency.name);
}

std::optional<std::string> CurrencyProblem(const std::string& text) {
  if (text.size() > kMaxIniValueChars) return "the currency text is too long";
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      return "the currency text holds a line break or control character";
    }
  }
  return std::nullopt;
}

int Show() {
  const std::unique_ptr<CliSession> session = OpenCliSession();
  if (!session) return 1;
  auto line = [&](const char* key) {
    const std::string value = session->store.ReadSetting(keys::stats::kSection, key);
    std::printf("%s: %s\n", key, value.empty() ? "(not set)" : value.c_str());
  };
  for (const ConsumableKey& key : kConsumableKeys) line(key.key);
  line(keys::stats::kCurrency.name);
  return 0;
}

}  // namespace

int RunStatsCommand(const Args& args) {
  if (args.size() == 1 && args[0] == "show") return Show();
  if (args.size() != 3 || args[0] != "set") {
    return ReportUsageError(kCommand, UsageError{"say \"show\" or \"set KEY VALUE\""}, kUsage);
  }
  const std::string& value = args[2];
  const ConsumableKey* record = FindConsumableKey(args[1]);
  const bool currency = record == nullptr && IsCurrencyKey(args[1]);
  if (record == nullptr && !currency) {
    return ReportUsageError(kCommand, UsageError{"\"" + args[1] + "\" is not a statistics key"},
                            kUsage);
  }
  const std::optional<std::string> problem =
      currency ? CurrencyProblem(value) : RecordProblem(*record, value);
  if (problem) {
    std::fprintf(stderr, "kelvaro stats: %s; nothing was written\n", problem->c_str());
    return 2;
  }
  const std::unique_ptr<CliSession> session = OpenCliSession();
  if (!session) return 1;
  // A failed write has been shown by the store.
  return session->store.WriteSetting(keys::stats::kSection,
                                     currency ? keys::stats::kCurrency.name : record->key, value)
             ? 0
             : 1;
}

}  // namespace kelvaro::cli
