#include "pattern/library_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kelvaro {

std::filesystem::path ShapeLibraryLock::LockFileFor(const std::filesystem::path& library) {
  std::filesystem::path lock = library;
  lock += ".lock";
  return lock;
}

ShapeLibraryLock::ShapeLibraryLock(const std::filesystem::path& library) {
  // Close-on-exec: a program we start must not keep the lock after the cycle.
  const int fd =
      ::open(LockFileFor(library).c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) return;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    return;
  }
  fd_ = fd;
}

ShapeLibraryLock::~ShapeLibraryLock() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the flock
}

}  // namespace kelvaro
