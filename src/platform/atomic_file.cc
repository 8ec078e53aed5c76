#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace kelvaro {
namespace fs = std::filesystem;

int WindowsErrorCode(int errno_value) {
  switch (errno_value) {
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case EROFS:
      return kErrorWriteProtected;
    default:
      return errno_value;
  }
}

namespace {

FileWriteResult Failure(int code) { return {false, code}; }

// Writes all of `bytes`, retrying short writes. Returns 0 or an errno value.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// A name for the temporary file that no other writer in this or another process picks.
std::string TemporaryName(const fs::path& target) {
  std::random_device random;
  return "." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
         std::to_string(random());
}

}  // namespace

FileWriteResult WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  fs::path target = path;
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = resolved;
  }

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) return Failure(kErrorAccessDenied);
    // The read-only attribute: honoured even for a user who could override it.
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      return Failure(kErrorAccessDenied);
    }
  } else if (errno == ENOTDIR) {
    return Failure(kErrorPathNotFound);
  }

  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  fs::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder / TemporaryName(target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      // The file itself is new, so a missing component is a missing folder.
      const int code = (errno == ENOENT) ? kErrorPathNotFound : WindowsErrorCode(errno);
      return Failure(code);
    }
  }
  if (fd < 0) return Failure(WindowsErrorCode(EEXIST));

  int error = WriteAll(fd, bytes);
  if (error == 0 && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failure(WindowsErrorCode(error));
  }

  // Make the rename itself durable; a failure here does not undo the write.
  const int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return {true, 0};
}

std::optional<std::string> ReadWholeFile(const fs::path& path, int* error_code) {
  const auto fail = [&](int err) -> std::optional<std::string> {
    if (error_code != nullptr) *error_code = WindowsErrorCode(err);
    return std::nullopt;
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int err = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return fail(err != 0 ? err : EINVAL);
  }
  std::string content;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return fail(err);
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (error_code != nullptr) *error_code = 0;
  return content;
}

}  // namespace kelvaro
