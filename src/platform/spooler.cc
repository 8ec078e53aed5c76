#include "platform/spooler.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/cups_queues.h"
#include "platform/fd_write.h"

namespace kelvaro {
namespace {

// cupsWriteRequestData takes any length, but smaller pieces keep memory use flat in the
// transport and let a broken connection show up early.
constexpr std::size_t kCupsChunk = 1 << 20;

std::string CupsError(const char* step) {
  const char* text = cupsLastErrorString();
  return std::string(step) + ": " + (text != nullptr && *text != '\0' ? text : "unknown error");
}

class CupsDests {
 public:
  CupsDests() {
    count_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_);
    if (count_ == 0 && CupsServerFailed()) server_error_ = CupsServerUnreachableMessage();
  }
  ~CupsDests() { cupsFreeDests(count_, dests_); }
  CupsDests(const CupsDests&) = delete;
  CupsDests& operator=(const CupsDests&) = delete;
  cups_dest_t* Find(const std::string& name) const {
    return cupsGetDest(name.c_str(), nullptr, count_, dests_);
  }

  // Whether `queue` takes jobs: the server down and a queue that is not there are said apart.
  QueueCheck State(const std::string& queue) const {
    if (!server_error_.empty()) return {false, server_error_, {}};
    const cups_dest_t* dest = Find(queue);
    if (dest == nullptr) {
      return {false, "the printer queue \"" + queue + "\" does not exist", {}};
    }
    const char* accepting =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    if (accepting != nullptr && std::strcmp(accepting, "false") == 0) {
      return {
          false, "the printer queue \"" + queue + "\" does not accept jobs (it rejects them)", {}};
    }
    const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
    if (state != nullptr && std::atoi(state) == IPP_PSTATE_STOPPED) {
      return {true,
              {},
              "The printer queue \"" + queue +
                  "\" is stopped: the job waits in it until the queue is started again."};
    }
    return {};
  }

 private:
  std::string server_error_;
  int count_ = 0;
  cups_dest_t* dests_ = nullptr;
};

class SystemSpooler final : public Spooler {
 public:
  SpoolResult SendRaw(const std::string& queue, const std::string& document,
                      const std::vector<JobBlock>& blocks,
                      const std::function<void(std::size_t)>& before_block) override {
    if (queue.rfind(kFileQueuePrefix, 0) == 0) {
      return WriteJobFile(queue.substr(kFileQueuePrefix.size()), blocks, before_block);
    }
    return SendToCups(queue, document, blocks, before_block);
  }

  QueueCheck CheckQueue(const std::string& queue) override {
    if (queue.rfind(kFileQueuePrefix, 0) == 0) return {};
    return CupsDests().State(queue);
  }

 private:
  // Writes one piece of the document to the open request, in the chunks the queue takes.
  static bool WritePiece(std::string_view piece) {
    for (std::size_t at = 0; at < piece.size(); at += kCupsChunk) {
      const std::size_t n = std::min(kCupsChunk, piece.size() - at);
      if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, piece.data() + at, n) != HTTP_STATUS_CONTINUE) {
        return false;
      }
    }
    return true;
  }

  static bool SendBlocks(const std::vector<JobBlock>& blocks,
                         const std::function<void(std::size_t)>& before_block) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      if (before_block) before_block(i);
      if (!blocks[i].Send(WritePiece)) return false;
    }
    return true;
  }

  static SpoolResult SendToCups(const std::string& queue, const std::string& document,
                                const std::vector<JobBlock>& blocks,
                                const std::function<void(std::size_t)>& before_block) {
    CupsDests dests;
    const QueueCheck state = dests.State(queue);
    if (!state.ok) return {false, state.error};
    cups_dest_t* dest = dests.Find(queue);
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (info == nullptr) return {false, CupsError("cannot reach the printer queue")};

    SpoolResult result{true, {}};
    int job_id = 0;
    if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest, info, &job_id, document.c_str(), 0, nullptr) >
        IPP_STATUS_OK_CONFLICTING) {
      result = {false, CupsError("cannot create the job")};
    } else if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest, info, job_id, document.c_str(),
                                     CUPS_FORMAT_RAW, 0, nullptr, 1) != HTTP_STATUS_CONTINUE) {
      result = {false, CupsError("cannot start the document")};
    } else {
      if (!SendBlocks(blocks, before_block)) {
        result = {false, CupsError("the job data could not be sent")};
      }
      ipp_status_t finished = cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest, info);
      if (result.ok && finished > IPP_STATUS_OK_CONFLICTING) {
        result = {false, CupsError("the queue did not accept the job")};
      }
    }
    if (!result.ok && job_id > 0) cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest, job_id);
    cupsFreeDestInfo(info);
    return result;
  }
};

// A destination that is no regular file (a printer device, a pipe, a terminal) is written in
// place: a temporary file renamed over it would replace the device node itself.
SpoolResult WriteToDevice(const std::string& path, const std::vector<JobBlock>& blocks,
                          const std::function<void(std::size_t)>& before_block) {
  int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return {false, "cannot open " + path + ": " + std::strerror(errno)};
  bool ok = true;
  for (std::size_t i = 0; i < blocks.size() && ok; ++i) {
    if (before_block) before_block(i);
    ok = blocks[i].Send([fd](std::string_view piece) { return WriteAllBytes(fd, piece); });
  }
  int saved_errno = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved_errno = errno;
  }
  if (!ok) return {false, "cannot write " + path + ": " + std::strerror(saved_errno)};
  return {true, {}};
}

}  // namespace

SpoolResult WriteJobFile(const std::string& path, const std::vector<JobBlock>& blocks,
                         const std::function<void(std::size_t)>& before_block) {
  namespace fs = std::filesystem;
  if (path.empty()) return {false, "no output file was named"};
  fs::path target(path);
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
      !S_ISDIR(existing.st_mode)) {
    return WriteToDevice(path, blocks, before_block);
  }
  // A link stays a link: the job goes where it points, whether a file is there yet or not.
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(target, ec); ++hops) {
    const fs::path next = fs::read_symlink(target, ec);
    if (ec) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temp = (folder / (".kelvaro-job-XXXXXX")).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return {false, "cannot write in " + folder.string() + ": " + std::strerror(errno)};
  bool ok = true;
  for (std::size_t i = 0; i < blocks.size() && ok; ++i) {
    if (before_block) before_block(i);
    ok = blocks[i].Send([fd](std::string_view piece) { return WriteAllBytes(fd, piece); });
  }
  int saved_errno = errno;
  ::fchmod(fd, 0644);  // mkstemp makes it private; a job file is an ordinary document
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved_errno = errno;
  }
  if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    saved_errno = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return {false, "cannot write " + path + ": " + std::strerror(saved_errno)};
  }
  return {true, {}};
}

std::unique_ptr<Spooler> MakeSystemSpooler() { return std::make_unique<SystemSpooler>(); }

}  // namespace kelvaro
