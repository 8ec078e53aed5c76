#ifndef KELVARO_PATTERN_LIBRARY_LOCK_H_
#define KELVARO_PATTERN_LIBRARY_LOCK_H_

#include <filesystem>

namespace kelvaro {

// Keeps the read-change-write cycles of one shape library from interleaving between copies of
// the program: an exclusive advisory flock on the lock file beside the library ("shape.lib"
// gets "shape.lib.lock"), taken when the object is made (waiting for another holder) and
// dropped when it goes. The lock file's content is never touched and the file stays.
//
// Where the lock file cannot be made (a read-only folder) the cycle runs without it: nothing
// can replace the library there either, so there is nothing to serialise, and the write
// reports the real failure.
class ShapeLibraryLock {
 public:
  explicit ShapeLibraryLock(const std::filesystem::path& library);
  ~ShapeLibraryLock();
  ShapeLibraryLock(const ShapeLibraryLock&) = delete;
  ShapeLibraryLock& operator=(const ShapeLibraryLock&) = delete;

  bool held() const { return fd_ >= 0; }

  static std::filesystem::path LockFileFor(const std::filesystem::path& library);

 private:
  int fd_ = -1;
};

}  // namespace kelvaro

#endif  // KELVARO_PATTERN_LIBRARY_LOCK_H_
