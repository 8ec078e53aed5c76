#ifndef KELVARO_PLATFORM_INSTANCE_LOCK_H_
#define KELVARO_PLATFORM_INSTANCE_LOCK_H_

#include <filesystem>

namespace kelvaro {

// Keeps a second copy of the window program from starting: an exclusive flock on a lock
// file, held until the object goes or the process ends (the system drops it even after a
// crash). The file's content is never touched.
class InstanceLock {
 public:
  enum class Result {
    kAcquired,       // we hold the lock now
    kHeldElsewhere,  // another copy holds it
    kUnavailable,    // the lock file cannot be opened; no other copy can be told
  };

  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Tries to take the lock on `file`, creating the file (not its folder) when missing. A
  // lock held before is released first. Never waits.
  Result Acquire(const std::filesystem::path& file);
  void Release();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Whether a process with this id runs (one of another user's counts too).
bool ProcessRuns(long pid);

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_INSTANCE_LOCK_H_
