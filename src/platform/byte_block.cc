#include "platform/byte_block.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <utility>

namespace kelvaro {

std::optional<SharedMapping> SharedMapping::Map(int fd, std::size_t size, bool populate) {
  struct stat info {};
  if (fd < 0 || size == 0 || fstat(fd, &info) != 0 || info.st_size < 0 ||
      static_cast<std::uint64_t>(info.st_size) < size) {
    return std::nullopt;
  }
  void* at = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | (populate ? MAP_POPULATE : 0),
                  fd, 0);
  if (at == MAP_FAILED) return std::nullopt;
  return SharedMapping(static_cast<std::uint8_t*>(at), size);
}

SharedMapping::SharedMapping(SharedMapping&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

SharedMapping& SharedMapping::operator=(SharedMapping&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) munmap(data_, size_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

SharedMapping::~SharedMapping() {
  if (data_ != nullptr) munmap(data_, size_);
}

}  // namespace kelvaro
