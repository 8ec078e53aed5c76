#ifndef KELVARO_APP_WINDOW_COMMANDS_H_
#define KELVARO_APP_WINDOW_COMMANDS_H_

#include <filesystem>
#include <functional>
#include <string>

#include "app/main_window_model.h"
#include "platform/notifier.h"
#include "settings/recent_files.h"
#include "settings/tone_curves.h"

namespace kelvaro {

// Commands of the main window that reach beyond the model: they also change the tone curves
// in memory, the recent-file list or the loaded picture. The window and the command line run
// the same functions.

// The toner-order dialog: white first ("WF") or white last ("WL"). Stores the order, loads
// that order's default curves into `curves`, shows the indicator, asks for the media preset
// to be applied again and tells the user what the switch means (UiText 205 for white first,
// 204 for white last).
void ChooseTonerOrder(MainWindowModel& model, ToneCurves& curves, Notifier& notifier,
                      bool white_first);

// Loads the picture at a path as the window does; true when it loaded. The loader shows its
// own messages.
using PictureLoader = std::function<bool(const std::string& path)>;

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
