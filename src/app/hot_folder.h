#ifndef KELVARO_APP_HOT_FOLDER_H_
#define KELVARO_APP_HOT_FOLDER_H_

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/folder_events.h"

namespace kelvaro {

// What printing one picture of the hot folder came to.
struct HotFolderPrint {
  bool ok = false;
  std::string message;      // what the user would have been told, success or failure
  std::string destination;  // the queue or the file the job went to
  std::uintmax_t job_bytes = 0;
  std::string cost_line;  // the cost estimate, empty when statistics are off
};

// Prints the picture at a path; the hot folder does not care how.
using HotFolderPrintFunction = std::function<HotFolderPrint(const std::filesystem::path&)>;

// The setting file of a hot folder, loaded for each of its pictures.
inline constexpr char kHotFolderSettingsName[] = "folder.qvcfg";

// Names the hot folder never touches: hidden files, names of files still being written and
// the folder's setting file.
bool IsSkippedHotFolderName(const std::string& name);

// `name` in `folder`, or the first of "stem-1.ext", "stem-2.ext", ... not yet taken there.
std::filesystem::path FreeNameIn(const std::filesystem::path& folder, const std::string& name);

// A folder whose pictures are printed one at a time, oldest first. A picture is moved into
// printing/ while it prints and then into printed/ or failed/; a failure leaves its message
// beside it in "<name>.txt". Pictures are only ever moved, never changed or deleted.
class HotFolder {
 public:
  using Clock = std::chrono::steady_clock;

  HotFolder(std::filesystem::path folder, HotFolderPrintFunction print,
            std::function<void(const std::string&)> log, Clock::duration settle);

  // Makes printing/, printed/ and failed/; false (with a log line) when that is not possible.
  bool Prepare();

  // Pictures a crash left in printing/, printed again first.
  std::vector<std::filesystem::path> Leftovers() const;

  // Looks at the folder at `now` and gives the pictures that are complete, oldest first: the
  // writer was seen to finish them (`MarkComplete`), or their size and time have not changed
  // for the settle time. With events expected, only the files that were there before, or that
  // came while events were lost, settle by size and time.
  std::vector<std::filesystem::path> Settled(Clock::time_point now);
  // The file `name` was closed after writing or moved in. Skipped names stay skipped.
  void MarkComplete(const std::string& name);

  // From now on, a file that appears is complete only when its writer is seen to finish it:
  // a writer that pauses longer than the settle time does not get half a picture printed.
  // The files there now still settle by size and time.
  void ExpectEvents();
  // Events were dropped: every file not yet complete, and every file that appears by the next
  // look, settles by size and time.
  void EventsLost();

  // Waits up to `wait` for news from `events` (or just waits, without one) and takes it in.
  void Listen(FolderEvents* events, std::chrono::milliseconds wait);

  // Whether files are there that are not complete yet. A file that could not be moved is
  // not offered again (its log line says why), so it keeps nobody waiting.
  bool Waiting() const { return !seen_.empty(); }

  // Prints one picture (from the folder or from printing/) and files it away; true if the
  // print succeeded. Files that are no picture go to failed/ with their message.
  bool Process(const std::filesystem::path& picture);

  const std::filesystem::path& folder() const { return folder_; }

 private:
  struct Seen {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type mtime;
    Clock::time_point since;  // when the size and time were last seen to change
    bool complete = false;
    bool timed = true;    // settles by size and time
    bool listed = false;  // seen in the folder, not only in an event
  };

  std::filesystem::path folder_;
  HotFolderPrintFunction print_;
  std::function<void(const std::string&)> log_;
  Clock::duration settle_;
  std::map<std::string, Seen> seen_;
  std::set<std::string> stuck_;
  bool events_ = false;  // new files wait for their writer to finish
  bool lost_ = false;    // new files settle by time until the next look
};

}  // namespace kelvaro

#endif  // KELVARO_APP_HOT_FOLDER_H_
