#include "pattern/shape_library_setup.h"

#include <optional>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "settings/keys.h"

namespace kelvaro {
namespace fs = std::filesystem;

fs::path MasterShapeLibraryPath(const DataFolders& folders) {
  return folders.common / kShapeLibraryFileName;
}

fs::path UserShapeLibraryPath(const DataFolders& folders) {
  return folders.user / kShapeLibraryFileName;
}

ShapeLibraryStatus ResolveShapeLibrary(SettingsStore& store) {
  if (!store.ReadSetting(keys::active::kShapeLibrary).empty()) return ShapeLibraryStatus::kReady;

  const DataFolders& folders = store.folders();
  std::error_code ec;
  if (folders.common.empty() || !fs::is_directory(folders.common, ec)) {
    return ShapeLibraryStatus::kCommonFolderProblem;
  }
  const fs::path master = MasterShapeLibraryPath(folders);
  if (!fs::is_regular_file(master, ec)) return ShapeLibraryStatus::kMasterMissing;

  if (folders.user.empty()) return ShapeLibraryStatus::kUserFolderProblem;
  fs::create_directories(folders.user, ec);
  if (!fs::is_directory(folders.user, ec)) return ShapeLibraryStatus::kUserFolderProblem;

  const fs::path user_library = UserShapeLibraryPath(folders);
  if (!fs::exists(fs::symlink_status(user_library, ec))) {
    const std::optional<std::string> bytes = ReadWholeFile(master);
    if (!bytes) return ShapeLibraryStatus::kMasterMissing;
    if (!WriteFileAtomically(user_library, *bytes).ok) {
      return ShapeLibraryStatus::kUserFolderProblem;
    }
  } else if (!fs::is_regular_file(user_library, ec)) {
    // Something that is no file sits where the library belongs; we do not remove it.
    return ShapeLibraryStatus::kUserFolderProblem;
  }
  store.WriteSetting(keys::active::kShapeLibrary, user_library.string());
  return ShapeLibraryStatus::kReady;
}

}  // namespace kelvaro
