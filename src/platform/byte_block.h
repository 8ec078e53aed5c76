#ifndef KELVARO_PLATFORM_BYTE_BLOCK_H_
#define KELVARO_PLATFORM_BYTE_BLOCK_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <vector>

namespace kelvaro {

// An allocator whose containers leave new elements uninitialised instead of zeroing them:
// pixel buffers are overwritten right after they grow, and zeroing hundreds of megabytes first
// only costs time and page faults.
template <typename T>
struct DefaultInitAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <typename U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {
  }  // NOLINT(google-explicit-constructor)
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

// Bytes of a picture or of toner planes. `resize` leaves the new bytes undefined; `assign`
// and value-initialising constructors still fill.
using PixelBytes = std::vector<std::uint8_t, DefaultInitAllocator<std::uint8_t>>;

// The size of a memory page, in bytes.
std::size_t PageBytes();

// Gives bytes [from, from + length) of the memory file `fd` back to the system; they read as
// zero afterwards. Only a hint: when the system refuses, the pages stay until the file goes.
void ReleaseFileBytes(int fd, std::size_t from, std::size_t length);

// Gives the whole pages inside `bytes` back to the system at once, for a buffer whose bytes
// are not read again (they read as zero afterwards). Pages only partly inside are kept.
void ReleasePages(std::span<std::uint8_t> bytes);

// Asks for the pages of a buffer not touched yet to come as large pages where the system
// allows it: a few hundred faults for a picture instead of tens of thousands. Only for buffers
// that are filled whole (a large page is resident as soon as any byte of it is written).
void PreferLargePages(std::span<std::uint8_t> bytes);

// Maps the whole pages inside `bytes` in one call, ahead of use, for reading or for writing:
// cheaper than a fault for each page as they are first touched. Only a hint.
void PrefaultPages(std::span<const std::uint8_t> bytes, bool for_writing);

// A shared memory file mapped into this process for reading and writing, unmapped when this
// goes. The file itself stays the caller's.
class SharedMapping {
 public:
  SharedMapping() = default;
  // Maps the first `size` bytes of the file `fd`, with its pages read in at once unless
  // `populate` is false (pages another process is still filling). nullopt when the file holds
  // fewer bytes or the mapping cannot be made.
  static std::optional<SharedMapping> Map(int fd, std::size_t size, bool populate = true);
  // `size` bytes of fresh memory (reading as zero), shared with the child processes forked while
  // it is mapped; nullopt when it cannot be had.
  static std::optional<SharedMapping> Anonymous(std::size_t size);
  SharedMapping(SharedMapping&& other) noexcept;
  SharedMapping& operator=(SharedMapping&& other) noexcept;
  SharedMapping(const SharedMapping&) = delete;
  SharedMapping& operator=(const SharedMapping&) = delete;
  ~SharedMapping();

  std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::span<std::uint8_t> bytes() const { return {data_, size_}; }
  bool empty() const { return size_ == 0; }

 private:
  SharedMapping(std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace kelvaro

#endif  // KELVARO_PLATFORM_BYTE_BLOCK_H_
