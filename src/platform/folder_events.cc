#include "platform/folder_events.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace kelvaro {

namespace {

// Magic numbers of statfs(2) for file systems that see only this machine's writes.
bool IsRemoteFileSystem(const std::filesystem::path& folder) {
  struct statfs info {};
  if (::statfs(folder.c_str(), &info) != 0) return true;
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL:      // NFS
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
    case 0x517BUL:      // SMB
    case 0x65735546UL:  // FUSE (sshfs and the desktop's network mounts)
    case 0x01021997UL:  // 9p
    case 0x00C36400UL:  // Ceph
    case 0x5346414FUL:  // AFS
    case 0x6B414653UL:  // kAFS
      return true;
    default:
      return false;
  }
}

class InotifyEvents final : public FolderEvents {
 public:
  explicit InotifyEvents(int fd) : fd_(fd) {}
  ~InotifyEvents() override { ::close(fd_); }
  InotifyEvents(const InotifyEvents&) = delete;
  InotifyEvents& operator=(const InotifyEvents&) = delete;

  FolderEventBatch Wait(std::chrono::milliseconds timeout) override {
    FolderEventBatch batch;
    pollfd ready{fd_, POLLIN, 0};
    int wait_ms = static_cast<int>(timeout.count());
    for (;;) {
      const int n = ::poll(&ready, 1, wait_ms);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return batch;
      if (!Drain(batch)) return batch;
      wait_ms = 0;  // take what else is queued, then return
    }
  }

 private:
  // Reads the queued events into `batch`; false when none were left.
  bool Drain(FolderEventBatch& batch) {
    alignas(inotify_event) std::array<char, 16384> buffer;
    const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
    if (got <= 0) return false;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      if ((event->mask & IN_Q_OVERFLOW) != 0) batch.lost = true;
      if ((event->mask & IN_ISDIR) == 0 && (event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) != 0 &&
          event->len > 0) {
        batch.finished.emplace_back(event->name);
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    return true;
  }

  int fd_;
};

}  // namespace

std::unique_ptr<FolderEvents> WatchFolderEvents(const std::filesystem::path& folder) {
  if (IsRemoteFileSystem(folder)) return nullptr;
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return nullptr;
  if (::inotify_add_watch(fd, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR) < 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<InotifyEvents>(fd);
}

}  // namespace kelvaro
