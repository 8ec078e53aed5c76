#include "platform/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/instance_lock.h"

namespace kelvaro {
namespace fs = std::filesystem;

int WindowsErrorCode(int errno_value) {
  switch (errno_value) {
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case EISDIR:
      return kErrorNotRegularFile;
    case ELOOP:
      return kErrorLinkLoop;
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

// Removes the temporary files of `target` that writers left behind when they were killed
// between creating and renaming them: names made by TemporaryName whose process is gone.
// A temporary of a live process is its write in progress and stays.
void RemoveDeadTemporaries(const fs::path& folder, const fs::path& target) {
  const std::string prefix = "." + target.filename().string() + ".tmp";
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos) continue;
    if (rest.find_first_not_of("0123456789-") != std::string::npos) continue;
    const long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (ProcessRuns(pid)) continue;
    std::error_code ignored;
    if (fs::is_regular_file(fs::symlink_status(it->path(), ignored))) {
      fs::remove(it->path(), ignored);
    }
  }
}

// The file a path names after following symbolic links, including a link whose target does
// not exist yet: replacing such a link with a regular file would quietly undo the user's
// arrangement. nullopt for a loop of links.
std::optional<fs::path> FollowLinks(fs::path path) {
  std::error_code ec;
  for (int hop = 0; hop < 40; ++hop) {
    if (!fs::is_symlink(path, ec)) return path;
    const fs::path link = fs::read_symlink(path, ec);
    if (ec) return path;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return std::nullopt;
}

// Looks at the file the write would replace. `exists` and `existing` say whether there is
// one and what it is; the result is an error code when it must stay as it is, else 0.
int ReplaceRefusal(const fs::path& target, bool& exists, struct stat& existing) {
  exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists) {
    return (errno == ENOTDIR || errno == ELOOP) ? WindowsErrorCode(errno) : 0;
  }
  // Only regular files are replaced: a folder, a device or a pipe in the place of the file
  // must not be swapped for a regular file.
  if (!S_ISREG(existing.st_mode)) return kErrorNotRegularFile;
  // The read-only attribute: honoured even for a user who could override it.
  if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return kErrorAccessDenied;
  // A file the user may not write stays as it is, even where the folder would let the
  // rename replace it (a shared folder holding another user's file).
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return WindowsErrorCode(errno);
  }
  return 0;
}

// Creates a new temporary file for `target` in `folder`, named in `temporary`. Returns its
// descriptor, or -1 with an error code in `error_code`.
int CreateTemporary(const fs::path& folder, const fs::path& target, fs::path& temporary,
                    int& error_code) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / TemporaryName(target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      // The file itself is new, so a missing component is a missing folder.
      error_code = (errno == ENOENT) ? kErrorPathNotFound : WindowsErrorCode(errno);
      return -1;
    }
  }
  error_code = WindowsErrorCode(EEXIST);
  return -1;
}

// Fills the temporary file `fd` with `bytes`, closes it and renames it over `target`. With
// `existing` (the file it replaces) the replacement gets that file's owner, group and mode
// first. Returns 0 or an errno value; the temporary file is left to the caller on failure.
int FillAndRename(int fd, std::string_view bytes, const struct stat* existing,
                  const fs::path& temporary, const fs::path& target) {
  int error = 0;
  if (existing != nullptr) {
    // The replacement belongs to the same group as the file it replaces, so that the other
    // users of a shared file keep their access; the owner only where we may set it. Both
    // before any byte is written, so the content is never readable under looser rights.
    if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
      [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), existing->st_gid);
    }
    if (::fchmod(fd, existing->st_mode & 07777) != 0) error = errno;
  }
  if (error == 0) error = WriteAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  return error;
}

// Makes a rename in `folder` durable; a failure here does not undo the write.
void SyncFolder(const fs::path& folder) {
  const int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
}

}  // namespace

FileWriteResult WriteFileAtomically(const fs::path& path, std::string_view bytes) {
  const std::optional<fs::path> followed = FollowLinks(path);
  if (!followed) return Failure(WindowsErrorCode(ELOOP));
  const fs::path& target = *followed;

  bool exists = false;
  struct stat existing {};
  if (const int refusal = ReplaceRefusal(target, exists, existing); refusal != 0) {
    return Failure(refusal);
  }

  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  RemoveDeadTemporaries(folder, target);
  fs::path temporary;
  int create_error = 0;
  const int fd = CreateTemporary(folder, target, temporary, create_error);
  if (fd < 0) return Failure(create_error);

  const int error = FillAndRename(fd, bytes, exists ? &existing : nullptr, temporary, target);
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failure(WindowsErrorCode(error));
  }
  SyncFolder(folder);
  return {true, 0};
}

std::optional<std::string> ReadWholeFile(const fs::path& path, int* error_code,
                                         std::uintmax_t max_bytes) {
  const auto fail = [&](int err) -> std::optional<std::string> {
    if (error_code != nullptr) *error_code = WindowsErrorCode(err);
    return std::nullopt;
  };
  // Non-blocking, so that a pipe in the place of the file cannot stall us in open().
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int err = errno;
    ::close(fd);
    return fail(err);
  }
  if (!S_ISREG(info.st_mode)) {
    // A folder, device or pipe: there is a file system object, but no file to read. Never
    // "not found", or a writer would go on to replace it.
    ::close(fd);
    return fail(EISDIR);
  }
  if (static_cast<std::uintmax_t>(info.st_size) > max_bytes) {
    ::close(fd);
    if (error_code != nullptr) *error_code = kErrorFileTooLarge;
    return std::nullopt;
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
    // A file that grows while we read is held to the same bound.
    if (content.size() + static_cast<std::size_t>(n) > max_bytes) {
      ::close(fd);
      if (error_code != nullptr) *error_code = kErrorFileTooLarge;
      return std::nullopt;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (error_code != nullptr) *error_code = 0;
  return content;
}

}  // namespace kelvaro
