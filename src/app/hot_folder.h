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

// Names the hot folder never touches: hidden files and names of files still being written.
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

  // Looks at the folder at `now` and gives the pictures whose size and time have not
  // changed for the settle time, oldest first. Files the watcher saw closed after writing
  // or moved in count as settled at once (`MarkComplete`).
  std::vector<std::filesystem::path> Settled(Clock::time_point now);
  void MarkComplete(const std::string& name);

  // Whether files are there that have not settled yet. A file that could not be moved is
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
    Clock::time_point since;
    bool complete = false;
  };

  std::filesystem::path folder_;
  HotFolderPrintFunction print_;
  std::function<void(const std::string&)> log_;
  Clock::duration settle_;
  std::map<std::string, Seen> seen_;
  std::set<std::string> stuck_;
};

}  // namespace kelvaro

#endif  // KELVARO_APP_HOT_FOLDER_H_
