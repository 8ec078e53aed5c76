#include "app/dialog_models.h"

#include <utility>

#include "platform/text_helpers.h"
#include "printers/paper_sizes.h"
#include "settings/language_file.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {

JpegSettingsModel::JpegSettingsModel(SettingsStore& store)
    : store_(store), position_(OpenJpegSettings(store)) {}

bool JpegSettingsModel::Accept() { return AcceptJpegSettings(store_, position_); }

BlackRemovalModel::BlackRemovalModel(SettingsStore& store, std::function<void()> moved)
    : store_(store), moved_(std::move(moved)), position_(OpenBlackRemoval(store)) {}

void BlackRemovalModel::Move(int position) {
  position_ = position;
  MoveBlackRemovalSlider(store_, position);
  if (moved_) moved_();
}

UnitsModel::UnitsModel(SettingsStore& store) : store_(store), unit_(ReadUnit(store)) {}

void UnitsModel::Choose(UnitCode unit) {
  unit_ = unit;
  WriteUnit(store_, unit);
}

LanguageModel::LanguageModel(SettingsStore& store, UiText& texts, Notifier& notifier,
                             std::filesystem::path program_folder)
    : store_(store),
      texts_(texts),
      notifier_(notifier),
      program_folder_(std::move(program_folder)) {
  const std::vector<LanguageChoice> found = ListLanguages(program_folder_);
  for (const LanguageChoice& choice : found) choices_.push_back(choice.display_name);
  selected_ = StoredLanguageRow(store_, found);
}

void LanguageModel::Accept(int row) {
  const bool listed = row >= 0 && row < static_cast<int>(choices_.size());
  change_ = AcceptLanguageChoice(store_, texts_, notifier_, program_folder_,
                                 listed ? choices_[row] : std::string());
}

const std::array<StatisticsSetupModel::ModeChoice, 3> StatisticsSetupModel::kModes = {{
    {ui::kStatisticsOnlyMode, StatisticsMode::kStatisticsOnly},
    {ui::kPrintAndStatisticsMode, StatisticsMode::kPrintAndStatistics},
    {ui::kPrintOnlyMode, StatisticsMode::kPrintOnly},
}};

StatisticsSetupModel::StatisticsSetupModel(SettingsStore& store, const UiText& texts)
    : store_(store),
      texts_(texts),
      fields_(OpenStatisticsSetup(store)),
      mode_(ReadStatisticsMode(store)) {}

void StatisticsSetupModel::ChooseMode(StatisticsMode mode) {
  mode_ = mode;
  WriteStatisticsMode(store_, mode);
}

std::optional<std::string> StatisticsSetupModel::Save(const StatsSetupFields& typed) {
  StatsSetupFields trimmed;
  for (std::size_t row = 0; row < kConsumableKeys.size(); ++row) {
    for (int field = 0; field < kConsumableKeys[row].fields; ++field) {
      trimmed.rows[row][field] = std::string(Trim(typed.rows[row][field], kBlanksAndLineBreaks));
    }
  }
  trimmed.currency = std::string(Trim(typed.currency, kBlanksAndLineBreaks));
  std::optional<std::string> problem = SaveStatisticsSetup(store_, texts_, trimmed);
  if (!problem) fields_ = trimmed;
  return problem;
}

std::string TonerOrderModel::Picture(bool white_first) const {
  const bool current = white_first == white_first_now_;
  if (white_first) return current ? "#147" : "#148";
  return current ? "#149" : "#146";
}

}  // namespace kelvaro
