#ifndef KELVARO_PATTERN_SHAPE_LIBRARY_SETUP_H_
#define KELVARO_PATTERN_SHAPE_LIBRARY_SETUP_H_

#include <filesystem>

#include "settings/settings_store.h"

namespace kelvaro {

// The shape library file: a master copy in the common data folder, a private copy per user
// whose path [Active] "Shape Library" remembers.
inline constexpr char kShapeLibraryFileName[] = "shape.lib";

// The outcome of the start-up check; the numbers are the status values start-up reports.
enum class ShapeLibraryStatus {
  kReady = 0,
  kCommonFolderProblem = 1,  // the common data folder cannot be found
  kUserFolderProblem = 2,    // the user data folder cannot be found or written
  kMasterMissing = 3,        // the common folder holds no (readable) master library
};

std::filesystem::path MasterShapeLibraryPath(const DataFolders& folders);
std::filesystem::path UserShapeLibraryPath(const DataFolders& folders);

// Makes sure the user has a shape library: nothing to do when "Shape Library" is set;
// otherwise the master library is copied into the user folder and its path stored. A
// library the user already has at that path is kept rather than overwritten, since it may
// hold shapes of his own. A copy that cannot be written leaves the key empty (status 2).
ShapeLibraryStatus ResolveShapeLibrary(SettingsStore& store);

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_SHAPE_LIBRARY_SETUP_H_
