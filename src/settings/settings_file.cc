#include "settings/settings_file.h"

#include <array>
#include <string_view>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/text_helpers.h"

namespace kelvaro {
namespace fs = std::filesystem;
namespace {

// The four margins in the order a setting file holds them.
constexpr std::array<const char*, 4> kMarginKeys = {"Right Margin", "Left Margin", "Bottom Margin",
                                                    "Top Margin"};

// Values a load reads when a key is missing. Most of them double as "leave the current
// value": a stored text equal to the marker is treated as missing too.
constexpr char kWhiteMaskMissing[] = "40";
constexpr char kWhiteMaskKeep[] = "60";
constexpr char kWhiteOverlayMissing[] = "2";
constexpr char kCheckStateMissing[] = "5";
constexpr char kTonerPercentMissing[] = " 50";
constexpr char kMarginMissing[] = "60";

// A margin is kept in hundredths of a point; none of the papers has a side of 1000 points.
constexpr double kMaxStoredMargin = 99999;
constexpr char kMarginRangeText[] = "a number from 0 to 99999, in hundredths of a point";

// The values of a setting file that have a range, and the range. A file holding one outside
// it is refused as a whole before anything is stored: a margin of "abc" or "-5" would be
// stored and refuse every later print.
struct RangedKey {
  const char* key;
  double low;
  double high;
  bool percent_sign;  // the value may end in "%" (the captions of the sliders)
  const char* what;   // how the range is said
};
constexpr RangedKey kRangedKeys[] = {
    {"White Mask %", 0, 100, true, "a percentage from 0 to 100"},
    {"White Overlay %", 0, 100, true, "a percentage from 0 to 100"},
    {"TonerPercent", 0, 100, true, "a percentage from 0 to 100"},
    {"Display", 0, 1, false, "0 or 1"},
    {"TonerOn", 0, 1, false, "0 or 1"},
    {"TonerSave", 0, 1, false, "0 or 1"},
    {kWhiteEdgeKey, -kWhiteEdgeLimit / 100.0, kWhiteEdgeLimit / 100.0, false,
     "a number of millimetres from -1.00 to 1.00"},
    {"Right Margin", 0, kMaxStoredMargin, false, kMarginRangeText},
    {"Left Margin", 0, kMaxStoredMargin, false, kMarginRangeText},
    {"Bottom Margin", 0, kMaxStoredMargin, false, kMarginRangeText},
    {"Top Margin", 0, kMaxStoredMargin, false, kMarginRangeText},
};

// The number a stored value holds: blanks around it, an optional sign, digits with an
// optional fraction and, where allowed, a trailing "%". nullopt for anything else.
std::optional<double> StrictNumber(std::string_view text, bool percent_sign) {
  text = Trim(text, kBlanks);
  if (percent_sign && !text.empty() && text.back() == '%') text.remove_suffix(1);
  const DecimalPrefix prefix = ScanDecimalPrefix(text);
  // More digits than any ranged value has cannot be in range.
  if (prefix.digits == 0 || prefix.digits > 12 || prefix.length != text.size()) {
    return std::nullopt;
  }
  return ReadLeadingDecimal(text);
}

// The first value of `doc` outside its range, as the message names it; "" when all fit.
std::string FirstValueOutOfRange(const IniDocument& doc) {
  for (const RangedKey& ranged : kRangedKeys) {
    const std::optional<std::string> value = doc.Get("Active", ranged.key);
    if (!value) continue;
    const std::optional<double> number = StrictNumber(*value, ranged.percent_sign);
    if (number && *number >= ranged.low && *number <= ranged.high) continue;
    // The marker of a missing check box state is no value of its own.
    if (*value == kCheckStateMissing) continue;
    return std::string("[Active] ") + ranged.key + "=" + *value + " (it must be " + ranged.what +
           ")";
  }
  return "";
}

// The folder of `file` with a trailing separator, as [Directory] Last Config keeps it.
std::string FolderOf(const fs::path& file) {
  std::error_code ec;
  fs::path folder = fs::absolute(file, ec).parent_path();
  if (ec) folder = file.parent_path();
  std::string text = folder.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

// The toner order in force is white first only when the settings file says so; the window
// treats every other value as white last too.
bool WhiteFirstOrder(const SettingsStore& store) {
  return store.ReadSetting("Active", "T_ORDER") == "WF";
}

// True when the document carries at least one key a setting file is made of.
bool LooksLikeSettingsFile(const IniDocument& doc) {
  static constexpr std::array<const char*, 11> kActiveKeys = {
      "White Mask %", "White Overlay %", "Display",       "TonerOn",    "TonerSave", "TonerPercent",
      "Right Margin", "Left Margin",     "Bottom Margin", "Top Margin", "PaperSize"};
  for (const char* key : kActiveKeys) {
    if (doc.Get("Active", key)) return true;
  }
  return doc.Get("CYMW", "Profile") || doc.Get("WYMC", "Profile");
}

}  // namespace

unsigned char UnitFromCode(const std::string& code) {
  if (code == "C") return 1;
  if (code == "I") return 2;
  return 0;
}

fs::path SettingsFileStartFolder(const SettingsStore& store, SettingsFileSource source) {
  if (source == SettingsFileSource::kCommonFolder) return store.folders().common;
  return fs::path(store.ReadSetting("Directory", "Last Config"));
}

bool SaveSettingsFile(SettingsStore& store, const fs::path& file,
                      const SettingsFileControls& controls, const ToneCurves& curves) {
  store.WriteSetting("Directory", "Last Config", FolderOf(file));

  int error_code = 0;
  std::optional<std::string> bytes = ReadIniFile(file, &error_code);
  if (!bytes && error_code != kErrorFileNotFound) {
    // Replacing a file we cannot read would lose whatever else it holds.
    store.notifier().Show(kStoreTitle, SettingsStore::WriteFailureMessage(file, error_code),
                          MessageIcon::kError);
    return false;
  }
  IniDocument doc = IniDocument::Parse(bytes.value_or(std::string()));
  doc.Set("Active", "White Mask %", controls.white_mask_caption);
  doc.Set("Active", "Display", FormatStoredNumber(controls.display ? 1 : 0));
  doc.Set("Active", "TonerOn", FormatStoredNumber(controls.toner_on ? 1 : 0));
  doc.Set("Active", "TonerSave", FormatStoredNumber(controls.toner_save ? 1 : 0));
  doc.Set("Active", "TonerPercent", controls.toner_percent_caption);
  // Files without an edge stay as they were written before there was one.
  if (controls.white_edge != 0 || doc.Get("Active", kWhiteEdgeKey)) {
    doc.Set("Active", kWhiteEdgeKey, FormatWhiteEdge(controls.white_edge));
  }
  for (const char* key : kMarginKeys) doc.Set("Active", key, store.ReadSetting("Active", key));
  doc.Set("Active", "PaperSize", controls.paper_size);
  const std::string in_use = EncodeToneCurves(curves);
  if (WhiteFirstOrder(store)) {
    doc.Set("WYMC", "Profile", in_use);
    doc.Set("CYMW", "Profile", kDefaultToneCurvesText);
  } else {
    doc.Set("CYMW", "Profile", in_use);
    doc.Set("WYMC", "Profile", kWhiteFirstToneCurvesText);
  }

  const FileWriteResult written = WriteFileAtomically(file, doc.Serialize());
  if (!written.ok) {
    store.notifier().Show(kStoreTitle, SettingsStore::WriteFailureMessage(file, written.error_code),
                          MessageIcon::kError);
  }
  return written.ok;
}

SettingsFileLoad LoadSettingsFile(SettingsStore& store, const fs::path& file,
                                  SettingsFileSource source, JobSettings& settings,
                                  ToneCurves& curves) {
  SettingsFileLoad result;
  int error_code = 0;
  const std::optional<std::string> bytes = ReadIniFile(file, &error_code);
  if (!bytes) {
    store.notifier().Show(kStoreTitle,
                          "Failed to read:- \n" + file.string() + "\n" + WriteErrorText(error_code),
                          MessageIcon::kError);
    return result;
  }
  const IniDocument doc = IniDocument::Parse(*bytes);
  if (!LooksLikeSettingsFile(doc)) {
    store.notifier().Show(kStoreTitle,
                          file.string() + "\nis not a settings file; nothing was loaded",
                          MessageIcon::kError);
    return result;
  }
  if (const std::string bad = FirstValueOutOfRange(doc); !bad.empty()) {
    store.notifier().Show(
        kStoreTitle,
        file.string() + "\nholds a value out of range: " + bad + "\nNothing was loaded.",
        MessageIcon::kError);
    return result;
  }

  result.status = 1;
  settings.unit = UnitFromCode(store.ReadSetting("Active", "Unit"));
  if (source == SettingsFileSource::kUserFolder) {
    store.WriteSetting("Directory", "Last Config", FolderOf(file));
  }
  const auto read = [&doc](std::string_view section, std::string_view key,
                           std::string_view missing) {
    return doc.Get(section, key).value_or(std::string(missing));
  };

  if (const std::string value = read("Active", "White Mask %", kWhiteMaskMissing);
      value != kWhiteMaskKeep) {
    settings.whiteMaskPercent = ReadLeadingByte(value);
  }
  if (const std::string value = read("Active", "White Overlay %", kWhiteOverlayMissing);
      value != kWhiteOverlayMissing) {
    settings.whiteOverlayPercent = ReadLeadingByte(value);
  }
  const std::pair<const char*, unsigned char*> check_boxes[] = {
      {"Display", &settings.display},
      {"TonerOn", &settings.tonerOn},
      {"TonerSave", &settings.tonerSave},
  };
  for (const auto& [key, field] : check_boxes) {
    const std::string value = read("Active", key, kCheckStateMissing);
    if (value != kCheckStateMissing) *field = ReadLeadingByte(value);
  }
  settings.tonerPercent = ReadLeadingByte(read("Active", "TonerPercent", kTonerPercentMissing));
  settings.whiteEdge = ReadWhiteEdge(read("Active", kWhiteEdgeKey, ""));

  if (read("Active", "Right Margin", kMarginMissing) != kMarginMissing) {
    for (const char* key : kMarginKeys) {
      store.WriteSetting("Active", key, read("Active", key, kMarginMissing));
    }
    result.margins_written = true;
  }

  result.paper_size = doc.Get("Active", "PaperSize");

  // Only a complete curve text of the order in force replaces the curves: a file saved
  // without that section (or with a damaged one) would otherwise switch colour off.
  const char* section = WhiteFirstOrder(store) ? "WYMC" : "CYMW";
  if (const std::optional<std::string> text = doc.Get(section, "Profile")) {
    if (IsToneCurvesText(*text)) {
      curves = DecodeToneCurves(*text);
      result.curves_applied = true;
    } else {
      store.notifier().Show(
          kStoreTitle,
          "The tone curves in\n" + file.string() + "\nare damaged; the curves in use are kept",
          MessageIcon::kWarning);
    }
  }
  return result;
}

}  // namespace kelvaro
