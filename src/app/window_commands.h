#ifndef KELVARO_APP_WINDOW_COMMANDS_H_
#define KELVARO_APP_WINDOW_COMMANDS_H_

#include <filesystem>
#include <functional>
#include <string>

#include "app/main_window_model.h"
#include "platform/notifier.h"
#include "printers/printer_queues.h"
#include "settings/job_settings.h"
#include "settings/recent_files.h"
#include "settings/settings_file.h"
#include "settings/tone_curves.h"

namespace kelvaro {

// Commands of the main window that reach beyond the model: they also change the tone curves
// in memory, the recent-file list or the loaded picture. The window and the command line run
// the same functions.

// What the window shows once it is built: the active printer model with its paper list and
// toner order, the unit, the media list with "Printer Setting" applied, then the stored white
// settings and the preview width the window last had.
void SetUpWindowState(MainWindowModel& model, std::string_view model_name,
                      const JobSettings& stored);

// The printer list: the queues of the active model, with the stored [Active] Printer selected
// (the first queue when it is not listed). A status the list brings (no queue of the model,
// the print system not reachable) goes to the status line.
void ShowPrinterQueues(MainWindowModel& model, const PrinterQueueList& queues);

// "Built in QVCFG Files" is offered only while the common folder holds a "*.qvcfg" file.
void ShowBuiltInSettingsEntry(MainWindowModel& model);

// Load Defaults: the stored defaults (curves, toner order, margins, hands, the whole default
// set), the controls' defaults, the active model again, and then the medium in force applied
// again so that the boxes it locks stay locked.
void LoadDefaults(MainWindowModel& model);

// The toner-order dialog: white first ("WF") or white last ("WL"). The model stores the order,
// takes its curves and applies the media preset again; the user is told what the switch
// means (UiText 205 for white first, 204 for white last).
void ChooseTonerOrder(MainWindowModel& model, Notifier& notifier, bool white_first);

// Load Settings (from the user folder) or Built in QVCFG Files (from the common folder) after
// the dialog: the file's white settings reach the controls, its curves the model, its margins
// the store, and its paper is selected unless `keep_paper`. A file that cannot be loaded has
// been reported by the loader; false then, and nothing changed.
bool LoadSettingsFileIntoWindow(MainWindowModel& model, const std::filesystem::path& file,
                                SettingsFileSource source, bool keep_paper = false);

// What Save Settings writes of the window: the white values and captions and the paper.
SettingsFileControls SettingsFileControlsOf(const MainWindowModel& model);

// Loads the picture at a path as the window does; true when it loaded. The loader shows its
// own messages.
using PictureLoader = std::function<bool(const std::string& path)>;

// The menu commands that reach the store or the notifier and need no dialog: the default
// profiles (then the newest picture is loaded again with `load`) and About. false for other
// ids.
bool RunMenuCommand(MainWindowModel& model, int id, const PictureLoader& load);

// Shows the recent-file list in the File menu.
void ShowRecentFiles(MainWindowModel& model, const RecentFiles& files);

// Recent-file command k (1 to 5): the picture menu entry k shows (SlotOfMenuEntry) is loaded when
// it still exists, moved to the top of the list and named in the title; a picture that is gone or
// cannot be loaded leaves the list. Returns true when the picture was loaded.
bool OpenRecentFile(MainWindowModel& model, const std::filesystem::path& user_folder, int k,
                    const PictureLoader& load);

// After a change of colour profiles: the newest picture is loaded again; on success it stays
// on top and is named in the title, on failure it leaves the list.
bool ReloadNewestFile(MainWindowModel& model, const std::filesystem::path& user_folder,
                      const PictureLoader& load);

}  // namespace kelvaro

#endif  // KELVARO_APP_WINDOW_COMMANDS_H_
