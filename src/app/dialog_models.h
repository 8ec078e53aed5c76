#ifndef KELVARO_APP_DIALOG_MODELS_H_
#define KELVARO_APP_DIALOG_MODELS_H_

// The models of the small dialogs: each holds what its dialog shows and does what its
// controls ask, so that the dialog widgets only show these values and forward the user's
// input here.

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_rules.h"
#include "platform/notifier.h"
#include "printers/units.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "stats/stats_records.h"

namespace kelvaro {

// The sliders of the JPEG and black-removal dialogs run from 0 to this.
inline constexpr int kDialogSliderMaximum = 100;

// "Jpg Background Removal": "OK" stores the slider's tolerance; it takes effect at the next
// load of a JPEG file.
class JpegSettingsModel {
 public:
  explicit JpegSettingsModel(SettingsStore& store);
  int position() const { return position_; }
  void Move(int position) { position_ = position; }
  // "OK"; false when the store could not write (it has told the user).
  bool Accept();

 private:
  SettingsStore& store_;
  int position_;
};

// "Black Removal": every move of the slider stores the strength at once and `moved` redraws
// the preview. Opening it stores "5" in an empty key.
class BlackRemovalModel {
 public:
  BlackRemovalModel(SettingsStore& store, std::function<void()> moved);
  int position() const { return position_; }
  void Move(int position);

 private:
  SettingsStore& store_;
  std::function<void()> moved_;
  int position_;
};

// "Unit Settings": choosing a unit stores it at once.
class UnitsModel {
 public:
  static constexpr std::array<UnitCode, 3> kChoices = {UnitCode::kMillimetres,
                                                       UnitCode::kCentimetres, UnitCode::kInches};
  explicit UnitsModel(SettingsStore& store);
  UnitCode unit() const { return unit_; }
  void Choose(UnitCode unit);

 private:
  SettingsStore& store_;
  UnitCode unit_;
};

// "Language Selection": the language files of the program folder, the stored one selected.
class LanguageModel {
 public:
  LanguageModel(SettingsStore& store, UiText& texts, Notifier& notifier,
                std::filesystem::path program_folder);
  const std::vector<std::string>& choices() const { return choices_; }
  // The row of the stored language; -1 when it is not listed.
  int selected() const { return selected_; }
  // "OK" with the row selected (-1 for none). change() says afterwards whether the texts
  // changed, so that the window must be built again.
  void Accept(int row);
  LanguageChange change() const { return change_; }

 private:
  SettingsStore& store_;
  UiText& texts_;
  Notifier& notifier_;
  std::filesystem::path program_folder_;
  std::vector<std::string> choices_;
  int selected_ = -1;
  LanguageChange change_ = LanguageChange::kNone;
};

// "Print Statistics Setup": the six consumable records and the currency, saved with "Save";
// the three mode buttons store the statistics mode at once.
class StatisticsSetupModel {
 public:
  struct ModeChoice {
    int text;  // UiText entry of the option
    StatisticsMode mode;
  };
  static const std::array<ModeChoice, 3> kModes;

  StatisticsSetupModel(SettingsStore& store, const UiText& texts);
  const StatsSetupFields& fields() const { return fields_; }
  StatisticsMode mode() const { return mode_; }
  void ChooseMode(StatisticsMode mode);
  // "Save" with the boxes as typed; blanks around each are dropped. The problem to show when
  // a row was refused (then nothing at all is written).
  std::optional<std::string> Save(const StatsSetupFields& typed);

 private:
  SettingsStore& store_;
  const UiText& texts_;
  StatsSetupFields fields_;
  StatisticsMode mode_;
};

// "Pro8432 Toner order": two pictures, white last and white first; the one in force shows
// its "current" picture.
class TonerOrderModel {
 public:
  explicit TonerOrderModel(bool white_first_now) : white_first_now_(white_first_now) {}
  // The picture of the button for `white_first` ("#146" to "#149").
  std::string Picture(bool white_first) const;
  // What screen readers call the button.
  static std::string AccessibleName(bool white_first) { return white_first ? "WF" : "WL"; }
  void Choose(bool white_first) { chosen_ = white_first; }
  // The order chosen: true for white first; nothing when the dialog was closed.
  std::optional<bool> chosen() const { return chosen_; }

 private:
  bool white_first_now_;
  std::optional<bool> chosen_;
};

}  // namespace kelvaro

#endif  // KELVARO_APP_DIALOG_MODELS_H_
