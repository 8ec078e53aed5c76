#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace kelvaro {

std::filesystem::path FileLock::LockFileFor(const std::filesystem::path& file) {
  std::filesystem::path lock = file;
  lock += ".lock";
  return lock;
}

FileLock::FileLock(const std::filesystem::path& file) {
  const int fd = ::open(LockFileFor(file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(fd);
      return;
    }
  }
  fd_ = fd;
}

FileLock::~FileLock() {
  // Closing the last descriptor releases the lock.
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace kelvaro
