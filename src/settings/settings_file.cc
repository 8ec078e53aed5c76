#include "settings/settings_file.h"

#include <array>
#include <string_view>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/ini_file.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"

namespace kelvaro {
namespace fs = std::filesystem;
namespace {

// The four margins in the order a setting file holds them.
constexpr std::array<SettingKey, 4> kMarginKeys = {
    keys::active::kRightMargin, keys::active::kLeftMargin, keys::active::kBottomMargin,
    keys::active::kTopMargin};

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
  SettingKey key;
  double low;
  double high;
  bool percent_sign;  // the value may end in "%" (the captions of the sliders)
  const char* what;   // how the range is said
};
constexpr RangedKey kRangedKeys[] = {
    {keys::active::kWhiteMask, 0, 100, true, "a percentage from 0 to 100"},
    {keys::active::kWhiteOverlay, 0, 100, true, "a percentage from 0 to 100"},
    {keys::active::kTonerPercent, 0, 100, true, "a percentage from 0 to 100"},
    {keys::active::kDisplay, 0, 1, false, "0 or 1"},
    {keys::active::kTonerOn, 0, 1, false, "0 or 1"},
    {keys::active::kTonerSave, 0, 1, false, "0 or 1"},
    {keys::active::kWhiteEdge, -kWhiteEdgeLimit / 100.0, kWhiteEdgeLimit / 100.0, false,
     "a number of millimetres from -1.00 to 1.00"},
    {keys::active::kRightMargin, 0, kMaxStoredMargin, false, kMarginRangeText},
    {keys::active::kLeftMargin, 0, kMaxStoredMargin, false, kMarginRangeText},
    {keys::active::kBottomMargin, 0, kMaxStoredMargin, false, kMarginRangeText},
    {keys::active::kTopMargin, 0, kMaxStoredMargin, false, kMarginRangeText},
};

std::optional<std::string> Get(const IniDocument& doc, SettingKey key) {
  return doc.Get(key.section, key.name);
}
void Set(IniDocument& doc, SettingKey key, std::string_view value) {
  doc.Set(key.section, key.name, value);
}

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
    const std::optional<std::string> value = Get(doc, ranged.key);
    if (!value) continue;
    const std::optional<double> number = StrictNumber(*value, ranged.percent_sign);
    if (number && *number >= ranged.low && *number <= ranged.high) continue;
    // The marker of a missing check box state is no value of its own.
    if (*value == kCheckStateMissing) continue;
    return "[" + std::string(ranged.key.section) + "] " + ranged.key.name + "=" + *value +
           " (it must be " + ranged.what + ")";
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
  return store.ReadSetting(keys::active::kTonerOrder) == "WF";
}

// True when the document carries at least one key a setting file is made of.
bool LooksLikeSettingsFile(const IniDocument& doc) {
  static constexpr std::array<SettingKey, 11> kActiveKeys = {
      keys::active::kWhiteMask,   keys::active::kWhiteOverlay, keys::active::kDisplay,
      keys::active::kTonerOn,     keys::active::kTonerSave,    keys::active::kTonerPercent,
      keys::active::kRightMargin, keys::active::kLeftMargin,   keys::active::kBottomMargin,
      keys::active::kTopMargin,   keys::active::kPaperSize};
  for (const SettingKey& key : kActiveKeys) {
    if (Get(doc, key)) return true;
  }
  return Get(doc, keys::setting_file::kWhiteLastCurves) ||
         Get(doc, keys::setting_file::kWhiteFirstCurves);
}

// The document of setting file `file`, or nullopt after a message when it cannot be read, is
// no setting file or holds a value out of range.
std::optional<IniDocument> ReadSettingsDocument(Notifier& notifier, const fs::path& file) {
  int error_code = 0;
  const std::optional<std::string> bytes = ReadIniFile(file, &error_code);
  if (!bytes) {
    notifier.Show(kStoreTitle,
                  "Failed to read:- \n" + file.string() + "\n" + WriteErrorText(error_code),
                  MessageIcon::kError);
    return std::nullopt;
  }
  IniDocument doc = IniDocument::Parse(*bytes);
  if (!LooksLikeSettingsFile(doc)) {
    notifier.Show(kStoreTitle, file.string() + "\nis not a settings file; nothing was loaded",
                  MessageIcon::kError);
    return std::nullopt;
  }
  if (const std::string bad = FirstValueOutOfRange(doc); !bad.empty()) {
    notifier.Show(kStoreTitle,
                  file.string() + "\nholds a value out of range: " + bad + "\nNothing was loaded.",
                  MessageIcon::kError);
    return std::nullopt;
  }
  return doc;
}

// `key` of `doc`, or `missing` when it has none.
std::string ValueOr(const IniDocument& doc, SettingKey key, std::string_view missing) {
  return Get(doc, key).value_or(std::string(missing));
}

