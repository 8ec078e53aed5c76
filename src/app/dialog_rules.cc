#include "app/dialog_rules.h"

#include "app/control_ids.h"
#include "image/background_removal.h"
#include "printers/margins.h"
#include "settings/keys.h"
#include "settings/language_file.h"

namespace kelvaro {
namespace {

std::string BaseName(const std::string& file_name) {
  return file_name.substr(0, file_name.find('.'));
}

}  // namespace

int OpenJpegSettings(const SettingsStore& store) {
  const std::string stored = store.ReadSetting(keys::active::kJpegArtifact);
  return JpegArtifactToSlider(stored.empty() ? 5.0 : ReadLeadingDecimal(stored));
}

bool AcceptJpegSettings(SettingsStore& store, int position) {
  return store.WriteSetting(keys::active::kJpegArtifact,
                            FormatSettingDecimal(SliderToJpegArtifact(position)));
}

double ReadBlackRemovalFuzz(const SettingsStore& store) {
  return ReadLeadingDecimal(store.ReadSetting(keys::active::kBlackRemovalFuzzy));
}

int OpenBlackRemoval(SettingsStore& store) {
  if (store.ReadSetting(keys::active::kBlackRemovalFuzzy).empty()) {
    store.WriteSetting(keys::active::kBlackRemovalFuzzy, kDefaultBlackRemovalFuzzy);
  }
  return BlackRemovalFuzzToSlider(ReadBlackRemovalFuzz(store));
}

bool MoveBlackRemovalSlider(SettingsStore& store, int position) {
  return store.WriteSetting(keys::active::kBlackRemovalFuzzy,
                            FormatSettingDecimal(SliderToBlackRemovalFuzz(position)));
}

int StoredLanguageRow(const SettingsStore& store, const std::vector<LanguageChoice>& choices) {
  return FindLanguageSelection(choices, store.ReadSetting(keys::active::kLanguage));
}

LanguageChange AcceptLanguageChoice(SettingsStore& store, UiText& texts, Notifier& notifier,
                                    const std::filesystem::path& program_folder,
                                    const std::string& selection) {
  const std::string stored = BaseName(store.ReadSetting(keys::active::kLanguage));
  if (!selection.empty() && stored.find(selection) != std::string::npos) {
    return LanguageChange::kNone;
  }
  if (selection.empty()) {
    notifier.Show(kStoreTitle,
                  "Language file missing\r\nLoading defaults - Please set language again",
                  MessageIcon::kError);
    LoadDefaultTexts(texts);
    return LanguageChange::kDefaults;
  }
  const std::string file_name = selection + ".lan3";
  LoadLanguage(program_folder, file_name, texts, notifier);
  store.WriteSetting(keys::active::kLanguage, file_name);
  return LanguageChange::kLoaded;
}

StatsSetupFields OpenStatisticsSetup(SettingsStore& store) {
  WriteStatsDefaults(store);
  StatsSetupFields fields;
  for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
    const std::string text = store.ReadSetting(keys::stats::kSection, kConsumableKeys[row].key);
    std::size_t start = 0;
    for (int field = 0; field < kConsumableKeys[row].fields && start <= text.size(); ++field) {
      const std::size_t comma = text.find(',', start);
      const bool last = field + 1 == kConsumableKeys[row].fields || comma == std::string::npos;
      // The last column keeps whatever follows, so nothing stored is cut off.
      fields.rows[row][field] = last ? text.substr(start) : text.substr(start, comma - start);
      if (last) break;
      start = comma + 1;
    }
  }
  fields.currency = store.ReadSetting(keys::stats::kCurrency);
  return fields;
}

std::optional<std::string> SaveStatisticsSetup(SettingsStore& store, const UiText& texts,
                                               const StatsSetupFields& fields) {
  std::array<std::string, 6> records;
  for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
    const ConsumableKey& key = kConsumableKeys[row];
    std::string joined;
    for (int field = 0; field < key.fields; ++field) {
      if (field > 0) joined += ',';
      joined += fields.rows[row][field];
    }
    // A row never filled in stays empty rather than becoming a record of empty fields.
    if (joined == std::string(key.fields - 1, ',')) joined.clear();
    if (!joined.empty()) {
      if (std::optional<std::string> problem = RecordProblem(key, joined)) {
        return ConsumableName(key.consumable, texts) + ": " + *problem;
      }
    }
    records[row] = joined;
  }
  for (char ch : fields.currency) {
    if (static_cast<unsigned char>(ch) < 0x20) return "The currency cannot hold a line break.";
  }
  bool ok = true;
  for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
    ok = store.WriteSetting(keys::stats::kSection, kConsumableKeys[row].key, records[row]) && ok;
  }
  ok = store.WriteSetting(keys::stats::kCurrency, fields.currency) && ok;
  if (!ok) return "The statistics records could not all be stored.";
  return std::nullopt;
}

bool WriteStatisticsMode(SettingsStore& store, StatisticsMode mode) {
  return store.WriteSetting(keys::stats::kMode, std::to_string(static_cast<int>(mode)));
}

CustomPaperSize CustomSizeMarginsFromDialog(SettingsStore& store, PageSize typed_page,
                                            const std::function<void(PageSize)>& open_margins) {
  const Margins remembered = ReadMargins(store);
  WriteMargins(store, DefaultMargins());
  open_margins(typed_page);
  const Margins chosen = ReadMargins(store);
  WriteMargins(store, remembered);
  CustomPaperSize result;
  result.top = chosen.top;
  result.left = chosen.left;
  result.right = chosen.right;
  result.bottom = chosen.bottom;
  return result;
}

void RefillPaperList(MainWindowModel& model) {
  const std::string current = model.Text(control::kPaperList);
  const PaperList list = BuildPaperList(model.store(), model.state().model_name);
  model.SetItems(control::kPaperList, list.entries, list.selected);
  const int kept = model.FindItem(control::kPaperList, current);
  if (kept >= 0) {
    model.SelectItem(control::kPaperList, kept);
  } else {
    model.ShowPaper(model.Text(control::kPaperList));
  }
}

}  // namespace kelvaro
