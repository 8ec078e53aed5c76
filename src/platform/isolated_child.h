#ifndef KELVARO_PLATFORM_ISOLATED_CHILD_H_
#define KELVARO_PLATFORM_ISOLATED_CHILD_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace kelvaro {

// Limits on work run in a child process.
struct ChildLimits {
  // Wall-clock time; the child is killed when it runs longer. Also its processor time.
  std::chrono::milliseconds time{120000};
  // Address space the child may add to what it inherits from this process, in bytes; 0 for no
  // limit.
  std::uint64_t extra_memory_bytes = 0;
};

// How the child ended.
enum class ChildEnd {
  kFinished,    // it handed back its report and exited normally
  kCrashed,     // it died from a signal or exited without a complete report
  kTimedOut,    // it ran past the time limit and was killed
  kNotStarted,  // no process, pipe or shared memory could be made
};

// Shared memory the child filled: a memory file, closed when this goes.
class SharedMemory {
 public:
  SharedMemory() = default;
  explicit SharedMemory(int fd) : fd_(fd) {}
  SharedMemory(SharedMemory&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  SharedMemory& operator=(SharedMemory&& other) noexcept;
  SharedMemory(const SharedMemory&) = delete;
  SharedMemory& operator=(const SharedMemory&) = delete;
  ~SharedMemory();
  int fd() const { return fd_; }
  // Copies `size` bytes from `offset` into `out`; false when the memory holds fewer.
  bool CopyOut(std::uint64_t offset, std::uint64_t size, std::uint8_t* out) const;

 private:
  int fd_ = -1;
};

struct ChildResult {
  ChildEnd end = ChildEnd::kNotStarted;
  std::string report;   // what the work returned, complete only when `end` is kFinished
  SharedMemory memory;  // the shared memory the work was given
  int signal = 0;       // the signal that ended a crashed child, else 0
};

// Runs `work` in a forked child with `limits` (time, address space, no core file). The work
// gets a shared memory file to fill (empty at first) and returns a short report (at most
// 64 KB) that comes back to this process with the memory. Whatever the child does (crash,
// hang, allocate without end) ends the child only. The work must not return into the
// caller's stack frames or touch files this process is writing. `started`, when set, runs in
// this process once the child exists, while the child works: the place to start threads that
// work beside it (a thread running when the child is forked could hold a lock, the
// allocator's or a sanitizer's, that the child then waits for forever).
ChildResult RunInChild(const ChildLimits& limits,
                       const std::function<std::string(int memory_fd)>& work,
                       const std::function<void()>& started = {});

// A few words for how a child ended ("it crashed (signal 11)", "it ran longer than 120 s").
std::string DescribeChildEnd(const ChildResult& result, const ChildLimits& limits);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_ISOLATED_CHILD_H_
