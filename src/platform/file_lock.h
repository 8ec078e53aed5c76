#ifndef KELVARO_PLATFORM_FILE_LOCK_H_
#define KELVARO_PLATFORM_FILE_LOCK_H_

#include <filesystem>

namespace kelvaro {

// An advisory lock for the read-change-write cycle of one file, held from construction to
// destruction: an exclusive flock on the lock file beside it ("<name>.lock"), which stays in
// place between uses. The file itself is replaced by renames, so it cannot carry the lock.
// Every writer of the file takes the lock; two programs changing different keys of one file at
// the same time then both keep their change. When the lock file cannot be made (a read-only
// folder) the cycle goes ahead without it: the write itself fails there anyway.
class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& file);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool held() const { return fd_ >= 0; }

  // The lock file used for `file`.
  static std::filesystem::path LockFileFor(const std::filesystem::path& file);

 private:
  int fd_ = -1;
};

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_FILE_LOCK_H_
