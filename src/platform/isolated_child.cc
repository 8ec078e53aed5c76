#include "platform/isolated_child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/fd_write.h"

namespace kelvaro {
namespace {

constexpr std::size_t kMaxReport = 64 * 1024;

// The address space this process uses now, in bytes; 0 when it cannot be read.
std::uint64_t CurrentAddressSpace() {
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long long pages = 0;
  const int got = std::fscanf(statm, "%llu", &pages);
  std::fclose(statm);
  if (got != 1) return 0;
  return pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

[[noreturn]] void RunChild(const ChildLimits& limits, const std::function<std::string(int)>& work,
                           int memory_fd, int report_fd, pid_t parent) {
  // The child dies with the program. Killed on its own, the program would otherwise leave it
  // running with everything it had open, the hot folder's lock among them, so a restarted
  // watcher would be refused until the decode ended.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(1);  // the program died before that was set
  const rlimit no_core{0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
  const rlim_t seconds = static_cast<rlim_t>(limits.time.count() / 1000 + 1);
  const rlimit cpu{seconds, seconds + 1};
  setrlimit(RLIMIT_CPU, &cpu);
  if (limits.extra_memory_bytes > 0) {
    const rlim_t bytes = static_cast<rlim_t>(CurrentAddressSpace() + limits.extra_memory_bytes);
    const rlimit memory{bytes, bytes};
    setrlimit(RLIMIT_AS, &memory);
  }
  std::string report = work(memory_fd);
  if (report.size() > kMaxReport) report.resize(kMaxReport);
  // The length first, so that a report cut short by a crash is told from a complete one.
  const std::uint32_t length = static_cast<std::uint32_t>(report.size());
  const bool sent =
      WriteAllBytes(report_fd, reinterpret_cast<const char*>(&length), sizeof length) &&
      WriteAllBytes(report_fd, report.data(), report.size());
  // No exit handlers, no flushing of the parent's buffers: they are not the child's.
  _exit(sent ? 0 : 1);
}

using Deadline = std::chrono::steady_clock::time_point;

// Collects what the child writes to `fd` into `received` (up to a report's length) until it
// closes its end or the pipe fails. False when `deadline` passed first.
bool ReceiveReport(int fd, Deadline deadline, std::string& received) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd watch{fd, POLLIN, 0};
    const int ready = poll(&watch, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready < 0 && errno != EINTR) return true;
    if (ready <= 0) continue;
    char chunk[4096];
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return true;  // the child closed its end: it exited or died
    if (received.size() < kMaxReport + sizeof(std::uint32_t)) received.append(chunk, got);
  }
}

// Kills the child and waits for it, so that no zombie stays behind.
void KillChild(pid_t pid, int& status) {
  kill(pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// Waits for a child that closed its pipe to exit, with its exit status in `status`. False
// when it was still there at `deadline` and had to be killed.
bool ReapChild(pid_t pid, Deadline deadline, int& status) {
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno != EINTR) return true;
    if (std::chrono::steady_clock::now() >= deadline) {
      KillChild(pid, status);
      return false;
    }
    usleep(1000);
  }
}

// How a child that exited with `status` ended, and its report when it finished with a
// complete one: the report's length, then that many bytes.
void SettleChildEnd(int status, const std::string& received, ChildResult& result) {
  std::uint32_t length = 0;
  const bool complete =
      received.size() >= sizeof length && (std::memcpy(&length, received.data(), sizeof length),
                                           received.size() == sizeof length + length);
  if (WIFSIGNALED(status)) {
    result.end = ChildEnd::kCrashed;
    result.signal = WTERMSIG(status);
    // The processor-time limit ends a child with SIGXCPU: that is a hang as well.
    if (result.signal == SIGXCPU) result.end = ChildEnd::kTimedOut;
    return;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !complete) {
    result.end = ChildEnd::kCrashed;
    return;
  }
  result.end = ChildEnd::kFinished;
  result.report = received.substr(sizeof length);
}

}  // namespace

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

SharedMemory::~SharedMemory() {
  if (fd_ >= 0) ::close(fd_);
}

bool SharedMemory::CopyOut(std::uint64_t offset, std::uint64_t size, std::uint8_t* out) const {
  struct stat info {};
  if (fd_ < 0 || fstat(fd_, &info) != 0 || info.st_size < 0) return false;
  const std::uint64_t available = static_cast<std::uint64_t>(info.st_size);
  if (offset > available || available - offset < size) return false;
  while (size > 0) {
    const ssize_t got = ::pread(fd_, out, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    offset += static_cast<std::uint64_t>(got);
    size -= static_cast<std::uint64_t>(got);
  }
  return true;
}

ChildResult RunInChild(const ChildLimits& limits, const std::function<std::string(int)>& work,
                       const std::function<void()>& started) {
  ChildResult result;
  SharedMemory memory(memfd_create("kelvaro-child", MFD_CLOEXEC));
  if (memory.fd() < 0) return result;
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return result;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    return result;
  }
  if (pid == 0) {
    ::close(pipe_fds[0]);
    RunChild(limits, work, memory.fd(), pipe_fds[1], parent);
  }
  ::close(pipe_fds[1]);
  if (started) started();

  const Deadline deadline = std::chrono::steady_clock::now() + limits.time;
  std::string received;
  const bool in_time = ReceiveReport(pipe_fds[0], deadline, received);
  ::close(pipe_fds[0]);

  int status = 0;
  if (!in_time) {
    KillChild(pid, status);
    result.end = ChildEnd::kTimedOut;
    return result;
  }
  // The pipe is closed, so the child is leaving; a last hang there is cut short as well.
  if (!ReapChild(pid, deadline, status)) {
    result.end = ChildEnd::kTimedOut;
    return result;
  }
  SettleChildEnd(status, received, result);
  if (result.end == ChildEnd::kFinished) result.memory = std::move(memory);
  return result;
}

std::string DescribeChildEnd(const ChildResult& result, const ChildLimits& limits) {
  switch (result.end) {
    case ChildEnd::kFinished:
      return "it finished";
    case ChildEnd::kCrashed:
      if (result.signal != 0) {
        const char* name = strsignal(result.signal);
        return std::string("it crashed: ") + (name ? name : "signal") + " (signal " +
               std::to_string(result.signal) + ")";
      }
      return "it stopped without an answer";
    case ChildEnd::kTimedOut:
      if (limits.time.count() % 1000 != 0) {
        return "it ran longer than " + std::to_string(limits.time.count()) + " ms";
      }
      return "it ran longer than " + std::to_string(limits.time.count() / 1000) + " s";
    case ChildEnd::kNotStarted:
      break;
  }
  return "it could not be started";
}

}  // namespace kelvaro