// The white, check box, threshold and edge values of `doc` into `settings`; a value that
// marks itself missing leaves its field.
void ApplyJobValues(const IniDocument& doc, JobSettings& settings) {
  if (const std::string value = ValueOr(doc, keys::active::kWhiteMask, kWhiteMaskMissing);
      value != kWhiteMaskKeep) {
    settings.whiteMaskPercent = ReadLeadingByte(value);
  }
  if (const std::string value = ValueOr(doc, keys::active::kWhiteOverlay, kWhiteOverlayMissing);
      value != kWhiteOverlayMissing) {
    settings.whiteOverlayPercent = ReadLeadingByte(value);
  }
  const std::pair<SettingKey, unsigned char*> check_boxes[] = {
      {keys::active::kDisplay, &settings.display},
      {keys::active::kTonerOn, &settings.tonerOn},
      {keys::active::kTonerSave, &settings.tonerSave},
  };
  for (const auto& [key, field] : check_boxes) {
    const std::string value = ValueOr(doc, key, kCheckStateMissing);
    if (value != kCheckStateMissing) *field = ReadLeadingByte(value);
  }
  settings.tonerPercent =
      ReadLeadingByte(ValueOr(doc, keys::active::kTonerPercent, kTonerPercentMissing));
  settings.whiteEdge = ReadWhiteEdge(ValueOr(doc, keys::active::kWhiteEdge, ""));
}

// Copies the four margins of `doc` to the settings file when it has them; true then.
bool CopyMargins(const IniDocument& doc, SettingsStore& store) {
  if (ValueOr(doc, keys::active::kRightMargin, kMarginMissing) == kMarginMissing) return false;
  for (const SettingKey& key : kMarginKeys) {
    store.WriteSetting(key, ValueOr(doc, key, kMarginMissing));
  }
  return true;
}

// Only a complete curve text of the order in force replaces the curves: a file saved
// without that section (or with a damaged one) would otherwise switch colour off. True when
// `curves` now hold the file's curves.
bool ApplyCurves(const IniDocument& doc, const SettingsStore& store, const fs::path& file,
                 ToneCurves& curves) {
  const SettingKey key = WhiteFirstOrder(store) ? keys::setting_file::kWhiteFirstCurves
                                                : keys::setting_file::kWhiteLastCurves;
  const std::optional<std::string> text = Get(doc, key);
  if (!text) return false;
  if (!IsToneCurvesText(*text)) {
    store.notifier().Show(
        kStoreTitle,
        "The tone curves in\n" + file.string() + "\nare damaged; the curves in use are kept",
        MessageIcon::kWarning);
    return false;
  }
  curves = DecodeToneCurves(*text);
  return true;
}

}  // namespace

unsigned char UnitFromCode(const std::string& code) {
  if (code == "C") return 1;
  if (code == "I") return 2;
  return 0;
}

fs::path SettingsFileStartFolder(const SettingsStore& store, SettingsFileSource source) {
  if (source == SettingsFileSource::kCommonFolder) return store.folders().common;
  return fs::path(store.ReadSetting(keys::directory::kLastConfig));
}

bool SaveSettingsFile(SettingsStore& store, const fs::path& file,
                      const SettingsFileControls& controls, const ToneCurves& curves) {
  store.WriteSetting(keys::directory::kLastConfig, FolderOf(file));

  int error_code = 0;
  std::optional<std::string> bytes = ReadIniFile(file, &error_code);
  if (!bytes && error_code != kErrorFileNotFound) {
    // Replacing a file we cannot read would lose whatever else it holds.
    store.notifier().Show(kStoreTitle, SettingsStore::WriteFailureMessage(file, error_code),
                          MessageIcon::kError);
    return false;
  }
  IniDocument doc = IniDocument::Parse(bytes.value_or(std::string()));
  Set(doc, keys::active::kWhiteMask, controls.white_mask_caption);
  Set(doc, keys::active::kDisplay, FormatStoredNumber(controls.display ? 1 : 0));
  Set(doc, keys::active::kTonerOn, FormatStoredNumber(controls.toner_on ? 1 : 0));
  Set(doc, keys::active::kTonerSave, FormatStoredNumber(controls.toner_save ? 1 : 0));
  Set(doc, keys::active::kTonerPercent, controls.toner_percent_caption);
  // Files without an edge stay as they were written before there was one.
  if (controls.white_edge != 0 || Get(doc, keys::active::kWhiteEdge)) {
    Set(doc, keys::active::kWhiteEdge, FormatWhiteEdge(controls.white_edge));
  }
  for (const SettingKey& key : kMarginKeys) {
    Set(doc, key, store.ReadSetting(key));
  }
  Set(doc, keys::active::kPaperSize, controls.paper_size);
  const std::string in_use = EncodeToneCurves(curves);
  if (WhiteFirstOrder(store)) {
    Set(doc, keys::setting_file::kWhiteFirstCurves, in_use);
    Set(doc, keys::setting_file::kWhiteLastCurves, kDefaultToneCurvesText);
  } else {
    Set(doc, keys::setting_file::kWhiteLastCurves, in_use);
    Set(doc, keys::setting_file::kWhiteFirstCurves, kWhiteFirstToneCurvesText);
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
  const std::optional<IniDocument> doc = ReadSettingsDocument(store.notifier(), file);
  if (!doc) return result;

  result.status = 1;
  settings.unit = UnitFromCode(store.ReadSetting(keys::active::kUnit));
  if (source == SettingsFileSource::kUserFolder) {
    store.WriteSetting(keys::directory::kLastConfig, FolderOf(file));
  }
  ApplyJobValues(*doc, settings);
  result.margins_written = CopyMargins(*doc, store);
  result.paper_size = Get(*doc, keys::active::kPaperSize);
  result.curves_applied = ApplyCurves(*doc, store, file, curves);
  return result;
}

}  // namespace kelvaro
