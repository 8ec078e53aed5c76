#ifndef KELVARO_APP_DIALOG_RULES_H_
#define KELVARO_APP_DIALOG_RULES_H_

// What the small dialogs of the window do with the store, without a toolkit: the dialog
// widgets only show these values and pass the user's input here.

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window_model.h"
#include "platform/notifier.h"
#include "printers/paper_sizes.h"
#include "printers/units.h"
#include "settings/language_file.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "stats/stats_records.h"

namespace kelvaro {

// JPEG settings: the slider position the dialog opens with, from "JPEG Artifact".
int OpenJpegSettings(const SettingsStore& store);
// "OK": "JPEG Artifact" = round(position ÷ 5 + 1). false when the store could not write.
bool AcceptJpegSettings(SettingsStore& store, int position);

// Black removal: an empty "BLACK Removal Fuzzy" becomes "5"; the slider position it opens with.
int OpenBlackRemoval(SettingsStore& store);
// Every move of the slider: f = max(position × 50 ÷ 100, 1), stored at once.
bool MoveBlackRemovalSlider(SettingsStore& store, int position);
double ReadBlackRemovalFuzz(const SettingsStore& store);

// The Language dialog's "OK" with the list's selection (a display name, "" for none).
enum class LanguageChange {
  kNone,      // the selection is the stored language: nothing changes
  kDefaults,  // nothing selected: the built-in texts, after a message
  kLoaded,    // the chosen file was loaded and stored as [Active] Language
};
// The row of the stored language among `choices`; -1 when it is not listed.
int StoredLanguageRow(const SettingsStore& store, const std::vector<LanguageChoice>& choices);
// On kDefaults and kLoaded the window must be built again from `texts`.
LanguageChange AcceptLanguageChoice(SettingsStore& store, UiText& texts, Notifier& notifier,
                                    const std::filesystem::path& program_folder,
                                    const std::string& selection);

// The statistics setup window: one text field per column of each row, in kConsumableKeys
// order (toner rows five fields, wear parts three).
struct StatsSetupFields {
  std::array<std::array<std::string, 5>, 6> rows;
  std::string currency;
};
// Opens the window: the defaults of empty keys are written first, then the stored records are
// split into their fields.
StatsSetupFields OpenStatisticsSetup(SettingsStore& store);
// "Save": each row's fields joined with commas. A row the store would not take is named in
// the returned message and nothing at all is written.
std::optional<std::string> SaveStatisticsSetup(SettingsStore& store, const UiText& texts,
                                               const StatsSetupFields& fields);
// A mode button: "Option" = "1", "2" or "3" at once.
bool WriteStatisticsMode(SettingsStore& store, StatisticsMode mode);

// "Print Margins" of the custom size dialog, for a typed size already checked: the page size
// becomes the typed one, the stored margins are set aside and replaced by the defaults,
// `open_margins` runs the margins dialog for that page, and the margins it stored are
// returned (points, in a record's top/left/right/bottom fields) after the set-aside margins
// were written back. The caller restores its own page size afterwards.
CustomPaperSize CustomSizeMarginsFromDialog(SettingsStore& store, PageSize typed_page,
                                            const std::function<void(PageSize)>& open_margins);

// After the custom sizes changed: the paper list of the active model again, the entry in force
// kept selected while it is still listed (else the list's own choice is shown).
void RefillPaperList(MainWindowModel& model);

}  // namespace kelvaro

#endif  // KELVARO_APP_DIALOG_RULES_H_
