#ifndef KELVARO_APP_FILE_SELECTION_H_
#define KELVARO_APP_FILE_SELECTION_H_

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window_model.h"
#include "app/picture_load.h"
#include "platform/data_folders.h"

namespace kelvaro {

// How a picture reaches the window: the open dialog and a drop onto the image area. The
// front end shows the dialog and receives the drop; what follows is decided here.

struct ImageFileFilter {
  const char* caption;
  const char* pattern;  // patterns separated by ";"
};
// The open dialog's filters, in this order, captioned exactly so.
inline constexpr std::array<ImageFileFilter, 7> kImageFileFilters = {{
    {"Image Files", "*.tif;*.psd;*.png;*.gif;*.jpg;*.bmp"},
    {"Jpeg files  *.jpg *.jpeg", "*.jpg;*.jpeg"},
    {"Tiff files *.tif", "*.tif"},
    {"PNG Files  *.png", "*.png"},
    {"PSD Files *.psd", "*.psd"},
    {"GIF Files *gif ", "*.gif"},
    {"Windows bitmap *.bmp", "*.bmp"},
}};

// True for a dropped file whose extension, lower-cased, is one the drop takes: ".tif",
// ".psd", ".png", ".gif", ".jpg" or ".bmp" (".jpeg" and ".tiff" are not).
bool IsAcceptedDropExtension(std::string_view path);

// One dropped name, a shortcut replaced by its target. `error` says why a shortcut could not
// be resolved; the name is empty then.
struct DroppedFile {
  std::string name;
  std::string error;
};
// The dropped names in order, shortcuts (.lnk, .desktop, symbolic links) resolved.
std::vector<DroppedFile> CollectDroppedFiles(const std::vector<std::string>& names);

// What a drop does: only the first file counts. `load` is set when it is a picture the drop
// takes; `message` when its shortcut is damaged (the user is told; nothing is loaded).
struct DropDecision {
  std::optional<std::string> load;
  std::string message;
};
DropDecision DecideDrop(const std::vector<DroppedFile>& files);

// The folder the open dialog starts in: the folder of the newest recent file ("" for none).
std::string OpenDialogStartFolder(const std::filesystem::path& user_folder);

// Where a profile dialog starts: the profile in force, found where the conversion finds it
// (a bare name may live in the program's profiles folder), proposed by name; the user folder
// with nothing proposed when it is found nowhere.
std::filesystem::path ProfileDialogStart(std::string_view stored_name, const DataFolders& folders);

// The dialog was cancelled: with no picture shown the image-loaded flag is cleared; the
// status line says so.
void CancelImageSelection(MainWindowModel& model);

// Before a chosen file is loaded: the copy counts go back to 1, the title names the file and
// the status line says it is being loaded. Returns what to restore if the load fails.
struct PendingLoad {
  std::string previous_title;
  bool previous_loaded = false;
  std::string path;
};
PendingLoad BeginImageLoad(MainWindowModel& model, const std::string& path);

// After the load: on success the picture is flagged as loaded, "Rotate" shows whether the fit
// turned it, the picture goes on top of the recent files (the File menu follows), printing
// is enabled and the status says "Loaded"; on failure the
// status says "Unsuitable file" and the title goes back to the picture still shown.
void FinishImageLoad(MainWindowModel& model, const std::filesystem::path& user_folder,
                     const PendingLoad& pending, const LoadedPicture& result);

}  // namespace kelvaro

#endif  // KELVARO_APP_FILE_SELECTION_H_
