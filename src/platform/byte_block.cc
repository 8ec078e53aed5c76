#include "platform/byte_block.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
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

std::optional<SharedMapping> SharedMapping::Anonymous(std::size_t size) {
  if (size == 0) return std::nullopt;
  void* at = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (at == MAP_FAILED) return std::nullopt;
  return SharedMapping(static_cast<std::uint8_t*>(at), size);
}

std::size_t PageBytes() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

void ReleaseFileBytes(int fd, std::size_t from, std::size_t length) {
  fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(from),
            static_cast<off_t>(length));
}

void ReleasePages(std::span<std::uint8_t> bytes) {
  const std::uintptr_t page = PageBytes();
  const auto begin = reinterpret_cast<std::uintptr_t>(bytes.data());
  const std::uintptr_t first = (begin + page - 1) / page * page;
  const std::uintptr_t end = (begin + bytes.size()) / page * page;
  // Only a hint: when it fails the pages simply stay.
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

void PreferLargePages(std::span<std::uint8_t> bytes) {
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(bytes.data());
  const std::uintptr_t first = (begin + kLargePage - 1) / kLargePage * kLargePage;
  const std::uintptr_t end = (begin + bytes.size()) / kLargePage * kLargePage;
  // Only a hint: without large pages the buffer works as well, only with more faults.
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

void PrefaultPages(std::span<const std::uint8_t> bytes, bool for_writing) {
  const std::uintptr_t page = PageBytes();
  const auto begin = reinterpret_cast<std::uintptr_t>(bytes.data());
  const std::uintptr_t first = begin / page * page;
  const std::uintptr_t end = (begin + bytes.size() + page - 1) / page * page;
  // An older system without the request simply faults the pages in as they are touched.
  if (end > first) {
    madvise(reinterpret_cast<void*>(first), end - first,
            for_writing ? MADV_POPULATE_WRITE : MADV_POPULATE_READ);
  }
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
