#ifndef KELVARO_SETTINGS_SETTINGS_FILE_H_
#define KELVARO_SETTINGS_SETTINGS_FILE_H_

#include <filesystem>
#include <optional>
#include <string>

#include "settings/job_settings.h"
#include "settings/settings_store.h"
#include "settings/tone_curves.h"

namespace kelvaro {

// Named setting files ("*.qvcfg"): the white, toner, margin, paper and tone-curve settings
// under a name of the user's choice, in the INI format of the settings file.
inline constexpr char kSettingsFileExtension[] = ".qvcfg";
inline constexpr char kSettingsFileFilter[] = "QVCFG Files .qvcfg";
inline constexpr char kSettingsFilePattern[] = "*.qvcfg";

// What a setting file keeps of the window.
struct SettingsFileControls {
  std::string white_mask_caption;     // value label of the white-only density, e.g. "100%"
  bool display = false;               // Display White box
  bool toner_on = false;              // Print White box
  bool toner_save = false;            // Threshold on box
  std::string toner_percent_caption;  // value label of the add-white threshold, e.g. "60%"
  std::string paper_size;             // text of the paper size list
  int white_edge = 0;                 // hundredths of a millimetre, see keys::active::kWhiteEdge
};

// Where the open and save dialogs start: the folder of the last setting file the user's
// own dialogs saved or loaded ([Directory] Last Config), or the common data folder for the
// ready-made files.
enum class SettingsFileSource { kUserFolder, kCommonFolder };
std::filesystem::path SettingsFileStartFolder(const SettingsStore& store,
                                              SettingsFileSource source);

// The Save Settings command after the dialog: remembers the file's folder in [Directory]
// Last Config, then writes White Mask %, Display, TonerOn, TonerSave, TonerPercent, the white
// edge (only when there is one, or the file had one), the four margins of the settings file,
// PaperSize and both curve sections (the toner order in force gets `curves`, the other its
// default curves). Keys already in the file that are not
// written stay. The file is written in one piece; a failure is shown with the store's
// message and leaves the file as it was. Returns false then.
bool SaveSettingsFile(SettingsStore& store, const std::filesystem::path& file,
                      const SettingsFileControls& controls, const ToneCurves& curves);

// What a load did beyond `settings` and `curves`.
struct SettingsFileLoad {
  int status = 0;                         // 1 loaded; 0 nothing was loaded
  std::optional<std::string> paper_size;  // the paper list entry to select, when stored
  bool margins_written = false;           // the four margins were copied to the settings file
  bool curves_applied = false;            // `curves` now hold the file's curves
};

// The Load Settings / Built in QVCFG Files command after the dialog. Fills the fields of
// `settings` the file carries (a value that marks itself missing leaves the field), sets
// `unit` from [Active] Unit of the settings file, copies the margins to the settings file
// when the file has them and decodes the curve section of the toner order in force. A file
// without a white edge key sets the edge off. A file
// without that curve section, or with a damaged one, leaves `curves` as they were.
// A file that cannot be read or holds none of the sections of a setting file is refused with
// a message; then nothing changes and the status is 0.
SettingsFileLoad LoadSettingsFile(SettingsStore& store, const std::filesystem::path& file,
                                  SettingsFileSource source, JobSettings& settings,
                                  ToneCurves& curves);

// The unit code of [Active] Unit as a JobSettings unit: "M" 0, "C" 1, "I" 2, anything else 0.
unsigned char UnitFromCode(const std::string& code);

}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_SETTINGS_FILE_H_
