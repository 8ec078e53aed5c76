#ifndef KELVARO_PLATFORM_FOLDER_EVENTS_H_
#define KELVARO_PLATFORM_FOLDER_EVENTS_H_

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kelvaro {

// What a folder's watcher reported: the names of files in it whose writer has finished.
struct FolderEventBatch {
  std::vector<std::string> finished;  // closed after writing, or moved into the folder
  bool lost = false;                  // the system dropped events: any file may have finished
};

// Tells which files a writer has finished in one folder (not its subfolders).
class FolderEvents {
 public:
  virtual ~FolderEvents() = default;
  // Waits up to `timeout` for news and returns what came since the last call; an empty batch
  // when nothing did.
  virtual FolderEventBatch Wait(std::chrono::milliseconds timeout) = 0;
};

// inotify on `folder`. nullptr when the folder gives no events for every writer: inotify is
// not available, or the folder lies on a network or FUSE file system, where files written by
// other machines raise no event here.
std::unique_ptr<FolderEvents> WatchFolderEvents(const std::filesystem::path& folder);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_FOLDER_EVENTS_H_
