#include "platform/temp_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/fd_write.h"

namespace kelvaro {
namespace {

// A fresh, exclusively created file in `folder`; nullopt and fd -1 when none can be made.
std::optional<std::filesystem::path> CreateUnique(const std::filesystem::path& folder,
                                                  std::string_view stem,
                                                  const std::string& extension, int& fd) {
  // mkstemps creates the file exclusively with a fresh name, so nothing else can be
  // overwritten through a planted link.
  const std::string name = (folder / (std::string(stem) + "XXXXXX" + extension)).string();
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  fd = ::mkstemps(buffer.data(), static_cast<int>(extension.size()));
  if (fd < 0) return std::nullopt;
  return std::filesystem::path(buffer.data());
}

}  // namespace

std::optional<TempFileCopy> TempFileCopy::MakeFromOpenFile(int source_fd,
                                                           std::string_view extension,
                                                           std::string_view stem,
                                                           std::string_view head,
                                                           std::uint64_t skip) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return std::nullopt;
  int fd = -1;
  const auto path = CreateUnique(folder, stem, std::string(extension), fd);
  if (!path) return std::nullopt;
  TempFileCopy copy{*path};
  bool ok = WriteAllBytes(fd, head.data(), head.size());
  std::vector<char> chunk(1 << 16);
  off_t at = static_cast<off_t>(head.empty() ? 0 : skip);
  while (ok) {
    const ssize_t got = ::pread(source_fd, chunk.data(), chunk.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    ok = WriteAllBytes(fd, chunk.data(), static_cast<std::size_t>(got));
    at += got;
  }
  if (::close(fd) != 0) ok = false;
  if (!ok) return std::nullopt;  // the copy's destructor removes the half-written file
  return copy;
}

std::optional<TempFileCopy> TempFileCopy::Make(const std::filesystem::path& source,
                                               std::string_view stem) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return std::nullopt;
  return MakeIn(folder, source, stem);
}

std::optional<TempFileCopy> TempFileCopy::MakeIn(const std::filesystem::path& folder,
                                                 const std::filesystem::path& source,
                                                 std::string_view stem) {
  std::ifstream in(source, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string extension = source.extension().string();
  int fd = -1;
  const auto path = CreateUnique(folder, stem, extension, fd);
  if (!path) return std::nullopt;
  TempFileCopy copy{*path};

  std::vector<char> chunk(1 << 16);
  bool ok = true;
  while (ok && in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const std::streamsize got = in.gcount();
    if (got > 0) ok = WriteAllBytes(fd, chunk.data(), static_cast<std::size_t>(got));
  }
  if (in.bad()) ok = false;
  if (::close(fd) != 0) ok = false;
  if (!ok) return std::nullopt;  // the copy's destructor removes the half-written file
  return copy;
}

TempFileCopy::TempFileCopy(TempFileCopy&& other) noexcept : path_(std::move(other.path_)) {
  other.path_.clear();
}

TempFileCopy& TempFileCopy::operator=(TempFileCopy&& other) noexcept {
  if (this != &other) {
    Remove();
    path_ = std::move(other.path_);
    other.path_.clear();
  }
  return *this;
}

TempFileCopy::~TempFileCopy() { Remove(); }

void TempFileCopy::Remove() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  path_.clear();
}

}  // namespace kelvaro
