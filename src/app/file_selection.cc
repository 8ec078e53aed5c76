#include "app/file_selection.h"

#include <algorithm>
#include <cctype>

#include "app/control_ids.h"
#include "app/window_commands.h"
#include "image/profiles.h"
#include "platform/shortcut.h"
#include "platform/text_helpers.h"
#include "settings/recent_files.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
namespace c = control;

}  // namespace

bool IsAcceptedDropExtension(std::string_view path) {
  const std::string extension = AsciiLower(fs::path(path).extension().string());
  for (const char* accepted : {".tif", ".psd", ".png", ".gif", ".jpg", ".bmp"}) {
    if (extension == accepted) return true;
  }
  return false;
}

std::vector<DroppedFile> CollectDroppedFiles(const std::vector<std::string>& names) {
  std::vector<DroppedFile> files;
  files.reserve(names.size());
  for (const std::string& name : names) {
    const ResolvedShortcut resolved = ResolveShortcut(name);
    files.push_back({resolved.text, resolved.error});
  }
  return files;
}

DropDecision DecideDrop(const std::vector<DroppedFile>& files) {
  if (files.empty()) return {};
  const DroppedFile& first = files.front();
  if (!first.error.empty()) return {std::nullopt, first.error};
  if (!IsAcceptedDropExtension(first.name)) return {};
  return {first.name, ""};
}

std::string OpenDialogStartFolder(const fs::path& user_folder) {
  return ReadRecentFile(user_folder, 0);
}

fs::path ProfileDialogStart(std::string_view stored_name, const DataFolders& folders) {
  if (!stored_name.empty()) {
    if (const std::optional<fs::path> found = ResolveProfilePath(stored_name, folders)) {
      std::error_code ec;
      if (fs::is_regular_file(*found, ec)) return *found;
    }
  }
  return folders.user;
}

void CancelImageSelection(MainWindowModel& model) {
  if (!model.image_loaded()) model.SetLoadedFile("");
  model.SetText(c::kStatusLine, model.texts().Get(ui::kCancelledStatus));
}

PendingLoad BeginImageLoad(MainWindowModel& model, const std::string& path) {
  PendingLoad pending{model.title(), model.image_loaded(), path};
  model.SetValue(c::kProgressBar, 0);
  model.SetText(c::kXCopyEdit, "1");
  model.SetText(c::kYCopyEdit, "1");
  model.SetLoadedFile(fs::path(path).filename().string());
  model.SetText(c::kStatusLine, model.texts().Get(ui::kLoadAndConvertStatus));
  return pending;
}

void FinishImageLoad(MainWindowModel& model, const fs::path& user_folder,
                     const PendingLoad& pending, const LoadedPicture& result) {
  if (!result.loaded) {
    // The picture shown before is still there: the title keeps naming it.
    model.RestoreTitle(pending.previous_title, pending.previous_loaded);
    model.SetText(c::kStatusLine, model.texts().Get(ui::kUnsuitableFileStatus));
    return;
  }
  model.SetChecked(c::kRotate, result.rotate);
  // Removal starts off for each new picture, and has nothing to do on a picture that brings
  // its own transparency.
  model.SetChecked(c::kBackgroundRemoval, false);
  model.SetEnabled(c::kBackgroundRemoval, !result.transparent);
  const RecentFilesUpdate update = UpdateRecentFiles(user_folder, pending.path);
  ShowRecentFiles(model, update.files);
  for (int id : {c::kPrintButton, command::kPrint, command::kPrintBlankPage}) {
    model.SetEnabled(id, true);
  }
  model.SetText(c::kStatusLine, model.texts().Get(ui::kLoadedStatus));
}

}  // namespace kelvaro
