#ifndef KELVARO_PLATFORM_FD_WRITE_H_
#define KELVARO_PLATFORM_FD_WRITE_H_

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace kelvaro {

// Writes all of `bytes` to `fd`, again after a write cut short or interrupted. false on any
// other failure (errno says which).
inline bool WriteAllBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}
inline bool WriteAllBytes(int fd, const void* data, std::size_t size) {
  return WriteAllBytes(fd, std::string_view(static_cast<const char*>(data), size));
}

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_FD_WRITE_H_
